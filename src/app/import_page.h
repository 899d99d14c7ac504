// The "インポート" tab: switch, variable and element names and actor parameter curves
// loaded from CSV into previews, and written into the project when the user applies them.
#pragma once
#include <wx/panel.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "import/import_apply.h"
#include "import/import_rules.h"

class wxBookCtrlBase;
class wxButton;
class wxChoice;
class wxListCtrl;

namespace zorvane {

class ImportPage : public wxPanel {
  public:
    // `reload` reloads the project after a successful apply.
    ImportPage(wxWindow* parent, AppContext& context, std::function<void()> reload);

    // After every project open: the previews show the project, the working copies reset.
    void refresh();
    void refreshNamePage(NameKind kind);
    void refreshActorPage();
    void updateStates();

    // The "参照" buttons.
    void loadNameCsv(NameKind kind);
    void loadActorCsv();
    // The "適用" buttons.
    void applyNames(NameKind kind);
    void applyActorParameters();

    // Whether the editor runs; tests replace the process check.
    void setEditorCheck(std::function<bool()> check) { editorRunning_ = std::move(check); }

    wxBookCtrlBase* subTabs() const { return tabs_; }
    wxListCtrl* nameList(NameKind kind) const { return names_[index(kind)].list; }
    wxButton* applyButton(NameKind kind) const { return names_[index(kind)].apply; }
    wxListCtrl* actorList() const { return actorList_; }
    wxChoice* actorBox() const { return actorBox_; }
    // The "変更後" names of a page, indexed by id; an actor's working table.
    const std::vector<std::string>& namesAfter(NameKind kind) const {
        return names_[index(kind)].after;
    }
    const Table* workingTable(int actorId) const;

  private:
    struct NamePage {
        wxListCtrl* list = nullptr;
        wxButton* browse = nullptr;
        wxButton* apply = nullptr;
        std::vector<std::string> before, after;  // indexed by id
    };

    static size_t index(NameKind kind) { return static_cast<size_t>(kind); }
    wxPanel* buildNamePage(NameKind kind);
    wxPanel* buildActorPage();
    std::string chooseCsv(const std::string& title);
    // The list's rows, or false after telling the user why it cannot be read.
    bool readCsv(const std::string& path, const CsvShape& shape, CsvRows& rows);
    bool confirmApply();
    void finishApply(const ImportResult& result);
    // What the working tables change against the project as opened, over every actor.
    std::vector<ParameterEdit> actorEdits() const;
    int selectedActor() const;
    void showActor();

    AppContext& context_;
    std::function<void()> reload_;
    std::function<bool()> editorRunning_;
    wxBookCtrlBase* tabs_ = nullptr;
    std::array<NamePage, kNameKindCount> names_;
    wxChoice* actorBox_ = nullptr;
    wxListCtrl* actorList_ = nullptr;
    wxButton* actorBrowse_ = nullptr;
    wxButton* actorApply_ = nullptr;
    std::vector<Table> actorsBefore_, actorsWorking_;  // indexed by actor id
    std::string lastCsvFolder_;
};

}  // namespace zorvane

// The import tab. The previews are plain data (names by id, working tables by actor); the
// lists are virtual and read them. Applying hands the edits to the core, which reads the
// data file again and writes it with its backup; the page only asks and reports.
#include "app/import_page.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/sizer.h>

#include "app/file_dialogs.h"
#include "app/message_box.h"
#include "app/page_hooks.h"
#include "app/wx_text.h"
#include "import/import_apply.h"
#include "platform/file_util.h"
#include "platform/string_util.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

struct NamePageInfo {
    const char* tab;
    const char* dialogTitle;
    const char* idFormat;
};

// In NameKind order.
const NamePageInfo kNamePages[kNameKindCount] = {
    {wxTRANSLATE("スイッチ名"), wxTRANSLATE("スイッチ名リストを開く"), "%04d"},
    {wxTRANSLATE("変数名"), wxTRANSLATE("変数名リストを開く"), "%04d"},
    {wxTRANSLATE("属性名"), wxTRANSLATE("属性名リストを開く"), "%03d"},
};
const char* const kActorTab = wxTRANSLATE("アクターパラメータ");
const char* const kActorDialogTitle = wxTRANSLATE("アクターパラメータリストを開く");
const char* const kNameColumns[] = {"ID", wxTRANSLATE("変更前"), wxTRANSLATE("変更後")};
const int kNameColumnWidths[] = {60, 220, 220};

const char* const kBrowseCaption = wxTRANSLATE("参照");
const char* const kApplyCaption = wxTRANSLATE("適用");
const FileFilter kCsvFilter = {wxTRANSLATE("csvファイル(*.csv)"), "*.csv"};

const char* const kConfirmText = wxTRANSLATE("本当によろしいですか？");
const char* const kSaveInEditorFirst = wxTRANSLATE(
    "RPGツクールXPでも同じプロジェクトを開いているなら\n"
    "この操作を行う前にツクールXP側でプロジェクトを保存してください");
const char* const kDoneText = wxTRANSLATE("インポートが完了しました。");
const char* const kReloadInEditor = wxTRANSLATE("ツクールXP側でプロジェクトを再読込してください");
const char* const kFailedText = wxTRANSLATE("ファイル保存に失敗しました");
const char* const kNothingToChange = wxTRANSLATE("変更はありません");

// A report list whose cells come from a function, so thousands of names cost nothing.
class PreviewList : public wxListCtrl {
  public:
    using CellText = std::function<std::string(long row, long column)>;
    PreviewList(wxWindow* parent, CellText text)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                     wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxLC_HRULES | wxLC_VRULES),
          text_(std::move(text)) {}

    wxString OnGetItemText(long item, long column) const override {
        return toWx(text_(item, column));
    }

  private:
    CellText text_;
};

// The list above, the "参照" and "適用" buttons below on the right.
void layOut(wxPanel* page, wxWindow* top, wxListCtrl* list, wxButton* browse, wxButton* apply) {
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(browse, 0, wxRIGHT, 6);
    buttons->Add(apply);
    auto* column = new wxBoxSizer(wxVERTICAL);
    if (top) column->Add(top, 0, wxALL, 4);
    column->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 4);
    column->Add(buttons, 0, wxEXPAND | wxALL, 4);
    page->SetSizer(column);
}

}  // namespace

ImportPage::ImportPage(wxWindow* parent, AppContext& context, std::function<void()> reload)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(400, 300)),
      context_(context),
      reload_(std::move(reload)),
      editorRunning_([] { return isEditorRunning(); }) {
    // Sizes from the start: GTK complains about a notebook laid out at zero width.
    tabs_ = new wxNotebook(this, wxID_ANY, wxDefaultPosition, GetSize());
    for (int k = 0; k < kNameKindCount; ++k)
        tabs_->AddPage(buildNamePage(static_cast<NameKind>(k)), tr(kNamePages[k].tab));
    tabs_->AddPage(buildActorPage(), tr(kActorTab));
    // Not passed on: the main tabs above would take this page's number for theirs.
    tabs_->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [](wxBookCtrlEvent&) {});
    auto* fill = new wxBoxSizer(wxVERTICAL);
    fill->Add(tabs_, 1, wxEXPAND | wxALL, 4);
    SetSizer(fill);

    wxWeakRef<ImportPage> self(this);
    chainHook(context_.hooks.refreshPages, self, &ImportPage::refresh);
    chainHook(context_.hooks.updatePageStates, self, &ImportPage::updateStates);
    refresh();
}

wxPanel* ImportPage::buildNamePage(NameKind kind) {
    NamePage& page = names_[index(kind)];
    auto* panel = new wxPanel(tabs_);
    const char* idFormat = kNamePages[index(kind)].idFormat;
    page.list = new PreviewList(panel, [this, kind, idFormat](long row, long column) {
        const NamePage& p = names_[index(kind)];
        size_t id = static_cast<size_t>(row) + 1;
        if (row < 0 || id >= p.after.size()) return std::string();
        if (column == 0) return format(idFormat, static_cast<int>(id));
        return column == 1 ? p.before[id] : p.after[id];
    });
    for (size_t c = 0; c < std::size(kNameColumns); ++c)
        page.list->AppendColumn(tr(kNameColumns[c]), wxLIST_FORMAT_LEFT,
                                FromDIP(kNameColumnWidths[c]));
    page.browse = new wxButton(panel, wxID_ANY, tr(kBrowseCaption));
    page.apply = new wxButton(panel, wxID_ANY, tr(kApplyCaption));
    page.browse->Bind(wxEVT_BUTTON, [this, kind](wxCommandEvent&) { loadNameCsv(kind); });
    page.apply->Bind(wxEVT_BUTTON, [this, kind](wxCommandEvent&) { applyNames(kind); });
    layOut(panel, nullptr, page.list, page.browse, page.apply);
    return panel;
}

wxPanel* ImportPage::buildActorPage() {
    auto* panel = new wxPanel(tabs_);
    actorBox_ = new wxChoice(panel, wxID_ANY);
    actorBox_->SetMinSize(wxSize(FromDIP(220), -1));
    actorList_ = new PreviewList(panel, [this](long row, long column) {
        int level = static_cast<int>(row) + kFirstLevel;
        if (column == 0) return format("%02d", level);
        const Table* table = workingTable(selectedActor());
        return table ? std::to_string(table->at(static_cast<int32_t>(column) - 1, level))
                     : std::string();
    });
    actorList_->AppendColumn("Lv", wxLIST_FORMAT_LEFT, FromDIP(40));
    for (const std::string& heading : parameterHeadings(nullptr))
        actorList_->AppendColumn(toWx(heading), wxLIST_FORMAT_RIGHT, FromDIP(70));
    actorBrowse_ = new wxButton(panel, wxID_ANY, tr(kBrowseCaption));
    actorApply_ = new wxButton(panel, wxID_ANY, tr(kApplyCaption));
    actorBox_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { showActor(); });
    actorBrowse_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { loadActorCsv(); });
    actorApply_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { applyActorParameters(); });
    layOut(panel, actorBox_, actorList_, actorBrowse_, actorApply_);
    return panel;
}

void ImportPage::refresh() {
    for (int k = 0; k < kNameKindCount; ++k) refreshNamePage(static_cast<NameKind>(k));
    refreshActorPage();
    updateStates();
}

void ImportPage::refreshNamePage(NameKind kind) {
    NamePage& page = names_[index(kind)];
    const ProjectDatabase& db = context_.database;
    page.before = db.loaded ? projectNames(db.system(), kind) : std::vector<std::string>();
    page.after = page.before;
    page.list->SetItemCount(page.after.empty() ? 0 : static_cast<long>(page.after.size() - 1));
    page.list->Refresh();
}

void ImportPage::refreshActorPage() {
    const ProjectDatabase& db = context_.database;
    actorsBefore_.clear();
    actorBox_->Clear();
    if (db.loaded) {
        for (const Actor& actor : db.actors()) actorsBefore_.push_back(actor.parameters);
        for (size_t id = 1; id < db.actors().size(); ++id)
            actorBox_->Append(toWx(format("%03d:", static_cast<int>(id)) + db.actors()[id].name));
    }
    actorsWorking_ = actorsBefore_;
    if (actorBox_->GetCount() > 0) actorBox_->SetSelection(0);
    auto headings = parameterHeadings(&db);
    for (int p = 0; p < kParameterCount; ++p) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        column.SetText(toWx(headings[static_cast<size_t>(p)]));
        actorList_->SetColumn(p + 1, column);
    }
    showActor();
}

void ImportPage::updateStates() {
    bool on = context_.database.loaded && !context_.tasks.isBusy();
    for (NamePage& page : names_) {
        page.browse->Enable(on);
        page.apply->Enable(on && !nameEdits(page.before, page.after).empty());
    }
    actorBrowse_->Enable(on);
    actorApply_->Enable(on && selectedActor() > 0 && !actorEdits().empty());
    actorBox_->Enable(on);
}

std::vector<ParameterEdit> ImportPage::actorEdits() const {
    std::vector<ParameterEdit> edits;
    for (size_t id = 1; id < actorsWorking_.size() && id < actorsBefore_.size(); ++id) {
        auto changed = parameterEdits(static_cast<int>(id), actorsBefore_[id], actorsWorking_[id]);
        edits.insert(edits.end(), changed.begin(), changed.end());
    }
    return edits;
}

int ImportPage::selectedActor() const {
    int selection = actorBox_->GetSelection();
    return selection == wxNOT_FOUND ? 0 : selection + 1;
}

const Table* ImportPage::workingTable(int actorId) const {
    if (actorId <= 0 || static_cast<size_t>(actorId) >= actorsWorking_.size()) return nullptr;
    return &actorsWorking_[static_cast<size_t>(actorId)];
}

void ImportPage::showActor() {
    actorList_->SetItemCount(workingTable(selectedActor()) ? kLastLevel - kFirstLevel + 1 : 0);
    actorList_->Refresh();
}

bool ImportPage::readCsv(const std::string& path, const CsvShape& shape, CsvRows& rows) {
    std::string error;
    if (readCsvFile(path, shape, rows, error)) return true;
    showMessage(wxGetTopLevelParent(this), error, kMessageTitle, wxOK | wxICON_WARNING);
    return false;
}

std::string ImportPage::chooseCsv(const std::string& title) {
    FileDialogRequest request;
    request.title = title;
    request.filters = {kCsvFilter};
    request.folder = lastCsvFolder_.empty() ? dialogFolder(context_) : lastCsvFolder_;
    std::string path = chooseFile(wxGetTopLevelParent(this), request);
    if (!path.empty()) lastCsvFolder_ = folderOf(path);
    return path;
}

void ImportPage::loadNameCsv(NameKind kind) {
    if (!context_.database.loaded) return;
    std::string path = chooseCsv(trs(kNamePages[index(kind)].dialogTitle));
    CsvRows rows;
    if (path.empty() || !readCsv(path, kNameCsvShape, rows)) return;
    NamePage& page = names_[index(kind)];
    readNameCsv(rows, page.after);
    page.list->Refresh();
    updateStates();
}

void ImportPage::loadActorCsv() {
    int actor = selectedActor();
    if (!context_.database.loaded || !workingTable(actor)) return;
    std::string path = chooseCsv(trs(kActorDialogTitle));
    CsvRows rows;
    if (path.empty() || !readCsv(path, kActorCsvShape, rows)) return;
    readActorCsv(rows, actorsWorking_[static_cast<size_t>(actor)]);
    showActor();
    updateStates();
}

bool ImportPage::confirmApply() {
    if (!context_.database.loaded || context_.tasks.isBusy()) return false;
    wxWindow* owner = wxGetTopLevelParent(this);
    if (showMessage(owner, trs(kConfirmText), kMessageTitle,
                    wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION) != wxYES)
        return false;
    if (editorRunning_())
        showMessage(owner, trs(kSaveInEditorFirst), kMessageTitle, wxOK | wxICON_INFORMATION);
    return true;
}

void ImportPage::finishApply(const ImportResult& result) {
    wxWindow* owner = wxGetTopLevelParent(this);
    if (!result.ok()) {
        showMessage(owner, trs(kFailedText) + "\n\n" + result.detail, kMessageTitle,
                    wxOK | wxICON_WARNING);
        return;
    }
    if (!result.written) {
        showMessage(owner, trs(kNothingToChange), kMessageTitle, wxOK | wxICON_INFORMATION);
        return;
    }
    if (reload_) reload_();
    std::string text = trs(kDoneText);
    if (editorRunning_()) text += "\n" + trs(kReloadInEditor);
    showMessage(owner, text, kMessageTitle, wxOK | wxICON_INFORMATION);
}

void ImportPage::applyNames(NameKind kind) {
    if (!confirmApply()) return;
    const NamePage& page = names_[index(kind)];
    ImportResult result = zorvane::applyNames(context_.database.projectFolder, kind,
                                              nameEdits(page.before, page.after));
    finishApply(result);
}

void ImportPage::applyActorParameters() {
    if (selectedActor() <= 0 || !confirmApply()) return;
    ImportResult result =
        zorvane::applyActorParameters(context_.database.projectFolder, actorEdits());
    finishApply(result);
}

}  // namespace zorvane

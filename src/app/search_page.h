// The "検索" tab: the six search item pages, the "検索範囲" box and the Search button.
// A search is checked on the UI thread, then runs on the task runner's worker and hands
// its hits to the results window.
#pragma once
#include <type_traits>

#include <wx/panel.h>
#include <wx/weakref.h>

#include <array>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/event_range_rows.h"
#include "app/search_item_pages.h"
#include "search/search_validation.h"
#include "text/text_matcher.h"

class wxBookCtrlBase;
class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

namespace zorvane {

class ResultsWindow;

// The panel as the search check wants it, from the settings the controls were stored into.
SearchPanel searchPanelFrom(const Settings& settings, SearchKind kind,
                            const std::vector<std::string>& commandNames);

class SearchPage : public wxPanel {
  public:
    SearchPage(wxWindow* parent, AppContext& context);
    ~SearchPage() override;

    // The Search button.
    void startSearch();
    // A project was opened: id lists and range rows show its names.
    void refresh();
    void updateStates();
    // What the controls show, back into the settings.
    void storeState();
    void closeResults();

    SearchKind kind() const;
    void setKind(SearchKind kind);
    // The "..." buttons.
    void pickItemId(SearchKind kind, size_t row);
    void pickRangeId(size_t row);

    // Which matching library searches use; tests choose None to see the fallback.
    void setMatcherLibrary(MatcherLibrary library);

    ResultsWindow* resultsWindow() const { return results_.get(); }
    // Every control as the user finds it once each item tab was shown.
    SearchItemControls& items() {
        fillCommandChoices(items_.commands, commandNames_, context_.settings);
        return items_;
    }
    const std::array<RangeRowControls, 4>& rangeRows() const { return ranges_; }
    wxCheckBox* subMapsBox() const { return subMaps_; }
    wxButton* searchButton() const { return searchButton_; }
    wxBookCtrlBase* itemTabs() const { return itemTabs_; }

  private:
    wxSizer* buildRangeBox();
    void bindControls();
    void fillShownCommands();
    void joinHooks();
    void showRangeSettings();
    void storeRangeSettings();
    void showRangeLabels();
    void updateRangeStates(bool loaded, bool idle);
    ResultsWindow* openResultsWindow();
    void runChecked(const SearchRequest& request, std::shared_ptr<TextMatcher> matcher);

    AppContext& context_;
    std::vector<std::string> commandNames_;
    wxBookCtrlBase* itemTabs_ = nullptr;
    SearchItemControls items_;
    std::array<RangeRowControls, 4> ranges_{};
    wxCheckBox* subMaps_ = nullptr;
    wxButton* searchButton_ = nullptr;
    wxWeakRef<ResultsWindow> results_;
    MatcherLibrary matcherLibrary_ = MatcherLibrary::Builtin;
    bool matcherLoads_ = true;
};

}  // namespace zorvane

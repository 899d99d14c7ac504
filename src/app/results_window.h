// The search results window: a modeless window with the seven-column list of hits, made
// by the first search and emptied by each later one. Its title carries the progress; its
// bar aborts the search or saves the rows as CSV; a double click opens the hit.
#pragma once
#include <wx/frame.h>

#include <functional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "search/search_results.h"

class wxListCtrl;
class wxMenu;

namespace zorvane {

class ResultsWindow : public wxFrame {
  public:
    explicit ResultsWindow(AppContext& context);

    void clearResults();
    void addHits(const std::vector<SearchHit>& hits);
    void setTitleText(const std::string& title);

    // The search that fills this window began or ended (aborted or not). While it runs,
    // double clicks and the CSV command are ignored and closing aborts it.
    void searchStarted();
    void searchEnded();
    bool searching() const { return searching_; }

    // A click on a heading; the selected row stays selected and is scrolled into view.
    void sortByColumn(int column);
    void openHit(long row);
    void saveCsv();
    // "検索中止(&A)": stops the running search; the rows found so far stay.
    void abortSearch();
    // Each column as wide as its widest cell or its heading.
    void fitColumns();

    const SearchResults& results() const { return results_; }
    wxListCtrl* list() const { return list_; }
    // How many batches of hits the list has taken since it was last emptied.
    int batches() const { return batches_; }
    // The items of the bar, in order: "検索中止(&A)", "検索結果をCSVで保存(&C)".
    enum BarItem { kBarAbort, kBarSaveCsv, kBarItemCount };

  private:
    void createBar();
    void bindEvents();
    void rememberPlace();
    // A window opened at its own size grows, once, until every fitted column shows.
    void widenToColumns();
    void onClose(wxCloseEvent& event);
    long selectedRow() const;
    void selectRow(long row);

    AppContext& context_;
    SearchResults results_;
    wxListCtrl* list_ = nullptr;
    bool searching_ = false;
    int batches_ = 0;
    bool widenOnce_ = false;
};

}  // namespace zorvane

// The list is virtual: its rows live in the SearchResults model, so a search with tens
// of thousands of hits costs no widget per row. The two commands are items of the bar
// itself, run when their (empty) menu opens, as the main window's "設定(&C)" is.
#include "app/results_window.h"

#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include <algorithm>
#include <utility>

#include "app/desktop_language.h"
#include "app/file_dialogs.h"
#include "app/frame_place.h"
#include "app/message_box.h"
#include "app/wx_text.h"
#include "platform/file_util.h"

namespace zorvane {

namespace {

const char* const kResultsTitle = wxTRANSLATE("検索結果");
// Beside the main window on a small screen; the first search widens it to its columns.
const wxSize kDefaultSize(640, 420);

const BarRow<ResultsWindow> kBarRows[ResultsWindow::kBarItemCount] = {
    {wxTRANSLATE("検索中止(&A)"), &ResultsWindow::abortSearch},
    {wxTRANSLATE("検索結果をCSVで保存(&C)"), &ResultsWindow::saveCsv},
};

// Cells measured per column when fitting: the longest few by bytes stand for the rest.
constexpr size_t kMeasuredCells = 8;
constexpr int kCellPadding = 16;
constexpr int kMaxColumnWidth = 2000;

class ResultsList : public wxListCtrl {
  public:
    ResultsList(wxWindow* parent, const SearchResults& results)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                     wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL),
          results_(results) {
        for (const ColumnInfo& column : resultColumns())
            AppendColumn(toWx(column.heading(results.language())),
                         column.rightAligned ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT);
    }

    wxString OnGetItemText(long item, long column) const override {
        const auto& rows = results_.rows();
        if (item < 0 || static_cast<size_t>(item) >= rows.size()) return wxString();
        if (column < 0 || column >= ResultColumnCount) return wxString();
        return toWx(rows[static_cast<size_t>(item)].cells[static_cast<size_t>(column)]);
    }

  private:
    const SearchResults& results_;
};

// Indexes of the rows whose cell in `column` is longest, at most kMeasuredCells of them.
std::vector<size_t> longestCells(const std::vector<ResultRow>& rows, size_t column) {
    std::vector<size_t> picked;
    auto longer = [&](size_t a, size_t b) {
        return rows[a].cells[column].size() > rows[b].cells[column].size();
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        if (picked.size() < kMeasuredCells) {
            picked.push_back(i);
            std::push_heap(picked.begin(), picked.end(), longer);
        } else if (rows[i].cells[column].size() > rows[picked.front()].cells[column].size()) {
            std::pop_heap(picked.begin(), picked.end(), longer);
            picked.back() = i;
            std::push_heap(picked.begin(), picked.end(), longer);
        }
    }
    return picked;
}

}  // namespace

ResultsWindow::ResultsWindow(AppContext& context)
    : wxFrame(nullptr, wxID_ANY, tr(kResultsTitle),
              placePosition(context.settings.searchWnd, kDefaultSize),
              placeSize(context.settings.searchWnd, kDefaultSize)),
      context_(context),
      results_(desktopListing()),
      widenOnce_(context.settings.searchWnd.width <= 0) {
    createBar();
    list_ = new ResultsList(this, results_);
    auto* fill = new wxBoxSizer(wxVERTICAL);
    fill->Add(list_, 1, wxEXPAND);
    SetSizer(fill);
    bindEvents();
    fitColumns();
}

void ResultsWindow::createBar() {
    setActingMenuBar(this, kBarRows);
}

void ResultsWindow::bindEvents() {
    list_->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& e) { sortByColumn(e.GetColumn()); });
    list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& e) { openHit(e.GetIndex()); });
    Bind(wxEVT_MOVE, [this](wxMoveEvent& e) {
        rememberPlace();
        e.Skip();
    });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        rememberPlace();
        e.Skip();
        CallAfter([this] { fitColumns(); });
    });
    Bind(wxEVT_CLOSE_WINDOW, &ResultsWindow::onClose, this);
}

void ResultsWindow::rememberPlace() {
    if (IsIconized() || IsMaximized()) return;
    wxRect rect = GetRect();
    WindowPlace& place = context_.settings.searchWnd;
    place = {rect.x, rect.y, rect.width, rect.height};
}

void ResultsWindow::clearResults() {
    results_.clear();
    batches_ = 0;
    list_->SetItemCount(0);
    list_->Refresh();
}

void ResultsWindow::addHits(const std::vector<SearchHit>& hits) {
    if (hits.empty()) return;
    ++batches_;
    for (const SearchHit& hit : hits) results_.addHit(hit);
    list_->SetItemCount(static_cast<long>(results_.size()));
    list_->Refresh();
}

void ResultsWindow::setTitleText(const std::string& title) {
    results_.setTitle(title);
    // GTK would name an untitled window for itself.
    SetTitle(title.empty() ? tr(kResultsTitle) : toWx(title));
}

void ResultsWindow::searchStarted() {
    searching_ = true;
}

void ResultsWindow::searchEnded() {
    searching_ = false;
    fitColumns();
    if (widenOnce_ && results_.size() > 0) {
        widenOnce_ = false;
        widenToColumns();
    }
}

void ResultsWindow::widenToColumns() {
    int columns = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) + kCellPadding;
    for (int column = 0; column < ResultColumnCount; ++column)
        columns += list_->GetColumnWidth(column);
    const int shown = list_->GetClientSize().x;
    if (columns <= shown) return;
    wxRect rect = GetRect();
    wxRect screen = screenAreaAt(rect.GetPosition());
    rect.width = std::min(rect.width + columns - shown, screen.width);
    rect.x = std::max(screen.x, std::min(rect.x, screen.GetRight() + 1 - rect.width));
    SetSize(rect);
}

void ResultsWindow::fitColumns() {
    const auto& rows = results_.rows();
    for (size_t column = 0; column < ResultColumnCount; ++column) {
        int width =
            list_->GetTextExtent(toWx(resultColumns()[column].heading(results_.language()))).x;
        for (size_t row : longestCells(rows, column))
            width = std::max(width, list_->GetTextExtent(toWx(rows[row].cells[column])).x);
        list_->SetColumnWidth(static_cast<int>(column),
                              std::min(width + kCellPadding, kMaxColumnWidth));
    }
}

long ResultsWindow::selectedRow() const {
    return list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void ResultsWindow::selectRow(long row) {
    long previous = selectedRow();
    if (previous >= 0) list_->SetItemState(previous, 0, wxLIST_STATE_SELECTED);
    if (row < 0) return;
    list_->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                        wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    list_->EnsureVisible(row);
}

void ResultsWindow::sortByColumn(int column) {
    if (results_.size() < 2) return;
    long selected = selectedRow();
    std::array<std::string, ResultColumnCount> cells;
    if (selected >= 0) cells = results_.rows()[static_cast<size_t>(selected)].cells;
    results_.sortByColumn(column);
    list_->Refresh();
    if (selected < 0) return;
    const auto& rows = results_.rows();
    auto found = std::find_if(rows.begin(), rows.end(),
                              [&](const ResultRow& row) { return row.cells == cells; });
    selectRow(found == rows.end() ? -1 : static_cast<long>(found - rows.begin()));
}

void ResultsWindow::openHit(long row) {
    if (searching_ || row < 0) return;
    ViewerTarget target = results_.targetOf(static_cast<size_t>(row));
    if (target.kind == ViewerTarget::None || !context_.hooks.openEventViewerAt) return;
    context_.hooks.openEventViewerAt(this, target);
}

void ResultsWindow::saveCsv() {
    if (searching_ || results_.size() == 0) return;
    std::string file;
    if (!askSaveFileName(this, file, {{wxTRANSLATE("csvファイル(*.csv)"), "*.csv"}}, 0,
                         dialogFolder(context_), trs("検索結果をCSVで保存"), "csv"))
        return;
    context_.settings.system.lastDir = folderOf(file);
    auto encoding = static_cast<OutputEncoding>(context_.settings.dataExport.outputEncoding);
    // A file that cannot be made is simply not written.
    size_t lost = 0;
    if (results_.saveCsv(file, csvEncodingFor(encoding, context_.database), &lost))
        warnLostCharacters(this, {{file, lost}});
}

void ResultsWindow::abortSearch() {
    if (!searching_) return;
    context_.tasks.abort();
}

void ResultsWindow::onClose(wxCloseEvent& event) {
    if (searching_) {
        abortSearch();
        if (event.CanVeto()) {
            event.Veto();
            return;
        }
    }
    Destroy();
}

}  // namespace zorvane

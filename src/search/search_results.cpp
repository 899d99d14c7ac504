// Cells, sorting, viewer targets and the CSV of the results list.
#include "search/search_results.h"

#include <algorithm>
#include <locale>
#include <memory>

#include "listing/listing_words.h"
#include "listing/operands.h"

namespace zorvane {

namespace {

// One row per language (see row()).
const char* const kAreaNames[2][5] = {
    {"コモンイベント", "バトルイベント", "マップイベント", "スクリプト", "データベース"},
    {"Common Event", "Battle Event", "Map Event", "Script", "Database"},
};

struct LineCodeText {
    int code;
    const char* text[2];
};

const LineCodeText kLineCodes[] = {
    {LineStartCondition, {"イベント開始条件", "Start Condition"}},
    {LineAppearanceCondition, {"イベント出現条件", "Page Condition"}},
    {LineName, {"イベント名", "Event Name"}},
};

std::string areaCell(SearchArea area, ListingLanguage language) {
    int i = static_cast<int>(area);
    return i >= 0 && i < 5 ? kAreaNames[row(language)][i] : "";
}

std::string mapCell(const SearchHit& hit) {
    if (hit.area != SearchArea::MapEvent) return {};
    if (!hit.hasEvent) return format("%04d:%s", hit.mapId, hit.mapName.c_str());
    return format("%04d:%s(%03d,%03d)", hit.mapId, hit.mapName.c_str(), hit.eventX, hit.eventY);
}

std::string eventCell(const SearchHit& hit) {
    if (hit.area == SearchArea::Database) return hit.itemName;
    return format("%03d:%s", hit.itemId, hit.itemName.c_str());
}

std::string lineCell(int line, ListingLanguage language) {
    if (line > 0) return format("%04d", line);
    for (const LineCodeText& code : kLineCodes)
        if (code.code == line) return code.text[row(language)];
    return {};
}

// The system's locale comparison for text columns: Japanese rules when that locale is
// installed, else the C.UTF-8 order, else plain bytes.
class TextOrder {
  public:
    TextOrder() {
        for (const char* name : {"ja_JP.UTF-8", "ja_JP.utf8", "C.UTF-8"}) {
            try {
                locale_ = std::make_unique<std::locale>(name);
                collate_ = &std::use_facet<std::collate<char>>(*locale_);
                return;
            } catch (const std::exception&) {
                locale_.reset();
            }
        }
    }
    int compare(const std::string& a, const std::string& b) const {
        if (!collate_) return a.compare(b);
        return collate_->compare(a.data(), a.data() + a.size(), b.data(), b.data() + b.size());
    }

  private:
    std::unique_ptr<std::locale> locale_;
    const std::collate<char>* collate_ = nullptr;
};

const TextOrder& textOrder() {
    static const TextOrder order;
    return order;
}

int compareCells(const std::string& a, const std::string& b, SortKind kind) {
    if (kind == SortKind::Text) return textOrder().compare(a, b);
    double x = leadingNumber(a), y = leadingNumber(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace

const std::array<ColumnInfo, ResultColumnCount>& resultColumns() {
    static const std::array<ColumnInfo, ResultColumnCount> columns = {{
        {{"種別", "Area"}, false, SortKind::Text},
        {{"マップパス", "Map Path"}, false, SortKind::Text},
        {{"マップ", "Map"}, false, SortKind::Text},
        {{"イベント名", "Event"}, false, SortKind::Text},
        {{"ページ", "Page"}, true, SortKind::Number},
        {{"行番号", "Line"}, true, SortKind::Number},
        {{"内容", "Content"}, false, SortKind::Text},
    }};
    return columns;
}

std::array<std::string, ResultColumnCount> resultCells(const SearchHit& hit,
                                                       ListingLanguage language) {
    return {areaCell(hit.area, language),
            hit.area == SearchArea::MapEvent ? hit.mapPath : std::string(),
            mapCell(hit),
            eventCell(hit),
            hit.page > 0 ? format("%02d", hit.page) : std::string(),
            lineCell(hit.line, language),
            hit.content};
}

double leadingNumber(const std::string& cell) {
    size_t i = 0;
    bool negative = i < cell.size() && cell[i] == '-';
    if (negative) ++i;
    double value = 0;
    for (; i < cell.size() && cell[i] >= '0' && cell[i] <= '9'; ++i)
        value = value * 10 + (cell[i] - '0');
    return negative ? -value : value;
}

void SearchResults::clear() {
    rows_.clear();
    title_.clear();
    sortColumn_ = -1;
    descending_ = false;
}

void SearchResults::addHit(const SearchHit& hit) {
    rows_.push_back(ResultRow{hit, resultCells(hit, language_)});
}

void SearchResults::sortByColumn(int column) {
    if (column < 0 || column >= ResultColumnCount || rows_.size() < 2) return;
    descending_ = column == sortColumn_ ? !descending_ : false;
    sortColumn_ = column;
    SortKind kind = resultColumns()[static_cast<size_t>(column)].sort;
    size_t c = static_cast<size_t>(column);
    bool descending = descending_;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const ResultRow& a, const ResultRow& b) {
        int order = compareCells(a.cells[c], b.cells[c], kind);
        return descending ? order > 0 : order < 0;
    });
}

ViewerTarget SearchResults::targetOf(size_t row) const {
    ViewerTarget target;
    if (row >= rows_.size()) return target;
    const auto& cells = rows_[row].cells;
    static const std::pair<SearchArea, ViewerTarget::Kind> kKinds[] = {
        {SearchArea::CommonEvent, ViewerTarget::CommonEvent},
        {SearchArea::BattleEvent, ViewerTarget::Troop},
        {SearchArea::MapEvent, ViewerTarget::MapEvent},
        {SearchArea::Script, ViewerTarget::Script},
    };
    for (const auto& [area, kind] : kKinds)
        if (cells[ColumnArea] == areaCell(area, language_)) target.kind = kind;
    if (target.kind == ViewerTarget::None) return target;
    target.item = static_cast<int>(leadingNumber(cells[ColumnEvent]));
    if (target.kind == ViewerTarget::MapEvent)
        target.mapId = static_cast<int>(leadingNumber(cells[ColumnMap]));
    target.page = static_cast<int>(leadingNumber(cells[ColumnPage]));
    target.line = std::max(0, static_cast<int>(leadingNumber(cells[ColumnLine])));
    return target;
}

bool SearchResults::saveCsv(const std::string& path, CsvEncoding encoding, size_t* lost) const {
    if (rows_.empty()) return false;
    CsvWriter writer(path, encoding);
    if (!writer.isOpen()) return false;
    for (const ResultRow& row : rows_)
        writer.writeRow(std::vector<std::string>(row.cells.begin(), row.cells.end()));
    if (lost) *lost = writer.lostCharacters();
    return writer.commit();
}

}  // namespace zorvane

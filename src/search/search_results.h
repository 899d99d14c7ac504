// The results list of a search without its window: seven text cells per hit, sorting by
// a column (again on the same column reverses), where a row leads in the event viewer,
// and saving the rows as CSV.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "csv/csv_writer.h"
#include "project/listing_language.h"
#include "search/search_engine.h"

namespace zorvane {

enum ResultColumn : int {
    ColumnArea = 0,
    ColumnMapPath = 1,
    ColumnMap = 2,
    ColumnEvent = 3,
    ColumnPage = 4,
    ColumnLine = 5,
    ColumnContent = 6,
    ResultColumnCount = 7,
};

enum class SortKind { Text, Number };

struct ColumnInfo {
    const char* headings[2];  // Japanese, English
    bool rightAligned;
    SortKind sort;
    const char* heading(ListingLanguage language) const {
        return headings[language == ListingLanguage::English ? 1 : 0];
    }
};

const std::array<ColumnInfo, ResultColumnCount>& resultColumns();

struct ResultRow {
    SearchHit hit;
    std::array<std::string, ResultColumnCount> cells;
};

// The seven cells of one hit.
std::array<std::string, ResultColumnCount> resultCells(
    const SearchHit& hit, ListingLanguage language = ListingLanguage::Japanese);

// The number at the start of a cell (0 when there is none).
double leadingNumber(const std::string& cell);

// What a double click opens in the event viewer; kind None means nothing happens.
struct ViewerTarget {
    enum Kind { None, CommonEvent, Troop, MapEvent, Script } kind = None;
    int item = 0;
    int mapId = 0;
    int page = 0;
    int line = 0;  // the hit's line in the document from 1; 0 for a hit outside the listing
};

class SearchResults : public SearchSink {
  public:
    explicit SearchResults(ListingLanguage language = ListingLanguage::Japanese)
        : language_(language) {}
    ListingLanguage language() const { return language_; }
    void clear();
    void addHit(const SearchHit& hit) override;
    void setTitle(const std::string& title) override { title_ = title; }

    const std::string& title() const { return title_; }
    const std::vector<ResultRow>& rows() const { return rows_; }
    size_t size() const { return rows_.size(); }

    // Ascending on a new column, reversed on each click of the same column; stable.
    void sortByColumn(int column);
    // Read back from the row's cells, as the window does.
    ViewerTarget targetOf(size_t row) const;
    // One record of seven cells per row, no heading. False (nothing written) when the list
    // is empty or the file cannot be written.
    // `lost` receives the number of characters written as "?" (the encoding cannot hold them).
    bool saveCsv(const std::string& path, CsvEncoding encoding = CsvEncoding::Cp932,
                 size_t* lost = nullptr) const;

  private:
    ListingLanguage language_;
    std::vector<ResultRow> rows_;
    std::string title_;
    int sortColumn_ = -1;
    bool descending_ = false;
};

}  // namespace zorvane

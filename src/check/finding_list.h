// The findings as the desktop list shows them, without its window: four text cells a row
// (severity, kind, where, subject and message), sorting by a column, where a row leads in
// the event viewer, and saving the rows as CSV in the output encoding.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "check/finding.h"
#include "csv/csv_writer.h"
#include "search/search_results.h"

namespace zorvane {

enum FindingColumn : int {
    FindingSeverity = 0,
    FindingKind = 1,
    FindingWhere = 2,
    FindingMessage = 3,
    FindingColumnCount = 4,
};

std::array<const char*, FindingColumnCount> findingHeadings(
    ListingLanguage language = ListingLanguage::Japanese);

class FindingList {
  public:
    // The cells in the language the findings were made in.
    void assign(const std::vector<Finding>& findings,
                ListingLanguage language = ListingLanguage::Japanese);
    size_t size() const { return rows_.size(); }
    const std::array<std::string, FindingColumnCount>& cells(size_t row) const {
        return rows_[row].cells;
    }
    // Ascending on a new column, reversed on each click of the same column; stable. The
    // severity column sorts errors first.
    void sortByColumn(int column);
    ViewerTarget targetOf(size_t row) const;
    // One record a row, no heading; false when empty or the file cannot be written.
    bool saveCsv(const std::string& path, CsvEncoding encoding, size_t* lost = nullptr) const;

  private:
    struct Row {
        Finding finding;
        std::array<std::string, FindingColumnCount> cells;
    };
    std::vector<Row> rows_;
    int sortColumn_ = -1;
    bool descending_ = false;
};

}  // namespace zorvane

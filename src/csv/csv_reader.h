// Reading the CSV lists the import takes: fields split at commas, quoted fields with
// doubled quotes, rows ended by CR LF, CR or LF; text in UTF-8 or the editor's CP932.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

using CsvRow = std::vector<std::string>;
using CsvRows = std::vector<CsvRow>;

// UTF-8 bytes (a leading byte-order mark dropped) as they are; anything else read as CP932.
std::string decodeCsvText(std::string_view bytes);
// Rows of decoded text. A line end always ends a row, also inside quotes: the names and
// numbers of these lists are single lines, and an unmatched quote then costs one row only.
CsvRows parseCsv(std::string_view text);
// The whole file decoded and parsed; false when it cannot be read.
bool readCsvFile(const std::string& path, CsvRows& rows);

// The field's leading decimal integer ("12abc" is 12, "abc" and "" are 0), saturated to
// the range of int64_t rather than wrapped.
int64_t csvInteger(std::string_view field);

}  // namespace zorvane

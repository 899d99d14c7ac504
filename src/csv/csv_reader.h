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

// Lists beyond these are refused: a name list holds at most a few thousand short rows and
// an actor list 99, so only a file that was never such a list comes near them.
constexpr uint64_t kMaxCsvBytes = uint64_t(16) << 20;
constexpr size_t kMaxCsvRows = 200000;

// What the import keeps of a list: the first `fields` fields of each row, and with idRows
// only the rows whose first field starts with a positive number (an id or a level).
struct CsvShape {
    size_t fields = SIZE_MAX;
    bool idRows = false;
};

// UTF-8 bytes (a leading byte-order mark dropped) as they are; anything else read as CP932.
// A file with a byte-order mark, or with more valid UTF-8 characters beyond ASCII than
// invalid bytes, is UTF-8 with a fault: false, with the line of the first invalid byte in
// `error`, rather than a guess that turns every name into mojibake.
bool decodeCsvText(std::string_view bytes, std::string& text, std::string& error);
// Rows of decoded text. A line end always ends a row, also inside quotes: the names and
// numbers of these lists are single lines, and an unmatched quote then costs one row only.
CsvRows parseCsv(std::string_view text, const CsvShape& shape = {});
// The file decoded and parsed; false with the reason in `error` when it cannot be read,
// is too big, has too many rows or is faulty UTF-8.
bool readCsvFile(const std::string& path, const CsvShape& shape, CsvRows& rows, std::string& error);

// The field's leading decimal integer ("12abc" is 12, "abc" and "" are 0), saturated to
// the range of int64_t rather than wrapped.
int64_t csvInteger(std::string_view field);

}  // namespace zorvane

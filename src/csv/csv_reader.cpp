// The CSV reader of the import's lists.
#include "csv/csv_reader.h"

#include <limits>

#include "platform/codepage.h"
#include "platform/file_util.h"

namespace zorvane {

std::string decodeCsvText(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom && isValidUtf8(bytes))
        bytes.remove_prefix(kBom.size());
    return toUtf8Lenient(bytes);
}

namespace {

// One field starting at `pos`; leaves `pos` on the comma or line end that ends it.
std::string readField(std::string_view text, size_t& pos) {
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '\r' || c == '\n') break;
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (pos + 1 < text.size() && text[pos + 1] == '"') {
                field += '"';
                ++pos;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == ',') break;
        if (c == '"' && !wasQuoted && field.empty()) {
            quoted = wasQuoted = true;
            continue;
        }
        field += c;
    }
    return field;
}

}  // namespace

CsvRows parseCsv(std::string_view text) {
    CsvRows rows;
    size_t pos = 0;
    while (pos < text.size()) {
        CsvRow row;
        while (true) {
            row.push_back(readField(text, pos));
            if (pos < text.size() && text[pos] == ',') {
                ++pos;
                continue;
            }
            break;
        }
        rows.push_back(std::move(row));
        if (pos >= text.size()) break;
        bool cr = text[pos++] == '\r';
        if (cr && pos < text.size() && text[pos] == '\n') ++pos;
    }
    return rows;
}

bool readCsvFile(const std::string& path, CsvRows& rows) {
    std::string bytes;
    rows.clear();
    if (!readWholeFile(path, bytes)) return false;
    rows = parseCsv(decodeCsvText(bytes));
    return true;
}

int64_t csvInteger(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        int digit = field[i] - '0';
        if (value > (kMax - digit) / 10)
            return negative ? std::numeric_limits<int64_t>::min() : kMax;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

}  // namespace zorvane

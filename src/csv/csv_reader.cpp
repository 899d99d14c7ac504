// The CSV reader of the import's lists.
#include "csv/csv_reader.h"

#include <cstdio>
#include <limits>

#include "platform/codepage.h"
#include "platform/file_util.h"

namespace zorvane {

namespace {

// The line (from 1) of a byte: CR LF, CR and LF each end one, as they end rows.
size_t lineOf(std::string_view bytes, size_t offset) {
    size_t line = 1;
    for (size_t i = 0; i < offset; ++i)
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    return line;
}

// Whether a text that is not valid UTF-8 was still meant as UTF-8, and where its first
// invalid byte is.
bool mostlyUtf8(std::string_view bytes, size_t& firstInvalid) {
    size_t valid = 0, invalid = 0;
    firstInvalid = bytes.size();
    for (size_t pos = 0; pos < bytes.size();) {
        size_t length = utf8CharLength(bytes, pos);
        if (length == 0) {
            if (invalid++ == 0) firstInvalid = pos;
            ++pos;
            continue;
        }
        valid += length > 1;
        pos += length;
    }
    return valid > invalid;
}

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

// Moves `pos` past the rest of a row's fields without keeping them.
void skipFields(std::string_view text, size_t& pos) {
    while (pos < text.size() && text[pos] == ',') {
        ++pos;
        readField(text, pos);
    }
}

size_t rowCount(std::string_view text) {
    size_t rows = 0;
    for (size_t pos = 0; pos < text.size(); ++rows) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) break;
        pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
        if (pos >= text.size()) ++rows;
    }
    return rows;
}

}  // namespace

bool decodeCsvText(std::string_view bytes, std::string& text, std::string& error) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    bool bom = bytes.substr(0, kBom.size()) == kBom;
    if (isValidUtf8(bytes)) {
        text = std::string(bytes.substr(bom ? kBom.size() : 0));
        return true;
    }
    size_t firstInvalid = 0;
    if (mostlyUtf8(bytes, firstInvalid) || bom) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(bytes[firstInvalid]));
        error = "line " + std::to_string(lineOf(bytes, firstInvalid)) + ": the byte " + byte +
                " is not UTF-8, though the file is UTF-8" +
                (bom ? " (it starts with a byte-order mark)" : "") + "; nothing was read";
        return false;
    }
    text = cp932ToUtf8(bytes);
    return true;
}

CsvRows parseCsv(std::string_view text, const CsvShape& shape) {
    CsvRows rows;
    size_t pos = 0;
    while (pos < text.size()) {
        CsvRow row;
        while (true) {
            row.push_back(readField(text, pos));
            if (shape.idRows && row.size() == 1 && csvInteger(row[0]) <= 0) row.clear();
            if (row.empty() || row.size() >= shape.fields) {
                skipFields(text, pos);
                break;
            }
            if (pos < text.size() && text[pos] == ',') {
                ++pos;
                continue;
            }
            break;
        }
        if (!row.empty()) rows.push_back(std::move(row));
        if (pos >= text.size()) break;
        bool cr = text[pos++] == '\r';
        if (cr && pos < text.size() && text[pos] == '\n') ++pos;
    }
    return rows;
}

bool readCsvFile(const std::string& path, const CsvShape& shape, CsvRows& rows,
                 std::string& error) {
    std::string bytes, text;
    rows.clear();
    std::string why;
    if (!readRegularFile(path, kMaxCsvBytes, bytes, &why)) {
        error = path + ": " + why;
        if (why.rfind("file too large", 0) == 0)
            error += "; a list of names or parameters is far smaller, nothing was read";
        return false;
    }
    if (!decodeCsvText(bytes, text, error)) {
        error = path + ": " + error;
        return false;
    }
    bytes = std::string();
    if (rowCount(text) > kMaxCsvRows) {
        error = path + ": more than " + std::to_string(kMaxCsvRows) +
                " rows, which no list of names or parameters has; nothing was read";
        return false;
    }
    rows = parseCsv(text, shape);
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

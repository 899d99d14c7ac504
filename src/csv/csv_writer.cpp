// Formatted CSV cells with the editor's buffer limit.
#include "csv/csv_writer.h"

#include <cstdarg>

#include "platform/string_util.h"

namespace zorvane {

namespace {

constexpr size_t kMaxFormattedCell = 1023;

}  // namespace

CsvEncoding csvEncodingFor(OutputEncoding encoding, const ProjectDatabase& project) {
    return writesCp932(encoding, project) ? CsvEncoding::Cp932 : CsvEncoding::Utf8;
}

std::string csvFormatCell(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string out = formatList(fmt, args);
    va_end(args);
    if (out.size() <= kMaxFormattedCell) return out;
    size_t end = 0;
    while (end < out.size()) {
        size_t length = utf8CharLength(out, end);
        if (length == 0) length = 1;
        if (end + length > kMaxFormattedCell) break;
        end += length;
    }
    out.resize(end);
    return out;
}

}  // namespace zorvane

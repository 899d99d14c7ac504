// Formatted CSV cells with the editor's buffer limit.
#include "export/csv_writer.h"

#include <cstdarg>
#include <cstdio>

namespace zorvane {

namespace {

constexpr size_t kMaxFormattedCell = 1023;

}  // namespace

std::string csvFormatCell(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(&out[0], out.size(), format, args);
        out.resize(static_cast<size_t>(n));
    }
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

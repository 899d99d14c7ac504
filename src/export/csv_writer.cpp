// Formatted CSV cells with the editor's buffer limit.
#include "export/csv_writer.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace zorvane {

namespace {

constexpr size_t kMaxFormattedCell = 1023;

}  // namespace

bool looksLikeFormula(std::string_view text) {
    if (text.empty() || std::string_view("=+-@\t").find(text.front()) == std::string_view::npos)
        return false;
    // A signed number is data a spreadsheet should keep as a number.
    char* end = nullptr;
    const std::string copy(text);
    std::strtod(copy.c_str(), &end);
    const bool number = end == copy.c_str() + copy.size() && copy.size() > 1 &&
                        copy.find_first_of("0123456789") != std::string::npos;
    return !number;
}

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

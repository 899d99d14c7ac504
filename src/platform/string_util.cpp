#include "platform/string_util.h"

#include <cstdio>

namespace zorvane {

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

bool startsWithNoCase(std::string_view text, std::string_view head) {
    return text.size() >= head.size() && equalsNoCase(text.substr(0, head.size()), head);
}

bool endsWithNoCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() &&
           equalsNoCase(text.substr(text.size() - tail.size()), tail);
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string out = formatList(fmt, args);
    va_end(args);
    return out;
}

std::string formatList(const char* fmt, va_list args) {
    // Most texts fit a small buffer, which saves the second pass.
    char buffer[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(buffer, sizeof buffer, fmt, copy);
    va_end(copy);
    if (n <= 0) return {};
    if (static_cast<size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

}  // namespace zorvane

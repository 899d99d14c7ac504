// Small text helpers every layer needs: comparing names the way Windows does (ASCII letters
// without regard to case; other bytes, UTF-8 included, as they are) and printf into a string.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace zorvane {

// ASCII letters lowered; every other byte kept.
std::string asciiLower(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view head);
bool endsWithNoCase(std::string_view text, std::string_view tail);

// printf into a string of any length; "" when the format fails.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// The same for a caller's own variadic function; `args` is used up.
std::string formatList(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace zorvane

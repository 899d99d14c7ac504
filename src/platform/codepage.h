// Text encoding conversions: the program works in UTF-8, files for people are written in
// Windows code page 932 (iconv "CP932"), and Game.ini/zorvane.ini may be in either.
#pragma once
#include <string>
#include <string_view>

namespace zorvane {

// What a character that CP932 cannot hold becomes.
enum class Unmappable {
    Question,       // "?" (CSV, text)
    HtmlReference,  // "&#233;" (HTML)
};

bool isValidUtf8(std::string_view bytes);
// Length of the well-formed UTF-8 character starting at pos (no overlongs, surrogates or
// values past U+10FFFF), 0 when the bytes there do not form one.
size_t utf8CharLength(std::string_view bytes, size_t pos);

// Invalid UTF-8 bytes become "?"; an unmappable character follows `how`. With `lost`, the
// characters and bytes that became "?" are added to it, so no loss goes unsaid.
std::string utf8ToCp932(std::string_view utf8, Unmappable how = Unmappable::Question,
                        size_t* lost = nullptr);

// Bytes that are not valid CP932 become U+FFFD.
std::string cp932ToUtf8(std::string_view cp932);

// Valid UTF-8 is returned as is, anything else is read as CP932.
std::string toUtf8Lenient(std::string_view bytes);

// For showing text in windows: every invalid UTF-8 sequence becomes U+FFFD.
std::string displayUtf8(std::string_view bytes);

}  // namespace zorvane

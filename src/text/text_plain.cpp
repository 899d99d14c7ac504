// Plain containment. It walks characters rather than bytes so that the bytes of a pattern
// can never be found across the middle of a multi-byte character.
#include <cstring>

#include "platform/codepage.h"
#include "platform/string_util.h"
#include "text/text_chars.h"
#include "text/text_matcher.h"

namespace zorvane {

namespace {

constexpr std::size_t kMaxCharBytes = 4;

bool bytesEqualAt(std::string_view target, std::size_t pos, std::string_view pattern,
                  bool caseSensitive) {
    if (caseSensitive) return std::memcmp(target.data() + pos, pattern.data(), pattern.size()) == 0;
    return equalsNoCase(target.substr(pos, pattern.size()), pattern);
}

}  // namespace

std::size_t charLengthAt(std::string_view text, std::size_t pos) {
    std::size_t len = utf8CharLength(text, pos);
    return len == 0 ? 1 : len;
}

std::size_t charStartAtOrAfter(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return text.size();
    for (std::size_t back = 1; back < kMaxCharBytes && back <= pos; ++back) {
        std::size_t len = utf8CharLength(text, pos - back);
        if (len > back) return pos - back + len;
        if (len != 0) break;  // a whole character ends before pos
    }
    return pos;
}

MatchResult findPlain(std::string_view target, std::string_view pattern, bool caseSensitive,
                      std::size_t startOffset) {
    if (pattern.empty() || target.empty() || startOffset >= target.size()) return {};
    std::size_t pos = charStartAtOrAfter(target, startOffset);
    while (pos < target.size() && target.size() - pos >= pattern.size()) {
        if (bytesEqualAt(target, pos, pattern, caseSensitive) &&
            isCharBoundary(target, pos + pattern.size())) {
            return {true, pos, pattern.size()};
        }
        pos += charLengthAt(target, pos);
    }
    return {};
}

}  // namespace zorvane

// The fuzzy normaliser. Half-width katakana are widened with Unicode's own compatibility
// mappings (through utf8proc) rather than a hand-typed table, so voiced forms stay exact.
#include "text/fuzzy_normalizer.h"

#include <utf8proc.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <memory>

#include "platform/codepage.h"

namespace zorvane {

namespace {

constexpr char32_t kHalfKanaFirst = 0xFF61;  // ｡
constexpr char32_t kHalfKanaLast = 0xFF9F;   // ﾟ
constexpr char32_t kHalfVoicedMark = 0xFF9E;
constexpr char32_t kHalfSemiVoicedMark = 0xFF9F;
constexpr std::size_t kHalfKanaCount = kHalfKanaLast - kHalfKanaFirst + 1;

// NFKC of a short sequence when it yields exactly one code point, else 0.
char32_t composeToOne(const char32_t* cps, std::size_t count) {
    std::string utf8;
    for (std::size_t i = 0; i < count; ++i) {
        utf8proc_uint8_t buf[4];
        auto n = utf8proc_encode_char(static_cast<utf8proc_int32_t>(cps[i]), buf);
        utf8.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
    }
    utf8proc_uint8_t* raw = nullptr;
    auto len = utf8proc_map(
        reinterpret_cast<const utf8proc_uint8_t*>(utf8.data()),
        static_cast<utf8proc_ssize_t>(utf8.size()), &raw,
        static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPAT | UTF8PROC_COMPOSE));
    std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> out(raw, &std::free);
    if (len <= 0) return 0;
    utf8proc_int32_t cp = 0;
    auto used = utf8proc_iterate(out.get(), len, &cp);
    return used == len && cp >= 0 ? static_cast<char32_t>(cp) : 0;
}

// Full-width forms of the half-width katakana block, alone and with a following voiced or
// semi-voiced mark (0 where the pair has no single character).
struct HalfKanaTable {
    std::array<char32_t, kHalfKanaCount> alone{};
    std::array<char32_t, kHalfKanaCount> voiced{};
    std::array<char32_t, kHalfKanaCount> semiVoiced{};

    HalfKanaTable() {
        for (std::size_t i = 0; i < kHalfKanaCount; ++i) {
            char32_t base = kHalfKanaFirst + static_cast<char32_t>(i);
            alone[i] = composeToOne(&base, 1);
            char32_t pair[2] = {base, kHalfVoicedMark};
            voiced[i] = composeToOne(pair, 2);
            pair[1] = kHalfSemiVoicedMark;
            semiVoiced[i] = composeToOne(pair, 2);
        }
        // Alone, the marks widen to combining marks; the spacing forms are what people type.
        alone[kHalfVoicedMark - kHalfKanaFirst] = 0x309B;      // ゛
        alone[kHalfSemiVoicedMark - kHalfKanaFirst] = 0x309C;  // ゜
    }
};

const HalfKanaTable& halfKanaTable() {
    static const HalfKanaTable table;
    return table;
}

bool isHalfKana(char32_t cp) {
    return cp >= kHalfKanaFirst && cp <= kHalfKanaLast;
}

struct Decoded {
    char32_t cp = 0;
    std::size_t length = 0;  // 0: the byte at that place is not a valid character
};

Decoded decodeAt(std::string_view text, std::size_t pos) {
    std::size_t len = utf8CharLength(text, pos);
    if (len == 0) return {};
    utf8proc_int32_t cp = 0;
    utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + pos),
                     static_cast<utf8proc_ssize_t>(len), &cp);
    return {static_cast<char32_t>(cp), len};
}

char32_t foldAsciiWidth(char32_t cp) {
    if (cp >= 0xFF01 && cp <= 0xFF5E) return cp - 0xFEE0;
    if (cp == 0x3000) return 0x20;  // ideographic space
    return cp;
}

char32_t foldKana(char32_t cp) {
    if ((cp >= 0x3041 && cp <= 0x3096) || cp == 0x309D || cp == 0x309E) return cp + 0x60;
    return cp;
}

// One source unit: a character, or a half-width kana with its voicing mark.
struct Unit {
    char32_t cp = 0;
    std::size_t length = 0;
};

Unit widenHalfKana(std::string_view source, std::size_t pos, Decoded first) {
    const auto& table = halfKanaTable();
    std::size_t index = first.cp - kHalfKanaFirst;
    Decoded next = decodeAt(source, pos + first.length);
    if (next.length != 0 && (next.cp == kHalfVoicedMark || next.cp == kHalfSemiVoicedMark)) {
        char32_t combined =
            next.cp == kHalfVoicedMark ? table.voiced[index] : table.semiVoiced[index];
        if (combined != 0) return {combined, first.length + next.length};
    }
    char32_t wide = table.alone[index];
    return {wide != 0 ? wide : first.cp, first.length};
}

void appendCodePoint(std::string& text, char32_t cp) {
    utf8proc_uint8_t buf[4];
    auto n = utf8proc_encode_char(static_cast<utf8proc_int32_t>(cp), buf);
    text.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
}

void appendCaseFolded(std::string& text, char32_t cp) {
    utf8proc_int32_t folded[8];
    int boundClass = 0;
    auto n = utf8proc_decompose_char(static_cast<utf8proc_int32_t>(cp), folded, 8,
                                     UTF8PROC_CASEFOLD, &boundClass);
    if (n <= 0 || n > 8) {
        appendCodePoint(text, cp);
        return;
    }
    for (utf8proc_ssize_t i = 0; i < n; ++i)
        appendCodePoint(text, static_cast<char32_t>(folded[i]));
}

Unit readUnit(std::string_view source, std::size_t pos, const FuzzyFolds& folds, Decoded d) {
    if (folds.options.foldKatakanaWidth && isHalfKana(d.cp)) return widenHalfKana(source, pos, d);
    Unit unit{d.cp, d.length};
    if (folds.options.foldAsciiWidth) unit.cp = foldAsciiWidth(unit.cp);
    return unit;
}

}  // namespace

std::pair<std::size_t, std::size_t> FuzzyText::sourceRange(std::size_t pos, std::size_t len) const {
    if (pos >= origin_.size()) return {sourceSize_, sourceSize_};
    std::size_t begin = origin_[pos].begin;
    if (len == 0) return {begin, begin};
    std::size_t last = std::min(pos + len, origin_.size()) - 1;
    return {begin, origin_[last].end};
}

FuzzyText normalizeFuzzy(std::string_view source, const FuzzyFolds& folds) {
    FuzzyText result;
    if (source.size() >= std::numeric_limits<std::uint32_t>::max()) return result;
    result.sourceSize_ = source.size();
    result.text_.reserve(source.size());
    result.origin_.reserve(source.size());
    std::size_t pos = 0;
    while (pos < source.size()) {
        std::size_t before = result.text_.size();
        Decoded d = decodeAt(source, pos);
        std::size_t consumed = 1;
        if (d.length == 0) {
            result.text_.push_back(source[pos]);
        } else {
            Unit unit = readUnit(source, pos, folds, d);
            if (folds.options.foldKana) unit.cp = foldKana(unit.cp);
            if (folds.foldCase) {
                appendCaseFolded(result.text_, unit.cp);
            } else {
                appendCodePoint(result.text_, unit.cp);
            }
            consumed = unit.length;
        }
        FuzzyText::Span span{static_cast<std::uint32_t>(pos),
                             static_cast<std::uint32_t>(pos + consumed)};
        result.origin_.insert(result.origin_.end(), result.text_.size() - before, span);
        pos += consumed;
    }
    return result;
}

}  // namespace zorvane

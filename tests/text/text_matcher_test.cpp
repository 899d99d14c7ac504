// The text matcher: plain containment at character starts, regular expressions over
// Japanese text and long scripts, fuzzy search reporting original positions, and the
// fallbacks of an empty binding.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "text/text_matcher.h"
#include "text/text_regex.h"

namespace zorvane {
namespace {

MatchArgs args(std::string_view pattern, std::string_view target, bool caseSensitive,
               bool regex = false, bool fuzzy = false, std::size_t offset = 0) {
    MatchArgs a;
    a.pattern = pattern;
    a.target = target;
    a.caseSensitive = caseSensitive;
    a.regex = regex;
    a.fuzzy = fuzzy;
    a.startOffset = offset;
    return a;
}

void expectHit(const MatchResult& r, std::size_t position, std::size_t length) {
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.position, position);
    EXPECT_EQ(r.length, length);
}

bool jitAvailable() {
    uint32_t jit = 0;
    pcre2_config(PCRE2_CONFIG_JIT, &jit);
    return jit != 0;
}

class LoadedMatcher : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(matcher.load()); }
    TextMatcher matcher;
};

TEST(PlainContainment, CaseModes) {
    expectHit(findPlain("xxABCxx", "abc", false), 2, 3);
    EXPECT_FALSE(findPlain("xxABCxx", "abc", true));
    // Only ASCII letters fold: full-width and Greek letters keep their case.
    EXPECT_FALSE(findPlain("ＡＢＣ", "ａｂｃ", false));
    EXPECT_FALSE(findPlain("ＡＢＣ", "abc", false));
    EXPECT_FALSE(findPlain("Α", "α", false));
    expectHit(findPlain("これはテストです", "テスト", false), 9, 9);
}

TEST(PlainContainment, NeverMatchesInsideAMultiByteCharacter) {
    // "あい" is E3 81 82 E3 81 84.
    const std::string target = "あい";
    EXPECT_FALSE(findPlain(target, "\x81\x82", true));
    EXPECT_FALSE(findPlain(target, "\x82\xE3\x81", true));
    EXPECT_FALSE(findPlain(target, "\xE3\x81", true));  // would end inside "あ"
    EXPECT_FALSE(findPlain(target, "\x84", false));
    expectHit(findPlain(target, "い", true), 3, 3);
    // A start offset inside a character moves on to the next one.
    expectHit(findPlain("ああ", "あ", true, 1), 3, 3);
    // Invalid bytes are characters of their own.
    expectHit(findPlain("\xFF"
                        "abc",
                        "abc", true),
              1, 3);
    expectHit(findPlain("a\xFF", "\xFF", true), 1, 1);
}

TEST(PlainContainment, EmptyPatternOrTargetNeverMatches) {
    EXPECT_FALSE(findPlain("abc", "", true));
    EXPECT_FALSE(findPlain("", "a", false));
    EXPECT_FALSE(findPlain("ab", "abc", true));
    TextMatcher m;
    ASSERT_TRUE(m.load());
    for (bool regex : {false, true}) {
        for (bool fuzzy : {false, true}) {
            EXPECT_FALSE(m.match(args("", "abc", false, regex, fuzzy)));
            EXPECT_FALSE(m.match(args("a", "", false, regex, fuzzy)));
        }
    }
}

TEST_F(LoadedMatcher, RegexOverJapaneseText) {
    expectHit(matcher.match(args("テ.ト", "これはテストです", true, true)), 9, 9);
    expectHit(matcher.match(args("[ぁ-ん]+", "アイうえオ", true, true)), 6, 6);
    expectHit(matcher.match(args("HP\\d+", "最大HP250です", true, true)), 6, 5);
    expectHit(matcher.match(args("abc", "xABC", false, true)), 1, 3);
    EXPECT_FALSE(matcher.match(args("abc", "xABC", true, true)));
    // A pattern that could match nothing finds its first non-empty match instead.
    expectHit(matcher.match(args("x*", "abxxc", true, true)), 2, 2);
    expectHit(matcher.match(args("a", "aXa", true, true, false, 1)), 2, 1);
    expectHit(matcher.match(args("い", "あい", true, true, false, 1)), 3, 3);
}

// An invalid byte is one character, neither letter, digit nor space, at its own offset.
TEST_F(LoadedMatcher, RegexOverInvalidUtf8) {
    const std::string bad =
        "\xFF\xFE"
        "abc";
    expectHit(matcher.match(args("abc", bad, true, true)), 2, 3);
    const std::string mixed =
        "ab\xFF"
        "cd";
    expectHit(matcher.match(args("b.c", mixed, true, true)), 1, 3);
    expectHit(matcher.match(args("\\w+", mixed, true, true)), 0, 2);
    expectHit(matcher.match(args("\\w+", mixed, true, true, false, 2)), 3, 2);
    // Checked by PCRE2 itself, an invalid subject is refused rather than misread.
    EXPECT_FALSE(RegexPattern("c", true).find(mixed, 0, false).found);
}

TEST_F(LoadedMatcher, InvalidPatternDoesNotCompileAndMatchesNothing) {
    for (std::string_view bad : {"a(", "[abc", "\xFF"}) {
        EXPECT_FALSE(matcher.compiles(bad, true)) << bad;
        EXPECT_FALSE(matcher.compiles(bad, false, true, true)) << bad;
        EXPECT_FALSE(matcher.match(args(bad, "a(b[abc", true, true))) << bad;
        EXPECT_EQ(matcher.forEachMatch(args(bad, "a(b[abc", true, true),
                                       [](const MatchResult&) { return true; }),
                  0u);
    }
    EXPECT_TRUE(matcher.compiles("テ.ト", true));
    // Without regex the same text is searched literally.
    EXPECT_TRUE(matcher.compiles("a(", true, false, true));
    expectHit(matcher.match(args("a(", "xa(", true)), 1, 2);
}

TEST_F(LoadedMatcher, VariableEscapeScanFindsEveryEscape) {
    std::vector<std::pair<std::size_t, std::size_t>> hits;
    // "所持金" is 9 bytes, "\V[12]" 6, "と" 3, "\v[3]" 5.
    auto count = matcher.forEachMatch(
        args("\\\\(v|V)\\[[0-9]+\\]", "所持金\\V[12]と\\v[3]\\V[]", true, true),
        [&](const MatchResult& m) {
            hits.emplace_back(m.position, m.length);
            return true;
        });
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(hits, (std::vector<std::pair<std::size_t, std::size_t>>{{9, 6}, {18, 5}}));
}

TEST_F(LoadedMatcher, LongStringLiteralAndLargeScript) {
    const std::string literal = "s = \"" + std::string(30000, 'x') + "\"\nend\n";
    const char* stringRule = "\"(\\\\.|[^\"\\\\])*\"";
    expectHit(matcher.match(args(stringRule, literal, true, true)), 4, 30002);

    // The interpreter answers when the JIT stack is too small for the literal.
    RegexPattern tight(stringRule, true);
    RegexFind r = tight.find(literal, 0, true, 32 * 1024);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.begin, 4u);
    EXPECT_EQ(r.end, 30006u);
    EXPECT_EQ(r.interpreted, jitAvailable());
    EXPECT_FALSE(tight.find(literal, 0, true).interpreted);  // the default stack suffices

    const std::string block = "def foo\n  p \"あいう\\V[1]\" # 注釈\nend\n";
    std::string script;
    std::size_t blocks = 0;
    for (; script.size() < 2 * 1024 * 1024; ++blocks) script += block;
    for (bool broken : {false, true}) {
        std::string subject = script;
        if (broken) subject[1] = '\xFF';  // the "e" of the first "def"
        std::size_t seen = matcher.forEachMatch(args("\\\\(v|V)\\[[0-9]+\\]", subject, true, true),
                                                [](const MatchResult& m) { return m.length == 5; });
        EXPECT_EQ(seen, blocks) << (broken ? "with an invalid byte" : "valid");
        EXPECT_EQ(matcher.forEachMatch(args("def", subject, true, true),
                                       [](const MatchResult&) { return true; }),
                  broken ? blocks - 1 : blocks);
    }
}

TEST_F(LoadedMatcher, FuzzyReportsPositionsInTheOriginalText) {
    expectHit(matcher.match(args("ｶﾞｷﾞ", "これはガギです", false, false, true)), 9, 6);
    expectHit(matcher.match(args("ガギ", "これはｶﾞｷﾞです", false, false, true)), 9, 12);
    expectHit(matcher.match(args("がぎ", "xガギ", true, false, true)), 1, 6);
    expectHit(matcher.match(args("ＡＢＣ", "xyzabc", false, false, true)), 3, 3);
    expectHit(matcher.match(args("abc", "ＡＢＣ", false, false, true)), 0, 9);
    expectHit(matcher.match(args("SS", "straße", false, false, true)), 4, 2);
    // Case-sensitive fuzzy folds width but not case.
    expectHit(matcher.match(args("ＡＢＣ", "xABC", true, false, true)), 1, 3);
    EXPECT_FALSE(matcher.match(args("ＡＢＣ", "xabc", true, false, true)));
    // A fuzzy match starts on a whole character: "カ" is not found in "ガ".
    EXPECT_FALSE(matcher.match(args("ｶ", "ガ", false, false, true)));
    expectHit(matcher.match(args("が", "ガがガ", false, false, true, 1)), 3, 3);
    expectHit(matcher.match(args("が", "ガがガ", false, false, true, 4)), 6, 3);
}

TEST_F(LoadedMatcher, FuzzyOptionsChooseTheFolds) {
    matcher.setFuzzyOptions(FuzzyOptions{true, true, false});
    EXPECT_FALSE(matcher.match(args("がぎ", "ガギ", false, false, true)));
    expectHit(matcher.match(args("ｶﾞ", "ガ", false, false, true)), 0, 3);
    matcher.setFuzzyOptions(FuzzyOptions{false, false, true});
    EXPECT_FALSE(matcher.match(args("ｶﾞ", "ガ", false, false, true)));
    EXPECT_FALSE(matcher.match(args("ＡＢＣ", "abc", false, false, true)));
}

TEST_F(LoadedMatcher, RegexWithFuzzyMapsBackToTheOriginal) {
    expectHit(matcher.match(args("ｶﾞ+", "xxガガガ", true, true, true)), 2, 9);
    expectHit(matcher.match(args("hp\\d+", "最大ＨＰ１２３", false, true, true)), 6, 15);
    // \D must keep its meaning when case is ignored.
    expectHit(matcher.match(args("\\D+", "12ab", false, true, true)), 2, 2);
    EXPECT_FALSE(matcher.match(args("hp\\d+", "ＨＰ１２３", true, true, true)));
}

TEST(EmptyBinding, MatchesNothingAndSearchesFallBackToPlain) {
    TextMatcher none(MatcherLibrary::None);
    EXPECT_FALSE(none.load());
    EXPECT_FALSE(none.isLoaded());
    EXPECT_FALSE(none.match(args("abc", "abc", true)));
    EXPECT_FALSE(none.match(args("a.c", "abc", true, true)));
    EXPECT_FALSE(none.compiles("abc", true));
    EXPECT_EQ(none.forEachMatch(args("\\\\V\\[1\\]", "\\V[1]", true, true),
                                [](const MatchResult&) { return true; }),
              0u);

    for (const TextMatcher* m :
         {static_cast<const TextMatcher*>(&none), static_cast<const TextMatcher*>(nullptr)}) {
        EXPECT_FALSE(textMatches("abc", TextQuery{"a.c", false, true, false}, m));
        EXPECT_TRUE(textMatches("xa.cx", TextQuery{"A.C", false, true, false}, m));
        EXPECT_FALSE(textMatches("xa.cx", TextQuery{"A.C", true, true, false}, m));
        EXPECT_FALSE(textMatches("abc", TextQuery{"ＡＢＣ", false, false, true}, m));
        EXPECT_TRUE(textMatches("xＡＢＣ", TextQuery{"ＡＢＣ", false, true, true}, m));
    }
}

TEST(EmptyBinding, AnUnloadedOrReleasedMatcherIsEmptyToo) {
    TextMatcher m;
    EXPECT_FALSE(m.match(args("a.c", "abc", true, true)));
    ASSERT_TRUE(m.load());
    TextQuery regexQuery{"a.c", true, true, false};
    EXPECT_TRUE(textMatches("abc", regexQuery, &m));
    EXPECT_TRUE(textMatches("abc", TextQuery{"ＡＢＣ", false, false, true}, &m));
    m.release();
    EXPECT_FALSE(m.isLoaded());
    EXPECT_FALSE(textMatches("abc", regexQuery, &m));
    EXPECT_TRUE(textMatches("a.c", regexQuery, &m));
}

TEST_F(LoadedMatcher, TwoThreadsShareOneMatcher) {
    std::atomic<int> wrong{0};
    auto work = [&](int seed) {
        for (int i = 0; i < 300; ++i) {
            std::string word = "w" + std::to_string((i + seed) % 40);
            std::string target = "テキスト " + word + " end";
            MatchResult r = matcher.match(args(word + "\\b", target, true, true));
            MatchResult f = matcher.match(args("ﾃｷｽﾄ", target, false, false, true));
            if (!r || r.position != 13 || r.length != word.size() || !f || f.position != 0 ||
                f.length != 12) {
                ++wrong;
            }
        }
    };
    std::thread other(work, 7);
    work(0);
    other.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace zorvane

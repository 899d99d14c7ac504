// CP932 conversions checked against the iconv command, which is independent of our code.
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support/test_support.h"

namespace {

using zorvane::Unmappable;

// What the iconv program makes of the bytes; fails the test when it refuses them.
std::string iconvTool(const std::string& bytes, const char* from, const char* to) {
    ztest::TempDir dir;
    ztest::writeFile(dir.file("in"), bytes);
    int rc =
        ztest::run("iconv -f " + std::string(from) + " -t " + to + " " +
                   ztest::shellQuote(dir.file("in")) + " > " + ztest::shellQuote(dir.file("out")));
    EXPECT_EQ(rc, 0) << "iconv refused the sample";
    return ztest::readFile(dir.file("out"));
}

std::string cp932Of(const std::string& utf8) {
    return iconvTool(utf8, "UTF-8", "CP932");
}

class Cp932Test : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ztest::haveProgram("iconv")) GTEST_SKIP() << "the iconv command is not installed";
    }
};

TEST_F(Cp932Test, MatchesIconvCommandBothWays) {
    const std::vector<std::string> samples = {
        "ABC xyz 123 !?",
        "テストゲーム：◆メッセージ",
        "～－①㈱",  // Windows maps these; plain Shift_JIS refuses them
        "Graphics\\Characters\\001-Fighter01",
        "ｱｲｳｴｵ半角カナ",
        "髙﨑",  // NEC/IBM extension rows
    };
    for (const std::string& utf8 : samples) {
        std::string expected = cp932Of(utf8);
        EXPECT_EQ(zorvane::utf8ToCp932(utf8), expected) << utf8;
        EXPECT_EQ(zorvane::cp932ToUtf8(expected), iconvTool(expected, "CP932", "UTF-8")) << utf8;
        EXPECT_EQ(zorvane::cp932ToUtf8(expected), utf8) << utf8;
    }
}

TEST_F(Cp932Test, UnmappableCharacterBecomesFallbackAndRestSurvives) {
    // é and the emoji have no CP932 form; U+1F600 is 128512.
    std::string text = "～é①😀end";
    std::string question = cp932Of("～") + "?" + cp932Of("①") + "?end";
    std::string html = cp932Of("～") + "&#233;" + cp932Of("①") + "&#128512;end";
    EXPECT_EQ(zorvane::utf8ToCp932(text), question);
    EXPECT_EQ(zorvane::utf8ToCp932(text, Unmappable::Question), question);
    EXPECT_EQ(zorvane::utf8ToCp932(text, Unmappable::HtmlReference), html);
}

TEST_F(Cp932Test, InvalidUtf8BytesBecomeQuestionMarks) {
    EXPECT_EQ(zorvane::utf8ToCp932("a\xFF"
                                   "b"),
              "a?b");
    EXPECT_EQ(zorvane::utf8ToCp932("\xC0\xAF"), "??");                    // overlong '/'
    EXPECT_EQ(zorvane::utf8ToCp932("あ\xE3\x81"), cp932Of("あ") + "??");  // cut short
    // Invalid bytes are never references, even in HTML mode.
    EXPECT_EQ(zorvane::utf8ToCp932("x\xFE", Unmappable::HtmlReference), "x?");
}

TEST_F(Cp932Test, InvalidCp932BecomesReplacementCharacter) {
    EXPECT_EQ(zorvane::cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");  // lead byte at the end
    // A lead byte followed by a byte that cannot trail: the second byte survives.
    EXPECT_EQ(zorvane::cp932ToUtf8("a\x82 b"), "a\xEF\xBF\xBD b");
}

TEST_F(Cp932Test, LenientReadingPrefersUtf8) {
    EXPECT_EQ(zorvane::toUtf8Lenient("タイトル"), "タイトル");
    EXPECT_EQ(zorvane::toUtf8Lenient(cp932Of("タイトル～")), "タイトル～");
    EXPECT_EQ(zorvane::toUtf8Lenient("plain"), "plain");
}

TEST_F(Cp932Test, ConversionsAreThreadSafe) {
    std::string text, back, cp932;
    for (int i = 0; i < 200; ++i) {
        text += "表示é①～";
        back += "表示?①～";
    }
    cp932 = cp932Of(back);
    std::vector<int> good(8, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i)
                good[t] +=
                    zorvane::utf8ToCp932(text) == cp932 && zorvane::cp932ToUtf8(cp932) == back;
        });
    for (auto& th : threads) th.join();
    for (int t = 0; t < 8; ++t) EXPECT_EQ(good[t], 50) << "thread " << t;
}

TEST(Utf8Test, ValidityFollowsTheStandard) {
    EXPECT_TRUE(zorvane::isValidUtf8(""));
    EXPECT_TRUE(zorvane::isValidUtf8("aé◆😀"));
    EXPECT_FALSE(zorvane::isValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(zorvane::isValidUtf8("\xE0\x80\xAF"));      // overlong, three bytes
    EXPECT_FALSE(zorvane::isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(zorvane::isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(zorvane::isValidUtf8("\xE3\x81"));          // cut short
    EXPECT_FALSE(zorvane::isValidUtf8("\x80"));              // lone continuation
}

TEST(Utf8Test, DisplayReplacesOnlyInvalidBytes) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(zorvane::displayUtf8("◆ok"), "◆ok");
    EXPECT_EQ(zorvane::displayUtf8("a\xFF"
                                   "b"),
              "a" + fffd + "b");
    EXPECT_EQ(zorvane::displayUtf8("\x82\xA0◆"), fffd + fffd + "◆");
}

}  // namespace

// Names compared the way Windows compares them (ASCII letters without regard to case, on
// both sides; every other byte as it is) and printf into a string of any length.
#include <gtest/gtest.h>

#include <string>

#include "platform/string_util.h"

using namespace zorvane;

namespace {

TEST(StringUtil, NoCaseComparisonsFoldBothSidesAndOnlyAsciiLetters) {
    struct Case {
        std::string text, other;
        bool equal, starts, ends;
    };
    const Case cases[] = {
        {"Game.INI", "game.ini", true, true, true},
        {"game.ini", "GAME.INI", true, true, true},  // capitals in the pattern, too
        {"HTTP/1.1 200 OK", "Http/", false, true, false},
        {"Content-Length: 12", "CONTENT-LENGTH:", false, true, false},
        {"Graphics\\Titles\\Title.PNG", ".Png", false, false, true},
        {"key\\Software\\RPGXP", "\\rpgxp", false, false, true},
        {"ab", "abc", false, false, false},
        {"", "", true, true, true},
        {"abc", "", false, true, true},
        {"\xC3\x84", "\xC3\xA4", false, false, false},  // Ä and ä: not ASCII, kept apart
        {"@[`{", "`{@[", false, false, false},          // the bytes beside the letters
    };
    for (const Case& c : cases) {
        EXPECT_EQ(equalsNoCase(c.text, c.other), c.equal) << c.text << " / " << c.other;
        EXPECT_EQ(startsWithNoCase(c.text, c.other), c.starts) << c.text << " / " << c.other;
        EXPECT_EQ(endsWithNoCase(c.text, c.other), c.ends) << c.text << " / " << c.other;
    }
    EXPECT_EQ(asciiLower("Map001.RXDATA \xC3\x84"), "map001.rxdata \xC3\x84");
}

TEST(StringUtil, FormatHoldsAnyLength) {
    EXPECT_EQ(format("%03d:%s", 7, "x"), "007:x");
    EXPECT_EQ(format("%s", ""), "");
    const std::string longText(5000, 'a');
    EXPECT_EQ(format("[%s]", longText.c_str()), "[" + longText + "]");
}

}  // namespace

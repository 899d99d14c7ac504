// Rule files and colouring: which lines make rules, and what HTML a script becomes.
#include <gtest/gtest.h>

#include <chrono>

#include "documents/ruby_colour.h"
#include "text/text_matcher.h"

using namespace zorvane;

TEST(ColourRules, OnlyLinesWithTwoFieldsMakeRules) {
    ColourRules rules = parseColourRules(
        "def\tkeyword\r\n"  // CR LF: the class keeps no CR
        ";def\tkeyword\n"   // comment
        "def\n"             // no TAB
        "\tkeyword\n"       // empty expression
        "end\t\n"           // empty class
        "\n"
        "a\tb\tc\n"  // the expression is the first field
        "\"[^\"]*\"\tstring");
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules[0].expression, "def");
    EXPECT_EQ(rules[0].className, "keyword");
    EXPECT_EQ(rules[1].expression, "a");
    EXPECT_EQ(rules[1].className, "b");
    EXPECT_EQ(rules[2].className, "string");
    EXPECT_TRUE(loadColourRules("/nonexistent/ruby_color.txt").empty());
}

struct ColourCase {
    const char* rules;
    const char* script;
    const char* html;
};

class ColourScript : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourScript, WrapsClaimedRunsAndEscapesEverything) {
    TextMatcher matcher;
    ASSERT_TRUE(matcher.load());
    const ColourCase& c = GetParam();
    EXPECT_EQ(colourScript(c.script, parseColourRules(c.rules), &matcher), c.html);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColourScript,
    ::testing::Values(ColourCase{"def\tkeyword", "def f\nend",
                                 "<font class=\"keyword\">def</font> f\nend"},
                      // The string was claimed and blanked first, so its "end" stays a string.
                      ColourCase{"\"[^\"]*\"\tstring\nend\tkeyword", "x = \"the end\" end",
                                 "x = <font class=\"string\">&quot;the end&quot;</font> "
                                 "<font class=\"keyword\">end</font>"},
                      // Touching matches of one rule make one element; runs may span lines.
                      ColourCase{"a\tk", "aab", "<font class=\"k\">aa</font>b"},
                      ColourCase{"(?s)=begin.*?=end\tcomment", "=begin\n<x>\n=end",
                                 "<font class=\"comment\">=begin\n&lt;x&gt;\n=end</font>"},
                      // Text outside runs is escaped too.
                      ColourCase{"x\tk", "</pre><script>x&",
                                 "&lt;/pre&gt;&lt;script&gt;<font class=\"k\">x</font>&amp;"},
                      // A rule that could match nothing still moves on.
                      ColourCase{"b*\tk", "abba", "a<font class=\"k\">bb</font>a"},
                      // A later rule that matches the blanks takes the bytes over.
                      ColourCase{"b\tx\n +\tsp", "a b", "a<font class=\"sp\"> b</font>"},
                      ColourCase{"日本\tk", "a日本語", "a<font class=\"k\">日本</font>語"},
                      ColourCase{"(\tk", "(a)", "(a)"}));

TEST(ColourScript, WithoutTheMatcherNothingIsColouredButAllIsEscaped) {
    TextMatcher none(MatcherLibrary::None);
    none.load();
    EXPECT_EQ(colourScript("def <b>", parseColourRules("def\tkeyword"), &none), "def &lt;b&gt;");
    EXPECT_EQ(colourScript("a\"b", parseColourRules("a\tk"), nullptr), "a&quot;b");
}

// One-line scripts built so that every start of a string runs to the line's end: with the
// bundled rules, colouring stays linear, and a script past the budget is shown uncoloured
// from the line that passes it.
TEST(ColourScript, LongLinesCostTimeInProportionAndPastTheBudgetStayPlain) {
    TextMatcher matcher;
    ASSERT_TRUE(matcher.load());
    ColourRules rules =
        loadColourRules(std::string(ZORVANE_SOURCE_DIR) + "/template/ruby_color.txt");
    ASSERT_FALSE(rules.empty());
    std::string quotes, escapedQuotes;
    for (int i = 0; i < 70000; ++i) quotes += "\"\\", escapedQuotes += "&quot;\\";
    const struct {
        std::string script, html;
    } cases[] = {
        {quotes, escapedQuotes},
        {"def a\n" + quotes, "<font class=\"keyword\">def</font> a\n" + escapedQuotes},
        {"x = 1\n" + std::string(200000, 'y') + "\nend",
         "x = <font class=\"number\">1</font>\n" + std::string(200000, 'y') + "\nend"},
    };
    for (const auto& c : cases) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(colourScript(c.script, rules, &matcher), c.html) << c.script.substr(0, 40);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

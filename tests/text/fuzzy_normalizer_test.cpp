// Fuzzy folding: width, kana and case folds, the options that switch them, and the map from
// folded bytes back to the source text.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/registry_store.h"
#include "text/fuzzy_normalizer.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

std::string fold(std::string_view s, FuzzyOptions options = {}, bool foldCase = false) {
    return normalizeFuzzy(s, FuzzyFolds{options, foldCase}).text();
}

TEST(FuzzyNormalizer, HalfWidthKatakanaWidensAndJoinsVoicingMarks) {
    EXPECT_EQ(fold("ｶﾞｷﾞ"), "ガギ");
    EXPECT_EQ(fold("ﾊﾟﾋﾟﾌﾞ"), "パピブ");
    EXPECT_EQ(fold("ｳﾞ"), "ヴ");
    EXPECT_EQ(fold("ｱﾞ"), "ア゛");  // no single voiced form exists
    EXPECT_EQ(fold("ﾞｶ"), "゛カ");
    EXPECT_EQ(fold("ｰ｡｢｣､･"), "ー。「」、・");
}

TEST(FuzzyNormalizer, HalfWidthKatakanaAgreesWithPythonNfkc) {
    if (!ztest::haveProgram("python3")) GTEST_SKIP() << "python3 is not installed";
    // Each line: a half-width kana alone, with a voiced and with a semi-voiced mark.
    const char* script =
        "import unicodedata as u\n"
        "marks={'\\uff9e':'\\u309b','\\uff9f':'\\u309c'}\n"
        "def w(s):\n"
        "  n=u.normalize('NFKC',s)\n"
        "  if len(s)==2 and len(n)!=1: n=u.normalize('NFKC',s[0])+marks[s[1]]\n"
        "  return n\n"
        "for c in range(0xff66,0xff9e):\n"
        "  b=chr(c)\n"
        "  for s in (b,b+'\\uff9e',b+'\\uff9f'): print(s+'\\t'+w(s))\n";
    std::string out;
    ASSERT_EQ(ztest::run("python3 -c " + ztest::shellQuote(script), &out), 0);
    std::istringstream lines(out);
    std::string line;
    int checked = 0;
    while (std::getline(lines, line)) {
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos);
        EXPECT_EQ(fold(line.substr(0, tab)), line.substr(tab + 1)) << line;
        ++checked;
    }
    EXPECT_EQ(checked, (0xff9e - 0xff66) * 3);
}

TEST(FuzzyNormalizer, FullWidthAsciiKanaAndCase) {
    EXPECT_EQ(fold("Ａｚ０！～　"), "Az0!~ ");
    EXPECT_EQ(fold("ぁがゔゝ"), "ァガヴヽ");
    EXPECT_EQ(fold("ＡＢＣ", {}, true), "abc");
    EXPECT_EQ(fold("Straße", {}, true), "strasse");
    EXPECT_EQ(fold("ＡＢＣ", {}, false), "ABC");
    EXPECT_EQ(fold("漢字"), "漢字");
}

TEST(FuzzyNormalizer, OptionsSwitchEachFoldOff) {
    FuzzyOptions none{false, false, false};
    EXPECT_EQ(fold("Ａ", none), "Ａ");
    EXPECT_EQ(fold("ｶﾞ", none), "ｶﾞ");
    EXPECT_EQ(fold("が", none), "が");
    FuzzyOptions widthOnly{true, true, false};
    EXPECT_EQ(fold("ｶﾞが", widthOnly), "ガが");
}

TEST(FuzzyNormalizer, FoldedBytesMapBackToTheirSource) {
    // "a" 1 byte, "ｶﾞ" 6 bytes, "b" 1 byte; folded "aガb": ガ is bytes 1..3.
    FuzzyText t = normalizeFuzzy("aｶﾞb", FuzzyFolds{});
    ASSERT_EQ(t.text(), "aガb");
    EXPECT_EQ(t.sourceRange(1, 3), std::make_pair(std::size_t{1}, std::size_t{7}));
    EXPECT_EQ(t.sourceRange(4, 1), std::make_pair(std::size_t{7}, std::size_t{8}));
    EXPECT_EQ(t.sourceRange(0, 5), std::make_pair(std::size_t{0}, std::size_t{8}));

    FuzzyText s = normalizeFuzzy("ß", FuzzyFolds{FuzzyOptions{}, true});
    ASSERT_EQ(s.text(), "ss");
    EXPECT_EQ(s.sourceRange(1, 1), std::make_pair(std::size_t{0}, std::size_t{2}));

    FuzzyText bad = normalizeFuzzy(
        "a\xFF"
        "b",
        FuzzyFolds{});
    EXPECT_EQ(bad.text(),
              "a\xFF"
              "b");
    EXPECT_EQ(bad.sourceRange(1, 1), std::make_pair(std::size_t{1}, std::size_t{2}));
}

TEST(FuzzyOptionsStore, RoundTripsThroughTheRegistryFile) {
    ztest::TempDir dir;
    const std::string path = dir.file("registry.ini");
    {
        RegistryStore empty(path);
        FuzzyOptions defaults = loadFuzzyOptions(empty);
        EXPECT_TRUE(defaults.foldAsciiWidth && defaults.foldKatakanaWidth && defaults.foldKana);
        saveFuzzyOptions(empty, FuzzyOptions{false, true, false});
        ASSERT_TRUE(empty.save());
    }
    RegistryStore reread(path);
    FuzzyOptions loaded = loadFuzzyOptions(reread);
    EXPECT_FALSE(loaded.foldAsciiWidth);
    EXPECT_TRUE(loaded.foldKatakanaWidth);
    EXPECT_FALSE(loaded.foldKana);
    EXPECT_NE(ztest::readFile(path).find("[Software\\Hidemaruo\\HmJre]"), std::string::npos);
}

}  // namespace
}  // namespace zorvane

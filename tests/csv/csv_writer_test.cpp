// CSV conventions: quoting, doubled quotes, dropped line breaks, CR LF record ends, CP932
// bytes as the iconv tool makes them, "?" for what CP932 lacks, and atomic files.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "csv/csv_writer.h"
#include "support/test_support.h"

using namespace zorvane;

namespace {

TEST(CsvCell, QuotesEveryCellAndDropsLineBreaks) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "\"\""},       {"12", "\"12\""},     {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""}, {"a\r\nb", "\"ab\""}, {"a\rb\nc", "\"abc\""},
        {"\n\r\n", "\"\""}, {"a,b", "\"a,b\""},   {"100%d", "\"100%d\""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(csvCell(in), out) << in;
}

// Spreadsheets run a cell that starts with =, +, - or @ (or a TAB before them) as a
// formula; asked to, the writer puts an apostrophe in front, which they show as text.
// Signed numbers stay numbers.
TEST(CsvCell, FormulasBecomeTextOnlyWhenAsked) {
    const std::pair<std::string, std::string> cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+cmd|' /C calc'!A0", "\"'+cmd|' /C calc'!A0\""},
        {"@SUM(A1:A2)", "\"'@SUM(A1:A2)\""},
        {"-2+3", "\"'-2+3\""},
        {"\t=1", "\"'\t=1\""},
        {"-", "\"'-\""},
        {"-5", "\"-5\""},
        {"+3.5", "\"+3.5\""},
        {"a=b", "\"a=b\""},
        {"", "\"\""},
    };
    for (const auto& [in, quoted] : cases) {
        EXPECT_EQ(csvCell(in, true), quoted) << in;
        // Unasked, the same cell without the apostrophe.
        const bool marked = quoted.compare(0, 2, "\"'") == 0;
        EXPECT_EQ(csvCell(in), marked ? "\"" + quoted.substr(2) : quoted) << in;
    }
}

TEST(CsvRecord, JoinsCellsAndEndsWithCrLf) {
    EXPECT_EQ(csvRecord({}, CsvEncoding::Utf8), "\r\n");
    EXPECT_EQ(csvRecord({"a", "", "b\"c"}, CsvEncoding::Utf8), "\"a\",\"\",\"b\"\"c\"\r\n");
    // A character that CP932 lacks becomes "?", the rest stays.
    EXPECT_EQ(csvRecord({"café"}, CsvEncoding::Cp932), "\"caf?\"\r\n");
}

TEST(CsvRecord, Cp932BytesMatchIconv) {
    if (!ztest::haveProgram("iconv")) GTEST_SKIP() << "iconv is not installed";
    ztest::TempDir dir;
    // The wave dash, full-width minus and circled one are where Shift_JIS and CP932 differ.
    const std::vector<std::string> cells = {"検索結果", "～－①㈱", "ｶﾀｶﾅ", "表\"示\""};
    std::string expected = "\"検索結果\",\"～－①㈱\",\"ｶﾀｶﾅ\",\"表\"\"示\"\"\"\r\n";
    ztest::writeFile(dir.file("utf8.txt"), expected);
    std::string cp932;
    ASSERT_EQ(
        ztest::run("iconv -f UTF-8 -t CP932 " + ztest::shellQuote(dir.file("utf8.txt")), &cp932),
        0);
    EXPECT_EQ(csvRecord(cells, CsvEncoding::Cp932), cp932);
    // 表 is 0x95 0x5C in CP932: the trail byte is a backslash, and must come through as is.
    EXPECT_NE(cp932.find("\x95\x5c"), std::string::npos);
}

TEST(CsvWriter, WritesAtomicallyAndOnlyOnCommit) {
    ztest::TempDir dir;
    std::string path = dir.file("out.csv");
    ztest::writeFile(path, "old");
    {
        CsvWriter writer(path, CsvEncoding::Utf8);
        ASSERT_TRUE(writer.isOpen());
        writer.writeRow({"a", "b"});
        EXPECT_EQ(ztest::readFile(path), "old") << "nothing replaces the file before commit";
    }
    EXPECT_EQ(ztest::readFile(path), "old") << "a writer dropped without commit leaves the file";
    CsvWriter writer(path);
    writer.writeRow({"x\r\ny"});
    writer.writeRow({});
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(ztest::readFile(path), "\"xy\"\r\n\r\n");
}

TEST(CsvWriter, AFileThatCannotBeCreatedIsANoOp) {
    ztest::TempDir dir;
    std::string path = dir.file("missing/folder/out.csv");
    CsvWriter writer(path);
    EXPECT_FALSE(writer.isOpen());
    writer.writeRow({"a"});
    EXPECT_FALSE(writer.commit());
    EXPECT_FALSE(std::ifstream(path).good());
}

TEST(CsvFormatCell, HoldsAtMost1023BytesCutAtACharacter) {
    EXPECT_EQ(csvFormatCell("%03u:%s", 7u, "Slime"), "007:Slime");
    EXPECT_EQ(csvFormatCell("%s", "50%"), "50%");
    std::string many;
    for (int i = 0; i < 400; ++i) many += "あ";
    // "a" + 341 characters would be 1024 bytes: one character less fits.
    std::string cell = csvFormatCell("a%s", many.c_str());
    EXPECT_EQ(cell.size(), 1u + 340u * 3u);
    EXPECT_EQ(cell.substr(cell.size() - 3), "あ");
    std::string ascii(2000, 'x');
    EXPECT_EQ(csvFormatCell("%s", ascii.c_str()).size(), 1023u);
}

}  // namespace

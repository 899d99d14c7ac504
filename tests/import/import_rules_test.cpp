// The CSV reader and the rules by which a list changes the import's previews.
#include <gtest/gtest.h>

#include "csv/csv_reader.h"
#include "import/import_rules.h"

namespace zorvane {
namespace {

TEST(ImportCsvTest, SplitsFieldsQuotesAndEveryKindOfLineEnd) {
    struct Case {
        const char* text;
        CsvRows rows;
    };
    const Case cases[] = {
        {"1,a\r\n2,b\r\n", {{"1", "a"}, {"2", "b"}}},
        {"1,a\r2,b\n3,c", {{"1", "a"}, {"2", "b"}, {"3", "c"}}},
        {"1,\"a, \"\"b\"\"\",x\n", {{"1", "a, \"b\"", "x"}}},
        {"\n\r\n1,\n", {{""}, {""}, {"1", ""}}},
        {"1,\"open\n2,b\n", {{"1", "open"}, {"2", "b"}}},  // an unmatched quote costs one row
        {"1,ab\"c\n", {{"1", "ab\"c"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseCsv(c.text), c.rows) << c.text;
}

TEST(ImportCsvTest, TextIsUtf8WhenValidElseCp932) {
    auto decoded = [](std::string_view bytes) {
        std::string text, error;
        EXPECT_TRUE(decodeCsvText(bytes, text, error)) << error;
        return text;
    };
    EXPECT_EQ(decoded("\xEF\xBB\xBF"
                      "1,炎"),
              "1,炎");
    EXPECT_EQ(decoded("1,炎"), "1,炎");
    // "スイッチ" in code page 932.
    EXPECT_EQ(decoded("1,\x83\x58\x83\x43\x83\x62\x83\x60"), "1,スイッチ");
}

TEST(ImportRulesTest, NameRowsByIdSkippingHeadersAndIdsBeyond) {
    std::vector<std::string> names = {"", "one", "two", "three", "four", "five"};
    readNameCsv(parseCsv("ID,Name\r\n5x,Door,extra\r\n0,zero\r\n-2,minus\r\n6,beyond\r\n"
                         "99999999999999999999,huge\r\n2,\r\n3\r\n"),
                names);
    EXPECT_EQ(names, (std::vector<std::string>{"", "one", "", "three", "four", "Door"}));
    auto edits = nameEdits({"", "one", "two", "three", "four", "five"}, names);
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[0].id, 2);
    EXPECT_EQ(edits[1].id, 5);
    EXPECT_EQ(edits[1].text, "Door");
}

TEST(ImportRulesTest, ActorRowsAreClampedToOneAnd16BitsAndLevelsOutsideAreSkipped) {
    Table table;
    table.resize(6, 100, 1);
    for (int level = 0; level < 100; ++level)
        for (int p = 0; p < 6; ++p) table.set(p, level, 0, 50);
    Table before = table;
    readActorCsv(parseCsv("Lv,HP,SP,STR,DEX,AGI,INT\n"
                          "1,0,-3,40000,-70000,7,8\n"
                          "100,9,9,9,9,9,9\n0,9,9,9,9,9,9\n"
                          "99,600,abc\n"),
                 table);
    const int16_t level1[] = {1, 1, 32767, 1, 7, 8};
    for (int p = 0; p < 6; ++p) EXPECT_EQ(table.at(p, 1), level1[p]) << p;
    // A short row changes what it has; a non-number counts as 0 and so becomes 1.
    EXPECT_EQ(table.at(0, 99), 600);
    EXPECT_EQ(table.at(1, 99), 1);
    EXPECT_EQ(table.at(2, 99), 50);
    EXPECT_EQ(table.at(0, 0), 50);
    EXPECT_EQ(parameterEdits(1, before, table).size(), 8u);
}

}  // namespace
}  // namespace zorvane

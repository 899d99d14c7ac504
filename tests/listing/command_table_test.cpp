// The command table, its indexes and the single formatting entry point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "listing/listing.h"
#include "listing_test_support.h"
#include "project/resource.h"
#include "support/test_support.h"

using namespace zorvane;
using namespace ltest;

namespace {

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

TEST(CommandTable, HoldsEveryRowOnceInCodeOrder) {
    const auto& table = commandTable();
    ASSERT_EQ(table.size(), 106u);
    for (size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].code, table[i].code);
    for (const CommandRow& row : table) {
        EXPECT_NE(row.formatter, nullptr) << row.code;
        EXPECT_TRUE(startsWith(row.name, "◆") || startsWith(row.name, "：")) << row.code;
        EXPECT_EQ(findCommandRow(row.code), &row);
    }
    EXPECT_EQ(findCommandRow(405), nullptr);
    EXPECT_EQ(findCommandRow(-1), nullptr);
}

TEST(CommandTable, NameIndexHoldsOnlyCommandStartsAndKeepsTheFirstOfASharedName) {
    EXPECT_EQ(codeOfCommandName("◆ループ"), 112);
    EXPECT_EQ(codeOfCommandName("：ループの中断"), -1);
    EXPECT_EQ(codeOfCommandName("◆"), -1);
    EXPECT_EQ(codeOfCommandName("◆アニメーションの表示："), 207);
    EXPECT_EQ(codeOfCommandName("◆分岐終了"), 604);
    EXPECT_EQ(codeOfCommandName("：分岐終了"), -1);
    EXPECT_EQ(codeOfCommandName("no such command"), -1);

    // 106 rows less 12 continuation names, code 0 and the second "アニメーションの表示".
    std::vector<std::string> names = commandNames();
    EXPECT_EQ(names.size(), 92u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (const std::string& n : names) EXPECT_TRUE(startsWith(n, "◆")) << n;
}

TEST(FormatCommand, EdgeCasesOfTheEntryPoint) {
    EXPECT_EQ(line(0, {}, false), "◆");
    EXPECT_EQ(line(405, {str("x")}, false), "//////////////// UnknownCode:405");
    EXPECT_EQ(line(1, {}, true), "//////////////// UnknownCode:001");
    EXPECT_EQ(line(102, {}, true), "◆選択肢の表示：");
    EXPECT_EQ(line(401, {str("続きの行")}, false), "：　　：続きの行");
}

TEST(FormatCommand, ContinuationLinesSayWhatTheyContinueInSearchResults) {
    SearchRequest request;
    request.kind = SearchKind::Switch;
    struct Case {
        int code;
        std::vector<MarshalValue> params;
        const char* listing;
        const char* search;
    };
    const Case cases[] = {
        {401, {str("abc")}, "：　　：abc", "：文章(2行目以降)：abc"},
        {408, {str("memo")}, "：　　：memo", "：注釈(2行目以降)：memo"},
        {509,
         {moveCommand(1, {})},
         "：　　　　　　　　：◇下に移動",
         "：移動ルートの設定(2行目以降)：◇下に移動"},
        {655, {str("p 1")}, "：　　　　　：p 1", "：スクリプト(2行目以降)：p 1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(line(c.code, c.params, false), c.listing);
        EXPECT_EQ(line(c.code, c.params, false, &request), c.search);
    }
    EXPECT_TRUE(
        startsWith(line(605, {num(0), num(1)}, false, &request), "：ショップの処理(2行目以降)："));
    EXPECT_TRUE(startsWith(line(605, {num(0), num(1)}, false), "：　　　　　　　："));
    // A first line keeps its own name in search results.
    EXPECT_EQ(line(101, {str("abc")}, false, &request), "◆文章：abc");
}

TEST(FormatCommand, EventCommandSearchMatchesByCodeWhateverTheFormatterSays) {
    SearchRequest request;
    request.kind = SearchKind::EventCommand;
    request.targetIds = {106, 112, 405};
    EXPECT_TRUE(matches(106, {num(20)}, request));
    EXPECT_TRUE(matches(112, {}, request));
    EXPECT_TRUE(matches(106, {}, request));  // short array: bare name, still that command
    EXPECT_FALSE(matches(113, {}, request));
    EXPECT_FALSE(matches(405, {}, request));  // unknown codes never match
}

TEST(FormatCommand, MissingFileSearchResolvesCollectedFiles) {
    ztest::TempDir game, common;
    std::filesystem::create_directories(game.path() + "/Graphics/Windowskins");
    std::filesystem::create_directories(game.path() + "/Audio/SE");
    ztest::writeFile(game.file("Graphics/Windowskins/Blue.png"), "png");
    ztest::writeFile(game.file("Audio/SE/Bell.ogg"), "ogg");

    ProjectDatabase db;
    db.projectFolder = game.path();
    db.setResources(ResourceResolver(game.path(), common.path()));
    ListingOptions o;
    o.project = &db;
    SearchRequest request;
    request.kind = SearchKind::MissingFile;
    request.missingFiles = true;
    auto missing = [&](int code, std::vector<MarshalValue> params) {
        std::string out;
        return formatCommand(out, command(code, std::move(params)), o, &request);
    };
    EXPECT_FALSE(missing(131, {str("Blue")}));
    EXPECT_FALSE(missing(131, {str("blue")}));  // found without regard to letter case
    EXPECT_TRUE(missing(131, {str("Red")}));
    EXPECT_FALSE(missing(131, {str("")}));  // an empty name is never missing
    EXPECT_FALSE(missing(250, {audio("Bell", 80, 100)}));
    EXPECT_TRUE(missing(250, {audio("Gong", 80, 100)}));
    EXPECT_TRUE(missing(133, {audio("Fanfare", 80, 100)}));
    EXPECT_TRUE(missing(132, {audio("Battle9", 80, 100)}));
    EXPECT_FALSE(missing(132, {audio("", 80, 100)}));
    EXPECT_TRUE(missing(509, {moveCommand(41, {str("Hero"), num(0), num(2), num(0)})}));
    EXPECT_TRUE(missing(509, {moveCommand(44, {audio("Gong", 80, 100)})}));
    EXPECT_FALSE(missing(509, {moveCommand(44, {audio("Bell", 80, 100)})}));
    EXPECT_FALSE(missing(101, {str("Graphics\\Windowskins\\Red")}));
    request.missingFiles = false;
    EXPECT_FALSE(missing(131, {str("Red")}));
}

// zorvane-cli list on the bundled sample project: lines, indentation, and bad ids.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

std::string cli() {
    return ztest::binaryDir() + "/zorvane-cli";
}

// Skips unless the program and the sample project are there and the program has `list`.
bool listAvailable(std::string& why) {
    if (ztest::run("test -f " + ztest::shellQuote(ztest::sampleProject())) != 0) {
        why = "the sample project is not there";
        return false;
    }
    std::string help;
    ztest::run(ztest::shellQuote(cli()) + " --help 2>/dev/null", &help);
    if (help.find("\n  list ") == std::string::npos) {
        why = "zorvane-cli has no list command in this build";
        return false;
    }
    return true;
}

std::vector<std::string> listLines(const std::string& args, int* status = nullptr) {
    std::string out;
    int rc = ztest::run("ZORVANE_COMMON_FILES=" +
                            ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") + " " +
                            ztest::shellQuote(cli()) + " list " +
                            ztest::shellQuote(ztest::sampleProject()) + " " + args + " 2>/dev/null",
                        &out);
    if (status) *status = rc;
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

bool contains(const std::vector<std::string>& lines, const std::string& wanted) {
    for (const std::string& l : lines)
        if (l == wanted) return true;
    return false;
}

}  // namespace

// The first common event of the sample (see tools/make_sample_project.rb).
TEST(ListCli, CommonEventLinesAndIndentation) {
    std::string why;
    if (!listAvailable(why)) GTEST_SKIP() << why;
    int status = -1;
    std::vector<std::string> lines = listLines("--common 1", &status);
    EXPECT_EQ(status, 0);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[0], "◆注釈：コモンイベント1：メッセージと分岐のテスト");
    EXPECT_EQ(lines[1], "：　　：２行目の注釈");
    EXPECT_EQ(lines[3], "◆文章：ようこそ、\\N[1]！");
    EXPECT_EQ(lines[6], "◆文章オプション変更：上,表示");
    EXPECT_EQ(lines[9], "◆ウェイト：20フレーム");
    EXPECT_EQ(lines[10], "◆ラベル：先頭");
    EXPECT_EQ(lines[11], "◆ループ");
    EXPECT_EQ(lines[12], "　◆条件分岐：スイッチ[0001:オープニング終了] == ON");
    EXPECT_TRUE(contains(lines, "　　◆選択肢の表示：はい,いいえ,Café 😀"));
    EXPECT_TRUE(contains(lines, "　　：[はい] の場合"));
    EXPECT_TRUE(contains(lines, "//////////////// UnknownCode:405"));
    EXPECT_EQ(lines.back(), "◆");

    std::vector<std::string> detail = listLines("--common 1 --detail");
    EXPECT_TRUE(contains(detail, "　　◆選択肢の表示：はい,いいえ,Café 😀 (キャンセル時：分岐)"));
}

TEST(ListCli, BadIdsFailWithExitStatusOne) {
    std::string why;
    if (!listAvailable(why)) GTEST_SKIP() << why;
    const char* const cases[] = {
        "--common 0",
        "--common 9999",
        "--troop 9999 --page 1",
        "--troop 1 --page 99",
        "--map 999 --event 1 --page 1",
        "--map 1 --event 9999 --page 1",
        "--map 1 --event 1 --page 0",
    };
    for (const char* args : cases) {
        int status = -1;
        std::vector<std::string> lines = listLines(args, &status);
        EXPECT_EQ(status, 1) << args;
        EXPECT_TRUE(lines.empty()) << args;
    }
}

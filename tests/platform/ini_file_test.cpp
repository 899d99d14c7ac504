// Ini reading the way private profile files are read, and edits that keep every other byte.
#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/test_support.h"

namespace {

using zorvane::IniFile;

std::string toCp932(const std::string& utf8) {
    ztest::TempDir dir;
    ztest::writeFile(dir.file("in"), utf8);
    EXPECT_EQ(ztest::run("iconv -f UTF-8 -t CP932 " + ztest::shellQuote(dir.file("in")) + " > " +
                         ztest::shellQuote(dir.file("out"))),
              0);
    return ztest::readFile(dir.file("out"));
}

const char kGameIni[] =
    "; ゲーム設定\r\n"
    "[Game]\r\n"
    "Library=RGSS102J.dll\r\n"
    "Scripts=Data\\Scripts.rxdata\r\n"
    "Title = テストゲーム\r\n"
    "RTP1=Standard\r\n"
    "  a line without equals\r\n"
    "\r\n"
    "[Extra]\r\n"
    "Title=別\r\n";

TEST(IniFileTest, ChangingOneKeyOfCp932FileKeepsEveryOtherByte) {
    if (!ztest::haveProgram("iconv")) GTEST_SKIP() << "the iconv command is not installed";
    ztest::TempDir dir;
    ztest::writeFile(dir.file("Game.ini"), toCp932(kGameIni));
    IniFile ini;
    ASSERT_TRUE(ini.load(dir.file("Game.ini")));
    EXPECT_TRUE(ini.wasCp932());
    EXPECT_EQ(ini.get("Game", "Title", ""), "テストゲーム");

    ini.set("Game", "Title", "新しい～タイトル");
    ASSERT_TRUE(ini.save(dir.file("Game.ini")));
    std::string expected = kGameIni;
    expected.replace(expected.find("テストゲーム"), std::string("テストゲーム").size(),
                     "新しい～タイトル");
    EXPECT_EQ(ztest::readFile(dir.file("Game.ini")), toCp932(expected));
}

TEST(IniFileTest, SettingTheSameValueChangesNothing) {
    std::string text = "[A]\nkey =  value  \n;c\n";
    IniFile ini = IniFile::fromText(text);
    ini.set("a", "KEY", "value");
    EXPECT_EQ(ini.bytes(), text);
}

TEST(IniFileTest, NewKeysGoToTheEndOfTheirSectionWithTheFilesLineEnd) {
    IniFile ini = IniFile::fromText("[One]\na=1\n\n[Two]\nb=2");
    ini.set("one", "c", "3");
    ini.set("Three", "d", "4");
    ini.set("Two", "e", "5");
    EXPECT_EQ(ini.bytes(), "[One]\na=1\nc=3\n\n[Two]\nb=2\ne=5\n[Three]\nd=4\n");
    EXPECT_EQ(IniFile::fromText("[S]\r\nx=1\r\n").get("s", "x", ""), "1");

    IniFile fresh = IniFile::fromText("");
    fresh.set("System", "LastTab", "2");
    EXPECT_EQ(fresh.bytes(), "[System]\r\nLastTab=2\r\n");
}

TEST(IniFileTest, Utf8FileStaysUtf8AndKeepsItsBom) {
    IniFile ini = IniFile::fromText("\xEF\xBB\xBF[S]\nPath=/home/太郎\n");
    EXPECT_FALSE(ini.wasCp932());
    EXPECT_EQ(ini.get("S", "Path", ""), "/home/太郎");
    ini.set("S", "Path", "/home/花子");
    EXPECT_EQ(ini.bytes(), "\xEF\xBB\xBF[S]\nPath=/home/花子\n");
}

TEST(IniFileTest, LookupRules) {
    IniFile ini = IniFile::fromText(
        "top=ignored\n"
        "[MapViewer]\n"
        ";ZoomMode=9\n"
        "  ZoomMode  =  3  \n"
        "zoommode=4\n"
        "Quoted=\"  spaced  \"\n"
        "Semi=a;b\n"
        "[mapviewer]\n"
        "Other=1\n");
    EXPECT_EQ(ini.get("mapviewer", "ZOOMMODE", "d"), "3");  // first occurrence, trimmed
    EXPECT_EQ(ini.get("MapViewer", "Quoted", "d"), "  spaced  ");
    EXPECT_EQ(ini.get("MapViewer", "Semi", "d"), "a;b");
    EXPECT_EQ(ini.get("MapViewer", "Other", "d"), "d");  // only the first section counts
    EXPECT_EQ(ini.get("", "top", "d"), "d");
    EXPECT_EQ(ini.get("Missing", "x", "d"), "d");
    EXPECT_FALSE(ini.has("MapViewer", ";ZoomMode"));
}

// Reading drops outer spaces and one pair of quotes; what is set must still read back.
TEST(IniFileTest, ValuesReadBackAsTheyWereSet) {
    const std::string values[] = {"  spaced  ", "\"quoted\"", "'single'", "\"",
                                  " ",          "\"a\" b",    "plain"};
    IniFile ini = IniFile::fromText("[S]\r\nK=old\r\n");
    for (const std::string& v : values) {
        ini.set("S", "K", v);
        ini.set("S", "New" + std::to_string(v.size()), v);
        IniFile again = IniFile::fromText(ini.bytes());
        EXPECT_EQ(again.get("S", "K"), v);
        EXPECT_EQ(again.get("S", "New" + std::to_string(v.size())), v);
    }
}

// Lines cost a few bytes each: a megabyte of line ends reads in little memory.
TEST(IniFileTest, AFileOfLineEndsStaysSmall) {
    ztest::TempDir dir;
    ztest::writeFile(dir.file("a.ini"), "[S]\nK=v\n" + std::string(1000000, '\n'));
    ztest::writeFile(dir.file("b.ini"), std::string(2000000, '\n'));
    ztest::BoundedRun r = ztest::runBounded([&] {
        IniFile a, b;
        return a.load(dir.file("a.ini")) && a.get("S", "K") == "v" && !b.load(dir.file("b.ini"))
                   ? 0
                   : 1;
    });
    EXPECT_EQ(r.status, 0) << "the first loads, the second is over the size limit";
    EXPECT_LT(r.peakKb, 80 * 1024);
}

TEST(IniFileTest, GetIntFollowsPrivateProfileRules) {
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"-7", -7},
        {"+5", 5},
        {"12abc", 12},
        {"abc", -1},
        {"", -1},
        {"-", -1},
        {" 9 ", 9},
        {"0x10", 0},
        {"007", 7},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases) {
        IniFile ini = IniFile::fromText(std::string("[S]\nk=") + c.value + "\n");
        EXPECT_EQ(ini.getInt("S", "k", -1), c.expected) << "value \"" << c.value << "\"";
    }
    EXPECT_EQ(IniFile::fromText("[S]\n").getInt("S", "k", 17), 17);
}

TEST(IniFileTest, ValueWithLineBreakCannotAddLines) {
    IniFile ini = IniFile::fromText("[S]\nk=1\n");
    ini.set("S", "k", "a\r\n[Evil]\nx=1");
    EXPECT_EQ(IniFile::fromText(ini.bytes()).sections(), std::vector<std::string>{"S"});
}

TEST(IniFileTest, SaveFailsWithoutTouchingAnything) {
    ztest::TempDir dir;
    IniFile ini = IniFile::fromText("[S]\nk=1\n");
    EXPECT_FALSE(ini.save(dir.file("missing/folder/x.ini")));
    IniFile none;
    EXPECT_FALSE(none.load(dir.file("absent.ini")));
    EXPECT_EQ(none.get("S", "k", "d"), "d");
}

}  // namespace

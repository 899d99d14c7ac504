// zorvane-cli as a user runs it: dump and resave of single files, info and check of projects.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

std::string cli() {
    return ztest::binaryDir() + "/zorvane-cli";
}

int runCli(const std::string& args, std::string* out) {
    return ztest::run(ztest::shellQuote(cli()) + " " + args + " 2>&1", out);
}

TEST(CliDump, ShowsPathsOfAMapLikeObject) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string file = dir.file("Map001.rxdata");
    ASSERT_EQ(ztest::run("ruby -e " + ztest::shellQuote(R"(
module RPG
  class Map; def initialize; @events = {3 => Event.new}; end; end
  class Event; def initialize; @pages = [Page.new]; end; end
  class Page; def initialize; @condition = Cond.new; end; end
  class Cond; def initialize; @switch1_id = 12; end; end
end
File.binwrite(ARGV[0], Marshal.dump(RPG::Map.new)))") +
                         " " + ztest::shellQuote(file)),
              0);
    std::string out;
    ASSERT_EQ(runCli("dump --paths " + ztest::shellQuote(file), &out), 0) << out;
    EXPECT_NE(out.find("@switch1_id: 12    RPG::Map.@events{3}.@pages[0].@condition.@switch1_id"),
              std::string::npos)
        << out;
    std::string resaved = dir.file("out.rxdata");
    ASSERT_EQ(runCli("resave " + ztest::shellQuote(file) + " " + ztest::shellQuote(resaved), &out),
              0);
    EXPECT_EQ(ztest::readFile(resaved), ztest::readFile(file));
}

// AddressSanitizer puts red zones around every local, so each frame of the program under
// test is several times larger (resave needs more than 2 MiB for these levels there); the
// stack it is given grows by as much, and stays below the usual 8 MiB.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSmallStackKiB = 8 * 512;
#else
constexpr int kSmallStackKiB = 512;
#endif

// Arrays nested as deep as the reader allows, under a small stack: the dump walks without
// recursing per level, and the file still writes back as it was.
TEST(CliDump, DeepNestingUnderASmallStack) {
    ztest::TempDir dir;
    std::string file = dir.file("deep.rxdata"), resaved = dir.file("out.rxdata");
    std::string bytes = "\x04\x08";
    for (int i = 0; i < 1999; ++i) bytes += "[\x06";
    ztest::writeFile(file, bytes + "0");
    std::string out;
    std::string small =
        "ulimit -s " + std::to_string(kSmallStackKiB) + "; " + ztest::shellQuote(cli());
    ASSERT_EQ(ztest::run(small + " dump --paths " + ztest::shellQuote(file) + " 2>&1", &out), 0);
    EXPECT_NE(out.find("\n" + std::string(2 * 1999, ' ') + "nil\n"), std::string::npos);
    ASSERT_EQ(
        ztest::run(small + " resave " + ztest::shellQuote(file) + " " + ztest::shellQuote(resaved)),
        0);
    EXPECT_EQ(ztest::readFile(resaved), ztest::readFile(file));
}

TEST(CliDump, ErrorsNameTheFileAndWhatFailed) {
    ztest::TempDir dir;
    struct Case {
        const char* bytes;
        size_t size;
        const char* expect;
    } cases[] = {
        {"\x04\x07\x30", 3, "not Marshal 4.8"},
        {"\x04\x08[\x07i\x06", 6, "truncated"},
        {"\x04\x08[\x06\x64", 5, "unsupported type byte 0x64 at offset 4"},
    };
    for (const Case& c : cases) {
        std::string file = dir.file("bad.rxdata");
        ztest::writeFile(file, std::string(c.bytes, c.size));
        std::string out;
        EXPECT_EQ(runCli("dump " + ztest::shellQuote(file), &out), 1);
        EXPECT_NE(out.find(file + ": "), std::string::npos) << out;
        EXPECT_NE(out.find(c.expect), std::string::npos) << out;
        EXPECT_EQ(
            runCli("resave " + ztest::shellQuote(file) + " " + ztest::shellQuote(dir.file("o")),
                   &out),
            1);
    }
    std::string out;
    EXPECT_EQ(runCli("dump " + ztest::shellQuote(dir.file("none.rxdata")), &out), 1);
    EXPECT_NE(out.find("cannot open"), std::string::npos);
}

TEST(CliProject, InfoAndCheckOnTheSample) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    std::string env =
        "ZORVANE_COMMON_FILES=" + ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") +
        " ";
    std::string out;
    ASSERT_EQ(ztest::run(env + ztest::shellQuote(cli()) + " info " +
                             ztest::shellQuote(ztest::sampleProject()),
                         &out),
              0);
    // What the generator wrote: the title, RTP1=Standard, and the map tree's deepest map.
    EXPECT_NE(out.find("Title: サンプルゲーム"), std::string::npos) << out;
    EXPECT_NE(out.find("RTP1: Standard"), std::string::npos);
    EXPECT_NE(out.find("      [0004] 宿屋 2F"), std::string::npos)
        << "map 4 sits three levels deep";
    // Scripts count from 1, as `doc --script` and the program's script list count them.
    std::string firstScript;
    ASSERT_EQ(ztest::run(
                  "ruby -e 'print Marshal.load(File.binread(ARGV[0]))[0][1]' " +
                      ztest::shellQuote(ztest::sourceDir() + "/sample/Project/Data/Scripts.rxdata"),
                  &firstScript),
              0);
    EXPECT_NE(out.find("\n  001:" + firstScript + " ("), std::string::npos) << out;
    ASSERT_EQ(ztest::run(env + ztest::shellQuote(cli()) + " info --json " +
                             ztest::shellQuote(ztest::sampleProject()),
                         &out),
              0);
    EXPECT_NE(out.find("\"title\": \"サンプルゲーム\""), std::string::npos);
    // The sample has a map entry without a file (map 8): check reports it and still succeeds.
    ASSERT_EQ(ztest::run(env + ztest::shellQuote(cli()) + " check " +
                             ztest::shellQuote(ztest::sampleProject()),
                         &out),
              0)
        << out;
    EXPECT_NE(out.find("has no file Map008.rxdata"), std::string::npos) << out;
    EXPECT_NE(ztest::run(ztest::shellQuote(cli()) + " info /no/such/Game.rxproj 2>&1", &out), 0);
    EXPECT_NE(out.find("not an existing project file"), std::string::npos);
}

TEST(CliProject, CheckFailsOnAnUnreadableFile) {
    ztest::TempDir dir;
    ztest::run("mkdir -p " + ztest::shellQuote(dir.file("Data")));
    ztest::writeFile(dir.file("Game.rxproj"), "RPGXP 1.02");
    ztest::writeFile(dir.file("Data/System.rxdata"), std::string("\x04\x08o", 3));
    ztest::writeFile(dir.file("Data/Map002.rxdata"), std::string("\x04\x08\x30", 3));
    std::string out;
    EXPECT_EQ(runCli("check " + ztest::shellQuote(dir.file("Game.rxproj")), &out), 1);
    EXPECT_NE(out.find("cannot read System.rxdata"), std::string::npos) << out;
    EXPECT_NE(out.find("Map002.rxdata has no entry in MapInfos"), std::string::npos) << out;
}

}  // namespace

// A project named by its folder or by a data file in it is the same project as its file,
// for every command that takes one.
TEST(CliProject, EveryCommandTakesTheProjectFolderOrADataFile) {
    std::string file = ztest::sampleProject();
    std::string folder = file.substr(0, file.rfind('/'));
    std::string env =
        "ZORVANE_COMMON_FILES=" + ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") +
        " ";
    ztest::TempDir dir;
    ztest::writeFile(dir.file("names.csv"), "1,Door\r\n");
    const std::string commands[] = {
        "info",  "check", "list @ --common 1", "search @ --switch 1 --operating",
        "rtp",   "doc @ --common 1 --text",   "info @ --map 1 --measure",
        "import @ " + ztest::shellQuote(dir.file("names.csv")) + " --switches --dry-run"};
    for (const std::string& command : commands) {
        auto line = [&](const std::string& project) {
            std::string words = command;
            size_t at = words.find('@');
            if (at == std::string::npos) return env + ztest::shellQuote(cli()) + " " + words + " " +
                                                 ztest::shellQuote(project) + " 2>&1";
            return env + ztest::shellQuote(cli()) + " " + words.substr(0, at) +
                   ztest::shellQuote(project) + words.substr(at + 1) + " 2>&1";
        };
        std::string expected, out;
        int status = ztest::run(line(file), &expected);
        for (const std::string& other : {folder, folder + "/", folder + "/Data/Map001.rxdata"}) {
            out.clear();  // run() appends
            EXPECT_EQ(ztest::run(line(other), &out), status) << command << " " << other << out;
            EXPECT_EQ(out, expected) << command << " " << other;
        }
    }
}

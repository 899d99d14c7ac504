// zorvane-cli export as a user runs it: the sample's tables, common events and scripts
// into one tree with a line per unit, files that cannot be written listed with exit status
// 1, and flags that name nothing the project has refused before anything is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace {

int runExport(const std::string& args, std::string* out) {
    return ztest::run(ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " export " +
                          ztest::shellQuote(ztest::sampleProject()) + " " + args + " 2>&1",
                      out);
}

TEST(CliExport, WritesTheTreeAndListsWhatCouldNotBeWritten) {
    ztest::TempDir dir;
    const std::string flags = " --tables all --common all --scripts all --encoding utf-8 -o ";
    std::string out;
    ASSERT_EQ(runExport(flags + ztest::shellQuote(dir.path()), &out), 0) << out;
    // Not a terminal: one plain line per unit, 12 tables + 8 common events + 6 scripts.
    EXPECT_NE(out.find("[1/26] DataBase/actors\n"), std::string::npos) << out;
    EXPECT_NE(out.find("[26/26] Script006\n"), std::string::npos) << out;
    const std::string root = dir.file("Project_export");
    EXPECT_EQ(
        ztest::readFile(root + "/DataBase/10属性.csv"),
        "\xEF\xBB\xBF\"ID\",\"名前\"\r\n\"001\",\"炎\"\r\n\"002\",\"氷\"\r\n\"003\",\"雷\"\r\n"
        "\"004\",\"水\"\r\n\"005\",\"土\"\r\n\"006\",\"風\"\r\n\"007\",\"光\"\r\n"
        "\"008\",\"闇\"\r\n\"009\",\"Holy\"\r\n\"010\",\"Poison\"\r\n");
    EXPECT_TRUE(std::filesystem::exists(root + "/CommonEvent/CommonEvent008.html"));

    std::filesystem::remove_all(root + "/Script");
    ztest::writeFile(root + "/Script", "in the way");
    EXPECT_EQ(runExport(flags + ztest::shellQuote(dir.path()), &out), 1) << out;
    EXPECT_NE(out.find("6 files could not be written:\n  " + root + "/Script/001-Game_Sample.html"),
              std::string::npos)
        << out;
}

TEST(CliExport, FlagsThatNameNothingAreRefused) {
    ztest::TempDir dir;
    const std::string to = " -o " + ztest::shellQuote(dir.path());
    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {"--common 9" + to, "--common takes all or an id the project has (1..8), not 9"},
        {"--maps 6" + to, "--maps takes all or an id the project has"},
        {"--tables actors,monsters" + to, "--tables takes all or names from actors,classes"},
        {"--scripts all --encoding latin1" + to, "--encoding is auto, cp932 or utf-8"},
        {to, "nothing to export"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(runExport(c.args, &out), 2) << c.args;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.args << "\n" << out;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace

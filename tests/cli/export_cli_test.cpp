// zorvane-cli export as a user runs it: the sample's tables, common events and scripts
// into one tree with a line per unit, files that cannot be written listed with exit status
// 1, characters that Shift_JIS cannot hold counted per file with exit status 3, and flags
// that name nothing the project has refused before anything is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace {

int runExport(const std::string& args, std::string* out,
              const std::string& project = ztest::sampleProject()) {
    return ztest::run(ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " export " +
                          ztest::shellQuote(project) + " " + args + " 2>&1",
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

// Counts CP932 cannot hold, per file of a UTF-8 export: "relative path<TAB>count" lines.
const char* const kCountLosses = R"PY(
import os, sys
root = sys.argv[1]
for folder, _, files in sorted(os.walk(root)):
    for name in sorted(files):
        path = os.path.join(folder, name)
        text = open(path, encoding='utf-8-sig', newline='').read()
        lost = 0
        for c in text:
            try: c.encode('cp932')
            except UnicodeEncodeError: lost += 1
        if lost: print(os.path.relpath(path, root) + '\t' + str(lost))
)PY";

// Names that Shift_JIS cannot hold, in CSV tables and text documents: a UTF-8 export keeps
// them; a CP932 export writes "?", names each file with the count Python's own codec finds
// in the UTF-8 files, and ends with status 3.
TEST(CliExport, CharactersShiftJisCannotHoldAreCountedPerFile) {
    if (!ztest::haveProgram("ruby") || !ztest::haveProgram("python3"))
        GTEST_SKIP() << "ruby or python3 is not installed";
    ztest::TempDir dir;
    std::string project = dir.file("Game");
    std::filesystem::copy(ztest::sourceDir() + "/sample/Project", project,
                          std::filesystem::copy_options::recursive);
    std::string editor =
        "ruby " + ztest::shellQuote(ztest::sourceDir() + "/tests/textconv/edit_rxdata.rb");
    for (const char* edit :
         {"/Data/Actors.rxdata 1 Pokérus", "/Data/CommonEvents.rxdata 1 中文简体😀"}) {
        std::string args(edit);
        size_t space = args.find(' ');
        std::filesystem::permissions(project + args.substr(0, space),
                                     std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        ASSERT_EQ(
            ztest::run(editor + " rename " + ztest::shellQuote(project + args.substr(0, space)) +
                       args.substr(space)),
            0);
    }
    const std::string flags = " --tables all --common all --text -o ";
    std::string out, counts;
    ASSERT_EQ(runExport(flags + ztest::shellQuote(dir.file("utf8")) + " --encoding utf-8", &out,
                        project + "/Game.rxproj"),
              0)
        << out;
    ztest::writeFile(dir.file("count.py"), kCountLosses);
    ASSERT_EQ(
        ztest::run("python3 " + dir.file("count.py") + " " + dir.file("utf8/Game_export"), &counts),
        0);
    ASSERT_NE(counts, "") << "the renamed names reach the files";
    EXPECT_EQ(runExport(flags + ztest::shellQuote(dir.file("sjis")) + " --encoding cp932", &out,
                        project + "/Game.rxproj"),
              3)
        << out;
    size_t total = 0, files = 0;
    for (size_t start = 0, end; (end = counts.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string line = counts.substr(start, end - start);
        size_t tab = line.find('\t');
        std::string path = dir.file("sjis/Game_export/") + std::string(line.substr(0, tab));
        std::string count(line.substr(tab + 1));
        EXPECT_NE(out.find("\n  " + path + ": " + count + "\n"), std::string::npos) << path << "\n"
                                                                                    << out;
        total += std::stoul(count);
        ++files;
    }
    EXPECT_NE(out.find(std::to_string(total) + " characters that Shift_JIS cannot hold were " +
                       "written as \"?\" in " + std::to_string(files) + " files"),
              std::string::npos)
        << out;
    EXPECT_NE(ztest::readFile(dir.file("sjis/Game_export/DataBase/01アクター.csv")).find("Pok?rus"),
              std::string::npos);
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

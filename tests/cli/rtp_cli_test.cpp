// zorvane-cli rtp on a scratch copy of the sample: the list Ruby's own reading predicts,
// the question that a "no" answers, and the copy after which nothing is listed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/test_support.h"

namespace fs = std::filesystem;

TEST(CliRtp, ListsAsksAndCopies) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    fs::copy(ztest::sourceDir() + "/sample/Project", dir.file("Project"),
             fs::copy_options::recursive);
    std::string env =
        "ZORVANE_COMMON_FILES=" + ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") +
        " WINEPREFIX=" + ztest::shellQuote(dir.file("wine")) + " ";
    std::string project = ztest::shellQuote(dir.file("Project/Game.rxproj"));
    std::string cli =
        env + ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " rtp " + project;

    std::string expected, out;
    ASSERT_EQ(ztest::run(env + "ruby " +
                             ztest::shellQuote(ztest::sourceDir() + "/tests/tools/rtp_files.rb") +
                             " " + project,
                         &expected),
              0);
    ASSERT_EQ(ztest::run(cli + " --json", &out), 0);
    std::string fromJson;
    std::istringstream rows(out);
    for (std::string line; std::getline(rows, line);) {
        auto row = nlohmann::json::parse(line);
        fromJson +=
            row.at("file").get<std::string>() + "\t" + row.at("path").get<std::string>() + "\n";
    }
    EXPECT_EQ(fromJson, expected);
    EXPECT_GT(expected.size(), 0u);

    std::string gameIni = ztest::readFile(dir.file("Project/Game.ini"));
    EXPECT_EQ(ztest::run("echo n | " + cli + " --copy 2>/dev/null"), 1);
    EXPECT_EQ(ztest::readFile(dir.file("Project/Game.ini")), gameIni);

    // No Wine prefix holds the library here: the files are copied and Game.ini changed, and
    // the missing library is reported by the exit status.
    std::string copied, after;
    EXPECT_EQ(ztest::run(cli + " --copy --yes 2>&1", &copied), 1) << copied;
    // The command line speaks English, the copy's problems too (the sample's names are ASCII).
    EXPECT_NE(copied.find("RGSS102J.dll: Not in the Windows system folder"), std::string::npos)
        << copied;
    EXPECT_EQ(std::count_if(copied.begin(), copied.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; }),
              0)
        << copied;
    EXPECT_NE(ztest::readFile(dir.file("Project/Game.ini")), gameIni);
    ASSERT_EQ(ztest::run(cli, &after), 0);
    EXPECT_EQ(after, "");
}

// zorvane-cli lint on a scratch copy of the sample: the findings and exit status that the
// independent Ruby walk (tests/tools/lint_expect.rb) predicts, the kind and severity
// filters, and status 3 naming a map file that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "support/japanese_text.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// Counts of the lines whose kind / severity field (0 or 1) is `value`; all lines for "".
size_t count(const std::string& text, int field, const std::string& value) {
    std::istringstream in(text);
    size_t n = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream cells(line);
        std::string cell;
        for (int i = 0; i <= field; ++i) std::getline(cells, cell, '\t');
        n += value.empty() || cell == value;
    }
    return n;
}

size_t jsonRows(const std::string& out, const char* severity = nullptr) {
    std::istringstream in(out);
    size_t n = 0;
    for (std::string line; std::getline(in, line);)
        n += !severity || nlohmann::json::parse(line)["severity"] == severity;
    return n;
}

}  // namespace

TEST(CliLint, FindingsFiltersAndExitStatus) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    fs::copy(ztest::sourceDir() + "/sample/Project", dir.file("Project"), fs::copy_options::recursive);
    std::string env =
        "ZORVANE_COMMON_FILES=" + ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") + " ";
    std::string project = ztest::shellQuote(dir.file("Project/Game.rxproj"));
    std::string cli = env + ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " lint " + project;
    std::string predicted, out;
    ASSERT_EQ(ztest::run(env + "ruby " + ztest::shellQuote(ztest::sourceDir() + "/tests/tools/lint_expect.rb") +
                             " " + project,
                         &predicted),
              0);
    size_t errors = count(predicted, 1, "error");
    size_t warnings = count(predicted, 1, "warning");

    EXPECT_EQ(ztest::run(cli + " --json", &out), errors ? 1 : 0);
    EXPECT_EQ(jsonRows(out), count(predicted, 0, ""));
    EXPECT_EQ(jsonRows(out, "error"), errors);
    out.clear();  // run() appends
    EXPECT_EQ(ztest::run(cli + " --json --severity warning", &out), errors ? 1 : 0);
    EXPECT_EQ(jsonRows(out), errors + warnings);
    out.clear();
    EXPECT_EQ(ztest::run(cli + " --json --only labels,4", &out),
              count(predicted, 0, "4") ? 1 : 0);  // transfers are errors, labels warnings
    EXPECT_EQ(jsonRows(out), count(predicted, 0, "5") + count(predicted, 0, "4"));

    ztest::writeFile(dir.file("Project/Data/Map002.rxdata"), "not a map");
    out.clear();
    EXPECT_EQ(ztest::run(cli + " --only labels 2>&1", &out), 3);
    EXPECT_NE(out.find("Map002.rxdata"), std::string::npos) << out;

    // A table that cannot be read is not a table of no records: nothing is out of its range.
    ztest::writeFile(dir.file("Project/Data/Classes.rxdata"), "not a table");
    out.clear();
    EXPECT_EQ(ztest::run(cli + " --only database 2>&1", &out), 3);
    EXPECT_NE(out.find("Classes.rxdata"), std::string::npos) << out;
    EXPECT_EQ(out.find("クラスは0番まで"), std::string::npos) << out;
}

// With --lang en the same findings, and what the check writes of them (kind, severity,
// place, message, the database table's name) has no Japanese left; only the project's own
// names may be Japanese. The planted faults give every kind a finding.
TEST(CliLint, EnglishFindingsForEveryKind) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    fs::copy(ztest::sourceDir() + "/sample/Project", dir.file("Project"), fs::copy_options::recursive);
    std::string planted;
    ASSERT_EQ(ztest::run("ruby " + ztest::shellQuote(ztest::sourceDir() + "/tests/tools/plant_faults.rb") +
                             " " + ztest::shellQuote(dir.file("Project")),
                         &planted),
              0);
    std::string cli = "ZORVANE_COMMON_FILES=" +
                      ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") + " " +
                      ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " lint " +
                      ztest::shellQuote(dir.file("Project/Game.rxproj"));
    std::string ja, en, text;
    ztest::run(cli + " --json", &ja);
    ztest::run(cli + " --json --lang en", &en);
    EXPECT_EQ(jsonRows(en), jsonRows(ja));
    std::set<std::string> kinds;
    std::istringstream in(en);
    for (std::string line; std::getline(in, line);) {
        nlohmann::json j = nlohmann::json::parse(line);
        kinds.insert(j["kind"].get<std::string>());
        EXPECT_FALSE(ztest::hasJapanese(j["message"].get<std::string>())) << line;
        EXPECT_FALSE(ztest::hasJapanese(j["where"].value("table", ""))) << line;
        if (j["kind"] == "transfers" || j["kind"] == "self-switches") {
            EXPECT_FALSE(ztest::hasJapanese(j["subject"].get<std::string>())) << line;
        }
    }
    EXPECT_EQ(kinds.size(), 7u);
    // The text form: the kinds' headings and each line before the project's names.
    ztest::run(cli + " --lang en", &text);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, 2, "  ") != 0) {
            EXPECT_FALSE(ztest::hasJapanese(line)) << line;
        }
}

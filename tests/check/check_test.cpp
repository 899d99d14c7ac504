// The project check on a copy of the sample with one mistake of each kind planted by Ruby's
// own Marshal (tests/tools/plant_faults.rb): each is reported once, at its place, and the
// rest is what the sample yields by an independent Ruby walk (tests/tools/lint_expect.rb).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "check/project_check.h"
#include "project/project_database.h"
#include "support/test_support.h"

using namespace zorvane;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// "kind<TAB>severity<TAB>place<TAB>subject" of each finding, sorted; an unused file adds its
// size and whether a script may use it.
std::vector<std::string> findingLines(const std::string& projectFile, CheckResult* kept = nullptr) {
    ProjectDatabase db;
    EXPECT_TRUE(db.open(projectFile, ztest::sourceDir() + "/sample/CommonFiles")) << projectFile;
    std::atomic<bool> abort{false};
    CheckResult result = checkProject(db, CheckOptions(), nullptr, abort);
    EXPECT_TRUE(result.unreadable.empty());
    std::vector<std::string> out;
    for (const Finding& f : result.findings)
        out.push_back(std::to_string(static_cast<int>(f.kind)) + "\t" + severityKey(f.severity) +
                      "\t" + placeText(f.place) + "\t" + f.subject +
                      (f.place.area == FindingPlace::File && f.bytes
                           ? "\t" + std::to_string(f.bytes) + (f.maybeUsed ? "\tmaybe used" : "\tunused")
                           : ""));
    std::sort(out.begin(), out.end());
    if (kept) *kept = result;
    return out;
}

std::vector<std::string> ruby(const std::string& tool, const std::string& args) {
    std::string out;
    EXPECT_EQ(ztest::run("ZORVANE_COMMON_FILES=" +
                             ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") +
                             " ruby " + ztest::shellQuote(ztest::sourceDir() + "/tests/tools/" + tool) +
                             " " + args,
                         &out),
              0);
    std::vector<std::string> result = lines(out);
    std::sort(result.begin(), result.end());
    return result;
}

std::vector<std::string> minus(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

}  // namespace

TEST(ProjectCheck, FindsEachPlantedFaultOnceBesideWhatTheSampleYields) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string project = dir.file("Project");
    fs::copy(ztest::sourceDir() + "/sample/Project", project, fs::copy_options::recursive);
    std::string projectFile = project + "/Game.rxproj";

    std::vector<std::string> before = findingLines(projectFile);
    EXPECT_EQ(before, ruby("lint_expect.rb", ztest::shellQuote(projectFile)));

    std::vector<std::string> planted = ruby("plant_faults.rb", ztest::shellQuote(project));
    ASSERT_EQ(planted.size(), 8u);
    std::vector<std::string> after = findingLines(projectFile);
    EXPECT_EQ(minus(after, before), planted);
    EXPECT_EQ(minus(before, after), std::vector<std::string>());
    EXPECT_EQ(after, ruby("lint_expect.rb", ztest::shellQuote(projectFile)));
}

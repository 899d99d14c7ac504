// textconv and diff as a user runs them: git's diff through the textconv driver, every data
// file of the sample and the corpus, the diff of two project folders; line diffs checked
// against diff(1) and patch(1). Edits are made with Ruby's own Marshal.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <set>

#include "marshal/marshal_file.h"
#include "project/project_database.h"
#include "project/project_path.h"
#include "support/test_support.h"
#include "textconv/file_text.h"
#include "textconv/line_diff.h"

namespace {

namespace fs = std::filesystem;
using zorvane::DataFileKind;

std::string cli() {
    return ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli");
}
std::string sampleFolder() {
    return ztest::sourceDir() + "/sample/Project";
}

// Runs the Ruby editor on a file and returns what it printed, without the line end.
std::string edit(const std::string& args) {
    std::string out;
    std::string script = ztest::sourceDir() + "/tests/textconv/edit_rxdata.rb";
    EXPECT_EQ(ztest::run("ruby " + ztest::shellQuote(script) + " " + args, &out), 0) << args;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

std::string copyOfSample(const ztest::TempDir& dir) {
    std::string to = dir.file("Project");
    fs::copy(sampleFolder(), to, fs::copy_options::recursive);
    for (const auto& e : fs::recursive_directory_iterator(to))
        fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
    return to;
}

std::string q(const std::string& s) {
    return ztest::shellQuote(s);
}

bool haveTools() {
    return ztest::haveProgram("ruby") && ztest::haveProgram("git");
}

// The removed and added lines of a unified diff, file headers aside.
std::vector<std::string> changedLines(const std::string& diff) {
    std::vector<std::string> changed;
    for (std::string_view line : zorvane::splitLines(diff))
        if (!line.empty() && (line[0] == '-' || line[0] == '+') && line.substr(0, 3) != "---" &&
            line.substr(0, 3) != "+++")
            changed.emplace_back(line);
    return changed;
}

TEST(Textconv, GitDiffThroughTheDriverShowsExactlyTheEditedLines) {
    if (!haveTools()) GTEST_SKIP() << "ruby or git is not installed";
    ztest::TempDir dir;
    std::string project = copyOfSample(dir);
    std::string git = "cd " + q(project) + " && git -c user.name=t -c user.email=t@t ";
    // The set-up of the README: the attribute line and the driver, run from the top folder.
    ztest::writeFile(project + "/.gitattributes", "*.rxdata diff=rxdata\n");
    ASSERT_EQ(ztest::run(git + "init -q && " + git + "config diff.rxdata.textconv " +
                         q(cli() + " textconv --project .") + " && " + git + "add -A && " + git +
                         "commit -qm sample"),
              0);
    std::string oldMessage = edit("message " + q(project + "/Data/Map001.rxdata") + " 2 宝の山");
    std::string oldSwitch =
        edit("switch " + q(project + "/Data/System.rxdata") + " 3 'Gate \"B\"'");
    ASSERT_EQ(ztest::run(git + "commit -qam edit"), 0);

    std::string out;
    ASSERT_EQ(ztest::run(git + "diff HEAD~1", &out), 0);
    std::vector<std::string> changed = changedLines(out);
    std::vector<std::string> expected = {
        "-    ◆文章：" + oldMessage,
        "+    ◆文章：宝の山",
        "-switch 3 \"" + oldSwitch + "\"",
        "+switch 3 \"Gate \\\"B\\\"\"",
    };
    EXPECT_EQ(changed, expected) << out;
}

// Repositories that track only Data/, or the whole project; the driver with --project . or
// without it. Older versions reach the driver as temporary files in no project, the edited
// one as the work tree's file: both sides get the same labels, so only the edited line
// changes, and the first commit's text carries names.
TEST(Textconv, GitThroughTheDriverWithOrWithoutGameIni) {
    if (!haveTools()) GTEST_SKIP() << "ruby or git is not installed";
    struct Case {
        bool dataOnly;
        std::string driver;
    };
    const Case cases[] = {
        {true, " textconv --project ."}, {true, " textconv"}, {false, " textconv"}};
    std::string tileset = edit("name " + q(sampleFolder() + "/Data/Tilesets.rxdata") + " 1");
    for (const Case& c : cases) {
        SCOPED_TRACE((c.dataOnly ? "only Data/," : "whole project,") + c.driver);
        ztest::TempDir dir;
        std::string repo = copyOfSample(dir);
        if (c.dataOnly)
            for (const auto& e : fs::directory_iterator(repo))
                if (e.path().filename() != "Data") fs::remove_all(e.path());
        std::string git = "cd " + q(repo) + " && env -u ZORVANE_PROJECT git -c user.name=t " +
                          "-c user.email=t@t ";
        ztest::writeFile(repo + "/.gitattributes", "*.rxdata diff=rxdata\n");
        ASSERT_EQ(ztest::run(git + "init -q && " + git + "config diff.rxdata.textconv " +
                             q(cli() + c.driver) + " && " + git +
                             "config diff.rxdata.cachetextconv true && " + git + "add -A && " +
                             git + "commit -qm first"),
                  0);
        std::string old = edit("message " + q(repo + "/Data/Map001.rxdata") + " 2 宝の山");
        std::string out, errors = dir.file("errors");
        ASSERT_EQ(ztest::run(git + "diff 2>" + q(errors), &out), 0) << ztest::readFile(errors);
        std::vector<std::string> expected = {"-    ◆文章：" + old, "+    ◆文章：宝の山"};
        EXPECT_EQ(changedLines(out), expected) << out;
        ASSERT_EQ(ztest::run(git + "commit -qam edit && " + git + "log -p 2>" + q(errors), &out), 0)
            << ztest::readFile(errors);
        EXPECT_NE(out.find("\n+  tileset_id: 1 [" + tileset + "]\n"), std::string::npos);
        EXPECT_EQ(ztest::readFile(errors), "");
    }
}

// Two common events holding one list object (Marshal writes it once and links to it the
// second time): the walk looks through the link, so search finds the line in both owners,
// as textconv writes it for both.
TEST(Textconv, AListSharedThroughALinkIsWalkedForEachOwner) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string project = copyOfSample(dir);
    std::string common = project + "/Data/CommonEvents.rxdata";
    edit("common-message " + q(common) + " 1 ZqShared");
    edit("share-list " + q(common) + " 1 5");
    std::string out;
    ASSERT_EQ(
        ztest::run(cli() + " search " + q(project) + " --common all --text ZqShared --json", &out),
        0);
    std::set<int> owners;
    for (std::string_view line : zorvane::splitLines(out))
        if (!line.empty() && line[0] == '{')
            owners.insert(nlohmann::json::parse(line).at("itemId").get<int>());
    EXPECT_EQ(owners, (std::set<int>{1, 5})) << out;
    std::string text;
    ASSERT_EQ(ztest::run(cli() + " textconv " + q(common), &text), 0);
    size_t lines = 0;
    for (size_t at = text.find("ZqShared"); at != std::string::npos;
         at = text.find("ZqShared", at + 1))
        ++lines;
    EXPECT_EQ(lines, 2u) << text;
}

// Values of Array, Hash and String subclasses with instance variables (Ruby-built pairs of
// files that differ inside one): dump and textconv change exactly that line, diff reports it.
TEST(Textconv, ChangesInsideSubclassValuesShow) {
    if (!ztest::haveProgram("ruby") || !ztest::haveProgram("diff"))
        GTEST_SKIP() << "ruby or diff is not installed";
    ztest::TempDir dir;
    std::string before = dir.file("old"), after = dir.file("new");
    fs::create_directories(before + "/Data");
    fs::create_directories(after + "/Data");
    std::string cases;
    ASSERT_EQ(ztest::run("ruby " + q(ztest::sourceDir() + "/tests/textconv/subclass_files.rb") +
                             " " + q(before + "/Data") + " " + q(after + "/Data"),
                         &cases),
              0);
    std::string report;
    EXPECT_EQ(ztest::run(cli() + " diff --brief " + q(before) + " " + q(after), &report), 1);
    size_t count = 0;
    for (std::string_view line : zorvane::splitLines(cases)) {
        if (line.empty()) continue;
        ++count;
        std::vector<std::string> fields;
        for (size_t start = 0, tab;; start = tab + 1) {
            tab = line.find('\t', start);
            fields.emplace_back(line.substr(start, tab - start));
            if (tab == std::string_view::npos) break;
        }
        ASSERT_EQ(fields.size(), 3u) << line;
        const std::string& name = fields[0];
        EXPECT_NE(report.find("changed " + name + ":"), std::string::npos) << report;
        for (const char* command : {" textconv ", " dump "}) {
            SCOPED_TRACE(name + command);
            for (const std::string& side : {before, after})
                ASSERT_EQ(ztest::run(cli() + command + q(side + "/Data/" + name) + " > " +
                                     q(side + ".txt")),
                          0);
            std::string diff;
            ztest::run("diff -u " + q(before + ".txt") + " " + q(after + ".txt"), &diff);
            std::vector<std::string> changed = changedLines(diff);
            ASSERT_EQ(changed.size(), 2u) << diff;
            EXPECT_EQ(changed[0][0], '-');
            EXPECT_NE(changed[0].find(fields[1]), std::string::npos) << diff;
            EXPECT_NE(changed[1].find(fields[2]), std::string::npos) << diff;
        }
    }
    EXPECT_EQ(count, 5u);
}

DataFileKind kindByName(const std::string& name) {
    static const std::map<std::string, DataFileKind> kinds = {
        {"CommonEvents.rxdata", DataFileKind::CommonEvents},
        {"Troops.rxdata", DataFileKind::Troops},
        {"System.rxdata", DataFileKind::System},
        {"MapInfos.rxdata", DataFileKind::MapInfos},
        {"Scripts.rxdata", DataFileKind::Scripts},
    };
    if (name.rfind("Map", 0) == 0 && name != "MapInfos.rxdata") return DataFileKind::Map;
    auto it = kinds.find(name);
    return it == kinds.end() ? DataFileKind::Records : it->second;
}

std::string textOf(const std::string& path, const zorvane::ProjectDatabase& db) {
    zorvane::MarshalFile file;
    EXPECT_TRUE(file.load(path)) << path;
    zorvane::TextconvOptions options;
    options.project = &db;
    zorvane::FileText text = zorvane::fileText(file, path, options, fs::file_size(path));
    EXPECT_EQ(text.kind, kindByName(fs::path(path).filename().string())) << path;
    return zorvane::joinedText(text);
}

TEST(Textconv, EveryDataFileOfTheSampleAndTheCorpusGivesTheSameTextTwice) {
    std::vector<std::string> projects = {sampleFolder()};
    if (std::string corpus = ztest::corpusDir(); !corpus.empty())
        for (const auto& e : fs::directory_iterator(corpus))
            if (fs::is_directory(e.path() / "Data")) projects.push_back(e.path().string());
    size_t files = 0;
    for (const std::string& project : projects) {
        // Two databases, so the second text owes nothing to what the first reading left.
        zorvane::ProjectDatabase first, second;
        first.open(zorvane::projectFileOf(project));
        second.open(zorvane::projectFileOf(project));
        for (const auto& e : fs::directory_iterator(project + "/Data")) {
            std::string path = e.path().string();
            std::string text = textOf(path, first);
            EXPECT_EQ(textOf(path, second), text) << path;
            // The command line, in another process and from another folder, says the same.
            if (project == sampleFolder()) {
                std::string out;
                EXPECT_EQ(
                    ztest::run("cd / && TZ=Asia/Tokyo " + cli() + " textconv " + q(path), &out), 0);
                EXPECT_EQ(out, text) << path;
            }
            ++files;
        }
    }
    EXPECT_GT(files, 20u);
    if (projects.size() == 1) std::printf("corpus not present: only the sample was converted\n");
}

TEST(Textconv, LabelsComeFromTheProjectOrStayBareIds) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string lone =
        dir.file("Map001.rxdata");  // as git's copy of an older version: in no project
    fs::copy_file(sampleFolder() + "/Data/Map001.rxdata", lone);
    std::string tileset = edit("name " + q(sampleFolder() + "/Data/Tilesets.rxdata") + " 1");
    std::string out;
    ASSERT_EQ(ztest::run("cd " + q(dir.path()) + " && env -u ZORVANE_PROJECT " + cli() +
                             " textconv " + q(lone),
                         &out),
              0);
    EXPECT_NE(out.find("\n  tileset_id: 1\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Warning"), std::string::npos) << "bare ids carry no overflow marker";
    for (std::string run :
         {"ZORVANE_PROJECT=" + q(sampleFolder()) + " " + cli() + " textconv " + q(lone),
          cli() + " textconv --project " + q(sampleFolder()) + " " + q(lone)}) {
        ASSERT_EQ(ztest::run(run, &out), 0) << run;
        EXPECT_NE(out.find("\n  tileset_id: 1 [" + tileset + "]\n"), std::string::npos) << run;
    }
    // Labels are a courtesy: without names the ids stay bare, one line says why, git goes on.
    std::string errors = dir.file("errors");
    ASSERT_EQ(ztest::run("cd " + q(dir.path()) + " && " + cli() + " textconv --project " +
                             q(dir.path()) + " " + q(lone) + " 2>" + q(errors),
                         &out),
              0);
    EXPECT_NE(out.find("\n  tileset_id: 1\n"), std::string::npos) << out;
    std::string why = ztest::readFile(errors);
    EXPECT_EQ(std::count(why.begin(), why.end(), '\n'), 1) << why;
}

TEST(ProjectDiff, ReportsExactlyTheAddedRemovedAndChangedItems) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string copy = copyOfSample(dir);
    // Re-saving in another order of variables and hash entries is no change at all.
    for (const char* file : {"Map001.rxdata", "Actors.rxdata", "MapInfos.rxdata", "System.rxdata"})
        edit("shuffle " + q(copy + "/Data/" + file));
    std::string out;
    EXPECT_EQ(ztest::run(cli() + " diff " + q(sampleFolder()) + " " + q(copy), &out), 0) << out;
    EXPECT_EQ(out, "");

    edit("copy-event " + q(copy + "/Data/Map002.rxdata") + " 3 40");
    edit("remove-event " + q(copy + "/Data/Map003.rxdata") + " 2");
    std::string old =
        edit("common-message " + q(copy + "/Data/CommonEvents.rxdata") + " 1 'a < b'");
    edit("common-trigger " + q(copy + "/Data/CommonEvents.rxdata") + " 1 1 3");
    // A save that touched only the editor's bookkeeping is that and nothing else.
    edit("bookkeeping " + q(copy + "/Data/System.rxdata"));
    edit("bookkeeping " + q(copy + "/Data/MapInfos.rxdata"));
    ASSERT_EQ(ztest::run(cli() + " diff --json " + q(sampleFolder()) + " " + q(copy), &out), 1);
    nlohmann::json report = nlohmann::json::parse(out);
    std::set<std::vector<std::string>> changes;
    for (const auto& c : report["changes"]) {
        changes.insert({c["change"].get<std::string>(), c["file"].get<std::string>(),
                        c["item"].get<std::string>()});
        if (c["file"] == "CommonEvents.rxdata") {
            std::string diff = c["diff"];
            EXPECT_NE(diff.find("\n-  ◆文章：" + old + "\n"), std::string::npos) << diff;
            EXPECT_NE(diff.find("\n+  ◆文章：a < b\n"), std::string::npos) << diff;
            // The condition block follows the trigger: autorun now, with its switch.
            EXPECT_NE(diff.find("\n-  　なし\n+  　自動実行\n+  条件スイッチ\n"), std::string::npos)
                << diff;
        }
    }
    std::set<std::vector<std::string>> expected = {
        {"added", "Map002.rxdata", "event 40"},
        {"removed", "Map003.rxdata", "event 2"},
        {"changed", "CommonEvents.rxdata", "common event 1"},
        {"changed", "System.rxdata", "editor state"},
        {"changed", "MapInfos.rxdata", "editor state"},
    };
    EXPECT_EQ(changes, expected) << out;
    EXPECT_TRUE(report["problems"].empty());
}

// Random texts over a few distinct lines, so that changes cluster and hunks merge.
std::string randomText(std::mt19937& rng, int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line " + std::to_string(rng() % 5) + "\n";
    return text;
}

TEST(LineDiff, HunksAreMinimalAndPatchRebuildsTheNewText) {
    if (!ztest::haveProgram("diff") || !ztest::haveProgram("patch"))
        GTEST_SKIP() << "no diff/patch";
    std::mt19937 rng(21);
    std::vector<std::pair<std::string, std::string>> cases = {
        {"", "a\nb\n"}, {"a\nb\n", ""}, {"a\nb\nc\n", "a\nb\nc\n"}, {"a\n", "b\n"}};
    for (int i = 0; i < 12; ++i)
        cases.emplace_back(randomText(rng, static_cast<int>(rng() % 40)),
                           randomText(rng, static_cast<int>(rng() % 40)));
    ztest::TempDir dir;
    for (const auto& [before, after] : cases) {
        ztest::writeFile(dir.file("old"), before);
        ztest::writeFile(dir.file("new"), after);
        std::string ours = zorvane::unifiedDiff(before, after);
        ztest::writeFile(dir.file("patch"), "--- old\n+++ new\n" + ours);
        std::string theirs, rebuilt;
        ztest::run("diff --minimal -u " + q(dir.file("old")) + " " + q(dir.file("new")), &theirs);
        auto edits = [](const std::string& diff) {
            size_t n = 0;
            for (std::string_view line : zorvane::splitLines(diff))
                if ((line[0] == '-' || line[0] == '+') && line.substr(0, 3) != "---" &&
                    line.substr(0, 3) != "+++")
                    ++n;
            return n;
        };
        EXPECT_EQ(edits(ours), edits(theirs)) << before << "=>\n" << after << ours;
        EXPECT_EQ(ours.empty(), before == after);
        if (ours.empty()) continue;
        ASSERT_EQ(ztest::run("patch -s -o " + q(dir.file("out")) + " " + q(dir.file("old")) + " " +
                             q(dir.file("patch"))),
                  0)
            << ours;
        EXPECT_EQ(ztest::readFile(dir.file("out")), after) << ours;
    }
}

}  // namespace

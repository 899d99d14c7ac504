// The export run on the sample project: which files each choice writes (and nothing
// else), progress that reaches its count, an abort that keeps exactly the files written,
// files that cannot be written reported while the run goes on, and map pictures that show
// the events when the display settings say so.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "export/export_driver.h"
#include "platform/codepage.h"
#include "platform/file_util.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "support/test_support.h"

using namespace zorvane;
namespace fs = std::filesystem;

namespace {

class RecordingSink : public ExportSink {
  public:
    void begin(int t) override { total = t; }
    void unit(const std::string&) override {}
    void step(int d) override {
        EXPECT_EQ(d, done + 1);
        done = d;
    }
    void fileWritten(const std::string& path, uint64_t) override {
        written.insert(path);
        if (abortAfter > 0 && static_cast<int>(written.size()) == abortAfter) abort = true;
    }
    void fileFailed(const std::string& path) override { failed.push_back(path); }
    bool askFullSizeBmp(int) override { return false; }

    int total = 0, done = 0;
    int abortAfter = 0;
    std::atomic<bool> abort{false};
    std::set<std::string> written;
    std::vector<std::string> failed;
};

// Every file below a folder, relative to it.
std::set<std::string> filesBelow(const std::string& root) {
    std::set<std::string> files;
    if (!fs::exists(root)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), root).string());
    return files;
}

class ExportRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db.open(ztest::sampleProject(), ztest::sourceDir() + "/sample/CommonFiles"));
        options.outputFolder = out.path();
        useTemplateFolder(options.documents, ztest::sourceDir() + "/template");
        options.colourRulesFile = ztest::sourceDir() + "/template/ruby_color.txt";
    }

    ExportSummary run() {
        ExportSummary summary = runExport(options, db, sink, sink.abort);
        EXPECT_EQ(summary.root, out.file("Project_export"));
        return summary;
    }
    std::set<std::string> files() { return filesBelow(out.file("Project_export")); }
    ExportCategory& category(int index) { return options.categories[static_cast<size_t>(index)]; }

    ProjectDatabase db;
    ztest::TempDir out;
    ExportOptions options;
    RecordingSink sink;
};

TEST_F(ExportRunTest, OnlySwitchesWritesTheirFileInTheProjectsEncoding) {
    options.tables[kTableSwitches] = true;
    ExportSummary summary = run();
    EXPECT_EQ(summary.end, ExportEnd::Finished);
    EXPECT_EQ(files(), std::set<std::string>{"DataBase/11スイッチ.csv"});
    EXPECT_EQ(sink.total, 1);
    EXPECT_EQ(sink.done, 1);
    // The sample's Game.ini is Shift_JIS: the automatic encoding is CP932, without a BOM.
    ztest::TempDir scratch;
    ztest::writeFile(scratch.file("name.txt"), "\"0001\",\"オープニング終了\"\r\n");
    std::string cp932;
    ASSERT_EQ(ztest::run("iconv -f UTF-8 -t CP932 " + ztest::shellQuote(scratch.file("name.txt")),
                         &cp932),
              0);
    std::string bytes = ztest::readFile(out.file("Project_export/DataBase/11スイッチ.csv"));
    EXPECT_EQ(bytes.substr(0, 6), "\"ID\",\"");
    EXPECT_NE(bytes.find(cp932), std::string::npos);
    // A project whose Game.ini is GBK holds text CP932 cannot: UTF-8 behind a byte-order mark.
    db.gameIniEncoding = "GBK";
    sink.done = 0;
    run();
    bytes = ztest::readFile(out.file("Project_export/DataBase/11スイッチ.csv"));
    EXPECT_EQ(bytes.substr(0, 9), "\xEF\xBB\xBF\"ID\",\"");
    EXPECT_NE(bytes.find("\"0009\",\"Café 😀 フラグ\""), std::string::npos);
}

TEST_F(ExportRunTest, EachChoiceWritesItsFilesAndNothingElse) {
    struct Case {
        const char* what;
        std::function<void(ExportOptions&)> choose;
        std::set<std::string> files;
        int units;
    };
    auto one = [](int index, int id) {
        return [index, id](ExportOptions& o) { o.categories[size_t(index)] = {true, true, id}; };
    };
    const Case cases[] = {
        {"common event 7", one(kExportCommonEvents, 7), {"CommonEvent/CommonEvent007.html"}, 1},
        {"common event 7 as text",
         [&](ExportOptions& o) {
             one(kExportCommonEvents, 7)(o);
             o.documents.html = false;
         },
         {"CommonEvent/CommonEvent007.txt"},
         1},
        {"map 3 and the maps below it",
         [&](ExportOptions& o) {
             one(kExportMapEvents, 3)(o);
             o.includeSubMaps = true;
         },
         {"MapEvent/Map0003/MapEvent0003-0001-01.html",
          "MapEvent/Map0003/MapEvent0003-0002-01.html",
          "MapEvent/Map0003/MapEvent0003-0003-01.html",
          "MapEvent/Map0004/MapEvent0004-0001-01.html",
          "MapEvent/Map0004/MapEvent0004-0002-01.html",
          "MapEvent/Map0004/MapEvent0004-0003-01.html",
          "MapEvent/Map0004/MapEvent0004-0003-02.html"},
         8},  // every entry of the tree, the root included
        {"the picture of map 3 as PNG",
         [&](ExportOptions& o) {
             o.categories[kExportMapEvents] = {false, true, 3};
             o.mapImages = true;
             o.render.saveMode = kFormatPng;
         },
         {"MapImage/Map0003.png"},
         8},
        {"script 2 as text",
         [&](ExportOptions& o) {
             one(kExportScripts, 2)(o);
             o.documents.html = false;
         },
         {"Script/002-Game_Clock 日本語コメント.rb"},
         1},
        {"a script titled with a slash",
         one(kExportScripts, 3),
         {"Script/003-Window_Scene 拡張.html"},
         1},
        {"all scripts but the empty one",
         [&](ExportOptions& o) {
             o.categories[kExportScripts] = {true, false, 0};
             o.documents.skipEmpty = true;
         },
         {"Script/001-Game_Sample.html", "Script/002-Game_Clock 日本語コメント.html",
          "Script/003-Window_Scene 拡張.html", "Script/005-Main.html",
          "Script/006-<script>alert(\"title\")<_script> & \"Title\".html"},
         6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ztest::TempDir folder;
        ExportOptions o = options;
        o.outputFolder = folder.path();
        c.choose(o);
        RecordingSink recorder;
        ExportSummary summary = runExport(o, db, recorder, recorder.abort);
        EXPECT_EQ(summary.end, ExportEnd::Finished) << summary.stopMessage;
        EXPECT_EQ(filesBelow(summary.root), c.files);
        EXPECT_EQ(recorder.total, c.units);
        EXPECT_EQ(recorder.done, c.units);
        EXPECT_TRUE(recorder.failed.empty());
    }
}

TEST_F(ExportRunTest, AbortKeepsExactlyTheFilesWrittenSoFar) {
    options.tables.fill(true);
    for (auto& c : options.categories) c = {true, false, 0};
    sink.abortAfter = 25;
    ExportSummary summary = run();
    EXPECT_EQ(summary.end, ExportEnd::Aborted);
    EXPECT_LT(sink.done, sink.total);
    std::set<std::string> expected;
    for (const std::string& path : sink.written)
        expected.insert(fs::relative(path, summary.root).string());
    EXPECT_EQ(files(), expected) << "no partial or temporary file is left behind";
}

TEST_F(ExportRunTest, FilesThatCannotBeWrittenAreReportedAndTheRunGoesOn) {
    // A file where the CommonEvent folder should be: none of its documents can be written.
    ASSERT_TRUE(ensureFolder(out.file("Project_export")));
    ztest::writeFile(out.file("Project_export/CommonEvent"), "in the way");
    category(kExportCommonEvents) = {true, false, 0};
    category(kExportScripts) = {true, true, 1};
    ExportSummary summary = run();
    EXPECT_EQ(summary.end, ExportEnd::Finished);
    EXPECT_EQ(sink.failed.size(), 8u);
    EXPECT_EQ(summary.failedFiles, sink.failed);
    EXPECT_EQ(sink.done, sink.total);
    EXPECT_TRUE(fileExists(out.file("Project_export/Script/001-Game_Sample.html")));
}

// A link where the tree's own folder or one of its folders goes (left by an earlier run or
// planted by a downloaded project) stops the run with one message naming it, instead of a
// failure for every file, and nothing is written through it.
TEST_F(ExportRunTest, ALinkInTheOutputTreeStopsTheRunOnceAndNothingGoesThroughIt) {
    options.tables.fill(true);
    for (auto& c : options.categories) c = {true, false, 0};
    options.mapImages = true;
    for (const std::string linked : {"Project_export", "Project_export/MapEvent"}) {
        SCOPED_TRACE(linked);
        ztest::TempDir elsewhere;
        fs::remove_all(out.file("Project_export"));
        fs::create_directories(fs::path(out.file(linked)).parent_path());
        fs::create_directory_symlink(elsewhere.path(), out.file(linked));
        sink.failed.clear();
        ExportSummary summary = run();
        EXPECT_EQ(summary.end, ExportEnd::Stopped);
        EXPECT_EQ(summary.stopKind, ExportStopKind::OutputLink);
        EXPECT_EQ(summary.stopMessage, out.file(linked));
        EXPECT_TRUE(sink.failed.empty());
        EXPECT_TRUE(summary.failedFiles.empty());
        EXPECT_TRUE(filesBelow(elsewhere.path()).empty());
    }
}

TEST_F(ExportRunTest, MapPicturesShowEventsWhenTheSettingsSaySo) {
    options.categories[kExportMapEvents] = {false, true, 1};
    options.mapImages = true;
    options.render.saveMode = kFormatPng;
    const std::string picture = out.file("Project_export/MapImage/Map0001.png");
    options.render.viewMapEvent1 = options.render.viewMapEvent2 = false;
    ASSERT_EQ(run().end, ExportEnd::Finished);
    std::string without = ztest::readFile(picture);
    sink.done = 0;
    options.render.viewMapEvent1 = options.render.viewMapEvent2 = true;
    ASSERT_EQ(run().end, ExportEnd::Finished);
    std::string with = ztest::readFile(picture);
    ASSERT_FALSE(without.empty());
    EXPECT_NE(with, without);
}

}  // namespace

namespace {

// Everything a sink hears, as lines, and every file below a folder with its bytes.
class TranscriptSink : public ExportSink {
  public:
    explicit TranscriptSink(std::string root) : root_(std::move(root)) {}
    void begin(int total) override { lines.push_back("begin " + std::to_string(total)); }
    void unit(const std::string& what) override { lines.push_back("unit " + what); }
    void step(int done) override { lines.push_back("step " + std::to_string(done)); }
    void fileWritten(const std::string& path, uint64_t bytes) override {
        lines.push_back("written " + fs::relative(path, root_).string() + " " +
                        std::to_string(bytes));
    }
    void fileFailed(const std::string& path) override { lines.push_back("failed " + path); }
    bool askFullSizeBmp(int) override { return false; }
    std::vector<std::string> lines;

  private:
    std::string root_;
};

std::map<std::string, std::string> contentsBelow(const std::string& root) {
    std::map<std::string, std::string> contents;
    for (const std::string& file : filesBelow(root))
        contents[file] = ztest::readFile(root + "/" + file);
    return contents;
}

}  // namespace

// Tables, documents and pictures made on several threads reach the sink and the disk as
// one thread sends and writes them; a map that cannot be read is named, the others go on.
TEST(ExportThreadsTest, SeveralThreadsWriteAndReportWhatOneThreadDoes) {
    ztest::TempDir project;
    fs::copy(fs::path(ztest::sampleProject()).parent_path(), project.path(),
             fs::copy_options::recursive);
    fs::resize_file(project.file("Data/Map003.rxdata"), 60);
    ProjectDatabase db;
    ASSERT_TRUE(db.open(project.file("Game.rxproj"), ztest::sourceDir() + "/sample/CommonFiles"));
    struct Run {
        std::vector<std::string> heard;
        std::map<std::string, std::string> files;
        ExportSummary summary;
    };
    auto exportWith = [&](int jobs, bool html) {
        ztest::TempDir out;
        ExportOptions o;
        o.outputFolder = out.path();
        o.tables.fill(true);
        for (ExportCategory& c : o.categories) c = {true, false, 0};
        o.mapImages = true;
        o.render.saveMode = kFormatPng;
        o.documents.html = html;
        useTemplateFolder(o.documents, ztest::sourceDir() + "/template");
        o.colourRulesFile = ztest::sourceDir() + "/template/ruby_color.txt";
        o.jobs = jobs;
        TranscriptSink sink(out.path());
        std::atomic<bool> abort{false};
        Run run;
        run.summary = runExport(o, db, sink, abort);
        run.heard = sink.lines;
        run.files = contentsBelow(run.summary.root);
        return run;
    };
    for (bool html : {true, false}) {
        SCOPED_TRACE(html ? "html" : "text");
        const Run one = exportWith(1, html);
        ASSERT_EQ(one.summary.end, ExportEnd::Finished);
        ASSERT_EQ(one.summary.skipped.size(), 1u);
        EXPECT_EQ(one.summary.skipped[0].rfind("Map003.rxdata: ", 0), 0u) << one.summary.skipped[0];
        EXPECT_EQ(one.files.count("MapImage/Map0003.png"), 0u);
        EXPECT_EQ(one.files.count("MapImage/Map0004.png"), 1u);
        EXPECT_EQ(one.summary.unitsDone, one.summary.units);
        for (int jobs : {2, 3}) {
            const Run many = exportWith(jobs, html);
            EXPECT_EQ(many.summary.end, ExportEnd::Finished);
            EXPECT_EQ(many.heard, one.heard) << jobs << " threads";
            EXPECT_TRUE(many.files == one.files) << jobs << " threads";
            EXPECT_EQ(many.summary.skipped, one.summary.skipped);
        }
    }
}

// The RTP scan against an independent reading (tests/tools/rtp_files.rb walks the same
// files with Ruby's own Marshal.load), and the copy on scratch copies of the sample and
// its stand-in RTP: what arrives, what Game.ini becomes, and what a failure leaves alone.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "platform/beneath_root.h"
#include "platform/path_nocase.h"
#include "project/project_database.h"
#include "project/resource.h"
#include "rtp/rtp_copy.h"
#include "rtp/rtp_scan.h"
#include "support/test_support.h"

using namespace zorvane;
namespace fs = std::filesystem;

namespace {

class Progress : public RtpProgress {
  public:
    void setRange(int maximum) override { range = maximum; }
    void setPosition(int position) override {
        last = position;
        if (abortAt > 0 && position >= abortAt) abort = true;
    }
    int range = -1;
    int last = -1;
    int abortAt = 0;  // sets the abort flag once this position is reached
    std::atomic<bool> abort{false};
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::vector<std::string> rubyLines(const std::string& project, const std::string& args) {
    std::string out;
    std::string tool = ztest::sourceDir() + "/tests/tools/rtp_files.rb";
    EXPECT_EQ(
        ztest::run("ZORVANE_COMMON_FILES=" +
                       ztest::shellQuote(ztest::sourceDir() + "/sample/CommonFiles") + " ruby " +
                       ztest::shellQuote(tool) + " " + ztest::shellQuote(project) + args,
                   &out),
        0);
    return lines(out);
}

std::vector<std::string> rowsOf(const std::vector<RtpFile>& files) {
    std::vector<std::string> out;
    for (const RtpFile& f : files) out.push_back(f.relativePath + "\t" + f.foundPath);
    return out;
}

// Files under a folder whose name marks an atomic writer's leftover.
std::vector<std::string> leftovers(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.path().filename().string().find(".tmp") != std::string::npos)
            out.push_back(e.path().string());
    return out;
}

// A scratch copy of the whole sample project and of its stand-in RTP, with a Wine prefix
// whose system folders hold the runtime library the sample's Game.ini names.
class RtpCopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string sample = ztest::sourceDir() + "/sample";
        if (!fs::exists(sample + "/Project/Game.rxproj")) GTEST_SKIP() << "no sample project";
        fs::copy(sample + "/Project", dir.file("Project"), fs::copy_options::recursive);
        fs::copy(sample + "/CommonFiles", dir.file("Common"), fs::copy_options::recursive);
        fs::create_directories(dir.file("wine/drive_c/windows/syswow64"));
        fs::create_directories(dir.file("wine/drive_c/windows/system32"));
        ztest::writeFile(dir.file("wine/drive_c/windows/syswow64/rgss102j.dll"), "32-bit library");
        ztest::writeFile(dir.file("wine/drive_c/windows/system32/RGSS102J.dll"), "64-bit library");
        setenv("WINEPREFIX", dir.file("wine").c_str(), 1);
        project = dir.file("Project");
        gameIni = ztest::readFile(project + "/Game.ini");
    }
    void TearDown() override {
        unsetenv("WINEPREFIX");
    }

    std::vector<RtpFile> scan() {
        db.open(project + "/Game.rxproj", dir.file("Common"));
        Progress progress;
        RtpScanResult result = scanRtpUsage(db, progress, progress.abort);
        EXPECT_FALSE(result.aborted);
        return result.files;
    }

    ztest::TempDir dir;
    std::string project;
    std::string gameIni;
    ProjectDatabase db;
};

}  // namespace

TEST(RtpScan, FindsWhatAnIndependentWalkOfTheDataFilesPredicts) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    std::vector<std::string> projects = {ztest::sampleProject()};
    if (!ztest::corpusDir().empty())
        for (const auto& e : fs::directory_iterator(ztest::corpusDir()))
            for (const char* name : {"Game.rxproj", "Game.ini"})
                if (fs::exists(e.path() / name)) {
                    projects.push_back((e.path() / name).string());
                    break;
                }
    for (const std::string& file : projects) {
        ProjectDatabase db;
        ASSERT_TRUE(db.open(file, ztest::sourceDir() + "/sample/CommonFiles")) << file;
        Progress progress;
        std::set<std::string> used;
        ASSERT_TRUE(collectUsedFiles(db, progress, progress.abort, used));
        EXPECT_EQ(std::vector<std::string>(used.begin(), used.end()), rubyLines(file, " --used"))
            << file;
        auto maps = std::count_if(db.mapInfos().begin(), db.mapInfos().end(),
                                  [](const auto& entry) { return entry.first > 0; });
        EXPECT_EQ(progress.range, static_cast<int>(maps) + 11) << file;
        EXPECT_EQ(progress.last, progress.range) << file;
        if (file != ztest::sampleProject()) continue;

        std::vector<RtpFile> found = rtpFilesAmong(used, db.resources());
        EXPECT_EQ(rowsOf(found), rubyLines(file, "")) << file;
        // Named by the sample and present in the game folder and the RTP, or nowhere.
        for (const char* name : {"Audio\\BGM\\Title", "Audio\\SE\\missing_se"}) {
            EXPECT_EQ(used.count(name), 1u) << name;
            EXPECT_TRUE(std::none_of(found.begin(), found.end(), [&](const RtpFile& f) {
                return f.relativePath == name;
            })) << name;
        }
    }
}

TEST_F(RtpCopyTest, CopiedFilesFreeTheProjectFromTheRtp) {
    std::vector<RtpFile> files = scan();
    ASSERT_GT(files.size(), 20u);
    std::set<std::string> used;
    Progress progress;
    ASSERT_TRUE(collectUsedFiles(db, progress, progress.abort, used));
    std::set<std::string> foundBefore;
    for (const std::string& name : used)
        if (std::string path; db.resources().resolve(name, path) >= 0) foundBefore.insert(name);

    RtpCopyResult result = copyRtpFiles(files, project, progress, progress.abort);
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(result.copied, static_cast<int>(files.size()));
    EXPECT_EQ(progress.range, static_cast<int>(files.size()));
    for (const RtpFile& f : files) {
        std::string relative = f.relativePath;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        std::string copied = project + "/" + relative + fs::path(f.foundPath).extension().string();
        ASSERT_TRUE(fs::is_regular_file(copied)) << copied;
        EXPECT_EQ(ztest::readFile(copied), ztest::readFile(f.foundPath)) << copied;
    }
    // Only the RTP keys change, to empty values; the library comes from syswow64.
    std::vector<std::string> before = lines(gameIni),
                             after = lines(ztest::readFile(project + "/Game.ini"));
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        bool rtpKey = before[i].rfind("RTP", 0) == 0;
        EXPECT_EQ(after[i], rtpKey ? before[i].substr(0, 4) + "=\r" : before[i]) << i;
    }
    EXPECT_EQ(ztest::readFile(project + "/RGSS102J.dll"), "32-bit library");
    EXPECT_TRUE(leftovers(project).empty());

    // Reopened without the RTP: everything found before is in the game folder, and a second
    // scan lists nothing.
    ProjectDatabase reopened;
    ASSERT_TRUE(reopened.open(project + "/Game.rxproj", dir.file("Common")));
    EXPECT_TRUE(reopened.rtpNames[0].empty());
    for (const std::string& name : foundBefore) {
        std::string path;
        EXPECT_EQ(reopened.resources().resolve(name, path), 0) << name;
    }
    EXPECT_TRUE(scanRtpUsage(reopened, progress, progress.abort).files.empty());
}

TEST_F(RtpCopyTest, AFailedCopyLeavesGameIniAsItWasAndNamesTheFile) {
    std::vector<RtpFile> files = scan();
    ASSERT_GT(files.size(), 3u);
    // The RTP changed after the scan: one file is now a folder that cannot be read as a file.
    const RtpFile broken = files[1];
    fs::remove(broken.foundPath);
    fs::create_directory(broken.foundPath);
    // Names that would leave the game folder are refused before anything is written.
    std::string outside = dir.file("escaped");
    for (const char* name : {"..\\escaped", "Graphics\\..\\..\\escaped", "/escaped", "C:\\escaped"})
        files.push_back({name, files[0].foundPath});

    Progress progress;
    RtpCopyResult result = copyRtpFiles(files, project, progress, progress.abort);
    EXPECT_FALSE(result.complete());
    EXPECT_FALSE(result.gameIniChanged);
    ASSERT_EQ(result.fileFailures.size(), 5u);
    EXPECT_EQ(result.fileFailures[0].name, broken.relativePath);
    EXPECT_EQ(result.fileFailures[0].problem, CopyProblem::SourceUnreadable);
    for (size_t i = 1; i < 5; ++i)
        EXPECT_EQ(result.fileFailures[i].problem, CopyProblem::UnsafePath)
            << result.fileFailures[i].name;
    EXPECT_EQ(result.copied, static_cast<int>(files.size()) - 5);
    EXPECT_EQ(ztest::readFile(project + "/Game.ini"), gameIni);
    EXPECT_FALSE(fs::exists(project + "/RGSS102J.dll"));
    for (const std::string& place : {outside, outside + ".png", std::string("/escaped.png")})
        EXPECT_FALSE(fs::exists(place)) << place;
    EXPECT_TRUE(leftovers(project).empty());
}

TEST_F(RtpCopyTest, AbortStopsBetweenFilesAndReplacingIsWhole) {
    std::vector<RtpFile> files = scan();
    // An aborted scan lists nothing and resets its bar.
    Progress scanProgress;
    scanProgress.abortAt = 3;
    RtpScanResult aborted = scanRtpUsage(db, scanProgress, scanProgress.abort);
    EXPECT_TRUE(aborted.aborted);
    EXPECT_TRUE(aborted.files.empty());
    EXPECT_EQ(scanProgress.last, 0);

    // A file already in the game folder is replaced; the abort after the second file ends
    // the copy without touching Game.ini.
    std::string existing = copyDestination(project, files[0]);
    ASSERT_FALSE(existing.empty());
    fs::create_directories(fs::path(existing).parent_path());
    ztest::writeFile(existing, "an older file");
    Progress progress;
    progress.abortAt = 2;
    RtpCopyResult result = copyRtpFiles(files, project, progress, progress.abort);
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(result.copied, 2);
    EXPECT_EQ(ztest::readFile(existing), ztest::readFile(files[0].foundPath));
    EXPECT_FALSE(fs::exists(copyDestination(project, files[2])));
    EXPECT_EQ(ztest::readFile(project + "/Game.ini"), gameIni);
    EXPECT_TRUE(leftovers(project).empty());
}

TEST_F(RtpCopyTest, DestinationsFollowExistingFoldersInAnyLetterCase) {
    std::string rtpPng = dir.file("Common/x.PNG");
    struct Case {
        const char* relative;
        std::string expected;
    } cases[] = {
        {"graphics\\CHARACTERS\\Soldier", project + "/Graphics/Characters/Soldier.PNG"},
        {"Graphics\\NewFolder\\Thing", project + "/Graphics/NewFolder/Thing.PNG"},
        {"Graphics\\Characters\\HERO", project + "/Graphics/Characters/hero.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(copyDestination(project, {c.relative, rtpPng}), c.expected) << c.relative;
}

// A game folder from elsewhere may hold links that lead out of it: the library, a folder
// of the copy, one destination file or Game.ini. Each is named, left as it is, and what it
// points to is never written; the folders a link would have led into stay empty.
TEST_F(RtpCopyTest, LinksInTheGameFolderAreNamedAndNeverWrittenThrough) {
    std::vector<RtpFile> files = scan();
    ASSERT_GT(files.size(), 3u);
    const std::string firstDestination = copyDestination(project, files[0]);
    std::string firstRelative;
    ASSERT_TRUE(relativeBeneath(project + "/", firstDestination, firstRelative));
    struct Case {
        std::string link;  // made a link to the victim, in the game folder
        bool folder;       // the victim is a folder (else a file of the user)
        std::string named;
        bool whenFinishing;  // after the files: Game.ini or the library
    };
    const Case cases[] = {
        {"RGSS102J.dll", false, "RGSS102J.dll", true},
        {"Game.ini", false, "Game.ini", true},
        {"Graphics", true, "Graphics", false},
        {"Graphics/Characters", true, "Graphics/Characters", false},
        {firstRelative, false, firstRelative, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        ztest::TempDir outside;
        const std::string victim = outside.file("victim");
        if (c.folder)
            fs::create_directory(victim);
        else
            ztest::writeFile(victim, gameIni);  // as another game's Game.ini would be
        fs::remove_all(dir.file("Project"));
        fs::copy(ztest::sourceDir() + "/sample/Project", project, fs::copy_options::recursive);
        const std::string link = project + "/" + c.link;
        fs::remove_all(link);
        fs::create_directories(fs::path(link).parent_path());
        fs::create_symlink(victim, link);
        clearPathCache();

        Progress progress;
        RtpCopyResult result = copyRtpFiles(files, project, progress, progress.abort);
        EXPECT_FALSE(result.complete());
        const std::vector<CopyFailure>& failures =
            c.whenFinishing ? result.finishFailures : result.fileFailures;
        ASSERT_FALSE(failures.empty());
        EXPECT_EQ(failures[0].name, c.named);
        EXPECT_EQ(failures[0].problem, CopyProblem::LinkInGameFolder);
        EXPECT_TRUE(fs::is_symlink(link));
        if (c.folder)
            EXPECT_TRUE(fs::is_empty(victim));
        else
            EXPECT_EQ(ztest::readFile(victim), gameIni);
        EXPECT_TRUE(leftovers(project).empty());
        EXPECT_TRUE(leftovers(outside.path()).empty());
    }
}

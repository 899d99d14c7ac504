// Which project a path means: its file, its folder (with or without a trailing slash) or a
// data file in its Data folder name the same project; anything else stays as given.
#include <gtest/gtest.h>

#include <filesystem>

#include "project/project_path.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(ProjectPathTest, FileFolderAndDataFileNameTheSameProject) {
    ztest::TempDir dir;
    auto make = [&](const std::string& name) {
        fs::create_directories(fs::path(dir.file(name)).parent_path());
        ztest::writeFile(dir.file(name), "x");
    };
    for (const char* name : {"full/Game.rxproj", "full/Game.ini", "full/Data/Map001.rxdata",
                             "full/Data/notes.txt", "iniOnly/Game.ini",
                             "iniOnly/data/MapInfos.rxdata", "two/B.rxproj", "two/A.rxproj",
                             "loose/Map001.rxdata"})
        make(name);
    fs::create_directories(dir.file("empty/Data"));

    const struct {
        std::string given, expected;
    } cases[] = {
        {"full/Game.rxproj", "full/Game.rxproj"},
        {"full", "full/Game.rxproj"},
        {"full/", "full/Game.rxproj"},
        {"full/Data/Map001.rxdata", "full/Game.rxproj"},
        {"full/Data/notes.txt", "full/Data/notes.txt"},  // not a data file
        {"full/Data", "full/Data"},                      // a folder without a project
        {"iniOnly", "iniOnly/Game.ini"},                 // the loader needs only a file in it
        {"iniOnly/data/MapInfos.rxdata", "iniOnly/Game.ini"},
        {"two", "two/A.rxproj"},
        {"loose/Map001.rxdata", "loose/Map001.rxdata"},  // not inside a Data folder
        {"empty", "empty"},
        {"missing", "missing"},
        {"missing/Data/Map001.rxdata", "missing/Data/Map001.rxdata"},
    };
    for (const auto& c : cases) {
        std::string got = zorvane::resolveProjectPath(dir.file(c.given));
        EXPECT_EQ(fs::path(got).lexically_normal(),
                  fs::path(dir.file(c.expected)).lexically_normal())
            << c.given;
    }
}

}  // namespace

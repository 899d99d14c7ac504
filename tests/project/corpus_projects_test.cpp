// Real projects made by others open, every listed map loads, and every command list reads.
#include <dirent.h>
#include <gtest/gtest.h>

#include <iostream>

#include "project/project_database.h"
#include "support/test_support.h"

namespace {

TEST(CorpusProjects, OpenReadMapsAndCommandLists) {
    std::string corpus = ztest::corpusDir();
    if (corpus.empty()) GTEST_SKIP() << "no corpus of real projects beside the source tree";
    std::string out;
    ztest::run("ls -d " + ztest::shellQuote(corpus) + "/*/", &out);
    int projects = 0;
    for (size_t start = 0; start < out.size();) {
        size_t end = out.find('\n', start);
        std::string folder = out.substr(start, end - start);
        start = end + 1;
        // Some corpus projects lack their .rxproj: any file in the folder stands in for it.
        std::string projectFile = folder + "Game.ini";
        zorvane::ProjectDatabase db;
        ASSERT_TRUE(db.open(projectFile)) << folder;
        ++projects;
        size_t lists = 0, commands = 0, maps = 0;
        for (size_t i = 1; i < db.commonEvents().size(); ++i) {
            zorvane::EventCommandList list;
            if (zorvane::readCommandList(db.commonEventsFile(),
                                         zorvane::commonEventListPath(static_cast<int>(i)), list)) {
                ++lists;
                commands += list.size();
            }
        }
        for (size_t t = 1; t < db.troops().size(); ++t)
            for (size_t p = 0; p < db.troops()[t].pages.size(); ++p) {
                zorvane::EventCommandList list;
                ASSERT_TRUE(zorvane::readCommandList(
                    db.troopsFile(),
                    zorvane::troopPageListPath(static_cast<int>(t), static_cast<int>(p)), list));
                ++lists;
                commands += list.size();
            }
        for (const auto& [id, info] : db.mapInfos()) {
            if (id <= 0) continue;
            char name[32];
            std::snprintf(name, sizeof name, "Map%03d.rxdata", id);
            zorvane::MarshalFile map;
            ASSERT_TRUE(db.readDataFile(name, map))
                << folder << name << ": " << map.error().message();
            ++maps;
            const zorvane::MarshalValue* events = map.find("RPG::Map.@events");
            if (!events) continue;
            for (const auto& pair : events->pairs()) {
                const zorvane::MarshalValue* pages = pair.second.findIvar("@pages");
                if (!pages) continue;
                for (size_t p = 0; p < pages->children().size(); ++p) {
                    zorvane::EventCommandList list;
                    ASSERT_TRUE(zorvane::readCommandList(
                        map,
                        zorvane::mapEventPageListPath(static_cast<int>(pair.first.integer()),
                                                      static_cast<int>(p)),
                        list));
                    ++lists;
                    commands += list.size();
                }
            }
        }
        std::cout << folder << ": " << maps << " maps, " << lists << " command lists, " << commands
                  << " commands, " << db.diagnostics().size() << " files skipped\n";
        EXPECT_GT(commands, 0u);
    }
    EXPECT_GT(projects, 0);
}

}  // namespace

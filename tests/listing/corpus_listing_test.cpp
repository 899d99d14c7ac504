// Every command of every list of the real projects formats without a crash, in both forms
// and under a search of each kind; the codes that the table does not know are reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>

#include "listing/listing.h"
#include "project/project_database.h"
#include "support/test_support.h"
#include "text/text_matcher.h"

using namespace zorvane;
namespace fs = std::filesystem;

namespace {

// The file a project is opened by: its .rxproj, or Game.ini when the project has none.
std::string projectFileIn(const fs::path& folder) {
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".rxproj") return e.path().string();
    return (folder / "Game.ini").string();
}

struct Walk {
    const TextMatcher* matcher = nullptr;
    std::map<int32_t, size_t> unknownCodes;
    size_t commands = 0;
    size_t lists = 0;

    void formatList(const EventCommandList& list, ListingOptions options) {
        ++lists;
        std::vector<SearchRequest> requests = searches();
        for (const EventCommand& c : list.commands) {
            ++commands;
            std::string line;
            for (bool detail : {true, false}) {
                options.detail = detail;
                formatCommand(line, c, options, nullptr);
                ASSERT_FALSE(line.empty()) << "code " << c.code;
            }
            if (line.compare(0, 16, "////////////////") == 0) ++unknownCodes[c.code];
            for (const SearchRequest& r : requests) formatCommand(line, c, options, &r);
        }
    }

    std::vector<SearchRequest> searches() const {
        std::vector<SearchRequest> out(4);
        out[0].kind = SearchKind::Switch;
        out[0].targetIds = {1, 2};
        out[0].inOperatingCommands = out[0].inReferencingCommands = true;
        out[1] = out[0];
        out[1].kind = SearchKind::Variable;
        out[1].matcher = matcher;
        out[2].kind = SearchKind::Text;
        out[2].text = "a";
        out[2].textTargets.fill(true);
        out[2].matcher = matcher;
        out[3].kind = SearchKind::CommonEvent;
        out[3].targetIds = {1};
        return out;
    }
};

void walkMaps(const ProjectDatabase& db, Walk& walk) {
    fs::path data = fs::path(db.dataFilePath("MapInfos.rxdata")).parent_path();
    if (data.empty()) data = fs::path(db.projectFolder) / "Data";
    for (const auto& e : fs::directory_iterator(data)) {
        int mapId = 0;
        std::string name = e.path().filename().string();
        if (std::sscanf(name.c_str(), "Map%d.rxdata", &mapId) != 1) continue;
        MarshalFile file;
        if (!file.load(e.path().string())) continue;
        const MarshalValue* events = file.find("RPG::Map.@events");
        if (!events) continue;
        ListingOptions o;
        o.project = &db;
        o.ownerKind = OwnerKind::Map;
        o.ownerId = mapId;
        for (const ValuePair& pair : events->pairs()) {
            const MarshalValue* pages = pair.second.findIvar("@pages");
            size_t count = pages ? pages->children().size() : 0;
            for (size_t p = 0; p < count; ++p) {
                EventCommandList list;
                int eventId = pair.first.fixnum();
                if (readCommandList(file, mapEventPageListPath(eventId, static_cast<int>(p)), list))
                    walk.formatList(list, o);
            }
        }
    }
}

void walkDatabase(const ProjectDatabase& db, Walk& walk) {
    ListingOptions o;
    o.project = &db;
    for (size_t id = 1; id < db.commonEvents().size(); ++id) {
        EventCommandList list;
        o.ownerId = static_cast<int>(id);
        if (readCommandList(db.commonEventsFile(), commonEventListPath(o.ownerId), list))
            walk.formatList(list, o);
    }
    o.ownerKind = OwnerKind::Troop;
    for (size_t id = 1; id < db.troops().size(); ++id) {
        o.ownerId = static_cast<int>(id);
        for (size_t p = 0; p < db.troops()[id].pages.size(); ++p) {
            EventCommandList list;
            if (readCommandList(db.troopsFile(), troopPageListPath(o.ownerId, static_cast<int>(p)),
                                list))
                walk.formatList(list, o);
        }
    }
}

}  // namespace

TEST(CorpusListing, EveryCommandOfEveryProjectFormats) {
    std::string corpus = ztest::corpusDir();
    if (corpus.empty()) GTEST_SKIP() << "no corpus of real projects (../shared/corpus)";
    TextMatcher matcher;
    matcher.load();
    size_t projects = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (!entry.is_directory()) continue;
        ProjectDatabase db;
        if (!db.open(projectFileIn(entry.path()))) continue;
        ++projects;
        Walk walk;
        walk.matcher = &matcher;
        walkDatabase(db, walk);
        walkMaps(db, walk);
        EXPECT_GT(walk.commands, 0u) << entry.path();
        std::string unknown;
        for (const auto& [code, n] : walk.unknownCodes)
            unknown += " " + std::to_string(code) + "(x" + std::to_string(n) + ")";
        std::cout << entry.path().filename().string() << ": " << walk.lists << " lists, "
                  << walk.commands
                  << " commands; unknown codes:" << (unknown.empty() ? " none" : unknown) << "\n";
        ::testing::Test::RecordProperty(entry.path().filename().string() + "_unknown_codes",
                                        unknown.empty() ? "none" : unknown);
    }
    EXPECT_GT(projects, 0u);
}

// Opening projects: records, map infos, scripts, system data, tolerance of odd data, and the
// change check; the sample project against the manifest its generator wrote.
#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "project/project_database.h"
#include "project_fixture.h"

namespace {

using zorvane::LabelKind;
using zorvane::LabelStyle;
using zorvane::ProjectDatabase;

class ProjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    }
    ztest::TempDir dir;
};

TEST_F(ProjectTest, OnlySystemOpensWithEmptyArrays) {
    ASSERT_TRUE(ztest::makeProject(dir, R"(
save('System.rxdata', RPG::System.new(switches: [nil, 'Door', ''], variables: [nil, 'Gold'],
  elements: [nil, '炎'], words: RPG::System::Words.new(gold: 'G', hp: 'HP'),
  windowskin_name: '001-Blue01', title_bgm: RPG::AudioFile.new(name: 'Title', volume: 80, pitch: 100)))
)"));
    ProjectDatabase db;
    ASSERT_TRUE(db.open(dir.file("Game.rxproj"), dir.file("common")));
    EXPECT_TRUE(db.loaded);
    EXPECT_EQ(db.title, "Test");
    ASSERT_EQ(db.system().switchNames.size(), 3u);
    EXPECT_EQ(db.system().switchNames[1], "Door");
    EXPECT_EQ(db.system().variableNames[1], "Gold");
    EXPECT_EQ(db.system().elementNames[1], "炎");
    EXPECT_EQ(db.system().words.at("@gold"), "G");
    EXPECT_EQ(db.system().windowskinName, "001-Blue01");
    EXPECT_EQ(db.system().titleBgm.name, "Title");
    EXPECT_EQ(db.system().titleBgm.volume, 80);
    EXPECT_TRUE(db.actors().empty());
    EXPECT_TRUE(db.items().empty());
    EXPECT_EQ(db.mapInfos().size(), 1u);  // the root entry alone
    EXPECT_FALSE(db.diagnostics().empty()) << "the missing files are reported";
}

TEST_F(ProjectTest, RecordsTablesAndOddFieldValues) {
    ASSERT_TRUE(ztest::makeProject(dir, R"(
require 'zlib'
save('Actors.rxdata', [nil,
  RPG::Actor.new(name: 'アレックス', class_id: 1, weapon_fix: true, parameters: Table.new(6, 100)),
  RPG::Actor.new(name: 'Broken', weapon_fix: 0, armor1_fix: nil, parameters: 'not a table'),
  RPG::Actor.new(name: 'Short', parameters: Table.new(2, 2))])
save('Classes.rxdata', [nil, RPG::Class.new(name: 'Fighter', weapon_set: [3, 1, 3],
  learnings: [RPG::Class::Learning.new(level: 1, skill_id: 7), RPG::Class::Learning.new(level: 5, skill_id: 9)])])
save('Scripts.rxdata', [[1, 'First', Zlib::Deflate.deflate("p 1\n")], [2, 'Second', Zlib::Deflate.deflate('')]])
save('Tilesets.rxdata', [nil, RPG::Tileset.new(id: 1, name: 'Field', tileset_name: 'Outside',
  autotile_names: %w[a b c d e f g h], priorities: Table.new(384), fog_zoom: 200), 'not a tileset'])
save('CommonEvents.rxdata', [nil, RPG::CommonEvent.new(name: 'CE1', trigger: 2, switch_id: 4, list: [cmd(0, 0)])])
save('Troops.rxdata', [nil, RPG::Troop.new(name: 'T', members: [RPG::Troop::Member.new(enemy_id: 3, x: 10, hidden: true)],
  pages: [RPG::Troop::Page.new(span: 1, condition: RPG::Troop::Page::Condition.new(turn_valid: true, turn_a: 2, switch_id: 9), list: [])])])
)"));
    ProjectDatabase db;
    ASSERT_TRUE(db.open(dir.file("Game.rxproj"), dir.file("common")));
    ASSERT_EQ(db.actors().size(), 4u);
    EXPECT_EQ(db.actors()[1].name, "アレックス");
    EXPECT_TRUE(db.actors()[1].weaponFix);
    EXPECT_EQ(db.actors()[1].parameters.xsize, 6);
    EXPECT_EQ(db.actors()[1].parameters.ysize, 100);
    EXPECT_FALSE(db.actors()[2].weaponFix) << "0 reads as false";
    EXPECT_FALSE(db.actors()[2].armor1Fix) << "nil reads as false";
    EXPECT_TRUE(db.actors()[2].parameters.empty()) << "a non-table keeps an empty table";
    EXPECT_EQ(db.actors()[3].parameters.dimensions, 2);
    EXPECT_EQ(db.classes()[1].weaponSet, (zorvane::IdSet{1, 3}));
    ASSERT_EQ(db.classes()[1].learnings.size(), 2u);
    EXPECT_EQ(db.classes()[1].learnings[1].skillId, 9);
    ASSERT_EQ(db.scripts().size(), 2u);
    EXPECT_EQ(db.scripts()[0].title, "First") << "script element 0 is script 0";
    EXPECT_EQ(db.scripts()[0].text, "p 1\n");
    EXPECT_EQ(db.scripts()[1].text, "");
    ASSERT_EQ(db.tilesets().size(), 3u);
    EXPECT_EQ(db.tilesets()[1].autotileNames.size(), 7u);
    EXPECT_EQ(db.tilesets()[1].autotileNames[6], "g");
    EXPECT_EQ(db.tilesets()[1].fogZoom, 200);
    EXPECT_EQ(db.tilesets()[1].priorities.xsize, 384);
    EXPECT_EQ(db.tilesets()[2].name, "") << "a non-tileset element stays default";
    EXPECT_EQ(db.commonEvents()[1].trigger, 2);
    EXPECT_EQ(db.commonEvents()[1].switchId, 4);
    EXPECT_TRUE(db.commonEventsFile().loaded());
    ASSERT_EQ(db.troops().size(), 2u);
    EXPECT_EQ(db.troops()[1].members[0].enemyId, 3);
    EXPECT_TRUE(db.troops()[1].members[0].hidden);
    EXPECT_EQ(db.troops()[1].pages[0].condition.turnA, 2);
    EXPECT_TRUE(db.troops()[1].pages[0].condition.turnValid);
    EXPECT_EQ(db.troops()[1].pages[0].condition.switchId, 9);
}

TEST_F(ProjectTest, MapInfosAreSortedWithTheTitleAtTheRoot) {
    ASSERT_TRUE(ztest::makeProject(dir, R"(
h = {}
h[1] = RPG::MapInfo.new(name: 'One', parent_id: 0, order: 1)
h[3] = RPG::MapInfo.new(name: 'Three', parent_id: 1, order: 3)
h[2] = RPG::MapInfo.new(name: 'Two', order: 2)
h[0] = RPG::MapInfo.new(name: 'Zero')
save('MapInfos.rxdata', h)
)",
                                   "[Game]\r\nRTP1=Standard\r\n"));
    ProjectDatabase db;
    ASSERT_TRUE(db.open(dir.file("Game.rxproj"), dir.file("common")));
    EXPECT_EQ(db.title, "") << "no Title key";
    std::vector<int> ids;
    for (const auto& [id, info] : db.mutableMapInfos()) ids.push_back(id);
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(db.mapInfos().at(0).name, "");
    EXPECT_EQ(db.mapInfos().at(3).parentId, 1);
    // Map 2 has no @parent_id: it keeps the value of the entry read before it (map 3).
    EXPECT_EQ(db.mapInfos().at(2).parentId, 1);
    EXPECT_EQ(db.label(2, LabelKind::Map, LabelStyle::numbered()), "[002:Two]");
    EXPECT_EQ(db.label(4, LabelKind::Map, LabelStyle::numbered()),
              "[004:(Warning:Array Overflow)]");
}

TEST_F(ProjectTest, MissingProjectFileFailsAndChangesAreNoticed) {
    ProjectDatabase db;
    EXPECT_FALSE(db.open(dir.file("nothing.rxproj"), dir.file("common")));
    EXPECT_FALSE(db.open(dir.path(), dir.file("common"))) << "a folder is not a project file";
    ASSERT_TRUE(ztest::makeProject(dir, "save('System.rxdata', RPG::System.new(switches: [nil]))"));
    ASSERT_TRUE(db.open(dir.file("Game.rxproj"), dir.file("common")));
    EXPECT_FALSE(db.hasChanged());
    std::string system = dir.file("Data/System.rxdata");
    struct utimbuf later {
        time(nullptr) + 120, time(nullptr) + 120
    };
    ASSERT_EQ(utime(system.c_str(), &later), 0);
    EXPECT_TRUE(db.hasChanged());
    zorvane::MarshalFile f;
    EXPECT_TRUE(db.readDataFile("System.rxdata", f));
    EXPECT_FALSE(db.readDataFile("Map999.rxdata", f));
    ProjectDatabase closed;
    EXPECT_FALSE(closed.readDataFile("System.rxdata", f))
        << "nothing is read before a project is open";
}

TEST_F(ProjectTest, UnreadableFilesAreSkippedAndReported) {
    ASSERT_TRUE(
        ztest::makeProject(dir, "save('Items.rxdata', [nil, RPG::Item.new(name: 'Potion')])"));
    ztest::writeFile(dir.file("Data/Actors.rxdata"), std::string("\x04\x08[\x07i", 5));
    ztest::writeFile(dir.file("Data/Weapons.rxdata"), "");
    ProjectDatabase db;
    ASSERT_TRUE(db.open(dir.file("Game.rxproj"), dir.file("common")));
    EXPECT_EQ(db.items()[1].name, "Potion");
    EXPECT_TRUE(db.actors().empty());
    bool actorsReported = false;
    for (const auto& d : db.diagnostics()) actorsReported |= d.file == "Actors.rxdata";
    EXPECT_TRUE(actorsReported);
}

// What `check` reads: every file parsed, the same diagnostics as a full read, but only the
// map tree and the tilesets kept; a parsed table is read again when asked for.
TEST_F(ProjectTest, VerifyingReportsWhatAFullReadReportsAndKeepsOnlyTheMapTree) {
    ASSERT_TRUE(ztest::makeProject(dir, R"(
save('Items.rxdata', [nil, RPG::Item.new(name: 'Potion')])
save('MapInfos.rxdata', {3 => RPG::MapInfo.new(name: 'Town', parent_id: 0)}))"));
    ztest::writeFile(dir.file("Data/Actors.rxdata"), std::string("\x04\x08[\x07i", 5));
    ztest::writeFile(dir.file("Data/Weapons.rxdata"), "");
    ztest::writeFile(dir.file("Data/Skills.rxdata"), std::string("\x04\x07[\x00", 4));
    ProjectDatabase full, verified;
    ASSERT_TRUE(full.open(dir.file("Game.rxproj"), dir.file("common")));
    ASSERT_TRUE(verified.open(dir.file("Game.rxproj"), dir.file("common")));
    full.loadAll();
    verified.verifyAll();
    auto texts = [](const ProjectDatabase& db) {
        std::vector<std::string> out;
        for (const auto& d : db.diagnostics()) out.push_back(d.file + ": " + d.what);
        return out;
    };
    const std::vector<std::string> reported = texts(full);
    EXPECT_EQ(texts(verified), reported);
    // The files not written are missing and reported too; Items and MapInfos are whole.
    EXPECT_EQ(reported.size(), zorvane::kDataPartCount - 2u);
    for (const char* file : {"Actors.rxdata", "Skills.rxdata", "Weapons.rxdata"})
        EXPECT_EQ(std::count_if(reported.begin(), reported.end(),
                                [&](const std::string& r) { return r.rfind(file, 0) == 0; }),
                  1)
            << file;
    EXPECT_TRUE(verified.isRead(zorvane::DataPart::MapInfos));
    EXPECT_TRUE(verified.isRead(zorvane::DataPart::Tilesets));
    EXPECT_EQ(verified.mapInfos().at(3).name, "Town");
    EXPECT_FALSE(verified.isRead(zorvane::DataPart::Items)) << "parsed, then let go";
    EXPECT_EQ(verified.items()[1].name, "Potion");
    EXPECT_TRUE(verified.actors().empty());
    EXPECT_EQ(texts(verified), reported) << "a file that failed is not reported twice";
}

TEST(ProjectSample, MatchesWhatTheGeneratorWrote) {
    std::ifstream in(ztest::sourceDir() + "/sample/manifest.json");
    if (!in) GTEST_SKIP() << "the sample project is not there";
    nlohmann::json m = nlohmann::json::parse(in);
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject(), ztest::sourceDir() + "/sample/CommonFiles"));
    EXPECT_EQ(db.title, m["title"].get<std::string>());
    const auto& c = m["counts"];
    EXPECT_EQ(db.actors().size(), c["Actors"].get<size_t>());
    EXPECT_EQ(db.items().size(), c["Items"].get<size_t>());
    EXPECT_EQ(db.skills().size(), c["Skills"].get<size_t>());
    EXPECT_EQ(db.troops().size(), c["Troops"].get<size_t>());
    EXPECT_EQ(db.commonEvents().size(), c["CommonEvents"].get<size_t>());
    EXPECT_EQ(db.tilesets().size(), c["Tilesets"].get<size_t>());
    EXPECT_EQ(db.scripts().size(), c["Scripts"].get<size_t>());
    EXPECT_EQ(db.system().switchNames.size(), c["switches"].get<size_t>());
    EXPECT_EQ(db.mapInfos().size(), c["MapInfos"].get<size_t>() + 1);
    for (const auto& a : m["actors"])
        EXPECT_EQ(db.actors().at(a["id"]).name, a["name"].get<std::string>());
    for (const auto& s : m["switches"])
        EXPECT_EQ(db.system().switchNames.at(s["id"]), s["name"].get<std::string>());
    for (const auto& s : m["scripts"])
        EXPECT_EQ(db.scripts().at(s["index"]).title, s["title"].get<std::string>());
    for (const auto& e : m["common_events"]) {
        EXPECT_EQ(db.commonEvents().at(e["id"]).name, e["name"].get<std::string>());
        zorvane::EventCommandList list;
        ASSERT_TRUE(zorvane::readCommandList(db.commonEventsFile(),
                                             zorvane::commonEventListPath(e["id"]), list));
        EXPECT_EQ(list.size(), e["commands"].get<size_t>());
    }
    for (const auto& map : m["maps"]) {
        EXPECT_EQ(db.mapInfos().at(map["id"]).name, map["name"].get<std::string>());
        EXPECT_EQ(db.mapInfos().at(map["id"]).parentId, map["parent_id"].get<int>());
    }
    EXPECT_TRUE(db.diagnostics().empty());
}

}  // namespace

// Tables are read when first asked for, once, even when two threads ask at the same time.
TEST(ProjectSample, TablesAreReadOnFirstUseOnce) {
    std::ifstream in(ztest::sourceDir() + "/sample/manifest.json");
    if (!in) GTEST_SKIP() << "the sample project is not there";
    nlohmann::json m = nlohmann::json::parse(in);
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject()));
    for (int p = 0; p < zorvane::kDataPartCount; ++p)
        EXPECT_FALSE(db.isRead(static_cast<zorvane::DataPart>(p))) << "part " << p;
    const auto& actor = m["actors"][0];
    char number[16];
    std::snprintf(number, sizeof number, "%03d", actor["id"].get<int>());
    std::string expected = std::string("[") + number + ":" + actor["name"].get<std::string>() + "]";
    std::string seen[2];
    const void* tables[2] = {};
    std::thread a([&] {
        seen[0] = db.label(actor["id"], LabelKind::Actor, LabelStyle::numbered());
        tables[0] = &db.actors();
    });
    std::thread b([&] {
        seen[1] = db.label(actor["id"], LabelKind::Actor, LabelStyle::numbered());
        tables[1] = &db.actors();
    });
    a.join();
    b.join();
    EXPECT_EQ(seen[0], expected);
    EXPECT_EQ(seen[1], expected);
    EXPECT_EQ(tables[0], tables[1]);
    EXPECT_EQ(db.actors().size(), m["counts"]["Actors"].get<size_t>());
    EXPECT_TRUE(db.isRead(zorvane::DataPart::Actors));
    EXPECT_FALSE(db.isRead(zorvane::DataPart::Animations)) << "an actor label reads no other table";
    EXPECT_FALSE(db.isRead(zorvane::DataPart::Scripts));
}

// The desktop program reads every table on a worker after a project opens, while its window
// reads some of them and asks what failed: each table is still read once, both threads see
// the same tables, the damaged file is named once, and a stop ends the reading between two
// tables.
TEST(ProjectSample, AWorkerReadsEveryTableWhileAnotherThreadUsesThem) {
    std::ifstream in(ztest::sourceDir() + "/sample/manifest.json");
    if (!in) GTEST_SKIP() << "the sample project is not there";
    nlohmann::json m = nlohmann::json::parse(in);
    namespace fs = std::filesystem;
    ztest::TempDir dir;
    fs::copy(fs::path(ztest::sampleProject()).parent_path(), dir.path(),
             fs::copy_options::recursive);
    fs::resize_file(dir.file("Data/MapInfos.rxdata"), 100);
    std::string project = dir.file(fs::path(ztest::sampleProject()).filename().string());

    ProjectDatabase db;
    ASSERT_TRUE(db.open(project));
    std::atomic<bool> stop{false}, done{false};
    std::thread worker([&] {
        db.loadAll(stop);
        done = true;
    });
    const void* scripts = &db.scripts();
    const void* classes = &db.classes();
    size_t failures = 0;
    while (!done) failures = std::max(failures, db.diagnostics().size());
    worker.join();
    for (int p = 0; p < zorvane::kDataPartCount; ++p)
        EXPECT_TRUE(db.isRead(static_cast<zorvane::DataPart>(p))) << "part " << p;
    EXPECT_EQ(&db.scripts(), scripts);
    EXPECT_EQ(&db.classes(), classes);
    EXPECT_EQ(db.scripts().size(), m["counts"]["Scripts"].get<size_t>());
    EXPECT_EQ(db.classes().size(), m["counts"]["Classes"].get<size_t>());
    EXPECT_LE(failures, 1u);
    std::vector<zorvane::Diagnostic> diagnostics = db.diagnostics();
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0].file, "MapInfos.rxdata");

    ProjectDatabase stopped;
    ASSERT_TRUE(stopped.open(project));
    stop = true;
    stopped.loadAll(stop);
    for (int p = 0; p < zorvane::kDataPartCount; ++p)
        EXPECT_FALSE(stopped.isRead(static_cast<zorvane::DataPart>(p))) << "part " << p;
}

// Reading maps written by Ruby's Marshal.dump: header fields, events and page fields with
// their defaults, the bounds-safe tile read, the picture rectangles measured from character
// sheets in the project and the RTP, failures, and every map of the sample and real projects.
#include <gtest/gtest.h>

#include <dirent.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "map/map_data.h"
#include "map/map_test_project.h"
#include "marshal/marshal_file.h"
#include "platform/path_nocase.h"

using namespace zorvane;

namespace {

class MapDataTest : public testing::Test {
  protected:
    void SetUp() override { SKIP_WITHOUT_RUBY_AND_CONVERT(); }

    // Writes the files with Ruby and opens the project.
    void make(const std::string& rubyBody) {
        ASSERT_TRUE(project_.write(rubyBody));
        ASSERT_TRUE(project_.open(db_));
    }

    maptest::TestProject project_;
    ProjectDatabase db_;
    MapData map_;
};

// A page's fields in the order of the page record, for whole-group comparisons.
auto conditionOf(const MapEventPage& p) {
    const MapEventCondition& c = p.condition;
    return std::make_tuple(c.switch1Valid, c.switch2Valid, c.variableValid, c.selfSwitchValid,
                           c.switch1Id, c.switch2Id, c.variableId, c.variableValue, c.selfSwitchCh);
}
auto graphicOf(const MapEventPage& p) {
    const MapEventGraphic& g = p.graphic;
    return std::make_tuple(g.tileId, g.characterName, g.characterHue, g.direction, g.pattern,
                           g.opacity, g.blendType);
}
auto movementOf(const MapEventPage& p) {
    return std::make_tuple(p.moveType, p.moveSpeed, p.moveFrequency, p.walkAnime, p.stepAnime,
                           p.directionFix, p.through, p.alwaysOnTop, p.trigger);
}

}  // namespace

TEST_F(MapDataTest, HeaderFieldsAndEventsInIdOrder) {
    make(R"(
        m = RPG::Map.new(4, 3)
        m.tileset_id = 2
        m.autoplay_bgm = true
        m.bgm = RPG::AudioFile.new('Town', 90, 110)
        m.autoplay_bgs = 1
        m.bgs = RPG::AudioFile.new('River', 60, 100)
        [9, 2, 5].each { |i| m.events[i] = event(i, i, 1) }
        save('Map007.rxdata', m)
    )");
    ASSERT_TRUE(map_.load(db_, 7, false));
    EXPECT_TRUE(map_.loaded);
    EXPECT_EQ(map_.mapId, 7);
    EXPECT_EQ(map_.width, 4);
    EXPECT_EQ(map_.height, 3);
    EXPECT_EQ(map_.tilesetId, 2);
    EXPECT_TRUE(map_.autoplayBgm);
    EXPECT_EQ(map_.bgm.name, "Town");
    EXPECT_EQ(map_.bgm.volume, 90);
    EXPECT_EQ(map_.bgm.pitch, 110);
    EXPECT_FALSE(map_.autoplayBgs) << "only a value of kind true turns autoplay on";
    EXPECT_EQ(map_.bgs.name, "River");
    EXPECT_EQ(map_.bgs.volume, 60);
    EXPECT_EQ(map_.projectFolder, db_.projectFolder);

    std::vector<int> ids;
    for (const auto& [id, event] : map_.events) ids.push_back(id);
    EXPECT_EQ(ids, (std::vector<int>{2, 5, 9}));
    const MapEvent& e5 = map_.events.at(5);
    EXPECT_EQ(e5.id, 5);
    EXPECT_EQ(e5.name, "EV5");
    EXPECT_EQ(e5.x, 5);
    EXPECT_EQ(e5.y, 1);
    EXPECT_EQ(e5.pages.size(), 1u);

    // The file's tree stays with the map, so command lists can be read from it later.
    EventCommandList list;
    EXPECT_TRUE(readCommandList(map_.root, mapEventPageListPath(9, 0), list));
    EXPECT_FALSE(readCommandList(map_.root, mapEventPageListPath(9, 1), list));
}

TEST_F(MapDataTest, TileReadsOutsideTheTableGiveZero) {
    make(R"(
        m = RPG::Map.new(4, 3)
        m.data.set(0, 0, 0, 384).set(3, 2, 2, -5).set(1, 2, 1, 48).set(2, 1, 0, 1000)
        save('Map001.rxdata', m)
    )");
    ASSERT_TRUE(map_.load(db_, 1, false));
    struct Case {
        int x, y, layer;
        int16_t expected;
    };
    const Case cases[] = {
        {0, 0, 0, 384}, {3, 2, 2, -5}, {1, 2, 1, 48}, {2, 1, 0, 1000},
        {2, 1, 1, 0},   {4, 0, 0, 0},  {0, 3, 0, 0},  {0, 0, 3, 0},
        {-1, 0, 0, 0},  {0, -1, 0, 0}, {0, 0, -1, 0}, {1000000, 1000000, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(map_.tileAt(c.x, c.y, c.layer), c.expected)
            << "(" << c.x << ", " << c.y << ", " << c.layer << ")";
}

TEST_F(MapDataTest, PageFieldsAndTheirDefaults) {
    make(R"(
        m = RPG::Map.new(3, 3)
        e = event(1, 0, 0)
        p = e.pages[0]
        c = p.condition
        c.switch1_valid = c.switch2_valid = c.variable_valid = c.self_switch_valid = true
        c.switch1_id, c.switch2_id, c.variable_id, c.variable_value = 11, 12, 13, -14
        c.self_switch_ch = 'C'
        g = p.graphic
        g.tile_id, g.character_name, g.character_hue = 0, 'Hero', 120
        g.direction, g.pattern, g.opacity, g.blend_type = 6, 3, 128, 2
        p.move_type, p.move_speed, p.move_frequency, p.trigger = 2, 5, 6, 4
        p.walk_anime = false
        p.step_anime = p.direction_fix = p.through = p.always_on_top = true
        bare = RPG::Event::Page.new
        bare.remove_instance_variable(:@graphic)
        bare.remove_instance_variable(:@condition)
        e.pages << bare << RPG::Event::Page.allocate
        m.events[1] = e
        save('Map001.rxdata', m)
    )");
    ASSERT_TRUE(map_.load(db_, 1, true));
    const MapEvent& e = map_.events.at(1);
    ASSERT_EQ(e.pages.size(), 3u);

    const MapEventPage& p = e.pages[0];
    EXPECT_EQ(conditionOf(p), std::make_tuple(true, true, true, true, 11, 12, 13, -14, 67));
    EXPECT_EQ(graphicOf(p), std::make_tuple(0, std::string("Hero"), 120, 6, 3, 128, 2));
    EXPECT_EQ(movementOf(p), std::make_tuple(2, 5, 6, false, true, true, true, true, 4));

    // Without @graphic and @condition, and with no fields at all: every default.
    for (size_t k = 1; k < 3; ++k) {
        const MapEventPage& d = e.pages[k];
        SCOPED_TRACE(k);
        EXPECT_EQ(conditionOf(d), std::make_tuple(false, false, false, false, 1, 1, 1, 0, 65));
        EXPECT_EQ(graphicOf(d), std::make_tuple(0, std::string(), 0, 2, 0, 255, 0));
        // Measured, but with no picture: a zero-sized rectangle, so never drawn.
        EXPECT_EQ(d.frameWidth, 0);
        EXPECT_EQ(d.frameHeight, 0);
    }
    EXPECT_EQ(movementOf(e.pages[2]),
              std::make_tuple(0, 3, 3, true, false, false, false, false, 0));
}

TEST_F(MapDataTest, SelfSwitchLetters) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"A", 65}, {"B", 66}, {"C", 67}, {"D", 68}, {"E", 65}, {"a", 65}, {"", 65}, {"AB", 65},
    };
    std::string body = "m = RPG::Map.new(1, 1)\ne = event(1, 0, 0)\ne.pages = []\n";
    for (const auto& c : cases)
        body += "p = RPG::Event::Page.new\np.condition.self_switch_ch = '" + c.first +
                "'\ne.pages << p\n";
    body += "m.events[1] = e\nsave('Map001.rxdata', m)\n";
    make(body);
    ASSERT_TRUE(map_.load(db_, 1, false));
    const MapEvent& e = map_.events.at(1);
    ASSERT_EQ(e.pages.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(e.pages[i].condition.selfSwitchCh, cases[i].second)
            << '"' << cases[i].first << '"';
}

TEST_F(MapDataTest, PictureRectanglesFromCharacterSheets) {
    project_.picture("Graphics/Characters/Small.png", 96, 128, "red");
    project_.picture("Graphics/Characters/Tall.png", 128, 192, "blue");
    project_.picture("Graphics/Characters/Odd.png", 228, 100, "green");
    make(R"(
        m = RPG::Map.new(20, 20)
        def put(m, id, name, direction, pattern, tile = 0)
          e = event(id, id, 5)
          g = e.pages[0].graphic
          g.character_name, g.direction, g.pattern, g.tile_id = name, direction, pattern, tile
          m.events[id] = e
        end
        put(m, 1, 'Small', 2, 0)
        put(m, 2, 'Tall', 2, 0)
        put(m, 3, 'Tall', 4, 1)
        put(m, 4, 'Tall', 6, 3)
        put(m, 5, 'Tall', 8, 2)
        put(m, 6, 'Tall', 5, 1)
        put(m, 7, 'Odd', 2, 0)
        put(m, 8, 'Tall', 8, 1, 400)
        put(m, 9, 'Nowhere', 2, 0)
        put(m, 10, '', 2, 0)
        save('Map002.rxdata', m)
    )");
    ASSERT_TRUE(map_.load(db_, 2, true));
    struct Case {
        int event, sourceX, sourceY, frameWidth, frameHeight, offsetX, offsetY;
    };
    const Case cases[] = {
        {1, 0, 0, 24, 32, 4, 0},       // 96 × 128: offset (4, 0)
        {2, 0, 0, 32, 48, 0, -16},     // 128 × 192: 16 pixels into the cell above
        {3, 32, 48, 32, 48, 0, -16},   // facing left, second pattern
        {4, 96, 96, 32, 48, 0, -16},   // facing right, fourth pattern
        {5, 64, 144, 32, 48, 0, -16},  // facing up
        {6, 32, 0, 32, 48, 0, -16},    // no such direction: first row
        {7, 0, 0, 57, 25, -12, 7},     // (32 − 57) / 2 rounds toward zero
        {8, 0, 0, 32, 32, 0, 0},       // a tile, whatever the sheet
        {9, 0, 0, 0, 0, 0, 0},         // sheet not found
        {10, 0, 0, 0, 0, 0, 0},        // no sheet named
    };
    for (const Case& c : cases) {
        const MapEventPage& p = map_.events.at(c.event).pages.at(0);
        SCOPED_TRACE(c.event);
        EXPECT_EQ(p.sourceX, c.sourceX);
        EXPECT_EQ(p.sourceY, c.sourceY);
        EXPECT_EQ(p.frameWidth, c.frameWidth);
        EXPECT_EQ(p.frameHeight, c.frameHeight);
        EXPECT_EQ(p.offsetX, c.offsetX);
        EXPECT_EQ(p.offsetY, c.offsetY);
    }
    std::set<std::string> cached;
    for (const auto& [name, sheet] : map_.characterCache) cached.insert(name);
    EXPECT_EQ(cached, (std::set<std::string>{"Odd", "Small", "Tall"}));
    EXPECT_EQ(map_.characterCache.at("Tall").width(), 128);
    EXPECT_EQ(map_.characterCache.at("Tall").height(), 192);

    // The same map read with measuring off: all six fields 0 on every page, nothing cached.
    ASSERT_TRUE(map_.load(db_, 2, false));
    EXPECT_TRUE(map_.characterCache.empty());
    for (const auto& [id, event] : map_.events)
        for (const MapEventPage& p : event.pages) {
            EXPECT_EQ(p.sourceX | p.sourceY | p.frameWidth | p.frameHeight | p.offsetX | p.offsetY,
                      0)
                << "event " << id;
        }
}

TEST_F(MapDataTest, SheetsComeFromTheRtpWhenTheProjectLacksThem) {
    project_.picture("Graphics/Characters/Shared.jpg", 96, 128, "red", true);
    project_.picture("Graphics/Characters/Both.jpg", 96, 128, "red", true);
    project_.picture("Graphics/Characters/Both.png", 128, 192, "blue");
    make(R"(
        m = RPG::Map.new(5, 5)
        m.events[1] = event(1, 1, 1)
        m.events[1].pages[0].graphic.character_name = 'Shared'
        m.events[2] = event(2, 2, 2)
        m.events[2].pages[0].graphic.character_name = 'Both'
        save('Map003.rxdata', m)
    )");
    ASSERT_TRUE(map_.load(db_, 3, true));
    const MapEventPage& rtp = map_.events.at(1).pages[0];
    EXPECT_EQ(rtp.frameWidth, 24) << "the RTP's JPEG";
    EXPECT_EQ(rtp.frameHeight, 32);
    const MapEventPage& own = map_.events.at(2).pages[0];
    EXPECT_EQ(own.frameWidth, 32) << "the project's PNG wins";
    EXPECT_EQ(own.frameHeight, 48);
}

// Sheets are measured from their files' headers; decoded ones are kept for drawing only
// within the cache's budget, so four 8192 × 4096 sheets do not all stay in memory. A
// pattern far off its sheet stays off it instead of wrapping around onto a frame.
TEST_F(MapDataTest, HugeSheetsAndFarPatterns) {
    make(R"(
        require 'zlib'
        def grey_png(path, w, h)
          chunk = ->(t, d) { [d.bytesize].pack('N') + t.b + d + [Zlib.crc32(t + d)].pack('N') }
          z = Zlib::Deflate.new(1)
          row = ("\0" + "\x80" * w).b
          data = ''.b
          h.times { data << z.deflate(row) }
          data << z.finish
          File.binwrite(path, "\x89PNG\r\n\x1a\n".b + chunk.('IHDR', [w, h, 8, 0, 0, 0, 0].pack('NNC5')) +
                              chunk.('IDAT', data) + chunk.('IEND', ''.b))
        end
        dir = File.join($dir, 'Graphics', 'Characters')
        Dir.mkdir(File.join($dir, 'Graphics'))
        Dir.mkdir(dir)
        grey_png(File.join(dir, 'Big1.png'), 8192, 4096)
        (2..4).each { |n| File.binwrite(File.join(dir, "Big#{n}.png"), File.binread(File.join(dir, 'Big1.png'))) }
        m = RPG::Map.new(4, 4)
        [[1, 'Big1', 0], [2, 'Big2', 0], [3, 'Big3', 0], [4, 'Big4', 0],
         [5, 'Big1', 2**21 + 1], [6, 'Big1', -2**21 + 1]].each do |id, name, pattern|
          m.events[id] = event(id, 0, 0)
          m.events[id].pages[0].graphic.character_name = name
          m.events[id].pages[0].graphic.pattern = pattern
        end
        save('Map001.rxdata', m)
    )");
    ztest::BoundedRun r = ztest::runBounded([&] {
        MapData map;
        if (!map.load(db_, 1, true)) return 1;
        for (int id = 1; id <= 4; ++id) {
            const MapEventPage& p = map.events.at(id).pages[0];
            if (p.frameWidth != 2048 || p.frameHeight != 1024 || p.sourceX != 0) return 2;
        }
        for (int id : {5, 6}) {
            const int x = map.events.at(id).pages[0].sourceX;
            if (x >= 0 && x < 8192) return 3;  // a frame of the sheet: the product wrapped
        }
        uint64_t kept = 0;
        for (const auto& [name, sheet] : map.characterCache)
            kept += uint64_t(sheet.width()) * uint64_t(sheet.height());
        return kept > 0 && kept <= MapData::kCharacterCachePixels ? 0 : 4;
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_LT(r.peakKb, 400 * 1024);
}

TEST_F(MapDataTest, UnreadableMapLeavesAnEmptyMap) {
    make(R"(
        m = RPG::Map.new(6, 4)
        m.events[1] = event(1, 1, 1)
        save('Map001.rxdata', m)
    )");
    ztest::writeFile(project_.folder() + "/Data/Map002.rxdata", "\x04\x08[\x07i");  // cut short
    ASSERT_TRUE(map_.load(db_, 1, true));
    for (int id : {2, 3}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(map_.load(db_, id, true));
        EXPECT_FALSE(map_.loaded);
        EXPECT_EQ(map_.width, 0);
        EXPECT_EQ(map_.height, 0);
        EXPECT_TRUE(map_.events.empty());
        EXPECT_FALSE(map_.root.loaded());
        EXPECT_EQ(map_.tileAt(0, 0, 0), 0);
    }
}

TEST_F(MapDataTest, TilesetPicturesOnlyForAnExistingTileset) {
    project_.picture("Graphics/Tilesets/Field.png", 256, 64, "red");
    make(R"(
        t = RPG::Tileset.new(1)
        t.name = 'Field set'
        t.tileset_name = 'Field'
        save('Tilesets.rxdata', [nil, t])
        [[1, 1], [2, 0], [3, 2], [4, -1]].each do |id, tileset|
          m = RPG::Map.new(2, 2)
          m.tileset_id = tileset
          save(format('Map%03d.rxdata', id), m)
        end
    )");
    ASSERT_EQ(db_.tilesets().size(), 2u);
    ASSERT_TRUE(map_.load(db_, 1, false));
    map_.loadTileset(db_.tilesets());
    EXPECT_EQ(map_.tilesetGraphics.id, 1);
    EXPECT_EQ(map_.tilesetGraphics.name, "Field set");
    EXPECT_EQ(map_.tilesetGraphics.tilesetPicture.width(), 256);
    EXPECT_EQ(map_.tilesetGraphics.projectFolder, db_.projectFolder);

    for (int id : {2, 3, 4}) {  // tileset 0, beyond the array, negative
        SCOPED_TRACE(id);
        ASSERT_TRUE(map_.load(db_, id, false));
        map_.loadTileset(db_.tilesets());
        EXPECT_EQ(map_.tilesetGraphics.name, "");
        EXPECT_TRUE(map_.tilesetGraphics.tilesetPicture.empty());
    }
}

TEST_F(MapDataTest, ClearReleasesEverything) {
    project_.picture("Graphics/Characters/Small.png", 96, 128, "red");
    project_.picture("Graphics/Tilesets/Field.png", 64, 64, "red");
    make(R"(
        t = RPG::Tileset.new(1)
        t.tileset_name = 'Field'
        save('Tilesets.rxdata', [nil, t])
        m = RPG::Map.new(2, 2)
        m.data.set(1, 1, 0, 400)
        m.events[1] = event(1, 0, 0)
        m.events[1].pages[0].graphic.character_name = 'Small'
        save('Map001.rxdata', m)
    )");
    ASSERT_TRUE(map_.load(db_, 1, true));
    map_.loadTileset(db_.tilesets());
    ASSERT_FALSE(map_.characterCache.empty());
    ASSERT_FALSE(map_.tilesetGraphics.tilesetPicture.empty());
    map_.clear();
    EXPECT_FALSE(map_.loaded);
    EXPECT_EQ(map_.mapId, 0);
    EXPECT_EQ(map_.width, 0);
    EXPECT_EQ(map_.tileAt(1, 1, 0), 0);
    EXPECT_TRUE(map_.events.empty());
    EXPECT_TRUE(map_.characterCache.empty());
    EXPECT_TRUE(map_.tilesetGraphics.tilesetPicture.empty());
    EXPECT_FALSE(map_.root.loaded());
}

// ---- the sample project and real projects ----

namespace {


}  // namespace

TEST(MapDataSample, EveryMapMatchesTheManifest) {
    if (!std::filesystem::exists(ztest::sampleProject()))
        GTEST_SKIP() << "the sample project is not generated yet";
    std::string sampleDir = ztest::sourceDir() + "/sample";
    auto manifest = nlohmann::json::parse(ztest::readFile(sampleDir + "/manifest.json"));
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject(), sampleDir + "/CommonFiles"));

    std::set<int> missing;
    for (int id : manifest["missing_map_ids"]) missing.insert(id);
    MapData map;
    for (const auto& m : manifest["maps"]) {
        int id = m["id"];
        SCOPED_TRACE("map " + std::to_string(id));
        if (missing.count(id)) {
            EXPECT_FALSE(map.load(db, id, true));
            continue;
        }
        ASSERT_TRUE(map.load(db, id, true));
        EXPECT_EQ(map.width, m["width"].get<int>());
        EXPECT_EQ(map.height, m["height"].get<int>());
        EXPECT_EQ(map.tilesetId, m["tileset_id"].get<int>());
        std::vector<int> ids;
        for (const auto& [eventId, event] : map.events) ids.push_back(eventId);
        EXPECT_EQ(ids, m["event_ids"].get<std::vector<int>>());
        for (const auto& [eventId, pages] : m["pages"].items())
            EXPECT_EQ(map.events[std::stoi(eventId)].pages.size(), pages.get<size_t>())
                << "event " << eventId;
        map.loadTileset(db.tilesets());
        EXPECT_EQ(map.tilesetGraphics.id, map.tilesetId);
        EXPECT_FALSE(map.tilesetGraphics.tilesetPicture.empty());
    }
}

namespace {

// Project files of the corpus; a project folder without one gets a stand-in project
// folder that links to its contents, so the loader can open it.
std::vector<std::string> corpusProjects(const std::string& corpus, const ztest::TempDir& scratch) {
    std::vector<std::string> projects;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_directory()) continue;
        const std::string folder = entry.path().string();
        if (!findPathNoCase(folder, "Data/MapInfos.rxdata")) continue;
        if (auto file = findPathNoCase(folder, "Game.rxproj")) {
            projects.push_back(*file);
            continue;
        }
        std::string standIn = scratch.file(entry.path().filename().string());
        std::filesystem::create_directories(standIn);
        for (const auto& item : std::filesystem::directory_iterator(folder))
            std::filesystem::create_symlink(item.path(),
                                            standIn + "/" + item.path().filename().string());
        ztest::writeFile(standIn + "/Game.rxproj", "");
        projects.push_back(standIn + "/Game.rxproj");
    }
    return projects;
}

}  // namespace

TEST(MapDataCorpus, EveryMapOfEveryProjectLoads) {
    std::string corpus = ztest::corpusDir();
    if (corpus.empty()) GTEST_SKIP() << "no corpus of real projects (../shared/corpus)";
    ztest::TempDir scratch;
    std::vector<std::string> projects = corpusProjects(corpus, scratch);
    ASSERT_FALSE(projects.empty()) << "no project found in " << corpus;
    for (const std::string& file : projects) {
        SCOPED_TRACE(file);
        ProjectDatabase db;
        ASSERT_TRUE(db.open(file, scratch.file("NoCommonFiles")));
        size_t loaded = 0, maps = 0;
        MapData map;
        for (const auto& [id, info] : db.mapInfos()) {
            if (id <= 0) continue;
            ++maps;
            if (!map.load(db, id, true)) continue;
            ++loaded;
            map.loadTileset(db.tilesets());
            EXPECT_EQ(map.mapId, id);
        }
        // A map loads exactly when its file is a readable Marshal stream.
        size_t readable = 0;
        for (const auto& [id, info] : db.mapInfos()) {
            MarshalFile f;
            if (id > 0 && db.readDataFile(mapFileName(id), f)) ++readable;
        }
        EXPECT_EQ(loaded, readable);
        EXPECT_GT(loaded, 0u) << "of " << maps << " maps";
    }
}

// The threaded map drawing: one tileset cache and one picture pool shared by several
// threads. Also run under ThreadSanitizer (scripts/sanitize).
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "map/graphic_cache.h"
#include "map/map_batch.h"
#include "map/tileset_cache.h"
#include "project/project_database.h"
#include "support/test_support.h"

using namespace zorvane;

namespace {

ProjectDatabase openSample() {
    ProjectDatabase db;
    db.open(ztest::sampleProject(), ztest::sourceDir() + "/sample/CommonFiles");
    return db;
}

}  // namespace

// Six maps of three tilesets, each given its tileset on a thread of its own at once: every
// tileset is decoded once, and the maps of one tileset share its pixels.
TEST(TilesetCache, ThreadsAskingForOneTilesetDecodeItOnce) {
    const ProjectDatabase db = openSample();
    std::vector<MapData> maps(6);
    const int ids[] = {1, 2, 3, 4, 5, 7};
    std::set<int32_t> tilesets;
    for (size_t i = 0; i < maps.size(); ++i) {
        ASSERT_TRUE(maps[i].load(db, ids[i], false)) << ids[i];
        tilesets.insert(maps[i].tilesetId);
    }
    TilesetCache cache;
    std::vector<std::thread> threads;
    for (MapData& map : maps) threads.emplace_back([&] { cache.apply(map, db.tilesets()); });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(cache.decodes(), static_cast<int>(tilesets.size()));
    for (const MapData& a : maps) {
        ASSERT_FALSE(a.tilesetGraphics.tilesetPicture.empty()) << a.tilesetId;
        for (const MapData& b : maps)
            EXPECT_EQ(a.tilesetGraphics.tilesetPicture.sharesPixelsWith(
                          b.tilesetGraphics.tilesetPicture),
                      a.tilesetId == b.tilesetId);
    }
}

// Every map of the sample drawn on four threads: the same files as on one thread, handed
// back in list order.
TEST(MapBatch, FourThreadsDrawWhatOneThreadDraws) {
    const ProjectDatabase db = openSample();
    ztest::TempDir dir;
    std::set<int> drawn;
    auto draw = [&](int jobs, std::vector<int>& order) {
        std::vector<MapBatchItem> items;
        for (const auto& entry : db.mapInfos())
            items.push_back({entry.first, dir.file(std::to_string(jobs) + "-" +
                                                   std::to_string(entry.first) + ".png")});
        MapBatchOptions options;
        options.jobs = jobs;
        options.render.zoomMode = 2;  // half size: the test is about threads, not pixels
        std::atomic<bool> abort{false};
        drawMapPictures(db, items, options, [&](MapBatchResult& r) {
            order.push_back(r.mapId);
            if (r.loaded) drawn.insert(r.mapId);
            return true;
        }, abort);
        return items;
    };
    std::vector<int> oneOrder, fourOrder;
    const auto one = draw(1, oneOrder);
    const auto four = draw(4, fourOrder);
    EXPECT_EQ(fourOrder, oneOrder);
    EXPECT_EQ(drawn.size(), 6u);  // the tree also lists a map without a file
    ASSERT_EQ(one.size(), four.size());
    for (size_t i = 0; i < one.size(); ++i) {
        if (!drawn.count(one[i].mapId)) continue;
        EXPECT_EQ(ztest::readFile(four[i].path), ztest::readFile(one[i].path)) << four[i].path;
    }
}

namespace {

bool samePixels(const Bitmap32& a, const Bitmap32& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

}  // namespace

// Every tileset of the sample loaded twice through one graphic cache (tileset 3 gives its
// panorama and fog a hue, tilesets 1 and 3 share their pictures) is what it is loaded
// without the cache: a hue never reaches the shared pixels.
TEST(GraphicCache, TilesetsLoadedThroughItAreTheTilesetsLoadedAlone) {
    const ProjectDatabase db = openSample();
    GraphicCache cache;
    for (int round = 0; round < 2; ++round) {
        for (const Tileset& tileset : db.tilesets()) {
            if (tileset.id == 0) continue;
            TilesetGraphics alone, shared;
            alone.load(tileset, db.resources());
            shared.load(tileset, db.resources(), &cache);
            const std::string what = std::to_string(tileset.id) + " round " + std::to_string(round);
            EXPECT_TRUE(samePixels(shared.tilesetPicture, alone.tilesetPicture)) << what;
            EXPECT_TRUE(samePixels(shared.panoramaPicture, alone.panoramaPicture)) << what;
            EXPECT_TRUE(samePixels(shared.fogPicture, alone.fogPicture)) << what;
            for (int k = 0; k < kAutotileCount; ++k)
                EXPECT_TRUE(samePixels(shared.autotilePictures[size_t(k)],
                                       alone.autotilePictures[size_t(k)]))
                    << what << " autotile " << k;
        }
    }
    // A tileset loaded again decodes nothing.
    const int decoded = cache.decodes();
    TilesetGraphics again;
    again.load(db.tilesets()[1], db.resources(), &cache);
    EXPECT_EQ(cache.decodes(), decoded);
}

// Each map of the sample drawn by a batch of its own is the same file as when one batch
// draws them all, last first, with its graphics shared from map to map.
TEST(MapBatch, MapsDrawnTogetherAreTheMapsDrawnAlone) {
    const ProjectDatabase db = openSample();
    ztest::TempDir dir;
    MapBatchOptions options;
    options.jobs = 1;
    std::atomic<bool> abort{false};
    std::vector<MapBatchItem> together;
    for (auto it = db.mapInfos().rbegin(); it != db.mapInfos().rend(); ++it)
        together.push_back({it->first, dir.file("together-" + std::to_string(it->first) + ".png")});
    std::set<int> drawn;
    drawMapPictures(
        db, together, options,
        [&](MapBatchResult& r) {
            if (r.loaded && r.status == MapPictureStatus::Saved) drawn.insert(r.mapId);
            return true;
        },
        abort);
    EXPECT_EQ(drawn.size(), 6u);
    for (const MapBatchItem& item : together) {
        if (!drawn.count(item.mapId)) continue;
        const std::string alone = dir.file("alone-" + std::to_string(item.mapId) + ".png");
        drawMapPictures(
            db, {{item.mapId, alone}}, options, [](MapBatchResult&) { return true; }, abort);
        EXPECT_EQ(ztest::readFile(item.path), ztest::readFile(alone)) << item.mapId;
    }
}

// The threaded map drawing: one tileset cache and one picture pool shared by several
// threads. Also run under ThreadSanitizer (scripts/sanitize).
#include <gtest/gtest.h>

#include <set>
#include <thread>

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

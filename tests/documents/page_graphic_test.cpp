// Page graphic frames of sample map pages against ImageMagick's crops of the same files.
#include <gtest/gtest.h>

#include "documents/page_graphic.h"
#include "map/image_test_support.h"
#include "map/map_data.h"
#include "project/project_database.h"

using namespace zorvane;

namespace {

std::string crop(const std::string& file, int x, int y, int w, int h) {
    std::string out;
    ztest::run(imgtest::convertTool() + " " + ztest::shellQuote(file) + " -crop " +
                   std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) + "+" +
                   std::to_string(y) + " +repage -depth 8 rgba:-",
               &out);
    return out;
}

// Fully transparent pixels may carry any colour.
std::string visible(std::string rgba) {
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        if (rgba[i + 3] == 0) rgba.replace(i, 3, 3, '\0');
    return rgba;
}

}  // namespace

TEST(PageGraphic, TileAndCharacterFrames) {
    SKIP_WITHOUT_CONVERT();
    std::string sample = ztest::sourceDir() + "/sample/Project/Graphics/";
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject()));
    MapData town, world;
    ASSERT_TRUE(town.load(db, 2, false));
    ASSERT_TRUE(world.load(db, 1, false));
    world.loadTileset(db.tilesets());

    // The chest of the world map: one tile, at ((id - 384) mod 8, (id - 384) div 8).
    const MapEventPage& chest = world.events.at(2).pages.at(0);
    int index = chest.graphic.tileId - 384;
    std::vector<Bitmap32> tile = pageGraphicFrames(chest, world);
    ASSERT_EQ(tile.size(), 1u);
    EXPECT_EQ(visible(imgtest::toRgba(tile[0])),
              visible(crop(sample + "Tilesets/sample_tiles.png", index % 8 * 32, index / 8 * 32, 32,
                           32)));

    // The mayor's second page faces up (row 4 of 4) and walks: four frames of that row.
    std::string sheet = sample + "Characters/npc_small.png";
    MapEventPage mayor = town.events.at(1).pages.at(1);
    ASSERT_EQ(mayor.graphic.direction, 8);
    ASSERT_TRUE(mayor.walkAnime);
    std::vector<Bitmap32> walking = pageGraphicFrames(mayor, town);
    ASSERT_EQ(walking.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(visible(imgtest::toRgba(walking[size_t(k)])),
                  visible(crop(sheet, k * 24, 3 * 32, 24, 32)))
            << "frame " << k;

    // Still: the frame of its pattern alone.
    mayor.walkAnime = mayor.stepAnime = false;
    mayor.graphic.pattern = 2;
    std::vector<Bitmap32> still = pageGraphicFrames(mayor, town);
    ASSERT_EQ(still.size(), 1u);
    EXPECT_EQ(visible(imgtest::toRgba(still[0])), visible(crop(sheet, 48, 96, 24, 32)));

    mayor.graphic.characterName = "nothing_here";
    EXPECT_TRUE(pageGraphicFrames(mayor, town).empty());
}

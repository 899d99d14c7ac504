// Loading a tileset's pictures: names and numbers copied from the record, pictures from the
// project or the RTP, hue on panorama and fog, fog zoom, at most seven autotiles, and empty
// names clearing pictures left from an earlier load.
#include <gtest/gtest.h>

#include "map/map_test_project.h"
#include "map/tileset_graphics.h"

using namespace zorvane;

namespace {

class TilesetGraphicsTest : public testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_RUBY_AND_CONVERT();
        // The loader points RTP 1 at the test project's stand-in common files.
        ASSERT_TRUE(project_.write(""));
        ASSERT_TRUE(project_.open(db_));
    }

    maptest::TestProject project_;
    ProjectDatabase db_;
};

Tileset record() {
    Tileset t;
    t.id = 3;
    t.name = "Cave";
    t.tilesetName = "Rocks";
    t.panoramaName = "Sky";
    t.panoramaHue = 180;
    t.fogName = "Mist";
    t.fogHue = 120;
    t.fogOpacity = 96;
    t.fogBlendType = 1;
    t.fogZoom = 200;
    t.fogSx = 4;
    t.fogSy = -2;
    t.autotileNames = {"A1", "", "A3", "", "", "", "A7", "A8"};
    t.priorities.resize(400, 1, 1);
    t.priorities.set(390, 0, 0, 5);
    t.passages.resize(400, 1, 1);
    t.passages.set(391, 0, 0, 0x4F);
    return t;
}

}  // namespace

TEST_F(TilesetGraphicsTest, LoadsEveryPicture) {
    project_.picture("Graphics/Tilesets/Rocks.png", 256, 96, "white");
    project_.picture("Graphics/Panoramas/Sky.png", 6, 4, "red");
    project_.picture("Graphics/Fogs/Mist.png", 5, 3, "red");
    project_.picture("Graphics/Autotiles/A1.png", 96, 128, "white");
    project_.picture("Graphics/Autotiles/A3.jpg", 32, 32, "white", true);
    project_.picture("Graphics/Autotiles/A7.png", 64, 32, "white");
    project_.picture("Graphics/Autotiles/A8.png", 96, 128, "white");

    TilesetGraphics g;
    g.load(record(), db_.resources());
    EXPECT_EQ(g.id, 3);
    EXPECT_EQ(g.name, "Cave");
    EXPECT_EQ(g.tilesetName, "Rocks");
    EXPECT_EQ(g.panoramaName, "Sky");
    EXPECT_EQ(g.panoramaHue, 180);
    EXPECT_EQ(g.fogName, "Mist");
    EXPECT_EQ(g.fogHue, 120);
    EXPECT_EQ(g.fogOpacity, 96);
    EXPECT_EQ(g.fogBlendType, 1);
    EXPECT_EQ(g.fogZoom, 200);
    EXPECT_EQ(g.projectFolder, project_.folder());
    EXPECT_EQ(g.priorities.at(390), 5);
    EXPECT_EQ(g.passages.at(391), 0x4F);

    EXPECT_EQ(g.tilesetPicture.width(), 256);
    EXPECT_EQ(g.tilesetPicture.height(), 96);

    // Hue 180 turns pure red into cyan; the panorama keeps its size.
    ASSERT_EQ(g.panoramaPicture.width(), 6);
    EXPECT_EQ(g.panoramaPicture.pixel(5, 3), 0xFF00FFFFu);

    // Hue 120 turns red into green, then the fog is zoomed to 200 %.
    ASSERT_EQ(g.fogPicture.width(), 10);
    ASSERT_EQ(g.fogPicture.height(), 6);
    EXPECT_EQ(g.fogPicture.pixel(9, 5), 0xFF00FF00u);

    const int widths[kAutotileCount] = {96, 0, 32, 0, 0, 0, 64};
    for (int k = 0; k < kAutotileCount; ++k)
        EXPECT_EQ(g.autotilePictures[k].width(), widths[k]) << "autotile " << k;
    EXPECT_EQ(g.autotileNames[6], "A7");
}

TEST_F(TilesetGraphicsTest, FogZoom) {
    project_.picture("Graphics/Fogs/Mist.png", 8, 4, "blue");
    struct Case {
        int zoom, width, height;
    };
    const Case cases[] = {{100, 8, 4}, {200, 16, 8}, {50, 4, 2},  {150, 12, 6},
                          {10, 0, 0},  {0, 0, 0},    {-100, 0, 0}};
    for (const Case& c : cases) {
        Tileset t;
        t.fogName = "Mist";
        t.fogZoom = c.zoom;
        TilesetGraphics g;
        g.load(t, db_.resources());
        EXPECT_EQ(g.fogPicture.width(), c.width) << "zoom " << c.zoom;
        EXPECT_EQ(g.fogPicture.height(), c.height) << "zoom " << c.zoom;
    }
}

TEST_F(TilesetGraphicsTest, RtpJpegWhenTheProjectLacksThePng) {
    project_.picture("Graphics/Tilesets/Shared.jpg", 64, 32, "blue", true);
    project_.picture("Graphics/Tilesets/Own.jpg", 64, 32, "blue", true);
    project_.picture("Graphics/Tilesets/Own.png", 128, 32, "red");
    Tileset t;
    t.tilesetName = "Shared";
    TilesetGraphics g;
    g.load(t, db_.resources());
    EXPECT_EQ(g.tilesetPicture.width(), 64);
    EXPECT_GT(blueOf(g.tilesetPicture.pixel(0, 0)), 240);

    t.tilesetName = "Own";
    g.load(t, db_.resources());
    EXPECT_EQ(g.tilesetPicture.width(), 128) << "the project's PNG wins";
}

TEST_F(TilesetGraphicsTest, EmptyNamesClearEarlierPictures) {
    project_.picture("Graphics/Tilesets/Rocks.png", 32, 32, "white");
    project_.picture("Graphics/Panoramas/Sky.png", 8, 8, "red");
    project_.picture("Graphics/Fogs/Mist.png", 8, 8, "red");
    project_.picture("Graphics/Autotiles/A1.png", 96, 128, "white");
    TilesetGraphics g;
    g.load(record(), db_.resources());
    ASSERT_FALSE(g.tilesetPicture.empty());
    ASSERT_FALSE(g.fogPicture.empty());

    g.load(Tileset{}, db_.resources());
    EXPECT_EQ(g.name, "");
    EXPECT_EQ(g.fogZoom, 0);
    EXPECT_TRUE(g.tilesetPicture.empty());
    EXPECT_TRUE(g.panoramaPicture.empty());
    EXPECT_TRUE(g.fogPicture.empty());
    for (int k = 0; k < kAutotileCount; ++k) EXPECT_TRUE(g.autotilePictures[k].empty()) << k;
    EXPECT_TRUE(g.priorities.empty());

    // A name whose file exists nowhere also leaves no picture.
    Tileset missing;
    missing.tilesetName = "NotThere";
    g.load(missing, db_.resources());
    EXPECT_TRUE(g.tilesetPicture.empty());
}

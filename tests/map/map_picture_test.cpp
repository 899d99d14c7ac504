// Whole-map pictures: a map checked against the same pieces composed by ImageMagick, zoom
// and grid, the full-size BMP against the ×1 BMP, the full-size question, pictures too
// large for 16-bit sizes or for a BMP, and every map of the real projects.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "map/image_files.h"
#include "map/image_test_support.h"
#include "map/map_picture.h"
#include "project/project_database.h"

using namespace zorvane;

namespace {

// The sample project with its stand-in RTP.
class SampleMap {
  public:
    explicit SampleMap(int mapId) {
        db_.open(ztest::sampleProject(), ztest::sourceDir() + "/sample/CommonFiles");
        loaded_ = map_.load(db_, mapId, true);
        map_.loadTileset(db_.tilesets());
    }
    bool loaded() const { return loaded_; }
    const MapData& map() const { return map_; }

  private:
    ProjectDatabase db_;
    MapData map_;
    bool loaded_ = false;
};

MapData blankMap(int w, int h) {
    MapData map;
    map.loaded = true;
    map.width = w;
    map.height = h;
    return map;
}

uint32_t le32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(bytes[at + size_t(i)]);
    return v;
}

struct Draw {
    int key;              // the depth key within a cell
    std::string picture;  // file
    int sx, sy, w, h;     // crop
    int dx, dy;           // where on the map
};

}  // namespace

TEST(MapPicture, MatchesTheSamePiecesComposedByImageMagick) {
    SKIP_WITHOUT_CONVERT();
    ztest::TempDir dir;
    const std::string g = dir.path() + "/Graphics/";
    for (const char* sub : {"Tilesets", "Panoramas", "Fogs", "Characters"})
        std::filesystem::create_directories(g + sub);
    const std::string im = imgtest::convertTool();
    auto make = [&](const std::string& args) { ASSERT_EQ(ztest::run(im + " " + args), 0) << args; };
    // Tiles 384..391 opaque, 392..407 with alpha running across each row.
    make(
        "-size 256x32 gradient:red-blue \\( -size 256x64 gradient:yellow-green \\( -size 64x256 "
        "gradient:white-black -rotate 90 \\) -alpha off -compose CopyOpacity -composite \\) "
        "-compose Over -background none -append PNG32:" +
        g + "Tilesets/T.png");
    make("-seed 7 -size 80x48 plasma: -alpha off PNG24:" + g + "Panoramas/P.png");
    make(
        "-seed 3 -size 48x40 plasma: \\( -size 48x40 gradient:white-black \\) -alpha off "
        "-compose CopyOpacity -composite PNG32:" +
        g + "Fogs/F.png");
    make(
        "-seed 5 -size 96x128 plasma: \\( -size 96x128 gradient:black-white \\) -alpha off "
        "-compose CopyOpacity -composite PNG32:" +
        g + "Characters/C.png");

    MapData map = blankMap(5, 3);
    map.data.resize(5, 3, 3);
    Tileset record;
    record.tilesetName = "T";
    record.panoramaName = "P";
    record.fogName = "F";
    record.fogOpacity = 128;
    record.fogZoom = 200;
    record.priorities.resize(408, 1, 1);
    record.passages.resize(408, 1, 1);
    record.priorities.set(393, 0, 0, 5);
    record.priorities.set(394, 0, 0, 1);
    map.tilesetGraphics.load(record, ResourceResolver(dir.path()));
    // Layer 0 opaque except two cells where the panorama shows across its edges; a
    // priority-5 tile on layer 0 of (2,0) lies above layer 1; an event between the tiles
    // of (3,1).
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) map.data.set(x, y, 0, 384 + (x + y) % 8);
    map.data.set(1, 1, 0, 0);
    map.data.set(2, 2, 0, 0);
    map.data.set(2, 0, 0, 393);
    map.data.set(2, 0, 1, 386);
    map.data.set(1, 1, 1, 395);
    map.data.set(3, 1, 1, 394);
    map.data.set(4, 2, 2, 400);
    ASSERT_TRUE(decodeImageFile(g + "Characters/C.png", map.characterCache["C"]));
    MapEvent event;
    event.x = 3;
    event.y = 1;
    event.pages.emplace_back();
    event.pages[0].graphic.characterName = "C";
    event.pages[0].graphic.pattern = 1;
    measurePage(event.pages[0], &map.characterCache["C"]);
    map.events[1] = event;

    std::vector<Draw> draws;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            for (int layer = 0; layer < 3; ++layer) {
                int t = map.tileAt(x, y, layer);
                if (t < 384) continue;
                draws.push_back({layer + record.priorities.at(t) * 8, g + "Tilesets/T.png",
                                 (t % 8) * 32, (t - 384) / 8 * 32, 32, 32, x * 32, y * 32});
            }
    // A 96 × 128 sheet has 24 × 32 frames, standing centred in the cell: pattern 1 is the
    // second column of the top row.
    draws.push_back({3, g + "Characters/C.png", 24, 0, 24, 32, 3 * 32 + 4, 32});
    std::stable_sort(draws.begin(), draws.end(),
                     [](const Draw& a, const Draw& b) { return a.key < b.key; });
    std::string cmd = im + " -size 160x96 tile:" + g + "Panoramas/P.png";
    for (const Draw& d : draws)
        cmd += " \\( " + d.picture + " -crop " + std::to_string(d.w) + "x" + std::to_string(d.h) +
               "+" + std::to_string(d.sx) + "+" + std::to_string(d.sy) +
               " +repage \\) -geometry +" + std::to_string(d.dx) + "+" + std::to_string(d.dy) +
               " -composite";
    // The fog at 200 % repeated by appending copies (tile: would drop its alpha).
    cmd += " \\( " + g +
           "Fogs/F.png -scale 200% \\( +clone \\) +append \\( +clone \\) -append "
           "-crop 160x96+0+0 +repage "
           "-channel A -evaluate multiply " +
           std::to_string(128.0 / 255) +
           " +channel \\) "
           "-composite -alpha off PNG24:" +
           dir.file("expected.png");
    ASSERT_EQ(ztest::run(cmd), 0) << cmd;

    RenderOptions options;
    const std::string ours = dir.file("ours.png");
    ASSERT_EQ(saveMapPicture(ours, map, options), MapPictureStatus::Saved);
    EXPECT_EQ(options.saveMode, kFormatPng);
    if (ztest::haveProgram("pngcheck")) {
        std::string out;
        EXPECT_EQ(ztest::run("pngcheck " + ztest::shellQuote(ours), &out), 0) << out;
    }
    std::string a = imgtest::magickRgba(ours), b = imgtest::magickRgba(dir.file("expected.png"));
    ASSERT_EQ(a.size(), 160u * 96u * 4u);
    long at = imgtest::firstDifference(a, b, 3);
    EXPECT_EQ(at, -1) << "pixel " << (at / 4) % 160 << "," << (at / 4) / 160;
}

TEST(MapPicture, ZoomTakesNearestPixelsAndTheGridFollowsTheCells) {
    MapData map = blankMap(3, 2);
    Bitmap32& panorama = map.tilesetGraphics.panoramaPicture;
    panorama.create(96, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) panorama.setPixel(x, y, makeArgb(255, x, y, x ^ y));
    RenderOptions options;
    RgbImage full;
    ASSERT_EQ(composeMapPicture(map, options, full), MapPictureStatus::Saved);
    const double factors[] = {2, 1, 0.5, 0.25, 0.125};
    const int steps[] = {64, 32, 16, 8, 4};
    for (int mode = 0; mode < 5; ++mode) {
        options.zoomMode = mode;
        options.bltGlid = false;
        RgbImage plain, grid;
        ASSERT_EQ(composeMapPicture(map, options, plain), MapPictureStatus::Saved);
        options.bltGlid = true;
        options.colorGlid = "#123456";
        ASSERT_EQ(composeMapPicture(map, options, grid), MapPictureStatus::Saved);
        ASSERT_EQ(plain.width(), int(96 * factors[mode]));
        ASSERT_EQ(plain.height(), int(64 * factors[mode]));
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                uint32_t want = full.pixel(int(x / factors[mode]), int(y / factors[mode]));
                ASSERT_EQ(plain.pixel(x, y), want) << "zoom " << mode << " at " << x << "," << y;
                bool line = x % steps[mode] == 0 || y % steps[mode] == 0;
                ASSERT_EQ(grid.pixel(x, y), line ? 0x123456u : want) << x << "," << y;
            }
    }
}

TEST(MapPicture, FullSizeBmpEqualsTheOneTimesBmp) {
    SampleMap sample(7);  // panorama, fog, autotiles and events
    ASSERT_TRUE(sample.loaded());
    ztest::TempDir dir;
    for (bool grid : {false, true}) {
        RenderOptions options;
        options.bltGlid = grid;
        options.colorGlid = "#FF8000";
        ASSERT_EQ(saveMapPicture(dir.file("whole.bmp"), sample.map(), options),
                  MapPictureStatus::Saved);
        ASSERT_EQ(saveMapPictureFullSizeBmp(dir.file("strips.bmp"), sample.map(), options),
                  MapPictureStatus::Saved);
        std::string whole = ztest::readFile(dir.file("whole.bmp"));
        EXPECT_EQ(whole.size(), 20u * 32 * 3 * 15 * 32 + 54);
        EXPECT_TRUE(whole == ztest::readFile(dir.file("strips.bmp"))) << "grid " << grid;
    }
}

TEST(MapPicture, TheFullSizeQuestionDecidesWhenThePictureCannotBeHeld) {
    SampleMap sample(1);
    ASSERT_TRUE(sample.loaded());
    ztest::TempDir dir;
    RenderOptions options;
    ASSERT_EQ(saveMapPictureFullSizeBmp(dir.file("full.bmp"), sample.map(), options),
              MapPictureStatus::Saved);
    for (bool answer : {false, true}) {
        int asked = 0;
        MapPictureHooks hooks;
        hooks.memoryLimit = 1000;  // far below the 960 × 640 picture
        hooks.askFullSizeBmp = [&] {
            ++asked;
            return answer;
        };
        const std::string png = dir.file(answer ? "yes.png" : "no.png");
        MapPictureStatus status = saveMapPicture(png, sample.map(), options, hooks);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(status, answer ? MapPictureStatus::Saved : MapPictureStatus::Declined);
        EXPECT_EQ(std::filesystem::exists(png), answer);
        // Yes writes the full-size BMP even though the name ends in .png.
        if (answer) {
            EXPECT_TRUE(ztest::readFile(png) == ztest::readFile(dir.file("full.bmp")));
        }
    }
}

TEST(MapPicture, SizesBeyondSixteenBitsGoToTheBmpAndBeyondItAreRefused) {
    ztest::TempDir dir;
    int asked = 0;
    MapPictureHooks hooks;
    hooks.askFullSizeBmp = [&] { return ++asked > 0; };
    RenderOptions options;
    options.zoomMode = 0;  // 1024 cells at ×2 are 65536 pixels
    MapData wide = blankMap(1024, 1);
    ASSERT_EQ(saveMapPicture(dir.file("wide.png"), wide, options, hooks), MapPictureStatus::Saved);
    EXPECT_EQ(asked, 1);
    std::string bmp = ztest::readFile(dir.file("wide.png"));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(le32(bmp, 2), 32768u * 3 * 32 + 54);  // full size: ×1, not the ×2 asked for
    EXPECT_EQ(le32(bmp, 18), 32768u);
    EXPECT_EQ(le32(bmp, 22), 32u);
    EXPECT_EQ(bmp.size(), size_t(le32(bmp, 2)));
    std::filesystem::remove(dir.file("wide.png"));

    // 70000 × 70000 cells would need a file of about 15 TB.
    MapData huge = blankMap(70000, 70000);
    asked = 0;
    EXPECT_EQ(saveMapPicture(dir.file("huge.png"), huge, options, hooks),
              MapPictureStatus::TooLarge);
    EXPECT_EQ(asked, 0) << "no question when the answer could not help";
    EXPECT_EQ(saveMapPictureFullSizeBmp(dir.file("huge.bmp"), huge, options),
              MapPictureStatus::TooLarge);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "nothing of the refused files written";
}

TEST(MapPicture, EveryCorpusMapRendersAtOneAndAnEighth) {
    const std::string corpus = ztest::corpusDir();
    if (corpus.empty()) GTEST_SKIP() << "no corpus of real projects beside the source tree";
    int maps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_directory()) continue;
        ProjectDatabase db;
        ASSERT_TRUE(db.open(entry.path().string() + "/Game.ini")) << entry.path();
        for (const auto& [id, info] : db.mapInfos()) {
            MapData map;
            if (id <= 0 || !map.load(db, id, true)) continue;
            map.loadTileset(db.tilesets());
            for (int zoom : {1, 4}) {
                RenderOptions options;
                options.zoomMode = zoom;
                RgbImage picture;
                MapPictureStatus status = composeMapPicture(map, options, picture);
                EXPECT_EQ(status, map.width > 0 && map.height > 0 ? MapPictureStatus::Saved
                                                                  : MapPictureStatus::EmptyMap)
                    << entry.path() << " map " << id << " zoom " << zoom;
            }
            ++maps;
        }
    }
    EXPECT_GT(maps, 0);
}

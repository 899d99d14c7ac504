// The renderer on maps built in memory: the 48 autotile shapes, tile pieces at the edges of
// their pictures, depth order of tiles and events, the bush effect, the event switches,
// passability, and panorama and fog tiling across the picture's edge.
#include <gtest/gtest.h>

#include "map/tilemap_renderer.h"

using namespace zorvane;

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr uint32_t kOlive = 0xFF808000, kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF;
constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

Bitmap32 solid(int w, int h, uint32_t argb) {
    Bitmap32 p;
    p.create(w, h);
    p.fill(argb);
    return p;
}

void paintTile(Bitmap32& tileset, int id, uint32_t argb) {
    const int sx = (id % 8) * 32, sy = ((id - 384) / 8) * 32;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) tileset.setPixel(sx + x, sy + y, argb);
}

// A map of w × h cells with tables large enough for tile ids up to 420.
MapData emptyMap(int w, int h) {
    MapData map;
    map.loaded = true;
    map.width = w;
    map.height = h;
    map.data.resize(w, h, 3);
    map.tilesetGraphics.priorities.resize(420, 1, 1);
    map.tilesetGraphics.passages.resize(420, 1, 1);
    return map;
}

// An event standing at (x, y) whose first page shows `sheet` or `tileId`, measured as the
// map loader measures it.
void addEvent(MapData& map, int id, int x, int y, const std::string& sheet, int tileId = 0,
              bool onTop = false) {
    MapEvent event;
    event.id = id;
    event.x = x;
    event.y = y;
    MapEventPage page;
    page.graphic.characterName = sheet;
    page.graphic.tileId = tileId;
    page.alwaysOnTop = onTop;
    auto it = map.characterCache.find(sheet);
    measurePage(page, it == map.characterCache.end() ? nullptr : &it->second);
    event.pages.push_back(page);
    map.events[id] = event;
}

// Block n of the test autotile has a different colour in each of its four quarters.
uint32_t blockColour(int block, int quarter) {
    return makeArgb(255, uint8_t(block * 20), uint8_t(quarter * 60), uint8_t(255 - block * 20));
}

Bitmap32 quarteredAutotile() {
    Bitmap32 a;
    a.create(96, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 96; ++x) {
            int block = (y / 32) * 3 + x / 32, quarter = ((y % 32) / 16) * 2 + (x % 32) / 16;
            a.setPixel(x, y, blockColour(block, quarter));
        }
    return a;
}

// A cell built at every step-th pixel holds exactly the full cell's pixels at those places.
void expectSampledCellsMatch(TilemapRenderer& renderer, int cellX, int cellY) {
    Bitmap32 full;
    renderer.buildCell(full, cellX, cellY, nullptr);
    for (int step : {2, 4, 8}) {
        Bitmap32 sampled;
        renderer.buildCell(sampled, cellX, cellY, nullptr, step);
        ASSERT_EQ(sampled.width(), 32 / step);
        ASSERT_EQ(sampled.height(), 32 / step);
        for (int y = 0; y < sampled.height(); ++y)
            for (int x = 0; x < sampled.width(); ++x)
                ASSERT_EQ(sampled.pixel(x, y), full.pixel(x * step, y * step))
                    << "cell " << cellX << "," << cellY << " step " << step << " at " << x
                    << "," << y;
    }
}

}  // namespace

TEST(TilemapRenderer, EveryAutotileShapeTakesItsQuartersFromTheRightBlocks) {
    // Blocks of each shape in the order top-left, top-right, bottom-left, bottom-right.
    const int expected[48][4] = {
        {7, 7, 7, 7},    {2, 7, 7, 7},   {7, 2, 7, 7}, {2, 2, 7, 7},     {7, 7, 7, 2},
        {2, 7, 7, 2},    {7, 2, 7, 2},   {2, 2, 7, 2}, {7, 7, 2, 7},     {2, 7, 2, 7},
        {7, 2, 2, 7},    {2, 2, 2, 7},   {7, 7, 2, 2}, {2, 7, 2, 2},     {7, 2, 2, 2},
        {2, 2, 2, 2},    {6, 6, 6, 6},   {6, 2, 6, 6}, {6, 6, 6, 2},     {6, 2, 6, 2},
        {4, 4, 4, 4},    {4, 4, 4, 2},   {4, 4, 2, 4}, {4, 4, 2, 2},     {8, 8, 8, 8},
        {8, 8, 2, 8},    {2, 8, 8, 8},   {2, 8, 2, 8}, {10, 10, 10, 10}, {2, 10, 10, 10},
        {10, 2, 10, 10}, {2, 2, 10, 10}, {6, 8, 6, 8}, {4, 4, 10, 10},   {3, 3, 3, 3},
        {3, 3, 3, 2},    {5, 5, 5, 5},   {5, 5, 2, 5}, {11, 11, 11, 11}, {2, 11, 11, 11},
        {9, 9, 9, 9},    {9, 2, 9, 9},   {3, 5, 3, 5}, {3, 3, 9, 9},     {9, 11, 9, 11},
        {5, 5, 11, 11},  {3, 5, 9, 11},  {0, 0, 0, 0},
    };
    MapData map = emptyMap(1, 1);
    map.tilesetGraphics.autotilePictures[2] = quarteredAutotile();
    TilemapRenderer renderer(map, RenderOptions{});
    for (int shape = 0; shape < 48; ++shape) {
        Bitmap32 tile;
        ASSERT_TRUE(renderer.drawTile(tile, 3 * 48 + shape, true, 0));
        for (int q = 0; q < 4; ++q)
            for (int corner : {0, 15})  // both corners of the quarter: its whole square
                EXPECT_EQ(tile.pixel((q % 2) * 16 + corner, (q / 2) * 16 + corner),
                          blockColour(expected[shape][q], q))
                    << "shape " << shape << " quarter " << q;
    }
}

TEST(TilemapRenderer, TilePiecesStayInsideTheirPictures) {
    MapData map = emptyMap(1, 1);
    TilesetGraphics& g = map.tilesetGraphics;
    g.tilesetPicture = solid(256, 48, kRed);        // the second row of tiles is cut at 16 rows
    g.autotilePictures[0] = solid(80, 32, kGreen);  // a strip of 2½ frames
    g.autotilePictures[0].setPixel(32, 0, kBlue);
    g.autotilePictures[1] = solid(50, 128, kCyan);  // an odd size: blocks partly missing
    TilemapRenderer renderer(map, RenderOptions{});
    struct Case {
        int id;
        bool autotiles;
        int frame;
        bool draws;
        int x, y;
        uint32_t pixel;
    } cases[] = {
        {0, true, 0, false, 0, 0, 0},          {47, true, 0, false, 0, 0, 0},
        {48, false, 0, false, 0, 0, 0},        {392, true, 0, true, 5, 15, kRed},
        {392, true, 0, true, 5, 16, 0},        {384 + 8 * 2, true, 0, true, 0, 0, 0},
        {48, true, 0, true, 31, 31, kGreen},   {48, true, 9, true, 0, 0, kBlue},
        {48, true, 9, true, 16, 0, kGreen},    {96 + 47, true, 0, true, 31, 31, kCyan},
        {96 + 0, true, 0, true, 17, 0, kCyan}, {96 + 0, true, 0, true, 18, 0, 0},
        {6 * 48 + 1, true, 0, true, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Bitmap32 tile;
        EXPECT_EQ(renderer.drawTile(tile, c.id, c.autotiles, c.frame), c.draws) << c.id;
        ASSERT_EQ(tile.width(), 32);
        EXPECT_EQ(tile.pixel(c.x, c.y), c.pixel) << c.id << " at " << c.x << "," << c.y;
    }
    EXPECT_EQ(renderer.autotileFrames(48), 2);
    EXPECT_EQ(renderer.autotileFrames(96), 1);
    EXPECT_EQ(renderer.autotileFrames(400), 1);
}

TEST(TilemapRenderer, DepthOrderBushAndEventSwitches) {
    MapData map = emptyMap(8, 3);
    TilesetGraphics& g = map.tilesetGraphics;
    g.tilesetPicture.create(256, 32);
    const std::pair<int, uint32_t> colours[] = {
        {384, kRed}, {385, kGreen}, {386, kBlue}, {387, kOlive}, {388, kCyan}};
    for (auto [id, colour] : colours) paintTile(g.tilesetPicture, id, colour);
    g.priorities.set(385, 0, 0, 5);
    g.priorities.set(386, 0, 0, 4);
    g.passages.set(387, 0, 0, 0x40);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x) map.data.set(x, y, 0, 384);
    map.data.set(1, 1, 1, 385);
    map.data.set(3, 1, 1, 385);
    map.data.set(3, 0, 1, 386);
    map.data.set(5, 0, 1, 385);
    map.data.set(7, 1, 0, 387);
    map.characterCache["Tall"] = solid(128, 192, kMagenta);  // 32 × 48 frames
    map.characterCache["Small"] = solid(128, 128, kWhite);   // 32 × 32 frames
    addEvent(map, 1, 1, 1, "Tall", 0, true);
    addEvent(map, 2, 3, 1, "Tall");
    addEvent(map, 3, 5, 1, "Tall");
    addEvent(map, 4, 7, 1, "Small");
    addEvent(map, 5, 6, 2, "", 388);
    // A pattern beyond the sheet's four columns: the frame lies outside the picture.
    addEvent(map, 6, 0, 0, "Small");
    map.events[6].pages[0].graphic.pattern = 7;
    measurePage(map.events[6].pages[0], &map.characterCache["Small"]);

    // Rows 20..31 of a figure on a bush tile are the figure blended half into the bush.
    auto halfInto = [](int s, int d) { return (d * (255 - 128) + s * 128) / 255; };
    const uint32_t bushed = makeArgb(255, uint8_t(halfInto(255, 0x80)),
                                     uint8_t(halfInto(255, 0x80)), uint8_t(halfInto(255, 0)));
    enum Switches { kAll, kNoTileEvents, kNoCharacterEvents };
    struct Case {
        Switches switches;
        int cellX, cellY, x, y;
        uint32_t pixel;
        const char* why;
    } cases[] = {
        {kAll, 1, 1, 16, 16, kMagenta, "always on top covers a priority-5 tile"},
        {kAll, 3, 1, 16, 16, kGreen, "a priority-5 tile covers the event"},
        {kAll, 3, 0, 16, 24, kMagenta, "a figure one row lower covers priority 4"},
        {kAll, 3, 0, 16, 8, kBlue, "above the figure's head"},
        {kAll, 5, 0, 16, 24, kGreen, "priority 5 covers a figure one row lower"},
        {kAll, 5, 1, 16, 16, kMagenta, "priority-0 ground lies under the event"},
        {kAll, 7, 1, 10, 19, kWhite, "the figure's top above the bush"},
        {kAll, 7, 1, 10, 20, bushed, "the figure's feet in the bush"},
        {kAll, 6, 2, 0, 0, kCyan, "a tile event"},
        {kAll, 0, 0, 16, 16, kRed, "a frame outside its sheet draws nothing"},
        {kNoTileEvents, 6, 2, 0, 0, kRed, "tile events off"},
        {kNoTileEvents, 1, 1, 16, 16, kMagenta, "characters stay with tile events off"},
        {kNoCharacterEvents, 1, 1, 16, 16, kGreen, "character events off"},
        {kNoCharacterEvents, 6, 2, 0, 0, kCyan, "tile events stay with characters off"},
    };
    for (const Case& c : cases) {
        RenderOptions options;
        options.viewMapEvent1 = c.switches != kNoTileEvents;
        options.viewMapEvent2 = c.switches != kNoCharacterEvents;
        TilemapRenderer renderer(map, options);
        Bitmap32 cell;
        renderer.buildCell(cell, c.cellX, c.cellY, nullptr);
        EXPECT_EQ(cell.pixel(c.x, c.y), c.pixel) << c.why;
        expectSampledCellsMatch(renderer, c.cellX, c.cellY);
    }
}

TEST(TilemapRenderer, PassabilityAndTheSimpleMap) {
    MapData map = emptyMap(6, 2);
    Table& passages = map.tilesetGraphics.passages;
    Table& priorities = map.tilesetGraphics.priorities;
    priorities.set(0, 0, 0, 5);  // as the editor's tilesets have it
    passages.set(384, 0, 0, 0x0F);
    priorities.set(391, 0, 0, 1);
    passages.set(392, 0, 0, 0x1F);
    // (1,0): blocked ground under a passable tile, layer 3 empty.
    map.data.set(1, 0, 0, 384);
    map.data.set(1, 0, 1, 389);
    // (2,0): a raised tile over blocked ground: every layer counts.
    map.data.set(2, 0, 0, 384);
    map.data.set(2, 0, 1, 391);
    // (3,0): an id below 48 draws nothing but is the top tile.
    map.data.set(3, 0, 0, 384);
    map.data.set(3, 0, 1, 5);
    // 0x10 clears the blocked bits below a tile that is no autotile of its kind.
    map.data.set(4, 0, 0, 384);
    map.data.set(4, 1, 0, 392);
    map.data.set(5, 0, 0, 392);
    map.data.set(0, 1, 0, 384);
    map.data.set(0, 1, 1, 3000);  // beyond both tables: passage 0, priority 0
    const struct {
        int x, y;
        bool passable;
    } cases[] = {{0, 0, true}, {1, 0, true},  {2, 0, false}, {3, 0, true},
                 {4, 1, true}, {5, 0, false}, {0, 1, true}};
    RenderOptions options;
    options.simpleMap = true;
    TilemapRenderer renderer(map, options);
    for (const auto& c : cases) {
        EXPECT_EQ(renderer.passableCell(c.x, c.y), c.passable) << c.x << "," << c.y;
        Bitmap32 cell;
        renderer.buildCell(cell, c.x, c.y, nullptr);
        EXPECT_EQ(cell.pixel(31, 31), c.passable ? 0xFF99CCFFu : 0xFFFFFFCCu);
    }
}

TEST(TilemapRenderer, PanoramaAndFogRepeatFromTheMapsCorner) {
    MapData map = emptyMap(5, 4);
    auto pattern = [](int w, int h, uint8_t alpha) {
        Bitmap32 p;
        p.create(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p.setPixel(x, y, makeArgb(alpha, uint8_t(x), uint8_t(y), 7));
        return p;
    };
    // Sizes that are no multiple of 32 and one smaller than a cell, so pieces wrap inside.
    map.tilesetGraphics.panoramaPicture = pattern(80, 48, 255);
    map.tilesetGraphics.fogPicture = pattern(20, 72, 99);
    TilemapRenderer renderer(map, RenderOptions{});
    for (int cy = 0; cy < 4; ++cy)
        for (int cx = 0; cx < 5; ++cx) {
            Bitmap32 panorama, fog;
            ASSERT_TRUE(renderer.drawPanorama(panorama, cx, cy));
            ASSERT_TRUE(renderer.drawFogPiece(fog, cx, cy));
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                    const int mx = cx * 32 + x, my = cy * 32 + y;
                    ASSERT_EQ(panorama.pixel(x, y), makeArgb(255, mx % 80, my % 48, 7))
                        << mx << "," << my;
                    ASSERT_EQ(fog.pixel(x, y), makeArgb(99, mx % 20, my % 72, 7))
                        << mx << "," << my;
                }
            expectSampledCellsMatch(renderer, cx, cy);
        }
    map.tilesetGraphics.panoramaPicture.reset();
    TilemapRenderer plain(map, RenderOptions{});
    Bitmap32 cell;
    EXPECT_FALSE(plain.drawPanorama(cell, 0, 0));
    plain.composeCell(cell, 0, 0, {true, true, true}, true, true, true);
    EXPECT_EQ(cell.pixel(3, 3), kBlack) << "no panorama: a black base";
}

TEST(TilemapRenderer, CachedCellsAreHandedOutUnchanged) {
    MapData map = emptyMap(2, 1);
    map.tilesetGraphics.panoramaPicture = solid(64, 32, kRed);
    map.tilesetGraphics.panoramaPicture.setPixel(32, 0, kGreen);
    TilemapRenderer renderer(map, RenderOptions{});
    CellCache cache;
    Bitmap32 first, second;
    renderer.buildCell(first, 0, 0, &cache);
    renderer.buildCell(second, 1, 0, &cache);  // must not draw into the cached first cell
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.find(0, 0)->pixel(0, 0), kRed);
    EXPECT_EQ(cache.find(1, 0)->pixel(0, 0), kGreen);
    Bitmap32 again;
    renderer.buildCell(again, 1, 0, &cache);
    EXPECT_TRUE(again.sharesPixelsWith(*cache.find(1, 0)));
}

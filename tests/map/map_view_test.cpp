// The viewer's frame drawn in memory: cells stretched per zoom (nearest neighbour or
// averaged), transparent pixels white, the background beyond the map, and the trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <vector>

#include "map/map_view.h"

namespace zorvane {
namespace {

struct Rgb8 {
    int r, g, b;
    bool operator==(const Rgb8& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Every cell: red top-left quarter of alternating black and white pixels, green top-right,
// blue bottom-left, transparent bottom-right (drawn from a panorama, which is copied as is).
MapData quarteredMap(int w, int h) {
    MapData map;
    map.loaded = true;
    map.width = w;
    map.height = h;
    map.data.resize(w, h, 3);
    Bitmap32& p = map.tilesetGraphics.panoramaPicture;
    p.create(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t c = x < 16 ? (y < 16 ? ((x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u) : 0xFF0000FFu)
                                : (y < 16 ? 0xFF00FF00u : 0x00123456u);
            p.setPixel(x, y, c);
        }
    return map;
}

struct Case {
    int zoomMode;
    bool highQuality;
    int x, y;  // frame pixel
    Rgb8 expected;
};

TEST(MapView, CellsAreStretchedPerZoomAndQuality) {
    const Rgb8 white{255, 255, 255}, black{0, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
    const Rgb8 grey{127, 127, 127}, back{9, 8, 7};
    const Case cases[] = {
        {1, false, 0, 0, black},     {1, false, 1, 0, white},   {1, false, 20, 3, green},
        {1, false, 3, 20, blue},     {1, false, 20, 20, white}, {0, false, 2, 0, white},
        {0, false, 1, 0, black},     {0, false, 40, 35, white}, {4, false, 2, 0, green},
        {4, false, 3, 3, white},     {4, false, 0, 0, black},   {4, true, 0, 0, grey},
        {4, true, 2, 1, green},      {2, true, 3, 3, grey},     {2, true, 12, 2, green},
        {4, false, 12 * 4, 0, back},  // beyond the map's right edge
    };
    for (const Case& c : cases) {
        MapData map = quarteredMap(12, 3);
        RenderOptions options;
        TilemapRenderer renderer(map, options);
        CellCache cache;
        MapViewport view;
        view.setMap(map.width, map.height, c.zoomMode);
        view.setClientSize(100, 40);
        std::vector<uint8_t> pixels(100 * 40 * 4);
        FrameBuffer frame{pixels.data(), 100 * 4, 100, 40, 4, 2, 1, 0};  // B, G, R, unused
        ViewDrawing drawing;
        drawing.highQuality = c.highQuality;
        drawing.background = {9, 8, 7};
        drawMapView(frame, view, renderer, cache, drawing);
        const uint8_t* p = &pixels[size_t(c.y) * 400 + size_t(c.x) * 4];
        EXPECT_EQ((Rgb8{p[2], p[1], p[0]}), c.expected)
            << "zoom " << c.zoomMode << (c.highQuality ? " averaged" : "") << " at " << c.x << ","
            << c.y;
    }
}

TEST(MapView, TraceNamesEachDrawnCellAndStaysWhileCached) {
    MapData map = quarteredMap(40, 30);
    TilemapRenderer renderer(map, RenderOptions{});
    CellCache cache;
    MapViewport view;
    view.setMap(map.width, map.height, 1);
    view.setClientSize(70, 40);  // three columns and two rows of cells, partly
    view.scrollTo(20, 10);
    std::vector<uint8_t> pixels(70 * 40 * 3);
    FrameBuffer frame{pixels.data(), 70 * 3, 70, 40};
    std::string first, second;
    drawMapView(frame, view, renderer, cache, {}, &first);
    drawMapView(frame, view, renderer, cache, {}, &second);
    const std::regex line(R"(\((\d+),(\d+)\) [0-9A-F]{8}\r\n)");
    std::vector<std::string> cells;
    for (std::sregex_iterator it(first.begin(), first.end(), line), end; it != end; ++it)
        cells.push_back((*it)[1].str() + "," + (*it)[2].str());
    EXPECT_EQ(cells, (std::vector<std::string>{"0,0", "1,0", "2,0", "0,1", "1,1", "2,1"}));
    EXPECT_TRUE(std::regex_match(first, std::regex(R"((\(\d+,\d+\) [0-9A-F]{8}\r\n)+)")));
    EXPECT_EQ(first, second);
    EXPECT_EQ(cache.size(), 6u);
}

// Different cells everywhere (a panorama larger than a cell, with see-through pixels), so a
// cell drawn from the wrong place or a stale strip shows.
MapData patternedMap(int w, int h) {
    MapData map;
    map.loaded = true;
    map.width = w;
    map.height = h;
    map.data.resize(w, h, 3);
    Bitmap32& p = map.tilesetGraphics.panoramaPicture;
    p.create(96, 80);
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            p.setPixel(x, y,
                       (x * 7 + y * 3) % 11
                           ? makeArgb(255, uint8_t(x * 5), uint8_t(y * 3), uint8_t(x ^ y))
                           : 0u);
    return map;
}

// Bounds of a few cells and one strip make both stores let go of cells and strips all the
// time; the frames must be those of stores that keep everything, at every zoom, in both
// qualities, scrolling over the map and zooming back and forth.
TEST(MapView, BoundedStoresDrawWhatUnboundedOnesDraw) {
    MapData map = patternedMap(45, 38);
    RenderOptions options;
    TilemapRenderer renderer(map, options);
    const int w = 150, h = 110;
    for (bool highQuality : {false, true}) {
        CellCache wholeCache(size_t(1) << 30), smallCache(3 * 32 * 32 * 4);
        ReducedCells wholeStrips(size_t(1) << 30), smallStrips(45 * 16 * 16 * 4 + 45 * 5);
        MapViewport view;
        ViewDrawing drawing;
        drawing.highQuality = highQuality;
        drawing.background = {1, 2, 3};
        for (int zoomMode : {4, 2, 3, 4, 1, 0, 2, 4}) {
            view.setMap(map.width, map.height, zoomMode);
            view.setClientSize(w, h);
            for (int step = 0; step < 6; ++step) {
                view.scrollTo(int64_t(step) * 97, int64_t(step) * 61);
                std::vector<uint8_t> want(size_t(w) * h * 3, 0xAB), got(want);
                std::string wantTrace, gotTrace;
                drawMapView({want.data(), w * 3, w, h}, view, renderer, wholeCache, drawing,
                            &wantTrace, &wholeStrips);
                drawMapView({got.data(), w * 3, w, h}, view, renderer, smallCache, drawing,
                            &gotTrace, &smallStrips);
                ASSERT_TRUE(got == want)
                    << "zoom " << zoomMode << " step " << step << (highQuality ? " averaged" : "");
                EXPECT_EQ(std::count(gotTrace.begin(), gotTrace.end(), '\n'),
                          std::count(wantTrace.begin(), wantTrace.end(), '\n'));
            }
        }
        EXPECT_LE(smallCache.bytes(), 3u * 32 * 32 * 4);
        EXPECT_LE(smallCache.size(), 3u);
    }
}

// Zooming out, to another reduced zoom and back, and in again builds no cell a store holds.
TEST(MapView, ZoomingBackBuildsNothingHeld) {
    MapData map = patternedMap(45, 35);  // whole in the frame at ×1/8
    TilemapRenderer renderer(map, RenderOptions{});
    CellCache cache;
    ReducedCells strips;
    MapViewport view;
    std::vector<uint8_t> pixels(200 * 150 * 3);
    auto draw = [&](int zoomMode) {
        view.setMap(map.width, map.height, zoomMode);
        view.setClientSize(200, 150);
        drawMapView({pixels.data(), 200 * 3, 200, 150}, view, renderer, cache, {}, nullptr,
                    &strips);
        return cache.storedCount();
    };
    const uint64_t atOne = draw(1);
    EXPECT_EQ(atOne, 7u * 5);  // 200 × 150 pixels of 32-pixel cells
    const uint64_t atEighth = draw(4);
    EXPECT_EQ(atEighth, uint64_t(map.width) * map.height);  // each cell built once
    EXPECT_EQ(draw(3), atEighth);
    EXPECT_EQ(draw(4), atEighth);
    EXPECT_EQ(draw(1), atEighth);
    EXPECT_EQ(draw(0), atEighth);
}

// A cell with no picture to draw (here a cached picture of the wrong size) shows at the
// reduced zooms what it shows at ×1, whether its strip holds other cells or none at all.
TEST(MapView, UndrawableCellShowsAtReducedZoomsWhatItShowsAtFullSize) {
    MapData map = quarteredMap(2, 2);
    TilemapRenderer renderer(map, RenderOptions{});
    Bitmap32 wrongSize;
    wrongSize.create(16, 16);
    wrongSize.fill(0xFF00FF00u);
    ViewDrawing drawing;
    drawing.background = {9, 8, 7};
    // The colour at the middle of cells (0,0) and (1,1) of a frame at the given zoom.
    auto drawn = [&](int zoomMode) {
        CellCache cache;
        cache.store(0, 0, wrongSize);
        cache.store(0, 1, wrongSize);
        cache.store(1, 1, wrongSize);  // row 1 has no drawable cell
        ReducedCells strips;
        MapViewport view;
        view.setMap(map.width, map.height, zoomMode);
        view.setClientSize(64, 64);
        std::vector<uint8_t> pixels(64 * 64 * 3, 0xAB);
        drawMapView({pixels.data(), 64 * 3, 64, 64}, view, renderer, cache, drawing, nullptr,
                    &strips);
        std::vector<Rgb8> colours;
        for (int cell : {0, 1}) {
            const int middle = cell * view.cellSize() + view.cellSize() / 2;
            const uint8_t* p = &pixels[size_t(middle) * 64 * 3 + size_t(middle) * 3];
            colours.push_back({p[0], p[1], p[2]});
        }
        return colours;
    };
    const std::vector<Rgb8> atOne = drawn(1);
    for (int zoomMode : {2, 3, 4}) EXPECT_EQ(drawn(zoomMode), atOne) << "zoom " << zoomMode;
}

// Past its bound the cache lets go of the cell used least recently, never the one stored.
TEST(CellCache, KeepsTheCellsUsedLastWithinItsBound) {
    const size_t cellBytes = 32 * 32 * 4;
    CellCache cache(3 * cellBytes);
    Bitmap32 cell;
    cell.create(32, 32);
    for (int x = 0; x < 3; ++x) cache.store(x, 0, cell);
    ASSERT_NE(cache.find(0, 0), nullptr);  // now (1, 0) is the one used least recently
    cache.store(5, 7, cell);
    EXPECT_EQ(cache.find(1, 0), nullptr);
    for (auto [x, y] : {std::pair{0, 0}, {2, 0}, {5, 7}}) EXPECT_NE(cache.find(x, y), nullptr);
    EXPECT_EQ(cache.size(), 3u);
    EXPECT_EQ(cache.bytes(), 3 * cellBytes);
    CellCache tiny(0);
    tiny.store(1, 1, cell);
    tiny.store(2, 2, cell);
    EXPECT_EQ(tiny.find(1, 1), nullptr);
    EXPECT_NE(tiny.find(2, 2), nullptr);
    EXPECT_EQ(tiny.storedCount(), 2u);
}

}  // namespace
}  // namespace zorvane

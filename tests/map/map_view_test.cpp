// The viewer's frame drawn in memory: cells stretched per zoom (nearest neighbour or
// averaged), transparent pixels white, the background beyond the map, and the trace.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zorvane

// What a map picture shows and how it is saved: the layer, event, panorama and fog
// switches, the simple passability map and its colours, the grid, the zoom step and the
// picture format. The settings file binds its MapViewer keys to these fields.
#pragma once

#include <cstdint>
#include <string>

namespace zorvane {

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb& o) const {
        return red == o.red && green == o.green && blue == o.blue;
    }
};
// "#RRGGBB" -> colour; a text that does not start with '#' is black.
Rgb colourFromText(const std::string& text);
std::string colourToText(const Rgb& colour);

// Picture formats in the order of the SaveMode setting.
enum PictureFormat { kFormatBmp = 0, kFormatPng = 1, kFormatJpeg = 2 };

struct RenderOptions {
    bool viewLayer1 = true, viewLayer2 = true, viewLayer3 = true;
    bool viewMapEvent1 = true;  // events whose first page shows a tile
    bool viewMapEvent2 = true;  // events whose first page shows a character sheet
    bool viewPanorama = true, viewFog = true;
    bool simpleMap = false;  // passable / impassable colours instead of pictures
    bool bltGlid = false;    // grid lines in saved pictures
    std::string colorGlid = "#000000", colorSimple1 = "#99CCFF", colorSimple2 = "#FFFFCC";
    int zoomMode = 1;  // 0 ×2, 1 ×1, 2 ×1/2, 3 ×1/4, 4 ×1/8
    int saveMode = kFormatBmp;
    int pngCompLv = 6, pngFilter = 5, jpgQuality = 90;
};

// One zoom step: the scale factor, the size of a cell (and the grid step) in pixels, the
// shift that turns a cell index into pixels, and the label shown beside it.
struct ZoomLevel {
    double factor;
    int cellSize;
    int shift;
    const char* label;
};
constexpr int kZoomModeCount = 5;
// A zoom mode outside 0..4 is taken as ×1.
const ZoomLevel& zoomLevel(int zoomMode);

}  // namespace zorvane

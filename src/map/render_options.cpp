// The zoom table and the "#RRGGBB" colour texts of the render settings.
#include "map/render_options.h"

namespace zorvane {

namespace {

constexpr ZoomLevel kZoomLevels[kZoomModeCount] = {
    {2.0, 64, 6, "x200%"}, {1.0, 32, 5, "x100%"},   {0.5, 16, 4, "x50%"},
    {0.25, 8, 3, "x25%"},  {0.125, 4, 2, "x12.5%"},
};

constexpr int kDefaultZoomMode = 1;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

const ZoomLevel& zoomLevel(int zoomMode) {
    if (zoomMode < 0 || zoomMode >= kZoomModeCount) zoomMode = kDefaultZoomMode;
    return kZoomLevels[zoomMode];
}

Rgb colourFromText(const std::string& text) {
    if (text.empty() || text[0] != '#') return {};
    uint32_t value = 0;
    for (size_t i = 1; i < text.size() && i <= 6; ++i) {
        int digit = hexDigit(text[i]);
        if (digit < 0) break;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return {static_cast<uint8_t>((value >> 16) & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
            static_cast<uint8_t>(value & 0xFF)};
}

std::string colourToText(const Rgb& colour) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string text = "#";
    for (uint8_t part : {colour.red, colour.green, colour.blue}) {
        text += kHex[part >> 4];
        text += kHex[part & 0xF];
    }
    return text;
}

}  // namespace zorvane

// Whole-map pictures. Cells are built one at a time and written straight into the zoomed
// picture (or into one strip of the full-size BMP), so no unzoomed copy of the map is held.
#include "map/map_picture.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "map/image_files.h"
#include "map/tilemap_renderer.h"
#include "platform/atomic_file.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

constexpr int kBmpHeaderBytes = 54;
constexpr uint64_t kMaxBmpFileBytes = 0xFFFFFFFFull;

struct StatusText {
    MapPictureStatus status;
    const char* text;
};
constexpr StatusText kStatusTexts[] = {
    {MapPictureStatus::Saved, "saved"},
    {MapPictureStatus::EmptyMap, "the map has no cells"},
    {MapPictureStatus::Declined, "the picture is too large to hold in memory"},
    {MapPictureStatus::TooLarge, "the picture is too large even for a BMP file"},
    {MapPictureStatus::CannotWrite, "the picture file cannot be written"},
    {MapPictureStatus::Aborted, "stopped"},
};

struct ExtensionFormat {
    const char* extension;
    int format;
};
constexpr ExtensionFormat kExtensionFormats[] = {
    {"bmp", kFormatBmp}, {"png", kFormatPng}, {"jpg", kFormatJpeg}, {"jpeg", kFormatJpeg}};

bool aborted(const MapPictureHooks& hooks) {
    return hooks.abort && hooks.abort->load();
}

// A cell laid over black, as pasting it onto a cleared picture with its alpha does.
inline void putPixel(uint8_t* d, uint32_t p) {
    const uint32_t a = alphaOf(p);
    if (a == 255) {
        d[0] = blueOf(p);
        d[1] = greenOf(p);
        d[2] = redOf(p);
        return;
    }
    d[0] = uint8_t((a * blueOf(p) + 255) >> 8);
    d[1] = uint8_t((a * greenOf(p) + 255) >> 8);
    d[2] = uint8_t((a * redOf(p) + 255) >> 8);
}

// Writes a cell, zoomed to `size` × `size` pixels by nearest neighbour, at `topLeft` of a
// 24-bit picture whose rows are `stride` bytes apart. A cell built already reduced
// (cellStep) holds exactly the pixels that the reduction takes.
void pasteCell(uint8_t* topLeft, size_t stride, const Bitmap32& cell, int size) {
    for (int ty = 0; ty < size; ++ty) {
        const uint32_t* s = cell.row(ty * cell.height() / size);
        uint8_t* d = topLeft + size_t(ty) * stride;
        if (size == cell.width()) {
            for (int tx = 0; tx < size; ++tx, d += 3) putPixel(d, s[tx]);
        } else {
            for (int tx = 0; tx < size; ++tx, d += 3) putPixel(d, s[tx * cell.width() / size]);
        }
    }
}

// Cells shown smaller than 32 pixels are built at the pixels the reduction keeps.
int cellStep(int size) {
    return size < kCellPixels && kCellPixels % size == 0 ? kCellPixels / size : 1;
}

void putColour(uint8_t* d, const Rgb& c) {
    d[0] = c.blue;
    d[1] = c.green;
    d[2] = c.red;
}

// One-pixel lines on every `step`th row and column of a width × height 24-bit area.
void drawGrid(uint8_t* pixels, size_t stride, int64_t width, int64_t height, int step,
              const Rgb& colour) {
    for (int64_t y = 0; y < height; ++y) {
        uint8_t* row = pixels + size_t(y) * stride;
        if (y % step == 0) {
            for (int64_t x = 0; x < width; ++x) putColour(row + 3 * x, colour);
            continue;
        }
        for (int64_t x = 0; x < width; x += step) putColour(row + 3 * x, colour);
    }
}

}  // namespace

uint64_t defaultPictureMemoryLimit() {
    long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return uint64_t(1) << 31;
    return uint64_t(pages) * uint64_t(pageSize) / 2;
}

const char* mapPictureStatusText(MapPictureStatus status) {
    for (const StatusText& s : kStatusTexts)
        if (s.status == status) return s.text;
    return "unknown";
}

int formatFromExtension(const std::string& path, int fallback) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return fallback;
    std::string extension = asciiLower(path.substr(dot + 1));
    for (const ExtensionFormat& e : kExtensionFormats)
        if (extension == e.extension) return e.format;
    return fallback;
}

MapPictureStatus composeMapPicture(const MapData& map, const RenderOptions& options, RgbImage& out,
                                   const MapPictureHooks& hooks) {
    if (map.width <= 0 || map.height <= 0) {
        out.reset();
        return MapPictureStatus::EmptyMap;
    }
    const int size = zoomLevel(options.zoomMode).cellSize;
    const int64_t width = int64_t(map.width) * size, height = int64_t(map.height) * size;
    const uint64_t limit = hooks.memoryLimit ? hooks.memoryLimit : defaultPictureMemoryLimit();
    if (width > kMaxPictureSide || height > kMaxPictureSide ||
        uint64_t(width) * uint64_t(height) * 3 > limit) {
        out.reset();
        return MapPictureStatus::TooLarge;
    }
    // Every pixel is written below, so a kept buffer needs no clearing.
    if (!out.reuse(int(width), int(height))) return MapPictureStatus::TooLarge;

    TilemapRenderer renderer(map, options);
    Bitmap32 cell;
    const int step = cellStep(size);
    for (int y = 0; y < map.height; ++y) {
        if (aborted(hooks)) {
            out.reset();
            return MapPictureStatus::Aborted;
        }
        uint8_t* rowStart = out.row(y * size);
        for (int x = 0; x < map.width; ++x) {
            renderer.buildCell(cell, x, y, nullptr, step);
            pasteCell(rowStart + size_t(x) * size * 3, out.rowBytes(), cell, size);
        }
        if (hooks.progress) hooks.progress(y + 1, map.height);
    }
    if (options.bltGlid)
        drawGrid(out.row(0), out.rowBytes(), width, height, size,
                 colourFromText(options.colorGlid));
    return MapPictureStatus::Saved;
}

bool writeMapPicture(const std::string& path, const RgbImage& picture, const RenderOptions& options,
                     const std::string& root) {
    switch (options.saveMode) {
        case kFormatPng:
            return savePng(path, picture, options.pngCompLv, pngFilterMask(options.pngFilter),
                           root);
        case kFormatJpeg:
            return saveJpeg(path, picture, options.jpgQuality, false, root);
        default:
            return saveBmp(path, picture, root);
    }
}

MapPictureStatus saveMapPicture(const std::string& path, const MapData& map, RenderOptions& options,
                                const MapPictureHooks& hooks) {
    options.saveMode = formatFromExtension(path, options.saveMode);
    RgbImage own;
    RgbImage& picture = hooks.scratch ? *hooks.scratch : own;
    MapPictureStatus status = composeMapPicture(map, options, picture, hooks);
    if (status == MapPictureStatus::TooLarge) {
        // Only offer the full-size BMP when such a file can hold the map.
        const uint64_t bmpBytes =
            uint64_t(map.width) * 96 * uint64_t(map.height) * kCellPixels + kBmpHeaderBytes;
        if (bmpBytes > kMaxBmpFileBytes) return MapPictureStatus::TooLarge;
        if (!hooks.askFullSizeBmp || !hooks.askFullSizeBmp()) return MapPictureStatus::Declined;
        return saveMapPictureFullSizeBmp(path, map, options, hooks);
    }
    if (status != MapPictureStatus::Saved) return status;
    return writeMapPicture(path, picture, options, hooks.writeRoot) ? MapPictureStatus::Saved
                                                                    : MapPictureStatus::CannotWrite;
}

MapPictureStatus saveMapPictureFullSizeBmp(const std::string& path, const MapData& map,
                                           const RenderOptions& options,
                                           const MapPictureHooks& hooks) {
    if (map.width <= 0 || map.height <= 0) return MapPictureStatus::EmptyMap;
    const int64_t width = int64_t(map.width) * kCellPixels;
    const int64_t height = int64_t(map.height) * kCellPixels;
    const size_t rowBytes = size_t(width) * 3;  // 96 bytes a cell: never padded
    if (uint64_t(rowBytes) * uint64_t(height) + kBmpHeaderBytes > kMaxBmpFileBytes)
        return MapPictureStatus::TooLarge;
    const std::vector<uint8_t> header = bmpHeader(int(width), int(height), 0);
    if (header.empty()) return MapPictureStatus::TooLarge;

    std::vector<uint8_t> strip;
    try {
        strip.resize(rowBytes * kCellPixels);
    } catch (const std::bad_alloc&) {
        return MapPictureStatus::CannotWrite;
    }
    AtomicFileWriter file;
    file.open(path, hooks.writeRoot);
    if (!file.write(std::string_view(reinterpret_cast<const char*>(header.data()), header.size())))
        return MapPictureStatus::CannotWrite;

    TilemapRenderer renderer(map, options);
    Bitmap32 cell;
    const Rgb gridColour = colourFromText(options.colorGlid);
    for (int y = map.height - 1; y >= 0; --y) {
        if (aborted(hooks)) return MapPictureStatus::Aborted;  // the writer drops its file
        std::fill(strip.begin(), strip.end(), uint8_t(0));
        for (int x = 0; x < map.width; ++x) {
            renderer.buildCell(cell, x, y, nullptr);
            pasteCell(strip.data() + size_t(x) * kCellPixels * 3, rowBytes, cell, kCellPixels);
        }
        if (options.bltGlid)
            drawGrid(strip.data(), rowBytes, width, kCellPixels, kCellPixels, gridColour);
        for (int row = kCellPixels - 1; row >= 0; --row) {
            const char* bytes =
                reinterpret_cast<const char*>(strip.data() + size_t(row) * rowBytes);
            if (!file.write(std::string_view(bytes, rowBytes)))
                return MapPictureStatus::CannotWrite;
        }
        if (hooks.progress) hooks.progress(map.height - y, map.height);
    }
    return file.commit() ? MapPictureStatus::Saved : MapPictureStatus::CannotWrite;
}

}  // namespace zorvane

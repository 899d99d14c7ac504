// A whole map as one picture: every cell built, zoomed, the grid drawn, and written as BMP,
// PNG or JPEG; or, when the picture cannot be held in memory, a full-size BMP written strip
// by strip. The question between the two is the caller's (a callback), never shown here.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "map/map_data.h"
#include "map/render_options.h"
#include "map/rgb_image.h"

namespace zorvane {

enum class MapPictureStatus {
    Saved,
    EmptyMap,     // the map has no cells
    Declined,     // the picture could not be held and the full-size BMP was declined
    TooLarge,     // not even a BMP (sizes in 32 bits) can hold the picture
    CannotWrite,  // the file could not be written (or a strip could not be allocated)
    Aborted,
};

// Half of the machine's memory: the bytes a whole picture may take when no limit is given.
uint64_t defaultPictureMemoryLimit();

// A short English description for the command line.
const char* mapPictureStatusText(MapPictureStatus status);

struct MapPictureHooks {
    // Asked when the whole picture cannot be held (sides above 65535 pixels, or more bytes
    // than memoryLimit, or the allocation failed): true writes a full-size BMP to the same
    // file instead. Without it the answer is no.
    std::function<bool()> askFullSizeBmp;
    // Looked at before each row of cells; set it to stop.
    const std::atomic<bool>* abort = nullptr;
    // Rows of cells done so far, and the number of rows.
    std::function<void(int done, int total)> progress;
    // The most bytes the whole picture may take; 0 means half of the machine's memory.
    uint64_t memoryLimit = 0;
    // When set, the file is written beneath this folder without following a link.
    std::string writeRoot;
    // A picture whose buffer saveMapPicture composes into when it has room, left holding
    // it afterwards: one thread drawing map after map then maps and faults its memory in
    // once instead of once a map.
    RgbImage* scratch = nullptr;
};

// The picture format named by a file's extension (bmp, png, jpg, jpeg in any case), or
// `fallback` for any other extension.
int formatFromExtension(const std::string& path, int fallback);

// Every cell at the zoom of `options`, with the grid when it is on. Saved means `out`
// holds the picture; TooLarge here means only that it could not be held in memory. The
// buffer `out` holds is drawn into when it has room (see RgbImage::reuse).
MapPictureStatus composeMapPicture(const MapData& map, const RenderOptions& options, RgbImage& out,
                                   const MapPictureHooks& hooks = {});

// Writes a composed picture in the format of options.saveMode.
bool writeMapPicture(const std::string& path, const RgbImage& picture, const RenderOptions& options,
                     const std::string& root = {});

// The save command of the viewer and the export: the format comes from the extension
// (options.saveMode keeps it), then compose and write; when the picture cannot be held,
// hooks.askFullSizeBmp decides between the full-size BMP and giving up (Declined).
MapPictureStatus saveMapPicture(const std::string& path, const MapData& map, RenderOptions& options,
                                const MapPictureHooks& hooks = {});

// A 24-bit BMP of the map at ×1 (no zoom, grid as the options say), written one row of
// cells at a time, bottom row first. A picture whose file would not fit the format's
// 32-bit sizes is refused before anything is written.
MapPictureStatus saveMapPictureFullSizeBmp(const std::string& path, const MapData& map,
                                           const RenderOptions& options,
                                           const MapPictureHooks& hooks = {});

}  // namespace zorvane

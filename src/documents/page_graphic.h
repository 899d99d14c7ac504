// The picture of a map event page for the event viewer: one frame for a tile or a still
// character, the four frames of the facing direction's row for a character that walks or
// steps. Plain pixel buffers; the viewer only shows them.
#pragma once

#include <string>
#include <vector>

#include "map/bitmap32.h"
#include "project/event_records.h"

namespace zorvane {

struct TilesetGraphics;

// Tiles come from the tileset picture (autotile ids give nothing, as on the map); a
// character sheet is found in the project or an RTP and takes the page's hue. Nothing
// when the page shows no picture or its file cannot be read.
std::vector<Bitmap32> pageGraphicFrames(const MapEventPage& page, const TilesetGraphics& tileset,
                                        const std::string& projectFolder);

}  // namespace zorvane

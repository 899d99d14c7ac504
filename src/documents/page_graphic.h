// The picture of a map event page for the event viewer: one frame for a tile or a still
// character, the four frames of the facing direction's row for a character that walks or
// steps. Plain pixel buffers; the viewer only shows them.
#pragma once

#include <vector>

#include "map/bitmap32.h"
#include "project/event_records.h"

namespace zorvane {

class MapData;

// A tile is drawn as the map draws it, from the map's tileset (loaded with loadTileset), in
// the first frame of an autotile; a character sheet is found in the project or an RTP.
// Both take the page's hue. Nothing when the page shows no picture or its file cannot be
// read.
std::vector<Bitmap32> pageGraphicFrames(const MapEventPage& page, const MapData& map);

}  // namespace zorvane

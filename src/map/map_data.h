// One map of a project read from its Map%03d.rxdata file: size, tileset, tile layers,
// music and the events with their pages, optionally with each page's picture rectangle
// measured from its character sheet. The file's value tree is kept while the map is loaded.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "map/bitmap32.h"
#include "map/tileset_graphics.h"
#include "marshal/marshal_file.h"
#include "marshal/rgss_types.h"
#include "project/event_records.h"
#include "project/project_database.h"
#include "project/records.h"
#include "project/resource.h"

namespace zorvane {

class GraphicCache;

// The file name of a map: "Map%03d.rxdata".
std::string mapFileName(int mapId);

// The maps MapInfos names whose file cannot be read, each with the reader's message. Each
// file is parsed and let go before the next, so the maps are never all in memory; a map
// without a file is none (the editor lists maps it never saved). Stops between two maps
// once `stop` is set.
std::vector<Diagnostic> unreadableMaps(const ProjectDatabase& project,
                                       const std::atomic<bool>& stop);

// Fills the six picture fields of a page from its graphic: a tile is one 32 × 32 cell; a
// character sheet of W × H holds 4 × 4 frames, the figure standing centred on the bottom
// edge of its cell. `sheet` is null when the page has no picture.
void measurePage(MapEventPage& page, const Bitmap32* sheet);
// The same from the sheet's size alone (0 × 0: no picture).
void measurePage(MapEventPage& page, int sheetWidth, int sheetHeight);

class MapData {
  public:
    // Reads map `mapId` of the project; with measureGraphics the pages' picture rectangles
    // are derived from their character sheets. False (and an empty map) when the file
    // cannot be read. With a cache the sheets come from it, their pixels shared. Without
    // tiles the tile table stays empty (for readers that never draw).
    bool load(const ProjectDatabase& project, int mapId, bool measureGraphics,
              GraphicCache* graphics = nullptr, bool tiles = true);
    // Why the last load failed: the reader's message, or "" when the map has no file.
    std::string loadFailure;
    // Loads the pictures of tileset `tilesetId` when the array holds it (id 0 never does),
    // from the cache when one is given.
    void loadTileset(const std::vector<Tileset>& tilesets, GraphicCache* graphics = nullptr);
    // Tile id at (x, y) on layer 0..2; 0 outside the map.
    int16_t tileAt(int x, int y, int layer) const;
    void clear();

    bool loaded = false;
    int32_t mapId = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t tilesetId = 0;
    Table data;
    bool autoplayBgm = false;
    AudioFile bgm;
    bool autoplayBgs = false;
    AudioFile bgs;
    std::map<int32_t, MapEvent> events;
    std::string projectFolder;
    ResourceResolver resources;  // the project's game and RTP folders
    TilesetGraphics tilesetGraphics;
    // Decoded sheets kept for drawing, keyed by character_name; at most this many pixels
    // (256 MiB) in all. A sheet beyond that is measured from its file's header alone.
    static constexpr uint64_t kCharacterCachePixels = uint64_t(1) << 26;
    std::map<std::string, Bitmap32> characterCache;
    MarshalFile root;

  private:
    void readHeader(bool tiles);
    void readEvents(bool measureGraphics);
    MapEvent readEvent(int32_t id, const MarshalValue& node, bool measureGraphics);
    // The size of a sheet, from the cache or its file's header; on first use the sheet is
    // decoded into the cache when it fits the budget. False when there is no such sheet.
    bool characterSheetSize(const std::string& characterName, int& width, int& height);

    GraphicCache* graphics_ = nullptr;     // the cache given to load(), while it runs
    std::set<std::string> missingSheets_;  // names already searched for in vain
    std::map<std::string, std::pair<int, int>> uncachedSheets_;  // measured, over the budget
    uint64_t cachedPixels_ = 0;
};

}  // namespace zorvane

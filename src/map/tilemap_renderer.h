// Turns a loaded map into pictures one 32 × 32 cell at a time: panorama, the three tile
// layers, the parts of event pictures that fall into the cell and the fog, sorted by depth;
// or, for the simple map, one colour that says whether the cell can be walked on.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "map/autotile_shapes.h"
#include "map/bitmap32.h"
#include "map/map_data.h"
#include "map/render_options.h"

namespace zorvane {

constexpr int kCellPixels = 32;

// Finished cells by position. The viewer keeps one per map and empties it when the map or
// a setting that changes what a cell shows changes. Cells are found through rows indexed by
// position, so the viewer's many look-ups per paint cost no search; positions outside
// 0..65535 (never a cell of a map) are not kept. The pictures held are bounded by bytes:
// past the bound the cell used least recently goes, so a large map shown whole holds only
// what was seen last instead of every cell it ever showed.
class CellCache {
  public:
    // Enough for several screens of cells at ×1 and ×2.
    static constexpr size_t kDefaultByteLimit = size_t(32) << 20;

    explicit CellCache(size_t byteLimit = kDefaultByteLimit) : byteLimit_(byteLimit) {}

    // The cell stored at (x, y), or null; a cell found counts as just used. Valid until
    // the next store or clear.
    const Bitmap32* find(int x, int y);
    // Stores the cell as the one used last, then lets the least recently used others go
    // while the cache holds more than its bound.
    void store(int x, int y, const Bitmap32& cell);
    void clear();
    size_t size() const { return count_; }
    // The pixel bytes of the cells held.
    size_t bytes() const { return bytes_; }
    // Cells stored since the cache was made: how many were built.
    uint64_t storedCount() const { return storedCount_; }
    // Changes whenever the cache is emptied, so copies made from its cells know when they
    // are out of date.
    uint64_t generation() const { return generation_; }

  private:
    static constexpr int kMaxPosition = 65535;
    static constexpr uint32_t kNone = 0xFFFFFFFFu;
    // A held cell, linked into the use order (most recent first).
    struct Entry {
        Bitmap32 cell;
        int x = 0, y = 0;
        uint32_t newer = kNone, older = kNone;
    };
    uint32_t& slot(int x, int y);
    void unlink(uint32_t index);
    void pushNewest(uint32_t index);
    void evictOldest();

    std::vector<std::vector<uint32_t>> rows_;  // entry index by position, kNone for none
    std::vector<Entry> entries_;
    std::vector<uint32_t> freeEntries_;
    uint32_t newest_ = kNone, oldest_ = kNone;
    size_t byteLimit_;
    size_t bytes_ = 0;
    size_t count_ = 0;
    uint64_t storedCount_ = 0;
    uint64_t generation_ = 0;
};

// Switches for tile layers 0, 1 and 2.
using LayerSwitches = std::array<bool, 3>;

// A renderer only reads its map (which must stay loaded and unchanged while the renderer
// lives) and keeps its own composed autotile shapes and scratch pictures, so every thread
// that draws uses a renderer of its own.
class TilemapRenderer {
  public:
    TilemapRenderer(const MapData& map, const RenderOptions& options);

    // One 32 × 32 tile picture; false when the id draws nothing (below 48, or an autotile
    // while autotiles are not allowed). A missing picture gives a transparent tile (true).
    bool drawTile(Bitmap32& out, int tileId, bool allowAutotiles, int frame);
    // Animation frames of an autotile id; 1 for other ids and missing pictures.
    int autotileFrames(int tileId) const;
    // The panorama tiled from the map's top-left corner, written over the whole cell; false
    // when there is no panorama picture.
    bool drawPanorama(Bitmap32& cell, int x, int y) const;
    // The fog piece of cell (x, y) in a new 32 × 32 picture; false when there is no fog.
    bool drawFogPiece(Bitmap32& out, int x, int y) const;
    // Everything but the fog, drawn into the 32 × 32 `cell` in depth order.
    void composeCell(Bitmap32& cell, int x, int y, const LayerSwitches& layers, bool panorama,
                     bool tileEvents, bool characterEvents);
    bool passableCell(int x, int y) const;
    // The finished cell as the options say. With a cache a stored cell is handed out (its
    // pixels shared with the cache: do not draw into it) and a new one is stored. A `step`
    // above 1 (a divisor of 32) builds only every step-th pixel of every step-th row
    // (Bitmap32::createSampled), the cache left out.
    void buildCell(Bitmap32& out, int x, int y, CellCache* cache, int step = 1);

    const MapData& map() const { return map_; }
    const RenderOptions& options() const { return options_; }

  private:
    // A rectangle of a picture drawn at the cell's top-left corner.
    struct Piece {
        const Bitmap32* picture = nullptr;
        int x = 0, y = 0, w = 0, h = 0;
    };
    struct DrawItem {
        int key;
        int blendType;
        int opacity;
        bool bush;
        Piece piece;
    };
    // An event's first page as it stands on the map.
    struct Sprite {
        int64_t left, top;
        int width, height;
        const MapEventPage* page;
        const Bitmap32* sheet;  // null for a tile page
        int32_t y;              // the event's row
    };

    // False when the id draws nothing; otherwise `piece` is what it shows (maybe nothing).
    bool tilePiece(int tileId, bool allowAutotiles, int frame, Piece& piece);
    const Bitmap32& autotileShape(int autotile, int shape);
    void collectSprites();
    void addTileItems(int x, int y, const LayerSwitches& layers);
    void addEventItems(int x, int y, bool tileEvents, bool characterEvents);
    bool eventPiece(const Sprite& sprite, int64_t cellLeft, int64_t cellTop, Bitmap32& out);
    void drawItems(Bitmap32& cell, int y);
    void drawBushed(Bitmap32& cell, const DrawItem& item, const DrawItem& bushTile) const;
    int passage(int x, int y, int layer) const;
    int priority(int tileId) const;

    const MapData& map_;
    const TilesetGraphics& tiles_;
    RenderOptions options_;
    uint32_t passableColour_, blockedColour_;
    std::array<std::array<Bitmap32, kAutotileShapeCount>, 7> shapes_;
    std::vector<Sprite> sprites_;
    std::vector<DrawItem> items_;
    std::deque<Bitmap32> eventPieces_;  // scratch pictures reused from cell to cell
    size_t eventPiecesUsed_ = 0;
    Bitmap32 fogPiece_;
};

// Copies a picture repeated from the map's top-left corner into the whole of `out`, for
// the map cell (x, y): what panoramas and fogs do.
void tileAcrossMap(Bitmap32& out, const Bitmap32& picture, int x, int y);

}  // namespace zorvane

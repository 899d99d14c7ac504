// The map viewer's picture of a map, free of windows: where the view stands over the
// zoomed map (scroll clamping, page steps, the cell under a point) and the drawing of the
// visible cells, the grid and the cursor frame into a 24-bit frame that a window shows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "map/render_options.h"
#include "map/tilemap_renderer.h"

namespace zorvane {

// What one click in a scroll bar's trough moves, in screen pixels.
constexpr int kViewPageStep = 128;

struct CellPoint {
    int x = -1, y = -1;
    bool operator==(const CellPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CellPoint& o) const { return !(*this == o); }
};

// Cells from (x0, y0) up to, not including, (x1, y1).
struct CellSpan {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

class MapViewport {
  public:
    // A map of width × height cells shown at `zoomMode`; the view goes back to (0, 0).
    void setMap(int widthCells, int heightCells, int zoomMode);
    // The size of the area the map is shown in; the position is clamped again.
    void setClientSize(int width, int height);
    // Clamped to 0..(map pixels − client pixels) on each axis; 0 when the map fits.
    void scrollTo(int64_t x, int64_t y);
    void scrollBy(int64_t dx, int64_t dy) {
        scrollTo(int64_t(scrollX_) + dx, int64_t(scrollY_) + dy);
    }

    int scrollX() const { return scrollX_; }
    int scrollY() const { return scrollY_; }
    int zoomMode() const { return zoomMode_; }
    int cellSize() const { return cellSize_; }
    int mapWidth() const { return mapWidth_; }
    int mapHeight() const { return mapHeight_; }
    // The zoomed map's size in pixels (capped so that positions stay plain ints).
    int mapPixelWidth() const { return mapPixelWidth_; }
    int mapPixelHeight() const { return mapPixelHeight_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }

    // The cell under a point of the client area; it may lie outside the map.
    CellPoint cellAt(int clientX, int clientY) const;
    // The map cells that overlap the client area.
    CellSpan visibleCells() const;

  private:
    int mapWidth_ = 0, mapHeight_ = 0;
    int zoomMode_ = 1, cellSize_ = kCellPixels;
    int mapPixelWidth_ = 0, mapPixelHeight_ = 0;
    int clientWidth_ = 0, clientHeight_ = 0;
    int scrollX_ = 0, scrollY_ = 0;
};

// A 24-bit picture in memory with any channel order, such as a window system's pixel
// buffer.
struct FrameBuffer {
    uint8_t* pixels = nullptr;
    ptrdiff_t stride = 0;  // bytes from one row to the next
    int width = 0, height = 0;
    int pixelBytes = 3;
    int red = 0, green = 1, blue = 2;  // byte offsets of the channels within a pixel
};

struct ViewDrawing {
    bool highQuality = false;  // reduce by averaging instead of nearest neighbour
    bool grid = false;
    Rgb gridColour;
    Rgb background;    // where the map does not reach
    CellPoint cursor;  // (-1, -1): none
};

// Cells of a zoomed-out view (×1/2 and below) reduced to the zoom's size and kept in
// strips of the zoomed map, one strip per row of cells, beside the cell cache they were
// made from. A paint then copies rows of the strips instead of picking a few pixels from
// each of thousands of cached cells spread over memory. Each reduced zoom keeps its own
// strips, so going back to a zoom shown before rebuilds nothing that is still held; the
// strips of all zooms together are bounded by bytes, the strip used least recently going
// first (never one the view shows). Emptied with that cache and whenever the quality or
// the map changes.
class ReducedCells {
  public:
    // A 500 × 500 map whole at ×1/8; at ×1/4 and ×1/2 several screens.
    static constexpr size_t kDefaultByteLimit = size_t(40) << 20;

    explicit ReducedCells(size_t byteLimit = kDefaultByteLimit) : byteLimit_(byteLimit) {}

    // Makes the store fit the view and lets go of strips past the bound; false when the
    // view is not reduced.
    bool prepare(const CellCache& cache, const MapViewport& view, bool highQuality);
    bool has(int x, int y) const;
    // The trace id of the cell a stored copy was made from.
    uint32_t idOf(int x, int y) const { return (*strips_)[size_t(y)].ids[size_t(x)]; }
    void store(int x, int y, const Bitmap32& cell);
    // Pixel row `row` (0 .. cell size − 1) of the strip of cell row y, or null.
    const uint32_t* row(int y, int row) const;
    void clear();
    // The bytes the strips of every zoom hold.
    size_t bytes() const { return bytes_; }

  private:
    struct Strip {
        std::vector<uint32_t> pixels;  // 0x00RRGGBB
        std::vector<uint8_t> made;     // per cell
        std::vector<uint32_t> ids;     // per cell
        uint64_t lastUse = 0;
    };
    static size_t bytesOf(const Strip& strip);
    void trim(const CellSpan& shown);

    std::array<std::vector<Strip>, kZoomModeCount> levels_;  // strips by zoom mode
    std::vector<Strip>* strips_ = &levels_[0];               // those of the zoom shown
    const CellCache* cache_ = nullptr;
    uint64_t generation_ = 0;
    int zoomMode_ = -1, size_ = 0, mapWidth_ = 0, mapHeight_ = 0;
    bool highQuality_ = false;
    size_t byteLimit_;
    size_t bytes_ = 0;
    uint64_t clock_ = 0;  // counts paints, for the strips' last use
};

// Draws the view into `frame` (the client area): every map cell that overlaps it, taken
// from `cache` or built with `renderer` and stored there, with transparent pixels shown
// white and scaled to the zoom's cell size; then the grid and the cursor frame. With
// `reduced`, zoomed-out cells are drawn through it. With a trace, a line "(x,y) ID" is
// appended for each cell drawn, ID naming the cached picture (it stays the same while the
// cell stays cached). True when the cursor cell was drawn.
bool drawMapView(const FrameBuffer& frame, const MapViewport& view, TilemapRenderer& renderer,
                 CellCache& cache, const ViewDrawing& drawing, std::string* trace = nullptr,
                 ReducedCells* reduced = nullptr);

}  // namespace zorvane

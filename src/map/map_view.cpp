// Drawing the viewer's frame. Cells are stretched straight from their cached 32 × 32
// pictures into the frame, or at the reduced zooms copied from strips made at the zoom's
// size, so a whole pane at ×1/8 (tens of thousands of cells) costs one pass over the
// frame's pixels. Both stores are bounded by bytes: what was seen last stays, and only a
// cell that has gone from both is built again.
#include "map/map_view.h"

#include <algorithm>
#include <cstring>

namespace zorvane {

namespace {

// Large enough for any real map at ×2, small enough that sums of positions stay ints.
constexpr int64_t kMaxViewPixels = int64_t(1) << 30;
constexpr uint32_t kWhite = 0x00FFFFFFu;
constexpr int kCursorFrame = 4;  // black frame width
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhiteRgb{255, 255, 255};

int clampInt(int64_t value, int64_t low, int64_t high) {
    return int(std::max(low, std::min(value, high)));
}

inline void put(uint8_t* d, const FrameBuffer& f, uint32_t rgb) {
    d[f.red] = redOf(rgb);
    d[f.green] = greenOf(rgb);
    d[f.blue] = blueOf(rgb);
}

inline void put(uint8_t* d, const FrameBuffer& f, const Rgb& c) {
    d[f.red] = c.red;
    d[f.green] = c.green;
    d[f.blue] = c.blue;
}

uint8_t* at(const FrameBuffer& f, int x, int y) {
    return f.pixels + ptrdiff_t(y) * f.stride + ptrdiff_t(x) * f.pixelBytes;
}

// Fills the rectangle from (left, top) up to, not including, (right, bottom), clipped.
void fillRect(const FrameBuffer& f, int left, int top, int right, int bottom, const Rgb& c) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, f.width);
    bottom = std::min(bottom, f.height);
    for (int y = top; y < bottom; ++y) {
        uint8_t* d = at(f, left, y);
        for (int x = left; x < right; ++x, d += f.pixelBytes) put(d, f, c);
    }
}

// Transparent pixels shown white, alpha dropped: 0x00RRGGBB.
inline uint32_t shownRgb(uint32_t argb) {
    return alphaOf(argb) == 0 ? kWhite : argb & kWhite;
}

// The cell at `size` × `size` pixels (0x00RRGGBB) into rows `stride` pixels apart: nearest
// neighbour, or for reductions in high quality the average of the square each pixel
// stands for.
void sampleCell(const Bitmap32& cell, int size, bool highQuality, uint32_t* out, size_t stride) {
    if (!highQuality || size >= kCellPixels) {
        for (int ty = 0; ty < size; ++ty, out += stride) {
            const uint32_t* s = cell.row(ty * kCellPixels / size);
            for (int tx = 0; tx < size; ++tx) out[tx] = shownRgb(s[tx * kCellPixels / size]);
        }
        return;
    }
    const int step = kCellPixels / size, count = step * step;
    for (int ty = 0; ty < size; ++ty, out += stride) {
        for (int tx = 0; tx < size; ++tx) {
            int r = 0, g = 0, b = 0;
            for (int sy = ty * step; sy < (ty + 1) * step; ++sy) {
                const uint32_t* s = cell.row(sy) + tx * step;
                for (int sx = 0; sx < step; ++sx) {
                    const uint32_t v = shownRgb(s[sx]);
                    r += redOf(v);
                    g += greenOf(v);
                    b += blueOf(v);
                }
            }
            out[tx] = makeArgb(0, uint8_t(r / count), uint8_t(g / count), uint8_t(b / count));
        }
    }
}

// `count` pixels into frame row y from column x on. The usual byte orders get loops of
// their own, which the compiler can keep tight.
void putRow(const FrameBuffer& f, int x, int y, const uint32_t* pixels, int count) {
    uint8_t* d = at(f, x, y);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (f.pixelBytes == 4 && f.red == 2 && f.green == 1 && f.blue == 0) {
        std::memcpy(d, pixels, size_t(count) * 4);  // 0x00RRGGBB is already that order
        return;
    }
#endif
    if (f.pixelBytes == 3 && f.red == 0 && f.green == 1 && f.blue == 2) {
        for (int i = 0; i < count; ++i, d += 3) {
            const uint32_t p = pixels[i];
            d[0] = uint8_t(p >> 16);
            d[1] = uint8_t(p >> 8);
            d[2] = uint8_t(p);
        }
        return;
    }
    for (int i = 0; i < count; ++i, d += f.pixelBytes) put(d, f, pixels[i]);
}

char* writeNumber(char* p, int value) {
    char digits[12];
    int n = 0;
    unsigned v = value < 0 ? 0u - unsigned(value) : unsigned(value);
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (value < 0) *p++ = '-';
    while (n) *p++ = digits[--n];
    return p;
}

// "(x,y) XXXXXXXX" and a line end.
void appendTraceLine(std::string& out, int x, int y, uint32_t id) {
    static const char kHex[] = "0123456789ABCDEF";
    char line[48];
    char* p = line;
    *p++ = '(';
    p = writeNumber(p, x);
    *p++ = ',';
    p = writeNumber(p, y);
    *p++ = ')';
    *p++ = ' ';
    for (int shift = 28; shift >= 0; shift -= 4) *p++ = kHex[(id >> shift) & 0xF];
    *p++ = '\r';
    *p++ = '\n';
    out.append(line, size_t(p - line));
}

uint32_t pictureId(const Bitmap32& cell) {
    return uint32_t(reinterpret_cast<uintptr_t>(cell.pixelsId()));
}

// Lines every `size` pixels from the first at or after 0, as far as the map reaches.
void drawGrid(const FrameBuffer& f, const MapViewport& v, const Rgb& colour) {
    const int s = v.cellSize();
    const int right = std::min(f.width, v.mapPixelWidth());
    const int bottom = std::min(f.height, v.mapPixelHeight());
    for (int y = (s - v.scrollY() % s) % s; y < bottom; y += s)
        fillRect(f, 0, y, right, y + 1, colour);
    for (int x = (s - v.scrollX() % s) % s; x < right; x += s)
        fillRect(f, x, 0, x + 1, bottom, colour);
}

// A 4-pixel black frame with a 2-pixel white line one pixel inside the cell's edge.
void drawCursor(const FrameBuffer& f, int a, int b, int s) {
    const int w = kCursorFrame;
    fillRect(f, a, b, a + w, b + s, kBlack);
    fillRect(f, a + s - w, b, a + s, b + s, kBlack);
    fillRect(f, a, b, a + s, b + w, kBlack);
    fillRect(f, a, b + s - w, a + s, b + s, kBlack);
    fillRect(f, a + 1, b + 1, a + 3, b + s - 1, kWhiteRgb);
    fillRect(f, a + s - 3, b + 1, a + s - 1, b + s - 1, kWhiteRgb);
    fillRect(f, a + 1, b + 1, a + s - 1, b + 3, kWhiteRgb);
    fillRect(f, a + 1, b + s - 3, a + s - 1, b + s - 1, kWhiteRgb);
}

}  // namespace

void MapViewport::setMap(int widthCells, int heightCells, int zoomMode) {
    const ZoomLevel& zoom = zoomLevel(zoomMode);
    mapWidth_ = std::max(widthCells, 0);
    mapHeight_ = std::max(heightCells, 0);
    zoomMode_ = zoomMode >= 0 && zoomMode < kZoomModeCount ? zoomMode : 1;
    cellSize_ = zoom.cellSize;
    mapPixelWidth_ = int(std::min(int64_t(mapWidth_) << zoom.shift, kMaxViewPixels));
    mapPixelHeight_ = int(std::min(int64_t(mapHeight_) << zoom.shift, kMaxViewPixels));
    scrollX_ = scrollY_ = 0;
}

void MapViewport::setClientSize(int width, int height) {
    clientWidth_ = std::max(width, 0);
    clientHeight_ = std::max(height, 0);
    scrollTo(scrollX_, scrollY_);
}

void MapViewport::scrollTo(int64_t x, int64_t y) {
    scrollX_ = clampInt(x, 0, std::max(0, mapPixelWidth_ - clientWidth_));
    scrollY_ = clampInt(y, 0, std::max(0, mapPixelHeight_ - clientHeight_));
}

CellPoint MapViewport::cellAt(int clientX, int clientY) const {
    auto cell = [this](int64_t pixel) {
        int64_t c = pixel >= 0 ? pixel / cellSize_ : (pixel - cellSize_ + 1) / cellSize_;
        return clampInt(c, -1, kMaxViewPixels);
    };
    return {cell(int64_t(clientX) + scrollX_), cell(int64_t(clientY) + scrollY_)};
}

CellSpan MapViewport::visibleCells() const {
    const int s = cellSize_;
    CellSpan span;
    span.x0 = scrollX_ / s;
    span.y0 = scrollY_ / s;
    span.x1 = std::min(mapWidth_, int((int64_t(scrollX_) + clientWidth_ + s - 1) / s));
    span.y1 = std::min(mapHeight_, int((int64_t(scrollY_) + clientHeight_ + s - 1) / s));
    return span;
}

bool ReducedCells::prepare(const CellCache& cache, const MapViewport& view, bool highQuality) {
    if (view.cellSize() >= kCellPixels) return false;
    if (&cache != cache_ || cache.generation() != generation_ || highQuality != highQuality_ ||
        view.mapWidth() != mapWidth_ || view.mapHeight() != mapHeight_) {
        clear();
        cache_ = &cache;
        generation_ = cache.generation();
        highQuality_ = highQuality;
        mapWidth_ = view.mapWidth();
        mapHeight_ = view.mapHeight();
    }
    zoomMode_ = view.zoomMode();
    size_ = view.cellSize();
    strips_ = &levels_[size_t(zoomMode_)];
    strips_->resize(size_t(mapHeight_));
    const CellSpan shown = view.visibleCells();
    ++clock_;
    for (int y = shown.y0; y < shown.y1; ++y) (*strips_)[size_t(y)].lastUse = clock_;
    trim(shown);
    return true;
}

size_t ReducedCells::bytesOf(const Strip& strip) {
    return strip.pixels.size() * sizeof(uint32_t) + strip.made.size() +
           strip.ids.size() * sizeof(uint32_t);
}

// Strips that the last paint added may take the store past its bound until the next one.
void ReducedCells::trim(const CellSpan& shown) {
    while (bytes_ > byteLimit_) {
        Strip* oldest = nullptr;
        for (size_t level = 0; level < levels_.size(); ++level)
            for (size_t y = 0; y < levels_[level].size(); ++y) {
                Strip& strip = levels_[level][y];
                const bool onScreen =
                    int(level) == zoomMode_ && int(y) >= shown.y0 && int(y) < shown.y1;
                if (strip.made.empty() || onScreen) continue;
                if (!oldest || strip.lastUse < oldest->lastUse) oldest = &strip;
            }
        if (!oldest) return;
        bytes_ -= bytesOf(*oldest);
        *oldest = Strip{};
    }
}

bool ReducedCells::has(int x, int y) const {
    const Strip& strip = (*strips_)[size_t(y)];
    return !strip.made.empty() && strip.made[size_t(x)];
}

void ReducedCells::store(int x, int y, const Bitmap32& cell) {
    Strip& strip = (*strips_)[size_t(y)];
    const size_t stride = size_t(mapWidth_) * size_;
    if (strip.made.empty()) {
        strip.pixels.assign(stride * size_, 0);
        strip.made.assign(size_t(mapWidth_), 0);
        strip.ids.assign(size_t(mapWidth_), 0);
        bytes_ += bytesOf(strip);
    }
    sampleCell(cell, size_, highQuality_, strip.pixels.data() + size_t(x) * size_, stride);
    strip.made[size_t(x)] = 1;
    strip.ids[size_t(x)] = pictureId(cell);
}

const uint32_t* ReducedCells::row(int y, int row) const {
    const Strip& strip = (*strips_)[size_t(y)];
    if (strip.pixels.empty()) return nullptr;
    return strip.pixels.data() + size_t(row) * size_t(mapWidth_) * size_;
}

void ReducedCells::clear() {
    for (std::vector<Strip>& level : levels_) std::vector<Strip>().swap(level);
    strips_ = &levels_[0];
    bytes_ = 0;
    cache_ = nullptr;
    zoomMode_ = -1;
}

bool drawMapView(const FrameBuffer& frame, const MapViewport& view, TilemapRenderer& renderer,
                 CellCache& cache, const ViewDrawing& drawing, std::string* trace,
                 ReducedCells* reduced) {
    const int s = view.cellSize();
    // Beyond the map's right and bottom edges.
    const int mapRight = view.mapPixelWidth() - view.scrollX();
    const int mapBottom = view.mapPixelHeight() - view.scrollY();
    fillRect(frame, mapRight, 0, frame.width, frame.height, drawing.background);
    fillRect(frame, 0, mapBottom, std::min(mapRight, frame.width), frame.height,
             drawing.background);

    const bool throughStrips = reduced && reduced->prepare(cache, view, drawing.highQuality);
    const CellSpan span = view.visibleCells();
    if (trace) trace->reserve(trace->size() + size_t(span.x1 - span.x0) * (span.y1 - span.y0) * 24);
    const int stripWidth = std::min(frame.width, mapRight);
    std::vector<uint32_t> sampled(size_t(s) * s);
    Bitmap32 built;
    std::vector<int> blanks;  // columns of this row with no picture to put in a strip
    bool cursorDrawn = false;
    for (int y = span.y0; y < span.y1; ++y) {
        blanks.clear();
        const int top = y * s - view.scrollY();
        const int ty0 = std::max(0, -top), ty1 = std::min(s, frame.height - top);
        for (int x = span.x0; x < span.x1; ++x) {
            const int left = x * s - view.scrollX();
            if (drawing.cursor == CellPoint{x, y}) cursorDrawn = true;
            if (throughStrips && reduced->has(x, y)) {
                if (trace) appendTraceLine(*trace, x, y, reduced->idOf(x, y));
                continue;
            }
            const Bitmap32* cell = cache.find(x, y);
            if (!cell) {
                renderer.buildCell(built, x, y, &cache);
                cell = cache.find(x, y);
                if (!cell && !built.empty()) cell = &built;
            }
            const bool usable =
                cell && cell->width() == kCellPixels && cell->height() == kCellPixels;
            if (usable && trace) appendTraceLine(*trace, x, y, pictureId(*cell));
            if (throughStrips) {
                if (!usable) blanks.push_back(left);
                else if (!reduced->has(x, y)) reduced->store(x, y, *cell);
                continue;
            }
            const int tx0 = std::max(0, -left), tx1 = std::min(s, frame.width - left);
            if (!usable) {
                fillRect(frame, left, top, left + s, top + s, drawing.background);
                continue;
            }
            sampleCell(*cell, s, drawing.highQuality, sampled.data(), size_t(s));
            for (int ty = ty0; ty < ty1; ++ty)
                putRow(frame, left + tx0, top + ty, sampled.data() + size_t(ty) * s + tx0,
                       tx1 - tx0);
        }
        if (!throughStrips) continue;
        for (int ty = ty0; ty < ty1; ++ty) {
            const uint32_t* pixels = reduced->row(y, ty);
            if (pixels) putRow(frame, 0, top + ty, pixels + view.scrollX(), stripWidth);
        }
        // A strip holds no pixels of its own for such a cell: it shows the background, as
        // it does at full size.
        for (int left : blanks) fillRect(frame, left, top, left + s, top + s, drawing.background);
    }
    if (drawing.grid) drawGrid(frame, view, drawing.gridColour);
    if (cursorDrawn)
        drawCursor(frame, drawing.cursor.x * s - view.scrollX(),
                   drawing.cursor.y * s - view.scrollY(), s);
    return cursorDrawn;
}

}  // namespace zorvane

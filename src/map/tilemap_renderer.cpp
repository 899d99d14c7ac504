// Cell composition: tile and autotile pieces, event pieces, the depth keys that order them,
// the bush effect, panorama and fog tiling, and the passability of the simple map.
#include "map/tilemap_renderer.h"

#include <algorithm>

namespace zorvane {

namespace {

constexpr int kFirstAutotileId = 48;
constexpr int kFirstTilesetId = 384;
constexpr int kTilesPerRow = 8;
constexpr int kAutotileBlockHeight = 128;  // 96 × 128 autotiles are built from blocks
constexpr int kAutotileFrameWidth = 96;
constexpr int kQuarter = 16;
constexpr int kBushRows = 20;  // rows of a figure that stand above the bush
constexpr int kBushOpacity = 128;
constexpr int kEventKey = 3;    // key & 7 of an event item; tiles use their layer 0..2
constexpr int kOnTopKey = 803;  // an always-on-top event: above every tile it covers
constexpr int kBushFlag = 0x40;
constexpr int kCounterFlag = 0x10;
constexpr int kBlockedBits = 0x0F;
constexpr uint32_t kOpaqueBlack = 0xFF000000u;

uint32_t opaque(const Rgb& c) {
    return makeArgb(0xFF, c.red, c.green, c.blue);
}

// A 32 × 32 picture to draw into (kept at every `step`th pixel): the old one when nothing
// else shares its pixels.
void prepareCell(Bitmap32& cell, bool keepContents, int step) {
    if (cell.sampleStep() == step && cell.drawWidth() == kCellPixels &&
        cell.drawHeight() == kCellPixels && cell.ownsPixelsAlone()) {
        if (!keepContents) cell.fill(0);
        return;
    }
    cell.createSampled(kCellPixels, kCellPixels, step);
}

void prepareCell(Bitmap32& cell, bool keepContents = false) {
    prepareCell(cell, keepContents, 1);
}

// The same, keeping the cell's own step: drawing a cell keeps the kind of picture it was given.
void prepareSameCell(Bitmap32& cell) {
    prepareCell(cell, true, cell.empty() ? 1 : cell.sampleStep());
}

size_t pixelBytes(const Bitmap32& cell) {
    return size_t(cell.width()) * size_t(cell.height()) * sizeof(uint32_t);
}

int64_t positiveModulo(int64_t value, int64_t modulus) {
    int64_t r = value % modulus;
    return r < 0 ? r + modulus : r;
}

}  // namespace

uint32_t& CellCache::slot(int x, int y) {
    if (size_t(y) >= rows_.size()) rows_.resize(size_t(y) + 1);
    std::vector<uint32_t>& row = rows_[size_t(y)];
    if (size_t(x) >= row.size()) row.resize(size_t(x) + 1, kNone);
    return row[size_t(x)];
}

void CellCache::unlink(uint32_t index) {
    Entry& e = entries_[index];
    (e.newer == kNone ? newest_ : entries_[e.newer].older) = e.older;
    (e.older == kNone ? oldest_ : entries_[e.older].newer) = e.newer;
    e.newer = e.older = kNone;
}

void CellCache::pushNewest(uint32_t index) {
    Entry& e = entries_[index];
    e.newer = kNone;
    e.older = newest_;
    if (newest_ != kNone) entries_[newest_].newer = index;
    newest_ = index;
    if (oldest_ == kNone) oldest_ = index;
}

void CellCache::evictOldest() {
    const uint32_t index = oldest_;
    unlink(index);
    Entry& e = entries_[index];
    rows_[size_t(e.y)][size_t(e.x)] = kNone;
    bytes_ -= pixelBytes(e.cell);
    e.cell.reset();
    --count_;
    freeEntries_.push_back(index);
}

const Bitmap32* CellCache::find(int x, int y) {
    if (y < 0 || x < 0 || size_t(y) >= rows_.size()) return nullptr;
    const std::vector<uint32_t>& row = rows_[size_t(y)];
    if (size_t(x) >= row.size() || row[size_t(x)] == kNone) return nullptr;
    const uint32_t index = row[size_t(x)];
    if (index != newest_) {
        unlink(index);
        pushNewest(index);
    }
    return &entries_[index].cell;
}

void CellCache::store(int x, int y, const Bitmap32& cell) {
    if (x < 0 || y < 0 || x > kMaxPosition || y > kMaxPosition || cell.empty()) return;
    ++storedCount_;
    uint32_t& at = slot(x, y);
    if (at == kNone) {
        if (freeEntries_.empty()) {
            entries_.emplace_back();
            at = uint32_t(entries_.size() - 1);
        } else {
            at = freeEntries_.back();
            freeEntries_.pop_back();
        }
        entries_[at].x = x;
        entries_[at].y = y;
        ++count_;
    } else {
        unlink(at);
        bytes_ -= pixelBytes(entries_[at].cell);
    }
    const uint32_t index = at;
    entries_[index].cell = cell;
    bytes_ += pixelBytes(cell);
    pushNewest(index);
    while (bytes_ > byteLimit_ && oldest_ != index) evictOldest();
}

void CellCache::clear() {
    rows_.clear();
    entries_.clear();
    freeEntries_.clear();
    newest_ = oldest_ = kNone;
    bytes_ = 0;
    count_ = 0;
    ++generation_;
}

void tileAcrossMap(Bitmap32& out, const Bitmap32& picture, int x, int y) {
    const int64_t w = picture.width(), h = picture.height();
    if (w == 0 || h == 0) return;
    const int64_t startX = positiveModulo(int64_t(x) * kCellPixels, w);
    int64_t sy = positiveModulo(int64_t(y) * kCellPixels, h);
    // Pictures of 32 pixels or more need at most four copies; smaller ones repeat inside
    // the cell as well.
    for (int ty = 0; ty < out.drawHeight(); sy = 0) {
        const int rows = int(std::min<int64_t>(out.drawHeight() - ty, h - sy));
        int64_t sx = startX;
        for (int tx = 0; tx < out.drawWidth(); sx = 0) {
            const int cols = int(std::min<int64_t>(out.drawWidth() - tx, w - sx));
            out.copy(picture, tx, ty, int(sx), int(sy), cols, rows, false);
            tx += cols;
        }
        ty += rows;
    }
}

TilemapRenderer::TilemapRenderer(const MapData& map, const RenderOptions& options)
    : map_(map),
      tiles_(map.tilesetGraphics),
      options_(options),
      passableColour_(opaque(colourFromText(options.colorSimple1))),
      blockedColour_(opaque(colourFromText(options.colorSimple2))) {
    collectSprites();
}

void TilemapRenderer::collectSprites() {
    for (const auto& [id, event] : map_.events) {
        if (event.pages.empty()) continue;
        const MapEventPage& page = event.pages.front();
        if (page.frameWidth <= 0 || page.frameHeight <= 0) continue;
        Sprite sprite{int64_t(event.x) * kCellPixels + page.offsetX,
                      int64_t(event.y) * kCellPixels + page.offsetY,
                      page.frameWidth,
                      page.frameHeight,
                      &page,
                      nullptr,
                      event.y};
        if (page.graphic.tileId == 0) {
            auto sheet = map_.characterCache.find(page.graphic.characterName);
            if (sheet == map_.characterCache.end()) continue;
            sprite.sheet = &sheet->second;
        }
        sprites_.push_back(sprite);
    }
}

int TilemapRenderer::autotileFrames(int tileId) const {
    if (tileId < kFirstAutotileId || tileId >= kFirstTilesetId) return 1;
    const Bitmap32& a = tiles_.autotilePictures[size_t(tileId / 48 - 1)];
    if (a.empty()) return 1;
    int frames = a.height() == kAutotileBlockHeight ? a.width() / kAutotileFrameWidth
                                                    : a.width() / kCellPixels;
    return std::max(frames, 1);  // a picture narrower than one frame still shows its part
}

const Bitmap32& TilemapRenderer::autotileShape(int autotile, int shape) {
    Bitmap32& built = shapes_[size_t(autotile)][size_t(shape)];
    if (!built.empty()) return built;
    const Bitmap32& a = tiles_.autotilePictures[size_t(autotile)];
    built.create(kCellPixels, kCellPixels);
    const AutotileBlocks blocks = autotileBlocks(shape);
    for (int q = 0; q < kQuarterCount; ++q) {
        const int qx = (q % 2) * kQuarter, qy = (q / 2) * kQuarter;
        const int block = blocks[size_t(q)];
        // copy() clips, so a picture smaller than 96 × 128 leaves the missing parts clear.
        built.copy(a, qx, qy, (block % 3) * kCellPixels + qx, (block / 3) * kCellPixels + qy,
                   kQuarter, kQuarter, false);
    }
    return built;
}

bool TilemapRenderer::tilePiece(int tileId, bool allowAutotiles, int frame, Piece& piece) {
    piece = Piece{};
    if (tileId < kFirstAutotileId) return false;
    if (tileId < kFirstTilesetId) {
        if (!allowAutotiles) return false;
        const int autotile = tileId / 48 - 1;
        const Bitmap32& a = tiles_.autotilePictures[size_t(autotile)];
        if (a.empty()) return true;
        if (a.height() == kAutotileBlockHeight) {
            piece = {&autotileShape(autotile, tileId % 48), 0, 0, kCellPixels, kCellPixels};
            return true;
        }
        frame = std::clamp(frame, 0, autotileFrames(tileId) - 1);
        const int sx = std::min(frame * kCellPixels, a.width() - 1);
        piece = {&a, sx, 0, std::min(kCellPixels, a.width() - sx),
                 std::min(kCellPixels, a.height())};
        return true;
    }
    const Bitmap32& t = tiles_.tilesetPicture;
    const int sx = (tileId % kTilesPerRow) * kCellPixels;
    const int sy = ((tileId - kFirstTilesetId) / kTilesPerRow) * kCellPixels;
    if (sx >= t.width() || sy >= t.height()) return true;
    piece = {&t, sx, sy, std::min(kCellPixels, t.width() - sx),
             std::min(kCellPixels, t.height() - sy)};
    return true;
}

bool TilemapRenderer::drawTile(Bitmap32& out, int tileId, bool allowAutotiles, int frame) {
    out.create(kCellPixels, kCellPixels);
    Piece piece;
    if (!tilePiece(tileId, allowAutotiles, frame, piece)) return false;
    if (piece.picture) out.copy(*piece.picture, 0, 0, piece.x, piece.y, piece.w, piece.h, false);
    return true;
}

bool TilemapRenderer::drawPanorama(Bitmap32& cell, int x, int y) const {
    if (tiles_.panoramaPicture.empty()) return false;
    prepareSameCell(cell);
    tileAcrossMap(cell, tiles_.panoramaPicture, x, y);
    return true;
}

bool TilemapRenderer::drawFogPiece(Bitmap32& out, int x, int y) const {
    if (tiles_.fogPicture.empty()) return false;
    out.create(kCellPixels, kCellPixels);
    tileAcrossMap(out, tiles_.fogPicture, x, y);
    return true;
}

int TilemapRenderer::priority(int tileId) const {
    return tiles_.priorities.at(tileId);
}

void TilemapRenderer::addTileItems(int x, int y, const LayerSwitches& layers) {
    for (int layer = 0; layer < 3; ++layer) {
        if (!layers[size_t(layer)]) continue;
        const int tile = map_.tileAt(x, y, layer);
        Piece piece;
        if (!tilePiece(tile, true, 0, piece)) continue;
        const bool bush = (tiles_.passages.at(tile) & kBushFlag) != 0;
        items_.push_back({layer + y * kCellPixels + priority(tile) * 8, 0, 255, bush, piece});
    }
}

bool TilemapRenderer::eventPiece(const Sprite& sprite, int64_t cellLeft, int64_t cellTop,
                                 Bitmap32& out) {
    prepareCell(out);
    const MapEventPage& page = *sprite.page;
    if (!sprite.sheet) {
        Piece tile;
        if (!tilePiece(page.graphic.tileId, false, 0, tile)) return false;
        if (tile.picture) out.copy(*tile.picture, 0, 0, tile.x, tile.y, tile.w, tile.h, false);
        return true;
    }
    // copy() clips to the sheet, so a sheet smaller than its frames gives what it has.
    out.copy(*sprite.sheet, int(sprite.left - cellLeft), int(sprite.top - cellTop), page.sourceX,
             page.sourceY, sprite.width, sprite.height, false);
    return true;
}

void TilemapRenderer::addEventItems(int x, int y, bool tileEvents, bool characterEvents) {
    const int64_t cellLeft = int64_t(x) * kCellPixels, cellTop = int64_t(y) * kCellPixels;
    for (const Sprite& sprite : sprites_) {
        if (!(sprite.sheet ? characterEvents : tileEvents)) continue;
        // Strict overlap: a picture that only touches the cell's edge stays out.
        if (sprite.left >= cellLeft + kCellPixels || sprite.left + sprite.width <= cellLeft ||
            sprite.top >= cellTop + kCellPixels || sprite.top + sprite.height <= cellTop)
            continue;
        if (eventPiecesUsed_ == eventPieces_.size()) eventPieces_.emplace_back();
        Bitmap32& piece = eventPieces_[eventPiecesUsed_];
        if (!eventPiece(sprite, cellLeft, cellTop, piece)) continue;
        ++eventPiecesUsed_;
        const MapEventPage& page = *sprite.page;
        piece.changeHue(page.graphic.characterHue);
        const int key = sprite.y * kCellPixels + (page.alwaysOnTop ? kOnTopKey : kEventKey);
        items_.push_back({key, page.graphic.blendType, page.graphic.opacity, false,
                          Piece{&piece, 0, 0, kCellPixels, kCellPixels}});
    }
}

namespace {

Bitmap32 wholeTile(const Bitmap32* picture, int x, int y, int w, int h) {
    Bitmap32 out;
    out.create(kCellPixels, kCellPixels);
    if (picture) out.copy(*picture, 0, 0, x, y, w, h, false);
    return out;
}

}  // namespace

void TilemapRenderer::drawBushed(Bitmap32& cell, const DrawItem& item,
                                 const DrawItem& bushTile) const {
    const Piece& i = item.piece;
    const Piece& b = bushTile.piece;
    Bitmap32 figure = wholeTile(i.picture, i.x, i.y, i.w, i.h);
    Bitmap32 bush = wholeTile(b.picture, b.x, b.y, b.w, b.h);
    cell.copy(figure, 0, 0, 0, 0, kCellPixels, kCellPixels, true);
    bush.copy(figure, 0, 0, 0, 0, kCellPixels, kBushRows, true);
    bush.blend(figure, 0, kBushOpacity, 0, kBushRows, 0, kBushRows, kCellPixels,
               kCellPixels - kBushRows);
    cell.copy(bush, 0, 0, 0, 0, kCellPixels, kCellPixels, true);
}

void TilemapRenderer::drawItems(Bitmap32& cell, int y) {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const DrawItem& a, const DrawItem& b) { return a.key < b.key; });
    const DrawItem* bushTile = nullptr;
    for (const DrawItem& item : items_) {
        const bool isEvent = (item.key & 7) == kEventKey;
        const Piece& p = item.piece;
        if (bushTile && (item.key >> 5) == y &&
            (isEvent || (item.key & 7) <= (bushTile->key & 7))) {
            drawBushed(cell, item, *bushTile);
        } else if (p.picture && (item.blendType != 0 || item.opacity != 255)) {
            cell.blend(*p.picture, item.blendType, item.opacity, 0, 0, p.x, p.y, p.w, p.h);
        } else if (p.picture) {
            cell.copy(*p.picture, 0, 0, p.x, p.y, p.w, p.h, true);
        }
        if (!isEvent && item.bush) bushTile = &item;
    }
}

void TilemapRenderer::composeCell(Bitmap32& cell, int x, int y, const LayerSwitches& layers,
                                  bool panorama, bool tileEvents, bool characterEvents) {
    if (!(panorama && drawPanorama(cell, x, y))) {
        prepareSameCell(cell);
        cell.fill(kOpaqueBlack);
    }
    items_.clear();
    eventPiecesUsed_ = 0;
    addTileItems(x, y, layers);
    if (tileEvents || characterEvents) addEventItems(x, y, tileEvents, characterEvents);
    drawItems(cell, y);
}

int TilemapRenderer::passage(int x, int y, int layer) const {
    const int tile = map_.tileAt(x, y, layer);
    int value = tiles_.passages.at(tile);
    if ((value & kCounterFlag) && y > 0) {
        const int above = map_.tileAt(x, y - 1, layer);
        const bool aboveIsAutotile = above >= kFirstAutotileId && above < kFirstTilesetId;
        if (!aboveIsAutotile || above / 48 != tile / 48) value &= ~kBlockedBits;
    }
    return value;
}

bool TilemapRenderer::passableCell(int x, int y) const {
    // Only layers that hold a tile count: the editor gives the empty tile 0 priority 5.
    bool raised = false;
    for (int layer = 0; layer < 3; ++layer) {
        const int tile = map_.tileAt(x, y, layer);
        if (tile > 0 && priority(tile) > 0) raised = true;
    }
    if (raised) {
        int all = 0;
        for (int layer = 0; layer < 3; ++layer) all |= passage(x, y, layer);
        return (all & kBlockedBits) != kBlockedBits;
    }
    for (int layer = 2; layer >= 0; --layer)
        if (map_.tileAt(x, y, layer) > 0)
            return (passage(x, y, layer) & kBlockedBits) != kBlockedBits;
    return true;
}

void TilemapRenderer::buildCell(Bitmap32& out, int x, int y, CellCache* cache, int step) {
    if (step != 1) {
        cache = nullptr;  // the cache holds whole cells only
        if (step < 1 || kCellPixels % step != 0) step = 1;
    }
    if (cache) {
        if (const Bitmap32* hit = cache->find(x, y)) {
            out = *hit;
            return;
        }
        out.reset();  // a fresh picture, so the cached one is never drawn into later
    }
    prepareCell(out, true, step);
    if (options_.simpleMap) {
        out.fill(passableCell(x, y) ? passableColour_ : blockedColour_);
    } else {
        const LayerSwitches layers{options_.viewLayer1, options_.viewLayer2, options_.viewLayer3};
        composeCell(out, x, y, layers, options_.viewPanorama, options_.viewMapEvent1,
                    options_.viewMapEvent2);
        if (options_.viewFog && !tiles_.fogPicture.empty()) {
            prepareCell(fogPiece_, true);
            tileAcrossMap(fogPiece_, tiles_.fogPicture, x, y);
            out.blend(fogPiece_, tiles_.fogBlendType, tiles_.fogOpacity, 0, 0);
        }
    }
    if (cache) cache->store(x, y, out);
}

}  // namespace zorvane

// Decoded tilesets kept across maps: maps that share a tileset decode its pictures once.
// The cache holds a few tilesets only (the most recently used), so drawing every map of a
// large project does not keep every tileset of it in memory. Maps drawn on several threads
// share one cache: a tileset is decoded by the first thread that needs it while the others
// that need it wait, and its pictures are only read afterwards.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <future>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "map/tileset_graphics.h"

namespace zorvane {

class GraphicCache;
class MapData;

class TilesetCache {
  public:
    TilesetCache() = default;
    explicit TilesetCache(size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {}
    TilesetCache(const TilesetCache&) = delete;
    TilesetCache& operator=(const TilesetCache&) = delete;

    // Gives the map the pictures of its tileset: from the cache (copies share the pixels)
    // or, the first time, loaded by the map (through `graphics` when given) and kept.
    void apply(MapData& map, const std::vector<Tileset>& tilesets,
               GraphicCache* graphics = nullptr);
    size_t size() const;
    int decodes() const { return decodes_.load(); }

  private:
    using Shared = std::shared_future<std::shared_ptr<const TilesetGraphics>>;
    struct Entry {
        int32_t id;
        Shared graphics;
    };
    size_t capacity_ = 8;
    mutable std::mutex mutex_;
    std::list<Entry> entries_;  // most recently used first
    std::atomic<int> decodes_{0};
};

}  // namespace zorvane

// Decoded tilesets kept across maps: maps that share a tileset decode its pictures once.
// The cache holds a few tilesets only (the most recently used), so drawing every map of a
// large project does not keep every tileset of it in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include "map/tileset_graphics.h"

namespace zorvane {

class MapData;

class TilesetCache {
  public:
    TilesetCache() = default;
    explicit TilesetCache(size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {}

    // Gives the map the pictures of its tileset: from the cache (copies share the pixels)
    // or, the first time, decoded by the map and kept.
    void apply(MapData& map, const std::vector<Tileset>& tilesets);
    size_t size() const { return entries_.size(); }
    int decodes() const { return decodes_; }

  private:
    struct Entry {
        int32_t id;
        TilesetGraphics graphics;
    };
    size_t capacity_ = 8;
    std::list<Entry> entries_;  // most recently used first
    int decodes_ = 0;
};

}  // namespace zorvane

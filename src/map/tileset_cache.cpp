// A short list in use order is enough: projects have tens of tilesets, not thousands.
#include "map/tileset_cache.h"

#include "map/map_data.h"

namespace zorvane {

void TilesetCache::apply(MapData& map, const std::vector<Tileset>& tilesets) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->id != map.tilesetId) continue;
        entries_.splice(entries_.begin(), entries_, it);
        map.tilesetGraphics = entries_.front().graphics;
        return;
    }
    map.loadTileset(tilesets);
    ++decodes_;
    entries_.push_front({map.tilesetId, map.tilesetGraphics});
    if (entries_.size() > capacity_) entries_.pop_back();
}

}  // namespace zorvane

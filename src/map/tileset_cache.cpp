// A short list in use order is enough: projects have tens of tilesets, not thousands.
#include "map/tileset_cache.h"

#include "map/map_data.h"

namespace zorvane {

size_t TilesetCache::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

void TilesetCache::apply(MapData& map, const std::vector<Tileset>& tilesets,
                         GraphicCache* graphics) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->id != map.tilesetId) continue;
        entries_.splice(entries_.begin(), entries_, it);
        Shared ready = entries_.front().graphics;
        lock.unlock();  // another thread may still be decoding it
        map.tilesetGraphics = *ready.get();
        return;
    }
    std::promise<std::shared_ptr<const TilesetGraphics>> decoded;
    entries_.push_front({map.tilesetId, decoded.get_future().share()});
    if (entries_.size() > capacity_) entries_.pop_back();
    lock.unlock();
    // Decoded outside the lock, so maps of other tilesets are not held up meanwhile.
    map.loadTileset(tilesets, graphics);
    ++decodes_;
    decoded.set_value(std::make_shared<const TilesetGraphics>(map.tilesetGraphics));
}

}  // namespace zorvane

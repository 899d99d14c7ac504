// Pictures of many maps at once: each map is loaded, composed and encoded on one of a
// pool of threads (as many as the machine has cores unless told), and the results come
// back to the caller one by one in the order of the list, on the caller's thread. Tilesets,
// autotiles and character sheets are decoded once per run and shared read-only (a cache of
// GraphicCache::kDefaultByteLimit); a window of maps keeps memory bounded, the bytes of the
// whole pictures held at once stay within one budget, and each thread reuses its picture
// buffer from map to map. Used by `map --all` and
// by the export; anything else that needs many map pictures can use it the same way.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "map/map_data.h"
#include "map/map_picture.h"
#include "map/render_options.h"

namespace zorvane {

class ProjectDatabase;

struct MapBatchItem {
    int mapId = 0;
    std::string path;  // the picture file; its extension chooses the format
};

struct MapBatchOptions {
    RenderOptions render;
    // Threads that draw; 0 means one per core. 1 draws on the caller's thread.
    int jobs = 0;
    // Event pictures measured from their sheets; needed when the pictures show events.
    bool measureEvents = true;
    // When false the maps are loaded and handed back without a picture (map events only).
    bool pictures = true;
    // The most bytes the whole pictures in memory may take together, and each alone; 0
    // means half of the machine's memory.
    uint64_t memoryLimit = 0;
    std::string writeRoot;  // see MapPictureHooks::writeRoot
};

struct MapBatchResult {
    int mapId = 0;
    std::string path;
    // False when the map's file could not be read; loadFailure says why ("" when the map
    // has no file at all).
    bool loaded = false;
    std::string loadFailure;
    // Declined when the whole picture could not be held: the caller may still write the
    // full-size BMP from `map` (see drawFullSizeBmp).
    MapPictureStatus status = MapPictureStatus::Saved;
    std::unique_ptr<MapData> map;  // the loaded map, until the callback returns
    double loadSeconds = 0;        // time its thread spent loading it
};

// Called for every map that was taken up, in list order, on the caller's thread; false
// asks that no further map be started (the maps in flight still come back).
using MapBatchDone = std::function<bool(MapBatchResult&)>;

// The number of threads `jobs` stands for: jobs itself, or the machine's cores for 0.
int mapBatchThreads(int jobs);

// The pool asked for one map after another: the caller takes each result when it needs it
// (the export's walk reads its maps from here). Maps are no longer started once `abort`
// is set or after stop(); those in flight still come back.
class MapBatch {
  public:
    MapBatch(const ProjectDatabase& project, std::vector<MapBatchItem> items,
             const MapBatchOptions& options, const std::atomic<bool>& abort);
    ~MapBatch();  // waits for the maps in flight; their results are dropped
    MapBatch(const MapBatch&) = delete;
    MapBatch& operator=(const MapBatch&) = delete;

    // The next map of the list once drawn; false when no further map was started.
    bool next(MapBatchResult& out);
    void stop();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Draws the maps of `items`; maps are no longer started once `abort` is set, and the maps
// in flight stop between rows of cells (status Aborted, no file left behind).
void drawMapPictures(const ProjectDatabase& project, const std::vector<MapBatchItem>& items,
                     const MapBatchOptions& options, const MapBatchDone& done,
                     const std::atomic<bool>& abort);

// The full-size BMP of a result whose whole picture was Declined, written to its path.
MapPictureStatus drawFullSizeBmp(const MapBatchResult& result, const MapBatchOptions& options,
                                 const std::atomic<bool>& abort);

}  // namespace zorvane

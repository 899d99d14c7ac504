// The pool hands out maps in list order and lets a thread start a map only while it is
// fewer than a window of maps ahead of the one the caller waits for, so finished maps
// waiting for an earlier, slower one cannot pile up. Whole pictures reserve their bytes
// from one budget before they are composed: the pictures held at once never pass the
// limit that a single picture has, and a picture that fits alone is never refused for
// lack of room, it waits.
#include "map/map_batch.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "map/graphic_cache.h"
#include "map/tileset_cache.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

// Maps a thread may run ahead of the one the caller waits for, per thread. A result held
// meanwhile is a loaded map without its picture (tens of kilobytes), while a window of two
// left a thread idle behind each map that takes many times the usual time.
constexpr size_t kWindowPerThread = 8;
// A thread keeps its last picture's buffer for the next map up to this size (every map of
// a large project at ×1/2 fits): memory held beside the budget is at most this per thread.
constexpr size_t kKeptPictureBytes = size_t(32) << 20;

class ByteBudget {
  public:
    explicit ByteBudget(uint64_t limit) : limit_(limit) {}
    void acquire(uint64_t bytes) {
        std::unique_lock<std::mutex> lock(mutex_);
        room_.wait(lock, [&] { return used_ == 0 || used_ + bytes <= limit_; });
        used_ += bytes;
    }
    void release(uint64_t bytes) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            used_ -= bytes;
        }
        room_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable room_;
    const uint64_t limit_;
    uint64_t used_ = 0;
};

// What drawing one map needs, shared by every thread.
struct BatchContext {
    const ProjectDatabase& project;
    const MapBatchOptions options;
    const std::atomic<bool>& abort;
    GraphicCache graphics;  // pictures shared by every map, bounded by bytes
    TilesetCache tilesets;
    ByteBudget budget;
    uint64_t limit;
};

// The bytes composeMapPicture will hold for the map; 0 when it will refuse the picture
// before allocating it.
uint64_t pictureBytes(const MapData& map, const RenderOptions& render, uint64_t limit) {
    const uint64_t size = uint64_t(zoomLevel(render.zoomMode).cellSize);
    const uint64_t bytes =
        uint64_t(std::max(map.width, 0)) * size * uint64_t(std::max(map.height, 0)) * size * 3;
    return bytes > limit ? 0 : bytes;
}

MapBatchResult drawOne(BatchContext& c, const MapBatchItem& item, RgbImage& scratch) {
    MapBatchResult result;
    result.mapId = item.mapId;
    result.path = item.path;
    auto map = std::make_unique<MapData>();
    const auto start = std::chrono::steady_clock::now();
    result.loaded = map->load(c.project, item.mapId, c.options.measureEvents, &c.graphics);
    result.loadSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!result.loaded) {
        result.loadFailure = map->loadFailure;
        return result;
    }
    if (c.options.pictures) {
        c.tilesets.apply(*map, c.project.tilesets(), &c.graphics);
        MapPictureHooks hooks;
        hooks.abort = &c.abort;
        hooks.memoryLimit = c.limit;
        hooks.writeRoot = c.options.writeRoot;
        hooks.scratch = &scratch;
        RenderOptions render = c.options.render;
        render.saveMode = formatFromExtension(item.path, render.saveMode);
        const uint64_t bytes = pictureBytes(*map, render, c.limit);
        c.budget.acquire(bytes);
        result.status = saveMapPicture(item.path, *map, render, hooks);
        if (scratch.capacityBytes() > kKeptPictureBytes) scratch.reset();
        c.budget.release(bytes);
    }
    result.map = std::move(map);
    return result;
}

// The order keeper between the threads and the caller.
class BatchQueue {
  public:
    BatchQueue(size_t count, size_t window) : count_(count), window_(window) {}

    // The next index to draw, or false when there is none to start.
    bool take(size_t& index, const std::atomic<bool>& abort) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return closed() || next_ < delivered_ + window_; });
        if (!closed() && abort.load()) stopped_ = true;
        if (closed()) {
            changed_.notify_all();
            return false;
        }
        index = next_++;
        return true;
    }
    void finish(size_t index, MapBatchResult result) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ready_.emplace(index, std::move(result));
        }
        changed_.notify_all();
    }
    // The result of `index` once it is ready; false when that map was never started.
    bool wait(size_t index, MapBatchResult& out) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return ready_.count(index) || (index >= next_ && closed()); });
        auto it = ready_.find(index);
        if (it == ready_.end()) return false;
        out = std::move(it->second);
        ready_.erase(it);
        delivered_ = index + 1;
        changed_.notify_all();
        return true;
    }
    void stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }

  private:
    bool closed() const { return stopped_ || next_ >= count_; }

    std::mutex mutex_;
    std::condition_variable changed_;
    const size_t count_, window_;
    size_t next_ = 0, delivered_ = 0;
    bool stopped_ = false;
    std::map<size_t, MapBatchResult> ready_;
};

}  // namespace

int mapBatchThreads(int jobs) {
    if (jobs > 0) return jobs;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// One thread draws on the caller's thread when asked; more share a queue.
struct MapBatch::State {
    State(const ProjectDatabase& project, std::vector<MapBatchItem> list,
          const MapBatchOptions& options, const std::atomic<bool>& abort, uint64_t limit)
        : items(std::move(list)),
          context{project, options, abort, {}, {}, ByteBudget(limit), limit},
          threads(std::min(items.size(), static_cast<size_t>(mapBatchThreads(options.jobs)))),
          queue(items.size(), threads * kWindowPerThread) {}

    const std::vector<MapBatchItem> items;
    BatchContext context;
    const size_t threads;
    BatchQueue queue;
    std::vector<std::thread> pool;
    RgbImage scratch;  // the caller's thread's when it draws
    size_t index = 0;
    bool stopped = false;  // drawn on the caller's thread: no further map
};

MapBatch::MapBatch(const ProjectDatabase& project, std::vector<MapBatchItem> items,
                   const MapBatchOptions& options, const std::atomic<bool>& abort)
    : state_(std::make_unique<State>(
          project, std::move(items), options, abort,
          options.memoryLimit ? options.memoryLimit : defaultPictureMemoryLimit())) {
    State& s = *state_;
    if (s.threads <= 1) return;
    for (size_t t = 0; t < s.threads; ++t)
        s.pool.emplace_back([&s] {
            RgbImage scratch;
            size_t index;
            while (s.queue.take(index, s.context.abort))
                s.queue.finish(index, drawOne(s.context, s.items[index], scratch));
        });
}

MapBatch::~MapBatch() {
    stop();
    for (std::thread& thread : state_->pool) thread.join();
}

bool MapBatch::next(MapBatchResult& out) {
    State& s = *state_;
    out = MapBatchResult{};  // the previous map's memory goes before the next one comes
    if (s.threads > 1) return s.queue.wait(s.index++, out);
    if (s.stopped || s.index >= s.items.size() || s.context.abort.load()) return false;
    out = drawOne(s.context, s.items[s.index++], s.scratch);
    return true;
}

void MapBatch::stop() {
    state_->stopped = true;
    if (state_->threads > 1) state_->queue.stop();
}

void drawMapPictures(const ProjectDatabase& project, const std::vector<MapBatchItem>& items,
                     const MapBatchOptions& options, const MapBatchDone& done,
                     const std::atomic<bool>& abort) {
    MapBatch batch(project, items, options, abort);
    MapBatchResult result;
    while (batch.next(result))
        if (!done(result)) batch.stop();
}

MapPictureStatus drawFullSizeBmp(const MapBatchResult& result, const MapBatchOptions& options,
                                 const std::atomic<bool>& abort) {
    if (!result.map) return MapPictureStatus::CannotWrite;
    MapPictureHooks hooks;
    hooks.abort = &abort;
    hooks.writeRoot = options.writeRoot;
    return saveMapPictureFullSizeBmp(result.path, *result.map, options.render, hooks);
}

}  // namespace zorvane

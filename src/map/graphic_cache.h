// Decoded game graphics shared by the maps of one run: every file a run needs is found and
// decoded once, whichever map or thread asks first, and handed out read-only to all of
// them. Names are resolved once per run (the files are taken not to change meanwhile);
// the pictures kept are bounded by bytes, least recently used out, while maps that still
// hold one keep it alive. A file found but not readable as a picture is noted for the
// process (unreadableGraphics), so a command can say at its end why a map lacks it.
#pragma once

#include <atomic>
#include <cstdint>
#include <future>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "map/bitmap32.h"
#include "project/resource.h"

namespace zorvane {

class GraphicCache {
  public:
    // Enough for the tilesets, autotiles and character sheets of a large project at once.
    static constexpr uint64_t kDefaultByteLimit = uint64_t(256) << 20;

    GraphicCache() = default;
    explicit GraphicCache(uint64_t byteLimit) : byteLimit_(byteLimit) {}
    GraphicCache(const GraphicCache&) = delete;
    GraphicCache& operator=(const GraphicCache&) = delete;

    using Picture = std::shared_ptr<const Bitmap32>;

    // The picture loadGraphic would give for the name, or null when it finds none; when
    // files were found but none decoded, they are noted as unreadable.
    Picture load(const std::string& relativeName, const ResourceResolver& resources, int where);
    // What findGraphic would answer for the name; files whose header does not read are
    // noted as unreadable when no other file answers.
    bool find(const std::string& relativeName, const ResourceResolver& resources, int where,
              std::string& path, int& width, int& height);
    // The file at `path` decoded (decodeImageFile), or null, noted as unreadable, when it
    // does not decode.
    Picture decode(const std::string& path);

    // Files decoded so far.
    int decodes() const { return decodes_.load(); }

  private:
    struct Found {
        bool found = false;
        std::string path;
        int width = 0, height = 0;
    };
    struct Kept {
        std::shared_future<Picture> picture;
        uint64_t bytes = 0;
        uint64_t serial = 0;  // tells this decode from a later one of the same file
        std::list<std::string>::iterator use;
    };
    // The picture of `path`, decoded once however many ask; null when it does not decode.
    Picture shared(const std::string& path);
    // Counts a decoded picture in, then lets the least recently used go while over the limit.
    void keep(const std::string& path, uint64_t serial, uint64_t bytes);

    const uint64_t byteLimit_ = kDefaultByteLimit;
    std::mutex mutex_;
    // Names resolved, by game folder, where and name: the file loadGraphic took ("" for
    // none), and what findGraphic answered.
    std::unordered_map<std::string, std::string> loaded_;
    std::unordered_map<std::string, Found> found_;
    std::unordered_map<std::string, Kept> pictures_;  // by resolved path
    std::list<std::string> useOrder_;                 // paths, most recently used first
    uint64_t bytes_ = 0;
    uint64_t serial_ = 0;
    std::atomic<int> decodes_{0};
};

// A picture as loadGraphic and decodeImageFile give it (empty when there is none), taken
// through `cache` when a run shares one: its pixels are then the cache's.
Bitmap32 loadGraphicVia(GraphicCache* cache, const std::string& relativeName,
                        const ResourceResolver& resources, int where);
Bitmap32 decodeImageVia(GraphicCache* cache, const std::string& path);

// The files every GraphicCache of the process found but could not read as a picture since
// the last call, each once and sorted; the list starts anew.
std::vector<std::string> takeUnreadableGraphics();

}  // namespace zorvane

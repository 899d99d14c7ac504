// A file is decoded by the first thread that asks for it while others asking for the same
// file wait for that decode instead of repeating it; the lock is never held while a file is
// read. Unreadable files are noted only on the failing path: a picture that decodes costs
// nothing more.
#include "map/graphic_cache.h"

#include <set>

#include "map/image_files.h"

namespace zorvane {

namespace {

// Names are the project's; the game folder keeps two projects' names apart all the same.
std::string nameKey(const std::string& relativeName, const ResourceResolver& resources, int where) {
    return resources.gameFolder() + '\n' + std::to_string(where) + '\n' + relativeName;
}

uint64_t pictureBytes(const GraphicCache::Picture& picture) {
    return picture ? uint64_t(picture->width()) * uint64_t(picture->height()) * 4 : 0;
}

// Apart from the caches: the runs that own them (export, site) end before a command asks.
struct UnreadableFiles {
    std::mutex mutex;
    std::set<std::string> paths;
};

UnreadableFiles& unreadableFiles() {
    static UnreadableFiles files;
    return files;
}

void noteUnreadable(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    UnreadableFiles& files = unreadableFiles();
    std::lock_guard<std::mutex> lock(files.mutex);
    files.paths.insert(paths.begin(), paths.end());
}

}  // namespace

std::vector<std::string> takeUnreadableGraphics() {
    UnreadableFiles& files = unreadableFiles();
    std::lock_guard<std::mutex> lock(files.mutex);
    std::vector<std::string> paths(files.paths.begin(), files.paths.end());
    files.paths.clear();
    return paths;
}

GraphicCache::Picture GraphicCache::decode(const std::string& path) {
    Picture picture = shared(path);
    if (!picture) noteUnreadable({path});
    return picture;
}

GraphicCache::Picture GraphicCache::shared(const std::string& path) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (auto it = pictures_.find(path); it != pictures_.end()) {
        useOrder_.splice(useOrder_.begin(), useOrder_, it->second.use);
        std::shared_future<Picture> ready = it->second.picture;
        lock.unlock();  // another thread may still be decoding it
        return ready.get();
    }
    std::promise<Picture> decoded;
    const uint64_t serial = ++serial_;
    useOrder_.push_front(path);
    pictures_[path] = Kept{decoded.get_future().share(), 0, serial, useOrder_.begin()};
    lock.unlock();

    Bitmap32 picture;
    Picture result;
    if (decodeImageFile(path, picture))
        result = std::make_shared<const Bitmap32>(std::move(picture));
    ++decodes_;
    decoded.set_value(result);
    keep(path, serial, pictureBytes(result));
    return result;
}

void GraphicCache::keep(const std::string& path, uint64_t serial, uint64_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = pictures_.find(path);
    // Let go meanwhile to make room for others: the caller still has its picture.
    if (it == pictures_.end() || it->second.serial != serial) return;
    it->second.bytes = bytes;
    bytes_ += bytes;
    while (bytes_ > byteLimit_ && !useOrder_.empty()) {
        auto oldest = pictures_.find(useOrder_.back());
        bytes_ -= oldest->second.bytes;
        pictures_.erase(oldest);
        useOrder_.pop_back();
    }
}

GraphicCache::Picture GraphicCache::load(const std::string& relativeName,
                                         const ResourceResolver& resources, int where) {
    const std::string key = nameKey(relativeName, resources, where);
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (auto it = loaded_.find(key); it != loaded_.end()) {
            const std::string path = it->second;
            lock.unlock();
            return path.empty() ? nullptr : shared(path);
        }
    }
    Picture result;
    std::string taken;
    std::vector<std::string> unreadable;
    probeGraphic(relativeName, resources, where, [&](const std::string& path) {
        result = shared(path);
        if (result)
            taken = path;
        else
            unreadable.push_back(path);
        return result != nullptr;
    });
    // A broken file that another one stood in for cost the picture nothing.
    if (!result) noteUnreadable(unreadable);
    std::lock_guard<std::mutex> lock(mutex_);
    loaded_[key] = taken;
    return result;
}

bool GraphicCache::find(const std::string& relativeName, const ResourceResolver& resources,
                        int where, std::string& path, int& width, int& height) {
    const std::string key = nameKey(relativeName, resources, where);
    std::unique_lock<std::mutex> lock(mutex_);
    auto it = found_.find(key);
    if (it == found_.end()) {
        lock.unlock();
        Found answer;
        std::vector<std::string> unreadable;
        answer.found = findGraphic(relativeName, resources, where, answer.path, answer.width,
                                   answer.height, &unreadable);
        if (!answer.found) noteUnreadable(unreadable);
        lock.lock();
        it = found_.emplace(key, std::move(answer)).first;
    }
    if (!it->second.found) return false;
    path = it->second.path;
    width = it->second.width;
    height = it->second.height;
    return true;
}

Bitmap32 loadGraphicVia(GraphicCache* cache, const std::string& relativeName,
                        const ResourceResolver& resources, int where) {
    Bitmap32 picture;
    if (!cache)
        loadGraphic(picture, relativeName, resources, where);
    else if (auto shared = cache->load(relativeName, resources, where))
        picture = *shared;
    return picture;
}

Bitmap32 decodeImageVia(GraphicCache* cache, const std::string& path) {
    Bitmap32 picture;
    if (!cache)
        decodeImageFile(path, picture);
    else if (auto shared = cache->decode(path))
        picture = *shared;
    return picture;
}

}  // namespace zorvane

// Case-insensitive resolution of project-relative names. Each folder is listed once and
// kept until its modification time changes, so probing many names and extensions costs
// no system calls beyond one stat per folder; inside a snapshot not even that.
#include "platform/path_nocase.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>
#include <utf8proc.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/file_util.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

struct MallocFree {
    void operator()(utf8proc_uint8_t* p) const { std::free(p); }
};

struct Entry {
    std::string name;
    std::string folded;
};

struct Listing {
    timespec mtime{};
    bool racy = false;           // taken too soon after mtime to trust (timestamps are coarse)
    bool missing = false;        // no such folder (kept only inside a snapshot)
    uint64_t snapshot = 0;       // the snapshot it was checked in; 0: none
    std::vector<Entry> entries;  // sorted by name, so a tie between folds is deterministic
};

// Unicode case folding (and composition, so precomposed and decomposed forms meet);
// names that are not UTF-8 fall back to ASCII folding.
std::string foldCase(std::string_view s) {
    bool ascii = std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii) return asciiLower(s);
    utf8proc_uint8_t* mapped = nullptr;
    utf8proc_ssize_t len = utf8proc_map(
        reinterpret_cast<const utf8proc_uint8_t*>(s.data()),
        static_cast<utf8proc_ssize_t>(s.size()), &mapped,
        static_cast<utf8proc_option_t>(UTF8PROC_CASEFOLD | UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    std::unique_ptr<utf8proc_uint8_t, MallocFree> owner(mapped);
    if (len < 0) return asciiLower(s);
    return std::string(reinterpret_cast<const char*>(mapped), static_cast<size_t>(len));
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// File-system timestamps advance in clock ticks: an entry added in the same tick as the
// listing leaves mtime unchanged. A listing taken this close to mtime is not reused.
bool listedTooSoon(const timespec& mtime) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    long long ms = (now.tv_sec - mtime.tv_sec) * 1000LL + (now.tv_nsec - mtime.tv_nsec) / 1000000;
    return ms < 100;
}

class ListingCache {
  public:
    std::optional<std::string> resolve(const std::string& base,
                                       const std::vector<std::string>& parts) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::optional<std::string> path = walk(base, parts, false);
        if (!path || snapshots_ > 0 || exists(*path)) return path;
        // A hit from a stale listing (entry removed meanwhile) gets one fresh pass.
        path = walk(base, parts, true);
        if (path && exists(*path)) return path;
        return std::nullopt;
    }

    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        listings_.clear();
    }

    void beginSnapshot() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (snapshots_++ == 0) ++generation_;  // what an earlier one saw is looked at again
    }

    void endSnapshot() {
        std::lock_guard<std::mutex> lock(mutex_);
        --snapshots_;
    }

  private:
    static bool exists(const std::string& path) {
        struct stat st;
        return stat(path.c_str(), &st) == 0;
    }

    std::optional<std::string> walk(const std::string& base, const std::vector<std::string>& parts,
                                    bool fresh) {
        std::string path = base;
        for (const std::string& part : parts) {
            const Listing* listing = listingOf(path, fresh);
            if (!listing) return std::nullopt;
            const std::string* match = matchIn(*listing, part);
            if (!match) return std::nullopt;
            path = joinPath(path, *match);
        }
        return path;
    }

    const Listing* listingOf(const std::string& folder, bool fresh) {
        const uint64_t snapshot = snapshots_ > 0 ? generation_ : 0;
        auto it = listings_.find(folder);
        if (snapshot && it != listings_.end() && it->second.snapshot == snapshot)
            return it->second.missing ? nullptr : &it->second;
        struct stat st;
        if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            if (!snapshot) {
                listings_.erase(folder);
                return nullptr;
            }
            Listing& absent = listings_[folder] = Listing{};
            absent.missing = true;
            absent.snapshot = snapshot;
            return nullptr;
        }
        if (it != listings_.end() && !fresh && !it->second.missing && !it->second.racy &&
            sameTime(it->second.mtime, st.st_mtim)) {
            it->second.snapshot = snapshot;
            return &it->second;
        }
        Listing listing;
        listing.mtime = st.st_mtim;
        listing.racy = listedTooSoon(st.st_mtim);
        listing.snapshot = snapshot;
        if (!readFolder(folder, listing.entries)) {
            listings_.erase(folder);
            return nullptr;
        }
        return &(listings_[folder] = std::move(listing));
    }

    static bool readFolder(const std::string& folder, std::vector<Entry>& entries) {
        std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
        if (!dir) return false;
        while (const dirent* e = readdir(dir.get())) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            entries.push_back({name, foldCase(name)});
        }
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        return true;
    }

    static const std::string* matchIn(const Listing& listing, const std::string& part) {
        for (const Entry& e : listing.entries)
            if (e.name == part) return &e.name;
        std::string folded = foldCase(part);
        for (const Entry& e : listing.entries)
            if (e.folded == folded) return &e.name;
        return nullptr;
    }

    std::mutex mutex_;
    std::map<std::string, Listing> listings_;
    int snapshots_ = 0;        // alive now
    uint64_t generation_ = 0;  // counts the times a first one began
};

PathCache& programCache() {
    static PathCache instance;
    return instance;
}

std::vector<std::string> splitRelative(std::string_view relative) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= relative.size()) {
        size_t cut = relative.find_first_of("/\\", pos);
        if (cut == std::string_view::npos) cut = relative.size();
        std::string_view part = relative.substr(pos, cut - pos);
        if (!part.empty() && part != ".") parts.emplace_back(part);
        pos = cut + 1;
    }
    return parts;
}

}  // namespace

struct PathCache::Listings : ListingCache {};

PathCache::PathCache() : listings_(std::make_unique<Listings>()) {}

PathCache::~PathCache() = default;

std::optional<std::string> PathCache::find(const std::string& base, const std::string& relative) {
    if (!isSafeRelativeName(relative)) return std::nullopt;
    std::string root = base.empty() ? "." : base;
    return listings_->resolve(root, splitRelative(relative));
}

void PathCache::clear() {
    listings_->clear();
}

PathCache::Snapshot::Snapshot(PathCache& cache) : cache_(cache) {
    cache_.listings_->beginSnapshot();
}

PathCache::Snapshot::~Snapshot() {
    cache_.listings_->endSnapshot();
}

std::optional<std::string> findPathNoCase(const std::string& base, const std::string& relative) {
    return programCache().find(base, relative);
}

void clearPathCache() {
    programCache().clear();
}

bool isSafeRelativeName(std::string_view name) {
    if (name.find('\0') != std::string_view::npos) return false;
    if (!name.empty() && (name.front() == '/' || name.front() == '\\')) return false;
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return false;
    for (const std::string& part : splitRelative(name))
        if (part == "..") return false;
    return true;
}

std::string safeFileName(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        out += (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) ? '_' : c;
    }
    if (out.empty() || out == "." || out == "..") out.insert(out.begin(), '_');
    return out;
}

std::string boundedFileName(std::string_view stem, std::string_view extension, size_t maxBytes) {
    std::string name = safeFileName(stem);
    const size_t room = maxBytes > extension.size() ? maxBytes - extension.size() : 1;
    if (name.size() > room) {
        size_t cut = room;
        while (cut > 1 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return name.append(extension);  // the program's own extension
}

bool isRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace zorvane

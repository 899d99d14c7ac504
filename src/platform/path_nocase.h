// Resolves project-relative names on a case-sensitive file system the way the editor's
// case-insensitive one would, through a cached listing per folder.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zorvane {

// Folder listings kept until a folder's modification time changes. An opened project holds
// one for its own folders (see ResourceResolver); findPathNoCase uses the program's own.
// Safe to share between threads.
class PathCache {
  public:
    // While one is alive, a folder is looked at on disk once and its listing (or its
    // absence) then trusted: for a run over a tree it does not change (an export, a site),
    // where thousands of look-ups would each stat every folder on their way. Look-ups after
    // the last one ends see changes again. Snapshots may overlap, from any thread.
    class Snapshot {
      public:
        explicit Snapshot(PathCache& cache);
        ~Snapshot();
        Snapshot(const Snapshot&) = delete;
        Snapshot& operator=(const Snapshot&) = delete;

      private:
        PathCache& cache_;
    };

    PathCache();
    ~PathCache();
    PathCache(const PathCache&) = delete;
    PathCache& operator=(const PathCache&) = delete;

    // `relative` may use '\' or '/'. Each component is matched exactly first, then ignoring
    // letter case. Unsafe names (see isSafeRelativeName) resolve to nothing.
    std::optional<std::string> find(const std::string& base, const std::string& relative);
    // Drops every cached folder listing.
    void clear();

  private:
    struct Listings;
    std::unique_ptr<Listings> listings_;
};

// The same through the program's own cache, for files that belong to no project (settings,
// the Wine prefix, the editor's folder).
std::optional<std::string> findPathNoCase(const std::string& base, const std::string& relative);
void clearPathCache();

// False for a ".." component, a leading '/' or '\', or a drive letter.
bool isSafeRelativeName(std::string_view name);
// A file name built from project text that cannot leave its folder.
std::string safeFileName(std::string_view text);
// The longest name a folder of Linux's file systems takes (NAME_MAX), in bytes.
constexpr size_t kMaxFileNameBytes = 255;
// safeFileName(stem) + extension within maxBytes: the end of the stem is cut where a UTF-8
// character starts, so a leading number that keeps names apart survives.
std::string boundedFileName(std::string_view stem, std::string_view extension,
                            size_t maxBytes = kMaxFileNameBytes);

bool isRegularFile(const std::string& path);
bool isDirectory(const std::string& path);

}  // namespace zorvane

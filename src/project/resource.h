// Finds a game resource named the editor's way ("Graphics\Characters\Hero", no extension)
// in the game folder first, then in the run-time packages (RTP) 1 to 3, trying the image or
// audio extensions in the runtime's order. Names that would leave their folder find nothing.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "platform/path_nocase.h"

namespace zorvane {

// Where the files of one opened project are looked for: its game folder and its RTP
// folders, through the project's own cache of case-insensitive folder listings. Copies
// share the cache; nothing here is global, so two projects open side by side never see
// each other's packages.
class ResourceResolver {
  public:
    ResourceResolver();
    // RTP n (1..3) is commonFiles + "/Enterbrain/RGSS/" + rtpNames[n - 1]; with no common
    // files folder the project has no RTP folders.
    explicit ResourceResolver(std::string gameFolder, const std::string& commonFiles = {},
                              const std::array<std::string, 3>& rtpNames = {});

    const std::string& gameFolder() const { return folders_[0]; }
    // 0: the game folder, 1..3: that RTP's base folder; "" when unset or out of range.
    std::string folder(int where) const;

    // 0: game folder, 1..3: that RTP, -1: not found (outPath is then left unchanged).
    int resolve(const std::string& relativeName, std::string& outPath) const;
    // `relative` below `base` ignoring letter case, through this project's cache.
    std::optional<std::string> findPath(const std::string& base,
                                        const std::string& relative) const;
    // While it lives, this project's look-ups stat each folder once and trust what they saw
    // (see PathCache::Snapshot): for a run that reads many resources at once.
    PathCache::Snapshot fixedListings() const { return PathCache::Snapshot(*cache_); }

  private:
    std::array<std::string, 4> folders_;
    std::shared_ptr<PathCache> cache_;
};

}  // namespace zorvane

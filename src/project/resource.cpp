#include "project/resource.h"

#include "platform/path_nocase.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

const std::array<const char*, 4> kImageExtensions = {"png", "jpg", "jpeg", "bmp"};
const std::array<const char*, 5> kAudioExtensions = {"mid", "ogg", "wma", "mp3", "wav"};

bool startsWithFolder(const std::string& name, std::string_view folder) {
    return startsWithNoCase(name, folder) && name.size() > folder.size() &&
           (name[folder.size()] == '\\' || name[folder.size()] == '/');
}

}  // namespace

ResourceResolver::ResourceResolver() : cache_(std::make_shared<PathCache>()) {}

ResourceResolver::ResourceResolver(std::string gameFolder, const std::string& commonFiles,
                                   const std::array<std::string, 3>& rtpNames)
    : ResourceResolver() {
    folders_[0] = std::move(gameFolder);
    if (commonFiles.empty()) return;
    for (size_t n = 1; n <= 3; ++n) {
        const std::string& name = rtpNames[n - 1];
        std::string folder = commonFiles + "/Enterbrain/RGSS";
        // A package name from Game.ini never climbs out of the RGSS folder.
        if (!name.empty()) folder += "/" + (isSafeRelativeName(name) ? name : safeFileName(name));
        folders_[n] = folder;
    }
}

std::string ResourceResolver::folder(int where) const {
    if (where < 0 || where > 3) return {};
    return folders_[static_cast<size_t>(where)];
}

std::optional<std::string> ResourceResolver::findPath(const std::string& base,
                                                      const std::string& relative) const {
    return cache_->find(base, relative);
}

int ResourceResolver::resolve(const std::string& relativeName, std::string& outPath) const {
    if (relativeName.empty() || !isSafeRelativeName(relativeName)) return -1;
    const char* const* exts = nullptr;
    size_t extCount = 0;
    if (startsWithFolder(relativeName, "Graphics")) {
        exts = kImageExtensions.data();
        extCount = kImageExtensions.size();
    } else if (startsWithFolder(relativeName, "Audio")) {
        exts = kAudioExtensions.data();
        extCount = kAudioExtensions.size();
    }
    auto findFile = [&](const std::string& base, const std::string& relative) {
        auto hit = findPath(base, relative);
        if (hit && isRegularFile(*hit)) {
            outPath = *hit;
            return true;
        }
        return false;
    };
    for (int b = 0; b < 4; ++b) {
        const std::string& base = folders_[static_cast<size_t>(b)];
        if (base.empty()) continue;
        if (extCount == 0) {
            if (findFile(base, relativeName)) return b;
            continue;
        }
        for (size_t e = 0; e < extCount; ++e)
            if (findFile(base, relativeName + "." + exts[e])) return b;
    }
    return -1;
}

}  // namespace zorvane

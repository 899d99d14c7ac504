// Finding a game graphic in the project folder or an RTP and decoding it. Each folder is
// probed extension by extension, ignoring letter case as the editor's file system does,
// and a file that fails to decode lets the next extension (then the next folder) try.
#include <functional>

#include "map/image_files.h"
#include "platform/path_nocase.h"

namespace zorvane {

bool probeGraphic(const std::string& relativeName, const ResourceResolver& resources, int where,
                  const std::function<bool(const std::string& path)>& accept) {
    // Project text never chooses a file outside the game and RTP folders.
    if (relativeName.empty() || !isSafeRelativeName(relativeName)) return false;
    if (where < -1 || where > 3) return false;
    const int first = where == -1 ? 0 : where, last = where == -1 ? 3 : where;
    for (int n = first; n <= last; ++n) {
        const std::string base = resources.folder(n);
        if (base.empty()) continue;
        for (const char* extension : kGraphicExtensions) {
            auto hit = resources.findPath(base, relativeName + extension);
            if (hit && isRegularFile(*hit) && accept(*hit)) return true;
        }
    }
    return false;
}

bool findGraphic(const std::string& relativeName, const ResourceResolver& resources, int where,
                 std::string& path, int& width, int& height,
                 std::vector<std::string>* unreadable) {
    return probeGraphic(relativeName, resources, where, [&](const std::string& hit) {
        if (!readImageSize(hit, width, height)) {
            if (unreadable) unreadable->push_back(hit);
            return false;
        }
        path = hit;
        return true;
    });
}

bool loadGraphic(Bitmap32& out, const std::string& relativeName,
                 const ResourceResolver& resources, int where) {
    out.reset();
    if (probeGraphic(relativeName, resources, where,
                     [&](const std::string& hit) { return decodeImageFile(hit, out); }))
        return true;
    out.reset();
    return false;
}

}  // namespace zorvane

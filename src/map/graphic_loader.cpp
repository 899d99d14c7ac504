// Finding a game graphic in the project folder or an RTP and decoding it. Each folder is
// probed extension by extension, ignoring letter case as the editor's file system does,
// and a file that fails to decode lets the next extension (then the next folder) try.
#include "map/image_files.h"
#include "platform/path_nocase.h"

namespace zorvane {

namespace {

bool loadFromFolder(Bitmap32& out, const std::string& relativeName,
                    const ResourceResolver& resources, int where) {
    const std::string base = resources.folder(where);
    if (base.empty()) return false;
    for (const char* extension : kGraphicExtensions) {
        auto hit = resources.findPath(base, relativeName + extension);
        if (hit && isRegularFile(*hit) && decodeImageFile(*hit, out)) return true;
    }
    return false;
}

bool findInFolder(const std::string& relativeName, const ResourceResolver& resources, int where,
                  std::string& path, int& width, int& height) {
    const std::string base = resources.folder(where);
    if (base.empty()) return false;
    for (const char* extension : kGraphicExtensions) {
        auto hit = resources.findPath(base, relativeName + extension);
        if (hit && isRegularFile(*hit) && readImageSize(*hit, width, height)) {
            path = *hit;
            return true;
        }
    }
    return false;
}

}  // namespace

bool findGraphic(const std::string& relativeName, const ResourceResolver& resources, int where,
                 std::string& path, int& width, int& height) {
    if (relativeName.empty() || !isSafeRelativeName(relativeName)) return false;
    if (where >= 0 && where <= 3)
        return findInFolder(relativeName, resources, where, path, width, height);
    if (where != -1) return false;
    for (int n = 0; n <= 3; ++n)
        if (findInFolder(relativeName, resources, n, path, width, height))
            return true;
    return false;
}

bool loadGraphic(Bitmap32& out, const std::string& relativeName,
                 const ResourceResolver& resources, int where) {
    out.reset();
    // Project text never chooses a file outside the game and RTP folders.
    if (relativeName.empty() || !isSafeRelativeName(relativeName)) return false;
    if (where >= 0 && where <= 3)
        return loadFromFolder(out, relativeName, resources, where);
    if (where != -1) return false;
    for (int n = 0; n <= 3; ++n)
        if (loadFromFolder(out, relativeName, resources, n)) return true;
    out.reset();
    return false;
}

}  // namespace zorvane

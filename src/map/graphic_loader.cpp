// Finding a game graphic in the project folder or an RTP and decoding it. Each folder is
// probed extension by extension, ignoring letter case as the editor's file system does,
// and a file that fails to decode lets the next extension (then the next folder) try.
#include "map/image_files.h"
#include "platform/path_nocase.h"
#include "project/resource.h"

namespace zorvane {

namespace {

bool loadFromFolder(Bitmap32& out, const std::string& relativeName, const std::string& base) {
    if (base.empty()) return false;
    for (const char* extension : kGraphicExtensions) {
        auto hit = findPathNoCase(base, relativeName + extension);
        if (hit && isRegularFile(*hit) && decodeImageFile(*hit, out)) return true;
    }
    return false;
}

bool findInFolder(const std::string& relativeName, const std::string& base, std::string& path,
                  int& width, int& height) {
    if (base.empty()) return false;
    for (const char* extension : kGraphicExtensions) {
        auto hit = findPathNoCase(base, relativeName + extension);
        if (hit && isRegularFile(*hit) && readImageSize(*hit, width, height)) {
            path = *hit;
            return true;
        }
    }
    return false;
}

std::string baseFolder(int where, const std::string& projectFolder) {
    return where == 0 ? projectFolder : rtpFolder(where);
}

}  // namespace

bool findGraphic(const std::string& relativeName, const std::string& projectFolder, int where,
                 std::string& path, int& width, int& height) {
    if (relativeName.empty() || !isSafeRelativeName(relativeName)) return false;
    if (where >= 0 && where <= 3)
        return findInFolder(relativeName, baseFolder(where, projectFolder), path, width, height);
    if (where != -1) return false;
    for (int n = 0; n <= 3; ++n)
        if (findInFolder(relativeName, baseFolder(n, projectFolder), path, width, height))
            return true;
    return false;
}

bool loadGraphic(Bitmap32& out, const std::string& relativeName, const std::string& projectFolder,
                 int where) {
    out.reset();
    // Project text never chooses a file outside the game and RTP folders.
    if (relativeName.empty() || !isSafeRelativeName(relativeName)) return false;
    if (where >= 0 && where <= 3)
        return loadFromFolder(out, relativeName, baseFolder(where, projectFolder));
    if (where != -1) return false;
    for (int n = 0; n <= 3; ++n)
        if (loadFromFolder(out, relativeName, baseFolder(n, projectFolder))) return true;
    out.reset();
    return false;
}

}  // namespace zorvane

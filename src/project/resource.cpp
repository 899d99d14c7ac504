#include "project/resource.h"

#include <array>
#include <cctype>
#include <mutex>
#include <optional>

#include "platform/folders.h"
#include "platform/path_nocase.h"

namespace zorvane {

namespace {

std::mutex gRtpMutex;
std::array<std::string, 4> gRtpFolders;  // [1]..[3] used

const std::array<const char*, 4> kImageExtensions = {"png", "jpg", "jpeg", "bmp"};
const std::array<const char*, 5> kAudioExtensions = {"mid", "ogg", "wma", "mp3", "wav"};

bool startsWithNoCase(const std::string& s, const char* prefix) {
    for (size_t i = 0; prefix[i]; ++i)
        if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) !=
                                 std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool startsWithFolder(const std::string& name, const char* folder) {
    return startsWithNoCase(name, folder) &&
           (name.size() > std::char_traits<char>::length(folder)) &&
           (name[std::char_traits<char>::length(folder)] == '\\' ||
            name[std::char_traits<char>::length(folder)] == '/');
}

std::optional<std::string> findFile(const std::string& base, const std::string& relative) {
    auto hit = findPathNoCase(base, relative);
    if (hit && isRegularFile(*hit)) return hit;
    return std::nullopt;
}

}  // namespace

void setRtpFolder(int n, const std::string& name) {
    if (n < 1 || n > 3) return;
    std::string folder = commonFilesFolder() + "/Enterbrain/RGSS";
    // A package name from Game.ini never climbs out of the RGSS folder.
    if (!name.empty()) folder += "/" + (isSafeRelativeName(name) ? name : safeFileName(name));
    std::lock_guard<std::mutex> lock(gRtpMutex);
    gRtpFolders[static_cast<size_t>(n)] = folder;
}

std::string rtpFolder(int n) {
    if (n < 1 || n > 3) return {};
    std::lock_guard<std::mutex> lock(gRtpMutex);
    return gRtpFolders[static_cast<size_t>(n)];
}

int resolveResource(const std::string& relativeName, const std::string& gameFolder,
                    std::string& outPath) {
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
    std::array<std::string, 4> bases = {gameFolder, rtpFolder(1), rtpFolder(2), rtpFolder(3)};
    for (int b = 0; b < 4; ++b) {
        const std::string& base = bases[static_cast<size_t>(b)];
        if (base.empty()) continue;
        if (extCount == 0) {
            if (auto hit = findFile(base, relativeName)) {
                outPath = *hit;
                return b;
            }
            continue;
        }
        for (size_t e = 0; e < extCount; ++e) {
            if (auto hit = findFile(base, relativeName + "." + exts[e])) {
                outPath = *hit;
                return b;
            }
        }
    }
    return -1;
}

}  // namespace zorvane

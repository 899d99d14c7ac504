// Small file and path helpers shared by the platform layer and its users.
#include "platform/file_util.h"

#include <cstdio>
#include <memory>

namespace zorvane {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

bool readWholeFile(const std::string& path, std::string& out) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    std::string bytes;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
    if (std::ferror(file.get())) return false;
    out = std::move(bytes);
    return true;
}

std::string folderOf(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return "";
    if (cut == 0) return path.substr(0, 1);  // keep the root
    return path.substr(0, cut);
}

std::string joinPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    bool aEnds = a.back() == '/' || a.back() == '\\';
    bool bStarts = b.front() == '/' || b.front() == '\\';
    if (aEnds && bStarts) return a + b.substr(1);
    if (aEnds || bStarts) return a + b;
    return a + "/" + b;
}

}  // namespace zorvane

// Small file and path helpers shared by the platform layer and its users.
#include "platform/file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zorvane {

namespace {

void setError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

std::string tooLargeText(uint64_t size, uint64_t maxBytes) {
    return "file too large (" + std::to_string(size) + " bytes, at most " +
           std::to_string(maxBytes) + ")";
}

}  // namespace

StdioFile openRegularFile(const std::string& path, uint64_t maxBytes, std::string* error,
                          uint64_t* size) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setError(error, "cannot open");
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        setError(error, "not a regular file");
        return nullptr;
    }
    if (uint64_t(st.st_size) > maxBytes) {
        ::close(fd);
        setError(error, tooLargeText(uint64_t(st.st_size), maxBytes));
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    StdioFile file(fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        setError(error, "cannot open");
        return nullptr;
    }
    if (size) *size = uint64_t(st.st_size);
    return file;
}

bool readRegularFile(const std::string& path, uint64_t maxBytes, std::string& out,
                     std::string* error) {
    uint64_t size = 0;
    StdioFile file = openRegularFile(path, maxBytes, error, &size);
    out.clear();
    if (!file) return false;
    // Read into `out` itself: a caller that reuses its buffer keeps the capacity.
    out.resize(size_t(size));
    out.resize(std::fread(out.data(), 1, out.size(), file.get()));
    // The file may have grown since it was measured: read on, still within the limit.
    char buffer[65536];
    size_t more;
    while ((more = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        if (out.size() + more > maxBytes) {
            setError(error, tooLargeText(out.size() + more, maxBytes));
            out.clear();
            return false;
        }
        out.append(buffer, more);
    }
    if (std::ferror(file.get())) {
        setError(error, "read error");
        out.clear();
        return false;
    }
    return true;
}

bool readWholeFile(const std::string& path, std::string& out) {
    return readRegularFile(path, kMaxSmallFileBytes, out);
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

// AtomicFileWriter: temporary file next to the target, renamed into place on success.
#include "map/atomic_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace zorvane {

namespace {

// A hidden name in the target's folder; pid and a counter keep parallel writers apart.
std::string temporaryName(const std::string& path, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + base + ".tmp" + std::to_string(getpid()) + "_" +
           std::to_string(counter++) + "_" + std::to_string(attempt);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path) : path_(path) {
    if (path.empty() || path.back() == '/') return;
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temporaryName(path, attempt);
        // 0666 so that the umask decides the final permissions, as for any new file.
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return;
        }
        file_ = ::fdopen(fd, "wb");
        if (!file_) {
            ::close(fd);
            ::unlink(candidate.c_str());
            return;
        }
        tempPath_ = candidate;
        return;
    }
}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

bool AtomicFileWriter::write(const void* data, size_t size) {
    return file_ && (size == 0 || std::fwrite(data, 1, size, file_) == size);
}

bool AtomicFileWriter::commit() {
    if (!file_) return false;
    bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
    ok = ::fsync(::fileno(file_)) == 0 && ok;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok && ::rename(tempPath_.c_str(), path_.c_str()) == 0) {
        tempPath_.clear();
        return true;
    }
    discard();
    return false;
}

void AtomicFileWriter::discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace zorvane

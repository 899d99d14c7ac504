// Write to a temporary file beside the target, then rename: readers see either the old
// file or the complete new one.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/file_util.h"

namespace zorvane {

namespace {

// A symlinked target is replaced through its link, not by a plain file.
std::string resolveTarget(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buffer[PATH_MAX];
    if (realpath(path.c_str(), buffer) == nullptr) return path;
    return buffer;
}

// A short random name in the target's folder: derived from the target's name it could
// pass the 255-byte limit of a name, and a predictable one invites a planted link (the
// file is created with O_EXCL all the same).
std::string tempNameFor(const std::string& path) {
    thread_local std::mt19937_64 random{std::random_device{}() ^ (uint64_t(getpid()) << 32)};
    char name[32];
    std::snprintf(name, sizeof name, ".zv%016llx.tmp", static_cast<unsigned long long>(random()));
    std::string folder = folderOf(path);
    return folder.empty() ? std::string(name) : joinPath(folder, name);
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() {
    abort();
}

bool AtomicFileWriter::open(const std::string& path) {
    abort();
    failed_ = false;
    path_ = resolveTarget(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = tempNameFor(path_);
        // 0666 so the umask decides the mode, as for any newly created file.
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            failed_ = true;
            return false;
        }
        struct stat st;
        if (stat(path_.c_str(), &st) == 0) fchmod(fd, st.st_mode & 07777);
        file_.reset(fdopen(fd, "wb"));
        if (!file_) {
            ::close(fd);
            unlink(temp.c_str());
            failed_ = true;
            return false;
        }
        tempPath_ = temp;
        return true;
    }
    failed_ = true;
    return false;
}

bool AtomicFileWriter::write(std::string_view bytes) {
    if (!file_ || failed_) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size())
        failed_ = true;
    return !failed_;
}

bool AtomicFileWriter::sync() {
    if (!file_ || failed_) return false;
    if (std::fflush(file_.get()) != 0 || fsync(fileno(file_.get())) != 0) failed_ = true;
    return !failed_;
}

bool AtomicFileWriter::commit() {
    if (!file_ || failed_) {
        abort();
        return false;
    }
    bool ok = std::fflush(file_.get()) == 0;
    // Replacing an existing file: make the new bytes durable before the old ones go.
    struct stat st;
    if (ok && stat(path_.c_str(), &st) == 0) ok = fsync(fileno(file_.get())) == 0;
    ok = (std::fclose(file_.release()) == 0) && ok;
    if (ok) ok = std::rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        failed_ = true;
        unlink(tempPath_.c_str());
    }
    tempPath_.clear();
    return ok;
}

void AtomicFileWriter::abort() {
    file_.reset();
    if (!tempPath_.empty()) unlink(tempPath_.c_str());
    tempPath_.clear();
}

bool writeFileAtomic(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer;
    return writer.open(path) && writer.write(bytes) && writer.commit();
}

}  // namespace zorvane

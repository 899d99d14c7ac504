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
std::string tempName() {
    thread_local std::mt19937_64 random{std::random_device{}() ^ (uint64_t(getpid()) << 32)};
    char name[32];
    std::snprintf(name, sizeof name, ".zv%016llx.tmp", static_cast<unsigned long long>(random()));
    return name;
}

std::string tempNameFor(const std::string& path) {
    std::string folder = folderOf(path);
    return folder.empty() ? tempName() : joinPath(folder, tempName());
}

// The last part of a relative path, without its separators.
std::string lastPart(const std::string& relative) {
    size_t end = relative.find_last_not_of("/\\");
    if (end == std::string::npos) return "";
    size_t start = relative.find_last_of("/\\", end);
    start = start == std::string::npos ? 0 : start + 1;
    return relative.substr(start, end + 1 - start);
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() {
    abort();
}

bool AtomicFileWriter::open(const std::string& path, const std::string& root) {
    return root.empty() ? open(path) : openBeneath(path, root, nullptr);
}

bool AtomicFileWriter::open(const std::string& path, FolderTree& folders) {
    return openBeneath(path, folders.root(), &folders);
}

bool AtomicFileWriter::openBeneath(const std::string& path, const std::string& root,
                                   FolderTree* folders) {
    abort();
    failed_ = false;
    refusedLink_.clear();
    if (reachFolder(path, root, folders) && openInFolder(path)) return true;
    folder_.reset();
    failed_ = true;
    return false;
}

// The folder of path beneath root, through `folders` when given; name_ is set.
bool AtomicFileWriter::reachFolder(const std::string& path, const std::string& root,
                                   FolderTree* folders) {
    std::string relative;
    if (!relativeBeneath(root, path, relative)) return false;
    name_ = lastPart(relative);
    if (name_.empty() || name_ == "." || name_ == "..") return false;
    const std::string parent = relative.substr(0, relative.rfind(name_));
    BeneathResult walk;
    if (folders != nullptr) {
        folder_ = folders->folderAt(parent, false, walk);
    } else {
        auto fd = std::make_shared<UniqueFd>();
        walk = openFolderBeneath(root, parent, false, *fd);
        folder_ = std::move(fd);
    }
    if (walk.status == BeneathStatus::Link) refusedLink_ = walk.where;
    return walk.ok();
}

// The temporary file beside name_ in the folder reached.
bool AtomicFileWriter::openInFolder(const std::string& path) {
    const int folder = folderFd();
    struct stat st;
    const bool exists = fstatat(folder, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        refusedLink_ = path;
        return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = tempName();
        int fd = openat(folder, temp.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (exists && S_ISREG(st.st_mode)) fchmod(fd, st.st_mode & 07777);
        file_.reset(fdopen(fd, "wb"));
        if (!file_) {
            ::close(fd);
            unlinkat(folder, temp.c_str(), 0);
            return false;
        }
        path_ = path;
        tempName_ = temp;
        tempPath_ = joinPath(folderOf(path), temp);
        return true;
    }
    return false;
}

bool AtomicFileWriter::open(const std::string& path) {
    abort();
    failed_ = false;
    refusedLink_.clear();
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
    const bool replacing =
        folder_ ? fstatat(folderFd(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
                        : stat(path_.c_str(), &st) == 0;
    if (ok && replacing) ok = fsync(fileno(file_.get())) == 0;
    ok = (std::fclose(file_.release()) == 0) && ok;
    // renameat() replaces a link planted at the name since open() rather than follow it.
    if (ok)
        ok = folder_ ? renameat(folderFd(), tempName_.c_str(), folderFd(), name_.c_str()) == 0
                 : std::rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        failed_ = true;
        removeTemp();
    }
    tempPath_.clear();
    folder_.reset();
    return ok;
}

void AtomicFileWriter::abort() {
    file_.reset();
    removeTemp();
    tempPath_.clear();
    folder_.reset();
}

void AtomicFileWriter::removeTemp() {
    if (tempPath_.empty()) return;
    if (folder_)
        unlinkat(folderFd(), tempName_.c_str(), 0);
    else
        unlink(tempPath_.c_str());
}

bool writeFileAtomic(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer;
    return writer.open(path) && writer.write(bytes) && writer.commit();
}

bool writeFileAtomic(const std::string& path, std::string_view bytes, const std::string& root) {
    AtomicFileWriter writer;
    return writer.open(path, root) && writer.write(bytes) && writer.commit();
}

bool writeFileAtomic(const std::string& path, std::string_view bytes, FolderTree& folders) {
    AtomicFileWriter writer;
    return writer.open(path, folders) && writer.write(bytes) && writer.commit();
}

}  // namespace zorvane

// Write to a temporary file beside the target, then rename: readers see either the old
// file or the complete new one.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>  // renameat2
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

// Writes all of `bytes`, through short writes and interruptions.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
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
    if (reachFolder(path, root, folders) && openInFolder(path, folderMade_)) return true;
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
    folderMade_ = walk.made;
    return walk.ok();
}

// The temporary file beside name_ in the folder reached. In a folder this run made, the
// target's name is not looked up first: commit() finds anything put there since.
bool AtomicFileWriter::openInFolder(const std::string& path, bool folderMade) {
    const int folder = folderFd();
    struct stat st;
    targetExisted_ =
        !folderMade && fstatat(folder, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (targetExisted_ && S_ISLNK(st.st_mode)) {
        refusedLink_ = path;
        return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = tempName();
        fd_.reset(openat(folder, temp.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!fd_.valid()) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (targetExisted_ && S_ISREG(st.st_mode)) fchmod(fd_.get(), st.st_mode & 07777);
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
        fd_.reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd_.valid()) {
            if (errno == EEXIST) continue;
            failed_ = true;
            return false;
        }
        struct stat st;
        targetExisted_ = stat(path_.c_str(), &st) == 0;
        if (targetExisted_) fchmod(fd_.get(), st.st_mode & 07777);
        tempPath_ = temp;
        return true;
    }
    failed_ = true;
    return false;
}

bool AtomicFileWriter::write(std::string_view bytes) {
    if (!fd_.valid() || failed_) return false;
    if (buffer_.size() + bytes.size() > kBufferBytes && !flush()) return false;
    if (bytes.size() >= kBufferBytes) {
        if (!writeAll(fd_.get(), bytes)) failed_ = true;
    } else {
        buffer_.append(bytes);
    }
    return !failed_;
}

bool AtomicFileWriter::flush() {
    if (!buffer_.empty() && !writeAll(fd_.get(), buffer_)) failed_ = true;
    buffer_.clear();
    return !failed_;
}

bool AtomicFileWriter::sync() {
    if (!fd_.valid() || failed_) return false;
    if (!flush() || fsync(fd_.get()) != 0) failed_ = true;
    return !failed_;
}

bool AtomicFileWriter::commit() {
    if (!fd_.valid() || failed_) {
        abort();
        return false;
    }
    // Replacing a file: make the new bytes durable before the old ones go.
    bool ok = flush() && (!targetExisted_ || fsync(fd_.get()) == 0);
    ok = ::close(fd_.release()) == 0 && ok;
    if (ok) ok = placeFile();
    if (!ok) {
        failed_ = true;
        removeTemp();
    }
    tempPath_.clear();
    folder_.reset();
    return ok;
}

// Renames the closed temporary file into place. Where open() found no target the rename
// refuses to replace one, so whatever came there since (a planted link included) is met
// as open() would have met it.
bool AtomicFileWriter::placeFile() {
    const int folder = folder_ ? folderFd() : AT_FDCWD;
    const std::string& from = folder_ ? tempName_ : tempPath_;
    const std::string& to = folder_ ? name_ : path_;
    if (targetExisted_) return renameat(folder, from.c_str(), folder, to.c_str()) == 0;
    if (renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename, or a target that appeared.
    struct stat st;
    if (fstatat(folder, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return renameat(folder, from.c_str(), folder, to.c_str()) == 0;
    if (S_ISLNK(st.st_mode) && folder_) {
        refusedLink_ = path_;
        return false;
    }
    return replaceTarget() && renameat(folder, from.c_str(), folder, to.c_str()) == 0;
}

// The closed temporary file takes the mode of the file it replaces and is made durable.
bool AtomicFileWriter::replaceTarget() {
    const int folder = folder_ ? folderFd() : AT_FDCWD;
    const std::string& to = folder_ ? name_ : path_;
    UniqueFd fd(openat(folder, folder_ ? tempName_.c_str() : tempPath_.c_str(),
                       O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) return false;
    struct stat st;
    if (fstatat(folder, to.c_str(), &st, folder_ ? AT_SYMLINK_NOFOLLOW : 0) == 0 &&
        S_ISREG(st.st_mode))
        fchmod(fd.get(), st.st_mode & 07777);
    return fsync(fd.get()) == 0;
}

void AtomicFileWriter::abort() {
    fd_.reset();
    buffer_.clear();
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

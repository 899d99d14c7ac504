// Descends from the root one openat() at a time: a path string resolved by the kernel would
// follow any link on its way, and checking with lstat() first would leave a gap in which
// the link can be planted.
#include "platform/beneath_root.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/file_util.h"

namespace zorvane {

namespace {

std::vector<std::string> partsOf(const std::string& relative) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : relative + "/") {
        if (c != '/' && c != '\\') {
            part += c;
        } else {
            if (!part.empty() && part != ".") parts.push_back(part);
            part.clear();
        }
    }
    return parts;
}

bool isLink(int folder, const std::string& name) {
    struct stat st;
    return fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

// Why `name` in `folder` would not open as a folder.
BeneathStatus statusOf(int folder, const std::string& name, int error) {
    struct stat st;
    if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return error == ENOENT ? BeneathStatus::Missing : BeneathStatus::Failed;
    if (S_ISLNK(st.st_mode)) return BeneathStatus::Link;
    if (!S_ISDIR(st.st_mode)) return BeneathStatus::NotFolder;
    return BeneathStatus::Failed;
}

}  // namespace

void UniqueFd::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

bool relativeBeneath(const std::string& root, const std::string& path, std::string& relative) {
    if (root.empty() || path.size() <= root.size() || path.compare(0, root.size(), root) != 0)
        return false;
    const bool rootEnds = root.back() == '/' || root.back() == '\\';
    const char next = path[root.size()];
    if (!rootEnds && next != '/' && next != '\\') return false;
    relative = path.substr(root.size());
    return true;
}

BeneathResult openFolderBeneath(const std::string& root, const std::string& relative, bool create,
                                UniqueFd& folder) {
    BeneathResult result;
    result.where = root;
    folder.reset(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        result.status = errno == ENOENT ? BeneathStatus::Missing : BeneathStatus::Failed;
        return result;
    }
    for (const std::string& part : partsOf(relative)) {
        result.where = joinPath(result.where, part);
        // A part from outside (a resource name) never climbs: ".." would leave the root.
        if (part == "..") {
            result.status = BeneathStatus::Failed;
            return result;
        }
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int next = openat(folder.get(), part.c_str(), flags);
        result.made = false;
        if (next < 0 && errno == ENOENT && create) {
            if (mkdirat(folder.get(), part.c_str(), 0777) == 0)
                result.made = true;
            else if (errno != EEXIST) {
                result.status = BeneathStatus::Failed;
                return result;
            }
            next = openat(folder.get(), part.c_str(), flags);
        }
        if (next < 0) {
            result.status = statusOf(folder.get(), part, errno);
            return result;
        }
        folder.reset(next);
    }
    return result;
}

BeneathResult ensureFolderBeneath(const std::string& root, const std::string& path) {
    std::string relative;
    if (path == root)
        relative.clear();
    else if (!relativeBeneath(root, path, relative))
        return {BeneathStatus::Failed, path};
    UniqueFd folder;
    return openFolderBeneath(root, relative, true, folder);
}

std::string linkBeneath(const std::string& root, const std::string& path) {
    std::string relative;
    if (!relativeBeneath(root, path, relative)) return "";
    const std::string parent = folderOf(relative);
    UniqueFd folder;
    BeneathResult walk = openFolderBeneath(root, parent, false, folder);
    if (walk.status == BeneathStatus::Link) return walk.where;
    if (!walk.ok()) return "";
    const std::string name = relative.substr(parent.size());
    std::vector<std::string> last = partsOf(name);
    if (last.empty() || !isLink(folder.get(), last.back())) return "";
    return path;
}

std::shared_ptr<const UniqueFd> FolderTree::folder(const std::string& path, bool create,
                                                   BeneathResult& result) {
    std::string relative;
    if (path != root_ && !relativeBeneath(root_, path, relative)) {
        result = {BeneathStatus::Failed, path};
        return nullptr;
    }
    return folderAt(relative, create, result);
}

std::shared_ptr<const UniqueFd> FolderTree::folderAt(const std::string& relative, bool create,
                                                     BeneathResult& result) {
    std::string key;  // "a/b" however the parts were separated
    for (const std::string& part : partsOf(relative)) key += (key.empty() ? "" : "/") + part;
    result = {};
    result.where = root_;
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->key != key) continue;
        open_.splice(open_.begin(), open_, it);
        result.made = it->made;
        return it->fd;
    }
    auto fd = std::make_shared<UniqueFd>();
    result = openFolderBeneath(root_, key, create, *fd);
    if (!result.ok()) return nullptr;
    open_.push_front({key, fd, result.made});
    if (open_.size() > keep_) open_.pop_back();  // closed when its last writer is done
    return fd;
}

}  // namespace zorvane

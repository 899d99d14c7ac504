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

namespace {

// Descends `parts` from the open folder `start` (at `where`, made by this run when
// `startMade`); the folder reached goes into `folder`, `start` stays open.
BeneathResult descend(int start, const std::string& where, bool startMade,
                      const std::vector<std::string>& parts, bool create, UniqueFd& folder) {
    BeneathResult result;
    result.where = where;
    result.made = startMade;
    int current = start;
    for (const std::string& part : parts) {
        result.where = joinPath(result.where, part);
        // A part from outside (a resource name) never climbs: ".." would leave the root.
        if (part == "..") {
            result.status = BeneathStatus::Failed;
            return result;
        }
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        // In a folder this run made, a missing part is the rule: make it before looking.
        const bool parentMade = result.made;
        result.made = false;
        int next = -1;
        bool look = true;  // openat once more after making it (or finding it made)
        if (create && parentMade) {
            if (mkdirat(current, part.c_str(), 0777) == 0)
                result.made = true;
            else if (errno != EEXIST) {
                result.status = BeneathStatus::Failed;
                return result;
            }
        } else {
            next = openat(current, part.c_str(), flags);
            look = next < 0 && errno == ENOENT && create;
            if (look) {
                if (mkdirat(current, part.c_str(), 0777) == 0)
                    result.made = true;
                else if (errno != EEXIST) {
                    result.status = BeneathStatus::Failed;
                    return result;
                }
            }
        }
        if (look) next = openat(current, part.c_str(), flags);
        if (next < 0) {
            result.status = statusOf(current, part, errno);
            return result;
        }
        folder.reset(next);
        current = next;
    }
    return result;
}

}  // namespace

BeneathResult openFolderBeneath(const std::string& root, const std::string& relative, bool create,
                                UniqueFd& folder) {
    BeneathResult result;
    result.where = root;
    folder.reset(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        result.status = errno == ENOENT ? BeneathStatus::Missing : BeneathStatus::Failed;
        return result;
    }
    UniqueFd reached;
    result = descend(folder.get(), root, false, partsOf(relative), create, reached);
    if (reached.valid()) folder = std::move(reached);
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
    // keys[i]: "a/b" of the first i parts, however they were separated; keys[0] the root.
    const std::vector<std::string> parts = partsOf(relative);
    std::vector<std::string> keys{""};
    for (const std::string& part : parts) keys.push_back(keys.size() == 1 ? part : keys.back() + "/" + part);
    result = {};
    result.where = root_;
    std::lock_guard<std::mutex> lock(mutex_);
    auto held = [&](const std::string& key) {
        for (auto it = open_.begin(); it != open_.end(); ++it)
            if (it->key == key) return it;
        return open_.end();
    };
    // The nearest folder on the way that is held open is where the descent starts, and each
    // level below it is held too: the folder of a map is then one level below one already
    // open, not a walk from the root.
    size_t depth = keys.size();
    auto start = open_.end();
    while (depth-- > 0 && (start = held(keys[depth])) == open_.end()) {
    }
    std::shared_ptr<const UniqueFd> fd;
    bool made = false;
    if (start != open_.end()) {
        open_.splice(open_.begin(), open_, start);
        fd = start->fd;
        made = start->made;
    } else {
        auto root = std::make_shared<UniqueFd>();
        result = openFolderBeneath(root_, "", create, *root);
        if (!result.ok()) return nullptr;
        fd = root;
        depth = 0;
        open_.push_front({"", fd, false});
    }
    result.made = made;
    if (depth + 1 == keys.size()) return fd;  // held already
    result.where = depth == 0 ? root_ : joinPath(root_, keys[depth]);
    for (size_t level = depth + 1; level < keys.size(); ++level) {
        auto next = std::make_shared<UniqueFd>();
        BeneathResult step =
            descend(fd->get(), result.where, result.made, {parts[level - 1]}, create, *next);
        result = step;
        if (!result.ok()) return nullptr;
        fd = next;
        open_.push_front({keys[level], fd, result.made});
        if (open_.size() > keep_) open_.pop_back();  // closed when its last writer is done
    }
    return fd;
}

}  // namespace zorvane

// Writing beneath a folder the user chose, where nothing below it is trusted (a game
// folder from a forum, an output folder others can write to): every level is opened
// without following a link, so a link planted there never sends a write, or a new folder,
// elsewhere. The root itself is the user's word and may be a link.
#pragma once

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace zorvane {

// A file descriptor closed with its owner.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);

  private:
    int fd_ = -1;
};

enum class BeneathStatus {
    Ok,
    Link,       // `where` is a symbolic link
    NotFolder,  // `where` exists and is not a folder
    Missing,    // `where` does not exist (and was not to be made)
    Failed,     // `where` could not be opened or made
};

struct BeneathResult {
    BeneathStatus status = BeneathStatus::Ok;
    std::string where;  // the root joined with the parts up to the one at fault
    // The folder reached was made by this call (or, from a FolderTree, by the tree): nothing
    // in it predates the run, so a file's name there need not be looked up before writing.
    bool made = false;
    bool ok() const { return status == BeneathStatus::Ok; }
};

// The part of `path` below `root` when path starts with root and a separator.
bool relativeBeneath(const std::string& root, const std::string& path, std::string& relative);

// Opens the folder root/relative (parts split on '/' and '\'), each level after the root
// with O_NOFOLLOW | O_DIRECTORY; with `create`, missing levels are made on the way.
BeneathResult openFolderBeneath(const std::string& root, const std::string& relative, bool create,
                                UniqueFd& folder);

// Makes the folder `path` and its missing parents, none of them through a link below root.
// A path outside root is refused as Failed.
BeneathResult ensureFolderBeneath(const std::string& root, const std::string& path);

// The first symbolic link on the way from root to `path`, `path` itself included; "" when
// there is none (or path is not beneath root).
std::string linkBeneath(const std::string& root, const std::string& path);

// The folders of one output tree, each reached once as openFolderBeneath reaches it and then
// held open, so that the many files of a folder are made relative to it instead of walking
// every level again for each. The few folders used last stay open (an export has a folder
// per map, more than a process may hold). Shared between the threads of a run.
class FolderTree {
  public:
    explicit FolderTree(std::string root, size_t keep = 32) : root_(std::move(root)), keep_(keep) {}
    const std::string& root() const { return root_; }
    // The folder `path` (the root or beneath it), made with its parents when `create`;
    // null with `result` saying why when it cannot be reached without a link.
    std::shared_ptr<const UniqueFd> folder(const std::string& path, bool create,
                                           BeneathResult& result);
    // The same for the folder root/relative.
    std::shared_ptr<const UniqueFd> folderAt(const std::string& relative, bool create,
                                             BeneathResult& result);

  private:
    std::string root_;
    size_t keep_;
    std::mutex mutex_;
    // Most recently used first.
    struct Open {
        std::string key;
        std::shared_ptr<const UniqueFd> fd;
        bool made;
    };
    std::list<Open> open_;
};

}  // namespace zorvane

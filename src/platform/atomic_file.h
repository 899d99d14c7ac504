// Every file written for the user goes to a temporary file in the same folder and is
// renamed into place, so a failed or aborted write never leaves half a file.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "platform/beneath_root.h"

namespace zorvane {

class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    explicit AtomicFileWriter(const std::string& path) { open(path); }
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool open(const std::string& path);
    // The same for a file beneath `root` (a folder the user chose) that is written without
    // following any link below root: the folders are opened level by level and a target
    // that is a symbolic link is refused (refusedLink() names it); the temporary file is
    // made and renamed in the folder so reached. An empty root is open(path).
    bool open(const std::string& path, const std::string& root);
    // The same with the folders of `folders` held open between files.
    bool open(const std::string& path, FolderTree& folders);
    bool write(std::string_view bytes);
    // Makes what was written durable in the temporary file (flush and fsync) before
    // commit(), for callers that must know the new file is whole before they go on.
    bool sync();
    // Flushes and renames into place; false (and nothing changed) on any failure.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void abort();
    bool isOpen() const { return fd_.valid(); }
    bool failed() const { return failed_; }
    // The link on the way that made open(path, root) refuse; "" otherwise.
    const std::string& refusedLink() const { return refusedLink_; }

  private:
    static constexpr size_t kBufferBytes = 64 * 1024;
    UniqueFd fd_;
    // Small writes gather here and go to the file in large ones.
    std::string buffer_;
    // What open() found at the target: nothing there (the usual case of a fresh output), so
    // commit() need not look again, or the file it replaces.
    bool targetExisted_ = false;
    std::string path_;
    std::string tempPath_;
    bool failed_ = false;
    // Set by the confined opens: the folder reached without links, the target's and the
    // temporary file's names in it.
    std::shared_ptr<const UniqueFd> folder_;
    std::string name_, tempName_;
    bool folderMade_ = false;  // the folder reached was made by this run's FolderTree
    std::string refusedLink_;

    bool openBeneath(const std::string& path, const std::string& root, FolderTree* folders);
    bool reachFolder(const std::string& path, const std::string& root, FolderTree* folders);
    bool openInFolder(const std::string& path, bool folderMade);
    int folderFd() const { return folder_ ? folder_->get() : -1; }
    void removeTemp();
    bool flush();
    bool placeFile();
    bool replaceTarget();
};

bool writeFileAtomic(const std::string& path, std::string_view bytes);
// The same confined beneath `root`, as AtomicFileWriter::open(path, root).
bool writeFileAtomic(const std::string& path, std::string_view bytes, const std::string& root);
bool writeFileAtomic(const std::string& path, std::string_view bytes, FolderTree& folders);

}  // namespace zorvane

// The write order of the import. At every instant the project file exists and is whole
// (the old one until a rename puts the new one in place), and the backup name holds a
// whole earlier file: the old backup until the previous file has replaced it.
#include "import/backup_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/atomic_file.h"
#include "platform/file_util.h"
#include "platform/path_nocase.h"

namespace zorvane {

namespace {

std::string fileNameOf(const std::string& path) {
    std::string folder = folderOf(path);
    return folder.empty() ? path : path.substr(folder.size() + 1);
}

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Durable directory entries: the renames survive a crash once this returns.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    ::close(fd);
}

// A copy where hard links are not possible (some mounted Windows file systems).
bool copyFile(const std::string& from, const std::string& to) {
    std::string bytes;
    if (!readWholeFile(from, bytes)) return false;
    int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bool ok = done == bytes.size() && fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) unlink(to.c_str());
    return ok;
}

// The old file under a second name, sharing its bytes when the file system allows.
bool linkOrCopy(const std::string& from, const std::string& to) {
    unlink(to.c_str());  // left by an interrupted run
    if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno == ENOENT || errno == EACCES || errno == EROFS || errno == ENOSPC) return false;
    return copyFile(from, to);
}

// Where a symlinked file really is: the new file and a rollback go there, not over the link.
std::string linkTarget(const std::string& path) {
    struct stat st;
    char buffer[PATH_MAX];
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

bool stageAllowed(const ReplaceHook& hook, ReplaceStage stage) {
    if (!hook || hook(stage)) return true;
    errno = ENOSPC;
    return false;
}

}  // namespace

std::string backupPathFor(const std::string& path) {
    std::string folder = folderOf(path);
    std::string name = fileNameOf(path);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) dot = name.size();
    std::string backup = name.substr(0, dot) + "_bak" + name.substr(dot);
    if (auto existing = findPathNoCase(folder, backup)) return *existing;
    return joinPath(folder, backup);
}

bool replaceWithBackup(const std::string& path, const std::string& backupPath,
                       std::string_view bytes, const ReplaceHook& hook, std::string& error) {
    const std::string target = linkTarget(path);
    AtomicFileWriter writer;
    if (!writer.open(path)) {
        error = systemError("cannot create a new file beside", path);
        return false;
    }
    if (!writer.write(bytes) || !writer.sync() ||
        !stageAllowed(hook, ReplaceStage::NewFileWritten)) {
        error = systemError("cannot write the new file for", path);
        return false;  // the writer removes its temporary file
    }
    std::string backupTemp = joinPath(
        folderOf(backupPath), "." + fileNameOf(backupPath) + ".tmp" + std::to_string(getpid()));
    if (!linkOrCopy(path, backupTemp) || !stageAllowed(hook, ReplaceStage::BackupLinked)) {
        error = systemError("cannot keep a backup of", path);
        unlink(backupTemp.c_str());
        return false;
    }
    if (!writer.commit()) {
        error = systemError("cannot put the new file in place of", path);
        unlink(backupTemp.c_str());
        return false;
    }
    if (!stageAllowed(hook, ReplaceStage::Replaced) ||
        std::rename(backupTemp.c_str(), backupPath.c_str()) != 0) {
        error = systemError("cannot rename the backup to", backupPath);
        // Without its backup the change is not made: the previous file goes back.
        if (std::rename(backupTemp.c_str(), target.c_str()) != 0)
            error += "; the new file stays in place, the previous one is " + backupTemp;
        syncFolder(folderOf(target));
        return false;
    }
    syncFolder(folderOf(target));
    if (folderOf(backupPath) != folderOf(target)) syncFolder(folderOf(backupPath));
    return true;
}

}  // namespace zorvane

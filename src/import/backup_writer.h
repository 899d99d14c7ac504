// Replacing a project file while keeping the previous one as its backup, in an order that
// never leaves the file missing or half written: the new file is written beside it first,
// the old one is linked to a temporary backup name, the new one is renamed into place and
// only then does the backup name move onto the old backup.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zorvane {

enum class ReplaceStage {
    NewFileWritten,  // the complete new file sits beside the old one
    BackupLinked,    // the old file also has its temporary backup name
    Replaced,        // the new file is in place; the old backup is still the old one
};

// A test seam: called at each stage; false makes that step fail as a full disk would.
using ReplaceHook = std::function<bool(ReplaceStage)>;

// "System_bak.rxdata" for ".../System.rxdata": "_bak" before the extension, or the
// existing backup of that name in any letter case.
std::string backupPathFor(const std::string& path);

// Puts `bytes` in place of the existing file `path` and keeps the previous file as
// `backupPath`. On false, `error` says what failed and `path` holds the previous file.
bool replaceWithBackup(const std::string& path, const std::string& backupPath,
                       std::string_view bytes, const ReplaceHook& hook, std::string& error);

}  // namespace zorvane

// Small file helpers used by the loader, the export and the RTP copy.
#pragma once

#include <cstdint>
#include <string>

namespace zorvane {

enum class FileTime { Creation, LastAccess, LastWrite };

// True only for an existing file; a folder does not count.
bool fileExists(const std::string& path);
// Size in bytes; 0 for a missing, unreadable or folder path.
uint64_t fileSize(const std::string& path);
// "%04u/%02u/%02u" and/or "%02u:%02u:%02u" in local time (joined by a space); "" when the
// file cannot be examined. Linux keeps no creation time: the status-change time stands in.
std::string fileTimeText(const std::string& path, FileTime which, bool withDate, bool withTime);
// Creates the folder and every missing parent; true when the folder exists afterwards.
bool ensureFolder(const std::string& path);

}  // namespace zorvane

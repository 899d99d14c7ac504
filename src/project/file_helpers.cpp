#include "project/file_helpers.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace zorvane {

bool fileExists(const std::string& path) {
    struct stat st{};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

uint64_t fileSize(const std::string& path) {
    struct stat st{};
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<uint64_t>(st.st_size);
}

std::string fileTimeText(const std::string& path, FileTime which, bool withDate, bool withTime) {
    struct stat st{};
    if (path.empty() || stat(path.c_str(), &st) != 0) return {};
    time_t t = which == FileTime::LastWrite    ? st.st_mtime
               : which == FileTime::LastAccess ? st.st_atime
                                               : st.st_ctime;
    struct tm local{};
    if (!localtime_r(&t, &local)) return {};
    char date[32], time[32];
    std::snprintf(date, sizeof date, "%04u/%02u/%02u", static_cast<unsigned>(local.tm_year + 1900),
                  static_cast<unsigned>(local.tm_mon + 1), static_cast<unsigned>(local.tm_mday));
    std::snprintf(time, sizeof time, "%02u:%02u:%02u", static_cast<unsigned>(local.tm_hour),
                  static_cast<unsigned>(local.tm_min), static_cast<unsigned>(local.tm_sec));
    if (withDate && withTime) return std::string(date) + " " + time;
    if (withDate) return date;
    if (withTime) return time;
    return {};
}

bool ensureFolder(const std::string& path) {
    if (path.empty()) return false;
    struct stat st{};
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    size_t cut = path.find_last_of("/\\");
    if (cut != std::string::npos && cut > 0 && !ensureFolder(path.substr(0, cut))) return false;
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) return false;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace zorvane

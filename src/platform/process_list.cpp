// Process check through /proc. Under Wine a Windows program's argv[0] is its Windows
// path, and its comm is the .exe name, so both are looked at.
#include "platform/process_list.h"

#include <dirent.h>

#include <cctype>
#include <memory>
#include <string>

#include "platform/file_util.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

std::string_view baseName(std::string_view path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool isPid(const char* name) {
    if (!*name) return false;
    for (; *name; ++name)
        if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
    return true;
}

bool processMatches(const std::string& dir, std::string_view exeName) {
    std::string comm;
    if (readWholeFile(dir + "/comm", comm)) {
        while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\r')) comm.pop_back();
        if (equalsNoCase(comm, exeName)) return true;
    }
    std::string cmdline;
    if (!readWholeFile(dir + "/cmdline", cmdline) || cmdline.empty()) return false;
    std::string_view argv0(cmdline.c_str());
    if (equalsNoCase(baseName(argv0), exeName)) return true;
    // "wine RPGXP.exe ..." before Wine has renamed the process.
    if (!equalsNoCase(baseName(argv0).substr(0, 4), "wine") || argv0.size() + 1 >= cmdline.size())
        return false;
    std::string_view argv1(cmdline.c_str() + argv0.size() + 1);
    return equalsNoCase(baseName(argv1), exeName);
}

}  // namespace

bool isProcessRunning(std::string_view exeName, const std::string& procRoot) {
    if (exeName.empty()) return false;
    std::unique_ptr<DIR, DirCloser> proc(opendir(procRoot.c_str()));
    if (!proc) return false;
    while (const dirent* e = readdir(proc.get())) {
        if (isPid(e->d_name) && processMatches(procRoot + "/" + e->d_name, exeName)) return true;
    }
    return false;
}

}  // namespace zorvane

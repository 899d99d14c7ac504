// The closing report of export and site.
#include "cli/export_progress.h"

#include <cstdio>

#include "cli/commands.h"
#include "map/graphic_cache.h"

namespace zorvane::cli {

namespace {
constexpr int kInterrupted = 130;
}  // namespace

int reportExport(const ExportSummary& s) {
    std::fprintf(stderr, "%d files, %.1f MB written into %s\n", s.filesWritten,
                 static_cast<double>(s.bytesWritten) / 1e6, s.root.c_str());
    if (!s.failedFiles.empty()) {
        std::fprintf(stderr, "%zu files could not be written:\n", s.failedFiles.size());
        for (const std::string& path : s.failedFiles) std::fprintf(stderr, "  %s\n", path.c_str());
    }
    bool lossy = reportLostCharacters(s.lossyFiles);
    switch (s.end) {
        case ExportEnd::Aborted:
            std::fprintf(stderr, "stopped after %d of %d units; the files written so far stay\n",
                         s.unitsDone, s.units);
            return kInterrupted;
        case ExportEnd::Stopped:
            if (s.stopKind == ExportStopKind::OutputLink)
                std::fprintf(stderr,
                             "stopped: %s is a symbolic link; nothing is written through a link "
                             "in the output folder\n",
                             s.stopMessage.c_str());
            else
                std::fprintf(stderr, "stopped: %s\n", s.stopMessage.c_str());
            return 1;
        case ExportEnd::Finished:
        case ExportEnd::NothingToDo:
            break;
    }
    for (const std::string& line : s.skipped) std::fprintf(stderr, "skipped %s\n", line.c_str());
    if (!s.failedFiles.empty()) return 1;
    return (lossy || !s.skipped.empty()) ? kIncomplete : 0;
}

void reportUnreadableGraphics(const std::string& gameFolder) {
    std::string prefix = gameFolder;
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    for (const std::string& path : takeUnreadableGraphics()) {
        const bool inGame = !prefix.empty() && path.compare(0, prefix.size(), prefix) == 0;
        std::fprintf(stderr, "%s: not drawn, the file cannot be read as a picture\n",
                     path.c_str() + (inGame ? prefix.size() : 0));
    }
}

}  // namespace zorvane::cli

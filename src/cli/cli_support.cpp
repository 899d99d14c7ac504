#include "cli/cli_support.h"

#include <csignal>
#include <cstdio>

#include "platform/folders.h"
#include "project/file_helpers.h"
#include "project/project_database.h"

namespace zorvane::cli {

namespace {

// A signal handler may touch only a lock-free atomic, so the flag is one per process.
std::atomic<bool> gInterrupted{false};

extern "C" void onInterrupt(int) {
    gInterrupted.store(true);
}

}  // namespace

int usage(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return kUsageError;
}

std::string templatesOrFail(const std::string& given, bool hasOption) {
    if (!given.empty()) return given;
    std::string found = findTemplateFolder();
    if (!found.empty()) return found;
    std::string places;
    for (const std::string& folder : templateFolderCandidates()) places += "\n  " + folder;
    std::fprintf(stderr,
                 "no template folder (header.html, footer.html, ruby_color.txt) found; looked "
                 "in:%s\n%s",
                 places.c_str(), hasOption ? "give one with --templates FOLDER\n" : "");
    return "";
}

bool openProjectOrFail(ProjectDatabase& db, const std::string& file) {
    if (!fileExists(file)) {
        std::fprintf(stderr, "%s: not an existing project file\n", file.c_str());
        return false;
    }
    if (!db.open(file)) {
        std::fprintf(stderr, "%s: cannot be opened\n", file.c_str());
        return false;
    }
    return true;
}

InterruptScope::InterruptScope() {
    gInterrupted.store(false);
    previous_ = std::signal(SIGINT, onInterrupt);
}

InterruptScope::~InterruptScope() {
    std::signal(SIGINT, previous_);
}

std::atomic<bool>& InterruptScope::flag() {
    return gInterrupted;
}

bool InterruptScope::raised() const {
    return gInterrupted.load();
}

}  // namespace zorvane::cli

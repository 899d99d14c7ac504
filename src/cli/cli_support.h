// What every sub-command of zorvane-cli does the same way: refuse a command line it cannot
// run, open the project named on it (or say why not), and let Ctrl+C ask a long task to stop.
#pragma once

#include <atomic>
#include <string>

namespace zorvane {
class ProjectDatabase;
}

namespace zorvane::cli {

// The exit status of a command line that cannot be run as given.
constexpr int kUsageError = 2;
// Says on stderr what is wrong with the command line; kUsageError.
int usage(const std::string& message);

// Opens `file` into db; false after printing "<file>: not an existing project file" (or
// "cannot be opened") on stderr.
bool openProjectOrFail(ProjectDatabase& db, const std::string& file);

// The template folder a command writes documents with: `given` when set, else the first
// folder found where the program looks; "" after naming every place looked in on stderr
// (and --templates, when the command has it).
std::string templatesOrFail(const std::string& given, bool hasOption = true);

// While it lives, SIGINT only raises flag() (cleared when the scope begins), which the
// task polls; the previous handler comes back when it ends.
class InterruptScope {
  public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    std::atomic<bool>& flag();
    bool raised() const;

  private:
    void (*previous_)(int);
};

}  // namespace zorvane::cli

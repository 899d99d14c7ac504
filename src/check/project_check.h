// The project check: the mistakes the editor does not show (a switch read but never set, a
// transfer into a deleted map, a jump to a renamed label, a file nothing uses), found in one
// walk over every event list plus the database, the scripts and the game folder's files.
#pragma once

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "check/finding.h"

namespace zorvane {

class ProjectDatabase;

struct CheckOptions {
    std::set<CheckKind> kinds;  // empty: all
    ListingLanguage language = ListingLanguage::Japanese;  // of the findings' texts
    bool wants(CheckKind kind) const { return kinds.empty() || kinds.count(kind) != 0; }
};

// Progress from the working thread: `done` of `total` steps (one per map, a few besides).
class CheckProgress {
  public:
    virtual ~CheckProgress() = default;
    virtual void progress(int done, int total) = 0;
};

struct CheckResult {
    std::vector<Finding> findings;  // by kind, then in the order found
    // "file: why" for each file that could not be read: findings may be missing.
    std::vector<std::string> unreadable;
    int variableOperandsSkipped = 0;  // transfers to a place held in variables
    bool aborted = false;
};

CheckResult checkProject(const ProjectDatabase& project, const CheckOptions& options,
                         CheckProgress* progress, const std::atomic<bool>& abort);

}  // namespace zorvane

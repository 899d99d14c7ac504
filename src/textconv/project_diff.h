// What changed between two versions of a project (two checkouts, two worktrees): every data
// file of both is turned into its blocks of text, blocks are matched by key, and each added,
// removed or changed item is reported with a unified diff of its text.
#pragma once

#include <string>
#include <vector>

#include "project/project_database.h"

namespace zorvane {

struct ItemChange {
    enum class Kind { Added, Removed, Changed };
    Kind kind = Kind::Changed;
    std::string file;   // the data file's name ("Map002.rxdata")
    std::string key;    // the item within it ("event 3")
    std::string title;  // its title line, from the newer version unless removed
    std::string diff;   // "@@" hunks of its text
};

struct ProjectDiff {
    std::vector<ItemChange> changes;
    // Files whose items are all alike but stand in another order (scripts run in order).
    std::vector<std::string> reordered;
    // Files that could not be read, with what went wrong; they are not compared.
    std::vector<Diagnostic> problems;
};

struct ProjectDiffOptions {
    bool detail = false;  // the listing's long form
    ListingLanguage language = ListingLanguage::Japanese;
    int context = 3;      // lines around each change
};

// `oldProject` and `newProject` are project folders or project files. Ids are labelled with
// the newer project's names on both sides, so a rename shows once, as the renamed item.
// False (and `error` set) when either is not a project folder.
bool diffProjects(const std::string& oldProject, const std::string& newProject,
                  const ProjectDiffOptions& options, ProjectDiff& out, std::string& error);

const char* changeKindName(ItemChange::Kind kind);

}  // namespace zorvane

// Writing an import into the project: the data file is read again from disk, the edits
// are made to that tree, and the result replaces the file with the previous one kept as
// its "_bak" backup. Failures come back as data; nothing here asks or shows anything.
#pragma once

#include <string>
#include <vector>

#include "import/backup_writer.h"
#include "import/import_rules.h"

namespace zorvane {

enum class ImportFailure {
    None,
    CannotRead,   // the data file is missing or not a readable Marshal file
    PathMissing,  // the name array or an actor's parameter table is not where it belongs
    CannotWrite,  // the new file could not be made or put in place; the old one stays
};

struct NameChange {
    int id = 0;
    std::string before, after;
};

struct ParameterChange {
    int actorId = 0, parameter = 0, level = 0;
    int before = 0, after = 0;
};

struct ImportResult {
    ImportFailure failure = ImportFailure::None;
    std::string detail;  // what failed, in words for logs and the command line
    std::string file;    // the data file written (or that would be)
    std::string backup;
    // What the edits changed in the file as it was on disk just now.
    std::vector<NameChange> names;
    std::vector<ParameterChange> parameters;
    size_t ignored = 0;    // edits for ids, actors or levels the file does not have
    bool written = false;  // false for a dry run and when nothing changes
    bool ok() const { return failure == ImportFailure::None; }
    // Whether the edits change anything; when not, neither the file nor its backup is touched,
    // so the backup of the last real import survives.
    bool changed() const { return !names.empty() || !parameters.empty(); }
};

struct ImportOptions {
    bool dryRun = false;  // make the edits in memory and report them; write nothing
    ReplaceHook hook;     // test seam of the write steps
};

// The edited names of one kind into Data/System.rxdata.
ImportResult applyNames(const std::string& projectFolder, NameKind kind,
                        const std::vector<NameEdit>& edits, const ImportOptions& options = {});
// The edited parameter cells into Data/Actors.rxdata. Every actor of the file must have its
// parameter table, or nothing is written.
ImportResult applyActorParameters(const std::string& projectFolder,
                                  const std::vector<ParameterEdit>& edits,
                                  const ImportOptions& options = {});

// Whether the editor runs (also a Windows editor under Wine): files it has open may be
// saved over the import. procRoot is the process folder to look in.
bool isEditorRunning(const std::string& procRoot = "/proc");

}  // namespace zorvane

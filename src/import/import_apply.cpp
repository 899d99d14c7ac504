// Reading the data file again just before the edit means a file the editor saved after
// the project was opened is edited as it is now, not overwritten with an older state.
#include "import/import_apply.h"

#include <map>
#include <set>

#include "import/tree_edits.h"
#include "marshal/marshal_file.h"
#include "platform/beneath_root.h"
#include "platform/path_nocase.h"
#include "platform/process_list.h"

namespace zorvane {

namespace {

const char* const kEditorProgram = "RPGXP.exe";

bool readDataFile(const std::string& projectFolder, const std::string& name, MarshalFile& file,
                  ImportResult& result) {
    auto path = findPathNoCase(projectFolder, "Data/" + name);
    result.file = path ? *path : projectFolder + "/Data/" + name;
    if (path && file.load(*path)) return true;
    result.failure = ImportFailure::CannotRead;
    result.detail = "cannot read " + result.file + ": " +
                    (path ? file.error().message() : std::string("the file is missing"));
    return false;
}

ImportResult& fail(ImportResult& result, ImportFailure failure, std::string detail) {
    result.failure = failure;
    result.detail = std::move(detail);
    return result;
}

// A data file or its backup behind a link would put the edit (or the old file) wherever the
// link leads, outside the project: such a link is named and nothing is written.
std::string linkInTheWay(const std::string& projectFolder, const ImportResult& result) {
    const std::string root = projectFolder.empty() ? "." : projectFolder;
    for (const std::string* path : {&result.file, &result.backup}) {
        std::string link = linkBeneath(root, *path);
        if (!link.empty()) return link;
    }
    return "";
}

// Serialises the edited tree, checks that it reads back, and puts it in place.
ImportResult& write(const std::string& projectFolder, MarshalFile& file,
                    const ImportOptions& options, ImportResult& result) {
    result.backup = backupPathFor(result.file);
    if (options.dryRun || !result.changed()) return result;
    std::string link = linkInTheWay(projectFolder, result);
    if (!link.empty())
        return fail(result, ImportFailure::CannotWrite,
                    link + " is a symbolic link; nothing is written through it");
    std::string bytes;
    MarshalFile check;
    if (!file.serialize(bytes) || !check.loadFromBuffer(bytes))
        return fail(result, ImportFailure::CannotWrite,
                    "cannot write " + result.file + ": " + file.error().message());
    std::string error;
    if (!replaceWithBackup(result.file, result.backup, bytes, options.hook, error))
        return fail(result, ImportFailure::CannotWrite, error);
    result.written = true;
    return result;
}

}  // namespace

ImportResult applyNames(const std::string& projectFolder, NameKind kind,
                        const std::vector<NameEdit>& edits, const ImportOptions& options) {
    ImportResult result;
    MarshalFile file;
    if (!readDataFile(projectFolder, "System.rxdata", file, result)) return result;
    MarshalValue* array = file.find("%s", namePath(kind));
    if (!array || array->kind() != MarshalValue::Array)
        return fail(result, ImportFailure::PathMissing,
                    std::string(namePath(kind)) + " is not in " + result.file);
    for (const NameEdit& edit : edits) {
        size_t id = static_cast<size_t>(edit.id);
        if (edit.id <= 0 || id >= array->children().size()) {
            ++result.ignored;
            continue;
        }
        std::string before = nameAt(*array, id, file.index());
        if (before == edit.text) continue;
        setNameAt(*array, id, edit.text, file.index());
        result.names.push_back({edit.id, before, edit.text});
    }
    return write(projectFolder, file, options, result);
}

ImportResult applyActorParameters(const std::string& projectFolder,
                                  const std::vector<ParameterEdit>& edits,
                                  const ImportOptions& options) {
    ImportResult result;
    MarshalFile file;
    if (!readDataFile(projectFolder, "Actors.rxdata", file, result)) return result;
    const MarshalValue* actors = file.find("Array");
    size_t count = actors ? actors->children().size() : 0;
    std::map<int, Table> tables;  // every actor's table, as the file holds it now
    for (size_t id = 1; id < count; ++id) {
        MarshalValue* node = file.find("Array[%zu].@parameters", id);
        if (!node || !tables[static_cast<int>(id)].decode(*node))
            return fail(
                result, ImportFailure::PathMissing,
                "Array[" + std::to_string(id) + "].@parameters is not a table in " + result.file);
    }
    std::set<int> edited;
    for (const ParameterEdit& edit : edits) {
        auto table = tables.find(edit.actorId);
        if (table == tables.end() || edit.parameter < 0 || edit.parameter >= table->second.xsize ||
            edit.level < 0 || edit.level >= table->second.ysize) {
            ++result.ignored;
            continue;
        }
        int before = table->second.at(edit.parameter, edit.level);
        int16_t after = parameterValue(edit.value);
        if (before == after) continue;
        table->second.set(edit.parameter, edit.level, 0, after);
        edited.insert(edit.actorId);
        result.parameters.push_back({edit.actorId, edit.parameter, edit.level, before, after});
    }
    for (int id : edited) setActorParameters(*file.find("Array[%d].@parameters", id), tables[id]);
    return write(projectFolder, file, options, result);
}

bool isEditorRunning(const std::string& procRoot) {
    return isProcessRunning(kEditorProgram, procRoot);
}

}  // namespace zorvane

// import: switch, variable or element names, or one actor's parameter curves, from a CSV
// list into the project's data file. Shows what changes, asks before writing (unless
// --yes), and refuses while the editor runs unless --force.
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/cli_support.h"
#include "import/import_apply.h"
#include "platform/file_util.h"
#include "project/file_helpers.h"
#include "project/project_database.h"

namespace zorvane::cli {

namespace {

struct ImportFlags {
    std::string project, csv;
    bool switches = false, variables = false, elements = false;
    int actor = 0;
    bool actorGiven = false;
    bool dryRun = false, yes = false, force = false;
};

int failWith(const std::string& message, int status = 1) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return status;
}

// The one target of the flags; false when not exactly one was given.
bool chooseTarget(const ImportFlags& f, NameKind& kind) {
    if (f.switches + f.variables + f.elements + f.actorGiven != 1) return false;
    kind = f.variables ? NameKind::Variables : f.elements ? NameKind::Elements : NameKind::Switches;
    return true;
}

void printNameChanges(const ImportResult& result, NameKind kind) {
    const char* idFormat = kind == NameKind::Elements ? "%03d" : "%04d";
    std::printf("id\tbefore\tafter\n");
    for (const NameChange& c : result.names) {
        std::printf(idFormat, c.id);
        std::printf("\t%s\t%s\n", c.before.c_str(), c.after.c_str());
    }
}

// One line per level that changes: the six values before and after.
void printParameterChanges(const ImportResult& result, const Table& current) {
    std::map<int, std::pair<std::vector<int>, std::vector<int>>> levels;
    for (const ParameterChange& c : result.parameters) {
        auto& [before, after] = levels[c.level];
        if (before.empty())
            for (int p = 0; p < kParameterCount; ++p) before.push_back(current.at(p, c.level));
        before[static_cast<size_t>(c.parameter)] = c.before;
        if (after.empty()) after = before;
        after[static_cast<size_t>(c.parameter)] = c.after;
    }
    auto join = [](const std::vector<int>& values) {
        std::string text;
        for (int v : values) text += (text.empty() ? "" : ",") + std::to_string(v);
        return text;
    };
    std::printf("level\tbefore\tafter\n");
    for (const auto& [level, rows] : levels)
        std::printf("%02d\t%s\t%s\n", level, join(rows.first).c_str(), join(rows.second).c_str());
}

bool confirmed(const ImportResult& preview) {
    std::printf("Write these changes to %s (the previous file is kept as %s)? [y/N] ",
                preview.file.c_str(), preview.backup.c_str());
    std::fflush(stdout);
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

// The edits of the CSV against the project as read, and the function that writes them.
struct Plan {
    std::function<ImportResult(const ImportOptions&)> apply;
    Table actorTable;
};

bool makePlan(const ImportFlags& f, const ProjectDatabase& db, const CsvRows& rows, Plan& plan,
              std::string& error) {
    NameKind kind = NameKind::Switches;
    chooseTarget(f, kind);
    std::string folder = db.projectFolder;
    if (!f.actorGiven) {
        const std::vector<std::string>& before = projectNames(db.system(), kind);
        std::vector<std::string> after = before;
        readNameCsv(rows, after);
        plan.apply = [folder, kind, edits = nameEdits(before, after)](const ImportOptions& o) {
            return applyNames(folder, kind, edits, o);
        };
        return true;
    }
    if (f.actor < 1 || static_cast<size_t>(f.actor) >= db.actors().size()) {
        error = "actor " + std::to_string(f.actor) + " is not in the project";
        return false;
    }
    plan.actorTable = db.actors()[static_cast<size_t>(f.actor)].parameters;
    Table after = plan.actorTable;
    readActorCsv(rows, after);
    plan.apply = [folder, edits = parameterEdits(f.actor, plan.actorTable, after)](
                     const ImportOptions& o) { return applyActorParameters(folder, edits, o); };
    return true;
}

int runImport(const ImportFlags& f) {
    NameKind kind = NameKind::Switches;
    if (!chooseTarget(f, kind))
        return failWith("choose one of --switches, --variables, --elements, --actor N",
                        kUsageError);
    ProjectDatabase db;
    if (!openProjectOrFail(db, f.project)) return 1;
    if (!f.dryRun && !f.force && isEditorRunning())
        return failWith(
            "RPGXP.exe is running: save the project there and close it first, or pass --force");
    CsvRows rows;
    std::string error;
    if (!readCsvFile(f.csv, f.actorGiven ? kActorCsvShape : kNameCsvShape, rows, error))
        return failWith(error);
    Plan plan;
    if (!makePlan(f, db, rows, plan, error)) return failWith(error);

    ImportOptions preview;
    preview.dryRun = true;
    ImportResult planned = plan.apply(preview);
    if (!planned.ok()) return failWith(planned.detail);
    if (planned.ignored > 0)
        std::fprintf(stderr, "%zu changes are for ids that %s does not have; they are left out\n",
                     planned.ignored, planned.file.c_str());
    if (!planned.changed()) {
        std::printf("nothing to change in %s\n", planned.file.c_str());
        return 0;
    }
    if (!f.actorGiven)
        printNameChanges(planned, kind);
    else
        printParameterChanges(planned, plan.actorTable);
    if (f.dryRun) return 0;
    if (!f.yes) {
        if (!isatty(STDIN_FILENO))
            return failWith("not written: pass --yes to write without a terminal");
        if (!confirmed(planned)) return failWith("not written");
    }
    ImportResult done = plan.apply(ImportOptions{});
    if (!done.ok()) return failWith("not written: " + done.detail);
    std::printf("written %s; the previous file is %s\n", done.file.c_str(), done.backup.c_str());
    return 0;
}

}  // namespace

void addImportCommand(CLI::App& app, Runner* run) {
    auto flags = std::make_shared<ImportFlags>();
    CLI::App* c = app.add_subcommand(
        "import", "Write switch, variable or element names, or an actor's parameters, from CSV");
    c->add_option("PROJECT", flags->project, "the project file (Game.rxproj)")->required();
    c->add_option("FILE", flags->csv, "the CSV list (id,name or level,six values)")->required();
    c->add_flag("--switches", flags->switches, "import switch names");
    c->add_flag("--variables", flags->variables, "import variable names");
    c->add_flag("--elements", flags->elements, "import element names");
    CLI::Option* actor =
        c->add_option("--actor", flags->actor, "import the parameter curves of actor N");
    c->add_flag("--dry-run", flags->dryRun, "show what would change; write nothing");
    c->add_flag("--yes", flags->yes, "write without asking");
    c->add_flag("--force", flags->force, "write even while RPGXP.exe runs");
    c->callback([run, flags, actor] {
        flags->actorGiven = actor->count() > 0;
        *run = [flags] { return runImport(*flags); };
    });
}

}  // namespace zorvane::cli

// textconv: one data file as text made for diffs (git's textconv driver);
// diff: the items that changed between two versions of a project.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/commands.h"
#include "marshal/marshal_file.h"
#include "platform/file_util.h"
#include "project/project_database.h"
#include "project/project_path.h"
#include "textconv/file_text.h"
#include "textconv/project_diff.h"
#include "textconv/value_text.h"

namespace zorvane::cli {

namespace {

struct TextconvCliOptions {
    std::string file;
    std::string project;
    bool detail = false;
    std::string language = "ja";
};

struct DiffCliOptions {
    std::string oldProject;
    std::string newProject;
    bool json = false;
    bool brief = false;
    bool detail = false;
    std::string language = "ja";
    int context = 3;
};

void writeOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// The names that label the file's ids: --project; else the folder above the Data folder that
// holds the file; else $ZORVANE_PROJECT; else the current folder (git runs the driver in the
// repository's top folder and hands it older versions as temporary files in no project, so
// both sides of a diff get the same labels). Labels are a courtesy: without names the ids
// stay bare, one line on stderr says why when names were asked for, and the text is written.
void openNames(const TextconvCliOptions& o, ProjectDatabase& db) {
    std::string why;
    if (!o.project.empty()) {
        if (!openLabels(db, o.project, why))
            std::fprintf(stderr, "%s; ids stay bare\n", why.c_str());
        return;
    }
    if (std::string own = projectFolderForDataFile(o.file);
        !own.empty() && openLabels(db, own, why))
        return;
    if (const char* env = std::getenv("ZORVANE_PROJECT"); env && *env) {
        if (openLabels(db, env, why)) return;
        std::fprintf(stderr, "ZORVANE_PROJECT=%s: not a project\n", env);
    }
    openLabels(db, ".", why);
}

int runTextconv(const TextconvCliOptions& o) {
    std::string bytes;
    if (!readWholeFile(o.file, bytes)) {
        std::fprintf(stderr, "%s: cannot open\n", o.file.c_str());
        return 1;
    }
    if (bytes.empty()) return 0;  // an empty file holds no items
    MarshalFile file;
    if (!file.loadFromBuffer(bytes)) {
        std::fprintf(stderr, "%s: %s\n", o.file.c_str(), file.error().message().c_str());
        return 1;
    }
    ProjectDatabase db;
    openNames(o, db);
    TextconvOptions options;
    options.project = &db;
    options.detail = o.detail;
    options.language = listingLanguage(o.language);
    options.write = [](std::string_view piece) {
        std::fwrite(piece.data(), 1, piece.size(), stdout);
    };
    try {
        fileText(file, o.file, options, bytes.size());
    } catch (const TextTooLong& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "\n%s: %s\n", o.file.c_str(), e.what());
        return 1;
    }
    return 0;
}

nlohmann::json diffJson(const DiffCliOptions& o, const ProjectDiff& d) {
    nlohmann::json changes = nlohmann::json::array();
    for (const ItemChange& c : d.changes)
        changes.push_back({{"change", changeKindName(c.kind)},
                           {"file", c.file},
                           {"item", c.key},
                           {"title", c.title},
                           {"diff", c.diff}});
    nlohmann::json problems = nlohmann::json::array();
    for (const Diagnostic& p : d.problems) problems.push_back({{"file", p.file}, {"what", p.what}});
    return {{"old", o.oldProject},
            {"new", o.newProject},
            {"changes", changes},
            {"reordered", d.reordered},
            {"problems", problems}};
}

// Exit status as diff(1) has it: 0 alike, 1 different, 2 trouble.
int runDiff(const DiffCliOptions& o) {
    ProjectDiffOptions options;
    options.detail = o.detail;
    options.language = listingLanguage(o.language);
    options.context = o.context;
    ProjectDiff d;
    std::string error;
    if (!diffProjects(o.oldProject, o.newProject, options, d, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (o.json) {
        writeOut(diffJson(o, d).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) +
                 "\n");
    } else {
        for (const ItemChange& c : d.changes) {
            writeOut(std::string(changeKindName(c.kind)) + " " + c.file + ": " + c.title + "\n");
            if (!o.brief) writeOut(c.diff);
        }
        for (const std::string& file : d.reordered)
            writeOut("reordered " + file + ": the items stand in another order\n");
    }
    for (const Diagnostic& p : d.problems)
        std::fprintf(stderr, "cannot read %s: %s\n", p.file.c_str(), p.what.c_str());
    if (!d.problems.empty()) return 2;
    return d.changes.empty() && d.reordered.empty() ? 0 : 1;
}

}  // namespace

void addTextconvCommands(CLI::App& app, Runner* run) {
    auto t = std::make_shared<TextconvCliOptions>();
    CLI::App* text = app.add_subcommand(
        "textconv", "Print one data file as text made for diffs (a git textconv driver)");
    text->add_option("FILE", t->file, "the .rxdata file")->required();
    text->add_option("--project", t->project,
                     "project folder or file whose names label ids, or a folder whose Data "
                     "folder holds them (default: the project holding FILE, else "
                     "$ZORVANE_PROJECT, else the current folder)");
    text->add_flag("--detail", t->detail, "long form of the event commands");
    addLanguageOption(text, t->language);
    text->callback([run, t] { *run = [t] { return runTextconv(*t); }; });

    auto d = std::make_shared<DiffCliOptions>();
    CLI::App* diff = app.add_subcommand(
        "diff", "List what changed between two project folders, with a diff of each item");
    diff->add_option("OLD", d->oldProject, "older project folder")->required();
    diff->add_option("NEW", d->newProject, "newer project folder")->required();
    diff->add_flag("--json", d->json, "one JSON object, for tools");
    diff->add_flag("--brief", d->brief, "only the list of items, no diffs");
    diff->add_flag("--detail", d->detail, "long form of the event commands");
    addLanguageOption(diff, d->language);
    diff->add_option("--context", d->context, "lines of context around each change")
        ->check(CLI::Range(0, 1000));
    diff->callback([run, d] { *run = [d] { return runDiff(*d); }; });
}

}  // namespace zorvane::cli

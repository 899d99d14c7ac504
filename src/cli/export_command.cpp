// export: flags become ExportOptions (ids checked against the project first), the run
// reports to a terminal progress bar or to plain lines, and Ctrl-C stops after the unit
// in hand, keeping every file written so far. Files that could not be written are listed
// at the end and make the exit status 1; data files that could not be read are named and,
// as for search, make it 3.
#include "cli/export_command.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/export_progress.h"
#include "cli/picture_flags.h"
#include "cli/terminal_output.h"
#include "documents/document_writer.h"
#include "export/export_driver.h"
#include "platform/file_util.h"
#include "platform/folders.h"
#include "project/file_helpers.h"
#include "project/project_database.h"

namespace zorvane::cli {

namespace {

struct ExportFlags {
    std::string project;
    std::string output;
    std::string tables;
    std::string common, troops, maps, scripts;  // "all" or an id
    bool subMaps = false, mapImages = false, text = false, skipEmpty = false;
    bool quoteFormulas = false;
    std::string encoding = "auto";
    std::string language = "ja";
    std::string templates;
    PictureFlags picture;
};

std::string tableList() {
    std::string names;
    for (int t = 0; t < kDatabaseTableCount; ++t)
        names += std::string(t ? "," : "") + databaseTableName(t);
    return names;
}

// "all" or a comma-separated list of table names.
std::string parseTables(const std::string& text, ExportOptions& o) {
    if (text.empty()) return "";
    if (text == "all") {
        o.tables.fill(true);
        return "";
    }
    std::stringstream list(text);
    for (std::string name; std::getline(list, name, ',');) {
        bool known = false;
        for (int t = 0; t < kDatabaseTableCount; ++t)
            if (name == databaseTableName(t)) known = o.tables[static_cast<size_t>(t)] = true;
        if (!known) return "--tables takes all or names from " + tableList() + ", not " + name;
    }
    return "";
}

// "all" or one id within 1..last (for maps: an id of the map tree).
std::string parseCategory(const std::string& flag, const std::string& text, int last,
                          bool (*exists)(const ProjectDatabase&, int), const ProjectDatabase& db,
                          ExportCategory& category) {
    if (text.empty()) return "";
    category.on = true;
    if (text == "all") return "";
    char* end = nullptr;
    long id = std::strtol(text.c_str(), &end, 10);
    category.one = true;
    category.id = static_cast<int>(id);
    bool ok = end && *end == '\0' && !text.empty() && id >= 1 && id <= last &&
              (!exists || exists(db, category.id));
    if (ok) return "";
    return flag + " takes all or an id the project has (1.." + std::to_string(last) + "), not " +
           text;
}

bool mapExists(const ProjectDatabase& db, int id) {
    return db.mapInfos().count(id) != 0;
}

std::string buildOptions(const ExportFlags& f, const ProjectDatabase& db, ExportOptions& o) {
    o.outputFolder = f.output;
    std::string error = parseTables(f.tables, o);
    int lastMap = db.mapInfos().empty() ? 0 : db.mapInfos().rbegin()->first;
    const int lastCommon = static_cast<int>(db.commonEvents().size()) - 1;
    const int lastTroop = static_cast<int>(db.troops().size()) - 1;
    const int lastScript = static_cast<int>(db.scripts().size());
    std::string maps = f.maps.empty() && f.mapImages ? "all" : f.maps;
    for (const std::string& e :
         {error,
          parseCategory("--common", f.common, lastCommon, nullptr, db,
                        o.categories[kExportCommonEvents]),
          parseCategory("--troops", f.troops, lastTroop, nullptr, db,
                        o.categories[kExportBattleEvents]),
          parseCategory("--maps", maps, lastMap, mapExists, db, o.categories[kExportMapEvents]),
          parseCategory("--scripts", f.scripts, lastScript, nullptr, db,
                        o.categories[kExportScripts]),
          pictureOptions(f.picture, o.render)})
        if (!e.empty()) return e;
    // --map-images alone: the map row chooses the maps, but writes no events.
    o.categories[kExportMapEvents].on = !f.maps.empty();
    o.mapImages = f.mapImages;
    o.jobs = f.picture.jobs;
    o.includeSubMaps = f.subMaps;
    o.quoteFormulas = f.quoteFormulas;
    if (!parseOutputEncoding(f.encoding, o.outputEncoding))
        return "--encoding is auto, cp932 or utf-8";
    std::string templates = f.templates.empty() ? templateFolder() : f.templates;
    o.documents.html = !f.text;
    o.documents.skipEmpty = f.skipEmpty;
    o.documents.language = listingLanguage(f.language);
    useTemplateFolder(o.documents, templates);
    o.colourRulesFile = joinPath(templates, kColourRulesName);
    return "";
}

int runExportCommand(const ExportFlags& f) {
    ProjectDatabase db;
    if (!openProjectOrFail(db, f.project)) return 1;
    ExportOptions options;
    std::string error = buildOptions(f, db, options);
    if (!error.empty()) return usage(error);
    bool documents = std::any_of(options.categories.begin(), options.categories.end(),
                                 [](const ExportCategory& c) { return c.on; });
    if (documents && templatesOrFail(f.templates).empty()) return 1;
    if (countExportUnits(options, db) == 0)
        return usage(
            "nothing to export: give --tables, --common, --troops, --maps, --map-images "
            "or --scripts");
    ConsoleSink sink(isatty(STDERR_FILENO) != 0, f.picture.fullSizeBmp);
    ExportSummary summary;
    {
        InterruptScope interrupt;
        summary = runExport(options, db, sink, interrupt.flag());
    }
    sink.finishBar();
    const int status = reportExport(summary);
    if (options.mapImages) reportUnreadableGraphics(db.resources().gameFolder());
    return status;
}

}  // namespace

void addExportCommand(CLI::App& app, Runner* run) {
    auto f = std::make_shared<ExportFlags>();
    CLI::App* e = app.add_subcommand(
        "export",
        "Write the database as CSV, events and scripts as documents and maps as pictures into "
        "DIR/<project folder>_export (exit status 1 when a file could not be written, 3 when "
        "a data file could not be read or characters that the encoding cannot hold were "
        "written as \"?\")");
    e->add_option("PROJECT", f->project, "the project file (Game.rxproj)")->required();
    e->add_option("-o,--output", f->output, "the folder that receives the export folder")
        ->required();
    e->add_option("--tables", f->tables, "all, or some of " + tableList());
    e->add_option("--common", f->common, "common events: all, or one id");
    e->add_option("--troops", f->troops, "battle events: all troops, or one troop id");
    e->add_option("--maps", f->maps, "map events: all maps, or one map id");
    e->add_flag("--sub-maps", f->subMaps, "with --maps N: the maps below it in the tree too");
    e->add_flag("--map-images", f->mapImages,
                "a picture of every map that --maps takes (all maps without --maps)");
    e->add_option("--scripts", f->scripts, "scripts: all, or one position from 1");
    e->add_flag("--text", f->text, "text documents (.txt, scripts .rb) instead of HTML");
    e->add_flag("--skip-empty", f->skipEmpty, "no document for an empty event page or script");
    e->add_flag("--quote-formulas", f->quoteFormulas,
                "CSV: an apostrophe before a cell a spreadsheet would run as a formula "
                "(=, +, -, @)");
    e->add_option("--encoding", f->encoding,
                  "CSV and text: auto (CP932 for a Shift_JIS project, else UTF-8), cp932 or utf-8");
    e->add_option("--templates", f->templates,
                  "folder of header.html, footer.html and ruby_color.txt (the program's)");
    addLanguageOption(e, f->language);
    addPictureFlags(e, f->picture, "map pictures: png (default), bmp or jpg");
    e->callback([run, f] { *run = [f] { return runExportCommand(*f); }; });
}

}  // namespace zorvane::cli

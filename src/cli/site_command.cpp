// site: the whole project as pages in one folder, with the export's progress bar, Ctrl-C
// and closing report.
#include <unistd.h>

#include <memory>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/export_progress.h"
#include "cli/picture_flags.h"
#include "project/project_database.h"
#include "site/site_writer.h"

namespace zorvane::cli {

namespace {

struct SiteFlags {
    std::string project;
    std::string output;
    std::string zoom = "1";
    int jobs = 0;
    std::string language = "ja";
};

int runSiteCommand(const SiteFlags& f) {
    PictureFlags picture;
    picture.zoom = f.zoom;
    SiteOptions options;
    std::string error = pictureOptions(picture, options.render);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    ProjectDatabase db;
    if (!openProjectOrFail(db, f.project)) return 1;
    options.outputFolder = f.output;
    std::string templates = templatesOrFail("", false);
    if (templates.empty()) return 1;
    options.useTemplates(templates);
    options.jobs = f.jobs;
    options.language = listingLanguage(f.language);
    ConsoleSink sink(isatty(STDERR_FILENO) != 0, false);
    ExportSummary summary;
    {
        InterruptScope interrupt;
        summary = runSite(options, db, sink, interrupt.flag());
    }
    sink.finishBar();
    const int status = reportExport(summary);
    reportUnreadableGraphics(db.resources().gameFolder());
    return status;
}

}  // namespace

void addSiteCommand(CLI::App& app, Runner* run) {
    auto f = std::make_shared<SiteFlags>();
    CLI::App* s = app.add_subcommand(
        "site",
        "Write the whole project as pages that link to each other into DIR (index.html at its "
        "top), to open in a browser from the folder (exit status 1 when a file could not be "
        "written, 3 when a data file could not be read)");
    s->add_option("PROJECT", f->project, "the project file (Game.rxproj)")->required();
    s->add_option("-o,--output", f->output, "the site's folder")->required();
    s->add_option("--zoom", f->zoom, "map pictures: 2, 1 (default), 1/2, 1/4 or 1/8");
    s->add_option("--jobs", f->jobs, "workers for the map pictures (0: one per processor)")
        ->check(CLI::NonNegativeNumber);
    addLanguageOption(s, f->language);
    s->callback([run, f] { *run = [f] { return runSiteCommand(*f); }; });
}

}  // namespace zorvane::cli

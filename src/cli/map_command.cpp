// map: fills the render options from flags, loads the map with its event pictures measured
// and its tileset, and saves the picture. The full-size BMP question is answered by
// --full-size-bmp. With --all the maps are drawn on every core (--jobs); Ctrl-C starts no
// further map, stops those in flight between rows of cells and leaves no partial file.
#include "cli/map_command.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/export_progress.h"
#include "cli/picture_flags.h"
#include "map/map_batch.h"
#include "map/map_data.h"
#include "map/map_info_tree.h"
#include "map/map_picture.h"
#include "platform/file_util.h"
#include "project/file_helpers.h"
#include "project/project_database.h"

namespace zorvane::cli {

namespace {

struct MapFlags {
    std::string project;
    int map = 0;
    bool all = false;
    std::string output;
    PictureFlags picture;
};

struct MapJob {
    const ProjectDatabase& db;
    const MapFlags& flags;
    RenderOptions options;
    bool showProgress = false;
    std::atomic<bool>& abort;
};

enum class MapOutcome { Written, Unreadable, Failed };

// A message on stderr unless the map was written; the full-size BMP when asked for.
MapOutcome mapOutcome(MapJob& job, MapBatchResult& r, const MapBatchOptions& batch) {
    if (!r.loaded) {
        std::fprintf(stderr, "map %d: cannot read Data/%s\n", r.mapId,
                     mapFileName(r.mapId).c_str());
        return MapOutcome::Unreadable;
    }
    MapPictureStatus status = r.status;
    if (status == MapPictureStatus::Declined && job.flags.picture.fullSizeBmp)
        status = drawFullSizeBmp(r, batch, job.abort);
    if (status == MapPictureStatus::Saved) return MapOutcome::Written;
    std::fprintf(stderr, "map %d: %s: %s%s\n", r.mapId, r.path.c_str(),
                 mapPictureStatusText(status),
                 status == MapPictureStatus::Declined
                     ? " (--full-size-bmp writes it as a full-size BMP instead)"
                     : "");
    return MapOutcome::Failed;
}

MapOutcome drawMap(MapJob& job, int mapId, const std::string& path) {
    MapBatchOptions batch;
    batch.render = job.options;
    batch.jobs = 1;
    MapOutcome outcome = MapOutcome::Failed;
    drawMapPictures(
        job.db, {{mapId, path}}, batch,
        [&](MapBatchResult& r) {
            outcome = mapOutcome(job, r, batch);
            return true;
        },
        job.abort);
    return outcome;
}

// The pictures are drawn on a pool of threads; their lines come in map order.
int drawAll(MapJob& job) {
    const std::string extension = pictureExtension(job.flags.picture.format);
    if (!ensureFolder(job.flags.output)) {
        std::fprintf(stderr, "%s: cannot create the folder\n", job.flags.output.c_str());
        return 1;
    }
    std::vector<MapBatchItem> items;
    for (const auto& [id, info] : job.db.mapInfos()) {
        if (id <= 0) continue;
        char name[32];
        std::snprintf(name, sizeof name, "Map%04d.%s", id, extension.c_str());
        items.push_back({id, joinPath(job.flags.output, name)});
    }
    MapBatchOptions batch;
    batch.render = job.options;
    batch.jobs = job.flags.picture.jobs;
    // Like the export, a map of the tree without a readable file is skipped.
    int failures = 0, skipped = 0;
    size_t done = 0;
    auto report = [&](MapBatchResult& r) {
        const std::string name = r.path.substr(r.path.find_last_of('/') + 1);
        std::fprintf(stderr, "%s[%zu/%zu] %s%s", job.showProgress ? "\r" : "", ++done, items.size(),
                     name.c_str(), job.showProgress ? "\033[K" : "\n");
        MapOutcome outcome = mapOutcome(job, r, batch);
        failures += outcome == MapOutcome::Failed;
        skipped += outcome == MapOutcome::Unreadable;
        return !job.abort.load();
    };
    drawMapPictures(job.db, items, batch, report, job.abort);
    if (job.showProgress) std::fprintf(stderr, "\n");
    if (skipped)
        std::fprintf(stderr, "%d of %zu maps skipped: no readable map file\n", skipped,
                     items.size());
    if (failures) std::fprintf(stderr, "%d of %zu maps not written\n", failures, items.size());
    reportUnreadableGraphics(job.db.resources().gameFolder());
    return failures || job.abort.load() ? 1 : 0;
}

int runMap(const MapFlags& f) {
    if (f.all == (f.map != 0)) return usage("give either --map N or --all");
    if (!f.all && f.map < 1) return usage("--map takes a map id from 1");
    if (!f.all && formatFromExtension(f.output, -1) < 0)
        return usage("the output file must end in .png, .bmp, .jpg or .jpeg");
    RenderOptions options;
    std::string error = pictureOptions(f.picture, options);
    if (!error.empty()) return usage(error);
    ProjectDatabase db;
    if (!openProjectOrFail(db, f.project)) return 1;
    InterruptScope interrupt;
    MapJob job{db, f, options, isatty(STDERR_FILENO) != 0, interrupt.flag()};
    if (f.all) return drawAll(job);
    const MapOutcome outcome = drawMap(job, f.map, f.output);
    reportUnreadableGraphics(db.resources().gameFolder());
    return outcome == MapOutcome::Written ? 0 : 1;
}

}  // namespace

void addMapCommand(CLI::App& app, Runner* run) {
    auto f = std::make_shared<MapFlags>();
    CLI::App* m = app.add_subcommand("map", "Draw a map, or every map, as a picture");
    m->add_option("PROJECT", f->project, "the project file (Game.rxproj)")->required();
    m->add_option("--map", f->map, "the map id");
    m->add_flag("--all", f->all, "every map of the map tree, into the folder given by -o");
    m->add_option("-o,--output", f->output,
                  "picture file (.png, .bmp, .jpg) or, with --all, folder")
        ->required();
    addPictureFlags(m, f->picture, "with --all: png (default), bmp or jpg");
    m->callback([run, f] { *run = [f] { return runMap(*f); }; });
}

}  // namespace zorvane::cli

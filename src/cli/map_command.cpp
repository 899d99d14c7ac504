// map: fills the render options from flags, loads the map with its event pictures measured
// and its tileset, and saves the picture. The full-size BMP question is answered by
// --full-size-bmp. Ctrl-C stops between rows of cells and leaves no partial file.
#include "cli/map_command.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

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
    std::string format = "png";
    std::string zoom = "1";
    bool simple = false, grid = false;
    std::string gridColour = "#000000";
    std::vector<int> layers = {1, 2, 3};
    bool noTileEvents = false, noCharacterEvents = false, noPanorama = false, noFog = false;
    int pngLevel = 6, pngFilter = 5, jpegQuality = 90;
    bool fullSizeBmp = false;
};

constexpr int kUsageError = 2;

// The --zoom values in the order of the zoom modes.
const char* const kZoomNames[kZoomModeCount] = {"2", "1", "1/2", "1/4", "1/8"};

struct FormatName {
    const char* name;
    const char* extension;
};
const FormatName kFormats[] = {{"bmp", "bmp"}, {"png", "png"}, {"jpg", "jpg"}, {"jpeg", "jpg"}};

std::atomic<bool> gMapAbort{false};

extern "C" void onMapInterrupt(int) {
    gMapAbort.store(true);
}

int usage(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return kUsageError;
}

int zoomModeOf(const std::string& text) {
    for (int mode = 0; mode < kZoomModeCount; ++mode)
        if (text == kZoomNames[mode]) return mode;
    return -1;
}

bool validColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') return false;
    for (size_t i = 1; i < text.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

// The render options the flags describe, or an error text.
std::string renderOptions(const MapFlags& f, RenderOptions& o) {
    o.zoomMode = zoomModeOf(f.zoom);
    if (o.zoomMode < 0) return "--zoom must be 2, 1, 1/2, 1/4 or 1/8";
    if (!validColour(f.gridColour)) return "--grid-colour must be #RRGGBB";
    o.viewLayer1 = o.viewLayer2 = o.viewLayer3 = false;
    for (int layer : f.layers) {
        if (layer < 1 || layer > 3) return "--layers takes layer numbers 1, 2 and 3";
        bool* views[] = {&o.viewLayer1, &o.viewLayer2, &o.viewLayer3};
        *views[layer - 1] = true;
    }
    o.viewMapEvent1 = !f.noTileEvents;
    o.viewMapEvent2 = !f.noCharacterEvents;
    o.viewPanorama = !f.noPanorama;
    o.viewFog = !f.noFog;
    o.simpleMap = f.simple;
    o.bltGlid = f.grid;
    o.colorGlid = f.gridColour;
    o.pngCompLv = f.pngLevel;
    o.pngFilter = f.pngFilter;
    o.jpgQuality = f.jpegQuality;
    return "";
}

struct MapJob {
    const ProjectDatabase& db;
    const MapFlags& flags;
    RenderOptions options;
    bool showProgress = false;
    // Maps share tilesets; their pictures are decoded once (copies share the pixels).
    std::map<int32_t, TilesetGraphics> tilesets;
};

void loadTileset(MapJob& job, MapData& map) {
    auto cached = job.tilesets.find(map.tilesetId);
    if (cached != job.tilesets.end()) {
        map.tilesetGraphics = cached->second;
        return;
    }
    map.loadTileset(job.db.tilesets());
    job.tilesets[map.tilesetId] = map.tilesetGraphics;
}

enum class MapOutcome { Written, Unreadable, Failed };

// Loads and saves one map; a message on stderr unless it was written.
MapOutcome drawMap(MapJob& job, int mapId, const std::string& path) {
    MapData map;
    if (!map.load(job.db, mapId, true)) {
        std::fprintf(stderr, "map %d: cannot read Data/%s\n", mapId, mapFileName(mapId).c_str());
        return MapOutcome::Unreadable;
    }
    loadTileset(job, map);
    MapPictureHooks hooks;
    hooks.abort = &gMapAbort;
    const bool fullSize = job.flags.fullSizeBmp;
    hooks.askFullSizeBmp = [fullSize] { return fullSize; };
    RenderOptions options = job.options;
    MapPictureStatus status = saveMapPicture(path, map, options, hooks);
    if (status == MapPictureStatus::Saved) return MapOutcome::Written;
    std::fprintf(stderr, "map %d: %s: %s%s\n", mapId, path.c_str(), mapPictureStatusText(status),
                 status == MapPictureStatus::Declined
                     ? " (--full-size-bmp writes it as a full-size BMP instead)"
                     : "");
    return MapOutcome::Failed;
}

std::string extensionOf(const std::string& format) {
    for (const FormatName& f : kFormats)
        if (format == f.name) return f.extension;
    return "";
}

int drawAll(MapJob& job) {
    const std::string extension = extensionOf(job.flags.format);
    if (extension.empty()) return usage("--format must be png, bmp or jpg");
    if (!ensureFolder(job.flags.output)) {
        std::fprintf(stderr, "%s: cannot create the folder\n", job.flags.output.c_str());
        return 1;
    }
    std::vector<int> ids;
    for (const auto& [id, info] : job.db.mapInfos())
        if (id > 0) ids.push_back(id);
    // Like the export, a map of the tree without a readable file is skipped.
    int failures = 0, skipped = 0;
    for (size_t i = 0; i < ids.size() && !gMapAbort.load(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Map%04d.%s", ids[i], extension.c_str());
        std::fprintf(stderr, "%s[%zu/%zu] %s%s", job.showProgress ? "\r" : "", i + 1, ids.size(),
                     name, job.showProgress ? "\033[K" : "\n");
        MapOutcome outcome = drawMap(job, ids[i], joinPath(job.flags.output, name));
        failures += outcome == MapOutcome::Failed;
        skipped += outcome == MapOutcome::Unreadable;
    }
    if (job.showProgress) std::fprintf(stderr, "\n");
    if (skipped)
        std::fprintf(stderr, "%d of %zu maps skipped: no readable map file\n", skipped, ids.size());
    if (failures) std::fprintf(stderr, "%d of %zu maps not written\n", failures, ids.size());
    return failures || gMapAbort.load() ? 1 : 0;
}

int runMap(const MapFlags& f) {
    if (f.all == (f.map != 0)) return usage("give either --map N or --all");
    if (!f.all && f.map < 1) return usage("--map takes a map id from 1");
    if (!f.all && formatFromExtension(f.output, -1) < 0)
        return usage("the output file must end in .png, .bmp, .jpg or .jpeg");
    RenderOptions options;
    std::string error = renderOptions(f, options);
    if (!error.empty()) return usage(error);
    if (!fileExists(f.project)) {
        std::fprintf(stderr, "%s: not an existing project file\n", f.project.c_str());
        return 1;
    }
    ProjectDatabase db;
    db.open(f.project);
    MapJob job{db, f, options, isatty(STDERR_FILENO) != 0, {}};
    gMapAbort.store(false);
    auto previous = std::signal(SIGINT, onMapInterrupt);
    int status = f.all                                                  ? drawAll(job)
                 : drawMap(job, f.map, f.output) == MapOutcome::Written ? 0
                                                                        : 1;
    std::signal(SIGINT, previous);
    return status;
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
    m->add_option("--format", f->format, "with --all: png (default), bmp or jpg");
    m->add_option("--zoom", f->zoom, "2, 1 (default), 1/2, 1/4 or 1/8");
    m->add_flag("--simple", f->simple, "passable and impassable cells in two colours");
    m->add_flag("--grid", f->grid, "grid lines around the cells");
    m->add_option("--grid-colour", f->gridColour, "grid colour as #RRGGBB (default #000000)");
    m->add_option("--layers", f->layers, "tile layers to draw, e.g. 1,2 (default 1,2,3)")
        ->delimiter(',');
    m->add_flag("--no-tile-events", f->noTileEvents, "leave out events shown as a tile");
    m->add_flag("--no-character-events", f->noCharacterEvents,
                "leave out events shown as a character");
    m->add_flag("--no-panorama", f->noPanorama, "black under the tiles instead of the panorama");
    m->add_flag("--no-fog", f->noFog, "leave out the fog");
    m->add_option("--png-level", f->pngLevel, "PNG compression level 0-9 (default 6)")
        ->check(CLI::Range(0, 9));
    m->add_option("--png-filter", f->pngFilter,
                  "PNG filter: 0 none, 1 Sub, 2 Up, 3 Average, 4 Paeth, 5 all (default)")
        ->check(CLI::Range(0, 5));
    m->add_option("--jpeg-quality", f->jpegQuality, "JPEG quality 0-100 (default 90)")
        ->check(CLI::Range(0, 100));
    m->add_flag("--full-size-bmp", f->fullSizeBmp,
                "when the picture is too large for memory, write a full-size BMP instead");
    m->callback([run, f] { *run = [f] { return runMap(*f); }; });
}

}  // namespace zorvane::cli

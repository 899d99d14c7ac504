// One table of format names and one of zoom names, used by every command that saves maps.
#include "cli/picture_flags.h"

#include <cctype>

namespace zorvane::cli {

namespace {

// The --zoom values in the order of the zoom modes.
const char* const kZoomNames[kZoomModeCount] = {"2", "1", "1/2", "1/4", "1/8"};

struct FormatName {
    const char* name;
    const char* extension;
    int saveMode;
};
const FormatName kFormats[] = {{"bmp", "bmp", kFormatBmp},
                               {"png", "png", kFormatPng},
                               {"jpg", "jpg", kFormatJpeg},
                               {"jpeg", "jpg", kFormatJpeg}};

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

}  // namespace

void addPictureFlags(CLI::App* m, PictureFlags& f, const std::string& formatHelp) {
    m->add_option("--format", f.format, formatHelp);
    m->add_option("--zoom", f.zoom, "2, 1 (default), 1/2, 1/4 or 1/8");
    m->add_flag("--simple", f.simple, "passable and impassable cells in two colours");
    m->add_flag("--grid", f.grid, "grid lines around the cells");
    m->add_option("--grid-colour", f.gridColour, "grid colour as #RRGGBB (default #000000)");
    m->add_option("--layers", f.layers, "tile layers to draw, e.g. 1,2 (default 1,2,3)")
        ->delimiter(',');
    m->add_flag("--no-tile-events", f.noTileEvents, "leave out events shown as a tile");
    m->add_flag("--no-character-events", f.noCharacterEvents,
                "leave out events shown as a character");
    m->add_flag("--no-panorama", f.noPanorama, "black under the tiles instead of the panorama");
    m->add_flag("--no-fog", f.noFog, "leave out the fog");
    m->add_option("--png-level", f.pngLevel, "PNG compression level 0-9 (default 6)")
        ->check(CLI::Range(0, 9));
    m->add_option("--png-filter", f.pngFilter,
                  "PNG filter: 0 none, 1 Sub, 2 Up, 3 Average, 4 Paeth, 5 all (default)")
        ->check(CLI::Range(0, 5));
    m->add_option("--jpeg-quality", f.jpegQuality, "JPEG quality 0-100 (default 90)")
        ->check(CLI::Range(0, 100));
    m->add_flag("--full-size-bmp", f.fullSizeBmp,
                "when a picture is too large for memory, write a full-size BMP instead");
    m->add_option("-j,--jobs", f.jobs, "maps drawn at once (default: one per core)")
        ->check(CLI::Range(1, 1024));
}

std::string pictureOptions(const PictureFlags& f, RenderOptions& o) {
    bool knownFormat = false;
    for (const FormatName& format : kFormats)
        if (f.format == format.name) {
            o.saveMode = format.saveMode;
            knownFormat = true;
        }
    if (!knownFormat) return "--format must be png, bmp or jpg";
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

std::string pictureExtension(const std::string& format) {
    for (const FormatName& f : kFormats)
        if (format == f.name) return f.extension;
    return "";
}

}  // namespace zorvane::cli

// The picture flags that `map` and `export` share: format, zoom, simple map, grid, layers,
// which events, panorama and fog, PNG and JPEG settings, the full-size BMP answer, and how
// many maps are drawn at once.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "map/render_options.h"

namespace zorvane::cli {

struct PictureFlags {
    std::string format = "png";
    std::string zoom = "1";
    bool simple = false, grid = false;
    std::string gridColour = "#000000";
    std::vector<int> layers = {1, 2, 3};
    bool noTileEvents = false, noCharacterEvents = false, noPanorama = false, noFog = false;
    int pngLevel = 6, pngFilter = 5, jpegQuality = 90;
    bool fullSizeBmp = false;
    int jobs = 0;  // maps drawn at once; 0: one per core
};

// Registers the flags on a sub-command; formatHelp describes --format there.
void addPictureFlags(CLI::App* command, PictureFlags& flags, const std::string& formatHelp);

// The render options the flags describe (saveMode from --format), or an error text.
std::string pictureOptions(const PictureFlags& flags, RenderOptions& options);

// The file extension of a --format value ("jpeg" gives "jpg"); "" for an unknown one.
std::string pictureExtension(const std::string& format);

}  // namespace zorvane::cli

#include "map/tileset_graphics.h"

#include "map/graphic_cache.h"

namespace zorvane {

namespace {

constexpr int kAllFolders = -1;  // project folder, then RTP 1 to 3

// An empty name means "no picture": the old picture is dropped rather than kept.
Bitmap32 loadNamed(const std::string& folder, const std::string& name,
                   const ResourceResolver& resources, GraphicCache* graphics) {
    if (name.empty()) return Bitmap32();
    return loadGraphicVia(graphics, folder + name, resources, kAllFolders);
}

// A hue changed in pixels of its own, never in the cache's.
void changeHue(Bitmap32& picture, int hue) {
    if (hue == 0 || picture.empty()) return;
    if (!picture.ownsPixelsAlone()) picture = picture.clone();
    picture.changeHue(hue);
}

}  // namespace

void TilesetGraphics::clear() {
    *this = TilesetGraphics{};
}

void TilesetGraphics::load(const Tileset& tileset, const ResourceResolver& resources,
                           GraphicCache* graphics) {
    clear();
    id = tileset.id;
    name = tileset.name;
    tilesetName = tileset.tilesetName;
    panoramaName = tileset.panoramaName;
    panoramaHue = tileset.panoramaHue;
    fogName = tileset.fogName;
    fogHue = tileset.fogHue;
    fogOpacity = tileset.fogOpacity;
    fogBlendType = tileset.fogBlendType;
    fogZoom = tileset.fogZoom;
    priorities = tileset.priorities;
    passages = tileset.passages;
    projectFolder = resources.gameFolder();

    tilesetPicture = loadNamed("Graphics\\Tilesets\\", tilesetName, resources, graphics);

    panoramaPicture = loadNamed("Graphics\\Panoramas\\", panoramaName, resources, graphics);
    changeHue(panoramaPicture, panoramaHue);

    fogPicture = loadNamed("Graphics\\Fogs\\", fogName, resources, graphics);
    changeHue(fogPicture, fogHue);
    // A zoom of 0 or less leaves no fog to draw (scaled() gives an empty picture).
    if (fogZoom != 100 && !fogPicture.empty()) fogPicture = fogPicture.scaled(fogZoom * 0.01);

    // Only the first seven names count; the record may carry more.
    for (int k = 0; k < kAutotileCount; ++k) {
        if (size_t(k) < tileset.autotileNames.size()) autotileNames[k] = tileset.autotileNames[k];
        autotilePictures[k] =
            loadNamed("Graphics\\Autotiles\\", autotileNames[k], resources, graphics);
    }
}

}  // namespace zorvane

// Page graphic frames: a 32 × 32 tile drawn by the map renderer, or frames a quarter of the
// character sheet wide and high, in the row of the page's direction.
#include "documents/page_graphic.h"

#include "map/image_files.h"
#include "map/map_data.h"
#include "map/tilemap_renderer.h"

namespace zorvane {

namespace {

constexpr int kSheetFrames = 4;  // patterns across, directions down
constexpr int kAllFolders = -1;  // project folder, then RTP 1 to 3

int directionRow(int direction) {
    switch (direction) {
        case 4:
            return 1;
        case 6:
            return 2;
        case 8:
            return 3;
        default:
            return 0;
    }
}

Bitmap32 cut(const Bitmap32& source, int x, int y, int width, int height) {
    Bitmap32 frame;
    if (frame.create(width, height)) frame.copy(source, 0, 0, x, y, width, height);
    return frame;
}

std::vector<Bitmap32> tileFrames(const MapEventGraphic& graphic, const MapData& map) {
    TilemapRenderer renderer(map, RenderOptions{});
    Bitmap32 tile;
    if (!renderer.drawTile(tile, graphic.tileId, true, 0)) return {};
    tile.changeHue(graphic.characterHue);
    return {tile};
}

std::vector<Bitmap32> characterFrames(const MapEventPage& page, const ResourceResolver& resources) {
    const MapEventGraphic& graphic = page.graphic;
    Bitmap32 sheet;
    if (graphic.characterName.empty() ||
        !loadGraphic(sheet, "Graphics\\Characters\\" + graphic.characterName, resources,
                     kAllFolders))
        return {};
    int width = sheet.width() / kSheetFrames;
    int height = sheet.height() / kSheetFrames;
    if (width == 0 || height == 0) return {};
    sheet.changeHue(graphic.characterHue);
    int y = directionRow(graphic.direction) * height;
    std::vector<Bitmap32> frames;
    if (page.walkAnime || page.stepAnime) {
        for (int pattern = 0; pattern < kSheetFrames; ++pattern)
            frames.push_back(cut(sheet, pattern * width, y, width, height));
    } else {
        bool known = graphic.pattern >= 0 && graphic.pattern < kSheetFrames;
        frames.push_back(cut(sheet, (known ? graphic.pattern : 0) * width, y, width, height));
    }
    return frames;
}

}  // namespace

std::vector<Bitmap32> pageGraphicFrames(const MapEventPage& page, const MapData& map) {
    if (page.graphic.tileId != 0) return tileFrames(page.graphic, map);
    return characterFrames(page, map.resources);
}

}  // namespace zorvane

// A map's tileset ready to draw: the tileset, autotile, panorama and fog pictures found in
// the project folder or the RTPs (panorama and fog with their hue, the fog with its zoom
// already applied), and the priority and passage tables the renderer consults.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "map/bitmap32.h"
#include "marshal/rgss_types.h"
#include "project/records.h"
#include "project/resource.h"

namespace zorvane {

class GraphicCache;

constexpr int kAutotileCount = 7;

struct TilesetGraphics {
    int32_t id = 0;
    std::string name;
    std::string tilesetName;
    Bitmap32 tilesetPicture;
    std::array<std::string, kAutotileCount> autotileNames;
    std::array<Bitmap32, kAutotileCount> autotilePictures;
    std::string panoramaName;
    int32_t panoramaHue = 0;
    Bitmap32 panoramaPicture;
    std::string fogName;
    int32_t fogHue = 0;
    int32_t fogOpacity = 0;
    int32_t fogBlendType = 0;
    int32_t fogZoom = 0;  // percent
    Bitmap32 fogPicture;
    Table priorities;
    Table passages;
    std::string projectFolder;

    // Copies the record's names and numbers and loads every picture (project folder
    // first, then RTP 1 to 3). A missing picture stays empty and draws nothing. With a
    // cache the pictures come from it, their pixels shared.
    void load(const Tileset& tileset, const ResourceResolver& resources,
              GraphicCache* graphics = nullptr);
    void clear();
};

}  // namespace zorvane

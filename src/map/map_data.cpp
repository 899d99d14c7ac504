#include "map/map_data.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <tuple>

#include "map/graphic_cache.h"
#include "map/image_files.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

constexpr int kCellSize = 32;
constexpr int kSheetFrames = 4;  // a character sheet is 4 patterns wide, 4 directions high
constexpr int kAllFolders = -1;  // project folder, then RTP 1 to 3

// Sheet row per facing direction (2 down, 4 left, 6 right, 8 up); others use row 0.
int directionRow(int32_t direction) {
    static const std::map<int32_t, int> kRows = {{2, 0}, {4, 1}, {6, 2}, {8, 3}};
    auto it = kRows.find(direction);
    return it == kRows.end() ? 0 : it->second;
}

int clampToInt(int64_t v) {
    return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

int32_t readInt(const MarshalFile& file, const char* path, int32_t fallback) {
    const MarshalValue* v = file.find("%s", path);
    return v ? static_cast<int32_t>(v->integer()) : fallback;
}

}  // namespace

std::string mapFileName(int mapId) {
    char name[32];
    std::snprintf(name, sizeof name, "Map%03d.rxdata", mapId);
    return name;
}

std::vector<Diagnostic> unreadableMaps(const ProjectDatabase& project,
                                       const std::atomic<bool>& stop) {
    std::vector<Diagnostic> found;
    MarshalFile file;  // one for every map: each reuses the memory of the one before
    for (const auto& entry : project.mapInfos()) {
        if (stop) break;
        std::string name = mapFileName(entry.first);
        if (!project.readDataFile(name, file) && !file.error().ok())
            found.push_back({name, file.error().message()});
    }
    return found;
}

void measurePage(MapEventPage& page, int sheetWidth, int sheetHeight) {
    page.frameWidth = page.frameHeight = page.sourceX = page.sourceY = 0;
    page.offsetX = page.offsetY = 0;
    if (page.graphic.tileId != 0) {
        page.frameWidth = page.frameHeight = kCellSize;
        return;
    }
    if (sheetWidth <= 0 || sheetHeight <= 0) return;
    page.frameWidth = sheetWidth / kSheetFrames;
    page.frameHeight = sheetHeight / kSheetFrames;
    page.offsetX = (kCellSize - page.frameWidth) / 2;  // C++ division truncates toward zero
    page.offsetY = kCellSize - page.frameHeight;
    // The pattern is whatever the file says: a frame far off the sheet stays off it rather
    // than wrapping around onto it.
    page.sourceX = clampToInt(int64_t(page.frameWidth) * page.graphic.pattern);
    page.sourceY = page.frameHeight * directionRow(page.graphic.direction);
}

void measurePage(MapEventPage& page, const Bitmap32* sheet) {
    measurePage(page, sheet ? sheet->width() : 0, sheet ? sheet->height() : 0);
}

void MapData::clear() {
    loaded = false;
    mapId = width = height = tilesetId = 0;
    data = Table{};
    autoplayBgm = autoplayBgs = false;
    bgm = AudioFile{};
    bgs = AudioFile{};
    events.clear();
    projectFolder.clear();
    resources = ResourceResolver();
    tilesetGraphics.clear();
    characterCache.clear();
    loadFailure.clear();
    missingSheets_.clear();
    uncachedSheets_.clear();
    cachedPixels_ = 0;
    root.clear();
}

bool MapData::load(const ProjectDatabase& project, int id, bool measureGraphics,
                   GraphicCache* graphics, bool tiles) {
    clear();
    projectFolder = project.projectFolder;
    resources = project.resources();
    if (!project.readDataFile(mapFileName(id), root)) {
        // No error when there is no such file: a map the editor lists but never saved.
        std::string why = root.error().ok() ? std::string() : root.error().message();
        clear();
        loadFailure = why;
        return false;
    }
    mapId = id;
    readHeader(tiles);
    graphics_ = graphics;
    readEvents(measureGraphics);
    graphics_ = nullptr;
    loaded = true;
    return true;
}

void MapData::readHeader(bool tiles) {
    width = readInt(root, "RPG::Map.@width", width);
    height = readInt(root, "RPG::Map.@height", height);
    tilesetId = readInt(root, "RPG::Map.@tileset_id", tilesetId);
    const MarshalValue* tileTable = tiles ? root.find("RPG::Map.@data") : nullptr;
    if (tileTable) {
        Table table;
        if (table.decode(*tileTable)) data = table;
    }
    if (const MarshalValue* v = root.find("RPG::Map.@autoplay_bgm")) autoplayBgm = v->isTrue();
    if (const MarshalValue* v = root.find("RPG::Map.@autoplay_bgs")) autoplayBgs = v->isTrue();
    if (const MarshalValue* v = root.find("RPG::Map.@bgm")) bgm.decode(*v);
    if (const MarshalValue* v = root.find("RPG::Map.@bgs")) bgs.decode(*v);
}

void MapData::readEvents(bool measureGraphics) {
    const MarshalValue* hash = root.find("RPG::Map.@events");
    if (!hash || hash->kind() != MarshalValue::Hash) return;
    for (const auto& [key, value] : hash->pairs()) {
        int64_t id = key.integer();
        if (id < INT32_MIN || id > INT32_MAX) continue;
        events[static_cast<int32_t>(id)] =
            readEvent(static_cast<int32_t>(id), value, measureGraphics);
    }
}

MapEvent MapData::readEvent(int32_t id, const MarshalValue& node, bool measureGraphics) {
    MapEvent event;
    event.id = id;
    // Only an object has instance variables; anything else is an event without fields.
    if (node.kind() != MarshalValue::Object) return event;
    if (const MarshalValue* v = node.findIvar("@name")) event.name = v->text();
    if (const MarshalValue* v = node.findIvar("@x")) event.x = static_cast<int32_t>(v->integer());
    if (const MarshalValue* v = node.findIvar("@y")) event.y = static_cast<int32_t>(v->integer());
    const MarshalValue* pages = node.findIvar("@pages");
    if (!pages || pages->kind() != MarshalValue::Array) return event;
    event.pages.resize(pages->children().size());
    for (size_t p = 0; p < event.pages.size(); ++p) {
        MapEventPage& page = event.pages[p];
        const MarshalValue& pageNode = pages->children()[p];
        if (pageNode.kind() == MarshalValue::Object) readMapEventPage(pageNode, page);
        if (!measureGraphics) continue;
        int sheetWidth = 0, sheetHeight = 0;
        if (page.graphic.tileId == 0)
            characterSheetSize(page.graphic.characterName, sheetWidth, sheetHeight);
        measurePage(page, sheetWidth, sheetHeight);
    }
    return event;
}

bool MapData::characterSheetSize(const std::string& characterName, int& width, int& height) {
    if (characterName.empty() || missingSheets_.count(characterName)) return false;
    if (auto hit = characterCache.find(characterName); hit != characterCache.end()) {
        width = hit->second.width();
        height = hit->second.height();
        return true;
    }
    if (auto known = uncachedSheets_.find(characterName); known != uncachedSheets_.end()) {
        std::tie(width, height) = known->second;
        return true;
    }
    std::string path;
    const std::string name = "Graphics\\Characters\\" + characterName;
    if (graphics_ ? !graphics_->find(name, resources, kAllFolders, path, width, height)
                  : !findGraphic(name, resources, kAllFolders, path, width, height)) {
        missingSheets_.insert(characterName);
        return false;
    }
    // Measuring needs only the header; the picture is decoded and kept for drawing while
    // the kept sheets stay within the budget.
    const uint64_t pixels = uint64_t(width) * uint64_t(height);
    if (cachedPixels_ + pixels > kCharacterCachePixels) {
        uncachedSheets_[characterName] = {width, height};
        return true;
    }
    Bitmap32 sheet = decodeImageVia(graphics_, path);
    if (sheet.empty()) {
        missingSheets_.insert(characterName);
        return false;
    }
    cachedPixels_ += pixels;
    characterCache.emplace(characterName, sheet);
    return true;
}

void MapData::loadTileset(const std::vector<Tileset>& tilesets, GraphicCache* graphics) {
    if (tilesetId == 0 || tilesetId < 0 || size_t(tilesetId) >= tilesets.size()) return;
    tilesetGraphics.load(tilesets[size_t(tilesetId)], resources, graphics);
}

int16_t MapData::tileAt(int x, int y, int layer) const {
    return data.at(x, y, layer);
}

}  // namespace zorvane

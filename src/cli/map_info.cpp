#include "cli/map_info.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "map/map_data.h"
#include "map/map_info_tree.h"

namespace zorvane::cli {

namespace {

using nlohmann::json;

// The page fields shown after the graphic, by their stored names.
struct PageIntField {
    const char* name;
    int32_t MapEventPage::*member;
};
const PageIntField kPageIntFields[] = {
    {"move_type", &MapEventPage::moveType},
    {"move_speed", &MapEventPage::moveSpeed},
    {"move_frequency", &MapEventPage::moveFrequency},
    {"trigger", &MapEventPage::trigger},
};

struct PageFlag {
    const char* name;
    bool MapEventPage::*member;
};
const PageFlag kPageFlags[] = {
    {"walk_anime", &MapEventPage::walkAnime},       {"step_anime", &MapEventPage::stepAnime},
    {"direction_fix", &MapEventPage::directionFix}, {"through", &MapEventPage::through},
    {"always_on_top", &MapEventPage::alwaysOnTop},
};

struct RectField {
    const char* name;
    int32_t MapEventPage::*member;
};
const RectField kRectFields[] = {
    {"source_x", &MapEventPage::sourceX},       {"source_y", &MapEventPage::sourceY},
    {"frame_width", &MapEventPage::frameWidth}, {"frame_height", &MapEventPage::frameHeight},
    {"offset_x", &MapEventPage::offsetX},       {"offset_y", &MapEventPage::offsetY},
};

std::string selfSwitchLetter(int32_t code) {
    return code >= 32 && code < 127 ? std::string(1, char(code)) : std::to_string(code);
}

std::string tilesetName(const ProjectDatabase& db, int32_t id) {
    return id > 0 && size_t(id) < db.tilesets().size() ? db.tilesets()[size_t(id)].name : "";
}

// ---- text ----

std::string conditionText(const ProjectDatabase& db, const MapEventCondition& c) {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (c.switch1Valid)
        add("switch " + db.label(c.switch1Id, LabelKind::Switch, LabelStyle::numbered()) + " ON");
    if (c.switch2Valid)
        add("switch " + db.label(c.switch2Id, LabelKind::Switch, LabelStyle::numbered()) + " ON");
    if (c.variableValid)
        add("variable " + db.label(c.variableId, LabelKind::Variable, LabelStyle::numbered()) +
            " >= " + std::to_string(c.variableValue));
    if (c.selfSwitchValid) add("self switch " + selfSwitchLetter(c.selfSwitchCh) + " ON");
    return text.empty() ? "none" : text;
}

std::string graphicText(const MapEventGraphic& g) {
    std::string text = g.tileId != 0             ? "tile " + std::to_string(g.tileId)
                       : g.characterName.empty() ? std::string("none")
                                                 : "character \"" + g.characterName + "\"";
    text += " hue " + std::to_string(g.characterHue) + ", direction " +
            std::to_string(g.direction) + ", pattern " + std::to_string(g.pattern) + ", opacity " +
            std::to_string(g.opacity) + ", blend " + std::to_string(g.blendType);
    return text;
}

void printAudio(const char* caption, const AudioFile& audio, bool autoplay) {
    std::printf("%s: %s (volume %d, pitch %d), autoplay %s\n", caption,
                audio.name.empty() ? "(none)" : audio.name.c_str(), audio.volume, audio.pitch,
                autoplay ? "on" : "off");
}

void printPage(const ProjectDatabase& db, const MapEventPage& page, size_t index, bool measure) {
    std::printf("  Page %zu\n", index + 1);
    std::printf("    Condition: %s\n", conditionText(db, page.condition).c_str());
    std::printf("    Graphic: %s\n", graphicText(page.graphic).c_str());
    std::string line;
    for (const PageIntField& f : kPageIntFields)
        line +=
            std::string(line.empty() ? "" : ", ") + f.name + " " + std::to_string(page.*f.member);
    for (const PageFlag& f : kPageFlags)
        if (page.*f.member) line += std::string(", ") + f.name;
    std::printf("    Movement: %s\n", line.c_str());
    if (!measure) return;
    std::printf("    Picture: source (%d, %d) size %d x %d, offset (%d, %d)\n", page.sourceX,
                page.sourceY, page.frameWidth, page.frameHeight, page.offsetX, page.offsetY);
}

void printText(const ProjectDatabase& db, const MapData& map, const MapInfoTree& tree,
               bool measure) {
    std::printf("Map %03d: %s\n", map.mapId, tree.pathOf(map.mapId).c_str());
    std::printf("Size: %d x %d\n", map.width, map.height);
    std::printf("Tileset: %03d %s\n", map.tilesetId, tilesetName(db, map.tilesetId).c_str());
    printAudio("BGM", map.bgm, map.autoplayBgm);
    printAudio("BGS", map.bgs, map.autoplayBgs);
    std::printf("Events: %zu\n", map.events.size());
    for (const auto& [id, event] : map.events) {
        std::printf("Event %03d \"%s\" at (%d, %d), %zu page%s\n", id, event.name.c_str(), event.x,
                    event.y, event.pages.size(), event.pages.size() == 1 ? "" : "s");
        for (size_t p = 0; p < event.pages.size(); ++p) printPage(db, event.pages[p], p, measure);
    }
}

// ---- JSON ----

json audioJson(const AudioFile& audio, bool autoplay) {
    return {{"name", audio.name},
            {"volume", audio.volume},
            {"pitch", audio.pitch},
            {"autoplay", autoplay}};
}

json pageJson(const MapEventPage& page, bool measure) {
    const MapEventCondition& c = page.condition;
    const MapEventGraphic& g = page.graphic;
    json j;
    j["condition"] = {{"switch1_valid", c.switch1Valid},
                      {"switch1_id", c.switch1Id},
                      {"switch2_valid", c.switch2Valid},
                      {"switch2_id", c.switch2Id},
                      {"variable_valid", c.variableValid},
                      {"variable_id", c.variableId},
                      {"variable_value", c.variableValue},
                      {"self_switch_valid", c.selfSwitchValid},
                      {"self_switch_ch", selfSwitchLetter(c.selfSwitchCh)}};
    j["graphic"] = {{"tile_id", g.tileId},
                    {"character_name", g.characterName},
                    {"character_hue", g.characterHue},
                    {"direction", g.direction},
                    {"pattern", g.pattern},
                    {"opacity", g.opacity},
                    {"blend_type", g.blendType}};
    for (const PageIntField& f : kPageIntFields) j[f.name] = page.*f.member;
    for (const PageFlag& f : kPageFlags) j[f.name] = page.*f.member;
    if (measure)
        for (const RectField& f : kRectFields) j["picture"][f.name] = page.*f.member;
    return j;
}

json mapJson(const ProjectDatabase& db, const MapData& map, const MapInfoTree& tree, bool measure) {
    json j;
    j["id"] = map.mapId;
    j["name"] = tree.nameOf(map.mapId);
    j["path"] = tree.pathOf(map.mapId);
    j["width"] = map.width;
    j["height"] = map.height;
    j["tileset"] = {{"id", map.tilesetId}, {"name", tilesetName(db, map.tilesetId)}};
    j["bgm"] = audioJson(map.bgm, map.autoplayBgm);
    j["bgs"] = audioJson(map.bgs, map.autoplayBgs);
    j["events"] = json::array();
    for (const auto& [id, event] : map.events) {
        json e = {{"id", id}, {"name", event.name}, {"x", event.x}, {"y", event.y}};
        e["pages"] = json::array();
        for (const MapEventPage& page : event.pages) e["pages"].push_back(pageJson(page, measure));
        j["events"].push_back(std::move(e));
    }
    return j;
}

}  // namespace

int printMapInfo(const ProjectDatabase& db, int mapId, bool measure, bool json) {
    MapInfoTree tree = MapInfoTree::fromProject(db);
    if (mapId < 1 || !tree.contains(mapId)) {
        std::fprintf(stderr, "map %d is not in the project's map tree\n", mapId);
        return 1;
    }
    MapData map;
    if (!map.load(db, mapId, measure)) {
        std::fprintf(stderr, "map %d: cannot read Data/%s\n", mapId, mapFileName(mapId).c_str());
        return 1;
    }
    if (json) {
        // Project texts need not be valid UTF-8; such bytes must not abort the output.
        std::printf("%s\n", mapJson(db, map, tree, measure)
                                .dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                                .c_str());
    } else {
        printText(db, map, tree, measure);
    }
    return 0;
}

}  // namespace zorvane::cli

// Item texts follow the editor's numbering so that a number read back from the start of an
// item names the same record; script titles come from the project, so a proposed file name
// built from one is made safe first.
#include "documents/viewer_items.h"

#include <cctype>

#include "listing/operands.h"
#include "map/map_data.h"
#include "platform/path_nocase.h"
#include "platform/string_util.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

// Records 1 to the last of a table whose slot 0 is empty.
template <class Record>
std::vector<ViewerItem> numberedItems(const std::vector<Record>& records) {
    std::vector<ViewerItem> items;
    for (size_t id = 1; id < records.size(); ++id)
        items.push_back({int(id), format("%03d:", int(id)) + records[id].name});
    return items;
}

std::vector<ViewerItem> mapEventItems(const MapData* map) {
    std::vector<ViewerItem> items;
    if (map == nullptr || !map->loaded) return items;
    for (const auto& [id, event] : map->events)
        items.push_back({id, format("%03d:(%03d,%03d)", id, event.x, event.y) + event.name});
    return items;
}

std::vector<ViewerItem> scriptItems(const std::vector<Script>& scripts) {
    std::vector<ViewerItem> items;
    for (size_t i = 0; i < scripts.size(); ++i)
        items.push_back({int(i + 1), format("%03d:", int(i + 1)) + scripts[i].title});
    return items;
}

}  // namespace

std::vector<ViewerItem> viewerItems(DocumentKind kind, const ProjectDatabase& project,
                                    const MapData* map) {
    switch (kind) {
        case DocumentKind::CommonEvent:
            return numberedItems(project.commonEvents());
        case DocumentKind::BattleEvent:
            return numberedItems(project.troops());
        case DocumentKind::MapEvent:
            return mapEventItems(map);
        case DocumentKind::Script:
            return scriptItems(project.scripts());
    }
    return {};
}

int viewerPageCount(DocumentKind kind, int id, const ProjectDatabase& project, const MapData* map) {
    if (id < 1) return 0;
    if (kind == DocumentKind::BattleEvent) {
        const std::vector<Troop>& troops = project.troops();
        return size_t(id) < troops.size() ? int(troops[size_t(id)].pages.size()) : 0;
    }
    if (kind == DocumentKind::MapEvent && map != nullptr) {
        auto event = map->events.find(id);
        return event == map->events.end() ? 0 : int(event->second.pages.size());
    }
    return 0;
}

std::string proposedDocumentName(const DocumentRequest& request, int mapId,
                                 const ProjectDatabase& project) {
    switch (request.kind) {
        case DocumentKind::CommonEvent:
            return format("CommonEvent%03d", request.id);
        case DocumentKind::BattleEvent:
            return format("BattleEvent%03d-%02d", request.id, request.page);
        case DocumentKind::MapEvent:
            return format("MapEvent%04d-%04d-%02d", mapId, request.id, request.page);
        case DocumentKind::Script: {
            const std::vector<Script>& scripts = project.scripts();
            std::string title;
            if (request.id >= 1 && size_t(request.id) <= scripts.size())
                title = scripts[size_t(request.id - 1)].title;
            return safeFileName(format("%03d-", request.id) + title);
        }
    }
    return "";
}

bool isHtmlFileName(const std::string& path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string extension = asciiLower(path.substr(dot + 1));
    return extension == "htm" || extension == "html";
}

}  // namespace zorvane

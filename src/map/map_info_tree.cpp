#include "map/map_info_tree.h"

#include <algorithm>
#include <set>
#include <utility>

#include "project/project_database.h"

namespace zorvane {

MapInfoTree::MapInfoTree(std::map<int, MapInfo> entries) : entries_(std::move(entries)) {}

MapInfoTree MapInfoTree::fromProject(const ProjectDatabase& db) {
    return MapInfoTree(db.mapInfos());
}

const MapInfo* MapInfoTree::find(int id) const {
    auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : &it->second;
}

std::string MapInfoTree::nameOf(int id) const {
    const MapInfo* info = find(id);
    return info ? info->name : std::string();
}

std::string MapInfoTree::pathOf(int id) const {
    std::vector<const MapInfo*> chain;
    std::set<int> seen;
    for (int current = id;;) {
        const MapInfo* info = find(current);
        // A parent chain that comes back on itself (damaged data) ends where it repeats.
        if (!info || !seen.insert(current).second) break;
        chain.push_back(info);
        if (info->parentId <= 0) break;
        current = info->parentId;
    }
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += '/';
        path += (*it)->name;
    }
    return path;
}

bool MapInfoTree::isDescendant(int id, int ancestorId) const {
    if (ancestorId < 1) return false;
    std::set<int> seen;
    for (int current = id;;) {
        if (current == ancestorId) return true;
        const MapInfo* info = current < 1 ? nullptr : find(current);
        if (!info || !seen.insert(current).second) return false;
        current = info->parentId;
    }
}

size_t MapInfoTree::count() const {
    return size_t(std::count_if(entries_.begin(), entries_.end(),
                                [](const auto& entry) { return entry.first > 0; }));
}

std::vector<int> MapInfoTree::editorOrder() const {
    std::multimap<int, int> byOrder;  // order -> id, ids ascending within one order
    for (const auto& [id, info] : entries_)
        if (id > 0) byOrder.emplace(info.order, id);
    std::vector<int> ids;
    for (int order = 1;; ++order) {
        auto [first, last] = byOrder.equal_range(order);
        if (first == last) break;
        for (auto it = first; it != last; ++it) ids.push_back(it->second);
    }
    return ids;
}

}  // namespace zorvane

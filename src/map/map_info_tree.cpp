#include "map/map_info_tree.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "project/project_database.h"

namespace zorvane {

MapInfoTree::MapInfoTree(std::map<int, MapInfo> entries) : entries_(std::move(entries)) {
    computeDepths();
}

void MapInfoTree::computeDepths() {
    std::vector<int> walk;
    std::map<int, size_t> onWalk;  // id -> position in walk
    for (const auto& entry : entries_) {
        if (depths_.count(entry.first)) continue;
        walk.clear();
        onWalk.clear();
        int above = -1;  // depth of the map above the walk's top; -1: the walk reached the top
        for (int current = entry.first;;) {
            if (auto known = depths_.find(current); known != depths_.end()) {
                above = known->second;
                break;
            }
            const MapInfo* info = find(current);
            if (!info) break;
            if (auto seen = onWalk.find(current); seen != onWalk.end()) {
                // A loop: each of its maps has the whole loop on its path, once.
                const int loop = int(walk.size() - seen->second);
                for (size_t k = seen->second; k < walk.size(); ++k) {
                    depths_[walk[k]] = loop - 1;
                    looped_.insert(walk[k]);
                }
                walk.resize(seen->second);
                above = loop - 1;
                break;
            }
            onWalk[current] = walk.size();
            walk.push_back(current);
            if (current == 0 || info->parentId <= 0) break;
            current = info->parentId;
        }
        for (size_t k = walk.size(); k-- > 0;) depths_[walk[k]] = ++above;
    }
}

int MapInfoTree::depthOf(int id) const {
    auto it = depths_.find(id);
    return it == depths_.end() ? 0 : it->second;
}

std::set<int> MapInfoTree::descendantsOf(int ancestorId) const {
    std::set<int> found;
    if (ancestorId < 1) return found;
    std::multimap<int, int> children;  // parent id -> id
    for (const auto& [id, info] : entries_)
        if (id > 0) children.emplace(info.parentId, id);
    std::vector<int> pending{ancestorId};
    found.insert(ancestorId);
    while (!pending.empty()) {
        int parent = pending.back();
        pending.pop_back();
        auto [first, last] = children.equal_range(parent);
        for (auto it = first; it != last; ++it)
            if (found.insert(it->second).second) pending.push_back(it->second);
    }
    return found;
}

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
    // The path holds the map and the depthOf(id) maps above it; a loop ends where it repeats.
    std::vector<const MapInfo*> chain;
    const MapInfo* info = find(id);
    for (int steps = depthOf(id); info; --steps) {
        chain.push_back(info);
        if (steps == 0 || info->parentId <= 0) break;
        info = find(info->parentId);
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
    // Walking up, a map that is not found within depth + 1 steps is never found: beyond
    // that the chain has left the tree or gone round its loop.
    int current = id;
    for (int steps = depthOf(id) + 1; steps >= 0; --steps) {
        if (current == ancestorId) return true;
        const MapInfo* info = current < 1 ? nullptr : find(current);
        if (!info) return false;
        current = info->parentId;
    }
    return false;
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

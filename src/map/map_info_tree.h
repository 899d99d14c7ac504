// The map tree of a project: every map's name, parent and place in the editor's list,
// with the root (id 0, the project's title) in front. Answers names, slash-joined paths,
// ancestry and the editor's order; broken parent chains never make a walk loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "project/records.h"

namespace zorvane {

class ProjectDatabase;

class MapInfoTree {
  public:
    MapInfoTree() = default;
    // The entries as the project loader read them (entry 0 being the root).
    explicit MapInfoTree(std::map<int, MapInfo> entries);
    static MapInfoTree fromProject(const ProjectDatabase& db);

    const std::map<int, MapInfo>& entries() const { return entries_; }
    bool contains(int id) const { return entries_.count(id) != 0; }

    // Empty for an id the tree does not hold.
    std::string nameOf(int id) const;
    // Names from the top-level ancestor down to the map, joined by '/'.
    std::string pathOf(int id) const;
    // A map counts as its own descendant; an ancestor id below 1 is never matched.
    bool isDescendant(int id, int ancestorId) const;
    // Maps only: the root entry is not a map.
    size_t count() const;
    // Maps by `order` 1, 2, 3, … up to the first order value that no map has. Maps that
    // share an order value (damaged data) all appear, in id order.
    std::vector<int> editorOrder() const;

  private:
    const MapInfo* find(int id) const;

    std::map<int, MapInfo> entries_;
};

}  // namespace zorvane

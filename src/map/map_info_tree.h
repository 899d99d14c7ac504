// The map tree of a project: every map's name, parent and place in the editor's list,
// with the root (id 0, the project's title) in front. Answers names, slash-joined paths,
// ancestry and the editor's order; broken parent chains never make a walk loop, and no
// walk costs more than one pass however deep the tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
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
    // Every id whose parent chain reaches ancestorId, ancestorId included (none below 1):
    // what isDescendant answers for each id, found in one pass over the tree.
    std::set<int> descendantsOf(int ancestorId) const;
    // How many maps stand above the map on its path (0 for a top-level map, an orphan, or
    // an id the tree does not hold).
    int depthOf(int id) const;
    // Maps whose parent chain comes back to themselves (damaged data), in id order.
    const std::set<int>& mapsInLoops() const { return looped_; }
    // Maps only: the root entry is not a map.
    size_t count() const;
    // Maps by `order` 1, 2, 3, … up to the first order value that no map has. Maps that
    // share an order value (damaged data) all appear, in id order.
    std::vector<int> editorOrder() const;

  private:
    const MapInfo* find(int id) const;
    // Depths of all maps at once, each parent chain walked once: linear in the number of
    // maps however deep the chains, and a chain that comes back on itself is cut where it
    // repeats.
    void computeDepths();

    std::map<int, MapInfo> entries_;
    std::map<int, int> depths_;
    std::set<int> looped_;
};

}  // namespace zorvane

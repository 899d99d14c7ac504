// The walk: ids of a scope, the list node of each page, each map read once with its events.
// A project's parts and a data file read on its own go through the same inner loops, so a
// list is reached one way only.
#include "map/event_walk.h"

#include "project/project_database.h"

namespace zorvane {

namespace {

// What links in one file lead to: the walk looks through a link wherever it stands.
class FileNodes {
  public:
    explicit FileNodes(const MarshalFile& file) : file_(file) {}

    const MarshalValue* deref(const MarshalValue* node) const {
        if (!node || node->kind() != MarshalValue::Link) return node;
        return file_.index().resolveLink(0, node->fixnum());
    }

    const MarshalValue* element(const MarshalValue* node, int i) const {
        if (!node || node->kind() != MarshalValue::Array || i < 0) return nullptr;
        const ValueArray& items = node->children();
        return static_cast<size_t>(i) < items.size() ? deref(&items[static_cast<size_t>(i)])
                                                     : nullptr;
    }

    const MarshalValue* ivar(const MarshalValue* node, const char* name) const {
        if (!node || (node->kind() != MarshalValue::Object && node->kind() != MarshalValue::Struct))
            return nullptr;
        return deref(node->findIvar(name));
    }

    // The first top-level value of the file when it is an array (the database files).
    const MarshalValue* topArray() const {
        const ValueArray& tops = file_.root().children();
        return tops.empty() || tops[0].kind() != MarshalValue::Array ? nullptr : &tops[0];
    }

    const MarshalValue* listOf(const MarshalValue* owner) const {
        const MarshalValue* list = ivar(owner, "@list");
        return list && list->kind() == MarshalValue::Array ? list : nullptr;
    }

    // A map's event objects by id; the first entry of an id wins.
    std::map<int32_t, const MarshalValue*> eventNodes() const {
        std::map<int32_t, const MarshalValue*> nodes;
        const ValueArray& tops = file_.root().children();
        const MarshalValue* events = tops.empty() ? nullptr : ivar(&tops[0], "@events");
        if (!events ||
            (events->kind() != MarshalValue::Hash && events->kind() != MarshalValue::HashDef))
            return nodes;
        for (const ValuePair& pair : events->pairs())
            if (pair.first.kind() == MarshalValue::Fixnum)
                nodes.emplace(pair.first.fixnum(), deref(&pair.second));
        return nodes;
    }

  private:
    const MarshalFile& file_;
};

struct IdRange {
    int first = 1;
    int last = 0;
};

IdRange rangeOf(int scope, size_t count) {
    if (scope > 0) return {scope, scope};
    return {1, static_cast<int>(count) - 1};
}

// The loops over one file's owners; the abort flag may be null.
class Lists {
  public:
    Lists(EventListVisitor& visitor, const std::atomic<bool>* abort)
        : visitor_(visitor), abort_(abort) {}

    bool aborted() const { return abort_ && abort_->load(std::memory_order_relaxed); }

    bool commonEvents(const std::vector<CommonEvent>& events, const MarshalFile& file,
                      IdRange range) {
        FileNodes nodes(file);
        for (int id = range.first; id <= range.last; ++id) {
            visitor_.reach(OwnerKind::CommonEvent, id);
            if (aborted()) return false;
            if (static_cast<size_t>(id) >= events.size()) continue;
            EventListPlace place;
            place.owner = OwnerKind::CommonEvent;
            place.ownerId = id;
            place.commonEvent = &events[static_cast<size_t>(id)];
            place.node = nodes.element(nodes.topArray(), id);
            WalkStep step = visitor_.enter(place);
            if (step == WalkStep::Stop) return false;
            if (step == WalkStep::SkipOwner) continue;
            place.list = nodes.listOf(place.node);
            if (visitor_.list(place) == WalkStep::Stop) return false;
            visitor_.leave(place);
        }
        return true;
    }

    bool troops(const std::vector<Troop>& troops, const MarshalFile& file, IdRange range) {
        FileNodes nodes(file);
        for (int id = range.first; id <= range.last; ++id) {
            visitor_.reach(OwnerKind::Troop, id);
            if (aborted()) return false;
            if (static_cast<size_t>(id) >= troops.size()) continue;
            EventListPlace place;
            place.owner = OwnerKind::Troop;
            place.ownerId = id;
            place.troop = &troops[static_cast<size_t>(id)];
            place.node = nodes.element(nodes.topArray(), id);
            WalkStep step = visitor_.enter(place);
            if (step == WalkStep::Stop) return false;
            if (step == WalkStep::SkipOwner) continue;
            if (!pages(place, place.troop->pages.size(), nodes)) return false;
            visitor_.leave(place);
        }
        return true;
    }

    bool mapEvents(const MarshalFile& file, int mapId, const std::map<int32_t, MapEvent>& events,
                   const MapData* map) {
        FileNodes nodes(file);
        std::map<int32_t, const MarshalValue*> eventNodes = nodes.eventNodes();
        for (const auto& [id, event] : events) {
            if (aborted()) return false;
            EventListPlace place;
            place.owner = OwnerKind::Map;
            place.ownerId = mapId;
            place.map = map;
            place.event = &event;
            auto node = eventNodes.find(id);
            place.node = node == eventNodes.end() ? nullptr : node->second;
            WalkStep step = visitor_.enter(place);
            if (step == WalkStep::Stop) return false;
            if (step == WalkStep::SkipOwner) continue;
            if (!pages(place, event.pages.size(), nodes)) return false;
            visitor_.leave(place);
        }
        return true;
    }

  private:
    // The pages of an owner entered: page nodes from its @pages, as many as its record has.
    bool pages(EventListPlace& place, size_t count, const FileNodes& nodes) {
        const MarshalValue* pagesNode = nodes.ivar(place.node, "@pages");
        for (size_t p = 0; p < count; ++p) {
            if (aborted()) return false;
            place.page = static_cast<int>(p) + 1;
            place.pageNode = nodes.element(pagesNode, static_cast<int>(p));
            place.list = nodes.listOf(place.pageNode);
            WalkStep step = visitor_.list(place);
            if (step == WalkStep::Stop) return false;
            if (step == WalkStep::SkipOwner) break;
        }
        return true;
    }

    EventListVisitor& visitor_;
    const std::atomic<bool>* abort_;
};

class Walk {
  public:
    Walk(const ProjectDatabase& project, const WalkScope& scope, EventListVisitor& visitor,
         const std::atomic<bool>* abort, MapSource* source)
        : project_(project), scope_(scope), visitor_(visitor), lists_(visitor, abort),
          source_(source) {}

    bool run() { return commonEvents() && troops() && maps(); }

  private:
    bool commonEvents() {
        if (scope_.commonEvents < 0) return true;
        const std::vector<CommonEvent>& events = project_.commonEvents();
        return lists_.commonEvents(events, project_.commonEventsFile(),
                                   rangeOf(scope_.commonEvents, events.size()));
    }

    bool troops() {
        if (scope_.troops < 0) return true;
        const std::vector<Troop>& troops = project_.troops();
        return lists_.troops(troops, project_.troopsFile(), rangeOf(scope_.troops, troops.size()));
    }

    bool mapInScope(int mapId) const {
        return scope_.maps == 0 || mapId == scope_.maps || scope_.moreMaps.count(mapId) != 0;
    }

    bool maps() {
        if (scope_.maps < 0) return true;
        for (const auto& entry : project_.mapInfos()) {
            int mapId = entry.first;
            if (mapId <= 0 || !mapInScope(mapId)) continue;
            visitor_.reach(OwnerKind::Map, mapId);
            if (lists_.aborted()) return false;
            MapData own;
            std::string why;
            const MapData* map = source_ ? source_->read(mapId, why) : &own;
            if (!source_ && !own.load(project_, mapId, false, nullptr, scope_.tiles)) {
                map = nullptr;
                why = own.loadFailure;
            }
            // A source stops handing out maps only once the walk is aborted.
            if (!map && source_ && lists_.aborted()) return false;
            if (!map)
                visitor_.mapUnreadable(mapId, why);
            else if (!mapEvents(*map))
                return false;
            visitor_.leaveMap(mapId);
        }
        return true;
    }

    bool mapEvents(const MapData& map) {
        WalkStep step = visitor_.enterMap(map);
        if (step == WalkStep::Stop) return false;
        if (step == WalkStep::SkipOwner) return true;
        return lists_.mapEvents(map.root, map.mapId, map.events, &map);
    }

    const ProjectDatabase& project_;
    const WalkScope& scope_;
    EventListVisitor& visitor_;
    Lists lists_;
    MapSource* source_;
};

}  // namespace

bool walkEventLists(const ProjectDatabase& project, const WalkScope& scope,
                    EventListVisitor& visitor, const std::atomic<bool>* abort, MapSource* maps) {
    return Walk(project, scope, visitor, abort, maps).run();
}

bool walkCommonEventFile(const MarshalFile& file, const std::vector<CommonEvent>& records,
                         EventListVisitor& visitor, const std::atomic<bool>* abort) {
    return Lists(visitor, abort).commonEvents(records, file, rangeOf(0, records.size()));
}

bool walkTroopFile(const MarshalFile& file, const std::vector<Troop>& records,
                   EventListVisitor& visitor, const std::atomic<bool>* abort) {
    return Lists(visitor, abort).troops(records, file, rangeOf(0, records.size()));
}

bool walkMapFile(const MarshalFile& file, int mapId, const std::map<int32_t, MapEvent>& events,
                 EventListVisitor& visitor, const std::atomic<bool>* abort) {
    return Lists(visitor, abort).mapEvents(file, mapId, events, nullptr);
}

}  // namespace zorvane

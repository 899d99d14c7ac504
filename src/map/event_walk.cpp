// The walk: ids of a scope, the list node of each page, each map read once with its events.
#include "map/event_walk.h"

#include "project/project_database.h"

namespace zorvane {

namespace {

const MarshalValue* element(const MarshalValue* node, int i) {
    if (!node || node->kind() != MarshalValue::Array || i < 0) return nullptr;
    ValueArray items = node->children();
    return static_cast<size_t>(i) < items.size() ? &items[static_cast<size_t>(i)] : nullptr;
}

const MarshalValue* ivar(const MarshalValue* node, const char* name) {
    if (!node || (node->kind() != MarshalValue::Object && node->kind() != MarshalValue::Struct))
        return nullptr;
    return node->findIvar(name);
}

// The first top-level value of a file when it is an array (the database files).
const MarshalValue* topArray(const MarshalFile& file) {
    ValueArray tops = file.root().children();
    return tops.empty() || tops[0].kind() != MarshalValue::Array ? nullptr : &tops[0];
}

const MarshalValue* listOf(const MarshalValue* owner) {
    const MarshalValue* list = ivar(owner, "@list");
    return list && list->kind() == MarshalValue::Array ? list : nullptr;
}

// A map's event objects by id; the first entry of an id wins.
std::map<int32_t, const MarshalValue*> eventNodes(const MapData& map) {
    std::map<int32_t, const MarshalValue*> nodes;
    ValueArray tops = map.root.root().children();
    const MarshalValue* events = tops.empty() ? nullptr : ivar(&tops[0], "@events");
    if (!events ||
        (events->kind() != MarshalValue::Hash && events->kind() != MarshalValue::HashDef))
        return nodes;
    for (const ValuePair& pair : events->pairs())
        if (pair.first.kind() == MarshalValue::Fixnum)
            nodes.emplace(pair.first.fixnum(), &pair.second);
    return nodes;
}

struct IdRange {
    int first = 1;
    int last = 0;
};

IdRange rangeOf(int scope, size_t count) {
    if (scope > 0) return {scope, scope};
    return {1, static_cast<int>(count) - 1};
}

class Walk {
  public:
    Walk(const ProjectDatabase& project, const WalkScope& scope, EventListVisitor& visitor,
         const std::atomic<bool>* abort, MapSource* source)
        : project_(project), scope_(scope), visitor_(visitor), abort_(abort), source_(source) {}

    bool run() { return commonEvents() && troops() && maps(); }

  private:
    bool aborted() const { return abort_ && abort_->load(std::memory_order_relaxed); }

    // Go and SkipOwner go on; Stop stops.
    static bool goesOn(WalkStep step) { return step != WalkStep::Stop; }

    bool commonEvents() {
        if (scope_.commonEvents < 0) return true;
        const std::vector<CommonEvent>& events = project_.commonEvents();
        IdRange range = rangeOf(scope_.commonEvents, events.size());
        for (int id = range.first; id <= range.last; ++id) {
            visitor_.reach(OwnerKind::CommonEvent, id);
            if (aborted()) return false;
            if (static_cast<size_t>(id) >= events.size()) continue;
            EventListPlace place;
            place.owner = OwnerKind::CommonEvent;
            place.ownerId = id;
            place.commonEvent = &events[static_cast<size_t>(id)];
            WalkStep step = visitor_.enter(place);
            if (step != WalkStep::Go) {
                if (goesOn(step)) continue;
                return false;
            }
            place.list = listOf(element(topArray(project_.commonEventsFile()), id));
            if (!goesOn(visitor_.list(place))) return false;
        }
        return true;
    }

    bool troops() {
        if (scope_.troops < 0) return true;
        const std::vector<Troop>& troops = project_.troops();
        IdRange range = rangeOf(scope_.troops, troops.size());
        for (int id = range.first; id <= range.last; ++id) {
            visitor_.reach(OwnerKind::Troop, id);
            if (aborted()) return false;
            if (static_cast<size_t>(id) >= troops.size()) continue;
            EventListPlace place;
            place.owner = OwnerKind::Troop;
            place.ownerId = id;
            place.troop = &troops[static_cast<size_t>(id)];
            WalkStep step = visitor_.enter(place);
            if (step == WalkStep::Stop) return false;
            if (step == WalkStep::SkipOwner) continue;
            const MarshalValue* pages =
                ivar(element(topArray(project_.troopsFile()), id), "@pages");
            for (size_t p = 0; p < place.troop->pages.size(); ++p) {
                if (aborted()) return false;
                place.page = static_cast<int>(p) + 1;
                place.list = listOf(element(pages, static_cast<int>(p)));
                step = visitor_.list(place);
                if (step == WalkStep::Stop) return false;
                if (step == WalkStep::SkipOwner) break;
            }
        }
        return true;
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
            if (aborted()) return false;
            MapData own;
            std::string why;
            const MapData* map = source_ ? source_->read(mapId, why) : &own;
            if (!source_ && !own.load(project_, mapId, false)) {
                map = nullptr;
                why = own.loadFailure;
            }
            // A source stops handing out maps only once the walk is aborted.
            if (!map && source_ && aborted()) return false;
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
        std::map<int32_t, const MarshalValue*> nodes = eventNodes(map);
        for (const auto& [id, event] : map.events) {
            if (aborted()) return false;
            EventListPlace place;
            place.owner = OwnerKind::Map;
            place.ownerId = map.mapId;
            place.map = &map;
            place.event = &event;
            step = visitor_.enter(place);
            if (step == WalkStep::Stop) return false;
            if (step == WalkStep::SkipOwner) continue;
            auto node = nodes.find(id);
            const MarshalValue* pages =
                ivar(node == nodes.end() ? nullptr : node->second, "@pages");
            for (size_t p = 0; p < event.pages.size(); ++p) {
                if (aborted()) return false;
                place.page = static_cast<int>(p) + 1;
                place.list = listOf(element(pages, static_cast<int>(p)));
                step = visitor_.list(place);
                if (step == WalkStep::Stop) return false;
                if (step == WalkStep::SkipOwner) break;
            }
        }
        return true;
    }

    const ProjectDatabase& project_;
    const WalkScope& scope_;
    EventListVisitor& visitor_;
    const std::atomic<bool>* abort_;
    MapSource* source_;
};

}  // namespace

bool walkEventLists(const ProjectDatabase& project, const WalkScope& scope,
                    EventListVisitor& visitor, const std::atomic<bool>* abort, MapSource* maps) {
    return Walk(project, scope, visitor, abort, maps).run();
}

}  // namespace zorvane

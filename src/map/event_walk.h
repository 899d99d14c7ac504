// One walk over every event command list of a project: common events, troop pages, then
// map events map by map (the maps that cannot be read reported, not skipped in silence).
// Search, RTP scan, checks, the site and textconv visit the lists through it instead of each
// walking the files; a data file read on its own is walked by the same loops.
#pragma once

#include <atomic>
#include <set>
#include <string>

#include "map/map_data.h"
#include "project/event_records.h"

namespace zorvane {

class ProjectDatabase;

// Which owners the walk visits, for each kind: -1 none, 0 all, n > 0 only id n.
struct WalkScope {
    int commonEvents = 0;
    int troops = 0;
    int maps = 0;
    // With maps = n: these maps too (the maps below n in the tree).
    std::set<int> moreMaps;
    // False for walks that never draw: the maps it reads itself skip their tile tables.
    bool tiles = true;
};

// Where a list is. Fields beyond the owner's are empty for the other owners.
struct EventListPlace {
    OwnerKind owner = OwnerKind::CommonEvent;
    int ownerId = 0;                           // common event, troop or map id
    const CommonEvent* commonEvent = nullptr;  // null for an id beyond the table
    const Troop* troop = nullptr;
    const MapData* map = nullptr;     // null for a map file walked on its own
    const MapEvent* event = nullptr;  // map events
    int page = 0;                     // from 1; 0 for a common event
    // The owner's and the page's nodes in their file, links looked through (null where the
    // file has none), for visitors that show more than the list; valid during the visit.
    const MarshalValue* node = nullptr;
    const MarshalValue* pageNode = nullptr;
    // The @list array node (null when the owner has none); valid during the visit.
    const MarshalValue* list = nullptr;
};

// What a visitor answers: go on, leave the rest of this owner (common event, troop or map
// event), or stop the whole walk.
enum class WalkStep { Go, SkipOwner, Stop };

class EventListVisitor {
  public:
    virtual ~EventListVisitor() = default;
    // Every id of the scope's range is announced before the abort test, also one beyond
    // the table (the progress shown says which id is being looked at).
    virtual void reach(OwnerKind, int /*ownerId*/) {}
    // An owner before its lists: a common event, a troop, a map event.
    virtual WalkStep enter(const EventListPlace&) { return WalkStep::Go; }
    virtual WalkStep list(const EventListPlace& place) = 0;
    // An owner entered, after its lists (also when a list answered SkipOwner), unless the
    // walk stopped.
    virtual void leave(const EventListPlace&) {}
    // A map, read, before its events.
    virtual WalkStep enterMap(const MapData&) { return WalkStep::Go; }
    // A map of MapInfos whose file could not be read; why is "" when it has no file.
    virtual void mapUnreadable(int /*mapId*/, const std::string& /*why*/) {}
    // After each map in scope, read or not.
    virtual void leaveMap(int /*mapId*/) {}
};

// Where the walk's maps come from. Without one the walk reads each map itself when it
// reaches it; a source hands over maps read elsewhere (the picture pool reads ahead on
// other threads), asked for one by one in the walk's order.
class MapSource {
  public:
    virtual ~MapSource() = default;
    // The map, read; null when it could not be (why says why, "" when it has no file) or
    // when the source stopped because the walk was aborted.
    virtual const MapData* read(int mapId, std::string& why) = 0;
};

// Walks common events, troops and maps in that order. The abort flag (may be null) is
// tested before each owner, each map event and each list; a visitor stops the walk by
// answering Stop. Returns false when the walk was stopped either way.
bool walkEventLists(const ProjectDatabase& project, const WalkScope& scope,
                    EventListVisitor& visitor, const std::atomic<bool>* abort = nullptr,
                    MapSource* maps = nullptr);

// The same visits over one data file read on its own (a version git hands over, in no
// project), with the records read from that file: every id from 1, every map event by id.
bool walkCommonEventFile(const MarshalFile& file, const std::vector<CommonEvent>& records,
                         EventListVisitor& visitor, const std::atomic<bool>* abort = nullptr);
bool walkTroopFile(const MarshalFile& file, const std::vector<Troop>& records,
                   EventListVisitor& visitor, const std::atomic<bool>* abort = nullptr);
bool walkMapFile(const MarshalFile& file, int mapId, const std::map<int32_t, MapEvent>& events,
                 EventListVisitor& visitor, const std::atomic<bool>* abort = nullptr);

}  // namespace zorvane

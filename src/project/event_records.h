// Event commands and the records around command lists: common events, troops with their
// pages and members, and map events with their pages. Command lists are taken out of a
// kept Marshal tree on demand and fixed up before anyone reads them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "marshal/marshal_value.h"

namespace zorvane {

class MarshalFile;

struct EventCommand {
    int32_t code = 0;
    int32_t indent = 0;

    // The parameter nodes. A command read from a tree views them there: it is valid while
    // the file is loaded, and copying it copies no parameter. One given parameters of its
    // own (built, or fixed up from its neighbours) keeps them, shared by its copies.
    const ValueArray& parameters() const { return parameters_; }
    void viewParameters(ValueArray nodes) {
        parameters_ = nodes;
        owned_.reset();
    }
    void viewParameters(const ValueVector&) = delete;  // would view a vector that goes away
    void setParameters(ValueVector values);

    // True for an RPG::EventCommand object with @code, @indent and @parameters.
    bool read(const MarshalValue& node);

  private:
    ValueArray parameters_;
    std::shared_ptr<const ValueVector> owned_;
};

class EventCommandList {
  public:
    // One command per element of the array node (a non-command element stays a default
    // command in its place), then fixUp().
    void read(const MarshalValue& listNode);
    void fixUp();

    std::vector<EventCommand> commands;
    size_t size() const { return commands.size(); }
    const EventCommand& operator[](size_t i) const { return commands[i]; }
};

// The command at position k of a list node as EventCommandList::read would give it, fix-up
// included (a 402 takes its text from its choice, a 509 its move from the route before
// it), without reading the rest of the list. False for an element that is no command.
bool readCommandAt(const ValueArray& items, size_t k, EventCommand& out);
// The @code of a command node, or -1: enough to decide whether to read the command.
int32_t commandCodeOf(const MarshalValue& node);

// Reads the list at a formatted path of a kept file; false when the path does not exist.
bool readCommandList(const MarshalFile& file, const std::string& path, EventCommandList& out);
std::string commonEventListPath(int commonEventId);
std::string troopPageListPath(int troopId, int page);
std::string mapEventPageListPath(int eventId, int page);

// Who holds an event command list.
enum class OwnerKind : int { CommonEvent = 0, Troop = 1, Map = 2 };

struct CommonEvent {
    std::string name;
    int32_t trigger = 0;
    int32_t switchId = 0;
};

struct TroopMember {
    int32_t enemyId = 0, x = 0, y = 0;
    bool hidden = false, immortal = false;
};

struct TroopCondition {
    bool turnValid = false, enemyValid = false, actorValid = false, switchValid = false;
    int32_t turnA = 0, turnB = 0, enemyIndex = 0, enemyHp = 0, actorId = 0, actorHp = 0,
            switchId = 0;
};

struct TroopPage {
    int32_t span = 0;
    TroopCondition condition;
};

struct Troop {
    std::string name;
    std::vector<TroopMember> members;
    std::vector<TroopPage> pages;
};

struct MapEventCondition {
    bool switch1Valid = false, switch2Valid = false, variableValid = false, selfSwitchValid = false;
    int32_t switch1Id = 1, switch2Id = 1, variableId = 1, variableValue = 0;
    int32_t selfSwitchCh = 'A';
};

struct MapEventGraphic {
    int32_t tileId = 0;
    std::string characterName;
    int32_t characterHue = 0, direction = 2, pattern = 0, opacity = 255, blendType = 0;
};

struct MapEventPage {
    MapEventCondition condition;
    MapEventGraphic graphic;
    // Where the page's picture comes from and where it sits relative to its cell; all 0
    // unless the map was read with graphics measured.
    int32_t frameWidth = 0, frameHeight = 0, sourceX = 0, sourceY = 0, offsetX = 0, offsetY = 0;
    int32_t moveType = 0, moveSpeed = 3, moveFrequency = 3;
    bool walkAnime = true, stepAnime = false, directionFix = false, through = false,
         alwaysOnTop = false;
    int32_t trigger = 0;
};

struct MapEvent {
    int32_t id = 0;
    std::string name;
    int32_t x = 0, y = 0;
    std::vector<MapEventPage> pages;
};

// Reads a troop page condition, a map page's condition and graphic and fields, from their
// object nodes; missing fields keep their defaults.
void readTroopPage(const MarshalValue& pageNode, TroopPage& page);
void readTroopMember(const MarshalValue& memberNode, TroopMember& member);
void readMapEventPage(const MarshalValue& pageNode, MapEventPage& page);
// The events of a map's "@events" hash by id: names, positions and pages (no pictures
// measured). Entries that are not event objects are skipped.
std::map<int32_t, MapEvent> readMapEvents(const MarshalValue& eventsHash);

}  // namespace zorvane

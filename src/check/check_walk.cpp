// The check's one walk: every event list through walkEventLists, each command read through
// what it refers to (command_refs.h), the page conditions beside, the database's files and
// the scripts' text. Rules come after, over the facts gathered here.
#include <algorithm>

#include "check/check_facts.h"
#include "check/check_words.h"
#include "listing/listing_words.h"
#include "listing/command_refs.h"
#include "map/event_walk.h"
#include "map/map_data.h"
#include "project/database_files.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "rtp/rtp_scan.h"

namespace zorvane {

namespace {

constexpr int kCodeLabel = 118;
constexpr int kCodeJump = 119;
constexpr int kCodeSelfSwitch = 123;
constexpr int kCodeTransfer = 201;
constexpr int kCodeEventLocation = 202;
// A range of Control Switches beyond this many ids is taken as damaged data, not as uses.
constexpr int kMaxRange = 100000;

int paramAt(const EventCommand& c, size_t i) {
    return i < c.parameters().size() ? c.parameters()[i].fixnum() : 0;
}

void use(std::map<int, IdUse>& ids, const Reference& r, const FindingPlace& place) {
    if (r.last - r.first > kMaxRange) return;
    for (int id = std::min(r.first, r.last); id <= std::max(r.first, r.last); ++id) {
        IdUse& u = ids[id];
        bool& seen = r.access == Access::Write ? u.written : u.read;
        if (!seen) (r.access == Access::Write ? u.firstWrite : u.firstRead) = place;
        seen = true;
    }
}

void read(std::map<int, IdUse>& ids, int id, const FindingPlace& place) {
    Reference r;
    r.first = r.last = id;
    use(ids, r, place);
}

class Gather : EventListVisitor {
  public:
    Gather(const ProjectDatabase& project, CheckProgress* progress, const std::atomic<bool>& abort,
           CheckFacts& facts)
        : project_(project), progress_(progress), abort_(abort), facts_(facts) {}

    bool run() {
        for (const auto& entry : project_.mapInfos()) total_ += entry.first > 0;
        total_ += 3;
        step();
        if (!addDatabaseFiles(project_, facts_.files, abort_, nullptr)) return false;
        gatherDatabaseSwitches();
        step();
        WalkScope scope;
        scope.tiles = false;
        if (!walkEventLists(project_, scope, *this, &abort_)) return false;
        for (const Script& script : project_.scripts()) {
            facts_.scriptText += script.text;
            facts_.scriptText += '\n';
        }
        step();
        return true;
    }

  private:
    void step() {
        if (progress_) progress_->progress(std::min(++done_, total_), total_);
    }

    // Switches the database reads: autorun and parallel common events, enemy actions.
    void gatherDatabaseSwitches() {
        const std::vector<CommonEvent>& events = project_.commonEvents();
        for (size_t id = 1; id < events.size(); ++id) {
            const CommonEvent& e = events[id];
            if (e.trigger != 1 && e.trigger != 2) continue;
            FindingPlace place;
            place.area = FindingPlace::CommonEvent;
            place.ownerId = static_cast<int>(id);
            place.name = e.name;
            read(facts_.switches, e.switchId, place);
        }
        const std::vector<Enemy>& enemies = project_.enemies();
        for (size_t id = 1; id < enemies.size(); ++id)
            for (const EnemyAction& a : enemies[id].actions)
                if (a.conditionSwitchId > 0)
                    read(facts_.switches, a.conditionSwitchId, recordPlace(checkSay("エネミー", facts_.language), id, enemies[id].name));
    }

    static FindingPlace recordPlace(const char* table, size_t id, const std::string& name) {
        FindingPlace place;
        place.area = FindingPlace::Database;
        place.table = table;
        place.ownerId = static_cast<int>(id);
        place.name = name;
        return place;
    }

    void reach(OwnerKind owner, int) override {
        if (owner == OwnerKind::Map) step();
    }

    void mapUnreadable(int mapId, const std::string& why) override {
        if (!why.empty()) facts_.unreadable.push_back(mapFileName(mapId) + ": " + why);
    }

    WalkStep enterMap(const MapData& map) override {
        facts_.mapSizes[map.mapId] = {map.width, map.height};
        addMapMusic(map, facts_.files);
        return WalkStep::Go;
    }

    FindingPlace placeOf(const EventListPlace& where) const {
        FindingPlace place;
        place.ownerId = where.ownerId;
        place.page = where.page;
        if (where.owner == OwnerKind::CommonEvent) {
            place.area = FindingPlace::CommonEvent;
            if (where.commonEvent) place.name = where.commonEvent->name;
        } else if (where.owner == OwnerKind::Troop) {
            place.area = FindingPlace::Troop;
            if (where.troop) place.name = where.troop->name;
        } else {
            place.area = FindingPlace::MapEvent;
            place.mapId = where.ownerId;
            place.ownerId = where.event ? where.event->id : 0;
            if (where.event) place.name = where.event->name;
        }
        return place;
    }

    // A list of the editor always ends in a code 0 command; an empty slot holds only that.
    static bool hasCommands(const EventCommandList& list) {
        for (const EventCommand& c : list.commands)
            if (c.code != 0) return true;
        return false;
    }

    // The page's own conditions: read before any of its commands run.
    void pageConditions(const EventListPlace& where, const FindingPlace& place) {
        if (where.troop) {
            const TroopCondition& c = where.troop->pages[static_cast<size_t>(where.page - 1)].condition;
            if (c.switchValid) read(facts_.switches, c.switchId, place);
            return;
        }
        if (!where.event) return;
        const MapEventCondition& c = where.event->pages[static_cast<size_t>(where.page - 1)].condition;
        if (c.switch1Valid) read(facts_.switches, c.switch1Id, place);
        if (c.switch2Valid) read(facts_.switches, c.switch2Id, place);
        if (c.variableValid) read(facts_.variables, c.variableId, place);
        if (c.selfSwitchValid)
            selfSwitchesOf(where).reads.emplace_back(
                std::string(1, static_cast<char>(c.selfSwitchCh)), place);
    }

    EventSelfSwitches& selfSwitchesOf(const EventListPlace& where) {
        return facts_.selfSwitches[{where.ownerId, where.event->id}];
    }

    WalkStep list(const EventListPlace& where) override {
        if (abort_.load(std::memory_order_relaxed)) return WalkStep::Stop;
        FindingPlace place = placeOf(where);
        pageConditions(where, place);
        EventCommandList list;
        if (where.list) list.read(*where.list);
        addPageGraphic(where, facts_.files);
        if (where.owner == OwnerKind::CommonEvent && hasCommands(list))
            facts_.commonEventsWithCommands.insert(where.ownerId);
        std::set<std::string> labels;
        std::vector<std::pair<std::string, FindingPlace>> jumps;
        for (size_t k = 0; k < list.size(); ++k) {
            const EventCommand& command = list[k];
            place.line = static_cast<int>(k) + 1;
            for (const Reference& r : references(command)) {
                if (r.kind == RefKind::Label && command.code == kCodeLabel) labels.insert(r.text);
                if (r.kind == RefKind::Label && command.code == kCodeJump) jumps.emplace_back(r.text, place);
                reference(where, command, r, place);
                if (r.kind == RefKind::File && !r.text.empty()) {
                    std::string name = r.folder + r.text;
                    facts_.files.insert(name);
                    facts_.commandFiles.emplace_back(place, std::move(name));
                }
            }
            location(where, command, place);
        }
        for (const auto& [name, at] : jumps)
            if (!labels.count(name))
                facts_.labelFindings.push_back(makeFinding(
                    CheckKind::Labels, Severity::Warning, at,
                    fill(checkSay("ラベル「{1}」", facts_.language), {name}),
                    checkSay("このリストに同じ名前のラベルがありません", facts_.language)));
        return WalkStep::Go;
    }

    void reference(const EventListPlace& where, const EventCommand& command, const Reference& r,
                   const FindingPlace& place) {
        switch (r.kind) {
            case RefKind::Switch: use(facts_.switches, r, place); break;
            case RefKind::Variable: use(facts_.variables, r, place); break;
            case RefKind::CommonEvent:
                facts_.calledCommonEvents.insert(r.first);
                facts_.commonEventCalls.emplace_back(r.first, place);
                break;
            case RefKind::SelfSwitch: selfSwitch(where, command, r, place); break;
            case RefKind::Text:
                if (r.role == TextRole::Script) {
                    facts_.scriptText += r.text;
                    facts_.scriptText += '\n';
                }
                break;
            default: break;
        }
    }

    // A self switch set in a common event is the calling event's: any event may have it.
    void selfSwitch(const EventListPlace& where, const EventCommand& command, const Reference& r,
                    const FindingPlace& place) {
        bool sets = command.code == kCodeSelfSwitch;
        if (where.owner == OwnerKind::CommonEvent && sets)
            facts_.selfSwitchesSetInCommonEvents.insert(r.text);
        if (!where.event) return;
        EventSelfSwitches& own = selfSwitchesOf(where);
        if (sets)
            own.written.insert(r.text);
        else
            own.reads.emplace_back(r.text, place);
    }

    // Transfer Player and Set Event Location with constant places; the ones held in
    // variables are counted, as they cannot be judged before the game runs.
    void location(const EventListPlace& where, const EventCommand& command,
                  const FindingPlace& place) {
        if (command.code == kCodeTransfer && command.parameters().size() >= 4) {
            if (paramAt(command, 0) != 0) {
                ++facts_.variableOperandsSkipped;
                return;
            }
            facts_.transfers.push_back(
                {paramAt(command, 1), paramAt(command, 2), paramAt(command, 3), place});
        } else if (command.code == kCodeEventLocation && command.parameters().size() >= 4) {
            if (paramAt(command, 1) == 1) ++facts_.variableOperandsSkipped;
            // Only a map event's list knows which map it moves an event on.
            if (paramAt(command, 1) != 0 || where.owner != OwnerKind::Map) return;
            facts_.transfers.push_back(
                {where.ownerId, paramAt(command, 2), paramAt(command, 3), place});
        }
    }

    const ProjectDatabase& project_;
    CheckProgress* progress_;
    const std::atomic<bool>& abort_;
    CheckFacts& facts_;
    int done_ = 0;
    int total_ = 0;
};

}  // namespace

bool gatherFacts(const ProjectDatabase& project, const CheckOptions&, CheckProgress* progress,
                 const std::atomic<bool>& abort, CheckFacts& facts) {
    return Gather(project, progress, abort, facts).run();
}

std::set<int> literalIdsAfter(const std::string& text, const std::string& prefix) {
    std::set<int> ids;
    for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) {
        size_t i = at + prefix.size();
        while (i < text.size() && text[i] == ' ') ++i;
        size_t digits = i;
        long n = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && n < 1000000)
            n = n * 10 + (text[i++] - '0');
        while (i < text.size() && text[i] == ' ') ++i;
        if (i > digits && i < text.size() && text[i] == ']') ids.insert(static_cast<int>(n));
    }
    return ids;
}

}  // namespace zorvane

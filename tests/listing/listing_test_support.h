// Builders for event commands and their parameters, a small named project, and the one
// call that formats a command, shared by the listing tests.
#pragma once

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "listing/listing.h"
#include "marshal/marshal_value.h"
#include "project/project_database.h"

namespace ltest {

using zorvane::MarshalValue;

inline MarshalValue num(int v) {
    MarshalValue m;
    m.setFixnum(v);
    return m;
}

inline MarshalValue str(const std::string& s) {
    MarshalValue m;
    m.setString(s);
    return m;
}

inline MarshalValue boolean(bool b) {
    MarshalValue m;
    if (b)
        m.setTrue();
    else
        m.setFalse();
    return m;
}

inline MarshalValue arr(std::vector<MarshalValue> items) {
    MarshalValue m;
    m.setArray(std::move(items));
    return m;
}

inline MarshalValue object(const std::string& className,
                           std::vector<std::pair<std::string, MarshalValue>> ivars) {
    MarshalValue cls;
    cls.setSymbol(className);
    zorvane::PairVector pairs;
    for (auto& iv : ivars) pairs.emplace_back(str(iv.first), iv.second);
    MarshalValue m;
    m.setObject(cls, pairs);
    return m;
}

inline MarshalValue audio(const std::string& name, int volume, int pitch) {
    return object("RPG::AudioFile",
                  {{"@name", str(name)}, {"@volume", num(volume)}, {"@pitch", num(pitch)}});
}

// A Tone or Color as the runtime dumps it: four little-endian doubles.
inline MarshalValue fourDoubles(const std::string& className, double a, double b, double c,
                                double d) {
    std::string bytes;
    for (double v : {a, b, c, d}) {
        char raw[8];
        std::memcpy(raw, &v, 8);
        bytes.append(raw, 8);
    }
    MarshalValue cls;
    cls.setSymbol(className);
    MarshalValue m;
    m.setUserDump(cls, bytes);
    return m;
}

inline MarshalValue moveCommand(int code, std::vector<MarshalValue> params) {
    return object("RPG::MoveCommand", {{"@code", num(code)}, {"@parameters", arr(params)}});
}

inline MarshalValue moveRoute(bool repeat, bool skippable) {
    return object("RPG::MoveRoute", {{"@repeat", boolean(repeat)},
                                     {"@skippable", boolean(skippable)},
                                     {"@list", arr({moveCommand(0, {})})}});
}

inline zorvane::EventCommand command(int code, std::vector<MarshalValue> params) {
    zorvane::EventCommand c;
    c.code = code;
    c.setParameters(std::move(params));
    return c;
}

// A project with a few named entries: switch 5 "Door", variable 12 "Coins", actor 1
// "Aruto", item 1 "Potion", common event 2 "Shop", map 3 "Town", troop 1 with two slimes.
inline const zorvane::ProjectDatabase& namedProject() {
    static const zorvane::ProjectDatabase db = [] {
        zorvane::ProjectDatabase d;
        d.mutableSystem().switchNames.assign(11, "");
        d.mutableSystem().switchNames[5] = "Door";
        d.mutableSystem().variableNames.assign(21, "");
        d.mutableSystem().variableNames[12] = "Coins";
        d.mutableActors().resize(3);
        d.mutableActors()[1].name = "Aruto";
        d.mutableItems().resize(2);
        d.mutableItems()[1].name = "Potion";
        d.mutableSkills().resize(2);
        d.mutableSkills()[1].name = "Fire";
        d.mutableWeapons().resize(2);
        d.mutableWeapons()[1].name = "Sword";
        d.mutableArmors().resize(2);
        d.mutableArmors()[1].name = "Shield";
        d.mutableStates().resize(4);
        d.mutableStates()[3].name = "Poison";
        d.mutableCommonEvents().resize(3);
        d.mutableCommonEvents()[2].name = "Shop";
        d.mutableMapInfos()[3].name = "Town";
        d.mutableEnemies().resize(2);
        d.mutableEnemies()[1].name = "Slime";
        d.mutableTroops().resize(2);
        d.mutableTroops()[1].members.resize(2);
        d.mutableTroops()[1].members[0].enemyId = 1;
        d.mutableTroops()[1].members[1].enemyId = 1;
        return d;
    }();
    return db;
}

inline zorvane::ListingOptions options(bool detail) {
    zorvane::ListingOptions o;
    o.project = &namedProject();
    o.detail = detail;
    return o;
}

inline std::string line(int code, std::vector<MarshalValue> params, bool detail,
                        const zorvane::SearchRequest* request = nullptr) {
    std::string out;
    zorvane::formatCommand(out, command(code, std::move(params)), options(detail), request);
    return out;
}

inline bool matches(int code, std::vector<MarshalValue> params,
                    const zorvane::SearchRequest& request) {
    std::string out;
    return zorvane::formatCommand(out, command(code, std::move(params)), options(true), &request);
}

}  // namespace ltest

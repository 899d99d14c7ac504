// What an event command refers to, as data: each row of the command table describes its
// operands (which parameter is a switch, a variable read or written, a file in which folder,
// a text of which role, ...), and references() reads a command through that description.
// Search matching, the file collector and checks are built on it; formatters only format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "project/event_records.h"

namespace zorvane {

enum class RefKind : uint8_t {
    Switch,
    Variable,
    SelfSwitch,
    CommonEvent,
    Map,
    Actor,
    Class,
    Item,
    Weapon,
    Armor,
    Skill,
    State,
    Enemy,
    Troop,
    Animation,
    File,   // folder + name
    Label,  // a label name (118, 119)
    Text,   // a text the command shows or runs, by role
};

enum class Access : uint8_t { Read, Write };

// What a text of the command is: the text search offers each role under its own target.
enum class TextRole : uint8_t { None, Message, Comment, Choice, Script, ActorName, FileName, Label };

// A condition on one parameter: its value lies in lo..hi (or, negated, outside it).
struct ParamTest {
    int8_t at = -1;  // -1: no condition
    int32_t lo = 0;
    int32_t hi = 0;
    bool outside = false;
};

// One operand of a command row. Built with op() and the modifiers below, e.g.
//   op(RefKind::Variable, 3).need(4).when(2, 1)   — p3 is a variable when p2 == 1
struct Operand {
    RefKind kind = RefKind::Text;
    int8_t at = 0;      // parameter of the id, name or text
    int8_t last = -1;   // parameter where an id range ends, or -1
    Access access = Access::Read;
    int8_t needs = 0;   // parameters the line needs for this operand to be shown at all
    ParamTest tests[2];
    // The line needs `more.lo`.. parameters when p[more.at] lies in more's range
    // (the random and actor operands of 122 read one parameter more).
    ParamTest more[2];
    int8_t moreNeeds[2] = {0, 0};
    const char* folder = nullptr;  // File: "Graphics\\Characters\\"
    TextRole role = TextRole::None;
    bool audio = false;       // the parameter is an RPG::AudioFile; its @name is the file
    bool zeroIsParty = false; // actor 0 stands for the whole party, not an actor
    bool together = false;    // the operands so marked form one set (transfer map/x/y)

    constexpr Operand range(int8_t lastAt) const {
        Operand o = *this;
        o.last = lastAt;
        return o;
    }
    constexpr Operand writes() const {
        Operand o = *this;
        o.access = Access::Write;
        return o;
    }
    constexpr Operand need(int8_t n) const {
        Operand o = *this;
        o.needs = n;
        return o;
    }
    constexpr Operand when(int8_t param, int32_t lo, int32_t hi, bool outside = false) const {
        Operand o = *this;
        (o.tests[0].at < 0 ? o.tests[0] : o.tests[1]) = ParamTest{param, lo, hi, outside};
        return o;
    }
    constexpr Operand when(int8_t param, int32_t value) const { return when(param, value, value); }
    constexpr Operand unless(int8_t param, int32_t value) const {
        return when(param, value, value, true);
    }
    constexpr Operand needMoreWhen(int8_t param, int32_t lo, int32_t hi, int8_t n) const {
        Operand o = *this;
        int slot = o.more[0].at < 0 ? 0 : 1;
        o.more[slot] = ParamTest{param, lo, hi, false};
        o.moreNeeds[slot] = n;
        return o;
    }
    constexpr Operand file(const char* inFolder) const {
        Operand o = *this;
        o.kind = RefKind::File;
        o.folder = inFolder;
        o.role = TextRole::FileName;
        return o;
    }
    constexpr Operand audioFile(const char* inFolder) const {
        Operand o = file(inFolder);
        o.audio = true;
        return o;
    }
    constexpr Operand party() const {
        Operand o = *this;
        o.zeroIsParty = true;
        return o;
    }
    constexpr Operand set() const {
        Operand o = *this;
        o.together = true;
        return o;
    }
};

constexpr Operand op(RefKind kind, int8_t at) {
    Operand o;
    o.kind = kind;
    o.at = at;
    return o;
}
constexpr Operand text(TextRole role, int8_t at) {
    Operand o = op(role == TextRole::Label ? RefKind::Label : RefKind::Text, at);
    o.role = role;
    return o;
}
constexpr Operand fileAt(int8_t at, const char* folder) {
    return op(RefKind::File, at).file(folder);
}

// One thing a command refers to.
struct Reference {
    RefKind kind = RefKind::Text;
    int first = 0;  // the id, or the first of a range
    int last = 0;   // == first for one id
    Access access = Access::Read;
    std::string folder;  // File
    std::string text;    // File: the name; SelfSwitch, Label, Text: the text
    TextRole role = TextRole::None;
    bool together = false;
    bool inRoute = false;  // stated by a move command of a route (509)
};

// Everything `command` refers to, in the order of its operand description.
std::vector<Reference> references(const EventCommand& command);

// Whether a command of this code can refer to anything of `kind` at all: the search's
// pre-filter is derived from it.
bool codeMayRefer(int32_t code, RefKind kind);

}  // namespace zorvane

// references(): reads a command's parameters through the operand description of its row
// (command_table.cpp) or, for a move command of a route, of its move code.
#include "listing/command_refs.h"

#include <algorithm>
#include <map>
#include <set>

#include "listing/listing.h"
#include "marshal/rgss_types.h"

namespace zorvane {

namespace {

bool passes(const ParamTest& t, const ParamView& p) {
    if (t.at < 0) return true;
    if (static_cast<size_t>(t.at) >= p.size()) return false;
    int32_t v = p[static_cast<size_t>(t.at)].fixnum();
    bool inside = v >= t.lo && v <= t.hi;
    return inside != t.outside;
}

size_t neededBy(const Operand& o, const ParamView& p) {
    size_t n = static_cast<size_t>(o.needs);
    for (int i = 0; i < 2; ++i)
        if (o.more[i].at >= 0 && passes(o.more[i], p))
            n = std::max(n, static_cast<size_t>(o.moreNeeds[i]));
    return n;
}

// The name of an RPG::AudioFile node, or "" when it is none.
std::string audioFileName(const MarshalValue& node) {
    AudioFile audio;
    return audio.decode(node) ? audio.name : std::string();
}

void read(const Operand& o, const ParamView& p, bool inRoute, std::vector<Reference>& out) {
    if (p.size() < neededBy(o, p) || static_cast<size_t>(o.at) >= p.size()) return;
    if (!passes(o.tests[0], p) || !passes(o.tests[1], p)) return;
    const MarshalValue& v = p[static_cast<size_t>(o.at)];
    Reference r;
    r.kind = o.kind;
    r.access = o.access;
    r.role = o.role;
    r.together = o.together;
    r.inRoute = inRoute;
    switch (o.kind) {
        case RefKind::File:
            r.folder = o.folder;
            // An empty name stays: a pattern may match it, though no file is missing.
            r.text = o.audio ? audioFileName(v) : v.text();
            break;
        case RefKind::SelfSwitch:
        case RefKind::Label:
        case RefKind::Text:
            r.text = v.text();
            break;
        default:
            r.first = r.last = v.fixnum();
            if (o.last >= 0 && static_cast<size_t>(o.last) < p.size())
                r.last = p[static_cast<size_t>(o.last)].fixnum();
            if (o.zeroIsParty && r.first == 0) return;
            break;
    }
    out.push_back(std::move(r));
}

// The move command inside a 509 line: its code and parameters, or false.
bool moveCommandOf(const ParamView& p, int& code, ValueArray& params) {
    if (p.empty()) return false;
    const MarshalValue* codeNode = p[0].findIvar("@code");
    const MarshalValue* paramsNode = p[0].findIvar("@parameters");
    if (!codeNode || !paramsNode) return false;
    code = codeNode->fixnum();
    params = paramsNode->children();
    return true;
}

}  // namespace

std::vector<Reference> references(const EventCommand& command) {
    std::vector<Reference> out;
    const CommandRow* row = findCommandRow(command.code);
    if (!row) return out;
    const ParamView& p = command.parameters();
    if (command.code == kMoveCommandCode) {
        int code = 0;
        ValueArray params;
        if (!moveCommandOf(p, code, params)) return out;
        for (const Operand& o : moveOperands(code)) read(o, params, true, out);
        return out;
    }
    for (const Operand& o : row->operands) read(o, p, false, out);
    return out;
}

bool codeMayRefer(int32_t code, RefKind kind) {
    static const std::map<int32_t, std::set<RefKind>> kinds = [] {
        std::map<int32_t, std::set<RefKind>> built;
        for (const CommandRow& row : commandTable()) {
            std::set<RefKind>& set = built[row.code];
            for (const Operand& o : row.operands) set.insert(o.kind);
        }
        for (int moveCode : moveCodes())
            for (const Operand& o : moveOperands(moveCode)) built[kMoveCommandCode].insert(o.kind);
        return built;
    }();
    auto it = kinds.find(code);
    return it != kinds.end() && it->second.count(kind) > 0;
}

}  // namespace zorvane

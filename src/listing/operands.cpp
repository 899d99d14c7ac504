// Operand texts shared by every formatter family: labels in their usual forms, character,
// direction and battler names, operand values.
#include "listing/operands.h"

#include <cstdarg>
#include <cstdio>

#include "marshal/rgss_types.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

// Without a project every id is beyond the data, so labels still show their numbers.
const ProjectDatabase& projectOf(const ListingOptions& o) {
    static const ProjectDatabase empty;
    return o.project ? *o.project : empty;
}

int ownerTroop(const ListingOptions& o) {
    return o.ownerKind == OwnerKind::Troop ? o.ownerId : 0;
}

const char* const kDirectionNames[2][19] = {
    {"", "", "下", "", "左", "", "右", "", "上", "", "", "A", "B", "C", "X", "Y", "Z", "L", "R"},
    {"", "", "Down", "", "Left", "", "Right", "", "Up", "", "", "A", "B", "C", "X", "Y", "Z", "L",
     "R"},
};

const char* const kPartyMembers[2][5] = {
    {"パーティ全体", "アクター1人目", "アクター2人目", "アクター3人目", "アクター4人目"},
    {"Entire Party", "Party Member 1", "Party Member 2", "Party Member 3", "Party Member 4"},
};

// The map event's name when the listed map has event id.
const std::string* mapEventName(int id, const ListingOptions& o) {
    if (!o.mapEvents) return nullptr;
    auto it = o.mapEvents->find(id);
    return it == o.mapEvents->end() ? nullptr : &it->second.name;
}

}  // namespace

// Every label a line shows goes through here, so a cross-check can see which ids it named.
static std::string labelOf(int id, LabelKind kind, LabelStyle style, const ListingOptions& o) {
    if (o.labelled) o.labelled->emplace_back(kind, id);
    return projectOf(o).label(id, kind, style, o.language);
}

std::string fullLabel(int id, LabelKind kind, const ListingOptions& o) {
    return labelOf(id, kind, LabelStyle::full(), o);
}

std::string detailLabel(int id, LabelKind kind, const ListingOptions& o) {
    return labelOf(id, kind, o.detail ? LabelStyle::full() : LabelStyle::bracketedName(), o);
}

std::string numberedLabel(int id, LabelKind kind, const ListingOptions& o) {
    return labelOf(id, kind, LabelStyle::numbered(), o);
}

std::string kindIfDetailLabel(int id, LabelKind kind, const ListingOptions& o) {
    return labelOf(id, kind, o.detail ? LabelStyle::full() : LabelStyle::numbered(), o);
}

std::string nameOnlyLabel(int id, LabelKind kind, const ListingOptions& o) {
    if (o.labelled) o.labelled->emplace_back(kind, id);
    return o.project ? o.project->label(id, kind, LabelStyle::nameOnly(), o.language)
                     : std::string();
}

std::string troopMemberText(int memberIndex, const ListingOptions& o) {
    return projectOf(o).troopMemberLabel(ownerTroop(o), memberIndex,
                                         o.detail ? LabelStyle::full() : LabelStyle::nameOnly(),
                                         o.language);
}

std::string characterName(int id, const ListingOptions& o) {
    const std::string* name = mapEventName(id, o);
    if (o.detail) {
        std::string inner;
        if (id == -1)
            inner = say("プレイヤー", o);
        else if (id == 0)
            inner = say("このイベント", o);
        else
            inner = format("%03d", id) + (name ? say(":", o) + *name : std::string());
        return say("イベント[", o) + inner + "]";
    }
    if (id == -1) return say("プレイヤー", o);
    if (id == 0) return say("このイベント", o);
    return "[" + (name ? *name : std::string()) + "]";
}

std::string directionName(int value, ListingLanguage language) {
    const auto& names = kDirectionNames[row(language)];
    constexpr int count = static_cast<int>(sizeof names / sizeof names[0]);
    return value >= 0 && value < count ? names[value] : "";
}

std::string operandValue(int operation, int operandType, int value, const ListingOptions& o) {
    std::string text = operation == 0 ? "+" : operation == 1 ? "-" : "";
    if (operandType == 1) return text + fullLabel(value, LabelKind::Variable, o);
    return text + format("%d", value);
}

std::string actorOperand(int id, const ListingOptions& o) {
    return id == 0 ? kPartyMembers[row(o.language)][0] : detailLabel(id, LabelKind::Actor, o);
}

std::string enemyOperand(int memberIndex, const ListingOptions& o) {
    return memberIndex == -1 ? say("トループ全体", o) : troopMemberText(memberIndex, o);
}

std::string battlerOperand(int side, int index, const ListingOptions& o) {
    if (side == 0) return enemyOperand(index, o);
    if (side == 1 && index >= -1 && index <= 3) return kPartyMembers[row(o.language)][index + 1];
    return "";
}

std::string switchValue(int value) {
    return value == 0 ? "ON" : "OFF";
}

namespace {

// A colour prints through the tone's formats: its alpha stands where the gray is.
std::string fourValues(double a, double b, double c, double d, int duration,
                       const ListingOptions& o) {
    if (o.detail)
        return format(say("(Red:%.0f,Green:%.0f,Blue:%.0f,Gray:%.0f),時間:%dフレーム", o), a, b, c,
                      d, duration);
    return format("(%.0f,%.0f,%.0f,%.0f),@%d", a, b, c, d, duration);
}

}  // namespace

std::string toneText(const MarshalValue& tone, int duration, const ListingOptions& o) {
    Tone t;
    t.decode(tone);
    return fourValues(t.red, t.green, t.blue, t.gray, duration, o);
}

std::string colorText(const MarshalValue& color, int duration, const ListingOptions& o) {
    Color c;
    c.decode(color);
    return fourValues(c.red, c.green, c.blue, c.alpha, duration, o);
}

std::string audioName(const MarshalValue& audio) {
    AudioFile a;
    return a.decode(audio) ? a.name : std::string();
}

std::string audioText(const MarshalValue& audio, const ListingOptions& o) {
    AudioFile a;
    a.decode(audio);
    return "'" + a.name + "'" +
           (o.detail ? format(say(",ボリューム:%d,ピッチ:%d", o), a.volume, a.pitch)
                     : format(",%d,%d", a.volume, a.pitch));
}

}  // namespace zorvane

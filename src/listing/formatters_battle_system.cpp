// Formatters of the battle, shop, actor, enemy and system commands: battle processing,
// goods, HP/SP/state/parameter changes, equipment, graphics, forced actions and scripts.
#include <iterator>
#include <string>

#include "listing/formatters.h"
#include "listing/operands.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

// Name lists, one row per language (listing_words.h), indexed by the stored value.
const char* const kParameterNames[2][6] = {
    {"MaxHP", "MaxSP", "腕力", "器用さ", "素早さ", "魔力"},
    {"MaxHP", "MaxSP", "Strength", "Dexterity", "Agility", "Intelligence"},
};
const char* const kSlotNames[2][5] = {{"武器", "盾", "頭", "身体", "装飾品"},
                                      {"Weapon", "Shield", "Head", "Body", "Accessory"}};
const char* const kBasicActions[2][4] = {{"攻撃", "防御", "逃げる", "何もしない"},
                                         {"Attack", "Guard", "Flee", "Idle"}};
// Action targets from -2: last target, random, then the eight troop positions.
const char* const kActionTargets[2][10] = {
    {"ラストターゲット", "ランダム", "Index 1", "Index 2", "Index 3", "Index 4", "Index 5",
     "Index 6", "Index 7", "Index 8"},
    {"Previous Target", "Random", "Index 1", "Index 2", "Index 3", "Index 4", "Index 5", "Index 6",
     "Index 7", "Index 8"},
};
// A flag's mark: yes, no.
const char* const kMarks[2][2] = {{"○", "×"}, {"Yes", "No"}};
constexpr int kFirstActionTarget = -2;
// Label kinds of shop goods, by goods kind.
const LabelKind kGoodsKinds[] = {LabelKind::Item, LabelKind::Weapon, LabelKind::Armor};

// A value from a list; a value outside it gives the fallback instead of reading past it.
template <class T, size_t N>
T entryOf(const T (&list)[N], int value, T fallback) {
    return value >= 0 && static_cast<size_t>(value) < N ? list[value] : fallback;
}

template <size_t N>
std::string nameOf(const char* const (&names)[N], int value) {
    return entryOf<const char*, N>(names, value, "");
}

int num(const ParamView& p, size_t i) {
    return p[i].fixnum();
}

std::string mark(const MarshalValue& v, const ListingOptions& o) {
    return kMarks[row(o.language)][v.isTrue() ? 0 : 1];
}

std::string signOf(int operation) {
    return operation == 0 ? "+" : operation == 1 ? "-" : "";
}

// Battle and name-input subjects: kind word, number and brackets with detail, the bare
// name without.
std::string subjectLabel(int id, LabelKind kind, const ListingOptions& o) {
    return o.detail ? fullLabel(id, kind, o) : nameOnlyLabel(id, kind, o);
}

// A negative constant keeps its own minus in place of the operation sign.
std::string amount(int operation, int operandType, int value, const ListingOptions& o) {
    if (operandType == 0 && value < 0) return format("%d", value);
    return operandValue(operation, operandType, value, o);
}

std::string allowKnockout(const MarshalValue& v, const ListingOptions& o) {
    return o.detail ? say("(戦闘不能を許可:", o) + mark(v, o) + ")" : "";
}

// HP of an actor or enemy: subject, operand, and with detail the knock-out permission.
void changeHp(std::string& out, const ParamView& p, const ListingOptions& o,
              const std::string& subject) {
    out += subject + "," + amount(num(p, 1), num(p, 2), num(p, 3), o) + allowKnockout(p[4], o);
}

// SP, EXP and level: subject and operand.
void changeValue(std::string& out, const ParamView& p, const ListingOptions& o,
                 const std::string& subject) {
    out += subject + "," + amount(num(p, 1), num(p, 2), num(p, 3), o);
}

std::string stateChange(const ParamView& p, const std::string& subject, const ListingOptions& o) {
    return subject + "," + signOf(num(p, 1)) + detailLabel(num(p, 2), LabelKind::State, o);
}

std::string graphicPart(const std::string& name, int hue, const char* caption,
                        const ListingOptions& o) {
    if (o.detail)
        return std::string(",") + say(caption, o) + "[" + name + say(",色相:", o) +
               format("%d", hue) + "]";
    return "," + name + "," + format("%d", hue);
}

std::string forcedAction(const ParamView& p, const ListingOptions& o) {
    int lang = row(o.language);
    std::string action = num(p, 2) == 1 ? detailLabel(num(p, 3), LabelKind::Skill, o)
                                        : nameOf(kBasicActions[lang], num(p, 3));
    std::string target = nameOf(kActionTargets[lang], num(p, 4) - kFirstActionTarget);
    std::string timing = num(p, 5) == 1 ? say(",すぐに実行", o)
                         : o.detail     ? say(",通常の攻撃順序で実行", o)
                                        : "";
    return battlerOperand(num(p, 0), num(p, 1), o) + "," + action + "," + target + timing;
}

}  // namespace

void fmtBattleProcessing(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 3)) return;
    out += subjectLabel(num(p, 0), LabelKind::Troop, o);
    if (o.detail)
        out += say(",逃走可能:", o) + mark(p[1], o) + say(",負けた場合も継続:", o) + mark(p[2], o);
}

void fmtShopProcessing(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 2)) return;
    int goods = num(p, 0);
    if (goods >= 0 && static_cast<size_t>(goods) < std::size(kGoodsKinds))
        out += detailLabel(num(p, 1), kGoodsKinds[goods], o);
}

void fmtNameInputProcessing(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2))
        out += subjectLabel(num(p, 0), LabelKind::Actor, o) + format(say(",%d文字", o), num(p, 1));
}

void fmtChangeHp(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 5)) changeHp(out, p, o, actorOperand(num(p, 0), o));
}

void fmtChangeActorValue(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 4)) changeValue(out, p, o, actorOperand(num(p, 0), o));
}

void fmtChangeState(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 3)) out += stateChange(p, actorOperand(num(p, 0), o), o);
}

void fmtRecoverAll(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out += actorOperand(num(p, 0), o);
}

void fmtChangeParameters(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 5))
        out += detailLabel(num(p, 0), LabelKind::Actor, o) + "," +
               nameOf(kParameterNames[row(o.language)], num(p, 1)) + " " +
               amount(num(p, 2), num(p, 3), num(p, 4), o);
}

void fmtChangeSkills(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 3))
        out += detailLabel(num(p, 0), LabelKind::Actor, o) + "," + signOf(num(p, 1)) +
               detailLabel(num(p, 2), LabelKind::Skill, o);
}

void fmtChangeEquipment(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 3)) return;
    int slot = num(p, 1);
    out += detailLabel(num(p, 0), LabelKind::Actor, o) + "," +
           nameOf(kSlotNames[row(o.language)], slot) + " = " +
           detailLabel(num(p, 2), slot == 0 ? LabelKind::Weapon : LabelKind::Armor, o);
}

void fmtChangeActorName(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2)) out += detailLabel(num(p, 0), LabelKind::Actor, o) + ",'" + p[1].text() + "'";
}

void fmtChangeActorClass(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2))
        out += detailLabel(num(p, 0), LabelKind::Actor, o) + "," +
               detailLabel(num(p, 1), LabelKind::Class, o);
}

void fmtChangeActorGraphic(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 5)) return;
    out += detailLabel(num(p, 0), LabelKind::Actor, o) +
           graphicPart(p[1].text(), num(p, 2), "キャラクターグラフィック", o) +
           graphicPart(p[3].text(), num(p, 4), "バトラーグラフィック", o);
}

void fmtChangeEnemyHp(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 5)) changeHp(out, p, o, enemyOperand(num(p, 0), o));
}

void fmtChangeEnemySp(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 4)) changeValue(out, p, o, enemyOperand(num(p, 0), o));
}

void fmtChangeEnemyState(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 3)) out += stateChange(p, enemyOperand(num(p, 0), o), o);
}

void fmtEnemyRecoverAll(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out += enemyOperand(num(p, 0), o);
}

void fmtEnemyAppearance(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out += troopMemberText(num(p, 0), o);
}

void fmtEnemyTransform(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2))
        out += troopMemberText(num(p, 0), o) + "," + detailLabel(num(p, 1), LabelKind::Enemy, o);
}

void fmtShowBattleAnimation(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 3))
        out += battlerOperand(num(p, 0), num(p, 1), o) + "," +
               detailLabel(num(p, 2), LabelKind::Animation, o);
}

void fmtDealDamage(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 4))
        out += battlerOperand(num(p, 0), num(p, 1), o) + "," + amount(0, num(p, 2), num(p, 3), o);
}

void fmtForceAction(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 6)) out += forcedAction(p, o);
}

void fmtScript(std::string& out, const ParamView& p, const ListingOptions&) {
    if (needs(p, 1)) out += p[0].text();
}

}  // namespace zorvane

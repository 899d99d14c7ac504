// Formatters of messages, choices, input, flow control, switches, variables, timer, gold,
// items, party and system settings; also the one audio formatter that every audio row shares.
#include <cstdlib>

#include "listing/formatters.h"
#include "listing/operands.h"

namespace zorvane {

namespace {

int num(const ParamView& p, size_t i) {
    return p[i].fixnum();
}
std::string txt(const ParamView& p, size_t i) {
    return p[i].text();
}

// Name number `index` of a list, or "" outside it.
template <size_t N>
const char* nameAt(const char* const (&names)[N], int index) {
    return index >= 0 && static_cast<size_t>(index) < N ? names[index] : "";
}

// Name lists, one row per language (listing_words.h), indexed by the stored value.
const char* const kCancelNames[2][6] = {
    {"無効", "選択肢 1", "選択肢 2", "選択肢 3", "選択肢 4", "分岐"},
    {"Disallowed", "Choice 1", "Choice 2", "Choice 3", "Choice 4", "Own Branch"},
};
const char* const kTextPositions[2][3] = {{"上", "中", "下"}, {"Top", "Middle", "Bottom"}};
const char* const kWindowStates[2][2] = {{"表示", "非表示"}, {"Window Shown", "Window Hidden"}};
const char* const kComparisons[2][2] = {{"以上", "以下"}, {"or More", "or Less"}};
const char* const kConditionOperators[] = {"==", ">=", "<=", ">", "<", "!="};
const char* const kAssignOperators[] = {"=", "+=", "-=", "*=", "/=", "%="};
const char* const kActorValues[2][14] = {
    {"レベル", "EXP", "HP", "SP", "MaxHP", "MaxSP", "腕力", "器用さ", "素早さ", "魔力", "攻撃力",
     "物理防御", "魔法防御", "回避修正"},
    {"Level", "EXP", "HP", "SP", "MaxHP", "MaxSP", "Strength", "Dexterity", "Agility",
     "Intelligence", "Attack", "Physical Defense", "Magic Defense", "Evasion"},
};
const char* const kEnemyValues[2][12] = {
    {"HP", "SP", "MaxHP", "MaxSP", "腕力", "器用さ", "素早さ", "魔力", "攻撃力", "物理防御",
     "魔法防御", "回避修正"},
    {"HP", "SP", "MaxHP", "MaxSP", "Strength", "Dexterity", "Agility", "Intelligence", "Attack",
     "Physical Defense", "Magic Defense", "Evasion"},
};
const char* const kCharacterValues[2][6] = {
    {"X座標", "Y座標", "向き", "画面X座標", "画面Y座標", "地形タグ"},
    {"Map X", "Map Y", "Facing", "Screen X", "Screen Y", "Terrain Tag"},
};
const char* const kOtherValues[2][7] = {
    {"マップID", "パーティ人数", "ゴールド", "歩数", "プレイ時間", "タイマー", "セーブ回数"},
    {"Map ID", "Party Size", "Gold", "Steps Taken", "Play Time", "Timer", "Save Count"},
};

// A text parameter shown as stored.
void plainText(std::string& out, const ParamView& p) {
    if (needs(p, 1)) out = txt(p, 0);
}

// Switch or variable target of 121/122: one id, or a range first..last.
std::string idTarget(int first, int last, LabelKind kind, const ListingOptions& o) {
    if (first == last) return kindIfDetailLabel(first, kind, o);
    if (o.detail)
        return "[" + detailLabel(first, kind, o) + ".." + detailLabel(last, kind, o) + "]";
    return format("[%04d..%04d]", first, last);
}

void changeStock(std::string& out, const ParamView& p, const ListingOptions& o, LabelKind kind) {
    if (!needs(p, 4)) return;
    out = detailLabel(num(p, 0), kind, o) + " " + operandValue(num(p, 1), num(p, 2), num(p, 3), o);
}

void playAudio(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out = audioText(p[0], o);
}

}  // namespace

void fmtEmpty(std::string&, const ParamView&, const ListingOptions&) {}

void fmtShowText(std::string& out, const ParamView& p, const ListingOptions&) {
    plainText(out, p);
}

void fmtShowChoices(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 2)) return;
    const ValueArray& choices = p[0].children();
    for (size_t i = 0; i < choices.size(); ++i) out += (i ? "," : "") + choices[i].text();
    if (o.detail)
        out += std::string(say(" (キャンセル時：", o)) +
               nameAt(kCancelNames[row(o.language)], num(p, 1)) + ")";
}

void fmtWhenChoice(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2)) out = fill(say("[{1}] の場合", o), {txt(p, 1)});
}

void fmtInputNumber(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2))
        out = kindIfDetailLabel(num(p, 0), LabelKind::Variable, o) +
              format(say(",%d桁", o), num(p, 1));
}

void fmtChangeTextOptions(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2))
        out = std::string(nameAt(kTextPositions[row(o.language)], num(p, 0))) + "," +
              nameAt(kWindowStates[row(o.language)], num(p, 1));
}

void fmtButtonInput(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out = kindIfDetailLabel(num(p, 0), LabelKind::Variable, o);
}

void fmtWait(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out = format(say("%dフレーム", o), num(p, 0));
}

void fmtComment(std::string& out, const ParamView& p, const ListingOptions&) {
    plainText(out, p);
}

namespace {

// One condition of 111: the positions it needs and how it prints.
struct Condition {
    size_t needs;
    void (*print)(std::string& out, const ParamView& p, const ListingOptions& o);
};

void switchCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    out = fullLabel(num(p, 1), LabelKind::Switch, o) + " == " + switchValue(num(p, 2));
}

void variableCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    bool againstVariable = num(p, 2) == 1;
    out =
        fullLabel(num(p, 1), LabelKind::Variable, o) + " " +
        nameAt(kConditionOperators, num(p, 4)) + " " +
        (againstVariable ? fullLabel(num(p, 3), LabelKind::Variable, o) : format("%d", num(p, 3)));
}

void selfSwitchCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    out = say("セルフスイッチ", o) + txt(p, 1) + " == " + switchValue(num(p, 2));
}

void timerCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    out = format(say("タイマー%d分%d秒 ", o), num(p, 1) / 60, num(p, 1) % 60) +
          nameAt(kComparisons[row(o.language)], num(p, 2));
}

// What an actor condition says of the actor {1}, by p2; {2} is the skill, equipment, state
// or name it names.
const char* const kActorTests[] = {"{1} が パーティにいる", "{1} が 名前'{2}'になっている",
                                   "{1} が {2} を習得済み", "{1} が {2} を装備中",
                                   "{1} が {2} を装備中",   "{1} が {2} になっている"};

void actorCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    std::string actor = detailLabel(num(p, 1), LabelKind::Actor, o);
    int what = num(p, 2);
    if (what == 0) {
        out = fill(say(kActorTests[0], o), {actor});
        return;
    }
    // An unknown test still names its actor.
    out = fill(say("{1} が ", o), {actor});
    if (what < 1 || what > 5) return;
    if (!needs(p, 4)) {
        out.clear();
        return;
    }
    // Tests 2..5 name a skill, weapon, armor or state.
    static const LabelKind kKinds[] = {LabelKind::Skill, LabelKind::Weapon, LabelKind::Armor,
                                       LabelKind::State};
    std::string object = what == 1 ? txt(p, 3) : detailLabel(num(p, 3), kKinds[what - 2], o);
    out = fill(say(kActorTests[what], o), {actor, object});
}

void enemyCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    std::string enemy = troopMemberText(num(p, 1), o);
    if (num(p, 2) == 0)
        out = fill(say("{1} が 出現している", o), {enemy});
    else if (num(p, 2) == 1 && needs(p, 4))
        out = fill(say("{1} が {2} になっている", o),
                   {enemy, detailLabel(num(p, 3), LabelKind::State, o)});
    else
        out = fill(say("{1} が ", o), {enemy});
}

void characterCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    out = fill(say("{1} が {2} を向いている", o),
               {characterName(num(p, 1), o), directionName(num(p, 2), o.language)});
}

void goldCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    out = format(say("ゴールド%d", o), num(p, 1)) + nameAt(kComparisons[row(o.language)], num(p, 2));
}

template <LabelKind Kind>
void possessionCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    out = fill(say("{1} を持っている", o), {detailLabel(num(p, 1), Kind, o)});
}

void buttonCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    out = fill(say("ボタン {1} が押されている", o), {directionName(num(p, 1), o.language)});
}

void scriptCondition(std::string& out, const ParamView& p, const ListingOptions& o) {
    out = say("スクリプト：", o) + txt(p, 1);
}

// Indexed by p0.
const Condition kConditions[] = {
    {3, switchCondition},
    {5, variableCondition},
    {3, selfSwitchCondition},
    {3, timerCondition},
    {3, actorCondition},
    {3, enemyCondition},
    {3, characterCondition},
    {3, goldCondition},
    {2, possessionCondition<LabelKind::Item>},
    {2, possessionCondition<LabelKind::Weapon>},
    {2, possessionCondition<LabelKind::Armor>},
    {2, buttonCondition},
    {2, scriptCondition},
};

}  // namespace

void fmtConditionalBranch(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 1)) return;
    int which = num(p, 0);
    constexpr int count = static_cast<int>(sizeof kConditions / sizeof kConditions[0]);
    if (which < 0 || which >= count || !needs(p, kConditions[which].needs)) return;
    kConditions[which].print(out, p, o);
}

void fmtCallCommonEvent(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out = detailLabel(num(p, 0), LabelKind::CommonEvent, o);
}

void fmtLabel(std::string& out, const ParamView& p, const ListingOptions&) {
    plainText(out, p);
}

void fmtControlSwitches(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 3))
        out = idTarget(num(p, 0), num(p, 1), LabelKind::Switch, o) + " = " + switchValue(num(p, 2));
}

namespace {

// The operand of 122 by its kind p3, or false when the parameters are too few for it.
bool variableOperand(std::string& text, const ParamView& p, const ListingOptions& o) {
    int kind = num(p, 3), a = num(p, 4);
    bool readsSecond = kind == 2 || kind == 4 || kind == 5 || kind == 6;
    if (readsSecond && !needs(p, 6)) return false;
    int b = readsSecond ? num(p, 5) : 0;
    int lang = row(o.language);
    switch (kind) {
        case 0:
            text = format("%d", a);
            break;
        case 1:
            text = fullLabel(a, LabelKind::Variable, o);
            break;
        case 2:
            text = format(say("乱数(%d..%d)", o), a, b);
            break;
        case 3:
            text = fill(say("{1}の所持数", o), {detailLabel(a, LabelKind::Item, o)});
            break;
        case 4:
            text = fill(say("{1} の {2}", o),
                        {detailLabel(a, LabelKind::Actor, o), nameAt(kActorValues[lang], b)});
            break;
        case 5:
            text = fill(say("{1} の {2}", o),
                        {troopMemberText(a, o), nameAt(kEnemyValues[lang], b)});
            break;
        case 6:
            text = fill(say("{1} の {2}", o),
                        {characterName(a, o), nameAt(kCharacterValues[lang], b)});
            break;
        case 7:
            text = nameAt(kOtherValues[lang], a);
            break;
        default:
            text.clear();
            break;
    }
    return true;
}

}  // namespace

void fmtControlVariables(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 5)) return;
    std::string operand;
    if (!variableOperand(operand, p, o)) return;
    out = idTarget(num(p, 0), num(p, 1), LabelKind::Variable, o) + " " +
          nameAt(kAssignOperators, num(p, 2)) + " " + operand;
}

void fmtControlSelfSwitch(std::string& out, const ParamView& p, const ListingOptions&) {
    if (needs(p, 2)) out = txt(p, 0) + " = " + switchValue(num(p, 1));
}

void fmtControlTimer(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 1)) return;
    if (num(p, 0) == 0 && needs(p, 2))
        out = format(say("始動 (%d分%d秒)", o), num(p, 1) / 60, num(p, 1) % 60);
    else if (num(p, 0) == 1)
        out = say("停止", o);
}

void fmtChangeGold(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 3)) out = operandValue(num(p, 0), num(p, 1), num(p, 2), o);
}

void fmtChangeItems(std::string& out, const ParamView& p, const ListingOptions& o) {
    changeStock(out, p, o, LabelKind::Item);
}

void fmtChangeWeapons(std::string& out, const ParamView& p, const ListingOptions& o) {
    changeStock(out, p, o, LabelKind::Weapon);
}

void fmtChangeArmor(std::string& out, const ParamView& p, const ListingOptions& o) {
    changeStock(out, p, o, LabelKind::Armor);
}

void fmtChangePartyMember(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 2)) return;
    std::string actor = detailLabel(num(p, 0), LabelKind::Actor, o);
    if (num(p, 1) == 0)
        out = fill(say(needs(p, 3) && num(p, 2) == 1 ? "{1} を加える,初期化" : "{1} を加える", o),
                   {actor});
    else if (num(p, 1) == 1)
        out = fill(say("{1} を外す", o), {actor});
    else
        out = actor;
}

void fmtChangeWindowskin(std::string& out, const ParamView& p, const ListingOptions&) {
    if (needs(p, 1)) out = "'" + txt(p, 0) + "'";
}

void fmtChangePermission(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out = say(num(p, 0) == 0 ? "禁止" : "許可", o);
}

// Every audio row prints alike; which folder its file is in, its row says.
void fmtPlayAudio(std::string& out, const ParamView& p, const ListingOptions& o) {
    playAudio(out, p, o);
}

}  // namespace zorvane

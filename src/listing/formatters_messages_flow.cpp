// Formatters of messages, choices, input, flow control, switches, variables, timer, gold,
// items, party and system settings, with their search answers; also the one audio
// formatter that every audio row shares.
#include <cstdlib>

#include "listing/formatters.h"
#include "listing/operands.h"
#include "listing/variable_escapes.h"

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

const char* const kCancelNames[] = {"無効", "選択肢 1", "選択肢 2", "選択肢 3", "選択肢 4", "分岐"};
const char* const kTextPositions[] = {"上", "中", "下"};
const char* const kWindowStates[] = {"表示", "非表示"};
const char* const kComparisons[] = {"以上", "以下"};
const char* const kConditionOperators[] = {"==", ">=", "<=", ">", "<", "!="};
const char* const kAssignOperators[] = {"=", "+=", "-=", "*=", "/=", "%="};
const char* const kActorValues[] = {"レベル", "EXP",      "HP",       "SP",      "MaxHP",
                                    "MaxSP",  "腕力",     "器用さ",   "素早さ",  "魔力",
                                    "攻撃力", "物理防御", "魔法防御", "回避修正"};
const char* const kEnemyValues[] = {"HP",     "SP",   "MaxHP",  "MaxSP",    "腕力",     "器用さ",
                                    "素早さ", "魔力", "攻撃力", "物理防御", "魔法防御", "回避修正"};
const char* const kCharacterValues[] = {"X座標",     "Y座標",     "向き",
                                        "画面X座標", "画面Y座標", "地形タグ"};
const char* const kOtherValues[] = {"マップID",   "パーティ人数", "ゴールド",  "歩数",
                                    "プレイ時間", "タイマー",     "セーブ回数"};

// A text parameter shown as stored and handed to the text matcher under one target.
bool plainText(std::string& out, const ParamView& p, const SearchRequest* request, TextTarget target) {
    if (!needs(p, 1)) return false;
    out = txt(p, 0);
    return textTargetMatches(request, target, out);
}

// Switch or variable target of 121/122: one id, or a range first..last.
std::string idTarget(int first, int last, int kind, const ListingOptions& o) {
    if (first == last) return kindIfDetailLabel(first, kind, o);
    if (o.detail)
        return "[" + detailLabel(first, kind, o) + ".." + detailLabel(last, kind, o) + "]";
    return format("[%04d..%04d]", first, last);
}

bool operatesOnTarget(const SearchRequest* request, SearchKind kind, int first, int last) {
    if (!request || !request->is(kind) || !request->inOperatingCommands) return false;
    return first == last ? matchesOneId(*request, first) : matchesRange(*request, first, last);
}

// 125 to 128: an operand value whose variable (operand type 1) the variable search sees.
bool operandOffer(const SearchRequest* request, int operandType, int value) {
    return operandType == 1 && refersTo(request, SearchKind::Variable, value);
}

bool changeStock(std::string& out, const ParamView& p, const ListingOptions& o,
                 const SearchRequest* request, int kind) {
    if (!needs(p, 4)) return false;
    out = detailLabel(num(p, 0), kind, o) + " " + operandValue(num(p, 1), num(p, 2), num(p, 3), o);
    return operandOffer(request, num(p, 2), num(p, 3));
}

bool playAudio(std::string& out, const ParamView& p, const ListingOptions& o,
               const SearchRequest* request, FileCollector* files, const char* folder) {
    if (!needs(p, 1)) return false;
    out = audioText(p[0], o);
    return offerFile(request, files, folder, audioName(p[0]));
}

}  // namespace

bool fmtEmpty(std::string&, const ParamView&, const ListingOptions&, const SearchRequest*,
              FileCollector*) {
    return false;
}

bool fmtShowText(std::string& out, const ParamView& p, const ListingOptions&,
                 const SearchRequest* request, FileCollector*) {
    if (!needs(p, 1)) return false;
    out = txt(p, 0);
    if (request && request->is(SearchKind::Text))
        return textTargetMatches(request, TargetMessage, out);
    return request && request->is(SearchKind::Variable) && request->inReferencingCommands &&
           showsSearchedVariable(out, *request);
}

bool fmtShowChoices(std::string& out, const ParamView& p, const ListingOptions& o,
                    const SearchRequest*, FileCollector*) {
    if (!needs(p, 2)) return false;
    const ValueArray& choices = p[0].children();
    for (size_t i = 0; i < choices.size(); ++i) out += (i ? "," : "") + choices[i].text();
    if (o.detail) out += std::string(" (キャンセル時：") + nameAt(kCancelNames, num(p, 1)) + ")";
    return false;
}

bool fmtWhenChoice(std::string& out, const ParamView& p, const ListingOptions&,
                   const SearchRequest* request, FileCollector*) {
    if (!needs(p, 2)) return false;
    std::string choice = txt(p, 1);
    out = "[" + choice + "] の場合";
    return textTargetMatches(request, TargetChoice, choice);
}

bool fmtInputNumber(std::string& out, const ParamView& p, const ListingOptions& o,
                    const SearchRequest* request, FileCollector*) {
    if (!needs(p, 2)) return false;
    out = kindIfDetailLabel(num(p, 0), KindVariable, o) + format(",%d桁", num(p, 1));
    return operatesOn(request, SearchKind::Variable, num(p, 0));
}

bool fmtChangeTextOptions(std::string& out, const ParamView& p, const ListingOptions&,
                          const SearchRequest*, FileCollector*) {
    if (!needs(p, 2)) return false;
    out = std::string(nameAt(kTextPositions, num(p, 0))) + "," + nameAt(kWindowStates, num(p, 1));
    return false;
}

bool fmtButtonInput(std::string& out, const ParamView& p, const ListingOptions& o,
                    const SearchRequest* request, FileCollector*) {
    if (!needs(p, 1)) return false;
    out = kindIfDetailLabel(num(p, 0), KindVariable, o);
    return operatesOn(request, SearchKind::Variable, num(p, 0));
}

bool fmtWait(std::string& out, const ParamView& p, const ListingOptions&, const SearchRequest*,
             FileCollector*) {
    if (!needs(p, 1)) return false;
    out = format("%dフレーム", num(p, 0));
    return false;
}

bool fmtComment(std::string& out, const ParamView& p, const ListingOptions&,
                const SearchRequest* request, FileCollector*) {
    return plainText(out, p, request, TargetComment);
}

namespace {

// One condition of 111: the positions it needs and how it prints and answers.
struct Condition {
    size_t needs;
    bool (*print)(std::string& out, const ParamView& p, const ListingOptions& o,
                  const SearchRequest* request);
};

bool switchCondition(std::string& out, const ParamView& p, const ListingOptions& o,
                     const SearchRequest* request) {
    out = fullLabel(num(p, 1), KindSwitch, o) + " == " + switchValue(num(p, 2));
    return refersTo(request, SearchKind::Switch, num(p, 1));
}

bool variableCondition(std::string& out, const ParamView& p, const ListingOptions& o,
                       const SearchRequest* request) {
    bool againstVariable = num(p, 2) == 1;
    out = fullLabel(num(p, 1), KindVariable, o) + " " + nameAt(kConditionOperators, num(p, 4)) +
          " " + (againstVariable ? fullLabel(num(p, 3), KindVariable, o) : format("%d", num(p, 3)));
    return refersTo(request, SearchKind::Variable, num(p, 1)) ||
           (againstVariable && refersTo(request, SearchKind::Variable, num(p, 3)));
}

bool selfSwitchCondition(std::string& out, const ParamView& p, const ListingOptions&,
                         const SearchRequest*) {
    out = "セルフスイッチ" + txt(p, 1) + " == " + switchValue(num(p, 2));
    return false;
}

bool timerCondition(std::string& out, const ParamView& p, const ListingOptions&,
                    const SearchRequest*) {
    out = format("タイマー%d分%d秒 ", num(p, 1) / 60, num(p, 1) % 60) +
          nameAt(kComparisons, num(p, 2));
    return false;
}

bool actorCondition(std::string& out, const ParamView& p, const ListingOptions& o,
                    const SearchRequest* request) {
    out = detailLabel(num(p, 1), KindActor, o) + " が ";
    int what = num(p, 2);
    if (what == 0) {
        out += "パーティにいる";
        return false;
    }
    if (what < 1 || what > 5) return false;
    if (!needs(p, 4)) {
        out.clear();
        return false;
    }
    static const int kKinds[] = {0, 0, KindSkill, KindWeapon, KindArmor, KindState};
    static const char* const kTails[] = {"",          "",          " を習得済み",
                                         " を装備中", " を装備中", " になっている"};
    if (what == 1) {
        out += "名前'" + txt(p, 3) + "'になっている";
        return textTargetMatches(request, TargetActor, txt(p, 3));
    }
    out += detailLabel(num(p, 3), kKinds[what], o) + kTails[what];
    return false;
}

bool enemyCondition(std::string& out, const ParamView& p, const ListingOptions& o,
                    const SearchRequest*) {
    out = troopMemberText(num(p, 1), o) + " が ";
    if (num(p, 2) == 0)
        out += "出現している";
    else if (num(p, 2) == 1 && needs(p, 4))
        out += detailLabel(num(p, 3), KindState, o) + " になっている";
    return false;
}

bool characterCondition(std::string& out, const ParamView& p, const ListingOptions& o,
                        const SearchRequest*) {
    out = characterName(num(p, 1), o) + " が " + directionName(num(p, 2)) + " を向いている";
    return false;
}

bool goldCondition(std::string& out, const ParamView& p, const ListingOptions&, const SearchRequest*) {
    out = format("ゴールド%d", num(p, 1)) + nameAt(kComparisons, num(p, 2));
    return false;
}

template <int Kind>
bool possessionCondition(std::string& out, const ParamView& p, const ListingOptions& o,
                         const SearchRequest*) {
    out = detailLabel(num(p, 1), Kind, o) + " を持っている";
    return false;
}

bool buttonCondition(std::string& out, const ParamView& p, const ListingOptions&,
                     const SearchRequest*) {
    out = "ボタン " + directionName(num(p, 1)) + " が押されている";
    return false;
}

bool scriptCondition(std::string& out, const ParamView& p, const ListingOptions&,
                     const SearchRequest* request) {
    out = "スクリプト：" + txt(p, 1);
    return textTargetMatches(request, TargetScript, txt(p, 1));
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
    {2, possessionCondition<KindItem>},
    {2, possessionCondition<KindWeapon>},
    {2, possessionCondition<KindArmor>},
    {2, buttonCondition},
    {2, scriptCondition},
};

}  // namespace

bool fmtConditionalBranch(std::string& out, const ParamView& p, const ListingOptions& o,
                          const SearchRequest* request, FileCollector*) {
    if (!needs(p, 1)) return false;
    int which = num(p, 0);
    constexpr int count = static_cast<int>(sizeof kConditions / sizeof kConditions[0]);
    if (which < 0 || which >= count || !needs(p, kConditions[which].needs)) return false;
    return kConditions[which].print(out, p, o, request);
}

bool fmtCallCommonEvent(std::string& out, const ParamView& p, const ListingOptions& o,
                        const SearchRequest* request, FileCollector*) {
    if (!needs(p, 1)) return false;
    out = detailLabel(num(p, 0), KindCommonEvent, o);
    return request && request->is(SearchKind::CommonEvent) && matchesOneId(*request, num(p, 0));
}

bool fmtLabel(std::string& out, const ParamView& p, const ListingOptions&,
              const SearchRequest* request, FileCollector*) {
    return plainText(out, p, request, TargetLabel);
}

bool fmtControlSwitches(std::string& out, const ParamView& p, const ListingOptions& o,
                        const SearchRequest* request, FileCollector*) {
    if (!needs(p, 3)) return false;
    out = idTarget(num(p, 0), num(p, 1), KindSwitch, o) + " = " + switchValue(num(p, 2));
    return operatesOnTarget(request, SearchKind::Switch, num(p, 0), num(p, 1));
}

namespace {

// The operand of 122 by its kind p3, or false when the parameters are too few for it.
bool variableOperand(std::string& text, const ParamView& p, const ListingOptions& o) {
    int kind = num(p, 3), a = num(p, 4);
    bool readsSecond = kind == 2 || kind == 4 || kind == 5 || kind == 6;
    if (readsSecond && !needs(p, 6)) return false;
    int b = readsSecond ? num(p, 5) : 0;
    switch (kind) {
        case 0:
            text = format("%d", a);
            break;
        case 1:
            text = fullLabel(a, KindVariable, o);
            break;
        case 2:
            text = format("乱数(%d..%d)", a, b);
            break;
        case 3:
            text = detailLabel(a, KindItem, o) + "の所持数";
            break;
        case 4:
            text = detailLabel(a, KindActor, o) + " の " + nameAt(kActorValues, b);
            break;
        case 5:
            text = troopMemberText(a, o) + " の " + nameAt(kEnemyValues, b);
            break;
        case 6:
            text = characterName(a, o) + " の " + nameAt(kCharacterValues, b);
            break;
        case 7:
            text = nameAt(kOtherValues, a);
            break;
        default:
            text.clear();
            break;
    }
    return true;
}

}  // namespace

bool fmtControlVariables(std::string& out, const ParamView& p, const ListingOptions& o,
                         const SearchRequest* request, FileCollector*) {
    if (!needs(p, 5)) return false;
    std::string operand;
    if (!variableOperand(operand, p, o)) return false;
    out = idTarget(num(p, 0), num(p, 1), KindVariable, o) + " " +
          nameAt(kAssignOperators, num(p, 2)) + " " + operand;
    return operatesOnTarget(request, SearchKind::Variable, num(p, 0), num(p, 1)) ||
           operandOffer(request, num(p, 3), num(p, 4));
}

bool fmtControlSelfSwitch(std::string& out, const ParamView& p, const ListingOptions&,
                          const SearchRequest*, FileCollector*) {
    if (!needs(p, 2)) return false;
    out = txt(p, 0) + " = " + switchValue(num(p, 1));
    return false;
}

bool fmtControlTimer(std::string& out, const ParamView& p, const ListingOptions&, const SearchRequest*,
                     FileCollector*) {
    if (!needs(p, 1)) return false;
    if (num(p, 0) == 0 && needs(p, 2))
        out = format("始動 (%d分%d秒)", num(p, 1) / 60, num(p, 1) % 60);
    else if (num(p, 0) == 1)
        out = "停止";
    return false;
}

bool fmtChangeGold(std::string& out, const ParamView& p, const ListingOptions& o,
                   const SearchRequest* request, FileCollector*) {
    if (!needs(p, 3)) return false;
    out = operandValue(num(p, 0), num(p, 1), num(p, 2), o);
    return operandOffer(request, num(p, 1), num(p, 2));
}

bool fmtChangeItems(std::string& out, const ParamView& p, const ListingOptions& o,
                    const SearchRequest* request, FileCollector*) {
    return changeStock(out, p, o, request, KindItem);
}

bool fmtChangeWeapons(std::string& out, const ParamView& p, const ListingOptions& o,
                      const SearchRequest* request, FileCollector*) {
    return changeStock(out, p, o, request, KindWeapon);
}

bool fmtChangeArmor(std::string& out, const ParamView& p, const ListingOptions& o,
                    const SearchRequest* request, FileCollector*) {
    return changeStock(out, p, o, request, KindArmor);
}

bool fmtChangePartyMember(std::string& out, const ParamView& p, const ListingOptions& o,
                          const SearchRequest*, FileCollector*) {
    if (!needs(p, 2)) return false;
    out = detailLabel(num(p, 0), KindActor, o);
    if (num(p, 1) == 0)
        out += needs(p, 3) && num(p, 2) == 1 ? " を加える,初期化" : " を加える";
    else if (num(p, 1) == 1)
        out += " を外す";
    return false;
}

bool fmtChangeWindowskin(std::string& out, const ParamView& p, const ListingOptions&,
                         const SearchRequest* request, FileCollector* files) {
    if (!needs(p, 1)) return false;
    out = "'" + txt(p, 0) + "'";
    return offerFile(request, files, "Graphics\\Windowskins\\", txt(p, 0));
}

bool fmtChangePermission(std::string& out, const ParamView& p, const ListingOptions&,
                         const SearchRequest*, FileCollector*) {
    if (!needs(p, 1)) return false;
    out = num(p, 0) == 0 ? "禁止" : "許可";
    return false;
}

bool fmtPlayBgm(std::string& out, const ParamView& p, const ListingOptions& o,
                const SearchRequest* request, FileCollector* files) {
    return playAudio(out, p, o, request, files, "Audio\\BGM\\");
}

bool fmtPlayBgs(std::string& out, const ParamView& p, const ListingOptions& o,
                const SearchRequest* request, FileCollector* files) {
    return playAudio(out, p, o, request, files, "Audio\\BGS\\");
}

bool fmtPlayMe(std::string& out, const ParamView& p, const ListingOptions& o,
               const SearchRequest* request, FileCollector* files) {
    return playAudio(out, p, o, request, files, "Audio\\ME\\");
}

bool fmtPlaySe(std::string& out, const ParamView& p, const ListingOptions& o,
               const SearchRequest* request, FileCollector* files) {
    return playAudio(out, p, o, request, files, "Audio\\SE\\");
}

}  // namespace zorvane

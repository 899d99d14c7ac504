// Condition sections of the three event kinds, from their records, and their rendering.
#include "documents/condition_block.h"

#include "documents/markup.h"
#include "listing/operands.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

const char* const kCommonTriggers[] = {"なし", "自動実行", "並列処理"};
const char* const kSpans[] = {"バトル", "ターン", "モーメント"};
const char* const kMoveTypes[] = {"固定", "ランダム", "近づく", "カスタム"};
const char* const kMapTriggers[] = {"決定ボタン", "プレイヤーから接触", "イベントから接触",
                                    "自動実行", "並列処理"};
// A troop page without conditions never runs; a map event page without them always applies.
const char* const kTroopNoCondition = "実行しない";
const char* const kMapNoCondition = "なし";

// The name of value in a table indexed from 0; values outside it have no name.
template <size_t N>
std::string nameAt(const char* const (&names)[N], int value) {
    return value >= 0 && static_cast<size_t>(value) < N ? names[value] : "";
}

// Facing directions of a page graphic; other values have no name.
std::string facingName(int direction) {
    switch (direction) {
        case 2:
            return "下";
        case 4:
            return "左";
        case 6:
            return "右";
        case 8:
            return "上";
        default:
            return "";
    }
}

std::string onOff(bool on) {
    return on ? "○" : "×";
}

// The self switch letter held as its character code.
std::string letter(int32_t code) {
    return code > 0x20 && code < 0x7F ? std::string(1, static_cast<char>(code)) : "";
}

std::string turnCondition(const TroopCondition& c) {
    if (c.turnA >= 1 && c.turnB >= 1) return format("ターン%d+%dx", c.turnA, c.turnB);
    if (c.turnB < 1) return format("ターン%d", c.turnA);
    return format("ターン%dx", c.turnB);
}

std::vector<std::string> troopConditionItems(const TroopCondition& c, int troopId,
                                             const ProjectDatabase& db, bool detail) {
    std::vector<std::string> items;
    if (c.turnValid) items.push_back(turnCondition(c));
    if (c.enemyValid)
        items.push_back("エネミー" + db.troopMemberLabel(troopId, c.enemyIndex, false, detail) +
                        format("のHP%d%%以下", c.enemyHp));
    if (c.actorValid)
        items.push_back("アクター" + db.label(c.actorId, KindActor, false, detail, true, true) +
                        format("のHP%d%%以下", c.actorHp));
    if (c.switchValid)
        items.push_back(db.label(c.switchId, KindSwitch, true, true, true, true) + "がON");
    if (items.empty()) items.push_back(kTroopNoCondition);
    return items;
}

std::vector<std::string> mapConditionItems(const MapEventCondition& c, const ProjectDatabase& db,
                                           bool detail) {
    std::vector<std::string> items;
    if (c.switch1Valid)
        items.push_back("スイッチ：" + db.label(c.switch1Id, KindSwitch, false, true, true, true) +
                        "がON");
    if (c.switch2Valid)
        items.push_back("スイッチ：" + db.label(c.switch2Id, KindSwitch, detail, true, true, true) +
                        "がON");
    if (c.variableValid)
        items.push_back("変数：" + db.label(c.variableId, KindVariable, detail, true, true, true) +
                        format("が%d以上", c.variableValue));
    if (c.selfSwitchValid) items.push_back("セルフスイッチ：" + letter(c.selfSwitchCh) + "がON");
    if (items.empty()) items.push_back(kMapNoCondition);
    return items;
}

std::vector<std::string> graphicItems(const MapEventGraphic& g) {
    std::vector<std::string> items;
    if (g.tileId != 0) {
        items.push_back("ファイル：タイルセット");
        items.push_back(format("位置：(%d,%d)", (g.tileId - 384) % 8, (g.tileId - 384) / 8));
    } else {
        items.push_back("ファイル：" + g.characterName);
        items.push_back("向き：" + facingName(g.direction));
        items.push_back(format("パターン：%d", g.pattern));
    }
    items.push_back(format("色相：%d", g.characterHue));
    items.push_back(format("不透明度：%d", g.opacity));
    items.push_back("合成方法：" + blendName(g.blendType));
    return items;
}

std::vector<std::string> movementItems(const MapEventPage& page) {
    ListingOptions longNames;
    longNames.detail = true;
    return {"タイプ：" + nameAt(kMoveTypes, page.moveType),
            "速度：" + speedName(page.moveSpeed, longNames),
            "頻度：" + frequencyName(page.moveFrequency, longNames)};
}

std::vector<std::string> optionItems(const MapEventPage& page) {
    return {"移動時アニメ：" + onOff(page.walkAnime), "停止時アニメ：" + onOff(page.stepAnime),
            "向き固定：" + onOff(page.directionFix), "すり抜け：" + onOff(page.through),
            "最前面に表示：" + onOff(page.alwaysOnTop)};
}

void renderSection(std::string& out, const ConditionSection& section, const Markup& m) {
    out += m.titleOpen;
    out += section.title;
    switch (section.form) {
        case SectionForm::Break:
            out += m.titleClose;
            out += m.blockOpenBreak;
            break;
        case SectionForm::Direct:
            out += m.titleCloseBreak;
            out += m.blockOpenDirect;
            break;
        case SectionForm::Prefixed:
            out += m.titleCloseBreak;
            out += m.blockOpenPrefixed;
            break;
    }
    for (size_t i = 0; i < section.items.size(); ++i) {
        if (i > 0 || section.form != SectionForm::Direct) out += m.itemPrefix;
        appendText(out, section.items[i], m);
        out += m.itemEnd;
    }
    out += m.blockClose;
}

}  // namespace

std::vector<ConditionSection> commonEventSections(const CommonEvent& event,
                                                  const ProjectDatabase& project) {
    std::vector<ConditionSection> sections = {
        {"トリガー", SectionForm::Direct, {nameAt(kCommonTriggers, event.trigger)}}};
    if (event.trigger == 1 || event.trigger == 2)
        sections.push_back({"条件スイッチ",
                            SectionForm::Direct,
                            {project.label(event.switchId, KindSwitch, false, true, true, true)}});
    return sections;
}

std::vector<ConditionSection> troopPageSections(const TroopPage& page, int troopId,
                                                const ProjectDatabase& project, bool detail) {
    return {{"条件", SectionForm::Prefixed,
             troopConditionItems(page.condition, troopId, project, detail)},
            {"スパン", SectionForm::Direct, {nameAt(kSpans, page.span)}}};
}

std::vector<ConditionSection> mapPageSections(const MapEventPage& page,
                                              const ProjectDatabase& project, bool detail) {
    return {{"条件", SectionForm::Break, mapConditionItems(page.condition, project, detail)},
            {"グラフィック", SectionForm::Direct, graphicItems(page.graphic)},
            {"自律移動", SectionForm::Break, movementItems(page)},
            {"オプション", SectionForm::Break, optionItems(page)},
            {"トリガー", SectionForm::Direct, {nameAt(kMapTriggers, page.trigger)}}};
}

std::string renderConditionBlock(const std::vector<ConditionSection>& sections, bool html) {
    const Markup& m = markupFor(html);
    std::string out = m.conditionOpen;
    out += m.listOpen;
    for (const ConditionSection& section : sections) renderSection(out, section, m);
    out += m.listClose;
    out += m.conditionClose;
    return out;
}

}  // namespace zorvane

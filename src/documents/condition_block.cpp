// Condition sections of the three event kinds, from their records, and their rendering.
#include "documents/condition_block.h"

#include "documents/markup.h"
#include "listing/operands.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

// Name lists, one row per language (listing_words.h), indexed by the stored value.
const char* const kCommonTriggers[2][3] = {{"なし", "自動実行", "並列処理"},
                                           {"None", "Runs by Itself", "Runs Alongside"}};
const char* const kSpans[2][3] = {{"バトル", "ターン", "モーメント"},
                                  {"Once a Battle", "Once a Turn", "Every Moment"}};
const char* const kMoveTypes[2][4] = {{"固定", "ランダム", "近づく", "カスタム"},
                                      {"Stays Put", "Wanders", "Approaches", "Custom Route"}};
const char* const kMapTriggers[2][5] = {
    {"決定ボタン", "プレイヤーから接触", "イベントから接触", "自動実行", "並列処理"},
    {"Confirm Key", "Player Touches It", "It Touches Player", "Runs by Itself", "Runs Alongside"},
};
const char* const kOnOff[2][2] = {{"○", "×"}, {"On", "Off"}};
// A troop page without conditions never runs; a map event page without them always applies.
const char* const kTroopNoCondition = "実行しない";
const char* const kMapNoCondition = "なし";

// The name of value in a table indexed from 0; values outside it have no name.
template <size_t N>
std::string nameAt(const char* const (&names)[N], int value) {
    return value >= 0 && static_cast<size_t>(value) < N ? names[value] : "";
}

// Facing directions of a page graphic; other values have no name.
std::string facingName(int direction, Lang language) {
    bool facing = direction == 2 || direction == 4 || direction == 6 || direction == 8;
    return facing ? directionName(direction, language) : "";
}

std::string onOff(bool on, Lang language) {
    return kOnOff[row(language)][on ? 0 : 1];
}

// The self switch letter held as its character code.
std::string letter(int32_t code) {
    return code > 0x20 && code < 0x7F ? std::string(1, static_cast<char>(code)) : "";
}

std::string turnCondition(const TroopCondition& c, Lang language) {
    if (c.turnA >= 1 && c.turnB >= 1)
        return format(say("ターン%d+%dx", language), c.turnA, c.turnB);
    if (c.turnB < 1) return format(say("ターン%d", language), c.turnA);
    return format(say("ターン%dx", language), c.turnB);
}

std::vector<std::string> troopConditionItems(const TroopCondition& c, int troopId,
                                             const ProjectDatabase& db, bool detail,
                                             Lang language) {
    std::vector<std::string> items;
    if (c.turnValid) items.push_back(turnCondition(c, language));
    if (c.enemyValid)
        items.push_back(
            fill(say("エネミー{1}のHP{2}%以下", language),
                 {db.troopMemberLabel(troopId, c.enemyIndex,
                                      detail ? LabelStyle::numbered() : LabelStyle::nameOnly(),
                                      language),
                  format("%d", c.enemyHp)}));
    if (c.actorValid)
        items.push_back(
            fill(say("アクター{1}のHP{2}%以下", language),
                 {db.label(c.actorId, LabelKind::Actor,
                           detail ? LabelStyle::numbered() : LabelStyle::bracketedName(), language),
                  format("%d", c.actorHp)}));
    if (c.switchValid)
        items.push_back(fill(say("{1}がON", language), {db.label(c.switchId, LabelKind::Switch,
                                                                 LabelStyle::full(), language)}));
    if (items.empty()) items.push_back(say(kTroopNoCondition, language));
    return items;
}

std::vector<std::string> mapConditionItems(const MapEventCondition& c, const ProjectDatabase& db,
                                           bool detail, Lang language) {
    std::vector<std::string> items;
    auto switchLabel = [&](int id, bool kindWord) {
        return db.label(id, LabelKind::Switch,
                        kindWord ? LabelStyle::full() : LabelStyle::numbered(), language);
    };
    if (c.switch1Valid)
        items.push_back(fill(say("スイッチ：{1}がON", language), {switchLabel(c.switch1Id, false)}));
    if (c.switch2Valid)
        items.push_back(fill(say("スイッチ：{1}がON", language), {switchLabel(c.switch2Id, detail)}));
    if (c.variableValid)
        items.push_back(
            fill(say("変数：{1}が{2}以上", language),
                 {db.label(c.variableId, LabelKind::Variable,
                           detail ? LabelStyle::full() : LabelStyle::numbered(), language),
                  format("%d", c.variableValue)}));
    if (c.selfSwitchValid)
        items.push_back(fill(say("セルフスイッチ：{1}がON", language), {letter(c.selfSwitchCh)}));
    if (items.empty()) items.push_back(say(kMapNoCondition, language));
    return items;
}

std::vector<std::string> graphicItems(const MapEventGraphic& g, Lang language) {
    std::vector<std::string> items;
    if (g.tileId != 0) {
        items.push_back(say("ファイル：タイルセット", language));
        items.push_back(format(say("位置：(%d,%d)", language), (g.tileId - 384) % 8,
                               (g.tileId - 384) / 8));
    } else {
        items.push_back(say("ファイル：", language) + g.characterName);
        items.push_back(say("向き：", language) + facingName(g.direction, language));
        items.push_back(format(say("パターン：%d", language), g.pattern));
    }
    items.push_back(format(say("色相：%d", language), g.characterHue));
    items.push_back(format(say("不透明度：%d", language), g.opacity));
    items.push_back(say("合成方法：", language) + blendName(g.blendType, language));
    return items;
}

std::vector<std::string> movementItems(const MapEventPage& page, Lang language) {
    ListingOptions longNames;
    longNames.detail = true;
    longNames.language = language;
    return {say("タイプ：", language) + nameAt(kMoveTypes[row(language)], page.moveType),
            say("速度：", language) + speedName(page.moveSpeed, longNames),
            say("頻度：", language) + frequencyName(page.moveFrequency, longNames)};
}

std::vector<std::string> optionItems(const MapEventPage& page, Lang language) {
    auto item = [&](const char* caption, bool on) {
        return say(caption, language) + onOff(on, language);
    };
    return {item("移動時アニメ：", page.walkAnime), item("停止時アニメ：", page.stepAnime),
            item("向き固定：", page.directionFix), item("すり抜け：", page.through),
            item("最前面に表示：", page.alwaysOnTop)};
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
                                                  const ProjectDatabase& project, Lang language) {
    std::vector<ConditionSection> sections = {
        {say("トリガー", language),
         SectionForm::Direct,
         {nameAt(kCommonTriggers[row(language)], event.trigger)}}};
    if (event.trigger == 1 || event.trigger == 2)
        sections.push_back(
            {say("条件スイッチ", language),
             SectionForm::Direct,
             {project.label(event.switchId, LabelKind::Switch, LabelStyle::numbered(), language)}});
    return sections;
}

std::vector<ConditionSection> troopPageSections(const TroopPage& page, int troopId,
                                                const ProjectDatabase& project, bool detail,
                                                Lang language) {
    return {{say("条件", language), SectionForm::Prefixed,
             troopConditionItems(page.condition, troopId, project, detail, language)},
            {say("スパン", language), SectionForm::Direct, {nameAt(kSpans[row(language)], page.span)}}};
}

std::vector<ConditionSection> mapPageSections(const MapEventPage& page,
                                              const ProjectDatabase& project, bool detail,
                                              Lang language) {
    return {{say("条件", language), SectionForm::Break,
             mapConditionItems(page.condition, project, detail, language)},
            {say("グラフィック", language), SectionForm::Direct, graphicItems(page.graphic, language)},
            {say("自律移動", language), SectionForm::Break, movementItems(page, language)},
            {say("オプション", language), SectionForm::Break, optionItems(page, language)},
            {say("トリガー", language), SectionForm::Direct,
             {nameAt(kMapTriggers[row(language)], page.trigger)}}};
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

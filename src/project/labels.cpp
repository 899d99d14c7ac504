// The one way ids are shown: kind word, zero-padded number, brackets and name, and the
// overflow marker for ids beyond the data.
#include "project/labels.h"

#include <cstdio>
#include <iterator>

#include "project/project_database.h"

namespace zorvane {

namespace {

struct KindWords {
    const char* word;
    const char* englishWord;
    const char* numberFormat;
};

// In the order of LabelKind.
const KindWords kKindWords[] = {
    {"スイッチ", "Switch", "%04d"}, {"変数", "Variable", "%04d"},
    {"アクター", "Actor", "%03d"},  {"クラス", "Class", "%03d"},
    {"武器", "Weapon", "%03d"},     {"防具", "Armor", "%03d"},
    {"アイテム", "Item", "%03d"},   {"スキル", "Skill", "%03d"},
    {"ステート", "State", "%03d"},  {"コモンイベント", "Common Event", "%03d"},
    {"マップ", "Map", "%03d"},      {"トループ", "Troop", "%03d"},
    {"エネミー", "Enemy", "%03d"},  {"アニメーション", "Animation", "%03d"},
    {"属性", "Element", "%03d"},    {"タイルセット", "Tileset", "%03d"},
};
static_assert(std::size(kKindWords) == kLabelKindCount, "a row for every label kind");

template <class R>
const std::string* nameIn(const std::vector<R>& records, int id) {
    return static_cast<size_t>(id) < records.size() ? &records[static_cast<size_t>(id)].name
                                                    : nullptr;
}

const std::string* nameIn(const std::vector<std::string>& names, int id) {
    return static_cast<size_t>(id) < names.size() ? &names[static_cast<size_t>(id)] : nullptr;
}

// The stored name of entry `id` of a kind, or null when the id is beyond the data.
const std::string* entryName(const ProjectDatabase& db, int id, LabelKind kind) {
    switch (kind) {
        case LabelKind::Switch:
            return nameIn(db.system().switchNames, id);
        case LabelKind::Variable:
            return nameIn(db.system().variableNames, id);
        case LabelKind::Actor:
            return nameIn(db.actors(), id);
        case LabelKind::Class:
            return nameIn(db.classes(), id);
        case LabelKind::Weapon:
            return nameIn(db.weapons(), id);
        case LabelKind::Armor:
            return nameIn(db.armors(), id);
        case LabelKind::Item:
            return nameIn(db.items(), id);
        case LabelKind::Skill:
            return nameIn(db.skills(), id);
        case LabelKind::State:
            return nameIn(db.states(), id);
        case LabelKind::CommonEvent:
            return nameIn(db.commonEvents(), id);
        case LabelKind::Map: {
            auto it = db.mapInfos().find(id);
            return it == db.mapInfos().end() ? nullptr : &it->second.name;
        }
        case LabelKind::Troop:
            return nameIn(db.troops(), id);
        case LabelKind::Enemy:
            return nameIn(db.enemies(), id);
        case LabelKind::Animation:
            return nameIn(db.animations(), id);
        case LabelKind::Element:
            return nameIn(db.system().elementNames, id);
        case LabelKind::Tileset:
            return nameIn(db.tilesets(), id);
    }
    return nullptr;
}

}  // namespace

std::string ProjectDatabase::label(int id, LabelKind kind, LabelStyle style,
                                   ListingLanguage language) const {
    bool english = language == ListingLanguage::English;
    // A kind beyond the table can only come from a number cast without a check.
    if (id <= 0 || static_cast<size_t>(kind) >= kLabelKindCount) return {};
    const KindWords& k = kKindWords[static_cast<size_t>(kind)];
    // Without names the number is the only identity left, so it is shown even where the
    // caller asked for the name alone.
    if (idsOnly) {
        style.number = true;
        style.name = false;
    }
    std::string text = style.brackets ? "[" : "";
    if (style.number) {
        char buf[32];
        std::snprintf(buf, sizeof buf, k.numberFormat, id);
        text += buf;
        if (style.name) text += english ? ": " : ":";
    }
    if (style.kindWord) text = english ? std::string(k.englishWord) + " " + text : k.word + text;
    if (!idsOnly) {
        const std::string* name = entryName(*this, id, kind);
        if (!name)
            text += "(Warning:Array Overflow)";
        else if (style.name)
            text += *name;
    }
    if (style.brackets) text += "]";
    return text;
}

bool ProjectDatabase::hasEntry(int id, LabelKind kind) const {
    return id > 0 && static_cast<size_t>(kind) < kLabelKindCount && entryName(*this, id, kind);
}

int ProjectDatabase::troopMemberEnemy(int troopId, int memberIndex) const {
    if (troopId <= 0 || static_cast<size_t>(troopId) >= troops().size() || memberIndex < 0)
        return 0;
    const Troop& troop = troops()[static_cast<size_t>(troopId)];
    if (static_cast<size_t>(memberIndex) >= troop.members.size()) return 0;
    return troop.members[static_cast<size_t>(memberIndex)].enemyId;
}

std::string ProjectDatabase::troopMemberLabel(int troopId, int memberIndex, LabelStyle enemyStyle,
                                              ListingLanguage language) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "[%d.", memberIndex + 1);
    std::string text = buf;
    int e = troopMemberEnemy(troopId, memberIndex);
    if (e > 0) {
        if (enemyStyle.kindWord || enemyStyle.number) {
            text += label(e, LabelKind::Enemy, enemyStyle, language);
        } else if (static_cast<size_t>(e) < enemies().size()) {
            text += enemies()[static_cast<size_t>(e)].name;
        }
    }
    return text + "]";
}

}  // namespace zorvane

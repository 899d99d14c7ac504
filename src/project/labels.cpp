// The one way ids are shown: kind word, zero-padded number, brackets and name, and the
// overflow marker for ids beyond the data.
#include <cstdio>

#include "project/project_database.h"

namespace zorvane {

namespace {

struct LabelKind {
    const char* word;
    const char* englishWord;
    const char* numberFormat;
};

const LabelKind kLabelKinds[] = {
    {"スイッチ", "Switch", "%04d"},
    {"変数", "Variable", "%04d"},
    {"アクター", "Actor", "%03d"},
    {"クラス", "Class", "%03d"},
    {"武器", "Weapon", "%03d"},
    {"防具", "Armor", "%03d"},
    {"アイテム", "Item", "%03d"},
    {"スキル", "Skill", "%03d"},
    {"ステート", "State", "%03d"},
    {"コモンイベント", "Common Event", "%03d"},
    {"マップ", "Map", "%03d"},
    {"トループ", "Troop", "%03d"},
    {"エネミー", "Enemy", "%03d"},
    {"アニメーション", "Animation", "%03d"},
    {"属性", "Element", "%03d"},
};
constexpr int kKindCount = static_cast<int>(sizeof kLabelKinds / sizeof kLabelKinds[0]);

template <class R>
const std::string* nameIn(const std::vector<R>& records, int id) {
    return static_cast<size_t>(id) < records.size() ? &records[static_cast<size_t>(id)].name
                                                    : nullptr;
}

const std::string* nameIn(const std::vector<std::string>& names, int id) {
    return static_cast<size_t>(id) < names.size() ? &names[static_cast<size_t>(id)] : nullptr;
}

// The stored name of entry `id` of a kind, or null when the id is beyond the data.
const std::string* entryName(const ProjectDatabase& db, int id, int kind) {
    switch (kind) {
        case 0:
            return nameIn(db.system().switchNames, id);
        case 1:
            return nameIn(db.system().variableNames, id);
        case 2:
            return nameIn(db.actors(), id);
        case 3:
            return nameIn(db.classes(), id);
        case 4:
            return nameIn(db.weapons(), id);
        case 5:
            return nameIn(db.armors(), id);
        case 6:
            return nameIn(db.items(), id);
        case 7:
            return nameIn(db.skills(), id);
        case 8:
            return nameIn(db.states(), id);
        case 9:
            return nameIn(db.commonEvents(), id);
        case 10: {
            auto it = db.mapInfos().find(id);
            return it == db.mapInfos().end() ? nullptr : &it->second.name;
        }
        case 11:
            return nameIn(db.troops(), id);
        case 12:
            return nameIn(db.enemies(), id);
        case 13:
            return nameIn(db.animations(), id);
        case 14:
            return nameIn(db.system().elementNames, id);
        default:
            return nullptr;
    }
}

}  // namespace

std::string ProjectDatabase::label(int id, int kind, bool withKindWord, bool withNumber,
                                   bool withBrackets, bool withName,
                                   ListingLanguage language) const {
    bool english = language == ListingLanguage::English;
    if (id <= 0 || kind < 0 || kind >= kKindCount) return {};
    const LabelKind& k = kLabelKinds[kind];
    // Without names the number is the only identity left, so it is shown even where the
    // caller asked for the name alone.
    if (idsOnly) {
        withNumber = true;
        withName = false;
    }
    std::string text = withBrackets ? "[" : "";
    if (withNumber) {
        char buf[32];
        std::snprintf(buf, sizeof buf, k.numberFormat, id);
        text += buf;
        if (withName) text += english ? ": " : ":";
    }
    if (withKindWord) text = english ? std::string(k.englishWord) + " " + text : k.word + text;
    if (!idsOnly) {
        const std::string* name = entryName(*this, id, kind);
        if (!name)
            text += "(Warning:Array Overflow)";
        else if (withName)
            text += *name;
    }
    if (withBrackets) text += "]";
    return text;
}

int ProjectDatabase::troopMemberEnemy(int troopId, int memberIndex) const {
    if (troopId <= 0 || static_cast<size_t>(troopId) >= troops().size() || memberIndex < 0)
        return 0;
    const Troop& troop = troops()[static_cast<size_t>(troopId)];
    if (static_cast<size_t>(memberIndex) >= troop.members.size()) return 0;
    return troop.members[static_cast<size_t>(memberIndex)].enemyId;
}

std::string ProjectDatabase::troopMemberLabel(int troopId, int memberIndex, bool withKindWord,
                                              bool withNumber, ListingLanguage language) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "[%d.", memberIndex + 1);
    std::string text = buf;
    int e = troopMemberEnemy(troopId, memberIndex);
    if (e > 0) {
        if (withKindWord || withNumber) {
            text += label(e, 12, withKindWord, withNumber, true, true, language);
        } else if (static_cast<size_t>(e) < enemies().size()) {
            text += enemies()[static_cast<size_t>(e)].name;
        }
    }
    return text + "]";
}

}  // namespace zorvane

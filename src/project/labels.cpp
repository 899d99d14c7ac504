// The one way ids are shown: kind word, zero-padded number, brackets and name, and the
// overflow marker for ids beyond the data.
#include <cstdio>

#include "project/project_database.h"

namespace zorvane {

namespace {

struct LabelKind {
    const char* word;
    const char* numberFormat;
};

const LabelKind kLabelKinds[] = {
    {"スイッチ", "%04d"}, {"変数", "%04d"},           {"アクター", "%03d"}, {"クラス", "%03d"},
    {"武器", "%03d"},     {"防具", "%03d"},           {"アイテム", "%03d"}, {"スキル", "%03d"},
    {"ステート", "%03d"}, {"コモンイベント", "%03d"}, {"マップ", "%03d"},   {"トループ", "%03d"},
    {"エネミー", "%03d"}, {"アニメーション", "%03d"}, {"属性", "%03d"},
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
                                   bool withBrackets, bool withName) const {
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
        if (withName) text += ":";
    }
    if (withKindWord) text = k.word + text;
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
                                              bool withNumber) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "[%d.", memberIndex + 1);
    std::string text = buf;
    int e = troopMemberEnemy(troopId, memberIndex);
    if (e > 0) {
        if (withKindWord || withNumber) {
            text += label(e, 12, withKindWord, withNumber, true, true);
        } else if (static_cast<size_t>(e) < enemies().size()) {
            text += enemies()[static_cast<size_t>(e)].name;
        }
    }
    return text + "]";
}

}  // namespace zorvane

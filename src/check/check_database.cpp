// Database records that name ids beyond the tables they point into: the game reads nil
// there and stops with an error the first time the record is used.
#include "check/check_facts.h"
#include "platform/string_util.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

// The table an id points into: its word and its slot count (slot 0 is never a record).
struct Target {
    const char* word;
    size_t count;
    // False when the table's file could not be read: its count says nothing, and every id
    // would look out of range.
    bool readable = true;
};

Target target(const ProjectDatabase& project, const char* word, size_t count, const char* file) {
    bool readable = true;
    for (const Diagnostic& d : project.diagnostics())
        if (equalsNoCase(d.file, file)) readable = false;
    return {word, count, readable};
}

class RangeCheck {
  public:
    RangeCheck(std::vector<Finding>& out) : out_(out) {}

    // One record: its table's word, id and name; then each field is tested with `id()`.
    void record(const char* table, size_t id, const std::string& name) {
        place_ = FindingPlace();
        place_.area = FindingPlace::Database;
        place_.table = table;
        place_.ownerId = static_cast<int>(id);
        place_.name = name;
        subject_ = format("%s%03d", table, static_cast<int>(id)) + (name.empty() ? "" : ":" + name);
    }

    // 0 means "none" in every field tested here.
    void id(const char* field, int32_t value, const Target& target) {
        if (!target.readable) return;
        if (value == 0 || (value > 0 && static_cast<size_t>(value) < target.count)) return;
        out_.push_back(makeFinding(
            CheckKind::DatabaseRange, Severity::Error, place_, subject_,
            format("%sが%s%03dですが、%sは%d番までです", field, target.word, value, target.word,
                   target.count > 0 ? static_cast<int>(target.count) - 1 : 0)));
    }

    void ids(const char* field, const IdSet& values, const Target& target) {
        for (int32_t v : values) id(field, v, target);
    }

  private:
    std::vector<Finding>& out_;
    FindingPlace place_;
    std::string subject_;
};

}  // namespace

void checkDatabaseRanges(const ProjectDatabase& project, std::vector<Finding>& out) {
    const Target commonEvents =
        target(project, "コモンイベント", project.commonEvents().size(), "CommonEvents.rxdata");
    const Target animations =
        target(project, "アニメーション", project.animations().size(), "Animations.rxdata");
    const Target states = target(project, "ステート", project.states().size(), "States.rxdata");
    const Target skills = target(project, "スキル", project.skills().size(), "Skills.rxdata");
    const Target enemies = target(project, "エネミー", project.enemies().size(), "Enemies.rxdata");
    const Target classes = target(project, "クラス", project.classes().size(), "Classes.rxdata");
    const Target weapons = target(project, "武器", project.weapons().size(), "Weapons.rxdata");
    const Target armors = target(project, "防具", project.armors().size(), "Armors.rxdata");
    const Target items = target(project, "アイテム", project.items().size(), "Items.rxdata");
    RangeCheck check(out);
    const auto& actorTable = project.actors();
    for (size_t i = 1; i < actorTable.size(); ++i) {
        const Actor& a = actorTable[i];
        check.record("アクター", i, a.name);
        check.id("クラス", a.classId, classes);
        check.id("初期装備の武器", a.weaponId, weapons);
        for (int32_t armor : {a.armor1Id, a.armor2Id, a.armor3Id, a.armor4Id})
            check.id("初期装備の防具", armor, armors);
    }
    const auto& classTable = project.classes();
    for (size_t i = 1; i < classTable.size(); ++i) {
        const ActorClass& c = classTable[i];
        check.record("クラス", i, c.name);
        check.ids("装備できる武器", c.weaponSet, weapons);
        check.ids("装備できる防具", c.armorSet, armors);
        for (const Learning& l : c.learnings) check.id("習得するスキル", l.skillId, skills);
    }
    const auto& skillTable = project.skills();
    for (size_t i = 1; i < skillTable.size(); ++i) {
        const Skill& s = skillTable[i];
        check.record("スキル", i, s.name);
        check.id("使用側アニメーション", s.animation1Id, animations);
        check.id("対象側アニメーション", s.animation2Id, animations);
        check.id("コモンイベント", s.commonEventId, commonEvents);
        check.ids("付加するステート", s.plusStateSet, states);
        check.ids("解除するステート", s.minusStateSet, states);
    }
    const auto& itemTable = project.items();
    for (size_t i = 1; i < itemTable.size(); ++i) {
        const Item& it = itemTable[i];
        check.record("アイテム", i, it.name);
        check.id("使用側アニメーション", it.animation1Id, animations);
        check.id("対象側アニメーション", it.animation2Id, animations);
        check.id("コモンイベント", it.commonEventId, commonEvents);
        check.ids("付加するステート", it.plusStateSet, states);
        check.ids("解除するステート", it.minusStateSet, states);
    }
    const auto& weaponTable = project.weapons();
    for (size_t i = 1; i < weaponTable.size(); ++i) {
        const Weapon& w = weaponTable[i];
        check.record("武器", i, w.name);
        check.id("攻撃側アニメーション", w.animation1Id, animations);
        check.id("対象側アニメーション", w.animation2Id, animations);
        check.ids("付加するステート", w.plusStateSet, states);
        check.ids("解除するステート", w.minusStateSet, states);
    }
    const auto& armorTable = project.armors();
    for (size_t i = 1; i < armorTable.size(); ++i) {
        const Armor& a = armorTable[i];
        check.record("防具", i, a.name);
        check.id("オートステート", a.autoStateId, states);
        check.ids("防御するステート", a.guardStateSet, states);
    }
    const auto& stateTable = project.states();
    for (size_t i = 1; i < stateTable.size(); ++i) {
        const State& s = stateTable[i];
        check.record("ステート", i, s.name);
        check.id("アニメーション", s.animationId, animations);
        check.ids("付加するステート", s.plusStateSet, states);
        check.ids("解除するステート", s.minusStateSet, states);
    }
    const auto& enemyTable = project.enemies();
    for (size_t i = 1; i < enemyTable.size(); ++i) {
        const Enemy& e = enemyTable[i];
        check.record("エネミー", i, e.name);
        check.id("攻撃側アニメーション", e.animation1Id, animations);
        check.id("対象側アニメーション", e.animation2Id, animations);
        check.id("トレジャーのアイテム", e.itemId, items);
        check.id("トレジャーの武器", e.weaponId, weapons);
        check.id("トレジャーの防具", e.armorId, armors);
        for (const EnemyAction& a : e.actions)
            if (a.kind == 1) check.id("行動のスキル", a.skillId, skills);
    }
    const auto& troopTable = project.troops();
    for (size_t i = 1; i < troopTable.size(); ++i) {
        check.record("トループ", i, troopTable[i].name);
        for (const TroopMember& m : troopTable[i].members) check.id("エネミー", m.enemyId, enemies);
    }
}

}  // namespace zorvane

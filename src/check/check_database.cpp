// Database records that name ids beyond the tables they point into: the game reads nil
// there and stops with an error the first time the record is used.
#include <variant>

#include "check/check_facts.h"
#include "check/check_words.h"
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

Target target(const ProjectDatabase& project, const char* word, size_t count, const char* file,
              ListingLanguage language) {
    bool readable = true;
    for (const Diagnostic& d : project.diagnostics())
        if (equalsNoCase(d.file, file)) readable = false;
    return {checkSay(word, language), count, readable};
}

class RangeCheck {
  public:
    RangeCheck(ListingLanguage language, std::vector<Finding>& out)
        : language_(language), out_(out) {}

    // One record: its table's word, id and name; then each field is tested with `id()`.
    void record(const char* table, size_t id, const std::string& name) {
        table_ = table;
        id_ = id;
        name_ = &name;
    }

    // 0 means "none" in every field tested here.
    void id(const char* field, int32_t value, const Target& target) {
        if (!target.readable) return;
        if (value == 0 || (value > 0 && static_cast<size_t>(value) < target.count)) return;
        out_.push_back(makeFinding(
            CheckKind::DatabaseRange, Severity::Error, place(), subject(),
            format(checkSay("%sが%s%03dですが、%sは%d番までです", language_),
                   checkSay(field, language_), target.word, value, target.word,
                   target.count > 0 ? static_cast<int>(target.count) - 1 : 0)));
    }

    void ids(const char* field, const IdSet& values, const Target& target) {
        for (int32_t v : values) id(field, v, target);
    }

  private:
    // The record's place and subject are made only for a finding: most records have none.
    FindingPlace place() const {
        FindingPlace place;
        place.area = FindingPlace::Database;
        place.table = checkSay(table_, language_);
        place.ownerId = static_cast<int>(id_);
        place.name = *name_;
        return place;
    }

    std::string subject() const {
        return format(checkSay("%s%03d", language_), checkSay(table_, language_),
                      static_cast<int>(id_)) +
               (name_->empty() ? "" : ":" + *name_);
    }

    ListingLanguage language_;
    std::vector<Finding>& out_;
    const char* table_ = "";
    size_t id_ = 0;
    const std::string* name_ = nullptr;
};

// A field of a record that names one id or a set of ids, and the table they point into.
template <class R>
struct IdField {
    const char* word;
    std::variant<int32_t R::*, IdSet R::*> member;
    const Target* target;
};

// Each record from id 1 on: its fields in the order given, then what `more` tests of it
// (ids inside lists of the record).
template <class R, class More>
void checkRecords(RangeCheck& check, const char* table, const std::vector<R>& records,
                  const std::vector<IdField<R>>& fields, More more) {
    for (size_t i = 1; i < records.size(); ++i) {
        const R& r = records[i];
        check.record(table, i, r.name);
        for (const IdField<R>& f : fields) {
            if (auto one = std::get_if<int32_t R::*>(&f.member))
                check.id(f.word, r.**one, *f.target);
            else
                check.ids(f.word, r.*std::get<IdSet R::*>(f.member), *f.target);
        }
        more(r);
    }
}

template <class R>
void checkRecords(RangeCheck& check, const char* table, const std::vector<R>& records,
                  const std::vector<IdField<R>>& fields) {
    checkRecords(check, table, records, fields, [](const R&) {});
}

}  // namespace

void checkDatabaseRanges(const ProjectDatabase& project, ListingLanguage language,
                         std::vector<Finding>& out) {
    const Target commonEvents =
        target(project, "コモンイベント", project.commonEvents().size(), "CommonEvents.rxdata", language);
    const Target animations =
        target(project, "アニメーション", project.animations().size(), "Animations.rxdata", language);
    const Target states = target(project, "ステート", project.states().size(), "States.rxdata", language);
    const Target skills = target(project, "スキル", project.skills().size(), "Skills.rxdata", language);
    const Target enemies = target(project, "エネミー", project.enemies().size(), "Enemies.rxdata", language);
    const Target classes = target(project, "クラス", project.classes().size(), "Classes.rxdata", language);
    const Target weapons = target(project, "武器", project.weapons().size(), "Weapons.rxdata", language);
    const Target armors = target(project, "防具", project.armors().size(), "Armors.rxdata", language);
    const Target items = target(project, "アイテム", project.items().size(), "Items.rxdata", language);
    RangeCheck check(language, out);
    checkRecords<Actor>(check, "アクター", project.actors(),
                        {{"クラス", &Actor::classId, &classes},
                         {"初期装備の武器", &Actor::weaponId, &weapons},
                         {"初期装備の防具", &Actor::armor1Id, &armors},
                         {"初期装備の防具", &Actor::armor2Id, &armors},
                         {"初期装備の防具", &Actor::armor3Id, &armors},
                         {"初期装備の防具", &Actor::armor4Id, &armors}});
    checkRecords<ActorClass>(check, "クラス", project.classes(),
                             {{"装備できる武器", &ActorClass::weaponSet, &weapons},
                              {"装備できる防具", &ActorClass::armorSet, &armors}},
                             [&](const ActorClass& c) {
                                 for (const Learning& l : c.learnings)
                                     check.id("習得するスキル", l.skillId, skills);
                             });
    checkRecords<Skill>(check, "スキル", project.skills(),
                        {{"使用側アニメーション", &Skill::animation1Id, &animations},
                         {"対象側アニメーション", &Skill::animation2Id, &animations},
                         {"コモンイベント", &Skill::commonEventId, &commonEvents},
                         {"付加するステート", &Skill::plusStateSet, &states},
                         {"解除するステート", &Skill::minusStateSet, &states}});
    checkRecords<Item>(check, "アイテム", project.items(),
                       {{"使用側アニメーション", &Item::animation1Id, &animations},
                        {"対象側アニメーション", &Item::animation2Id, &animations},
                        {"コモンイベント", &Item::commonEventId, &commonEvents},
                        {"付加するステート", &Item::plusStateSet, &states},
                        {"解除するステート", &Item::minusStateSet, &states}});
    checkRecords<Weapon>(check, "武器", project.weapons(),
                         {{"攻撃側アニメーション", &Weapon::animation1Id, &animations},
                          {"対象側アニメーション", &Weapon::animation2Id, &animations},
                          {"付加するステート", &Weapon::plusStateSet, &states},
                          {"解除するステート", &Weapon::minusStateSet, &states}});
    checkRecords<Armor>(check, "防具", project.armors(),
                        {{"オートステート", &Armor::autoStateId, &states},
                         {"防御するステート", &Armor::guardStateSet, &states}});
    checkRecords<State>(check, "ステート", project.states(),
                        {{"アニメーション", &State::animationId, &animations},
                         {"付加するステート", &State::plusStateSet, &states},
                         {"解除するステート", &State::minusStateSet, &states}});
    checkRecords<Enemy>(check, "エネミー", project.enemies(),
                        {{"攻撃側アニメーション", &Enemy::animation1Id, &animations},
                         {"対象側アニメーション", &Enemy::animation2Id, &animations},
                         {"トレジャーのアイテム", &Enemy::itemId, &items},
                         {"トレジャーの武器", &Enemy::weaponId, &weapons},
                         {"トレジャーの防具", &Enemy::armorId, &armors}},
                        [&](const Enemy& e) {
                            for (const EnemyAction& a : e.actions)
                                if (a.kind == 1) check.id("行動のスキル", a.skillId, skills);
                        });
    checkRecords<Troop>(check, "トループ", project.troops(), {}, [&](const Troop& t) {
        for (const TroopMember& m : t.members) check.id("エネミー", m.enemyId, enemies);
    });
}

}  // namespace zorvane

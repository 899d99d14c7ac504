// The twelve tables. Each plain table is a list of columns (heading and cell) followed by
// grids (one column per element, state, weapon or armor); the few files that are not one
// row per record (parameters, enemy actions, troop members) have their own builders.
#include "export/database_csv.h"

#include <algorithm>
#include <cstdio>

#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

const char* const kTableNames[kDatabaseTableCount] = {
    "actors",  "classes", "skills", "items",    "weapons",  "armors",
    "enemies", "troops",  "states", "elements", "switches", "variables",
};

const char* const kNone = "(None)";

template <size_t N>
std::string nameAt(const char* const (&names)[N], int value) {
    return value >= 0 && static_cast<size_t>(value) < N ? names[value] : "";
}

const char* const kScopes[] = {"なし",     "敵単体",         "敵全体",         "味方単体",
                               "味方全体", "味方単体(HP 0)", "味方全体(HP 0)", "使用者"};
const char* const kOccasions[] = {"常時", "バトルのみ", "メニューのみ", "使用不可"};
const char* const kPositions[] = {"前衛", "中衛", "後衛"};
const char* const kParameterTypes[] = {"なし",   "MaxHP",  "MaxSP", "腕力",
                                       "器用さ", "素早さ", "魔力"};
const char* const kRestrictions[] = {"なし", "魔法を使用できない", "敵を通常攻撃する",
                                     "味方を通常攻撃する", "行動できない"};
const char* const kBasicActions[] = {"攻撃", "防御", "逃げる", "何もしない"};
const char* const kRanks[] = {"", "A", "B", "C", "D", "E", "F"};
const char* const kArmorWords[] = {"armor1", "armor2", "armor3", "armor4"};

std::string number(int value) {
    return std::to_string(value);
}

std::string id3(int id) {
    return csvFormatCell("%03u", static_cast<unsigned>(id));
}

std::string id4(int id) {
    return csvFormatCell("%04u", static_cast<unsigned>(id));
}

std::string mark(bool on) {
    return on ? "○" : "×";
}

std::string rank(int value) {
    return value >= 1 ? nameAt(kRanks, value) : "";
}

bool inSet(const IdSet& set, int id) {
    return std::binary_search(set.begin(), set.end(), id);
}

std::string plusMinus(const IdSet& plus, const IdSet& minus, int state) {
    if (inSet(plus, state)) return "+";
    if (inSet(minus, state)) return "-";
    return "";
}

std::string orNone(const std::string& text) {
    return text.empty() ? kNone : text;
}

std::string audio(const AudioFile& a) {
    if (a.name.empty()) return kNone;
    return csvFormatCell("%s (ボリューム:%d, ピッチ:%d)", a.name.c_str(), a.volume, a.pitch);
}

std::string picture(const std::string& name, int hue) {
    return csvFormatCell("%s (色相:%d)", orNone(name).c_str(), hue);
}

// What every cell may consult: the labels and the system's words.
struct Context {
    const ProjectDatabase& db;

    // "%03d:" + name; empty for id 0.
    std::string label(LabelKind kind, int id) const {
        return db.label(id, kind, LabelStyle::numberAndName());
    }
    std::string labelOrNone(LabelKind kind, int id) const { return orNone(label(kind, id)); }
    // The long form with kind word and brackets: "スキル[002:Fire]".
    std::string fullLabel(LabelKind kind, int id) const {
        return db.label(id, kind, LabelStyle::full());
    }
    std::string word(const std::string& key) const {
        auto it = db.system().words.find("@" + key);
        return it == db.system().words.end() ? "" : it->second;
    }
    // How many columns a grid of that kind has: entries 1..last.
    int gridSize(LabelKind kind) const {
        size_t size = 0;
        if (kind == LabelKind::Element) size = db.system().elementNames.size();
        if (kind == LabelKind::State) size = db.states().size();
        if (kind == LabelKind::Weapon) size = db.weapons().size();
        if (kind == LabelKind::Armor) size = db.armors().size();
        return size > 1 ? static_cast<int>(size - 1) : 0;
    }
};

template <class R>
struct Column {
    std::string heading;
    std::string (*cell)(const R&, const Context&);
};

// One column per entry 1..last of `kind`, after a caption column (empty in the rows) when
// the caption is given.
template <class R>
struct Grid {
    const char* caption;
    LabelKind kind;
    std::string (*cell)(const R&, int id);
};

using Rows = std::vector<std::vector<std::string>>;

template <class R>
CsvFile recordTable(const std::string& name, const std::vector<R>& records,
                    const std::vector<Column<R>>& columns, const std::vector<Grid<R>>& grids,
                    const Context& c) {
    CsvFile file{name, {}};
    std::vector<std::string> heading = {"ID"};
    for (const Column<R>& column : columns) heading.push_back(column.heading);
    for (const Grid<R>& grid : grids) {
        if (grid.caption) heading.push_back(grid.caption);
        for (int id = 1; id <= c.gridSize(grid.kind); ++id)
            heading.push_back(c.label(grid.kind, id));
    }
    file.rows.push_back(std::move(heading));
    for (size_t id = 1; id < records.size(); ++id) {
        const R& record = records[id];
        std::vector<std::string> row = {id3(static_cast<int>(id))};
        for (const Column<R>& column : columns) row.push_back(column.cell(record, c));
        for (const Grid<R>& grid : grids) {
            if (grid.caption) row.emplace_back();
            for (int j = 1; j <= c.gridSize(grid.kind); ++j) row.push_back(grid.cell(record, j));
        }
        file.rows.push_back(std::move(row));
    }
    return file;
}

// ---- 1. Actors ---------------------------------------------------------------------------

std::string equipment(const Context& c, LabelKind kind, int id, bool fixed) {
    return csvFormatCell("%s (固定:%s)", c.labelOrNone(kind, id).c_str(), mark(fixed).c_str());
}

std::vector<Column<Actor>> actorColumns(const Context& c) {
    using A = Actor;
    using X = Context;
    // The equipment headings name the slots with the system's words.
    auto slot = [&c](const char* word) { return "[初期装備]" + c.word(word); };
    return {
        {"名前", [](const A& a, const X&) { return a.name; }},
        {"クラス", [](const A& a, const X& x) { return x.label(LabelKind::Class, a.classId); }},
        {"初期レベル", [](const A& a, const X&) { return number(a.initialLevel); }},
        {"最終レベル", [](const A& a, const X&) { return number(a.finalLevel); }},
        {"EXPカーブ",
         [](const A& a, const X&) {
             return csvFormatCell("基本値: %d, 増加度: %d", a.expBasis, a.expInflation);
         }},
        {"キャラクターグラフィック",
         [](const A& a, const X&) { return picture(a.characterName, a.characterHue); }},
        {"バトラーグラフィック",
         [](const A& a, const X&) { return picture(a.battlerName, a.battlerHue); }},
        {slot("weapon"),
         [](const A& a, const X& x) {
             return equipment(x, LabelKind::Weapon, a.weaponId, a.weaponFix);
         }},
        {slot("armor1"),
         [](const A& a, const X& x) {
             return equipment(x, LabelKind::Armor, a.armor1Id, a.armor1Fix);
         }},
        {slot("armor2"),
         [](const A& a, const X& x) {
             return equipment(x, LabelKind::Armor, a.armor2Id, a.armor2Fix);
         }},
        {slot("armor3"),
         [](const A& a, const X& x) {
             return equipment(x, LabelKind::Armor, a.armor3Id, a.armor3Fix);
         }},
        {slot("armor4"),
         [](const A& a, const X& x) {
             return equipment(x, LabelKind::Armor, a.armor4Id, a.armor4Fix);
         }},
    };
}

CsvFile actorParameters(const Context& c, int id, const Actor& actor) {
    CsvFile file{boundedFileName(csvFormatCell("01アクター_%03d", id) + actor.name, ".csv"), {}};
    file.rows.push_back({"Lv", "Max" + c.word("hp"), "Max" + c.word("sp"), c.word("str"),
                         c.word("dex"), c.word("agi"), c.word("int")});
    for (int level = 1; level <= 99; ++level) {
        std::vector<std::string> row = {csvFormatCell("%02d", level)};
        for (int parameter = 0; parameter < 6; ++parameter)
            row.push_back(number(actor.parameters.at(parameter, level)));
        file.rows.push_back(std::move(row));
    }
    return file;
}

void buildActors(const Context& c, const std::function<void(const CsvFile&)>& take) {
    const std::vector<Actor>& actors = c.db.actors();
    take(recordTable<Actor>("01アクター.csv", actors, actorColumns(c), {}, c));
    for (size_t id = 1; id < actors.size(); ++id)
        take(actorParameters(c, static_cast<int>(id), actors[id]));
}

// ---- 2. Classes --------------------------------------------------------------------------

void buildClasses(const Context& c, const std::function<void(const CsvFile&)>& take) {
    using K = ActorClass;
    using X = Context;
    const std::vector<Column<K>> named = {{"名前", [](const K& k, const X&) { return k.name; }}};
    std::vector<Column<K>> basic = named;
    basic.push_back({"位置", [](const K& k, const X&) { return nameAt(kPositions, k.position); }});
    const std::vector<K>& classes = c.db.classes();
    take(recordTable<K>("02クラス_01基本データ.csv", classes, basic,
                        {{"【属性有効度】→", LabelKind::Element,
                          [](const K& k, int j) { return rank(k.elementRanks.at(j)); }},
                         {"【ステート有効度】→", LabelKind::State,
                          [](const K& k, int j) { return rank(k.stateRanks.at(j)); }}},
                        c));
    take(recordTable<K>("02クラス_02装備できる武器.csv", classes, named,
                        {{nullptr, LabelKind::Weapon,
                          [](const K& k, int j) { return mark(inSet(k.weaponSet, j)); }}},
                        c));
    take(recordTable<K>(
        "02クラス_03装備できる防具.csv", classes, named,
        {{nullptr, LabelKind::Armor, [](const K& k, int j) { return mark(inSet(k.armorSet, j)); }}},
        c));
}

// ---- 3, 4. Skills and items: the columns they share -------------------------------------

// Name, icon, description, scope, occasion, the two animations, menu SE, common event.
template <class R>
std::vector<Column<R>> usableColumns() {
    using X = Context;
    return {
        {"名前", [](const R& r, const X&) { return r.name; }},
        {"アイコン", [](const R& r, const X&) { return r.iconName; }},
        {"説明", [](const R& r, const X&) { return r.description; }},
        {"効果範囲", [](const R& r, const X&) { return nameAt(kScopes, r.scope); }},
        {"使用可能時", [](const R& r, const X&) { return nameAt(kOccasions, r.occasion); }},
        {"使用時アニメーション",
         [](const R& r, const X& x) {
             return x.labelOrNone(LabelKind::Animation, r.animation1Id);
         }},
        {"対象側アニメーション",
         [](const R& r, const X& x) {
             return x.labelOrNone(LabelKind::Animation, r.animation2Id);
         }},
        {"メニュー画面使用時SE", [](const R& r, const X&) { return audio(r.menuSe); }},
        {"コモンイベント",
         [](const R& r, const X& x) {
             return x.labelOrNone(LabelKind::CommonEvent, r.commonEventId);
         }},
    };
}

// Hit, physical and magic defence F and variance end both tables.
template <class R>
void addDefenceColumns(std::vector<Column<R>>& columns) {
    using X = Context;
    columns.insert(columns.end(),
                   {
                       {"命中率", [](const R& r, const X&) { return number(r.hit); }},
                       {"物理防御F", [](const R& r, const X&) { return number(r.pdefF); }},
                       {"魔法防御F", [](const R& r, const X&) { return number(r.mdefF); }},
                       {"分散度", [](const R& r, const X&) { return number(r.variance); }},
                   });
}

// Element marks and state changes close skills, items and weapons.
template <class R>
std::vector<Grid<R>> attackGrids() {
    return {
        {"【属性】→", LabelKind::Element,
         [](const R& r, int j) { return mark(inSet(r.elementSet, j)); }},
        {"【ステート変化】→", LabelKind::State,
         [](const R& r, int j) { return plusMinus(r.plusStateSet, r.minusStateSet, j); }},
    };
}

CsvFile skillTable(const Context& c) {
    using S = Skill;
    using X = Context;
    std::vector<Column<S>> columns = usableColumns<S>();
    columns.insert(columns.end(),
                   {
                       {"消費SP", [](const S& s, const X&) { return number(s.spCost); }},
                       {"威力", [](const S& s, const X&) { return number(s.power); }},
                       {"攻撃力F", [](const S& s, const X&) { return number(s.atkF); }},
                       {"回避F", [](const S& s, const X&) { return number(s.evaF); }},
                       {"腕力F", [](const S& s, const X&) { return number(s.strF); }},
                       {"器用さF", [](const S& s, const X&) { return number(s.dexF); }},
                       {"素早さF", [](const S& s, const X&) { return number(s.agiF); }},
                       {"魔力F", [](const S& s, const X&) { return number(s.intF); }},
                   });
    addDefenceColumns(columns);
    return recordTable<S>("03スキル.csv", c.db.skills(), columns, attackGrids<S>(), c);
}

CsvFile itemTable(const Context& c) {
    using I = Item;
    using X = Context;
    std::vector<Column<I>> columns = usableColumns<I>();
    columns.insert(
        columns.end(),
        {
            {"価格", [](const I& i, const X&) { return number(i.price); }},
            {"消費",
             [](const I& i, const X&) { return std::string(i.consumable ? "する" : "しない"); }},
            {"パラメータ",
             [](const I& i, const X&) { return nameAt(kParameterTypes, i.parameterType); }},
            {"上昇量",
             [](const I& i, const X&) {
                 return i.parameterType != 0 ? number(i.parameterPoints) : std::string();
             }},
            {"HP回復率", [](const I& i, const X&) { return number(i.recoverHpRate); }},
            {"HP回復量", [](const I& i, const X&) { return number(i.recoverHp); }},
            {"SP回復率", [](const I& i, const X&) { return number(i.recoverSpRate); }},
            {"SP回復量", [](const I& i, const X&) { return number(i.recoverSp); }},
        });
    addDefenceColumns(columns);
    return recordTable<I>("04アイテム.csv", c.db.items(), columns, attackGrids<I>(), c);
}

// ---- 5, 6. Weapons and armors ------------------------------------------------------------

// Name, icon and description open both; the four parameter pluses close both.
template <class R>
std::vector<Column<R>> gearColumns(std::vector<Column<R>> middle) {
    using X = Context;
    std::vector<Column<R>> columns = {
        {"名前", [](const R& r, const X&) { return r.name; }},
        {"アイコン", [](const R& r, const X&) { return r.iconName; }},
        {"説明", [](const R& r, const X&) { return r.description; }},
    };
    columns.insert(columns.end(), middle.begin(), middle.end());
    columns.insert(columns.end(),
                   {
                       {"腕力+", [](const R& r, const X&) { return number(r.strPlus); }},
                       {"器用さ+", [](const R& r, const X&) { return number(r.dexPlus); }},
                       {"素早さ+", [](const R& r, const X&) { return number(r.agiPlus); }},
                       {"魔力+", [](const R& r, const X&) { return number(r.intPlus); }},
                   });
    return columns;
}

CsvFile weaponTable(const Context& c) {
    using W = Weapon;
    using X = Context;
    std::vector<Column<W>> columns = gearColumns<W>({
        {"攻撃側アニメーション",
         [](const W& w, const X& x) {
             return x.labelOrNone(LabelKind::Animation, w.animation1Id);
         }},
        {"対象側アニメーション",
         [](const W& w, const X& x) {
             return x.labelOrNone(LabelKind::Animation, w.animation2Id);
         }},
        {"価格", [](const W& w, const X&) { return number(w.price); }},
        {"攻撃力", [](const W& w, const X&) { return number(w.atk); }},
        {"物理防御", [](const W& w, const X&) { return number(w.pdef); }},
        {"魔法防御", [](const W& w, const X&) { return number(w.mdef); }},
    });
    return recordTable<W>("05武器.csv", c.db.weapons(), columns, attackGrids<W>(), c);
}

CsvFile armorTable(const Context& c) {
    using A = Armor;
    using X = Context;
    std::vector<Column<A>> columns = gearColumns<A>({
        {"種別",
         [](const A& a, const X& x) {
             return a.kind >= 0 && a.kind < 4 ? x.word(kArmorWords[a.kind]) : std::string();
         }},
        {"オートステート",
         [](const A& a, const X& x) { return x.labelOrNone(LabelKind::State, a.autoStateId); }},
        {"価格", [](const A& a, const X&) { return number(a.price); }},
        {"物理防御", [](const A& a, const X&) { return number(a.pdef); }},
        {"魔法防御", [](const A& a, const X&) { return number(a.mdef); }},
        {"回避修正", [](const A& a, const X&) { return number(a.eva); }},
    });
    return recordTable<A>("06防具.csv", c.db.armors(), columns,
                          {{"【属性防御】→", LabelKind::Element,
                            [](const A& a, int j) { return mark(inSet(a.guardElementSet, j)); }},
                           {"【ステート防御】→", LabelKind::State,
                            [](const A& a, int j) { return mark(inSet(a.guardStateSet, j)); }}},
                          c);
}

// ---- 7. Enemies --------------------------------------------------------------------------

std::string treasure(const Enemy& e, const Context& c) {
    std::string what = kNone;
    if (e.itemId >= 1)
        what = c.label(LabelKind::Item, e.itemId);
    else if (e.weaponId >= 1)
        what = c.label(LabelKind::Weapon, e.weaponId);
    else if (e.armorId >= 1)
        what = c.label(LabelKind::Armor, e.armorId);
    return csvFormatCell("%3d%% %s", e.treasureProb, what.c_str());
}

CsvFile enemyTable(const Context& c) {
    using E = Enemy;
    using X = Context;
    const std::vector<Column<E>> columns = {
        {"名前", [](const E& e, const X&) { return e.name; }},
        {"バトラーグラフィック",
         [](const E& e, const X&) { return picture(e.battlerName, e.battlerHue); }},
        {"MaxHP", [](const E& e, const X&) { return number(e.maxhp); }},
        {"MaxSP", [](const E& e, const X&) { return number(e.maxsp); }},
        {"腕力", [](const E& e, const X&) { return number(e.str); }},
        {"器用さ", [](const E& e, const X&) { return number(e.dex); }},
        {"素早さ", [](const E& e, const X&) { return number(e.agi); }},
        {"魔力", [](const E& e, const X&) { return number(e.intel); }},
        {"攻撃力", [](const E& e, const X&) { return number(e.atk); }},
        {"物理防御", [](const E& e, const X&) { return number(e.pdef); }},
        {"魔法防御", [](const E& e, const X&) { return number(e.mdef); }},
        {"回避修正", [](const E& e, const X&) { return number(e.eva); }},
        {"攻撃側アニメーション",
         [](const E& e, const X& x) {
             return x.labelOrNone(LabelKind::Animation, e.animation1Id);
         }},
        {"対象側アニメーション",
         [](const E& e, const X& x) {
             return x.labelOrNone(LabelKind::Animation, e.animation2Id);
         }},
        {"EXP", [](const E& e, const X&) { return number(e.exp); }},
        {"ゴールド", [](const E& e, const X&) { return number(e.gold); }},
        {"トレジャー", treasure},
    };
    return recordTable<E>("07エネミー_01基本データ.csv", c.db.enemies(), columns,
                          {{"【属性有効度】→", LabelKind::Element,
                            [](const E& e, int j) { return rank(e.elementRanks.at(j)); }},
                           {"【ステート有効度】→", LabelKind::State,
                            [](const E& e, int j) { return rank(e.stateRanks.at(j)); }}},
                          c);
}

std::string actionName(const EnemyAction& a, const Context& c) {
    if (a.kind == 1) return c.fullLabel(LabelKind::Skill, a.skillId);
    if (a.kind != 0 || a.basic < 0 || a.basic > 3) return "";
    return csvFormatCell("基本[%s]", kBasicActions[a.basic]);
}

std::string turnCondition(int a, int b) {
    if (b < 1) return csvFormatCell("ターン%d", a);
    if (a < 1) return csvFormatCell("ターン%dx", b);
    return csvFormatCell("ターン%d+%dx", a, b);
}

std::string actionCondition(const EnemyAction& a, const Context& c) {
    std::vector<std::string> parts;
    if (a.conditionTurnA != 0 || a.conditionTurnB != 1)
        parts.push_back(turnCondition(a.conditionTurnA, a.conditionTurnB));
    if (a.conditionHp != 100) parts.push_back(csvFormatCell("HP%d%%以下", a.conditionHp));
    if (a.conditionLevel != 1) parts.push_back(csvFormatCell("レベル%d%%以上", a.conditionLevel));
    if (a.conditionSwitchId != 0)
        parts.push_back(c.fullLabel(LabelKind::Switch, a.conditionSwitchId) + "がON");
    if (parts.empty()) return "なし";
    std::string joined = parts.front();
    for (size_t i = 1; i < parts.size(); ++i) joined += " & " + parts[i];
    return joined;
}

CsvFile enemyActionTable(const Context& c) {
    CsvFile file{"07エネミー_02アクション.csv", {{"アクション", "条件", "レーティング"}}};
    const std::vector<Enemy>& enemies = c.db.enemies();
    for (size_t id = 1; id < enemies.size(); ++id) {
        const Enemy& enemy = enemies[id];
        file.rows.push_back(
            {csvFormatCell("【%03d:", static_cast<int>(id)) + enemy.name + "】", "", ""});
        for (const EnemyAction& action : enemy.actions)
            file.rows.push_back(
                {actionName(action, c), actionCondition(action, c), number(action.rating)});
    }
    return file;
}

// ---- 8. Troops ---------------------------------------------------------------------------

CsvFile troopTable(const Context& c) {
    CsvFile file{"08トループ.csv", {{"エネミー", "位置", "途中から出現", "不死身"}}};
    const std::vector<Troop>& troops = c.db.troops();
    for (size_t id = 1; id < troops.size(); ++id) {
        const Troop& troop = troops[id];
        file.rows.push_back(
            {csvFormatCell("【%03u:", static_cast<unsigned>(id)) + troop.name + "】", "", "", ""});
        for (const TroopMember& m : troop.members)
            file.rows.push_back({c.label(LabelKind::Enemy, m.enemyId),
                                 csvFormatCell("(%3d,%3d)", m.x, m.y), mark(m.hidden),
                                 mark(m.immortal)});
        file.rows.emplace_back();
    }
    return file;
}

// ---- 9. States ---------------------------------------------------------------------------

CsvFile stateTable(const Context& c) {
    using S = State;
    using X = Context;
    const std::vector<Column<S>> columns = {
        {"名前", [](const S& s, const X&) { return s.name; }},
        {"アニメーション",
         [](const S& s, const X& x) { return x.labelOrNone(LabelKind::Animation, s.animationId); }},
        {"制約", [](const S& s, const X&) { return nameAt(kRestrictions, s.restriction); }},
        {"レーティング", [](const S& s, const X&) { return number(s.rating); }},
        {"命中率 %", [](const S& s, const X&) { return number(s.hitRate); }},
        {"MaxHP %", [](const S& s, const X&) { return number(s.maxhpRate); }},
        {"MaxSP %", [](const S& s, const X&) { return number(s.maxspRate); }},
        {"腕力 %", [](const S& s, const X&) { return number(s.strRate); }},
        {"器用さ %", [](const S& s, const X&) { return number(s.dexRate); }},
        {"素早さ %", [](const S& s, const X&) { return number(s.agiRate); }},
        {"魔力 %", [](const S& s, const X&) { return number(s.intRate); }},
        {"攻撃力 %", [](const S& s, const X&) { return number(s.atkRate); }},
        {"物理防御 %", [](const S& s, const X&) { return number(s.pdefRate); }},
        {"魔法防御 %", [](const S& s, const X&) { return number(s.mdefRate); }},
        {"回避修正", [](const S& s, const X&) { return number(s.eva); }},
        {"[オプション]抵抗しない", [](const S& s, const X&) { return mark(s.nonresistance); }},
        {"[オプション]HP0の状態とみなす", [](const S& s, const X&) { return mark(s.zeroHp); }},
        {"[オプション]EXPを獲得できない", [](const S& s, const X&) { return mark(s.cantGetExp); }},
        {"[オプション]攻撃を回避できない", [](const S& s, const X&) { return mark(s.cantEvade); }},
        {"[オプション]スリップダメージ", [](const S& s, const X&) { return mark(s.slipDamage); }},
        {"[解除条件]バトル終了後に解除", [](const S& s, const X&) { return mark(s.battleOnly); }},
        {"[解除条件]ターン",
         [](const S& s, const X&) {
             return csvFormatCell("%d ターン経過後 %d %%の確率で解除", s.holdTurn,
                                  s.autoReleaseProb);
         }},
        {"[解除条件]物理ダメージ",
         [](const S& s, const X&) {
             return csvFormatCell("物理ダメージを受けたときに %d %% の確率で解除。",
                                  s.shockReleaseProb);
         }},
    };
    return recordTable<S>(
        "09ステート.csv", c.db.states(), columns,
        {{"【属性防御】→", LabelKind::Element,
          [](const S& s, int j) { return mark(inSet(s.guardElementSet, j)); }},
         {"【ステート変化】→", LabelKind::State,
          [](const S& s, int j) { return plusMinus(s.plusStateSet, s.minusStateSet, j); }}},
        c);
}

// ---- 10 to 12. Name lists ----------------------------------------------------------------

CsvFile nameList(const std::string& name, const std::vector<std::string>& names,
                 std::string (*id)(int)) {
    CsvFile file{name, {{"ID", "名前"}}};
    for (size_t i = 1; i < names.size(); ++i)
        file.rows.push_back({id(static_cast<int>(i)), names[i]});
    return file;
}

}  // namespace

const char* databaseTableName(int table) {
    return table >= 0 && table < kDatabaseTableCount ? kTableNames[table] : nullptr;
}

void buildDatabaseCsv(int table, const ProjectDatabase& db,
                      const std::function<void(const CsvFile&)>& take) {
    const Context c{db};
    switch (table) {
        case kTableActors:
            return buildActors(c, take);
        case kTableClasses:
            return buildClasses(c, take);
        case kTableSkills:
            return take(skillTable(c));
        case kTableItems:
            return take(itemTable(c));
        case kTableWeapons:
            return take(weaponTable(c));
        case kTableArmors:
            return take(armorTable(c));
        case kTableEnemies:
            take(enemyTable(c));
            return take(enemyActionTable(c));
        case kTableTroops:
            return take(troopTable(c));
        case kTableStates:
            return take(stateTable(c));
        case kTableElements:
            return take(nameList("10属性.csv", db.system().elementNames, id3));
        case kTableSwitches:
            return take(nameList("11スイッチ.csv", db.system().switchNames, id4));
        case kTableVariables:
            return take(nameList("12変数.csv", db.system().variableNames, id4));
        default:
            return;
    }
}

std::vector<WrittenFile> writeDatabaseCsv(int table, const ProjectDatabase& db,
                                          const std::string& folder,
                                          const CsvFileOptions& options) {
    std::vector<WrittenFile> written;
    buildDatabaseCsv(table, db, [&](const CsvFile& file) {
        WrittenFile result;
        result.path = joinPath(folder, file.name);
        CsvWriter writer(result.path, options);
        for (const std::vector<std::string>& row : file.rows) writer.writeRow(row);
        result.ok = writer.commit();
        result.bytes = result.ok ? writer.bytesWritten() : 0;
        result.lostCharacters = writer.lostCharacters();
        written.push_back(std::move(result));
    });
    return written;
}

}  // namespace zorvane

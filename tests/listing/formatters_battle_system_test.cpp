// Battle, shop, actor, enemy and system command texts in detail and short form, the files
// they name, and their answers to variable, actor-name, script and file-name searches.
#include <gtest/gtest.h>

#include "formatter_fixture.h"
#include "listing/formatters.h"
#include "listing/operands.h"
#include "project/project_database.h"

namespace zorvane {
namespace {

using ftest::n;
using ftest::s;

MarshalValue b(bool v) {
    MarshalValue m;
    if (v)
        m.setTrue();
    else
        m.setFalse();
    return m;
}

class BattleSystemFormatters : public ftest::FormatterFixture {
  protected:
    void SetUp() override {
        db.mutableSystem().variableNames = {"", "", "", "", "PosX", "PosY"};
        db.mutableActors().resize(2);
        db.mutableActors()[1].name = "Aldo";
        db.mutableClasses().resize(2);
        db.mutableClasses()[1].name = "Fighter";
        db.mutableSkills().resize(2);
        db.mutableSkills()[1].name = "Heal";
        db.mutableItems().resize(2);
        db.mutableItems()[1].name = "Potion";
        db.mutableWeapons().resize(2);
        db.mutableWeapons()[1].name = "Sword";
        db.mutableArmors().resize(2);
        db.mutableArmors()[1].name = "Shield";
        db.mutableStates().resize(2);
        db.mutableStates()[1].name = "Poison";
        db.mutableAnimations().resize(2);
        db.mutableAnimations()[1].name = "Fire";
        db.mutableEnemies().resize(3);
        db.mutableEnemies()[1].name = "Slime";
        db.mutableEnemies()[2].name = "Bat";
        db.mutableTroops().resize(2);
        db.mutableTroops()[1].name = "Slimes";
        db.mutableTroops()[1].members.resize(2);
        db.mutableTroops()[1].members[0].enemyId = 1;
        db.mutableTroops()[1].members[1].enemyId = 2;
        options.project = &db;
        options.ownerKind = OwnerKind::Troop;
        options.ownerId = 1;
    }
};

SearchRequest variableSearch(std::set<int> ids, bool andMode, bool referencing = true) {
    SearchRequest r;
    r.kind = SearchKind::Variable;
    r.targetIds = std::move(ids);
    r.andMode = andMode;
    r.inReferencingCommands = referencing;
    r.inOperatingCommands = !referencing;
    return r;
}

SearchRequest textSearch(const char* text, TextTarget target) {
    SearchRequest r;
    r.kind = SearchKind::Text;
    r.text = text;
    r.textTargets[target] = true;
    return r;
}

TEST_F(BattleSystemFormatters, HpOfTheWholeParty) {
    Params p = {n(0), n(1), n(0), n(50), b(false)};
    EXPECT_EQ(text(fmtChangeHp, p, true), "パーティ全体,-50(戦闘不能を許可:×)");
}

TEST_F(BattleSystemFormatters, NegativeConstantKeepsItsOwnMinus) {
    EXPECT_EQ(text(fmtChangeActorValue, {n(0), n(0), n(0), n(-30)}, false), "パーティ全体,-30");
    EXPECT_EQ(text(fmtDealDamage, {n(1), n(-1), n(0), n(-200)}, false), "パーティ全体,-200");
}

TEST_F(BattleSystemFormatters, StateRemovalSignTouchesTheLabel) {
    EXPECT_EQ(text(fmtChangeState, {n(1), n(1), n(1)}, false), "[Aldo],-[Poison]");
    EXPECT_EQ(text(fmtChangeState, {n(1), n(1), n(1)}, true),
              "アクター[001:Aldo],-ステート[001:Poison]");
}

TEST_F(BattleSystemFormatters, BattleProcessingShortIsTheTroopNameAlone) {
    Params p = {n(1), b(true), b(false)};
    EXPECT_EQ(text(fmtBattleProcessing, p, false), "Slimes");
    EXPECT_EQ(text(fmtBattleProcessing, p, true),
              "トループ[001:Slimes],逃走可能:○,負けた場合も継続:×");
}

TEST_F(BattleSystemFormatters, ForcedActionTiming) {
    Params p = {n(1), n(0), n(0), n(0), n(2), n(0)};
    EXPECT_EQ(text(fmtForceAction, p, false), "アクター1人目,攻撃,Index 3");
    EXPECT_EQ(text(fmtForceAction, p, true), "アクター1人目,攻撃,Index 3,通常の攻撃順序で実行");
}

struct TextCase {
    const char* what;
    Formatter formatter;
    Params params;
    const char* detail;
    const char* brief;
};

TEST_F(BattleSystemFormatters, DetailAndShortForms) {
    const TextCase cases[] = {
        {"shop item", fmtShopProcessing, {n(0), n(1)}, "アイテム[001:Potion]", "[Potion]"},
        {"shop weapon", fmtShopProcessing, {n(1), n(1)}, "武器[001:Sword]", "[Sword]"},
        {"shop armor", fmtShopProcessing, {n(2), n(1)}, "防具[001:Shield]", "[Shield]"},
        {"name input",
         fmtNameInputProcessing,
         {n(1), n(8)},
         "アクター[001:Aldo],8文字",
         "Aldo,8文字"},
        {"hp by variable",
         fmtChangeHp,
         {n(1), n(0), n(1), n(4), b(true)},
         "アクター[001:Aldo],+変数[0004:PosX](戦闘不能を許可:○)",
         "[Aldo],+変数[0004:PosX]"},
        {"sp",
         fmtChangeActorValue,
         {n(1), n(0), n(0), n(20)},
         "アクター[001:Aldo],+20",
         "[Aldo],+20"},
        {"add state",
         fmtChangeState,
         {n(0), n(0), n(1)},
         "パーティ全体,+ステート[001:Poison]",
         "パーティ全体,+[Poison]"},
        {"recover all", fmtRecoverAll, {n(1)}, "アクター[001:Aldo]", "[Aldo]"},
        {"parameter",
         fmtChangeParameters,
         {n(1), n(2), n(1), n(0), n(5)},
         "アクター[001:Aldo],腕力 -5",
         "[Aldo],腕力 -5"},
        {"skill",
         fmtChangeSkills,
         {n(1), n(0), n(1)},
         "アクター[001:Aldo],+スキル[001:Heal]",
         "[Aldo],+[Heal]"},
        {"weapon slot",
         fmtChangeEquipment,
         {n(1), n(0), n(1)},
         "アクター[001:Aldo],武器 = 武器[001:Sword]",
         "[Aldo],武器 = [Sword]"},
        {"shield slot",
         fmtChangeEquipment,
         {n(1), n(1), n(1)},
         "アクター[001:Aldo],盾 = 防具[001:Shield]",
         "[Aldo],盾 = [Shield]"},
        {"actor name",
         fmtChangeActorName,
         {n(1), s("Bob")},
         "アクター[001:Aldo],'Bob'",
         "[Aldo],'Bob'"},
        {"class",
         fmtChangeActorClass,
         {n(1), n(1)},
         "アクター[001:Aldo],クラス[001:Fighter]",
         "[Aldo],[Fighter]"},
        {"graphic",
         fmtChangeActorGraphic,
         {n(1), s("Hero"), n(30), s("HeroB"), n(0)},
         "アクター[001:Aldo],キャラクターグラフィック[Hero,色相:30],バトラーグラフィック[HeroB,"
         "色相:0]",
         "[Aldo],Hero,30,HeroB,0"},
        {"enemy hp, whole troop",
         fmtChangeEnemyHp,
         {n(-1), n(0), n(0), n(100), b(false)},
         "トループ全体,+100(戦闘不能を許可:×)",
         "トループ全体,+100"},
        {"enemy sp",
         fmtChangeEnemySp,
         {n(0), n(1), n(0), n(10)},
         "[1.エネミー[001:Slime]],-10",
         "[1.Slime],-10"},
        {"enemy state",
         fmtChangeEnemyState,
         {n(1), n(0), n(1)},
         "[2.エネミー[002:Bat]],+ステート[001:Poison]",
         "[2.Bat],+[Poison]"},
        {"enemy recover", fmtEnemyRecoverAll, {n(-1)}, "トループ全体", "トループ全体"},
        {"appearance", fmtEnemyAppearance, {n(1)}, "[2.エネミー[002:Bat]]", "[2.Bat]"},
        {"transform",
         fmtEnemyTransform,
         {n(0), n(2)},
         "[1.エネミー[001:Slime]],エネミー[002:Bat]",
         "[1.Slime],[Bat]"},
        {"animation on an actor",
         fmtShowBattleAnimation,
         {n(1), n(2), n(1)},
         "アクター3人目,アニメーション[001:Fire]",
         "アクター3人目,[Fire]"},
        {"damage by variable",
         fmtDealDamage,
         {n(1), n(0), n(1), n(4)},
         "アクター1人目,+変数[0004:PosX]",
         "アクター1人目,+変数[0004:PosX]"},
        {"skill now",
         fmtForceAction,
         {n(0), n(0), n(1), n(1), n(-2), n(1)},
         "[1.エネミー[001:Slime]],スキル[001:Heal],ラストターゲット,すぐに実行",
         "[1.Slime],[Heal],ラストターゲット,すぐに実行"},
        {"do nothing",
         fmtForceAction,
         {n(1), n(3), n(0), n(3), n(-1), n(0)},
         "アクター4人目,何もしない,ランダム,通常の攻撃順序で実行",
         "アクター4人目,何もしない,ランダム"},
        {"script", fmtScript, {s("$game_temp.x = 1")}, "$game_temp.x = 1", "$game_temp.x = 1"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(text(c.formatter, c.params, true), c.detail) << c.what;
        EXPECT_EQ(text(c.formatter, c.params, false), c.brief) << c.what;
    }
}

TEST_F(BattleSystemFormatters, ValuesOutsideNameListsPrintNothingForThatName) {
    EXPECT_EQ(text(fmtShopProcessing, {n(3), n(1)}, true), "");
    EXPECT_EQ(text(fmtChangeParameters, {n(1), n(6), n(0), n(0), n(1)}, false), "[Aldo], +1");
    EXPECT_EQ(text(fmtForceAction, {n(1), n(0), n(0), n(4), n(8), n(1)}, false),
              "アクター1人目,,,すぐに実行");
}

TEST_F(BattleSystemFormatters, ShortArraysPrintNothing) {
    const std::pair<Formatter, size_t> rows[] = {
        {fmtBattleProcessing, 3},
        {fmtShopProcessing, 2},
        {fmtNameInputProcessing, 2},
        {fmtChangeHp, 5},
        {fmtChangeActorValue, 4},
        {fmtChangeState, 3},
        {fmtRecoverAll, 1},
        {fmtChangeParameters, 5},
        {fmtChangeSkills, 3},
        {fmtChangeEquipment, 3},
        {fmtChangeActorName, 2},
        {fmtChangeActorClass, 2},
        {fmtChangeActorGraphic, 5},
        {fmtChangeEnemyHp, 5},
        {fmtChangeEnemySp, 4},
        {fmtChangeEnemyState, 3},
        {fmtEnemyRecoverAll, 1},
        {fmtEnemyAppearance, 1},
        {fmtEnemyTransform, 2},
        {fmtShowBattleAnimation, 3},
        {fmtDealDamage, 4},
        {fmtForceAction, 6},
        {fmtScript, 1},
    };
    for (const auto& [f, count] : rows) {
        Params p(count - 1, n(1));
        EXPECT_EQ(text(f, p, true), "") << "needs " << count;
        SearchRequest r = variableSearch({1}, false);
        EXPECT_FALSE(matches(f, p, r)) << "needs " << count;
    }
}

// Operand variables count under the referencing option, one-id rule.
TEST_F(BattleSystemFormatters, OperandVariablesAnswerReferencingSearch) {
    struct Row {
        const char* what;
        Formatter formatter;
        Params byVariable;
        Params byConstant;
    } rows[] = {
        {"hp", fmtChangeHp, {n(1), n(0), n(1), n(4), b(false)}, {n(1), n(0), n(0), n(4), b(false)}},
        {"sp/exp/level", fmtChangeActorValue, {n(1), n(1), n(1), n(4)}, {n(1), n(1), n(0), n(4)}},
        {"parameter",
         fmtChangeParameters,
         {n(1), n(0), n(0), n(1), n(4)},
         {n(1), n(0), n(0), n(0), n(4)}},
        {"enemy hp",
         fmtChangeEnemyHp,
         {n(0), n(0), n(1), n(4), b(true)},
         {n(0), n(0), n(0), n(4), b(true)}},
        {"enemy sp", fmtChangeEnemySp, {n(0), n(0), n(1), n(4)}, {n(0), n(0), n(0), n(4)}},
        {"damage", fmtDealDamage, {n(0), n(0), n(1), n(4)}, {n(0), n(0), n(0), n(4)}},
    };
    for (const Row& r : rows) {
        EXPECT_TRUE(matches(r.formatter, r.byVariable, variableSearch({4}, false))) << r.what;
        EXPECT_TRUE(matches(r.formatter, r.byVariable, variableSearch({4, 7}, false))) << r.what;
        EXPECT_TRUE(matches(r.formatter, r.byVariable, variableSearch({4}, true))) << r.what;
        EXPECT_FALSE(matches(r.formatter, r.byVariable, variableSearch({4, 7}, true)))
            << r.what << " AND";
        EXPECT_FALSE(matches(r.formatter, r.byVariable, variableSearch({5}, false))) << r.what;
        EXPECT_FALSE(matches(r.formatter, r.byVariable, variableSearch({4}, false, false)))
            << r.what << " operating only";
        EXPECT_FALSE(matches(r.formatter, r.byConstant, variableSearch({4}, false)))
            << r.what << " constant";
        SearchRequest switches = variableSearch({4}, false);
        switches.kind = SearchKind::Switch;
        EXPECT_FALSE(matches(r.formatter, r.byVariable, switches)) << r.what << " switch search";
    }
}

TEST_F(BattleSystemFormatters, TextAreasAnswerTheirTargets) {
    Params rename = {n(1), s("Roberto")};
    EXPECT_TRUE(matches(fmtChangeActorName, rename, textSearch("bert", TargetActor)));
    EXPECT_FALSE(matches(fmtChangeActorName, rename, textSearch("bert", TargetScript)));
    Params script = {s("$game_switches[3] = true")};
    EXPECT_TRUE(matches(fmtScript, script, textSearch("switches", TargetScript)));
    EXPECT_FALSE(matches(fmtScript, script, textSearch("switches", TargetMessage)));
    Params graphic = {n(1), s("Hero"), n(0), s("Knight"), n(0)};
    EXPECT_TRUE(matches(fmtChangeActorGraphic, graphic, textSearch("Hero", TargetFileName)));
    EXPECT_TRUE(matches(fmtChangeActorGraphic, graphic, textSearch("Knight", TargetFileName)));
    EXPECT_FALSE(matches(fmtChangeActorGraphic, graphic, textSearch("Aldo", TargetFileName)));
}

TEST_F(BattleSystemFormatters, ActorGraphicNamesBothFiles) {
    EXPECT_EQ(files(fmtChangeActorGraphic, {n(1), s("Hero"), n(0), s("Knight"), n(0)}),
              (FileCollector{"Graphics\\Characters\\Hero", "Graphics\\Battlers\\Knight"}));
    EXPECT_EQ(files(fmtChangeActorGraphic, {n(1), s(""), n(0), s("Knight"), n(0)}),
              FileCollector{"Graphics\\Battlers\\Knight"});
}

EventCommand command(int code, Params params) {
    EventCommand c;
    c.code = code;
    c.setParameters(std::move(params));
    return c;
}

TEST_F(BattleSystemFormatters, WholeLines) {
    SearchRequest anySearch = variableSearch({99}, false);
    const struct {
        EventCommand command;
        bool detail;
        const SearchRequest* request;
        const char* expected;
    } cases[] = {
        {command(311, {n(0), n(1), n(0), n(50), b(false)}), true, nullptr,
         "◆HP の増減：パーティ全体,-50(戦闘不能を許可:×)"},
        {command(302, {n(0), n(1)}), false, nullptr, "◆ショップの処理：[Potion]"},
        {command(605, {n(0), n(1)}), false, nullptr, "：　　　　　　　：[Potion]"},
        {command(605, {n(0), n(1)}), false, &anySearch, "：ショップの処理(2行目以降)：[Potion]"},
        {command(337, {n(1), n(2), n(1)}), false, nullptr,
         "◆アニメーションの表示：アクター3人目,[Fire]"},
        {command(339, {n(1)}), false, nullptr, "◆アクションの強制："},
    };
    for (const auto& c : cases) {
        options.detail = c.detail;
        std::string line;
        EXPECT_FALSE(formatCommand(line, c.command, options, c.request));
        EXPECT_EQ(line, c.expected);
    }
}

}  // namespace
}  // namespace zorvane

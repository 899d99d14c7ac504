// The command table: every event command code with its display name, its formatter and
// what its operands refer to, the code and name indexes built from it once, and
// formatCommand, the one way a command becomes a line.
#include <map>
#include <vector>

#include "listing/formatters.h"
#include "listing/listing.h"
#include "listing/operands.h"
#include "listing/search_match.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

const char* const kContentMarker = "◆";

// Folders of the files that commands name.
const char* const kBgm = "Audio\\BGM\\";
const char* const kBgs = "Audio\\BGS\\";
const char* const kMe = "Audio\\ME\\";
const char* const kSe = "Audio\\SE\\";

// Each row: code, name, formatter and its operands. An operand says which parameter refers
// to what, whether it is read or written, how many parameters the line needs for it, and
// on which other parameter it depends (op/need/when in command_refs.h).
const std::vector<CommandRow>& rows() {
    using K = RefKind;
    using R = TextRole;
    // A "variable or constant" operand: p[at] is a variable when p[typeAt] is 1.
    auto operandVariable = [](int8_t typeAt, int8_t at, int8_t needs) {
        return op(K::Variable, at).need(needs).when(typeAt, 1);
    };
    static const std::vector<CommandRow> table = {
        {0, "◆", fmtEmpty, {}},
        {101, "◆文章：", fmtShowText, {text(R::Message, 0).need(1)}},
        {102, "◆選択肢の表示：", fmtShowChoices, {}},
        {103, "◆数値入力の処理：", fmtInputNumber, {op(K::Variable, 0).writes().need(2)}},
        {104, "◆文章オプション変更：", fmtChangeTextOptions, {}},
        {105, "◆ボタン入力の処理：", fmtButtonInput, {op(K::Variable, 0).writes().need(1)}},
        {106, "◆ウェイト：", fmtWait, {}},
        {108, "◆注釈：", fmtComment, {text(R::Comment, 0).need(1)}},
        {111, "◆条件分岐：", fmtConditionalBranch,
         {op(K::Switch, 1).need(3).when(0, 0),
          op(K::Variable, 1).need(5).when(0, 1),
          op(K::Variable, 3).need(5).when(0, 1).when(2, 1),
          op(K::SelfSwitch, 1).need(3).when(0, 2),
          // The actor is shown unless the condition on it lacks its fourth parameter.
          op(K::Actor, 1).need(3).when(0, 4).when(2, 1, 5, true),
          op(K::Actor, 1).need(4).when(0, 4).when(2, 1, 5),
          text(R::ActorName, 3).need(4).when(0, 4).when(2, 1),
          op(K::Skill, 3).need(4).when(0, 4).when(2, 2),
          op(K::Weapon, 3).need(4).when(0, 4).when(2, 3),
          op(K::Armor, 3).need(4).when(0, 4).when(2, 4),
          op(K::State, 3).need(4).when(0, 4).when(2, 5),
          op(K::State, 3).need(4).when(0, 5).when(2, 1),
          op(K::Item, 1).need(2).when(0, 8),
          op(K::Weapon, 1).need(2).when(0, 9),
          op(K::Armor, 1).need(2).when(0, 10),
          text(R::Script, 1).need(2).when(0, 12)}},
        {112, "◆ループ", fmtEmpty, {}},
        {113, "：ループの中断", fmtEmpty, {}},
        {115, "◆イベント処理の中断", fmtEmpty, {}},
        {116, "◆イベントの一時消去", fmtEmpty, {}},
        {117, "◆コモンイベント：", fmtCallCommonEvent, {op(K::CommonEvent, 0).need(1)}},
        {118, "◆ラベル：", fmtLabel, {text(R::Label, 0).need(1)}},
        {119, "◆ラベルジャンプ：", fmtLabel, {text(R::Label, 0).need(1)}},
        {121, "◆スイッチの操作：", fmtControlSwitches, {op(K::Switch, 0).range(1).writes().need(3)}},
        // The random, actor, enemy and character operands read a sixth parameter.
        {122, "◆変数の操作：", fmtControlVariables,
         {op(K::Variable, 0).range(1).writes().need(5).needMoreWhen(3, 2, 2, 6).needMoreWhen(3, 4, 6, 6),
          operandVariable(3, 4, 5),
          op(K::Item, 4).need(5).when(3, 3),
          op(K::Actor, 4).need(6).when(3, 4)}},
        {123, "◆セルフスイッチの操作：", fmtControlSelfSwitch, {op(K::SelfSwitch, 0).need(2)}},
        {124, "◆タイマーの操作：", fmtControlTimer, {}},
        {125, "◆ゴールドの増減：", fmtChangeGold, {operandVariable(1, 2, 3)}},
        {126, "◆アイテムの増減：", fmtChangeItems, {op(K::Item, 0).need(4), operandVariable(2, 3, 4)}},
        {127, "◆武器の増減：", fmtChangeWeapons, {op(K::Weapon, 0).need(4), operandVariable(2, 3, 4)}},
        {128, "◆防具の増減：", fmtChangeArmor, {op(K::Armor, 0).need(4), operandVariable(2, 3, 4)}},
        {129, "◆アクターの入れ替え：", fmtChangePartyMember, {op(K::Actor, 0).need(2)}},
        {131, "◆ウィンドウスキンの変更：", fmtChangeWindowskin,
         {fileAt(0, "Graphics\\Windowskins\\").need(1)}},
        {132, "◆バトル BGM の変更：", fmtPlayAudio, {op(K::File, 0).audioFile(kBgm).need(1)}},
        {133, "◆バトル終了 ME の変更：", fmtPlayAudio, {op(K::File, 0).audioFile(kMe).need(1)}},
        {134, "◆セーブ禁止の変更：", fmtChangePermission, {}},
        {135, "◆メニュー禁止の変更：", fmtChangePermission, {}},
        {136, "◆エンカウント禁止の変更：", fmtChangePermission, {}},
        {201, "◆場所移動：", fmtTransferPlayer,
         {op(K::Map, 1).need(6).when(0, 0),
          op(K::Variable, 1).need(6).when(0, 1).set(),
          op(K::Variable, 2).need(6).when(0, 1).set(),
          op(K::Variable, 3).need(6).when(0, 1).set()}},
        {202, "◆イベントの位置設定：", fmtSetEventLocation,
         {op(K::Variable, 2).need(5).when(1, 1).set(), op(K::Variable, 3).need(5).when(1, 1).set()}},
        {203, "◆マップのスクロール：", fmtScrollMap, {}},
        {204, "◆マップの設定変更：", fmtChangeMapSettings,
         {fileAt(1, "Graphics\\Panoramas\\").need(3).when(0, 0),
          fileAt(1, "Graphics\\Fogs\\").need(8).when(0, 1),
          fileAt(1, "Graphics\\Battlebacks\\").need(2).when(0, 2)}},
        {205, "◆フォグの色調変更：", fmtChangeTone, {}},
        {206, "◆フォグの不透明度変更：", fmtChangeFogOpacity, {}},
        {207, "◆アニメーションの表示：", fmtShowAnimation, {op(K::Animation, 1).need(2)}},
        {208, "◆透明状態の変更：", fmtChangeTransparentFlag, {}},
        {209, "◆移動ルートの設定：", fmtSetMoveRoute, {}},
        {210, "◆移動完了までウェイト", fmtEmpty, {}},
        {221, "◆トランジション準備", fmtEmpty, {}},
        {222, "◆トランジション完了", fmtExecuteTransition,
         {fileAt(0, "Graphics\\Transitions\\").need(1)}},
        {223, "◆画面の色調変更：", fmtChangeTone, {}},
        {224, "◆画面のフラッシュ：", fmtScreenFlash, {}},
        {225, "◆画面のシェイク：", fmtScreenShake, {}},
        {231, "◆ピクチャの表示：", fmtShowPicture,
         {fileAt(1, "Graphics\\Pictures\\").need(10),
          op(K::Variable, 4).need(10).when(3, 1).set(),
          op(K::Variable, 5).need(10).when(3, 1).set()}},
        {232, "◆ピクチャの移動：", fmtMovePicture,
         {op(K::Variable, 4).need(10).when(3, 1).set(),
          op(K::Variable, 5).need(10).when(3, 1).set()}},
        {233, "◆ピクチャの回転：", fmtRotatePicture, {}},
        {234, "◆ピクチャの色調変更：", fmtChangePictureTone, {}},
        {235, "◆ピクチャの消去：", fmtErasePicture, {}},
        {236, "◆天候の設定：", fmtSetWeatherEffects, {}},
        {241, "◆BGM の演奏：", fmtPlayAudio, {op(K::File, 0).audioFile(kBgm).need(1)}},
        {242, "◆BGM のフェードアウト：", fmtFadeOutAudio, {}},
        {245, "◆BGS の演奏：", fmtPlayAudio, {op(K::File, 0).audioFile(kBgs).need(1)}},
        {246, "◆BGS のフェードアウト：", fmtFadeOutAudio, {}},
        {247, "◆BGM / BGS の記憶", fmtEmpty, {}},
        {248, "◆BGM / BGS の復帰", fmtEmpty, {}},
        {249, "◆ME の演奏：", fmtPlayAudio, {op(K::File, 0).audioFile(kMe).need(1)}},
        {250, "◆SE の演奏：", fmtPlayAudio, {op(K::File, 0).audioFile(kSe).need(1)}},
        {251, "◆SE の停止", fmtEmpty, {}},
        {301, "◆バトルの処理：", fmtBattleProcessing, {op(K::Troop, 0).need(3)}},
        {302, "◆ショップの処理：", fmtShopProcessing,
         {op(K::Item, 1).need(2).when(0, 0), op(K::Weapon, 1).need(2).when(0, 1),
          op(K::Armor, 1).need(2).when(0, 2)}},
        {303, "◆名前入力の処理：", fmtNameInputProcessing, {op(K::Actor, 0).need(2)}},
        {311, "◆HP の増減：", fmtChangeHp, {op(K::Actor, 0).party().need(5), operandVariable(2, 3, 5)}},
        {312, "◆SP の増減：", fmtChangeActorValue,
         {op(K::Actor, 0).party().need(4), operandVariable(2, 3, 4)}},
        {313, "◆ステートの変更：", fmtChangeState,
         {op(K::Actor, 0).party().need(3), op(K::State, 2).need(3)}},
        {314, "◆全回復：", fmtRecoverAll, {op(K::Actor, 0).party().need(1)}},
        {315, "◆EXP の増減：", fmtChangeActorValue,
         {op(K::Actor, 0).party().need(4), operandVariable(2, 3, 4)}},
        {316, "◆レベルの増減：", fmtChangeActorValue,
         {op(K::Actor, 0).party().need(4), operandVariable(2, 3, 4)}},
        {317, "◆パラメータの増減：", fmtChangeParameters,
         {op(K::Actor, 0).need(5), operandVariable(3, 4, 5)}},
        {318, "◆スキルの増減：", fmtChangeSkills, {op(K::Actor, 0).need(3), op(K::Skill, 2).need(3)}},
        {319, "◆装備の変更：", fmtChangeEquipment,
         {op(K::Actor, 0).need(3), op(K::Weapon, 2).need(3).when(1, 0),
          op(K::Armor, 2).need(3).unless(1, 0)}},
        {320, "◆アクターの名前変更：", fmtChangeActorName,
         {op(K::Actor, 0).need(2), text(R::ActorName, 1).need(2)}},
        {321, "◆アクターのクラス変更：", fmtChangeActorClass,
         {op(K::Actor, 0).need(2), op(K::Class, 1).need(2)}},
        {322, "◆アクターのグラフィック変更：", fmtChangeActorGraphic,
         {op(K::Actor, 0).need(5), fileAt(1, "Graphics\\Characters\\").need(5),
          fileAt(3, "Graphics\\Battlers\\").need(5)}},
        {331, "◆エネミーの HP 増減：", fmtChangeEnemyHp, {operandVariable(2, 3, 5)}},
        {332, "◆エネミーの SP 増減：", fmtChangeEnemySp, {operandVariable(2, 3, 4)}},
        {333, "◆エネミーのステート変更：", fmtChangeEnemyState, {op(K::State, 2).need(3)}},
        {334, "◆エネミーの全回復：", fmtEnemyRecoverAll, {}},
        {335, "◆エネミーの出現：", fmtEnemyAppearance, {}},
        {336, "◆エネミーの変身：", fmtEnemyTransform, {op(K::Enemy, 1).need(2)}},
        {337, "◆アニメーションの表示：", fmtShowBattleAnimation, {op(K::Animation, 2).need(3)}},
        {338, "◆ダメージの処理：", fmtDealDamage, {operandVariable(2, 3, 4)}},
        {339, "◆アクションの強制：", fmtForceAction, {op(K::Skill, 3).need(6).when(2, 1)}},
        {340, "◆バトルの中断", fmtEmpty, {}},
        {351, "◆メニュー画面の呼び出し", fmtEmpty, {}},
        {352, "◆セーブ画面の呼び出し", fmtEmpty, {}},
        {353, "◆ゲームオーバー", fmtEmpty, {}},
        {354, "◆タイトル画面に戻す", fmtEmpty, {}},
        {355, "◆スクリプト：", fmtScript, {text(R::Script, 0).need(1)}},
        {401, "：　　：", fmtShowText, {text(R::Message, 0).need(1)}},
        {402, "：", fmtWhenChoice, {text(R::Choice, 1).need(2)}},
        {403, "：キャンセルの場合", fmtEmpty, {}},
        {404, "：分岐終了", fmtEmpty, {}},
        {408, "：　　：", fmtComment, {text(R::Comment, 0).need(1)}},
        {411, "：それ以外の場合", fmtEmpty, {}},
        {412, "：分岐終了", fmtEmpty, {}},
        {413, "：以上繰り返し", fmtEmpty, {}},
        // Its operands are those of the move command it holds (moveOperands).
        {kMoveCommandCode, "：　　　　　　　　：", fmtMoveCommand, {}},
        {601, "◆勝った場合", fmtEmpty, {}},
        {602, "◆逃げた場合", fmtEmpty, {}},
        {603, "◆負けた場合", fmtEmpty, {}},
        {604, "◆分岐終了", fmtEmpty, {}},
        {605, "：　　　　　　　：", fmtShopProcessing,
         {op(K::Item, 1).need(2).when(0, 0), op(K::Weapon, 1).need(2).when(0, 1),
          op(K::Armor, 1).need(2).when(0, 2)}},
        {655, "：　　　　　：", fmtScript, {text(R::Script, 0).need(1)}},
    };
    return table;
}

// The English names, beside the Japanese ones of rows(): the same leading mark, and the
// same continuation marks where a line continues the one above.
struct EnglishName {
    int32_t code;
    const char* name;
};

const EnglishName kEnglishNames[] = {
    {0, "◆"},
    {101, "◆Message: "},
    {102, "◆Choices: "},
    {103, "◆Enter Number: "},
    {104, "◆Message Window: "},
    {105, "◆Read Button: "},
    {106, "◆Wait: "},
    {108, "◆Note: "},
    {111, "◆If: "},
    {112, "◆Loop"},
    {113, "：Leave Loop"},
    {115, "◆Stop This Event"},
    {116, "◆Remove Event Until Map Reload"},
    {117, "◆Run Common Event: "},
    {118, "◆Label: "},
    {119, "◆Go to Label: "},
    {121, "◆Set Switches: "},
    {122, "◆Set Variables: "},
    {123, "◆Set Self Switch: "},
    {124, "◆Timer: "},
    {125, "◆Gold: "},
    {126, "◆Items Held: "},
    {127, "◆Weapons Held: "},
    {128, "◆Armor Held: "},
    {129, "◆Party: "},
    {131, "◆Window Skin: "},
    {132, "◆Set Battle BGM: "},
    {133, "◆Set Battle End ME: "},
    {134, "◆Saving: "},
    {135, "◆Opening the Menu: "},
    {136, "◆Random Encounters: "},
    {201, "◆Teleport: "},
    {202, "◆Place Event: "},
    {203, "◆Pan Map: "},
    {204, "◆Map Settings: "},
    {205, "◆Fog Tone: "},
    {206, "◆Fog Opacity: "},
    {207, "◆Animation on Map: "},
    {208, "◆Player Visibility: "},
    {209, "◆Move Route: "},
    {210, "◆Wait Until Routes End"},
    {221, "◆Freeze Screen for Transition"},
    {222, "◆Transition: "},
    {223, "◆Screen Tone: "},
    {224, "◆Flash Screen: "},
    {225, "◆Shake Screen: "},
    {231, "◆Picture Display: "},
    {232, "◆Picture Movement: "},
    {233, "◆Picture Rotation: "},
    {234, "◆Picture Tone: "},
    {235, "◆Picture Removal: "},
    {236, "◆Weather: "},
    {241, "◆BGM: "},
    {242, "◆BGM Fade-Out: "},
    {245, "◆BGS: "},
    {246, "◆BGS Fade-Out: "},
    {247, "◆Remember BGM / BGS"},
    {248, "◆Resume BGM / BGS"},
    {249, "◆ME: "},
    {250, "◆SE: "},
    {251, "◆Silence SE"},
    {301, "◆Battle: "},
    {302, "◆Shop: "},
    {303, "◆Name Entry: "},
    {311, "◆HP Change: "},
    {312, "◆SP Change: "},
    {313, "◆State Change: "},
    {314, "◆Full Recovery: "},
    {315, "◆EXP Change: "},
    {316, "◆Level Change: "},
    {317, "◆Parameter Change: "},
    {318, "◆Skill Change: "},
    {319, "◆Equipment: "},
    {320, "◆Actor Name: "},
    {321, "◆Actor Class: "},
    {322, "◆Actor Graphics: "},
    {331, "◆Enemy HP Change: "},
    {332, "◆Enemy SP Change: "},
    {333, "◆Enemy State Change: "},
    {334, "◆Enemy Full Recovery: "},
    {335, "◆Enemy Appears: "},
    {336, "◆Enemy Transformation: "},
    {337, "◆Battle Animation: "},
    {338, "◆Damage: "},
    {339, "◆Forced Action: "},
    {340, "◆End Battle Now"},
    {351, "◆Open Menu"},
    {352, "◆Open Save Screen"},
    {353, "◆Game Over"},
    {354, "◆Back to Title"},
    {355, "◆Script: "},
    {401, "：　　："},
    {402, "："},
    {403, "：On Cancel"},
    {404, "：End of Choices"},
    {408, "：　　："},
    {411, "：Else"},
    {412, "：End If"},
    {413, "：Loop Again"},
    {kMoveCommandCode, "：　　　　　　　　："},
    {601, "◆On Victory"},
    {602, "◆On Escape"},
    {603, "◆On Defeat"},
    {604, "◆End of Outcomes"},
    {605, "：　　　　　　　："},
    {655, "：　　　　　："},
};

// Continuation lines say in search results what they continue.
struct ContinuationHeading {
    int32_t code;
    const char* heading;
    const char* english;
};

const ContinuationHeading kContinuationHeadings[] = {
    {401, "：文章(2行目以降)：", "：Message (continued): "},
    {408, "：注釈(2行目以降)：", "：Note (continued): "},
    {509, "：移動ルートの設定(2行目以降)：", "：Move Route (continued): "},
    {605, "：ショップの処理(2行目以降)：", "：Shop (continued): "},
    {655, "：スクリプト(2行目以降)：", "：Script (continued): "},
};

bool isCommandName(const std::string& name) {
    const std::string marker = kContentMarker;
    return name.size() > marker.size() && name.compare(0, marker.size(), marker) == 0;
}

struct Indexes {
    // By code: codes are small numbers, and every command read looks its row up.
    std::vector<const CommandRow*> byCode;
    std::map<int32_t, const char*> englishByCode;
    std::map<std::string, int32_t> byName;
    std::map<std::string, int32_t> byEnglishName;

    Indexes() {
        for (const CommandRow& row : rows()) {
            if (row.code >= 0) {
                size_t at = static_cast<size_t>(row.code);
                if (byCode.size() <= at) byCode.resize(at + 1, nullptr);
                if (!byCode[at]) byCode[at] = &row;
            }
            // The first row met keeps a name that two rows share.
            if (isCommandName(row.name)) byName.emplace(row.name, row.code);
        }
        for (const EnglishName& e : kEnglishNames) {
            englishByCode.emplace(e.code, e.name);
            // Typed on a command line, a name comes without its trailing space.
            std::string name = e.name;
            while (!name.empty() && name.back() == ' ') name.pop_back();
            if (isCommandName(name)) byEnglishName.emplace(name, e.code);
        }
    }
};

const Indexes& indexes() {
    static const Indexes built;
    return built;
}

const char* leadingText(const CommandRow& row, ListingLanguage language,
                        const SearchRequest* request) {
    if (request) {
        for (const ContinuationHeading& c : kContinuationHeadings)
            if (c.code == row.code) return language == ListingLanguage::English ? c.english : c.heading;
    }
    return commandName(row, language);
}

}  // namespace

const std::vector<CommandRow>& commandTable() {
    return rows();
}

const CommandRow* findCommandRow(int32_t code) {
    const auto& byCode = indexes().byCode;
    return code >= 0 && static_cast<size_t>(code) < byCode.size() ? byCode[static_cast<size_t>(code)]
                                                                    : nullptr;
}

const char* englishCommandName(int32_t code) {
    const auto& english = indexes().englishByCode;
    auto it = english.find(code);
    return it == english.end() ? nullptr : it->second;
}

const char* commandName(const CommandRow& row, ListingLanguage language) {
    if (language != ListingLanguage::English) return row.name;
    // A row the English table lacks keeps its Japanese name (the table test forbids it).
    const char* english = englishCommandName(row.code);
    return english ? english : row.name;
}

int32_t codeOfCommandName(const std::string& name) {
    for (const auto* byName : {&indexes().byName, &indexes().byEnglishName}) {
        auto it = byName->find(name);
        if (it != byName->end()) return it->second;
    }
    return -1;
}

std::vector<std::string> commandNames(ListingLanguage language) {
    // The same order in both languages: a choice is kept by its place in the list.
    std::vector<std::string> names;
    for (const auto& [name, code] : indexes().byName) {
        const char* english =
            language == ListingLanguage::English ? englishCommandName(code) : nullptr;
        names.push_back(english ? english : name);
    }
    return names;
}

bool formatCommand(std::string& line, const EventCommand& command, const ListingOptions& options,
                   const SearchRequest* request) {
    line.clear();
    const CommandRow* row = findCommandRow(command.code);
    if (!row) {
        line = format("//////////////// UnknownCode:%03d", command.code);
        return false;
    }
    line = leadingText(*row, options.language, request);
    std::string parameters;
    row->formatter(parameters, command.parameters(), options);
    line += parameters;
    if (!request) return false;
    static const ResourceResolver none;
    return commandMatches(command, *request, options.project ? options.project->resources() : none);
}

void collectCommandFiles(const EventCommand& command, FileCollector& files) {
    for (const Reference& r : references(command))
        if (r.kind == RefKind::File && !r.text.empty()) files.insert(r.folder + r.text);
}

}  // namespace zorvane

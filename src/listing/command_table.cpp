// The command table: every event command code with its display name and its formatter,
// the code and name indexes built from it once, and formatCommand, the one way a command
// becomes a line (and a search answer).
#include <map>

#include "listing/formatters.h"
#include "listing/listing.h"
#include "listing/operands.h"
#include "project/project_database.h"
#include "project/resource.h"

namespace zorvane {

namespace {

const char* const kContentMarker = "◆";

const std::vector<CommandRow>& rows() {
    static const std::vector<CommandRow> table = {
        {0, "◆", fmtEmpty},
        {101, "◆文章：", fmtShowText},
        {102, "◆選択肢の表示：", fmtShowChoices},
        {103, "◆数値入力の処理：", fmtInputNumber},
        {104, "◆文章オプション変更：", fmtChangeTextOptions},
        {105, "◆ボタン入力の処理：", fmtButtonInput},
        {106, "◆ウェイト：", fmtWait},
        {108, "◆注釈：", fmtComment},
        {111, "◆条件分岐：", fmtConditionalBranch},
        {112, "◆ループ", fmtEmpty},
        {113, "：ループの中断", fmtEmpty},
        {115, "◆イベント処理の中断", fmtEmpty},
        {116, "◆イベントの一時消去", fmtEmpty},
        {117, "◆コモンイベント：", fmtCallCommonEvent},
        {118, "◆ラベル：", fmtLabel},
        {119, "◆ラベルジャンプ：", fmtLabel},
        {121, "◆スイッチの操作：", fmtControlSwitches},
        {122, "◆変数の操作：", fmtControlVariables},
        {123, "◆セルフスイッチの操作：", fmtControlSelfSwitch},
        {124, "◆タイマーの操作：", fmtControlTimer},
        {125, "◆ゴールドの増減：", fmtChangeGold},
        {126, "◆アイテムの増減：", fmtChangeItems},
        {127, "◆武器の増減：", fmtChangeWeapons},
        {128, "◆防具の増減：", fmtChangeArmor},
        {129, "◆アクターの入れ替え：", fmtChangePartyMember},
        {131, "◆ウィンドウスキンの変更：", fmtChangeWindowskin},
        {132, "◆バトル BGM の変更：", fmtPlayBgm},
        {133, "◆バトル終了 ME の変更：", fmtPlayMe},
        {134, "◆セーブ禁止の変更：", fmtChangePermission},
        {135, "◆メニュー禁止の変更：", fmtChangePermission},
        {136, "◆エンカウント禁止の変更：", fmtChangePermission},
        {201, "◆場所移動：", fmtTransferPlayer},
        {202, "◆イベントの位置設定：", fmtSetEventLocation},
        {203, "◆マップのスクロール：", fmtScrollMap},
        {204, "◆マップの設定変更：", fmtChangeMapSettings},
        {205, "◆フォグの色調変更：", fmtChangeTone},
        {206, "◆フォグの不透明度変更：", fmtChangeFogOpacity},
        {207, "◆アニメーションの表示：", fmtShowAnimation},
        {208, "◆透明状態の変更：", fmtChangeTransparentFlag},
        {209, "◆移動ルートの設定：", fmtSetMoveRoute},
        {210, "◆移動完了までウェイト", fmtEmpty},
        {221, "◆トランジション準備", fmtEmpty},
        {222, "◆トランジション完了", fmtExecuteTransition},
        {223, "◆画面の色調変更：", fmtChangeTone},
        {224, "◆画面のフラッシュ：", fmtScreenFlash},
        {225, "◆画面のシェイク：", fmtScreenShake},
        {231, "◆ピクチャの表示：", fmtShowPicture},
        {232, "◆ピクチャの移動：", fmtMovePicture},
        {233, "◆ピクチャの回転：", fmtRotatePicture},
        {234, "◆ピクチャの色調変更：", fmtChangePictureTone},
        {235, "◆ピクチャの消去：", fmtErasePicture},
        {236, "◆天候の設定：", fmtSetWeatherEffects},
        {241, "◆BGM の演奏：", fmtPlayBgm},
        {242, "◆BGM のフェードアウト：", fmtFadeOutAudio},
        {245, "◆BGS の演奏：", fmtPlayBgs},
        {246, "◆BGS のフェードアウト：", fmtFadeOutAudio},
        {247, "◆BGM / BGS の記憶", fmtEmpty},
        {248, "◆BGM / BGS の復帰", fmtEmpty},
        {249, "◆ME の演奏：", fmtPlayMe},
        {250, "◆SE の演奏：", fmtPlaySe},
        {251, "◆SE の停止", fmtEmpty},
        {301, "◆バトルの処理：", fmtBattleProcessing},
        {302, "◆ショップの処理：", fmtShopProcessing},
        {303, "◆名前入力の処理：", fmtNameInputProcessing},
        {311, "◆HP の増減：", fmtChangeHp},
        {312, "◆SP の増減：", fmtChangeActorValue},
        {313, "◆ステートの変更：", fmtChangeState},
        {314, "◆全回復：", fmtRecoverAll},
        {315, "◆EXP の増減：", fmtChangeActorValue},
        {316, "◆レベルの増減：", fmtChangeActorValue},
        {317, "◆パラメータの増減：", fmtChangeParameters},
        {318, "◆スキルの増減：", fmtChangeSkills},
        {319, "◆装備の変更：", fmtChangeEquipment},
        {320, "◆アクターの名前変更：", fmtChangeActorName},
        {321, "◆アクターのクラス変更：", fmtChangeActorClass},
        {322, "◆アクターのグラフィック変更：", fmtChangeActorGraphic},
        {331, "◆エネミーの HP 増減：", fmtChangeEnemyHp},
        {332, "◆エネミーの SP 増減：", fmtChangeEnemySp},
        {333, "◆エネミーのステート変更：", fmtChangeEnemyState},
        {334, "◆エネミーの全回復：", fmtEnemyRecoverAll},
        {335, "◆エネミーの出現：", fmtEnemyAppearance},
        {336, "◆エネミーの変身：", fmtEnemyTransform},
        {337, "◆アニメーションの表示：", fmtShowBattleAnimation},
        {338, "◆ダメージの処理：", fmtDealDamage},
        {339, "◆アクションの強制：", fmtForceAction},
        {340, "◆バトルの中断", fmtEmpty},
        {351, "◆メニュー画面の呼び出し", fmtEmpty},
        {352, "◆セーブ画面の呼び出し", fmtEmpty},
        {353, "◆ゲームオーバー", fmtEmpty},
        {354, "◆タイトル画面に戻す", fmtEmpty},
        {355, "◆スクリプト：", fmtScript},
        {401, "：　　：", fmtShowText},
        {402, "：", fmtWhenChoice},
        {403, "：キャンセルの場合", fmtEmpty},
        {404, "：分岐終了", fmtEmpty},
        {408, "：　　：", fmtComment},
        {411, "：それ以外の場合", fmtEmpty},
        {412, "：分岐終了", fmtEmpty},
        {413, "：以上繰り返し", fmtEmpty},
        {509, "：　　　　　　　　：", fmtMoveCommand},
        {601, "◆勝った場合", fmtEmpty},
        {602, "◆逃げた場合", fmtEmpty},
        {603, "◆負けた場合", fmtEmpty},
        {604, "◆分岐終了", fmtEmpty},
        {605, "：　　　　　　　：", fmtShopProcessing},
        {655, "：　　　　　：", fmtScript},
    };
    return table;
}

// Continuation lines say in search results what they continue.
struct ContinuationHeading {
    int32_t code;
    const char* heading;
};

const ContinuationHeading kContinuationHeadings[] = {
    {401, "：文章(2行目以降)："},
    {408, "：注釈(2行目以降)："},
    {509, "：移動ルートの設定(2行目以降)："},
    {605, "：ショップの処理(2行目以降)："},
    {655, "：スクリプト(2行目以降)："},
};

struct Indexes {
    std::map<int32_t, const CommandRow*> byCode;
    std::map<std::string, int32_t> byName;

    Indexes() {
        const std::string marker = kContentMarker;
        for (const CommandRow& row : rows()) {
            byCode.emplace(row.code, &row);
            std::string name = row.name;
            // The first row met keeps a name that two rows share.
            if (name.size() > marker.size() && name.compare(0, marker.size(), marker) == 0)
                byName.emplace(name, row.code);
        }
    }
};

const Indexes& indexes() {
    static const Indexes built;
    return built;
}

const char* leadingText(const CommandRow& row, const SearchRequest* request) {
    if (request) {
        for (const ContinuationHeading& c : kContinuationHeadings)
            if (c.code == row.code) return c.heading;
    }
    return row.name;
}

// The first collected file that neither the game folder nor an RTP holds.
bool anyFileMissing(const FileCollector& files, const ListingOptions& options) {
    const ResourceResolver none;
    const ResourceResolver& resources = options.project ? options.project->resources() : none;
    for (const std::string& relative : files) {
        std::string found;
        if (resources.resolve(relative, found) < 0) return true;
    }
    return false;
}

}  // namespace

const std::vector<CommandRow>& commandTable() {
    return rows();
}

const CommandRow* findCommandRow(int32_t code) {
    const auto& byCode = indexes().byCode;
    auto it = byCode.find(code);
    return it == byCode.end() ? nullptr : it->second;
}

int32_t codeOfCommandName(const std::string& name) {
    const auto& byName = indexes().byName;
    auto it = byName.find(name);
    return it == byName.end() ? -1 : it->second;
}

std::vector<std::string> commandNames() {
    std::vector<std::string> names;
    for (const auto& entry : indexes().byName) names.push_back(entry.first);
    return names;
}

bool commandCanAnswer(int32_t code, const SearchRequest& request) {
    switch (request.kind) {
        case SearchKind::Switch:
            return code == 111 || code == 121 || code == 509;
        case SearchKind::CommonEvent:
            return code == 117;
        case SearchKind::EventCommand:
            return request.targetIds.count(code) > 0;
        default:
            return true;
    }
}

bool formatCommand(std::string& line, const EventCommand& command, const ListingOptions& options,
                   const SearchRequest* request) {
    line.clear();
    const CommandRow* row = findCommandRow(command.code);
    if (!row) {
        line = format("//////////////// UnknownCode:%03d", command.code);
        return false;
    }
    line = leadingText(*row, request);
    bool missingFileSearch = request && request->is(SearchKind::MissingFile);
    FileCollector files;
    std::string parameters;
    bool matched = row->formatter(parameters, command.parameters, options, request,
                                  missingFileSearch ? &files : nullptr);
    if (missingFileSearch) matched = request->missingFiles && anyFileMissing(files, options);
    line += parameters;
    if (request && request->is(SearchKind::EventCommand) && request->targetIds.count(command.code))
        matched = true;
    return matched;
}

void collectCommandFiles(const EventCommand& command, const ListingOptions& options,
                         FileCollector& files) {
    const CommandRow* row = findCommandRow(command.code);
    if (!row) return;
    std::string parameters;
    row->formatter(parameters, command.parameters, options, nullptr, &files);
}

}  // namespace zorvane

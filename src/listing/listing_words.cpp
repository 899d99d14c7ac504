// The English table of the listing's phrases and the look-up built from it once.
#include "listing/listing_words.h"

#include "project/phrase_book.h"

namespace zorvane {

namespace {

// Format strings keep their conversions, in order; patterns keep their {n}. Captions keep
// the listing's "Caption:value" form and its commas without spaces.
const std::vector<std::pair<const char*, const char*>> kEnglish = {
    // Operands shared by every family.
    {"プレイヤー", "Player"},
    {"このイベント", "This Event"},
    {"イベント[", "Event ["},
    {":", ": "},
    {"トループ全体", "Entire Troop"},
    {"(Red:%.0f,Green:%.0f,Blue:%.0f,Gray:%.0f),時間:%dフレーム",
     "(Red:%.0f,Green:%.0f,Blue:%.0f,Gray:%.0f),Time:%d frames"},
    {",ボリューム:%d,ピッチ:%d", ",Volume:%d,Pitch:%d"},
    {"%dフレーム", "%d frames"},
    {"%d秒", "%d sec"},
    // Messages, flow and game state.
    {" (キャンセル時：", " (Cancel: "},
    {"[{1}] の場合", "When [{1}]"},
    {",%d桁", ",%d digits"},
    {"セルフスイッチ", "Self Switch "},
    {"タイマー%d分%d秒 ", "Timer %d min %d sec "},
    {"{1} が ", "{1} "},
    {"{1} が パーティにいる", "{1} is in the party"},
    {"{1} が 名前'{2}'になっている", "{1} is named '{2}'"},
    {"{1} が {2} を習得済み", "{1} has learned {2}"},
    {"{1} が {2} を装備中", "{1} has {2} equipped"},
    {"{1} が {2} になっている", "{1} is under {2}"},
    {"{1} が 出現している", "{1} has appeared"},
    {"{1} が {2} を向いている", "{1} faces {2}"},
    {"ゴールド%d", "Gold %d "},
    {"{1} を持っている", "Party has {1}"},
    {"ボタン {1} が押されている", "Button {1} is pressed"},
    {"スクリプト：", "Script: "},
    {"乱数(%d..%d)", "Random (%d..%d)"},
    {"{1}の所持数", "Count of {1} held"},
    {"{1} の {2}", "{2} of {1}"},
    {"始動 (%d分%d秒)", "Start (%d min %d sec)"},
    {"停止", "Stop"},
    {"{1} を加える", "Add {1}"},
    {"{1} を加える,初期化", "Add {1},Reset"},
    {"{1} を外す", "Remove {1}"},
    {"禁止", "Forbidden"},
    {"許可", "Allowed"},
    // Move routes.
    {"：", ": "},
    {"動作を繰り返す", "Repeat"},
    {"移動できない場合は無視", "Skip Blocked Moves"},
    {",色相:%d,向き:%s,パターン:%d", ",Hue:%d,Facing:%s,Pattern:%d"},
    // Map, screen, pictures and audio.
    {"向き:", "Facing:"},
    {",向き:そのまま", ",Facing:Unchanged"},
    {"番号:", "No.:"},
    {"(変数[%04d][%04d])", "(Variables [%04d][%04d])"},
    {",拡大率(%d%%,%d%%),不透明度:%d,合成方法:", ",Zoom(%d%%,%d%%),Opacity:%d,Blending:"},
    {"変数", "Variables "},
    {"変数 [%04d][%04d][%04d]", "Variables [%04d][%04d][%04d]"},
    {"変数 [%04d][%04d]", "Variables [%04d][%04d]"},
    {"{1}と交換", "Swap with {1}"},
    {"パノラマ = ", "Panorama = "},
    {",色相:%d", ",Hue:%d"},
    {",色相:%d,不透明度:%d,合成方法:%s,拡大率:%d,SX:%d,SY:%d",
     ",Hue:%d,Opacity:%d,Blending:%s,Zoom:%d,SX:%d,SY:%d"},
    {"フォグ = ", "Fog = "},
    {"バトルバック = ", "Battleback = "},
    {",フェードなし", ",No Fade"},
    {",フェードあり", ",Fade"},
    {"方向:%s,距離:%d,速度:%s", "Direction:%s,Distance:%d,Speed:%s"},
    {"不透明度:%d,時間:%dフレーム", "Opacity:%d,Time:%d frames"},
    {"透明", "Transparent"},
    {"通常", "Normal"},
    {"強さ:%d,速さ:%d,フレーム:%d", "Power:%d,Speed:%d,Frames:%d"},
    {"時間:%dフレーム,", "Time:%d frames,"},
    {"回転速度:%+d", "Spin:%+d"},
    {"強さ:", "Power:"},
    {"時間:%dフレーム", "Time:%d frames"},
    // Battle, actors and system.
    {"(戦闘不能を許可:", "(May Knock Out:"},
    {",逃走可能:", ",Can Flee:"},
    {",負けた場合も継続:", ",Go On After Defeat:"},
    {",%d文字", ",%d characters"},
    {",色相:", ",Hue:"},
    {"キャラクターグラフィック", "Character Graphic "},
    {"バトラーグラフィック", "Battler Graphic "},
    {",すぐに実行", ",At Once"},
    {",通常の攻撃順序で実行", ",In Turn Order"},
    // Search hits of start conditions and of a map's own settings.
    {"条件スイッチ：", "Condition Switch: "},
    {"{1}と{2}がON", "{1} and {2} are ON"},
    {"{1}が{2}以上", "{1} is {2} or More"},
    {"マップ設定", "Map Settings"},
    // The search's progress and summary titles.
    {"検索中 - コモンイベント", "Searching - Common Events"},
    {"検索中 - コモンイベント：%04d（%04d～%04d）", "Searching - Common Event %04d (%04d-%04d)"},
    {"検索中 - バトルイベント", "Searching - Battle Events"},
    {"検索中 - バトルイベント：%04d（%04d～%04d）", "Searching - Battle Event %04d (%04d-%04d)"},
    {"検索中 - マップイベント：%03d/%03d", "Searching - Map Events %03d/%03d"},
    {"検索中 - マップイベント：%03d", "Searching - Map Events %03d"},
    {"検索中 - スクリプト", "Searching - Scripts"},
    {"検索中 - データベース", "Searching - Database"},
    {"検索結果 - %d件  所要時間 %d秒", "Search Results - %d hits  Time %d sec"},
    {"検索中断 - %d件", "Search Stopped - %d hits"},
    {"  ※読み込めないファイル%d個を飛ばしました", "  * %d unreadable files skipped"},
    {" 他%d個", " and %d more"},
    {"（", " ("},
    {"）", ")"},
    {"  ※正規表現が複雑すぎて調べられないテキストがありました",
     "  * Some texts were not judged: the expression is too complex for them"},
    // Documents: headings and condition sections.
    {"コモンイベント", "Common Event "},
    {"バトルイベント", "Battle Event "},
    {" %02dページ目", " Page %02d"},
    {"マップイベント[{1}:{2}] {3}ページ目", "Map Event [{1}: {2}] Page {3}"},
    {"マップ", "Map "},
    {"スクリプト[{1}:{2}]", "Script [{1}: {2}]"},
    {"コモンイベント[%d]の取得に失敗しました", "Common event %d could not be read"},
    {"バトルイベント[%d-%d]の取得に失敗しました", "Troop %d page %d could not be read"},
    {"マップイベント[%d-%d]の取得に失敗しました", "Map event %d page %d could not be read"},
    {"マップイベントオブジェクトが不正です", "The map of the event is not loaded"},
    {"スクリプト[%d]の取得に失敗しました", "Script %d could not be read"},
    {"トリガー", "Trigger"},
    {"条件スイッチ", "Condition Switch"},
    {"条件", "Conditions"},
    {"スパン", "Span"},
    {"グラフィック", "Graphic"},
    {"自律移動", "Movement"},
    {"オプション", "Options"},
    {"実行しない", "Never Runs"},
    {"なし", "None"},
    {"ターン%d+%dx", "Turn %d+%dx"},
    {"ターン%d", "Turn %d"},
    {"ターン%dx", "Turn %dx"},
    {"エネミー{1}のHP{2}%以下", "Enemy {1} HP at {2}% or Less"},
    {"アクター{1}のHP{2}%以下", "Actor {1} HP at {2}% or Less"},
    {"{1}がON", "{1} is ON"},
    {"スイッチ：{1}がON", "Switch: {1} is ON"},
    {"変数：{1}が{2}以上", "Variable: {1} is {2} or More"},
    {"セルフスイッチ：{1}がON", "Self Switch: {1} is ON"},
    {"ファイル：タイルセット", "File: Tileset"},
    {"位置：(%d,%d)", "Position: (%d,%d)"},
    {"ファイル：", "File: "},
    {"向き：", "Facing: "},
    {"パターン：%d", "Pattern: %d"},
    {"色相：%d", "Hue: %d"},
    {"不透明度：%d", "Opacity: %d"},
    {"合成方法：", "Blending: "},
    {"タイプ：", "Type: "},
    {"速度：", "Speed: "},
    {"頻度：", "Frequency: "},
    {"移動時アニメ：", "Walking Animation: "},
    {"停止時アニメ：", "Idle Animation: "},
    {"向き固定：", "Lock Facing: "},
    {"すり抜け：", "Pass Through: "},
    {"最前面に表示：", "Topmost: "},
};

}  // namespace

const std::vector<std::pair<const char*, const char*>>& englishPhrases() {
    return kEnglish;
}

const char* say(const char* japanese, ListingLanguage language) {
    static const PhraseBook book(kEnglish);
    return book.say(japanese, language);
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    for (size_t i = 0; i < pattern.size(); ++i) {
        size_t n = 0;
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' &&
            pattern[i + 1] >= '1' && pattern[i + 1] <= '9')
            n = static_cast<size_t>(pattern[i + 1] - '0');
        if (n == 0 || n > args.size()) {
            out += pattern[i];
            continue;
        }
        out += *(args.begin() + (n - 1));
        i += 2;
    }
    return out;
}

}  // namespace zorvane

// The English table of the check's findings, places and list headings.
#include "check/check_words.h"

#include "project/phrase_book.h"

namespace zorvane {

namespace {

// Format strings keep their conversions, in order; patterns keep their {n}.
const std::vector<std::pair<const char*, const char*>> kEnglish = {
    // Severities and the list's headings.
    {"エラー", "Error"},
    {"警告", "Warning"},
    {"情報", "Note"},
    {"重要度", "Severity"},
    {"種類", "Kind"},
    {"場所", "Where"},
    {"対象", "Subject"},
    {"内容", "Message"},
    {"：", ": "},
    {"（%sバイト）", " (%s bytes)"},
    // Places.
    {"コモンイベント%03d", "Common Event %03d"},
    {"トループ%03d", "Troop %03d"},
    {"マップ%03d イベント%03d", "Map %03d Event %03d"},
    {"マップ%03d", "Map %03d"},
    {"スクリプト%03d", "Script %03d"},
    {" ページ%d", " Page %d"},
    {" 行%d", " Line %d"},
    {"%s%03d", "%s %03d"},
    // Switches and variables.
    {"システム", "System"},
    {"参照されますが、ONにするコマンドがありません", "Read, but no command turns it ON"},
    {"操作されますが、どこからも参照されません", "Set, but never read"},
    {"参照されますが、値を代入するコマンドがありません", "Read, but no command sets its value"},
    {"代入されますが、どこからも参照されません", "Set, but never read"},
    {"使われていますが、名前がありません", "Used, but has no name"},
    {"名前がありますが、どこにも使われていません", "Named, but never used"},
    // Self switches, common events, transfers and labels.
    {"セルフスイッチ", "Self Switch "},
    {"参照されますが、このイベントにONにするコマンドがありません",
     "Read, but nothing in this event turns it ON"},
    {"呼び出すコモンイベントがデータベースにありません",
     "The common event called is not in the database"},
    {"どこからも呼び出されません", "Never called"},
    {"呼び出されず、開始条件のスイッチをONにするものもありません",
     "Never called, and nothing turns its condition switch ON"},
    {"マップ%03d (%d,%d)", "Map %03d (%d,%d)"},
    {"移動先のマップがありません", "The destination map does not exist"},
    {"移動先がマップの外です（マップの大きさ %d×%d）",
     "The destination is outside the map (map size %dx%d)"},
    {"ラベル「{1}」", "Label '{1}'"},
    {"このリストに同じ名前のラベルがありません", "No label of this name in this list"},
    // Database ranges: the tables, the fields and the message.
    {"%sが%s%03dですが、%sは%d番までです", "%s is %s %03d, but the %s table ends at %d"},
    {"アクター", "Actor"},
    {"クラス", "Class"},
    {"スキル", "Skill"},
    {"アイテム", "Item"},
    {"武器", "Weapon"},
    {"防具", "Armor"},
    {"ステート", "State"},
    {"エネミー", "Enemy"},
    {"トループ", "Troop"},
    {"アニメーション", "Animation"},
    {"コモンイベント", "Common Event"},
    {"初期装備の武器", "Initial Weapon"},
    {"初期装備の防具", "Initial Armor"},
    {"装備できる武器", "Equippable Weapons"},
    {"装備できる防具", "Equippable Armor"},
    {"習得するスキル", "Skill Learned"},
    {"使用側アニメーション", "User Animation"},
    {"対象側アニメーション", "Target Animation"},
    {"攻撃側アニメーション", "Attacker Animation"},
    {"付加するステート", "State Added"},
    {"解除するステート", "State Removed"},
    {"オートステート", "Auto State"},
    {"防御するステート", "State Guarded"},
    {"トレジャーのアイテム", "Treasure Item"},
    {"トレジャーの武器", "Treasure Weapon"},
    {"トレジャーの防具", "Treasure Armor"},
    {"行動のスキル", "Action Skill"},
    // Files.
    {"ファイルが見つかりません", "File not found"},
    {"ゲームフォルダになく、RTP「{1}」がこの環境にないため確かめられません",
     "Not in the game folder; RTP '{1}' is not on this computer to check it"},
    {"スクリプトに名前があります（使われているかもしれません）",
     "A script names it (it may be used)"},
    {"スクリプトが外部のコードを読み込むため、使われているかもしれません",
     "Scripts load code from files, so it may be used"},
    {"どこからも使われていません", "Not used anywhere"},
    {"ゲームフォルダにGraphicsもAudioもないため、ファイルは調べていません",
     "The game folder has no Graphics or Audio, so files were not checked"},
};

}  // namespace

const std::vector<std::pair<const char*, const char*>>& checkEnglishPhrases() {
    return kEnglish;
}

const char* checkSay(const char* japanese, ListingLanguage language) {
    static const PhraseBook book(kEnglish);
    return book.say(japanese, language);
}

}  // namespace zorvane

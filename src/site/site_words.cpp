// The English table of the site's own words.
#include "site/site_words.h"

#include "project/phrase_book.h"

namespace zorvane::site {

namespace {

// Format strings keep their conversions, in order.
const std::vector<std::pair<const char*, const char*>> kEnglish = {
    // The navigation bar and the page titles.
    {"トップ", "Top"},
    {"イベント", "Events"},
    {"スイッチ・変数", "Switches and Variables"},
    {"診断", "Check"},
    {"データベース", "Database"},
    {"スクリプト", "Scripts"},
    {"検索（名前・文章・スクリプト）", "Search (names, text, scripts)"},
    {"イベント一覧", "Event List"},
    {"データベース: ", "Database: "},
    {"プロジェクト", "Project"},
    // The database tables, in the editor's tab order.
    {"アクター", "Actors"},
    {"職業", "Classes"},
    {"スキル", "Skills"},
    {"アイテム", "Items"},
    {"武器", "Weapons"},
    {"防具", "Armors"},
    {"敵キャラ", "Enemies"},
    {"敵グループ", "Troops"},
    {"ステート", "States"},
    {"属性", "Elements"},
    {"スイッチ", "Switches"},
    {"変数", "Variables"},
    // Headings of the sections and the tables' columns.
    {"設定", "Settings"},
    {"サブマップ", "Child Maps"},
    {"このマップへの移動", "Transfers to This Map"},
    {"このマップからの移動", "Transfers from This Map"},
    {"コモンイベント", "Common Events"},
    {"バトルイベント", "Battle Events"},
    {"マップツリー", "Map Tree"},
    {"内容", "Contents"},
    {"読み込めなかったもの", "Not Read"},
    {"名前", "Name"},
    {"位置", "Position"},
    {"ページ", "Pages"},
    {"トリガー", "Trigger"},
    {"書き込み", "Written"},
    {"読み取り", "Read"},
    {"番号", "No."},
    {"行数", "Lines"},
    {"部分", "Part"},
    {"数", "Count"},
    // Captions and values in the pages.
    {"マップ", "Maps"},
    {"（なし）", "(none)"},
    {"（画像なし）", "(no picture)"},
    {"（名前なし）", "(no name)"},
    {"（無題）", "(untitled)"},
    {"（音量 %d, ピッチ %d）", " (volume %d, pitch %d)"},
    {"（歩数 %d）", " (steps %d)"},
    {" %d行", " line %d"},
    {" 出現条件", " conditions"},
    {"大きさ", "Size"},
    {"タイルセット", "Tileset"},
    {"エンカウント", "Encounters"},
    {"、", ", "},
    {"親: ", "Parent: "},
    {"ページ:", "Pages: "},
    {"自動実行", "Autorun"},
    {"並列処理", "Parallel"},
    {"なし", "None"},
    {"このマップのファイルは読み込めませんでした。", "The file of this map could not be read."},
    {"コモンイベント一覧", "Common Events"},
    {"バトルイベント一覧", "Battle Events"},
    {"スクリプト一覧", "Scripts"},
    {"バトルイベント{1}", "Battle Event {1}"},
    {" %dページ", " Page %d"},
    {" EV%03d[%s] %dページ", " EV%03d [%s] Page %d"},
    {"スイッチ[%04zu:%s]", "Switch [%04zu: %s]"},
    {"変数[%04zu:%s]", "Variable [%04zu: %s]"},
    {"スクリプト[%03zu:%s]", "Script [%03zu: %s]"},
    {"%zu件", "%zu findings"},
    {"読み込めないファイルがあります（結果が欠けている場合があります）:",
     "Some files could not be read (findings may be missing):"},
};

}  // namespace

const std::vector<std::pair<const char*, const char*>>& siteEnglishWords() {
    return kEnglish;
}

const char* siteSay(const char* japanese, ListingLanguage language) {
    static const PhraseBook book(kEnglish);
    return book.say(japanese, language);
}

}  // namespace zorvane::site

// The search panel check and the results list: warning texts, how the range becomes the
// scope, the seven cells of each kind of hit, sorting, viewer targets and the saved CSV.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>

#include "listing/listing.h"
#include "project/project_database.h"
#include "search/search_results.h"
#include "search/search_validation.h"
#include "support/test_support.h"
#include "text/text_matcher.h"

using namespace zorvane;

namespace {

const char* const kNoItem = "「検索項目」が1つもチェックされていません";
const char* const kNoTarget = "「検索対象」が何も選択されていません";
const char* const kNoText = "「検索項目」の文字列が入力されていません";
const char* const kBadPattern = "検索対象の正規表現に誤りがあるようです";
const char* const kNoRange = "「検索範囲」が何も選択されていません";
const char* const kNoMapChosen = "「検索範囲」の「指定」で何も選択されていません（マップイベント）";

SearchPanel panelOf(SearchKind kind, std::function<void(SearchPanel&)> fill) {
    SearchPanel p;
    p.kind = kind;
    p.ranges[ScopeCommon].checked = true;
    fill(p);
    return p;
}

TEST(SearchValidation, ReturnsThePanelsWarnings) {
    TextMatcher loaded;
    ASSERT_TRUE(loaded.load());
    TextMatcher none(MatcherLibrary::None);
    struct Case {
        const char* name;
        SearchPanel panel;
        const TextMatcher* matcher;
        std::string error;
    };
    const Case cases[] = {
        {"no switch ticked", panelOf(SearchKind::Switch, [](SearchPanel&) {}), &loaded, kNoItem},
        {"switch without option",
         panelOf(SearchKind::Switch, [](SearchPanel& p) { p.switches.rows[0].checked = true; }),
         &loaded, kNoTarget},
        {"variable without option",
         panelOf(SearchKind::Variable, [](SearchPanel& p) { p.variables.rows[1].checked = true; }),
         &loaded, kNoTarget},
        {"the switch page's options do not serve the variable page",
         panelOf(SearchKind::Variable,
                 [](SearchPanel& p) {
                     p.variables.rows[0].checked = true;
                     p.switches.operating = true;
                 }),
         &loaded, kNoTarget},
        {"empty text", panelOf(SearchKind::Text, [](SearchPanel& p) { p.textTargets[0] = true; }),
         &loaded, kNoText},
        {"text without target", panelOf(SearchKind::Text, [](SearchPanel& p) { p.text = "a"; }),
         &loaded, kNoTarget},
        {"broken expression",
         panelOf(SearchKind::Text,
                 [](SearchPanel& p) {
                     p.text = "(ab";
                     p.textTargets[TargetScript] = true;
                     p.useRegex = true;
                 }),
         &loaded, kBadPattern},
        {"broken expression without the library is plain text",
         panelOf(SearchKind::Text,
                 [](SearchPanel& p) {
                     p.text = "(ab";
                     p.textTargets[TargetScript] = true;
                     p.useRegex = true;
                 }),
         &none, ""},
        {"no common event ticked", panelOf(SearchKind::CommonEvent, [](SearchPanel&) {}), &loaded,
         kNoItem},
        {"no command ticked", panelOf(SearchKind::EventCommand, [](SearchPanel&) {}), &loaded,
         kNoItem},
        {"missing-file box unticked", panelOf(SearchKind::MissingFile, [](SearchPanel&) {}),
         &loaded, kNoItem},
        {"no range ticked",
         panelOf(SearchKind::MissingFile,
                 [](SearchPanel& p) {
                     p.missingFiles = true;
                     p.ranges[ScopeCommon].checked = false;
                 }),
         &loaded, kNoRange},
        {"the script range alone does not do for a switch search",
         panelOf(SearchKind::Switch,
                 [](SearchPanel& p) {
                     p.switches.rows[0].checked = true;
                     p.switches.operating = true;
                     p.ranges[ScopeCommon].checked = false;
                     p.ranges[ScopeScripts].checked = true;
                 }),
         &loaded, kNoRange},
        {"\"指定\" with no map chosen",
         panelOf(SearchKind::Switch,
                 [](SearchPanel& p) {
                     p.switches.rows[0].checked = true;
                     p.switches.operating = true;
                     p.ranges[ScopeMaps] = RangeRow{true, false, 0};
                 }),
         &loaded, kNoMapChosen},
        {"an unticked row's choice does not matter, nor the script row's outside text searches",
         panelOf(SearchKind::Switch,
                 [](SearchPanel& p) {
                     p.switches.rows[0].checked = true;
                     p.switches.operating = true;
                     p.ranges[ScopeMaps] = RangeRow{false, false, 0};
                     p.ranges[ScopeScripts] = RangeRow{true, false, 0};
                 }),
         &loaded, ""},
        {"the script range alone does for a text search",
         panelOf(SearchKind::Text,
                 [](SearchPanel& p) {
                     p.text = "a";
                     p.textTargets[TargetName] = true;
                     p.ranges[ScopeCommon].checked = false;
                     p.ranges[ScopeScripts].checked = true;
                 }),
         &loaded, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(validateSearch(c.panel, c.matcher).error, c.error) << c.name;
}

TEST(SearchValidation, BuildsTheRequest) {
    SearchPanel p;
    p.kind = SearchKind::Switch;
    p.switches.rows = {IdRow{true, 7}, IdRow{true, 3}};
    p.switches.andMode = true;
    p.switches.referencing = true;
    p.ranges = {RangeRow{true, true, 1}, RangeRow{true, false, 3}, RangeRow{false, true, 1},
                RangeRow{true, false, 2}};
    p.includeSubMaps = true;
    ValidatedSearch v = validateSearch(p, nullptr);
    ASSERT_TRUE(v.ok()) << v.error;
    EXPECT_EQ(v.request.targetIds, (std::set<int>{3, 7}));
    EXPECT_TRUE(v.request.andMode);
    EXPECT_FALSE(v.request.inOperatingCommands);
    EXPECT_TRUE(v.request.inReferencingCommands);
    // Ticked "全て" is 0, "指定" the id, unticked -1; scripts only for text searches.
    EXPECT_EQ(v.request.scope, (std::array<int, 4>{0, 3, -1, -1}));
    EXPECT_TRUE(v.request.includeSubMaps);

    // Common event searches never run in AND mode.
    p.kind = SearchKind::CommonEvent;
    p.commonEvents = {IdRow{true, 4}, IdRow{false, 9}};
    v = validateSearch(p, nullptr);
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.request.targetIds, std::set<int>{4});
    EXPECT_FALSE(v.request.andMode);

    // Command rows by name; a name the table does not know stands as -1.
    p.kind = SearchKind::EventCommand;
    p.commands[0] = CommandChoice{true, "◆スイッチの操作："};
    p.commands[3] = CommandChoice{true, "◆no such command"};
    v = validateSearch(p, nullptr);
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.request.targetIds, (std::set<int>{-1, 121}));

    // The text box holds 511 bytes: 200 three-byte characters keep 170 of them.
    p.kind = SearchKind::Text;
    p.textTargets[TargetMessage] = true;
    p.text.clear();
    for (int i = 0; i < 200; ++i) p.text += "あ";
    v = validateSearch(p, nullptr);
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.request.text.size(), 510u);
    EXPECT_EQ(v.request.scope, (std::array<int, 4>{0, 3, -1, 2}));
}

SearchHit hitOf(SearchArea area, int item, const std::string& name, int page, int line,
                const std::string& content) {
    SearchHit h;
    h.area = area;
    h.itemId = item;
    h.itemName = name;
    h.page = page;
    h.line = line;
    h.content = content;
    return h;
}

SearchHit mapHit(int mapId, bool hasEvent, int item, int page, int line) {
    SearchHit h =
        hitOf(SearchArea::MapEvent, item, hasEvent ? "Rat" : "マップ設定", page, line, "c");
    h.mapId = mapId;
    h.mapName = "Cellar";
    h.mapPath = "Town/House/Cellar";
    h.hasEvent = hasEvent;
    h.eventX = 2;
    h.eventY = 15;
    return h;
}

using Cells = std::array<std::string, ResultColumnCount>;

TEST(SearchResultCells, FollowTheColumnTable) {
    struct Case {
        SearchHit hit;
        Cells cells;
    };
    const Case cases[] = {
        {hitOf(SearchArea::CommonEvent, 5, "Opening", 0, 12, "◆x"),
         {"コモンイベント", "", "", "005:Opening", "", "0012", "◆x"}},
        {hitOf(SearchArea::BattleEvent, 2, "Slimes", 3, LineStartCondition, "[0001:Door]がON"),
         {"バトルイベント", "", "", "002:Slimes", "03", "イベント開始条件", "[0001:Door]がON"}},
        {mapHit(3, true, 1, 2, LineAppearanceCondition),
         {"マップイベント", "Town/House/Cellar", "0003:Cellar(002,015)", "001:Rat", "02",
          "イベント出現条件", "c"}},
        {mapHit(3, false, 0, 0, LineNone),
         {"マップイベント", "Town/House/Cellar", "0003:Cellar", "000:マップ設定", "", "", "c"}},
        {hitOf(SearchArea::Script, 12, "Main", 0, LineName, "Main"),
         {"スクリプト", "", "", "012:Main", "", "イベント名", "Main"}},
        {hitOf(SearchArea::Database, 9, "システム", 0, LineNone, "Graphics\\Titles\\T"),
         {"データベース", "", "", "システム", "", "", "Graphics\\Titles\\T"}},
    };
    for (const Case& c : cases) EXPECT_EQ(resultCells(c.hit), c.cells) << c.cells[3];
}

std::vector<std::string> column(const SearchResults& r, int c) {
    std::vector<std::string> out;
    for (const ResultRow& row : r.rows()) out.push_back(row.cells[static_cast<size_t>(c)]);
    return out;
}

TEST(SearchResultSorting, NumbersByValueTextsByLocaleStable) {
    SearchResults r;
    r.addHit(hitOf(SearchArea::Script, 1, "b", 0, 10, "first ten"));
    r.addHit(hitOf(SearchArea::Script, 2, "a", 0, LineName, "name"));
    r.addHit(hitOf(SearchArea::Script, 3, "c", 0, 2, "two"));
    r.addHit(hitOf(SearchArea::Script, 4, "d", 0, 10, "second ten"));
    r.sortByColumn(ColumnLine);
    // "イベント名" reads as 0 and goes before "0002"; the two tens keep their order.
    EXPECT_EQ(column(r, ColumnContent),
              (std::vector<std::string>{"name", "two", "first ten", "second ten"}));
    r.sortByColumn(ColumnLine);
    EXPECT_EQ(column(r, ColumnContent),
              (std::vector<std::string>{"first ten", "second ten", "two", "name"}));
    r.sortByColumn(ColumnLine);
    EXPECT_EQ(column(r, ColumnContent).front(), "name");
    // Another column starts ascending again.
    r.sortByColumn(ColumnEvent);
    EXPECT_EQ(column(r, ColumnEvent),
              (std::vector<std::string>{"001:b", "002:a", "003:c", "004:d"}));
    r.sortByColumn(ColumnContent);
    EXPECT_EQ(column(r, ColumnContent),
              (std::vector<std::string>{"first ten", "name", "second ten", "two"}));
}

TEST(SearchResultSorting, OneRowOrABadColumnChangesNothing) {
    SearchResults r;
    r.addHit(hitOf(SearchArea::Script, 1, "b", 0, 10, "x"));
    r.sortByColumn(ColumnLine);
    r.addHit(hitOf(SearchArea::Script, 2, "a", 0, 3, "y"));
    // The click on a single row did not count as the first click on the column.
    r.sortByColumn(ColumnLine);
    EXPECT_EQ(column(r, ColumnContent), (std::vector<std::string>{"y", "x"}));
    r.sortByColumn(7);
    r.sortByColumn(-1);
    EXPECT_EQ(column(r, ColumnContent), (std::vector<std::string>{"y", "x"}));
}

TEST(SearchResultSorting, LeadingNumbers) {
    const std::pair<const char*, double> cases[] = {{"0012", 12},      {"", 0},
                                                    {"イベント名", 0}, {"0003:Cellar(002,015)", 3},
                                                    {"-4x", -4},       {"07", 7}};
    for (const auto& [cell, value] : cases) EXPECT_EQ(leadingNumber(cell), value) << cell;
}

TEST(SearchResultTargets, RowsLeadToTheirViewerPage) {
    SearchResults r;
    r.addHit(hitOf(SearchArea::CommonEvent, 5, "Opening", 0, 12, "x"));
    r.addHit(mapHit(3, true, 7, 2, 4));
    r.addHit(hitOf(SearchArea::Database, 1, "アクター", 0, 0, "x"));
    r.addHit(hitOf(SearchArea::BattleEvent, 2, "Slimes", 3, 1, "x"));
    r.addHit(hitOf(SearchArea::Script, 12, "Main", 0, 40, "x"));
    r.addHit(mapHit(3, true, 1, 2, LineAppearanceCondition));  // no line of the listing
    struct Expect {
        ViewerTarget::Kind kind;
        int item, mapId, page, line;
    };
    const Expect expected[] = {{ViewerTarget::CommonEvent, 5, 0, 0, 12},
                               {ViewerTarget::MapEvent, 7, 3, 2, 4},
                               {ViewerTarget::None, 0, 0, 0, 0},
                               {ViewerTarget::Troop, 2, 0, 3, 1},
                               {ViewerTarget::Script, 12, 0, 0, 40},
                               {ViewerTarget::MapEvent, 1, 3, 2, 0}};
    for (size_t i = 0; i < r.size(); ++i) {
        ViewerTarget t = r.targetOf(i);
        EXPECT_EQ(t.kind, expected[i].kind) << i;
        EXPECT_EQ(t.item, expected[i].item) << i;
        EXPECT_EQ(t.mapId, expected[i].mapId) << i;
        EXPECT_EQ(t.page, expected[i].page) << i;
        EXPECT_EQ(t.line, expected[i].line) << i;
    }
    EXPECT_EQ(r.targetOf(99).kind, ViewerTarget::None);
}

TEST(SearchResultCsv, SavesSevenQuotedCellsPerRowWithoutHeading) {
    if (!ztest::haveProgram("iconv")) GTEST_SKIP() << "iconv is not installed";
    ztest::TempDir dir;
    SearchResults r;
    EXPECT_FALSE(r.saveCsv(dir.file("empty.csv")));
    EXPECT_FALSE(std::ifstream(dir.file("empty.csv")).good()) << "an empty list writes no file";

    r.addHit(hitOf(SearchArea::Script, 3, "Ma\"in", 0, 7, "p \"x\"～"));
    r.addHit(mapHit(3, true, 1, 2, LineAppearanceCondition));
    ASSERT_TRUE(r.saveCsv(dir.file("hits.csv")));
    std::string expectedUtf8 =
        "\"スクリプト\",\"\",\"\",\"003:Ma\"\"in\",\"\",\"0007\",\"p \"\"x\"\"～\"\r\n"
        "\"マップイベント\",\"Town/House/Cellar\",\"0003:Cellar(002,015)\",\"001:Rat\",\"02\","
        "\"イベント出現条件\",\"c\"\r\n";
    ztest::writeFile(dir.file("expected.txt"), expectedUtf8);
    std::string expectedCp932;
    ASSERT_EQ(ztest::run("iconv -f UTF-8 -t CP932 " + ztest::shellQuote(dir.file("expected.txt")),
                         &expectedCp932),
              0);
    EXPECT_EQ(ztest::readFile(dir.file("hits.csv")), expectedCp932);

    ASSERT_TRUE(r.saveCsv(dir.file("utf8.csv"), CsvEncoding::Utf8));
    // UTF-8 CSV starts with a byte-order mark, so spreadsheets read it as UTF-8.
    EXPECT_EQ(ztest::readFile(dir.file("utf8.csv")), "\xEF\xBB\xBF" + expectedUtf8);
    EXPECT_FALSE(r.saveCsv(dir.file("no/such/folder/x.csv")));
}

}  // namespace

namespace {

// Kana, CJK ideographs, full-width forms and the Japanese punctuation block.
bool hasJapanese(const std::string& s) {
    for (size_t i = 0; i + 2 < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c & 0xF0) != 0xE0) continue;
        char32_t cp = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                      (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
        if ((cp >= 0x3000 && cp <= 0x30FF) || (cp >= 0x3400 && cp <= 0x9FFF) ||
            (cp >= 0xFF00 && cp <= 0xFFEF))
            return true;
    }
    return false;
}

}  // namespace

// Every kind of search over the sample in English: outside the project's own text (names,
// messages, file names in the map, event and content cells) nothing is Japanese.
TEST(EnglishSearch, EveryKindOverTheSampleReadsInEnglish) {
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject()));
    db.idsOnly = true;  // labels are ids alone, so a condition's content is the program's words
    const auto english = ListingLanguage::English;
    std::vector<std::string> commands = commandNames(english);
    ASSERT_GE(commands.size(), 6u);
    auto allRanges = [](SearchPanel& p) {
        for (RangeRow& r : p.ranges) r = {true, true, 1};
    };
    const std::vector<std::function<void(SearchPanel&)>> kinds = {
        [](SearchPanel& p) {
            p.kind = SearchKind::Switch;
            p.switches = {{{{true, 1}, {true, 2}}}, false, true, true, true};
        },
        [](SearchPanel& p) {
            p.kind = SearchKind::Variable;
            p.variables = {{{{true, 1}, {true, 2}}}, false, true, true, true};
        },
        [](SearchPanel& p) {
            p.kind = SearchKind::CommonEvent;
            p.commonEvents = {{{true, 1}, {true, 2}}};
        },
        [](SearchPanel& p) {
            p.kind = SearchKind::Text;
            p.text = "e";
            p.textTargets.fill(true);
        },
        [&](SearchPanel& p) {
            p.kind = SearchKind::EventCommand;
            for (size_t i = 0; i < p.commands.size(); ++i) p.commands[i] = {true, commands[i]};
        },
        [](SearchPanel& p) {
            p.kind = SearchKind::MissingFile;
            p.missingFiles = true;
        },
    };
    for (const ColumnInfo& c : resultColumns()) EXPECT_FALSE(hasJapanese(c.heading(english)));
    size_t rows = 0;
    for (const auto& kind : kinds) {
        SearchPanel panel;
        kind(panel);
        allRanges(panel);
        ValidatedSearch checked = validateSearch(panel, nullptr, english);
        ASSERT_TRUE(checked.ok()) << checked.error;
        SearchResults results(english);
        std::atomic<bool> abort{false};
        SearchSummary summary =
            runSearch(checked.request, db, SearchSettings{false, false, english}, results, abort);
        EXPECT_FALSE(hasJapanese(summary.title)) << summary.title;
        EXPECT_GT(results.size(), 0u) << summary.title;
        rows += results.size();
        for (const ResultRow& row : results.rows()) {
            const auto& cells = row.cells;
            std::string own = cells[ColumnArea] + cells[ColumnPage] + cells[ColumnLine];
            // A database's name, a map's own settings and conditions are the program's words.
            if (row.hit.area == SearchArea::Database ||
                (row.hit.area == SearchArea::MapEvent && !row.hit.hasEvent))
                own += cells[ColumnEvent];
            if (row.hit.line == LineStartCondition || row.hit.line == LineAppearanceCondition)
                own += cells[ColumnContent];
            EXPECT_FALSE(hasJapanese(own)) << own;
        }
    }
    EXPECT_GT(rows, 100u);
    // The warnings, the range's name in them too.
    SearchPanel bad;
    bad.kind = SearchKind::Text;
    bad.text = "e";
    bad.textTargets.fill(true);
    for (size_t i = 0; i < bad.ranges.size(); ++i) bad.ranges[i] = {i == ScopeMaps, false, 0};
    std::string error = validateSearch(bad, nullptr, english).error;
    EXPECT_TRUE(!error.empty() && !hasJapanese(error)) << error;
    bad.ranges = {};
    error = validateSearch(bad, nullptr, english).error;
    EXPECT_TRUE(!error.empty() && !hasJapanese(error)) << error;
}

// Documents of a small project that Ruby's Marshal wrote: listing lines, condition blocks
// of every kind in both forms, scripts, the outcomes, and the document encodings. Expected
// texts are put together from the documented markup pairs and command names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/condition_block.h"
#include "documents/document_writer.h"
#include "map/map_data.h"
#include "project/project_database.h"
#include "project/project_fixture.h"
#include "text/text_matcher.h"

using namespace zorvane;

namespace {

const char* const kProject = R"RUBY(
require 'zlib'
save('System.rxdata', RPG::System.new(switches: [nil, 'Door & "Gate"'], variables: [nil, 'V'],
  elements: [nil], words: RPG::System::Words.new))
comments = ->(n) { Array.new(n) { |i| cmd(108, 0, "c#{i}") } }
nine = [cmd(101, 0, 'a<b'), cmd(401, 0, 'ends &'), cmd(108, 2, 'deep')] + comments.(5) + [cmd(0, 0)]
save('CommonEvents.rxdata', [nil,
  RPG::CommonEvent.new(name: 'Nine', trigger: 0, switch_id: 1, list: nine),
  RPG::CommonEvent.new(name: 'Ten', trigger: 0, switch_id: 1, list: comments.(9) + [cmd(0, 0)]),
  RPG::CommonEvent.new(name: 'Empty', trigger: 0, switch_id: 1, list: [cmd(0, 0)]),
  RPG::CommonEvent.new(name: 'Café', trigger: 1, switch_id: 1, list: [cmd(0, 0)])])
save('Troops.rxdata', [nil, RPG::Troop.new(name: 'T<1>', members: [], pages: [
  RPG::Troop::Page.new(span: 1, list: [cmd(0, 0)], condition: RPG::Troop::Page::Condition.new(
    turn_valid: true, turn_a: 1, turn_b: 2, switch_valid: true, switch_id: 1))])])
save('Scripts.rxdata', [[1, 'A', Zlib::Deflate.deflate("a\r\nb\r\n")],
  [2, 'Empty', Zlib::Deflate.deflate('')], [3, 'H', Zlib::Deflate.deflate("x = '<b>' # </pre>\n")]])
page = RPG::Event::Page.new(list: [cmd(0, 0)], move_type: 3, move_speed: 4, move_frequency: 6,
  walk_anime: true, step_anime: false, direction_fix: true, through: false, always_on_top: false,
  trigger: 2,
  condition: RPG::Event::Page::Condition.new(switch2_valid: true, switch2_id: 1, variable_valid: true,
    variable_id: 1, variable_value: 5, self_switch_valid: true, self_switch_ch: 'B'),
  graphic: RPG::Event::Page::Graphic.new(tile_id: 394, character_name: '', character_hue: 0,
    direction: 2, pattern: 0, opacity: 200, blend_type: 2))
save('Map001.rxdata', RPG::Map.new(width: 1, height: 1, events: {
  3 => RPG::Event.new(id: 3, name: 'Gate "<1>"', x: 0, y: 0, pages: [page])}))
)RUBY";

class DocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
        ASSERT_TRUE(ztest::makeProject(dir, kProject));
        ASSERT_TRUE(db.open(dir.file("Game.rxproj")));
        ztest::writeFile(dir.file("header.html"), "H\n");
        ztest::writeFile(dir.file("footer.html"), "F\n");
        useTemplateFolder(options, dir.path());
        ASSERT_TRUE(map.load(db, 1, false));
    }

    DocumentResult write(DocumentKind kind, int id, int page = 1) {
        DocumentSources sources{db, &map, &rules, matcher};
        return writeEventDocument(sources, {kind, id, page}, options);
    }
    // The document without its templates.
    std::string body(DocumentKind kind, int id, int page = 1) {
        DocumentResult result = write(kind, id, page);
        EXPECT_TRUE(result.written()) << result.message;
        if (!options.html) return result.bytes;
        EXPECT_EQ(result.bytes.substr(0, 2), "H\n");
        EXPECT_EQ(result.bytes.substr(result.bytes.size() - 2), "F\n");
        return result.bytes.substr(2, result.bytes.size() - 4);
    }

    ztest::TempDir dir;
    ProjectDatabase db;
    MapData map;
    DocumentOptions options;
    ColourRules rules;
    TextMatcher noMatcher{MatcherLibrary::None};
    TextMatcher regexMatcher;
    const TextMatcher* matcher = &noMatcher;
};

std::vector<std::string> listingLines(const std::string& html) {
    size_t start = html.find("<pre class=\"event\">");
    size_t end = html.find("</pre>\r\n");
    std::vector<std::string> lines;
    if (start == std::string::npos || end == std::string::npos) return lines;
    std::string pre = html.substr(start + 19, end - start - 19);
    for (size_t pos = 0, next; (next = pre.find("\r\n", pos)) != std::string::npos; pos = next + 2)
        lines.push_back(pre.substr(pos, next - pos));
    return lines;
}

std::string numbered(const std::string& number, const std::string& rest) {
    return "<font class=\"linenum\">" + number + "</font> " + rest;
}

}  // namespace

TEST_F(DocumentTest, ListingLinesNumbersIndentMarkersAndEscaping) {
    std::vector<std::string> nine = listingLines(body(DocumentKind::CommonEvent, 1));
    ASSERT_EQ(nine.size(), 9u);
    EXPECT_EQ(nine[0], numbered("1",
                                "<font class=\"code000\">◆</font><font class=\"code101\">"
                                "文章：a&lt;b</font>"));
    // A continuation line keeps its own marker.
    EXPECT_EQ(nine[1], numbered("2",
                                "<font class=\"code000\">：</font><font class=\"code401\">"
                                "　　：ends &amp;</font>"));
    EXPECT_EQ(nine[2], numbered("3",
                                "　　<font class=\"code000\">◆</font><font "
                                "class=\"code108\">注釈：deep</font>"));
    EXPECT_EQ(nine[8], numbered("9", "<font class=\"code000\">◆</font>"));

    std::vector<std::string> ten = listingLines(body(DocumentKind::CommonEvent, 2));
    ASSERT_EQ(ten.size(), 10u);
    EXPECT_EQ(ten[0].substr(0, 27), "<font class=\"linenum\"> 1</f");
    EXPECT_EQ(ten[9], numbered("10", "<font class=\"code000\">◆</font>"));
}

TEST_F(DocumentTest, TroopPageInBothForms) {
    options.detail = false;
    EXPECT_EQ(body(DocumentKind::BattleEvent, 1, 1),
              "<h3>バトルイベント[001:T&lt;1&gt;] 01ページ目</h3>\r\n"
              "<div class=\"condition\"><dl>\r\n"
              "<dt>条件</dt>\r\n<dd>ターン1+2x<br>\r\n"
              "スイッチ[0001:Door &amp; &quot;Gate&quot;]がON<br>\r\n</dd>\r\n"
              "<dt>スパン</dt>\r\n<dd>ターン<br>\r\n</dd>\r\n"
              "</dl>\r\n</div>\r\n"
              "<pre class=\"event\"><font class=\"linenum\">1</font> "
              "<font class=\"code000\">◆</font>\r\n</pre>\r\n");
    options.html = false;
    EXPECT_EQ(body(DocumentKind::BattleEvent, 1, 1),
              "バトルイベント[001:T<1>] 01ページ目\r\n\r\n"
              "条件\r\n　ターン1+2x\r\n　スイッチ[0001:Door & \"Gate\"]がON\r\n\r\n"
              "スパン\r\n　ターン\r\n\r\n\r\n\r\n"
              "1 ◆\r\n\r\n");
}

TEST_F(DocumentTest, MapPageAndCommonEventConditionsAsText) {
    options.html = false;
    options.lineNumbers = false;
    EXPECT_EQ(
        body(DocumentKind::MapEvent, 3, 1),
        "マップイベント[003:Gate \"<1>\"] 01ページ目\r\n\r\n"
        "条件\r\n　スイッチ：スイッチ[0001:Door & \"Gate\"]がON\r\n　変数：変数[0001:V]が5以上\r\n"
        "　セルフスイッチ：BがON\r\n\r\n"
        "グラフィック\r\n　ファイル：タイルセット\r\n　位置：(2,1)\r\n　色相：0\r\n"
        "　不透明度：200\r\n　合成方法：減算\r\n\r\n"
        "自律移動\r\n　タイプ：カスタム\r\n　速度：4:Fast\r\n　頻度：6:Highest\r\n\r\n"
        "オプション\r\n　移動時アニメ：○\r\n　停止時アニメ：×\r\n　向き固定：○\r\n"
        "　すり抜け：×\r\n　最前面に表示：×\r\n\r\n"
        "トリガー\r\n　イベントから接触\r\n\r\n\r\n\r\n"
        "◆\r\n\r\n");
    EXPECT_EQ(
        body(DocumentKind::CommonEvent, 4),
        "コモンイベント[004:Café]\r\n\r\n"
        "トリガー\r\n　自動実行\r\n\r\n条件スイッチ\r\n　[0001:Door & \"Gate\"]\r\n\r\n\r\n\r\n"
        "◆\r\n\r\n");
}

// A troop page without conditions never runs, a map event page without them always applies:
// the two say opposite things.
TEST_F(DocumentTest, PagesWithoutConditionsSayWhetherTheyRun) {
    std::vector<ConditionSection> map = mapPageSections(MapEventPage{}, db, true);
    std::vector<ConditionSection> troop = troopPageSections(TroopPage{}, 1, db, true);
    ASSERT_FALSE(map.empty());
    ASSERT_FALSE(troop.empty());
    EXPECT_EQ(std::string(map[0].title), "条件");
    EXPECT_EQ(map[0].items, std::vector<std::string>{"なし"});
    EXPECT_EQ(std::string(troop[0].title), "条件");
    EXPECT_EQ(troop[0].items, std::vector<std::string>{"実行しない"});
}

struct ScriptCase {
    int id;
    bool html, lineNumbers, colour;
    const char* body;
};

class ScriptDocument : public DocumentTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptDocument, Block) {
    const ScriptCase& c = GetParam();
    options.html = c.html;
    options.lineNumbers = c.lineNumbers;
    if (c.colour) {
        rules = parseColourRules("#.*\tcomment");
        regexMatcher.load();
        matcher = &regexMatcher;
    }
    EXPECT_EQ(body(DocumentKind::Script, c.id), c.body);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptDocument,
    ::testing::Values(
        // A text that ends with a line break gets one more, empty, numbered line.
        ScriptCase{1, true, true, false,
                   "<h3>スクリプト[001:A]</h3>\r\n<pre class=\"script\"><font "
                   "class=\"linenum\">1</font> a\r\n"
                   "<font class=\"linenum\">2</font> b\r\n<font class=\"linenum\">3</font> \r\n"
                   "</pre><br>\r\n"},
        ScriptCase{1, false, true, false, "a\r\nb\r\n\r\n"},  // never numbered as text
        ScriptCase{3, true, false, false,
                   "<h3>スクリプト[003:H]</h3>\r\n<pre class=\"script\">x = '&lt;b&gt;' # "
                   "&lt;/pre&gt;\n</pre><br>\r\n"},
        ScriptCase{3, true, false, true,
                   "<h3>スクリプト[003:H]</h3>\r\n<pre class=\"script\">x = '&lt;b&gt;' <font "
                   "class=\"comment\"># "
                   "&lt;/pre&gt;</font>\r\n</pre><br>\r\n"}));

TEST_F(DocumentTest, WrittenSkippedOrFailed) {
    struct Case {
        DocumentKind kind;
        int id, page;
        bool skipEmpty;
        DocumentOutcome outcome;
        const char* message;  // failures only
    };
    const Case cases[] = {
        {DocumentKind::CommonEvent, 3, 1, false, DocumentOutcome::Written, ""},
        {DocumentKind::CommonEvent, 3, 1, true, DocumentOutcome::Skipped, ""},
        {DocumentKind::CommonEvent, 0, 1, false, DocumentOutcome::Skipped, ""},
        {DocumentKind::CommonEvent, 99, 1, false, DocumentOutcome::Failed,
         "コモンイベント[99]の取得に失敗しました"},
        {DocumentKind::BattleEvent, 1, 0, false, DocumentOutcome::Skipped, ""},
        {DocumentKind::BattleEvent, 1, 5, false, DocumentOutcome::Failed,
         "バトルイベント[1-5]の取得に失敗しました"},
        {DocumentKind::MapEvent, 3, 2, false, DocumentOutcome::Skipped, ""},
        {DocumentKind::MapEvent, 9, 1, false, DocumentOutcome::Failed,
         "マップイベント[9-1]の取得に失敗しました"},
        {DocumentKind::Script, 2, 1, false, DocumentOutcome::Written, ""},
        {DocumentKind::Script, 2, 1, true, DocumentOutcome::Skipped, ""},
        {DocumentKind::Script, 4, 1, false, DocumentOutcome::Failed,
         "スクリプト[4]の取得に失敗しました"},
    };
    for (const Case& c : cases) {
        options.skipEmpty = c.skipEmpty;
        DocumentResult result = write(c.kind, c.id, c.page);
        SCOPED_TRACE(std::to_string(int(c.kind)) + " " + std::to_string(c.id));
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome == DocumentOutcome::Failed) {
            EXPECT_EQ(result.message, c.message);
        }
        if (c.outcome != DocumentOutcome::Written) {
            EXPECT_TRUE(result.bytes.empty());
        }
    }
    map.clear();  // a map that is not loaded
    EXPECT_EQ(write(DocumentKind::MapEvent, 3, 1).message, "マップイベントオブジェクトが不正です");

    // A missing footer stops a text document too.
    options.html = false;
    options.footerTemplate = dir.file("missing.html");
    DocumentResult noFooter = write(DocumentKind::CommonEvent, 1);
    EXPECT_EQ(noFooter.outcome, DocumentOutcome::Failed);
    EXPECT_EQ(noFooter.message,
              "テンプレートファイル " + dir.file("missing.html") + " の読み込みに失敗しました");
    EXPECT_EQ(noFooter.failedPath, dir.file("missing.html"));
}

TEST_F(DocumentTest, DocumentsFollowTheHeaderOrTheOutputEncoding) {
    if (!ztest::haveProgram("iconv")) GTEST_SKIP() << "iconv is not installed";
    auto cp932 = [](const std::string& utf8) {
        std::string out;
        ztest::run("printf %s " + ztest::shellQuote(utf8) + " | iconv -f UTF-8 -t CP932", &out);
        return out;
    };
    options.lineNumbers = false;
    EXPECT_NE(write(DocumentKind::CommonEvent, 4).bytes.find("コモンイベント[004:Café]"),
              std::string::npos)
        << "a UTF-8 header takes project text as it is";

    std::string sjisHeader = "<meta charset=\"Shift_JIS\">" + cp932("テンプレート") + "\n";
    ztest::writeFile(dir.file("header.html"), sjisHeader);
    std::string html = write(DocumentKind::CommonEvent, 4).bytes;
    EXPECT_EQ(html.substr(0, sjisHeader.size()), sjisHeader) << "the template is copied as it is";
    EXPECT_NE(html.find(cp932("<h3>コモンイベント[004:Caf") + "&#233;]</h3>"), std::string::npos);

    options.html = false;
    options.textEncoding = OutputEncoding::Cp932;
    std::string heading = cp932("コモンイベント[004:Caf") + "?]\r\n";
    EXPECT_EQ(write(DocumentKind::CommonEvent, 4).bytes.substr(0, heading.size()), heading);
    options.textEncoding = OutputEncoding::Automatic;  // Game.ini here is not Shift_JIS
    heading = "コモンイベント[004:Café]\r\n";
    EXPECT_EQ(write(DocumentKind::CommonEvent, 4).bytes.substr(0, heading.size()), heading);
}

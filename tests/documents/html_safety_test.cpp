// Markup in project text never becomes markup: documents of the sample project's hostile
// common event and script, parsed by Python's own HTML parser, hold exactly the elements
// the writer puts there, and the project's text comes back as text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "documents/document_writer.h"
#include "listing/operands.h"
#include "map/map_data.h"
#include "project/project_database.h"
#include "support/test_support.h"
#include "text/text_matcher.h"

using namespace zorvane;

namespace {

// Prints the start tags (name and class), the text inside <h3>, <pre> and <title>, and
// whether a <dl> was opened inside a <p>, as JSON.
const char* const kParser = R"PY(
import json, sys
from html.parser import HTMLParser

class Collect(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags, self.open, self.h3, self.pre = [], [], '', ''
        self.title, self.dl_in_p = '', False
    def handle_starttag(self, tag, attrs):
        self.tags.append([tag, dict(attrs).get('class', '')])
        if tag == 'dl' and 'p' in self.open:
            self.dl_in_p = True
        if tag != 'br':
            self.open.append(tag)
    def handle_endtag(self, tag):
        if tag in self.open:
            del self.open[len(self.open) - 1 - self.open[::-1].index(tag)]
    def handle_data(self, data):
        if 'h3' in self.open: self.h3 += data
        if 'pre' in self.open: self.pre += data
        if 'title' in self.open: self.title += data

p = Collect()
p.feed(open(sys.argv[1], encoding='utf-8', newline='').read())
p.close()
print(json.dumps({'tags': p.tags, 'h3': p.h3, 'pre': p.pre, 'unclosed': p.open,
                  'title': p.title, 'dl_in_p': p.dl_in_p}))
)PY";

class HtmlSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ztest::haveProgram("python3")) GTEST_SKIP() << "python3 is not installed";
        ASSERT_TRUE(db.open(ztest::sampleProject()));
        ztest::writeFile(dir.file("header.html"), "<html><body>\n");
        ztest::writeFile(dir.file("footer.html"), "</body></html>\n");
        ztest::writeFile(dir.file("parse.py"), kParser);
        useTemplateFolder(options, dir.path());
        options.lineNumbers = false;
        matcher.load();
        rules = loadColourRules(ztest::sourceDir() + "/template/ruby_color.txt");
    }

    nlohmann::json parse(DocumentKind kind, int id, const MapData* map = nullptr) {
        DocumentSources sources{db, map, &rules, &matcher};
        DocumentResult document = writeEventDocument(sources, {kind, id, 1}, options);
        EXPECT_TRUE(document.written()) << document.message;
        ztest::writeFile(dir.file("doc.html"), document.bytes);
        std::string out;
        EXPECT_EQ(ztest::run("python3 " + dir.file("parse.py") + " " + dir.file("doc.html"), &out),
                  0);
        return nlohmann::json::parse(out);
    }

    ztest::TempDir dir;
    ProjectDatabase db;
    DocumentOptions options;
    TextMatcher matcher;
    ColourRules rules;
};

}  // namespace

TEST_F(HtmlSafety, HostileCommonEvent) {
    int id = static_cast<int>(db.commonEvents().size()) - 1;
    ASSERT_EQ(db.commonEvents()[size_t(id)].name, "</pre><script>alert(\"name\")</script> & \"q\"");
    EventCommandList list;
    ASSERT_TRUE(readCommandList(db.commonEventsFile(), commonEventListPath(id), list));
    nlohmann::json doc = parse(DocumentKind::CommonEvent, id);

    std::vector<std::string> expected = {"html", "body", "h3", "div condition", "dl",
                                         "dt",   "dd",   "br", "pre event"};
    // The closing command (code 0) is its marker alone.
    for (const EventCommand& command : list.commands) {
        expected.push_back("font code000");
        if (command.code != 0) expected.push_back("font code" + format("%03d", command.code));
    }
    std::vector<std::string> tags;
    for (const auto& tag : doc["tags"]) {
        std::string cls = tag[1];
        tags.push_back(tag[0].get<std::string>() + (cls.empty() ? "" : " " + cls));
    }
    EXPECT_EQ(tags, expected);
    EXPECT_TRUE(doc["unclosed"].empty()) << doc["unclosed"].dump();
    EXPECT_EQ(doc["h3"], "コモンイベント[" + format("%03d", id) + ":" +
                             db.commonEvents()[size_t(id)].name + "]");
    std::string pre = doc["pre"];
    for (const char* text : {"<script>alert(\"text\")</script> a<b", "</pre><b>bold</b> ends in &",
                             "</pre><script>alert(1)</script>", "\"No\" & </pre>", "&amp;"})
        EXPECT_NE(pre.find(text), std::string::npos) << text;
}

TEST_F(HtmlSafety, HostileScriptColouredAndNot) {
    const Script& script = db.scripts().back();
    ASSERT_NE(script.text.find("</pre><script>"), std::string::npos);
    std::set<std::string> classes;
    for (const ColourRule& rule : rules) classes.insert(rule.className);
    std::string crlf;
    for (char c : script.text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    for (bool coloured : {true, false}) {
        if (!coloured) matcher.release();
        nlohmann::json doc = parse(DocumentKind::Script, static_cast<int>(db.scripts().size()));
        size_t fonts = 0;
        for (const auto& tag : doc["tags"]) {
            std::string name = tag[0];
            if (name == "font") ++fonts;
            std::string cls = tag[1];
            if (name == "font")
                EXPECT_EQ(classes.count(cls), 1u) << tag.dump();
            else if (name == "pre")
                EXPECT_EQ(cls, "script");
            else
                EXPECT_TRUE(name == "html" || name == "body" || name == "br" || name == "h3")
                    << name;
        }
        EXPECT_EQ(fonts > 0, coloured);
        EXPECT_TRUE(doc["unclosed"].empty()) << doc["unclosed"].dump();
        EXPECT_EQ(doc["pre"], coloured ? crlf : script.text);
    }
}

// With the program's own templates, each kind of document is named in its <title> (the
// kind, the id as the program numbers it, the name) and its condition block is valid HTML.
TEST_F(HtmlSafety, TitleNamesTheDocumentAndNoListStandsInAParagraph) {
    useTemplateFolder(options, ztest::sourceDir() + "/template");
    MapData map;
    int eventId = 0;
    for (const auto& [mapId, info] : db.mapInfos()) {
        if (!map.load(db, mapId, false) || map.events.empty()) continue;
        eventId = map.events.begin()->first;
        break;
    }
    ASSERT_GT(eventId, 0) << "the sample has a map with events";
    struct Case {
        DocumentKind kind;
        int id;
        std::string kindWord, name;
    };
    const Case cases[] = {
        {DocumentKind::CommonEvent, 1, "コモンイベント", db.commonEvents()[1].name},
        {DocumentKind::BattleEvent, 1, "バトルイベント", db.troops()[1].name},
        {DocumentKind::MapEvent, eventId, "マップイベント", map.events.at(eventId).name},
        {DocumentKind::Script, 1, "スクリプト", db.scripts()[0].title},
    };
    for (const Case& c : cases) {
        nlohmann::json doc = parse(c.kind, c.id, &map);
        std::string title = doc["title"];
        for (const std::string& part : {c.kindWord, format("[%03d:", c.id) + c.name})
            EXPECT_NE(title.find(part), std::string::npos) << title << " lacks " << part;
        EXPECT_FALSE(doc["dl_in_p"].get<bool>()) << title;
        EXPECT_EQ(doc["h3"], title.substr(title.find(c.kindWord))) << "the heading names it too";
    }
}

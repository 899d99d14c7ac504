// Markup in project text never becomes markup: documents of the sample project's hostile
// common event and script, parsed by Python's own HTML parser, hold exactly the elements
// the writer puts there, and the project's text comes back as text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "documents/document_writer.h"
#include "listing/operands.h"
#include "project/project_database.h"
#include "support/test_support.h"
#include "text/text_matcher.h"

using namespace zorvane;

namespace {

// Prints the start tags (name and class) and the text inside <h3> and <pre> as JSON.
const char* const kParser = R"PY(
import json, sys
from html.parser import HTMLParser

class Collect(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags, self.open, self.h3, self.pre = [], [], '', ''
    def handle_starttag(self, tag, attrs):
        self.tags.append([tag, dict(attrs).get('class', '')])
        if tag != 'br':
            self.open.append(tag)
    def handle_endtag(self, tag):
        if tag in self.open:
            del self.open[len(self.open) - 1 - self.open[::-1].index(tag)]
    def handle_data(self, data):
        if 'h3' in self.open: self.h3 += data
        if 'pre' in self.open: self.pre += data

p = Collect()
p.feed(open(sys.argv[1], encoding='utf-8', newline='').read())
p.close()
print(json.dumps({'tags': p.tags, 'h3': p.h3, 'pre': p.pre, 'unclosed': p.open}))
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

    nlohmann::json parse(DocumentKind kind, int id) {
        DocumentSources sources{db, nullptr, &rules, &matcher};
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

    std::vector<std::string> expected = {"html", "body", "h3", "p condition", "dl",
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
                EXPECT_TRUE(name == "html" || name == "body" || name == "br") << name;
        }
        EXPECT_EQ(fonts > 0, coloured);
        EXPECT_TRUE(doc["unclosed"].empty()) << doc["unclosed"].dump();
        EXPECT_EQ(doc["pre"], coloured ? crlf : script.text);
    }
}

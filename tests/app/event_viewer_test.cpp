// The event viewer on a copy of the sample project, in the real web view under Xvfb: the
// lists of each kind, the documents the browser shows (read back from its page), opening at
// a search hit, saving by the chosen name, the page graphic's frames, template failures and
// the main window's return. Expected names and counts come from Ruby's Marshal
// (read_names.rb). One viewer serves the suite: each one starts a web process.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <memory>
#include <set>

#include "app/app_context.h"
#include "app/document_view.h"
#include "app/event_viewer.h"
#include "app/gui_test_support.h"
#include "app/main_frame.h"
#include "app/map_tree_picker.h"
#include "app/page_graphic_area.h"
#include "app/results_window.h"
#include "app/ruby_names.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "search/search_engine.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;
using Facts = std::map<std::string, std::vector<std::vector<std::string>>>;

using ztest::send;

std::string num3(const std::string& id) {
    char buf[16];
    snprintf(buf, sizeof buf, "%03d", std::stoi(id));
    return buf;
}

std::set<fs::path> listing(const std::string& folder) {
    return {fs::directory_iterator(folder), fs::directory_iterator()};
}

struct Suite {
    ztest::TempDir dir;
    std::string project, data, templates;
    Facts facts;
    AppContext context;
    MainFrame* frame = nullptr;
};

class EventViewerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        auto s = std::make_unique<Suite>();
        s->context.commonFiles = ztest::sourceDir() + "/sample/CommonFiles";
        // The program looks beside itself; the tests run one folder down.
        s->context.documentViewModule =
            std::string(ZORVANE_BINARY_DIR) + "/" + kDocumentViewModuleName;
        s->project = ztest::copySampleProject(s->dir.path());
        if (s->project.empty()) return;
        fs::create_directory_symlink(fs::path(ztest::sampleProject()).parent_path() / "Graphics",
                                     s->dir.file("Graphics"));
        s->data = s->dir.file("Data");
        s->facts = ztest::rubyNames(s->data, "--add-fixtures");
        // Templates in a folder whose name needs escaping in an address, with a style sheet
        // the header refers to relatively.
        s->templates = s->dir.file("tpl #1 テンプレ 100%");
        fs::create_directory(s->templates);
        for (const char* name : {"header.html", "footer.html", "ruby_color.txt"})
            fs::copy_file(ztest::sourceDir() + "/template/" + name, s->templates + "/" + name);
        std::string header = ztest::readFile(s->templates + "/header.html");
        header.insert(header.find("</head>"), "<link rel=\"stylesheet\" href=\"check me.css\">\n");
        ztest::writeFile(s->templates + "/header.html", header);
        ztest::writeFile(s->templates + "/check me.css", "h3 { color: rgb(1, 2, 3); }\n");

        fs::remove(settingsFilePath());
        joinEventViewer(s->context);
        s->frame = startApplication(s->context, {s->project});
        // A window hidden before the system has mapped it is shown again by the map itself:
        // wait for the main window's first paint before a viewer hides it.
        auto painted = std::make_shared<bool>(false);
        s->frame->tabs()->GetCurrentPage()->Bind(wxEVT_PAINT, [painted](wxPaintEvent& event) {
            *painted = true;
            event.Skip();
        });
        ztest::pumpUntil([&] { return *painted; }, 30000);
        EventViewerSettings& viewer = s->context.settings.eventViewer;
        viewer.template1 = s->templates + "/header.html";
        viewer.template2 = s->templates + "/footer.html";
        viewer.rubyColor = s->templates + "/ruby_color.txt";
        viewer.lastView = 0;
        suite_ = std::move(s);
    }

    static void TearDownTestSuite() {
        if (!suite_) return;
        if (EventViewer* open = findViewer()) open->Close(true);
        wxWeakRef<MainFrame> frame(suite_->frame);
        if (frame) frame->Destroy();
        ztest::pumpUntil([&] { return !frame && !findViewer(); }, 30000);
        suite_.reset();
    }

    void SetUp() override {
        if (!suite_ || suite_->facts.empty()) GTEST_SKIP() << "no sample project or no Ruby";
    }

    static EventViewer* findViewer() {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* viewer = dynamic_cast<EventViewer*>(window))
                if (!wxPendingDelete.Member(viewer)) return viewer;
        return nullptr;
    }

    // The open viewer; the main window's command opens it when there is none, showing the
    // first item of its list at once.
    static EventViewer* viewer() {
        if (EventViewer* open = findViewer()) return open;
        wxCommandEvent command(wxEVT_MENU, kCmdEventViewer);
        suite_->frame->ProcessWindowEvent(command);
        EventViewer* opened = findViewer();
        if (opened && opened->itemList()->GetCount() > 0) {
            EXPECT_TRUE(ztest::pumpUntil([&] { return opened->documentsLoaded() > 0; }, 30000))
                << "the viewer opens on a document, not an empty pane";
            EXPECT_EQ(opened->itemList()->GetSelection(), 0);
        }
        return opened;
    }

    // A new list shows its first item (waited for here, so it never lands on a later pick).
    static void chooseKind(EventViewer* v, DocumentKind kind) {
        int before = v->documentsLoaded();
        v->radio(kind)->SetValue(true);
        send(v->radio(kind), wxEVT_RADIOBUTTON, 1);
        if (v->itemList()->GetCount() == 0) return;
        EXPECT_EQ(v->itemList()->GetSelection(), 0);
        EXPECT_TRUE(ztest::pumpUntil([&] { return v->documentsLoaded() > before; }, 30000));
    }

    // Clicks the item of `id`; false when there is none.
    static bool clickItem(EventViewer* v, int id) {
        int index = v->itemIndexOf(id);
        if (index >= 0) v->itemList()->SetSelection(index);
        send(v->itemList(), wxEVT_LISTBOX, index);
        return index >= 0;
    }

    // Runs `pick`, then waits until the browser has loaded one more document.
    static bool loads(EventViewer* v, const std::function<void()>& pick) {
        int before = v->documentsLoaded();
        pick();
        return ztest::pumpUntil([&] { return v->documentsLoaded() > before; }, 30000);
    }

    static std::string eval(EventViewer* v, const std::string& script) {
        wxString out;
        if (!v->browser() || !v->browser()->runScript(toWx(script), &out))
            return "(script failed)";
        return fromWx(out);
    }

    static std::string heading(EventViewer* v) {
        return eval(v, "(document.querySelector('h3') || {textContent: ''}).textContent");
    }

    const Facts& facts() const { return suite_->facts; }
    // Ruby's first row of `kind` whose leading fields are `keys`.
    std::vector<std::string> fact(const std::string& kind, const std::vector<std::string>& keys) {
        for (const auto& row : facts().at(kind))
            if (std::equal(keys.begin(), keys.end(), row.begin())) return row;
        return std::vector<std::string>(8);
    }

    static std::unique_ptr<Suite> suite_;
};

std::unique_ptr<Suite> EventViewerTest::suite_;

TEST_F(EventViewerTest, ListsFollowTheKindTheItemAndTheMap) {
    EventViewer* v = viewer();
    ASSERT_TRUE(v);
    EXPECT_FALSE(suite_->frame->IsShown()) << "the main window hides while the viewer is open";
    chooseKind(v, DocumentKind::MapEvent);
    {
        ztest::ModalDialogs dialogs([](wxDialog& dialog) {
            dynamic_cast<MapTreePicker&>(dialog).selectMap(2);
            return wxID_OK;
        });
        send(v->mapButton(), wxEVT_BUTTON, 0);
        EXPECT_EQ(dialogs.count, 1);
    }
    EXPECT_EQ(fromWx(v->mapBox()->GetValue()), "0002:" + fact("map", {"2"})[3]);

    const std::pair<DocumentKind, const char*> kinds[] = {{DocumentKind::CommonEvent, "ce"},
                                                          {DocumentKind::BattleEvent, "troop"},
                                                          {DocumentKind::MapEvent, "event"},
                                                          {DocumentKind::Script, "script"}};
    for (const auto& [kind, factKind] : kinds) {
        SCOPED_TRACE(factKind);
        chooseKind(v, kind);
        bool onMap = kind == DocumentKind::MapEvent;
        std::vector<std::string> expected, shown;
        for (std::vector<std::string> f : facts().at(factKind)) {
            if (onMap && f[0] != "2") continue;
            if (onMap) f.erase(f.begin());
            std::string position = onMap ? "(" + num3(f[2]) + "," + num3(f[3]) + ")" : "";
            expected.push_back(num3(f[0]) + ":" + position + f[1]);
        }
        for (const wxString& item : v->itemList()->GetStrings()) shown.push_back(fromWx(item));
        EXPECT_EQ(shown, expected);
        bool pages = kind == DocumentKind::BattleEvent || onMap;
        EXPECT_EQ(v->pageList()->IsEnabled() && v->pageCaption()->IsEnabled(), pages);
        EXPECT_EQ(v->mapBox()->IsEnabled() && v->mapButton()->IsEnabled(), onMap);
        EXPECT_EQ(suite_->context.settings.eventViewer.lastView, int(kind));
    }

    // A troop's pages are "1", "2", …; a common event has none.
    chooseKind(v, DocumentKind::BattleEvent);
    ASSERT_TRUE(loads(v, [&] { clickItem(v, 1); }));
    std::vector<std::string> pages, numbers;
    for (const wxString& page : v->pageList()->GetStrings()) pages.push_back(fromWx(page));
    for (int page = 1; page <= std::stoi(fact("troop", {"1"})[2]); ++page)
        numbers.push_back(std::to_string(page));
    EXPECT_EQ(pages, numbers);
    EXPECT_EQ(v->pageList()->GetSelection(), 0);
    chooseKind(v, DocumentKind::CommonEvent);
    ASSERT_TRUE(loads(v, [&] { clickItem(v, 1); }));
    EXPECT_EQ(v->pageList()->GetCount(), 0u);
    EXPECT_FALSE(v->pageList()->IsEnabled());

    // A map of the tree without a file lists no events, and the pane lets go of the
    // document of the map before.
    chooseKind(v, DocumentKind::MapEvent);
    EXPECT_NE(heading(v), "");
    v->chooseMap(8);
    EXPECT_EQ(fromWx(v->mapBox()->GetValue()), "0008:" + fact("map", {"8"})[3]);
    EXPECT_EQ(v->itemList()->GetCount(), 0u);
    EXPECT_TRUE(ztest::pumpUntil([&] { return eval(v, "document.body.textContent") == ""; }))
        << "a stale document stays after the list emptied";
}

TEST_F(EventViewerTest, BrowserShowsTheChosenDocumentAndItsGraphic) {
    EventViewer* v = viewer();
    ASSERT_TRUE(v);
    ASSERT_TRUE(loads(v, [&] { v->chooseMap(2); }));
    const auto ce = fact("ce", {"1"}), troop = fact("troop", {"3"}),
               event = fact("event", {"2", "8"});
    struct Row {
        DocumentKind kind;
        int id;
        std::string heading, code101, scriptLines, literal;
        size_t frames;
    };
    const Row rows[] = {
        {DocumentKind::CommonEvent, 1, "コモンイベント[001:" + ce[1] + "]", ce[2], "0", "", 0},
        {DocumentKind::BattleEvent, 3, "バトルイベント[003:" + troop[1] + "] 01ページ目", troop[3],
         "0", "", 0},
        // A walking villager: the four frames of its row.
        {DocumentKind::MapEvent, 8, "マップイベント[008:" + event[2] + "] 01ページ目", event[6],
         "0", "", 4},
        {DocumentKind::MapEvent, 2,
         "マップイベント[002:" + fact("event", {"2", "2"})[2] + "] 01ページ目",
         fact("event", {"2", "2"})[6], "0", "", 1},  // a tile
        {DocumentKind::Script, 2, "スクリプト[002:" + fact("script", {"2"})[1] + "]", "0",
         fact("script", {"2"})[2], "", 0},
        // Hostile scripts: markup in them is text, and no code of theirs runs.
        {DocumentKind::Script, 6, "スクリプト[006:" + fact("script", {"6"})[1] + "]", "0",
         fact("script", {"6"})[2], "</pre><script>alert(\"comment\")</script>", 0},
        {DocumentKind::Script, 7, "スクリプト[007:" + fact("script", {"7"})[1] + "]", "0",
         fact("script", {"7"})[2], "</pre><script>window.zorvaneInjected = 1;</script>", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(int(row.kind)) + ":" + std::to_string(row.id));
        chooseKind(v, row.kind);
        ASSERT_TRUE(loads(v, [&] { ASSERT_TRUE(clickItem(v, row.id)); }));
        EXPECT_EQ(heading(v), row.heading);
        EXPECT_EQ(eval(v, "document.querySelectorAll('font.code101').length"), row.code101);
        EXPECT_EQ(eval(v, "document.querySelectorAll('pre.script font.linenum').length"),
                  row.scriptLines);
        EXPECT_EQ(eval(v, "document.scripts.length + typeof window.zorvaneInjected"), "0undefined");
        EXPECT_NE(eval(v, "document.body.textContent").find(row.literal), std::string::npos);
        PageGraphicArea* graphic = v->graphic();
        EXPECT_EQ(graphic->frameCount(), row.frames);
        if (row.frames != 4) continue;
        // Four ticks of 350 ms step through the frames and back to the first.
        EXPECT_EQ(graphic->timer().GetInterval(), 350);
        ASSERT_TRUE(graphic->timer().IsRunning());
        graphic->timer().Stop();  // the ticks below are the only ones
        size_t first = graphic->shownFrame();
        for (size_t tick = 1; tick <= 4; ++tick) {
            wxTimerEvent event(graphic->timer());
            graphic->GetEventHandler()->ProcessEvent(event);
            EXPECT_EQ(graphic->shownFrame(), (first + tick) % 4);
        }
        graphic->timer().Start(PageGraphicArea::kFrameMilliseconds);
    }
}

TEST_F(EventViewerTest, DoubleClickedHitOpensItsMapEventAndPage) {
    SearchHit hit;
    hit.area = SearchArea::MapEvent;
    hit.mapId = 5;
    hit.mapName = fact("map", {"5"})[3];
    hit.hasEvent = true;
    hit.itemId = 12;
    hit.page = 3;
    auto* results = new ResultsWindow(suite_->context);
    results->addHits({hit});
    EventViewer* v = findViewer();
    int before = v ? v->documentsLoaded() : 0;
    // The double click itself: the list's activation of the row.
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, results->list()->GetId());
    activate.SetEventObject(results->list());
    activate.SetIndex(0);
    results->list()->GetEventHandler()->ProcessEvent(activate);
    ASSERT_TRUE((v = findViewer()));
    ASSERT_TRUE(ztest::pumpUntil([&] { return v->documentsLoaded() > before; }, 30000));
    EXPECT_TRUE(v->radio(DocumentKind::MapEvent)->GetValue());
    EXPECT_EQ(fromWx(v->mapBox()->GetValue()), "0005:" + hit.mapName);
    EXPECT_TRUE(v->itemList()->GetStringSelection().StartsWith("012:"));
    EXPECT_EQ(fromWx(v->pageList()->GetStringSelection()), "3");
    EXPECT_EQ(heading(v), "マップイベント[012:十二番] 03ページ目");
    EXPECT_FALSE(suite_->frame->IsShown());
    ztest::FileDialogs dialogs;  // no answer: cancelled
    v->saveShown();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].fileName.rfind("MapEvent0005-0012-03.", 0), 0u);
    EXPECT_EQ(dialogs.requests[0].filters.at(0).description, "テキストファイル(*.txt)");
    results->Destroy();
}

// A double-clicked hit scrolls its document to the hit's line and marks that line, in an
// event's listing and in a script; the line's text comes from Ruby's own reading.
TEST_F(EventViewerTest, DoubleClickedHitLandsOnItsLine) {
    std::string scriptLine;
    ASSERT_EQ(ztest::run("ruby -rzlib -e 's = Marshal.load(File.binread(ARGV[0]))[0]; "
                         "print Zlib::Inflate.inflate(s[2]).force_encoding(\"UTF-8\")"
                         ".split(/\\r?\\n/)[249]' " +
                             ztest::shellQuote(suite_->data + "/Scripts.rxdata"),
                         &scriptLine),
              0);
    struct Row {
        SearchArea area;
        int item, page, line;
        std::string marked;  // the mark's text: the line number, then the line itself
    };
    const Row rows[] = {
        {SearchArea::Script, 1, 0, 250, "250 " + scriptLine},
        {SearchArea::CommonEvent, 1, 0, 2, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        SearchHit hit;
        hit.area = row.area;
        hit.itemId = row.item;
        hit.page = row.page;
        hit.line = row.line;
        auto* results = new ResultsWindow(suite_->context);
        results->addHits({hit});
        EventViewer* v = findViewer();
        int before = v ? v->documentsLoaded() : 0;
        wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, results->list()->GetId());
        activate.SetEventObject(results->list());
        activate.SetIndex(0);
        results->list()->GetEventHandler()->ProcessEvent(activate);
        ASSERT_TRUE((v = findViewer()));
        ASSERT_TRUE(ztest::pumpUntil([&] { return v->documentsLoaded() > before; }, 30000));
        std::string marked = eval(v, "document.getElementById('zorvane-hit').textContent");
        while (!marked.empty() && marked.back() == '\r') marked.pop_back();
        if (!row.marked.empty()) {
            EXPECT_EQ(marked, row.marked);
        }
        // The mark begins with the line's number as the document numbers it.
        std::string number = marked.substr(0, marked.find_first_not_of(' '));
        number = marked.substr(number.size(), marked.find(' ', number.size()) - number.size());
        EXPECT_EQ(number, std::to_string(row.line));
        // And it is on the screen: inside the pane, scrolled there when it lies further down.
        EXPECT_EQ(eval(v,
                       "var r = document.getElementById('zorvane-hit')"
                       ".getBoundingClientRect(); String(r.top >= 0 && r.bottom <= "
                       "window.innerHeight)"),
                  "true");
        if (row.line > 100) {
            EXPECT_NE(eval(v, "String(window.scrollY)"), "0");
        }
        results->Destroy();
    }
}

TEST_F(EventViewerTest, SavesHtmlOrTextByTheChosenName) {
    EventViewer* v = viewer();
    ASSERT_TRUE(v);
    EventViewerSettings& settings = suite_->context.settings.eventViewer;
    ztest::TempDir out;
    chooseKind(v, DocumentKind::Script);
    ASSERT_TRUE(loads(v, [&] { clickItem(v, 2); }));
    std::string proposal = "002-" + fact("script", {"2"})[1] + ".html";
    ztest::FileDialogs dialogs;
    const std::string unwritable = out.file("missing/clock.txt");
    dialogs.answers = {out.file(proposal), out.file("clock.rb"), unwritable};

    // The HTML filter first: the proposal keeps it and the document is HTML.
    settings.saveMode = true;
    v->saveShown();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].fileName, proposal);
    EXPECT_EQ(dialogs.requests[0].filterIndex, 1);
    EXPECT_EQ(dialogs.requests[0].filters.at(0).description, "Rubyソースファイル(*.rb)");
    std::string html = ztest::readFile(out.file(proposal));
    // The template goes in as it is up to its <title>, which names the document.
    std::string header = ztest::readFile(settings.template1);
    EXPECT_EQ(html.rfind(header.substr(0, header.find("<title>")), 0), 0u);
    EXPECT_NE(html.find("<pre class=\"script\">"), std::string::npos);

    // A ".rb" name: the script's own text and a line break, in the project's code page.
    v->saveShown();
    std::string expected = out.file("expected.rb");
    ASSERT_EQ(ztest::run("ruby -rzlib -e 's = Marshal.load(File.binread(ARGV[0]))[1]; "
                         "t = Zlib::Inflate.inflate(s[2]).force_encoding(\"UTF-8\"); "
                         "File.binwrite(ARGV[1], (t + \"\\r\\n\").encode(\"Windows-31J\"))' " +
                         ztest::shellQuote(suite_->data + "/Scripts.rxdata") + " " +
                         ztest::shellQuote(expected)),
              0);
    EXPECT_EQ(ztest::readFile(out.file("clock.rb")), ztest::readFile(expected));
    EXPECT_FALSE(settings.saveMode);
    EXPECT_EQ(suite_->context.settings.system.lastDir, out.path());

    // A file that cannot be made is reported, not passed over.
    ztest::MessageBoxes boxes(wxOK);
    v->saveShown();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, unwritable + "\n\nファイル保存に失敗しました");
    EXPECT_EQ(listing(out.path()).size(), 3u);
}

TEST_F(EventViewerTest, TemplatesResolveBesideTheHeaderAndFailuresKeepThePage) {
    EventViewer* v = viewer();
    ASSERT_TRUE(v);
    EventViewerSettings& settings = suite_->context.settings.eventViewer;
    const std::string header = settings.template1, footer = settings.template2;
    std::set<fs::path> before = listing(suite_->templates);
    chooseKind(v, DocumentKind::CommonEvent);
    ASSERT_TRUE(loads(v, [&] { clickItem(v, 1); }));
    std::string first = heading(v);
    EXPECT_EQ(eval(v, "getComputedStyle(document.querySelector('h3')).color"), "rgb(1, 2, 3)");

    const std::string missing = suite_->templates + "/none.html";
    for (std::string* broken : {&settings.template1, &settings.template2}) {
        ztest::MessageBoxes boxes(wxOK);
        *broken = missing;
        int loaded = v->documentsLoaded();
        clickItem(v, 2);
        ztest::pumpFor(300);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text,
                  "テンプレートファイル " + missing + " の読み込みに失敗しました");
        EXPECT_TRUE(boxes.shown[0].style & wxICON_WARNING);
        EXPECT_EQ(v->documentsLoaded(), loaded);
        EXPECT_EQ(heading(v), first);
        settings.template1 = header;
        settings.template2 = footer;
    }

    // A Shift_JIS header gives a Shift_JIS document, still read as what it says.
    ztest::TempDir sjis;
    ASSERT_EQ(ztest::run("sed 's/charset=\"UTF-8\"/charset=\"Shift_JIS\"/; "
                         "s|<title>.*</title>|<title>表示</title>|' " +
                         ztest::shellQuote(header) + " | iconv -f UTF-8 -t CP932 > " +
                         ztest::shellQuote(sjis.file("header.html"))),
              0);
    settings.template1 = sjis.file("header.html");
    ASSERT_TRUE(loads(v, [&] { clickItem(v, 2); }));
    EXPECT_EQ(heading(v), "コモンイベント[002:" + fact("ce", {"2"})[1] + "]");
    // The document's title replaces the template's, in the template's encoding.
    EXPECT_EQ(eval(v, "document.title"), "コモンイベント[002:" + fact("ce", {"2"})[1] + "]");
    settings.template1 = header;

    // "設定(&C)" confirmed shows the document again with the sheet's settings.
    settings.lineNum = false;
    ztest::ModalDialogs sheet([](wxDialog&) { return wxID_OK; });
    ASSERT_TRUE(loads(v, [&] {
        wxMenuEvent open(wxEVT_MENU_OPEN, 0, v->GetMenuBar()->GetMenu(EventViewer::kBarSettings));
        v->GetEventHandler()->ProcessEvent(open);
    }));
    EXPECT_EQ(sheet.count, 1);
    EXPECT_EQ(eval(v, "document.querySelectorAll('font.linenum').length"), "0");
    settings.lineNum = true;
    EXPECT_EQ(listing(suite_->templates), before) << "nothing is written beside the templates";
}

TEST_F(EventViewerTest, Screenshot) {
    const char* folder = std::getenv("ZORVANE_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "set ZORVANE_SCREENSHOT_DIR to take the picture";
    EventViewer* v = viewer();
    ASSERT_TRUE(v);
    chooseKind(v, DocumentKind::MapEvent);
    ASSERT_TRUE(loads(v, [&] { v->chooseMap(2); }));
    ASSERT_TRUE(loads(v, [&] { clickItem(v, 12); }));
    ztest::pumpFor(1000);
    std::string picture = std::string(folder) + "/event_viewer.png";
    EXPECT_EQ(ztest::run("import -window root " + ztest::shellQuote(picture)), 0);
}

// Without its module the viewer still opens: the pane says why it shows no document, the
// lists follow the kind and a document can still be saved.
TEST_F(EventViewerTest, MissingModuleIsNamedInThePaneAndTheRestWorks) {
    // Gone for good, not only asked to close: the main window's hook would raise it again.
    wxWeakRef<EventViewer> old(findViewer());
    if (old) old->Close(true);
    ztest::pumpUntil([&] { return !old; }, 30000);
    ztest::TempDir out;
    const std::string missing = out.file("none/" + std::string(kDocumentViewModuleName));
    std::string& module = suite_->context.documentViewModule;
    const std::string kept = std::exchange(module, missing);
    wxCommandEvent command(wxEVT_MENU, kCmdEventViewer);
    suite_->frame->ProcessWindowEvent(command);
    EventViewer* v = findViewer();
    module = kept;
    ASSERT_TRUE(v);
    EXPECT_FALSE(v->browser());
    ASSERT_TRUE(v->browserFailure());
    EXPECT_NE(fromWx(v->browserFailure()->GetLabel()).find(missing), std::string::npos);
    EXPECT_TRUE(v->browserFailure()->IsShownOnScreen());
    v->radio(DocumentKind::Script)->SetValue(true);
    send(v->radio(DocumentKind::Script), wxEVT_RADIOBUTTON, 1);
    std::vector<std::string> shown;
    for (const wxString& item : v->itemList()->GetStrings()) shown.push_back(fromWx(item));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.size(), facts().at("script").size());
    clickItem(v, 2);
    ztest::FileDialogs dialogs;
    dialogs.answers = {out.file("two.html")};
    v->saveShown();
    EXPECT_NE(ztest::readFile(out.file("two.html")).find("<pre class=\"script\">"),
              std::string::npos);
    wxWeakRef<EventViewer> closing(v);
    v->Close(true);
    ztest::pumpUntil([&] { return !closing; }, 30000);
}

// Last: the viewer goes, the main window comes back and sees the project changed on disk.
TEST_F(EventViewerTest, ClosingBringsTheMainWindowBackAndChecksTheProject) {
    EventViewer* v = viewer();
    ASSERT_TRUE(v);
    v->SetSize(40, 50, 700, 520);
    // The size and place come back from the X server: wait for them before reading.
    ztest::pumpUntil([&] { return v->GetRect() == wxRect(40, 50, 700, 520); }, 5000);
    fs::path system = fs::path(suite_->data) / "System.rxdata";
    fs::last_write_time(system, fs::last_write_time(system) + std::chrono::seconds(5));
    ztest::MessageBoxes boxes(wxNO);
    wxRect rect = v->GetRect();
    v->Close();
    ASSERT_TRUE(
        ztest::pumpUntil([&] { return suite_->frame->IsShown() && !boxes.shown.empty(); }, 30000));
    EXPECT_EQ(
        boxes.shown[0].text.rfind("現在読み込んでいるプロジェクトが外部アプリケーションで", 0), 0u);
    EXPECT_FALSE(findViewer());
    const WindowPlace& place = suite_->context.settings.eventViewer.place;
    EXPECT_EQ(wxRect(place.left, place.top, place.width, place.height), rect);
}

}  // namespace
}  // namespace zorvane

// The "検索" tab driven as a user would on the sample project: a search fills the results
// window with the rows the engine finds, the panel's checks warn before anything runs,
// the window saves the engine's CSV, an abort keeps the rows found so far, and the page's
// keys of zorvane.ini reach its controls and come back at exit.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/odcombo.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <cstdlib>
#include <filesystem>

#include "app/app_context.h"
#include "app/frame_place.h"
#include "app/gui_test_support.h"
#include "app/main_frame.h"
#include "app/results_window.h"
#include "app/ruby_names.h"
#include "app/search_page.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "search/search_engine.h"
#include "search/search_results.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

using ztest::click;
using ztest::send;
using ztest::tick;

void choose(wxRadioButton* radio) {
    radio->SetValue(true);
    send(radio, wxEVT_RADIOBUTTON, 1);
}

// Runs one item of the results window's bar, as opening its menu does.
void runBarItem(ResultsWindow* window, int item) {
    wxMenuEvent event(wxEVT_MENU_OPEN, 0, window->GetMenuBar()->GetMenu(item));
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
    ztest::pumpFor(20);
}

std::vector<std::array<std::string, ResultColumnCount>> cellsOf(const SearchResults& results) {
    std::vector<std::array<std::string, ResultColumnCount>> cells;
    for (const ResultRow& row : results.rows()) cells.push_back(row.cells);
    return cells;
}

class SearchPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove(settingsFilePath());
        context.commonFiles = ztest::sourceDir() + "/sample/CommonFiles";
        project = ztest::copySampleProject(dir.path());
        if (project.empty()) GTEST_SKIP() << "the sample project is not there yet";
    }

    void TearDown() override {
        if (context.tasks.isBusy()) context.tasks.abort();
        if (frame) frame->Destroy();
        EXPECT_TRUE(ztest::pumpUntil([this] { return !frame; }));  // before its context goes
    }

    void start(const std::string& projectFile) {
        frame = startApplication(context, {projectFile});
        ASSERT_TRUE(frame);
        page = frame->searchPage();
        ASSERT_TRUE(page);
    }

    // One switch ticked in OR mode with all three options; every range row on "全て".
    void prepareSwitchSearch(int switchId) {
        page->setKind(SearchKind::Switch);
        IdPageControls& sw = page->items().switches;
        tick(sw.rows[0].check, true);
        sw.rows[0].combo->SetSelection(switchId - 1);
        tick(sw.rows[1].check, false);
        choose(sw.orRadio);
        for (wxCheckBox* option : sw.options) tick(option, true);
        for (const RangeRowControls& row : page->rangeRows()) {
            tick(row.check, true);
            choose(row.all);
        }
    }

    // Presses Search and waits for the worker to end.
    ResultsWindow* search() {
        click(page->searchButton());
        EXPECT_TRUE(ztest::pumpUntil([this] { return !context.tasks.isBusy(); }, 20000));
        ztest::pumpFor(20);
        return page->resultsWindow();
    }

    SearchResults engineSwitchSearch(int switchId) {
        SearchRequest request;
        request.kind = SearchKind::Switch;
        request.targetIds = {switchId};
        request.inOperatingCommands = request.inReferencingCommands = true;
        request.inStartConditions = true;
        request.scope = {0, 0, 0, -1};
        request.includeSubMaps = true;
        SearchSettings options{context.settings.system.firstOnly, context.settings.system.detail};
        SearchResults results;
        std::atomic<bool> abort{false};
        runSearch(request, context.database, options, results, abort);
        return results;
    }

    ztest::TempDir dir;
    std::string project;
    AppContext context;
    wxWeakRef<MainFrame> frame;
    SearchPage* page = nullptr;
};

TEST_F(SearchPageTest, SwitchSearchListsWhatTheEngineFinds) {
    start(project);
    prepareSwitchSearch(1);
    ResultsWindow* window = search();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->IsShown());
    SearchResults expected = engineSwitchSearch(1);
    ASSERT_GT(expected.size(), 0u) << "the sample project uses switch 1";
    EXPECT_EQ(cellsOf(window->results()), cellsOf(expected));
    EXPECT_EQ(window->list()->GetItemCount(), static_cast<long>(expected.size()));
    EXPECT_EQ(fromWx(window->list()->GetItemText(0, ColumnContent)),
              expected.rows()[0].cells[ColumnContent]);
    const std::string head = "検索結果 - " + std::to_string(expected.size()) + "件  所要時間 ";
    EXPECT_EQ(fromWx(window->GetTitle()).substr(0, head.size()), head);
    EXPECT_FALSE(window->searching());
    // Not over the main window's corner, on the screen, and every column shows whole.
    ztest::pumpFor(100);
    EXPECT_NE(window->GetPosition(), frame->GetPosition());
    EXPECT_TRUE(screenAreaAt(window->GetPosition()).Contains(window->GetRect()));
    int columns = 0;
    for (int c = 0; c < ResultColumnCount; ++c) columns += window->list()->GetColumnWidth(c);
    EXPECT_LE(columns, window->list()->GetClientSize().x);

    // A second search reuses the window, emptied first.
    prepareSwitchSearch(2);
    ResultsWindow* again = search();
    EXPECT_EQ(again, window);
    EXPECT_EQ(cellsOf(again->results()), cellsOf(engineSwitchSearch(2)));
}

TEST_F(SearchPageTest, PanelProblemsAreWarnedAndNothingRuns) {
    struct Case {
        const char* name;
        std::function<void(SearchPage&)> setUp;
        const char* warning;
    };
    const Case cases[] = {
        {"empty text",
         [](SearchPage& p) {
             p.setKind(SearchKind::Text);
             p.items().text.text->SetValue("");
         },
         "「検索項目」の文字列が入力されていません"},
        {"no ticked row",
         [](SearchPage& p) {
             for (const IdRowControls& row : p.items().switches.rows) tick(row.check, false);
         },
         "「検索項目」が1つもチェックされていません"},
        {"no ticked command row",
         [](SearchPage& p) {
             p.setKind(SearchKind::EventCommand);
             for (wxCheckBox* box : p.items().commands.checks) tick(box, false);
         },
         "「検索項目」が1つもチェックされていません"},
        {"no option",
         [](SearchPage& p) {
             for (wxCheckBox* box : p.items().switches.options) tick(box, false);
         },
         "「検索対象」が何も選択されていません"},
        {"no range",
         [](SearchPage& p) {
             for (const RangeRowControls& row : p.rangeRows()) tick(row.check, false);
         },
         "「検索範囲」が何も選択されていません"},
        {"only scripts outside the text page",
         [](SearchPage& p) {
             for (size_t r = 0; r < 3; ++r) tick(p.rangeRows()[r].check, false);
             tick(p.rangeRows()[ScopeScripts].check, true);
         },
         "「検索範囲」が何も選択されていません"},
        {"broken expression",
         [](SearchPage& p) {
             p.setKind(SearchKind::Text);
             TextPageControls& text = p.items().text;
             text.text->SetValue("(ab");
             tick(text.regexBox, true);
             tick(text.fuzzyBox, false);
             tick(text.targets[TargetMessage], true);
         },
         "検索対象の正規表現に誤りがあるようです"},
        {"\"指定\" with no map chosen",
         [this](SearchPage& p) {
             context.settings.searchRange.select[ScopeMaps] = 0;
             choose(p.rangeRows()[ScopeMaps].chosen);
         },
         "「検索範囲」の「指定」で何も選択されていません（マップイベント）"},
    };
    start(project);
    prepareSwitchSearch(1);
    ResultsWindow* window = search();
    ASSERT_TRUE(window);
    const auto kept = cellsOf(window->results());
    const wxString title = window->GetTitle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prepareSwitchSearch(2);
        c.setUp(*page);
        ztest::MessageBoxes boxes(wxOK);
        click(page->searchButton());
        EXPECT_FALSE(context.tasks.isBusy());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, c.warning);
        EXPECT_EQ(boxes.shown[0].title, "Zorvane");
        EXPECT_TRUE(boxes.shown[0].style & wxICON_WARNING);
        // What the last search found stays, under its title.
        EXPECT_EQ(page->resultsWindow(), window);
        EXPECT_EQ(cellsOf(window->results()), kept);
        EXPECT_EQ(window->GetTitle(), title);
    }
    window->setTitleText("");  // GTK would make up a title of its own
    EXPECT_FALSE(window->GetTitle().empty());
}

TEST_F(SearchPageTest, CsvSavedFromTheWindowIsTheEnginesCsv) {
    start(project);
    prepareSwitchSearch(1);
    ResultsWindow* window = search();
    ASSERT_TRUE(window);
    ztest::FileDialogs files;
    std::string saved = dir.file("hits.csv");
    files.answers = {saved};
    runBarItem(window, ResultsWindow::kBarSaveCsv);
    ASSERT_EQ(files.requests.size(), 1u);
    ASSERT_EQ(files.requests[0].filters.size(), 1u);
    EXPECT_EQ(files.requests[0].filters[0].description, "csvファイル(*.csv)");
    EXPECT_EQ(files.requests[0].filters[0].pattern, "*.csv");
    EXPECT_TRUE(files.requests[0].save);

    std::string reference = dir.file("engine.csv");
    ASSERT_TRUE(engineSwitchSearch(1).saveCsv(reference));
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(ztest::readFile(saved), ztest::readFile(reference));
    EXPECT_EQ(fs::path(context.settings.system.lastDir), fs::path(dir.path()));
}

TEST_F(SearchPageTest, ADoubleClickOpensTheHitOnlyForEventAreas) {
    std::vector<ViewerTarget> opened;
    context.hooks.openEventViewerAt = [&](wxWindow*, const ViewerTarget& target) {
        opened.push_back(target);
    };
    start(project);
    prepareSwitchSearch(1);
    ResultsWindow* window = search();
    ASSERT_TRUE(window);
    const auto& rows = window->results().rows();
    auto common = std::find_if(rows.begin(), rows.end(), [](const ResultRow& row) {
        return row.cells[ColumnArea] == "コモンイベント";
    });
    ASSERT_NE(common, rows.end());
    long index = static_cast<long>(common - rows.begin());
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, window->list()->GetId());
    activate.SetEventObject(window->list());
    activate.m_itemIndex = index;
    window->list()->GetEventHandler()->ProcessEvent(activate);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].kind, ViewerTarget::CommonEvent);
    EXPECT_EQ(opened[0].item, std::atoi(common->cells[ColumnEvent].c_str()));
    EXPECT_EQ(opened[0].page, 0);
}

TEST_F(SearchPageTest, EnablingFollowsProjectTabAndRangeChoices) {
    start("");
    EXPECT_FALSE(page->searchButton()->IsEnabled());
    EXPECT_FALSE(page->items().text.text->IsEnabled());
    EXPECT_FALSE(page->rangeRows()[ScopeCommon].check->IsEnabled());
    ASSERT_TRUE(frame->openProject(project));
    EXPECT_TRUE(page->searchButton()->IsEnabled());
    EXPECT_TRUE(page->items().text.text->IsEnabled());

    const RangeRowControls& common = page->rangeRows()[ScopeCommon];
    tick(common.check, true);
    choose(common.all);
    EXPECT_TRUE(common.all->IsEnabled());
    EXPECT_FALSE(common.idBox->IsEnabled());
    EXPECT_FALSE(common.pick->IsEnabled());
    choose(common.chosen);
    EXPECT_TRUE(common.idBox->IsEnabled());
    EXPECT_TRUE(common.pick->IsEnabled());
    tick(common.check, false);
    EXPECT_FALSE(common.all->IsEnabled());
    EXPECT_FALSE(common.idBox->IsEnabled());

    const RangeRowControls& scripts = page->rangeRows()[ScopeScripts];
    page->setKind(SearchKind::Switch);
    EXPECT_FALSE(scripts.check->IsEnabled());
    page->setKind(SearchKind::Text);
    EXPECT_TRUE(scripts.check->IsEnabled());

    EXPECT_TRUE(page->items().text.regexBox->IsEnabled());
    page->setMatcherLibrary(MatcherLibrary::None);
    EXPECT_FALSE(page->items().text.regexBox->IsEnabled());
    EXPECT_FALSE(page->items().text.fuzzyBox->IsEnabled());
    EXPECT_FALSE(page->items().text.fuzzySettings->IsEnabled());
    EXPECT_TRUE(page->items().text.caseBox->IsEnabled());
}

TEST_F(SearchPageTest, RangeRowsShowTheChosenIdWithItsName) {
    ztest::writeFile(settingsFilePath(),
                     "[SearchRange]\nRadio1=1\nSelect1=2\nRadio2=1\nSelect2=1\nSelect4=1\n");
    start(project);
    auto names = ztest::rubyNames(fs::path(project).parent_path().string() + "/Data");
    ASSERT_GE(names["ce"].size(), 2u);
    ASSERT_GE(names["troop"].size(), 1u);
    ASSERT_GE(names["script"].size(), 1u);
    // Rows are "id, name"; ids as Ruby printed them.
    EXPECT_EQ(names["ce"][1][0], "2");
    EXPECT_EQ(fromWx(page->rangeRows()[ScopeCommon].idBox->GetValue()), "002:" + names["ce"][1][1]);
    EXPECT_EQ(fromWx(page->rangeRows()[ScopeTroops].idBox->GetValue()),
              "001:" + names["troop"][0][1]);
    EXPECT_EQ(fromWx(page->rangeRows()[ScopeScripts].idBox->GetValue()),
              "001:" + names["script"][0][1]);
}

// Keys of the page's sections reach its controls, and what the controls show is written
// back at exit.
TEST_F(SearchPageTest, PageKeysReachTheControlsAndAreWrittenAtExit) {
    ztest::writeFile(settingsFilePath(),
                     "[System]\nLastTab2=2\n"
                     "[SearchItemSw]\nCheck2=0\nAND=0\nSelect1=3\nCheck5=0\n"
                     "[SearchItemText]\nText=宝箱\nCheck1a=0\nCheck2c=0\n"
                     "[SearchItemEvent]\nCheck3=0\nSelect2=4\n"
                     "[SearchItemError]\nCheck1=0\n"
                     "[SearchRange]\nCheck2=0\nRadio3=1\nEventCheck5=0\n");
    start(project);
    SearchItemControls& items = page->items();
    EXPECT_EQ(page->kind(), SearchKind::Text);
    EXPECT_TRUE(items.switches.options[0]->GetValue());
    EXPECT_FALSE(items.switches.options[1]->GetValue());
    EXPECT_TRUE(items.switches.orRadio->GetValue());
    EXPECT_EQ(items.switches.rows[0].combo->GetSelection(), 2);
    EXPECT_TRUE(items.switches.rows[0].check->GetValue());
    EXPECT_FALSE(items.switches.rows[1].check->GetValue());
    EXPECT_EQ(fromWx(items.text.text->GetValue()), "宝箱");
    EXPECT_FALSE(items.text.caseBox->GetValue());
    EXPECT_TRUE(items.text.targets[1]->GetValue());
    EXPECT_FALSE(items.text.targets[2]->GetValue());
    EXPECT_FALSE(items.commands.checks[2]->GetValue());
    EXPECT_EQ(items.commands.names[1]->GetSelection(), 4);
    EXPECT_FALSE(items.missingFiles->GetValue());
    EXPECT_FALSE(page->rangeRows()[ScopeTroops].check->GetValue());
    EXPECT_TRUE(page->rangeRows()[ScopeMaps].chosen->GetValue());
    EXPECT_FALSE(page->subMapsBox()->GetValue());

    items.text.text->SetValue(toWx("扉"));
    tick(items.switches.options[1], true);
    choose(items.switches.andRadio);
    items.commands.names[0]->SetSelection(7);
    page->setKind(SearchKind::Variable);
    tick(page->rangeRows()[ScopeCommon].check, false);
    frame->Close();
    ASSERT_TRUE(ztest::pumpUntil([this] { return !frame; }));
    ASSERT_TRUE(finishApplication(context));
    IniFile ini;
    ASSERT_TRUE(ini.load(settingsFilePath()));
    struct Key {
        const char* section;
        const char* key;
        const char* value;
    } keys[] = {
        {"SearchItemText", "Text", "扉"},    {"SearchItemSw", "Check2", "1"},
        {"SearchItemSw", "AND", "1"},        {"SearchItemSw", "Select1", "3"},
        {"SearchItemEvent", "Select1", "7"}, {"SearchItemEvent", "Select2", "4"},
        {"System", "LastTab2", "1"},         {"SearchRange", "Check1", "0"},
        {"SearchRange", "Radio3", "1"},      {"SearchItemError", "Check1", "0"},
    };
    for (const Key& k : keys)
        EXPECT_EQ(ini.get(k.section, k.key), k.value) << k.section << " " << k.key;
}

// The command lists of a tab never shown are filled only when it is shown (PageKeys above
// takes the controls, which fills them): until then the commands kept for them are written
// back as they were.
TEST_F(SearchPageTest, CommandListsNeverShownAreWrittenBackUnchanged) {
    ztest::writeFile(settingsFilePath(),
                     "[System]\nLastTab2=0\n[SearchItemEvent]\nSelect2=4\nSelect6=9\n");
    start(project);
    frame->Close();
    ASSERT_TRUE(ztest::pumpUntil([this] { return !frame; }));
    ASSERT_TRUE(finishApplication(context));
    IniFile ini;
    ASSERT_TRUE(ini.load(settingsFilePath()));
    EXPECT_EQ(ini.get("SearchItemEvent", "Select2"), "4");
    EXPECT_EQ(ini.get("SearchItemEvent", "Select6"), "9");
}

// A project whose common events make a search long enough to abort, or flood a naive
// event queue: EVENTS common events of COMMANDS commands, written by Ruby's Marshal.
class BigProjectTest : public SearchPageTest {
  protected:
    void writeCommonEvents(int events, int commands, const std::string& mode) {
        if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is needed to write the project";
        std::string script = ztest::sourceDir() + "/tests/app/big_common_events.rb";
        std::string out = dir.path() + "/Data/CommonEvents.rxdata";
        ASSERT_EQ(
            ztest::run("ruby " + ztest::shellQuote(script) + " " + ztest::shellQuote(out) + " " +
                       std::to_string(events) + " " + std::to_string(commands) + " " + mode),
            0);
        start(project);
    }

    // Only the common events: the rows then come from the big file alone.
    void onlyCommonEvents() {
        for (size_t r = 1; r < 4; ++r) tick(page->rangeRows()[r].check, false);
    }
};

// One in twenty of 400,000 commands is a hit on switch 1.
class LongSearchTest : public BigProjectTest {
  protected:
    static constexpr int kEvents = 2000, kCommands = 200;
    static constexpr size_t kAllHits = kEvents * (kCommands / 20);

    void SetUp() override {
        SearchPageTest::SetUp();
        if (IsSkipped()) return;
        writeCommonEvents(kEvents, kCommands, "switch");
        if (IsSkipped() || HasFatalFailure()) return;
        prepareSwitchSearch(1);
        onlyCommonEvents();
    }
};

// Each name is a quick hit; each message line is slow to reject, so the search is still
// running when the test aborts it.
class SlowSearchTest : public BigProjectTest {
  protected:
    static constexpr int kEvents = 200;

    void SetUp() override {
        SearchPageTest::SetUp();
        if (IsSkipped()) return;
        writeCommonEvents(kEvents, 100, "text");
        if (IsSkipped() || HasFatalFailure()) return;
        prepareSwitchSearch(1);
        onlyCommonEvents();
        page->setKind(SearchKind::Text);
        TextPageControls& text = page->items().text;
        text.text->SetValue("CE|(a+)+b");
        tick(text.regexBox, true);
        tick(text.fuzzyBox, false);
        for (size_t t = 0; t < text.targets.size(); ++t)
            tick(text.targets[t], t == TargetName || t == TargetMessage);
    }
};

TEST_F(LongSearchTest, TenThousandsOfHitsArriveInBatches) {
    ResultsWindow* window = search();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->results().size(), kAllHits);
    EXPECT_EQ(window->list()->GetItemCount(), static_cast<long>(kAllHits));
    EXPECT_LT(window->batches(), static_cast<int>(kAllHits / 10));
    const std::string head = "検索結果 - " + std::to_string(kAllHits) + "件";
    EXPECT_EQ(fromWx(window->GetTitle()).substr(0, head.size()), head);
}

TEST_F(SlowSearchTest, AbortFromTheWindowKeepsTheRowsFound) {
    click(page->searchButton());
    ResultsWindow* window = page->resultsWindow();
    ASSERT_TRUE(window);
    ASSERT_TRUE(ztest::pumpUntil([&] { return window->results().size() > 0; }, 20000));
    EXPECT_FALSE(page->searchButton()->IsEnabled());
    EXPECT_FALSE(page->itemTabs()->IsEnabled());
    runBarItem(window, ResultsWindow::kBarAbort);
    ASSERT_TRUE(ztest::pumpUntil([this] { return !context.tasks.isBusy(); }, 5000));
    ztest::pumpFor(20);
    size_t found = window->results().size();
    EXPECT_GT(found, 0u);
    EXPECT_LT(found, static_cast<size_t>(kEvents));
    EXPECT_EQ(fromWx(window->GetTitle()), "検索中断 - " + std::to_string(found) + "件");
    EXPECT_EQ(window->list()->GetItemCount(), static_cast<long>(found));
    EXPECT_TRUE(page->searchButton()->IsEnabled());
}

TEST_F(SlowSearchTest, ClosingTheWindowWhileSearchingAbortsAndKeepsIt) {
    click(page->searchButton());
    wxWeakRef<ResultsWindow> window = page->resultsWindow();
    ASSERT_TRUE(window);
    ASSERT_TRUE(ztest::pumpUntil([&] { return window->results().size() > 0; }, 20000));
    window->Close();
    ztest::pumpFor(50);
    ASSERT_TRUE(window) << "the window stays when closed during a search";
    EXPECT_FALSE(context.tasks.isBusy());
    EXPECT_EQ(fromWx(window->GetTitle()),
              "検索中断 - " + std::to_string(window->results().size()) + "件");
    window->Close();  // idle now: the window goes
    EXPECT_TRUE(ztest::pumpUntil([&] { return !window; }, 2000));
}

}  // namespace
}  // namespace zorvane

namespace zorvane {
namespace {

// Not a check: pictures of the search tab and of the results window for people to look
// at, written only when ZORVANE_SCREENSHOT_DIR names a folder (see docs/development.md).
TEST_F(SearchPageTest, Screenshots) {
    const char* folder = std::getenv("ZORVANE_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "set ZORVANE_SCREENSHOT_DIR to take the pictures";
    if (!ztest::haveProgram("import")) GTEST_SKIP() << "import (ImageMagick) is needed";
    start(project);  // the results window opens at its own place and size
    frame->Move(0, 0);
    prepareSwitchSearch(1);
    ztest::pumpFor(500);
    std::string tab = std::string(folder) + "/search_tab.png";
    ASSERT_EQ(ztest::run("import -window root " + ztest::shellQuote(tab)), 0);
    ResultsWindow* window = search();
    ASSERT_TRUE(window);
    ztest::pumpFor(500);
    std::string results = std::string(folder) + "/search_results.png";
    ASSERT_EQ(ztest::run("import -window root " + ztest::shellQuote(results)), 0);
    EXPECT_TRUE(fs::exists(tab) && fs::exists(results));
}

}  // namespace
}  // namespace zorvane

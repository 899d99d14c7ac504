// The id picker (groups of 25, find up and down), the map tree picker on the sample
// project, the fuzzy options dialog, and the results window on hits made by hand:
// sorting, double clicks, saving and its remembered place.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <filesystem>

#include "app/app_context.h"
#include "app/event_range_rows.h"
#include "app/fuzzy_options_dialog.h"
#include "app/gui_test_support.h"
#include "app/id_picker.h"
#include "app/map_tree_picker.h"
#include "app/results_window.h"
#include "app/ruby_names.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "platform/registry_store.h"
#include "project/project_database.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

using ztest::click;

TEST(IdGroups, TwentyFiveIdsEachAndTheLastEndsAtCountMinusOne) {
    struct Case {
        int count;
        std::vector<std::string> captions;
    } cases[] = {
        {1, {}},
        {2, {"[0001-0001]"}},
        {26, {"[0001-0025]"}},
        {27, {"[0001-0025]", "[0026-0026]"}},
        {60, {"[0001-0025]", "[0026-0050]", "[0051-0059]"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> captions;
        for (const IdGroup& group : idGroups(c.count)) captions.push_back(group.caption);
        EXPECT_EQ(captions, c.captions) << c.count;
    }
    auto groups = idGroups(60);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[1].first, 26);
    EXPECT_EQ(groups[2].last, 59);
}

TEST(FindIdByName, WalksDownOrUpFromTheSelectionWithTheCaseRule) {
    const IdNames names = {"", "Door", "key", "ABC room", "door 2", "abc hall", "扉"};
    struct Case {
        int from;
        const char* text;
        bool caseSensitive, downward;
        int expected;
    } cases[] = {
        {0, "door", false, true, 1},  {1, "door", false, true, 4}, {4, "door", false, true, 0},
        {4, "door", false, false, 1}, {1, "door", true, true, 4},  {0, "abc", false, true, 3},
        {0, "abc", true, true, 5},    {6, "abc", true, false, 5},  {0, "扉", false, true, 6},
        {0, "", false, true, 0},      {0, "none", false, true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findIdByName(names, c.from, c.text, c.caseSensitive, c.downward), c.expected)
            << c.from << " " << c.text << " " << c.caseSensitive << " " << c.downward;
}

TEST(IdPickerWindow, OpensOnTheIdFindsNamesAndJumpsToGroups) {
    IdNames names = {""};
    for (int id = 1; id <= 60; ++id) names.push_back("name " + std::to_string(id));
    names[30] = "宝箱の鍵";
    names[45] = "宝箱";
    IdPicker picker(nullptr, "検索するスイッチを選択", names, 12);
    EXPECT_EQ(picker.selectedId(), 12);
    EXPECT_EQ(picker.idList()->GetItemCount(), 60);
    EXPECT_EQ(fromWx(picker.idList()->GetItemText(29, 0)), "0030");
    EXPECT_EQ(fromWx(picker.idList()->GetItemText(29, 1)), "宝箱の鍵");
    ASSERT_EQ(picker.groupList()->GetCount(), 3u);
    EXPECT_EQ(fromWx(picker.groupList()->GetString(2)), "[0051-0060]");

    picker.findBox()->SetValue(toWx("宝箱"));
    auto* down = dynamic_cast<wxButton*>(ztest::findByLabel(&picker, "下検索"));
    auto* up = dynamic_cast<wxButton*>(ztest::findByLabel(&picker, "上検索"));
    ASSERT_TRUE(down && up);
    click(down);
    EXPECT_EQ(picker.selectedId(), 30);
    click(down);
    EXPECT_EQ(picker.selectedId(), 45);
    click(down);  // nothing further down: the selection stays
    EXPECT_EQ(picker.selectedId(), 45);
    click(up);
    EXPECT_EQ(picker.selectedId(), 30);

    picker.groupList()->SetSelection(1);
    wxCommandEvent choose(wxEVT_LISTBOX, picker.groupList()->GetId());
    choose.SetEventObject(picker.groupList());
    choose.SetInt(1);
    picker.groupList()->GetEventHandler()->ProcessEvent(choose);
    EXPECT_EQ(picker.selectedId(), 26);
}

TEST(IdPickerWindow, OkReturnsTheSelectionAndCancelNothing) {
    IdNames names = {"", "a", "b", "c"};
    {
        ztest::ModalDialogs modals([](wxDialog& dialog) {
            static_cast<IdPicker&>(dialog).selectId(3);
            return wxID_OK;
        });
        EXPECT_EQ(pickId(nullptr, "t", names, 1), 3);
    }
    ztest::ModalDialogs modals([](wxDialog&) { return wxID_CANCEL; });
    EXPECT_EQ(pickId(nullptr, "t", names, 1), 0);
}

class MapTreePickerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(ztest::sampleProject())) GTEST_SKIP() << "no sample project yet";
        ASSERT_TRUE(db.open(ztest::sampleProject()));
        maps = MapInfoTree::fromProject(db);
        auto names = ztest::rubyNames(ztest::sourceDir() + "/sample/Project/Data");
        for (const auto& row : names["map"]) ruby[std::stoi(row[0])] = row;
        ASSERT_FALSE(ruby.empty());
    }

    // Path as the editor's tree shows it: names from the top down, joined by '/'.
    std::string rubyPath(int id) {
        std::string path;
        for (int at = id; at > 0 && ruby.count(at); at = std::stoi(ruby[at][1]))
            path = ruby[at][3] + (path.empty() ? "" : "/" + path);
        return path;
    }

    ProjectDatabase db;
    MapInfoTree maps;
    std::map<int, std::vector<std::string>> ruby;  // id -> id, parent, order, name
};

TEST_F(MapTreePickerTest, TreeFollowsTheEditorAndFieldsFollowTheSelection) {
    MapTreePicker picker(nullptr, maps, 0);
    wxTreeCtrl* tree = picker.tree();
    wxTreeItemId root = tree->GetRootItem();
    EXPECT_EQ(fromWx(tree->GetItemText(root)), db.title);
    EXPECT_EQ(tree->GetCount(), ruby.size() + 1);

    // Every map sits under its parent's item with "[%04d] " and its name; siblings keep
    // the editor's order.
    std::map<std::string, int> idOfCaption;
    for (const auto& [id, row] : ruby) {
        char caption[16];
        std::snprintf(caption, sizeof caption, "[%04d] ", id);
        idOfCaption[caption + row[3]] = id;
    }
    std::function<void(wxTreeItemId, int)> walk = [&](wxTreeItemId item, int parent) {
        int lastOrder = 0;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree->GetFirstChild(item, cookie); child.IsOk();
             child = tree->GetNextChild(item, cookie)) {
            std::string caption = fromWx(tree->GetItemText(child));
            ASSERT_TRUE(idOfCaption.count(caption)) << caption;
            int id = idOfCaption[caption];
            EXPECT_EQ(std::stoi(ruby[id][1]), parent) << caption;
            int order = std::stoi(ruby[id][2]);
            EXPECT_GT(order, lastOrder) << caption;
            lastOrder = order;
            walk(child, id);
        }
    };
    walk(root, 0);

    for (const auto& entry : ruby) {
        int id = entry.first;
        picker.selectMap(id);
        EXPECT_EQ(picker.selectedId(), id);
        EXPECT_EQ(fromWx(picker.pathBox()->GetValue()), rubyPath(id)) << id;
        char text[16];
        std::snprintf(text, sizeof text, "%04d", id);
        EXPECT_EQ(fromWx(picker.idBox()->GetValue()), text);
    }
    int last = ruby.rbegin()->first;
    picker.selectMap(ruby.begin()->first);
    picker.idBox()->SetValue(wxString::Format("%d", last));  // typing an id selects its map
    EXPECT_EQ(picker.selectedId(), last);
    EXPECT_EQ(fromWx(picker.pathBox()->GetValue()), rubyPath(last));
}

TEST_F(MapTreePickerTest, CancelReturnsNothing) {
    int first = ruby.begin()->first;
    ztest::ModalDialogs cancel([](wxDialog&) { return wxID_CANCEL; });
    EXPECT_EQ(pickMap(nullptr, maps, first), 0);
    ztest::ModalDialogs ok([](wxDialog&) { return wxID_OK; });
    EXPECT_EQ(pickMap(nullptr, maps, first), first);
}

TEST(FuzzyOptionsWindow, OkSavesTheFoldsAndCancelKeepsThem) {
    saveFuzzyOptions(RegistryStore::user(), FuzzyOptions{});
    {
        ztest::ModalDialogs cancel([](wxDialog& dialog) {
            static_cast<FuzzyOptionsDialog&>(dialog).box(0)->SetValue(false);
            return wxID_CANCEL;
        });
        EXPECT_FALSE(runFuzzyOptionsDialog(nullptr));
    }
    EXPECT_TRUE(loadFuzzyOptions(RegistryStore(configFolder() + "/registry.ini")).foldAsciiWidth);
    ztest::ModalDialogs ok([](wxDialog& dialog) {
        auto& fuzzy = static_cast<FuzzyOptionsDialog&>(dialog);
        fuzzy.box(0)->SetValue(false);
        fuzzy.box(2)->SetValue(false);
        return wxID_OK;
    });
    EXPECT_TRUE(runFuzzyOptionsDialog(nullptr));
    FuzzyOptions saved = loadFuzzyOptions(RegistryStore(configFolder() + "/registry.ini"));
    EXPECT_FALSE(saved.foldAsciiWidth);
    EXPECT_TRUE(saved.foldKatakanaWidth);
    EXPECT_FALSE(saved.foldKana);
    saveFuzzyOptions(RegistryStore::user(), FuzzyOptions{});
    RegistryStore::user().save();
}

SearchHit commonHit(int item, int line, const std::string& content) {
    SearchHit hit;
    hit.area = SearchArea::CommonEvent;
    hit.itemId = item;
    hit.itemName = "CE";
    hit.line = line;
    hit.content = content;
    return hit;
}

class ResultsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        context.settings.searchWnd = {40, 50, 500, 300};
        window = new ResultsWindow(context);
        window->Show();
    }
    void TearDown() override {
        if (window) window->Destroy();
        ztest::pumpUntil([this] { return !window; }, 2000);
    }
    std::vector<std::string> column(int c) {
        std::vector<std::string> cells;
        for (long row = 0; row < window->list()->GetItemCount(); ++row)
            cells.push_back(fromWx(window->list()->GetItemText(row, c)));
        return cells;
    }
    void headerClick(int c) {
        wxListEvent event(wxEVT_LIST_COL_CLICK, window->list()->GetId());
        event.SetEventObject(window->list());
        event.m_col = c;
        window->list()->GetEventHandler()->ProcessEvent(event);
    }

    AppContext context;
    wxWeakRef<ResultsWindow> window;
};

TEST_F(ResultsWindowTest, LineNumberSortPutsNameRowsFirstAndAgainReverses) {
    window->addHits({commonHit(1, 2, "b"), commonHit(1, LineName, "name"), commonHit(1, 1, "a"),
                     commonHit(1, 10, "c")});
    EXPECT_EQ(window->list()->GetItemCount(), 4);
    window->list()->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);  // "a"
    headerClick(ColumnLine);
    EXPECT_EQ(column(ColumnLine), (std::vector<std::string>{"イベント名", "0001", "0002", "0010"}));
    long selected = window->list()->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    EXPECT_EQ(selected, 1) << "the selected row moves with its row";
    headerClick(ColumnLine);
    EXPECT_EQ(column(ColumnLine), (std::vector<std::string>{"0010", "0002", "0001", "イベント名"}));
    headerClick(ColumnContent);
    EXPECT_EQ(column(ColumnContent), (std::vector<std::string>{"a", "b", "c", "name"}));
}

TEST_F(ResultsWindowTest, DatabaseRowsOpenNothingAndEmptyListsSaveNothing) {
    std::vector<ViewerTarget> opened;
    context.hooks.openEventViewerAt = [&](wxWindow*, const ViewerTarget& t) {
        opened.push_back(t);
    };
    ztest::FileDialogs files;
    window->saveCsv();
    EXPECT_TRUE(files.requests.empty()) << "an empty list saves nothing";

    SearchHit database;
    database.area = SearchArea::Database;
    database.itemId = 1;
    database.content = "Graphics\\Characters\\none";
    window->addHits({database, commonHit(7, 3, "x")});
    window->openHit(0);
    EXPECT_TRUE(opened.empty());
    window->openHit(1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].kind, ViewerTarget::CommonEvent);
    EXPECT_EQ(opened[0].item, 7);

    // While a search runs, double clicks and saving are ignored.
    window->searchStarted();
    window->openHit(1);
    window->saveCsv();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(files.requests.empty());
    window->searchEnded();
}

TEST_F(ResultsWindowTest, PlaceIsTakenFromAndKeptInTheSettings) {
    ztest::pumpFor(100);
    EXPECT_EQ(window->GetSize(), wxSize(500, 300));
    window->SetSize(wxSize(620, 410));
    ztest::pumpFor(100);
    EXPECT_EQ(context.settings.searchWnd.width, 620);
    EXPECT_EQ(context.settings.searchWnd.height, 410);
    window->Move(70, 80);
    ztest::pumpFor(100);
    wxPoint place = window->GetPosition();
    EXPECT_EQ(context.settings.searchWnd.left, place.x);
    EXPECT_EQ(context.settings.searchWnd.top, place.y);
}

// A range row whose table lacks the id (its file unreadable) says so plainly: the listing's
// overflow marker is no name of the project.
TEST(RangeLabelTest, AnIdItsTableLacksIsNoChoice) {
    ztest::TempDir dir;
    const std::string project = ztest::copySampleProject(dir.path());
    if (project.empty()) GTEST_SKIP() << "the sample project is not there yet";
    ProjectDatabase whole, damaged;
    ASSERT_TRUE(whole.open(project));
    whole.loadAll();
    for (const char* file :
         {"CommonEvents.rxdata", "Troops.rxdata", "MapInfos.rxdata", "Scripts.rxdata"}) {
        const std::filesystem::path path = std::filesystem::path(dir.path()) / "Data" / file;
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
    }
    ASSERT_TRUE(damaged.open(project));
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(rangeCaption(size_t(row)));
        EXPECT_EQ(rangeLabel(whole, row, 1).rfind("001:", 0), 0u) << rangeLabel(whole, row, 1);
        EXPECT_EQ(rangeLabel(damaged, row, 1), "（選べるものがありません）");
    }
}

}  // namespace
}  // namespace zorvane

// The "診断" tab on a scratch copy of the sample: the check runs on the task runner, the
// list shows what the independent Ruby walk (tests/tools/lint_expect.rb) predicts, and a
// double click on a finding in a common event opens the event viewer at its line.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/weakref.h>

#include <filesystem>
#include <sstream>

#include "app/app_context.h"
#include "app/check_page.h"
#include "app/gui_test_support.h"
#include "app/main_frame.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

TEST(CheckPageTest, RunsShowsTheFindingsAndOpensTheViewerAtTheLine) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    fs::remove(settingsFilePath());
    ztest::TempDir dir;
    fs::copy(ztest::sourceDir() + "/sample/Project", dir.file("Project"), fs::copy_options::recursive);
    std::string common = ztest::sourceDir() + "/sample/CommonFiles";
    std::string project = dir.file("Project/Game.rxproj");
    std::string predicted;
    ASSERT_EQ(ztest::run("ZORVANE_COMMON_FILES=" + ztest::shellQuote(common) + " ruby " +
                             ztest::shellQuote(ztest::sourceDir() + "/tests/tools/lint_expect.rb") +
                             " " + ztest::shellQuote(project),
                         &predicted),
              0);
    // The one call of a common event beyond the table: "3<TAB>error<TAB>place 行N<TAB>subject".
    std::istringstream in(predicted);
    size_t rows = 0;
    std::string callPlace;
    for (std::string line; std::getline(in, line); ++rows)
        if (line.rfind("3\terror\t", 0) == 0) callPlace = line.substr(8, line.rfind('\t') - 8);
    ASSERT_FALSE(callPlace.empty());
    int callLine = std::stoi(callPlace.substr(callPlace.rfind("行") + std::string("行").size()));

    AppContext context;
    context.commonFiles = common;
    std::vector<ViewerTarget> opened;
    wxWeakRef<MainFrame> frame = startApplication(context, {project});
    ASSERT_TRUE(frame);
    context.hooks.openEventViewerAt = [&](wxWindow*, const ViewerTarget& t) { opened.push_back(t); };
    frame->tabs()->SetSelection(kTabCheck);
    CheckPage* page = frame->checkPage();
    ASSERT_TRUE(page);
    for (const CheckKindInfo& k : checkKinds()) EXPECT_TRUE(page->kindBox(k.kind)->GetValue());

    ztest::click(page->runButton());
    ASSERT_TRUE(ztest::pumpUntil([&] { return !context.tasks.isBusy(); }));
    wxListCtrl* list = page->list();
    ASSERT_EQ(static_cast<size_t>(list->GetItemCount()), rows);

    // Errors first after a click on the severity column.
    wxListEvent sort(wxEVT_LIST_COL_CLICK, list->GetId());
    sort.SetEventObject(list);
    sort.m_col = FindingSeverity;
    list->GetEventHandler()->ProcessEvent(sort);
    EXPECT_EQ(fromWx(list->GetItemText(0, FindingSeverity)), "エラー");

    long row = -1;
    for (long i = 0; i < list->GetItemCount(); ++i)
        if (fromWx(list->GetItemText(i, FindingWhere)) == callPlace) row = i;
    ASSERT_GE(row, 0) << callPlace;
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, list->GetId());
    activate.SetEventObject(list);
    activate.m_itemIndex = row;
    list->GetEventHandler()->ProcessEvent(activate);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].kind, ViewerTarget::CommonEvent);
    EXPECT_EQ(opened[0].item, std::stoi(callPlace.substr(std::string("コモンイベント").size())));
    EXPECT_EQ(opened[0].line, callLine);

    frame->Destroy();
    EXPECT_TRUE(ztest::pumpUntil([&] { return !frame; }));  // before its context goes
}

}  // namespace
}  // namespace zorvane

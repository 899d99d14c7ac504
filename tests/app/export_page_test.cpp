// The "エクスポート" tab on a copy of the sample: an export chosen with the page's boxes and
// pickers runs to the end of its bar, says "終了しました" (with the count of files that could
// not be written when there are any) and leaves its files.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/notebook.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

#include "app/app_context.h"
#include "app/export_page.h"
#include "app/gui_test_support.h"
#include "app/id_picker.h"
#include "app/main_frame.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

using ztest::send;
using ztest::tick;

// The end box as it was shown, with the bar as it stood at that moment.
struct EndBox {
    std::string text, title;
    long style = 0;
    int barValue = -1, barRange = -1;
};

class ExportPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove(settingsFilePath());
        context.commonFiles = ztest::sourceDir() + "/sample/CommonFiles";
        fs::create_directories(dir.file("Game"));
        project = ztest::copySampleProject(dir.file("Game"));
        if (project.empty()) GTEST_SKIP() << "the sample project is not there yet";
        saved = messageBoxSeam();
        messageBoxSeam() = [this](wxWindow*, const std::string& text, const std::string& title,
                                  long style) {
            wxGauge* bar = frame->exportPage()->progressBar();
            boxes.push_back({text, title, style, bar->GetValue(), bar->GetRange()});
            return wxOK;
        };
    }

    void TearDown() override {
        messageBoxSeam() = saved;
        if (context.tasks.isBusy()) context.tasks.abort();
        if (frame) frame->Destroy();
        EXPECT_TRUE(ztest::pumpUntil([this] { return !frame; }));  // before its context goes
    }

    // The tests run from their own folder, where no templates lie beside the program.
    void useSourceTemplates() {
        EventViewerSettings& viewer = context.settings.eventViewer;
        const std::string templates = ztest::sourceDir() + "/template/";
        viewer.template1 = templates + "header.html";
        viewer.template2 = templates + "footer.html";
        viewer.rubyColor = templates + "ruby_color.txt";
    }

    void runFromPage() {
        boxes.clear();
        send(page->startButton(), wxEVT_BUTTON);
        EXPECT_EQ(fromWx(page->startButton()->GetLabel()), "中断");
        EXPECT_TRUE(ztest::pumpUntil([this] { return !context.tasks.isBusy(); }, 20000));
        ztest::pumpFor(20);
    }

    std::set<std::string> files() {
        std::set<std::string> found;
        std::string root = out.file("Game_export");
        if (fs::exists(root))
            for (const auto& entry : fs::recursive_directory_iterator(root))
                if (entry.is_regular_file())
                    found.insert(fs::relative(entry.path(), root).string());
        return found;
    }

    ztest::TempDir dir, out;
    std::string project;
    AppContext context;
    wxWeakRef<MainFrame> frame;
    ExportPage* page = nullptr;
    std::vector<EndBox> boxes;
    MessageBoxSeam saved;
};

TEST_F(ExportPageTest, ExportChosenOnThePageRunsToTheEnd) {
    frame = startApplication(context, {project});
    ASSERT_TRUE(frame);
    useSourceTemplates();
    page = frame->exportPage();
    ASSERT_TRUE(page);
    // Nothing chosen yet: the project's folder is offered, but not kept as a choice.
    EXPECT_EQ(fromWx(page->outputBox()->GetValue()), fs::path(project).parent_path().string());
    page->storeState();
    EXPECT_EQ(context.settings.dataExport.outputDir, "");
    for (wxCheckBox* box : page->tableBoxes()) tick(box, false);
    tick(page->tableBoxes()[kTableSwitches], true);
    const RangeRows& rows = page->rangeRows();
    for (const RangeRowControls& row : rows) tick(row.check, false);
    tick(page->mapImagesBox(), false);
    EXPECT_FALSE(rows[kRangeMapEvents].all->IsEnabled());
    tick(page->mapImagesBox(), true);  // map pictures alone open the map row's choice
    EXPECT_TRUE(rows[kRangeMapEvents].all->IsEnabled());
    tick(page->mapImagesBox(), false);

    // Common event 8 (7 is empty) through "指定" and its picker; every script.
    tick(rows[kRangeCommonEvents].check, true);
    rows[kRangeCommonEvents].chosen->SetValue(true);
    send(rows[kRangeCommonEvents].chosen, wxEVT_RADIOBUTTON, 1);
    ASSERT_TRUE(rows[kRangeCommonEvents].pick->IsEnabled());
    ztest::ModalDialogs pickers([](wxDialog& dialog) {
        auto* picker = dynamic_cast<IdPicker*>(&dialog);
        if (!picker) return wxID_CANCEL;
        picker->selectId(8);
        return wxID_OK;
    });
    send(rows[kRangeCommonEvents].pick, wxEVT_BUTTON);
    EXPECT_EQ(fromWx(rows[kRangeCommonEvents].idBox->GetValue()).substr(0, 4), "008:");
    tick(rows[kRangeScripts].check, true);
    page->outputBox()->SetValue(toWx(out.path()));
    EXPECT_EQ(context.settings.dataExport.outputDir, out.path());

    runFromPage();
    // The sample's Shift_JIS project names a switch "Café 😀 フラグ": the switch table in
    // Shift_JIS loses two characters, and a second box says where and suggests UTF-8.
    ASSERT_EQ(boxes.size(), 2u) << boxes[0].title << ": " << boxes[0].text;
    EXPECT_NE(boxes[1].text.find(out.file("Game_export/DataBase/11スイッチ.csv") + ": 2 文字"),
              std::string::npos)
        << boxes[1].text;
    EXPECT_NE(boxes[1].text.find("UTF-8"), std::string::npos) << boxes[1].text;
    EXPECT_TRUE(boxes[1].style & wxICON_WARNING);
    EXPECT_EQ(boxes[0].text, "終了しました");
    EXPECT_EQ(boxes[0].title, "Zorvane");
    EXPECT_TRUE(boxes[0].style & wxICON_INFORMATION);
    // One table, one common event, six scripts: the bar stood at its end.
    EXPECT_EQ(boxes[0].barRange, 8);
    EXPECT_EQ(boxes[0].barValue, 8);
    EXPECT_EQ(page->progressBar()->GetValue(), 0);
    EXPECT_EQ(fromWx(page->startButton()->GetLabel()), "出力開始");
    // The empty script is skipped ("空イベントを出力しない" is on by default).
    const std::set<std::string> expected = {
        "DataBase/11スイッチ.csv",
        "CommonEvent/CommonEvent008.html",
        "Script/001-Game_Sample.html",
        "Script/002-Game_Clock 日本語コメント.html",
        "Script/003-Window_Scene 拡張.html",
        "Script/005-Main.html",
        "Script/006-<script>alert(\"title\")<_script> & \"Title\".html"};
    EXPECT_EQ(files(), expected);

    // A second run where the script folder cannot be made: the end box counts the files.
    fs::remove_all(out.file("Game_export/Script"));
    ztest::writeFile(out.file("Game_export/Script"), "in the way");
    runFromPage();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "終了しました\n\n5 個のファイルを書き込めませんでした");
}

// "サイトとして出力" takes the whole project: the choices of parts step aside, and the run
// ends with the site's index beside a page of every map of the sample that has a file.
TEST_F(ExportPageTest, SiteChosenOnThePageWritesTheWholeSite) {
    frame = startApplication(context, {project});
    ASSERT_TRUE(frame);
    useSourceTemplates();
    page = frame->exportPage();
    ASSERT_TRUE(page);
    for (wxCheckBox* box : page->tableBoxes()) tick(box, false);
    for (const RangeRowControls& row : page->rangeRows()) tick(row.check, false);
    tick(page->siteBox(), true);
    EXPECT_FALSE(page->tableBoxes()[0]->IsEnabled());
    EXPECT_FALSE(page->rangeRows()[kRangeMapEvents].check->IsEnabled());
    EXPECT_TRUE(page->startButton()->IsEnabled());
    page->outputBox()->SetValue(toWx(out.path()));
    runFromPage();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text.substr(0, std::string("終了しました").size()), "終了しました");
    EXPECT_EQ(boxes.back().barValue, boxes.back().barRange);
    for (const char* file : {"index.html", "lists/switches.html", "maps/Map0001.html",
                             "maps/Map0001.png", "events/CommonEvent001.html", "search-index.js"})
        EXPECT_TRUE(fs::is_regular_file(out.file(std::string("Game_site/") + file))) << file;
    EXPECT_FALSE(fs::exists(out.file("Game_export")));
    tick(page->siteBox(), false);
    EXPECT_TRUE(page->tableBoxes()[0]->IsEnabled());
}

// "指定" with nothing chosen is refused before anything runs; an export stopped by the user
// says so, with what it wrote and where, never "終了しました".
TEST_F(ExportPageTest, UnchosenRowIsRefusedAndAnAbortSaysWhatItLeft) {
    frame = startApplication(context, {project});
    ASSERT_TRUE(frame);
    useSourceTemplates();
    page = frame->exportPage();
    for (wxCheckBox* box : page->tableBoxes()) tick(box, true);
    const RangeRows& rows = page->rangeRows();
    for (const RangeRowControls& row : rows) tick(row.check, true);
    tick(page->mapImagesBox(), true);
    page->outputBox()->SetValue(toWx(out.path()));
    context.settings.exportRange.select[kRangeMapEvents] = 0;
    rows[kRangeMapEvents].chosen->SetValue(true);
    send(rows[kRangeMapEvents].chosen, wxEVT_RADIOBUTTON, 1);
    boxes.clear();
    send(page->startButton(), wxEVT_BUTTON);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "「出力するイベント」の「指定」で何も選択されていません（マップイベント）");
    EXPECT_FALSE(context.tasks.isBusy());
    EXPECT_TRUE(files().empty());

    rows[kRangeMapEvents].all->SetValue(true);
    send(rows[kRangeMapEvents].all, wxEVT_RADIOBUTTON, 1);
    boxes.clear();
    send(page->startButton(), wxEVT_BUTTON);
    send(page->startButton(), wxEVT_BUTTON);  // "中断" at once
    ASSERT_TRUE(ztest::pumpUntil([this] { return !context.tasks.isBusy(); }, 20000));
    ztest::pumpFor(20);
    // The end box comes first; the box about characters Shift_JIS lost follows it when a
    // table was written before the abort took hold.
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "中断しました\n\n" + std::to_string(files().size()) +
                  " 個のファイルを書き込みました\n出力先: " + out.file("Game_export"));
}

// Not a check: pictures of the tab for people to look at, written only when
// ZORVANE_SCREENSHOT_DIR names a folder (see docs/development.md): the page set up for a
// run, and the screen when the end box comes (the bar full, the button still "中断").
TEST_F(ExportPageTest, Screenshots) {
    const char* folder = std::getenv("ZORVANE_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "set ZORVANE_SCREENSHOT_DIR to take the pictures";
    if (!ztest::haveProgram("import")) GTEST_SKIP() << "import (ImageMagick) is needed";
    auto capture = [folder](const char* name) {
        std::string picture = std::string(folder) + "/" + name;
        EXPECT_EQ(ztest::run("import -window root " + ztest::shellQuote(picture)), 0);
    };
    frame = startApplication(context, {project});
    ASSERT_TRUE(frame);
    useSourceTemplates();
    frame->Move(0, 0);
    frame->tabs()->SetSelection(kTabExport);
    page = frame->exportPage();
    const RangeRows& rows = page->rangeRows();
    tick(rows[kRangeMapEvents].check, true);
    context.settings.exportRange.select[kRangeMapEvents] = 1;
    rows[kRangeMapEvents].chosen->SetValue(true);
    send(rows[kRangeMapEvents].chosen, wxEVT_RADIOBUTTON, 1);
    tick(page->mapImagesBox(), true);
    page->outputBox()->SetValue(toWx(out.path()));
    ztest::pumpFor(500);
    capture("export_tab.png");
    messageBoxSeam() = [&](wxWindow*, const std::string&, const std::string&, long) {
        ztest::pumpFor(300);  // the bar's last value painted
        capture("export_end.png");
        return wxOK;
    };
    runFromPage();
}

}  // namespace
}  // namespace zorvane

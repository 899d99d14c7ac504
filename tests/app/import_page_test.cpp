// The "インポート" tab driven as a user would on a copy of the sample project: a CSV goes
// into a preview, the question is answered, the file is written and the project reloads
// with the new names or curves, which Ruby's own Marshal reads back.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/weakref.h>

#include <cstdlib>
#include <filesystem>

#include "app/app_context.h"
#include "app/gui_test_support.h"
#include "app/import_page.h"
#include "app/main_frame.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

const char* const kQuestion = "本当によろしいですか？";
const char* const kSaveFirst =
    "RPGツクールXPでも同じプロジェクトを開いているなら\n"
    "この操作を行う前にツクールXP側でプロジェクトを保存してください";
const char* const kDone = "インポートが完了しました。";
const char* const kReloadThere = "ツクールXP側でプロジェクトを再読込してください";
const char* const kFailed = "ファイル保存に失敗しました";
const char* const kNoChange = "変更はありません";

void press(wxWindow* tab, const char* caption) {
    auto* button = dynamic_cast<wxButton*>(ztest::findByLabel(tab, caption));
    ASSERT_TRUE(button) << caption;
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

std::vector<std::string> texts(const std::vector<ztest::ShownMessage>& shown) {
    std::vector<std::string> out;
    for (const auto& m : shown) out.push_back(m.text);
    return out;
}

class ImportPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove(settingsFilePath());
        project = ztest::copySampleProject(dir.path());
        if (project.empty()) GTEST_SKIP() << "the sample project is not there yet";
        if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is needed to read the files back";
        frame = startApplication(context, {project});
        ASSERT_TRUE(frame);
        page = frame->importPage();
        ASSERT_TRUE(page);
    }

    void TearDown() override {
        if (frame) frame->Destroy();
        EXPECT_TRUE(ztest::pumpUntil([this] { return !frame; }));  // before its context goes
    }

    std::string data(const std::string& name) const { return dir.path() + "/Data/" + name; }

    int rubyCompare(const std::string& name, const std::string& edits) {
        ztest::writeFile(dir.file("edits.txt"), edits);
        std::string bak = name.substr(0, name.find('.')) + "_bak.rxdata";
        return ztest::run("ruby " +
                          ztest::shellQuote(ztest::sourceDir() + "/tests/import/import_check.rb") +
                          " " + ztest::shellQuote(data(bak)) + " " + ztest::shellQuote(data(name)) +
                          " < " + ztest::shellQuote(dir.file("edits.txt")));
    }

    std::string cell(wxListCtrl* list, long row, int column) const {
        return fromWx(list->GetItemText(row, column));
    }

    // Any box a test does not expect is answered No rather than left open.
    ztest::MessageBoxes unexpected{wxNO};
    ztest::TempDir dir;
    std::string project;
    AppContext context;
    wxWeakRef<MainFrame> frame;
    ImportPage* page = nullptr;
};

TEST_F(ImportPageTest, SwitchNamesFromCsvAreWrittenAndTheProjectReloads) {
    wxBookCtrlBase* tabs = page->subTabs();
    ASSERT_EQ(tabs->GetPageCount(), 4u);
    const char* titles[] = {"スイッチ名", "変数名", "属性名", "アクターパラメータ"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(fromWx(tabs->GetPageText(i)), titles[i]);

    std::string csv = dir.file("switches.csv");
    ztest::writeFile(csv, "ID,Name\r\n5,Door\r\n");
    ztest::FileDialogs files;
    files.answers = {csv};
    press(tabs->GetPage(0), "参照");
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].title, "スイッチ名リストを開く");
    ASSERT_EQ(files.requests[0].filters.size(), 1u);
    EXPECT_EQ(files.requests[0].filters[0].description, "csvファイル(*.csv)");
    wxListCtrl* list = page->nameList(NameKind::Switches);
    EXPECT_EQ(cell(list, 4, 0), "0005");
    EXPECT_EQ(cell(list, 4, 2), "Door");
    EXPECT_NE(cell(list, 4, 1), "Door");

    // No writes nothing; Yes with the editor running tells the user to save there first.
    const std::string before = ztest::readFile(data("System.rxdata"));
    {
        ztest::MessageBoxes boxes(wxNO);
        press(tabs->GetPage(0), "適用");
        EXPECT_EQ(texts(boxes.shown), std::vector<std::string>{kQuestion});
        EXPECT_EQ(ztest::readFile(data("System.rxdata")), before);
    }
    page->setEditorCheck([] { return true; });
    ztest::MessageBoxes boxes(wxYES);
    press(tabs->GetPage(0), "適用");
    EXPECT_EQ(texts(boxes.shown),
              (std::vector<std::string>{kQuestion, kSaveFirst,
                                        std::string(kDone) + "\n" + kReloadThere}));
    EXPECT_EQ(ztest::readFile(data("System_bak.rxdata")), before);
    EXPECT_EQ(rubyCompare("System.rxdata", "name\tswitches\t5\tDoor\n"), 0);
    // Reloaded: the project and the preview's "before" column hold the new name.
    EXPECT_EQ(page->nameList(NameKind::Switches), list);
    EXPECT_EQ(context.database.system().switchNames.at(5), "Door");
    EXPECT_EQ(cell(list, 4, 1), "Door");

    // Applied again with nothing loaded: the button is off, and a press writes nothing, so
    // the backup of the real import survives.
    EXPECT_FALSE(page->applyButton(NameKind::Switches)->IsEnabled());
    const std::string written = ztest::readFile(data("System.rxdata"));
    boxes.shown.clear();
    press(tabs->GetPage(0), "適用");
    EXPECT_EQ(texts(boxes.shown), (std::vector<std::string>{kQuestion, kSaveFirst, kNoChange}));
    EXPECT_EQ(ztest::readFile(data("System.rxdata")), written);
    EXPECT_EQ(ztest::readFile(data("System_bak.rxdata")), before);
    // Nor does a CSV that changes nothing (the name the file already holds).
    files.answers = {csv};
    press(tabs->GetPage(0), "参照");
    EXPECT_FALSE(page->applyButton(NameKind::Switches)->IsEnabled());
    boxes.shown.clear();
    press(tabs->GetPage(0), "適用");
    EXPECT_EQ(texts(boxes.shown), (std::vector<std::string>{kQuestion, kSaveFirst, kNoChange}));
    EXPECT_EQ(ztest::readFile(data("System.rxdata")), written);
    EXPECT_EQ(ztest::readFile(data("System_bak.rxdata")), before);

    // A file that cannot be read any more is a failure that names the file and why, and
    // nothing else happens.
    files.answers = {dir.file("other.csv")};
    ztest::writeFile(dir.file("other.csv"), "6,Gate\r\n");
    press(tabs->GetPage(0), "参照");
    EXPECT_TRUE(page->applyButton(NameKind::Switches)->IsEnabled());
    fs::rename(data("System.rxdata"), data("Moved.rxdata"));
    boxes.shown.clear();
    press(tabs->GetPage(0), "適用");
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2].text.rfind(std::string(kFailed) + "\n\n", 0), 0u);
    EXPECT_NE(boxes.shown[2].text.find(data("System.rxdata") + ": "), std::string::npos)
        << boxes.shown[2].text;
    EXPECT_FALSE(fs::exists(data("System.rxdata")));
    fs::rename(data("Moved.rxdata"), data("System.rxdata"));
}

TEST_F(ImportPageTest, ActorCurvesFromCsvAreWrittenForTheChosenActor) {
    wxChoice* actors = page->actorBox();
    ASSERT_GE(actors->GetCount(), 2u);
    actors->SetSelection(1);
    wxCommandEvent chosen(wxEVT_CHOICE, actors->GetId());
    actors->GetEventHandler()->ProcessEvent(chosen);
    ztest::writeFile(dir.file("curves.csv"), "1,0,-3,40000,5,6,7\n100,9,9,9,9,9,9\n");
    ztest::FileDialogs files;
    files.answers = {dir.file("curves.csv")};
    wxWindow* tab = page->subTabs()->GetPage(3);
    press(tab, "参照");
    ASSERT_EQ(page->actorList()->GetItemCount(), 99);
    EXPECT_EQ(cell(page->actorList(), 0, 3), "32767");

    page->setEditorCheck([] { return false; });
    ztest::MessageBoxes boxes(wxYES);
    press(tab, "適用");
    EXPECT_EQ(texts(boxes.shown), (std::vector<std::string>{kQuestion, kDone}));
    EXPECT_EQ(rubyCompare("Actors.rxdata",
                          "param\t2\t0\t1\t1\nparam\t2\t1\t1\t1\nparam\t2\t2\t1\t32767\n"
                          "param\t2\t3\t1\t5\nparam\t2\t4\t1\t6\nparam\t2\t5\t1\t7\n"),
              0);
    EXPECT_EQ(context.database.actors().at(2).parameters.at(2, 1), 32767);
}

// Not a check: a picture of the tab for people to look at, written only when
// ZORVANE_SCREENSHOT_DIR names a folder (see docs/development.md).
TEST_F(ImportPageTest, Screenshot) {
    const char* folder = std::getenv("ZORVANE_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "set ZORVANE_SCREENSHOT_DIR to take the picture";
    if (!ztest::haveProgram("import")) GTEST_SKIP() << "import (ImageMagick) is needed";
    frame->Move(0, 0);
    frame->tabs()->SetSelection(kTabImport);
    page->subTabs()->SetSelection(3);
    ztest::pumpFor(500);
    std::string picture = std::string(folder) + "/import_tab.png";
    ASSERT_EQ(ztest::run("import -window root " + ztest::shellQuote(picture)), 0);
}

}  // namespace
}  // namespace zorvane

// The "RTPコピー" tab on a scratch copy of the sample: the scan fills the list with what
// Ruby's own reading of the data files predicts, the copy asks first, ends with the
// completion box and an empty list, and the project is read again without the RTP.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/weakref.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/app_context.h"
#include "app/gui_test_support.h"
#include "app/main_frame.h"
#include "app/rtp_page.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

using ztest::click;

class RtpPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
        fs::remove(settingsFilePath());
        fs::copy(ztest::sourceDir() + "/sample/Project", dir.file("Project"),
                 fs::copy_options::recursive);
        fs::create_directories(dir.file("wine/drive_c/windows/system32"));
        ztest::writeFile(dir.file("wine/drive_c/windows/system32/RGSS102J.dll"), "library");
        savedPrefix = std::getenv("WINEPREFIX") ? std::getenv("WINEPREFIX") : "";
        setenv("WINEPREFIX", dir.file("wine").c_str(), 1);
        fs::copy(ztest::sourceDir() + "/sample/CommonFiles", dir.file("Common"),
                 fs::copy_options::recursive);
        context.commonFiles = dir.file("Common");
        project = dir.file("Project/Game.rxproj");
    }

    void TearDown() override {
        if (context.tasks.isBusy()) context.tasks.abort();
        if (frame) frame->Destroy();
        EXPECT_TRUE(ztest::pumpUntil([this] { return !frame; }));  // before its context goes
        setenv("WINEPREFIX", savedPrefix.c_str(), 1);
    }

    std::vector<std::string> listRows() const {
        std::vector<std::string> rows;
        wxListCtrl* list = page->list();
        for (long i = 0; i < list->GetItemCount(); ++i)
            rows.push_back(fromWx(list->GetItemText(i, 0)) + "\t" +
                           fromWx(list->GetItemText(i, 1)));
        return rows;
    }

    ztest::TempDir dir;
    std::string savedPrefix, project;
    AppContext context;
    wxWeakRef<MainFrame> frame;
    RtpPage* page = nullptr;
};

TEST_F(RtpPageTest, ScanFillsTheListAndCopyEmptiesIt) {
    std::string predicted;
    ASSERT_EQ(
        ztest::run("ZORVANE_COMMON_FILES=" + ztest::shellQuote(context.commonFiles) + " ruby " +
                       ztest::shellQuote(ztest::sourceDir() + "/tests/tools/rtp_files.rb") + " " +
                       ztest::shellQuote(project),
                   &predicted),
        0);
    frame = startApplication(context, {project});
    ASSERT_TRUE(frame);
    frame->tabs()->SetSelection(kTabRtpCopy);
    page = frame->rtpPage();
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->copyButton()->IsEnabled());

    click(page->scanButton());
    EXPECT_EQ(fromWx(page->scanButton()->GetLabel()), "中断");
    EXPECT_TRUE(page->scanButton()->IsEnabled());
    ASSERT_TRUE(ztest::pumpUntil([this] { return !context.tasks.isBusy(); }));
    std::string shown;
    for (const std::string& row : listRows()) shown += row + "\n";
    EXPECT_EQ(shown, predicted);
    EXPECT_EQ(fromWx(page->scanButton()->GetLabel()), "検索");
    EXPECT_TRUE(page->copyButton()->IsEnabled());

    // "No" leaves everything as it was.
    std::string gameIni = ztest::readFile(dir.file("Project/Game.ini"));
    ztest::MessageBoxes boxes(wxNO);
    click(page->copyButton());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(context.tasks.isBusy());
    EXPECT_EQ(boxes.shown[0].text,
              "リスト中のファイルを本当にゲームフォルダにコピーしてもよろしいですか？");
    EXPECT_EQ(boxes.shown[0].title, "Zorvane");
    EXPECT_TRUE(boxes.shown[0].style & wxNO_DEFAULT);

    boxes.answerWith(wxYES);
    click(page->copyButton());
    ASSERT_TRUE(ztest::pumpUntil([&] { return boxes.shown.size() == 3; }));
    EXPECT_EQ(
        boxes.shown[2].text,
        "ファイルのコピーとGame.iniの変更が完了しました\nこのゲームはRTP不要でプレイできます");
    EXPECT_EQ(page->list()->GetItemCount(), 0);
    EXPECT_FALSE(page->copyButton()->IsEnabled());
    EXPECT_NE(ztest::readFile(dir.file("Project/Game.ini")), gameIni);
    EXPECT_EQ(ztest::readFile(dir.file("Project/RGSS102J.dll")), "library");
    // Reloaded: the project now reads no RTP package name.
    EXPECT_TRUE(context.database.rtpNames[0].empty());

    // Nothing left to copy: the list says so rather than staying blank, and offers no copy.
    click(page->scanButton());
    ASSERT_TRUE(ztest::pumpUntil([this] { return !context.tasks.isBusy(); }));
    EXPECT_EQ(listRows(),
              std::vector<std::string>{"このプロジェクトはRTPのファイルを使っていません\t"});
    EXPECT_FALSE(page->copyButton()->IsEnabled());
}

TEST_F(RtpPageTest, AFailedCopyIsReportedAndGameIniStays) {
    frame = startApplication(context, {project});
    ASSERT_TRUE(frame);
    page = frame->rtpPage();
    click(page->scanButton());
    ASSERT_TRUE(ztest::pumpUntil([this] { return !context.tasks.isBusy(); }));
    ASSERT_FALSE(page->files().empty());
    RtpFile broken = page->files().back();
    fs::remove(broken.foundPath);
    fs::create_directory(broken.foundPath);  // no longer readable as a file

    std::string gameIni = ztest::readFile(dir.file("Project/Game.ini"));
    ztest::MessageBoxes boxes(wxYES);
    click(page->copyButton());
    ASSERT_TRUE(ztest::pumpUntil([&] { return boxes.shown.size() == 2; }));
    const std::string& report = boxes.shown[1].text;
    EXPECT_NE(report.find("Game.iniは変更していません"), std::string::npos) << report;
    EXPECT_NE(report.find(broken.relativePath), std::string::npos) << report;
    EXPECT_TRUE(boxes.shown[1].style & wxICON_WARNING);
    EXPECT_EQ(ztest::readFile(dir.file("Project/Game.ini")), gameIni);
}

// Not a check: a picture of the filled tab for people to look at, written only when
// ZORVANE_SCREENSHOT_DIR names a folder (see docs/development.md).
TEST_F(RtpPageTest, Screenshot) {
    const char* folder = std::getenv("ZORVANE_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "set ZORVANE_SCREENSHOT_DIR to take the picture";
    if (!ztest::haveProgram("import")) GTEST_SKIP() << "import (ImageMagick) is needed";
    frame = startApplication(context, {project});
    frame->Move(0, 0);
    frame->tabs()->SetSelection(kTabRtpCopy);
    page = frame->rtpPage();
    click(page->scanButton());
    ASSERT_TRUE(ztest::pumpUntil([this] { return !context.tasks.isBusy(); }));
    ztest::pumpFor(500);
    std::string picture = std::string(folder) + "/rtp_tab.png";
    ASSERT_EQ(ztest::run("import -window root " + ztest::shellQuote(picture)), 0);
    EXPECT_TRUE(fs::exists(picture));
}

}  // namespace
}  // namespace zorvane

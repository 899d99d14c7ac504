// The settings sheet: its pages and buttons, OK writing the controls back, Cancel not.
#include <gtest/gtest.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <string>

#include "app/gui_test_support.h"
#include "app/settings_dialog.h"
#include "app/wx_text.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

template <typename T>
T* control(wxWindow* dialog, const std::string& label) {
    wxWindow* found = ztest::findByLabel(dialog, label);
    EXPECT_TRUE(found) << label;
    return dynamic_cast<T*>(found);
}

using ztest::click;

// The radio box offering `choice` (a choice's text is not a window label).
wxRadioBox* radioWithChoice(wxWindow* parent, const std::string& choice) {
    for (wxWindow* child : parent->GetChildren()) {
        auto* radio = dynamic_cast<wxRadioBox*>(child);
        if (radio && radio->FindString(toWx(choice)) != wxNOT_FOUND) return radio;
        if (wxRadioBox* below = radioWithChoice(child, choice)) return below;
    }
    return nullptr;
}

void toggle(wxWindow* dialog, const std::string& label) {
    auto* box = control<wxCheckBox>(dialog, label);
    ASSERT_TRUE(box);
    box->SetValue(!box->GetValue());
}

TEST(SettingsDialog, HasFivePagesOkAndCancelButNoApply) {
    AppContext context;
    SettingsDialog dialog(nullptr, context);
    EXPECT_EQ(fromWx(dialog.GetTitle()), "設定");
    const char* const pages[] = {"全般", "イベントビュアー", "マップビュアー", "画像保存",
                                 "更新確認"};
    wxBookCtrlBase* book = dialog.GetBookCtrl();
    ASSERT_EQ(book->GetPageCount(), std::size(pages));
    for (size_t i = 0; i < std::size(pages); ++i) EXPECT_EQ(fromWx(book->GetPageText(i)), pages[i]);
    EXPECT_TRUE(dialog.FindWindow(wxID_OK));
    EXPECT_TRUE(dialog.FindWindow(wxID_CANCEL));
    EXPECT_FALSE(dialog.FindWindow(wxID_APPLY));
    for (const char* label :
         {"←無圧縮", "高圧縮→", "←低品質", "高品質→", "今すぐ更新確認する", "ヘッダ", "フッタ",
          "Ruby色定義", "ホスト", "ポート番号", "タイムアウト秒数"})
        EXPECT_TRUE(ztest::findByLabel(&dialog, label)) << label;
}

TEST(SettingsDialog, OkWritesEveryPageBackCancelWritesNothing) {
    for (int answer : {wxID_OK, wxID_CANCEL}) {
        AppContext context;
        Settings& s = context.settings;
        s.system.firstOnly = false;
        s.system.autoRead = true;
        s.eventViewer.lineNum = true;
        s.eventViewer.saveMode = true;
        s.mapViewer.render.viewFog = true;
        s.mapViewer.render.colorGlid = "#123456";
        s.mapViewer.render.saveMode = 0;
        s.update.useProxy = false;
        s.update.timeOut = 30;
        const Settings before = s;
        ztest::ModalDialogs modals([answer](wxDialog& d) {
            toggle(&d, "同じイベント内で複数見つかった場合は一番最初のものだけを検索結果とする");
            toggle(&d, "終了時のプロジェクトを次回起動時に自動的に読み込む");
            toggle(&d, "行番号");
            toggle(&d, "フォグ グラフィック");
            toggle(&d, "更新確認の時にはプロキシを経由する");
            wxRadioBox* format = radioWithChoice(&d, "テキスト形式（txt/rb）");
            EXPECT_TRUE(format);
            if (format) format->SetSelection(1);
            wxRadioBox* picture = radioWithChoice(&d, "JPEG");
            EXPECT_TRUE(picture);
            if (picture) picture->SetSelection(2);
            // The first reset button ("既定に戻す") belongs to the grid colour.
            auto* reset = control<wxButton>(&d, "既定に戻す");
            if (reset) click(reset);
            return answer;
        });
        EXPECT_EQ(runSettingsDialog(nullptr, context), answer == wxID_OK);
        EXPECT_EQ(modals.count, 1);
        if (answer == wxID_CANCEL) {
            EXPECT_EQ(s.system.firstOnly, before.system.firstOnly);
            EXPECT_EQ(s.system.autoRead, before.system.autoRead);
            EXPECT_EQ(s.eventViewer.lineNum, before.eventViewer.lineNum);
            EXPECT_EQ(s.mapViewer.render.viewFog, before.mapViewer.render.viewFog);
            EXPECT_EQ(s.mapViewer.render.colorGlid, "#123456");
            EXPECT_EQ(s.update.useProxy, before.update.useProxy);
            EXPECT_EQ(s.eventViewer.saveMode, before.eventViewer.saveMode);
            EXPECT_EQ(s.mapViewer.render.saveMode, before.mapViewer.render.saveMode);
            continue;
        }
        EXPECT_TRUE(s.system.firstOnly);
        EXPECT_FALSE(s.system.autoRead);
        EXPECT_FALSE(s.eventViewer.lineNum);
        EXPECT_FALSE(s.eventViewer.saveMode);
        EXPECT_EQ(s.mapViewer.render.saveMode, 2);
        EXPECT_FALSE(s.mapViewer.render.viewFog);
        EXPECT_EQ(s.mapViewer.render.colorGlid, "#000000");
        EXPECT_TRUE(s.update.useProxy);
        EXPECT_EQ(s.update.timeOut, 30);
    }
}

TEST(SettingsDialog, TimeOutBelowOneSecondIsStoredAsOne) {
    AppContext context;
    context.settings.update.timeOut = 30;
    ztest::ModalDialogs modals([](wxDialog& d) {
        wxWindow* label = ztest::findByLabel(&d, "タイムアウト秒数");
        EXPECT_TRUE(label);
        // The edit box follows its caption in the grid.
        wxWindowList& siblings = label->GetParent()->GetChildren();
        auto it = siblings.Find(label);
        EXPECT_TRUE(it && it->GetNext());
        auto* box = dynamic_cast<wxTextCtrl*>(it->GetNext()->GetData());
        EXPECT_TRUE(box);
        if (box) box->SetValue("0");
        return wxID_OK;
    });
    ASSERT_TRUE(runSettingsDialog(nullptr, context));
    EXPECT_EQ(context.settings.update.timeOut, 1);
}

}  // namespace
}  // namespace zorvane

namespace zorvane {
namespace {

// Not a check: each page of the sheet for people to look at, written only when
// ZORVANE_SCREENSHOT_DIR names a folder (see docs/development.md).
TEST(SettingsDialog, Screenshots) {
    const char* folder = std::getenv("ZORVANE_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "set ZORVANE_SCREENSHOT_DIR to take the pictures";
    if (!ztest::haveProgram("import")) GTEST_SKIP() << "import (ImageMagick) is needed";
    AppContext context;
    SettingsDialog dialog(nullptr, context);
    dialog.Move(0, 0);
    dialog.Show();
    for (size_t i = 0; i < dialog.GetBookCtrl()->GetPageCount(); ++i) {
        dialog.GetBookCtrl()->SetSelection(i);
        ztest::pumpFor(400);
        std::string picture =
            std::string(folder) + "/settings_page" + std::to_string(i + 1) + ".png";
        EXPECT_EQ(ztest::run("import -window root " + ztest::shellQuote(picture)), 0);
    }
    dialog.Hide();
}

}  // namespace
}  // namespace zorvane

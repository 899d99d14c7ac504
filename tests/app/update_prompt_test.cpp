// The update check as the user meets it, against a server on loopback: the settings
// button's answers, the quiet check at start-up, and Yes opening the page and closing.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/weakref.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/app_context.h"
#include "app/gui_test_support.h"
#include "app/main_frame.h"
#include "app/settings_dialog.h"
#include "app/update_prompt.h"
#include "platform/folders.h"
#include "platform/registry_store.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

const char* const kSameBuild =
    "[Soft1]\r\nDistinctName=zorvane\r\nBuild=106\r\nVersion=Ver1.06\r\n";
const char* const kNewerBuild =
    "[Soft1]\r\nDistinctName=zorvane\r\nBuild=110\r\nVersion=Ver1.10\r\n";
const char* const kQuestionHead =
    "現在実行中の Zorvane のバージョンよりも新しいバージョンが見つかりました\n"
    "Webサイトを開きますか？\n"
    "　現在のバージョン\tVer1.06\n"
    "　見つかったバージョン\tVer1.10\n\n";

// Presses "今すぐ更新確認する" on the sheet and waits for the box it leads to.
void pressCheckButton(wxDialog& dialog, const ztest::MessageBoxes& boxes) {
    auto* button = dynamic_cast<wxButton*>(ztest::findByLabel(&dialog, "今すぐ更新確認する"));
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->IsEnabled());
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
    EXPECT_TRUE(ztest::pumpUntil([&] { return !boxes.shown.empty(); }));
}

TEST(UpdatePrompt, SettingsButtonShowsTheAnswer) {
    struct Case {
        const char* what;
        ztest::HttpReply reply;
        bool autoClose;
        std::string text, title;
        long buttons;
    };
    const Case cases[] = {
        {"newer build", ztest::httpAnswer(kNewerBuild), false,
         std::string(kQuestionHead) +
             "(アップデートをする場合には現在実行中の Zorvane を終了させてください)",
         "Zorvane", wxYES_NO},
        {"newer build, closing after", ztest::httpAnswer(kNewerBuild), true,
         std::string(kQuestionHead) + "(サイトを開いたら Zorvane を自動的に終了します)", "Zorvane",
         wxYES_NO},
        {"same build", ztest::httpAnswer(kSameBuild), false,
         "新しいバージョンの Zorvane は見つかりませんでした", "Zorvane", wxOK},
        {"404", ztest::httpAnswer("", "404 Not Found"), false,
         "更新情報の取得に失敗しました\n\nHttpQueryInfo(HTTP_QUERY_STATUS_CODE):404", "エラー",
         wxOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ztest::LoopbackServer server([&](const std::string&) { return c.reply; });
        AppContext context;
        context.settings.update.infoUrl = server.url();
        context.settings.update.autoClose = c.autoClose;
        joinUpdateCheck(context);
        ztest::MessageBoxes boxes(wxNO);
        ztest::ModalDialogs modals([&](wxDialog& d) {
            pressCheckButton(d, boxes);
            return wxID_CANCEL;
        });
        runSettingsDialog(nullptr, context);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, c.text);
        EXPECT_EQ(boxes.shown[0].title, c.title);
        EXPECT_EQ(boxes.shown[0].style & (wxYES_NO | wxOK), c.buttons);
    }
}

TEST(UpdatePrompt, QuietCheckSaysNothingWithoutNewerBuild) {
    ztest::LoopbackServer server([](const std::string&) { return ztest::httpAnswer(kSameBuild); });
    AppContext context;
    context.settings.update.infoUrl = server.url();
    joinUpdateCheck(context);
    ztest::MessageBoxes boxes(wxOK);
    context.hooks.runUpdateCheck(nullptr, true);
    ASSERT_TRUE(ztest::pumpUntil([&] { return !server.requests().empty(); }));
    ztest::pumpFor(300);
    EXPECT_TRUE(boxes.shown.empty());
}

// The program ends without waiting out the time-out of a server that never answers.
TEST(UpdatePrompt, ClosingDuringACheckDoesNotWaitForTheServer) {
    ztest::LoopbackServer server([](const std::string&) { return ztest::HttpReply{"", true}; });
    auto context = std::make_unique<AppContext>();
    context->settings.update.infoUrl = server.url();
    context->settings.update.timeOut = 30;
    joinUpdateCheck(*context);
    context->hooks.runUpdateCheck(nullptr, true);
    ASSERT_TRUE(ztest::pumpUntil([&] { return !server.requests().empty(); }));
    auto start = std::chrono::steady_clock::now();
    context.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

// Start-up with AutoCheck and AutoClose: the window comes up before the server answers, the
// record names the address in use, and Yes opens the page and ends the program.
TEST(UpdatePrompt, StartupCheckYesOpensThePageAndCloses) {
    ztest::LoopbackServer server([](const std::string&) { return ztest::httpAnswer(kNewerBuild); });
    ztest::TempDir bin;
    const std::string opened = bin.file("opened");
    ztest::writeFile(bin.file("xdg-open"), "#!/bin/sh\necho \"$1\" > '" + opened + "'\n");
    std::filesystem::permissions(bin.file("xdg-open"), std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    setenv("PATH", (bin.path() + ":" + path).c_str(), 1);
    RegistryStore& registry = RegistryStore::user();
    registry.setString("Software\\Novaskim", "Shared", "1");
    ztest::writeFile(settingsFilePath(),
                     "[System]\nAutoRead=0\n[Update]\nAutoCheck=1\nAutoClose=1\n"
                     "InfoURL=" +
                         server.url() + "\n");

    AppContext context;
    joinUpdateCheck(context);
    ztest::MessageBoxes boxes(wxYES);
    wxWeakRef<MainFrame> frame = startApplication(context, {});
    EXPECT_TRUE(boxes.shown.empty());  // the window did not wait for the server
    EXPECT_TRUE(ztest::pumpUntil([&] { return !frame; }));
    setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              std::string(kQuestionHead) + "(サイトを開いたら Zorvane を自動的に終了します)");
    EXPECT_TRUE(ztest::pumpUntil([&] {
        return std::filesystem::exists(opened) &&
               ztest::readFile(opened) == kWebPageUrl + std::string("\n");
    }));
    EXPECT_EQ(registry.getString("Software\\Novaskim\\ZorvaneProject", "InfoURL", ""),
              server.url());
    EXPECT_NE(registry.getString("Software\\Novaskim\\ZorvaneProject\\zorvane", "FilePath", ""),
              "");
    registry.deleteKey("Software\\Novaskim");
    registry.save();
    std::filesystem::remove(settingsFilePath());
    if (frame) frame->Destroy();
}

}  // namespace
}  // namespace zorvane

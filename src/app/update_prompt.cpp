// One check runs at a time. A second request while it runs only makes the answer loud
// when the running check was quiet, so the settings button is never silently ignored.
// The worker holds only copies of the settings; the answer comes back through CallAfter
// and is dropped when the checker has gone with the program.
#include "app/update_prompt.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/weakref.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/app_context.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/wx_text.h"
#include "platform/registry_store.h"
#include "platform/shell.h"
#include "update/program_identity.h"
#include "update/registration.h"
#include "update/update_check.h"

namespace zorvane {

namespace {

// The time-out in whole seconds, as the settings hold it, never zero and never overflowing.
int timeoutMs(int seconds) {
    const int most = 24 * 3600;
    return (seconds < 1 ? 1 : seconds > most ? most : seconds) * 1000;
}

std::string runningProgram() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

MainFrame* mainFrame() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<MainFrame*>(window)) return frame;
    return nullptr;
}

// With AutoClose the program ends as soon as the page is open; a sheet that is showing
// is closed first, as Cancel would.
void endProgram(wxWindow* owner) {
    auto* dialog = dynamic_cast<wxDialog*>(owner ? wxGetTopLevelParent(owner) : nullptr);
    if (dialog && dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
    wxTheApp->CallAfter([] {
        if (MainFrame* frame = mainFrame()) frame->Close(true);
    });
}

class UpdateChecker {
  public:
    explicit UpdateChecker(AppContext& context)
        : context_(context), self_(std::make_shared<UpdateChecker*>(this)) {}
    ~UpdateChecker() {
        self_.reset();
        abort_ = true;
        if (worker_.joinable()) worker_.join();
    }
    UpdateChecker(const UpdateChecker&) = delete;
    UpdateChecker& operator=(const UpdateChecker&) = delete;

    void run(wxWindow* owner, bool quiet) {
        owner_ = owner;
        if (running_) {
            quiet_ = quiet_ && quiet;
            return;
        }
        if (worker_.joinable()) worker_.join();
        running_ = true;
        quiet_ = quiet;
        const UpdateSettings& s = context_.settings.update;
        UpdateCheckOptions options;
        options.infoUrl = s.infoUrl;
        options.http.timeoutMs = timeoutMs(s.timeOut);
        if (s.useProxy) {
            options.http.proxyHost = s.proxyHost;
            options.http.proxyPort = s.proxyPort;
        }
        options.http.abort = &abort_;
        std::weak_ptr<UpdateChecker*> self = self_;
        worker_ = std::thread([self, options] {
            UpdateCheckAnswer answer = checkForUpdate(kDistinctName, kBuildNumber, options);
            if (!wxTheApp) return;
            wxTheApp->CallAfter([self, answer] {
                if (auto checker = self.lock()) (*checker)->finish(answer);
            });
        });
    }

  private:
    void finish(const UpdateCheckAnswer& answer) {
        if (worker_.joinable()) worker_.join();
        running_ = false;
        wxWindow* owner = owner_.get();
        switch (answer.result) {
            case UpdateResult::NewerBuild:
                offerNewerBuild(owner, answer.foundVersion);
                break;
            case UpdateResult::NoNewerBuild:
                if (!quiet_)
                    showMessage(owner,
                                trf("新しいバージョンの %s は見つかりませんでした", kProgramName),
                                kMessageTitle, wxOK | wxICON_INFORMATION);
                break;
            case UpdateResult::Failed:
                showMessage(owner, trs("更新情報の取得に失敗しました") + "\n\n" + answer.errorText,
                            trs("エラー"), wxOK | wxICON_ERROR);
                break;
        }
    }

    void offerNewerBuild(wxWindow* owner, const std::string& foundVersion) {
        bool autoClose = context_.settings.update.autoClose;
        int reply = showMessage(owner, newerBuildQuestion(foundVersion, autoClose), kMessageTitle,
                                wxYES_NO | wxICON_QUESTION);
        // Without a browser to show the page, closing would leave the user with nothing.
        if (reply == wxYES && shellOpen(kWebPageUrl) && autoClose) endProgram(owner_.get());
    }

    AppContext& context_;
    std::shared_ptr<UpdateChecker*> self_;
    std::atomic<bool> abort_{false};
    std::thread worker_;
    wxWeakRef<wxWindow> owner_;
    bool running_ = false;
    bool quiet_ = true;
};

}  // namespace

std::string newerBuildQuestion(const std::string& foundVersion, bool autoClose) {
    std::string text =
        trf("現在実行中の %s のバージョンよりも新しいバージョンが見つかりました\n"
            "Webサイトを開きますか？\n",
            kProgramName);
    text += trf("　現在のバージョン\t%s\n　見つかったバージョン\t%s\n\n", kVersionText,
                foundVersion.c_str());
    if (autoClose)
        text += trf("(サイトを開いたら %s を自動的に終了します)", kProgramName);
    else
        text +=
            trf("(アップデートをする場合には現在実行中の %s を終了させてください)", kProgramName);
    return text;
}

void joinUpdateCheck(AppContext& context) {
    auto checker = std::make_shared<UpdateChecker>(context);
    context.hooks.runUpdateCheck = [checker](wxWindow* owner, bool quiet) {
        checker->run(owner, quiet);
    };
    context.hooks.registerProgram = [&context] {
        registerProgram(RegistryStore::user(), {context.settings.update.infoUrl, runningProgram()});
    };
    context.hooks.unregisterProgram = [] { unregisterProgram(RegistryStore::user()); };
}

}  // namespace zorvane

// wx's own command-line parser is not used: the first argument is a project path, which
// may begin with '-' or contain anything a file name can.
#include "app/zorvane_app.h"

#include <exception>
#include <new>
#include <string>
#include <vector>

#include "app/desktop_language.h"
#include "app/event_viewer.h"
#include "app/map_viewer.h"
#include "app/message_box.h"
#include "app/update_prompt.h"
#include "app/wx_text.h"

namespace zorvane {

bool ZorvaneApp::OnInit() {
    context_ = std::make_unique<AppContext>();
    context_->hooks.useLanguage = [](int setting) {
        useDesktopLanguage(static_cast<LanguageChoice>(setting));
    };
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(fromWx(argv[i]));
    joinUpdateCheck(*context_);
    joinEventViewer(*context_);
    joinMapViewer(*context_);
    startApplication(*context_, args);
    return true;
}

bool ZorvaneApp::OnExceptionInMainLoop() {
    std::string what = "unknown error";
    try {
        throw;
    } catch (const std::bad_alloc&) {
        what = "not enough memory";
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    showMessage(GetTopWindow(), trs("エラーが発生しました") + "\n\n" + what, kMessageTitle,
                wxOK | wxICON_WARNING);
    return true;
}

int ZorvaneApp::OnExit() {
    if (context_) finishApplication(*context_);
    context_.reset();
    return wxApp::OnExit();
}

}  // namespace zorvane

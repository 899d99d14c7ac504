// wx's own command-line parser is not used: the first argument is a project path, which
// may begin with '-' or contain anything a file name can.
#include "app/zorvane_app.h"

#include <vector>

#include "app/event_viewer.h"
#include "app/map_viewer.h"
#include "app/update_prompt.h"
#include "app/wx_text.h"

namespace zorvane {

bool ZorvaneApp::OnInit() {
    context_ = std::make_unique<AppContext>();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(fromWx(argv[i]));
    joinUpdateCheck(*context_);
    joinEventViewer(*context_);
    joinMapViewer(*context_);
    startApplication(*context_, args);
    return true;
}

int ZorvaneApp::OnExit() {
    if (context_) finishApplication(*context_);
    context_.reset();
    return wxApp::OnExit();
}

}  // namespace zorvane

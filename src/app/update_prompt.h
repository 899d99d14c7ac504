// The update check of the desktop program: the registration record at start-up and on the
// uninstall exit, and the version query, run on a thread of its own so the windows never
// wait for the server, with its answer shown as a message box on the UI thread.
#pragma once
#include <string>

class wxWindow;

namespace zorvane {

struct AppContext;

// Sets the registration and update-check hooks of the program.
void joinUpdateCheck(AppContext& context);

// The question asked when the server has a newer build.
std::string newerBuildQuestion(const std::string& foundVersion, bool autoClose);

}  // namespace zorvane

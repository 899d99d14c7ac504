// Opening files, folders and web pages with the desktop's default handler, and starting
// other programs without waiting for them.
#pragma once
#include <string>
#include <vector>

namespace zorvane {

// Runs argv (argv[0] looked up in PATH) detached; false when it could not be started.
bool runDetached(const std::vector<std::string>& argv);
// xdg-open target.
bool shellOpen(const std::string& target);

}  // namespace zorvane

// list: the commands of one event list (a common event, a battle event page or a map event
// page) as the editor shows them, one line a command, indented by nesting.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace zorvane::cli {

void addListCommand(CLI::App& app, Runner* run);

}  // namespace zorvane::cli

// export: the project's database as CSV, its events and scripts as documents and its maps
// as pictures, into one folder tree, with a progress bar on a terminal.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace zorvane::cli {

void addExportCommand(CLI::App& app, Runner* run);

}  // namespace zorvane::cli

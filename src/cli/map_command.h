// map: draws one map, or every map of the project's tree, as BMP, PNG or JPEG pictures
// with the display options of the map viewer given as flags.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace zorvane::cli {

void addMapCommand(CLI::App& app, Runner* run);

}  // namespace zorvane::cli

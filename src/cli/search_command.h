// search: where a switch, variable, common event, text or command kind is used in a
// project, or which events name files that exist nowhere; rows as a table, JSON or CSV.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace zorvane::cli {

void addSearchCommand(CLI::App& app, Runner* run);

}  // namespace zorvane::cli

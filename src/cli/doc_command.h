// doc: one common event, troop page, map event page or script as an HTML or text
// document, to standard output or written atomically to a file.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace zorvane::cli {

void addDocCommand(CLI::App& app, Runner* run);

}  // namespace zorvane::cli

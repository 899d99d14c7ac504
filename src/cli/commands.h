// The sub-commands of zorvane-cli. Each registers its flags on the parser and returns the
// process exit status when run.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>

namespace zorvane::cli {

using Runner = std::function<int()>;

// Each adds one sub-command and stores in *run what executes it.
void addDumpCommands(CLI::App& app, Runner* run);
void addProjectCommands(CLI::App& app, Runner* run);
void addUpdateCommand(CLI::App& app, Runner* run);
void addTextconvCommands(CLI::App& app, Runner* run);
void addImportCommand(CLI::App& app, Runner* run);

}  // namespace zorvane::cli

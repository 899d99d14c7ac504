// rtp: the RTP files a project uses, and their copy into the game folder.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace zorvane::cli {

void addRtpCommand(CLI::App& app, Runner* run);

}  // namespace zorvane::cli

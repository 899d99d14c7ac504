// The sub-commands of zorvane-cli. Each registers its flags on the parser and returns the
// process exit status when run.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "project/listing_language.h"

namespace zorvane::cli {

using Runner = std::function<int()>;

// Exit status of a run that went to its end with a word of warning: search skipped what it
// could not read, or a file was written with characters its encoding cannot hold as "?".
constexpr int kIncomplete = 3;

// Names on standard error each file that holds characters written as "?" and how many, and
// how to keep them; true when there was any.
inline bool reportLostCharacters(const std::vector<std::pair<std::string, size_t>>& files) {
    size_t total = 0, lossy = 0;
    for (const auto& file : files) total += file.second, lossy += file.second > 0;
    if (total == 0) return false;
    std::fprintf(stderr,
                 "%zu characters that Shift_JIS cannot hold were written as \"?\" in %zu "
                 "files (--encoding utf-8 keeps them):\n",
                 total, lossy);
    for (const auto& [path, count] : files)
        if (count > 0) std::fprintf(stderr, "  %s: %zu\n", path.c_str(), count);
    return true;
}

// --lang ja|en on the commands that print event command text (lines, condition sections,
// document headings) or findings; Japanese unless asked. `what` names what it translates.
inline void addLanguageOption(CLI::App* command, std::string& language,
                              const std::string& what = "the event command text") {
    command->add_option("--lang", language, "language of " + what + ": ja (the default) or en")
        ->check(CLI::IsMember({"ja", "en"}));
}
inline ListingLanguage listingLanguage(const std::string& language) {
    return language == "en" ? ListingLanguage::English : ListingLanguage::Japanese;
}

// Each adds one sub-command and stores in *run what executes it.
void addDumpCommands(CLI::App& app, Runner* run);
void addProjectCommands(CLI::App& app, Runner* run);
void addUpdateCommand(CLI::App& app, Runner* run);
void addTextconvCommands(CLI::App& app, Runner* run);
void addImportCommand(CLI::App& app, Runner* run);
void addSiteCommand(CLI::App& app, Runner* run);
void addLintCommand(CLI::App& app, Runner* run);

}  // namespace zorvane::cli

// update-check: asks the maker's server whether a newer build of the program exists, as
// the desktop program's check does, with the address, time-out and proxy from flags.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "update/program_identity.h"
#include "update/update_check.h"

namespace zorvane::cli {

namespace {

struct UpdateCheckFlags {
    std::string url = kUpdateInfoUrl;
    int timeout = 30;
    std::string proxy;
};

// "HOST:PORT"; the port is the text after the last colon.
bool splitProxy(const std::string& text, std::string& host, int& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
    std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    host = text.substr(0, colon);
    port = std::stoi(digits);
    return port <= 65535;
}

int runUpdateCheck(const UpdateCheckFlags& flags) {
    UpdateCheckOptions options;
    options.infoUrl = flags.url;
    options.http.timeoutMs = flags.timeout * 1000;
    if (!flags.proxy.empty() &&
        !splitProxy(flags.proxy, options.http.proxyHost, options.http.proxyPort)) {
        std::fprintf(stderr, "--proxy: expected HOST:PORT, got %s\n", flags.proxy.c_str());
        return 1;
    }
    UpdateCheckAnswer answer = checkForUpdate(kDistinctName, kBuildNumber, options);
    switch (answer.result) {
        case UpdateResult::NoNewerBuild:
            std::printf("no newer build (running %s, build %d)\n", kVersionText, kBuildNumber);
            return 0;
        case UpdateResult::NewerBuild:
            std::printf("newer version: %s (running %s)\n", answer.foundVersion.c_str(),
                        kVersionText);
            return 2;
        case UpdateResult::Failed:
            break;
    }
    std::fprintf(stderr, "%s\n", answer.errorText.c_str());
    return 1;
}

}  // namespace

void addUpdateCommand(CLI::App& app, Runner* run) {
    auto flags = std::make_shared<UpdateCheckFlags>();
    CLI::App* u = app.add_subcommand(
        "update-check",
        "Ask the update server whether a newer build exists. Exit status: 0 no newer build, "
        "2 a newer build (its version is printed), 1 the check failed (the reason is printed)");
    u->add_option("--url", flags->url, "address of the update information file")
        ->capture_default_str();
    u->add_option("--timeout", flags->timeout, "time-out in seconds")
        ->capture_default_str()
        ->check(CLI::Range(1, 24 * 3600));
    u->add_option("--proxy", flags->proxy,
                  "HTTP proxy as HOST:PORT (names without a dot bypass it)");
    u->callback([run, flags] { *run = [flags] { return runUpdateCheck(*flags); }; });
}

}  // namespace zorvane::cli

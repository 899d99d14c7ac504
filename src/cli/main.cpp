// zorvane-cli: the work of the desktop program without windows, for terminals and scripts.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "cli/commands.h"
#include "cli/doc_command.h"
#include "cli/export_command.h"
#include "cli/list_command.h"
#include "cli/map_command.h"
#include "cli/rtp_command.h"
#include "cli/search_command.h"
#include "cli/terminal_output.h"
#include "project/project_path.h"
#include "update/program_identity.h"

int main(int argc, char** argv) {
    // Scripts and packaging probe the program with --version alone: it answers before the
    // locale is read and every command's parser is built, which were most of its start.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", zorvane::kVersion);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::setlocale(LC_ALL, "");
    zorvane::cli::protectTerminal();
    CLI::App app{"Zorvane: look inside RPGXP game projects"};
    app.require_subcommand(1);
    app.set_version_flag("--version", zorvane::kVersion);
    zorvane::cli::Runner run;
    zorvane::cli::addDumpCommands(app, &run);
    zorvane::cli::addProjectCommands(app, &run);
    zorvane::cli::addListCommand(app, &run);
    zorvane::cli::addSearchCommand(app, &run);
    zorvane::cli::addRtpCommand(app, &run);
    zorvane::cli::addUpdateCommand(app, &run);
    zorvane::cli::addMapCommand(app, &run);
    zorvane::cli::addDocCommand(app, &run);
    zorvane::cli::addTextconvCommands(app, &run);
    zorvane::cli::addImportCommand(app, &run);
    zorvane::cli::addExportCommand(app, &run);
    zorvane::cli::addSiteCommand(app, &run);
    zorvane::cli::addLintCommand(app, &run);
    // Every command that takes a project takes it as its file, its folder or a data file in
    // it, the way the desktop program does.
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; }))
        if (CLI::Option* project = command->get_option_no_throw("PROJECT"))
            project->transform([](std::string path) { return zorvane::resolveProjectPath(path); })
                ->description("the project: Game.rxproj, its folder, or a file in its Data folder");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    if (!run) return 1;
    // Whatever a damaged project provokes ends as a message and a failure status, not as
    // an abort with a core dump.
    try {
        return run();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "zorvane-cli: not enough memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zorvane-cli: %s\n", e.what());
    }
    return 1;
}

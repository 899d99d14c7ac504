// dump: the tree of one .rxdata file, one value a line; resave: read and write back.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "marshal/marshal_file.h"
#include "textconv/value_dump.h"

namespace zorvane::cli {

namespace {

struct DumpOptions {
    std::string file;
    bool paths = false;
};

struct ResaveOptions {
    std::string in;
    std::string out;
};

int runDump(const DumpOptions& o) {
    MarshalFile file;
    if (!file.load(o.file)) {
        std::fprintf(stderr, "%s: %s\n", o.file.c_str(), file.error().message().c_str());
        return 1;
    }
    dumpValues(file, o.paths,
               [](std::string_view piece) { std::fwrite(piece.data(), 1, piece.size(), stdout); });
    return 0;
}

int runResave(const ResaveOptions& o) {
    MarshalFile file;
    if (!file.load(o.in)) {
        std::fprintf(stderr, "%s: %s\n", o.in.c_str(), file.error().message().c_str());
        return 1;
    }
    if (!file.save(o.out)) {
        std::fprintf(stderr, "%s: %s\n", o.out.c_str(), file.error().message().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

void addDumpCommands(CLI::App& app, Runner* run) {
    auto dump = std::make_shared<DumpOptions>();
    CLI::App* d = app.add_subcommand("dump", "Print the value tree of an .rxdata file");
    d->add_option("FILE", dump->file, "the .rxdata file")->required();
    d->add_flag("--paths", dump->paths, "show each value's path");
    d->callback([run, dump] { *run = [dump] { return runDump(*dump); }; });

    auto resave = std::make_shared<ResaveOptions>();
    CLI::App* r = app.add_subcommand("resave", "Read an .rxdata file and write it back");
    r->add_option("IN", resave->in, "file to read")->required();
    r->add_option("OUT", resave->out, "file to write")->required();
    r->callback([run, resave] { *run = [resave] { return runResave(*resave); }; });
}

}  // namespace zorvane::cli

// dump: the tree of one .rxdata file, one value a line; resave: read and write back.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "marshal/marshal_file.h"

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

// Kinds without display text of their own are named, so every line says something.
std::string dumpText(const MarshalValue& node) {
    switch (node.kind()) {
        case MarshalValue::UserDump:
            return "<_dump " + node.className() + ", " + std::to_string(node.bytes().size()) + " bytes>";
        case MarshalValue::MarshalDump: return "<marshal_dump " + node.className() + ">";
        case MarshalValue::ClassRef: return "<class " + node.text() + ">";
        case MarshalValue::ModuleRef: return "<module " + node.text() + ">";
        default: return node.toText(true);
    }
}

void printNode(const MarshalValue& node, const std::string& path, const ValuePathIndex& index,
               int depth, bool withPaths, const std::string& label) {
    std::string line(static_cast<size_t>(depth) * 2, ' ');
    if (!label.empty()) line += label + " ";
    line += dumpText(node);
    // A path taken first by another node belongs to that node.
    if (withPaths && index.findPath(path) == &node) line += "    " + path;
    std::printf("%s\n", line.c_str());
    ValuePathIndex::forEachChild(node, path, [&](const MarshalValue& child, const std::string& p) {
        char step = p[path.size()];
        if (step == '/') return;  // name nodes and hash keys label their values instead
        std::string childLabel;
        if (step == '.') childLabel = p.substr(path.size() + 1) + ":";
        else if (step == '{') childLabel = p.substr(path.size()) + " =>";
        printNode(child, p, index, depth + 1, withPaths, childLabel);
    });
}

int runDump(const DumpOptions& o) {
    MarshalFile file;
    if (!file.load(o.file)) {
        std::fprintf(stderr, "%s: %s\n", o.file.c_str(), file.error().message().c_str());
        return 1;
    }
    const ValueArray& tops = file.root().children();
    for (size_t i = 0; i < tops.size(); ++i) {
        std::string head = ValuePathIndex::headOf(tops[i]);
        if (head.empty()) head = "[" + std::to_string(i) + "]";
        printNode(tops[i], head, file.index(), 0, o.paths, "");
    }
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

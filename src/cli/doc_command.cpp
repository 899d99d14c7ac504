// doc: fills the document options from flags, loads what the kind needs (the map for a
// map event, the colour rules for a script) and writes the document where asked.
#include "cli/doc_command.h"

#include "cli/commands.h"

#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_support.h"
#include "documents/document_writer.h"
#include "map/map_data.h"
#include "platform/file_util.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "text/text_matcher.h"

namespace zorvane::cli {

namespace {

struct DocFlags {
    std::string project;
    DocumentRequest request;
    int map = 0;
    bool text = false;
    bool lineNumbers = false;
    bool detail = false;
    std::string language = "ja";
    bool skipEmpty = false;
    std::string output;
    std::string templates;
    std::string encoding = "auto";
};

// Exit statuses besides 0: the document failed, or there was nothing to write.
constexpr int kFailed = 1;
constexpr int kSkipped = 2;

int emit(const DocumentResult& document, const std::string& output) {
    if (document.outcome == DocumentOutcome::Failed) {
        std::fprintf(stderr, "%s\n", document.message.c_str());
        return kFailed;
    }
    if (document.outcome == DocumentOutcome::Skipped) {
        std::fprintf(stderr, "skipped: %s\n", document.message.c_str());
        return kSkipped;
    }
    int written = document.lostCharacters > 0 ? kIncomplete : 0;
    if (output.empty()) {
        std::fwrite(document.bytes.data(), 1, document.bytes.size(), stdout);
        if (std::fflush(stdout) != 0) return kFailed;
        reportLostCharacters({{"(standard output)", document.lostCharacters}});
        return written;
    }
    if (saveDocument(output, document)) {
        reportLostCharacters({{output, document.lostCharacters}});
        return written;
    }
    std::fprintf(stderr, "%s: cannot be written\n", output.c_str());
    return kFailed;
}

int runDoc(const DocFlags& f) {
    DocumentOptions options;
    if (!parseOutputEncoding(f.encoding, options.textEncoding)) {
        std::fprintf(stderr, "--encoding is auto, cp932 or utf-8\n");
        return kFailed;
    }
    ProjectDatabase db;
    if (!openProjectOrFail(db, f.project)) return kFailed;
    std::string folder = templatesOrFail(f.templates);
    if (folder.empty()) return kFailed;
    useTemplateFolder(options, folder);
    options.html = !f.text;
    options.lineNumbers = f.lineNumbers;
    options.detail = f.detail;
    options.language = listingLanguage(f.language);
    options.skipEmpty = f.skipEmpty;

    DocumentSources sources{db};
    MapData map;
    if (f.request.kind == DocumentKind::MapEvent) {
        map.load(db, f.map, false);  // a map that cannot be read fails the document
        sources.map = &map;
    }
    TextMatcher matcher(MatcherLibrary::Builtin);
    ColourRules rules;
    if (f.request.kind == DocumentKind::Script && options.html) {
        matcher.load();
        rules = loadColourRules(joinPath(folder, kColourRulesName));
        sources.matcher = &matcher;
        sources.colourRules = &rules;
    }
    return emit(writeEventDocument(sources, f.request, options), f.output);
}

}  // namespace

void addDocCommand(CLI::App& app, Runner* run) {
    auto f = std::make_shared<DocFlags>();
    CLI::App* doc = app.add_subcommand(
        "doc",
        "Write one common event, battle event page, map event page or script as an HTML or "
        "text document (exit status 1 when it fails, 2 when there is nothing to write, 3 when "
        "characters that the encoding cannot hold were written as \"?\")");
    doc->add_option("PROJECT", f->project, "the project file (Game.rxproj)")->required();
    auto common = std::make_shared<int>(0), troop = std::make_shared<int>(0),
         event = std::make_shared<int>(0), script = std::make_shared<int>(0);
    CLI::Option* commonOpt = doc->add_option("--common", *common, "common event id");
    CLI::Option* troopOpt = doc->add_option("--troop", *troop, "troop id");
    CLI::Option* mapOpt = doc->add_option("--map", f->map, "map id");
    CLI::Option* eventOpt = doc->add_option("--event", *event, "map event id");
    CLI::Option* pageOpt = doc->add_option("--page", f->request.page, "page number, from 1");
    CLI::Option* scriptOpt = doc->add_option("--script", *script, "script position, from 1");
    doc->add_flag("--text", f->text, "plain text instead of HTML");
    doc->add_flag("--line-numbers", f->lineNumbers, "number the lines");
    doc->add_flag("--detail", f->detail, "command lines in the long form");
    addLanguageOption(doc, f->language);
    doc->add_flag("--skip-empty", f->skipEmpty, "write nothing for an empty list or script");
    doc->add_option("-o,--output", f->output, "the file to write (standard output when absent)");
    doc->add_option("--templates", f->templates,
                    "folder of header.html, footer.html and ruby_color.txt (the program's)");
    doc->add_option("--encoding", f->encoding,
                    "text documents: auto (CP932 for a Shift_JIS project), cp932 or utf-8");
    commonOpt->excludes(troopOpt)->excludes(mapOpt)->excludes(scriptOpt)->excludes(pageOpt);
    troopOpt->excludes(mapOpt)->excludes(scriptOpt)->needs(pageOpt);
    mapOpt->excludes(scriptOpt)->needs(eventOpt)->needs(pageOpt);
    eventOpt->needs(mapOpt);
    scriptOpt->excludes(pageOpt);
    doc->callback([=] {
        if (*commonOpt) {
            f->request.kind = DocumentKind::CommonEvent;
            f->request.id = *common;
        } else if (*troopOpt) {
            f->request.kind = DocumentKind::BattleEvent;
            f->request.id = *troop;
        } else if (*mapOpt) {
            f->request.kind = DocumentKind::MapEvent;
            f->request.id = *event;
        } else if (*scriptOpt) {
            f->request.kind = DocumentKind::Script;
            f->request.id = *script;
        } else {
            throw CLI::RequiredError("one of --common, --troop, --map or --script");
        }
        *run = [f] { return runDoc(*f); };
    });
}

}  // namespace zorvane::cli

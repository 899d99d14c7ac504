// search: fills the search panel from flags, lets the panel check decide what is missing,
// runs the search engine and prints or saves the results list. Ctrl-C stops the search and
// keeps the rows found so far, like the results window's abort.
#include "cli/search_command.h"

#include <utf8proc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "listing/listing.h"
#include "platform/codepage.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "search/search_engine.h"
#include "search/search_results.h"
#include "search/search_validation.h"
#include "text/text_matcher.h"

namespace zorvane::cli {

namespace {

struct SearchFlags {
    std::string project;
    std::vector<int> switches, variables, commonEvents;
    std::vector<std::string> commands;
    std::string text;
    bool textGiven = false;
    std::vector<std::string> targets;
    bool targetsGiven = false;
    bool andMode = false, orMode = false;
    bool operating = false, referencing = false, conditions = false;
    bool caseSensitive = false, regex = false, fuzzy = false;
    bool missingFiles = false;
    std::string common, troops, maps, scripts;
    bool subMaps = false;
    bool firstOnly = false, detail = false, json = false;
    std::string language = "ja";
    std::string csv;
    std::string encoding = "auto";
};

// Names of the text targets in the order of the text page's boxes.
const char* const kTargetNames[TextTargetCount] = {"message", "comment", "file",  "name",
                                                   "choice",  "script",  "label", "actor"};

// Parses "all" or a positive id into a range row; false for anything else.
bool parseRange(const std::string& value, RangeRow& row) {
    if (value.empty()) return true;
    row.checked = true;
    if (value == "all") {
        row.all = true;
        return true;
    }
    size_t used = 0;
    int id = 0;
    try {
        id = std::stoi(value, &used);
    } catch (const std::exception&) {
        return false;
    }
    if (used != value.size() || id < 1) return false;
    row.all = false;
    row.id = id;
    return true;
}

void fillIdRows(const std::vector<int>& ids, std::array<IdRow, 2>& rows) {
    for (size_t i = 0; i < ids.size() && i < rows.size(); ++i) rows[i] = IdRow{true, ids[i]};
}

void fillIdPage(const SearchFlags& f, const std::vector<int>& ids, IdPage& page) {
    fillIdRows(ids, page.rows);
    page.andMode = f.andMode;
    page.operating = f.operating;
    page.referencing = f.referencing;
    page.startConditions = f.conditions;
}

// A command given by its number stands for that code, any other text for a command name.
int commandCode(const std::string& value) {
    if (!value.empty() && value.size() < 10 &&
        value.find_first_not_of("0123456789") == std::string::npos)
        return std::stoi(value);
    return codeOfCommandName(value);
}

// The search item: exactly one kind of flag must be given.
std::string chooseKind(const SearchFlags& f, SearchPanel& panel) {
    int given = !f.switches.empty() + !f.variables.empty() + f.textGiven + !f.commonEvents.empty() +
                !f.commands.empty() + f.missingFiles;
    if (given != 1)
        return "choose one search item: --switch, --variable, --text, --common-event, --command "
               "or --missing-files";
    if (!f.switches.empty())
        panel.kind = SearchKind::Switch;
    else if (!f.variables.empty())
        panel.kind = SearchKind::Variable;
    else if (f.textGiven)
        panel.kind = SearchKind::Text;
    else if (!f.commonEvents.empty())
        panel.kind = SearchKind::CommonEvent;
    else if (!f.commands.empty())
        panel.kind = SearchKind::EventCommand;
    else
        panel.kind = SearchKind::MissingFile;
    return {};
}

std::string fillTextPage(const SearchFlags& f, SearchPanel& panel) {
    panel.text = f.text;
    panel.caseSensitive = f.caseSensitive;
    panel.useRegex = f.regex;
    panel.fuzzy = f.fuzzy;
    if (!f.targetsGiven) {
        panel.textTargets.fill(true);
        return {};
    }
    for (const std::string& name : f.targets) {
        bool known = false;
        for (int t = 0; t < TextTargetCount; ++t) {
            if (name != kTargetNames[t]) continue;
            panel.textTargets[static_cast<size_t>(t)] = true;
            known = true;
        }
        if (!known && !name.empty())
            return "unknown text target '" + name +
                   "' (message, comment, file, name, choice, script, label, actor)";
    }
    return {};
}

std::string fillRanges(const SearchFlags& f, SearchPanel& panel) {
    const std::string* values[4] = {&f.common, &f.troops, &f.maps, &f.scripts};
    bool any = false;
    for (size_t i = 0; i < 4; ++i) {
        if (!parseRange(*values[i], panel.ranges[i]))
            return "a range is 'all' or an id from 1: '" + *values[i] + "'";
        any = any || !values[i]->empty();
    }
    if (!any) {
        for (size_t i = 0; i < 3; ++i) panel.ranges[i] = RangeRow{true, true, 1};
        panel.ranges[ScopeScripts] = RangeRow{panel.kind == SearchKind::Text, true, 1};
    }
    panel.includeSubMaps = f.subMaps;
    return {};
}

std::string buildPanel(const SearchFlags& f, SearchPanel& panel) {
    if (f.switches.size() > 2 || f.variables.size() > 2 || f.commonEvents.size() > 2)
        return "at most two ids per search item";
    if (f.commands.size() > 6) return "at most six event commands";
    if (f.andMode && f.orMode) return "--and and --or exclude each other";
    std::string error = chooseKind(f, panel);
    if (error.empty() && panel.kind == SearchKind::Text) error = fillTextPage(f, panel);
    if (!error.empty()) return error;
    fillIdPage(f, f.switches, panel.switches);
    fillIdPage(f, f.variables, panel.variables);
    fillIdRows(f.commonEvents, panel.commonEvents);
    for (size_t i = 0; i < f.commands.size(); ++i)
        panel.commands[i] = CommandChoice{true, f.commands[i]};
    panel.missingFiles = f.missingFiles;
    return fillRanges(f, panel);
}

size_t displayWidth(const std::string& text) {
    size_t width = 0;
    utf8proc_ssize_t pos = 0, size = static_cast<utf8proc_ssize_t>(text.size());
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    while (pos < size) {
        utf8proc_int32_t cp = 0;
        utf8proc_ssize_t n = utf8proc_iterate(bytes + pos, size - pos, &cp);
        if (n <= 0) {
            ++width;
            ++pos;
            continue;
        }
        width += static_cast<size_t>(std::max(0, utf8proc_charwidth(cp)));
        pos += n;
    }
    return width;
}

void printTable(const SearchResults& results) {
    std::vector<std::array<std::string, ResultColumnCount>> lines;
    std::array<std::string, ResultColumnCount> heading;
    for (size_t c = 0; c < ResultColumnCount; ++c)
        heading[c] = resultColumns()[c].heading(results.language());
    lines.push_back(heading);
    for (const ResultRow& row : results.rows()) {
        std::array<std::string, ResultColumnCount> cells;
        for (size_t c = 0; c < ResultColumnCount; ++c) cells[c] = displayUtf8(row.cells[c]);
        lines.push_back(cells);
    }
    std::array<size_t, ResultColumnCount> widths{};
    for (const auto& cells : lines)
        for (size_t c = 0; c < ResultColumnCount; ++c)
            widths[c] = std::max(widths[c], displayWidth(cells[c]));
    for (const auto& cells : lines) {
        std::string out;
        for (size_t c = 0; c < ResultColumnCount; ++c) {
            std::string pad(widths[c] - displayWidth(cells[c]), ' ');
            if (c + 1 == ResultColumnCount)
                out += cells[c];
            else
                out +=
                    resultColumns()[c].rightAligned ? pad + cells[c] + "  " : cells[c] + pad + "  ";
        }
        std::printf("%s\n", out.c_str());
    }
}

void printJson(const SearchResults& results) {
    for (const ResultRow& row : results.rows()) {
        const SearchHit& hit = row.hit;
        nlohmann::json object = {
            {"cells", row.cells},
            {"area", static_cast<int>(hit.area)},
            {"mapId", hit.mapId},
            {"eventId", hit.area == SearchArea::MapEvent && hit.hasEvent ? hit.itemId : 0},
            {"itemId", hit.itemId},
            {"page", hit.page},
            {"line", hit.line},
        };
        std::printf("%s\n",
                    object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    }
}

int runSearchCommand(const SearchFlags& f) {
    SearchPanel panel;
    std::string problem = buildPanel(f, panel);
    if (!problem.empty()) return usage(problem);
    OutputEncoding csvEncoding;
    if (!parseOutputEncoding(f.encoding, csvEncoding))
        return usage("--encoding is auto, cp932 or utf-8");
    ProjectDatabase db;
    if (!openProjectOrFail(db, f.project)) return 1;
    TextMatcher matcher(MatcherLibrary::Builtin);
    matcher.load();
    ValidatedSearch checked = validateSearch(panel, &matcher, listingLanguage(f.language));
    if (!checked.ok()) return usage(checked.error);
    // The panel knows commands by name only; here a code may be given directly.
    if (checked.request.is(SearchKind::EventCommand)) {
        checked.request.targetIds.clear();
        for (const std::string& command : f.commands)
            checked.request.targetIds.insert(commandCode(command));
    }

    SearchResults results(listingLanguage(f.language));
    SearchSettings settings{f.firstOnly, f.detail, listingLanguage(f.language)};
    SearchSummary summary;
    {
        InterruptScope interrupt;
        summary = runSearch(checked.request, db, settings, results, interrupt.flag());
    }

    if (f.json)
        printJson(results);
    else
        printTable(results);
    std::fprintf(f.json ? stderr : stdout, "%s\n", summary.title.c_str());
    size_t lost = 0;
    if (!f.csv.empty() && results.size() > 0) {
        if (!results.saveCsv(f.csv, csvEncodingFor(csvEncoding, db), &lost)) {
            std::fprintf(stderr, "%s: cannot be written\n", f.csv.c_str());
            return 1;
        }
    }
    if (summary.aborted) return 130;
    for (const std::string& line : summary.skipped)
        std::fprintf(stderr, "skipped %s\n", line.c_str());
    if (summary.tooComplex > 0)
        std::fprintf(stderr, "the expression is too complex for this text (%d texts not judged)\n",
                     summary.tooComplex);
    bool lossy = lost > 0 && reportLostCharacters({{f.csv, lost}});
    return summary.incomplete() || lossy ? kIncomplete : 0;
}

}  // namespace

void addSearchCommand(CLI::App& app, Runner* run) {
    auto f = std::make_shared<SearchFlags>();
    CLI::App* s = app.add_subcommand(
        "search", "Find where a switch, variable, common event, text or command is used");
    s->add_option("PROJECT", f->project, "the project file (Game.rxproj)")->required();
    s->add_option("--switch", f->switches, "switch id (up to two)");
    s->add_option("--variable", f->variables, "variable id (up to two)");
    s->add_option("--common-event", f->commonEvents, "called common event id (up to two)");
    s->add_option("--text", f->text, "text to find");
    s->add_option("--targets", f->targets,
                  "text targets: message,comment,file,name,choice,script,label,actor (all)")
        ->delimiter(',');
    s->add_option("--command", f->commands, "event command code or name (up to six)");
    s->add_flag("--missing-files", f->missingFiles, "events naming files that exist nowhere");
    s->add_flag("--and", f->andMode, "AND search of two ids");
    s->add_flag("--or", f->orMode, "OR search (the default)");
    s->add_flag("--operating", f->operating, "in commands that set the switch or variable");
    s->add_flag("--referencing", f->referencing, "in commands that read it");
    s->add_flag("--conditions", f->conditions, "in event start conditions");
    s->add_flag("--case", f->caseSensitive, "text search: letter case matters");
    s->add_flag("--regex", f->regex, "text search: regular expression");
    s->add_flag("--fuzzy", f->fuzzy, "text search: fuzzy");
    s->add_option("--common", f->common, "common events: all or an id");
    s->add_option("--troops", f->troops, "battle events: all or a troop id");
    s->add_option("--maps", f->maps, "map events: all or a map id");
    s->add_flag("--sub-maps", f->subMaps, "with --maps N: the maps below it too");
    s->add_option("--scripts", f->scripts, "scripts (text search): all or a position from 1");
    s->add_flag("--first-only", f->firstOnly, "one hit per event, troop or script");
    s->add_flag("--detail", f->detail, "command lines in the long form");
    addLanguageOption(s, f->language);
    s->add_option("--csv", f->csv, "save the rows as CSV");
    s->add_option("--encoding", f->encoding,
                  "CSV encoding: auto (default: CP932 for a Shift_JIS project, else UTF-8), cp932 "
                  "or utf-8");
    s->add_flag("--json", f->json, "one JSON object per hit");
    CLI::Option* text = s->get_option("--text");
    CLI::Option* targets = s->get_option("--targets");
    s->callback([run, f, text, targets] {
        f->textGiven = text->count() > 0;
        f->targetsGiven = targets->count() > 0;
        *run = [f] { return runSearchCommand(*f); };
    });
}

}  // namespace zorvane::cli

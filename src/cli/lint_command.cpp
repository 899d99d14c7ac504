// lint: the project check on a terminal. Findings grouped by kind as plain text, or one JSON
// object a finding; the exit status says whether an error was found (1) or files could not
// be read (3). A progress line is drawn on stderr when it is a terminal; Ctrl-C stops.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "check/project_check.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/terminal_output.h"
#include "platform/codepage.h"
#include "project/project_database.h"

namespace zorvane::cli {

namespace {

constexpr int kInterrupted = 130;

struct LintFlags {
    std::string project;
    bool json = false;
    std::string only;
    std::string severity = "note";
    std::string language = "ja";
};

class TerminalProgress : public CheckProgress {
  public:
    TerminalProgress() : shown_(isatty(STDERR_FILENO) != 0) {}
    ~TerminalProgress() override {
        if (drawn_) clearStatusLine();
    }
    void progress(int done, int total) override {
        if (!shown_) return;
        drawStatusLine("checking " + std::to_string(done) + "/" + std::to_string(total));
        drawn_ = true;
    }

  private:
    bool shown_;
    bool drawn_ = false;
};

// "1,4" or "switches,transfers" (numbers and keys may mix); false on an unknown word.
bool parseKinds(const std::string& text, std::set<CheckKind>& kinds, std::string& bad) {
    std::stringstream in(text);
    std::string word;
    while (std::getline(in, word, ',')) {
        bool known = false;
        for (const CheckKindInfo& k : checkKinds()) {
            if (word == k.key || word == std::to_string(static_cast<int>(k.kind))) {
                kinds.insert(k.kind);
                known = true;
            }
        }
        if (!known) {
            bad = word;
            return false;
        }
    }
    return true;
}

nlohmann::json placeJson(const FindingPlace& p) {
    static const char* const areas[] = {"",         "common_event", "troop",  "map_event",
                                        "map",      "database",     "script", "file"};
    nlohmann::json j = {{"area", areas[p.area]}};
    if (p.mapId) j["map"] = p.mapId;
    if (p.ownerId) j["id"] = p.ownerId;
    if (p.page) j["page"] = p.page;
    if (p.line) j["line"] = p.line;
    if (!p.table.empty()) j["table"] = p.table;
    if (!p.name.empty()) j["name"] = p.name;
    return j;
}

void printJson(const Finding& f) {
    nlohmann::json j = {{"kind", checkKindInfo(f.kind).key},
                        {"severity", severityKey(f.severity)},
                        {"where", placeJson(f.place)},
                        {"subject", f.subject},
                        {"message", f.message}};
    if (f.kind == CheckKind::Files && f.place.area == FindingPlace::File && f.bytes) {
        j["bytes"] = f.bytes;
        j["maybe_used"] = f.maybeUsed;
    }
    std::printf("%s\n", j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

void printLine(const Finding& f, ListingLanguage language) {
    std::string where = placeText(f.place, language);
    std::string text = std::string("  ") + severityKey(f.severity) + "  " +
                       (where.empty() ? "" : where + "  ") + f.subject + ": " + f.message;
    if (f.bytes) text += " (" + std::to_string(f.bytes) + " bytes)";
    std::printf("%s\n", displayUtf8(text).c_str());
}

// Grouped by kind; the unused files apart from the maybe-used ones, each with its total.
void printText(const std::vector<Finding>& findings, ListingLanguage language) {
    for (const CheckKindInfo& k : checkKinds()) {
        std::vector<const Finding*> rows, maybe;
        uint64_t unusedBytes = 0, maybeBytes = 0;
        for (const Finding& f : findings) {
            if (f.kind != k.kind) continue;
            (f.maybeUsed ? maybe : rows).push_back(&f);
            (f.maybeUsed ? maybeBytes : unusedBytes) += f.bytes;
        }
        if (rows.empty() && maybe.empty()) continue;
        std::printf("%s (%s): %zu\n", k.key, displayUtf8(k.shown(language)).c_str(), rows.size() + maybe.size());
        for (const Finding* f : rows) printLine(*f, language);
        if (unusedBytes) std::printf("  unused files: %llu bytes in all\n", (unsigned long long)unusedBytes);
        if (!maybe.empty())
            std::printf("  maybe used (scripts name them or load code from files): %zu files, %llu bytes\n", maybe.size(),
                        (unsigned long long)maybeBytes);
        for (const Finding* f : maybe) printLine(*f, language);
    }
}

int runLint(const LintFlags& flags) {
    CheckOptions options;
    options.language = listingLanguage(flags.language);
    std::string bad;
    if (!parseKinds(flags.only, options.kinds, bad)) {
        std::fprintf(stderr, "--only: unknown kind \"%s\"\n", bad.c_str());
        return 2;
    }
    Severity least = flags.severity == "error"     ? Severity::Error
                     : flags.severity == "warning" ? Severity::Warning
                                                   : Severity::Note;
    ProjectDatabase db;
    if (!openProjectOrFail(db, flags.project)) return 1;
    InterruptScope interrupt;
    CheckResult result;
    {
        TerminalProgress progress;
        result = checkProject(db, options, &progress, interrupt.flag());
    }
    if (result.aborted) {
        std::fprintf(stderr, "interrupted\n");
        return kInterrupted;
    }
    std::vector<Finding> shown;
    int counts[3] = {0, 0, 0};
    for (const Finding& f : result.findings) {
        ++counts[static_cast<int>(f.severity)];
        if (f.severity <= least) shown.push_back(f);
    }
    if (flags.json)
        for (const Finding& f : shown) printJson(f);
    else
        printText(shown, options.language);
    std::fprintf(stderr, "%d errors, %d warnings, %d notes", counts[0], counts[1], counts[2]);
    if (result.variableOperandsSkipped && options.wants(CheckKind::Transfers))
        std::fprintf(stderr, "; %d places held in variables not checked",
                     result.variableOperandsSkipped);
    std::fprintf(stderr, "\n");
    if (!result.unreadable.empty()) {
        std::fprintf(stderr, "these files could not be read, so findings may be missing:\n");
        for (const std::string& line : result.unreadable)
            std::fprintf(stderr, "  %s\n", displayUtf8(line).c_str());
        return kIncomplete;
    }
    return counts[0] > 0 ? 1 : 0;
}

}  // namespace

void addLintCommand(CLI::App& app, Runner* run) {
    auto f = std::make_shared<LintFlags>();
    CLI::App* s = app.add_subcommand(
        "lint", "Check a project for mistakes the editor does not show (exit 1: errors found)");
    s->add_option("PROJECT", f->project, "the project file (Game.rxproj)")->required();
    s->add_flag("--json", f->json, "one JSON object per finding");
    s->add_option("--only", f->only,
                  "kinds to check, by number or name: 1 switches, 2 self-switches, "
                  "3 common-events, 4 transfers, 5 labels, 6 database, 7 files");
    s->add_option("--severity", f->severity, "the least severity shown: error, warning or note")
        ->check(CLI::IsMember({"error", "warning", "note"}));
    addLanguageOption(s, f->language, "the findings (kinds, places, subjects, messages)");
    s->callback([run, f] { *run = [f] { return runLint(*f); }; });
}

}  // namespace zorvane::cli

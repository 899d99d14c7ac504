// The check's order of work: read every table, gather the facts in one walk, then run the
// rules of the kinds asked for. Also the kinds' names and how a place is written.
#include "check/project_check.h"

#include "check/check_facts.h"
#include "check/check_words.h"
#include "platform/string_util.h"
#include "project/project_database.h"

namespace zorvane {

const std::vector<CheckKindInfo>& checkKinds() {
    static const std::vector<CheckKindInfo> kinds = {
        {CheckKind::SwitchesVariables, "switches", "スイッチ・変数", "Switches and variables"},
        {CheckKind::SelfSwitches, "self-switches", "セルフスイッチ", "Self switches"},
        {CheckKind::CommonEvents, "common-events", "コモンイベント", "Common events"},
        {CheckKind::Transfers, "transfers", "場所移動", "Transfers"},
        {CheckKind::Labels, "labels", "ラベル", "Labels"},
        {CheckKind::DatabaseRange, "database", "データベース", "Database"},
        {CheckKind::Files, "files", "ファイル", "Files"},
    };
    return kinds;
}

const CheckKindInfo& checkKindInfo(CheckKind kind) {
    return checkKinds()[static_cast<size_t>(kind) - 1];
}

const char* severityKey(Severity severity) {
    static const char* const keys[] = {"error", "warning", "note"};
    return keys[static_cast<int>(severity)];
}

const char* severityName(Severity severity, ListingLanguage language) {
    static const char* const names[] = {"エラー", "警告", "情報"};
    return checkSay(names[static_cast<int>(severity)], language);
}

std::string placeText(const FindingPlace& p, ListingLanguage language) {
    auto say = [language](const char* japanese) { return checkSay(japanese, language); };
    std::string text;
    switch (p.area) {
        case FindingPlace::None: return "";
        case FindingPlace::CommonEvent: text = format(say("コモンイベント%03d"), p.ownerId); break;
        case FindingPlace::Troop: text = format(say("トループ%03d"), p.ownerId); break;
        case FindingPlace::MapEvent: text = format(say("マップ%03d イベント%03d"), p.mapId, p.ownerId); break;
        case FindingPlace::Map: text = format(say("マップ%03d"), p.mapId); break;
        case FindingPlace::Script: text = format(say("スクリプト%03d"), p.ownerId); break;
        case FindingPlace::Database:
            text = p.ownerId > 0 ? format(say("%s%03d"), p.table.c_str(), p.ownerId) : p.table;
            break;
        case FindingPlace::File: return "";
    }
    if (!p.name.empty()) text += ":" + p.name;
    if (p.page > 0) text += format(say(" ページ%d"), p.page);
    if (p.line > 0) text += format(say(" 行%d"), p.line);
    return text;
}

CheckResult checkProject(const ProjectDatabase& project, const CheckOptions& options,
                         CheckProgress* progress, const std::atomic<bool>& abort) {
    CheckResult result;
    project.loadAll();
    CheckFacts facts;
    facts.language = options.language;
    if (!gatherFacts(project, options, progress, abort, facts)) {
        result.aborted = true;
        return result;
    }
    std::vector<Finding>& out = result.findings;
    if (options.wants(CheckKind::SwitchesVariables)) checkSwitchesVariables(project, facts, out);
    if (options.wants(CheckKind::SelfSwitches)) checkSelfSwitches(facts, out);
    if (options.wants(CheckKind::CommonEvents)) checkCommonEvents(project, facts, out);
    if (options.wants(CheckKind::Transfers)) checkTransfers(project, facts, out);
    if (options.wants(CheckKind::Labels))
        out.insert(out.end(), facts.labelFindings.begin(), facts.labelFindings.end());
    if (options.wants(CheckKind::DatabaseRange)) checkDatabaseRanges(project, options.language, out);
    if (options.wants(CheckKind::Files)) checkFiles(project, facts, abort, out);
    result.aborted = abort.load();
    for (const Diagnostic& d : project.diagnostics())
        result.unreadable.push_back(d.file + ": " + d.what);
    result.unreadable.insert(result.unreadable.end(), facts.unreadable.begin(),
                             facts.unreadable.end());
    result.variableOperandsSkipped = facts.variableOperandsSkipped;
    return result;
}

}  // namespace zorvane

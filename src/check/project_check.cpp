// The check's order of work: read every table, gather the facts in one walk, then run the
// rules of the kinds asked for. Also the kinds' names and how a place is written.
#include "check/project_check.h"

#include "check/check_facts.h"
#include "platform/string_util.h"
#include "project/project_database.h"

namespace zorvane {

const std::vector<CheckKindInfo>& checkKinds() {
    static const std::vector<CheckKindInfo> kinds = {
        {CheckKind::SwitchesVariables, "switches", "スイッチ・変数"},
        {CheckKind::SelfSwitches, "self-switches", "セルフスイッチ"},
        {CheckKind::CommonEvents, "common-events", "コモンイベント"},
        {CheckKind::Transfers, "transfers", "場所移動"},
        {CheckKind::Labels, "labels", "ラベル"},
        {CheckKind::DatabaseRange, "database", "データベース"},
        {CheckKind::Files, "files", "ファイル"},
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

const char* severityName(Severity severity) {
    static const char* const names[] = {"エラー", "警告", "情報"};
    return names[static_cast<int>(severity)];
}

std::string placeText(const FindingPlace& p) {
    std::string text;
    switch (p.area) {
        case FindingPlace::None: return "";
        case FindingPlace::CommonEvent: text = format("コモンイベント%03d", p.ownerId); break;
        case FindingPlace::Troop: text = format("トループ%03d", p.ownerId); break;
        case FindingPlace::MapEvent: text = format("マップ%03d イベント%03d", p.mapId, p.ownerId); break;
        case FindingPlace::Map: text = format("マップ%03d", p.mapId); break;
        case FindingPlace::Script: text = format("スクリプト%03d", p.ownerId); break;
        case FindingPlace::Database:
            text = p.table + (p.ownerId > 0 ? format("%03d", p.ownerId) : "");
            break;
        case FindingPlace::File: return "";
    }
    if (!p.name.empty()) text += ":" + p.name;
    if (p.page > 0) text += format(" ページ%d", p.page);
    if (p.line > 0) text += format(" 行%d", p.line);
    return text;
}

CheckResult checkProject(const ProjectDatabase& project, const CheckOptions& options,
                         CheckProgress* progress, const std::atomic<bool>& abort) {
    CheckResult result;
    project.loadAll();
    CheckFacts facts;
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
    if (options.wants(CheckKind::DatabaseRange)) checkDatabaseRanges(project, out);
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

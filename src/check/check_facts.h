// What the check's one walk gathers before any rule judges it: who reads and writes each
// switch and variable, self switches per event, common event calls, transfers, the files
// named, and the script text that may use any of them. Shared by the rule files only.
#pragma once

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "check/project_check.h"

namespace zorvane {

struct IdUse {
    bool read = false, written = false;
    FindingPlace firstRead, firstWrite;
};

struct EventSelfSwitches {
    std::set<std::string> written;
    std::vector<std::pair<std::string, FindingPlace>> reads;
};

struct TransferUse {
    int mapId = 0, x = 0, y = 0;
    FindingPlace place;
};

struct CheckFacts {
    std::map<int, IdUse> switches, variables;
    std::map<std::pair<int, int>, EventSelfSwitches> selfSwitches;  // (map, event)
    std::set<std::string> selfSwitchesSetInCommonEvents;
    std::set<int> calledCommonEvents;
    std::set<int> commonEventsWithCommands;
    std::vector<std::pair<int, FindingPlace>> commonEventCalls;
    std::vector<TransferUse> transfers;
    std::map<int, std::pair<int, int>> mapSizes;  // maps the walk read: width, height
    std::vector<Finding> labelFindings;
    std::set<std::string> files;  // "Graphics\Pictures\title2"
    // The files each command names, with its place: a search hit on a command line says
    // where, and this says which of its files.
    std::vector<std::pair<FindingPlace, std::string>> commandFiles;
    // Every script's text, the event commands' scripts included: literal ids in it count.
    std::string scriptText;
    std::vector<std::string> unreadable;
    int variableOperandsSkipped = 0;
    ListingLanguage language = ListingLanguage::Japanese;  // of the findings made
};

// The walk over every event list, the database's files and the scripts; false when aborted.
bool gatherFacts(const ProjectDatabase& project, const CheckOptions& options,
                 CheckProgress* progress, const std::atomic<bool>& abort, CheckFacts& facts);

// The ids N of every "prefix N]" in text ("$game_switches[" gives the literal switch ids).
std::set<int> literalIdsAfter(const std::string& text, const std::string& prefix);

// The rules, each adding its kind's findings.
void checkSwitchesVariables(const ProjectDatabase& project, const CheckFacts& facts,
                            std::vector<Finding>& out);
void checkSelfSwitches(const CheckFacts& facts, std::vector<Finding>& out);
void checkCommonEvents(const ProjectDatabase& project, const CheckFacts& facts,
                       std::vector<Finding>& out);
void checkTransfers(const ProjectDatabase& project, const CheckFacts& facts,
                    std::vector<Finding>& out);
void checkDatabaseRanges(const ProjectDatabase& project, ListingLanguage language,
                         std::vector<Finding>& out);
void checkFiles(const ProjectDatabase& project, const CheckFacts& facts,
                const std::atomic<bool>& abort, std::vector<Finding>& out);

Finding makeFinding(CheckKind kind, Severity severity, const FindingPlace& place,
                    const std::string& subject, const std::string& message);

}  // namespace zorvane

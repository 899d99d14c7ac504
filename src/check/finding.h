// What the project check reports: findings as data (kind, severity, place, subject and a
// one-line message), so the terminal, JSON and the desktop list each show them their way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "project/listing_language.h"

namespace zorvane {

// The kinds of mistakes looked for; the numbers are the ones users type (--only 1,4).
enum class CheckKind : int {
    SwitchesVariables = 1,
    SelfSwitches = 2,
    CommonEvents = 3,
    Transfers = 4,
    Labels = 5,
    DatabaseRange = 6,
    Files = 7,
};
constexpr int kCheckKindCount = 7;

enum class Severity : int { Error = 0, Warning = 1, Note = 2 };

struct CheckKindInfo {
    CheckKind kind;
    const char* key;   // for --only and JSON: "switches"
    const char* name;     // shown: "スイッチ・変数"
    const char* english;  // shown in English: "Switches and variables"
    const char* shown(ListingLanguage language) const {
        return language == ListingLanguage::English ? english : name;
    }
};
const std::vector<CheckKindInfo>& checkKinds();
const CheckKindInfo& checkKindInfo(CheckKind kind);
// "error", "warning", "note" and the words the desktop shows.
const char* severityKey(Severity severity);
const char* severityName(Severity severity, ListingLanguage language = ListingLanguage::Japanese);

// Where a finding is. For event lists the owner and ids (a map event: map, event, page), the
// listing line from 1 (0 for the page's condition or a record); for a database record its
// table's name and the record id; for a file its path.
struct FindingPlace {
    enum Area { None, CommonEvent, Troop, MapEvent, Map, Database, Script, File } area = None;
    int mapId = 0;
    int ownerId = 0;  // common event, troop, map event id, record id or script number
    int page = 0;
    int line = 0;
    std::string table;  // Database: "スキル"
    std::string name;   // the owner's name (map name for Map)
};

struct Finding {
    CheckKind kind = CheckKind::SwitchesVariables;
    Severity severity = Severity::Note;
    FindingPlace place;
    std::string subject;  // "スイッチ[0012:扉が開いた]", "Graphics\Pictures\title2"
    std::string message;
    uint64_t bytes = 0;      // Files: the size of an unused file
    bool maybeUsed = false;  // Files: a script names its base name
};

// "マップ003 イベント0004 ページ2 行7" and the like.
std::string placeText(const FindingPlace& place,
                      ListingLanguage language = ListingLanguage::Japanese);

}  // namespace zorvane

// What a search looks for: the item kind, the ids or text, the option flags and the range.
// Built once when a search starts and only read while it runs; the command formatters
// answer against it.
#pragma once

#include <array>
#include <set>
#include <string>

namespace zorvane {

class TextMatcher;

enum class SearchKind : int {
    Switch = 0,
    Variable = 1,
    Text = 2,
    CommonEvent = 3,
    EventCommand = 4,
    MissingFile = 5,
};

// Order of the text page's "検索対象" boxes.
enum TextTarget : int {
    TargetMessage = 0,
    TargetComment = 1,
    TargetFileName = 2,
    TargetName = 3,
    TargetChoice = 4,
    TargetScript = 5,
    TargetLabel = 6,
    TargetActor = 7,
    TextTargetCount = 8,
};

enum SearchScope : int { ScopeCommon = 0, ScopeTroops = 1, ScopeMaps = 2, ScopeScripts = 3 };

struct SearchRequest {
    std::set<int> targetIds;
    bool andMode = false;
    std::string text;
    SearchKind kind = SearchKind::Switch;
    // -1: area not searched; 0: all of it; n > 0: only item n.
    std::array<int, 4> scope = {-1, -1, -1, -1};
    bool inOperatingCommands = false;
    bool inReferencingCommands = false;
    bool inStartConditions = false;
    std::array<bool, TextTargetCount> textTargets{};
    bool missingFiles = false;
    bool caseSensitive = false;
    bool useRegex = false;
    bool fuzzy = false;
    bool includeSubMaps = false;
    // The text matcher to use; null means the matching library is absent.
    const TextMatcher* matcher = nullptr;

    bool is(SearchKind k) const { return kind == k; }
    bool target(TextTarget t) const { return kind == SearchKind::Text && textTargets[t]; }
};

// The shared match rules.
// One id: OR mode, x is a target; AND mode, the targets are exactly {x}.
bool matchesOneId(const SearchRequest& request, int id);
// A range first..last (first != last) matches when any target lies in it, in either mode.
bool matchesRange(const SearchRequest& request, int first, int last);

}  // namespace zorvane

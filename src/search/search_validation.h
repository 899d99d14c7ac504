// The search panel as plain data, and its check before a search starts: either a ready
// SearchRequest or the warning text that the window shows (the check never shows it).
#pragma once

#include <array>
#include <string>

#include "listing/search_request.h"
#include "project/listing_language.h"

namespace zorvane {

class TextMatcher;

// One item row of the switch, variable or common event page: a tick and an id.
struct IdRow {
    bool checked = false;
    int id = 1;
};

// The switch and variable pages: two rows, AND/OR and the three "検索対象" options.
struct IdPage {
    std::array<IdRow, 2> rows;
    bool andMode = false;
    bool operating = false;
    bool referencing = false;
    bool startConditions = false;
};

// One row of the event command page: a tick and the chosen command name.
struct CommandChoice {
    bool checked = false;
    std::string name;
};

// One row of the "検索範囲" box: a tick, "全て" or "指定", and the chosen id.
struct RangeRow {
    bool checked = false;
    bool all = true;
    int id = 1;
};

struct SearchPanel {
    SearchKind kind = SearchKind::Switch;
    IdPage switches;
    IdPage variables;
    std::array<IdRow, 2> commonEvents;
    std::string text;
    std::array<bool, TextTargetCount> textTargets{};
    bool caseSensitive = false;
    bool useRegex = false;
    bool fuzzy = false;
    std::array<CommandChoice, 6> commands;
    bool missingFiles = false;
    // Common events, battle events, maps, scripts (the SearchScope order).
    std::array<RangeRow, 4> ranges;
    bool includeSubMaps = false;
};

// The longest text the search panel's edit box holds, in bytes.
constexpr size_t kMaxSearchTextBytes = 511;

struct ValidatedSearch {
    SearchRequest request;
    // The warning to show; empty when the request is ready.
    std::string error;
    bool ok() const { return error.empty(); }
};

// `matcher` is the binding the search will use (null or not loaded: no pattern check).
// The warning is in `language`.
ValidatedSearch validateSearch(const SearchPanel& panel, const TextMatcher* matcher,
                               ListingLanguage language = ListingLanguage::Japanese);

}  // namespace zorvane

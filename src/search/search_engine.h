// The search walk: common events, battle events, map events, scripts and the database, in
// that order, asking of each command whether what it refers to matches the request. Hits and
// progress titles go to a sink; an abort flag set from another thread stops the walk.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "listing/search_request.h"
#include "project/listing_language.h"

namespace zorvane {

class ProjectDatabase;

enum class SearchArea : int {
    CommonEvent = 0,
    BattleEvent = 1,
    MapEvent = 2,
    Script = 3,
    Database = 4,
};

// Line codes of hits that are not a command or script line.
enum SearchLineCode : int {
    LineNone = 0,
    LineStartCondition = -1,
    LineAppearanceCondition = -2,
    LineName = -3,
};

// One place found. Map hits carry what the results list shows of the map and its event, so
// the list needs neither the project nor the map file afterwards.
struct SearchHit {
    SearchArea area = SearchArea::CommonEvent;
    int mapId = 0;
    std::string mapName;
    std::string mapPath;
    // False for a hit in the map's own settings (its music).
    bool hasEvent = false;
    int eventX = 0;
    int eventY = 0;
    // Common event id, troop id, map event id, script position from 1 or database number.
    int itemId = 0;
    std::string itemName;
    int page = 0;  // from 1; 0 when the hit has no page
    int line = 0;  // from 1, or a SearchLineCode
    std::string content;
};

class SearchSink {
  public:
    virtual ~SearchSink() = default;
    virtual void addHit(const SearchHit& hit) = 0;
    // Progress and the final summary: the text that replaces the results window's title.
    virtual void setTitle(const std::string& title) = 0;
};

struct SearchSettings {
    // The first hit in a common event, troop, map event or script ends its search.
    bool firstOnly = false;
    // Command lines in the long form with captions.
    bool detail = false;
    // The language of command lines.
    ListingLanguage language = ListingLanguage::Japanese;
};

struct SearchSummary {
    int hits = 0;
    bool aborted = false;
    long elapsedMs = 0;
    std::string title;  // the last title given to the sink
    // What the results may lack: files the walk needed but could not read ("Map005.rxdata:
    // truncated ..."), and how many texts a regular expression gave up on as too complex.
    // The final title says so too.
    std::vector<std::string> skipped;
    int tooComplex = 0;
    bool incomplete() const { return !skipped.empty() || tooComplex > 0; }
};

// Database numbers of the missing-file pass, 1..9, and their names.
const char* databaseName(int number, ListingLanguage language = ListingLanguage::Japanese);

// Runs the whole search. The abort flag is tested before each item and command (and in the
// script and database passes); once it is seen the rows found so far stay.
SearchSummary runSearch(const SearchRequest& request, const ProjectDatabase& project,
                        const SearchSettings& settings, SearchSink& sink,
                        const std::atomic<bool>& abort);

}  // namespace zorvane

// The search over a loaded project. The event lists come from the one walk (event_walk.h)
// and commands are judged by what they refer to (search_match.h); this file adds what no
// command holds: names, start conditions, page graphics, map music, script bodies and the
// database's file references, and the titles that report progress.
#include "search/search_engine.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <set>
#include <vector>

#include "listing/listing.h"
#include "listing/operands.h"
#include "listing/search_match.h"
#include "map/event_walk.h"
#include "map/map_data.h"
#include "map/map_info_tree.h"
#include "project/database_files.h"
#include "project/project_database.h"
#include "project/resource.h"
#include "text/text_matcher.h"
#include "text/text_regex.h"

namespace zorvane {

namespace {

const char* const kTitleCommonStart = "検索中 - コモンイベント";
const char* const kTitleCommon = "検索中 - コモンイベント：%04d（%04d～%04d）";
const char* const kTitleTroopStart = "検索中 - バトルイベント";
const char* const kTitleTroop = "検索中 - バトルイベント：%04d（%04d～%04d）";
const char* const kTitleMapAll = "検索中 - マップイベント：%03d/%03d";
const char* const kTitleMapOne = "検索中 - マップイベント：%03d";
const char* const kTitleScripts = "検索中 - スクリプト";
const char* const kTitleDatabase = "検索中 - データベース";
const char* const kTitleDone = "検索結果 - %d件  所要時間 %d秒";
const char* const kTitleAborted = "検索中断 - %d件";
const char* const kNoteSkipped = "  ※読み込めないファイル%d個を飛ばしました";
const char* const kSkippedMore = " 他%d個";
constexpr size_t kSkippedNamesShown = 3;
const char* const kNoteTooComplex = "  ※正規表現が複雑すぎて調べられないテキストがありました";

// The data file each pass of the missing-file search reads, by database number 1..9.
const char* const kDatabaseFileNames[] = {"Actors.rxdata",     "Skills.rxdata",   "Items.rxdata",
                                          "Weapons.rxdata",    "Armors.rxdata",   "Enemies.rxdata",
                                          "Animations.rxdata", "Tilesets.rxdata", "System.rxdata"};

// One row per language (see row()).
const char* const kDatabaseNames[2][9] = {
    {"アクター", "スキル", "アイテム", "武器", "防具", "エネミー", "アニメーション", "タイルセット",
     "システム"},
    {"Actors", "Skills", "Items", "Weapons", "Armors", "Enemies", "Animations", "Tilesets",
     "System"},
};

// The ids a scope covers among slots 1..count-1: n gives n..n, 0 gives all of them.
struct IdRange {
    int first = 1;
    int last = 0;
};

IdRange rangeOf(int scope, size_t count) {
    if (scope > 0) return {scope, scope};
    return {1, static_cast<int>(count) - 1};
}

const char* const kCharacters = "Graphics\\Characters\\";

// Splits a script body into its lines; a CR before the LF belongs to the line break.
template <typename Fn>
bool forEachLine(const std::string& text, Fn&& fn) {
    size_t start = 0;
    int number = 1;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
        if (!fn(number, text.substr(start, stop - start))) return false;
        if (end == text.size()) break;
        start = end + 1;
        ++number;
    }
    return true;
}

class SearchRun : EventListVisitor {
  public:
    SearchRun(const SearchRequest& request, const ProjectDatabase& project,
              const SearchSettings& settings, SearchSink& sink, const std::atomic<bool>& abort)
        : request_(request), project_(project), settings_(settings), sink_(sink), abort_(abort) {
        listing_.project = &project;
        listing_.detail = settings.detail;
        listing_.language = settings.language;
    }

    SearchSummary run() {
        auto start = std::chrono::steady_clock::now();
        const size_t limitHits = regexLimitHitsOnThisThread();
        bool finished = searchCommonEvents() && searchTroops() && searchMaps() && searchScripts() &&
                        searchDatabase();
        listing_.mapEvents = nullptr;
        summary_.elapsedMs =
            static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
        summary_.aborted = !finished;
        summary_.tooComplex = static_cast<int>(regexLimitHitsOnThisThread() - limitHits);
        noteUnreadableTables();
        // An aborted search is incomplete anyway; its title says only that.
        std::string text = format(say(kTitleAborted), summary_.hits);
        if (finished) {
            text =
                format(say(kTitleDone), summary_.hits, static_cast<int>(summary_.elapsedMs / 1000));
            if (!summary_.skipped.empty())
                text += format(say(kNoteSkipped), static_cast<int>(summary_.skipped.size())) +
                        skippedNames();
            if (summary_.tooComplex > 0) text += say(kNoteTooComplex);
        }
        title(text);
        return summary_;
    }

  private:
    bool aborted() const { return abort_.load(std::memory_order_relaxed); }

    // A file the walk needed and could not read: the search goes on without it, and says so.
    void noteSkipped(const std::string& file, const std::string& why) {
        std::string line = file + ": " + why;
        if (std::find(summary_.skipped.begin(), summary_.skipped.end(), line) !=
            summary_.skipped.end())
            return;
        summary_.skipped.push_back(line);
        skippedFiles_.push_back(file);
    }

    // The first few skipped files by name, so the title says which results may be missing.
    std::string skippedNames() const {
        std::string names;
        for (size_t i = 0; i < skippedFiles_.size() && i < kSkippedNamesShown; ++i)
            names += (i ? ", " : "") + skippedFiles_[i];
        if (skippedFiles_.size() > kSkippedNamesShown)
            names += format(say(kSkippedMore),
                            static_cast<int>(skippedFiles_.size() - kSkippedNamesShown));
        return say("（") + names + say("）");
    }

    // The data files of the passes that ran, when they could not be read.
    void noteUnreadableTables() {
        std::vector<std::string> needed;
        if (request_.scope[ScopeCommon] >= 0) needed.push_back("CommonEvents.rxdata");
        if (request_.scope[ScopeTroops] >= 0) needed.push_back("Troops.rxdata");
        if (request_.scope[ScopeMaps] >= 0) needed.push_back("MapInfos.rxdata");
        if (request_.scope[ScopeScripts] >= 0 && request_.is(SearchKind::Text))
            needed.push_back("Scripts.rxdata");
        // The switch and variable names shown in hits and chosen on the page come from it.
        if (request_.is(SearchKind::Switch) || request_.is(SearchKind::Variable))
            needed.push_back("System.rxdata");
        if (request_.is(SearchKind::MissingFile))
            needed.insert(needed.end(), std::begin(kDatabaseFileNames),
                          std::end(kDatabaseFileNames));
        for (const Diagnostic& d : project_.diagnostics())
            if (std::find(needed.begin(), needed.end(), d.file) != needed.end())
                noteSkipped(d.file, d.what);
    }

    void title(const std::string& text) {
        summary_.title = text;
        sink_.setTitle(text);
    }

    void add(const SearchHit& hit) {
        ++summary_.hits;
        ++itemHits_;
        sink_.addHit(hit);
    }

    // FirstOnly: an item with a hit is done.
    bool itemDone() const { return settings_.firstOnly && itemHits_ > 0; }

    bool nameMatches(const std::string& name) const {
        return textTargetMatches(request_, TargetName, name);
    }

    bool fileMissing(const char* folder, const std::string& name) const {
        if (!request_.is(SearchKind::MissingFile) || !request_.missingFiles || name.empty())
            return false;
        std::string found;
        return project_.resources().resolve(folder + name, found) < 0;
    }

    std::string switchLabel(int id) const {
        return project_.label(id, LabelKind::Switch, LabelStyle::numbered(), listing_.language);
    }
    // A phrase of the hits' own text (conditions, the map's settings) in the listing's language.
    const char* say(const char* japanese) const { return zorvane::say(japanese, listing_); }

    // Runs the commands of one list node; false when aborted. Only commands that can answer
    // the request are read and formatted.
    bool searchList(const MarshalValue* listNode, SearchHit hit) {
        if (!listNode || listNode->kind() != MarshalValue::Array) return true;
        ValueArray items = listNode->children();
        std::string line;
        EventCommand command;
        for (size_t k = 0; k < items.size(); ++k) {
            if (aborted()) return false;
            int32_t code = commandCodeOf(items[k]);
            if (!commandCanAnswer(code < 0 ? 0 : code, request_)) continue;
            readCommandAt(items, k, command);
            if (!formatCommand(line, command, listing_, &request_)) continue;
            hit.line = static_cast<int>(k) + 1;
            hit.content = line;
            add(hit);
            if (itemDone()) return true;
        }
        return true;
    }

    // The name test: a hit on the item's own name; true when FirstOnly then ends the item.
    bool nameHitEndsItem(SearchHit hit, const std::string& name) {
        if (!nameMatches(name)) return false;
        hit.line = LineName;
        hit.content = name;
        add(hit);
        return itemDone();
    }

    // Common events, troops and maps each go through the one walk, after their start title.
    bool walkOnly(OwnerKind owner) {
        WalkScope scope{-1, -1, -1, {}};
        if (owner == OwnerKind::CommonEvent) scope.commonEvents = request_.scope[ScopeCommon];
        if (owner == OwnerKind::Troop) scope.troops = request_.scope[ScopeTroops];
        if (owner == OwnerKind::Map) {
            scope.maps = request_.scope[ScopeMaps];
            scope.moreMaps = subMaps_;
        }
        listing_.ownerKind = owner;
        return walkEventLists(project_, scope, *this, &abort_);
    }

    bool searchCommonEvents() {
        if (request_.scope[ScopeCommon] < 0) return true;
        title(say(kTitleCommonStart));
        return walkOnly(OwnerKind::CommonEvent);
    }

    bool searchTroops() {
        if (request_.scope[ScopeTroops] < 0) return true;
        title(say(kTitleTroopStart));
        return walkOnly(OwnerKind::Troop);
    }

    bool searchMaps() {
        int scope = request_.scope[ScopeMaps];
        if (scope < 0) return true;
        tree_ = MapInfoTree::fromProject(project_);
        // Counted once: the title of every map shows it (30,000 maps made this quadratic).
        mapCount_ = static_cast<int>(tree_.count());
        if (request_.includeSubMaps && scope > 0) subMaps_ = tree_.descendantsOf(scope);
        return walkOnly(OwnerKind::Map);
    }

    void reach(OwnerKind owner, int id) override {
        if (owner == OwnerKind::Map) {
            title(request_.scope[ScopeMaps] == 0 ? format(say(kTitleMapAll), id, mapCount_)
                                                 : format(say(kTitleMapOne), id));
            return;
        }
        bool common = owner == OwnerKind::CommonEvent;
        size_t count = common ? project_.commonEvents().size() : project_.troops().size();
        IdRange range = rangeOf(request_.scope[common ? ScopeCommon : ScopeTroops], count);
        title(format(say(common ? kTitleCommon : kTitleTroop), id, range.first, range.last));
    }

    WalkStep enter(const EventListPlace& place) override {
        itemHits_ = 0;
        listing_.ownerId = place.ownerId;
        if (place.commonEvent) return enterCommonEvent(place.ownerId, *place.commonEvent);
        hit_ = place.troop ? SearchHit() : mapHit_;
        hit_.area = place.troop ? SearchArea::BattleEvent : SearchArea::MapEvent;
        hit_.page = 0;
        if (place.event) {
            hit_.hasEvent = true;
            hit_.eventX = place.event->x;
            hit_.eventY = place.event->y;
        }
        hit_.itemId = place.troop ? place.ownerId : place.event->id;
        hit_.itemName = place.troop ? place.troop->name : place.event->name;
        return nameHitEndsItem(hit_, hit_.itemName) ? WalkStep::SkipOwner : WalkStep::Go;
    }

    WalkStep enterCommonEvent(int id, const CommonEvent& event) {
        hit_ = SearchHit();
        hit_.area = SearchArea::CommonEvent;
        hit_.itemId = id;
        hit_.itemName = event.name;
        if (nameHitEndsItem(hit_, event.name)) return WalkStep::SkipOwner;
        if (request_.inStartConditions && request_.is(SearchKind::Switch) &&
            (event.trigger == 1 || event.trigger == 2) && matchesOneId(request_, event.switchId)) {
            SearchHit hit = hit_;
            hit.line = LineStartCondition;
            hit.content = say("条件スイッチ：") + switchLabel(event.switchId);
            add(hit);
            if (itemDone()) return WalkStep::SkipOwner;
        }
        return WalkStep::Go;
    }

    // A page's own hits before its commands: the troop page's switch, the map page's
    // condition and missing graphic.
    bool pageHitsEndItem(const EventListPlace& place, SearchHit& hit) {
        if (place.troop) {
            const TroopCondition& c = place.troop->pages[static_cast<size_t>(place.page - 1)].condition;
            if (request_.inStartConditions && request_.is(SearchKind::Switch) && c.switchValid &&
                matchesOneId(request_, c.switchId)) {
                hit.line = LineStartCondition;
                hit.content = fill(say("{1}がON"), {switchLabel(c.switchId)});
                add(hit);
                if (itemDone()) return true;
            }
            return false;
        }
        if (!place.event) return false;
        const MapEventPage& page = place.event->pages[static_cast<size_t>(place.page - 1)];
        if (request_.inStartConditions && pageCondition(page.condition, hit.content)) {
            hit.line = LineAppearanceCondition;
            add(hit);
            if (itemDone()) return true;
        }
        if (page.graphic.tileId == 0 && fileMissing(kCharacters, page.graphic.characterName)) {
            hit.line = LineNone;
            hit.content = kCharacters + page.graphic.characterName;
            add(hit);
            if (itemDone()) return true;
        }
        return false;
    }

    WalkStep list(const EventListPlace& place) override {
        SearchHit hit = hit_;
        hit.page = place.page;
        if (pageHitsEndItem(place, hit)) return WalkStep::SkipOwner;
        if (!searchList(place.list, hit)) return WalkStep::Stop;
        return itemDone() ? WalkStep::SkipOwner : WalkStep::Go;
    }

    void mapUnreadable(int mapId, const std::string& why) override {
        if (!why.empty()) noteSkipped(mapFileName(mapId), why);
    }

    // The map's own music, before its events.
    WalkStep enterMap(const MapData& map) override {
        mapHit_ = SearchHit();
        mapHit_.area = SearchArea::MapEvent;
        mapHit_.mapId = map.mapId;
        mapHit_.mapName = tree_.nameOf(map.mapId);
        mapHit_.mapPath = tree_.pathOf(map.mapId);
        listing_.ownerId = map.mapId;
        listing_.mapEvents = &map.events;
        SearchHit hit = mapHit_;
        hit.itemName = say("マップ設定");
        struct Music {
            bool autoplay;
            const char* folder;
            const std::string& name;
        };
        for (const Music& music : {Music{map.autoplayBgm, "Audio\\BGM\\", map.bgm.name},
                                   Music{map.autoplayBgs, "Audio\\BGS\\", map.bgs.name}}) {
            if (!music.autoplay || !fileMissing(music.folder, music.name)) continue;
            hit.content = std::string(music.folder) + music.name;
            add(hit);
        }
        return WalkStep::Go;
    }

    void leaveMap(int) override { listing_.mapEvents = nullptr; }

    // The switch or variable condition of a map page; fills content on a match.
    bool pageCondition(const MapEventCondition& c, std::string& content) const {
        if (request_.is(SearchKind::Variable)) return variableCondition(c, content);
        if (!request_.is(SearchKind::Switch)) return false;
        if (c.switch1Valid && c.switch2Valid && bothSwitches(c.switch1Id, c.switch2Id)) {
            content = fill(say("{1}と{2}がON"), {switchLabel(c.switch1Id), switchLabel(c.switch2Id)});
            return true;
        }
        for (auto [valid, id] :
             {std::pair{c.switch1Valid, c.switch1Id}, std::pair{c.switch2Valid, c.switch2Id}}) {
            if (valid && matchesOneId(request_, id)) {
                content = fill(say("{1}がON"), {switchLabel(id)});
                return true;
            }
        }
        return false;
    }

    bool bothSwitches(int a, int b) const {
        const std::set<int>& ids = request_.targetIds;
        if (!request_.andMode) return ids.count(a) || ids.count(b);
        return ids.size() == 2 && a != b && ids.count(a) && ids.count(b);
    }

    bool variableCondition(const MapEventCondition& c, std::string& content) const {
        if (!c.variableValid || !matchesOneId(request_, c.variableId)) return false;
        content =
            fill(say("{1}が{2}以上"), {project_.label(c.variableId, LabelKind::Variable,
                                                      LabelStyle::numbered(), listing_.language),
                                       format("%d", c.variableValue)});
        return true;
    }

    bool searchScripts() {
        int scope = request_.scope[ScopeScripts];
        if (scope < 0 || !request_.is(SearchKind::Text)) return true;
        title(say(kTitleScripts));
        size_t first = scope > 0 ? static_cast<size_t>(scope) - 1 : 0;
        size_t last = scope > 0 ? first + 1 : project_.scripts().size();
        for (size_t i = first; i < last && i < project_.scripts().size(); ++i) {
            if (aborted()) return false;
            if (!searchScript(i)) return false;
        }
        return true;
    }

    bool searchScript(size_t index) {
        const Script& script = project_.scripts()[index];
        itemHits_ = 0;
        SearchHit hit;
        hit.area = SearchArea::Script;
        hit.itemId = static_cast<int>(index) + 1;
        hit.itemName = script.title;
        if (nameHitEndsItem(hit, script.title)) return true;
        TextQuery query{request_.text, request_.caseSensitive, request_.useRegex, request_.fuzzy};
        bool stopped = false;
        forEachLine(script.text, [&](int number, const std::string& line) {
            if (aborted()) {
                stopped = true;
                return false;
            }
            if (textMatches(line, query, request_.matcher)) {
                hit.line = number;
                hit.content = line;
                add(hit);
            }
            return !itemDone();
        });
        return !stopped;
    }

    bool searchDatabase() {
        if (!request_.is(SearchKind::MissingFile)) return true;
        title(say(kTitleDatabase));
        for (const DatabaseFiles& database : databaseFiles()) {
            SearchHit hit;
            hit.area = SearchArea::Database;
            hit.itemId = database.number;
            hit.itemName = databaseName(database.number, listing_.language);
            FileVisitor visit = [&](const char* folder, const std::string& name) {
                if (!fileMissing(folder, name)) return;
                hit.content = folder + name;
                add(hit);
            };
            size_t count = database.count(project_);
            for (size_t i = 1; i < count; ++i) {
                if (aborted()) return false;
                database.visit(project_, i, visit);
            }
        }
        return true;
    }

    const SearchRequest& request_;
    const ProjectDatabase& project_;
    const SearchSettings& settings_;
    SearchSink& sink_;
    const std::atomic<bool>& abort_;
    ListingOptions listing_;
    SearchSummary summary_;
    std::vector<std::string> skippedFiles_;  // in the order they were met
    int itemHits_ = 0;
    MapInfoTree tree_;
    int mapCount_ = 0;
    std::set<int> subMaps_;
    SearchHit hit_;     // the item being searched
    SearchHit mapHit_;  // the map being searched
};

}  // namespace

const char* databaseName(int number, ListingLanguage language) {
    if (number < 1 || number > 9) return "";
    return kDatabaseNames[row(language)][number - 1];
}

SearchSummary runSearch(const SearchRequest& request, const ProjectDatabase& project,
                        const SearchSettings& settings, SearchSink& sink,
                        const std::atomic<bool>& abort) {
    return SearchRun(request, project, settings, sink, abort).run();
}

}  // namespace zorvane

// The search walk on a project written by Ruby: which places each request finds (match
// rules, AND/OR, ranges, page conditions, scopes, sub-maps, FirstOnly, missing files), the
// engine's own content texts, the progress titles and aborting in every pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>

#include "search/search_engine.h"
#include "search/search_test_project.h"
#include "text/text_matcher.h"

using namespace zorvane;
using stest::placesOf;

namespace {

// One project for the whole file: writing it takes Ruby a moment.
class SearchEngineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!ztest::haveProgram("ruby")) return;
        project_ = std::make_unique<stest::SearchProject>();
        if (!stest::writeTownProject(*project_) || !project_->open(db_)) project_.reset();
    }
    static void TearDownTestSuite() {
        project_.reset();
        db_.clear();
    }
    void SetUp() override {
        if (!project_) GTEST_SKIP() << "ruby is not installed (the test project is written by it)";
    }

    stest::RecordingSink search(const SearchRequest& request, SearchSettings settings = {}) {
        stest::RecordingSink sink;
        std::atomic<bool> abort{false};
        summary_ = runSearch(request, db_, settings, sink, abort);
        return sink;
    }

    std::string contentAt(const stest::RecordingSink& sink, const std::string& place) {
        for (const SearchHit& hit : sink.hits)
            if (stest::placeOf(hit) == place) return hit.content;
        return "(no hit at " + place + ")";
    }

    static std::unique_ptr<stest::SearchProject> project_;
    static ProjectDatabase db_;
    SearchSummary summary_;
};

std::unique_ptr<stest::SearchProject> SearchEngineTest::project_;
ProjectDatabase SearchEngineTest::db_;

using Places = std::set<std::string>;

struct PlaceCase {
    const char* name;
    std::function<SearchRequest()> request;
    Places expected;
};

SearchRequest flags(SearchRequest r, bool operating, bool referencing, bool conditions) {
    r.inOperatingCommands = operating;
    r.inReferencingCommands = referencing;
    r.inStartConditions = conditions;
    return r;
}

SearchRequest switchRequest(std::set<int> ids, bool andMode, bool op, bool ref, bool cond) {
    SearchRequest r;
    r.kind = SearchKind::Switch;
    r.targetIds = std::move(ids);
    r.andMode = andMode;
    r.scope = {0, 0, 0, -1};
    return flags(r, op, ref, cond);
}

SearchRequest withScope(SearchRequest r, std::array<int, 4> scope, bool subMaps = false) {
    r.scope = scope;
    r.includeSubMaps = subMaps;
    return r;
}

SearchRequest ofKind(SearchKind kind, std::set<int> ids) {
    SearchRequest r;
    r.kind = kind;
    r.targetIds = std::move(ids);
    r.scope = {0, 0, 0, -1};
    return flags(r, true, true, true);
}

SearchRequest textRequest(const std::string& text, bool caseSensitive,
                          std::initializer_list<TextTarget> targets) {
    SearchRequest r;
    r.kind = SearchKind::Text;
    r.text = text;
    r.caseSensitive = caseSensitive;
    for (TextTarget t : targets) r.textTargets[t] = true;
    r.scope = {0, 0, 0, 0};
    return r;
}

const std::initializer_list<TextTarget> kAllTargets = {TargetMessage, TargetComment, TargetFileName,
                                                       TargetName,    TargetChoice,  TargetScript,
                                                       TargetLabel,   TargetActor};

TEST_F(SearchEngineTest, FindsThePlacesEachRequestNames) {
    const Places switch1Operated = {"0,1,0,1",   "0,3,0,1",   "2,1:1,1,1", "2,1:1,3,1",
                                    "2,2:1,1,1", "2,3:1,1,1", "2,4:1,1,1"};
    const std::vector<PlaceCase> cases = {
        {"switch 1 operated", [] { return switchRequest({1}, false, true, false, false); },
         switch1Operated},
        {"AND with one switch finds what OR finds",
         [] { return switchRequest({1}, true, true, false, false); }, switch1Operated},
        {"switch 1 referenced: branch and move-route line, not the route's head line",
         [] { return switchRequest({1}, false, false, true, false); },
         {"1,1,2,1", "2,1:1,2,2"}},
        {"a range 4..10 holds switch 5",
         [] { return switchRequest({5}, false, true, false, false); },
         {"0,1,0,3"}},
        {"a range matches in AND mode too",
         [] { return switchRequest({5}, true, true, false, false); },
         {"0,1,0,3"}},
        {"AND of two switches: one-id commands never match, the two-switch page does",
         [] {
             return switchRequest({1, 2}, true, true, true, true);
         },
         {"2,1:1,1,-2"}},
        {"OR of two switches: every place of either",
         [] {
             return switchRequest({1, 2}, false, true, false, false);
         },
         {"0,1,0,1", "0,3,0,1", "1,1,1,1", "2,1:1,1,1", "2,1:1,3,1", "2,2:1,1,1", "2,3:1,1,1",
          "2,4:1,1,1"}},
        {"start conditions of switch 1 (a common event without trigger does not count)",
         [] { return switchRequest({1}, false, false, false, true); },
         {"0,3,0,-1", "1,1,1,-1", "2,1:1,1,-2"}},
        {"start conditions of switch 2 in AND mode",
         [] { return switchRequest({2}, true, false, false, true); },
         {"0,1,0,-1", "2,1:1,1,-2"}},
        {"variable 5 set",
         [] { return ofKind(SearchKind::Variable, {5}); },
         {"0,2,0,2", "2,1:2,1,-2"}},
        {"calls of common event 1",
         [] { return ofKind(SearchKind::CommonEvent, {1}); },
         {"0,2,0,1"}},
        {"every Control Switches command",
         [] { return ofKind(SearchKind::EventCommand, {121}); },
         {"0,1,0,1", "0,1,0,3", "0,3,0,1", "1,1,1,1", "2,1:1,1,1", "2,1:1,3,1", "2,2:1,1,1",
          "2,3:1,1,1", "2,4:1,1,1"}},
        {"common scope 3 searches only common event 3",
         [] {
             return withScope(switchRequest({1}, false, true, false, false), {3, -1, -1, -1});
         },
         {"0,3,0,1"}},
        {"map scope 2 alone",
         [] {
             return withScope(switchRequest({1}, false, true, false, false), {-1, -1, 2, -1});
         },
         {"2,2:1,1,1"}},
        {"map scope 2 with the maps below it",
         [] {
             return withScope(switchRequest({1}, false, true, false, false), {-1, -1, 2, -1}, true);
         },
         {"2,2:1,1,1", "2,3:1,1,1"}},
        {"map scope 1 with the maps below it leaves the other top map out",
         [] {
             return withScope(switchRequest({1}, false, true, false, false), {-1, -1, 1, -1}, true);
         },
         {"2,1:1,1,1", "2,1:1,3,1", "2,2:1,1,1", "2,3:1,1,1"}},
        {"text without case: message, script lines and a script name",
         [] { return textRequest("hello", false, kAllTargets); },
         {"0,1,0,4", "3,1,0,2", "3,1,0,3", "3,2,0,-3"}},
        {"text with case", [] { return textRequest("hello", true, kAllTargets); }, {"3,1,0,2"}},
        {"names only: a map event's name; script bodies are searched whatever the targets",
         [] { return textRequest("Guard", false, {TargetName}); },
         {"2,1:1,0,-3"}},
        {"missing files: map music, a page graphic, an actor's battler, the windowskin",
         [] {
             SearchRequest r = ofKind(SearchKind::MissingFile, {});
             r.missingFiles = true;
             return r;
         },
         {"2,1:-,0,0", "2,1:1,2,0", "2,4:-,0,0", "4,1,0,0", "4,9,0,0"}},
        {"the missing-file box unticked finds nothing",
         [] { return ofKind(SearchKind::MissingFile, {}); },
         {}},
    };
    for (const PlaceCase& c : cases) {
        stest::RecordingSink sink = search(c.request());
        EXPECT_EQ(placesOf(sink.hits), c.expected) << c.name;
        EXPECT_EQ(sink.hits.size(), c.expected.size()) << c.name << ": a place found twice";
        EXPECT_EQ(summary_.hits, static_cast<int>(sink.hits.size())) << c.name;
        EXPECT_FALSE(summary_.aborted) << c.name;
    }
}

TEST_F(SearchEngineTest, ConditionContentsNameTheSwitchesAndValues) {
    struct Case {
        SearchRequest request;
        const char* place;
        const char* content;
    };
    const Case cases[] = {
        {switchRequest({1}, false, false, false, true), "0,3,0,-1", "条件スイッチ：[0001:Door]"},
        {switchRequest({1}, false, false, false, true), "1,1,1,-1", "[0001:Door]がON"},
        {switchRequest({1}, false, false, false, true), "2,1:1,1,-2",
         "[0001:Door]と[0002:Lamp]がON"},
        {switchRequest({1, 2}, true, false, false, true), "2,1:1,1,-2",
         "[0001:Door]と[0002:Lamp]がON"},
        {switchRequest({2}, true, false, false, true), "2,1:1,1,-2", "[0002:Lamp]がON"},
        {switchRequest({2}, true, false, false, true), "0,1,0,-1", "条件スイッチ：[0002:Lamp]"},
        // Both conditions on switch 4: OR joins them; AND needs two different switches, so
        // the first one alone answers.
        {switchRequest({4}, false, false, false, true), "2,1:3,1,-2",
         "[0004:Bell]と[0004:Bell]がON"},
        {switchRequest({4}, true, false, false, true), "2,1:3,1,-2", "[0004:Bell]がON"},
        {ofKind(SearchKind::Variable, {5}), "2,1:2,1,-2", "[0005:Count]が3以上"},
        {switchRequest({5}, false, true, false, false), "0,1,0,3",
         "◆スイッチの操作：[0004..0010] = ON"},
        {switchRequest({1}, false, true, false, false), "0,3,0,1",
         "◆スイッチの操作：[0001:Door] = OFF"},
        {textRequest("Guard", false, {TargetName}), "2,1:1,0,-3", "Guard"},
    };
    for (const Case& c : cases) {
        stest::RecordingSink sink = search(c.request);
        EXPECT_EQ(contentAt(sink, c.place), c.content) << c.place;
    }
}

TEST_F(SearchEngineTest, MissingFileHitsCarryTheEditorPathAndTheirOwner) {
    SearchRequest r = ofKind(SearchKind::MissingFile, {});
    r.missingFiles = true;
    stest::RecordingSink sink = search(r);
    EXPECT_EQ(contentAt(sink, "2,1:-,0,0"), "Audio\\BGM\\NoSuchTune");
    EXPECT_EQ(contentAt(sink, "2,4:-,0,0"), "Audio\\BGS\\Wind");
    EXPECT_EQ(contentAt(sink, "2,1:1,2,0"), "Graphics\\Characters\\Ghost");
    EXPECT_EQ(contentAt(sink, "4,1,0,0"), "Graphics\\Battlers\\Lost");
    EXPECT_EQ(contentAt(sink, "4,9,0,0"), "Graphics\\Windowskins\\Skin");
    for (const SearchHit& hit : sink.hits) {
        if (hit.area == SearchArea::Database) {
            EXPECT_EQ(hit.itemName, hit.itemId == 1 ? "アクター" : "システム");
        }
        if (hit.area == SearchArea::MapEvent && !hit.hasEvent) {
            EXPECT_EQ(hit.itemName, "マップ設定");
        }
    }
}

TEST_F(SearchEngineTest, MapHitsCarryTheMapAndEvent) {
    stest::RecordingSink sink =
        search(withScope(switchRequest({1}, false, true, false, false), {-1, -1, 3, -1}));
    ASSERT_EQ(sink.hits.size(), 1u);
    const SearchHit& hit = sink.hits[0];
    EXPECT_EQ(hit.mapId, 3);
    EXPECT_EQ(hit.mapName, "Cellar");
    EXPECT_EQ(hit.mapPath, "Town/House/Cellar");
    EXPECT_TRUE(hit.hasEvent);
    EXPECT_EQ(hit.itemName, "Rat");
    EXPECT_EQ(hit.eventX, 2);
    EXPECT_EQ(hit.eventY, 2);
}

TEST_F(SearchEngineTest, FirstOnlyKeepsOneHitPerEventTroopOrScript) {
    SearchSettings firstOnly{true, false};
    struct Case {
        SearchRequest request;
        Places expected;
    };
    const Case cases[] = {
        // Map 1's guard has hits on pages 1 and 3.
        {withScope(switchRequest({1}, false, true, false, false), {-1, -1, 1, -1}), {"2,1:1,1,1"}},
        // Common event 1 has two Control Switches commands.
        {withScope(ofKind(SearchKind::EventCommand, {121}), {1, -1, -1, -1}), {"0,1,0,1"}},
        // Script 1 has two matching lines; script 2 is a separate item.
        {withScope(textRequest("hello", false, kAllTargets), {-1, -1, -1, 0}),
         {"3,1,0,2", "3,2,0,-3"}},
        // The troop: start condition on page 1 comes first and ends the troop.
        {withScope(switchRequest({1}, false, true, true, true), {-1, 0, -1, -1}), {"1,1,1,-1"}},
    };
    for (const Case& c : cases) EXPECT_EQ(placesOf(search(c.request, firstOnly).hits), c.expected);
}

TEST_F(SearchEngineTest, TitlesReportEachAreaAndTheSummary) {
    stest::RecordingSink sink = search(switchRequest({1}, false, true, false, false));
    ASSERT_GE(sink.titles.size(), 3u);
    EXPECT_EQ(sink.titles[0], "検索中 - コモンイベント");
    EXPECT_EQ(sink.titles[1], "検索中 - コモンイベント：0001（0001～0003）");
    auto has = [&](const std::string& t) {
        return std::find(sink.titles.begin(), sink.titles.end(), t) != sink.titles.end();
    };
    EXPECT_TRUE(has("検索中 - コモンイベント：0003（0001～0003）"));
    EXPECT_TRUE(has("検索中 - バトルイベント"));
    EXPECT_TRUE(has("検索中 - バトルイベント：0001（0001～0001）"));
    EXPECT_TRUE(has("検索中 - マップイベント：001/004"));
    EXPECT_TRUE(has("検索中 - マップイベント：004/004"));
    EXPECT_FALSE(has("検索中 - スクリプト")) << "scripts are searched by text searches only";
    // The tiny project is searched well within a second.
    EXPECT_EQ(sink.titles.back(), "検索結果 - 7件  所要時間 0秒");
    EXPECT_EQ(summary_.title, sink.titles.back());

    sink = search(withScope(switchRequest({1}, false, true, false, false), {-1, -1, 2, -1}, true));
    EXPECT_TRUE(std::find(sink.titles.begin(), sink.titles.end(), "検索中 - マップイベント：002") !=
                sink.titles.end());
    EXPECT_TRUE(std::find(sink.titles.begin(), sink.titles.end(), "検索中 - マップイベント：003") !=
                sink.titles.end());
    EXPECT_EQ(sink.titles.front(), "検索中 - マップイベント：002");

    sink = search(textRequest("zzz", false, kAllTargets));
    EXPECT_TRUE(std::find(sink.titles.begin(), sink.titles.end(), "検索中 - スクリプト") !=
                sink.titles.end());
    SearchRequest missing = ofKind(SearchKind::MissingFile, {});
    missing.missingFiles = true;
    sink = search(missing);
    EXPECT_TRUE(std::find(sink.titles.begin(), sink.titles.end(), "検索中 - データベース") !=
                sink.titles.end());
}

TEST_F(SearchEngineTest, AbortInEachPassKeepsTheRowsFound) {
    SearchRequest missing = ofKind(SearchKind::MissingFile, {});
    missing.missingFiles = true;
    struct Case {
        const char* pass;
        SearchRequest request;
        const char* firstPlace;
    };
    const Case cases[] = {
        {"common events", switchRequest({1}, false, true, false, false), "0,1,0,1"},
        {"maps", withScope(switchRequest({1}, false, true, false, false), {-1, -1, 0, -1}),
         "2,1:1,1,1"},
        {"scripts", withScope(textRequest("hello", false, kAllTargets), {-1, -1, -1, 0}),
         "3,1,0,2"},
        // Common event 1 names no file, so the first hit comes from the database pass.
        {"database", withScope(missing, {1, -1, -1, -1}), "4,1,0,0"},
    };
    for (const Case& c : cases) {
        stest::RecordingSink sink;
        std::atomic<bool> abort{false};
        sink.abortAfter = &abort;
        sink.abortCount = 1;
        SearchSummary summary = runSearch(c.request, db_, {}, sink, abort);
        ASSERT_EQ(sink.hits.size(), 1u) << c.pass;
        EXPECT_EQ(stest::placeOf(sink.hits[0]), c.firstPlace) << c.pass;
        EXPECT_TRUE(summary.aborted) << c.pass;
        EXPECT_EQ(summary.hits, 1) << c.pass;
        EXPECT_EQ(sink.titles.back(), "検索中断 - 1件") << c.pass;
    }
}

TEST_F(SearchEngineTest, AbortBeforeTheFirstItemFindsNothing) {
    stest::RecordingSink sink;
    std::atomic<bool> abort{true};
    SearchSummary summary =
        runSearch(switchRequest({1}, false, true, false, false), db_, {}, sink, abort);
    EXPECT_TRUE(sink.hits.empty());
    EXPECT_TRUE(summary.aborted);
    EXPECT_EQ(sink.titles.back(), "検索中断 - 0件");
    // Only the first common event was announced before the flag was seen.
    EXPECT_EQ(
        std::count_if(sink.titles.begin(), sink.titles.end(),
                      [](const std::string& t) { return t.rfind("検索中 - コモン", 0) == 0; }),
        2);
}

TEST(SearchEngineEmpty, AllOnAProjectWithOneCommonEventSlotSearchesNothing) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    stest::SearchProject project;
    ASSERT_TRUE(project.write("save('CommonEvents.rxdata', [nil])\n"));
    ProjectDatabase db;
    ASSERT_TRUE(project.open(db));
    SearchRequest r;
    r.kind = SearchKind::EventCommand;
    r.targetIds = {0};
    r.scope = {0, -1, -1, -1};
    stest::RecordingSink sink;
    std::atomic<bool> abort{false};
    runSearch(r, db, {}, sink, abort);
    EXPECT_TRUE(sink.hits.empty());
    ASSERT_EQ(sink.titles.size(), 2u);
    EXPECT_EQ(sink.titles[0], "検索中 - コモンイベント");
    EXPECT_EQ(sink.titles[1], "検索結果 - 0件  所要時間 0秒");
}

TEST_F(SearchEngineTest, RegularExpressionsGoThroughTheMatcher) {
    TextMatcher matcher;
    ASSERT_TRUE(matcher.load());
    SearchRequest r = withScope(textRequest("^HEL+O", true, kAllTargets), {-1, -1, -1, 0});
    r.useRegex = true;
    r.matcher = &matcher;
    EXPECT_EQ(placesOf(search(r).hits), Places({"3,1,0,3"}));
    // Without a loaded matcher the same pattern is plain text and appears nowhere.
    r.matcher = nullptr;
    EXPECT_TRUE(search(r).hits.empty());
}

}  // namespace

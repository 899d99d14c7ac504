// The English listing: its tables against the Japanese ones, a handful of lines checked
// against their meaning, and every list of the sample project in English.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "listing/listing.h"
#include "listing/listing_words.h"
#include "listing_test_support.h"
#include "project/project_database.h"
#include "support/test_support.h"

using namespace zorvane;
using namespace ltest;

namespace {

// The code points of a UTF-8 text (invalid bytes count as themselves).
std::vector<char32_t> codePoints(const std::string& s) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        char32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (int k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(n);
    }
    return out;
}

// Kana, CJK ideographs, full-width forms and the Japanese punctuation block, and the
// circle and cross marks the Japanese text uses for yes and no.
bool isJapanese(char32_t c) {
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) ||
           (c >= 0xFF00 && c <= 0xFFEF) || c == U'○' || c == U'×';
}

// The first Japanese character of a text after its leading indent and marks ("　", "◆",
// "◇", "："), or "" when it has none.
std::string japaneseAfterMarks(const std::string& line) {
    std::vector<char32_t> cps = codePoints(line);
    size_t i = 0;
    while (i < cps.size() && (cps[i] == U'　' || cps[i] == U'◆' || cps[i] == U'◇' || cps[i] == U'：'))
        ++i;
    for (; i < cps.size(); ++i)
        if (isJapanese(cps[i])) return line;
    return "";
}

// The printf conversions of a format, in order, and the {n} places of a pattern, sorted.
std::vector<std::string> conversions(const std::string& s) {
    static const std::regex conversion(R"(%[-+#0]*[0-9]*(\.[0-9]+)?[diouxXeEfgGcsp%])");
    std::vector<std::string> out;
    for (std::sregex_iterator it(s.begin(), s.end(), conversion), end; it != end; ++it)
        out.push_back(it->str());
    return out;
}
std::vector<std::string> places(const std::string& s) {
    static const std::regex place(R"(\{[1-9]\})");
    std::vector<std::string> out;
    for (std::sregex_iterator it(s.begin(), s.end(), place), end; it != end; ++it)
        out.push_back(it->str());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(EnglishTable, NamesEveryCommandWithTheSameMarks) {
    for (const CommandRow& row : commandTable()) {
        const char* english = englishCommandName(row.code);
        ASSERT_NE(english, nullptr) << "code " << row.code << " has no English name";
        std::string ja = row.name, en = english;
        // The same leading mark ("◆" starts a command, "：" continues one) ...
        EXPECT_EQ(en.substr(0, 3), ja.substr(0, 3)) << row.code;
        // ... and a line made of marks alone stays as it is.
        if (japaneseAfterMarks(ja).empty()) {
            EXPECT_EQ(en, ja) << row.code;
        }
        EXPECT_EQ(japaneseAfterMarks(en), "") << row.code;
        EXPECT_EQ(commandName(row, ListingLanguage::Japanese), ja);
    }
    // Typed without the trailing space, an English name finds its code like a Japanese one.
    EXPECT_EQ(codeOfCommandName("◆If:"), 111);
    EXPECT_EQ(codeOfCommandName("◆Loop"), 112);
    EXPECT_EQ(codeOfCommandName("：Else"), -1);
}

TEST(EnglishTable, PhrasesKeepTheirConversionsAndPlaces) {
    std::vector<std::string> seen;
    for (const auto& [ja, en] : englishPhrases()) {
        EXPECT_EQ(conversions(en), conversions(ja)) << ja;
        EXPECT_EQ(places(en), places(ja)) << ja;
        EXPECT_EQ(japaneseAfterMarks(std::string("x") + en), "") << ja;
        EXPECT_EQ(say(ja, ListingLanguage::Japanese), std::string(ja));
        EXPECT_EQ(std::find(seen.begin(), seen.end(), ja), seen.end()) << "twice: " << ja;
        seen.push_back(ja);
    }
    EXPECT_EQ(fill("{2} of {1}", {"A", "B"}), "B of A");
    EXPECT_EQ(fill("{1}%{3}", {std::string_view("a\0b", 3)}), std::string("a\0b%{3}", 7));
}

// Lines written from what the commands mean, in the short and the long form.
TEST(EnglishListing, LinesSayWhatTheCommandsDo) {
    struct Case {
        int code;
        std::vector<MarshalValue> params;
        bool detail;
        const char* expected;
    };
    const Case cases[] = {
        {111, {num(0), num(5), num(0)}, true, "◆If: Switch [0005: Door] == ON"},
        {111, {num(4), num(1), num(2), num(1)}, true, "◆If: Actor [001: Aruto] has learned Skill [001: Fire]"},
        {111, {num(6), num(-1), num(8)}, false, "◆If: Player faces Up"},
        {111, {num(8), num(1)}, false, "◆If: Party has [Potion]"},
        {111, {num(7), num(100), num(1)}, false, "◆If: Gold 100 or Less"},
        {122, {num(12), num(12), num(0), num(4), num(1), num(0)}, true,
         "◆Set Variables: Variable [0012: Coins] = Level of Actor [001: Aruto]"},
        {122, {num(12), num(12), num(1), num(3), num(1)}, false,
         "◆Set Variables: [0012: Coins] += Count of [Potion] held"},
        {129, {num(1), num(0), num(1)}, false, "◆Party: Add [Aruto],Reset"},
        {106, {num(20)}, false, "◆Wait: 20 frames"},
        {201, {num(0), num(3), num(10), num(12), num(2), num(1)}, true,
         "◆Teleport: Map [003: Town],(010,012),Facing:Down,No Fade"},
        {402, {num(0), str("Yes")}, false, "：When [Yes]"},
        {411, {}, false, "：Else"},
        {509, {moveCommand(14, {num(1), num(-2)})}, false, "：　　　　　　　　：◇Jump: +1,-2"},
        {509, {moveCommand(27, {num(5)})}, true, "：　　　　　　　　：◇Switch ON: Switch [0005: Door]"},
        {313, {num(0), num(0), num(3)}, true, "◆State Change: Entire Party,+State [003: Poison]"},
    };
    for (const Case& c : cases) {
        ListingOptions o = options(c.detail);
        o.language = ListingLanguage::English;
        std::string out;
        formatCommand(out, command(c.code, c.params), o, nullptr);
        EXPECT_EQ(out, c.expected);
    }
}

namespace {

// Every text a command stores (messages, names, file names, scripts), at any depth.
void storedTexts(const MarshalValue& v, std::vector<std::string>& out, int depth = 0) {
    if (depth > 8) return;
    if (v.kind() == MarshalValue::String) out.push_back(v.text());
    for (const MarshalValue& child : v.children()) storedTexts(child, out, depth + 1);
    for (const ValuePair& pair : v.pairs()) storedTexts(pair.second, out, depth + 1);
}

// The line less every occurrence of the project's own texts, longest first.
std::string withoutProjectText(std::string line, std::vector<std::string> texts) {
    std::sort(texts.begin(), texts.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& t : texts) {
        if (t.empty()) continue;
        for (size_t at; (at = line.find(t)) != std::string::npos;) line.erase(at, t.size());
    }
    return line;
}

// Each command of the sample's lists in both languages and both forms: an English line
// names its command in English, keeps text where the Japanese line has text, and holds no
// Japanese beyond its marks once the project's own texts are taken out.
struct SampleWalk {
    std::vector<std::string> projectNames;  // names a line may show without a label
    size_t commands = 0;
    std::vector<std::string> faults;

    void list(const EventCommandList& list, ListingOptions o) {
        SearchRequest search;  // search lines open continuations with a heading
        search.kind = SearchKind::Switch;
        search.targetIds = {1};
        for (const EventCommand& c : list.commands) {
            ++commands;
            const CommandRow* row = findCommandRow(c.code);
            std::vector<std::string> texts = projectNames;
            for (const MarshalValue& p : c.parameters()) storedTexts(p, texts);
            for (bool detail : {false, true}) {
                o.detail = detail;
                std::string ja, en;
                o.language = ListingLanguage::Japanese;
                formatCommand(ja, c, o, nullptr);
                o.language = ListingLanguage::English;
                formatCommand(en, c, o, nullptr);
                if (row && (ja.size() > std::strlen(row->name)) !=
                               (en.size() > std::strlen(englishCommandName(c.code))))
                    faults.push_back("text lost or added: " + ja + " | " + en);
                std::string searched;
                formatCommand(searched, c, o, &search);
                for (const std::string& line : {en, searched})
                    if (!japaneseAfterMarks(withoutProjectText(line, texts)).empty())
                        faults.push_back("Japanese left: " + line);
            }
        }
    }
};

}  // namespace

TEST(EnglishListing, EveryListOfTheSampleReadsInEnglish) {
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject()));
    // Labels show ids alone, so that what is left of a line is the listing's own words.
    db.idsOnly = true;
    SampleWalk walk;
    // Enemy names of troop members and map event names are shown bare.
    for (const Enemy& e : db.enemies()) walk.projectNames.push_back(e.name);
    ListingOptions o;
    o.project = &db;
    for (size_t id = 1; id < db.commonEvents().size(); ++id) {
        EventCommandList list;
        o.ownerId = static_cast<int>(id);
        if (readCommandList(db.commonEventsFile(), commonEventListPath(o.ownerId), list))
            walk.list(list, o);
    }
    o.ownerKind = OwnerKind::Troop;
    for (size_t id = 1; id < db.troops().size(); ++id) {
        o.ownerId = static_cast<int>(id);
        for (size_t p = 0; p < db.troops()[id].pages.size(); ++p) {
            EventCommandList list;
            if (readCommandList(db.troopsFile(), troopPageListPath(o.ownerId, int(p)), list))
                walk.list(list, o);
        }
    }
    namespace fs = std::filesystem;
    o.ownerKind = OwnerKind::Map;
    for (const auto& e : fs::directory_iterator(fs::path(db.dataFilePath("MapInfos.rxdata")).parent_path())) {
        int mapId = 0;
        if (std::sscanf(e.path().filename().c_str(), "Map%d.rxdata", &mapId) != 1) continue;
        MarshalFile file;
        ASSERT_TRUE(file.load(e.path().string()));
        const MarshalValue* eventsNode = file.find("RPG::Map.@events");
        ASSERT_NE(eventsNode, nullptr);
        std::map<int32_t, MapEvent> events = readMapEvents(*eventsNode);
        SampleWalk mapWalk = walk;
        for (const auto& [id, event] : events) mapWalk.projectNames.push_back(event.name);
        o.ownerId = mapId;
        o.mapEvents = &events;
        for (const auto& [id, event] : events)
            for (size_t p = 0; p < event.pages.size(); ++p) {
                EventCommandList list;
                if (readCommandList(file, mapEventPageListPath(id, int(p)), list))
                    mapWalk.list(list, o);
            }
        walk.commands = mapWalk.commands;
        walk.faults = mapWalk.faults;
    }
    EXPECT_GT(walk.commands, 300u);
    for (const std::string& fault : walk.faults) ADD_FAILURE() << fault;
}

// Documents in English: every condition block of the sample, and one document end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <codecvt>
#include <locale>
#include <string>
#include <vector>

#include "documents/condition_block.h"
#include "map/map_data.h"
#include "project/project_database.h"
#include "support/test_support.h"

using namespace zorvane;

namespace {

// Kana, CJK ideographs, full-width forms and Japanese punctuation (the ideographic space
// that indents an item aside), and the circle and cross of yes and no.
bool hasJapanese(const std::string& text) {
    std::wstring_convert<std::codecvt_utf8<char32_t>, char32_t> utf8;
    for (char32_t c : utf8.from_bytes(text))
        if ((c > 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) ||
            (c >= 0xFF00 && c <= 0xFFEF) || c == 0x25CB || c == 0xD7)
            return true;
    return false;
}

// The block's text less the project's own texts (event, file and enemy names).
std::string ownWords(std::string text, const std::vector<std::string>& projectTexts) {
    for (const std::string& t : projectTexts)
        for (size_t at; !t.empty() && (at = text.find(t)) != std::string::npos;)
            text.erase(at, t.size());
    return text;
}

void expectEnglish(const std::vector<ConditionSection>& sections,
                   const std::vector<std::string>& projectTexts, const std::string& where) {
    std::string block = ownWords(renderConditionBlock(sections, false), projectTexts);
    EXPECT_FALSE(hasJapanese(block)) << where << ":\n" << block;
}

}  // namespace

TEST(EnglishDocuments, EveryConditionBlockOfTheSample) {
    ProjectDatabase db;
    ASSERT_TRUE(db.open(ztest::sampleProject()));
    db.idsOnly = true;  // labels show ids alone
    std::vector<std::string> enemyNames;
    for (const Enemy& e : db.enemies()) enemyNames.push_back(e.name);
    const Lang en = Lang::English;
    for (size_t id = 1; id < db.commonEvents().size(); ++id)
        expectEnglish(commonEventSections(db.commonEvents()[id], db, en), {}, "common event");
    for (size_t id = 1; id < db.troops().size(); ++id)
        for (const TroopPage& page : db.troops()[id].pages)
            for (bool detail : {false, true})
                expectEnglish(troopPageSections(page, int(id), db, detail, en), enemyNames,
                              "troop " + std::to_string(id));
    size_t pages = 0;
    for (const auto& entry : db.mapInfos()) {
        MapData map;
        if (entry.first <= 0 || !map.load(db, entry.first, false)) continue;
        for (const auto& [eventId, event] : map.events)
            for (const MapEventPage& page : event.pages) {
                ++pages;
                expectEnglish(mapPageSections(page, db, true, en), {page.graphic.characterName},
                              "map " + std::to_string(entry.first) + " event " +
                                  std::to_string(eventId));
            }
    }
    EXPECT_GT(pages, 10u);
}

// The heading and sections of one page, read against the sample's generator: event 1 of
// map 2 is the village elder, drawn from npc_small facing down, run by the confirm key.
TEST(EnglishDocuments, OneMapEventPageFromTheCommandLine) {
    std::string out;
    int status = ztest::run(ztest::shellQuote(ztest::binaryDir() + "/zorvane-cli") + " doc " +
                                ztest::shellQuote(ztest::sampleProject()) +
                                " --map 2 --event 1 --page 1 --text --encoding utf-8 --lang en",
                            &out);
    ASSERT_EQ(status, 0) << out;
    for (const char* line : {"Map Event [001: 村長] Page 01\r\n", "Conditions\r\n　None\r\n",
                             "　File: npc_small\r\n　Facing: Down\r\n", "Trigger\r\n　Confirm Key\r\n",
                             "　Walking Animation: On\r\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
}

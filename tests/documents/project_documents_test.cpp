// Every common event, troop page, map event page and script of the sample project and of
// the real projects writes in both forms; each listing has one line per command.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "documents/document_writer.h"
#include "map/map_data.h"
#include "project/project_database.h"
#include "support/test_support.h"
#include "text/text_matcher.h"

using namespace zorvane;
namespace fs = std::filesystem;

namespace {

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = 0; (pos = text.find(what, pos)) != std::string::npos; pos += what.size()) ++n;
    return n;
}

// Listing lines end with </font> and a line break; project text cannot make one, as its
// "<" is escaped.
size_t listingLines(const std::string& html) {
    size_t start = html.find("<pre class=\"event\">");
    size_t end = html.find("</pre>\r\n", start);
    if (start == std::string::npos || end == std::string::npos) return 0;
    return count(html.substr(start, end - start), "</font>\r\n");
}

// Writes one item in both forms; a listing must have `commands` lines (0: a script).
void check(const DocumentSources& sources, const DocumentRequest& request, size_t commands) {
    for (bool html : {true, false}) {
        DocumentOptions options;
        useTemplateFolder(options, ztest::sourceDir() + "/template");
        options.html = html;
        DocumentResult result = writeEventDocument(sources, request, options);
        ASSERT_TRUE(result.written()) << int(request.kind) << "/" << request.id << "/"
                                      << request.page << ": " << result.message;
        if (html && commands > 0) {
            EXPECT_EQ(listingLines(result.bytes), commands) << request.id;
        }
    }
}

void checkProject(const ProjectDatabase& db) {
    TextMatcher matcher;
    matcher.load();
    ColourRules rules = loadColourRules(ztest::sourceDir() + "/template/ruby_color.txt");
    DocumentSources sources{db, nullptr, &rules, &matcher};
    EventCommandList list;
    for (int id = 1; size_t(id) < db.commonEvents().size(); ++id)
        if (readCommandList(db.commonEventsFile(), commonEventListPath(id), list))
            check(sources, {DocumentKind::CommonEvent, id, 1}, list.size());
    for (int id = 1; size_t(id) < db.troops().size(); ++id)
        for (int page = 1; size_t(page) <= db.troops()[size_t(id)].pages.size(); ++page)
            if (readCommandList(db.troopsFile(), troopPageListPath(id, page - 1), list))
                check(sources, {DocumentKind::BattleEvent, id, page}, list.size());
    for (const auto& entry : db.mapInfos()) {
        MapData map;
        if (entry.first <= 0 || !map.load(db, entry.first, false)) continue;
        sources.map = &map;
        for (const auto& [eventId, event] : map.events)
            for (int page = 1; size_t(page) <= event.pages.size(); ++page)
                if (readCommandList(map.root, mapEventPageListPath(eventId, page - 1), list))
                    check(sources, {DocumentKind::MapEvent, eventId, page}, list.size());
        sources.map = nullptr;
    }
    for (int id = 1; size_t(id) <= db.scripts().size(); ++id)
        check(sources, {DocumentKind::Script, id, 1}, 0);
}

std::string projectFileIn(const fs::path& folder) {
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".rxproj") return e.path().string();
    return (folder / "Game.ini").string();
}

}  // namespace

TEST(ProjectDocuments, SampleAndRealProjects) {
    std::vector<std::string> projects = {ztest::sampleProject()};
    if (!ztest::corpusDir().empty())
        for (const auto& e : fs::directory_iterator(ztest::corpusDir()))
            if (e.is_directory()) projects.push_back(projectFileIn(e.path()));
    for (const std::string& file : projects) {
        SCOPED_TRACE(file);
        ProjectDatabase db;
        ASSERT_TRUE(db.open(file));
        checkProject(db);
    }
}

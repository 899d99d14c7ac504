// The site's addresses and its page frame: where each page lives (every page but the index
// one folder down, so one prefix "../" reaches the top from anywhere), the common head,
// navigation and search box, and small HTML pieces the pages share. All pages are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "project/listing_language.h"

namespace zorvane::site {

// Addresses from the site's top folder.
std::string mapPage(int mapId);
std::string mapPicture(int mapId);
std::string commonEventPage(int id);
std::string troopPage(int troopId, int page);
std::string mapEventPage(int mapId, int eventId, int page);
std::string scriptPage(int position);
std::string databasePage(int table);
extern const char* const kEventListPage;  // common events and troops
extern const char* const kSwitchPage;     // switches and variables
extern const char* const kCheckPage;      // the project check's findings
extern const char* const kScriptListPage;
extern const char* const kStyleSheet;
extern const char* const kSearchScript;
extern const char* const kSearchIndex;

// Anchors inside those pages.
std::string switchAnchor(int id);    // "s12"
std::string variableAnchor(int id);  // "v12"
std::string rowAnchor(int id);       // "id12": a database row, an entry of a list
std::string lineAnchor(int line);    // "L12": a listing line, from 1

// What the pages see of the top folder: "" on the index, "../" one folder down.
std::string prefixFor(std::string_view page);

std::string escaped(std::string_view text);
// <a href="prefix+target">text</a>, text escaped here.
std::string link(const std::string& prefix, const std::string& target, std::string_view text,
                 std::string_view cssClass = {});

// The frame of one of the site's own pages around `body`; the navigation in the language.
std::string framePage(std::string_view page, std::string_view title, std::string_view body,
                      ListingLanguage language);
// The same frame laid into a finished document: the style sheet in its head, the
// navigation and `top` after <body>, `bottom` and the search script before </body>.
std::string frameDocument(std::string_view page, std::string document, std::string_view top,
                          std::string_view bottom, ListingLanguage language);

// A table with a heading row; cells are HTML already. rowIds[i] (when not empty) becomes
// the id of row i.
std::string htmlTable(const std::vector<std::string>& heading,
                      const std::vector<std::vector<std::string>>& rows,
                      const std::vector<std::string>& rowIds = {});

// The style sheet and the search script, written once at the top.
extern const char* const kStyleSheetText;
extern const char* const kSearchScriptText;

}  // namespace zorvane::site

// The pages of the site, each built whole as text from the project and what the walk
// gathered: the map pages, the lists, the switch page, the database tables, the index and
// the search index. Nothing here writes a file.
#pragma once

#include <string>
#include <vector>

#include "map/event_walk.h"
#include "project/listing_language.h"
#include "marshal/rgss_types.h"
#include "site/site_usage.h"

namespace zorvane {
class MapInfoTree;
}

namespace zorvane::site {

// What a map page shows of a map, kept from the walk so the map is not read again for it.
struct MapFacts {
    int width = 0, height = 0, tilesetId = 0;
    bool autoplayBgm = false, autoplayBgs = false;
    AudioFile bgm, bgs;
    std::vector<int> encounters;  // troop ids
    int encounterStep = 0;
    struct Event {
        int id = 0, x = 0, y = 0, pages = 0;
        std::string name;
    };
    std::vector<Event> events;  // in id order
};
MapFacts mapFacts(const MapData& map);

// The picture of a map page: drawn or not, and its cell size in pixels.
struct PictureFacts {
    bool drawn = false;
    int cellSize = 32;
};

// How a reader names the owner of a list: "コモンイベント[001:名前]",
// "マップ[0001:名前] EV002[名前] 1ページ" ...
std::string ownerTitle(const ProjectDatabase& db, const EventListPlace& place,
                       ListingLanguage language);
// The line above a document: back to its map or list, and its sibling pages.
std::string backLinks(const ProjectDatabase& db, const EventListPlace& place,
                      ListingLanguage language);

std::string mapPageHtml(const ProjectDatabase& db, const MapInfoTree& tree, int mapId,
                        const MapFacts* facts, const PictureFacts& picture, const SiteUsage& usage,
                        ListingLanguage language);
std::string eventListHtml(const ProjectDatabase& db, ListingLanguage language);
std::string switchPageHtml(const ProjectDatabase& db, const SiteUsage& usage,
                           ListingLanguage language);
std::string scriptListHtml(const ProjectDatabase& db, ListingLanguage language);
// A table of the database as the export's CSV files show it; names go into `search`.
std::string databasePageHtml(const ProjectDatabase& db, int table,
                             std::vector<SearchEntry>& search, ListingLanguage language);
std::string indexHtml(const ProjectDatabase& db, const std::vector<std::string>& skipped,
                      ListingLanguage language);
// "var zorvaneSearchIndex = [[title, address, text], ...];" — JSON in a script, so a page
// opened from file:// can load it.
std::string searchIndexScript(const ProjectDatabase& db, const SiteUsage& usage,
                              ListingLanguage language);

}  // namespace zorvane::site

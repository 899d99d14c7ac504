// list: turns one command list of a project into editor text lines through the listing
// engine. Map files are read here directly, with just the event names the lines need.
#include "cli/list_command.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "cli/cli_support.h"
#include "listing/listing.h"
#include "listing/operands.h"
#include "project/file_helpers.h"
#include "project/project_database.h"

namespace zorvane::cli {

namespace {

enum class ListKind { Common, Troop, Map };

struct ListOptions {
    std::string project;
    ListKind kind = ListKind::Common;
    int common = 0;
    int troop = 0;
    int map = 0;
    int event = 0;
    int page = 0;
    bool detail = false;
    std::string language = "ja";
};

// The events of a map file by id: names and pages, as the character names need them.
std::map<int32_t, MapEvent> readMapEvents(const MarshalFile& mapFile) {
    const MarshalValue* hash = mapFile.find("RPG::Map.@events");
    return hash ? zorvane::readMapEvents(*hash) : std::map<int32_t, MapEvent>{};
}

void printList(const EventCommandList& list, const ListingOptions& options) {
    for (const EventCommand& command : list.commands) {
        std::string line;
        formatCommand(line, command, options, nullptr);
        std::string indent;
        for (int32_t i = 0; i < shownIndent(command.indent); ++i) indent += "　";
        std::printf("%s%s\n", indent.c_str(), line.c_str());
    }
}

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// Why `kind` `id` cannot be listed: its file could not be read, or the id is out of range.
int noSuchItem(const ProjectDatabase& db, const char* kind, int id, size_t slots,
               const std::string& file) {
    for (const Diagnostic& d : db.diagnostics())
        if (d.file == file) return fail(file + " could not be read: " + d.what);
    if (slots <= 1) return fail(format("%s %d does not exist (the project has none)", kind, id));
    return fail(format("%s %d does not exist (the project has 1 to %d)", kind, id,
                       static_cast<int>(slots) - 1));
}

int listCommon(const ProjectDatabase& db, const ListOptions& o, ListingOptions& lo) {
    if (o.common <= 0 || static_cast<size_t>(o.common) >= db.commonEvents().size())
        return noSuchItem(db, "common event", o.common, db.commonEvents().size(),
                          "CommonEvents.rxdata");
    EventCommandList list;
    if (!readCommandList(db.commonEventsFile(), commonEventListPath(o.common), list))
        return fail(format("common event %d has no command list", o.common));
    lo.ownerKind = OwnerKind::CommonEvent;
    lo.ownerId = o.common;
    printList(list, lo);
    return 0;
}

int listTroop(const ProjectDatabase& db, const ListOptions& o, ListingOptions& lo) {
    if (o.troop <= 0 || static_cast<size_t>(o.troop) >= db.troops().size())
        return noSuchItem(db, "troop", o.troop, db.troops().size(), "Troops.rxdata");
    const Troop& troop = db.troops()[static_cast<size_t>(o.troop)];
    if (o.page <= 0 || static_cast<size_t>(o.page) > troop.pages.size())
        return fail(
            format("troop %d has no page %d (it has %zu)", o.troop, o.page, troop.pages.size()));
    EventCommandList list;
    if (!readCommandList(db.troopsFile(), troopPageListPath(o.troop, o.page - 1), list))
        return fail(format("troop %d page %d has no command list", o.troop, o.page));
    lo.ownerKind = OwnerKind::Troop;
    lo.ownerId = o.troop;
    printList(list, lo);
    return 0;
}

int listMapEvent(const ProjectDatabase& db, const ListOptions& o, ListingOptions& lo) {
    MarshalFile mapFile;
    if (o.map <= 0 || !db.readDataFile(format("Map%03d.rxdata", o.map), mapFile))
        return fail(format("map %d cannot be read", o.map));
    std::map<int32_t, MapEvent> events = readMapEvents(mapFile);
    auto it = events.find(o.event);
    if (it == events.end()) return fail(format("map %d has no event %d", o.map, o.event));
    if (o.page <= 0 || static_cast<size_t>(o.page) > it->second.pages.size())
        return fail(format("event %d of map %d has no page %d (it has %zu)", o.event, o.map, o.page,
                           it->second.pages.size()));
    EventCommandList list;
    if (!readCommandList(mapFile, mapEventPageListPath(o.event, o.page - 1), list))
        return fail(format("event %d page %d has no command list", o.event, o.page));
    lo.ownerKind = OwnerKind::Map;
    lo.ownerId = o.map;
    lo.mapEvents = &events;
    printList(list, lo);
    return 0;
}

int runList(const ListOptions& o) {
    ProjectDatabase db;
    if (!openProjectOrFail(db, o.project)) return 1;
    ListingOptions lo;
    lo.project = &db;
    lo.detail = o.detail;
    lo.language = listingLanguage(o.language);
    switch (o.kind) {
        case ListKind::Common:
            return listCommon(db, o, lo);
        case ListKind::Troop:
            return listTroop(db, o, lo);
        case ListKind::Map:
            return listMapEvent(db, o, lo);
    }
    return 1;
}

}  // namespace

void addListCommand(CLI::App& app, Runner* run) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* list = app.add_subcommand(
        "list", "Print one event list: a common event, a battle event page or a map event page");
    list->add_option("PROJECT", options->project, "the project file (Game.rxproj)")->required();
    CLI::Option* common = list->add_option("--common", options->common, "common event id");
    CLI::Option* troop = list->add_option("--troop", options->troop, "troop id");
    CLI::Option* map = list->add_option("--map", options->map, "map id");
    CLI::Option* event = list->add_option("--event", options->event, "map event id");
    CLI::Option* page = list->add_option("--page", options->page, "page number, from 1");
    list->add_flag("--detail", options->detail, "long form with captions");
    addLanguageOption(list, options->language);
    common->excludes(troop)->excludes(map)->excludes(event)->excludes(page);
    troop->excludes(map)->excludes(event)->needs(page);
    map->needs(event)->needs(page);
    event->needs(map);
    list->callback([run, options, common, troop, map] {
        if (*common)
            options->kind = ListKind::Common;
        else if (*troop)
            options->kind = ListKind::Troop;
        else if (*map)
            options->kind = ListKind::Map;
        else
            throw CLI::RequiredError("one of --common, --troop or --map");
        *run = [options] { return runList(*options); };
    });
}

}  // namespace zorvane::cli

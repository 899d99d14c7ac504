// info: what a project holds (title, RTPs, database counts, scripts, the map tree);
// check: reads every data and map file and reports what a user should fix.
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "cli/commands.h"
#include "cli/cli_support.h"
#include "cli/map_info.h"
#include "listing/listing.h"
#include "map/map_info_tree.h"
#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "project/resource.h"

namespace zorvane::cli {

namespace {

struct InfoOptions {
    std::string project;
    bool json = false;
    int map = 0;
    bool measure = false;
};

struct CheckOptions {
    std::string project;
};

// Maps in the editor's order: by their order value, ids breaking ties.
std::vector<int> mapsInEditorOrder(const ProjectDatabase& db) {
    std::vector<int> ids;
    for (const auto& [id, info] : db.mapInfos())
        if (id > 0) ids.push_back(id);
    std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) {
        return db.mapInfos().at(a).order < db.mapInfos().at(b).order;
    });
    return ids;
}

struct Count {
    const char* name;
    size_t count;
};

std::vector<Count> databaseCounts(const ProjectDatabase& db) {
    return {
        {"switches", db.system().switchNames.size()},
        {"variables", db.system().variableNames.size()},
        {"elements", db.system().elementNames.size()},
        {"actors", db.actors().size()},
        {"classes", db.classes().size()},
        {"skills", db.skills().size()},
        {"items", db.items().size()},
        {"weapons", db.weapons().size()},
        {"armors", db.armors().size()},
        {"states", db.states().size()},
        {"enemies", db.enemies().size()},
        {"troops", db.troops().size()},
        {"animations", db.animations().size()},
        {"tilesets", db.tilesets().size()},
        {"common_events", db.commonEvents().size()},
        {"scripts", db.scripts().size()},
        {"maps", db.mapInfos().size() - (db.mapInfos().count(0) ? 1 : 0)},
    };
}

nlohmann::json infoJson(const ProjectDatabase& db) {
    nlohmann::json j;
    j["title"] = db.title;
    j["project_folder"] = db.projectFolder;
    for (int n = 1; n <= 3; ++n) {
        std::string folder = db.resources().folder(n);
        const std::string& name = db.rtpNames[n - 1];
        j["rtp"].push_back({{"name", name},
                            {"folder", name.empty() ? "" : folder},
                            {"exists", !name.empty() && isDirectory(folder)}});
    }
    for (const Count& c : databaseCounts(db)) j["counts"][c.name] = c.count;
    // Indexed by id: slot 0 is null.
    auto names = [](const std::vector<std::string>& list) {
        nlohmann::json a = nlohmann::json::array();
        for (size_t id = 0; id < list.size(); ++id)
            a.push_back(id == 0 ? nlohmann::json() : nlohmann::json(list[id]));
        return a;
    };
    j["names"] = {{"switches", names(db.system().switchNames)},
                  {"variables", names(db.system().variableNames)},
                  {"elements", names(db.system().elementNames)}};
    j["scripts"] = nlohmann::json::array();
    for (size_t i = 0; i < db.scripts().size(); ++i)
        j["scripts"].push_back({{"id", i + 1},  // from 1, as doc --script and the program
                                {"title", db.scripts()[i].title},
                                {"bytes", db.scripts()[i].text.size()}});
    j["maps"] = nlohmann::json::array();
    const MapInfoTree tree = MapInfoTree::fromProject(db);
    for (int id : mapsInEditorOrder(db)) {
        const MapInfo& m = db.mapInfos().at(id);
        j["maps"].push_back({{"id", id},
                             {"name", m.name},
                             {"parent_id", m.parentId},
                             {"order", m.order},
                             {"depth", tree.depthOf(id)}});
    }
    j["skipped"] = nlohmann::json::array();
    for (const Diagnostic& d : db.diagnostics())
        j["skipped"].push_back({{"file", d.file}, {"what", d.what}});
    return j;
}

void printInfo(const ProjectDatabase& db) {
    std::printf("Title: %s\n", db.title.c_str());
    if (db.gameIniEncoding != "UTF-8" && db.gameIniEncoding != "CP932")
        std::printf("Game.ini is encoded in %s\n", db.gameIniEncoding.c_str());
    std::printf("Folder: %s\n", db.projectFolder.c_str());
    for (int n = 1; n <= 3; ++n) {
        const std::string& name = db.rtpNames[n - 1];
        if (name.empty()) {
            std::printf("RTP%d: (none)\n", n);
            continue;
        }
        std::string folder = db.resources().folder(n);
        std::printf("RTP%d: %s at %s (%s)\n", n, name.c_str(), folder.c_str(),
                    isDirectory(folder) ? "found" : "missing");
    }
    std::printf("\nDatabase:\n");
    for (const Count& c : databaseCounts(db)) std::printf("  %-14s %zu\n", c.name, c.count);
    std::printf("\nScripts:\n");
    for (size_t i = 0; i < db.scripts().size(); ++i)
        std::printf("  %03zu:%s (%zu bytes)\n", i + 1, db.scripts()[i].title.c_str(),
                    db.scripts()[i].text.size());
    std::printf("\nMaps:\n");
    const MapInfoTree tree = MapInfoTree::fromProject(db);
    for (int id : mapsInEditorOrder(db)) {
        std::string indent(static_cast<size_t>(shownIndent(tree.depthOf(id))) * 2, ' ');
        std::printf("  %s[%04d] %s\n", indent.c_str(), id, db.mapInfos().at(id).name.c_str());
    }
    for (const Diagnostic& d : db.diagnostics())
        std::printf("skipped %s: %s\n", d.file.c_str(), d.what.c_str());
}

int runInfo(const InfoOptions& o) {
    ProjectDatabase db;
    if (!openProjectOrFail(db, o.project)) return 1;
    if (o.map > 0) return printMapInfo(db, o.map, o.measure, o.json);
    db.loadAll();
    if (o.json)
        std::printf(
            "%s\n",
            infoJson(db).dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    else
        printInfo(db);
    return 0;
}

// Map ids that have a "MapNNN.rxdata" file in the data folder.
std::map<int, std::string> mapFiles(const std::string& dataFolder) {
    std::map<int, std::string> files;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(dataFolder.c_str()), closedir);
    if (!dir) return files;
    while (dirent* e = readdir(dir.get())) {
        std::string name = e->d_name;
        int id = 0;
        char tail[16] = {};
        if (name.size() > 10 && (name[0] == 'M' || name[0] == 'm') &&
            std::sscanf(name.c_str() + 3, "%d.%15s", &id, tail) == 2 &&
            (std::string(tail) == "rxdata") && id > 0)
            files[id] = dataFolder + "/" + name;
    }
    return files;
}

// A map's tile table must be a whole Table of width × height × 3 cells; the renderer would
// otherwise draw from a grid that is not the map's.
bool tileTableFits(const MarshalFile& map, int id) {
    const MarshalValue* node = map.find("RPG::Map.@data");
    if (!node) return true;
    Table table;
    if (!table.decode(*node)) {
        std::printf(
            "Map%03d.rxdata: its tile table is damaged (its size does not match its cells)\n", id);
        return false;
    }
    const MarshalValue* w = map.find("RPG::Map.@width");
    const MarshalValue* h = map.find("RPG::Map.@height");
    int64_t width = w ? w->integer() : 0, height = h ? h->integer() : 0;
    if (table.xsize == width && table.ysize == height && table.zsize == 3) return true;
    std::printf("Map%03d.rxdata: its tile table is %d x %d x %d, the map is %lld x %lld\n", id,
                table.xsize, table.ysize, table.zsize, static_cast<long long>(width),
                static_cast<long long>(height));
    return false;
}

int runCheck(const CheckOptions& o) {
    ProjectDatabase db;
    if (!openProjectOrFail(db, o.project)) return 1;
    db.verifyAll();
    int unreadable = 0, damaged = 0;
    for (const Diagnostic& d : db.diagnostics()) {
        std::printf("cannot read %s: %s\n", d.file.c_str(), d.what.c_str());
        ++unreadable;
    }
    std::string dataFolder = folderOf(db.dataFilePath("System.rxdata"));
    if (dataFolder.empty()) dataFolder = db.projectFolder + "/Data";
    std::map<int, std::string> files = mapFiles(dataFolder);
    MarshalFile map;  // one for every map: each reuses the memory of the one before
    for (const auto& [id, path] : files) {
        if (!map.load(path)) {
            std::printf("cannot read %s: %s\n", path.c_str(), map.error().message().c_str());
            ++unreadable;
            continue;
        }
        if (!db.mapInfos().count(id)) std::printf("Map%03d.rxdata has no entry in MapInfos\n", id);
        if (const MarshalValue* t = map.find("RPG::Map.@tileset_id")) {
            int64_t tileset = t->integer();
            if (tileset <= 0 || static_cast<size_t>(tileset) >= db.tilesets().size())
                std::printf("Map%03d.rxdata uses tileset %lld, which does not exist\n", id,
                            static_cast<long long>(tileset));
        }
        if (!tileTableFits(map, id)) ++damaged;
    }
    for (const auto& [id, info] : db.mapInfos())
        if (id > 0 && !files.count(id))
            std::printf("map %d (%s) has no file Map%03d.rxdata\n", id, info.name.c_str(), id);
    const MapInfoTree tree = MapInfoTree::fromProject(db);
    for (int id : tree.mapsInLoops()) {
        std::printf("map %d (%s) is its own ancestor: its parent maps form a loop\n", id,
                    db.mapInfos().at(id).name.c_str());
        ++damaged;
    }
    std::printf("%zu data files, %zu map files, %d unreadable, %d damaged\n",
                ProjectDatabase::dataFileNames().size(), files.size(), unreadable, damaged);
    return unreadable == 0 && damaged == 0 ? 0 : 1;
}

}  // namespace

void addProjectCommands(CLI::App& app, Runner* run) {
    auto info = std::make_shared<InfoOptions>();
    CLI::App* i = app.add_subcommand("info", "Show what a project holds");
    i->add_option("PROJECT", info->project, "the project file (Game.rxproj)")->required();
    i->add_flag("--json", info->json, "print one JSON object");
    i->add_option("--map", info->map, "show one map and its events");
    i->add_flag("--measure", info->measure, "with --map: derive each page's picture rectangle");
    i->callback([run, info] { *run = [info] { return runInfo(*info); }; });

    auto check = std::make_shared<CheckOptions>();
    CLI::App* c = app.add_subcommand("check", "Read every data and map file and report problems");
    c->add_option("PROJECT", check->project, "the project file (Game.rxproj)")->required();
    c->callback([run, check] { *run = [check] { return runCheck(*check); }; });
}

}  // namespace zorvane::cli

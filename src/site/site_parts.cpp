// The site's pages as text. Project text is escaped where it enters; addresses come from
// site_pages so every link points at a page the run writes.
#include "site/site_parts.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "export/database_csv.h"
#include "listing/listing_words.h"
#include "listing/operands.h"
#include "map/map_info_tree.h"
#include "platform/string_util.h"
#include "project/project_database.h"
#include "site/site_pages.h"
#include "site/site_words.h"

namespace zorvane::site {

namespace {

const char* const kUp = "../";

// The tables' names as the editor's database tabs call them, in DatabaseTable order.
const char* const kTableCaptions[kDatabaseTableCount] = {
    "アクター", "職業",       "スキル",   "アイテム", "武器",     "防具",
    "敵キャラ", "敵グループ", "ステート", "属性",     "スイッチ", "変数",
};

std::string mapLabel(const ProjectDatabase& db, int mapId, ListingLanguage language) {
    return db.label(mapId, LabelKind::Map, LabelStyle::full(), language);
}

std::string audioText(bool on, const AudioFile& audio, ListingLanguage language) {
    if (!on || audio.name.empty()) return siteSay("（なし）", language);
    return escaped(audio.name) +
           format(siteSay("（音量 %d, ピッチ %d）", language), audio.volume, audio.pitch);
}

std::string useLink(const UsePlace& use, ListingLanguage language) {
    std::string target = use.page + (use.line > 0 ? "#" + lineAnchor(use.line) : "");
    std::string text = use.where + (use.line > 0 ? format(siteSay(" %d行", language), use.line)
                                                 : siteSay(" 出現条件", language));
    return link(kUp, target, text, use.writes ? "w" : "");
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : separator) + part;
    return out;
}

const MarshalValue* mapIvar(const MapData& map, const char* name) {
    ValueArray tops = map.root.root().children();
    if (tops.empty() || tops[0].kind() != MarshalValue::Object) return nullptr;
    return tops[0].findIvar(name);
}

std::string pageLinks(int pages, const std::function<std::string(int)>& pageOf, int current) {
    std::string out;
    for (int p = 1; p <= pages; ++p)
        out += p == current ? format(" <b>%d</b>", p) : " " + link(kUp, pageOf(p), format("%d", p));
    return out;
}

}  // namespace

MapFacts mapFacts(const MapData& map) {
    MapFacts facts;
    facts.width = map.width;
    facts.height = map.height;
    facts.tilesetId = map.tilesetId;
    facts.autoplayBgm = map.autoplayBgm;
    facts.autoplayBgs = map.autoplayBgs;
    facts.bgm = map.bgm;
    facts.bgs = map.bgs;
    if (const MarshalValue* list = mapIvar(map, "@encounter_list");
        list && list->kind() == MarshalValue::Array)
        for (const MarshalValue& troop : list->children())
            if (troop.kind() == MarshalValue::Fixnum) facts.encounters.push_back(troop.fixnum());
    if (const MarshalValue* step = mapIvar(map, "@encounter_step");
        step && step->kind() == MarshalValue::Fixnum)
        facts.encounterStep = step->fixnum();
    for (const auto& [id, event] : map.events)
        facts.events.push_back(
            {id, event.x, event.y, static_cast<int>(event.pages.size()), event.name});
    return facts;
}

std::string ownerTitle(const ProjectDatabase& db, const EventListPlace& place,
                       ListingLanguage language) {
    switch (place.owner) {
        case OwnerKind::CommonEvent:
            return db.label(place.ownerId, LabelKind::CommonEvent, LabelStyle::full(), language);
        case OwnerKind::Troop:
            return fill(siteSay("バトルイベント{1}", language),
                        {db.label(place.ownerId, LabelKind::Troop, LabelStyle::numbered(),
                                  language)}) +
                   format(siteSay(" %dページ", language), place.page);
        case OwnerKind::Map:
            return mapLabel(db, place.ownerId, language) +
                   format(siteSay(" EV%03d[%s] %dページ", language), place.event ? place.event->id : 0,
                          place.event ? place.event->name.c_str() : "", place.page);
    }
    return "";
}

std::string backLinks(const ProjectDatabase& db, const EventListPlace& place,
                      ListingLanguage language) {
    std::string out = "<p class=\"back\">← ";
    int id = place.ownerId;
    switch (place.owner) {
        case OwnerKind::CommonEvent:
            out +=
                link(kUp, std::string(kEventListPage) + "#" + rowAnchor(id), siteSay("コモンイベント一覧", language));
            break;
        case OwnerKind::Troop:
            out +=
                link(kUp, std::string(kEventListPage) + format("#t%d", id), siteSay("バトルイベント一覧", language));
            out += std::string("　") + siteSay("ページ:", language) + pageLinks(
                                     static_cast<int>(place.troop->pages.size()),
                                     [id](int p) { return troopPage(id, p); }, place.page);
            break;
        case OwnerKind::Map: {
            int eventId = place.event->id;
            out += link(kUp, mapPage(id) + format("#ev%d", eventId), mapLabel(db, id, language));
            out += std::string("　") + siteSay("ページ:", language) + pageLinks(
                                     static_cast<int>(place.event->pages.size()),
                                     [id, eventId](int p) { return mapEventPage(id, eventId, p); },
                                     place.page);
            break;
        }
    }
    return out + "</p>\n";
}

namespace {

std::string pictureHtml(const MapFacts& facts, const PictureFacts& picture, int mapId,
                        ListingLanguage language) {
    if (!picture.drawn) return "<p>" + std::string(siteSay("（画像なし）", language)) + "</p>\n";
    const int cell = picture.cellSize;
    std::string out = format(
        "<img class=\"map\" src=\"Map%04d.png\" width=\"%d\" height=\"%d\" usemap=\"#events\" "
        "alt=\"\">\n<map name=\"events\">\n",
        mapId, facts.width * cell, facts.height * cell);
    for (const MapFacts::Event& event : facts.events) {
        std::string name = format("EV%03d ", event.id) + escaped(event.name);
        std::string target =
            event.pages > 0 ? kUp + mapEventPage(mapId, event.id, 1) : format("#ev%d", event.id);
        out += format("<area shape=\"rect\" coords=\"%d,%d,%d,%d\" href=\"", event.x * cell,
                      event.y * cell, (event.x + 1) * cell, (event.y + 1) * cell) +
               escaped(target) + "\" title=\"" + name + "\" alt=\"" + name + "\">\n";
    }
    return out + "</map>\n";
}

std::string settingsHtml(const ProjectDatabase& db, const MapFacts& facts,
                         ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::string tileset = format("%03d", facts.tilesetId);
    if (facts.tilesetId > 0 && static_cast<size_t>(facts.tilesetId) < db.tilesets().size())
        tileset += ":" + escaped(db.tilesets()[size_t(facts.tilesetId)].name);
    std::vector<std::string> troops;
    for (int troop : facts.encounters)
        troops.push_back(link(kUp, databasePage(kTableTroops) + "#" + rowAnchor(troop),
                              db.label(troop, LabelKind::Troop, LabelStyle::numbered())));
    return "<dl class=\"settings\">\n<dt>" + w("大きさ") + "</dt><dd>" +
           format("%d × %d", facts.width, facts.height) + "</dd>\n<dt>" + w("タイルセット") +
           "</dt><dd>" + tileset + "</dd>\n<dt>BGM</dt><dd>" +
           audioText(facts.autoplayBgm, facts.bgm, language) + "</dd>\n<dt>BGS</dt><dd>" +
           audioText(facts.autoplayBgs, facts.bgs, language) + "</dd>\n<dt>" + w("エンカウント") +
           "</dt><dd>" + (troops.empty() ? w("（なし）") : joined(troops, w("、").c_str())) +
           format(w("（歩数 %d）").c_str(), facts.encounterStep) + "</dd>\n</dl>\n";
}

std::string eventTableHtml(const MapFacts& facts, int mapId, ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> ids;
    for (const MapFacts::Event& event : facts.events) {
        int eventId = event.id;
        rows.push_back(
            {format("%03d", eventId), escaped(event.name), format("(%d, %d)", event.x, event.y),
             pageLinks(
                 event.pages, [mapId, eventId](int p) { return mapEventPage(mapId, eventId, p); },
                 0)});
        ids.push_back(format("ev%d", eventId));
    }
    return htmlTable({"ID", w("名前"), w("位置"), w("ページ")}, rows, ids);
}

std::string transfersHtml(const ProjectDatabase& db, const SiteUsage& usage, int mapId,
                          ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::string in, out;
    for (const Transfer& t : usage.transfers) {
        if (t.toMap == mapId) in += "<li>" + useLink(t.place, language) + "</li>\n";
        if (t.fromMap != mapId) continue;
        // A transfer to a map the tree does not hold has no page to go to.
        std::string target = db.mapInfos().count(t.toMap) && t.toMap > 0
                                 ? link(kUp, mapPage(t.toMap), mapLabel(db, t.toMap, language))
                                 : escaped(mapLabel(db, t.toMap, language));
        out += "<li>" + target + " ← " + useLink(t.place, language) + "</li>\n";
    }
    auto listOf = [&w](const std::string& items) {
        return items.empty() ? "<p>" + w("（なし）") + "</p>\n" : "<ul>\n" + items + "</ul>\n";
    };
    return "<h2>" + w("このマップへの移動") + "</h2>\n" + listOf(in) + "<h2>" +
           w("このマップからの移動") + "</h2>\n" + listOf(out);
}

}  // namespace

std::string mapPageHtml(const ProjectDatabase& db, const MapInfoTree& tree, int mapId,
                        const MapFacts* facts, const PictureFacts& picture,
                        const SiteUsage& usage, ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::string body = "<p class=\"back\">← " + link(kUp, "index.html", w("マップツリー"));
    int parent = tree.entries().at(mapId).parentId;
    if (parent > 0 && tree.contains(parent))
        body += "　" + w("親: ") + link(kUp, mapPage(parent), mapLabel(db, parent, language));
    body += "</p>\n";
    if (facts) {
        body += pictureHtml(*facts, picture, mapId, language);
        body += "<h2>" + w("設定") + "</h2>\n" + settingsHtml(db, *facts, language);
        body += "<h2>" + w("イベント") + "</h2>\n" + eventTableHtml(*facts, mapId, language);
    } else {
        body += "<p>" + w("このマップのファイルは読み込めませんでした。") + "</p>\n";
    }
    std::string children;
    for (const auto& [id, info] : tree.entries())
        if (id > 0 && id != mapId && info.parentId == mapId)
            children += "<li>" + link(kUp, mapPage(id), mapLabel(db, id, language)) + "</li>\n";
    body += "<h2>" + w("サブマップ") + "</h2>\n" +
            (children.empty() ? "<p>" + w("（なし）") + "</p>\n" : "<ul>\n" + children + "</ul>\n");
    body += transfersHtml(db, usage, mapId, language);
    return framePage(mapPage(mapId), mapLabel(db, mapId, language), body, language);
}

std::string eventListHtml(const ProjectDatabase& db, ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> ids;
    const std::vector<CommonEvent>& common = db.commonEvents();
    static const char* const kTriggers[] = {"なし", "自動実行", "並列処理"};
    for (size_t id = 1; id < common.size(); ++id) {
        int t = common[id].trigger;
        std::string trigger = t >= 0 && t <= 2 ? w(kTriggers[t]) : format("%d", t);
        if (t != 0 && common[id].switchId >= 1)
            trigger +=
                " " + link(kUp, std::string(kSwitchPage) + "#" + switchAnchor(common[id].switchId),
                           format("S%04d", common[id].switchId));
        rows.push_back({format("%03zu", id),
                        link(kUp, commonEventPage(int(id)),
                             common[id].name.empty() ? w("（名前なし）") : common[id].name),
                        trigger});
        ids.push_back(rowAnchor(int(id)));
    }
    std::string body =
        "<h2>" + w("コモンイベント") + "</h2>\n" + htmlTable({"ID", w("名前"), w("トリガー")}, rows, ids);
    rows.clear();
    ids.clear();
    const std::vector<Troop>& troops = db.troops();
    for (size_t id = 1; id < troops.size(); ++id) {
        int troopId = int(id);
        rows.push_back({format("%03zu", id), escaped(troops[id].name),
                        pageLinks(
                            static_cast<int>(troops[id].pages.size()),
                            [troopId](int p) { return troopPage(troopId, p); }, 0)});
        ids.push_back(format("t%d", troopId));
    }
    body += "<h2>" + w("バトルイベント") + "</h2>\n" +
            htmlTable({"ID", w("名前"), w("ページ")}, rows, ids);
    return framePage(kEventListPage, w("イベント一覧"), body, language);
}

namespace {

std::string usageTable(const std::vector<std::string>& names,
                       const std::map<int, std::vector<UsePlace>>& uses,
                       std::string (*anchor)(int), ListingLanguage language) {
    int last = static_cast<int>(names.size()) - 1;
    if (!uses.empty()) last = std::max(last, uses.rbegin()->first);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> ids;
    for (int id = 1; id <= last; ++id) {
        std::vector<std::string> writes, reads;
        auto found = uses.find(id);
        if (found != uses.end())
            for (const UsePlace& use : found->second)
                (use.writes ? writes : reads).push_back(useLink(use, language));
        std::string name = static_cast<size_t>(id) < names.size() ? escaped(names[size_t(id)]) : "";
        rows.push_back({format("%04d", id), name, joined(writes, "<br>"), joined(reads, "<br>")});
        ids.push_back(anchor(id));
    }
    return htmlTable({"ID", siteSay("名前", language), siteSay("書き込み", language),
                      siteSay("読み取り", language)},
                     rows, ids);
}

}  // namespace

std::string switchPageHtml(const ProjectDatabase& db, const SiteUsage& usage,
                           ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::string body = "<p><a href=\"#switches\">" + w("スイッチ") +
                       "</a>　<a href=\"#variables\">" + w("変数") + "</a></p>\n";
    body += "<h2 id=\"switches\">" + w("スイッチ") + "</h2>\n" +
            usageTable(db.system().switchNames, usage.switches, switchAnchor, language);
    body += "<h2 id=\"variables\">" + w("変数") + "</h2>\n" +
            usageTable(db.system().variableNames, usage.variables, variableAnchor, language);
    return framePage(kSwitchPage, w("スイッチ・変数"), body, language);
}

std::string scriptListHtml(const ProjectDatabase& db, ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> ids;
    const std::vector<Script>& scripts = db.scripts();
    for (size_t n = 1; n <= scripts.size(); ++n) {
        const Script& script = scripts[n - 1];
        size_t lines = std::count(script.text.begin(), script.text.end(), '\n') + 1;
        rows.push_back(
            {format("%03zu", n),
             link(kUp, scriptPage(int(n)), script.title.empty() ? w("（無題）") : script.title),
             format("%zu", lines)});
        ids.push_back(rowAnchor(int(n)));
    }
    return framePage(kScriptListPage, w("スクリプト"),
                     htmlTable({w("番号"), w("名前"), w("行数")}, rows, ids), language);
}

std::string databasePageHtml(const ProjectDatabase& db, int table,
                             std::vector<SearchEntry>& search, ListingLanguage language) {
    auto caption = [language](int t) { return std::string(siteSay(kTableCaptions[t], language)); };
    std::string page = databasePage(table);
    std::string body = "<p class=\"tables\">";
    for (int t = 0; t < kDatabaseTableCount; ++t)
        body += (t == table ? "<b>" + caption(t) + "</b>" : link(kUp, databasePage(t), caption(t))) +
                " ";
    body += "</p>\n";
    bool first = true;
    buildDatabaseCsv(table, db, [&](const CsvFile& file) {
        if (file.rows.empty()) return;
        std::vector<std::string> heading;
        for (const std::string& cell : file.rows[0]) heading.push_back(escaped(cell));
        std::vector<std::vector<std::string>> rows;
        std::vector<std::string> ids;
        for (size_t r = 1; r < file.rows.size(); ++r) {
            const std::vector<std::string>& row = file.rows[r];
            std::vector<std::string> cells;
            for (const std::string& cell : row) cells.push_back(escaped(cell));
            rows.push_back(std::move(cells));
            // The main file's rows are the items: their ids are anchors, their names searched.
            int id = first && !row.empty() ? std::atoi(row[0].c_str()) : 0;
            ids.push_back(id > 0 ? rowAnchor(id) : "");
            if (id > 0 && row.size() > 1 && !row[1].empty())
                search.push_back({caption(table) + " " + row[0] + ":" + row[1],
                                  page + "#" + rowAnchor(id), ""});
        }
        body += "<h2>" + escaped(file.name) + "</h2>\n" + htmlTable(heading, rows, ids);
        first = false;
    });
    return framePage(page, siteSay("データベース: ", language) + caption(table), body, language);
}

namespace {

// The editor's tree: children in their order; a map whose parent is missing, or that
// stands in a loop, is shown at the top level so that every map appears once.
std::string treeHtml(const ProjectDatabase& db, const std::map<int, std::vector<int>>& children,
                     int parent, std::set<int>& shown, ListingLanguage language) {
    auto found = children.find(parent);
    if (found == children.end()) return "";
    std::string out = "<ul class=\"tree\">\n";
    for (int id : found->second) {
        if (!shown.insert(id).second) continue;
        std::string sub = treeHtml(db, children, id, shown, language);
        std::string entry = link("", mapPage(id), mapLabel(db, id, language));
        out += sub.empty() ? "<li>" + entry + "</li>\n"
                           : "<li><details open><summary>" + entry + "</summary>\n" + sub +
                                 "</details></li>\n";
    }
    return out + "</ul>\n";
}

std::string mapTreeHtml(const ProjectDatabase& db, ListingLanguage language) {
    MapInfoTree tree = MapInfoTree::fromProject(db);
    std::map<int, std::vector<int>> children;
    for (int id : tree.editorOrder()) {
        int parent = tree.entries().at(id).parentId;
        bool placed = parent > 0 && tree.contains(parent) && !tree.mapsInLoops().count(id);
        children[placed ? parent : 0].push_back(id);
    }
    std::set<int> shown;
    std::string out = treeHtml(db, children, 0, shown, language);
    std::string rest;  // maps the editor's order leaves out (damaged order values)
    for (const auto& entry : tree.entries())
        if (entry.first > 0 && !shown.count(entry.first))
            rest += "<li>" + link("", mapPage(entry.first), mapLabel(db, entry.first, language)) + "</li>\n";
    if (!rest.empty()) out += "<ul class=\"tree\">\n" + rest + "</ul>\n";
    return out;
}

}  // namespace

std::string indexHtml(const ProjectDatabase& db, const std::vector<std::string>& skipped,
                      ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::string body = "<dl class=\"settings\">\n";
    for (int i = 0; i < 3; ++i)
        if (!db.rtpNames[i].empty())
            body += format("<dt>RTP%d</dt><dd>", i + 1) + escaped(db.rtpNames[i]) + "</dd>\n";
    body += "</dl>\n";
    auto count = [](size_t size) { return format("%zu", size > 0 ? size - 1 : 0); };
    MapInfoTree tree = MapInfoTree::fromProject(db);
    std::vector<std::vector<std::string>> rows = {
        {link("", kEventListPage, w("コモンイベント")), count(db.commonEvents().size())},
        {link("", std::string(kEventListPage) + "#t1", w("バトルイベント")),
         count(db.troops().size())},
        {w("マップ"), format("%zu", tree.count())},
        {link("", kScriptListPage, w("スクリプト")), format("%zu", db.scripts().size())},
        {link("", std::string(kSwitchPage) + "#switches", w("スイッチ")),
         count(db.system().switchNames.size())},
        {link("", std::string(kSwitchPage) + "#variables", w("変数")),
         count(db.system().variableNames.size())},
    };
    const size_t tableSizes[] = {db.actors().size(),  db.classes().size(), db.skills().size(),
                                 db.items().size(),   db.weapons().size(), db.armors().size(),
                                 db.enemies().size(), db.troops().size(),  db.states().size()};
    for (int t = 0; t < 9; ++t)
        rows.push_back({link("", databasePage(t), w(kTableCaptions[t])), count(tableSizes[t])});
    body += "<h2>" + w("内容") + "</h2>\n" + htmlTable({w("部分"), w("数")}, rows);
    body += "<h2>" + w("マップツリー") + "</h2>\n" + mapTreeHtml(db, language);
    if (!skipped.empty()) {
        body += "<h2>" + w("読み込めなかったもの") + "</h2>\n<ul>\n";
        for (const std::string& line : skipped) body += "<li>" + escaped(line) + "</li>\n";
        body += "</ul>\n";
    }
    return framePage("index.html", db.title.empty() ? w("プロジェクト") : db.title, body, language);
}

std::string searchIndexScript(const ProjectDatabase& db, const SiteUsage& usage,
                              ListingLanguage language) {
    nlohmann::json entries = nlohmann::json::array();
    for (const SearchEntry& e : usage.search) entries.push_back({e.title, e.page, e.text});
    for (const auto& [id, info] : db.mapInfos())
        if (id > 0) entries.push_back({mapLabel(db, id, language), mapPage(id), ""});
    const std::vector<std::string>& switches = db.system().switchNames;
    for (size_t id = 1; id < switches.size(); ++id)
        if (!switches[id].empty())
            entries.push_back({format(siteSay("スイッチ[%04zu:%s]", language), id, switches[id].c_str()),
                               std::string(kSwitchPage) + "#" + switchAnchor(int(id)), ""});
    const std::vector<std::string>& variables = db.system().variableNames;
    for (size_t id = 1; id < variables.size(); ++id)
        if (!variables[id].empty())
            entries.push_back({format(siteSay("変数[%04zu:%s]", language), id, variables[id].c_str()),
                               std::string(kSwitchPage) + "#" + variableAnchor(int(id)), ""});
    // Text that is not UTF-8 is kept readable: its bad bytes become U+FFFD.
    return "var zorvaneSearchIndex = " +
           entries.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + ";\n";
}

}  // namespace zorvane::site

// One site run: the walk writes every event document and gathers what the lists name;
// then the map pictures and map pages, the database, the scripts, the lists, the switch
// page, the index and the search index. Every file goes through an atomic write beneath
// the site's folder; a file that cannot be written is reported and the run goes on, while
// a link where one of the site's folders goes stops it before anything is written.
#include "site/site_writer.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <set>

#include <nlohmann/json.hpp>

#include "check/check_words.h"
#include "check/project_check.h"
#include "documents/document_writer.h"
#include "export/ordered_work.h"
#include "listing/command_refs.h"
#include "listing/operands.h"
#include "map/event_walk.h"
#include "map/map_batch.h"
#include "map/map_data.h"
#include "map/map_info_tree.h"
#include "map/map_picture.h"
#include "platform/atomic_file.h"
#include "platform/beneath_root.h"
#include "platform/codepage.h"
#include "platform/file_util.h"
#include "platform/folders.h"
#include "platform/path_nocase.h"
#include "platform/string_util.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "site/site_pages.h"
#include "site/site_parts.h"
#include "site/site_words.h"
#include "site/site_usage.h"
#include "text/text_matcher.h"

namespace zorvane {

using namespace site;

namespace {

// Page units beyond the walk and the pictures: the twelve tables, then the lists, the
// switch page, the index and the search index as one.
constexpr int kClosingUnits = 1;

size_t lastId(size_t size) {
    return size > 0 ? size - 1 : 0;
}

int mapCount(const ProjectDatabase& db) {
    int maps = 0;
    for (const auto& entry : db.mapInfos()) maps += entry.first > 0 ? 1 : 0;
    return maps;
}

// The links a listing line gets for the switches, variables, common events and maps its
// command names, so a reader can follow each to its page.
// Items the project does not hold (a call of a deleted common event) get no link: their
// pages do not exist.
std::string operandLinks(const ProjectDatabase& db, const EventCommand& command,
                         const std::string& prefix) {
    std::string links;
    for (const Reference& ref : references(command)) {
        const char* cssClass = ref.access == Access::Write ? "w" : "";
        int last = std::min(ref.last, ref.first + 9);  // a long range shows its start
        for (int id = ref.first; id <= last; ++id) {
            switch (ref.kind) {
                case RefKind::Switch:
                    links += link(prefix, std::string(kSwitchPage) + "#" + switchAnchor(id),
                                  format("S%04d", id), cssClass);
                    break;
                case RefKind::Variable:
                    links += link(prefix, std::string(kSwitchPage) + "#" + variableAnchor(id),
                                  format("V%04d", id), cssClass);
                    break;
                case RefKind::CommonEvent:
                    if (static_cast<size_t>(id) >= db.commonEvents().size()) break;
                    links += link(prefix, commonEventPage(id), format("C%03d", id));
                    break;
                case RefKind::Map:
                    if (id < 1 || db.mapInfos().count(id) == 0) break;
                    links += link(prefix, mapPage(id), format("M%04d", id));
                    break;
                default:
                    break;
            }
        }
        if (last < ref.last && (ref.kind == RefKind::Switch || ref.kind == RefKind::Variable))
            links += "…";
    }
    return links.empty() ? links : " <span class=\"refs\">" + links + "</span>";
}

class SiteRun : public EventListVisitor, public MapSource {
  public:
    SiteRun(const SiteOptions& options, const ProjectDatabase& db, ExportSink& sink,
            const std::atomic<bool>& abort)
        : o_(options),
          db_(db),
          sink_(sink),
          abort_(abort),
          root_(writeRootOf(options.outputFolder)),
          folders_(root_),
          work_(mapBatchThreads(options.jobs)) {
        documents_.headerTemplate = o_.headerTemplate;
        documents_.footerTemplate = o_.footerTemplate;
        std::string header;
        if (readWholeFile(o_.headerTemplate, header) && !isValidUtf8(header))
            useTemplateFolder(documents_, templateFolder());
        documents_.html = true;
        documents_.language = o_.language;
        documents_.textEncoding = OutputEncoding::Utf8;
        documents_.decorateLine = [&db](size_t index, const EventCommand& command,
                                        std::string& before, std::string& after) {
            before = "<span class=\"line\" id=\"" + lineAnchor(static_cast<int>(index) + 1) + "\">";
            after = operandLinks(db, command, "../") + "</span>";
        };
        readTemplatesOnce(documents_);
    }

    ExportSummary run();

  private:
    bool stopRequested();
    bool foldersClear();
    bool writePage(const std::string& page, const std::string& bytes);
    void report(const std::string& page, bool ok, uint64_t bytes);
    void save(const std::string& page, const std::string& bytes);
    void later(std::function<void()> done) { work_.add({}, std::move(done)); }
    void finishUnit();
    void stop(ExportStopKind kind, const std::string& message);
    void noteSkipped(const std::string& line);
    bool document(const std::string& page, const DocumentSources& sources,
                  const DocumentRequest& request, const std::string& top,
                  std::shared_ptr<const MapData> map = {});
    void documentDone(const std::string& page, const MadeDocument& made);

    // The walk.
    void reach(OwnerKind kind, int id) override;
    WalkStep enter(const EventListPlace& place) override;
    WalkStep list(const EventListPlace& place) override;
    WalkStep enterMap(const MapData& map) override;
    void mapUnreadable(int mapId, const std::string& why) override;
    void leaveMap(int) override { finishUnit(); }
    // The walk's maps, held by the documents made from them until those are done.
    const MapData* read(int mapId, std::string& why) override;

    void startPictures();
    void reportDrawn();
    bool pictures();
    bool pictureDone(const MapBatchResult& result, PictureFacts& facts);
    bool scripts();
    struct MadePage;
    void makeLater(std::string page, bool skipOnAbort, std::function<std::string()> make,
                   std::function<void(const MadePage&)> done);
    void pageLater(const std::string& page, std::function<std::string()> make);
    void database();
    void startCheck();
    void closingPages();

    const SiteOptions& o_;
    const ProjectDatabase& db_;
    ExportSink& sink_;
    const std::atomic<bool>& abort_;
    std::string root_;
    DocumentOptions documents_;
    ExportSummary summary_;
    bool unitOpen_ = false;
    SiteUsage usage_;
    std::map<int, MapFacts> maps_;
    std::shared_ptr<const MapData> map_;  // the map the walk is in
    // The pool reads each map once: the walk takes its maps from it while the pictures are
    // drawn, and the map pages come after the walk from what the pool said of each picture.
    std::unique_ptr<MapBatch> batch_;
    std::vector<MapBatchResult> drawn_;  // in the walk's order, without their maps
    FolderTree folders_;  // the site's folders, held open for its pages
    // Documents are made on workers and reported in the order given; ended first.
    OrderedWork work_;
    // The project check's page, made beside the walk; declared last so that it is waited
    // for before anything it reads is gone.
    std::future<std::string> checkPage_;
};

bool SiteRun::stopRequested() {
    if (summary_.end == ExportEnd::Stopped) return true;
    if (!abort_.load()) return false;
    summary_.end = ExportEnd::Aborted;
    return true;
}

// A link where one of the site's folders goes (left by an earlier run or planted in a
// downloaded tree) stops the run before anything is written: every page below it would
// fail, and one message says why. Each folder is named by the place of one of its pages.
bool SiteRun::foldersClear() {
    for (const std::string& page : {commonEventPage(1), mapPage(1), scriptPage(1),
                                    databasePage(0), std::string(kSwitchPage)}) {
        BeneathResult found;
        folders_.folderAt(page.substr(0, page.rfind('/')), false, found);
        if (found.status == BeneathStatus::Link) {
            stop(ExportStopKind::OutputLink, found.where);
            return false;
        }
    }
    return true;
}

// Safe on a worker: the folder tree is shared, the summary is not touched.
bool SiteRun::writePage(const std::string& page, const std::string& bytes) {
    size_t slash = page.rfind('/');
    BeneathResult made;
    if (slash != std::string::npos && !folders_.folderAt(page.substr(0, slash), true, made))
        return false;  // not reachable without a link: nothing is written through it
    return writeFileAtomic(joinPath(summary_.root, page), bytes, folders_);
}

void SiteRun::report(const std::string& page, bool ok, uint64_t bytes) {
    std::string path = joinPath(summary_.root, page);
    if (ok) {
        ++summary_.filesWritten;
        summary_.bytesWritten += bytes;
        sink_.fileWritten(path, bytes);
    } else {
        summary_.failedFiles.push_back(path);
        sink_.fileFailed(path);
    }
}

void SiteRun::save(const std::string& page, const std::string& bytes) {
    report(page, writePage(page, bytes), bytes.size());
}

void SiteRun::finishUnit() {
    if (!unitOpen_) return;
    unitOpen_ = false;
    later([this] { sink_.step(++summary_.unitsDone); });
}

void SiteRun::stop(ExportStopKind kind, const std::string& message) {
    summary_.end = ExportEnd::Stopped;
    summary_.stopKind = kind;
    summary_.stopMessage = message;
}

void SiteRun::noteSkipped(const std::string& line) {
    for (const std::string& known : summary_.skipped)
        if (known == line) return;
    summary_.skipped.push_back(line);
}

// A document of the writer, framed as a page of the site: made and saved on a worker,
// reported in order on the run's thread. False once a document could not be made.
bool SiteRun::document(const std::string& page, const DocumentSources& sources,
                       const DocumentRequest& request, const std::string& top,
                       std::shared_ptr<const MapData> map) {
    if (summary_.end == ExportEnd::Stopped) return false;
    auto made = std::make_shared<MadeDocument>();
    work_.add(
        [this, page, sources, request, top, made, map] {
            DocumentResult result = writeEventDocument(sources, request, documents_);
            made->outcome = result.outcome;
            made->message = std::move(result.message);
            if (!result.written()) return;
            std::string bytes = frameDocument(page, std::move(result.bytes), top, "", o_.language);
            made->bytes = bytes.size();
            made->saved = writePage(page, bytes);
        },
        [this, page, made] {
            documentDone(page, *made);
        });
    return summary_.end != ExportEnd::Stopped;
}

void SiteRun::documentDone(const std::string& page, const MadeDocument& made) {
    if (made.outcome == DocumentOutcome::Failed) {
        if (summary_.end == ExportEnd::Stopped) return;
        stop(ExportStopKind::Document, made.message);
        work_.cancel();
        return;
    }
    if (made.outcome == DocumentOutcome::Written) report(page, made.saved, made.bytes);
}

// The maps come from the pool in the walk's order: both take every map of the tree by id.
const MapData* SiteRun::read(int, std::string& why) {
    map_.reset();
    auto result = std::make_shared<MapBatchResult>();
    if (!batch_->next(*result)) return nullptr;
    MapBatchResult facts;
    facts.mapId = result->mapId;
    facts.path = result->path;
    facts.loaded = result->loaded;
    facts.status = result->status;
    drawn_.push_back(std::move(facts));
    if (!result->loaded) {
        why = result->loadFailure;
        return nullptr;
    }
    map_ = std::shared_ptr<const MapData>(result, result->map.get());
    return map_.get();
}

void SiteRun::reach(OwnerKind kind, int id) {
    finishUnit();
    static const char* const kUnitNames[] = {"CommonEvent%03d", "BattleEvent%03d", "Map%04d"};
    std::string unit = format(kUnitNames[static_cast<int>(kind)], id);
    later([this, unit] { sink_.unit(unit); });
    unitOpen_ = true;
}

// Page conditions read switches and variables too; the switch page names them.
WalkStep SiteRun::enter(const EventListPlace& place) {
    if (place.owner == OwnerKind::CommonEvent && place.commonEvent &&
        place.commonEvent->trigger != 0)
        usage_.addConditionSwitch(
            {commonEventPage(place.ownerId), 0, ownerTitle(db_, place, o_.language), false},
            place.commonEvent->switchId);
    if (place.owner == OwnerKind::Map && place.event) {
        for (size_t p = 0; p < place.event->pages.size(); ++p) {
            const MapEventCondition& c = place.event->pages[p].condition;
            EventListPlace pagePlace = place;
            pagePlace.page = static_cast<int>(p) + 1;
            UsePlace use{mapEventPage(place.ownerId, place.event->id, pagePlace.page), 0,
                         ownerTitle(db_, pagePlace, o_.language), false};
            if (c.switch1Valid) usage_.addConditionSwitch(use, c.switch1Id);
            if (c.switch2Valid) usage_.addConditionSwitch(use, c.switch2Id);
            if (c.variableValid) usage_.addConditionVariable(use, c.variableId);
        }
    }
    if (place.owner == OwnerKind::Troop && place.troop) {
        for (size_t p = 0; p < place.troop->pages.size(); ++p) {
            const TroopCondition& c = place.troop->pages[p].condition;
            EventListPlace pagePlace = place;
            pagePlace.page = static_cast<int>(p) + 1;
            if (c.switchValid)
                usage_.addConditionSwitch({troopPage(place.ownerId, pagePlace.page), 0,
                                           ownerTitle(db_, pagePlace, o_.language), false},
                                          c.switchId);
        }
    }
    return WalkStep::Go;
}

WalkStep SiteRun::list(const EventListPlace& place) {
    if (stopRequested()) return WalkStep::Stop;
    DocumentSources sources{db_};
    sources.map = place.map;
    std::string page;
    DocumentRequest request;
    int fromMap = 0;
    switch (place.owner) {
        case OwnerKind::CommonEvent:
            page = commonEventPage(place.ownerId);
            request = {DocumentKind::CommonEvent, place.ownerId, 1};
            break;
        case OwnerKind::Troop:
            page = troopPage(place.ownerId, place.page);
            request = {DocumentKind::BattleEvent, place.ownerId, place.page};
            break;
        case OwnerKind::Map:
            page = mapEventPage(place.ownerId, place.event->id, place.page);
            request = {DocumentKind::MapEvent, place.event->id, place.page};
            fromMap = place.ownerId;
            break;
    }
    if (!document(page, sources, request, backLinks(db_, place, o_.language),
                  place.owner == OwnerKind::Map ? map_ : nullptr))
        return WalkStep::Stop;
    if (place.list) {
        EventCommandList commands;
        commands.read(*place.list);
        usage_.addList({page, 0, ownerTitle(db_, place, o_.language), false}, fromMap, commands);
    }
    return WalkStep::Go;
}

WalkStep SiteRun::enterMap(const MapData& map) {
    maps_[map.mapId] = mapFacts(map);
    return WalkStep::Go;
}

void SiteRun::mapUnreadable(int mapId, const std::string& why) {
    if (!why.empty()) noteSkipped(mapFileName(mapId) + ": " + why);
}

// Where a finding's place is in the site ("" when it has no page of its own).
std::string findingTarget(const FindingPlace& place) {
    std::string page;
    switch (place.area) {
        case FindingPlace::CommonEvent:
            page = commonEventPage(place.ownerId);
            break;
        case FindingPlace::Troop:
            page = troopPage(place.ownerId, place.page);
            break;
        case FindingPlace::MapEvent:
            page = mapEventPage(place.mapId, place.ownerId, place.page);
            break;
        case FindingPlace::Map:
            page = mapPage(place.mapId);
            break;
        case FindingPlace::Script:
            page = scriptPage(place.ownerId);
            break;
        default:
            return "";
    }
    if (place.line > 0 && place.area != FindingPlace::Map) page += "#" + lineAnchor(place.line);
    return page;
}

// The project check's findings as one page, each linked to its place.
std::string checkPageHtml(const CheckResult& result, ListingLanguage language) {
    auto w = [language](const char* japanese) { return std::string(siteSay(japanese, language)); };
    std::vector<std::vector<std::string>> rows;
    for (const Finding& f : result.findings) {
        std::string where = placeText(f.place, language);
        std::string target = findingTarget(f.place);
        rows.push_back({escaped(severityName(f.severity, language)),
                        escaped(checkKindInfo(f.kind).shown(language)),
                        target.empty() ? escaped(where) : link("../", target, where),
                        escaped(f.subject), escaped(f.message)});
    }
    std::string body = "<h1>" + w("診断") + "</h1>\n<p>" +
                       format(w("%zu件").c_str(), result.findings.size()) + "</p>\n";
    if (!result.unreadable.empty()) {
        body += "<p>" + w("読み込めないファイルがあります（結果が欠けている場合があります）:") +
                "</p>\n<ul>";
        for (const std::string& u : result.unreadable) body += "<li>" + escaped(u) + "</li>";
        body += "</ul>\n";
    }
    auto heading = [language](const char* japanese) { return std::string(checkSay(japanese, language)); };
    body += htmlTable({heading("重要度"), heading("種類"), heading("場所"), heading("対象"), heading("内容")},
                      rows);
    return framePage(kCheckPage, w("診断"), body, language);
}

// What a drawn (or refused) picture means for the map's page.
bool SiteRun::pictureDone(const MapBatchResult& result, PictureFacts& facts) {
    if (!result.loaded) return true;  // noted by the walk
    switch (result.status) {
        case MapPictureStatus::Saved:
            facts.drawn = true;
            ++summary_.filesWritten;
            summary_.bytesWritten += fileSize(result.path);
            sink_.fileWritten(result.path, fileSize(result.path));
            return true;
        case MapPictureStatus::EmptyMap:
            return true;
        case MapPictureStatus::CannotWrite:
            summary_.failedFiles.push_back(result.path);
            sink_.fileFailed(result.path);
            return true;
        case MapPictureStatus::Aborted:
            summary_.end = ExportEnd::Aborted;
            return false;
        case MapPictureStatus::Declined:
        case MapPictureStatus::TooLarge:
            // The map's page still lists its events; only the picture is missing.
            noteSkipped(mapPicture(result.mapId) + ": " + mapPictureFailedMessage(o_.language));
            return true;
    }
    return true;
}

// The pictures, drawn as the export draws them (always PNG) on the shared pool from the
// start of the run, so they are made while the walk writes the documents.
void SiteRun::startPictures() {
    std::vector<MapBatchItem> items;
    for (const auto& entry : db_.mapInfos())
        if (entry.first >= 1)  // the root entry has no map file
            items.push_back({entry.first, joinPath(summary_.root, mapPicture(entry.first))});
    if (!items.empty()) ensureFolderBeneath(root_, joinPath(root_, "maps"));
    MapBatchOptions batch;
    batch.render = o_.render;
    batch.render.saveMode = kFormatPng;
    batch.jobs = o_.jobs;
    batch.measureEvents =
        !o_.render.simpleMap && (o_.render.viewMapEvent1 || o_.render.viewMapEvent2);
    batch.memoryLimit = o_.pictureMemoryLimit;
    batch.writeRoot = root_;
    batch_ = std::make_unique<MapBatch>(db_, std::move(items), batch, abort_);
}

// A run that ends early still counts the pictures already written, and those in flight.
void SiteRun::reportDrawn() {
    map_.reset();
    if (batch_) {
        batch_->stop();
        for (MapBatchResult result; batch_->next(result);) drawn_.push_back(std::move(result));
        batch_.reset();
    }
    for (const MapBatchResult& result : drawn_)
        if (result.loaded && result.status == MapPictureStatus::Saved) {
            ++summary_.filesWritten;
            summary_.bytesWritten += fileSize(result.path);
            sink_.fileWritten(result.path, fileSize(result.path));
        }
    drawn_.clear();
}

// Each map's page in tree order, with what its picture came to.
bool SiteRun::pictures() {
    MapInfoTree tree = MapInfoTree::fromProject(db_);
    const int cell = zoomLevel(o_.render.zoomMode).cellSize;
    std::map<int, MapBatchResult*> results;
    for (MapBatchResult& result : drawn_) results[result.mapId] = &result;
    auto stopHere = [&] {
        reportDrawn();  // the pictures of the maps after this one
        return false;
    };
    for (const auto& entry : tree.entries()) {
        const int mapId = entry.first;
        if (mapId < 1) continue;
        PictureFacts facts;
        facts.cellSize = cell;
        auto drawn = results.find(mapId);
        if (drawn != results.end()) {
            MapBatchResult result = std::move(*drawn->second);
            drawn->second->loaded = false;  // taken: not reported again
            if (maps_.count(mapId) && !pictureDone(result, facts)) return stopHere();
        }
        sink_.unit(format("Map%04d picture", mapId));
        auto known = maps_.find(mapId);
        save(mapPage(mapId),
             mapPageHtml(db_, tree, mapId, known == maps_.end() ? nullptr : &known->second, facts,
                         usage_, o_.language));
        sink_.step(++summary_.unitsDone);
        if (stopRequested()) return stopHere();
    }
    drawn_.clear();
    return true;
}

bool SiteRun::scripts() {
    TextMatcher matcher{MatcherLibrary::Builtin};
    matcher.load();
    ColourRules rules = loadColourRules(o_.colourRulesFile);
    DocumentSources sources{db_};
    sources.matcher = &matcher;
    sources.colourRules = &rules;
    const std::vector<Script>& scripts = db_.scripts();
    for (size_t n = 1; n <= scripts.size(); ++n) {
        if (stopRequested()) break;
        std::string unit = format("Script%03zu", n);
        later([this, unit] { sink_.unit(unit); });
        std::string top = "<p class=\"back\">" +
                          link("../", std::string(kScriptListPage) + "#" + rowAnchor(int(n)),
                               "← " + std::string(siteSay("スクリプト一覧", o_.language))) +
                          "</p>\n";
        if (!document(scriptPage(int(n)), sources, {DocumentKind::Script, int(n), 1}, top)) break;
        usage_.search.push_back({format(siteSay("スクリプト[%03zu:%s]", o_.language), n, scripts[n - 1].title.c_str()),
                                 scriptPage(int(n)), scripts[n - 1].text});
        later([this] { sink_.step(++summary_.unitsDone); });
    }
    work_.finish();  // the documents use the matcher and the rules of this function
    if (summary_.end != ExportEnd::Finished) return false;
    save(kScriptListPage, scriptListHtml(db_, o_.language));
    return true;
}

// A page made and saved on a worker. The pages after the walk were made one by one on the
// run's thread while the workers idled; now they are made at once and reported in order.
struct SiteRun::MadePage {
    bool made = false, saved = false;
    uint64_t bytes = 0;
};

// With skipOnAbort, a page not yet begun when the run is aborted is not made.
void SiteRun::makeLater(std::string page, bool skipOnAbort, std::function<std::string()> make,
                        std::function<void(const MadePage&)> done) {
    auto made = std::make_shared<MadePage>();
    work_.add(
        [this, page, skipOnAbort, make = std::move(make), made] {
            if (skipOnAbort && abort_.load()) return;
            std::string bytes = make();
            made->made = true;
            made->bytes = bytes.size();
            made->saved = writePage(page, bytes);
        },
        [made, done = std::move(done)] { done(*made); });
}

void SiteRun::pageLater(const std::string& page, std::function<std::string()> make) {
    makeLater(page, false, std::move(make), [this, page](const MadePage& made) {
        if (made.made) report(page, made.saved, made.bytes);
    });
}

void SiteRun::database() {
    for (int table = 0; table < kDatabaseTableCount; ++table) {
        if (stopRequested()) break;
        // Each table gathers its search entries apart; they join the index in table order.
        auto search = std::make_shared<std::vector<SearchEntry>>();
        const std::string page = databasePage(table);
        makeLater(
            page, true, [this, table, search] { return databasePageHtml(db_, table, *search, o_.language); },
            [this, table, page, search](const MadePage& made) {
                if (!made.made) {
                    stopRequested();  // the abort that kept it from being made
                    return;
                }
                if (summary_.end == ExportEnd::Aborted) {  // made while an earlier one was not
                    report(page, made.saved, made.bytes);
                    return;
                }
                sink_.unit(std::string("DataBase/") + databaseTableName(table));
                report(page, made.saved, made.bytes);
                usage_.search.insert(usage_.search.end(), search->begin(), search->end());
                sink_.step(++summary_.unitsDone);
            });
    }
    work_.finish();
}

// The check needs nothing the walk makes, only its page waits for it: started first, it runs
// beside the walk instead of alone at the end. Every table is read here first, on this
// thread, so the unreadable ones are listed in one order whatever the check and the walk do.
void SiteRun::startCheck() {
    db_.loadAll();
    checkPage_ = std::async(std::launch::async, [this] {
        CheckOptions check;
        check.language = o_.language;
        return checkPageHtml(checkProject(db_, check, nullptr, abort_), o_.language);
    });
}

void SiteRun::closingPages() {
    sink_.unit("index");
    save(kStyleSheet, kStyleSheetText);
    save(kSearchScript, kSearchScriptText);
    pageLater(kEventListPage, [this] { return eventListHtml(db_, o_.language); });
    pageLater(kSwitchPage, [this] { return switchPageHtml(db_, usage_, o_.language); });
    pageLater(kCheckPage, [this] { return checkPage_.get(); });
    pageLater("index.html", [this] { return indexHtml(db_, summary_.skipped, o_.language); });
    pageLater(kSearchIndex, [this] { return searchIndexScript(db_, usage_, o_.language); });
    work_.finish();
    sink_.step(++summary_.unitsDone);
}

ExportSummary SiteRun::run() {
    summary_.root = root_;
    summary_.units = countSiteUnits(db_);
    ensureFolder(root_);  // the user's own path, made as given
    sink_.begin(summary_.units);
    if (!foldersClear()) return summary_;
    startCheck();
    startPictures();
    WalkScope scope;
    bool walked = walkEventLists(db_, scope, *this, &abort_, this);
    finishUnit();
    work_.finish();
    map_.reset();
    if (!walked) {
        if (summary_.end == ExportEnd::Finished) stopRequested();
        reportDrawn();
        return summary_;
    }
    batch_.reset();  // the walk took every map
    if (!pictures() || !scripts() || stopRequested()) return summary_;
    database();
    if (stopRequested()) return summary_;
    for (const Diagnostic& d : db_.diagnostics()) noteSkipped(d.file + ": " + d.what);
    closingPages();
    return summary_;
}

}  // namespace

void SiteOptions::useTemplates(const std::string& folder) {
    headerTemplate = joinPath(folder, kHeaderTemplateName);
    footerTemplate = joinPath(folder, kFooterTemplateName);
    colourRulesFile = joinPath(folder, kColourRulesName);
}

std::string siteRoot(const std::string& outputFolder, const std::string& projectFolder) {
    std::string root = exportRoot(outputFolder, projectFolder);
    const std::string suffix = "_export";
    return root.substr(0, root.size() - suffix.size()) + "_site";
}

int countSiteUnits(const ProjectDatabase& db) {
    return static_cast<int>(lastId(db.commonEvents().size()) + lastId(db.troops().size()) +
                            db.scripts().size()) +
           2 * mapCount(db) + kDatabaseTableCount + kClosingUnits;
}

ExportSummary runSite(const SiteOptions& options, const ProjectDatabase& project, ExportSink& sink,
                      const std::atomic<bool>& abort) {
    // The project's folders hold still for the run: each is looked at once, not per look-up.
    const PathCache::Snapshot listings = project.resources().fixedListings();
    SiteRun run(options, project, sink, abort);
    return run.run();
}

}  // namespace zorvane

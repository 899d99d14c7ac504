// One export run as a small state machine over the five parts. Documents come whole from
// the document writer and are saved atomically; a file that cannot be written is reported
// and the run goes on, while a document or picture that cannot be made stops it.
#include "export/export_driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "export/ordered_work.h"
#include "map/event_walk.h"
#include "map/map_batch.h"
#include "map/map_data.h"
#include "map/map_info_tree.h"
#include "map/map_picture.h"
#include "platform/beneath_root.h"
#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "platform/string_util.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "text/text_matcher.h"

namespace zorvane {

const char* const kMapPictureFailedMessage = "マップ画像の保存に失敗しました";

const char* mapPictureFailedMessage(ListingLanguage language) {
    return language == ListingLanguage::English ? "The map picture could not be saved"
                                                : kMapPictureFailedMessage;
}

namespace {

const char* const kStageNames[kExportStageCount] = {
    "database",   "common events", "battle events", "map loading",
    "map events", "map images",    "scripts",
};

// Picture file extensions by the SaveMode setting.
const char* const kPictureExtensions[] = {"bmp", "png", "jpg"};

// Adds the time from construction to destruction to one stage.
class StageClock {
  public:
    StageClock(ExportSummary& summary, int stage)
        : seconds_(summary.seconds[static_cast<size_t>(stage)]),
          start_(std::chrono::steady_clock::now()) {}
    ~StageClock() {
        seconds_ +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    StageClock(const StageClock&) = delete;
    StageClock& operator=(const StageClock&) = delete;

  private:
    double& seconds_;
    std::chrono::steady_clock::time_point start_;
};

// Ids 1..last, or the chosen one alone.
struct IdRange {
    int first = 1, last = 0;
};

IdRange rangeOf(const ExportCategory& category, size_t count) {
    if (category.one) return {category.id, category.id};
    return {1, static_cast<int>(count)};
}

// Count of ids from 1 of a table whose slot 0 is empty.
size_t lastId(size_t size) {
    return size > 0 ? size - 1 : 0;
}

bool mapsWanted(const ExportOptions& o) {
    return o.categories[kExportMapEvents].on || o.mapImages;
}

// Everything the sink hears goes through one ordered stream of work: tables and documents
// are made on workers, and what each unit reports (its name, its files, its step) reaches
// the sink in the order a single thread would send it. Event lists come from the one walk,
// its maps read ahead and drawn by the picture pool.
class ExportRun : public EventListVisitor, public MapSource {
  public:
    ExportRun(const ExportOptions& options, const ProjectDatabase& db, ExportSink& sink,
              const std::atomic<bool>& abort)
        : o_(options),
          db_(db),
          sink_(sink),
          abort_(abort),
          writeRoot_(writeRootOf(options.outputFolder)),
          folders_(writeRoot_),
          tree_(MapInfoTree::fromProject(db)),
          work_(mapBatchThreads(options.jobs)) {
        documents_ = o_.documents;
        documents_.textEncoding = o_.outputEncoding;
        extension_ = documents_.html ? "html" : "txt";
        csv_.quoteFormulas = o_.quoteFormulas;
        csv_.root = writeRoot_;
        entry_ = tree_.entries().begin();
        readTemplatesOnce(documents_);
    }

    ExportSummary run();

  private:
    enum class Flow { Go, Halt };

    bool stopRequested();
    void halt();
    void step();
    std::string folder(const std::string& name);
    bool folderAfterWork(const std::string& name, std::string& path);
    bool battleFolder();
    void report(const std::string& path, bool ok, uint64_t bytes, size_t lost = 0);
    void stopOnFailure(ExportStopKind kind, const std::string& message);
    void noteSkipped(const std::string& file, const std::string& why);
    void noteUnreadableParts();

    // The ordered stream.
    void announce(const std::string& unit);
    void closeUnit();
    void documentLater(const DocumentSources& sources, const DocumentRequest& request,
                       const std::string& path, std::shared_ptr<const MapData> map = {});
    void documentDone(const MadeDocument& made, const std::string& path);

    Flow database();
    Flow eventLists();
    Flow scripts();

    // The walk.
    void reach(OwnerKind kind, int id) override;
    WalkStep enter(const EventListPlace&) override {
        return halted_ ? WalkStep::Stop : WalkStep::Go;
    }
    WalkStep list(const EventListPlace& place) override;
    WalkStep enterMap(const MapData& map) override;
    void mapUnreadable(int mapId, const std::string& why) override;
    void leaveMap(int mapId) override;
    const MapData* read(int mapId, std::string& why) override;

    void startMaps();
    void unitsUpTo(int mapId);
    void pictureDone(const MapBatchResult& result);
    Flow mapPicture(const MapBatchResult& result);
    void reportPicture(const MapBatchResult& result);
    void drainMaps();
    void switchStage(int stage);

    const ExportOptions& o_;
    const ProjectDatabase& db_;
    ExportSink& sink_;
    const std::atomic<bool>& abort_;
    DocumentOptions documents_;
    std::string extension_;
    // The output folder: the user chose it; below it nothing is trusted.
    std::string writeRoot_;
    // Its folders, held open for the documents written into them.
    FolderTree folders_;
    CsvFileOptions csv_;
    ExportSummary summary_;
    TextMatcher matcher_{MatcherLibrary::Builtin};
    ColourRules colourRules_;
    bool halted_ = false;    // stopped: the stream only reports files already written
    bool unitOpen_ = false;  // a unit was announced and its step is still due
    std::string commonFolder_, battleFolder_, mapFolder_;
    // Map units: every tree entry, taken or not, in id order.
    MapInfoTree tree_;
    std::map<int, MapInfo>::const_iterator entry_;
    MapBatchOptions batchOptions_;
    std::unique_ptr<MapBatch> batch_;
    std::shared_ptr<MapBatchResult> map_;  // the map the walk is in
    bool mapPictureGiven_ = false;
    int stage_ = -1;
    std::chrono::steady_clock::time_point stageStart_;
    // Last: ended first, while everything its work refers to still exists.
    OrderedWork work_;
};

bool ExportRun::stopRequested() {
    if (halted_) return true;
    if (!abort_.load()) return false;
    summary_.end = ExportEnd::Aborted;
    halt();
    return true;
}

void ExportRun::halt() {
    halted_ = true;
    work_.cancel();
}

void ExportRun::step() {
    sink_.step(++summary_.unitsDone);
}

// A folder of the tree, created with its parents before its first file. A link in its
// place stops the run: every file below it would fail, and one message says why.
std::string ExportRun::folder(const std::string& name) {
    std::string path = name.empty() ? summary_.root : joinPath(summary_.root, name);
    BeneathResult made;
    folders_.folder(path, true, made);
    if (made.status == BeneathStatus::Link && !halted_) {
        stopOnFailure(ExportStopKind::OutputLink, made.where);
        halt();
    }
    // Otherwise its files fail and are reported one by one.
    return path;
}

// The work given before a folder is taken back first: a run that stops on the way leaves
// no folder that a single thread would not have made.
bool ExportRun::folderAfterWork(const std::string& name, std::string& path) {
    work_.finish();
    if (halted_) return false;
    path = folder(name);
    return !halted_;
}

// Made when the walk comes to the troops or passes them: a troop table with nothing to
// visit still gets its folder. False when the run stopped before.
bool ExportRun::battleFolder() {
    if (!o_.categories[kExportBattleEvents].on || !battleFolder_.empty()) return true;
    return folderAfterWork("BattleEvent", battleFolder_);
}

void ExportRun::report(const std::string& path, bool ok, uint64_t bytes, size_t lost) {
    if (ok) {
        ++summary_.filesWritten;
        summary_.bytesWritten += bytes;
        if (lost > 0) summary_.lossyFiles.emplace_back(path, lost);
        sink_.fileWritten(path, bytes);
    } else {
        summary_.failedFiles.push_back(path);
        sink_.fileFailed(path);
    }
}

void ExportRun::noteSkipped(const std::string& file, const std::string& why) {
    std::string line = file + ": " + why;
    if (std::find(summary_.skipped.begin(), summary_.skipped.end(), line) == summary_.skipped.end())
        summary_.skipped.push_back(line);
}

// The data files of the parts that ran, when they could not be read.
void ExportRun::noteUnreadableParts() {
    std::vector<std::string> needed;
    if (o_.categories[kExportCommonEvents].on) needed.push_back("CommonEvents.rxdata");
    if (o_.categories[kExportBattleEvents].on) needed.push_back("Troops.rxdata");
    if (mapsWanted(o_)) needed.push_back("MapInfos.rxdata");
    if (o_.categories[kExportScripts].on) needed.push_back("Scripts.rxdata");
    for (const Diagnostic& d : db_.diagnostics())
        if (std::find(needed.begin(), needed.end(), d.file) != needed.end())
            noteSkipped(d.file, d.what);
}

void ExportRun::stopOnFailure(ExportStopKind kind, const std::string& message) {
    summary_.end = ExportEnd::Stopped;
    summary_.stopKind = kind;
    summary_.stopMessage = message;
}

void ExportRun::announce(const std::string& unit) {
    work_.add({}, [this, unit] {
        if (!halted_) sink_.unit(unit);
    });
}

// The step of the unit announced last, after everything given for it.
void ExportRun::closeUnit() {
    if (!unitOpen_) return;
    unitOpen_ = false;
    work_.add({}, [this] {
        if (!halted_) step();
    });
}

// Made and saved on a worker; reported in order. The map of a map event stays alive until
// its document is made.
void ExportRun::documentLater(const DocumentSources& sources, const DocumentRequest& request,
                              const std::string& path, std::shared_ptr<const MapData> map) {
    auto made = std::make_shared<MadeDocument>();
    work_.add(
        [this, sources, request, path, made, map] {
            DocumentResult result = writeEventDocument(sources, request, documents_);
            made->outcome = result.outcome;
            made->message = std::move(result.message);
            made->lost = result.lostCharacters;
            made->bytes = result.bytes.size();
            made->saved = result.written() && saveDocument(path, result, folders_);
        },
        [this, path, made] { documentDone(*made, path); });
}

// A document that cannot be made stops the run; the documents made beside it still count.
void ExportRun::documentDone(const MadeDocument& made, const std::string& path) {
    if (made.outcome == DocumentOutcome::Failed) {
        if (halted_) return;
        stopOnFailure(ExportStopKind::Document, made.message);
        halt();
        return;
    }
    if (made.outcome == DocumentOutcome::Written) report(path, made.saved, made.bytes, made.lost);
}

ExportRun::Flow ExportRun::database() {
    StageClock clock(summary_, kStageDatabase);
    csv_.encoding = csvEncodingFor(o_.outputEncoding, db_);
    std::string target;
    for (int table = 0; table < kDatabaseTableCount; ++table) {
        if (!o_.tables[static_cast<size_t>(table)]) continue;
        if (stopRequested()) return Flow::Halt;
        if (target.empty()) target = folder("DataBase");
        if (halted_) return Flow::Halt;
        const std::string unit = std::string("DataBase/") + databaseTableName(table);
        auto files = std::make_shared<std::vector<WrittenFile>>();
        work_.add(
            [this, table, target, files] { *files = writeDatabaseCsv(table, db_, target, csv_); },
            [this, unit, files] {
                if (!halted_) sink_.unit(unit);
                for (const WrittenFile& file : *files)
                    report(file.path, file.ok, file.bytes, file.lostCharacters);
                if (!halted_) step();
            });
    }
    return Flow::Go;
}

void ExportRun::switchStage(int stage) {
    const auto now = std::chrono::steady_clock::now();
    if (stage_ >= 0)
        summary_.seconds[static_cast<size_t>(stage_)] +=
            std::chrono::duration<double>(now - stageStart_).count();
    stage_ = stage;
    stageStart_ = now;
}

// Common events, troop pages and map events, with each map's picture after its events.
ExportRun::Flow ExportRun::eventLists() {
    auto scopeOf = [&](int category, bool wanted) {
        const ExportCategory& c = o_.categories[static_cast<size_t>(category)];
        return !wanted ? -1 : c.one ? c.id : 0;
    };
    WalkScope scope;
    scope.commonEvents = scopeOf(kExportCommonEvents, o_.categories[kExportCommonEvents].on);
    scope.troops = scopeOf(kExportBattleEvents, o_.categories[kExportBattleEvents].on);
    scope.maps = scopeOf(kExportMapEvents, mapsWanted(o_));
    const ExportCategory& chosen = o_.categories[kExportMapEvents];
    if (chosen.one && o_.includeSubMaps) scope.moreMaps = tree_.descendantsOf(chosen.id);
    if (o_.categories[kExportCommonEvents].on && !folderAfterWork("CommonEvent", commonFolder_))
        return Flow::Halt;
    bool walked = walkEventLists(db_, scope, *this, &abort_, batch_ ? this : nullptr);
    switchStage(-1);
    if (!walked || stopRequested()) {
        stopRequested();  // a walk that saw the abort flag itself
        return Flow::Halt;
    }
    closeUnit();
    if (!battleFolder()) return Flow::Halt;
    if (mapsWanted(o_)) unitsUpTo(-1);  // the entries after the last taken map (no id is -1)
    return Flow::Go;
}

void ExportRun::reach(OwnerKind kind, int id) {
    if (halted_) return;
    closeUnit();
    switch (kind) {
        case OwnerKind::CommonEvent: {
            switchStage(kStageCommonEvents);
            if (stopRequested()) return;
            std::string name = format("CommonEvent%03d", id);
            announce(name);
            unitOpen_ = true;
            // An id beyond the table has no list to visit: its document says it is missing.
            if (static_cast<size_t>(id) >= db_.commonEvents().size())
                documentLater(DocumentSources{db_}, {DocumentKind::CommonEvent, id, 1},
                              joinPath(commonFolder_, name + "." + extension_));
            break;
        }
        case OwnerKind::Troop:
            switchStage(kStageBattleEvents);
            if (!battleFolder()) return;
            announce(format("BattleEvent%03d", id));
            unitOpen_ = true;
            if (static_cast<size_t>(id) >= db_.troops().size() && !stopRequested())
                documentLater(
                    DocumentSources{db_}, {DocumentKind::BattleEvent, id, 1},
                    joinPath(battleFolder_, format("BattleEvent%03d-%02d.", id, 1) + extension_));
            break;
        case OwnerKind::Map:
            switchStage(kStageMapEvents);
            if (!battleFolder()) return;
            unitsUpTo(id);
            break;
    }
}

WalkStep ExportRun::list(const EventListPlace& place) {
    if (stopRequested()) return WalkStep::Stop;
    DocumentSources sources{db_};
    switch (place.owner) {
        case OwnerKind::CommonEvent:
            documentLater(sources, {DocumentKind::CommonEvent, place.ownerId, 1},
                          joinPath(commonFolder_,
                                   format("CommonEvent%03d", place.ownerId) + "." + extension_));
            break;
        case OwnerKind::Troop:
            documentLater(
                sources, {DocumentKind::BattleEvent, place.ownerId, place.page},
                joinPath(battleFolder_,
                         format("BattleEvent%03d-%02d.", place.ownerId, place.page) + extension_));
            break;
        case OwnerKind::Map: {
            sources.map = place.map;
            const int eventId = place.event->id;
            documentLater(sources, {DocumentKind::MapEvent, eventId, place.page},
                          joinPath(mapFolder_, format("MapEvent%04d-%04d-%02d.", place.ownerId,
                                                      eventId, place.page) +
                                                   extension_),
                          map_ ? std::shared_ptr<const MapData>(map_, map_->map.get()) : nullptr);
            break;
        }
    }
    return WalkStep::Go;
}

WalkStep ExportRun::enterMap(const MapData& map) {
    if (stopRequested()) return WalkStep::Stop;
    if (!o_.categories[kExportMapEvents].on) return WalkStep::SkipOwner;
    // Made without waiting for the documents given before it, which would idle the workers
    // at every map. A link in its place stops the run once those documents are reported, as
    // one thread would stop.
    mapFolder_ = joinPath(summary_.root, format("MapEvent/Map%04d", map.mapId));
    BeneathResult made;
    folders_.folder(mapFolder_, true, made);
    if (made.status != BeneathStatus::Link) return WalkStep::Go;
    work_.add({}, [this, where = made.where] {
        if (halted_) return;
        stopOnFailure(ExportStopKind::OutputLink, where);
        halt();
    });
    return WalkStep::Stop;
}

void ExportRun::mapUnreadable(int mapId, const std::string& why) {
    if (!why.empty()) noteSkipped(mapFileName(mapId), why);
}

void ExportRun::leaveMap(int) {
    if (halted_) return;
    if (o_.mapImages && map_ && map_->loaded) {
        std::shared_ptr<MapBatchResult> result = map_;
        mapPictureGiven_ = true;
        work_.add({}, [this, result] { pictureDone(*result); });
    }
    closeUnit();
}

// The maps come from the pool in the walk's order: the walk and the pool take the same
// maps of the same tree.
const MapData* ExportRun::read(int, std::string& why) {
    switchStage(kStageMapImages);  // what the run waits for the pool
    map_ = std::make_shared<MapBatchResult>();
    mapPictureGiven_ = false;
    const bool came = batch_->next(*map_);
    switchStage(kStageMapEvents);
    if (!came) {
        map_.reset();
        return nullptr;
    }
    summary_.seconds[kStageMapLoading] += map_->loadSeconds;
    if (!map_->loaded) {
        why = map_->loadFailure;
        return nullptr;
    }
    return map_->map.get();
}

// The pool starts with the run, so pictures are drawn while the tables and the documents
// before the maps are made.
void ExportRun::startMaps() {
    const std::string pictures = o_.mapImages ? folder("MapImage") : "";
    if (halted_) return;
    const int mode =
        o_.render.saveMode >= 0 && o_.render.saveMode <= 2 ? o_.render.saveMode : kFormatBmp;
    const ExportCategory& chosen = o_.categories[kExportMapEvents];
    const std::set<int> below =
        chosen.one && o_.includeSubMaps ? tree_.descendantsOf(chosen.id) : std::set<int>{};
    std::vector<MapBatchItem> items;
    for (const auto& entry : tree_.entries()) {
        const int id = entry.first;
        bool taken = !chosen.one || id == chosen.id || below.count(id) != 0;
        if (taken && id >= 1)  // the root entry has no map file
            items.push_back(
                {id, joinPath(pictures, format("Map%04d.", id) + kPictureExtensions[mode])});
    }
    batchOptions_.render = o_.render;
    batchOptions_.render.saveMode = mode;
    batchOptions_.jobs = o_.jobs;
    // Event pictures are measured only when a picture is to show them.
    batchOptions_.measureEvents = o_.mapImages && !o_.render.simpleMap &&
                                  (o_.render.viewMapEvent1 || o_.render.viewMapEvent2);
    batchOptions_.pictures = o_.mapImages;
    batchOptions_.memoryLimit = o_.pictureMemoryLimit;
    batchOptions_.writeRoot = writeRoot_;
    batch_ = std::make_unique<MapBatch>(db_, std::move(items), batchOptions_, abort_);
}

// The units of the tree entries before `mapId` that were not taken, and the unit of
// `mapId`, left open.
void ExportRun::unitsUpTo(int mapId) {
    for (; entry_ != tree_.entries().end(); ++entry_) {
        announce(format("Map%04d", entry_->first));
        if (entry_->first == mapId) {
            ++entry_;
            unitOpen_ = true;
            return;
        }
        work_.add({}, [this] {
            if (!halted_) step();
        });
    }
}

void ExportRun::reportPicture(const MapBatchResult& result) {
    if (o_.mapImages && result.loaded && result.status == MapPictureStatus::Saved)
        report(result.path, true, fileSize(result.path));
}

void ExportRun::pictureDone(const MapBatchResult& result) {
    if (halted_)
        reportPicture(result);  // a picture already written counts however the run ends
    else if (mapPicture(result) == Flow::Halt)
        halt();
}

// A picture the pool has drawn; a whole picture too large for memory asks the sink for
// the full-size BMP here, on the run's thread, in map order.
ExportRun::Flow ExportRun::mapPicture(const MapBatchResult& result) {
    MapPictureStatus status = result.status;
    if (status == MapPictureStatus::Declined && sink_.askFullSizeBmp(result.mapId))
        status = drawFullSizeBmp(result, batchOptions_, abort_);
    switch (status) {
        case MapPictureStatus::Saved:
            report(result.path, true, fileSize(result.path));
            return Flow::Go;
        case MapPictureStatus::EmptyMap:  // nothing to draw
            return Flow::Go;
        case MapPictureStatus::CannotWrite:
            report(result.path, false, 0);
            return Flow::Go;
        case MapPictureStatus::Aborted:
            summary_.end = ExportEnd::Aborted;
            return Flow::Halt;
        case MapPictureStatus::Declined:
        case MapPictureStatus::TooLarge:
            break;
    }
    if (stopRequested()) return Flow::Halt;  // the question went unanswered
    stopOnFailure(ExportStopKind::Picture, mapPictureFailedMessage(o_.documents.language));
    return Flow::Halt;
}

// After the stream: the picture of the map the run stopped in, and the maps in flight.
void ExportRun::drainMaps() {
    if (!batch_) return;
    if (map_ && !mapPictureGiven_) reportPicture(*map_);
    map_.reset();
    batch_->stop();
    for (MapBatchResult result; batch_->next(result);) reportPicture(result);
    batch_.reset();
}

ExportRun::Flow ExportRun::scripts() {
    StageClock clock(summary_, kStageScripts);
    std::string target;
    if (!folderAfterWork("Script", target)) return Flow::Halt;
    const std::vector<Script>& scripts = db_.scripts();
    DocumentSources sources{db_};
    if (documents_.html) {
        matcher_.load();
        colourRules_ = loadColourRules(o_.colourRulesFile);
        sources.matcher = &matcher_;
        sources.colourRules = &colourRules_;
    }
    IdRange ids = rangeOf(o_.categories[kExportScripts], scripts.size());
    for (int n = ids.first; n <= ids.last; ++n) {
        if (stopRequested()) return Flow::Halt;
        announce(format("Script%03d", n));
        unitOpen_ = true;
        const std::string title =
            n >= 1 && static_cast<size_t>(n) <= scripts.size() ? scripts[size_t(n - 1)].title : "";
        std::string name =
            boundedFileName(format("%03d-", n) + title, documents_.html ? ".html" : ".rb");
        documentLater(sources, {DocumentKind::Script, n, 1}, joinPath(target, name));
        closeUnit();
    }
    return Flow::Go;
}

ExportSummary ExportRun::run() {
    summary_.root = exportRoot(writeRoot_, db_.projectFolder);
    summary_.units = countExportUnits(o_, db_);
    if (summary_.units == 0) {
        summary_.end = ExportEnd::NothingToDo;
        return summary_;
    }
    ensureFolder(writeRoot_);  // the user's own path, made as given
    sink_.begin(summary_.units);
    folder("");  // a link in the tree's own place stops the run before anything is written
    if (halted_) return summary_;
    if (mapsWanted(o_)) startMaps();
    Flow flow = halted_ ? Flow::Halt : database();
    const bool lists = o_.categories[kExportCommonEvents].on ||
                       o_.categories[kExportBattleEvents].on || mapsWanted(o_);
    if (flow == Flow::Go && lists) flow = eventLists();
    if (flow == Flow::Go && o_.categories[kExportScripts].on) flow = scripts();
    work_.finish();
    drainMaps();
    noteUnreadableParts();
    return summary_;
}

}  // namespace

const char* exportStageName(int stage) {
    return stage >= 0 && stage < kExportStageCount ? kStageNames[stage] : "";
}

std::string exportRoot(const std::string& outputFolder, const std::string& projectFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::absolute(projectFolder.empty() ? "." : projectFolder, ec);
    folder = folder.lexically_normal();
    std::string last = folder.filename().string();
    if (last.empty()) last = folder.parent_path().filename().string();
    return joinPath(outputFolder, safeFileName(last + "_export"));
}

int countExportUnits(const ExportOptions& o, const ProjectDatabase& db) {
    int units = 0;
    for (bool table : o.tables) units += table ? 1 : 0;
    auto count = [&](int category, size_t all) {
        const ExportCategory& c = o.categories[static_cast<size_t>(category)];
        if (c.on) units += c.one ? 1 : static_cast<int>(all);
    };
    count(kExportCommonEvents, lastId(db.commonEvents().size()));
    count(kExportBattleEvents, lastId(db.troops().size()));
    count(kExportScripts, db.scripts().size());
    if (mapsWanted(o)) units += static_cast<int>(MapInfoTree::fromProject(db).entries().size());
    return units;
}

ExportSummary runExport(const ExportOptions& options, const ProjectDatabase& project,
                        ExportSink& sink, const std::atomic<bool>& abort) {
    // The project's folders hold still for the run: each is looked at once, not per look-up.
    const PathCache::Snapshot listings = project.resources().fixedListings();
    ExportRun run(options, project, sink, abort);
    return run.run();
}

}  // namespace zorvane

// One export run as a small state machine over the five parts. Documents come whole from
// the document writer and are saved atomically; a file that cannot be written is reported
// and the run goes on, while a document or picture that cannot be made stops it.
#include "export/export_driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "map/map_batch.h"
#include "map/map_data.h"
#include "map/map_info_tree.h"
#include "map/map_picture.h"
#include "platform/beneath_root.h"
#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "project/file_helpers.h"
#include "project/project_database.h"
#include "text/text_matcher.h"

namespace zorvane {

const char* const kMapPictureFailedMessage = "マップ画像の保存に失敗しました";

namespace {

const char* const kStageNames[kExportStageCount] = {
    "database",   "common events", "battle events", "map loading",
    "map events", "map images",    "scripts",
};

// Picture file extensions by the SaveMode setting.
const char* const kPictureExtensions[] = {"bmp", "png", "jpg"};

std::string printed(const char* format, int a, int b = 0, int c = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

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

class ExportRun {
  public:
    ExportRun(const ExportOptions& options, const ProjectDatabase& db, ExportSink& sink,
              const std::atomic<bool>& abort)
        : o_(options), db_(db), sink_(sink), abort_(abort) {
        documents_ = o_.documents;
        documents_.textEncoding = o_.outputEncoding;
        extension_ = documents_.html ? "html" : "txt";
        writeRoot_ = o_.outputFolder.empty() ? "." : o_.outputFolder;
        csv_.quoteFormulas = o_.quoteFormulas;
        csv_.root = writeRoot_;
    }

    ExportSummary run();

  private:
    enum class Flow { Go, Halt };

    bool stopRequested();
    void step();
    std::string folder(const std::string& name);
    void report(const std::string& path, bool ok, uint64_t bytes, size_t lost = 0);
    Flow document(const DocumentSources& sources, const DocumentRequest& request,
                  const std::string& path);
    void stopOnFailure(ExportStopKind kind, const std::string& message);
    void noteSkipped(const std::string& file, const std::string& why);
    void noteUnreadableParts();

    Flow database();
    Flow commonEvents();
    Flow battleEvents();
    Flow maps();
    Flow mapEntry(MapBatchResult& result, const MapBatchOptions& batch);
    Flow mapEvents(const MapData& map);
    Flow mapPicture(const MapBatchResult& result, const MapBatchOptions& batch);
    Flow scripts();

    const ExportOptions& o_;
    const ProjectDatabase& db_;
    ExportSink& sink_;
    const std::atomic<bool>& abort_;
    DocumentOptions documents_;
    std::string extension_;
    // The output folder: the user chose it; below it nothing is trusted.
    std::string writeRoot_;
    CsvFileOptions csv_;
    ExportSummary summary_;
    TextMatcher matcher_{MatcherLibrary::Builtin};
    ColourRules colourRules_;
};

bool ExportRun::stopRequested() {
    if (!abort_.load()) return false;
    summary_.end = ExportEnd::Aborted;
    return true;
}

void ExportRun::step() {
    sink_.step(++summary_.unitsDone);
}

// A folder of the tree, created with its parents before its first file.
std::string ExportRun::folder(const std::string& name) {
    std::string path = name.empty() ? summary_.root : joinPath(summary_.root, name);
    // When it fails (a link stands in the way), its files fail and are reported one by one.
    ensureFolderBeneath(writeRoot_, path);
    return path;
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

ExportRun::Flow ExportRun::document(const DocumentSources& sources, const DocumentRequest& request,
                                    const std::string& path) {
    DocumentResult result = writeEventDocument(sources, request, documents_);
    if (result.outcome == DocumentOutcome::Failed) {
        stopOnFailure(ExportStopKind::Document, result.message);
        return Flow::Halt;
    }
    if (result.written())
        report(path, saveDocument(path, result, writeRoot_), result.bytes.size(),
               result.lostCharacters);
    return Flow::Go;
}

ExportRun::Flow ExportRun::database() {
    StageClock clock(summary_, kStageDatabase);
    CsvEncoding encoding = csvEncodingFor(o_.outputEncoding, db_);
    std::string target;
    for (int table = 0; table < kDatabaseTableCount; ++table) {
        if (!o_.tables[static_cast<size_t>(table)]) continue;
        if (stopRequested()) return Flow::Halt;
        if (target.empty()) target = folder("DataBase");
        sink_.unit(std::string("DataBase/") + databaseTableName(table));
        csv_.encoding = encoding;
        for (const WrittenFile& file : writeDatabaseCsv(table, db_, target, csv_))
            report(file.path, file.ok, file.bytes, file.lostCharacters);
        step();
    }
    return Flow::Go;
}

ExportRun::Flow ExportRun::commonEvents() {
    StageClock clock(summary_, kStageCommonEvents);
    std::string target = folder("CommonEvent");
    IdRange ids = rangeOf(o_.categories[kExportCommonEvents], lastId(db_.commonEvents().size()));
    DocumentSources sources{db_};
    for (int id = ids.first; id <= ids.last; ++id) {
        if (stopRequested()) return Flow::Halt;
        std::string name = printed("CommonEvent%03d", id);
        sink_.unit(name);
        if (document(sources, {DocumentKind::CommonEvent, id, 1},
                     joinPath(target, name + "." + extension_)) == Flow::Halt)
            return Flow::Halt;
        step();
    }
    return Flow::Go;
}

ExportRun::Flow ExportRun::battleEvents() {
    StageClock clock(summary_, kStageBattleEvents);
    std::string target = folder("BattleEvent");
    const std::vector<Troop>& troops = db_.troops();
    IdRange ids = rangeOf(o_.categories[kExportBattleEvents], lastId(troops.size()));
    DocumentSources sources{db_};
    for (int id = ids.first; id <= ids.last; ++id) {
        sink_.unit(printed("BattleEvent%03d", id));
        size_t pages =
            static_cast<size_t>(id) < troops.size() ? troops[size_t(id)].pages.size() : 1;
        for (size_t page = 1; page <= pages; ++page) {
            if (stopRequested()) return Flow::Halt;
            std::string name = printed("BattleEvent%03d-%02d.", id, static_cast<int>(page));
            if (document(sources, {DocumentKind::BattleEvent, id, static_cast<int>(page)},
                         joinPath(target, name + extension_)) == Flow::Halt)
                return Flow::Halt;
        }
        step();
    }
    return Flow::Go;
}

ExportRun::Flow ExportRun::mapEvents(const MapData& map) {
    StageClock clock(summary_, kStageMapEvents);
    std::string target = folder(printed("MapEvent/Map%04d", map.mapId));
    DocumentSources sources{db_};
    sources.map = &map;
    for (const auto& [eventId, event] : map.events) {
        for (size_t page = 1; page <= event.pages.size(); ++page) {
            if (stopRequested()) return Flow::Halt;
            std::string name =
                printed("MapEvent%04d-%04d-%02d.", map.mapId, eventId, static_cast<int>(page));
            if (document(sources, {DocumentKind::MapEvent, eventId, static_cast<int>(page)},
                         joinPath(target, name + extension_)) == Flow::Halt)
                return Flow::Halt;
        }
    }
    return Flow::Go;
}

// A picture the pool has drawn; a whole picture too large for memory asks the sink for
// the full-size BMP here, on the run's thread, in map order.
ExportRun::Flow ExportRun::mapPicture(const MapBatchResult& result, const MapBatchOptions& batch) {
    MapPictureStatus status = result.status;
    if (status == MapPictureStatus::Declined && sink_.askFullSizeBmp(result.mapId))
        status = drawFullSizeBmp(result, batch, abort_);
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
    stopOnFailure(ExportStopKind::Picture, kMapPictureFailedMessage);
    return Flow::Halt;
}

// One taken map as it comes back from the pool: its event documents, then its picture. A
// picture already written is reported even when the run stops at this map.
ExportRun::Flow ExportRun::mapEntry(MapBatchResult& result, const MapBatchOptions& batch) {
    summary_.seconds[kStageMapLoading] += result.loadSeconds;
    if (!result.loaded) {  // no events, no picture
        if (!result.loadFailure.empty()) noteSkipped(mapFileName(result.mapId), result.loadFailure);
        return Flow::Go;
    }
    Flow flow = stopRequested() ? Flow::Halt : Flow::Go;
    if (flow == Flow::Go && o_.categories[kExportMapEvents].on) flow = mapEvents(*result.map);
    if (!o_.mapImages) return flow;
    if (flow == Flow::Go) return mapPicture(result, batch);
    if (result.status == MapPictureStatus::Saved) report(result.path, true, fileSize(result.path));
    return flow;
}

// Every tree entry is a unit; the taken maps are loaded and drawn on the pool and come
// back in tree order, so units and files are reported as a single thread would.
ExportRun::Flow ExportRun::maps() {
    const auto start = std::chrono::steady_clock::now();
    const double eventsBefore = summary_.seconds[kStageMapEvents];
    MapInfoTree tree = MapInfoTree::fromProject(db_);
    const ExportCategory& chosen = o_.categories[kExportMapEvents];
    const std::string pictures = o_.mapImages ? folder("MapImage") : "";
    const int mode =
        o_.render.saveMode >= 0 && o_.render.saveMode <= 2 ? o_.render.saveMode : kFormatBmp;
    std::vector<MapBatchItem> items;
    for (const auto& entry : tree.entries()) {
        const int id = entry.first;
        bool taken = !chosen.one || id == chosen.id ||
                     (o_.includeSubMaps && tree.isDescendant(id, chosen.id));
        if (taken && id >= 1)  // the root entry has no map file
            items.push_back(
                {id, joinPath(pictures, printed("Map%04d.", id) + kPictureExtensions[mode])});
    }
    MapBatchOptions batch;
    batch.render = o_.render;
    batch.render.saveMode = mode;
    batch.jobs = o_.pictureJobs;
    // Event pictures are measured only when a picture is to show them.
    batch.measureEvents = o_.mapImages && !o_.render.simpleMap &&
                          (o_.render.viewMapEvent1 || o_.render.viewMapEvent2);
    batch.pictures = o_.mapImages;
    batch.memoryLimit = o_.pictureMemoryLimit;
    batch.writeRoot = writeRoot_;

    auto entry = tree.entries().begin();
    // Units of the entries before `mapId` that were not taken, and the unit of `mapId`.
    auto unitsUpTo = [&](int mapId) {
        for (; entry != tree.entries().end(); ++entry) {
            sink_.unit(printed("Map%04d", entry->first));
            if (entry->first == mapId) return;
            step();
        }
    };
    Flow flow = Flow::Go;
    drawMapPictures(
        db_, items, batch,
        [&](MapBatchResult& result) {
            if (flow == Flow::Halt) {  // a map in flight when the run stopped
                if (o_.mapImages && result.status == MapPictureStatus::Saved && result.loaded)
                    report(result.path, true, fileSize(result.path));
                return false;
            }
            unitsUpTo(result.mapId);
            flow = mapEntry(result, batch);
            if (flow == Flow::Halt) return false;
            step();
            ++entry;
            return true;
        },
        abort_);
    if (flow == Flow::Go && stopRequested()) flow = Flow::Halt;
    if (flow == Flow::Go) unitsUpTo(-1);  // the entries after the last taken map (no id is -1)
    // The pictures overlap loading on the pool: what the run waited for beyond the event
    // documents counts as map images, the loading as the threads' own time.
    summary_.seconds[kStageMapImages] +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() -
        (summary_.seconds[kStageMapEvents] - eventsBefore);
    return flow;
}

ExportRun::Flow ExportRun::scripts() {
    StageClock clock(summary_, kStageScripts);
    std::string target = folder("Script");
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
        sink_.unit(printed("Script%03d", n));
        const std::string title =
            n >= 1 && static_cast<size_t>(n) <= scripts.size() ? scripts[size_t(n - 1)].title : "";
        std::string name =
            boundedFileName(printed("%03d-", n) + title, documents_.html ? ".html" : ".rb");
        DocumentResult result =
            writeEventDocument(sources, {DocumentKind::Script, n, 1}, documents_);
        // A script that cannot be made ends the scripts, the last part anyway.
        if (result.outcome == DocumentOutcome::Failed) {
            stopOnFailure(ExportStopKind::Document, result.message);
            return Flow::Halt;
        }
        std::string path = joinPath(target, name);
        if (result.written())
            report(path, saveDocument(path, result, writeRoot_), result.bytes.size(),
                   result.lostCharacters);
        step();
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
    Flow flow = database();
    if (flow == Flow::Go && o_.categories[kExportCommonEvents].on) flow = commonEvents();
    if (flow == Flow::Go && o_.categories[kExportBattleEvents].on) flow = battleEvents();
    if (flow == Flow::Go && mapsWanted(o_)) flow = maps();
    if (flow == Flow::Go && o_.categories[kExportScripts].on) flow = scripts();
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
    ExportRun run(options, project, sink, abort);
    return run.run();
}

}  // namespace zorvane

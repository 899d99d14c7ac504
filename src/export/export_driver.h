// The export run: the database as CSV, common events, battle events, map events and
// scripts as documents, and map pictures, written into one folder tree outside the
// project. Nothing below the output folder is written or made through a link. It runs on a worker;
// progress, written and failed files go to a sink, and an abort flag is looked at before every
// table, event, page, map and script.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "documents/document_writer.h"
#include "export/database_csv.h"
#include "map/render_options.h"
#include "project/output_encoding.h"

namespace zorvane {

class ProjectDatabase;

// The event rows, in the order of the page and of the EventCheck settings.
enum ExportCategoryIndex : int {
    kExportCommonEvents,
    kExportBattleEvents,
    kExportMapEvents,
    kExportScripts,
    kExportCategoryCount,
};

struct ExportCategory {
    bool on = false;
    bool one = false;  // "指定": only `id` (scripts: the position from 1)
    int id = 0;
};

struct ExportOptions {
    // The tree goes into outputFolder/<last component of the project folder>_export.
    std::string outputFolder;
    std::array<bool, kDatabaseTableCount> tables{};
    std::array<ExportCategory, kExportCategoryCount> categories{};
    // With the map row's one map: the maps below it in the tree as well.
    bool includeSubMaps = false;
    // A picture of every taken map; the map row's choice of maps applies.
    bool mapImages = false;
    // html, skip empty, line numbers, detail, templates; textEncoding is set from
    // outputEncoding by the run.
    DocumentOptions documents;
    std::string colourRulesFile;  // scripts in HTML
    RenderOptions render;         // pictures: saveMode chooses bmp, png or jpg
    OutputEncoding outputEncoding = OutputEncoding::Automatic;  // CSV and text documents
    // CSV cells that a spreadsheet would run as formulas (=, +, -, @) get a leading
    // apostrophe. Off by default: it changes names that really begin so.
    bool quoteFormulas = false;
    uint64_t pictureMemoryLimit = 0;  // 0: half of the machine's memory
    int jobs = 0;                     // threads for pictures, documents and tables; 0: one per core
};

class ExportSink {
  public:
    virtual ~ExportSink() = default;
    // The number of units of work, once, before the first.
    virtual void begin(int total) = 0;
    // A unit starts: "DataBase/actors", "CommonEvent007", "Map0003", "Script002" …
    virtual void unit(const std::string& what) = 0;
    // Units done so far, after each unit.
    virtual void step(int done) = 0;
    virtual void fileWritten(const std::string& path, uint64_t bytes) = 0;
    virtual void fileFailed(const std::string& path) = 0;
    // The whole picture of a map cannot be held in memory: true writes it as a full-size
    // BMP under the same name instead, false stops the export.
    virtual bool askFullSizeBmp(int mapId) = 0;
};

enum class ExportEnd {
    Finished,
    NothingToDo,  // no table and no category ticked
    Aborted,
    Stopped,  // a document or a map picture failed; see stopMessage
};

// OutputLink: a folder of the tree is a symbolic link (stopMessage is its path); nothing is
// written through it, and the run stops there rather than fail each of its files.
enum class ExportStopKind { None, Document, Picture, OutputLink };

// Where the time goes; map loading is counted apart from the map documents and pictures.
enum ExportStage : int {
    kStageDatabase,
    kStageCommonEvents,
    kStageBattleEvents,
    kStageMapLoading,
    kStageMapEvents,
    kStageMapImages,
    kStageScripts,
    kExportStageCount,
};
const char* exportStageName(int stage);

struct ExportSummary {
    ExportEnd end = ExportEnd::Finished;
    std::string root;  // the folder the tree went into
    int units = 0, unitsDone = 0;
    int filesWritten = 0;
    uint64_t bytesWritten = 0;
    std::vector<std::string> failedFiles;
    // Files written with characters their encoding cannot hold, as "?", and how many.
    std::vector<std::pair<std::string, size_t>> lossyFiles;
    // Data files the chosen parts needed and could not read ("Map002.rxdata: truncated"):
    // their events are missing from the tree.
    std::vector<std::string> skipped;
    ExportStopKind stopKind = ExportStopKind::None;
    std::string stopMessage;  // the document writer's warning, or the picture failure
    std::array<double, kExportStageCount> seconds{};
};

// "マップ画像の保存に失敗しました": the stop message of a picture that cannot be saved, in
// the language of the documents.
extern const char* const kMapPictureFailedMessage;
const char* mapPictureFailedMessage(ListingLanguage language);

// The folder a run writes beneath: the one chosen, else the current folder.
inline std::string writeRootOf(const std::string& outputFolder) {
    return outputFolder.empty() ? "." : outputFolder;
}

// outputFolder/<project folder's last component>_export, that component made safe.
std::string exportRoot(const std::string& outputFolder, const std::string& projectFolder);

// The units of work that options select in the project (tables, events or troops, map
// tree entries, scripts); 0 when nothing is ticked.
int countExportUnits(const ExportOptions& options, const ProjectDatabase& project);

ExportSummary runExport(const ExportOptions& options, const ProjectDatabase& project,
                        ExportSink& sink, const std::atomic<bool>& abort);

}  // namespace zorvane

// The scan walks the project the way the missing-file search does, but collects names
// instead of testing them: the database table it shares with the search, then every event
// list through the one walk, each command's files from what it refers to, and the maps'
// music and page graphics.
#include "rtp/rtp_scan.h"

#include "listing/listing.h"
#include "map/event_walk.h"
#include "map/map_data.h"
#include "project/database_files.h"
#include "project/event_records.h"
#include "project/project_database.h"
#include "project/resource.h"

namespace zorvane {

namespace {

const char* const kCharacters = "Graphics\\Characters\\";

class UsageWalk : EventListVisitor {
  public:
    UsageWalk(const ProjectDatabase& project, RtpProgress& progress, const std::atomic<bool>& abort,
              std::set<std::string>& files)
        : project_(project), progress_(progress), abort_(abort), files_(files) {}

    bool run() {
        int maps = 0;
        for (const auto& entry : project_.mapInfos())
            if (entry.first > 0) ++maps;
        progress_.setRange(maps + 11);
        progress_.setPosition(0);
        return walkDatabase() && walk(commonEventsOnly()) && walk(troopsOnly()) &&
               walkEventLists(project_, mapsOnly(), *this, &abort_);
    }

  private:
    bool aborted() const { return abort_.load(std::memory_order_relaxed); }

    void step() { progress_.setPosition(++position_); }

    bool walkDatabase() {
        return addDatabaseFiles(project_, files_, abort_, [this] { step(); });
    }

    static WalkScope commonEventsOnly() { return WalkScope{0, -1, -1, {}}; }
    static WalkScope troopsOnly() { return WalkScope{-1, 0, -1, {}}; }
    static WalkScope mapsOnly() { return WalkScope{-1, -1, 0, {}}; }

    // One kind of owner, then one step of progress.
    bool walk(const WalkScope& scope) {
        if (!walkEventLists(project_, scope, *this, &abort_)) return false;
        step();
        return true;
    }

    WalkStep enterMap(const MapData& map) override {
        addMapMusic(map, files_);
        return WalkStep::Go;
    }

    // A map that does not load is skipped, as the search skips it; each map is a step.
    void leaveMap(int) override { step(); }

    WalkStep list(const EventListPlace& place) override {
        if (aborted()) return WalkStep::Stop;
        EventCommandList list;
        if (place.list) list.read(*place.list);
        addListFiles(place, list, files_);
        return WalkStep::Go;
    }

    const ProjectDatabase& project_;
    RtpProgress& progress_;
    const std::atomic<bool>& abort_;
    std::set<std::string>& files_;
    int position_ = 0;
};

}  // namespace

void addMapMusic(const MapData& map, std::set<std::string>& files) {
    if (map.autoplayBgm && !map.bgm.name.empty()) files.insert("Audio\\BGM\\" + map.bgm.name);
    if (map.autoplayBgs && !map.bgs.name.empty()) files.insert("Audio\\BGS\\" + map.bgs.name);
}

void addPageGraphic(const EventListPlace& place, std::set<std::string>& files) {
    if (!place.event) return;
    const MapEventPage& page = place.event->pages[static_cast<size_t>(place.page - 1)];
    if (page.graphic.tileId == 0 && !page.graphic.characterName.empty())
        files.insert(kCharacters + page.graphic.characterName);
}

void addListFiles(const EventListPlace& place, const EventCommandList& list,
                  std::set<std::string>& files) {
    addPageGraphic(place, files);
    for (const EventCommand& command : list.commands) collectCommandFiles(command, files);
}

bool addDatabaseFiles(const ProjectDatabase& project, std::set<std::string>& files,
                      const std::atomic<bool>& abort, const std::function<void()>& afterEach) {
    FileVisitor visit = [&files](const char* folder, const std::string& name) {
        if (!name.empty()) files.insert(folder + name);
    };
    for (const DatabaseFiles& database : databaseFiles()) {
        size_t count = database.count(project);
        for (size_t id = 1; id < count; ++id) {
            if (abort.load(std::memory_order_relaxed)) return false;
            database.visit(project, id, visit);
        }
        if (afterEach) afterEach();
    }
    return true;
}

bool collectUsedFiles(const ProjectDatabase& project, RtpProgress& progress,
                      const std::atomic<bool>& abort, std::set<std::string>& files) {
    files.clear();
    if (UsageWalk(project, progress, abort, files).run()) return true;
    files.clear();
    progress.setPosition(0);
    return false;
}

std::vector<RtpFile> rtpFilesAmong(const std::set<std::string>& files,
                                   const ResourceResolver& resources) {
    std::vector<RtpFile> found;
    for (const std::string& relative : files) {
        std::string path;
        int where = resources.resolve(relative, path);
        if (where >= 1 && where <= 3) found.push_back({relative, path});
    }
    return found;
}

RtpScanResult scanRtpUsage(const ProjectDatabase& project, RtpProgress& progress,
                           const std::atomic<bool>& abort) {
    RtpScanResult result;
    std::set<std::string> files;
    if (!collectUsedFiles(project, progress, abort, files)) {
        result.aborted = true;
        return result;
    }
    result.files = rtpFilesAmong(files, project.resources());
    return result;
}

}  // namespace zorvane

// The scan walks the project the way the missing-file search does, but collects names
// instead of testing them: the database table it shares with the search, then every
// command through its formatter's file collector, then the maps' music and page graphics.
#include "rtp/rtp_scan.h"

#include "listing/listing.h"
#include "map/map_data.h"
#include "project/database_files.h"
#include "project/event_records.h"
#include "project/project_database.h"
#include "project/resource.h"

namespace zorvane {

namespace {

const char* const kCharacters = "Graphics\\Characters\\";

class UsageWalk {
  public:
    UsageWalk(const ProjectDatabase& project, RtpProgress& progress, const std::atomic<bool>& abort,
              std::set<std::string>& files)
        : project_(project), progress_(progress), abort_(abort), files_(files) {
        listing_.project = &project;
    }

    bool run() {
        int maps = 0;
        for (const auto& entry : project_.mapInfos())
            if (entry.first > 0) ++maps;
        progress_.setRange(maps + 11);
        progress_.setPosition(0);
        return walkDatabase() && walkCommonEvents() && walkTroops() && walkMaps();
    }

  private:
    bool aborted() const { return abort_.load(std::memory_order_relaxed); }

    void step() { progress_.setPosition(++position_); }

    void add(const char* folder, const std::string& name) {
        if (!name.empty()) files_.insert(folder + name);
    }

    bool walkDatabase() {
        FileVisitor visit = [this](const char* folder, const std::string& name) {
            add(folder, name);
        };
        for (const DatabaseFiles& database : databaseFiles()) {
            size_t count = database.count(project_);
            for (size_t id = 1; id < count; ++id) {
                if (aborted()) return false;
                database.visit(project_, id, visit);
            }
            step();
        }
        return true;
    }

    // False when aborted; a list that is not there adds nothing.
    bool walkList(const MarshalFile& file, const std::string& path) {
        if (aborted()) return false;
        EventCommandList list;
        if (!readCommandList(file, path, list)) return true;
        for (const EventCommand& command : list.commands) {
            if (aborted()) return false;
            collectCommandFiles(command, listing_, files_);
        }
        return true;
    }

    bool walkCommonEvents() {
        listing_.ownerKind = OwnerKind::CommonEvent;
        size_t count = project_.commonEvents().size();
        for (size_t id = 1; id < count; ++id) {
            listing_.ownerId = static_cast<int>(id);
            if (!walkList(project_.commonEventsFile(), commonEventListPath(static_cast<int>(id))))
                return false;
        }
        step();
        return true;
    }

    bool walkTroops() {
        listing_.ownerKind = OwnerKind::Troop;
        const std::vector<Troop>& troops = project_.troops();
        for (size_t id = 1; id < troops.size(); ++id) {
            listing_.ownerId = static_cast<int>(id);
            for (size_t p = 0; p < troops[id].pages.size(); ++p) {
                if (!walkList(project_.troopsFile(),
                              troopPageListPath(static_cast<int>(id), static_cast<int>(p))))
                    return false;
            }
        }
        step();
        return true;
    }

    bool walkMaps() {
        listing_.ownerKind = OwnerKind::Map;
        for (const auto& entry : project_.mapInfos()) {
            if (entry.first <= 0) continue;
            if (aborted()) return false;
            MapData map;
            // A map that does not load is skipped, as the search skips it.
            if (map.load(project_, entry.first, false) && !walkMap(map)) return false;
            step();
        }
        return true;
    }

    bool walkMap(const MapData& map) {
        if (map.autoplayBgm) add("Audio\\BGM\\", map.bgm.name);
        if (map.autoplayBgs) add("Audio\\BGS\\", map.bgs.name);
        listing_.ownerId = map.mapId;
        listing_.mapEvents = &map.events;
        bool finished = true;
        for (const auto& entry : map.events) {
            const MapEvent& event = entry.second;
            for (size_t p = 0; finished && p < event.pages.size(); ++p) {
                const MapEventPage& page = event.pages[p];
                if (page.graphic.tileId == 0) add(kCharacters, page.graphic.characterName);
                finished = walkList(map.root, mapEventPageListPath(event.id, static_cast<int>(p)));
            }
            if (!finished) break;
        }
        listing_.mapEvents = nullptr;
        return finished;
    }

    const ProjectDatabase& project_;
    RtpProgress& progress_;
    const std::atomic<bool>& abort_;
    std::set<std::string>& files_;
    ListingOptions listing_;
    int position_ = 0;
};

}  // namespace

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

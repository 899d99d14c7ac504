// Which run-time package (RTP) files a project uses: every graphic and audio file named by
// the database, the common events, the battle events and the maps, kept when it is found
// in an RTP folder and not in the game folder.
#pragma once

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "project/resource.h"

namespace zorvane {

class EventCommandList;
class MapData;
class ProjectDatabase;
struct EventListPlace;

// One used RTP file: the name as referenced ("Graphics\Characters\Hero", no extension) and
// the full path of the file found in an RTP folder.
struct RtpFile {
    std::string relativePath;
    std::string foundPath;
};

// Progress of the scan and of the copy, reported from the worker thread.
class RtpProgress {
  public:
    virtual ~RtpProgress() = default;
    // The bar runs from 0 to `maximum`; the position starts at 0.
    virtual void setRange(int maximum) = 0;
    virtual void setPosition(int position) = 0;
};

// Every file the project names, in ascending byte order, each once. The progress range is
// the number of maps + 11: one step per database, one for the common events, one for the
// troops, one per map. False when the abort flag stopped the walk (`files` is then empty).
bool collectUsedFiles(const ProjectDatabase& project, RtpProgress& progress,
                      const std::atomic<bool>& abort, std::set<std::string>& files);

// The pieces of that collection, for walks that collect files beside other work: a map's
// music, one event list's files (its commands, and a map page's graphic), and the
// database's files (afterEach runs after each database; false when aborted). A walk that
// reads each command's references itself takes a map page's graphic alone.
void addMapMusic(const MapData& map, std::set<std::string>& files);
void addListFiles(const EventListPlace& place, const EventCommandList& list,
                  std::set<std::string>& files);
void addPageGraphic(const EventListPlace& place, std::set<std::string>& files);
bool addDatabaseFiles(const ProjectDatabase& project, std::set<std::string>& files,
                      const std::atomic<bool>& abort, const std::function<void()>& afterEach);

// The paths that resolve to an RTP folder rather than the game folder, in the set's order.
std::vector<RtpFile> rtpFilesAmong(const std::set<std::string>& files,
                                   const ResourceResolver& resources);

struct RtpScanResult {
    std::vector<RtpFile> files;
    bool aborted = false;
};

// Both steps; an aborted scan lists nothing.
RtpScanResult scanRtpUsage(const ProjectDatabase& project, RtpProgress& progress,
                           const std::atomic<bool>& abort);

}  // namespace zorvane

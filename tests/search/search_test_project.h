// A small project written by Ruby's own Marshal.dump for the search tests, with a stand-in
// RTP, and a sink that records what a search reports (and can abort it after n hits).
#pragma once

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "project/project_database.h"
#include "search/search_engine.h"
#include "support/test_support.h"

namespace stest {

// Project folder "Project" and RTP "Standard" under a scratch folder; open() looks for the
// RTP in the stand-in common files folder beside them.
class SearchProject {
  public:
    SearchProject();
    ~SearchProject();
    // Runs the Ruby prelude (RPG classes, save, cmd, move, audio, page, event) and body.
    bool write(const std::string& body);
    // Creates an empty file below the project or the RTP ("Graphics/Characters/Hero.png").
    void touch(const std::string& relative, bool inRtp);
    bool open(zorvane::ProjectDatabase& db) const;
    std::string projectFile() const { return folder_ + "/Game.rxproj"; }

  private:
    ztest::TempDir dir_;
    std::string folder_;
    std::string rtp_;
};

// The project most search tests use; see the Ruby body in search_test_project.cpp.
bool writeTownProject(SearchProject& project);

struct RecordingSink : zorvane::SearchSink {
    std::vector<zorvane::SearchHit> hits;
    std::vector<std::string> titles;
    std::atomic<bool>* abortAfter = nullptr;
    size_t abortCount = 0;

    void addHit(const zorvane::SearchHit& hit) override {
        hits.push_back(hit);
        if (abortAfter && hits.size() >= abortCount) abortAfter->store(true);
    }
    void setTitle(const std::string& title) override { titles.push_back(title); }
};

// "area,id,page,line" of a hit; map events as "2,map:event,page,line".
std::string placeOf(const zorvane::SearchHit& hit);
std::set<std::string> placesOf(const std::vector<zorvane::SearchHit>& hits);

}  // namespace stest

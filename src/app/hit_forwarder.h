// Carries what the search worker finds to the results window on the UI thread. Hits and
// titles wait in a mailbox; at most one delivery is queued at a time, so a search that
// finds ten thousand rows posts a handful of events, not ten thousand.
#pragma once
// wx/weakref.h uses std::is_base_of without including its header.
#include <type_traits>

#include <wx/weakref.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "search/search_engine.h"

namespace zorvane {

class ResultsWindow;

class HitForwarder : public SearchSink, public std::enable_shared_from_this<HitForwarder> {
  public:
    // Made on the UI thread; the window may be closed before the search ends.
    static std::shared_ptr<HitForwarder> create(ResultsWindow* window);

    // Worker side.
    void addHit(const SearchHit& hit) override;
    void setTitle(const std::string& title) override;

    // UI side: hands everything waiting to the window. Also called once the worker has
    // ended, so nothing is left behind when the queued delivery has not run yet.
    void deliver();
    // How many deliveries reached the window so far.
    int deliveries() const { return deliveries_; }

  private:
    explicit HitForwarder(ResultsWindow* window);
    // Called with the mutex held.
    void scheduleLocked();

    std::mutex mutex_;
    std::vector<SearchHit> hits_;
    std::optional<std::string> title_;
    bool scheduled_ = false;
    // Touched on the UI thread only.
    wxWeakRef<ResultsWindow> window_;
    int deliveries_ = 0;
};

}  // namespace zorvane

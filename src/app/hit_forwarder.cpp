// The worker only appends under the mutex; the window is touched in deliver(), which
// runs on the UI thread through CallAfter.
#include "app/hit_forwarder.h"

#include <wx/app.h>

#include "app/results_window.h"

namespace zorvane {

std::shared_ptr<HitForwarder> HitForwarder::create(ResultsWindow* window) {
    return std::shared_ptr<HitForwarder>(new HitForwarder(window));
}

HitForwarder::HitForwarder(ResultsWindow* window) : window_(window) {}

void HitForwarder::addHit(const SearchHit& hit) {
    std::lock_guard<std::mutex> lock(mutex_);
    hits_.push_back(hit);
    scheduleLocked();
}

void HitForwarder::setTitle(const std::string& title) {
    std::lock_guard<std::mutex> lock(mutex_);
    title_ = title;
    scheduleLocked();
}

void HitForwarder::scheduleLocked() {
    if (scheduled_ || !wxTheApp) return;
    scheduled_ = true;
    std::weak_ptr<HitForwarder> self = weak_from_this();
    wxTheApp->CallAfter([self] {
        if (auto forwarder = self.lock()) forwarder->deliver();
    });
}

void HitForwarder::deliver() {
    std::vector<SearchHit> hits;
    std::optional<std::string> title;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hits.swap(hits_);
        title.swap(title_);
        scheduled_ = false;
    }
    if (!window_ || (hits.empty() && !title)) return;
    ++deliveries_;
    window_->addHits(hits);
    if (title) window_->setTitleText(*title);
}

}  // namespace zorvane

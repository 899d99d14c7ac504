// Carries a worker's progress to a bar on the UI thread: the last range and position wait
// here, and at most one delivery is queued at a time. The RTP and check pages use it.
#pragma once
// wx/weakref.h uses std::is_base_of without including its header.
#include <type_traits>

#include <wx/app.h>
#include <wx/gauge.h>
#include <wx/weakref.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "rtp/rtp_scan.h"

namespace zorvane {

class GaugeForwarder : public RtpProgress, public std::enable_shared_from_this<GaugeForwarder> {
  public:
    explicit GaugeForwarder(wxGauge* gauge) : gauge_(gauge) {}

    void setRange(int maximum) override {
        std::lock_guard<std::mutex> lock(mutex_);
        range_ = maximum;
        scheduleLocked();
    }
    void setPosition(int position) override {
        std::lock_guard<std::mutex> lock(mutex_);
        position_ = position;
        scheduleLocked();
    }
    // After the task: deliveries still queued change nothing.
    void stop() { stopped_ = true; }

  private:
    void scheduleLocked() {
        if (scheduled_ || !wxTheApp) return;
        scheduled_ = true;
        std::weak_ptr<GaugeForwarder> self = weak_from_this();
        wxTheApp->CallAfter([self] {
            if (auto forwarder = self.lock()) forwarder->deliver();
        });
    }

    void deliver() {
        int range, position;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            range = range_;
            position = position_;
            scheduled_ = false;
        }
        if (stopped_ || !gauge_) return;
        gauge_->SetRange(std::max(range, 1));
        gauge_->SetValue(std::min(std::max(position, 0), std::max(range, 1)));
    }

    std::mutex mutex_;
    int range_ = 1;
    int position_ = 0;
    bool scheduled_ = false;
    // Touched on the UI thread only.
    bool stopped_ = false;
    wxWeakRef<wxGauge> gauge_;
};

}  // namespace zorvane

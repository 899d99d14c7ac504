// The event viewer's page graphic: the frames of a map event page's picture, shown one at a
// time and advanced by a 350 ms timer, so a walking character steps through its four frames.
#pragma once
#include <wx/bitmap.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <vector>

#include "map/bitmap32.h"

namespace zorvane {

// A 32-bit picture as a wx bitmap with its alpha.
wxBitmap toWxBitmap(const Bitmap32& picture);

class PageGraphicArea : public wxWindow {
  public:
    static constexpr int kFrameMilliseconds = 350;

    explicit PageGraphicArea(wxWindow* parent);

    // Replaces the frames (none clears the area) and shows the first.
    void setFrames(const std::vector<Bitmap32>& frames);
    // One timer tick: the next frame, back to the first after the last.
    void advance();

    size_t frameCount() const { return frames_.size(); }
    size_t shownFrame() const { return shown_; }
    wxTimer& timer() { return timer_; }

  private:
    void onPaint();

    std::vector<wxBitmap> frames_;
    size_t shown_ = 0;
    wxTimer timer_;
};

}  // namespace zorvane

// The small tool window that shows an event's character walking: the four frames of the
// sheet's row for its direction, one after another every 350 ms. Closing only hides it;
// it comes back where it was last closed.
#pragma once
#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <array>

#include "app/settings.h"
#include "map/bitmap32.h"

namespace zorvane {

constexpr int kPreviewFrames = 4;
constexpr int kPreviewIntervalMs = 350;

class CharacterPreview : public wxFrame {
  public:
    // `place` holds the last position (left and top) and is updated on close.
    CharacterPreview(wxWindow* parent, WindowPlace& place);

    // Shows the sheet's row for `direction` (2, 4, 6, 8); false (and nothing shown) when
    // the sheet is too small to hold 4 × 4 frames.
    bool showSheet(const Bitmap32& sheet, int direction);
    // Puts the window beside `cell` (screen coordinates), on the screen.
    void placeBeside(const wxRect& cell);
    // Hides the window, remembering where it stood.
    void closePreview();

    int shownFrame() const { return frame_; }
    int frameWidth() const { return frameSize_.x; }
    int frameHeight() const { return frameSize_.y; }

  private:
    void onPaint();
    void advance();

    WindowPlace& place_;
    std::array<wxBitmap, kPreviewFrames> frames_;
    wxSize frameSize_;
    int frame_ = 0;
    wxTimer timer_;
};

}  // namespace zorvane

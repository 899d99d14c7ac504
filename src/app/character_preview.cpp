// The frames are cut from the sheet once when it is shown; the timer only picks the next.
#include "app/character_preview.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/settings.h>

#include "app/frame_place.h"

namespace zorvane {

namespace {

// A 32-bit picture area as a wx bitmap with its alpha.
wxBitmap toBitmap(const Bitmap32& sheet, int left, int top, int width, int height) {
    wxImage image(width, height);
    image.InitAlpha();
    unsigned char* rgb = image.GetData();
    unsigned char* alpha = image.GetAlpha();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, rgb += 3, ++alpha) {
            uint32_t p = sheet.pixel(left + x, top + y);
            rgb[0] = redOf(p);
            rgb[1] = greenOf(p);
            rgb[2] = blueOf(p);
            *alpha = alphaOf(p);
        }
    }
    return wxBitmap(image);
}

}  // namespace

CharacterPreview::CharacterPreview(wxWindow* parent, WindowPlace& place)
    : wxFrame(parent, wxID_ANY, wxString(), wxPoint(place.left, place.top), wxDefaultSize,
              wxCAPTION | wxCLOSE_BOX | wxFRAME_TOOL_WINDOW | wxFRAME_FLOAT_ON_PARENT),
      place_(place),
      timer_(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) { onPaint(); });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { advance(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        // Hidden, never destroyed by the user: the viewer owns it.
        if (!event.CanVeto()) {
            event.Skip();
            return;
        }
        event.Veto();
        closePreview();
    });
}

bool CharacterPreview::showSheet(const Bitmap32& sheet, int direction) {
    const int w = sheet.width() / kPreviewFrames, h = sheet.height() / kPreviewFrames;
    if (w <= 0 || h <= 0) return false;
    int row = direction / 2 - 1;
    if (row < 0 || row >= kPreviewFrames) row = 0;
    for (int i = 0; i < kPreviewFrames; ++i)
        frames_[size_t(i)] = toBitmap(sheet, i * w, row * h, w, h);
    frameSize_ = wxSize(w, h);
    frame_ = 0;
    SetClientSize(frameSize_);
    if (!IsShown()) Show();
    Refresh();
    timer_.Start(kPreviewIntervalMs);
    return true;
}

void CharacterPreview::placeBeside(const wxRect& cell) {
    Move(besideRect(cell, GetSize(), screenAreaAt(cell.GetPosition())));
}

void CharacterPreview::closePreview() {
    timer_.Stop();
    if (!IsShown()) return;
    wxPoint at = GetPosition();
    place_.left = at.x;
    place_.top = at.y;
    Hide();
}

void CharacterPreview::advance() {
    frame_ = (frame_ + 1) % kPreviewFrames;
    Refresh(false);
}

void CharacterPreview::onPaint() {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    const wxBitmap& shown = frames_[size_t(frame_)];
    if (shown.IsOk()) dc.DrawBitmap(shown, 0, 0, true);
}

}  // namespace zorvane

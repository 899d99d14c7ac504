// The area paints its face colour first, so a smaller frame never leaves parts of a larger
// one behind; frames are centred and drawn with their alpha.
#include "app/page_graphic_area.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/settings.h>

#include <algorithm>

namespace zorvane {

wxBitmap toWxBitmap(const Bitmap32& picture) {
    if (picture.empty()) return wxBitmap();
    wxImage image(picture.width(), picture.height());
    image.InitAlpha();
    unsigned char* rgb = image.GetData();
    unsigned char* alpha = image.GetAlpha();
    for (int y = 0; y < picture.height(); ++y) {
        const uint32_t* row = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, rgb += 3, ++alpha) {
            rgb[0] = redOf(row[x]);
            rgb[1] = greenOf(row[x]);
            rgb[2] = blueOf(row[x]);
            *alpha = alphaOf(row[x]);
        }
    }
    return wxBitmap(image);
}

PageGraphicArea::PageGraphicArea(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, parent->FromDIP(wxSize(96, 96))), timer_(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) { onPaint(); });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { advance(); });
    timer_.Start(kFrameMilliseconds);
}

void PageGraphicArea::setFrames(const std::vector<Bitmap32>& frames) {
    frames_.clear();
    wxSize area = GetClientSize();
    for (const Bitmap32& frame : frames) {
        if (frame.empty()) continue;
        // A picture larger than the area is shrunk to fit rather than cut.
        double fit =
            std::min({1.0, double(area.x) / frame.width(), double(area.y) / frame.height()});
        frames_.push_back(toWxBitmap(fit < 1.0 ? frame.scaled(fit) : frame));
    }
    shown_ = 0;
    Refresh(false);
}

void PageGraphicArea::advance() {
    if (frames_.size() < 2) return;
    shown_ = (shown_ + 1) % frames_.size();
    Refresh(false);
}

void PageGraphicArea::onPaint() {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    if (shown_ >= frames_.size()) return;
    const wxBitmap& frame = frames_[shown_];
    wxSize area = GetClientSize();
    dc.DrawBitmap(frame, (area.x - frame.GetWidth()) / 2, (area.y - frame.GetHeight()) / 2, true);
}

}  // namespace zorvane

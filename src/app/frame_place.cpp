// Default and remembered places of the secondary frames. A new window opens beside the main
// window rather than over it, and never partly off the screen.
#include "app/frame_place.h"

#include <wx/display.h>

#include <algorithm>

#include "app/main_frame.h"

namespace zorvane {

namespace {

constexpr int kGap = 8;

const wxWindow* mainWindow() {
    for (const wxWindow* window : wxTopLevelWindows)
        if (dynamic_cast<const MainFrame*>(window)) return window;
    return nullptr;
}

wxSize within(wxSize size, const wxSize& room) {
    size.DecTo(room);
    return size;
}

int clampInto(int at, int length, int start, int room) {
    return std::max(start, std::min(at, start + room - length));
}

}  // namespace

wxRect screenAreaAt(const wxPoint& at) {
    int index = wxDisplay::GetFromPoint(at);
    return wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
}

wxPoint besideRect(const wxRect& anchor, const wxSize& size, const wxRect& screen) {
    int x = anchor.GetRight() + 1 + kGap;
    if (x + size.x > screen.GetRight() + 1 && anchor.x - kGap - size.x >= screen.x)
        x = anchor.x - kGap - size.x;
    return {clampInto(x, size.x, screen.x, screen.width),
            clampInto(anchor.y, size.y, screen.y, screen.height)};
}

wxRect framePlace(const WindowPlace& place, const wxSize& defaultSize) {
    const wxWindow* main = mainWindow();
    const wxRect anchor = main ? main->GetRect() : wxRect();
    if (place.width > 0 && place.height > 0) {
        wxRect kept(place.left, place.top, place.width, place.height);
        wxRect screen = screenAreaAt(kept.GetPosition());
        kept.SetSize(within(kept.GetSize(), screen.GetSize()));
        kept.x = clampInto(kept.x, kept.width, screen.x, screen.width);
        kept.y = clampInto(kept.y, kept.height, screen.y, screen.height);
        return kept;
    }
    wxRect screen = screenAreaAt(anchor.GetPosition());
    wxSize size = within(defaultSize, screen.GetSize());
    return {besideRect(anchor, size, screen), size};
}

void rememberFramePlace(const wxFrame& frame, WindowPlace& place) {
    if (frame.IsIconized() || frame.IsMaximized() || !frame.IsShown()) return;
    wxRect rect = frame.GetRect();
    place = {rect.x, rect.y, rect.width, rect.height};
}

}  // namespace zorvane

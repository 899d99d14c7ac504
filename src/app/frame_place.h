// What the program's secondary frames share: the place they open at (remembered in the
// settings) and a menu bar whose items act as soon as they are opened, as the viewers' and
// the results window's "保存(&S)"-style bars do.
#pragma once

#include <wx/frame.h>
#include <wx/menu.h>

#include <cstddef>

#include "app/settings.h"
#include "app/wx_text.h"

namespace zorvane {

// Where a frame opens: the remembered place brought back onto the screen, or before
// anything is stored `defaultSize` (no larger than the screen) beside the main window.
wxRect framePlace(const WindowPlace& place, const wxSize& defaultSize);
inline wxPoint placePosition(const WindowPlace& place, const wxSize& defaultSize) {
    return framePlace(place, defaultSize).GetPosition();
}
inline wxSize placeSize(const WindowPlace& place, const wxSize& defaultSize) {
    return framePlace(place, defaultSize).GetSize();
}

// Keeps where `frame` is in `place`, unless it is minimised, maximised or hidden: none of
// those is a place to open at again.
void rememberFramePlace(const wxFrame& frame, WindowPlace& place);

// Where a window of `size` goes beside `anchor`: right of it, else left of it, else as far
// right as the screen allows; always inside `screen` when it fits there.
wxPoint besideRect(const wxRect& anchor, const wxSize& size, const wxRect& screen);

// The usable area of the screen that shows `at`.
wxRect screenAreaAt(const wxPoint& at);

// One item of an acting menu bar: its caption and the member it runs.
template <class Window>
struct BarRow {
    const char* caption;
    void (Window::*run)();
};

// Gives `window` a bar of empty menus; opening one runs its row once the menu-open event
// has been handled.
template <class Window, std::size_t N>
void setActingMenuBar(Window* window, const BarRow<Window> (&rows)[N]) {
    auto* bar = new wxMenuBar;
    for (const BarRow<Window>& row : rows) bar->Append(new wxMenu, tr(row.caption));
    window->SetMenuBar(bar);
    window->Bind(wxEVT_MENU_OPEN, [window, &rows](wxMenuEvent& event) {
        wxMenuBar* shown = window->GetMenuBar();
        for (std::size_t i = 0; shown && i < N; ++i)
            if (event.GetMenu() == shown->GetMenu(i))
                window->CallAfter([window, run = rows[i].run] { (window->*run)(); });
        event.Skip();
    });
}

}  // namespace zorvane

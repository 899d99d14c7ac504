// The open viewers are counted, so that a second viewer closing does not bring the main
// window back while the first is still open.
#include "app/viewer_windows.h"

#include <wx/frame.h>
#include <wx/weakref.h>

#include <algorithm>
#include <vector>

#include "app/main_frame.h"

namespace zorvane {

namespace {

std::vector<wxWindow*>& openViewers() {
    static std::vector<wxWindow*> viewers;
    return viewers;
}

}  // namespace

void hideMainWhileOpen(MainFrame* main, wxWindow* viewer) {
    if (!viewer) return;
    openViewers().push_back(viewer);
    if (main) main->Hide();
    wxWeakRef<MainFrame> weakMain(main);
    viewer->Bind(wxEVT_DESTROY, [viewer, weakMain](wxWindowDestroyEvent& event) {
        event.Skip();
        if (event.GetEventObject() != viewer) return;  // a child going, not the viewer
        auto& viewers = openViewers();
        viewers.erase(std::remove(viewers.begin(), viewers.end(), viewer), viewers.end());
        if (!viewers.empty() || !weakMain) return;
        MainFrame* frame = weakMain.get();
        frame->Show();
        frame->Raise();
        frame->CallAfter([weakMain] {
            if (weakMain) weakMain->checkProjectChanged();
        });
    });
}

}  // namespace zorvane

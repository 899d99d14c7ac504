// Viewers take the main window's place: it hides while any viewer is open and comes back,
// then looks whether the project changed on disk, when the last viewer closes.
#pragma once

class wxWindow;

namespace zorvane {

class MainFrame;

// Hides `main` (when there is one) until `viewer` and every other viewer handed here are
// destroyed.
void hideMainWhileOpen(MainFrame* main, wxWindow* viewer);

}  // namespace zorvane

// The wxApp of the desktop program: owns the process-wide state, starts the main window
// and writes the settings once the event loop has ended.
#pragma once
#include <wx/app.h>

#include <memory>

#include "app/app_context.h"

namespace zorvane {

class ZorvaneApp : public wxApp {
  public:
    bool OnInit() override;
    int OnExit() override;
    // An exception that escaped an event handler is shown, and the program goes on.
    bool OnExceptionInMainLoop() override;

  private:
    std::unique_ptr<AppContext> context_;
};

}  // namespace zorvane

// The settings property sheet "設定": five pages over a copy of the settings, written back
// only when the sheet closes with OK (there is no Apply).
#pragma once
#include <wx/propdlg.h>

#include <array>

#include "app/app_context.h"

namespace zorvane {

class SettingsDialog : public wxPropertySheetDialog {
  public:
    SettingsDialog(wxWindow* parent, AppContext& context);
    // Takes the controls' values and writes them into `settings`.
    void applyTo(Settings& settings);

  private:
    wxWindow* buildGeneralPage();
    wxWindow* buildEventViewerPage();
    wxWindow* buildMapViewerPage();
    wxWindow* buildPicturePage();
    wxWindow* buildUpdatePage();

    AppContext& context_;
    Settings edited_;
    // Controls hold wxString and int; these are copied to and from edited_.
    int eventSaveMode_ = 0, zoomQuality_ = 0;
    std::array<wxString, 3> templates_;
    std::array<wxString, 3> colours_;
    wxString proxyHost_;
};

// The sheet's pages, in their order.
enum SettingsPage { kPageGeneral, kPageEventViewer, kPageMapViewer, kPagePicture, kPageUpdate };

// Shows the sheet through the modal seam, open on `page`; true when the user pressed OK.
bool runSettingsDialog(wxWindow* parent, AppContext& context, SettingsPage page = kPageGeneral);

}  // namespace zorvane

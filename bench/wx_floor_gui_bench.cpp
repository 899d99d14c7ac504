// The toolkit's own floor for the desktop program's start: one frame with a menu bar and
// nothing else, timed by bench/desktop_open.sh beside the program (its title is looked for).
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/menu.h>

namespace {

class FloorApp : public wxApp {
  public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "wx floor");  // wx deletes it on close
        auto* bar = new wxMenuBar;
        auto* file = new wxMenu;
        file->Append(wxID_OPEN, "&Open\tCtrl+O");
        file->Append(wxID_EXIT, "E&xit");
        bar->Append(file, "&File");
        frame->SetMenuBar(bar);
        frame->Show();
        return true;
    }
};

}  // namespace

wxIMPLEMENT_APP(FloorApp);

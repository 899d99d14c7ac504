// Times the map viewer's paint under a display (run it with xvfb-run): a 1280 × 900 pane at
// one zoom (×1/8 unless given) over a large map after every cell has been shown once,
// repainted in place and after page scrolls, in alternated rounds with a reference paint
// that fills the same kind of frame bitmap by one copy of a ready picture and puts it on the
// screen. Prints one line for scripts/bench:
//   first_paint_ms repaint_ms page_ms reference_ms cached_cells
// (medians of the CPU time spent in the paint handlers; the first paint builds its cells).
// With FRAME_PNG the pane as shown at the middle of the map is saved there, so that two
// builds can be compared pixel for pixel.
#include <time.h>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/rawbmp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/map_viewer.h"

namespace {

using zorvane::MapPane;

class BenchApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

const wxSize kPane(1280, 900);

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool pumpUntil(const std::function<bool()>& done, double seconds = 10) {
    auto start = std::chrono::steady_clock::now();
    while (!done()) {
        if (since(start) > seconds) return false;
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
    }
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double cpuNow() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// The least a paint of the pane can cost: the same frame bitmap filled by one copy of a
// ready picture of its size, then put on the screen.
class BlitPane : public wxWindow {
  public:
    explicit BlitPane(wxWindow* parent) : wxWindow(parent, wxID_ANY) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        picture_.resize(size_t(kPane.x) * kPane.y * 3);
        for (size_t i = 0; i < picture_.size(); ++i) picture_[i] = uint8_t(i * 7);
        frame_.Create(kPane.x, kPane.y, 24);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            const double start = cpuNow();
            wxPaintDC dc(this);
            {
                wxNativePixelData data(frame_);
                auto* row = reinterpret_cast<uint8_t*>(data.GetPixels().m_ptr);
                for (int y = 0; y < kPane.y; ++y, row += data.GetRowStride())
                    std::memcpy(row, &picture_[size_t(y) * kPane.x * 3], size_t(kPane.x) * 3);
            }
            dc.DrawBitmap(frame_, 0, 0);
            seconds = cpuNow() - start;
            ++paints;
        });
    }
    double seconds = 0;
    long paints = 0;

  private:
    std::vector<uint8_t> picture_;
    wxBitmap frame_;
};

// Repaints a window now and gives the time its paint handler took.
double repaint(wxWindow* window, const std::function<long()>& paints,
               const std::function<double()>& seconds) {
    const long before = paints();
    window->Refresh(false);
    window->Update();
    if (!pumpUntil([&] { return paints() > before; })) {
        std::fprintf(stderr, "no paint arrived\n");
        std::exit(1);
    }
    return seconds();
}

void scrollPage(MapPane* pane, bool down) {
    wxScrollWinEvent event(down ? wxEVT_SCROLLWIN_PAGEDOWN : wxEVT_SCROLLWIN_PAGEUP, 0, wxVERTICAL);
    event.SetEventObject(pane);
    pane->GetEventHandler()->ProcessEvent(event);
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: map_viewer_gui_bench PROJECT MAP_ID [ROUNDS [ZOOM_MODE [FRAME_PNG]]]\n");
        return 2;
    }
    const std::string project = argv[1];
    const int mapId = std::atoi(argv[2]);
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 21;
    const int zoomMode = argc > 4 ? std::atoi(argv[4]) : 4;
    const std::string framePng = argc > 5 ? argv[5] : "";
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "wx could not start (is there a display?)\n");
        return 1;
    }
    wxLog::SetActiveTarget(new wxLogStderr);

    zorvane::AppContext context;
    if (!context.database.open(project)) {
        std::fprintf(stderr, "%s cannot be opened\n", project.c_str());
        return 1;
    }
    context.settings.mapViewer.render.zoomMode = zoomMode;
    zorvane::MapViewerMemory memory;
    auto* viewer = new zorvane::MapViewer(context, memory);
    viewer->Move(0, 0);
    viewer->Show();
    MapPane* pane = viewer->pane();
    // Grow the window until the pane's client area is the size to time.
    for (int i = 0; i < 4 && pane->GetClientSize() != kPane; ++i) {
        viewer->SetSize(viewer->GetSize() + kPane - pane->GetClientSize());
        pumpUntil([] { return false; }, 0.3);
    }
    if (pane->GetClientSize() != kPane) {
        std::fprintf(stderr, "the pane is %dx%d, not %dx%d (screen too small?)\n",
                     pane->GetClientSize().x, pane->GetClientSize().y, kPane.x, kPane.y);
        return 1;
    }
    auto* referenceFrame = new wxFrame(nullptr, wxID_ANY, "reference", wxPoint(0, 1020));
    auto* reference = new BlitPane(referenceFrame);
    referenceFrame->SetClientSize(kPane);
    referenceFrame->Show();

    auto ourPaints = [pane] { return pane->paintCount(); };
    auto ourSeconds = [pane] { return pane->lastPaintCpuSeconds(); };
    pumpUntil([] { return false; }, 0.3);
    viewer->selectMap(mapId);  // the first paint of the map builds the cells it shows
    const double first = repaint(pane, ourPaints, ourSeconds);
    // Every cell once, so that the timed paints find them all cached.
    const zorvane::MapViewport& view = pane->view();
    for (int y = 0;; y += view.clientHeight()) {
        for (int x = 0;; x += view.clientWidth()) {
            pane->scrollTo(x, y);
            repaint(pane, ourPaints, ourSeconds);
            if (x + view.clientWidth() >= view.mapPixelWidth()) break;
        }
        if (y + view.clientHeight() >= view.mapPixelHeight()) break;
    }
    if (!framePng.empty()) {
        pane->scrollTo(view.mapPixelWidth() / 2, view.mapPixelHeight() / 2);
        repaint(pane, ourPaints, ourSeconds);
        wxClientDC screen(pane);
        wxBitmap shot(kPane.x, kPane.y, 24);
        wxMemoryDC copy(shot);
        copy.Blit(0, 0, kPane.x, kPane.y, &screen, 0, 0);
        copy.SelectObject(wxNullBitmap);
        wxImage::AddHandler(new wxPNGHandler);
        if (!shot.ConvertToImage().SaveFile(framePng, wxBITMAP_TYPE_PNG)) return 1;
    }
    pane->scrollTo(0, 0);

    std::vector<double> full, paged, blit;
    bool down = true;
    for (int r = 0; r < rounds; ++r) {
        full.push_back(repaint(pane, ourPaints, ourSeconds));
        const int before = view.scrollY();
        scrollPage(pane, down);
        if (view.scrollY() == before) {  // at an edge: turn round
            down = !down;
            scrollPage(pane, down);
        }
        paged.push_back(repaint(pane, ourPaints, ourSeconds));
        blit.push_back(repaint(
            reference, [reference] { return reference->paints; },
            [reference] { return reference->seconds; }));
    }
    std::printf("%.2f %.2f %.2f %.2f %zu\n", first * 1e3, median(full) * 1e3, median(paged) * 1e3,
                median(blit) * 1e3, viewer->cache().size());
    viewer->Destroy();
    referenceFrame->Destroy();
    pumpUntil([] { return false; }, 0.2);
    wxEntryCleanup();
    return 0;
}

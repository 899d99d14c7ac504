// The map viewer "マップビュアー": the zoom buttons, the simple-map and grid switches and the
// map tree on the left, the scrolled map pane on the right, the status bar below; the map
// is drawn cell by cell through the renderer and its cache, saved as a picture, and its
// settings page opened from the menu. The main window hides while the viewer is open.
#pragma once
#include <wx/frame.h>
#include <wx/treectrl.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "map/map_data.h"
#include "map/map_info_tree.h"
#include "map/map_view.h"
#include "map/tilemap_renderer.h"

class wxCheckBox;
class wxSplitterWindow;
class wxToggleButton;

namespace zorvane {

class CharacterPreview;

enum MapViewerStatusPart { kStatusMap = 1, kStatusMouse = 2, kStatusCursor = 3, kStatusNote = 4 };

// The scrolled pane: scroll bars, dragging, the right button, and the paint, which draws
// the visible cells into one frame bitmap and puts it on the screen at once.
class MapPane : public wxWindow {
  public:
    struct Listener {
        std::function<void(CellPoint)> hover, rightDown, rightUp;
        // Ctrl+wheel: notches up (positive) zoom in.
        std::function<void(int notches)> zoom;
    };

    MapPane(wxWindow* parent, Listener listener);

    // What to draw: the renderer and cache of the shown map (null for none).
    void setSource(TilemapRenderer* renderer, CellCache* cache);
    // A map of width × height cells at `zoomMode`, shown from (0, 0).
    void setMap(int widthCells, int heightCells, int zoomMode);
    void setDrawing(const ViewDrawing& drawing);
    const ViewDrawing& drawing() const { return drawing_; }
    const MapViewport& view() const { return view_; }
    void scrollTo(int64_t x, int64_t y);
    // Where a map cell lies on the screen now.
    wxRect cellRectOnScreen(CellPoint cell) const;
    // Where each paint writes its trace ("" for none).
    void setTracePath(std::string path) { tracePath_ = std::move(path); }

    // The time the last paint took (on the clock and in CPU time), and the paints so far.
    double lastPaintSeconds() const { return lastPaintSeconds_; }
    double lastPaintCpuSeconds() const { return lastPaintCpuSeconds_; }
    long paintCount() const { return paintCount_; }

  private:
    void onPaint();
    void onSize();
    void onScroll(wxScrollWinEvent& event);
    void onMouse(wxMouseEvent& event);
    void onWheel(wxMouseEvent& event);
    void onKey(wxKeyEvent& event);
    bool AcceptsFocus() const override { return true; }
    void updateScrollBars();
    void writeTrace(const std::string& text) const;

    Listener listener_;
    TilemapRenderer* renderer_ = nullptr;
    CellCache* cache_ = nullptr;
    ReducedCells reduced_;
    MapViewport view_;
    ViewDrawing drawing_;
    wxBitmap frame_;
    std::string tracePath_;
    std::string trace_;
    bool dragging_ = false;
    bool rightDown_ = false;
    int wheelRest_ = 0;  // rotation short of a whole notch (touchpads send small steps)
    wxPoint anchor_;
    double lastPaintSeconds_ = 0;
    double lastPaintCpuSeconds_ = 0;
    long paintCount_ = 0;
};

// What outlives one opening of the viewer while the program runs.
struct MapViewerMemory {
    int currentMapId = 0;
};

class MapViewer : public wxFrame {
  public:
    // Control ids the program has always used.
    enum {
        kIdSimpleMap = 1003,
        kIdZoom1 = 1008,
        kIdTree = 1009,
        kIdZoomHalf = 1010,
        kIdZoomQuarter = 1011,
        kIdZoom2 = 1015,
        kIdZoomEighth = 1016,
        kIdGrid = 1004,
        kIdStatus = 901,
    };

    MapViewer(AppContext& context, MapViewerMemory& memory);
    ~MapViewer() override;

    // Shows map `id`; -1 shows the current map again after a zoom or option change.
    void showMap(int id);
    // Selects the map in the tree (which shows it); a map the tree does not hold shows the
    // first map instead.
    void selectMap(int id);
    void setZoom(int zoomMode);
    void setSimpleMap(bool on);
    void setGrid(bool on);
    // "保存(&S)" and "設定(&C)".
    void savePicture();
    void showSettings();

    MapPane* pane() const { return pane_; }
    wxTreeCtrl* tree() const { return tree_; }
    const MapData& map() const { return map_; }
    const CellCache& cache() const { return cache_; }
    CharacterPreview* preview() const { return preview_; }
    CellPoint cursor() const { return cursor_; }
    wxToggleButton* zoomButton(int zoomMode) const { return zoomButtons_[size_t(zoomMode)]; }
    wxCheckBox* simpleMapBox() const { return simpleMap_; }
    wxCheckBox* gridBox() const { return grid_; }
    std::string statusText(int part) const;
    int panelWidth() const { return panelWidth_; }
    void setPanelWidth(int width);

  private:
    wxWindow* buildPanel(wxWindow* parent);
    void createMenu();
    void bindEvents();
    void loadMap(int id);
    static std::string tilesetNote(const MapData& map);
    void rebuildRenderer();
    void updateTitle();
    void updateDrawing();
    void syncControls();
    void layoutStatusBar();
    void onHover(CellPoint cell);
    void onRightDown(CellPoint cell);
    void onRightUp(CellPoint cell);
    void onClose(wxCloseEvent& event);
    void rememberPlace();
    RenderOptions& options() { return context_.settings.mapViewer.render; }

    AppContext& context_;
    MapViewerMemory& memory_;
    MapInfoTree maps_;
    MapData map_;
    bool mapShown_ = false;
    std::unique_ptr<TilemapRenderer> renderer_;
    CellCache cache_;
    CellPoint cursor_;
    wxSplitterWindow* splitter_ = nullptr;
    wxWindow* panel_ = nullptr;
    MapPane* pane_ = nullptr;
    wxTreeCtrl* tree_ = nullptr;
    std::map<int, wxTreeItemId> items_;
    std::array<wxToggleButton*, kZoomModeCount> zoomButtons_{};
    wxCheckBox* simpleMap_ = nullptr;
    wxCheckBox* grid_ = nullptr;
    CharacterPreview* preview_ = nullptr;
    int panelWidth_ = 0;
    int panelFloor_ = 0;  // the panel never gets narrower than it first was
};

// Sets the main window's map viewer hook: the viewer opens on the last map shown, and is
// closed before another project opens.
void joinMapViewer(AppContext& context);

}  // namespace zorvane

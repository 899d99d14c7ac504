// The map viewer. The pane draws into one frame bitmap per paint, stretching cached cells
// straight into its pixels, and puts it on the screen at once; only the cells near the
// view are ever built. The cell cache is emptied only when what a cell shows can change
// (another map, the simple map, the layer, event, panorama, fog or colour settings); in
// between it and the reduced strips keep what was shown last, within their byte bounds.
#include "app/map_viewer.h"

#include <wx/artprov.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/imaglist.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/progdlg.h>
#include <wx/rawbmp.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statbox.h>
#include <wx/statusbr.h>
#include <wx/tglbtn.h>
#include <wx/weakref.h>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>

#include "app/character_preview.h"
#include "app/file_dialogs.h"
#include "app/frame_place.h"
#include "app/main_frame.h"
#include "app/map_tree_picker.h"
#include "app/message_box.h"
#include "app/settings_dialog.h"
#include "app/viewer_windows.h"
#include "app/wx_text.h"
#include "map/map_picture.h"
#include "platform/file_util.h"
#include "platform/folders.h"

namespace zorvane {

namespace {

// The panel and a map pane of about twenty-five by nineteen cells at ×1.
const wxSize kDefaultSize(1040, 700);

const char* const kTitle = wxTRANSLATE("マップビュアー");
// Status part widths after the part under the left panel; the last takes the rest. The two
// cell parts are 50 pixels, or as wide as "000,000" needs in the status bar's font, which
// on this desktop is larger than the 50 pixels were made for.
constexpr int kStatusWidths[] = {214, 50, 50, -1};
constexpr int kStatusParts = 5;
const char* const kWidestCell = "000,000";
constexpr int kStatusTextMargin = 12;

struct ZoomButtonRow {
    int id;
    int zoomMode;
    const char* label;
};
const ZoomButtonRow kZoomButtons[] = {
    {MapViewer::kIdZoom2, 0, "×2/1"},      {MapViewer::kIdZoom1, 1, "×1/1"},
    {MapViewer::kIdZoomHalf, 2, "×1/2"},   {MapViewer::kIdZoomQuarter, 3, "×1/4"},
    {MapViewer::kIdZoomEighth, 4, "×1/8"},
};

const BarRow<MapViewer> kBarRows[] = {
    {wxTRANSLATE("保存(&S)"), &MapViewer::savePicture},
    {wxTRANSLATE("設定(&C)"), &MapViewer::showSettings},
};

const std::vector<FileFilter> kPictureFilters = {
    {wxTRANSLATE("BMPファイル(*.bmp)"), "*.bmp"},
    {wxTRANSLATE("PNGファイル(*.png)"), "*.png"},
    {wxTRANSLATE("JPEGファイル(*.jpg;*.jpeg)"), "*.jpg;*.jpeg"},
};
const char* const kPictureExtensions[] = {"bmp", "png", "jpg"};
const char* const kFullSizeQuestion = wxTRANSLATE(
    "マップサイズが大きすぎてメモリ確保に失敗した可能性があります\n等倍BMPで再試行しますか？");
const char* const kSaveFailed = wxTRANSLATE("マップ画像の保存に失敗しました");

std::string cellText(CellPoint cell) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03d,%03d", cell.x, cell.y);
    return buf;
}

// On a busy machine the time a paint takes on the clock says little; its CPU time counts.
double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

int validZoom(int zoomMode) {
    return zoomMode >= 0 && zoomMode < kZoomModeCount ? zoomMode : 1;
}

Rgb toRgb(const wxColour& c) {
    return {c.Red(), c.Green(), c.Blue()};
}

// Whether two sets of options make different cells.
bool cellsDiffer(const RenderOptions& a, const RenderOptions& b) {
    return a.viewLayer1 != b.viewLayer1 || a.viewLayer2 != b.viewLayer2 ||
           a.viewLayer3 != b.viewLayer3 || a.viewMapEvent1 != b.viewMapEvent1 ||
           a.viewMapEvent2 != b.viewMapEvent2 || a.viewPanorama != b.viewPanorama ||
           a.viewFog != b.viewFog || a.simpleMap != b.simpleMap ||
           !(colourFromText(a.colorSimple1) == colourFromText(b.colorSimple1)) ||
           !(colourFromText(a.colorSimple2) == colourFromText(b.colorSimple2));
}

// A progress box that appears only when saving takes a while; its cancel button stops it.
class SaveProgress {
  public:
    explicit SaveProgress(wxWindow* owner) : owner_(owner), start_(Clock::now()) {}

    void update(int done, int total) {
        if (!dialog_) {
            if (Clock::now() - start_ < std::chrono::milliseconds(400)) return;
            dialog_ = std::make_unique<wxProgressDialog>(
                tr(kTitle), tr("マップ画像を保存しています…"), total, owner_,
                wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_AUTO_HIDE | wxPD_ELAPSED_TIME);
        }
        if (!dialog_->Update(std::min(done, total))) abort = true;
    }

    std::atomic<bool> abort{false};

  private:
    using Clock = std::chrono::steady_clock;
    wxWindow* owner_;
    Clock::time_point start_;
    std::unique_ptr<wxProgressDialog> dialog_;
};

}  // namespace

// ---- the pane

MapPane::MapPane(wxWindow* parent, Listener listener)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
               wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      listener_(std::move(listener)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) { onPaint(); });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        onSize();
        event.Skip();
    });
    for (const auto& type :
         {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP,
          wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN,
          wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE})
        Bind(type, &MapPane::onScroll, this);
    for (const auto& type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP, wxEVT_MOTION})
        Bind(type, &MapPane::onMouse, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { dragging_ = false; });
    Bind(wxEVT_MOUSEWHEEL, &MapPane::onWheel, this);
    Bind(wxEVT_KEY_DOWN, &MapPane::onKey, this);
}

void MapPane::setSource(TilemapRenderer* renderer, CellCache* cache) {
    renderer_ = renderer;
    cache_ = cache;
    reduced_.clear();
    Refresh(false);
}

void MapPane::setMap(int widthCells, int heightCells, int zoomMode) {
    view_.setMap(widthCells, heightCells, zoomMode);
    wxSize client = GetClientSize();
    view_.setClientSize(client.x, client.y);
    updateScrollBars();
    Refresh(false);
}

void MapPane::setDrawing(const ViewDrawing& drawing) {
    drawing_ = drawing;
    Refresh(false);
}

void MapPane::scrollTo(int64_t x, int64_t y) {
    view_.scrollTo(x, y);
    updateScrollBars();
    Refresh(false);
}

wxRect MapPane::cellRectOnScreen(CellPoint cell) const {
    const int size = view_.cellSize();
    return {
        ClientToScreen(wxPoint(cell.x * size - view_.scrollX(), cell.y * size - view_.scrollY())),
        wxSize(size, size)};
}

void MapPane::updateScrollBars() {
    SetScrollbar(wxHORIZONTAL, view_.scrollX(), view_.clientWidth(), view_.mapPixelWidth());
    SetScrollbar(wxVERTICAL, view_.scrollY(), view_.clientHeight(), view_.mapPixelHeight());
}

void MapPane::onSize() {
    wxSize client = GetClientSize();
    if (client.x == view_.clientWidth() && client.y == view_.clientHeight()) return;
    view_.setClientSize(client.x, client.y);
    updateScrollBars();
    Refresh(false);
}

void MapPane::onScroll(wxScrollWinEvent& event) {
    const bool horizontal = event.GetOrientation() == wxHORIZONTAL;
    int64_t x = view_.scrollX(), y = view_.scrollY();
    int64_t& moved = horizontal ? x : y;
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_SCROLLWIN_PAGEUP)
        moved -= kViewPageStep;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN)
        moved += kViewPageStep;
    else if (type == wxEVT_SCROLLWIN_LINEUP)
        moved -= view_.cellSize();
    else if (type == wxEVT_SCROLLWIN_LINEDOWN)
        moved += view_.cellSize();
    else if (type == wxEVT_SCROLLWIN_TOP)
        moved = 0;
    else if (type == wxEVT_SCROLLWIN_BOTTOM)
        moved = horizontal ? view_.mapPixelWidth() : view_.mapPixelHeight();
    else if (type == wxEVT_SCROLLWIN_THUMBTRACK || type == wxEVT_SCROLLWIN_THUMBRELEASE)
        moved = event.GetPosition();
    scrollTo(x, y);
}

// A notch moves the map by whole cells (as many as the desktop's lines per notch), Shift
// turns it sideways, Ctrl zooms instead.
void MapPane::onWheel(wxMouseEvent& event) {
    const int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
    wheelRest_ += event.GetWheelRotation();
    const int notches = wheelRest_ / delta;
    wheelRest_ -= notches * delta;
    if (notches == 0) return;
    if (event.ControlDown()) {
        if (listener_.zoom) listener_.zoom(notches);
        return;
    }
    const int64_t step = int64_t(std::max(1, event.GetLinesPerAction())) * view_.cellSize();
    if (event.GetWheelAxis() == wxMOUSE_WHEEL_HORIZONTAL)
        scrollTo(int64_t(view_.scrollX()) + notches * step, view_.scrollY());
    else if (event.ShiftDown())
        scrollTo(int64_t(view_.scrollX()) - notches * step, view_.scrollY());
    else
        scrollTo(view_.scrollX(), int64_t(view_.scrollY()) - notches * step);
}

void MapPane::onKey(wxKeyEvent& event) {
    const int64_t cell = view_.cellSize();
    int64_t dx = 0, dy = 0;
    switch (event.GetKeyCode()) {
        case WXK_LEFT:
            dx = -cell;
            break;
        case WXK_RIGHT:
            dx = cell;
            break;
        case WXK_UP:
            dy = -cell;
            break;
        case WXK_DOWN:
            dy = cell;
            break;
        case WXK_PAGEUP:
            dy = -kViewPageStep;
            break;
        case WXK_PAGEDOWN:
            dy = kViewPageStep;
            break;
        default:
            event.Skip();
            return;
    }
    scrollTo(int64_t(view_.scrollX()) + dx, int64_t(view_.scrollY()) + dy);
}

void MapPane::onMouse(wxMouseEvent& event) {
    const wxPoint at = event.GetPosition();
    const CellPoint cell = view_.cellAt(at.x, at.y);
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_LEFT_DOWN) {
        SetFocus();  // the arrow keys scroll the map clicked last
        dragging_ = true;
        anchor_ = at;
        if (!HasCapture()) CaptureMouse();
    } else if (type == wxEVT_LEFT_UP) {
        dragging_ = false;
        if (HasCapture()) ReleaseMouse();
    } else if (type == wxEVT_MOTION) {
        if (dragging_ && at != anchor_) {
            scrollTo(int64_t(view_.scrollX()) + anchor_.x - at.x,
                     int64_t(view_.scrollY()) + anchor_.y - at.y);
            anchor_ = at;
        }
        if (listener_.hover) listener_.hover(cell);
    } else if (type == wxEVT_RIGHT_DOWN) {
        if (!rightDown_ && listener_.rightDown) listener_.rightDown(cell);
        rightDown_ = true;
    } else if (type == wxEVT_RIGHT_UP) {
        if (rightDown_ && listener_.rightUp) listener_.rightUp(cell);
        rightDown_ = false;
    }
    event.Skip();
}

void MapPane::onPaint() {
    const auto started = std::chrono::steady_clock::now();
    const double startedCpu = threadCpuSeconds();
    wxPaintDC dc(this);
    const wxSize client = GetClientSize();
    if (client.x <= 0 || client.y <= 0) return;
    if (!frame_.IsOk() || frame_.GetWidth() != client.x || frame_.GetHeight() != client.y)
        frame_.Create(client.x, client.y, 24);
    trace_.clear();
    {
        wxNativePixelData data(frame_);
        if (!data) return;
        FrameBuffer buffer;
        buffer.pixels = reinterpret_cast<uint8_t*>(data.GetPixels().m_ptr);
        buffer.stride = data.GetRowStride();
        buffer.width = client.x;
        buffer.height = client.y;
        buffer.pixelBytes = wxNativePixelFormat::SizePixel;
        buffer.red = wxNativePixelFormat::RED;
        buffer.green = wxNativePixelFormat::GREEN;
        buffer.blue = wxNativePixelFormat::BLUE;
        if (renderer_ && cache_) {
            drawMapView(buffer, view_, *renderer_, *cache_, drawing_,
                        tracePath_.empty() ? nullptr : &trace_, &reduced_);
        } else {
            for (int y = 0; y < client.y; ++y) {
                uint8_t* d = buffer.pixels + y * buffer.stride;
                for (int x = 0; x < client.x; ++x, d += buffer.pixelBytes) {
                    d[buffer.red] = drawing_.background.red;
                    d[buffer.green] = drawing_.background.green;
                    d[buffer.blue] = drawing_.background.blue;
                }
            }
        }
    }
    dc.DrawBitmap(frame_, 0, 0);
    if (!tracePath_.empty()) writeTrace(trace_);
    ++paintCount_;
    lastPaintSeconds_ =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    lastPaintCpuSeconds_ = threadCpuSeconds() - startedCpu;
}

// The whole trace of a paint in one write. The file is overwritten and then cut to length
// rather than emptied first, so a trace of much the same size each paint keeps its pages;
// a trace that cannot be written is skipped.
void MapPane::writeTrace(const std::string& text) const {
    const int fd = ::open(tracePath_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const ssize_t written = text.empty() ? 0 : ::pwrite(fd, text.data(), text.size(), 0);
    const bool cut = written >= 0 && ::ftruncate(fd, written) == 0;
    ::close(fd);
    if (!cut) ::unlink(tracePath_.c_str());  // never leave an old trace looking current
}

// ---- the viewer

MapViewer::MapViewer(AppContext& context, MapViewerMemory& memory)
    : wxFrame(nullptr, wxID_ANY, tr(kTitle),
              placePosition(context.settings.mapViewer.place, kDefaultSize),
              placeSize(context.settings.mapViewer.place, kDefaultSize)),
      context_(context),
      memory_(memory),
      maps_(MapInfoTree::fromProject(context.database)) {
    createMenu();
    CreateStatusBar(kStatusParts, wxSTB_DEFAULT_STYLE, kIdStatus);
    splitter_ = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_3DSASH);
    panel_ = buildPanel(splitter_);
    MapPane::Listener listener;
    listener.hover = [this](CellPoint c) { onHover(c); };
    listener.rightDown = [this](CellPoint c) { onRightDown(c); };
    listener.rightUp = [this](CellPoint c) { onRightUp(c); };
    listener.zoom = [this](int notches) {
        // Zoom modes run from the largest (×2) down: a notch up is one mode less.
        setZoom(std::clamp(validZoom(options().zoomMode) - notches, 0, kZoomModeCount - 1));
    };
    pane_ = new MapPane(splitter_, std::move(listener));
    pane_->setTracePath(joinPath(configFolder(), "debug.txt"));
    panelFloor_ = panel_->GetBestSize().x;
    panelWidth_ = std::max(context_.settings.mapViewer.mapWndWidth, panelFloor_);
    splitter_->SetMinimumPaneSize(1);  // never unsplit by dragging
    splitter_->SetSashGravity(0.0);
    splitter_->SplitVertically(panel_, pane_, panelWidth_);
    preview_ = new CharacterPreview(this, context_.settings.animeWnd);
    layoutStatusBar();
    syncControls();
    updateDrawing();
    bindEvents();
}

MapViewer::~MapViewer() {
    pane_->setSource(nullptr, nullptr);
}

wxWindow* MapViewer::buildPanel(wxWindow* parent) {
    auto* panel = new wxPanel(parent);
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* group = new wxStaticBoxSizer(wxVERTICAL, panel, tr("表示倍率・その他"));
    wxWindow* box = group->GetStaticBox();
    auto* zoomRow = new wxGridSizer(3, 2, 2);
    for (const ZoomButtonRow& row : kZoomButtons) {
        auto* button = new wxToggleButton(box, row.id, toWx(row.label), wxDefaultPosition,
                                          wxDefaultSize, wxBU_EXACTFIT);
        zoomButtons_[size_t(row.zoomMode)] = button;
        zoomRow->Add(button, 0, wxEXPAND);
    }
    group->Add(zoomRow, 0, wxEXPAND | wxALL, 2);
    simpleMap_ = new wxCheckBox(box, kIdSimpleMap, tr("簡易マップ"));
    grid_ = new wxCheckBox(box, kIdGrid, tr("グリッド表示"));
    group->Add(simpleMap_, 0, wxALL, 2);
    group->Add(grid_, 0, wxALL, 2);
    column->Add(group, 0, wxEXPAND | wxALL, 4);

    tree_ = new wxTreeCtrl(panel, kIdTree, wxDefaultPosition, wxDefaultSize,
                           wxTR_DEFAULT_STYLE | wxTR_SINGLE);
    auto* icons = new wxImageList(16, 16);
    icons->Add(wxArtProvider::GetBitmap(wxART_FOLDER, wxART_OTHER, wxSize(16, 16)));
    icons->Add(wxArtProvider::GetBitmap(wxART_FOLDER_OPEN, wxART_OTHER, wxSize(16, 16)));
    tree_->AssignImageList(icons);
    items_ = fillMapTree(*tree_, maps_);
    auto withIcons = [this](const wxTreeItemId& item) {
        tree_->SetItemImage(item, 0, wxTreeItemIcon_Normal);
        tree_->SetItemImage(item, 1, wxTreeItemIcon_Expanded);
        tree_->SetItemImage(item, 1, wxTreeItemIcon_Selected);
        tree_->SetItemImage(item, 1, wxTreeItemIcon_SelectedExpanded);
    };
    withIcons(tree_->GetRootItem());
    for (auto& [id, item] : items_) withIcons(item);
    column->Add(tree_, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 4);
    panel->SetSizer(column);
    return panel;
}

void MapViewer::createMenu() {
    setActingMenuBar(this, kBarRows);
}

void MapViewer::bindEvents() {
    for (const ZoomButtonRow& row : kZoomButtons)
        zoomButtons_[size_t(row.zoomMode)]->Bind(
            wxEVT_TOGGLEBUTTON, [this, mode = row.zoomMode](wxCommandEvent&) { setZoom(mode); });
    simpleMap_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { setSimpleMap(e.IsChecked()); });
    grid_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { setGrid(e.IsChecked()); });
    tree_->Bind(wxEVT_TREE_SEL_CHANGED,
                [this](wxTreeEvent& event) { showMap(mapIdOf(*tree_, event.GetItem())); });
    splitter_->Bind(wxEVT_SPLITTER_SASH_POS_CHANGING, [this](wxSplitterEvent& event) {
        if (event.GetSashPosition() < panelFloor_) event.SetSashPosition(panelFloor_);
    });
    splitter_->Bind(wxEVT_SPLITTER_SASH_POS_CHANGED, [this](wxSplitterEvent& event) {
        panelWidth_ = std::max(event.GetSashPosition(), panelFloor_);
        context_.settings.mapViewer.mapWndWidth = panelWidth_;
        layoutStatusBar();
    });
    splitter_->Bind(wxEVT_SPLITTER_DOUBLECLICKED, [](wxSplitterEvent& event) { event.Veto(); });
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        if (event.GetActive()) pane_->Refresh(false);
        event.Skip();
    });
    Bind(wxEVT_MOVE, [this](wxMoveEvent& event) {
        rememberPlace();
        event.Skip();
    });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        rememberPlace();
        event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, &MapViewer::onClose, this);
}

void MapViewer::setPanelWidth(int width) {
    panelWidth_ = std::max(width, panelFloor_);
    context_.settings.mapViewer.mapWndWidth = panelWidth_;
    splitter_->SetSashPosition(panelWidth_);
    layoutStatusBar();
}

void MapViewer::layoutStatusBar() {
    wxStatusBar* bar = GetStatusBar();
    int widths[kStatusParts] = {panelWidth_};
    std::copy(std::begin(kStatusWidths), std::end(kStatusWidths), widths + 1);
    const int cellWidth = bar->GetTextExtent(toWx(kWidestCell)).x + kStatusTextMargin;
    for (int part : {kStatusMouse, kStatusCursor}) widths[part] = std::max(widths[part], cellWidth);
    bar->SetStatusWidths(kStatusParts, widths);
}

std::string MapViewer::statusText(int part) const {
    return fromWx(GetStatusBar()->GetStatusText(part));
}

void MapViewer::selectMap(int id) {
    auto found = items_.find(id);
    if (found == items_.end()) {
        std::vector<int> order = maps_.editorOrder();
        found = order.empty() ? items_.end() : items_.find(order.front());
    }
    if (found == items_.end()) {
        showMap(id);
        return;
    }
    if (tree_->GetSelection() == found->second)
        showMap(found->first);
    else
        tree_->SelectItem(found->second);  // the selection event shows it
    tree_->EnsureVisible(found->second);
}

void MapViewer::showMap(int id) {
    if (!mapShown_ || (id != -1 && id != memory_.currentMapId)) {
        if (id != -1) memory_.currentMapId = id;
        loadMap(memory_.currentMapId);
    }
    updateTitle();
    pane_->setMap(map_.width, map_.height, options().zoomMode);
}

void MapViewer::loadMap(int id) {
    pane_->setSource(nullptr, nullptr);
    renderer_.reset();
    cache_.clear();
    if (map_.load(context_.database, id, true)) map_.loadTileset(context_.database.tilesets());
    GetStatusBar()->SetStatusText(toWx(tilesetNote(map_)), kStatusNote);
    mapShown_ = true;
    rebuildRenderer();
    preview_->closePreview();
    cursor_ = CellPoint{};
    GetStatusBar()->SetStatusText(wxString(), kStatusCursor);
    updateDrawing();
}

// A map drawn without its tileset picture is black: the status bar says why.
std::string MapViewer::tilesetNote(const MapData& map) {
    const TilesetGraphics& tiles = map.tilesetGraphics;
    if (!map.loaded || tiles.tilesetName.empty() || !tiles.tilesetPicture.empty()) return "";
    return trs("タイルセット画像が見つかりません：") + "Graphics\\Tilesets\\" + tiles.tilesetName;
}

void MapViewer::rebuildRenderer() {
    pane_->setSource(nullptr, nullptr);
    renderer_ = std::make_unique<TilemapRenderer>(map_, options());
    pane_->setSource(renderer_.get(), &cache_);
}

void MapViewer::updateTitle() {
    std::string title = trs(kTitle);
    std::string part1;
    if (map_.loaded) {
        const int id = map_.mapId;
        char size[48];
        std::snprintf(size, sizeof size, " (%d x %d) ", map_.width, map_.height);
        title += " - " + mapFileName(id) + " " +
                 context_.database.label(id, LabelKind::Map, LabelStyle::numbered()) + size +
                 zoomLevel(options().zoomMode).label;
        char head[16];
        std::snprintf(head, sizeof head, "%03d: ", id);
        std::snprintf(size, sizeof size, " (%d x %d)", map_.width, map_.height);
        part1 = head + maps_.nameOf(id) + size;
    }
    SetTitle(toWx(title));
    GetStatusBar()->SetStatusText(toWx(part1), kStatusMap);
}

void MapViewer::updateDrawing() {
    ViewDrawing drawing;
    const MapViewerSettings& s = context_.settings.mapViewer;
    drawing.highQuality = s.zoomQuality;
    drawing.grid = s.render.bltGlid;
    drawing.gridColour = colourFromText(s.render.colorGlid);
    drawing.background = toRgb(wxSystemSettings::GetColour(wxSYS_COLOUR_MENU));
    if (s.bltCursor) drawing.cursor = cursor_;
    pane_->setDrawing(drawing);
}

void MapViewer::syncControls() {
    const int zoom = validZoom(options().zoomMode);
    for (const ZoomButtonRow& row : kZoomButtons)
        zoomButtons_[size_t(row.zoomMode)]->SetValue(row.zoomMode == zoom);
    simpleMap_->SetValue(options().simpleMap);
    grid_->SetValue(options().bltGlid);
}

void MapViewer::setZoom(int zoomMode) {
    options().zoomMode = validZoom(zoomMode);
    syncControls();
    showMap(-1);  // cells do not depend on the zoom: the cache and the strips stay
}

void MapViewer::setSimpleMap(bool on) {
    if (options().simpleMap == on) return;
    options().simpleMap = on;
    cache_.clear();
    rebuildRenderer();
    syncControls();
    showMap(-1);
}

void MapViewer::setGrid(bool on) {
    if (options().bltGlid == on) return;
    options().bltGlid = on;
    syncControls();
    updateDrawing();
}

void MapViewer::showSettings() {
    const RenderOptions before = options();
    if (!runSettingsDialog(this, context_, kPageMapViewer)) return;
    if (cellsDiffer(before, options())) {
        cache_.clear();
        rebuildRenderer();
    }
    syncControls();
    updateDrawing();
    showMap(-1);
}

void MapViewer::savePicture() {
    if (!map_.loaded) return;
    char name[32];
    std::snprintf(name, sizeof name, "Map%04d", memory_.currentMapId);
    std::string file = name;
    const int mode = std::clamp(options().saveMode, 0, 2);
    if (!askSaveFileName(this, file, kPictureFilters, mode, dialogFolder(context_),
                         trs("マップ画像を保存"), kPictureExtensions[mode]))
        return;
    context_.settings.system.lastDir = folderOf(file);
    SaveProgress progress(this);
    MapPictureHooks hooks;
    hooks.askFullSizeBmp = [this] {
        return showMessage(this, trs(kFullSizeQuestion), trs("確認"), wxYES_NO | wxICON_QUESTION) ==
               wxYES;
    };
    hooks.progress = [&progress](int done, int total) { progress.update(done, total); };
    hooks.abort = &progress.abort;
    MapPictureStatus status = saveMapPicture(file, map_, options(), hooks);
    if (status != MapPictureStatus::Saved && status != MapPictureStatus::Aborted)
        showMessage(this, trs(kSaveFailed), trs("エラー"), wxOK | wxICON_ERROR);
}

void MapViewer::onHover(CellPoint cell) {
    GetStatusBar()->SetStatusText(toWx(cellText(cell)), kStatusMouse);
}

void MapViewer::onRightDown(CellPoint cell) {
    for (const auto& [id, event] : map_.events) {
        if (event.x != cell.x || event.y != cell.y || event.pages.empty()) continue;
        const MapEventGraphic& graphic = event.pages.front().graphic;
        if (graphic.tileId != 0) continue;
        auto sheet = map_.characterCache.find(graphic.characterName);
        if (sheet == map_.characterCache.end() || sheet->second.empty()) continue;
        Bitmap32 shown = sheet->second.clone();
        shown.changeHue(graphic.characterHue);
        preview_->SetTitle(toWx(graphic.characterName));
        if (!preview_->showSheet(shown, graphic.direction)) return;
        preview_->placeBeside(pane_->cellRectOnScreen(cell));
        return;
    }
}

void MapViewer::onRightUp(CellPoint cell) {
    cursor_ = cell;
    GetStatusBar()->SetStatusText(toWx(cellText(cell)), kStatusCursor);
    updateDrawing();
}

void MapViewer::rememberPlace() {
    rememberFramePlace(*this, context_.settings.mapViewer.place);
}

void MapViewer::onClose(wxCloseEvent&) {
    rememberPlace();
    preview_->closePreview();
    pane_->setSource(nullptr, nullptr);
    renderer_.reset();
    cache_.clear();
    map_.clear();
    Destroy();
}

// ---- joining the main window

namespace {

struct MapViewerHost {
    MapViewerMemory memory;
    wxWeakRef<MapViewer> window;
};

}  // namespace

void joinMapViewer(AppContext& context) {
    auto host = std::make_shared<MapViewerHost>();
    context.hooks.openMapViewer = [&context, host](wxWindow* owner) {
        if (!context.database.loaded || context.tasks.isBusy()) return;
        if (host->window) {
            host->window->Raise();
            return;
        }
        auto* viewer = new MapViewer(context, host->memory);  // wx deletes it on Destroy()
        host->window = viewer;
        hideMainWhileOpen(dynamic_cast<MainFrame*>(owner), viewer);
        viewer->Show();
        viewer->selectMap(host->memory.currentMapId);
    };
    std::function<void()> previous = context.hooks.closeProjectWindows;
    context.hooks.closeProjectWindows = [previous, host] {
        if (previous) previous();
        if (host->window) host->window->Close(true);
    };
}

}  // namespace zorvane

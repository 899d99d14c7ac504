// The map viewer driven as a user would, on the sample project with two large maps added by
// Ruby: opening in place of the main window, scrolling and dragging, the cursor and the
// character preview, the cache across zoom and option changes, what reaches the screen
// (read back with ImageMagick), saving pictures and the settings page.
#include <gtest/gtest.h>
#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/propdlg.h>
#include <wx/statusbr.h>
#include <wx/tglbtn.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <tuple>
#include <vector>

#include "app/app_context.h"
#include "app/character_preview.h"
#include "app/gui_test_support.h"
#include "app/main_frame.h"
#include "app/map_viewer.h"
#include "app/ruby_names.h"
#include "app/settings_dialog.h"
#include "app/wx_text.h"
#include "platform/file_util.h"
#include "platform/folders.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

struct Pixel {
    uint8_t r, g, b;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The pane's client area as the X server shows it, read with ImageMagick's import.
struct Screen {
    int width = 0, height = 0;
    std::string rgb;
    Pixel at(int x, int y) const {
        const char* p = rgb.data() + (size_t(y) * width + x) * 3;
        return {uint8_t(p[0]), uint8_t(p[1]), uint8_t(p[2])};
    }
};

class MapViewerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<ztest::TempDir>();
        project_ = ztest::copySampleProject(folder_->path());
        if (project_.empty()) return;
        fs::copy(fs::path(ztest::sampleProject()).parent_path() / "Graphics",
                 fs::path(folder_->path()) / "Graphics", fs::copy_options::recursive);
        if (ztest::run("ruby " + ztest::shellQuote(ztest::sourceDir() + "/tools/add_big_maps.rb") +
                       " " + ztest::shellQuote(folder_->file("Data"))) != 0)
            project_.clear();
        names_ = ztest::rubyNames(folder_->file("Data"));
    }
    static void TearDownTestSuite() { folder_.reset(); }

    void SetUp() override {
        if (project_.empty() || !ztest::haveProgram("import"))
            GTEST_SKIP() << "needs the sample project, Ruby and ImageMagick";
        ASSERT_TRUE(context.database.open(project_, ztest::sourceDir() + "/sample/CommonFiles"));
        context.settings.mapViewer.place = {0, 0, 900, 640};
        joinMapViewer(context);
    }

    void TearDown() override {
        if (viewer) viewer->Close(true);
        ztest::pumpUntil([this] { return !viewer; }, 2000);
    }

    static MapViewer* findViewer() {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* found = dynamic_cast<MapViewer*>(w)) return found;
        return nullptr;
    }

    void open(int mapId, int zoomMode, wxWindow* owner = nullptr) {
        context.settings.mapViewer.render.zoomMode = zoomMode;
        context.hooks.openMapViewer(owner);
        viewer = findViewer();
        ASSERT_TRUE(viewer);
        pane = viewer->pane();
        viewer->selectMap(mapId);
        painted();
    }

    // Waits for a paint that starts after now.
    void painted() {
        const long before = pane->paintCount();
        pane->Refresh(false);
        ASSERT_TRUE(ztest::pumpUntil([&] { return pane->paintCount() > before; }));
        ztest::pumpFor(30);
    }

    void mouse(wxEventType type, int x, int y) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.SetEventObject(pane);
        pane->GetEventHandler()->ProcessEvent(event);
    }

    void scroll(wxEventType type, int orientation, int position = 0) {
        wxScrollWinEvent event(type, position, orientation);
        event.SetEventObject(pane);
        pane->GetEventHandler()->ProcessEvent(event);
    }

    // One wheel event of `rotation` (120 a notch) over the pane; `lines` cells a notch.
    void wheel(int rotation, int modifiers = 0, wxMouseWheelAxis axis = wxMOUSE_WHEEL_VERTICAL) {
        wxMouseEvent event(wxEVT_MOUSEWHEEL);
        event.m_wheelRotation = rotation;
        event.m_wheelDelta = 120;
        event.m_linesPerAction = 3;
        event.m_wheelAxis = axis;
        event.SetShiftDown(modifiers & wxMOD_SHIFT);
        event.SetControlDown(modifiers & wxMOD_CONTROL);
        event.SetEventObject(pane);
        pane->GetEventHandler()->ProcessEvent(event);
    }

    void key(int code) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        event.SetEventObject(pane);
        pane->GetEventHandler()->ProcessEvent(event);
    }

    Screen capture() {
        const wxPoint at = pane->ClientToScreen(wxPoint(0, 0));
        const wxSize size = pane->GetClientSize();
        ztest::TempDir scratch;
        std::ostringstream command;
        command << "import -window root -crop " << size.x << "x" << size.y << "+" << at.x << "+"
                << at.y << " -depth 8 rgb:" << scratch.file("pane.rgb");
        EXPECT_EQ(ztest::run(command.str()), 0);
        return {size.x, size.y, ztest::readFile(scratch.file("pane.rgb"))};
    }

    // Captures the pane until `check` finds nothing wrong (it names the first fault it
    // finds): on a loaded machine the X server may show a paint a little after it is made.
    void expectScreen(const std::function<std::string(const Screen&)>& check) {
        std::string fault;
        for (int attempt = 0; attempt < 15; ++attempt) {
            fault = check(capture());
            if (fault.empty()) return;
            ztest::pumpFor(200);
        }
        ADD_FAILURE() << fault;
    }

    static std::string describe(const Pixel& p) {
        std::ostringstream out;
        out << "(" << int(p.r) << "," << int(p.g) << "," << int(p.b) << ")";
        return out.str();
    }

    // Cells as the renderer builds them, transparent pixels shown white.
    Pixel expected(const Bitmap32& cell, int x, int y) {
        uint32_t p = cell.pixel(x, y);
        if (alphaOf(p) == 0) return {255, 255, 255};
        return {redOf(p), greenOf(p), blueOf(p)};
    }

    std::map<std::pair<int, int>, std::string> traceLines() {
        std::map<std::pair<int, int>, std::string> cells;
        std::istringstream text(ztest::readFile(joinPath(configFolder(), "debug.txt")));
        for (std::string line; std::getline(text, line);) {
            int x = 0, y = 0;
            char id[16] = {};
            if (std::sscanf(line.c_str(), "(%d,%d) %8s", &x, &y, id) == 3) cells[{x, y}] = id;
        }
        return cells;
    }

    std::string mapName(int id) {
        for (const auto& row : names_["map"])
            if (std::stoi(row[0]) == id) return row[3];
        return "?";
    }

    static std::unique_ptr<ztest::TempDir> folder_;
    static std::string project_;
    static std::map<std::string, std::vector<std::vector<std::string>>> names_;
    AppContext context;
    wxWeakRef<MapViewer> viewer;
    MapPane* pane = nullptr;
};

std::unique_ptr<ztest::TempDir> MapViewerTest::folder_;
std::string MapViewerTest::project_;
std::map<std::string, std::vector<std::vector<std::string>>> MapViewerTest::names_;

TEST_F(MapViewerTest, TakesThePlaceOfTheMainWindowAndReopensOnTheLastMap) {
    ztest::MessageBoxes boxes;
    wxWeakRef<MainFrame> main(startApplication(context, {project_}));
    ASSERT_TRUE(main);
    wxCommandEvent command(wxEVT_MENU, kCmdMapViewer);
    main->GetEventHandler()->ProcessEvent(command);
    viewer = findViewer();
    ASSERT_TRUE(viewer);
    EXPECT_FALSE(main->IsShown());
    // The first map in editor order is shown first.
    int first = 0;
    for (const auto& row : names_["map"])
        if (row[2] == "1") first = std::stoi(row[0]);
    EXPECT_EQ(viewer->map().mapId, first);
    EXPECT_EQ(viewer->tree()->GetCount(), names_["map"].size() + 1);
    EXPECT_EQ(viewer->tree()->GetItemImage(viewer->tree()->GetRootItem()), 0);

    viewer->setPanelWidth(1);  // the left panel never gets narrower than it started
    EXPECT_GT(viewer->panelWidth(), 100);
    EXPECT_EQ(context.settings.mapViewer.mapWndWidth, viewer->panelWidth());
    // The status parts start at the panel's edge, the map part is 214 wide, and the two
    // cell parts hold "000,000" without cutting it.
    wxStatusBar* bar = viewer->GetStatusBar();
    wxRect part;
    ASSERT_TRUE(bar->GetFieldRect(kStatusMap, part));
    EXPECT_NEAR(part.x, viewer->panelWidth(), 4);
    EXPECT_NEAR(part.width, 214, 4);
    for (int cellPart : {kStatusMouse, kStatusCursor}) {
        ASSERT_TRUE(bar->GetFieldRect(cellPart, part));
        EXPECT_GT(part.width, bar->GetTextExtent("000,000").x) << "part " << cellPart;
    }
    viewer->selectMap(9);
    std::string title = "マップビュアー - Map009.rxdata [009:" + mapName(9) + "] (500 x 500) x100%";
    EXPECT_EQ(fromWx(viewer->GetTitle()), title);
    EXPECT_EQ(viewer->statusText(kStatusMap), "009: " + mapName(9) + " (500 x 500)");
    viewer->Close(true);
    ASSERT_TRUE(ztest::pumpUntil([&] { return !viewer && main->IsShown(); }));

    main->GetEventHandler()->ProcessEvent(command);
    viewer = findViewer();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->map().mapId, 9);
    viewer->Close(true);
    ASSERT_TRUE(ztest::pumpUntil([&] { return !viewer && main->IsShown(); }));
    main->Destroy();
    // Gone before the fixture's context is: what it still has queued would use it.
    ASSERT_TRUE(ztest::pumpUntil([&] { return !main; }));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MapViewerTest, PagesLinesWheelKeysThumbsAndDraggingStayInsideTheMap) {
    open(9, 4);  // ×1/8: 500 cells of 4 pixels
    const MapViewport& v = pane->view();
    ASSERT_EQ(v.mapPixelWidth(), 2000);
    ASSERT_EQ(v.mapPixelHeight(), 2000);
    const int maxX = 2000 - v.clientWidth(), maxY = 2000 - v.clientHeight();
    const int cell = 4, notch = 3 * cell;  // a line is a cell; a notch is 3 lines
    struct Step {
        std::function<void()> act;
        int x, y;
    };
    const Step steps[] = {
        {[&] { scroll(wxEVT_SCROLLWIN_PAGEDOWN, wxVERTICAL); }, 0, 128},
        {[&] { scroll(wxEVT_SCROLLWIN_PAGEDOWN, wxHORIZONTAL); }, 128, 128},
        {[&] { scroll(wxEVT_SCROLLWIN_LINEDOWN, wxVERTICAL); }, 128, 128 + cell},
        {[&] { scroll(wxEVT_SCROLLWIN_LINEUP, wxHORIZONTAL); }, 128 - cell, 128 + cell},
        {[&] { wheel(-120); }, 128 - cell, 128 + cell + notch},  // a notch down
        {[&] { wheel(240); }, 128 - cell, 128 + cell - notch},   // two notches up
        {[&] { wheel(-60); }, 128 - cell, 128 + cell - notch},   // half a notch waits
        {[&] { wheel(-60); }, 128 - cell, 128 + cell},           // and completes one
        {[&] { wheel(-120, wxMOD_SHIFT); }, 128 - cell + notch, 128 + cell},
        {[&] { wheel(-120, 0, wxMOUSE_WHEEL_HORIZONTAL); }, 128 - cell, 128 + cell},
        {[&] { key(WXK_RIGHT); }, 128, 128 + cell},
        {[&] { key(WXK_UP); }, 128, 128},
        {[&] { scroll(wxEVT_SCROLLWIN_PAGEUP, wxHORIZONTAL); }, 0, 128},
        {[&] { key(WXK_LEFT); }, 0, 128},
        {[&] { scroll(wxEVT_SCROLLWIN_PAGEUP, wxHORIZONTAL); }, 0, 128},
        {[&] { scroll(wxEVT_SCROLLWIN_THUMBTRACK, wxVERTICAL, 5000); }, 0, maxY},
        {[&] { scroll(wxEVT_SCROLLWIN_PAGEDOWN, wxVERTICAL); }, 0, maxY},
        {[&] {  // drag left and down far beyond the map
             mouse(wxEVT_LEFT_DOWN, 100, 100);
             mouse(wxEVT_MOTION, 90, 110);
             mouse(wxEVT_MOTION, -9000, 9000);
             mouse(wxEVT_LEFT_UP, -9000, 9000);
         },
         maxX, 0},
        {[&] { mouse(wxEVT_MOTION, 500, 500); }, maxX, 0},  // not dragging any more
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act();
        EXPECT_EQ(v.scrollX(), steps[i].x) << "step " << i;
        EXPECT_EQ(v.scrollY(), steps[i].y) << "step " << i;
        EXPECT_EQ(pane->GetScrollPos(wxHORIZONTAL), steps[i].x) << "step " << i;
        EXPECT_EQ(pane->GetScrollRange(wxVERTICAL), 2000);
    }

    // Ctrl+wheel zooms: a notch up one step larger, down one smaller, never past ×2.
    wheel(120, wxMOD_CONTROL);
    EXPECT_EQ(context.settings.mapViewer.render.zoomMode, 3);
    EXPECT_EQ(pane->view().cellSize(), 8);
    wheel(-240, wxMOD_CONTROL);
    EXPECT_EQ(context.settings.mapViewer.render.zoomMode, 4);
    wheel(120 * 9, wxMOD_CONTROL);
    EXPECT_EQ(context.settings.mapViewer.render.zoomMode, 0);
    EXPECT_TRUE(viewer->zoomButton(0)->GetValue());
    wheel(-120 * 4, wxMOD_CONTROL);
    EXPECT_EQ(context.settings.mapViewer.render.zoomMode, 4);

    viewer->selectMap(4);  // 12 × 10 cells at ×1/8: far smaller than the pane
    for (wxEventType type : {wxEVT_SCROLLWIN_PAGEDOWN, wxEVT_SCROLLWIN_THUMBTRACK})
        scroll(type, wxVERTICAL, 200);
    mouse(wxEVT_LEFT_DOWN, 100, 100);
    mouse(wxEVT_MOTION, 10, 10);
    mouse(wxEVT_LEFT_UP, 10, 10);
    EXPECT_EQ(v.scrollX(), 0);
    EXPECT_EQ(v.scrollY(), 0);
}

// A map whose tileset picture is gone draws black; the status bar names the picture.
TEST_F(MapViewerTest, AMissingTilesetPictureIsNamedInTheStatusBar) {
    // The stand-in RTP holds a picture of the same name; this project must not find it.
    ASSERT_TRUE(context.database.open(project_, ""));
    open(1, 1);
    EXPECT_EQ(viewer->statusText(kStatusNote), "");
    const fs::path picture = fs::path(folder_->path()) / "Graphics/Tilesets/sample_tiles.png";
    fs::rename(picture, picture.string() + ".away");
    viewer->selectMap(9);
    std::string note = viewer->statusText(kStatusNote);
    fs::rename(picture.string() + ".away", picture);
    EXPECT_NE(note.find("Graphics\\Tilesets\\sample_tiles"), std::string::npos) << note;
}

TEST_F(MapViewerTest, RightButtonPlacesTheCursorAndPreviewsCharacters) {
    open(9, 1);
    mouse(wxEVT_MOTION, 5 * 32 + 3, 6 * 32 + 31);
    EXPECT_EQ(viewer->statusText(kStatusMouse), "005,006");
    mouse(wxEVT_RIGHT_DOWN, 5 * 32 + 3, 6 * 32 + 31);
    mouse(wxEVT_RIGHT_UP, 5 * 32 + 3, 6 * 32 + 31);
    EXPECT_EQ(viewer->cursor(), (CellPoint{5, 6}));
    EXPECT_EQ(viewer->statusText(kStatusCursor), "005,006");
    EXPECT_FALSE(viewer->preview()->IsShown());

    // Event 1 stands on (3, 3) as "hero", facing down: the top row of its 4 × 4 sheet.
    mouse(wxEVT_RIGHT_DOWN, 3 * 32 + 16, 3 * 32 + 16);
    CharacterPreview* preview = viewer->preview();
    ASSERT_TRUE(preview->IsShown());
    // Beside the clicked cell: not over it, a few pixels off its side, level with it.
    const wxRect cell = pane->cellRectOnScreen({3, 3}), shown = preview->GetRect();
    EXPECT_EQ(cell.GetTopLeft(), pane->ClientToScreen(wxPoint(3 * 32, 3 * 32)));
    EXPECT_FALSE(shown.Intersects(cell));
    EXPECT_LE(shown.x > cell.x ? shown.x - cell.GetRight() : cell.x - shown.GetRight(), 16);
    EXPECT_NEAR(shown.y, cell.y, 16);
    std::string size;
    ztest::run("identify -format '%w %h' " +
                   ztest::shellQuote(folder_->file("Graphics/Characters/hero.png")),
               &size);
    int w = 0, h = 0;
    ASSERT_EQ(std::sscanf(size.c_str(), "%d %d", &w, &h), 2);
    EXPECT_EQ(preview->frameWidth(), w / 4);
    EXPECT_EQ(preview->frameHeight(), h / 4);
    EXPECT_EQ(preview->GetClientSize(), wxSize(w / 4, h / 4));
    const int frame = preview->shownFrame();
    ASSERT_TRUE(ztest::pumpUntil([&] { return preview->shownFrame() != frame; }));
    mouse(wxEVT_RIGHT_UP, 3 * 32 + 16, 3 * 32 + 16);
    EXPECT_EQ(viewer->statusText(kStatusCursor), "003,003");

    viewer->selectMap(1);  // another map closes the preview and takes the cursor away
    EXPECT_FALSE(preview->IsShown());
    EXPECT_EQ(viewer->cursor(), CellPoint{});
    EXPECT_EQ(viewer->statusText(kStatusCursor), "");
}

TEST_F(MapViewerTest, ScreenShowsTheRenderersCellsWithGridAndCursor) {
    open(7, 1);  // the test map: panorama, fog, autotiles and events
    const MapViewport& v = pane->view();
    MapData map;
    ASSERT_TRUE(map.load(context.database, 7, true));
    map.loadTileset(context.database.tilesets());
    TilemapRenderer renderer(map, context.settings.mapViewer.render);
    auto cellsOnScreen = [&](int size) {
        return [&, size](const Screen& screen) -> std::string {
            const CellSpan span = v.visibleCells();
            int compared = 0;
            for (int y = span.y0; y < span.y1; ++y)
                for (int x = span.x0; x < span.x1; ++x) {
                    if (x * size + size > v.clientWidth() || y * size + size > v.clientHeight())
                        continue;
                    Bitmap32 cell;
                    renderer.buildCell(cell, x, y, nullptr);
                    for (int py = 0; py < size; ++py)
                        for (int px = 0; px < size; ++px) {
                            Pixel want = expected(cell, px * 32 / size, py * 32 / size);
                            Pixel got = screen.at(x * size + px, y * size + py);
                            if (!(got == want))
                                return "at " + std::to_string(size) + " pixels, cell " +
                                       std::to_string(x) + "," + std::to_string(y) + " pixel " +
                                       std::to_string(px) + "," + std::to_string(py) + " is " +
                                       describe(got) + ", not " + describe(want);
                        }
                    ++compared;
                }
            return compared > 20 ? "" : "only " + std::to_string(compared) + " cells compared";
        };
    };
    expectScreen(cellsOnScreen(32));

    // The trace names every cell drawn, once per paint.
    auto trace = traceLines();
    const CellSpan span = v.visibleCells();
    EXPECT_EQ(trace.size(), size_t((span.x1 - span.x0) * (span.y1 - span.y0)));
    const size_t cached = viewer->cache().size();
    viewer->setZoom(0);
    painted();
    EXPECT_EQ(viewer->cache().size(), cached) << "zooming in builds no cell";
    for (const auto& [cell, id] : traceLines()) EXPECT_EQ(trace.at(cell), id);
    EXPECT_NE(fromWx(viewer->GetTitle()).find("(20 x 15) x200%"), std::string::npos);
    expectScreen(cellsOnScreen(64));

    viewer->setZoom(1);
    viewer->setGrid(true);
    mouse(wxEVT_RIGHT_DOWN, 2 * 32 + 5, 32 + 5);
    mouse(wxEVT_RIGHT_UP, 2 * 32 + 5, 32 + 5);
    painted();
    const Pixel black{0, 0, 0}, white{255, 255, 255};
    expectScreen([&](const Screen& screen) -> std::string {
        std::vector<std::pair<wxPoint, Pixel>> points;
        for (int x = 0; x < std::min(v.clientWidth(), v.mapPixelWidth()); x += 7)
            points.push_back({{x, 96}, black});  // a grid row
        for (int y = 0; y < std::min(v.clientHeight(), v.mapPixelHeight()); y += 7)
            points.push_back({{128, y}, black});  // a grid column
        // The cursor on (2, 1): a 4-pixel black frame with a white line one pixel inside.
        const int a = 64, b = 32;
        for (auto [dx, dy, colour] : {std::tuple{3, 16, black},
                                      {1, 16, white},
                                      {2, 16, white},
                                      {16, 29, white},
                                      {31, 31, black},
                                      {29, 16, white}})
            points.push_back({{a + dx, b + dy}, colour});
        for (const auto& [at, want] : points)
            if (!(screen.at(at.x, at.y) == want))
                return "pixel " + std::to_string(at.x) + "," + std::to_string(at.y) + " is " +
                       describe(screen.at(at.x, at.y)) + ", not " + describe(want);
        return "";
    });
}

// ZORVANE_SCREENSHOT_DIR names a folder (see docs/development.md): the viewer at its own
// size and place beside the main window, a character previewed beside its cell.
TEST_F(MapViewerTest, Screenshot) {
    const char* folder = std::getenv("ZORVANE_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "set ZORVANE_SCREENSHOT_DIR to take the picture";
    context.settings.mapViewer.place = {};
    open(9, 1);
    mouse(wxEVT_RIGHT_DOWN, 3 * 32 + 16, 3 * 32 + 16);
    ztest::pumpFor(1000);
    std::string picture = std::string(folder) + "/map_viewer.png";
    EXPECT_EQ(ztest::run("import -window root " + ztest::shellQuote(picture)), 0);
    mouse(wxEVT_RIGHT_UP, 3 * 32 + 16, 3 * 32 + 16);
}

TEST_F(MapViewerTest, SimpleMapRedrawsInTheTwoColours) {
    open(1, 2);
    viewer->setSimpleMap(true);
    EXPECT_TRUE(viewer->simpleMapBox()->GetValue());
    painted();
    RenderOptions options = context.settings.mapViewer.render;
    MapData map;
    ASSERT_TRUE(map.load(context.database, 1, true));
    map.loadTileset(context.database.tilesets());
    TilemapRenderer renderer(map, options);
    const Pixel passable{0x99, 0xCC, 0xFF}, blocked{0xFF, 0xFF, 0xCC};
    std::map<bool, int> seen;
    const MapViewport& v = pane->view();
    expectScreen([&](const Screen& screen) -> std::string {
        seen.clear();
        for (int y = 0; y < std::min(v.clientHeight(), v.mapPixelHeight()); ++y)
            for (int x = 0; x < std::min(v.clientWidth(), v.mapPixelWidth()); ++x) {
                const bool open = renderer.passableCell(x / 16, y / 16);
                if (!(screen.at(x, y) == (open ? passable : blocked)))
                    return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " +
                           describe(screen.at(x, y));
                ++seen[open];
            }
        return "";
    });
    EXPECT_EQ(seen.size(), 2u) << "the sample's first map has both kinds of cell";
}

TEST_F(MapViewerTest, SavesPicturesAndAsksBeforeTheFullSizeFallback) {
    open(1, 1);
    ztest::FileDialogs dialogs;
    ztest::MessageBoxes boxes(wxNO);
    ztest::TempDir out;
    dialogs.answers = {out.file("first.png"), out.path() + "/missing/x.bmp"};
    viewer->savePicture();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileDialogRequest& request = dialogs.requests[0];
    EXPECT_EQ(request.fileName, "Map0001");
    // A first save starts in the project's folder, under a title; the next one in the last.
    EXPECT_EQ(request.folder, context.database.projectFolder);
    EXPECT_FALSE(request.title.empty());
    EXPECT_EQ(request.filterIndex, 0);
    ASSERT_EQ(request.filters.size(), 3u);
    EXPECT_EQ(request.filters[2].description, "JPEGファイル(*.jpg;*.jpeg)");
    EXPECT_EQ(request.filters[2].pattern, "*.jpg;*.jpeg");
    std::string info;
    ztest::run("identify -format '%m %w %h' " + ztest::shellQuote(out.file("first.png")), &info);
    EXPECT_EQ(info, "PNG 960 640");
    EXPECT_EQ(context.settings.mapViewer.render.saveMode, 1);
    EXPECT_EQ(context.settings.system.lastDir, out.path());
    EXPECT_TRUE(boxes.shown.empty());

    viewer->savePicture();  // a folder that does not exist
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "マップ画像の保存に失敗しました");
    EXPECT_EQ(boxes.shown[0].title, "エラー");
    EXPECT_EQ(dialogs.requests[1].filterIndex, 1);
    EXPECT_EQ(dialogs.requests[1].folder, out.path());

    // 2050 cells at ×2 are wider than a picture can be: No gives up, Yes writes the full-size BMP.
    viewer->setZoom(0);
    viewer->selectMap(10);
    for (int answer : {wxNO, wxYES}) {
        boxes.shown.clear();
        boxes.answerWith(answer);
        dialogs.answers = {out.file("wide.png")};
        viewer->savePicture();
        ASSERT_GE(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "確認");
        EXPECT_EQ(boxes.shown[0].text,
                  "マップサイズが大きすぎてメモリ確保に失敗した可能性があります\n"
                  "等倍BMPで再試行しますか？");
        EXPECT_EQ(boxes.shown.size(), answer == wxNO ? 2u : 1u);
    }
    // A 24-bit BMP of 65600 × 64 pixels (too wide for ImageMagick's default limits).
    std::string bmp = ztest::readFile(out.file("wide.png"));
    auto field = [&bmp](size_t at) {
        return bmp.size() < at + 4 ? -1
                                   : int(uint8_t(bmp[at]) | uint8_t(bmp[at + 1]) << 8 |
                                         uint8_t(bmp[at + 2]) << 16 | uint8_t(bmp[at + 3]) << 24);
    };
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(field(18), 65600);
    EXPECT_EQ(field(22), 64);
    EXPECT_EQ(field(28) & 0xFFFF, 24);
    EXPECT_EQ(bmp.size(), 65600u * 3 * 64 + 54);
}

TEST_F(MapViewerTest, SettingsPageEmptiesTheCacheOnlyWhenCellsChange) {
    open(1, 1);
    const size_t cached = viewer->cache().size();
    ASSERT_GT(cached, 0u);
    auto change = [](const char* label) {
        return [label](wxDialog& dialog) {
            auto* sheet = dynamic_cast<wxPropertySheetDialog*>(&dialog);
            EXPECT_TRUE(sheet && sheet->GetBookCtrl()->GetSelection() == kPageMapViewer);
            auto* box = dynamic_cast<wxCheckBox*>(ztest::findByLabel(&dialog, label));
            EXPECT_TRUE(box);
            if (box) box->SetValue(!box->GetValue());
            return wxID_OK;
        };
    };
    {
        ztest::ModalDialogs dialogs(change("グリッド表示"));
        viewer->showSettings();
        ASSERT_EQ(dialogs.count, 1);
    }
    EXPECT_TRUE(context.settings.mapViewer.render.bltGlid);
    EXPECT_TRUE(viewer->gridBox()->GetValue());
    EXPECT_EQ(viewer->cache().size(), cached);
    {
        ztest::ModalDialogs dialogs(change("レイヤー1"));
        viewer->showSettings();
    }
    EXPECT_FALSE(context.settings.mapViewer.render.viewLayer1);
    EXPECT_EQ(viewer->cache().size(), 0u);
}

}  // namespace
}  // namespace zorvane

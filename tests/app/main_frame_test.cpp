// The main window driven as a user would: start with a project, reload, notice changes on
// disk, refuse commands while a long task runs, and write the settings at exit.
#include <gtest/gtest.h>
#include <wx/accel.h>
#include <wx/listctrl.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/app_context.h"
#include "app/gui_test_support.h"
#include "app/import_page.h"
#include "app/rtp_page.h"
#include "app/main_frame.h"
#include "app/map_viewer.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/registry_store.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

const char* const kQuestion =
    "現在読み込んでいるプロジェクトが外部アプリケーションで\n"
    "変更されたようですがZorvaneでも再読み込みしますか？";

class MainFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove(settingsFilePath());
        project = ztest::copySampleProject(dir.path());
        if (project.empty()) GTEST_SKIP() << "the sample project is not there yet";
    }

    void TearDown() override {
        if (context.tasks.isBusy()) context.tasks.abort();
        if (frame) frame->Destroy();
        EXPECT_TRUE(ztest::pumpUntil([this] { return !frame; }));  // before its context goes
    }

    void writeSettings(const std::string& text) { ztest::writeFile(settingsFilePath(), text); }

    void start(const std::vector<std::string>& args) {
        frame = startApplication(context, args);
        ASSERT_TRUE(frame);
    }

    // The game's title as the iconv tool reads Game.ini.
    std::string gameTitle() {
        std::string out;
        ztest::run("iconv -f CP932 -t UTF-8 " + ztest::shellQuote(dir.file("Game.ini")) +
                       " | sed -n 's/^Title=//p' | tr -d '\\r\\n'",
                   &out);
        return out;
    }

    void command(int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(frame.get());
        frame->GetEventHandler()->ProcessEvent(event);
        ztest::pumpFor(20);
    }

    void activate() {
        wxActivateEvent event(wxEVT_ACTIVATE, true, frame->GetId());
        event.SetEventObject(frame.get());
        frame->GetEventHandler()->ProcessEvent(event);
        ztest::pumpFor(30);
    }

    // Sets a data file's last write time an hour ahead, as another program saving it would.
    void touchDataFile(const std::string& name) {
        fs::path file = fs::path(dir.path()) / "Data" / name;
        fs::last_write_time(file, fs::last_write_time(file) + std::chrono::hours(1));
    }

    std::string windowTitle() const { return fromWx(frame->GetTitle()); }

    // Damaged files are looked for once the window is up: until that check has ended, no
    // box is missing yet.
    void waitForFileCheck() {
        ASSERT_TRUE(ztest::pumpUntil([this] { return !frame->isCheckingFiles(); }, 10000));
    }

    ztest::TempDir dir;
    std::string project;
    AppContext context;
    wxWeakRef<MainFrame> frame;
};

const int kProjectCommands[] = {kCmdReload, kCmdEventViewer, kCmdMapViewer, kCmdGameFolder};

TEST_F(MainFrameTest, CommandLineProjectOpensEvenWithAutoReadOff) {
    writeSettings("[System]\nAutoRead=0\n");
    ztest::MessageBoxes boxes;
    start({project});
    ASSERT_TRUE(context.database.loaded);
    std::string title = gameTitle();
    ASSERT_FALSE(title.empty());
    EXPECT_EQ(windowTitle(), "Zorvane - [" + title + "]");
    EXPECT_EQ(fromWx(frame->folderBox()->GetValue()), dir.path());
    for (int id : kProjectCommands) EXPECT_TRUE(frame->isCommandEnabled(id)) << id;
    EXPECT_TRUE(frame->isCommandEnabled(kCmdOpen));
    EXPECT_TRUE(frame->isCommandEnabled(kCmdSettings));
    // No RPGXP in the empty Wine prefix of the test run.
    EXPECT_FALSE(frame->isCommandEnabled(kCmdOpenRpgxp));
    EXPECT_TRUE(boxes.shown.empty());
}

// A damaged project opened at start-up (AutoRead) must never take the program down: files
// that are no files end as diagnostics, and anything that still throws while the project
// opens is shown in a message box.
TEST_F(MainFrameTest, ADamagedProjectNeverTakesTheProgramDown) {
    fs::remove(fs::path(dir.path()) / "Data" / "System.rxdata");
    fs::create_directory(fs::path(dir.path()) / "Data" / "System.rxdata");
    fs::resize_file(fs::path(dir.path()) / "Data" / "Items.rxdata", std::uintmax_t(100) << 30);
    writeSettings("[System]\nAutoRead=1\nLastProject=" + project + "\n");
    context.hooks.refreshPages = [this] { context.database.loadAll(); };
    ztest::MessageBoxes boxes(wxOK);
    start({});
    ASSERT_TRUE(context.database.loaded);
    waitForFileCheck();
    boxes.shown.clear();  // the box naming the damaged files
    std::string diagnostics;
    for (const Diagnostic& d : context.database.diagnostics())
        diagnostics += d.file + ": " + d.what + "\n";
    EXPECT_NE(diagnostics.find("System.rxdata: not a regular file"), std::string::npos)
        << diagnostics;
    EXPECT_NE(diagnostics.find("Items.rxdata: file too large"), std::string::npos) << diagnostics;

    context.hooks.refreshPages = [] { throw std::runtime_error("page refresh failed"); };
    command(kCmdReload);
    ASSERT_TRUE(frame);
    EXPECT_FALSE(context.database.loaded);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("page refresh failed"), std::string::npos);
    EXPECT_TRUE(frame->isCommandEnabled(kCmdOpen));
}

// Damage is named once per state, in one box, whether the project is opened or reloaded;
// the title keeps a mark as long as it lasts.
TEST_F(MainFrameTest, ADamagedProjectNamesItsUnreadableFilesInOneBox) {
    const struct {
        const char* what;
        const char* file;
        std::function<void(const fs::path&)> damage;
    } cases[] = {
        {"MapInfos cut short", "MapInfos.rxdata",
         [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) / 2); }},
        {"System a folder", "System.rxdata",
         [](const fs::path& file) {
             fs::remove(file);
             fs::create_directory(file);
         }},
        {"a map cut short", "Map003.rxdata",
         [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) / 2); }},
    };
    writeSettings("[System]\nAutoRead=0\n");
    start({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ztest::TempDir copy;
        std::string damaged = ztest::copySampleProject(copy.path());
        c.damage(fs::path(copy.path()) / "Data" / c.file);
        ztest::MessageBoxes boxes(wxOK);
        ASSERT_TRUE(frame->openProject(damaged));
        EXPECT_TRUE(boxes.shown.empty()) << "the box waits for the window";
        waitForFileCheck();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_NE(boxes.shown[0].text.find(std::string("\n") + c.file + ": "), std::string::npos)
            << boxes.shown[0].text;
        EXPECT_TRUE(boxes.shown[0].style & wxICON_WARNING);
        EXPECT_NE(windowTitle().find("※読み込めないファイル1個"), std::string::npos)
            << windowTitle();
        command(kCmdReload);
        waitForFileCheck();
        EXPECT_EQ(boxes.shown.size(), 1u) << "the same damage again";
        EXPECT_NE(windowTitle().find("※読み込めないファイル1個"), std::string::npos);
    }
    // A whole project: no box and no mark.
    ztest::MessageBoxes boxes(wxOK);
    ASSERT_TRUE(frame->openProject(project));
    waitForFileCheck();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(windowTitle().find("※"), std::string::npos);
}

// A map file cut short is named with the tables' files, and costs nothing but that map:
// the tables and the map tree are whole, and the other maps still open in the viewer.
TEST_F(MainFrameTest, ACutShortMapIsNamedAndTheRestStillWorks) {
    writeSettings("[System]\nAutoRead=0\n");
    fs::path data = fs::path(dir.path()) / "Data";
    fs::resize_file(data / "Map003.rxdata", fs::file_size(data / "Map003.rxdata") / 2);
    std::string mapCount;
    ztest::run(
        "ruby -e 'module RPG; class MapInfo; end; end; "
        "print Marshal.load(File.binread(ARGV[0])).size' " +
            ztest::shellQuote((data / "MapInfos.rxdata").string()),
        &mapCount);
    ztest::MessageBoxes boxes(wxOK);
    joinMapViewer(context);
    start({project});
    waitForFileCheck();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("\nMap003.rxdata: "), std::string::npos)
        << boxes.shown[0].text;
    EXPECT_NE(windowTitle().find("※読み込めないファイル1個"), std::string::npos) << windowTitle();
    EXPECT_TRUE(context.database.diagnostics().empty());
    // The tree adds its root (id 0) to the maps the file holds.
    EXPECT_EQ(std::to_string(context.database.mapInfos().size() - 1), mapCount);

    command(kCmdMapViewer);
    MapViewer* viewer = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* found = dynamic_cast<MapViewer*>(w)) viewer = found;
    ASSERT_TRUE(viewer);
    viewer->selectMap(3);
    EXPECT_FALSE(viewer->map().loaded);
    viewer->selectMap(1);
    EXPECT_TRUE(viewer->map().loaded);
    viewer->Close(true);
    EXPECT_EQ(boxes.shown.size(), 1u) << "the viewer says nothing more of the damage";
}

// A check still under way when another project opens or the window closes: the project
// opened next gets no box about the damage of the one before, and the window goes without
// waiting for more than the table being read.
TEST_F(MainFrameTest, ACheckUnderWayNeverOutlivesItsProjectOrTheWindow) {
    writeSettings("[System]\nAutoRead=0\n");
    ztest::TempDir copy;
    std::string damaged = ztest::copySampleProject(copy.path());
    fs::resize_file(fs::path(copy.path()) / "Data" / "Classes.rxdata", 100);
    ztest::MessageBoxes boxes(wxOK);
    start({damaged});
    EXPECT_TRUE(frame->isCheckingFiles());
    ASSERT_TRUE(frame->openProject(project));
    waitForFileCheck();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(windowTitle().find("※"), std::string::npos) << windowTitle();

    ASSERT_TRUE(frame->openProject(damaged));
    // Actors are read by no page of the first window: the worker has begun.
    ASSERT_TRUE(ztest::pumpUntil([this] { return context.database.isRead(DataPart::Actors); }));
    frame->Close(true);
    EXPECT_TRUE(ztest::pumpUntil([this] { return !frame; }));
}

TEST_F(MainFrameTest, WithoutProjectOnlyOpeningIsOffered) {
    writeSettings("[System]\nAutoRead=0\nLastProject=" + project + "\n");
    start({});
    EXPECT_FALSE(context.database.loaded);
    EXPECT_EQ(windowTitle(), "Zorvane");
    EXPECT_EQ(fromWx(frame->folderBox()->GetValue()), "");
    EXPECT_NE(fromWx(frame->folderBox()->GetHint()).find("(Ctrl+O)"), std::string::npos)
        << "the empty box says how to open a project";
    for (int id : kProjectCommands) EXPECT_FALSE(frame->isCommandEnabled(id)) << id;
    EXPECT_TRUE(frame->isCommandEnabled(kCmdOpen));
}

TEST_F(MainFrameTest, AutoReadReopensTheLastProject) {
    writeSettings("[System]\nAutoRead=1\nLastProject=" + project + "\n");
    start({});
    EXPECT_TRUE(context.database.loaded);
    EXPECT_EQ(context.database.projectFile, project);
}

TEST_F(MainFrameTest, FailedOpenAtStartIsSilent) {
    ztest::MessageBoxes boxes;
    start({dir.file("missing/Game.rxproj")});
    EXPECT_FALSE(context.database.loaded);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(windowTitle(), "Zorvane");
}

TEST_F(MainFrameTest, RpgxpCommandFollowsTheRegistry) {
    const char* prefix = std::getenv("WINEPREFIX");
    ASSERT_TRUE(prefix);
    ztest::writeFile(std::string(prefix) + "/system.reg",
                     "WINE REGISTRY Version 2\n\n"
                     "[Software\\\\Enterbrain\\\\RPGXP] 1700000000\n"
                     "\"ApplicationPath\"=\"C:\\\\Program Files\\\\RPGXP\\\\\"\n");
    start({project});
    fs::remove(std::string(prefix) + "/system.reg");
    EXPECT_FALSE(context.rpgxpPath.empty());
    EXPECT_TRUE(frame->isCommandEnabled(kCmdOpenRpgxp));
}

TEST_F(MainFrameTest, OpenDialogOpensTheChosenProjectOrWarns) {
    start({});
    ztest::FileDialogs files;
    ztest::MessageBoxes boxes;
    files.answers = {project, dir.file("nothing.rxproj")};
    command(kCmdOpen);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].title, "プロジェクトを開く");
    ASSERT_EQ(files.requests[0].filters.size(), 1u);
    EXPECT_EQ(files.requests[0].filters[0].description, "RPGXP プロジェクト(*.rxproj)");
    EXPECT_EQ(files.requests[0].filters[0].pattern, "*.rxproj");
    EXPECT_TRUE(context.database.loaded);
    EXPECT_EQ(context.settings.system.lastProject, project);
    EXPECT_TRUE(boxes.shown.empty());

    command(kCmdOpen);
    ASSERT_EQ(files.requests.size(), 2u);
    EXPECT_EQ(files.requests[1].folder, dir.path());  // starts at the last project
    EXPECT_FALSE(context.database.loaded);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "プロジェクトの読み込みに失敗しました");
    EXPECT_EQ(boxes.shown[0].title, "Zorvane");
    EXPECT_EQ(windowTitle(), "Zorvane");
    for (int id : kProjectCommands) EXPECT_FALSE(frame->isCommandEnabled(id)) << id;
}

TEST_F(MainFrameTest, ReloadReadsTheProjectAgain) {
    start({project});
    ztest::writeFile(dir.file("Game.ini"), "[Game]\r\nTitle=Renamed Quest\r\n");
    EXPECT_NE(windowTitle(), "Zorvane - [Renamed Quest]");
    command(kCmdReload);
    EXPECT_EQ(windowTitle(), "Zorvane - [Renamed Quest]");
}

TEST_F(MainFrameTest, ChangedProjectIsAskedAboutOnceUntilTheNextReload) {
    start({project});
    ztest::MessageBoxes boxes(wxNO);
    activate();
    EXPECT_TRUE(boxes.shown.empty()) << "nothing changed yet";

    touchDataFile("System.rxdata");
    activate();
    activate();
    activate();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, kQuestion);
    EXPECT_EQ(boxes.shown[0].title, "Zorvane");
    EXPECT_TRUE(boxes.shown[0].style & wxYES_NO);

    // A reload ends the silence: the next change is asked about again, and Yes reloads.
    command(kCmdReload);
    touchDataFile("Actors.rxdata");
    boxes.answerWith(wxYES);
    activate();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_FALSE(context.database.hasChanged());
    activate();
    EXPECT_EQ(boxes.shown.size(), 2u);

    // A map saved by the editor is a change as well.
    touchDataFile("Map001.rxdata");
    boxes.answerWith(wxNO);
    activate();
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2].text, kQuestion);
}

TEST_F(MainFrameTest, ChangeCheckCanBeSwitchedOff) {
    writeSettings("[System]\nProjectCheck=0\n");
    start({project});
    ztest::MessageBoxes boxes(wxYES);
    touchDataFile("System.rxdata");
    activate();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainFrameTest, WhileBusyProjectCommandsAndExitAreRefused) {
    start({project});
    ztest::FileDialogs files;
    files.answers = {project};
    ztest::MessageBoxes boxes(wxYES);
    ztest::ModalDialogs modals([](wxDialog&) { return wxID_CANCEL; });
    std::atomic<bool> sawAbort{false};
    bool finished = false;
    ASSERT_TRUE(context.tasks.start(
        [&](std::atomic<bool>& abort) {
            while (!abort) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            sawAbort = true;
        },
        [&](const TaskEnd&) { finished = true; }));

    for (int id : {kCmdOpen, kCmdReload, kCmdSettings, kCmdEventViewer, kCmdMapViewer})
        EXPECT_FALSE(frame->isCommandEnabled(id)) << id;
    int tab = frame->tabs()->GetSelection();
    frame->tabs()->SetSelection((tab + 1) % kMainTabCount);
    ztest::pumpFor(30);
    EXPECT_EQ(frame->tabs()->GetSelection(), tab) << "the tabs must stay while the task runs";

    touchDataFile("System.rxdata");
    for (int id : {kCmdOpen, kCmdReload, kCmdSettings, kCmdUninstall, kCmdVersion, kCmdExit})
        command(id);
    frame->Close();
    ztest::pumpFor(30);
    ASSERT_TRUE(frame) << "the window must stay while the task runs";
    EXPECT_TRUE(files.requests.empty());
    EXPECT_EQ(modals.count, 0);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(context.database.hasChanged()) << "reload must not have run";

    context.tasks.abort();
    EXPECT_TRUE(sawAbort);
    EXPECT_TRUE(finished);
    for (int id : {kCmdOpen, kCmdReload, kCmdSettings}) EXPECT_TRUE(frame->isCommandEnabled(id));
    frame->tabs()->SetSelection((tab + 1) % kMainTabCount);
    ztest::pumpFor(30);
    EXPECT_EQ(frame->tabs()->GetSelection(), (tab + 1) % kMainTabCount);
}

// Every button of every page, on a window made as small as an 800×600 screen allows and
// as large as the screen, lies inside its page and the page inside the window.
TEST_F(MainFrameTest, ResizesDownTo800x600WithEveryPagesButtonsInside) {
    start({project});
    EXPECT_TRUE(frame->HasFlag(wxRESIZE_BORDER));
    EXPECT_TRUE(frame->HasFlag(wxMAXIMIZE_BOX));
    const wxSize least = frame->GetMinSize();
    EXPECT_LE(least.x, 800);
    EXPECT_LE(least.y, 600);
    std::function<void(wxWindow*, std::vector<wxButton*>&)> buttons;
    buttons = [&](wxWindow* parent, std::vector<wxButton*>& found) {
        for (wxWindow* child : parent->GetChildren()) {
            if (auto* button = dynamic_cast<wxButton*>(child)) found.push_back(button);
            buttons(child, found);
        }
    };
    for (wxSize size : {wxSize(800, 600), least, wxSize(1280, 1024)}) {
        frame->SetSize(size);
        ztest::pumpFor(50);
        EXPECT_EQ(frame->GetSize(), size);
        const wxRect window = frame->GetScreenRect();
        for (int tab = 0; tab < kMainTabCount; ++tab) {
            frame->tabs()->SetSelection(size_t(tab));
            ztest::pumpFor(30);
            wxWindow* page = frame->page(MainTab(tab));
            const wxRect inside = page->GetScreenRect();
            EXPECT_TRUE(window.Contains(inside)) << size.x << "x" << size.y << " tab " << tab;
            std::vector<wxButton*> found;
            buttons(page, found);
            EXPECT_FALSE(found.empty()) << "tab " << tab;
            for (wxButton* button : found) {
                if (!button->IsShownOnScreen()) continue;
                EXPECT_TRUE(inside.Contains(button->GetScreenRect()))
                    << size.x << "x" << size.y << " tab " << tab << " button "
                    << fromWx(button->GetLabel());
            }
        }
    }
}

// What is written to stderr (where GTK's warnings go) while `run` runs.
std::string stderrOf(const std::function<void()>& run) {
    ztest::TempDir dir;
    const std::string path = dir.file("stderr");
    std::fflush(stderr);
    int saved = dup(2);
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, 2);
    close(file);
    run();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    return ztest::readFile(path);
}

// GTK warns when a control is given less room than it can draw itself in: on whichever
// tab the window starts, none is.
TEST_F(MainFrameTest, StartsOnEveryTabWithoutGtkSizeWarnings) {
    for (int tab = 0; tab < kMainTabCount; ++tab) {
        writeSettings("[System]\nAutoRead=0\nLastTab=" + std::to_string(tab) + "\n");
        const std::string warnings = stderrOf([&] {
            start({project});
            ztest::pumpFor(100);
        });
        for (const char* warning : {"Negative content", "smaller than min-size"})
            EXPECT_EQ(warnings.find(warning), std::string::npos) << "tab " << tab << ":\n"
                                                                 << warnings;
        frame->Destroy();
        EXPECT_TRUE(ztest::pumpUntil([this] { return !frame; }));  // before its context goes
    }
}

// Only the tab shown at start is built with the window; another is built when it is first
// selected, and then shows the project opened before it existed.
TEST_F(MainFrameTest, HiddenPageIsBuiltOnFirstSelectionWithTheOpenProject) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby reads the expected names";
    std::string switches;
    ASSERT_EQ(ztest::run("ruby -r " +
                             ztest::shellQuote(ztest::sourceDir() + "/tests/support/marshal_stubs.rb") +
                             " -e 'print load_data(ARGV[0]).instance_variable_get(:@switches).size - 1' " +
                             ztest::shellQuote(dir.file("Data/System.rxdata")),
                         &switches),
              0);
    writeSettings("[System]\nLastTab=1\n");
    start({project});
    ASSERT_TRUE(context.database.loaded);
    for (int tab = 0; tab < kMainTabCount; ++tab)
        EXPECT_EQ(frame->isPageBuilt(MainTab(tab)), tab == kTabRtpCopy) << "tab " << tab;

    frame->tabs()->SetSelection(kTabImport);
    ztest::pumpFor(30);
    ASSERT_TRUE(frame->isPageBuilt(kTabImport));
    wxListCtrl* names = frame->importPage()->nameList(NameKind::Switches);
    EXPECT_EQ(std::to_string(names->GetItemCount()), switches);
    EXPECT_TRUE(frame->page(kTabImport)->GetScreenRect().Contains(names->GetScreenRect()));
    EXPECT_TRUE(frame->rtpPage()->scanButton()->IsEnabled());
    EXPECT_FALSE(frame->isPageBuilt(kTabSearch));
}

// ZORVANE_SCREENSHOT_DIR names a folder (see docs/development.md): the main window at
// 800×600 on each tab, then maximized.
TEST_F(MainFrameTest, Screenshots) {
    const char* folder = std::getenv("ZORVANE_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "set ZORVANE_SCREENSHOT_DIR to take the pictures";
    start({project});
    frame->Move(0, 0);
    frame->SetSize(800, 600);
    auto shoot = [&](const std::string& name) {
        ztest::pumpFor(800);
        std::string picture = std::string(folder) + "/" + name + ".png";
        EXPECT_EQ(ztest::run("import -window root " + ztest::shellQuote(picture)), 0);
    };
    for (int tab = 0; tab < kMainTabCount; ++tab) {
        frame->tabs()->SetSelection(size_t(tab));
        shoot("main_800x600_tab" + std::to_string(tab + 1));
    }
    frame->tabs()->SetSelection(0);
    frame->Maximize();
    shoot("main_full");
}

TEST_F(MainFrameTest, ExitWritesPositionSizeTabAndProjectIntoTheSettings) {
    writeSettings(
        "[MainWnd]\nWidth=900\nHeight=650\nLeft=37\nTop=41\n[System]\nLastTab=2\n"
        "[DataExport]\nEventSelect3=999\n");
    start({project});
    EXPECT_EQ(frame->GetSize(), wxSize(900, 650));
    EXPECT_EQ(frame->tabs()->GetSelection(), 2);
    frame->tabs()->SetSelection(3);
    frame->SetSize(870, 630);
    ztest::pumpFor(30);
    command(kCmdExit);
    ASSERT_TRUE(ztest::pumpUntil([this] { return !frame; }));
    ASSERT_TRUE(finishApplication(context));
    IniFile ini;
    ASSERT_TRUE(ini.load(settingsFilePath()));
    EXPECT_EQ(ini.get("System", "LastProject"), project);
    EXPECT_EQ(ini.get("System", "LastTab"), "3");
    EXPECT_EQ(ini.get("MainWnd", "Left"), "37");
    EXPECT_EQ(ini.get("MainWnd", "Top"), "41");
    EXPECT_EQ(ini.get("MainWnd", "Width"), "870");
    EXPECT_EQ(ini.get("MainWnd", "Height"), "630");
    // Page keys are written too, with the remembered ids repaired for this project: no
    // common event 0, no map 999 (map 0 is the root of the map tree and stays).
    EXPECT_EQ(ini.get("SearchRange", "Select1"), "1");
    EXPECT_EQ(ini.get("DataExport", "EventSelect3"), "1");
    EXPECT_EQ(ini.get("SearchRange", "Select3"), "0");
}

TEST_F(MainFrameTest, UninstallExitRemovesTheFuzzyOptionsKeyOnYes) {
    RegistryStore& registry = RegistryStore::user();
    registry.setString("Software\\Hidemaruo\\HmJre", "Fuzzy", "1");
    registry.setString("Software\\Hidemaruo\\HmJre\\Sub", "Value", "2");
    registry.setString("Software\\Other", "Keep", "3");
    ASSERT_TRUE(registry.save());
    start({project});
    ztest::MessageBoxes boxes(wxNO);
    command(kCmdUninstall);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "レジストリ情報を削除して終了しますか？");
    EXPECT_EQ(boxes.shown[0].title, "アンインストール用終了");
    EXPECT_TRUE(boxes.shown[0].style & wxNO_DEFAULT);
    EXPECT_TRUE(frame);
    EXPECT_EQ(registry.getString("Software\\Hidemaruo\\HmJre", "Fuzzy", ""), "1");

    boxes.answerWith(wxYES);
    command(kCmdUninstall);
    ASSERT_TRUE(ztest::pumpUntil([this] { return !frame; }));
    RegistryStore onDisk(configFolder() + "/registry.ini");
    EXPECT_EQ(onDisk.getString("Software\\Hidemaruo\\HmJre", "Fuzzy", "gone"), "gone");
    EXPECT_EQ(onDisk.getString("Software\\Hidemaruo\\HmJre\\Sub", "Value", "gone"), "gone");
    EXPECT_EQ(onDisk.getString("Software\\Other", "Keep", ""), "3");
}

TEST_F(MainFrameTest, VersionBoxNamesTheProgramAndVersion) {
    start({});
    ztest::MessageBoxes boxes(wxOK);
    command(kCmdVersion);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "バージョン情報");
    const std::string head = "Zorvane Ver1.06\n";
    EXPECT_EQ(boxes.shown[0].text.substr(0, head.size()), head);
    EXPECT_GT(boxes.shown[0].text.size(), head.size());
}

// Real key presses: the accelerator of "プロジェクトを開く" and the mnemonic of "設定(&C)",
// an item of the bar itself that runs its command when its (empty) menu opens.
TEST_F(MainFrameTest, KeysReachOpenAndTheSettingsItemOfTheBar) {
    start({project});
    ztest::FileDialogs files;
    ztest::ModalDialogs modals([](wxDialog&) { return wxID_CANCEL; });
    frame->Raise();
    frame->SetFocus();
    ztest::pumpFor(100);
    wxUIActionSimulator keys;
    keys.Char('o', wxMOD_CONTROL);
    EXPECT_TRUE(ztest::pumpUntil([&] { return files.requests.size() == 1; }, 2000));
    EXPECT_EQ(modals.count, 0);
    keys.Char('c', wxMOD_ALT);
    EXPECT_TRUE(ztest::pumpUntil([&] { return modals.count == 1; }, 2000));
    keys.Char(WXK_ESCAPE);
    ztest::pumpFor(50);
    EXPECT_EQ(files.requests.size(), 1u);
}

TEST_F(MainFrameTest, MenusToolbarAndTabsAreWordedAsTheProgramShowsThem) {
    start({});
    wxMenuBar* bar = frame->GetMenuBar();
    const char* const titles[] = {"ファイル(&F)", "ツール(&T)", "設定(&C)", "ヘルプ(&H)"};
    ASSERT_EQ(bar->GetMenuCount(), std::size(titles));
    for (size_t i = 0; i < std::size(titles); ++i)
        EXPECT_EQ(fromWx(bar->GetMenuLabel(i)), titles[i]);

    struct Item {
        int id;
        const char* label;
        int flags;
        int key;  // 0 = no accelerator
    } items[] = {
        {menuId(40002), "プロジェクトを開く(&O)", wxACCEL_CTRL, 'O'},
        {menuId(40003), "プロジェクトを再読み込み(&R)", wxACCEL_CTRL, 'R'},
        {menuId(40014), "アンインストール用終了(&U)", 0, 0},
        {menuId(40004), "終了(&X)", wxACCEL_ALT, WXK_F4},
        {menuId(40018), "RPGツクールXPで開く", 0, 0},
        {menuId(40019), "ゲームフォルダを開く", 0, 0},
        {menuId(40007), "イベントビュアー(&E)", wxACCEL_CTRL, 'E'},
        {menuId(40010), "マップビュアー(&M)", wxACCEL_CTRL, 'M'},
        {menuId(40001), "マニュアル(&M)", wxACCEL_NORMAL, WXK_F1},
        {menuId(40005), "バージョン情報(&V)", 0, 0},
        {menuId(40015), "WebPage(&W)", 0, 0},
    };
    for (const Item& item : items) {
        wxMenuItem* found = bar->FindItem(item.id);
        ASSERT_TRUE(found) << item.id;
        EXPECT_EQ(fromWx(found->GetItemLabel().BeforeFirst('\t')), item.label);
        std::unique_ptr<wxAcceleratorEntry> accel(found->GetAccel());
        if (item.key == 0) {
            EXPECT_FALSE(accel) << item.label;
            continue;
        }
        ASSERT_TRUE(accel) << item.label;
        EXPECT_EQ(accel->GetKeyCode(), item.key) << item.label;
        EXPECT_EQ(accel->GetFlags(), item.flags) << item.label;
    }
    // Separators stand after reload, after "ゲームフォルダを開く" and after the manual.
    EXPECT_TRUE(bar->GetMenu(0)->FindItemByPosition(2)->IsSeparator());
    EXPECT_TRUE(bar->GetMenu(1)->FindItemByPosition(2)->IsSeparator());
    EXPECT_TRUE(bar->GetMenu(3)->FindItemByPosition(1)->IsSeparator());

    wxToolBar* tools = frame->GetToolBar();
    struct Tool {
        int id;
        const char* tip;
    } toolRows[] = {{0, ""},
                    {menuId(40002), "プロジェクトを開く"},
                    {menuId(40003), "現在のプロジェクトを再読み込み"},
                    {0, ""},
                    {menuId(40007), "イベントビュアー"},
                    {menuId(40010), "マップビュアー"},
                    {0, ""},
                    {menuId(40001), "ヘルプ"}};
    ASSERT_EQ(tools->GetToolsCount(), std::size(toolRows));
    for (size_t i = 0; i < std::size(toolRows); ++i) {
        const wxToolBarToolBase* tool = tools->GetToolByPos(static_cast<int>(i));
        if (toolRows[i].id == 0) {
            EXPECT_TRUE(tool->IsSeparator()) << i;
            continue;
        }
        EXPECT_EQ(tool->GetId(), toolRows[i].id);
        EXPECT_EQ(fromWx(tool->GetShortHelp()), toolRows[i].tip);
    }

    const char* const tabs[] = {"検索", "RTPコピー", "エクスポート", "インポート", "診断"};
    ASSERT_EQ(frame->tabs()->GetPageCount(), std::size(tabs));
    for (size_t i = 0; i < std::size(tabs); ++i)
        EXPECT_EQ(fromWx(frame->tabs()->GetPageText(i)), tabs[i]);
}

}  // namespace
}  // namespace zorvane

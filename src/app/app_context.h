// The process-wide state of the desktop program: settings and their file, the one project
// database, the long-task runner, RPGXP's path, and the hooks through which the windows of
// the search, viewers, export, import, RTP and update check join the main window.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/document_view.h"
#include "app/settings.h"
#include "app/task_runner.h"
#include "platform/folders.h"
#include "project/project_database.h"

class wxWindow;

namespace zorvane {

class MainFrame;
struct ViewerTarget;

struct AppHooks {
    // Gives the windows their language once the settings are read, before the first opens.
    std::function<void(int languageSetting)> useLanguage;
    std::function<void()> registerProgram;
    std::function<void()> unregisterProgram;
    std::function<void(wxWindow* owner, bool quiet)> runUpdateCheck;
    std::function<void(wxWindow* owner)> openEventViewer;
    std::function<void(wxWindow* owner)> openMapViewer;
    // A double click in the search results: the event viewer at that hit's page.
    std::function<void(wxWindow* owner, const ViewerTarget& target)> openEventViewerAt;
    // Closes the search results window and the viewers before another project opens.
    std::function<void()> closeProjectWindows;
    // After a project opened: the search item, export, RTP and import pages re-read it.
    std::function<void()> refreshPages;
    // Enables the pages' own controls (search button, range rows) from the current state.
    std::function<void()> updatePageStates;
    // At exit, before the window goes: pages put what they show back into the settings.
    std::function<void()> storePageState;
};

struct AppContext {
    Settings settings;
    SettingsFile settingsFile;
    ProjectDatabase database;
    TaskRunner tasks;
    std::string rpgxpPath;
    // Where the projects opened here find their RTPs (the system's, read once at start).
    std::string commonFiles = commonFilesFolder();
    // The module that shows documents, opened when the first one is shown.
    std::string documentViewModule = documentViewModulePath();
    AppHooks hooks;
    // A question about a project changed on disk has been asked since the last open.
    bool askedAboutChange = false;
};

// Start-up in the program's order: RPGXP's path, the settings file, registration, the main
// window with its pages, the project from the command line (or the last one), the quiet
// update check. `args` are the arguments after the program's name. Returns the shown window.
MainFrame* startApplication(AppContext& context, const std::vector<std::string>& args);
// Where a save dialog starts: the last folder the user saved into while it still exists,
// else the open project's folder.
std::string dialogFolder(const AppContext& context);

// After the event loop has ended: the settings file is written, once.
bool finishApplication(AppContext& context);

}  // namespace zorvane

// The main window: menu bar, toolbar, the project folder box and the four main tabs, and
// the commands behind them (open, reload, change check, settings, help, exit).
#pragma once
#include <wx/frame.h>

#include <array>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/app_context.h"

class wxNotebook;
class wxSizeEvent;
class wxPanel;
class wxTextCtrl;
class wxToolBar;

namespace zorvane {

class ImportPage;
class RtpPage;
class CheckPage;
class ExportPage;
class SearchPage;

// wx menu ids must stay below 0x7FFF, so the program's own command numbers (40001 ...)
// are kept with a fixed offset.
constexpr int menuId(int commandNumber) {
    return commandNumber - 20000;
}

enum CommandId {
    kCmdHelp = menuId(40001),
    kCmdOpen = menuId(40002),
    kCmdReload = menuId(40003),
    kCmdExit = menuId(40004),
    kCmdVersion = menuId(40005),
    kCmdSettings = menuId(40006),
    kCmdEventViewer = menuId(40007),
    kCmdMapViewer = menuId(40010),
    kCmdUninstall = menuId(40014),
    kCmdWebPage = menuId(40015),
    kCmdOpenRpgxp = menuId(40018),
    kCmdGameFolder = menuId(40019),
};

enum MainTab { kTabSearch, kTabRtpCopy, kTabExport, kTabImport, kTabCheck, kMainTabCount };

class MainFrame : public wxFrame {
  public:
    explicit MainFrame(AppContext& context);
    ~MainFrame() override;

    // The panel of a main tab, which its page fills once the tab is first selected.
    wxPanel* page(MainTab tab) const { return pages_[tab]; }
    wxNotebook* tabs() const { return tabs_; }
    wxTextCtrl* folderBox() const { return folderBox_; }
    AppContext& context() const { return context_; }
    // Each builds its page when it is not built yet.
    SearchPage* searchPage();
    RtpPage* rtpPage();
    CheckPage* checkPage();
    ImportPage* importPage();
    ExportPage* exportPage();
    bool isPageBuilt(MainTab tab) const;

    void openProjectDialog();
    bool openProject(const std::string& path);
    void reloadProject();
    void checkProjectChanged();
    void updateCommandStates();
    void uninstallExit();
    void showVersion();
    void showHelp();
    void openWebPage();
    void showSettings();
    void openInRpgxp();
    void openGameFolder();

    // The menu item and the toolbar button of a command, enabled together.
    bool isCommandEnabled(int id) const;
    // The tables of the project just opened are still being read for damaged files.
    bool isCheckingFiles() const { return fileCheckPending_; }

  private:
    void createMenus();
    void createToolBar();
    void createBody();
    // Fills a tab's panel with its page, once.
    void buildPage(MainTab tab);
    void fitMinimumToPage(wxSize best);
    // Makes the window's minimum hold leastClient_ and the window at least that big.
    void keepMinimum();
    void onSize(wxSizeEvent& event);
    // Smaller than its own minimum: a size GTK gives the window only in passing.
    bool inPassingSize() const;
    void bindCommands();
    void enableCommand(int id, bool enable);
    void onClose(wxCloseEvent& event);
    bool busy() const { return context_.tasks.isBusy(); }
    // Damaged files are looked for on a worker once the window is up, so that opening a
    // project reads only what the first window shows.
    void startFileCheck();
    void stopFileCheck();
    void finishFileCheck(unsigned generation, std::vector<Diagnostic> maps);
    // The tables' files and the maps the last check could not read.
    std::vector<Diagnostic> unreadableFiles() const;
    void reportUnreadableFiles();

    AppContext& context_;
    wxNotebook* tabs_ = nullptr;
    wxTextCtrl* folderBox_ = nullptr;
    std::array<wxPanel*, kMainTabCount> pages_{};
    // The largest best size of the pages built so far.
    wxSize pagesBest_{0, 0};
    // The least room inside the window that shows every page built so far.
    wxSize leastClient_{0, 0};
    SearchPage* searchPage_ = nullptr;
    RtpPage* rtpPage_ = nullptr;
    CheckPage* checkPage_ = nullptr;
    ImportPage* importPage_ = nullptr;
    ExportPage* exportPage_ = nullptr;
    int settingsMenuIndex_ = -1;
    // The last openProject() failed with a message of its own.
    bool openFailureShown_ = false;
    // The project and files of the last box about unreadable files ("" = none shown).
    std::string lastDamageShown_;
    // The worker reading every table; the database is not opened again until it is joined.
    std::thread fileCheck_;
    std::atomic<bool> fileCheckStop_{false};
    // Counts checks started and stopped: a late result of an earlier one is dropped.
    unsigned fileCheckGeneration_ = 0;
    bool fileCheckPending_ = false;
    // The maps of the open project the last finished check could not read.
    std::vector<Diagnostic> unreadableMaps_;
};

}  // namespace zorvane

// The main window. Menus, toolbar buttons and the rules that enable them are tables;
// every command that would change the project or start work is refused while a long
// task runs, whether it comes from a menu, a button or a key.
#include "app/main_frame.h"

#include <wx/artprov.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/check_page.h"
#include "app/export_page.h"
#include "app/file_dialogs.h"
#include "app/import_page.h"
#include "app/message_box.h"
#include "app/rtp_page.h"
#include "app/search_page.h"
#include "app/settings_dialog.h"
#include "app/wx_text.h"
#include "map/map_data.h"
#include "platform/file_util.h"
#include "platform/folders.h"
#include "platform/path_nocase.h"
#include "platform/registry_store.h"
#include "platform/shell.h"
#include "project/file_helpers.h"
#include "update/program_identity.h"

namespace zorvane {

namespace {

const char* const kMenuTitles[] = {wxTRANSLATE("ファイル(&F)"), wxTRANSLATE("ツール(&T)"),
                                   wxTRANSLATE("設定(&C)"), wxTRANSLATE("ヘルプ(&H)")};
constexpr int kSettingsMenu = 2;

struct MenuRow {
    int menu;
    int id;  // 0 = separator
    const char* label;
};

const MenuRow kMenuRows[] = {
    {0, kCmdOpen, wxTRANSLATE("プロジェクトを開く(&O)\tCtrl+O")},
    {0, kCmdReload, wxTRANSLATE("プロジェクトを再読み込み(&R)\tCtrl+R")},
    {0, 0, ""},
    {0, kCmdUninstall, wxTRANSLATE("アンインストール用終了(&U)")},
    {0, kCmdExit, wxTRANSLATE("終了(&X)\tAlt+F4")},
    {1, kCmdOpenRpgxp, wxTRANSLATE("RPGツクールXPで開く")},
    {1, kCmdGameFolder, wxTRANSLATE("ゲームフォルダを開く")},
    {1, 0, ""},
    {1, kCmdEventViewer, wxTRANSLATE("イベントビュアー(&E)\tCtrl+E")},
    {1, kCmdMapViewer, wxTRANSLATE("マップビュアー(&M)\tCtrl+M")},
    {3, kCmdHelp, wxTRANSLATE("マニュアル(&M)\tF1")},
    {3, 0, ""},
    {3, kCmdVersion, wxTRANSLATE("バージョン情報(&V)")},
    {3, kCmdWebPage, wxTRANSLATE("WebPage(&W)")},
};

struct ToolRow {
    int id;  // 0 = separator
    const char* art;
    const char* tooltip;
};

const ToolRow kToolRows[] = {
    {0, "", ""},
    {kCmdOpen, wxART_FILE_OPEN, wxTRANSLATE("プロジェクトを開く")},
    {kCmdReload, wxART_REDO, wxTRANSLATE("現在のプロジェクトを再読み込み")},
    {0, "", ""},
    {kCmdEventViewer, wxART_REPORT_VIEW, wxTRANSLATE("イベントビュアー")},
    {kCmdMapViewer, wxART_FIND, wxTRANSLATE("マップビュアー")},
    {0, "", ""},
    {kCmdHelp, wxART_HELP, wxTRANSLATE("ヘルプ")},
};

const char* const kTabTitles[kMainTabCount] = {wxTRANSLATE("検索"), wxTRANSLATE("RTPコピー"),
                                               wxTRANSLATE("エクスポート"),
                                               wxTRANSLATE("インポート"), wxTRANSLATE("診断")};

// When a command may run.
enum class Rule { NotBusy, LoadedNotBusy, LoadedWithRpgxp, Loaded };

struct StateRow {
    int id;
    Rule rule;
};

const StateRow kStateRows[] = {
    {kCmdOpen, Rule::NotBusy},
    {kCmdSettings, Rule::NotBusy},
    {kCmdReload, Rule::LoadedNotBusy},
    {kCmdEventViewer, Rule::LoadedNotBusy},
    {kCmdMapViewer, Rule::LoadedNotBusy},
    {kCmdOpenRpgxp, Rule::LoadedWithRpgxp},
    {kCmdGameFolder, Rule::Loaded},
};

const char* const kUnreadableHead =
    wxTRANSLATE("次のファイルを読み込めませんでした。その内容は表示・検索されません。");
const char* const kUnreadableMark = wxTRANSLATE("  ※読み込めないファイル%zu個");

const char* const kHmJreKey = "Software\\Hidemaruo\\HmJre";

// The help file when it is installed, else the HTML manual that comes with the program.
std::string findHelpFile() {
    std::string program = programFolder();
    const std::string candidates[] = {
        joinPath(program, "zorvane.chm"),
        joinPath(program, "manual.html"),
        joinPath(program, "docs/manual.html"),
        joinPath(program, "../share/doc/zorvane/manual.html"),
        joinPath(program, "../docs/manual.html"),
    };
    for (const std::string& path : candidates)
        if (fileExists(path)) return path;
    return "";
}

// The registry may name RPGXP's folder rather than its program.
std::string rpgxpProgram(const std::string& applicationPath) {
    if (!isDirectory(applicationPath)) return applicationPath;
    if (auto program = findPathNoCase(applicationPath, "RPGXP.exe")) return *program;
    return joinPath(applicationPath, "RPGXP.exe");
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

}  // namespace

MainFrame::MainFrame(AppContext& context)
    // The remembered place given at creation: a later Move to where wx thinks the window
    // already is would leave the window manager to put it anywhere, even partly off screen.
    : wxFrame(nullptr, wxID_ANY, kProgramName,
              wxPoint(context.settings.mainWnd.left, context.settings.mainWnd.top)),
      context_(context) {
    createMenus();
    createToolBar();
    createBody();
    bindCommands();
    context_.tasks.setStateListener([this] { updateCommandStates(); });
    const WindowPlace& place = context_.settings.mainWnd;
    if (place.width > 0 && place.height > 0) {
        wxSize kept(place.width, place.height);
        kept.IncTo(GetMinSize());
        SetSize(kept);
    }
    Move(place.left, place.top);
}

MainFrame::~MainFrame() {
    stopFileCheck();
    context_.tasks.setStateListener(nullptr);
}

void MainFrame::createMenus() {
    wxMenuBar* bar = new wxMenuBar;
    wxMenu* menus[std::size(kMenuTitles)];
    for (size_t i = 0; i < std::size(kMenuTitles); ++i) {
        menus[i] = new wxMenu;
        bar->Append(menus[i], tr(kMenuTitles[i]));
    }
    for (const MenuRow& row : kMenuRows) {
        if (row.id == 0)
            menus[row.menu]->AppendSeparator();
        else
            menus[row.menu]->Append(row.id, tr(row.label));
    }
    settingsMenuIndex_ = kSettingsMenu;
    SetMenuBar(bar);
}

void MainFrame::createToolBar() {
    wxToolBar* bar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
    for (const ToolRow& row : kToolRows) {
        if (row.id == 0) {
            bar->AddSeparator();
            continue;
        }
        wxBitmap image = wxArtProvider::GetBitmap(row.art, wxART_TOOLBAR, wxSize(16, 16));
        bar->AddTool(row.id, tr(row.tooltip), image, tr(row.tooltip));
    }
    bar->Realize();
}

void MainFrame::createBody() {
    wxPanel* body = new wxPanel(this);
    wxBoxSizer* column = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* folderRow = new wxBoxSizer(wxHORIZONTAL);
    folderRow->Add(new wxStaticText(body, wxID_ANY, tr("プロジェクトフォルダ")), 0,
                   wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    folderBox_ =
        new wxTextCtrl(body, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    // Shown while no project is open, so a first start says where to begin.
    folderBox_->SetHint(
        tr("「ファイル」→「プロジェクトを開く」(Ctrl+O) で Game.rxproj を選んでください"));
    folderRow->Add(folderBox_, 1, wxEXPAND);
    column->Add(folderRow, 0, wxEXPAND | wxALL, 6);

    tabs_ = new wxNotebook(body, wxID_ANY);
    for (int tab = 0; tab < kMainTabCount; ++tab) {
        pages_[tab] = new wxPanel(tabs_);
        tabs_->AddPage(pages_[tab], tr(kTabTitles[tab]));
    }
    // The pages' keys are bound here rather than by the pages, which are built only when
    // their tab is first shown: the keys are read and written back whether or not they were.
    bindSearchPageSettings(context_.settingsFile, context_.settings);
    bindExportPageSettings(context_.settingsFile, context_.settings);
    const int firstTab = context_.settings.system.lastTab;
    buildPage(static_cast<MainTab>(firstTab));
    tabs_->SetSelection(static_cast<size_t>(firstTab));
    // While a task runs the tabs stay where they are, but the page itself stays enabled:
    // its abort button must still answer. GTK lets a vetoed change happen anyway (without
    // the changed event), so the kept page is selected again afterwards.
    tabs_->Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, [this](wxBookCtrlEvent& event) {
        if (!busy() || event.GetEventObject() != tabs_) return;
        event.Veto();
        int keep = event.GetOldSelection();
        CallAfter([this, keep] {
            if (keep >= 0 && tabs_->GetSelection() != keep)
                tabs_->ChangeSelection(static_cast<size_t>(keep));
        });
    });
    tabs_->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& event) {
        int selected = event.GetSelection();
        if (selected >= 0 && selected < kMainTabCount) {
            context_.settings.system.lastTab = selected;
            buildPage(static_cast<MainTab>(selected));
        }
        event.Skip();
    });
    column->Add(tabs_, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    body->SetSizer(column);
    // The pages' own minimum is the floor (it fits an 800×600 screen); a first start opens
    // a little roomier than that.
    SetSizeHints(wxDefaultSize);
    leastClient_ = column->GetMinSize();
    SetMinClientSize(leastClient_);
    wxSize first = FromDIP(wxSize(720, 560));
    first.IncTo(GetMinSize());
    SetSize(first);
    Bind(wxEVT_SIZE, &MainFrame::onSize, this);
}

// The minimum is kept as a size of the whole window, frame included, and the frame's size
// is known only once the window manager has framed the window: until then the minimum
// lacks the title bar, and the pages would get less than their own minimum.
void MainFrame::onSize(wxSizeEvent& event) {
    if (!inPassingSize() && ClientToWindowSize(leastClient_) != GetMinSize())
        CallAfter([this] { keepMinimum(); });
    event.Skip();
}

// While the window is first framed, GTK passes it through a size far below any minimum.
bool MainFrame::inPassingSize() const {
    wxSize size = GetSize(), least = GetMinSize();
    return size.x < least.x || size.y < least.y;
}

// Building every page costs as much as the rest of the start, so a page is built when its
// tab is first shown. It reads the project, the settings and the busy state as it is
// built, and joins the hooks from then on.
void MainFrame::buildPage(MainTab tab) {
    if (isPageBuilt(tab)) return;
    wxPanel* panel = pages_[tab];
    wxPanel* content = nullptr;
    switch (tab) {
        case kTabSearch:
            content = searchPage_ = new SearchPage(panel, context_);
            break;
        case kTabRtpCopy:
            content = rtpPage_ = new RtpPage(panel, context_, [this] { reloadProject(); });
            break;
        case kTabExport:
            content = exportPage_ = new ExportPage(panel, context_);
            break;
        case kTabImport:
            content = importPage_ = new ImportPage(panel, context_, [this] { reloadProject(); });
            break;
        case kTabCheck:
            content = checkPage_ = new CheckPage(panel, context_);
            break;
        case kMainTabCount:
            return;
    }
    auto* fill = new wxBoxSizer(wxVERTICAL);
    fill->Add(content, 1, wxEXPAND);
    panel->SetSizer(fill);
    // A page built with the window is wx's default 20×20 until the notebook is first laid
    // out; laid out at that size, its buttons get less room than GTK can draw them in (and
    // it warns at every start). It starts at its own best size; the notebook sizes it on.
    wxSize room = panel->GetSize();
    room.IncTo(content->GetBestSize());
    panel->SetSize(room);
    panel->Layout();
    fitMinimumToPage(content->GetBestSize());
}

// The window's minimum covers every page built so far. Each page is measured as it is
// built, as the window first measured them all, not after a project filled its lists.
void MainFrame::fitMinimumToPage(wxSize best) {
    wxSize grow(std::max(0, best.x - pagesBest_.x), std::max(0, best.y - pagesBest_.y));
    pagesBest_.IncTo(best);
    // Still being made: createBody sets the first minimum from the notebook.
    if (!tabs_->GetParent()->GetSizer() || grow == wxSize(0, 0)) return;
    leastClient_ += grow;
    keepMinimum();
    tabs_->GetParent()->Layout();
}

void MainFrame::keepMinimum() {
    if (inPassingSize()) return;  // its next size event comes back here
    SetMinClientSize(leastClient_);
    wxSize client = GetClientSize();
    if (client.x < leastClient_.x || client.y < leastClient_.y) {
        client.IncTo(leastClient_);
        SetClientSize(client);
    }
}

bool MainFrame::isPageBuilt(MainTab tab) const {
    return pages_[tab] && pages_[tab]->GetSizer() != nullptr;
}

SearchPage* MainFrame::searchPage() {
    buildPage(kTabSearch);
    return searchPage_;
}

RtpPage* MainFrame::rtpPage() {
    buildPage(kTabRtpCopy);
    return rtpPage_;
}

CheckPage* MainFrame::checkPage() {
    buildPage(kTabCheck);
    return checkPage_;
}

ImportPage* MainFrame::importPage() {
    buildPage(kTabImport);
    return importPage_;
}

ExportPage* MainFrame::exportPage() {
    buildPage(kTabExport);
    return exportPage_;
}

void MainFrame::bindCommands() {
    struct Handler {
        int id;
        void (MainFrame::*run)();
    };
    static const Handler kHandlers[] = {
        {kCmdOpen, &MainFrame::openProjectDialog},
        {kCmdReload, &MainFrame::reloadProject},
        {kCmdUninstall, &MainFrame::uninstallExit},
        {kCmdOpenRpgxp, &MainFrame::openInRpgxp},
        {kCmdGameFolder, &MainFrame::openGameFolder},
        {kCmdSettings, &MainFrame::showSettings},
        {kCmdHelp, &MainFrame::showHelp},
        {kCmdVersion, &MainFrame::showVersion},
        {kCmdWebPage, &MainFrame::openWebPage},
    };
    for (const Handler& h : kHandlers)
        Bind(
            wxEVT_MENU, [this, run = h.run](wxCommandEvent&) { (this->*run)(); }, h.id);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, kCmdExit);
    Bind(
        wxEVT_MENU,
        [this](wxCommandEvent&) {
            if (!busy() && context_.hooks.openEventViewer) context_.hooks.openEventViewer(this);
        },
        kCmdEventViewer);
    Bind(
        wxEVT_MENU,
        [this](wxCommandEvent&) {
            if (!busy() && context_.hooks.openMapViewer) context_.hooks.openMapViewer(this);
        },
        kCmdMapViewer);
    // "設定(&C)" is an item of the bar itself: opening its (empty) menu runs the command.
    Bind(wxEVT_MENU_OPEN, [this](wxMenuEvent& event) {
        wxMenuBar* bar = GetMenuBar();
        if (bar && event.GetMenu() == bar->GetMenu(static_cast<size_t>(settingsMenuIndex_)))
            CallAfter([this] { showSettings(); });
        event.Skip();
    });
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        if (event.GetActive()) CallAfter([this] { checkProjectChanged(); });
        event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::onClose, this);
}

void MainFrame::openProjectDialog() {
    if (busy()) return;
    FileDialogRequest request;
    request.title = trs("プロジェクトを開く");
    request.filters = {{wxTRANSLATE("RPGXP プロジェクト(*.rxproj)"), "*.rxproj"}};
    const std::string& last = context_.settings.system.lastProject;
    request.folder = folderOf(last);
    if (fileExists(last)) request.fileName = last.substr(request.folder.size() + 1);
    std::string path = chooseFile(this, request);
    if (path.empty()) return;
    if (context_.hooks.closeProjectWindows) context_.hooks.closeProjectWindows();
    if (!openProject(path) && !openFailureShown_)
        showMessage(this, trs("プロジェクトの読み込みに失敗しました"), kMessageTitle,
                    wxOK | wxICON_WARNING);
}

bool MainFrame::openProject(const std::string& path) {
    context_.askedAboutChange = false;
    openFailureShown_ = false;
    // Kept absolute: the folder box shows it, and the next start may run elsewhere.
    std::string full = absolutePath(path);
    bool opened = false;
    stopFileCheck();  // the database it reads is about to be replaced
    // A damaged project must never take the program down, also when it is opened at
    // start-up: what it provokes is shown, and the program goes on without it.
    try {
        opened = context_.database.open(full, context_.commonFiles);
        if (opened) {
            context_.settings.system.lastProject = full;
            repairRememberedIds(context_.settings, context_.database);
        }
        if (context_.hooks.refreshPages) context_.hooks.refreshPages();
        if (opened) startFileCheck();
    } catch (const std::exception& e) {
        opened = false;
        context_.database.clear();
        openFailureShown_ = true;
        showMessage(this, trs("プロジェクトの読み込み中にエラーが発生しました") + "\n\n" + e.what(),
                    kMessageTitle, wxOK | wxICON_WARNING);
        try {  // the pages let go of what they showed of it
            if (context_.hooks.refreshPages) context_.hooks.refreshPages();
        } catch (const std::exception&) {
        }
    }
    updateCommandStates();
    return opened;
}

// Every table and every map file is read once the window is up, so a damaged file is named
// when the project opens rather than showing up later as empty lists and searches that find
// nothing. The reading happens on a worker: the tables are the database's own, read once
// whoever asks first, so the window may use them meanwhile and keeps what the worker read;
// the maps are parsed one at a time and let go.
void MainFrame::startFileCheck() {
    const unsigned generation = ++fileCheckGeneration_;
    fileCheckPending_ = true;
    // Queued rather than started here: at start-up the window's first paint comes first.
    CallAfter([this, generation] {
        if (generation != fileCheckGeneration_) return;
        if (fileCheck_.joinable()) fileCheck_.join();
        fileCheckStop_ = false;
        fileCheck_ = std::thread([this, generation] {
            context_.database.loadAll(fileCheckStop_);
            std::vector<Diagnostic> maps = unreadableMaps(context_.database, fileCheckStop_);
            // The frame outlives the thread (it joins it before it goes), and what is
            // queued on it goes with it.
            if (!fileCheckStop_)
                CallAfter([this, generation, maps] { finishFileCheck(generation, maps); });
        });
    });
}

// Waits for at most the table or map being read; a result still queued is dropped by its
// number.
void MainFrame::stopFileCheck() {
    ++fileCheckGeneration_;
    fileCheckPending_ = false;
    fileCheckStop_ = true;
    if (fileCheck_.joinable()) fileCheck_.join();
    unreadableMaps_.clear();  // they were the maps of the project being let go
}

void MainFrame::finishFileCheck(unsigned generation, std::vector<Diagnostic> maps) {
    if (generation != fileCheckGeneration_) return;
    if (fileCheck_.joinable()) fileCheck_.join();
    fileCheckPending_ = false;
    unreadableMaps_ = std::move(maps);
    updateCommandStates();  // the title's mark, before the box waits for an answer
    reportUnreadableFiles();
}

std::vector<Diagnostic> MainFrame::unreadableFiles() const {
    std::vector<Diagnostic> files = context_.database.diagnostics();
    files.insert(files.end(), unreadableMaps_.begin(), unreadableMaps_.end());
    return files;
}

// The same damage is not shown twice in a row; the title keeps the mark.
void MainFrame::reportUnreadableFiles() {
    std::vector<Diagnostic> unreadable = unreadableFiles();
    std::string lines;
    for (const Diagnostic& d : unreadable) lines += "\n" + d.file + ": " + d.what;
    std::string state = unreadable.empty() ? "" : context_.database.projectFile + lines;
    if (state == lastDamageShown_) return;
    lastDamageShown_ = state;
    if (unreadable.empty()) return;
    showMessage(this, trs(kUnreadableHead) + "\n" + lines, kMessageTitle, wxOK | wxICON_WARNING);
}

void MainFrame::reloadProject() {
    if (busy() || !context_.database.loaded) return;
    openProject(context_.settings.system.lastProject);
    context_.askedAboutChange = false;
}

void MainFrame::checkProjectChanged() {
    if (!context_.settings.system.projectCheck || context_.askedAboutChange ||
        !context_.database.loaded || busy())
        return;
    if (!context_.database.hasChanged()) return;
    context_.askedAboutChange = true;
    int answer = showMessage(this,
                             trs("現在読み込んでいるプロジェクトが外部アプリケーションで\n"
                                 "変更されたようですがZorvaneでも再読み込みしますか？"),
                             kMessageTitle, wxYES_NO | wxICON_QUESTION);
    if (answer != wxYES) return;
    reloadProject();
    Raise();
}

void MainFrame::enableCommand(int id, bool enable) {
    if (id == kCmdSettings) {
        GetMenuBar()->EnableTop(static_cast<size_t>(settingsMenuIndex_), enable);
        return;
    }
    GetMenuBar()->Enable(id, enable);
    if (GetToolBar()->FindById(id)) GetToolBar()->EnableTool(id, enable);
}

bool MainFrame::isCommandEnabled(int id) const {
    if (id == kCmdSettings)
        return GetMenuBar()->IsEnabledTop(static_cast<size_t>(settingsMenuIndex_));
    bool menu = GetMenuBar()->IsEnabled(id);
    if (!GetToolBar()->FindById(id)) return menu;
    return menu && GetToolBar()->GetToolEnabled(id);
}

void MainFrame::updateCommandStates() {
    bool loaded = context_.database.loaded;
    bool idle = !busy();
    for (const StateRow& row : kStateRows) {
        bool on = false;
        switch (row.rule) {
            case Rule::NotBusy:
                on = idle;
                break;
            case Rule::LoadedNotBusy:
                on = loaded && idle;
                break;
            case Rule::LoadedWithRpgxp:
                on = loaded && !context_.rpgxpPath.empty();
                break;
            case Rule::Loaded:
                on = loaded;
                break;
        }
        enableCommand(row.id, on);
    }
    folderBox_->ChangeValue(loaded ? toWx(context_.database.projectFolder) : wxString());
    std::string title = kProgramName;
    if (loaded) title += " - [" + context_.database.title + "]";
    size_t unreadable = loaded ? unreadableFiles().size() : 0;
    if (unreadable > 0) title += trf(kUnreadableMark, unreadable);
    SetTitle(toWx(title));
    if (context_.hooks.updatePageStates) context_.hooks.updatePageStates();
}

void MainFrame::uninstallExit() {
    if (busy()) return;
    int answer =
        showMessage(this, trs("レジストリ情報を削除して終了しますか？"),
                    trs("アンインストール用終了"), wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
    if (answer != wxYES) return;
    if (context_.hooks.unregisterProgram) context_.hooks.unregisterProgram();
    RegistryStore& registry = RegistryStore::user();
    registry.deleteKey(kHmJreKey);
    registry.save();
    Close();
}

void MainFrame::showVersion() {
    if (busy()) return;
    std::string text = std::string(kProgramName) + " " + kVersionText + "\n" + trs(kVersionNote);
    showMessage(this, text, trs("バージョン情報"), wxOK | wxICON_INFORMATION);
}

void MainFrame::showHelp() {
    std::string help = findHelpFile();
    // With nothing installed, the shell's own report names the missing file.
    shellOpen(help.empty() ? joinPath(programFolder(), "zorvane.chm") : help);
}

void MainFrame::openWebPage() {
    shellOpen(kWebPageUrl);
}

void MainFrame::showSettings() {
    if (busy()) return;
    runSettingsDialog(this, context_);
}

void MainFrame::openInRpgxp() {
    if (!context_.database.loaded || context_.rpgxpPath.empty()) return;
    // Wine quotes the argument for the Windows command line itself.
    if (!runDetached({"wine", rpgxpProgram(context_.rpgxpPath), context_.database.projectFile}))
        showMessage(this, trs("RPGツクールXPを起動できませんでした"), kMessageTitle,
                    wxOK | wxICON_WARNING);
}

void MainFrame::openGameFolder() {
    if (!context_.database.loaded) return;
    shellOpen(context_.database.projectFolder);
}

void MainFrame::onClose(wxCloseEvent& event) {
    if (busy()) {
        if (event.CanVeto()) {
            event.Veto();
            return;
        }
        context_.tasks.abort();  // the system is going down: stop the work rather than lose it
    }
    if (!IsIconized() && !IsMaximized()) {
        wxRect place = GetRect();
        context_.settings.mainWnd = {place.x, place.y, place.width, place.height};
    }
    if (tabs_->GetSelection() >= 0) context_.settings.system.lastTab = tabs_->GetSelection();
    if (context_.hooks.storePageState) context_.hooks.storePageState();
    context_.tasks.setStateListener(nullptr);
    stopFileCheck();
    Destroy();
}

}  // namespace zorvane

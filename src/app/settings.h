// The user's settings: plain option structs, the keys of zorvane.ini that they are bound
// to (one table of rows per moment of binding), and the file that reads every bound key
// once when it is bound and writes them all back once at exit. Nothing here needs a window.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "map/render_options.h"
#include "platform/ini_file.h"
#include "update/program_identity.h"

namespace zorvane {

class ProjectDatabase;

struct SystemSettings {
    std::string lastProject, lastDir;
    int lastTab = 0, lastTab2 = 0;
    bool autoRead = true, firstOnly = false, detail = true, projectCheck = true;
    int language = 0;  // of the windows: 0 the environment's, 1 Japanese, 2 English
};

struct WindowPlace {
    int left = 0, top = 0, width = 0, height = 0;
};

struct EventViewerSettings {
    WindowPlace place;
    bool lineNum = true, detail = true, saveMode = true;
    int lastView = 0;
    std::string template1, template2, rubyColor;
};

// The viewer's own keys beside the render options that saved pictures share.
struct MapViewerSettings {
    WindowPlace place;
    int mapWndWidth = 200;
    bool zoomQuality = false, bltCursor = true;
    RenderOptions render;
};

struct UpdateSettings {
    bool autoCheck = false, autoClose = false, useProxy = false;
    std::string proxyHost;
    int proxyPort = 0, timeOut = 30;
    // Not on the settings sheet: a file-only key, so a test server or a mirror can stand in.
    std::string infoUrl = kUpdateInfoUrl;
};

constexpr int kCsvTableCount = 12;

struct DataExportSettings {
    std::array<bool, kCsvTableCount> csvCheck{};
    std::string outputDir;
    bool noEmptyEvent = true;
    int outputEncoding = 0;  // CSV and text files: 0 automatic, 1 Shift_JIS, 2 UTF-8
};

// Rows of the search range and of the export: common events, battle events, map events,
// scripts. radio false = "全て", true = "指定".
struct EventRangeSettings {
    std::array<bool, 4> check{}, radio{};
    std::array<int, 4> select{};
    bool includeSubMaps = true;
    bool mapImages = false;  // export only
    bool site = false;       // export only: the whole project as a browsable site
};

enum EventRangeRow { kRangeCommonEvents, kRangeBattleEvents, kRangeMapEvents, kRangeScripts };

// The switch, variable and common event pages of the search.
struct IdSearchSettings {
    std::array<bool, 3> check{};  // switch and variable pages only
    bool andMode = true;
    std::array<int, 2> select{};
    std::array<bool, 2> idCheck{};
};

struct TextSearchSettings {
    std::array<bool, 3> options{};  // case, regular expression, fuzzy
    std::array<bool, 8> targets{};
    std::string text;
};

struct CommandSearchSettings {
    std::array<bool, 6> check{};
    std::array<int, 6> select{};
};

struct Settings {
    SystemSettings system;
    WindowPlace mainWnd, searchWnd, animeWnd;
    EventViewerSettings eventViewer;
    MapViewerSettings mapViewer;
    UpdateSettings update;
    DataExportSettings dataExport;
    EventRangeSettings searchRange, exportRange;
    IdSearchSettings searchSwitch, searchVariable, searchCommonEvent;
    TextSearchSettings searchText;
    CommandSearchSettings searchCommand;
    bool searchMissingFiles = true;
};

struct DesktopSize {
    int width = 0, height = 0;
};

// Where the path defaults point.
struct SettingsPlaces {
    std::string programFolder;
    std::string templateFolder;
};

enum class BindingKind { Int, RangedInt, Bool, String };

// One remembered binding: the key and the variable it is written back from.
struct Binding {
    std::string section, key;
    BindingKind kind;
    std::variant<int*, bool*, std::string*> target;
};

class SettingsFile {
  public:
    // No path: every read gives the default (strings give ""), saveAll writes nothing.
    SettingsFile() = default;
    // Reads the file once; a missing file means every key has its default.
    explicit SettingsFile(std::string path);

    void bindInt(const std::string& section, const std::string& key, int& var, int def);
    void bindRangedInt(const std::string& section, const std::string& key, int& var, int def,
                       int min, int max);
    void bindBool(const std::string& section, const std::string& key, bool& var, bool def);
    void bindString(const std::string& section, const std::string& key, std::string& var,
                    const std::string& def, size_t size = 512);

    // Writes every binding, in the order of binding; false when the file cannot be written.
    bool saveAll();

    const std::string& path() const { return path_; }
    const std::vector<Binding>& bindings() const { return bindings_; }

  private:
    std::string path_;
    IniFile ini_;
    std::vector<Binding> bindings_;
};

// The keys bound at start-up (System to DataExport).
void bindStartupSettings(SettingsFile& file, Settings& settings, const DesktopSize& desktop,
                         const SettingsPlaces& places);
// The keys of the search page and of the export page, bound with the main window (before
// the pages, which may never be built).
void bindSearchPageSettings(SettingsFile& file, Settings& settings);
void bindExportPageSettings(SettingsFile& file, Settings& settings);

// After a project opens: remembered ids that the project does not have become 1.
void repairRememberedIds(Settings& settings, const ProjectDatabase& database);

// What a setting's default is, for the sheet's "戻" buttons.
extern const MapViewerSettings kMapViewerDefaults;

}  // namespace zorvane

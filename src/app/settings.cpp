// zorvane.ini: the binding rows of every key, how each kind is read and written, and the
// repair of remembered ids once a project is open. The rows are data; the few rules
// (desktop clamps, a floor of one second) are named limits on a row.
#include "app/settings.h"

#include "platform/codepage.h"
#include "platform/file_util.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

using Target = std::variant<int*, bool*, std::string*>;
using FieldFn = Target (*)(Settings&, int index);

// clang-format off
// Reaches s.m1.m2... (a left fold over the member pointers).
template <auto... Members>
Target field(Settings& s, int) {
    return &(s .* ... .* Members);
}

// Element `index` of the std::array at s.m1.m2...
template <auto... Members>
Target element(Settings& s, int index) {
    return &(s .* ... .* Members)[static_cast<size_t>(index)];
}
// clang-format on

enum class Limit {
    None,
    Range,          // min..max
    DesktopWidth,   // 0..SW-W-1, W from sizeField (0 for windows of fixed size)
    DesktopHeight,  // 0..SH-H-1
    BelowField,     // 0..sizeField-1
    AtLeastOne,     // a value below 1 becomes 1
};

enum class TextBase { Literal, ProgramFolder, TemplateFolder };

struct SettingRow {
    const char* section;
    const char* key;  // "%d" or "%c" stand for the index of a series
    BindingKind kind;
    FieldFn target;
    int def = 0;
    int count = 1;
    int first = 1;  // index number (or letter) of the series' first key
    Limit limit = Limit::None;
    int min = 0, max = 0;
    FieldFn sizeField = nullptr;
    TextBase base = TextBase::Literal;
    const char* text = "";
    size_t size = 512;
    bool firstOnly = false;  // a series whose later keys default to the opposite of def
};

SettingRow boolRow(const char* section, const char* key, FieldFn target, bool def) {
    return {section, key, BindingKind::Bool, target, def ? 1 : 0};
}

SettingRow boolSeries(const char* section, const char* key, FieldFn target, bool def, int count,
                      int first = 1) {
    SettingRow row = boolRow(section, key, target, def);
    row.count = count;
    row.first = first;
    return row;
}

// A row of ticks of which only the first starts ticked: a fresh page searches one thing.
SettingRow firstTickedSeries(const char* section, const char* key, FieldFn target, int count,
                             int first = 1) {
    SettingRow row = boolSeries(section, key, target, true, count, first);
    row.firstOnly = true;
    return row;
}

SettingRow intRow(const char* section, const char* key, FieldFn target, int def) {
    return {section, key, BindingKind::Int, target, def};
}

SettingRow intSeries(const char* section, const char* key, FieldFn target, int def, int count) {
    SettingRow row = intRow(section, key, target, def);
    row.count = count;
    return row;
}

SettingRow rangedRow(const char* section, const char* key, FieldFn target, int def, int min,
                     int max) {
    SettingRow row{section, key, BindingKind::RangedInt, target, def};
    row.limit = Limit::Range;
    row.min = min;
    row.max = max;
    return row;
}

SettingRow limitedRow(const char* section, const char* key, FieldFn target, int def, Limit limit,
                      FieldFn sizeField = nullptr) {
    SettingRow row{section, key, BindingKind::RangedInt, target, def};
    row.limit = limit;
    row.sizeField = sizeField;
    return row;
}

SettingRow textRow(const char* section, const char* key, FieldFn target, TextBase base,
                   const char* text, size_t size = 512) {
    SettingRow row{section, key, BindingKind::String, target};
    row.base = base;
    row.text = text;
    row.size = size;
    return row;
}

// Width, Height, Left, Top of a window whose size the user can change. A size of 0 is
// nothing remembered: the window opens at its own size beside the main window.
void addPlaceRows(std::vector<SettingRow>& rows, const char* section, FieldFn width, FieldFn height,
                  FieldFn left, FieldFn top) {
    rows.push_back(intRow(section, "Width", width, 0));
    rows.push_back(intRow(section, "Height", height, 0));
    rows.push_back(limitedRow(section, "Left", left, 0, Limit::DesktopWidth, width));
    rows.push_back(limitedRow(section, "Top", top, 0, Limit::DesktopHeight, height));
}

using S = Settings;
using Sys = SystemSettings;
using WP = WindowPlace;
using EV = EventViewerSettings;
using MV = MapViewerSettings;
using RO = RenderOptions;
using Up = UpdateSettings;
using DE = DataExportSettings;
using ER = EventRangeSettings;
using IS = IdSearchSettings;
using TS = TextSearchSettings;
using CS = CommandSearchSettings;

std::vector<SettingRow> startupRows() {
    std::vector<SettingRow> rows = {
        textRow("System", "LastProject", field<&S::system, &Sys::lastProject>,
                TextBase::ProgramFolder, ""),
        // Empty: save dialogs start in the open project's folder (the program's own folder
        // is read-only once installed).
        textRow("System", "LastDir", field<&S::system, &Sys::lastDir>, TextBase::Literal, ""),
        rangedRow("System", "LastTab", field<&S::system, &Sys::lastTab>, 0, 0, 4),
        rangedRow("System", "LastTab2", field<&S::system, &Sys::lastTab2>, 0, 0, 5),
        boolRow("System", "AutoRead", field<&S::system, &Sys::autoRead>, true),
        boolRow("System", "FirstOnly", field<&S::system, &Sys::firstOnly>, false),
        boolRow("System", "Detail", field<&S::system, &Sys::detail>, true),
        boolRow("System", "ProjectCheck", field<&S::system, &Sys::projectCheck>, true),
        rangedRow("System", "Language", field<&S::system, &Sys::language>, 0, 0, 2),
        // 0 = the size the main window's pages ask for.
        intRow("MainWnd", "Width", field<&S::mainWnd, &WP::width>, 0),
        intRow("MainWnd", "Height", field<&S::mainWnd, &WP::height>, 0),
        limitedRow("MainWnd", "Left", field<&S::mainWnd, &WP::left>, 0, Limit::DesktopWidth,
                   field<&S::mainWnd, &WP::width>),
        limitedRow("MainWnd", "Top", field<&S::mainWnd, &WP::top>, 0, Limit::DesktopHeight,
                   field<&S::mainWnd, &WP::height>),
    };
    addPlaceRows(rows, "EventViewer", field<&S::eventViewer, &EV::place, &WP::width>,
                 field<&S::eventViewer, &EV::place, &WP::height>,
                 field<&S::eventViewer, &EV::place, &WP::left>,
                 field<&S::eventViewer, &EV::place, &WP::top>);
    rows.insert(
        rows.end(),
        {
            boolRow("EventViewer", "LineNum", field<&S::eventViewer, &EV::lineNum>, true),
            boolRow("EventViewer", "Detail", field<&S::eventViewer, &EV::detail>, true),
            boolRow("EventViewer", "SaveMode", field<&S::eventViewer, &EV::saveMode>, true),
            rangedRow("EventViewer", "LastView", field<&S::eventViewer, &EV::lastView>, 0, 0, 3),
            textRow("EventViewer", "Template1", field<&S::eventViewer, &EV::template1>,
                    TextBase::TemplateFolder, "header.html"),
            textRow("EventViewer", "Template2", field<&S::eventViewer, &EV::template2>,
                    TextBase::TemplateFolder, "footer.html"),
            textRow("EventViewer", "RubyColor", field<&S::eventViewer, &EV::rubyColor>,
                    TextBase::TemplateFolder, "ruby_color.txt"),
        });
    addPlaceRows(rows, "SearchWnd", field<&S::searchWnd, &WP::width>,
                 field<&S::searchWnd, &WP::height>, field<&S::searchWnd, &WP::left>,
                 field<&S::searchWnd, &WP::top>);
    rows.push_back(
        limitedRow("AnimeWnd", "Left", field<&S::animeWnd, &WP::left>, 0, Limit::DesktopWidth));
    rows.push_back(
        limitedRow("AnimeWnd", "Top", field<&S::animeWnd, &WP::top>, 0, Limit::DesktopHeight));
    addPlaceRows(rows, "MapViewer", field<&S::mapViewer, &MV::place, &WP::width>,
                 field<&S::mapViewer, &MV::place, &WP::height>,
                 field<&S::mapViewer, &MV::place, &WP::left>,
                 field<&S::mapViewer, &MV::place, &WP::top>);
    rows.insert(
        rows.end(),
        {
            limitedRow("MapViewer", "MapWndWidth", field<&S::mapViewer, &MV::mapWndWidth>, 200,
                       Limit::BelowField, field<&S::mapViewer, &MV::place, &WP::width>),
            rangedRow("MapViewer", "ZoomMode", field<&S::mapViewer, &MV::render, &RO::zoomMode>, 1,
                      0, 4),
            rangedRow("MapViewer", "SaveMode", field<&S::mapViewer, &MV::render, &RO::saveMode>, 0,
                      0, 2),
            rangedRow("MapViewer", "PngCompLv", field<&S::mapViewer, &MV::render, &RO::pngCompLv>,
                      6, 0, 9),
            rangedRow("MapViewer", "PngFilter", field<&S::mapViewer, &MV::render, &RO::pngFilter>,
                      5, 0, 5),
            rangedRow("MapViewer", "JpgQuality", field<&S::mapViewer, &MV::render, &RO::jpgQuality>,
                      90, 0, 100),
            boolRow("MapViewer", "ViewMapEvent1",
                    field<&S::mapViewer, &MV::render, &RO::viewMapEvent1>, true),
            boolRow("MapViewer", "ViewMapEvent2",
                    field<&S::mapViewer, &MV::render, &RO::viewMapEvent2>, true),
            boolRow("MapViewer", "ViewPanorama",
                    field<&S::mapViewer, &MV::render, &RO::viewPanorama>, true),
            boolRow("MapViewer", "ViewLayer1", field<&S::mapViewer, &MV::render, &RO::viewLayer1>,
                    true),
            boolRow("MapViewer", "ViewLayer2", field<&S::mapViewer, &MV::render, &RO::viewLayer2>,
                    true),
            boolRow("MapViewer", "ViewLayer3", field<&S::mapViewer, &MV::render, &RO::viewLayer3>,
                    true),
            boolRow("MapViewer", "ViewFog", field<&S::mapViewer, &MV::render, &RO::viewFog>, true),
            boolRow("MapViewer", "ZoomQuality", field<&S::mapViewer, &MV::zoomQuality>, false),
            boolRow("MapViewer", "SimpleMap", field<&S::mapViewer, &MV::render, &RO::simpleMap>,
                    false),
            boolRow("MapViewer", "BltGlid", field<&S::mapViewer, &MV::render, &RO::bltGlid>, false),
            boolRow("MapViewer", "BltCursor", field<&S::mapViewer, &MV::bltCursor>, true),
            textRow("MapViewer", "ColorGlid", field<&S::mapViewer, &MV::render, &RO::colorGlid>,
                    TextBase::Literal, "#000000", 256),
            textRow("MapViewer", "ColorSimple1",
                    field<&S::mapViewer, &MV::render, &RO::colorSimple1>, TextBase::Literal,
                    "#99CCFF", 256),
            textRow("MapViewer", "ColorSimple2",
                    field<&S::mapViewer, &MV::render, &RO::colorSimple2>, TextBase::Literal,
                    "#FFFFCC", 256),
            boolRow("Update", "AutoCheck", field<&S::update, &Up::autoCheck>, false),
            boolRow("Update", "AutoClose", field<&S::update, &Up::autoClose>, false),
            boolRow("Update", "UseProxy", field<&S::update, &Up::useProxy>, false),
            textRow("Update", "ProxyHost", field<&S::update, &Up::proxyHost>, TextBase::Literal,
                    ""),
            intRow("Update", "ProxyPort", field<&S::update, &Up::proxyPort>, 0),
            limitedRow("Update", "TimeOut", field<&S::update, &Up::timeOut>, 30, Limit::AtLeastOne),
            textRow("Update", "InfoURL", field<&S::update, &Up::infoUrl>, TextBase::Literal,
                    kUpdateInfoUrl),
            boolSeries("DataExport", "CsvCheck%d", element<&S::dataExport, &DE::csvCheck>, true,
                       kCsvTableCount),
            // Empty: the export page offers the open project's folder.
            textRow("DataExport", "OutputDir", field<&S::dataExport, &DE::outputDir>,
                    TextBase::Literal, ""),
            boolRow("DataExport", "NoEmptyEvent", field<&S::dataExport, &DE::noEmptyEvent>, true),
            rangedRow("DataExport", "OutputEncoding", field<&S::dataExport, &DE::outputEncoding>, 0,
                      0, 2),
        });
    return rows;
}

// The switch and variable pages share their keys; the common event page has no options.
template <auto Page>
void addIdSearchRows(std::vector<SettingRow>& rows, const char* section, bool withOptions) {
    if (withOptions) {
        rows.push_back(boolSeries(section, "Check%d", element<Page, &IS::check>, true, 3));
        rows.push_back(boolRow(section, "AND", field<Page, &IS::andMode>, true));
    }
    rows.push_back(intSeries(section, "Select%d", element<Page, &IS::select>, 1, 2));
    rows.push_back(firstTickedSeries(section, "Check%d", element<Page, &IS::idCheck>, 2, 4));
}

std::vector<SettingRow> searchPageRows() {
    std::vector<SettingRow> rows = {
        boolSeries("SearchRange", "Check%d", element<&S::searchRange, &ER::check>, true, 4),
        boolSeries("SearchRange", "Radio%d", element<&S::searchRange, &ER::radio>, false, 4),
        intSeries("SearchRange", "Select%d", element<&S::searchRange, &ER::select>, 0, 4),
        boolRow("SearchRange", "EventCheck5", field<&S::searchRange, &ER::includeSubMaps>, true),
    };
    addIdSearchRows<&S::searchSwitch>(rows, "SearchItemSw", true);
    addIdSearchRows<&S::searchVariable>(rows, "SearchItemVr", true);
    addIdSearchRows<&S::searchCommonEvent>(rows, "SearchItemCommonEvent", false);
    rows.insert(
        rows.end(),
        {
            // Plain matching unless asked: "Misty(" is a text, not a broken pattern.
            boolSeries("SearchItemText", "Check1%c", element<&S::searchText, &TS::options>, false,
                       3, 'a'),
            boolSeries("SearchItemText", "Check2%c", element<&S::searchText, &TS::targets>, true, 8,
                       'a'),
            textRow("SearchItemText", "Text", field<&S::searchText, &TS::text>, TextBase::Literal,
                    "", 512),
            firstTickedSeries("SearchItemEvent", "Check%d", element<&S::searchCommand, &CS::check>,
                              6),
            intSeries("SearchItemEvent", "Select%d", element<&S::searchCommand, &CS::select>, 0, 6),
            boolRow("SearchItemError", "Check1", field<&S::searchMissingFiles>, true),
        });
    return rows;
}

std::vector<SettingRow> exportPageRows() {
    return {
        boolSeries("DataExport", "EventCheck%d", element<&S::exportRange, &ER::check>, true, 4),
        boolSeries("DataExport", "EventRadio%d", element<&S::exportRange, &ER::radio>, false, 4),
        intSeries("DataExport", "EventSelect%d", element<&S::exportRange, &ER::select>, 0, 4),
        boolRow("DataExport", "EventCheck5", field<&S::exportRange, &ER::includeSubMaps>, true),
        boolRow("DataExport", "EventCheck6", field<&S::exportRange, &ER::mapImages>, false),
        boolRow("DataExport", "Site", field<&S::exportRange, &ER::site>, false),
    };
}

std::string keyName(const char* form, int index) {
    std::string key = form;
    size_t mark = key.find('%');
    if (mark == std::string::npos || mark + 1 >= key.size()) return key;
    std::string text =
        key[mark + 1] == 'c' ? std::string(1, static_cast<char>(index)) : std::to_string(index);
    return key.replace(mark, 2, text);
}

struct BindContext {
    SettingsFile& file;
    Settings& settings;
    DesktopSize desktop;
    SettingsPlaces places;
};

int sizeOf(const SettingRow& row, Settings& settings) {
    if (!row.sizeField) return 0;
    return *std::get<int*>(row.sizeField(settings, 0));
}

void bindIntRow(const SettingRow& row, const std::string& key, int& var, BindContext& c) {
    switch (row.limit) {
        case Limit::None:
            c.file.bindInt(row.section, key, var, row.def);
            return;
        case Limit::Range:
            c.file.bindRangedInt(row.section, key, var, row.def, row.min, row.max);
            return;
        case Limit::DesktopWidth:
            c.file.bindRangedInt(row.section, key, var, row.def, 0,
                                 c.desktop.width - sizeOf(row, c.settings) - 1);
            return;
        case Limit::DesktopHeight:
            c.file.bindRangedInt(row.section, key, var, row.def, 0,
                                 c.desktop.height - sizeOf(row, c.settings) - 1);
            return;
        case Limit::BelowField:
            c.file.bindRangedInt(row.section, key, var, row.def, 0, sizeOf(row, c.settings) - 1);
            return;
        case Limit::AtLeastOne:
            c.file.bindInt(row.section, key, var, row.def);
            if (var < 1) var = 1;
            return;
    }
}

std::string textDefault(const SettingRow& row, const SettingsPlaces& places) {
    switch (row.base) {
        case TextBase::ProgramFolder:
            return joinPath(places.programFolder, row.text);
        case TextBase::TemplateFolder:
            return joinPath(places.templateFolder, row.text);
        case TextBase::Literal:
            break;
    }
    return row.text;
}

void bindRows(const std::vector<SettingRow>& rows, BindContext& c) {
    for (const SettingRow& row : rows) {
        for (int i = 0; i < row.count; ++i) {
            std::string key = keyName(row.key, row.first + i);
            Target target = row.target(c.settings, i);
            if (row.kind == BindingKind::Bool)
                c.file.bindBool(row.section, key, *std::get<bool*>(target),
                                (row.def != 0) != (row.firstOnly && i > 0));
            else if (row.kind == BindingKind::String)
                c.file.bindString(row.section, key, *std::get<std::string*>(target),
                                  textDefault(row, c.places), row.size);
            else
                bindIntRow(row, key, *std::get<int*>(target), c);
        }
    }
}

// Cuts to at most size-1 bytes, the way a fixed buffer would, without splitting a character.
std::string fitBuffer(std::string text, size_t size) {
    if (size == 0) return "";
    if (text.size() < size) return text;
    size_t cut = 0;
    while (cut < text.size()) {
        size_t len = utf8CharLength(text, cut);
        if (len == 0) len = 1;
        if (cut + len > size - 1) break;
        cut += len;
    }
    text.resize(cut);
    return text;
}

}  // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {
    // Older files were written in Shift_JIS; the file is read in UTF-8 either way and
    // written back in UTF-8.
    std::string bytes;
    if (readRegularFile(path_, kMaxIniBytes, bytes)) ini_ = IniFile::fromText(toUtf8Lenient(bytes));
}

void SettingsFile::bindInt(const std::string& section, const std::string& key, int& var, int def) {
    var = path_.empty() ? def : ini_.getInt(section, key, def);
    bindings_.push_back({section, key, BindingKind::Int, &var});
}

void SettingsFile::bindRangedInt(const std::string& section, const std::string& key, int& var,
                                 int def, int min, int max) {
    var = path_.empty() ? def : ini_.getInt(section, key, def);
    if (var < min || var > max) var = def;
    bindings_.push_back({section, key, BindingKind::RangedInt, &var});
}

void SettingsFile::bindBool(const std::string& section, const std::string& key, bool& var,
                            bool def) {
    var = path_.empty() ? def : ini_.getInt(section, key, def ? 1 : 0) != 0;
    bindings_.push_back({section, key, BindingKind::Bool, &var});
}

void SettingsFile::bindString(const std::string& section, const std::string& key, std::string& var,
                              const std::string& def, size_t size) {
    var = path_.empty() ? std::string() : fitBuffer(ini_.get(section, key, def), size);
    bindings_.push_back({section, key, BindingKind::String, &var});
}

bool SettingsFile::saveAll() {
    if (path_.empty()) return true;
    for (const Binding& b : bindings_) {
        std::string text;
        if (auto* i = std::get_if<int*>(&b.target)) text = std::to_string(**i);
        if (auto* f = std::get_if<bool*>(&b.target)) text = **f ? "1" : "0";
        if (auto* s = std::get_if<std::string*>(&b.target)) text = **s;
        ini_.set(b.section, b.key, text);
    }
    return ini_.save(path_);
}

void bindStartupSettings(SettingsFile& file, Settings& settings, const DesktopSize& desktop,
                         const SettingsPlaces& places) {
    BindContext context{file, settings, desktop, places};
    bindRows(startupRows(), context);
}

void bindSearchPageSettings(SettingsFile& file, Settings& settings) {
    BindContext context{file, settings, {}, {}};
    bindRows(searchPageRows(), context);
}

void bindExportPageSettings(SettingsFile& file, Settings& settings) {
    BindContext context{file, settings, {}, {}};
    bindRows(exportPageRows(), context);
}

namespace {

bool validCommonEvent(const ProjectDatabase& db, int id) {
    return id >= 1 && static_cast<size_t>(id) < db.commonEvents().size();
}
bool validTroop(const ProjectDatabase& db, int id) {
    return id >= 1 && static_cast<size_t>(id) < db.troops().size();
}
bool validMap(const ProjectDatabase& db, int id) {
    return db.mapInfos().count(id) != 0;
}
bool validScript(const ProjectDatabase& db, int id) {
    return id >= 1 && static_cast<size_t>(id) <= db.scripts().size();
}
bool validSwitch(const ProjectDatabase& db, int id) {
    return id >= 1 && static_cast<size_t>(id) < db.system().switchNames.size();
}
bool validVariable(const ProjectDatabase& db, int id) {
    return id >= 1 && static_cast<size_t>(id) < db.system().variableNames.size();
}

using IdCheck = bool (*)(const ProjectDatabase&, int);

// Which list each range row's id belongs to, in row order.
const IdCheck kRangeRowChecks[4] = {validCommonEvent, validTroop, validMap, validScript};

void repairIds(int* ids, size_t count, IdCheck valid, const ProjectDatabase& db) {
    for (size_t i = 0; i < count; ++i)
        if (!valid(db, ids[i])) ids[i] = 1;
}

}  // namespace

void repairRememberedIds(Settings& settings, const ProjectDatabase& database) {
    for (EventRangeSettings* range : {&settings.searchRange, &settings.exportRange})
        for (size_t row = 0; row < 4; ++row)
            repairIds(&range->select[row], 1, kRangeRowChecks[row], database);
    repairIds(settings.searchSwitch.select.data(), 2, validSwitch, database);
    repairIds(settings.searchVariable.select.data(), 2, validVariable, database);
    repairIds(settings.searchCommonEvent.select.data(), 2, validCommonEvent, database);
}

const MapViewerSettings kMapViewerDefaults{};

}  // namespace zorvane

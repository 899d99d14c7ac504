// The settings file without windows: defaults, ranges, clamps, read-back, old encodings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/ini_file.h"
#include "project/project_database.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

const DesktopSize kDesktop{1024, 768};
const SettingsPlaces kPlaces{"/opt/zv", "/opt/zv/template"};

struct KeyValue {
    const char* section;
    const char* key;
    const char* value;
};

// Every key bound at start-up with the default the file should get in a fresh folder.
const KeyValue kStartupDefaults[] = {
    {"System", "LastProject", "/opt/zv"},
    {"System", "LastDir", ""},
    {"System", "LastTab", "0"},
    {"System", "LastTab2", "0"},
    {"System", "AutoRead", "1"},
    {"System", "FirstOnly", "0"},
    {"System", "Detail", "1"},
    {"System", "ProjectCheck", "1"},
    {"System", "Language", "0"},  // the windows follow the environment
    {"MainWnd", "Width", "0"},
    {"MainWnd", "Height", "0"},
    {"MainWnd", "Left", "0"},
    {"MainWnd", "Top", "0"},
    {"EventViewer", "Width", "0"},
    {"EventViewer", "Height", "0"},
    {"EventViewer", "Left", "0"},
    {"EventViewer", "Top", "0"},
    {"EventViewer", "LineNum", "1"},
    {"EventViewer", "Detail", "1"},
    {"EventViewer", "SaveMode", "1"},
    {"EventViewer", "LastView", "0"},
    {"EventViewer", "Template1", "/opt/zv/template/header.html"},
    {"EventViewer", "Template2", "/opt/zv/template/footer.html"},
    {"EventViewer", "RubyColor", "/opt/zv/template/ruby_color.txt"},
    {"SearchWnd", "Width", "0"},
    {"SearchWnd", "Height", "0"},
    {"SearchWnd", "Left", "0"},
    {"SearchWnd", "Top", "0"},
    {"AnimeWnd", "Left", "0"},
    {"AnimeWnd", "Top", "0"},
    {"MapViewer", "Width", "0"},
    {"MapViewer", "Height", "0"},
    {"MapViewer", "Left", "0"},
    {"MapViewer", "Top", "0"},
    {"MapViewer", "MapWndWidth", "200"},
    {"MapViewer", "ZoomMode", "1"},
    {"MapViewer", "SaveMode", "0"},
    {"MapViewer", "PngCompLv", "6"},
    {"MapViewer", "PngFilter", "5"},
    {"MapViewer", "JpgQuality", "90"},
    {"MapViewer", "ViewMapEvent1", "1"},
    {"MapViewer", "ViewMapEvent2", "1"},
    {"MapViewer", "ViewPanorama", "1"},
    {"MapViewer", "ViewLayer1", "1"},
    {"MapViewer", "ViewLayer2", "1"},
    {"MapViewer", "ViewLayer3", "1"},
    {"MapViewer", "ViewFog", "1"},
    {"MapViewer", "ZoomQuality", "0"},
    {"MapViewer", "SimpleMap", "0"},
    {"MapViewer", "BltGlid", "0"},
    {"MapViewer", "BltCursor", "1"},
    {"MapViewer", "ColorGlid", "#000000"},
    {"MapViewer", "ColorSimple1", "#99CCFF"},
    {"MapViewer", "ColorSimple2", "#FFFFCC"},
    {"Update", "AutoCheck", "0"},
    {"Update", "AutoClose", "0"},
    {"Update", "UseProxy", "0"},
    {"Update", "ProxyHost", ""},
    {"Update", "ProxyPort", "0"},
    {"Update", "TimeOut", "30"},
    {"Update", "InfoURL", "http://zorvane.example.org/downloads/update.inf"},
    {"DataExport", "CsvCheck1", "1"},
    {"DataExport", "CsvCheck2", "1"},
    {"DataExport", "CsvCheck3", "1"},
    {"DataExport", "CsvCheck4", "1"},
    {"DataExport", "CsvCheck5", "1"},
    {"DataExport", "CsvCheck6", "1"},
    {"DataExport", "CsvCheck7", "1"},
    {"DataExport", "CsvCheck8", "1"},
    {"DataExport", "CsvCheck9", "1"},
    {"DataExport", "CsvCheck10", "1"},
    {"DataExport", "CsvCheck11", "1"},
    {"DataExport", "CsvCheck12", "1"},
    {"DataExport", "OutputDir", ""},
    {"DataExport", "NoEmptyEvent", "1"},
    {"DataExport", "OutputEncoding", "0"},
};

// The keys of the search and export pages with their defaults.
const KeyValue kPageDefaults[] = {
    {"SearchRange", "Check1", "1"},           {"SearchRange", "Check4", "1"},
    {"SearchRange", "Radio1", "0"},           {"SearchRange", "Radio4", "0"},
    {"SearchRange", "Select1", "0"},          {"SearchRange", "Select4", "0"},
    {"SearchRange", "EventCheck5", "1"},      {"DataExport", "EventCheck1", "1"},
    {"DataExport", "EventCheck4", "1"},       {"DataExport", "EventRadio2", "0"},
    {"DataExport", "EventSelect3", "0"},      {"DataExport", "EventCheck5", "1"},
    {"DataExport", "EventCheck6", "0"},       {"SearchItemSw", "Check1", "1"},
    {"SearchItemSw", "Check3", "1"},          {"SearchItemSw", "AND", "1"},
    {"SearchItemSw", "Select1", "1"},         {"SearchItemSw", "Select2", "1"},
    {"SearchItemSw", "Check4", "1"},          {"SearchItemSw", "Check5", "0"},
    {"SearchItemVr", "Check2", "1"},          {"SearchItemVr", "AND", "1"},
    {"SearchItemVr", "Select2", "1"},         {"SearchItemVr", "Check4", "1"},
    {"SearchItemVr", "Check5", "0"},          {"SearchItemCommonEvent", "Select1", "1"},
    {"SearchItemCommonEvent", "Check4", "1"}, {"SearchItemCommonEvent", "Check5", "0"},
    {"SearchItemText", "Check1a", "0"},       {"SearchItemText", "Check1b", "0"},
    {"SearchItemText", "Check1c", "0"},       {"SearchItemText", "Check2a", "1"},
    {"SearchItemText", "Check2h", "1"},       {"SearchItemText", "Text", ""},
    {"SearchItemEvent", "Check1", "1"},       {"SearchItemEvent", "Check2", "0"},
    {"SearchItemEvent", "Check6", "0"},       {"SearchItemEvent", "Select6", "0"},
    {"SearchItemError", "Check1", "1"},
};

class SettingsFileTest : public ::testing::Test {
  protected:
    std::string iniPath() const { return dir.file("zorvane.ini"); }
    void writeIni(const std::string& text) { ztest::writeFile(iniPath(), text); }
    // Binds the start-up keys from the file as it is now.
    void bindStartup(Settings& s, SettingsFile& f, DesktopSize desktop = kDesktop) {
        f = SettingsFile(iniPath());
        bindStartupSettings(f, s, desktop, kPlaces);
    }
    IniFile written() const {
        IniFile ini;
        EXPECT_TRUE(ini.load(iniPath()));
        return ini;
    }
    ztest::TempDir dir;
};

TEST_F(SettingsFileTest, FreshFolderGetsEveryDefaultAndTheFileAtExit) {
    Settings s;
    SettingsFile f;
    bindStartup(s, f);
    EXPECT_EQ(f.bindings().size(), std::size(kStartupDefaults));
    EXPECT_TRUE(s.system.autoRead);
    EXPECT_EQ(s.update.timeOut, 30);
    EXPECT_EQ(s.mapViewer.render.jpgQuality, 90);
    ASSERT_TRUE(f.saveAll());
    IniFile ini = written();
    for (const KeyValue& kv : kStartupDefaults) {
        EXPECT_TRUE(ini.has(kv.section, kv.key)) << kv.section << "/" << kv.key;
        EXPECT_EQ(ini.get(kv.section, kv.key), kv.value) << kv.section << "/" << kv.key;
    }
}

TEST_F(SettingsFileTest, PageKeysAreNamedAndDefaultedAsDocumented) {
    Settings s;
    SettingsFile f(iniPath());
    bindSearchPageSettings(f, s);
    bindExportPageSettings(f, s);
    ASSERT_TRUE(f.saveAll());
    IniFile ini = written();
    for (const KeyValue& kv : kPageDefaults) {
        EXPECT_TRUE(ini.has(kv.section, kv.key)) << kv.section << "/" << kv.key;
        EXPECT_EQ(ini.get(kv.section, kv.key), kv.value) << kv.section << "/" << kv.key;
    }
    // The common event page has no options and no AND key; the text page has no Check1d.
    EXPECT_FALSE(ini.has("SearchItemCommonEvent", "AND"));
    EXPECT_FALSE(ini.has("SearchItemCommonEvent", "Check1"));
    EXPECT_FALSE(ini.has("SearchItemText", "Check1d"));
    EXPECT_FALSE(ini.has("SearchItemText", "Check2i"));
}

TEST_F(SettingsFileTest, PageKeysReadIntoTheirRows) {
    writeIni(
        "[SearchItemText]\nCheck1a=1\nCheck1b=0\nCheck2c=0\nText=abc\n"
        "[SearchItemVr]\nCheck5=0\nAND=0\n[DataExport]\nEventRadio3=1\nEventSelect3=7\n");
    Settings s;
    SettingsFile f(iniPath());
    bindSearchPageSettings(f, s);
    bindExportPageSettings(f, s);
    EXPECT_TRUE(s.searchText.options[0]);
    EXPECT_FALSE(s.searchText.options[1]);
    EXPECT_FALSE(s.searchText.targets[2]);
    EXPECT_TRUE(s.searchText.targets[3]);
    EXPECT_EQ(s.searchText.text, "abc");
    EXPECT_FALSE(s.searchVariable.idCheck[1]);
    EXPECT_TRUE(s.searchVariable.idCheck[0]);
    EXPECT_FALSE(s.searchVariable.andMode);
    EXPECT_TRUE(s.searchSwitch.andMode);
    EXPECT_TRUE(s.exportRange.radio[2]);
    EXPECT_EQ(s.exportRange.select[2], 7);
    EXPECT_FALSE(s.searchRange.radio[2]);
}

struct ReadCase {
    const char* lines;  // what the file holds
    const char* section;
    const char* key;
    int expected;
};

int intOf(const Settings& s, const std::string& section, const std::string& key) {
    if (section == "System" && key == "LastTab") return s.system.lastTab;
    if (section == "System" && key == "LastTab2") return s.system.lastTab2;
    if (section == "System" && key == "AutoRead") return s.system.autoRead;
    if (section == "MapViewer" && key == "PngCompLv") return s.mapViewer.render.pngCompLv;
    if (section == "MapViewer" && key == "JpgQuality") return s.mapViewer.render.jpgQuality;
    if (section == "MapViewer" && key == "ZoomMode") return s.mapViewer.render.zoomMode;
    if (section == "MapViewer" && key == "MapWndWidth") return s.mapViewer.mapWndWidth;
    if (section == "Update" && key == "TimeOut") return s.update.timeOut;
    if (section == "Update" && key == "ProxyPort") return s.update.proxyPort;
    if (section == "EventViewer" && key == "Left") return s.eventViewer.place.left;
    if (section == "EventViewer" && key == "Top") return s.eventViewer.place.top;
    if (section == "SearchWnd" && key == "Left") return s.searchWnd.left;
    if (section == "MainWnd" && key == "Left") return s.mainWnd.left;
    if (section == "MainWnd" && key == "Top") return s.mainWnd.top;
    if (section == "AnimeWnd" && key == "Top") return s.animeWnd.top;
    ADD_FAILURE() << "no accessor for " << section << "/" << key;
    return -999;
}

// Desktop 1024 x 768 throughout.
const ReadCase kReadCases[] = {
    {"[System]\nLastTab=7\n", "System", "LastTab", 0},
    {"[System]\nLastTab=3\n", "System", "LastTab", 3},
    {"[System]\nLastTab2=-1\n", "System", "LastTab2", 0},
    {"[System]\nLastTab2=5\n", "System", "LastTab2", 5},
    {"[MapViewer]\nPngCompLv=12\n", "MapViewer", "PngCompLv", 6},
    {"[MapViewer]\nPngCompLv=9\n", "MapViewer", "PngCompLv", 9},
    {"[MapViewer]\nPngCompLv=0\n", "MapViewer", "PngCompLv", 0},
    {"[MapViewer]\nJpgQuality=101\n", "MapViewer", "JpgQuality", 90},
    {"[MapViewer]\nZoomMode=5\n", "MapViewer", "ZoomMode", 1},
    {"[MapViewer]\nWidth=300\nMapWndWidth=299\n", "MapViewer", "MapWndWidth", 299},
    {"[MapViewer]\nWidth=300\nMapWndWidth=300\n", "MapViewer", "MapWndWidth", 200},
    {"[Update]\nTimeOut=0\n", "Update", "TimeOut", 1},
    {"[Update]\nTimeOut=-20\n", "Update", "TimeOut", 1},
    {"[Update]\nTimeOut=5\n", "Update", "TimeOut", 5},
    {"[Update]\nProxyPort=8080\n", "Update", "ProxyPort", 8080},
    {"[System]\nAutoRead=0\n", "System", "AutoRead", 0},
    {"[System]\nAutoRead=2\n", "System", "AutoRead", 1},
    {"[System]\nAutoRead=yes\n", "System", "AutoRead", 1},
    // Windows the user can size: 0..SW-W-1 and 0..SH-H-1 with the size read first.
    {"[EventViewer]\nWidth=640\nLeft=383\n", "EventViewer", "Left", 383},
    {"[EventViewer]\nWidth=640\nLeft=384\n", "EventViewer", "Left", 0},
    {"[EventViewer]\nLeft=5000\n", "EventViewer", "Left", 0},
    {"[EventViewer]\nHeight=480\nTop=287\n", "EventViewer", "Top", 287},
    {"[EventViewer]\nHeight=480\nTop=288\n", "EventViewer", "Top", 0},
    {"[EventViewer]\nWidth=1000\nLeft=23\n", "EventViewer", "Left", 23},
    {"[EventViewer]\nWidth=1000\nLeft=24\n", "EventViewer", "Left", 0},
    {"[SearchWnd]\nLeft=-1\n", "SearchWnd", "Left", 0},
    {"[MainWnd]\nWidth=800\nLeft=223\n", "MainWnd", "Left", 223},
    {"[MainWnd]\nWidth=800\nLeft=224\n", "MainWnd", "Left", 0},
    // Without a size stored (or of fixed size): 0..SW-1 and 0..SH-1.
    {"[MainWnd]\nLeft=1023\n", "MainWnd", "Left", 1023},
    {"[MainWnd]\nLeft=1024\n", "MainWnd", "Left", 0},
    {"[MainWnd]\nTop=767\n", "MainWnd", "Top", 767},
    {"[MainWnd]\nTop=768\n", "MainWnd", "Top", 0},
    {"[AnimeWnd]\nTop=800\n", "AnimeWnd", "Top", 0},
};

TEST_F(SettingsFileTest, ValuesOutsideTheirRangeFallBack) {
    for (const ReadCase& c : kReadCases) {
        writeIni(c.lines);
        Settings s;
        SettingsFile f;
        bindStartup(s, f);
        EXPECT_EQ(intOf(s, c.section, c.key), c.expected) << c.lines;
    }
}

TEST_F(SettingsFileTest, ChangedValuesAreWrittenAndReadBack) {
    Settings s;
    SettingsFile f;
    bindStartup(s, f);
    bindSearchPageSettings(f, s);
    s.system.lastProject = "/home/ユーザー/ゲーム/Game.rxproj";
    s.system.lastTab = 2;
    s.mainWnd.left = 100;
    s.mapViewer.render.colorGlid = "#102030";
    s.mapViewer.render.viewFog = false;
    s.dataExport.csvCheck[11] = false;
    s.searchText.text = "勇者の剣";
    s.update.proxyHost = "proxy.example";
    ASSERT_TRUE(f.saveAll());

    Settings back;
    SettingsFile again;
    bindStartup(back, again);
    bindSearchPageSettings(again, back);
    EXPECT_EQ(back.system.lastProject, s.system.lastProject);
    EXPECT_EQ(back.system.lastTab, 2);
    EXPECT_EQ(back.mainWnd.left, 100);
    EXPECT_EQ(back.mapViewer.render.colorGlid, "#102030");
    EXPECT_FALSE(back.mapViewer.render.viewFog);
    EXPECT_FALSE(back.dataExport.csvCheck[11]);
    EXPECT_TRUE(back.dataExport.csvCheck[10]);
    EXPECT_EQ(back.searchText.text, "勇者の剣");
    EXPECT_EQ(back.update.proxyHost, "proxy.example");
    // Written in UTF-8: iconv accepts the file as it is.
    EXPECT_EQ(
        ztest::run("iconv -f UTF-8 -t UTF-8 " + ztest::shellQuote(iniPath()) + " >/dev/null 2>&1"),
        0);
}

TEST_F(SettingsFileTest, UnboundKeysAreNotWrittenButOtherLinesSurvive) {
    writeIni("[Other]\nKeep=me\n");
    Settings s;
    SettingsFile f;
    bindStartup(s, f);
    ASSERT_TRUE(f.saveAll());
    IniFile ini = written();
    EXPECT_EQ(ini.get("Other", "Keep"), "me");
    EXPECT_FALSE(ini.has("SearchRange", "Check1"));
    EXPECT_FALSE(ini.has("DataExport", "EventCheck1"));
}

TEST_F(SettingsFileTest, ShiftJisFileIsStillRead) {
    if (!ztest::haveProgram("iconv")) GTEST_SKIP() << "iconv is not installed";
    std::string utf8 = dir.file("utf8.ini");
    ztest::writeFile(utf8,
                     "[System]\r\nLastDir=/home/山田/出力\r\n"
                     "[SearchItemText]\r\nText=～ポーション①\r\n");
    ASSERT_EQ(ztest::run("iconv -f UTF-8 -t CP932 " + ztest::shellQuote(utf8) + " > " +
                         ztest::shellQuote(iniPath())),
              0);
    Settings s;
    SettingsFile f;
    bindStartup(s, f);
    bindSearchPageSettings(f, s);
    EXPECT_EQ(s.system.lastDir, "/home/山田/出力");
    EXPECT_EQ(s.searchText.text, "～ポーション①");
    ASSERT_TRUE(f.saveAll());
    // Written back in UTF-8: the untouched line reads the same when converted by iconv.
    std::string out;
    ASSERT_EQ(ztest::run("iconv -f UTF-8 -t UTF-8 " + ztest::shellQuote(iniPath()), &out), 0);
    EXPECT_NE(out.find("LastDir=/home/山田/出力"), std::string::npos);
}

TEST_F(SettingsFileTest, WithoutAFileNameEverythingIsDefaultAndNothingIsWritten) {
    Settings s;
    s.system.lastProject = "stale";
    SettingsFile f;
    bindStartupSettings(f, s, kDesktop, kPlaces);
    EXPECT_EQ(s.system.lastProject, "");
    EXPECT_EQ(s.eventViewer.template1, "");
    EXPECT_EQ(s.update.timeOut, 30);
    EXPECT_EQ(s.mapViewer.render.pngFilter, 5);
    EXPECT_TRUE(f.saveAll());
    EXPECT_FALSE(ztest::run("test -e " + ztest::shellQuote(iniPath())) == 0);
}

TEST_F(SettingsFileTest, StringsAreCutToTheirBufferWithoutSplittingACharacter) {
    std::string hundredA(100, 'A');
    std::string kana;
    for (int i = 0; i < 100; ++i) kana += "あ";  // 300 bytes
    writeIni("[MapViewer]\nColorGlid=" + std::string(300, 'F') + "\nColorSimple1=" + kana +
             "\n[System]\nLastDir=" + kana + kana + "\n");
    Settings s;
    SettingsFile f;
    bindStartup(s, f);
    EXPECT_EQ(s.mapViewer.render.colorGlid, std::string(255, 'F'));
    std::string kana85;
    for (int i = 0; i < 85; ++i) kana85 += "あ";  // 255 bytes fit in 256
    EXPECT_EQ(s.mapViewer.render.colorSimple1, kana85);
    std::string kana170;
    for (int i = 0; i < 170; ++i) kana170 += "あ";  // 510 of the 511 bytes of 512
    EXPECT_EQ(s.system.lastDir, kana170);
}

TEST(SettingsColour, HashTextBecomesAColour) {
    struct Case {
        const char* text;
        Rgb colour;
    } cases[] = {
        {"#99CCFF", {0x99, 0xCC, 0xFF}},
        {"#ffffcc", {0xFF, 0xFF, 0xCC}},
        {"#000000", {0, 0, 0}},
        {"99CCFF", {0, 0, 0}},
        {"", {0, 0, 0}},
        {"#102030", {0x10, 0x20, 0x30}},
    };
    for (const Case& c : cases) EXPECT_EQ(colourFromText(c.text), c.colour) << c.text;
    EXPECT_EQ(colourToText({0x99, 0xCC, 0xFF}), "#99CCFF");
    EXPECT_EQ(colourToText({0, 0x0A, 0xF0}), "#000AF0");
}

TEST(SettingsRepair, RememberedIdsTheProjectLacksBecomeOne) {
    ProjectDatabase db;
    db.mutableCommonEvents().resize(3);  // ids 1 and 2
    db.mutableTroops().resize(2);        // id 1
    db.mutableMapInfos()[1] = {};
    db.mutableMapInfos()[4] = {};
    db.mutableScripts().resize(3);  // script numbers 1..3
    db.mutableSystem().switchNames.resize(10);
    db.mutableSystem().variableNames.resize(5);

    struct Case {
        std::array<int, 4> before, after;
    } cases[] = {
        {{2, 1, 4, 3}, {2, 1, 4, 3}},
        {{3, 2, 2, 4}, {1, 1, 1, 1}},
        {{0, 0, 0, 0}, {1, 1, 1, 1}},
        {{-1, 1, 1, 1}, {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        Settings s;
        s.searchRange.select = c.before;
        s.exportRange.select = c.before;
        repairRememberedIds(s, db);
        EXPECT_EQ(s.searchRange.select, c.after);
        EXPECT_EQ(s.exportRange.select, c.after);
    }
    Settings s;
    s.searchSwitch.select = {9, 10};
    s.searchVariable.select = {4, 5};
    s.searchCommonEvent.select = {2, 3};
    repairRememberedIds(s, db);
    EXPECT_EQ(s.searchSwitch.select, (std::array<int, 2>{9, 1}));
    EXPECT_EQ(s.searchVariable.select, (std::array<int, 2>{4, 1}));
    EXPECT_EQ(s.searchCommonEvent.select, (std::array<int, 2>{2, 1}));
}

}  // namespace
}  // namespace zorvane

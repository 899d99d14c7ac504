// Map, screen, picture, weather and sound command texts in detail and short form, the
// files they name, and their answers to variable and file-name searches.
#include <gtest/gtest.h>

#include <cstring>

#include "formatter_fixture.h"
#include "listing/formatters.h"
#include "listing/operands.h"
#include "marshal/marshal_file.h"
#include "project/project_database.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

using ftest::n;
using ftest::s;

// Tone and Color are user dumps of four little-endian doubles.
MarshalValue fourDoubles(const char* cls, double a, double b, double c, double d) {
    std::string bytes;
    for (double v : {a, b, c, d}) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
    MarshalValue name, m;
    name.setSymbol(cls);
    m.setUserDump(name, bytes);
    return m;
}

MarshalValue tone(double r, double g, double b, double gray) {
    return fourDoubles("Tone", r, g, b, gray);
}

MarshalValue color(double r, double g, double b, double a) {
    return fourDoubles("Color", r, g, b, a);
}

class MapScreenFormatters : public ftest::FormatterFixture {
  protected:
    void SetUp() override {
        db.mutableSystem().variableNames = {"", "", "", "MapId", "PosX", "PosY"};
        db.mutableMapInfos()[3].name = "町";
        db.mutableAnimations().resize(2);
        db.mutableAnimations()[1].name = "Fire";
        events[5].name = "Guard";
        options.project = &db;
        options.mapEvents = &events;
        options.ownerKind = OwnerKind::Map;
    }

    std::map<int32_t, MapEvent> events;
};

SearchRequest variableSearch(std::set<int> ids, bool andMode, bool referencing = true) {
    SearchRequest r;
    r.kind = SearchKind::Variable;
    r.targetIds = std::move(ids);
    r.andMode = andMode;
    r.inReferencingCommands = referencing;
    r.inOperatingCommands = !referencing;
    return r;
}

SearchRequest fileNameSearch(const char* text, bool ticked = true) {
    SearchRequest r;
    r.kind = SearchKind::Text;
    r.text = text;
    r.textTargets[TargetFileName] = ticked;
    return r;
}

TEST_F(MapScreenFormatters, TransferToConstantPlace) {
    Params p = {n(0), n(3), n(10), n(7), n(0), n(0)};
    EXPECT_EQ(text(fmtTransferPlayer, p, false), "[003:町],(010,007)");
    EXPECT_EQ(text(fmtTransferPlayer, p, true),
              "マップ[003:町],(010,007),向き:そのまま,フェードあり");
}

TEST_F(MapScreenFormatters, SwapWithThePlayer) {
    Params p = {n(0), n(2), n(-1), n(0), n(0)};
    EXPECT_EQ(text(fmtSetEventLocation, p, false), "このイベント,プレイヤーと交換");
}

TEST_F(MapScreenFormatters, ShowPictureShort) {
    Params p = {n(1), s("name"), n(1), n(0), n(100), n(50), n(100), n(100), n(255), n(0)};
    EXPECT_EQ(text(fmtShowPicture, p, false), "1,'name',中心(100,50),(100%,100%),255,通常");
}

TEST_F(MapScreenFormatters, WeatherNoneHasNoStrength) {
    EXPECT_EQ(text(fmtSetWeatherEffects, {n(0), n(9), n(20)}, false), "なし,@20");
}

TEST_F(MapScreenFormatters, TransparencyAndEmptyTransition) {
    EXPECT_EQ(text(fmtChangeTransparentFlag, {n(0)}, false), "透明");
    EXPECT_EQ(text(fmtChangeTransparentFlag, {n(1)}, false), "通常");
    EXPECT_EQ(text(fmtExecuteTransition, {s("")}, false), "''");
    EXPECT_TRUE(files(fmtExecuteTransition, {s("")}).empty());
}

struct TextCase {
    const char* what;
    Formatter formatter;
    Params params;
    const char* detail;
    const char* brief;
};

TEST_F(MapScreenFormatters, DetailAndShortForms) {
    const TextCase cases[] = {
        {"transfer by variables", fmtTransferPlayer, Params{n(1), n(3), n(4), n(5), n(8), n(1)},
         "変数[0003:MapId][0004:PosX][0005:PosY],向き:上,フェードなし",
         "変数 [0003][0004][0005],上,フェードなし"},
        {"event to a place", fmtSetEventLocation, Params{n(0), n(0), n(12), n(34), n(2)},
         "イベント[このイベント],(012,034),向き:下", "このイベント,(012,034),下"},
        {"event by variables", fmtSetEventLocation, Params{n(5), n(1), n(4), n(5), n(0)},
         "イベント[005:Guard],変数[0004:PosX][0005:PosY],向き:そのまま",
         "[Guard],変数 [0004][0005]"},
        {"scroll", fmtScrollMap, Params{n(6), n(3), n(4)}, "方向:右,距離:3,速度:4:Fast", "右,3,4"},
        {"panorama", fmtChangeMapSettings, Params{n(0), s("Sky"), n(120)},
         "パノラマ = 'Sky',色相:120", "パノラマ = 'Sky',120"},
        {"fog", fmtChangeMapSettings,
         Params{n(1), s("Mist"), n(10), n(64), n(1), n(200), n(-2), n(3)},
         "フォグ = 'Mist',色相:10,不透明度:64,合成方法:加算,拡大率:200,SX:-2,SY:3",  // the second
                                                                                     // scroll value
                                                                                     // is the
                                                                                     // vertical one
         "フォグ = 'Mist',10,64,加算,200,-2,3"},
        {"battleback", fmtChangeMapSettings, Params{n(2), s("Grass")}, "バトルバック = 'Grass'",
         "バトルバック = 'Grass'"},
        {"fog tone", fmtChangeTone, Params{tone(-68, -68, 0, 68), n(20)},
         "(Red:-68,Green:-68,Blue:0,Gray:68),時間:20フレーム", "(-68,-68,0,68),@20"},
        {"fog opacity", fmtChangeFogOpacity, Params{n(128), n(40)}, "不透明度:128,時間:40フレーム",
         "128,@40"},
        {"animation", fmtShowAnimation, Params{n(-1), n(1)},
         "イベント[プレイヤー],アニメーション[001:Fire]", "プレイヤー,[Fire]"},
        {"flash", fmtScreenFlash, Params{color(255, 200, 0, 128), n(8)},
         "(Red:255,Green:200,Blue:0,Gray:128),時間:8フレーム", "(255,200,0,128),@8"},
        {"shake", fmtScreenShake, Params{n(5), n(4), n(30)}, "強さ:5,速さ:4,フレーム:30",
         "5,4,@30"},
        {"picture by variables", fmtShowPicture,
         Params{n(2), s("Face"), n(0), n(1), n(4), n(5), n(50), n(150), n(128), n(2)},
         "番号:2,'Face',左上(変数[0004:PosX],変数[0005:PosY]),拡大率(50%,150%),不透明度:128,"
         "合成方法:減算",
         "2,'Face',左上(変数[0004][0005]),(50%,150%),128,減算"},
        {"move picture", fmtMovePicture,
         Params{n(1), n(20), n(1), n(0), n(160), n(120), n(100), n(100), n(255), n(1)},
         "番号:1,時間:20フレーム,中心(160,120),拡大率(100%,100%),不透明度:255,合成方法:加算",
         "1,@20,中心(160,120),(100%,100%),255,加算"},
        {"rotate left", fmtRotatePicture, Params{n(3), n(-5)}, "番号:3,回転速度:-5", "3,-5"},
        {"rotate right", fmtRotatePicture, Params{n(3), n(7)}, "番号:3,回転速度:+7", "3,+7"},
        {"picture tone", fmtChangePictureTone, Params{n(4), tone(0, 0, 0, 255), n(60)},
         "番号:4,(Red:0,Green:0,Blue:0,Gray:255),時間:60フレーム", "4,(0,0,0,255),@60"},
        {"erase picture", fmtErasePicture, Params{n(9)}, "番号:9", "9"},
        {"rain", fmtSetWeatherEffects, Params{n(1), n(5), n(40)}, "雨,強さ:5,時間:40フレーム",
         "雨,5,@40"},
        {"fade out", fmtFadeOutAudio, Params{n(3)}, "3秒", "3秒"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(text(c.formatter, c.params, true), c.detail) << c.what;
        EXPECT_EQ(text(c.formatter, c.params, false), c.brief) << c.what;
    }
}

TEST_F(MapScreenFormatters, ValuesOutsideNameListsPrintNothingForThatName) {
    EXPECT_EQ(text(fmtScrollMap, {n(5), n(1), n(9)}, false), ",1,");
    EXPECT_EQ(text(fmtSetWeatherEffects, {n(7), n(2), n(10)}, false), ",2,@10");
    EXPECT_EQ(text(fmtChangeMapSettings, {n(3), s("X"), n(0)}, true), "");
}

TEST_F(MapScreenFormatters, ShortArraysPrintNothing) {
    const std::pair<Formatter, size_t> rows[] = {
        {fmtTransferPlayer, 6},    {fmtSetEventLocation, 5},
        {fmtScrollMap, 3},         {fmtChangeMapSettings, 2},
        {fmtChangeTone, 2},        {fmtChangeFogOpacity, 2},
        {fmtShowAnimation, 2},     {fmtChangeTransparentFlag, 1},
        {fmtExecuteTransition, 1}, {fmtScreenFlash, 2},
        {fmtScreenShake, 3},       {fmtShowPicture, 10},
        {fmtMovePicture, 10},      {fmtRotatePicture, 2},
        {fmtChangePictureTone, 3}, {fmtErasePicture, 1},
        {fmtSetWeatherEffects, 3}, {fmtFadeOutAudio, 1},
    };
    for (const auto& [f, count] : rows) {
        Params p(count - 1, n(1));
        EXPECT_EQ(text(f, p, true), "") << "needs " << count;
    }
    // Panorama and fog read further than the two parameters the row itself needs.
    EXPECT_EQ(text(fmtChangeMapSettings, {n(0), s("Sky")}, true), "");
    EXPECT_EQ(text(fmtChangeMapSettings, {n(1), s("Mist"), n(1), n(2), n(0), n(100), n(0)}, true),
              "");
}

TEST_F(MapScreenFormatters, NamedFilesAreCollected) {
    struct Case {
        Formatter formatter;
        Params params;
        const char* path;
    } cases[] = {
        {fmtChangeMapSettings, {n(0), s("Sky"), n(0)}, "Graphics\\Panoramas\\Sky"},
        {fmtChangeMapSettings,
         {n(1), s("Mist"), n(0), n(0), n(0), n(0), n(0), n(0)},
         "Graphics\\Fogs\\Mist"},
        {fmtChangeMapSettings, {n(2), s("Grass")}, "Graphics\\Battlebacks\\Grass"},
        {fmtExecuteTransition, {s("Fade")}, "Graphics\\Transitions\\Fade"},
        {fmtShowPicture,
         {n(1), s("Face"), n(0), n(0), n(0), n(0), n(100), n(100), n(255), n(0)},
         "Graphics\\Pictures\\Face"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(files(c.formatter, c.params), FileCollector{c.path}) << c.path;
    }
}

TEST_F(MapScreenFormatters, FileNamesAnswerTheTextSearch) {
    Params fog = {n(1), s("Mist01"), n(0), n(0), n(0), n(0), n(0), n(0)};
    Params picture = {n(1), s("Face"), n(0), n(0), n(0), n(0), n(100), n(100), n(255), n(0)};
    EXPECT_TRUE(matches(fmtChangeMapSettings, fog, fileNameSearch("Mist")));
    EXPECT_FALSE(matches(fmtChangeMapSettings, fog, fileNameSearch("Mist", false)));
    EXPECT_FALSE(matches(fmtChangeMapSettings, fog, fileNameSearch("Rain")));
    EXPECT_TRUE(matches(fmtShowPicture, picture, fileNameSearch("Face")));
    EXPECT_TRUE(matches(fmtExecuteTransition, {s("Door2")}, fileNameSearch("Door")));
}

struct SearchCase {
    const char* what;
    std::set<int> ids;
    bool andMode;
    bool expected;
};

TEST_F(MapScreenFormatters, TransferByVariablesAnswersReferencingSearch) {
    Params byVariables = {n(1), n(3), n(4), n(5), n(0), n(0)};
    const SearchCase cases[] = {
        {"OR, the x variable", {4}, false, true},
        {"OR, the map variable", {3}, false, true},
        {"OR, unused variable", {9}, false, false},
        {"AND, two of the three", {3, 5}, true, true},
        {"AND, one id", {4}, true, false},
        {"AND, one of two ids used", {4, 9}, true, false},
    };
    for (const SearchCase& c : cases)
        EXPECT_EQ(matches(fmtTransferPlayer, byVariables, variableSearch(c.ids, c.andMode)),
                  c.expected)
            << c.what;
    EXPECT_FALSE(matches(fmtTransferPlayer, byVariables, variableSearch({4}, false, false)))
        << "operating option only";
    Params constant = {n(0), n(3), n(4), n(5), n(0), n(0)};
    EXPECT_FALSE(matches(fmtTransferPlayer, constant, variableSearch({3}, false)));
}

TEST_F(MapScreenFormatters, PositionVariablesAnswerReferencingSearch) {
    Params location = {n(0), n(1), n(4), n(5), n(0)};
    Params show = {n(1), s("A"), n(0), n(1), n(4), n(5), n(100), n(100), n(255), n(0)};
    Params move = {n(1), n(20), n(0), n(1), n(4), n(5), n(100), n(100), n(255), n(0)};
    const SearchCase cases[] = {
        {"OR, x", {4}, false, true},        {"OR, y", {5}, false, true},
        {"OR, neither", {6}, false, false}, {"AND, both", {4, 5}, true, true},
        {"AND, one id", {4}, true, false},  {"AND, one of two", {4, 6}, true, false},
    };
    for (Formatter f : {fmtSetEventLocation, fmtShowPicture, fmtMovePicture}) {
        const Params& p = f == fmtSetEventLocation ? location : f == fmtShowPicture ? show : move;
        for (const SearchCase& c : cases)
            EXPECT_EQ(matches(f, p, variableSearch(c.ids, c.andMode)), c.expected) << c.what;
        EXPECT_FALSE(matches(f, p, variableSearch({4}, false, false))) << "operating option only";
    }
    // Constant positions name no variables.
    Params constantPicture = {n(1), s("A"), n(0), n(0), n(4), n(5), n(100), n(100), n(255), n(0)};
    EXPECT_FALSE(matches(fmtShowPicture, constantPicture, variableSearch({4}, false)));
    // The same variable for x and y cannot satisfy an AND search for two variables.
    Params sameVariable = {n(1), s("A"), n(0), n(1), n(4), n(4), n(100), n(100), n(255), n(0)};
    EXPECT_FALSE(matches(fmtShowPicture, sameVariable, variableSearch({4, 6}, true)));
    EXPECT_FALSE(
        matches(fmtSetEventLocation, {n(0), n(1), n(4), n(4), n(0)}, variableSearch({4, 6}, true)));
}

EventCommand command(int code, Params params) {
    EventCommand c;
    c.code = code;
    c.setParameters(std::move(params));
    return c;
}

TEST_F(MapScreenFormatters, WholeLines) {
    const std::pair<EventCommand, const char*> cases[] = {
        {command(201, {n(0), n(3), n(10), n(7), n(0), n(0)}), "◆場所移動：[003:町],(010,007)"},
        {command(231, {n(1), s("name"), n(1), n(0), n(100), n(50), n(100), n(100), n(255), n(0)}),
         "◆ピクチャの表示：1,'name',中心(100,50),(100%,100%),255,通常"},
        {command(236, {n(0), n(0), n(20)}), "◆天候の設定：なし,@20"},
        {command(222, {s("")}), "◆トランジション完了''"},
        {command(208, {n(0)}), "◆透明状態の変更：透明"},
        {command(223, {n(1)}), "◆画面の色調変更："},
    };
    options.detail = false;
    for (const auto& [c, expected] : cases) {
        std::string line;
        EXPECT_FALSE(formatCommand(line, c, options, nullptr));
        EXPECT_EQ(line, expected);
    }
}

TEST_F(MapScreenFormatters, MissingFileSearch) {
    ztest::TempDir game;
    ASSERT_EQ(ztest::run("mkdir -p " + ztest::shellQuote(game.file("Graphics/Pictures"))), 0);
    ztest::writeFile(game.file("Graphics/Pictures/Face.png"), "png");
    db.projectFolder = game.path();
    db.setResources(ResourceResolver(game.path()));
    SearchRequest r;
    r.kind = SearchKind::MissingFile;
    r.missingFiles = true;
    auto missing = [&](const EventCommand& c) {
        std::string line;
        return formatCommand(line, c, options, &r);
    };
    Params picture = {n(1), s("Face"), n(0), n(0), n(0), n(0), n(100), n(100), n(255), n(0)};
    EXPECT_FALSE(missing(command(231, picture)));
    picture[1] = s("Gone");
    EXPECT_TRUE(missing(command(231, picture)));
    EXPECT_TRUE(missing(command(204, {n(2), s("Gone")})));
    EXPECT_FALSE(missing(command(222, {s("")}))) << "an empty name is never missing";
}

// Tone and audio values as Ruby itself writes them.
TEST_F(MapScreenFormatters, ValuesDumpedByRuby) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string file = dir.file("params.bin");
    std::string script =
        "class Tone; def initialize(*a); @a = a; end; def _dump(d); @a.pack('E4'); end; end; "
        "File.binwrite(ARGV[0], Marshal.dump([Tone.new(12.0, -34.0, 56.0, 78.0), 45]))";
    ASSERT_EQ(ztest::run("ruby -e " + ztest::shellQuote(script) + " " + ztest::shellQuote(file)),
              0);
    std::string bytes = ztest::readFile(file);
    zorvane::MarshalFile loaded;
    ASSERT_TRUE(loaded.loadFromBuffer(bytes));
    ParamView params = loaded.root().children().at(0).children();
    EXPECT_EQ(text(fmtChangeTone, params, false), "(12,-34,56,78),@45");
}

}  // namespace
}  // namespace zorvane

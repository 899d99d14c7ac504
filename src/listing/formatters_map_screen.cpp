// Formatters of the map, screen, picture, weather and sound commands: transfers, event
// positions, map settings, fog, transitions, screen tone/flash/shake, pictures and audio.
#include <string>

#include "listing/formatters.h"
#include "listing/operands.h"
#include "marshal/rgss_types.h"

namespace zorvane {

namespace {

// Name lists, indexed by the stored value.
const char* const kSpeedDetail[] = {"",       "1:Slowest", "2:Slower", "3:Slow",
                                    "4:Fast", "5:Faster",  "6:Fastest"};
const char* const kSpeedShort[] = {"", "1", "2", "3", "4", "5", "6"};
const char* const kOriginNames[2][2] = {{"左上", "中心"}, {"Top Left", "Center"}};
const char* const kWeatherNames[2][4] = {{"なし", "雨", "嵐", "雪"}, {"None", "Rain", "Storm", "Snow"}};

// A name from a list; a value outside it gives an empty text instead of reading past it.
template <size_t N>
std::string nameOf(const char* const (&names)[N], int value) {
    return value >= 0 && static_cast<size_t>(value) < N ? names[value] : "";
}

int num(const ParamView& p, size_t i) {
    return p[i].fixnum();
}

std::string quoted(const std::string& name) {
    return "'" + name + "'";
}

std::string directionSuffix(int direction, const ListingOptions& o) {
    if (direction != 0)
        return std::string(",") + (o.detail ? say("向き:", o) : "") +
               directionName(direction, o.language);
    return o.detail ? say(",向き:そのまま", o) : "";
}

std::string pictureNumber(int number, const ListingOptions& o) {
    return (o.detail ? say("番号:", o) : "") + format("%d,", number);
}

// Position of a picture: constant coordinates or two variables.
std::string picturePosition(const ParamView& p, const ListingOptions& o) {
    int kind = num(p, 3), x = num(p, 4), y = num(p, 5);
    if (kind == 0) return format("(%d,%d)", x, y);
    if (kind != 1) return "";
    if (o.detail)
        return "(" + fullLabel(x, LabelKind::Variable, o) + "," +
               fullLabel(y, LabelKind::Variable, o) + ")";
    return format(say("(変数[%04d][%04d])", o), x, y);
}

// Origin, position, zoom, opacity and blend: the part that showing and moving share.
std::string pictureLayout(const ParamView& p, const ListingOptions& o) {
    const char* f = o.detail ? say(",拡大率(%d%%,%d%%),不透明度:%d,合成方法:", o) : ",(%d%%,%d%%),%d,";
    return nameOf(kOriginNames[row(o.language)], num(p, 2)) + picturePosition(p, o) +
           format(f, num(p, 6), num(p, 7), num(p, 8)) + blendName(num(p, 9), o.language);
}

std::string transferDestination(const ParamView& p, const ListingOptions& o) {
    if (num(p, 0) == 0)
        return kindIfDetailLabel(num(p, 1), LabelKind::Map, o) +
               format(",(%03d,%03d)", num(p, 2), num(p, 3));
    if (o.detail)
        return say("変数", o) + numberedLabel(num(p, 1), LabelKind::Variable, o) +
               numberedLabel(num(p, 2), LabelKind::Variable, o) +
               numberedLabel(num(p, 3), LabelKind::Variable, o);
    return format(say("変数 [%04d][%04d][%04d]", o), num(p, 1), num(p, 2), num(p, 3));
}

std::string eventPlace(const ParamView& p, const ListingOptions& o) {
    switch (num(p, 1)) {
        case 0:
            return format(",(%03d,%03d)", num(p, 2), num(p, 3));
        case 1:
            if (o.detail)
                return std::string(",") + say("変数", o) +
                       numberedLabel(num(p, 2), LabelKind::Variable, o) +
                       numberedLabel(num(p, 3), LabelKind::Variable, o);
            return "," + format(say("変数 [%04d][%04d]", o), num(p, 2), num(p, 3));
        case 2:
            return "," + fill(say("{1}と交換", o), {characterName(num(p, 2), o)});
        default:
            return "";
    }
}

void panoramaSettings(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 3)) return;
    out += say("パノラマ = ", o) + quoted(p[1].text()) +
           format(o.detail ? say(",色相:%d", o) : ",%d", num(p, 2));
}

void fogSettings(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 8)) return;
    std::string name = p[1].text();
    const char* f = o.detail ? say(",色相:%d,不透明度:%d,合成方法:%s,拡大率:%d,SX:%d,SY:%d", o)
                             : ",%d,%d,%s,%d,%d,%d";
    out += say("フォグ = ", o) + quoted(name) +
           format(f, num(p, 2), num(p, 3), blendName(num(p, 4), o.language).c_str(), num(p, 5),
                  num(p, 6), num(p, 7));
}

void battlebackSettings(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += say("バトルバック = ", o) + quoted(p[1].text());
}

// The parts of the map that the settings command changes, by p0.
const FormatterFunction* const kMapSettingParts[] = {panoramaSettings, fogSettings, battlebackSettings};

}  // namespace

void fmtTransferPlayer(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 6)) return;
    out += transferDestination(p, o) + directionSuffix(num(p, 4), o);
    if (num(p, 5) != 0)
        out += say(",フェードなし", o);
    else if (o.detail)
        out += say(",フェードあり", o);
}

void fmtSetEventLocation(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 5)) return;
    out += characterName(num(p, 0), o) + eventPlace(p, o) + directionSuffix(num(p, 4), o);
}

void fmtScrollMap(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 3)) return;
    std::string speed = o.detail ? nameOf(kSpeedDetail, num(p, 2)) : nameOf(kSpeedShort, num(p, 2));
    out += format(o.detail ? say("方向:%s,距離:%d,速度:%s", o) : "%s,%d,%s",
                  directionName(num(p, 0), o.language).c_str(), num(p, 1), speed.c_str());
}

void fmtChangeMapSettings(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 2)) return;
    int part = num(p, 0);
    constexpr int count = static_cast<int>(sizeof kMapSettingParts / sizeof kMapSettingParts[0]);
    if (part >= 0 && part < count) kMapSettingParts[part](out, p, o);
}

void fmtChangeTone(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2)) out += toneText(p[0], num(p, 1), o);
}

void fmtChangeFogOpacity(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2))
        out += format(o.detail ? say("不透明度:%d,時間:%dフレーム", o) : "%d,@%d", num(p, 0),
                      num(p, 1));
}

void fmtShowAnimation(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2))
        out += characterName(num(p, 0), o) + "," + detailLabel(num(p, 1), LabelKind::Animation, o);
}

void fmtChangeTransparentFlag(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out += say(num(p, 0) == 0 ? "透明" : "通常", o);
}

void fmtExecuteTransition(std::string& out, const ParamView& p, const ListingOptions&) {
    if (needs(p, 1)) out += quoted(p[0].text());
}

void fmtScreenFlash(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2)) out += colorText(p[0], num(p, 1), o);
}

void fmtScreenShake(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 3))
        out += format(o.detail ? say("強さ:%d,速さ:%d,フレーム:%d", o) : "%d,%d,@%d", num(p, 0),
                      num(p, 1), num(p, 2));
}

void fmtShowPicture(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 10))
        out += pictureNumber(num(p, 0), o) + quoted(p[1].text()) + "," + pictureLayout(p, o);
}

void fmtMovePicture(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 10))
        out += pictureNumber(num(p, 0), o) +
               format(o.detail ? say("時間:%dフレーム,", o) : "@%d,", num(p, 1)) + pictureLayout(p, o);
}

void fmtRotatePicture(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 2))
        out += pictureNumber(num(p, 0), o) + format(o.detail ? say("回転速度:%+d", o) : "%+d", num(p, 1));
}

void fmtChangePictureTone(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 3))
        out += pictureNumber(num(p, 0), o) + toneText(p[1], num(p, 2), o);
}

void fmtErasePicture(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out += (o.detail ? say("番号:", o) : "") + format("%d", num(p, 0));
}

void fmtSetWeatherEffects(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 3)) return;
    int type = num(p, 0);
    out += nameOf(kWeatherNames[row(o.language)], type) + ",";
    if (type > 0) out += (o.detail ? say("強さ:", o) : "") + format("%d,", num(p, 1));
    out += format(o.detail ? say("時間:%dフレーム", o) : "@%d", num(p, 2));
}

void fmtFadeOutAudio(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (needs(p, 1)) out += format(say("%d秒", o), num(p, 0));
}

}  // namespace zorvane

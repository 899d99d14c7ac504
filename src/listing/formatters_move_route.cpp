// The move route: the head line of command 209 (character and route options) and one line
// per move command (509), named from the move-command vocabulary below.
#include "listing/formatters.h"
#include "listing/operands.h"

namespace zorvane {

namespace {

// Indexed by move code; code 0 has no name. One row per language (listing_words.h).
const char* const kMoveNames[2][46] = {
    {
        "",
        "下に移動",
        "左に移動",
        "右に移動",
        "上に移動",
        "左下に移動",
        "右下に移動",
        "左上に移動",
        "右上に移動",
        "ランダムに移動",
        "プレイヤーに近づく",
        "プレイヤーから遠ざかる",
        "一歩前進",
        "一歩後退",
        "ジャンプ",
        "ウェイト",
        "下を向く",
        "左を向く",
        "右を向く",
        "上を向く",
        "右に 90 度回転",
        "左に 90 度回転",
        "180 度回転",
        "右か左に 90 度回転",
        "ランダムに方向転換",
        "プレイヤーの方を向く",
        "プレイヤーの逆を向く",
        "スイッチ ON",
        "スイッチ OFF",
        "移動速度の変更",
        "移動頻度の変更",
        "移動時アニメ ON",
        "移動時アニメ OFF",
        "停止時アニメ ON",
        "停止時アニメ OFF",
        "向き固定 ON",
        "向き固定 OFF",
        "すり抜け ON",
        "すり抜け OFF",
        "最前面に表示 ON",
        "最前面に表示 OFF",
        "グラフィック変更",
        "不透明度の変更",
        "合成方法の変更",
        "SE の演奏",
        "スクリプト",
    },
    {
        "",
        "Move Down",
        "Move Left",
        "Move Right",
        "Move Up",
        "Move Down-Left",
        "Move Down-Right",
        "Move Up-Left",
        "Move Up-Right",
        "Move Anywhere",
        "Step Toward Player",
        "Step Away from Player",
        "Step Forward",
        "Step Back",
        "Jump",
        "Wait",
        "Face Down",
        "Face Left",
        "Face Right",
        "Face Up",
        "Turn Right 90°",
        "Turn Left 90°",
        "Turn Around",
        "Turn Right or Left 90°",
        "Face Any Way",
        "Face Player",
        "Face Away from Player",
        "Switch ON",
        "Switch OFF",
        "Set Speed",
        "Set Frequency",
        "Walking Animation ON",
        "Walking Animation OFF",
        "Idle Animation ON",
        "Idle Animation OFF",
        "Lock Facing ON",
        "Lock Facing OFF",
        "Pass Through ON",
        "Pass Through OFF",
        "Topmost ON",
        "Topmost OFF",
        "Set Graphic",
        "Set Opacity",
        "Set Blending",
        "Play SE",
        "Script",
    },
};
constexpr int kMoveNameCount = static_cast<int>(sizeof kMoveNames[0] / sizeof kMoveNames[0][0]);

const char* const kSpeedNames[] = {"1:Slowest", "2:Slower", "3:Slow",
                                   "4:Fast",    "5:Faster", "6:Fastest"};
const char* const kFrequencyNames[] = {"1:Lowest", "2:Lower",  "3:Low",
                                       "4:High",   "5:Higher", "6:Highest"};
const char* const kBlendNames[2][3] = {{"通常", "加算", "減算"}, {"Normal", "Add", "Subtract"}};

// Detail: the name of value 1..6; short: the number alone.
std::string oneToSix(int value, const char* const (&names)[6], const ListingOptions& o) {
    if (value < 1 || value > 6) return "";
    return o.detail ? names[value - 1] : format("%d", value);
}

enum MoveCode : int {
    MoveJump = 14,
    MoveWait = 15,
    MoveSwitchOn = 27,
    MoveSwitchOff = 28,
    MoveSpeed = 29,
    MoveFrequency = 30,
    MoveGraphic = 41,
    MoveOpacity = 42,
    MoveBlend = 43,
    MovePlaySe = 44,
    MoveScript = 45,
};

struct MoveArguments {
    int code;
    size_t needs;
    // Appends the arguments.
    void (*print)(std::string& out, const ParamView& p, const ListingOptions& o);
    // What the arguments refer to (the operands of command_refs.h).
    std::vector<Operand> operands;
};

// The mark between a move's name and its arguments.
std::string argumentMark(const ListingOptions& o) {
    return say("：", o);
}

void jumpArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + format("%+d,%+d", p[0].fixnum(), p[1].fixnum());
}

void waitArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + format(say("%dフレーム", o), p[0].fixnum());
}

void switchArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    int id = p[0].fixnum();
    out += argumentMark(o) + (o.detail ? fullLabel(id, LabelKind::Switch, o) : format("%04d", id));
}

void speedArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + speedName(p[0].fixnum(), o);
}

void frequencyArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + frequencyName(p[0].fixnum(), o);
}

void graphicArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + "'" + p[0].text() + "'";
    if (o.detail)
        out += format(say(",色相:%d,向き:%s,パターン:%d", o), p[1].fixnum(),
                      directionName(p[2].fixnum(), o.language).c_str(), p[3].fixnum());
    else
        out += format(",%d,%d,%d", p[1].fixnum(), p[2].fixnum(), p[3].fixnum());
}

void opacityArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + format("%d", p[0].fixnum());
}

void blendArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + blendName(p[0].fixnum(), o.language);
}

void seArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + audioText(p[0], o);
}

void scriptArguments(std::string& out, const ParamView& p, const ListingOptions& o) {
    out += argumentMark(o) + p[0].text();
}

const std::vector<MoveArguments>& moveArguments() {
    static const std::vector<MoveArguments> table = {
        {MoveJump, 2, jumpArguments, {}},
        {MoveWait, 1, waitArguments, {}},
        {MoveSwitchOn, 1, switchArguments, {op(RefKind::Switch, 0).writes().need(1)}},
        {MoveSwitchOff, 1, switchArguments, {op(RefKind::Switch, 0).writes().need(1)}},
        {MoveSpeed, 1, speedArguments, {}},
        {MoveFrequency, 1, frequencyArguments, {}},
        {MoveGraphic, 4, graphicArguments, {fileAt(0, "Graphics\\Characters\\").need(4)}},
        {MoveOpacity, 1, opacityArguments, {}},
        {MoveBlend, 1, blendArguments, {}},
        {MovePlaySe, 1, seArguments, {op(RefKind::File, 0).audioFile("Audio\\SE\\").need(1)}},
        {MoveScript, 1, scriptArguments, {text(TextRole::Script, 0).need(1)}},
    };
    return table;
}

const MoveArguments* argumentsOf(int code) {
    for (const MoveArguments& a : moveArguments())
        if (a.code == code) return &a;
    return nullptr;
}

}  // namespace

std::string speedName(int value, const ListingOptions& o) {
    return oneToSix(value, kSpeedNames, o);
}

std::string frequencyName(int value, const ListingOptions& o) {
    return oneToSix(value, kFrequencyNames, o);
}

std::string blendName(int value, ListingLanguage language) {
    return value >= 0 && value < 3 ? kBlendNames[row(language)][value] : "";
}

void fmtSetMoveRoute(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 2)) return;
    const MarshalValue& route = p[1];
    if (route.kind() != MarshalValue::Object || route.classNameView() != "RPG::MoveRoute") return;
    const MarshalValue* repeatFlag = route.findIvar("@repeat");
    const MarshalValue* skippableFlag = route.findIvar("@skippable");
    bool repeat = repeatFlag && repeatFlag->isTrue();
    bool skippable = skippableFlag && skippableFlag->isTrue();
    out = characterName(p[0].fixnum(), o);
    if (repeat || skippable)
        out += std::string("(") + (repeat ? say("動作を繰り返す", o) : "") +
               (repeat && skippable ? "," : "") + (skippable ? say("移動できない場合は無視", o) : "") +
               ")";
}

void fmtMoveCommand(std::string& out, const ParamView& p, const ListingOptions& o) {
    if (!needs(p, 1)) return;
    const MarshalValue* codeNode = p[0].findIvar("@code");
    int code = codeNode ? codeNode->fixnum() : 0;
    if (code <= 0) return;
    // A code beyond the vocabulary still shows that a move command stands here.
    out = std::string("◇") + (code < kMoveNameCount ? kMoveNames[row(o.language)][code] : "");
    const MoveArguments* arguments = argumentsOf(code);
    const MarshalValue* paramsNode = p[0].findIvar("@parameters");
    if (!arguments || !paramsNode) return;
    const ParamView& moveParams = paramsNode->children();
    if (needs(moveParams, arguments->needs)) arguments->print(out, moveParams, o);
}

const std::vector<Operand>& moveOperands(int moveCode) {
    static const std::vector<Operand> none;
    const MoveArguments* arguments = argumentsOf(moveCode);
    return arguments ? arguments->operands : none;
}

std::vector<int> moveCodes() {
    std::vector<int> codes;
    for (const MoveArguments& a : moveArguments()) codes.push_back(a.code);
    return codes;
}

}  // namespace zorvane

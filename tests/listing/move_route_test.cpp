// The move route head line (209) and the move command lines (509).
#include <gtest/gtest.h>

#include "listing_test_support.h"

using namespace zorvane;
using namespace ltest;

namespace {

std::string moveLine(int moveCode, std::vector<MarshalValue> params, bool detail) {
    return line(509, {moveCommand(moveCode, std::move(params))}, detail);
}

const char* const kPrefix = "：　　　　　　　　：";

}  // namespace

TEST(MoveRoute, HeadLine) {
    EXPECT_EQ(line(209, {num(-1), moveRoute(true, false)}, false),
              "◆移動ルートの設定：プレイヤー(動作を繰り返す)");
    EXPECT_EQ(line(209, {num(-1), moveRoute(false, false)}, false),
              "◆移動ルートの設定：プレイヤー");
    EXPECT_EQ(line(209, {num(0), moveRoute(false, true)}, true),
              "◆移動ルートの設定：イベント[このイベント](移動できない場合は無視)");
    EXPECT_EQ(line(209, {num(0), moveRoute(true, true)}, false),
              "◆移動ルートの設定：このイベント(動作を繰り返す,移動できない場合は無視)");
    // Not a route, or too few parameters: the bare name.
    EXPECT_EQ(line(209, {num(-1), num(3)}, false), "◆移動ルートの設定：");
    EXPECT_EQ(line(209, {num(-1)}, false), "◆移動ルートの設定：");
}

TEST(MoveRoute, DocumentedMoveLines) {
    EXPECT_EQ(moveLine(1, {}, false), "：　　　　　　　　：◇下に移動");
    EXPECT_EQ(moveLine(14, {num(-1), num(2)}, false), "：　　　　　　　　：◇ジャンプ：-1,+2");
    EXPECT_EQ(moveLine(29, {num(4)}, true), std::string(kPrefix) + "◇移動速度の変更：4:Fast");
    EXPECT_EQ(moveLine(29, {num(4)}, false), std::string(kPrefix) + "◇移動速度の変更：4");
    EXPECT_EQ(moveLine(0, {}, false), "：　　　　　　　　：");
}

TEST(MoveRoute, ArgumentsInDetailAndShortForm) {
    struct Case {
        int code;
        std::vector<MarshalValue> params;
        const char* detail;
        const char* brief;
    };
    const Case cases[] = {
        {15, {num(8)}, "◇ウェイト：8フレーム", "◇ウェイト：8フレーム"},
        {27, {num(5)}, "◇スイッチ ON：スイッチ[0005:Door]", "◇スイッチ ON：0005"},
        {28, {num(7)}, "◇スイッチ OFF：スイッチ[0007:]", "◇スイッチ OFF：0007"},
        {29, {num(1)}, "◇移動速度の変更：1:Slowest", "◇移動速度の変更：1"},
        {29, {num(6)}, "◇移動速度の変更：6:Fastest", "◇移動速度の変更：6"},
        {30, {num(3)}, "◇移動頻度の変更：3:Low", "◇移動頻度の変更：3"},
        {30, {num(5)}, "◇移動頻度の変更：5:Higher", "◇移動頻度の変更：5"},
        {41,
         {str("Hero"), num(30), num(6), num(2)},
         "◇グラフィック変更：'Hero',色相:30,向き:右,パターン:2",
         "◇グラフィック変更：'Hero',30,6,2"},
        {42, {num(128)}, "◇不透明度の変更：128", "◇不透明度の変更：128"},
        {43, {num(1)}, "◇合成方法の変更：加算", "◇合成方法の変更：加算"},
        {43, {num(2)}, "◇合成方法の変更：減算", "◇合成方法の変更：減算"},
        {44,
         {audio("Door", 80, 120)},
         "◇SE の演奏：'Door',ボリューム:80,ピッチ:120",
         "◇SE の演奏：'Door',80,120"},
        {45, {str("@x += 1")}, "◇スクリプト：@x += 1", "◇スクリプト：@x += 1"},
        {16, {}, "◇下を向く", "◇下を向く"},
        {20, {}, "◇右に 90 度回転", "◇右に 90 度回転"},
        {23, {}, "◇右か左に 90 度回転", "◇右か左に 90 度回転"},
        {40, {}, "◇最前面に表示 OFF", "◇最前面に表示 OFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(moveLine(c.code, c.params, true), kPrefix + std::string(c.detail)) << c.code;
        EXPECT_EQ(moveLine(c.code, c.params, false), kPrefix + std::string(c.brief)) << c.code;
    }
}

TEST(MoveRoute, ShortMoveParametersAndUnknownCodes) {
    EXPECT_EQ(moveLine(14, {num(1)}, false), std::string(kPrefix) + "◇ジャンプ");
    EXPECT_EQ(moveLine(41, {str("Hero"), num(0), num(2)}, true),
              std::string(kPrefix) + "◇グラフィック変更");
    EXPECT_EQ(moveLine(44, {}, true), std::string(kPrefix) + "◇SE の演奏");
    EXPECT_EQ(moveLine(-3, {}, true), kPrefix);
    // Beyond the vocabulary: the mark alone, nothing read outside the names.
    EXPECT_EQ(moveLine(46, {num(1)}, true), std::string(kPrefix) + "◇");
    EXPECT_EQ(moveLine(100000, {}, false), std::string(kPrefix) + "◇");
    // A 509 with no move command at all.
    EXPECT_EQ(line(509, {}, false), kPrefix);
    EXPECT_EQ(line(509, {num(3)}, false), kPrefix);
}

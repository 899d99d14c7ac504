// Lines of the message, flow and game-state commands, in detail and short form.
#include <gtest/gtest.h>

#include "listing_test_support.h"

using namespace zorvane;
using namespace ltest;

namespace {

struct LineCase {
    int code;
    std::vector<MarshalValue> params;
    const char* detail;  // null: same as short
    const char* brief;
};

void expectLines(const std::vector<LineCase>& cases, const ListingOptions& base) {
    for (const LineCase& c : cases) {
        for (bool detail : {true, false}) {
            ListingOptions o = base;
            o.detail = detail;
            std::string out;
            formatCommand(out, command(c.code, c.params), o, nullptr);
            const char* expected = detail && c.detail ? c.detail : c.brief;
            EXPECT_EQ(out, expected) << "code " << c.code << (detail ? " detail" : " short");
        }
    }
}

}  // namespace

TEST(MessagesFlow, DocumentedExamples) {
    expectLines(
        {
            {121,
             {num(5), num(5), num(1)},
             "◆スイッチの操作：スイッチ[0005:Door] = OFF",
             "◆スイッチの操作：[0005:Door] = OFF"},
            {121,
             {num(1), num(3), num(0)},
             "◆スイッチの操作：[スイッチ[0001:]..スイッチ[0003:]] = ON",
             "◆スイッチの操作：[0001..0003] = ON"},
            {124, {num(0), num(125)}, nullptr, "◆タイマーの操作：始動 (2分5秒)"},
            {111, {num(3), num(90), num(1)}, nullptr, "◆条件分岐：タイマー1分30秒 以下"},
            {111, {num(7), num(500), num(0)}, nullptr, "◆条件分岐：ゴールド500以上"},
            {134, {num(0)}, nullptr, "◆セーブ禁止の変更：禁止"},
            {134, {num(1)}, nullptr, "◆セーブ禁止の変更：許可"},
            {102,
             {arr({str("はい"), str("いいえ")}), num(2)},
             "◆選択肢の表示：はい,いいえ (キャンセル時：選択肢 2)",
             "◆選択肢の表示：はい,いいえ"},
        },
        options(false));
}

TEST(MessagesFlow, TextsChoicesAndInput) {
    expectLines(
        {
            {101, {str("こんにちは、\\V[12]")}, nullptr, "◆文章：こんにちは、\\V[12]"},
            {401, {str("二行目")}, nullptr, "：　　：二行目"},
            {102,
             {arr({str("a")}), num(5)},
             "◆選択肢の表示：a (キャンセル時：分岐)",
             "◆選択肢の表示：a"},
            {102, {arr({}), num(0)}, "◆選択肢の表示： (キャンセル時：無効)", "◆選択肢の表示："},
            {402, {num(0), str("はい")}, nullptr, "：[はい] の場合"},
            {403, {}, nullptr, "：キャンセルの場合"},
            {404, {}, nullptr, "：分岐終了"},
            {103,
             {num(12), num(3)},
             "◆数値入力の処理：変数[0012:Coins],3桁",
             "◆数値入力の処理：[0012:Coins],3桁"},
            {104, {num(2), num(1)}, nullptr, "◆文章オプション変更：下,非表示"},
            {104, {num(0), num(0)}, nullptr, "◆文章オプション変更：上,表示"},
            {105,
             {num(12)},
             "◆ボタン入力の処理：変数[0012:Coins]",
             "◆ボタン入力の処理：[0012:Coins]"},
            {106, {num(20)}, nullptr, "◆ウェイト：20フレーム"},
            {108, {str("memo")}, nullptr, "◆注釈：memo"},
            {408, {str("more")}, nullptr, "：　　：more"},
        },
        options(false));
}

TEST(MessagesFlow, FlowAndCalls) {
    expectLines(
        {
            {411, {}, nullptr, "：それ以外の場合"},
            {412, {}, nullptr, "：分岐終了"},
            {112, {}, nullptr, "◆ループ"},
            {113, {}, nullptr, "：ループの中断"},
            {413, {}, nullptr, "：以上繰り返し"},
            {115, {}, nullptr, "◆イベント処理の中断"},
            {116, {}, nullptr, "◆イベントの一時消去"},
            {117, {num(2)}, "◆コモンイベント：コモンイベント[002:Shop]", "◆コモンイベント：[Shop]"},
            {117,
             {num(9)},
             "◆コモンイベント：コモンイベント[009:(Warning:Array Overflow)]",
             "◆コモンイベント：[(Warning:Array Overflow)]"},
            {118, {str("L1")}, nullptr, "◆ラベル：L1"},
            {119, {str("L1")}, nullptr, "◆ラベルジャンプ：L1"},
        },
        options(false));
}

TEST(MessagesFlow, SwitchesVariablesAndTimer) {
    ListingOptions o = options(false);
    o.ownerKind = OwnerKind::Troop;
    o.ownerId = 1;
    expectLines(
        {
            {121,
             {num(5), num(5), num(0)},
             "◆スイッチの操作：スイッチ[0005:Door] = ON",
             "◆スイッチの操作：[0005:Door] = ON"},
            {121,
             {num(1), num(3), num(1)},
             "◆スイッチの操作：[スイッチ[0001:]..スイッチ[0003:]] = OFF",
             "◆スイッチの操作：[0001..0003] = OFF"},
            {122,
             {num(12), num(12), num(1), num(0), num(5)},
             "◆変数の操作：変数[0012:Coins] += 5",
             "◆変数の操作：[0012:Coins] += 5"},
            {122,
             {num(1), num(10), num(0), num(0), num(0)},
             "◆変数の操作：[変数[0001:]..変数[0010:]] = 0",
             "◆変数の操作：[0001..0010] = 0"},
            {122,
             {num(12), num(12), num(5), num(1), num(12)},
             "◆変数の操作：変数[0012:Coins] %= 変数[0012:Coins]",
             "◆変数の操作：[0012:Coins] %= 変数[0012:Coins]"},
            {122,
             {num(12), num(12), num(0), num(2), num(1), num(6)},
             "◆変数の操作：変数[0012:Coins] = 乱数(1..6)",
             "◆変数の操作：[0012:Coins] = 乱数(1..6)"},
            {122,
             {num(12), num(12), num(2), num(3), num(1)},
             "◆変数の操作：変数[0012:Coins] -= アイテム[001:Potion]の所持数",
             "◆変数の操作：[0012:Coins] -= [Potion]の所持数"},
            {122,
             {num(12), num(12), num(3), num(4), num(1), num(2)},
             "◆変数の操作：変数[0012:Coins] *= アクター[001:Aruto] の HP",
             "◆変数の操作：[0012:Coins] *= [Aruto] の HP"},
            {122,
             {num(12), num(12), num(4), num(5), num(0), num(11)},
             "◆変数の操作：変数[0012:Coins] /= [1.エネミー[001:Slime]] の 回避修正",
             "◆変数の操作：[0012:Coins] /= [1.Slime] の 回避修正"},
            {122,
             {num(12), num(12), num(0), num(6), num(-1), num(2)},
             "◆変数の操作：変数[0012:Coins] = イベント[プレイヤー] の 向き",
             "◆変数の操作：[0012:Coins] = プレイヤー の 向き"},
            {122,
             {num(12), num(12), num(0), num(7), num(2)},
             "◆変数の操作：変数[0012:Coins] = ゴールド",
             "◆変数の操作：[0012:Coins] = ゴールド"},
            {123, {str("A"), num(0)}, nullptr, "◆セルフスイッチの操作：A = ON"},
            {123, {str("D"), num(1)}, nullptr, "◆セルフスイッチの操作：D = OFF"},
            {124, {num(1)}, nullptr, "◆タイマーの操作：停止"},
            {124, {num(0), num(59)}, nullptr, "◆タイマーの操作：始動 (0分59秒)"},
        },
        o);
}

TEST(MessagesFlow, GoldItemsPartyAndSystem) {
    expectLines(
        {
            {125, {num(1), num(0), num(50)}, nullptr, "◆ゴールドの増減：-50"},
            {125, {num(0), num(1), num(12)}, nullptr, "◆ゴールドの増減：+変数[0012:Coins]"},
            {126,
             {num(1), num(0), num(0), num(3)},
             "◆アイテムの増減：アイテム[001:Potion] +3",
             "◆アイテムの増減：[Potion] +3"},
            {127,
             {num(1), num(1), num(1), num(12)},
             "◆武器の増減：武器[001:Sword] -変数[0012:Coins]",
             "◆武器の増減：[Sword] -変数[0012:Coins]"},
            {128,
             {num(1), num(0), num(0), num(1)},
             "◆防具の増減：防具[001:Shield] +1",
             "◆防具の増減：[Shield] +1"},
            {129,
             {num(1), num(0), num(1)},
             "◆アクターの入れ替え：アクター[001:Aruto] を加える,初期化",
             "◆アクターの入れ替え：[Aruto] を加える,初期化"},
            {129,
             {num(1), num(0), num(0)},
             "◆アクターの入れ替え：アクター[001:Aruto] を加える",
             "◆アクターの入れ替え：[Aruto] を加える"},
            {129,
             {num(1), num(0)},
             "◆アクターの入れ替え：アクター[001:Aruto] を加える",
             "◆アクターの入れ替え：[Aruto] を加える"},
            {129,
             {num(1), num(1)},
             "◆アクターの入れ替え：アクター[001:Aruto] を外す",
             "◆アクターの入れ替え：[Aruto] を外す"},
            {131, {str("Blue")}, nullptr, "◆ウィンドウスキンの変更：'Blue'"},
            {132,
             {audio("Battle1", 90, 110)},
             "◆バトル BGM の変更：'Battle1',ボリューム:90,ピッチ:110",
             "◆バトル BGM の変更：'Battle1',90,110"},
            {133,
             {audio("", 100, 100)},
             "◆バトル終了 ME の変更：'',ボリューム:100,ピッチ:100",
             "◆バトル終了 ME の変更：'',100,100"},
            {135, {num(0)}, nullptr, "◆メニュー禁止の変更：禁止"},
            {136, {num(1)}, nullptr, "◆エンカウント禁止の変更：許可"},
        },
        options(false));
}

TEST(MessagesFlow, ConditionalBranchCases) {
    ListingOptions o = options(false);
    o.ownerKind = OwnerKind::Troop;
    o.ownerId = 1;
    std::map<int32_t, MapEvent> events;
    events[3].name = "Guard";
    o.mapEvents = &events;
    expectLines(
        {
            {111, {num(0), num(5), num(0)}, nullptr, "◆条件分岐：スイッチ[0005:Door] == ON"},
            {111,
             {num(1), num(12), num(0), num(3), num(1)},
             nullptr,
             "◆条件分岐：変数[0012:Coins] >= 3"},
            {111,
             {num(1), num(12), num(1), num(12), num(5)},
             nullptr,
             "◆条件分岐：変数[0012:Coins] != 変数[0012:Coins]"},
            {111, {num(2), str("B"), num(1)}, nullptr, "◆条件分岐：セルフスイッチB == OFF"},
            {111,
             {num(4), num(1), num(0)},
             "◆条件分岐：アクター[001:Aruto] が パーティにいる",
             "◆条件分岐：[Aruto] が パーティにいる"},
            {111,
             {num(4), num(1), num(1), str("Bob")},
             "◆条件分岐：アクター[001:Aruto] が 名前'Bob'になっている",
             "◆条件分岐：[Aruto] が 名前'Bob'になっている"},
            {111,
             {num(4), num(1), num(2), num(1)},
             "◆条件分岐：アクター[001:Aruto] が スキル[001:Fire] を習得済み",
             "◆条件分岐：[Aruto] が [Fire] を習得済み"},
            {111,
             {num(4), num(1), num(3), num(1)},
             "◆条件分岐：アクター[001:Aruto] が 武器[001:Sword] を装備中",
             "◆条件分岐：[Aruto] が [Sword] を装備中"},
            {111,
             {num(4), num(1), num(4), num(1)},
             "◆条件分岐：アクター[001:Aruto] が 防具[001:Shield] を装備中",
             "◆条件分岐：[Aruto] が [Shield] を装備中"},
            {111,
             {num(4), num(1), num(5), num(3)},
             "◆条件分岐：アクター[001:Aruto] が ステート[003:Poison] になっている",
             "◆条件分岐：[Aruto] が [Poison] になっている"},
            {111,
             {num(5), num(1), num(0)},
             "◆条件分岐：[2.エネミー[001:Slime]] が 出現している",
             "◆条件分岐：[2.Slime] が 出現している"},
            {111,
             {num(5), num(0), num(1), num(3)},
             "◆条件分岐：[1.エネミー[001:Slime]] が ステート[003:Poison] になっている",
             "◆条件分岐：[1.Slime] が [Poison] になっている"},
            {111,
             {num(6), num(3), num(8)},
             "◆条件分岐：イベント[003:Guard] が 上 を向いている",
             "◆条件分岐：[Guard] が 上 を向いている"},
            {111,
             {num(6), num(0), num(2)},
             "◆条件分岐：イベント[このイベント] が 下 を向いている",
             "◆条件分岐：このイベント が 下 を向いている"},
            {111,
             {num(6), num(4), num(4)},
             "◆条件分岐：イベント[004] が 左 を向いている",
             "◆条件分岐：[] が 左 を向いている"},
            {111,
             {num(8), num(1)},
             "◆条件分岐：アイテム[001:Potion] を持っている",
             "◆条件分岐：[Potion] を持っている"},
            {111,
             {num(9), num(1)},
             "◆条件分岐：武器[001:Sword] を持っている",
             "◆条件分岐：[Sword] を持っている"},
            {111,
             {num(10), num(1)},
             "◆条件分岐：防具[001:Shield] を持っている",
             "◆条件分岐：[Shield] を持っている"},
            {111, {num(11), num(13)}, nullptr, "◆条件分岐：ボタン C が押されている"},
            {111, {num(11), num(18)}, nullptr, "◆条件分岐：ボタン R が押されている"},
            {111,
             {num(12), str("$game_switches[1]")},
             nullptr,
             "◆条件分岐：スクリプト：$game_switches[1]"},
            {111, {num(13), num(0), num(0)}, nullptr, "◆条件分岐："},
        },
        o);
}

// Each formatter that needs n parameters prints the bare name with fewer.
TEST(MessagesFlow, ShortArraysPrintTheBareName) {
    expectLines(
        {
            {101, {}, nullptr, "◆文章："},
            {102, {arr({str("a")})}, nullptr, "◆選択肢の表示："},
            {402, {num(0)}, nullptr, "："},
            {103, {num(12)}, nullptr, "◆数値入力の処理："},
            {111, {}, nullptr, "◆条件分岐："},
            {111, {num(1), num(12), num(0), num(3)}, nullptr, "◆条件分岐："},
            {111, {num(4), num(1), num(2)}, nullptr, "◆条件分岐："},
            {111, {num(12)}, nullptr, "◆条件分岐："},
            {121, {num(1), num(1)}, nullptr, "◆スイッチの操作："},
            {122, {num(1), num(1), num(0), num(0)}, nullptr, "◆変数の操作："},
            {122, {num(1), num(1), num(0), num(2), num(1)}, nullptr, "◆変数の操作："},
            {124, {num(0)}, nullptr, "◆タイマーの操作："},
            {124, {}, nullptr, "◆タイマーの操作："},
            {126, {num(1), num(0), num(0)}, nullptr, "◆アイテムの増減："},
            {129, {num(1)}, nullptr, "◆アクターの入れ替え："},
            {132, {}, nullptr, "◆バトル BGM の変更："},
        },
        options(false));
}

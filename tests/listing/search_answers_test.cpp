// Which commands of the message, flow, game-state and move-route families answer which
// searches, under which option, in OR and AND mode.
#include <gtest/gtest.h>

#include "listing_test_support.h"
#include "text/text_matcher.h"

using namespace zorvane;
using namespace ltest;

namespace {

SearchRequest idSearch(SearchKind kind, std::set<int> ids, bool andMode, bool operating,
                       bool referencing) {
    SearchRequest r;
    r.kind = kind;
    r.targetIds = std::move(ids);
    r.andMode = andMode;
    r.inOperatingCommands = operating;
    r.inReferencingCommands = referencing;
    return r;
}

SearchRequest textSearch(const std::string& text, TextTarget target) {
    SearchRequest r;
    r.kind = SearchKind::Text;
    r.text = text;
    r.textTargets[target] = true;
    return r;
}

struct AnswerCase {
    const char* what;
    int code;
    std::vector<MarshalValue> params;
    bool expected;
};

void expectAnswers(const SearchRequest& request, const std::vector<AnswerCase>& cases) {
    for (const AnswerCase& c : cases)
        EXPECT_EQ(matches(c.code, c.params, request), c.expected) << c.what;
}

MarshalValue moveSwitch(int code, int id) {
    return moveCommand(code, {num(id)});
}

}  // namespace

TEST(SearchAnswers, SwitchSearchUnderEachOption) {
    const std::vector<AnswerCase> operating = {
        {"121 one switch", 121, {num(5), num(5), num(0)}, true},
        {"121 other switch", 121, {num(6), num(6), num(0)}, false},
        {"121 range holding it", 121, {num(1), num(9), num(1)}, true},
        {"121 range without it", 121, {num(6), num(9), num(1)}, false},
        {"111 switch condition", 111, {num(0), num(5), num(0)}, false},
        {"509 switch ON", 509, {moveSwitch(27, 5)}, false},
    };
    expectAnswers(idSearch(SearchKind::Switch, {5}, false, true, false), operating);

    const std::vector<AnswerCase> referencing = {
        {"121 one switch", 121, {num(5), num(5), num(0)}, false},
        {"111 switch condition", 111, {num(0), num(5), num(0)}, true},
        {"111 other switch", 111, {num(0), num(4), num(0)}, false},
        {"111 variable condition on id 5", 111, {num(1), num(5), num(0), num(0), num(0)}, false},
        {"509 switch ON", 509, {moveSwitch(27, 5)}, true},
        {"509 switch OFF", 509, {moveSwitch(28, 5)}, true},
        {"509 other switch", 509, {moveSwitch(28, 6)}, false},
        {"509 wait 5 frames", 509, {moveCommand(15, {num(5)})}, false},
    };
    expectAnswers(idSearch(SearchKind::Switch, {5}, false, false, true), referencing);
}

TEST(SearchAnswers, OrAndAndModesWithTwoSwitches) {
    SearchRequest orMode = idSearch(SearchKind::Switch, {5, 8}, false, true, true);
    SearchRequest andMode = idSearch(SearchKind::Switch, {5, 8}, true, true, true);
    SearchRequest andOne = idSearch(SearchKind::Switch, {5}, true, true, true);
    std::vector<MarshalValue> single = {num(8), num(8), num(0)};
    std::vector<MarshalValue> range = {num(7), num(9), num(0)};
    std::vector<MarshalValue> backwards = {num(9), num(7), num(0)};
    EXPECT_TRUE(matches(121, single, orMode));
    EXPECT_FALSE(matches(121, single, andMode));  // one id never satisfies two
    EXPECT_TRUE(matches(121, range, andMode));    // ranges match in either mode
    EXPECT_TRUE(matches(121, backwards, orMode));
    EXPECT_TRUE(matches(509, {moveSwitch(27, 8)}, orMode));
    EXPECT_FALSE(matches(509, {moveSwitch(27, 8)}, andMode));
    EXPECT_TRUE(matches(509, {moveSwitch(27, 5)}, andOne));
    EXPECT_TRUE(matches(111, {num(0), num(5), num(1)}, andOne));
}

TEST(SearchAnswers, VariableSearchOperatingCommands) {
    expectAnswers(
        idSearch(SearchKind::Variable, {5}, false, true, false),
        {
            {"122 target", 122, {num(5), num(5), num(0), num(0), num(1)}, true},
            {"122 range 1..10", 122, {num(1), num(10), num(0), num(0), num(1)}, true},
            {"122 operand only", 122, {num(4), num(4), num(0), num(1), num(5)}, false},
            {"103 input number", 103, {num(5), num(2)}, true},
            {"103 other variable", 103, {num(6), num(2)}, false},
            {"105 button input", 105, {num(5)}, true},
            {"111 variable condition", 111, {num(1), num(5), num(0), num(0), num(0)}, false},
            {"125 gold by variable", 125, {num(0), num(1), num(5)}, false},
        });
    // A range matches in AND mode too.
    EXPECT_TRUE(matches(122, {num(1), num(10), num(0), num(0), num(1)},
                        idSearch(SearchKind::Variable, {5}, true, true, false)));
}

TEST(SearchAnswers, VariableSearchReferencingCommands) {
    expectAnswers(
        idSearch(SearchKind::Variable, {5}, false, false, true),
        {
            {"122 target", 122, {num(5), num(5), num(0), num(0), num(1)}, false},
            {"122 variable operand", 122, {num(4), num(4), num(0), num(1), num(5)}, true},
            {"122 constant 5", 122, {num(4), num(4), num(0), num(0), num(5)}, false},
            {"122 random from 5", 122, {num(4), num(4), num(0), num(2), num(5), num(9)}, false},
            {"103 input number", 103, {num(5), num(2)}, false},
            {"111 first variable", 111, {num(1), num(5), num(0), num(3), num(0)}, true},
            {"111 second variable", 111, {num(1), num(4), num(1), num(5), num(0)}, true},
            {"111 constant 5", 111, {num(1), num(4), num(0), num(5), num(0)}, false},
            {"125 gold by variable", 125, {num(0), num(1), num(5)}, true},
            {"125 gold constant 5", 125, {num(0), num(0), num(5)}, false},
            {"126 items by variable", 126, {num(1), num(0), num(1), num(5)}, true},
            {"126 item 5, constant", 126, {num(5), num(0), num(0), num(1)}, false},
            {"127 weapons by variable", 127, {num(1), num(1), num(1), num(5)}, true},
            {"128 armors by variable", 128, {num(1), num(0), num(1), num(5)}, true},
            {"117 common event 5", 117, {num(5)}, false},
        });
    // AND mode: a place naming one variable matches a one-id request only.
    SearchRequest andTwo = idSearch(SearchKind::Variable, {4, 5}, true, false, true);
    SearchRequest andOne = idSearch(SearchKind::Variable, {5}, true, false, true);
    std::vector<MarshalValue> operand = {num(4), num(4), num(0), num(1), num(5)};
    std::vector<MarshalValue> twoVariables = {num(1), num(4), num(1), num(5), num(0)};
    EXPECT_FALSE(matches(122, operand, andTwo));
    EXPECT_TRUE(matches(122, operand, andOne));
    EXPECT_FALSE(matches(111, twoVariables, andTwo));
    EXPECT_TRUE(matches(111, twoVariables, andOne));
    EXPECT_TRUE(matches(125, {num(0), num(1), num(5)}, andOne));
    EXPECT_FALSE(matches(125, {num(0), num(1), num(5)}, andTwo));
}

TEST(SearchAnswers, VariableEscapesInMessageTexts) {
    TextMatcher matcher;
    ASSERT_TRUE(matcher.load());
    SearchRequest request = idSearch(SearchKind::Variable, {12}, false, false, true);
    request.matcher = &matcher;
    expectAnswers(request, {
                               {"\\V[12]", 101, {str("所持金は\\V[12]です")}, true},
                               {"\\v[12] on a later line", 401, {str("x \\v[12]")}, true},
                               {"\\V[120]", 101, {str("\\V[120]")}, false},
                               {"second escape", 101, {str("\\V[3] と \\V[12]")}, true},
                               {"\\N[12] names an actor", 101, {str("\\N[12]")}, false},
                               {"no backslash", 101, {str("V[12]")}, false},
                               {"comment", 108, {str("\\V[12]")}, false},
                           });
    request.targetIds = {0};
    EXPECT_FALSE(matches(101, {str("\\v[0]")}, request));
    // Only under the referencing option.
    request = idSearch(SearchKind::Variable, {12}, false, true, false);
    request.matcher = &matcher;
    EXPECT_FALSE(matches(101, {str("\\V[12]")}, request));
    // Without the matching library message texts never match.
    request = idSearch(SearchKind::Variable, {12}, false, false, true);
    EXPECT_FALSE(matches(101, {str("\\V[12]")}, request));
    TextMatcher none(MatcherLibrary::None);
    none.load();
    request.matcher = &none;
    EXPECT_FALSE(matches(101, {str("\\V[12]")}, request));
    // A message-text tick left over from the text page does not turn the scan off.
    request.matcher = &matcher;
    request.textTargets[TargetMessage] = true;
    EXPECT_TRUE(matches(101, {str("\\V[12]")}, request));
}

TEST(SearchAnswers, CommonEventSearch) {
    SearchRequest request = idSearch(SearchKind::CommonEvent, {2}, false, false, false);
    EXPECT_TRUE(matches(117, {num(2)}, request));
    EXPECT_FALSE(matches(117, {num(3)}, request));
    EXPECT_FALSE(matches(117, {}, request));
    EXPECT_FALSE(matches(117, {num(2)}, idSearch(SearchKind::Switch, {2}, false, true, true)));
}

TEST(SearchAnswers, TextSearchPerTarget) {
    struct Case {
        const char* what;
        TextTarget target;
        int code;
        std::vector<MarshalValue> params;
    };
    const Case cases[] = {
        {"message", TargetMessage, 101, {str("the Key here")}},
        {"message line", TargetMessage, 401, {str("a key")}},
        {"comment", TargetComment, 108, {str("KEY")}},
        {"comment line", TargetComment, 408, {str("keys")}},
        {"choice branch", TargetChoice, 402, {num(0), str("Key?")}},
        {"label", TargetLabel, 118, {str("key")}},
        {"jump to label", TargetLabel, 119, {str("key")}},
        {"script condition", TargetScript, 111, {num(12), str("$key")}},
        {"actor name condition", TargetActor, 111, {num(4), num(1), num(1), str("Key")}},
        {"route script", TargetScript, 509, {moveCommand(45, {str("key = 1")})}},
        {"windowskin", TargetFileName, 131, {str("KeySkin")}},
        {"battle BGM", TargetFileName, 132, {audio("key", 100, 100)}},
        {"battle end ME", TargetFileName, 133, {audio("Key", 100, 100)}},
        {"route graphic",
         TargetFileName,
         509,
         {moveCommand(41, {str("Key"), num(0), num(2), num(0)})}},
        {"route SE", TargetFileName, 509, {moveCommand(44, {audio("key", 100, 100)})}},
    };
    for (const Case& c : cases) {
        SearchRequest request = textSearch("key", c.target);
        EXPECT_TRUE(matches(c.code, c.params, request)) << c.what;
        // Another target ticked alone does not find it.
        TextTarget other = c.target == TargetComment ? TargetMessage : TargetComment;
        EXPECT_FALSE(matches(c.code, c.params, textSearch("key", other))) << c.what;
        SearchRequest absent = textSearch("lock", c.target);
        EXPECT_FALSE(matches(c.code, c.params, absent)) << c.what;
    }
}

TEST(SearchAnswers, TextSearchDetails) {
    SearchRequest request = textSearch("abc", TargetMessage);
    EXPECT_TRUE(matches(101, {str("xxABCxx")}, request));
    request.caseSensitive = true;
    EXPECT_FALSE(matches(101, {str("xxABCxx")}, request));
    // The choices of 102 count only through their branches (402).
    SearchRequest choice = textSearch("はい", TargetChoice);
    EXPECT_FALSE(matches(102, {arr({str("はい")}), num(0)}, choice));
    // The move route's script line is a script, not a message.
    EXPECT_FALSE(matches(509, {moveCommand(45, {str("abc")})}, request));
    // A text search never answers a switch id.
    EXPECT_FALSE(matches(121, {num(5), num(5), num(0)}, textSearch("5", TargetMessage)));
}

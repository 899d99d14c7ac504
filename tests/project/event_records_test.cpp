// Command lists out of Ruby-written trees: tolerant element reading and the fix-up pass.
#include <gtest/gtest.h>

#include "marshal/marshal_file.h"
#include "project/event_records.h"
#include "project_fixture.h"

namespace {

using zorvane::EventCommandList;
using zorvane::MarshalFile;

class EventListTest : public ::testing::Test {
  protected:
    // Writes `list` (Ruby) as CommonEvents.rxdata's event 1 and reads its command list.
    EventCommandList read(const std::string& listRuby) {
        EventCommandList list;
        if (!ztest::haveProgram("ruby")) return list;
        EXPECT_TRUE(ztest::makeProject(
            dir,
            "save('CommonEvents.rxdata', [nil, RPG::CommonEvent.new(list: " + listRuby + ")])"));
        EXPECT_TRUE(file.load(dir.file("Data/CommonEvents.rxdata"))) << file.error().message();
        EXPECT_TRUE(zorvane::readCommandList(file, zorvane::commonEventListPath(1), list));
        expectSameOneByOne(list);
        return list;
    }
    // The search reads single commands: each must come out as the whole list's reading has it.
    void expectSameOneByOne(const EventCommandList& list) {
        const zorvane::MarshalValue* node = file.index().findPath(zorvane::commonEventListPath(1));
        ASSERT_TRUE(node);
        for (size_t k = 0; k < list.size(); ++k) {
            zorvane::EventCommand one;
            zorvane::readCommandAt(node->children(), k, one);
            EXPECT_EQ(one.code, list[k].code) << k;
            EXPECT_EQ(one.indent, list[k].indent) << k;
            ASSERT_EQ(one.parameters().size(), list[k].parameters().size()) << k;
            for (size_t i = 0; i < one.parameters().size(); ++i) {
                EXPECT_EQ(one.parameters()[i].toText(true), list[k].parameters()[i].toText(true))
                    << k;
                EXPECT_EQ(one.parameters()[i].pairs().begin(),
                          list[k].parameters()[i].pairs().begin())
                    << k;
            }
        }
    }
    void SetUp() override {
        if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    }
    ztest::TempDir dir;
    MarshalFile file;
};

TEST_F(EventListTest, ElementsThatAreNotCommandsBecomeCodeZero) {
    EventCommandList list = read(
        "(c = cmd(101, 0, 'Hi'); [c, nil, c, RPG::MapInfo.new(code: 1, indent: 0, parameters: []),"
        " RPG::EventCommand.new(code: 5, parameters: []), cmd(0, 0)])");
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].code, 101);
    EXPECT_EQ(list[0].parameters().at(0).text(), "Hi");
    for (size_t i : {1, 2, 3, 4})
        EXPECT_EQ(list[i].code, 0) << i;  // nil, link, other class, no @indent
}

TEST_F(EventListTest, ChoiceBranchesTakeTheirTextFromTheNearestChoicesAtTheirIndent) {
    // The 402s store their text as the same string object as the choice: a link.
    EventCommandList list = read(R"([
      (a = 'はい'; b = 'いいえ'; cmd(102, 0, [a, b], 2)),
      cmd(402, 0, 0, a),
      (x = 'Inner'; cmd(102, 1, ['Outer?', x], 1)),
      cmd(402, 1, 1, x),
      cmd(402, 0, 1, b),
      cmd(402, 0, 5, b),
      cmd(402, 2, 0, a),
      cmd(0, 0)])");
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[1].parameters()[1].text(), "はい");
    EXPECT_EQ(list[3].parameters()[1].text(), "Inner");
    EXPECT_EQ(list[4].parameters()[1].text(), "いいえ") << "the outer block keeps its own list";
    EXPECT_EQ(list[5].parameters()[1].kind(), zorvane::MarshalValue::Link)
        << "index outside the choices";
    EXPECT_EQ(list[6].parameters()[1].kind(), zorvane::MarshalValue::Link)
        << "no 102 at that indent";
}

TEST_F(EventListTest, MoveRouteLinesAreFilledFromTheRoute) {
    EventCommandList list = read(R"(
      (m1 = RPG::MoveCommand.new(code: 1, parameters: []); m2 = RPG::MoveCommand.new(code: 4, parameters: [])
       m3 = RPG::MoveCommand.new(code: 0, parameters: [])
       [cmd(209, 0, -1, RPG::MoveRoute.new(repeat: false, skippable: true, list: [m1, m2, m3])),
        cmd(509, 0, m1), cmd(509, 0, m2), cmd(101, 0, 'after'),
        cmd(209, 0, 0, 'not a route'), cmd(509, 0, 'kept'), cmd(0, 0)]))");
    ASSERT_EQ(list.size(), 7u);
    ASSERT_EQ(list[1].parameters().size(), 1u);
    EXPECT_EQ(list[1].parameters()[0].className(), "RPG::MoveCommand");
    EXPECT_EQ(list[1].parameters()[0].findIvar("@code")->integer(), 1);
    EXPECT_EQ(list[2].parameters()[0].findIvar("@code")->integer(), 4);
    EXPECT_EQ(list[3].code, 101) << "filling stops at the first other code";
    EXPECT_EQ(list[5].parameters()[0].text(), "kept");
}

TEST_F(EventListTest, MissingListPathReadsNothing) {
    read("[cmd(0, 0)]");
    EventCommandList list;
    EXPECT_FALSE(zorvane::readCommandList(file, zorvane::commonEventListPath(2), list));
    EXPECT_EQ(list.size(), 0u);
}

}  // namespace

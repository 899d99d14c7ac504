// The value node (sharing, equality, display text) and the path index over read trees.
#include <gtest/gtest.h>

#include "marshal/marshal_arena.h"
#include "marshal/marshal_file.h"
#include "marshal/rgss_types.h"
#include "marshal_test_util.h"
#include "support/test_support.h"

namespace {

using zorvane::MarshalFile;
using zorvane::MarshalValue;

MarshalValue str(const char* s) {
    MarshalValue v;
    v.setString(s);
    return v;
}

TEST(MarshalValue, ResetNodeAndAccessorsOfOtherKinds) {
    MarshalValue v;
    v.setFixnum(7);
    v.reset();
    EXPECT_TRUE(v.isNil());
    EXPECT_EQ(v.integer(), 0);
    EXPECT_EQ(v.text(), "");
    EXPECT_TRUE(v.children().empty());
    EXPECT_TRUE(v.pairs().empty());
    MarshalValue f;
    f.setFloat(2.5);
    EXPECT_EQ(f.integer(), 0);
    EXPECT_EQ(str("12").integer(), 0);
    MarshalValue zero;
    zero.setFixnum(0);
    MarshalValue no;
    no.setFalse();
    for (const MarshalValue& x : {MarshalValue(), no, zero, str("true")}) EXPECT_FALSE(x.isTrue());
    MarshalValue big;
    big.setBignum(-(int64_t{1} << 40));
    EXPECT_EQ(big.integer(), -(int64_t{1} << 40));
}

TEST(MarshalValue, HashKeyMatchIsShallow) {
    MarshalValue symbol;
    symbol.setSymbol("@name");
    EXPECT_TRUE(symbol.sameHashKey(str("@name")));
    MarshalValue a, b;
    a.setArray(std::vector<MarshalValue>{str("x"), str("y")});
    b.setArray(std::vector<MarshalValue>{str("p"), str("q")});
    EXPECT_TRUE(a.sameHashKey(b));
    MarshalValue c;
    c.setArray(std::vector<MarshalValue>{str("x")});
    EXPECT_FALSE(a.sameHashKey(c));
    MarshalValue cls1, cls2;
    cls1.setClass("Foo");
    cls2.setClass("Foo");
    EXPECT_FALSE(cls1.sameHashKey(cls2));
    MarshalValue one;
    one.setFixnum(1);
    EXPECT_FALSE(one.sameHashKey(str("1")));
}

TEST(MarshalValue, DisplayText) {
    MarshalValue one;
    one.setFixnum(1);
    MarshalValue arr;
    arr.setArray(std::vector<MarshalValue>{one, str("a"), MarshalValue()});
    EXPECT_EQ(arr.toText(true), "[1,\"a\",nil]");
    zorvane::PairVector pairs;
    for (int i = 0; i < 3; ++i) pairs.emplace_back(str("@x"), one);
    MarshalValue obj;
    obj.setObject(str("RPG::System"), pairs);
    EXPECT_EQ(obj.toText(true), "[Object[3]]RPG::System");
    EXPECT_EQ(obj.toText(false), "RPG::System");
    MarshalValue re;
    re.setRegexp("a+", 1);
    EXPECT_EQ(re.toText(true), "\"a+\"(option:1)");
    MarshalValue h;
    h.setHash(pairs);
    EXPECT_EQ(h.toText(false), "[Hash[3]]");
}

TEST(MarshalValue, CopiesShareContentsAndOutliveEachOther) {
    MarshalValue b;
    {
        MarshalValue a;
        a.setArray(zorvane::ValueVector(2, str("k")));
        b = a;
        b.mutableChildren()[0] = str("changed");
        EXPECT_EQ(a.children()[0].text(), "changed");  // one tree, seen by both
    }
    ASSERT_EQ(b.children().size(), 2u);  // the other copy keeps it
    MarshalValue deep = b.deepCopy();
    deep.mutableChildren()[1] = str("deep");
    deep.mutableChildren().push_back(str("more"));
    EXPECT_EQ(b.children()[1].text(), "k");
    EXPECT_EQ(deep.toText(true), "[\"changed\",\"deep\",\"more\"]");
}

// A value copied out of a file's tree owns what it holds: nothing of it lies in the
// file's arena, and it reads the same once the file is gone (a view left behind would be
// a use after free under AddressSanitizer).
TEST(MarshalValue, CopiesOutOfATreeOutliveTheFile) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    const std::string out = dir.file("v.rxdata");
    ASSERT_TRUE(ztest::rubyWrite(R"(
require 'zlib'
class Tone; def _dump(_); [1.0, 2.0, 3.0, 4.0].pack('E4'); end; end
class Point; def initialize; @x = 3; @name = 'p'.b; end; end
h = Hash.new('none'.b); h['k'.b] = [1, 'v'.b]
File.binwrite(OUT, Marshal.dump(['text'.b, 'wrapped', Zlib::Deflate.deflate('z' * 5000),
  Zlib::Deflate.deflate(''), 2.5, 2**40, ['a'.b, ['b'.b]], Point.new, h, Tone.new, :sym, 7]))
)",
                                 out));
    std::vector<MarshalValue> copies;
    std::vector<std::string> before;
    auto describe = [](const MarshalValue& v) {
        return v.toText(true) + "|" + std::string(v.rawText()) + "|" + std::string(v.bytes()) +
               "|" + v.className() + "|" + std::to_string(v.children().size()) + "|" +
               std::to_string(v.pairs().size());
    };
    {
        MarshalFile file;
        ASSERT_TRUE(file.load(out)) << file.error().message();
        const zorvane::MarshalArena* arena = zorvane::MarshalArena::containing(&file.root());
        ASSERT_NE(arena, nullptr);
        for (const MarshalValue& node : file.root().children()[0].children()) {
            before.push_back(describe(node));
            copies.push_back(node);
            const MarshalValue& copy = copies.back();
            for (const void* p : {static_cast<const void*>(copy.rawText().data()),
                                  static_cast<const void*>(copy.bytes().data()),
                                  static_cast<const void*>(copy.classNameView().data()),
                                  static_cast<const void*>(copy.children().begin()),
                                  static_cast<const void*>(copy.pairs().begin())})
                EXPECT_NE(zorvane::MarshalArena::containing(p), arena) << before.back();
        }
    }
    ASSERT_EQ(copies.size(), 12u);
    for (size_t i = 0; i < copies.size(); ++i) EXPECT_EQ(describe(copies[i]), before[i]) << i;
}

TEST(ValuePathIndex, PathsOfAReadTree) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string out = dir.file("m.rxdata");
    ASSERT_TRUE(ztest::rubyWrite(R"(
module RPG
  class Map; def initialize; @events = {3 => Event.new, 5 => Event.new}; @data = Table.new; end; end
  class Event; def initialize; @pages = [Page.new, Page.new]; @name = 'E'.b; end; end
  class Page; def initialize; @condition = Cond.new; end; end
  class Cond; def initialize; @switch1_id = 42; end; end
end
class Table; def _dump(_); [1, 1, 1, 1, 1, 9].pack('V5v'); end; end
File.binwrite(OUT, Marshal.dump(RPG::Map.new))
)",
                                 out));
    MarshalFile f;
    ASSERT_TRUE(f.load(out)) << f.error().message();
    const MarshalValue* sw = f.find("RPG::Map.@events{%d}.@pages[%d].@condition.@switch1_id", 3, 0);
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(sw->integer(), 42);
    EXPECT_EQ(f.index().pathOf(sw), "RPG::Map.@events{3}.@pages[0].@condition.@switch1_id");
    EXPECT_EQ(f.find("RPG::Map.@events/5")->integer(), 5);            // the key node
    EXPECT_EQ(f.find("RPG::Map.@events{5}/@name")->text(), "@name");  // the name node
    EXPECT_EQ(f.find("RPG::Map.@events{3}.@pages[2]"), nullptr);
    EXPECT_EQ(f.find("RPG::Map.@events{3}.@pages[-1]"), nullptr);
    EXPECT_EQ(f.find("RPG::Map.@events{4}"), nullptr);
    EXPECT_EQ(f.find("root"), &f.root());
    EXPECT_EQ(f.find("RPG::Map.@data")->kind(), MarshalValue::UserDump);
    EXPECT_EQ(f.find("RPG::Map.@data.@x"), nullptr);  // a user dump has no children
    zorvane::Table t;
    EXPECT_TRUE(t.decode(*f.find("RPG::Map.@data")));
    EXPECT_EQ(f.index().resolveLink(1, 0), nullptr);
    EXPECT_EQ(f.index().resolveLink(0, 0), &f.root().children()[0]);
    EXPECT_EQ(f.find("%s", std::string(2000, 'x').c_str()), nullptr);
}

TEST(ValuePathIndex, ArraysHashesAndTheFirstRegistrationWins) {
    // [o:P{@name:"a"}, o:P{@name:"b"}, o:P{@name:"c"}] then a second top-level array.
    ztest::TempDir dir;
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    std::string out = dir.file("a.rxdata");
    ASSERT_TRUE(ztest::rubyWrite(R"(
class P; def initialize(n); @name = n.b; end; end
File.binwrite(OUT, Marshal.dump([P.new('a'), P.new('b'), P.new('c')]) + Marshal.dump([[1, 2]]) +
  Marshal.dump({5 => P.new('five'), 1 => P.new('one')}))
)",
                                 out));
    MarshalFile f;
    ASSERT_TRUE(f.load(out));
    EXPECT_EQ(f.find("Array[2].@name")->text(), "c");
    EXPECT_EQ(f.find("Array[3].@name"), nullptr);
    // "Array[0]" belongs to the first array; the second array's elements are reachable
    // only where the first has no element of that index.
    EXPECT_EQ(f.find("Array[0]")->className(), "P");
    EXPECT_EQ(f.find("Hash{5}.@name")->text(), "five");
    EXPECT_EQ(f.find("Hash/5")->integer(), 5);
}

TEST(RgssTypes, TablesColoursTonesAndAudio) {
    auto payload = [](int32_t dims, int32_t x, int32_t y, int32_t z, int32_t n, int cells) {
        std::string p;
        for (int32_t v : {dims, x, y, z, n})
            for (int i = 0; i < 4; ++i)
                p.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
        for (int i = 0; i < cells; ++i) {
            p.push_back(static_cast<char>(i + 1));
            p.push_back(0);
        }
        return p;
    };
    zorvane::Table t;
    std::string p = payload(9, 3, 2, 1, 6, 6);
    ASSERT_TRUE(t.decode(reinterpret_cast<const uint8_t*>(p.data()), p.size()));
    EXPECT_EQ(t.dimensions, 2);
    EXPECT_EQ(t.at(2, 1, 0), 6);  // the sixth cell
    struct Dims {
        int32_t x, y, z, expect;
    } dims[] = {{1, 1, 1, 1}, {5, 1, 1, 1}, {2, 2, 4, 3}, {1, 7, 4, 3}};
    for (const Dims& d : dims) {
        zorvane::Table u;
        std::string q = payload(2, d.x, d.y, d.z, d.x * d.y * d.z, d.x * d.y * d.z);
        ASSERT_TRUE(u.decode(reinterpret_cast<const uint8_t*>(q.data()), q.size()));
        EXPECT_EQ(u.dimensions, d.expect);
    }
    std::string wrongCount = payload(2, 3, 2, 1, 5, 5);
    std::string wrongLength = payload(2, 3, 2, 1, 6, 5);
    for (const std::string& bad : {wrongCount, wrongLength}) {
        EXPECT_FALSE(t.decode(reinterpret_cast<const uint8_t*>(bad.data()), bad.size()));
        EXPECT_EQ(t.xsize, 3);
        EXPECT_EQ(t.at(2, 1, 0), 6) << "a refused payload leaves the table as it was";
    }

    // Sizes whose product overflows are refused rather than wrapped into a small count.
    std::string huge = payload(3, 0x40000000, 0x40000000, 4, 0, 0);
    EXPECT_FALSE(t.decode(reinterpret_cast<const uint8_t*>(huge.data()), huge.size()));

    std::string four;
    for (double d : {255.0, 128.0, 0.5, 17.0}) four.append(reinterpret_cast<const char*>(&d), 8);
    MarshalValue cls;
    cls.setSymbol("Color");
    MarshalValue colorNode;
    colorNode.setUserDump(cls, four);
    zorvane::Tone tone;
    EXPECT_FALSE(tone.decode(colorNode));
    EXPECT_EQ(tone.red, 0.0);
    zorvane::Color color;
    ASSERT_TRUE(color.decode(colorNode));
    EXPECT_EQ(color.green, 128.0);
    EXPECT_EQ(color.alpha, 17.0);
    MarshalValue shortNode;
    shortNode.setUserDump(cls, four.substr(0, 16));
    EXPECT_FALSE(color.decode(shortNode)) << "a short payload is refused, not over-read";

    zorvane::PairVector pairs;
    pairs.emplace_back(str("@name"), str("Town"));
    MarshalValue vol;
    vol.setFixnum(80);
    pairs.emplace_back(str("@volume"), vol);
    MarshalValue audioNode;
    audioNode.setObject(str("RPG::AudioFile"), pairs);
    zorvane::AudioFile audio;
    audio.pitch = 123;
    ASSERT_TRUE(audio.decode(audioNode));
    EXPECT_EQ(audio.name, "Town");
    EXPECT_EQ(audio.volume, 80);
    EXPECT_EQ(audio.pitch, 123) << "a missing @pitch keeps the previous value";
}

}  // namespace

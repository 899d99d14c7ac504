// Writing: the packed integer table, symbol and object numbering per top-level value,
// refusals, and saving that never damages an existing file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "marshal/marshal_file.h"
#include "marshal/marshal_writer.h"
#include "marshal/rgss_types.h"
#include "marshal_test_util.h"
#include "support/test_support.h"

namespace {

using zorvane::MarshalFile;
using zorvane::MarshalValue;
using zorvane::MarshalWriter;
using ztest::hexBytes;

TEST(MarshalWriter, WriteLongTable) {
    struct Case {
        int32_t n;
        const char* hex;
    } cases[] = {{0, "00"},       {1, "06"},         {122, "7F"},       {123, "01 7B"},
                 {255, "01 FF"},  {256, "02 00 01"}, {-1, "FA"},        {-123, "80"},
                 {-124, "FF 84"}, {-256, "FF 00"},   {-257, "FE FF FE"}};
    for (const Case& c : cases) {
        std::string out;
        MarshalWriter::writeLong(out, c.n);
        EXPECT_EQ(out, hexBytes(c.hex)) << c.n;
    }
}

MarshalValue sym(const char* s) {
    MarshalValue v;
    v.setSymbol(s);
    return v;
}

MarshalValue fix(int v) {
    MarshalValue n;
    n.setFixnum(v);
    return n;
}

MarshalValue object(const char* cls, std::vector<std::pair<const char*, MarshalValue>> ivars) {
    zorvane::PairVector pairs;
    for (auto& [name, value] : ivars) pairs.emplace_back(sym(name), value);
    MarshalValue o;
    o.setObject(sym(cls), pairs);
    return o;
}

std::string write(const std::vector<MarshalValue>& tops) {
    MarshalValue root;
    root.setArray(tops);
    std::string out;
    MarshalWriter w;
    EXPECT_TRUE(w.writeAll(out, root, nullptr));
    return out;
}

TEST(MarshalWriter, SymbolsAreNumberedPerTopLevelValue) {
    MarshalValue a = object("X", {{"@a", fix(1)}});
    MarshalValue arr;
    arr.setArray(std::vector<MarshalValue>{a, object("X", {{"@a", fix(2)}})});
    std::string bytes = write({arr, object("X", {})});
    // First value: ":X" and ":@a" spelled out once, then ";" references; second value
    // starts again with ":X".
    EXPECT_EQ(bytes, hexBytes("04 08 5B 07 6F 3A 06 58 06 3A 07 40 61 69 06 6F 3B 00 06 3B 06 69 07"
                              "04 08 6F 3A 06 58 00"));
}

TEST(MarshalWriter, RefusesWhatTheFormatCannotHold) {
    MarshalValue c;
    c.setUserClass(sym("Foo"), object("Bar", {}));
    MarshalValue root;
    root.setArray(std::vector<MarshalValue>{c});
    std::string out;
    MarshalWriter w;
    EXPECT_FALSE(w.writeAll(out, root, nullptr));

    MarshalValue empty;
    empty.setArray(std::vector<MarshalValue>{});
    EXPECT_FALSE(MarshalWriter().writeAll(out, empty, nullptr));
}

TEST(MarshalWriter, EmptyTextIsWrittenWithLengthZero) {
    MarshalValue s;
    s.setString("");
    EXPECT_EQ(write({s}), hexBytes("04 08 22 00"));
}

TEST(MarshalWriter, LinksFollowTheirObjectsNewNumbers) {
    // [["x"], "s", @3]: the link names "s", object 3. Adding a string to the inner array
    // moves "s" to object 4, and the link must follow it.
    MarshalFile f;
    ASSERT_TRUE(f.loadFromBuffer(hexBytes("04 08 5B 08 5B 06 22 06 78 22 06 73 40 08")));
    std::string same;
    ASSERT_TRUE(f.serialize(same));
    EXPECT_EQ(same, hexBytes("04 08 5B 08 5B 06 22 06 78 22 06 73 40 08"));
    MarshalValue y;
    y.setString("y");
    f.find("Array[0]")->mutableChildren().push_back(y);
    std::string out;
    ASSERT_TRUE(f.serialize(out));
    EXPECT_EQ(out, hexBytes("04 08 5B 08 5B 07 22 06 78 22 06 79 22 06 73 40 09"));
}

// Children and pairs of a read tree grow through one routine: pushed one by one past several
// capacities, cut back to one item and pushed again, they save as Ruby dumps the same values.
TEST(MarshalWriter, GrownChildrenAndPairsSaveAsRubyDumpsThem) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    const std::vector<int> counts = {1, 2, 3, 5, 8, 17, 40};
    std::string args, hexLines;
    for (int n : counts) args += " " + std::to_string(n);
    ASSERT_EQ(
        ztest::run("ruby -e " +
                       ztest::shellQuote(
                           "puts Marshal.dump([[0], {0 => 0}]).unpack1('H*'); ARGV.each { |a| "
                           "n = a.to_i; puts Marshal.dump([[0, *(1..n).map { |i| -i }], "
                           "(0..n).to_h { |i| [i, -i] }]).unpack1('H*') }") +
                       args,
                   &hexLines),
        0);
    std::istringstream lines(hexLines);
    std::string start, expected;
    ASSERT_TRUE(std::getline(lines, start));
    for (int n : counts) {
        ASSERT_TRUE(std::getline(lines, expected));
        MarshalFile f;
        ASSERT_TRUE(f.loadFromBuffer(hexBytes(start)));
        auto kids = f.find("Array[0]")->mutableChildren();
        auto pairs = f.find("Array[1]")->mutablePairs();
        for (int round = 0; round < 2; ++round) {
            kids.resize(1);
            pairs.resize(1);
            for (int i = 1; i <= n; ++i) {  // interleaved, so each run moves past the other
                kids.push_back(fix(round ? -i : i));
                pairs.emplace_back(fix(i), fix(round ? -i : i));
            }
        }
        std::string out;
        ASSERT_TRUE(f.serialize(out));
        EXPECT_EQ(out, hexBytes(expected)) << n << " items";
    }
}

// An import replaces whole arrays (switch names) and edits strings and tables inside a
// read tree: Ruby must load the saved file with exactly those changes and nothing else.
TEST(MarshalWriter, EditsOfAReadTreeSaveLosslesslyElsewhere) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string in = dir.file("System.rxdata"), out = dir.file("saved.rxdata");
    const char* make = R"(
class Table; def initialize(d); @d = d; end; def _dump(_l); @d; end; def self._load(s); new(s); end; attr_reader :d; end
class Sys; attr_accessor :switches, :title, :params, :shared, :z; end
s = Sys.new; s.switches = [nil] + (1..20000).map { |i| "S#{i}" }; s.title = "Title"
s.params = Table.new([1, 6, 1, 1, 6].pack('V5') + [10, 20, 30, 40, 50, 60].pack('v*'))
s.shared = s.title; s.z = [1.5, 2**70, Zlib::Deflate.deflate("x" * 100)]
File.binwrite(ARGV[0], Marshal.dump(s)))";
    ASSERT_EQ(ztest::run("ruby -rzlib -e " + ztest::shellQuote(make) + " " + ztest::shellQuote(in)),
              0);
    MarshalFile f;
    ASSERT_TRUE(f.load(in));
    zorvane::ValueVector names(1);
    for (int i = 1; i <= 30000; ++i) names.push_back(sym(("N" + std::to_string(i)).c_str()));
    MarshalValue list;
    list.setArray(names);
    *f.find("Sys.@switches") = list;
    f.find("Sys.@switches[5]")->setString("renamed");
    zorvane::Table table;
    ASSERT_TRUE(table.decode(*f.find("Sys.@params")));
    table.set(2, 0, 0, -7);
    table.encode(*f.find("Sys.@params"));
    ASSERT_TRUE(f.save(out));
    const char* check = R"(
class Table; def initialize(d); @d = d; end; def self._load(s); new(s); end; attr_reader :d; end
class Sys; attr_accessor :switches, :title, :params, :shared, :z; end
a = Marshal.load(File.binread(ARGV[0])); b = Marshal.load(File.binread(ARGV[1]))
ok = b.switches.size == 30001 && b.switches[5] == "renamed" && b.switches[30000] == "N30000" &&
     b.params.d.unpack('V5v*')[5..] == [10, 20, -7 & 0xffff, 40, 50, 60] &&
     b.title == a.title && b.shared.equal?(b.title) && b.z == a.z
exit(ok ? 0 : 1))";
    EXPECT_EQ(ztest::run("ruby -rzlib -e " + ztest::shellQuote(check) + " " +
                         ztest::shellQuote(in) + " " + ztest::shellQuote(out)),
              0);
}

TEST(MarshalFileSave, NeverLoadedFailsWithoutTouchingTheFile) {
    ztest::TempDir dir;
    std::string path = dir.file("keep.rxdata");
    ztest::writeFile(path, "precious");
    MarshalFile never;
    EXPECT_FALSE(never.save(path));
    EXPECT_EQ(ztest::readFile(path), "precious");
}

TEST(MarshalFileSave, AFailedWriteLeavesTheOldFile) {
    ztest::TempDir dir;
    std::string path = dir.file("data.rxdata");
    ztest::writeFile(path, hexBytes("04 08 69 06"));
    MarshalFile f;
    ASSERT_TRUE(f.load(path));
    // A value the writer cannot write, put into the tree by a caller.
    MarshalValue bad;
    bad.setUserClass(sym("Foo"), fix(3));
    f.root().mutableChildren()[0] = bad;
    EXPECT_FALSE(f.save(path));
    EXPECT_EQ(ztest::readFile(path), hexBytes("04 08 69 06"));
    EXPECT_FALSE(f.save(dir.file("no/such/folder/x.rxdata")));
}

// The temporary file beside the target is made afresh: a link planted where a predictable
// temporary name would be is not followed, and a target name near the 255-byte limit still
// leaves room for the temporary one.
TEST(MarshalFileSave, TemporaryFileIsNewAndFitsBesideLongNames) {
    ztest::TempDir dir;
    const std::string source = dir.file("in.rxdata");
    ztest::writeFile(source, hexBytes("04 08 69 06"));
    MarshalFile f;
    ASSERT_TRUE(f.load(source));
    const std::string victim = dir.file("victim");
    ztest::writeFile(victim, "precious");
    const std::string target = dir.file("out.rxdata");
    for (const std::string& planted :
         {target + ".tmp-" + std::to_string(getpid()),
          dir.file(".out.rxdata.tmp" + std::to_string(getpid()) + "-0")})
        ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
    ASSERT_TRUE(f.save(target));
    EXPECT_EQ(ztest::readFile(victim), "precious");
    EXPECT_EQ(ztest::readFile(target), hexBytes("04 08 69 06"));

    const std::string longName = dir.file(std::string(248, 'm') + ".rxdata");  // 255 bytes
    ASSERT_TRUE(f.save(longName));
    EXPECT_EQ(ztest::readFile(longName), hexBytes("04 08 69 06"));
}

TEST(MarshalWriter, ChangedTableIsWrittenThroughEncode) {
    zorvane::Table t;
    t.resize(3, 2, 1);
    t.set(2, 1, 0, -5);
    MarshalValue node;
    t.encode(node);
    std::string bytes = write({node});
    std::string expect = hexBytes("04 08 75 3A 0A 54 61 62 6C 65 25");  // u :Table, 32 bytes
    expect += hexBytes("02 00 00 00 03 00 00 00 02 00 00 00 01 00 00 00 06 00 00 00");
    expect += hexBytes("00 00 00 00 00 00 00 00 00 00 FB FF");
    EXPECT_EQ(bytes, expect);
}

}  // namespace

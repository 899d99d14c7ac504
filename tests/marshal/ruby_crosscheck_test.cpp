// Streams written by Ruby's own Marshal.dump must read into the tree Ruby describes, and
// what our writer saves must load in Ruby to an object that dumps to the same bytes.
#include <gtest/gtest.h>

#include "marshal/marshal_file.h"
#include "marshal_test_util.h"
#include "support/test_support.h"

namespace {

using zorvane::MarshalFile;

const char* kPrelude = R"RUBY(
require 'zlib'
load File.join(ENV['ZTEST_MARSHAL_DIR'], 'describe.rb')
class Table
  def initialize(x, y = 1, z = 1); @x, @y, @z = x, y, z; @data = Array.new(x * y * z) { |i| i * 3 - 7 }; end
  def _dump(_d)
    dims = @z != 1 ? 3 : (@y != 1 ? 2 : 1)
    [dims, @x, @y, @z, @x * @y * @z].pack('V5') + @data.pack('v*')
  end
end
class Color
  def initialize(r, g, b, a); @v = [r, g, b, a]; end
  def _dump(_d); @v.pack('E4'); end
end
class Tone < Color; end
module RPG
  class Map; def initialize(ev); @tileset_id = 2; @width = 20; @events = ev; end; end
  class Event; def initialize(id, pages); @id = id; @name = "EV#{id}"; @pages = pages; end; end
  class Page; def initialize(sw); @condition = Cond.new(sw); @list = [1, 2]; end; end
  class Cond; def initialize(sw); @switch1_id = sw; @switch1_valid = true; end; end
end
class Plain; def initialize(**kw); kw.each { |k, v| instance_variable_set("@#{k}", v) }; end; end
def emit(obj)
  File.binwrite(OUT, Marshal.dump(obj))
  File.write(OUT + '.txt', Describer.new.d(obj))
end
)RUBY";

struct RubyCase {
    const char* name;
    const char* program;
};

const RubyCase kCases[] = {
    {"JapaneseStrings", R"(emit(["日本語のテキスト", "abc".b, "", "絵文字😀"]))"},
    {"IntegersAroundEveryLongForm",
     R"(emit([0, 1, -1, 122, 123, -123, -124, 255, 256, -256, -257, 65535, 65536, -65537,
              2**24, -(2**24) - 1, 2**30 - 1, -(2**30)]))"},
    {"BignumsOfOneToFiveWords",
     R"(emit([2**30, -(2**30) - 1, 2**32 + 5, -(2**40), 2**48 + 7, 2**62 + 3, -(2**63) + 11,
              2**64 + 9, 2**70 + 2**65 + 1, -(2**79) - 3]))"},
    {"Floats", R"(emit([1.5, -0.25, 1.0e100, 3.0e-300, 0.1 + 0.2, Float::INFINITY,
                        -Float::INFINITY, 100.0]))"},
    {"NestedObjectsArraysHashes",
     R"(emit(RPG::Map.new({3 => RPG::Event.new(3, [RPG::Page.new(7), RPG::Page.new(8)]),
                            1 => RPG::Event.new(1, [])})))"},
    {"SymbolBackReferencesAcrossObjects",
     R"(emit([Plain.new(a: 1, b: 2), Plain.new(a: 3, b: 4), Plain.new(b: 5, c: [Plain.new(a: 6)])]))"},
    {"ObjectLinks", R"(s = "shared"; a = [1, 2]; p = Plain.new(x: 1)
                       emit([s, s, a, [a, s], p, Plain.new(ref: p, again: s)]))"},
    {"UserDumps",
     R"(emit([Table.new(3, 2), Table.new(5), Table.new(2, 2, 4), Color.new(255.0, 128.0, 0.5, 17.0),
                           Tone.new(-255.0, 0.0, 255.0, 100.0)]))"},
    // Hashes keyed by symbols, as newer script packs store them, and symbols as values.
    {"SymbolValuesAndKeys",
     R"(emit([{name: "Main", code: :run, 3 => :name}, :name, [:a, :b, :a], {"s" => :run}]))"},
    {"CompressedStrings",
     R"(emit([[1, "Main", Zlib::Deflate.deflate("puts 'hello'\n# 日本語\n" * 50)],
              [2, "Empty", Zlib::Deflate.deflate("")]]))"},
};

class RubyCrossCheck : public ::testing::TestWithParam<RubyCase> {};

TEST_P(RubyCrossCheck, ReadsTheTreeRubyDescribesAndWritesWhatRubyLoads) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    setenv("ZTEST_MARSHAL_DIR", (ztest::sourceDir() + "/tests/marshal").c_str(), 1);
    std::string out = dir.file("v.rxdata");
    ASSERT_TRUE(ztest::rubyWrite(std::string(kPrelude) + GetParam().program, out));
    std::string expected = ztest::readFile(out + ".txt");
    // Ruby writes compressed strings as their bytes; we show them inflated. Compare those
    // through Ruby too.
    MarshalFile file;
    ASSERT_TRUE(file.load(out)) << file.error().message();
    ASSERT_EQ(file.root().children().size(), 1u);
    std::string got = ztest::describe(file.root().children()[0]);
    if (std::string(GetParam().name) == "CompressedStrings") {
        EXPECT_NE(got.find("# 日本語"), std::string::npos);
        EXPECT_EQ(file.find("Array[0][2]")->text().size(),
                  std::string("puts 'hello'\n# 日本語\n").size() * 50);
        EXPECT_EQ(file.find("Array[1][2]")->text(), "");
    } else {
        EXPECT_EQ(got, expected);
    }

    // Our writer's output loads in Ruby and dumps back to the original bytes.
    std::string saved = dir.file("saved.rxdata");
    ASSERT_TRUE(file.save(saved));
    std::string check =
        "ruby -e " +
        ztest::shellQuote(
            std::string("require 'zlib'\nload ENV['ZTEST_MARSHAL_DIR'] + '/describe.rb'\n") +
            "class Table; def self._load(s); s; end; end; class Color; def self._load(s); s; end; "
            "end\n"
            "class Tone; def self._load(s); s; end; end\n"
            "module RPG; class Map; end; class Event; end; class Page; end; class Cond; end; end\n"
            "class Plain; end\n"
            "a = Marshal.load(File.binread(ARGV[0])); b = Marshal.load(File.binread(ARGV[1]))\n"
            "exit(Describer.new.d(a) == Describer.new.d(b) ? 0 : 1)") +
        " " + ztest::shellQuote(out) + " " + ztest::shellQuote(saved);
    EXPECT_EQ(ztest::run(check), 0) << "Ruby sees a different object in what we saved";
    EXPECT_EQ(ztest::readFile(saved), ztest::readFile(out))
        << "an unchanged tree is written byte for byte";
}

INSTANTIATE_TEST_SUITE_P(Ruby, RubyCrossCheck, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RubyCrossCheck, SeveralDumpsInOneFileKeepTheirOwnNumbering) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    std::string out = dir.file("two.rxdata");
    ASSERT_TRUE(ztest::rubyWrite(
        "class P; def initialize(v); @name = v; @hp = 3; end; end\n"
        "s = 'x'\n"
        "File.binwrite(OUT, Marshal.dump([P.new(s), P.new(s)]) + Marshal.dump(P.new('y')))\n",
        out));
    MarshalFile file;
    ASSERT_TRUE(file.load(out)) << file.error().message();
    ASSERT_EQ(file.root().children().size(), 2u);
    // The second dump starts its symbols afresh, so its @name is spelled out again.
    EXPECT_EQ(file.find("P.@name")->text(), "y");
    EXPECT_EQ(file.find("Array[1].@hp")->integer(), 3);
    std::string saved = dir.file("saved.rxdata");
    ASSERT_TRUE(file.save(saved));
    EXPECT_EQ(ztest::readFile(saved), ztest::readFile(out));
}

}  // namespace

// One file object read again and again (as `check` reads every map) reuses its memory: each
// tree must still be the one Ruby describes, whether the next file is larger or smaller,
// compressed strings and links included.
TEST(RubyCrossCheck, OneFileObjectReadsManyFilesInTurn) {
    if (!ztest::haveProgram("ruby")) GTEST_SKIP() << "ruby is not installed";
    ztest::TempDir dir;
    setenv("ZTEST_MARSHAL_DIR", (ztest::sourceDir() + "/tests/marshal").c_str(), 1);
    const char* programs[] = {
        R"(emit(Array.new(20000) { |i| Plain.new(id: i, name: "名前#{i}", list: [i, -i, "x" * (i % 7)]) }))",
        R"(emit([1, "small"]))",
        R"(s = "shared" * 3; emit([Zlib::Deflate.deflate("p 1\n" * 3000), s, [s, s], {1 => s}]))",
        R"(emit(Array.new(60000) { |i| [i, i.to_s] }))",
        R"(emit(nil))",
    };
    MarshalFile reused;
    int n = 0;
    for (const char* program : programs) {
        std::string out = dir.file("f" + std::to_string(n++) + ".rxdata");
        ASSERT_TRUE(ztest::rubyWrite(std::string(kPrelude) + program, out)) << program;
        ASSERT_TRUE(reused.load(out)) << reused.error().message();
        ASSERT_EQ(reused.root().children().size(), 1u);
        std::string got = ztest::describe(reused.root().children()[0]);
        if (n == 3) {  // Ruby describes the compressed bytes; we hold the text inflated
            EXPECT_EQ(reused.find("Array[0]")->text(), [] {
                std::string t;
                for (int i = 0; i < 3000; ++i) t += "p 1\n";
                return t;
            }());
            EXPECT_EQ(reused.find("Array[1]")->text(), "sharedsharedshared");
        } else {
            EXPECT_EQ(got, ztest::readFile(out + ".txt")) << program;
        }
        std::string saved = out + ".saved";
        ASSERT_TRUE(reused.save(saved));
        EXPECT_EQ(ztest::readFile(saved), ztest::readFile(out)) << program;
    }
}

#include "project_fixture.h"

#include <sys/stat.h>

namespace ztest {

namespace {
const char* kRubyPrelude = R"RUBY(# encoding: utf-8
DATA = ARGV[0]
class Rec
  def initialize(**kw); kw.each { |k, v| instance_variable_set("@#{k}", v) }; end
end
module RPG
  %w[System Actor Class Skill Item Weapon Armor State Enemy Troop Animation Tileset
     CommonEvent Map MapInfo Event EventCommand MoveRoute MoveCommand AudioFile].each do |n|
    const_set(n, ::Class.new(Rec))
  end
  class System; Words = ::Class.new(Rec); end
  class Troop; Member = ::Class.new(Rec); Page = ::Class.new(Rec); end
  class Troop::Page; Condition = ::Class.new(Rec); end
  class Event; Page = ::Class.new(Rec); end
  class Event::Page; Condition = ::Class.new(Rec); Graphic = ::Class.new(Rec); end
  class Class; Learning = ::Class.new(Rec); end
end
class Table
  def initialize(x, y = 1, z = 1, cells = nil); @x, @y, @z = x, y, z; @cells = cells || Array.new(x * y * z, 0); end
  def _dump(_); [(@z != 1 ? 3 : @y != 1 ? 2 : 1), @x, @y, @z, @x * @y * @z].pack('V5') + @cells.pack('v*'); end
end
def save(name, obj); File.binwrite(File.join(DATA, name), Marshal.dump(obj)); end
def cmd(code, indent, *params); RPG::EventCommand.new(code: code, indent: indent, parameters: params); end
)RUBY";
}  // namespace

bool makeProject(const TempDir& dir, const std::string& body, const std::string& gameIni) {
    std::string data = dir.file("Data");
    mkdir(data.c_str(), 0777);
    writeFile(dir.file("Game.rxproj"), "RPGXP 1.02");
    writeFile(dir.file("Game.ini"), gameIni);
    std::string script = dir.file("make.rb");
    writeFile(script, std::string(kRubyPrelude) + body);
    std::string out;
    int rc = run("ruby " + shellQuote(script) + " " + shellQuote(data) + " 2>&1", &out);
    if (rc != 0) fprintf(stderr, "%s\n", out.c_str());
    return rc == 0;
}

}  // namespace ztest

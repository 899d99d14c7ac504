// Small game projects written by Ruby's own Marshal.dump for the map tests: a project
// folder with Game.ini, Game.rxproj and Data/, and a stand-in RTP under a common files
// folder that open() hands to the project.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "map/image_test_support.h"
#include "project/project_database.h"
#include "support/test_support.h"

namespace maptest {

// Minimal runtime classes with the editor's own defaults, and two helpers for the body:
// save(file name, object) writes Data/<name>; event(id, x, y) makes an event with one page.
inline const char* const kRubyPrelude = R"RUBY(
$dir = ARGV[0]
class Table
  def initialize(x, y = 1, z = 1, dim = 3)
    @dim, @x, @y, @z, @d = dim, x, y, z, Array.new(x * y * z, 0)
  end
  def set(x, y, z, v)
    @d[x + y * @x + z * @x * @y] = v
    self
  end
  def _dump(_level)
    [@dim, @x, @y, @z, @d.size].pack('l<5') + @d.pack('s<*')
  end
end
# A record whose instance variables are set from a hash and read or written by name.
class Record
  def initialize(fields)
    fields.each { |k, v| instance_variable_set("@#{k}", v) }
  end
  def method_missing(name, *args)
    n = name.to_s
    return instance_variable_set("@#{n.chomp('=')}", args[0]) if n.end_with?('=')
    instance_variable_get("@#{n}")
  end
end
module RPG
  class AudioFile < Record
    def initialize(name = '', volume = 100, pitch = 100)
      super(name: name, volume: volume, pitch: pitch)
    end
  end
  class Event < Record
    class Page < Record
      class Condition < Record
        def initialize
          super(switch1_valid: false, switch2_valid: false, variable_valid: false,
                self_switch_valid: false, switch1_id: 1, switch2_id: 1, variable_id: 1,
                variable_value: 0, self_switch_ch: 'A')
        end
      end
      class Graphic < Record
        def initialize
          super(tile_id: 0, character_name: '', character_hue: 0, direction: 2, pattern: 0,
                opacity: 255, blend_type: 0)
        end
      end
      def initialize
        super(condition: Condition.new, graphic: Graphic.new, move_type: 0, move_speed: 3,
              move_frequency: 3, walk_anime: true, step_anime: false, direction_fix: false,
              through: false, always_on_top: false, trigger: 0, list: [])
      end
    end
    def initialize(x, y)
      super(id: 0, name: '', x: x, y: y, pages: [Page.new])
    end
  end
  class Map < Record
    def initialize(width, height)
      super(tileset_id: 1, width: width, height: height, autoplay_bgm: false,
            bgm: AudioFile.new, autoplay_bgs: false, bgs: AudioFile.new('', 80),
            encounter_list: [], encounter_step: 30, data: Table.new(width, height, 3),
            events: {})
    end
  end
  class MapInfo < Record
    def initialize(name, parent_id, order)
      super(name: name, parent_id: parent_id, order: order, expanded: false, scroll_x: 0,
            scroll_y: 0)
    end
  end
  class Tileset < Record
    def initialize(id)
      super(id: id, name: '', tileset_name: '', autotile_names: Array.new(7) { '' },
            panorama_name: '', panorama_hue: 0, fog_name: '', fog_hue: 0, fog_opacity: 64,
            fog_blend_type: 0, fog_zoom: 200, fog_sx: 0, fog_sy: 0, battleback_name: '',
            passages: Table.new(384, 1, 1, 1), priorities: Table.new(384, 1, 1, 1),
            terrain_tags: Table.new(384, 1, 1, 1))
    end
  end
end
def save(name, obj)
  File.binwrite(File.join($dir, 'Data', name), Marshal.dump(obj))
end
def event(id, x, y)
  e = RPG::Event.new(x, y)
  e.id = id
  e.name = "EV#{id}"
  e
end
)RUBY";

// A project folder "Project" and RTP 1 "Standard" below a scratch folder.
class TestProject {
  public:
    TestProject()
        : folder_(dir_.file("Project")), rtp_(dir_.file("Common/Enterbrain/RGSS/Standard")) {
        std::filesystem::create_directories(folder_ + "/Data");
        std::filesystem::create_directories(rtp_);
        ztest::writeFile(folder_ + "/Game.rxproj", "RPGXP 1.02");
        ztest::writeFile(folder_ + "/Game.ini", "[Game]\r\nTitle=Tree Root\r\nRTP1=Standard\r\n");
    }

    static bool haveRuby() { return ztest::haveProgram("ruby"); }

    // Runs the prelude and `body` with Ruby inside the project folder; false on failure.
    bool write(const std::string& body) const {
        std::string script = dir_.file("make.rb");
        ztest::writeFile(script, std::string(kRubyPrelude) + body);
        std::string out;
        int rc = ztest::run(
            "ruby " + ztest::shellQuote(script) + " " + ztest::shellQuote(folder_) + " 2>&1", &out);
        if (rc != 0) ADD_FAILURE() << "ruby failed: " << out;
        return rc == 0;
    }

    // A picture of one colour made by ImageMagick: `relative` below the project or the RTP,
    // with its extension, e.g. "Graphics/Characters/Hero.png".
    void picture(const std::string& relative, int width, int height, const std::string& colour,
                 bool inRtp = false) const {
        std::string path = (inRtp ? rtp_ : folder_) + "/" + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::string cmd = imgtest::convertTool() + " -size " + std::to_string(width) + "x" +
                          std::to_string(height) + " xc:" + colour + " " + ztest::shellQuote(path);
        ASSERT_EQ(ztest::run(cmd), 0) << cmd;
    }

    bool open(zorvane::ProjectDatabase& db) const {
        return db.open(folder_ + "/Game.rxproj", dir_.file("Common"));
    }
    const std::string& folder() const { return folder_; }
    const std::string& rtp() const { return rtp_; }

  private:
    ztest::TempDir dir_;
    std::string folder_;
    std::string rtp_;
};

}  // namespace maptest

#define SKIP_WITHOUT_RUBY_AND_CONVERT()                                                 \
    do {                                                                                \
        if (!maptest::TestProject::haveRuby()) GTEST_SKIP() << "ruby is not installed"; \
        if (imgtest::convertTool().empty())                                             \
            GTEST_SKIP() << "ImageMagick convert is not installed";                     \
    } while (0)

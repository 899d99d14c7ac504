// Small game projects written by Ruby's own Marshal.dump for the map tests: a project
// folder with Game.ini, Game.rxproj and Data/, and a stand-in RTP under a common files
// folder that ZORVANE_COMMON_FILES points to while the project exists.
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
    @dim, @x, @y, @z = dim, x, y, z
    @d = Array.new(x * y * z, 0)
  end
  def set(x, y, z, v)
    @d[x + y * @x + z * @x * @y] = v
    self
  end
  def _dump(_level)
    [@dim, @x, @y, @z, @d.size].pack('l<5') + @d.pack('s<*')
  end
end
module RPG
  class AudioFile
    attr_accessor :name, :volume, :pitch
    def initialize(name = '', volume = 100, pitch = 100)
      @name, @volume, @pitch = name, volume, pitch
    end
  end
  class Event
    class Page
      class Condition
        attr_accessor :switch1_valid, :switch2_valid, :variable_valid, :self_switch_valid,
                      :switch1_id, :switch2_id, :variable_id, :variable_value, :self_switch_ch
        def initialize
          @switch1_valid = @switch2_valid = @variable_valid = @self_switch_valid = false
          @switch1_id = @switch2_id = @variable_id = 1
          @variable_value = 0
          @self_switch_ch = 'A'
        end
      end
      class Graphic
        attr_accessor :tile_id, :character_name, :character_hue, :direction, :pattern,
                      :opacity, :blend_type
        def initialize
          @tile_id = 0
          @character_name = ''
          @character_hue = 0
          @direction = 2
          @pattern = 0
          @opacity = 255
          @blend_type = 0
        end
      end
      attr_accessor :condition, :graphic, :move_type, :move_speed, :move_frequency,
                    :walk_anime, :step_anime, :direction_fix, :through, :always_on_top,
                    :trigger, :list
      def initialize
        @condition = Condition.new
        @graphic = Graphic.new
        @move_type = 0
        @move_speed = 3
        @move_frequency = 3
        @walk_anime = true
        @step_anime = @direction_fix = @through = @always_on_top = false
        @trigger = 0
        @list = []
      end
    end
    attr_accessor :id, :name, :x, :y, :pages
    def initialize(x, y)
      @id = 0
      @name = ''
      @x, @y = x, y
      @pages = [Page.new]
    end
  end
  class Map
    attr_accessor :tileset_id, :width, :height, :autoplay_bgm, :bgm, :autoplay_bgs, :bgs,
                  :data, :events
    def initialize(width, height)
      @tileset_id = 1
      @width, @height = width, height
      @autoplay_bgm = false
      @bgm = AudioFile.new
      @autoplay_bgs = false
      @bgs = AudioFile.new('', 80)
      @encounter_list = []
      @encounter_step = 30
      @data = Table.new(width, height, 3)
      @events = {}
    end
  end
  class MapInfo
    def initialize(name, parent_id, order)
      @name, @parent_id, @order = name, parent_id, order
      @expanded = false
      @scroll_x = @scroll_y = 0
    end
  end
  class Tileset
    attr_accessor :id, :name, :tileset_name, :autotile_names, :panorama_name, :panorama_hue,
                  :fog_name, :fog_hue, :fog_opacity, :fog_blend_type, :fog_zoom, :fog_sx,
                  :fog_sy, :battleback_name, :passages, :priorities, :terrain_tags
    def initialize(id)
      @id = id
      @name = ''
      @tileset_name = ''
      @autotile_names = Array.new(7) { '' }
      @panorama_name = ''
      @panorama_hue = 0
      @fog_name = ''
      @fog_hue = 0
      @fog_opacity = 64
      @fog_blend_type = 0
      @fog_zoom = 200
      @fog_sx = @fog_sy = 0
      @battleback_name = ''
      @passages = Table.new(384, 1, 1, 1)
      @priorities = Table.new(384, 1, 1, 1)
      @terrain_tags = Table.new(384, 1, 1, 1)
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
        : folder_(dir_.file("Project")),
          rtp_(dir_.file("Common/Enterbrain/RGSS/Standard")) {
        std::filesystem::create_directories(folder_ + "/Data");
        std::filesystem::create_directories(rtp_);
        ztest::writeFile(folder_ + "/Game.rxproj", "RPGXP 1.02");
        ztest::writeFile(folder_ + "/Game.ini", "[Game]\r\nTitle=Tree Root\r\nRTP1=Standard\r\n");
        setenv("ZORVANE_COMMON_FILES", dir_.file("Common").c_str(), 1);
    }
    ~TestProject() { unsetenv("ZORVANE_COMMON_FILES"); }

    static bool haveRuby() { return ztest::haveProgram("ruby"); }

    // Runs the prelude and `body` with Ruby inside the project folder; false on failure.
    bool write(const std::string& body) const {
        std::string script = dir_.file("make.rb");
        ztest::writeFile(script, std::string(kRubyPrelude) + body);
        std::string out;
        int rc = ztest::run("ruby " + ztest::shellQuote(script) + " " + ztest::shellQuote(folder_) +
                                " 2>&1",
                            &out);
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

    bool open(zorvane::ProjectDatabase& db) const { return db.open(folder_ + "/Game.rxproj"); }
    const std::string& folder() const { return folder_; }
    const std::string& rtp() const { return rtp_; }

  private:
    ztest::TempDir dir_;
    std::string folder_;
    std::string rtp_;
};

}  // namespace maptest

#define SKIP_WITHOUT_RUBY_AND_CONVERT()                                       \
    do {                                                                      \
        if (!maptest::TestProject::haveRuby())                                \
            GTEST_SKIP() << "ruby is not installed";                          \
        if (imgtest::convertTool().empty())                                   \
            GTEST_SKIP() << "ImageMagick convert is not installed";           \
    } while (0)

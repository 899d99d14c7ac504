# Adds two large maps to a copy of the sample project, for the map viewer's tests and
# benchmark: map 9, SIZE × SIZE cells (500 unless given) of water, grass and tileset tiles
# with a few walking characters; map 10, 2050 × 2 cells, wider than a picture can be at ×2.
# Usage: ruby add_big_maps.rb DATA_FOLDER [SIZE]
class Table
  def initialize(x, y, z)
    @x, @y, @z = x, y, z
    @data = Array.new(x * y * z, 0)
  end

  def []=(x, y, z, v)
    @data[x + y * @x + z * @x * @y] = v
  end

  def _dump(_level)
    [3, @x, @y, @z, @data.size].pack('l<5') + @data.pack('s<*')
  end
end

module RPG
  class MapInfo; end
  class AudioFile
    def initialize(name = '') = (@name, @volume, @pitch = name, 100, 100)
  end
  class Map
    def initialize(width, height, data, events)
      @tileset_id, @width, @height, @data, @events = 1, width, height, data, events
      @autoplay_bgm, @bgm, @autoplay_bgs, @bgs = false, AudioFile.new, false, AudioFile.new
      @encounter_list, @encounter_step = [], 30
    end
  end
  class Event
    class Page
      class Graphic
        def initialize(name, direction)
          @tile_id, @character_name, @character_hue = 0, name, 0
          @direction, @pattern, @opacity, @blend_type = direction, 0, 255, 0
        end
      end
      def initialize(graphic) = (@graphic, @list, @walk_anime, @trigger = graphic, [], true, 0)
    end
    def initialize(id, x, y, graphic)
      @id, @name, @x, @y, @pages = id, format('EV%03d', id), x, y, [Page.new(graphic)]
    end
  end
end

def big_map(width, height)
  data = Table.new(width, height, 3)
  height.times do |y|
    width.times do |x|
      data[x, y, 0] = ((x / 7 + y / 5).even? ? 48 : 96) + (x * 3 + y) % 47  # water or grass shapes
      data[x, y, 1] = 384 + (x * 7 + y * 13) % 128 if (x + y) % 3 == 0
    end
  end
  events = {}
  [[1, 3, 3, 'hero', 2], [2, 10, 4, 'Cat', 4], [3, width - 2, height - 2, 'Merchant', 8]].each do |id, x, y, name, dir|
    events[id] = RPG::Event.new(id, x, y, RPG::Event::Page::Graphic.new(name, dir))
  end
  RPG::Map.new(width, height, data, events)
end

folder = ARGV[0]
size = (ARGV[1] || '500').to_i
infos = Marshal.load(File.binread(File.join(folder, 'MapInfos.rxdata')))
order = infos.values.map { |i| i.instance_variable_get(:@order) }.max
[[9, "広い平原 #{size}x#{size}", size, size], [10, '細長い道', 2050, 2]].each_with_index do |(id, name, w, h), i|
  info = RPG::MapInfo.new
  { name: name, parent_id: 0, order: order + 1 + i, expanded: false, scroll_x: 0, scroll_y: 0 }.each do |k, v|
    info.instance_variable_set(:"@#{k}", v)
  end
  infos[id] = info
  File.binwrite(File.join(folder, format('Map%03d.rxdata', id)), Marshal.dump(big_map(w, h)))
end
File.binwrite(File.join(folder, 'MapInfos.rxdata'), Marshal.dump(infos))

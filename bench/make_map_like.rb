# Writes a large map-like Marshal file: one RPG::Map whose events hold pages with long
# command lists, the shape that dominates real projects. Usage: ruby make_map_like.rb OUT [MB]
module RPG
  class Map; attr_accessor :events; def initialize; @tileset_id = 1; @width = 100; @height = 100; @events = {}; end; end
  class Event; def initialize(id, pages); @id = id; @name = "EV%03d" % id; @x = id % 100; @y = id / 100; @pages = pages; end; end
  class Event::Page; def initialize(list); @trigger = 0; @list = list; @walk_anime = true; end; end
  class EventCommand; def initialize(code, indent, params); @code = code; @indent = indent; @parameters = params; end; end
end
out = ARGV[0]
target = (ARGV[1] || '20').to_f * 1024 * 1024
map = RPG::Map.new
srand(7)
texts = ['こんにちは、旅の人。', 'The gate is closed.', '\\V[12]ゴールド持っている。', '宿屋へようこそ！']
id = 1
loop do
  pages = Array.new(3) do
    list = Array.new(120) do |k|
      case k % 6
      when 0 then RPG::EventCommand.new(101, 0, [texts[k % texts.size]])
      when 1 then RPG::EventCommand.new(121, 0, [k, k + 2, 0])
      when 2 then RPG::EventCommand.new(122, 1, [3, 3, 0, 0, 120])
      when 3 then RPG::EventCommand.new(111, 0, [0, 5, 0])
      when 4 then RPG::EventCommand.new(201, 1, [0, 3, 10, 12, 2, 0])
      else RPG::EventCommand.new(0, 0, [])
      end
    end
    RPG::Event::Page.new(list)
  end
  map.events[id] = RPG::Event.new(id, pages)
  id += 1
  break if id % 50 == 0 && Marshal.dump(map).bytesize >= target
end
File.binwrite(out, Marshal.dump(map))

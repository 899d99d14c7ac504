# What the event viewer tests expect, as Ruby's own Marshal reads a project's Data folder,
# one fact per line, tab-separated: "ce ID NAME N101", "troop ID NAME PAGES N101-OF-PAGE-1",
# "event MAP ID NAME X Y PAGES N101-OF-PAGE-1", "script ID TITLE LINES", "map ID NAME"
# (N101: commands of code 101 in the list). With --add-fixtures it first gives map 5 an
# event 12 of three pages and appends a script whose comment tries to close the document's
# <pre> and run code. Usage: ruby viewer_facts.rb DATA_FOLDER [--add-fixtures]
require 'zlib'

class Rec
  def method_missing(name, *args)
    ivar = :"@#{name}"
    return instance_variable_get(ivar) if args.empty? && instance_variable_defined?(ivar)

    super
  end

  def respond_to_missing?(name, include_private = false)
    instance_variable_defined?(:"@#{name}") || super
  end
end

# Packed runtime values are kept as their bytes, so a map can be written back unchanged.
class Packed
  def self._load(bytes)
    obj = allocate
    obj.instance_variable_set(:@bytes, bytes)
    obj
  end

  def _dump(_level)
    @bytes
  end
end
Table = Class.new(Packed)
Color = Class.new(Packed)
Tone = Class.new(Packed)

module RPG; end
%w[AudioFile CommonEvent EventCommand MoveRoute MoveCommand Troop Troop::Member Troop::Page
   Troop::Page::Condition MapInfo Map Event Event::Page Event::Page::Condition
   Event::Page::Graphic].each do |full|
  *outer, name = full.split('::')
  parent = outer.inject(RPG) { |m, n| m.const_get(n, false) }
  parent.const_set(name, Class.new(Rec)) unless parent.const_defined?(name, false)
end

data = ARGV[0]
path = ->(name) { File.join(data, name) }
load = ->(name) { Marshal.load(File.binread(path.call(name))) }
copy = ->(obj) { Marshal.load(Marshal.dump(obj)) }
n101 = ->(list) { list.count { |c| c.code == 101 } }

if ARGV[1] == '--add-fixtures'
  map = load.call('Map005.rxdata')
  twelve = copy.call(map.events[1])
  twelve.instance_variable_set(:@id, 12)
  twelve.instance_variable_set(:@name, '十二番')
  twelve.instance_variable_set(:@pages, Array.new(3) { copy.call(twelve.pages[0]) })
  map.events[12] = twelve
  File.binwrite(path.call('Map005.rxdata'), Marshal.dump(map))
  scripts = load.call('Scripts.rxdata')
  text = "# </pre><script>window.zorvaneInjected = 1;</script>\r\nx = 1\r\n"
  scripts << [1, 'Injected', Zlib::Deflate.deflate(text)]
  File.binwrite(path.call('Scripts.rxdata'), Marshal.dump(scripts))
end

load.call('CommonEvents.rxdata').each_with_index do |e, i|
  puts ['ce', i, e.name, n101.call(e.list)].join("\t") if e
end
load.call('Troops.rxdata').each_with_index do |t, i|
  puts ['troop', i, t.name, t.pages.size, n101.call(t.pages[0].list)].join("\t") if t
end
load.call('Scripts.rxdata').each_with_index do |s, i|
  text = Zlib::Inflate.inflate(s[2]).force_encoding('UTF-8')
  puts ['script', i + 1, s[1], text.split(/\r?\n/, -1).size].join("\t")
end
load.call('MapInfos.rxdata').sort.each do |id, m|
  puts ['map', id, m.name].join("\t")
  file = path.call(format('Map%03d.rxdata', id))
  next unless File.exist?(file)

  Marshal.load(File.binread(file)).events.sort.each do |eid, e|
    puts ['event', id, eid, e.name, e.x, e.y, e.pages.size, n101.call(e.pages[0].list)].join("\t")
  end
end

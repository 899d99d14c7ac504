# Prints names from a project's Data folder as Ruby's own Marshal reads them, one per line
# as KIND<TAB>ID<TAB>...: common events (id, name, N101), troops (id, name, pages, N101),
# scripts (numbered from 1: title, lines), map infos (id, parent id, order, name) and the
# events of each map file (map, id, name, x, y, pages, N101); N101 counts the code-101
# commands of the first page. With --add-fixtures it first gives map 5 an event 12 of three
# pages and appends a script that tries to close a document's <pre> and run code.
# Usage: ruby read_names.rb DATA_FOLDER [--add-fixtures]
require 'zlib'

require_relative '../support/marshal_stubs'

data = ARGV[0]
load = ->(name) { load_data(File.join(data, name)) }
save = ->(name, value) { save_data(File.join(data, name), value) }
copy = ->(value) { Marshal.load(Marshal.dump(value)) }
n101 = ->(pages) { pages[0].list.count { |c| c.code == 101 } }

if ARGV[1] == '--add-fixtures'
  map = load.call('Map005.rxdata')
  twelve = copy.call(map.events[1])
  { id: 12, name: '十二番', pages: Array.new(3) { copy.call(twelve.pages[0]) } }.each do |k, v|
    twelve.instance_variable_set(:"@#{k}", v)
  end
  map.events[12] = twelve
  save.call('Map005.rxdata', map)
  text = "# </pre><script>window.zorvaneInjected = 1;</script>\r\nx = 1\r\n"
  save.call('Scripts.rxdata', load.call('Scripts.rxdata') << [1, 'Injected', Zlib::Deflate.deflate(text)])
end

load.call('CommonEvents.rxdata').each_with_index { |e, i| puts "ce\t#{i}\t#{e.name}\t#{n101.call([e])}" if e }
load.call('Troops.rxdata').each_with_index do |t, i|
  puts "troop\t#{i}\t#{t.name}\t#{t.pages.size}\t#{n101.call(t.pages)}" if t
end
load.call('Scripts.rxdata').each_with_index do |s, i|
  puts "script\t#{i + 1}\t#{s[1]}\t#{Zlib::Inflate.inflate(s[2]).split(/\r?\n/, -1).size}"
end
load.call('MapInfos.rxdata').sort.each do |id, m|
  puts "map\t#{id}\t#{m.parent_id}\t#{m.order}\t#{m.name}"
  file = format('Map%03d.rxdata', id)
  next unless File.exist?(File.join(data, file))

  load.call(file).events.sort.each do |eid, e|
    puts ['event', id, eid, e.name, e.x, e.y, e.pages.size, n101.call(e.pages)].join("\t")
  end
end

# Lists the graphics that a project's maps draw with, so that the map benchmark can give a
# project without its Graphics folder stand-in pictures of the right names and kinds.
# Usage: ruby stand_in_graphics.rb DATA_FOLDER  ->  lines "kind<TAB>name" (kind: tileset,
# autotile, panorama, fog, character), each name once.
class StubLoad
  def self._load(_s) = new
end
def define_path(path)
  path.split('::').inject(Object) do |mod, name|
    if mod.const_defined?(name, false) then mod.const_get(name, false)
    else mod.const_set(name, %w[Table Color Tone].include?(name) ? Class.new(StubLoad) : Class.new)
    end
  end
end
def load_file(path)
  Marshal.load(File.binread(path))
rescue ArgumentError => e
  raise unless e.message =~ /undefined class\/module (\S+)/
  define_path(Regexp.last_match(1))
  retry
end
def ivar(obj, name) = obj.instance_variable_get("@#{name}")

data = ARGV.fetch(0)
seen = {}
emit = lambda do |kind, name|
  next if name.nil? || name.empty? || seen[[kind, name]]
  seen[[kind, name]] = true
  puts "#{kind}\t#{name}"
end
load_file(File.join(data, 'Tilesets.rxdata')).compact.each do |t|
  emit.call('tileset', ivar(t, 'tileset_name'))
  ivar(t, 'autotile_names').first(7).each { |n| emit.call('autotile', n) }
  emit.call('panorama', ivar(t, 'panorama_name'))
  emit.call('fog', ivar(t, 'fog_name'))
end
Dir.glob(File.join(data, 'Map[0-9]*.rxdata')).sort.each do |f|
  (ivar(load_file(f), 'events') || {}).each_value do |e|
    page = (ivar(e, 'pages') || []).first
    emit.call('character', ivar(ivar(page, 'graphic'), 'character_name')) if page
  end
end

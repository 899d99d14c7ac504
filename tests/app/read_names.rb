# Prints names from a project's Data folder as Ruby's own Marshal reads them, one per line
# as KIND<TAB>ID<TAB>...: common events, troops, scripts (numbered from 1) and map infos
# (id, parent id, order, name). Usage: ruby read_names.rb DATA_FOLDER
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

# The packed runtime values only need to load, not to be read.
class Packed
  def self._load(_bytes)
    allocate
  end
end
Table = Class.new(Packed)
Color = Class.new(Packed)
Tone = Class.new(Packed)

module RPG; end
%w[AudioFile CommonEvent EventCommand MoveRoute MoveCommand Troop Troop::Member Troop::Page
   Troop::Page::Condition MapInfo].each do |full|
  *outer, name = full.split('::')
  parent = outer.inject(RPG) { |m, n| m.const_get(n, false) }
  parent.const_set(name, Class.new(Rec)) unless parent.const_defined?(name, false)
end

data = ARGV[0]
load = ->(name) { Marshal.load(File.binread(File.join(data, name))) }
load.call('CommonEvents.rxdata').each_with_index { |e, i| puts "ce\t#{i}\t#{e.name}" if e }
load.call('Troops.rxdata').each_with_index { |t, i| puts "troop\t#{i}\t#{t.name}" if t }
load.call('Scripts.rxdata').each_with_index { |s, i| puts "script\t#{i + 1}\t#{s[1]}" }
load.call('MapInfos.rxdata').sort.each do |id, m|
  puts "map\t#{id}\t#{m.parent_id}\t#{m.order}\t#{m.name}"
end

# Writes pairs of data files whose only difference lies inside a value of an Array, Hash or
# String subclass carrying instance variables, as script packs store them, with Ruby's own
# Marshal:  ruby subclass_files.rb OLD_FOLDER NEW_FOLDER
# Prints one line per pair: the file name, then what the old and the new line hold: the
# changed text quoted (String#inspect) or the changed instance variable as "@name: value".
module RPG
  class Animation
    def initialize(id, name) = (@id, @name, @frame_max = id, name, 4)
  end

  class Actor
    def initialize(id, name, kit) = (@id, @name, @kit = id, name, kit)
  end
end

class PBAnimations < Array; end
class KitHash < Hash; end
class KitText < String; end

def animations(names, version)
  list = PBAnimations.new
  names.each_with_index { |n, i| list << RPG::Animation.new(i + 1, n) }
  list.instance_variable_set(:@version, version)
  list
end

def kit_hash(tone)
  hash = KitHash.new
  hash['tone'] = tone
  hash['size'] = 3
  hash.instance_variable_set(:@owner, 'kit')
  hash
end

def kit_text(text)
  s = KitText.new(text)
  s.instance_variable_set(:@speaker, 'Oak')
  s
end

def actors(kit) = [nil, RPG::Actor.new(1, 'Red', kit)]

# name => [old value, new value, old text, new text]
CASES = {
  'PkmnAnimations.rxdata' => [animations(%w[Tackle Ember], 1), animations(%w[Tackle Flame], 1),
                              'Ember', 'Flame'],
  'AnimVersion.rxdata' => [animations(%w[Tackle], 1), animations(%w[Tackle], 2), 1, 2],
  'KitHash.rxdata' => [kit_hash('warm'), kit_hash('cold'), 'warm', 'cold'],
  'KitText.rxdata' => [kit_text('Hello there'), kit_text('Hello again'),
                       'Hello there', 'Hello again'],
  'Actors.rxdata' => [actors(animations(%w[Gust], 1)), actors(animations(%w[Growl], 1)),
                      'Gust', 'Growl'],
}.freeze

old_folder, new_folder = ARGV
CASES.each do |name, (before, after, old_text, new_text)|
  File.binwrite(File.join(old_folder, name), Marshal.dump(before))
  File.binwrite(File.join(new_folder, name), Marshal.dump(after))
  shown = ->(t) { t.is_a?(Integer) ? "@version: #{t}" : t.inspect }
  puts [name, shown[old_text], shown[new_text]].join("\t")
end

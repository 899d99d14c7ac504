#!/usr/bin/env ruby
# encoding: utf-8
#
# check_sample.rb - checks the generated sample project (sample/) on its own:
# loads every data file back with Marshal.load, checks the command coverage
# and the shapes the event formatters read, the map tree, the scripts, the
# pictures and the manifest. Exits with status 1 and a list of failures when
# anything is wrong.
#
# Usage: ruby tests/tools/check_sample.rb [SAMPLE_DIR]   (default: <repo>/sample)

require 'json'
require 'zlib'
require 'set'

SAMPLE = File.expand_path(ARGV[0] || File.join(__dir__, '..', '..', 'sample'))
PROJECT = File.join(SAMPLE, 'Project')
DATA = File.join(PROJECT, 'Data')

# ---------------------------------------------------------------- classes
# The classes are defined here independently of the generator: a data file
# that names a class not listed here fails to load.

class Table
  attr_reader :dim, :xsize, :ysize, :zsize, :data

  def self._load(bytes)
    dim, x, y, z, count = bytes.unpack('l<5')
    raise "Table count #{count} != #{x}*#{y}*#{z}" unless count == x * y * z
    raise 'Table payload length' unless bytes.bytesize == 20 + 2 * count
    t = allocate
    t.instance_variable_set(:@dim, dim)
    t.instance_variable_set(:@xsize, x)
    t.instance_variable_set(:@ysize, y)
    t.instance_variable_set(:@zsize, z)
    t.instance_variable_set(:@data, bytes.byteslice(20, 2 * count).unpack('s<*'))
    t
  end

  def [](x, y = 0, z = 0)
    @data[x + y * @xsize + z * @xsize * @ysize]
  end
end

class Color
  attr_reader :values

  def self._load(bytes)
    raise 'Color payload length' unless bytes.bytesize == 32
    c = allocate
    c.instance_variable_set(:@values, bytes.unpack('E4'))
    c
  end
end

class Tone < Color
end

require_relative '../support/marshal_stubs'

CLASS_NAMES = %w[
  RPG::AudioFile RPG::System RPG::System::Words RPG::System::TestBattler RPG::Actor RPG::Class
  RPG::Class::Learning RPG::Skill RPG::Item RPG::Weapon RPG::Armor RPG::State RPG::Enemy
  RPG::Enemy::Action RPG::Troop RPG::Troop::Member RPG::Troop::Page RPG::Troop::Page::Condition
  RPG::Animation RPG::Animation::Frame RPG::Animation::Timing RPG::Tileset RPG::CommonEvent RPG::Map
  RPG::MapInfo RPG::Event RPG::Event::Page RPG::Event::Page::Condition RPG::Event::Page::Graphic
  RPG::EventCommand RPG::MoveRoute RPG::MoveCommand
].freeze

module RPG; end
CLASS_NAMES.each do |full|
  *outer, name = full.split('::')
  parent = outer.inject(Object) { |m, n| m.const_get(n, false) }
  parent.const_set(name, Class.new(Rec)) unless parent.const_defined?(name, false)
end

# ---------------------------------------------------------------- expectations

COMMAND_CODES = [
  0, 101, 102, 103, 104, 105, 106, 108, 111, 112, 113, 115, 116, 117, 118, 119,
  121, 122, 123, 124, 125, 126, 127, 128, 129, 131, 132, 133, 134, 135, 136,
  201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 221, 222, 223, 224, 225,
  231, 232, 233, 234, 235, 236, 241, 242, 245, 246, 247, 248, 249, 250, 251,
  301, 302, 303, 311, 312, 313, 314, 315, 316, 317, 318, 319, 320, 321, 322,
  331, 332, 333, 334, 335, 336, 337, 338, 339, 340, 351, 352, 353, 354, 355,
  401, 402, 403, 404, 408, 411, 412, 413, 509, 601, 602, 603, 604, 605, 655
].freeze

# Minimum parameter counts that the command formatters read.
NEEDS = {
  101 => 1, 401 => 1, 102 => 2, 402 => 2, 103 => 2, 104 => 2, 105 => 1, 106 => 1, 108 => 1, 408 => 1,
  111 => 1, 117 => 1, 118 => 1, 119 => 1, 121 => 3, 122 => 5, 123 => 2, 124 => 1, 125 => 3,
  126 => 4, 127 => 4, 128 => 4, 129 => 2, 131 => 1, 132 => 1, 133 => 1, 134 => 1, 135 => 1, 136 => 1,
  201 => 6, 202 => 5, 203 => 3, 204 => 2, 205 => 2, 206 => 2, 207 => 2, 208 => 1, 209 => 2, 509 => 1,
  222 => 1, 223 => 2, 224 => 2, 225 => 3, 231 => 10, 232 => 10, 233 => 2, 234 => 3, 235 => 1,
  236 => 3, 241 => 1, 242 => 1, 245 => 1, 246 => 1, 249 => 1, 250 => 1, 301 => 3, 302 => 2,
  605 => 2, 303 => 2, 311 => 5, 312 => 4, 313 => 3, 314 => 1, 315 => 4, 316 => 4, 317 => 5,
  318 => 3, 319 => 3, 320 => 2, 321 => 2, 322 => 5, 331 => 5, 332 => 4, 333 => 3, 334 => 1,
  335 => 1, 336 => 2, 337 => 3, 338 => 4, 339 => 6, 355 => 1, 655 => 1
}.freeze

# Parameter positions and the Ruby class they must hold.
TYPES = {
  101 => { 0 => String }, 401 => { 0 => String }, 108 => { 0 => String }, 408 => { 0 => String },
  355 => { 0 => String }, 655 => { 0 => String }, 118 => { 0 => String }, 119 => { 0 => String },
  102 => { 0 => Array, 1 => Integer }, 402 => { 0 => Integer, 1 => String }, 123 => { 0 => String },
  131 => { 0 => String }, 222 => { 0 => String }, 320 => { 1 => String },
  132 => { 0 => RPG::AudioFile }, 133 => { 0 => RPG::AudioFile }, 241 => { 0 => RPG::AudioFile },
  245 => { 0 => RPG::AudioFile }, 249 => { 0 => RPG::AudioFile }, 250 => { 0 => RPG::AudioFile },
  205 => { 0 => Tone, 1 => Integer }, 223 => { 0 => Tone, 1 => Integer }, 224 => { 0 => Color, 1 => Integer },
  234 => { 1 => Tone }, 209 => { 0 => Integer, 1 => RPG::MoveRoute }, 509 => { 0 => RPG::MoveCommand },
  231 => { 1 => String }, 322 => { 1 => String, 3 => String }, 204 => { 1 => String }
}.freeze

FOLLOW_ON = { 401 => [101, 401], 408 => [108, 408], 655 => [355, 655], 605 => [302, 605], 509 => [209, 509] }.freeze
# Block labels: preceded by a closed body (code 0 one level deeper) or, for
# the first branch, by its opening command at the same indent.
BRANCH_OPENERS = { 402 => [102], 403 => [], 404 => [102], 411 => [], 412 => [111], 413 => [],
                   601 => [301], 602 => [], 603 => [], 604 => [] }.freeze
BODY_OPENERS = [402, 403, 111, 411, 112, 601, 602, 603].freeze

$failures = []

def check(ok, message)
  $failures << message unless ok
  ok
end

def load_data(name)
  Marshal.load(File.binread(File.join(DATA, name)))
rescue StandardError => e
  $failures << "#{name}: cannot be loaded (#{e.class}: #{e.message})"
  nil
end

# ---------------------------------------------------------------- loading

manifest = JSON.parse(File.read(File.join(SAMPLE, 'manifest.json'), encoding: 'UTF-8'))

DATA_FILES = %w[System Actors Classes Skills Items Weapons Armors States MapInfos CommonEvents Troops
                Enemies Animations Tilesets Scripts].freeze
db = DATA_FILES.to_h { |n| [n, load_data("#{n}.rxdata")] }
abort("check_sample: FAILED\n  #{$failures.join("\n  ")}") unless $failures.empty?

map_infos = db['MapInfos']
map_files = Dir.children(DATA).grep(/\AMap\d{3,}\.rxdata\z/).sort
maps = map_files.to_h { |f| [f[/\d+/].to_i, load_data(f)] }

# ---------------------------------------------------------------- encodings

def each_string(obj, seen = Set.new, &blk)
  return if seen.include?(obj.object_id)
  seen << obj.object_id
  case obj
  when String then blk.call(obj)
  when Array then obj.each { |v| each_string(v, seen, &blk) }
  when Hash then obj.each { |k, v| each_string(k, seen, &blk); each_string(v, seen, &blk) }
  when Rec then obj.instance_variables.each { |iv| each_string(obj.instance_variable_get(iv), seen, &blk) }
  end
end

(db.reject { |k, _| k == 'Scripts' }.values + maps.values).each do |root|
  each_string(root) do |s|
    check(s.encoding == Encoding::UTF_8 && s.valid_encoding?, "string not valid UTF-8: #{s.inspect}")
  end
end

# ---------------------------------------------------------------- database

sys = db['System']
check(sys.is_a?(RPG::System), 'System.rxdata holds an RPG::System')
check(sys.words.is_a?(RPG::System::Words), 'System @words is RPG::System::Words')
%w[switches variables elements].each do |k|
  arr = sys.send(k)
  check(arr.is_a?(Array) && (arr[0].nil? || arr[0] == ''), "System @#{k} has nil or '' in slot 0")
  check(manifest['counts'][k] == arr.size, "manifest count of #{k}")
end
check(sys.decision_se.equal?(sys.save_se), 'System: one AudioFile object shared by two fields (Marshal link)')
check(manifest['switches'].map { |h| h['name'] } == sys.switches[1..], 'manifest switch names')
check(manifest['variables'].map { |h| h['name'] } == sys.variables[1..], 'manifest variable names')

{ 'Actors' => RPG::Actor, 'Classes' => RPG::Class, 'Skills' => RPG::Skill, 'Items' => RPG::Item,
  'Weapons' => RPG::Weapon, 'Armors' => RPG::Armor, 'States' => RPG::State, 'CommonEvents' => RPG::CommonEvent,
  'Troops' => RPG::Troop, 'Enemies' => RPG::Enemy, 'Animations' => RPG::Animation,
  'Tilesets' => RPG::Tileset }.each do |name, klass|
  arr = db[name]
  check(arr.is_a?(Array) && arr[0].nil?, "#{name}: array with nil in slot 0")
  check(arr[1..].all? { |r| r.is_a?(klass) }, "#{name}: records of class #{klass}")
  check(arr[1..].each_with_index.all? { |r, i| r.id == i + 1 }, "#{name}: @id equals the slot")
  check(manifest['counts'][name] == arr.size, "manifest count of #{name}")
end
%w[actors items weapons armors skills states enemies classes].each do |k|
  file = k.capitalize
  check(manifest[k].map { |h| [h['id'], h['name']] } == db[file][1..].map { |r| [r.id, r.name] },
        "manifest names of #{k}")
end
check(db['Actors'][1..].all? { |a| a.parameters.is_a?(Table) && a.parameters.xsize == 6 && a.parameters.ysize == 100 },
      'actor @parameters are 6x100 Tables')
check(db['Animations'][1..].all? { |a| a.timings.all? { |t| t.se.is_a?(RPG::AudioFile) && t.flash_color.is_a?(Color) } },
      'animation timings carry @se and @flash_color')
db['Tilesets'][1..].each do |t|
  check(t.autotile_names.size == 7, "tileset #{t.id}: seven autotile names")
  check([t.passages, t.priorities, t.terrain_tags].all? { |x| x.is_a?(Table) && x.xsize == t.passages.xsize },
        "tileset #{t.id}: passage, priority and terrain tables of one size")
end

# ---------------------------------------------------------------- event lists

lists = []
db['CommonEvents'][1..].each { |ce| lists << [format('CommonEvent %03d', ce.id), ce.list] }
db['Troops'][1..].each do |t|
  t.pages.each_with_index { |pg, j| lists << [format('Troop %03d page %d', t.id, j + 1), pg.list] }
end
maps.keys.sort.each do |id|
  maps[id].events.keys.sort.each do |e|
    maps[id].events[e].pages.each_with_index do |pg, j|
      lists << [format('Map %03d event %03d page %d', id, e, j + 1), pg.list]
    end
  end
end

seen_codes = Hash.new { |h, k| h[k] = [] }
routes = []
unknown = []
lists.each do |where, list|
  unless check(list.is_a?(Array) && list.all? { |c| c.is_a?(RPG::EventCommand) }, "#{where}: list of RPG::EventCommand")
    next
  end
  last = list.last
  check(last.code.zero? && last.indent.zero?, "#{where}: ends with code 0 at indent 0")
  choice_texts = {}
  list.each_with_index do |cmd, k|
    code = cmd.code
    pr = cmd.parameters
    prev = k.positive? ? list[k - 1] : nil
    nxt = list[k + 1]
    seen_codes[code] << where
    unknown << { 'code' => code, 'where' => where, 'line' => k + 1 } unless COMMAND_CODES.include?(code)
    check(pr.is_a?(Array), "#{where} line #{k + 1}: @parameters is an array")
    check(prev.nil? || cmd.indent <= prev.indent + 1, "#{where} line #{k + 1}: indent jumps")
    check(pr.size >= NEEDS.fetch(code, 0), "#{where} line #{k + 1}: code #{code} has #{pr.size} parameters, needs #{NEEDS[code]}")
    TYPES.fetch(code, {}).each do |pos, klass|
      check(pr[pos].is_a?(klass), "#{where} line #{k + 1}: code #{code} p#{pos} is #{pr[pos].class}, not #{klass}")
    end
    if FOLLOW_ON.key?(code)
      check(prev && FOLLOW_ON[code].include?(prev.code) && prev.indent == cmd.indent,
            "#{where} line #{k + 1}: #{code} does not follow #{FOLLOW_ON[code].inspect}")
    end
    if BRANCH_OPENERS.key?(code)
      closed_body = prev && prev.code.zero? && prev.indent == cmd.indent + 1
      opener = prev && BRANCH_OPENERS[code].include?(prev.code) && prev.indent == cmd.indent
      check(closed_body || opener, "#{where} line #{k + 1}: #{code} is not preceded by a closed block")
    end
    if BODY_OPENERS.include?(code)
      check(nxt && nxt.indent == cmd.indent + 1, "#{where} line #{k + 1}: #{code} has no body one level deeper")
    end
    if code == 102
      choice_texts[cmd.indent] = pr[0]
      check(nxt && nxt.code == 402 && nxt.indent == cmd.indent, "#{where} line #{k + 1}: 102 not followed by 402")
    end
    if code == 402
      texts = choice_texts[cmd.indent]
      check(texts && texts[pr[0]] == pr[1], "#{where} line #{k + 1}: 402 text is not choice #{pr[0]}")
      check(texts && texts[pr[0]].equal?(pr[1]), "#{where} line #{k + 1}: 402 text is not a link to the choice string")
    end
    if code == 301 && (pr[1] || pr[2])
      check(nxt && nxt.code == 601 && nxt.indent == cmd.indent, "#{where} line #{k + 1}: 301 with escape/lose lacks 601")
    end
    next unless code == 209
    route = pr[1]
    routes << [where, route]
    check(route.list.last.code.zero?, "#{where} line #{k + 1}: move route list ends with move code 0")
    moves = route.list[0...-1]
    followers = list[k + 1, moves.size] || []
    check(followers.size == moves.size && followers.all? { |f| f.code == 509 && f.indent == cmd.indent },
          "#{where} line #{k + 1}: 209 followed by #{moves.size} commands 509")
    followers.each_with_index do |f, t|
      check(f.parameters[0].equal?(moves[t]), "#{where} line #{k + 2 + t}: 509 holds the route's own move command")
    end
    nxt_after = list[k + 1 + moves.size]
    check(nxt_after && nxt_after.code != 509, "#{where} line #{k + 1}: extra 509 after the route")
  end
end

missing_codes = COMMAND_CODES - seen_codes.keys
check(missing_codes.empty?, "command codes never used: #{missing_codes.inspect}")
check(unknown == manifest['unknown_codes'], "unknown codes differ from the manifest: #{unknown.inspect}")
check(unknown.size >= 2, 'some codes outside the command table placed on purpose')
check(manifest['command_codes'].keys.map(&:to_i).sort == COMMAND_CODES.sort, 'manifest lists every command code')
COMMAND_CODES.each do |c|
  check(manifest['command_codes'][c.to_s] == seen_codes[c].uniq, "manifest locations of code #{c}")
end

maps.each_value do |m|
  m.events.each_value do |ev|
    ev.pages.each { |pg| routes << ['custom route', pg.move_route] if pg.move_type == 3 }
  end
end
move_codes = routes.flat_map { |_w, r| r.list.map(&:code) }.uniq
check(((1..45).to_a - move_codes).empty?, "move codes never used: #{((1..45).to_a - move_codes).inspect}")
routes.each do |where, r|
  check(r.is_a?(RPG::MoveRoute) && [true, false].include?(r.repeat) && [true, false].include?(r.skippable),
        "#{where}: RPG::MoveRoute with boolean @repeat and @skippable")
  check(r.list.all? { |mc| mc.is_a?(RPG::MoveCommand) && mc.parameters.is_a?(Array) }, "#{where}: move commands")
end

# ---------------------------------------------------------------- common events and troops

check(db['CommonEvents'][1..].map(&:trigger).uniq.sort == [0, 1, 2], 'common events use triggers 0, 1 and 2')
check(manifest['common_events'].map { |h| [h['id'], h['name'], h['trigger'], h['commands']] } ==
      db['CommonEvents'][1..].map { |ce| [ce.id, ce.name, ce.trigger, ce.list.size] }, 'manifest common events')

kinds = Set.new
db['Troops'][1..].each do |t|
  check(t.members.all? { |mb| mb.is_a?(RPG::Troop::Member) }, "troop #{t.id}: members")
  t.pages.each do |pg|
    c = pg.condition
    check(pg.is_a?(RPG::Troop::Page) && c.is_a?(RPG::Troop::Page::Condition), "troop #{t.id}: page classes")
    kinds << :turn if c.turn_valid
    kinds << :enemy if c.enemy_valid
    kinds << :actor if c.actor_valid
    kinds << :switch if c.switch_valid
    kinds << :none unless c.turn_valid || c.enemy_valid || c.actor_valid || c.switch_valid
    kinds << :"span#{pg.span}"
  end
end
check(kinds.superset?(Set[:turn, :enemy, :actor, :switch, :none, :span0, :span1, :span2]),
      "troop page conditions cover every kind: #{kinds.to_a.inspect}")

# ---------------------------------------------------------------- maps

check(map_infos.is_a?(Hash) && map_infos.values.all? { |i| i.is_a?(RPG::MapInfo) }, 'MapInfos: Hash of RPG::MapInfo')
depth = lambda do |id|
  d = 0
  while id.positive? && map_infos[id]
    d += 1
    id = map_infos[id].parent_id
  end
  d
end
check(map_infos.keys.map { |id| depth.call(id) }.max >= 3, 'map tree at least three levels deep')
ids = map_infos.keys.sort
check(ids.each_cons(2).any? { |a, b| b > a + 1 }, 'map ids have a gap')
without_file = ids.reject { |id| maps.key?(id) }
check(without_file == manifest['missing_map_ids'], "map infos without a map file: #{without_file.inspect}")
check(maps.keys.all? { |id| map_infos.key?(id) }, 'every map file has a map info')
check(maps.size >= 6, 'at least six maps')
check(map_infos.keys == manifest['map_tree_order'], 'MapInfos stored order as in the manifest')
manifest['maps'].each do |mm|
  info = map_infos[mm['id']]
  check(info && info.name == mm['name'] && info.parent_id == mm['parent_id'] && info.order == mm['order'],
        "map info #{mm['id']} as in the manifest")
  m = maps[mm['id']]
  next unless m
  check(m.events.keys.sort == mm['event_ids'], "map #{mm['id']}: event ids")
  check(m.width == mm['width'] && m.height == mm['height'], "map #{mm['id']}: size")
end
check(map_infos.values.all? { |i| [true, false].include?(i.expanded) && i.scroll_x.is_a?(Integer) && i.scroll_y.is_a?(Integer) },
      'map infos carry @expanded, @scroll_x, @scroll_y')

page_kinds = Set.new
maps.each do |id, m|
  check(m.is_a?(RPG::Map), "map #{id}: RPG::Map")
  t = m.data
  check(t.is_a?(Table) && t.xsize == m.width && t.ysize == m.height && t.zsize == 3, "map #{id}: @data is width x height x 3")
  tileset = db['Tilesets'][m.tileset_id]
  check(tileset, "map #{id}: tileset #{m.tileset_id} exists")
  layer0 = (0...m.width * m.height).map { |i| t.data[i] }
  check(layer0.any? { |v| (48...384).cover?(v) } && layer0.any? { |v| v >= 384 }, "map #{id}: layer 0 mixes autotiles and tiles")
  check(t.data[m.width * m.height..].any?(&:positive?), "map #{id}: layers 1-2 hold objects")
  check(t.data.all? { |v| v < tileset.passages.xsize }, "map #{id}: tile ids within the tileset's tables")
  check(m.bgm.is_a?(RPG::AudioFile) && m.bgs.is_a?(RPG::AudioFile), "map #{id}: @bgm and @bgs")
  check(m.encounter_list.is_a?(Array), "map #{id}: @encounter_list")
  m.events.each do |eid, ev|
    check(ev.is_a?(RPG::Event) && ev.id == eid, "map #{id} event #{eid}: RPG::Event with matching @id")
    check(ev.x.between?(0, m.width - 1) && ev.y.between?(0, m.height - 1), "map #{id} event #{eid}: inside the map")
    ev.pages.each do |pg|
      c = pg.condition
      g = pg.graphic
      check(pg.is_a?(RPG::Event::Page) && c.is_a?(RPG::Event::Page::Condition) && g.is_a?(RPG::Event::Page::Graphic),
            "map #{id} event #{eid}: page classes")
      page_kinds << :switch1 if c.switch1_valid
      page_kinds << :switch2 if c.switch2_valid
      page_kinds << :variable if c.variable_valid
      page_kinds << :self_switch if c.self_switch_valid
      page_kinds << :tile if g.tile_id >= 384
      page_kinds << :character if g.tile_id.zero? && !g.character_name.empty?
      page_kinds << :"trigger#{pg.trigger}"
      page_kinds << :"move#{pg.move_type}"
    end
  end
end
check(page_kinds.superset?(Set[:switch1, :switch2, :variable, :self_switch, :tile, :character]),
      "map page conditions and graphics: #{page_kinds.to_a.inspect}")
check(page_kinds.superset?(Set[:trigger0, :trigger1, :trigger2, :trigger3, :trigger4]), 'map pages use every trigger')

# ---------------------------------------------------------------- scripts

scripts = db['Scripts']
check(scripts.is_a?(Array) && scripts.all? { |s| s.is_a?(Array) && s.size == 3 && s[0].is_a?(Integer) && s[1].is_a?(String) },
      'Scripts: [id, title, data] triples')
texts = scripts.map do |s|
  check(s[2].start_with?("\x78\x9C".b), "script #{s[1]}: zlib stream with the default header")
  Zlib::Inflate.inflate(s[2]).force_encoding('UTF-8')
end
check(texts.all?(&:valid_encoding?), 'script texts are UTF-8')
check(texts.any?(&:empty?), 'one script with an empty text')
check(texts.any? { |t| t.lines.size >= 200 }, 'one long script')
check(texts.any? { |t| t =~ /#.*\p{Han}/ }, 'one script with Japanese comments')
check(scripts.any? { |s| s[1].include?('/') }, 'one script title with a slash')
check(manifest['scripts'].map { |h| [h['id'], h['title']] } == scripts.map { |s| [s[0], s[1]] }, 'manifest scripts')

# ---------------------------------------------------------------- project files

ini = File.binread(File.join(PROJECT, 'Game.ini'))
check(ini.lines.all? { |l| l.end_with?("\r\n") }, 'Game.ini lines end with CR LF')
ini_text = ini.dup.force_encoding('Shift_JIS')
check(ini_text.valid_encoding?, 'Game.ini is Shift_JIS')
ini_text = ini_text.encode('UTF-8')
%W[[Game] Library=RGSS102J.dll Scripts=Data\\Scripts.rxdata Title=#{manifest['title']} RTP1=Standard RTP2= RTP3=].each do |line|
  check(ini_text.lines.map(&:chomp).include?(line), "Game.ini has #{line}")
end
check(File.binread(File.join(PROJECT, 'Game.rxproj')).start_with?('RPGXP'), 'Game.rxproj names RPGXP')

# ---------------------------------------------------------------- resources

EXT = { 'Graphics' => %w[png jpg jpeg bmp], 'Audio' => %w[mid ogg wma mp3 wav] }.freeze
RTP_DIR = File.join(SAMPLE, manifest['rtp']['folder'])

def find(base, ref, ignore_case)
  rel = ref.tr('\\', '/')
  dir = File.join(base, File.dirname(rel))
  return nil unless File.directory?(dir)
  names = Dir.children(dir)
  EXT.fetch(rel.split('/').first).each do |ext|
    want = "#{File.basename(rel)}.#{ext}"
    hit = names.find { |n| ignore_case ? n.casecmp?(want) : n == want }
    return File.join(dir, hit) if hit && File.file?(File.join(dir, hit))
  end
  nil
end

refs = manifest['references']
refs['missing'].each do |r|
  check(!find(PROJECT, r, true) && !find(RTP_DIR, r, true), "missing on purpose, but found: #{r}")
end
refs['rtp_only'].each { |r| check(!find(PROJECT, r, true) && find(RTP_DIR, r, true), "RTP only: #{r}") }
refs['project_only'].each { |r| check(find(PROJECT, r, true) && !find(RTP_DIR, r, true), "project only: #{r}") }
refs['project_and_rtp'].each { |r| check(find(PROJECT, r, true) && find(RTP_DIR, r, true), "project and RTP: #{r}") }
check(refs['rtp_only'].any? { |r| (f = find(RTP_DIR, r, true)) && f.end_with?('.jpg') }, 'one RTP graphic only as .jpg')
check(!manifest['case_differing'].empty?, 'some names differ from their files in letter case')
manifest['case_differing'].each do |h|
  base = h['file'].start_with?('Project/') ? PROJECT : RTP_DIR
  check(!find(base, h['reference'], false) && File.file?(File.join(SAMPLE, h['file'])) &&
        find(base, h['reference'], true) == File.join(SAMPLE, h['file']),
        "case-differing name #{h['reference']} -> #{h['file']}")
end

# ---------------------------------------------------------------- pictures

def png_info(path)
  bytes = File.binread(path)
  return nil unless bytes.start_with?("\x89PNG\r\n\x1a\n".b)
  pos = 8
  info = { chunks: [] }
  while pos < bytes.bytesize
    len, type = bytes.byteslice(pos, 8).unpack('Na4')
    data = bytes.byteslice(pos + 8, len)
    crc = bytes.byteslice(pos + 8 + len, 4).unpack1('N')
    return nil unless crc == Zlib.crc32(type + data)
    info[:chunks] << type
    info[:width], info[:height], _depth, info[:color_type] = data.unpack('NNCC') if type == 'IHDR'
    pos += 12 + len
  end
  info
end

pictures = Dir.glob(File.join(SAMPLE, '**', 'Graphics', '**', '*')).select { |f| File.file?(f) }.sort
color_types = Set.new
pictures.select { |f| f.end_with?('.png') }.each do |f|
  info = png_info(f)
  next unless check(info, "#{f}: readable PNG with good CRCs")
  color_types << info[:color_type]
  color_types << :trns if info[:color_type] == 3 && info[:chunks].include?('tRNS')
end
check(color_types.superset?(Set[2, 3, 6, :trns]), 'PNGs in RGB, RGBA and palette with tRNS')
jpgs = pictures.select { |f| f.end_with?('.jpg') }
bmps = pictures.select { |f| f.end_with?('.bmp') }
check(jpgs.size == 1 && File.binread(jpgs[0], 2) == "\xFF\xD8".b, 'one JPEG')
check(bmps.size == 1 && File.binread(bmps[0], 2) == 'BM' && File.binread(bmps[0], 2, 28).unpack1('v') == 24, 'one 24-bit BMP')

size_of = ->(rel) { (i = png_info(File.join(SAMPLE, rel))) && [i[:width], i[:height]] }
{
  'Project/Graphics/Tilesets/sample_tiles.png' => [256, 512],
  'Project/Graphics/Autotiles/water.png' => [96, 128],
  'Project/Graphics/Autotiles/Waterfall.png' => [384, 128],
  'Project/Graphics/Autotiles/Flowers.png' => [256, 32],
  'Project/Graphics/Characters/hero.png' => [128, 192],
  'Project/Graphics/Characters/npc_small.png' => [96, 128],
  'Project/Graphics/Icons/Sword.png' => [24, 24]
}.each { |rel, wh| check(size_of.call(rel) == wh, "#{rel} is #{wh.join('x')}") }

# ---------------------------------------------------------------- files list

on_disk = Dir.glob(File.join(SAMPLE, '**', '*'), File::FNM_DOTMATCH).select { |f| File.file?(f) }
             .map { |f| f.delete_prefix("#{SAMPLE}/") }.sort
check(on_disk == manifest['files'].sort, "files on disk differ from the manifest: #{(on_disk - manifest['files']) | (manifest['files'] - on_disk)}")

if $failures.empty?
  puts "check_sample: OK (#{lists.size} command lists, #{maps.size} maps, #{pictures.size} pictures)"
  exit 0
else
  warn "check_sample: FAILED (#{$failures.size})"
  $failures.uniq.each { |f| warn "  #{f}" }
  exit 1
end

# encoding: ASCII-8BIT
# What the project check should report for a project, worked out with Ruby's own
# Marshal.load and nothing of the program under test: one line a finding,
#   kind<TAB>severity<TAB>place<TAB>subject
# (and for an unused file its size and "unused" or "maybe used"), with places and
# subjects written as the check writes them.
#
#   ZORVANE_COMMON_FILES=... ruby lint_expect.rb PROJECT_FILE
require 'zlib'
require_relative 'rtp_files'

project = ARGV.shift or abort 'usage: lint_expect.rb PROJECT_FILE'
FOLDER = File.dirname(project)
TABLES = {}
def table(name) = (TABLES[name] ||= data(FOLDER, name) || [])
def named(r) = iv(r, :@name).to_s.b
def with_name(text, name) = name.empty? ? text : "#{text}:#{name.b}"
def at(place, page, line) = place + (page.positive? ? " ページ#{page}" : '') + (line.positive? ? " 行#{line}" : '')

OUT = []
def report(kind, severity, place, subject, *extra)
  OUT << [kind, severity, place, subject, *extra].map { |x| x.to_s.b }.join("\t")
end

system = data(FOLDER, 'System.rxdata')
common_events = table('CommonEvents.rxdata')
map_infos = data(FOLDER, 'MapInfos.rxdata') || {}
scripts = (table('Scripts.rxdata')).map { |s| Zlib::Inflate.inflate(s[2]).force_encoding('BINARY') }.join("\n")

# Every event list in the check's order: [owner place text, page, list, [map, event] or nil].
lists = []
(1...common_events.size).each do |id|
  e = common_events[id] or next
  lists << [with_name(format('コモンイベント%03d', id), named(e)), 0, iv(e, :@list), nil, e, id]
end
troops = table('Troops.rxdata')
(1...troops.size).each do |id|
  t = troops[id] or next
  (iv(t, :@pages) || []).each_with_index do |pg, i|
    lists << [with_name(format('トループ%03d', id), named(t)), i + 1, iv(pg, :@list), nil, pg, id]
  end
end
maps = {}
map_infos.keys.select(&:positive?).sort.each do |map_id|
  map = data(FOLDER, format('Map%03d.rxdata', map_id)) or next
  maps[map_id] = map
  iv(map, :@events).keys.sort.each do |event_id|
    event = iv(map, :@events)[event_id]
    iv(event, :@pages).each_with_index do |pg, i|
      lists << [with_name(format('マップ%03d イベント%03d', map_id, event_id), named(event)), i + 1,
                iv(pg, :@list), [map_id, event_id], pg, map_id]
    end
  end
end

# Switches and variables: [id] => {read:, written:, read_at:, written_at:}.
uses = { sw: Hash.new { |h, k| h[k] = {} }, var: Hash.new { |h, k| h[k] = {} } }
use = lambda do |kind, first, last, how, place|
  (([first, last].min)..([first, last].max)).each do |id|
    u = uses[kind][id]
    u[:"#{how}_at"] ||= place
    u[how] = true
  end
end
(1...common_events.size).each do |id|
  e = common_events[id] or next
  use.call(:sw, iv(e, :@switch_id), iv(e, :@switch_id), :read, with_name(format('コモンイベント%03d', id), named(e))) if [1, 2].include?(iv(e, :@trigger))
end
enemies = table('Enemies.rxdata')
(1...enemies.size).each do |id|
  (iv(enemies[id], :@actions) || []).each do |a|
    s = iv(a, :@condition_switch_id)
    use.call(:sw, s, s, :read, with_name(format('エネミー%03d', id), named(enemies[id]))) if s.positive?
  end
end

VARIABLE_OPERANDS = { 125 => [1, [2]], 126 => [2, [3]], 127 => [2, [3]], 128 => [2, [3]], 311 => [2, [3]],
                      312 => [2, [3]], 315 => [2, [3]], 316 => [2, [3]], 331 => [2, [3]], 332 => [2, [3]],
                      338 => [2, [3]], 317 => [3, [4]], 201 => [0, [1, 2, 3]], 202 => [1, [2, 3]],
                      231 => [3, [4, 5]], 232 => [3, [4, 5]] }.freeze
self_reads = Hash.new { |h, k| h[k] = [] }
self_sets = Hash.new { |h, k| h[k] = [] }
common_sets = []
calls = []
transfers = []
lists.each do |owner, page, list, event, pg, owner_id|
  place = at(owner, page, 0)
  c = iv(pg, :@condition)
  if event
    use.call(:sw, iv(c, :@switch1_id), iv(c, :@switch1_id), :read, place) if iv(c, :@switch1_valid)
    use.call(:sw, iv(c, :@switch2_id), iv(c, :@switch2_id), :read, place) if iv(c, :@switch2_valid)
    use.call(:var, iv(c, :@variable_id), iv(c, :@variable_id), :read, place) if iv(c, :@variable_valid)
    self_reads[event] << [iv(c, :@self_switch_ch), place] if iv(c, :@self_switch_valid)
  elsif c && iv(c, :@switch_valid)
    use.call(:sw, iv(c, :@switch_id), iv(c, :@switch_id), :read, place)
  end
  labels = []
  jumps = []
  (list || []).each_with_index do |cmd, k|
    line = at(owner, page, k + 1)
    p = iv(cmd, :@parameters) || []
    code = iv(cmd, :@code)
    case code
    when 111
      use.call(:sw, p[1], p[1], :read, line) if p[0] == 0
      (use.call(:var, p[1], p[1], :read, line); use.call(:var, p[3], p[3], :read, line) if p[2] == 1) if p[0] == 1
      self_reads[event] << [p[1], line] if p[0] == 2 && event
      scripts << "\n" << p[1].b if p[0] == 12
    when 103, 105 then use.call(:var, p[0], p[0], :written, line)
    when 121 then use.call(:sw, p[0], p[1], :written, line)
    when 122
      use.call(:var, p[0], p[1], :written, line)
      use.call(:var, p[4], p[4], :read, line) if p[3] == 1
    when 123
      common_sets << p[0] if event.nil? && owner.start_with?('コモン')
      self_sets[event] << p[0] if event
    when 117 then calls << [p[0], line]
    when 118 then labels << p[0]
    when 119 then jumps << [p[0], line]
    when 355, 655 then scripts << "\n" << p[0].b
    when 509
      move = iv(p[0], :@parameters) || []
      use.call(:sw, move[0], move[0], :written, line) if [27, 28].include?(iv(p[0], :@code))
      scripts << "\n" << move[0].b if iv(p[0], :@code) == 45
    end
    if (operands = VARIABLE_OPERANDS[code]) && p[operands[0]] == 1
      operands[1].each { |i| use.call(:var, p[i], p[i], :read, line) }
    end
    transfers << [p[1], p[2], p[3], line] if code == 201 && p[0] == 0 && p.size >= 4
    transfers << [owner_id, p[2], p[3], line] if code == 202 && p[1] == 0 && event && p.size >= 4
  end
  jumps.each { |name, line| report(5, 'warning', line, "ラベル「#{name.b}」") unless labels.include?(name) }
end

def literal_ids(text, prefix) = text.scan(/#{Regexp.escape(prefix)} *(\d+) *\]/).map { |m| m[0].to_i }

# 1: switches and variables.
[[:sw, :@switches, 'スイッチ', '$game_switches['], [:var, :@variables, '変数', '$game_variables[']].each do |kind, names_at, word, prefix|
  names = iv(system, names_at) || []
  in_scripts = literal_ids(scripts, prefix)
  ids = (uses[kind].keys + in_scripts + (1...names.size).reject { |i| names[i].to_s.empty? }).uniq.select(&:positive?)
  ids.each do |id|
    u = uses[kind].fetch(id, {})
    script = in_scripts.include?(id)
    name = id < names.size ? names[id].to_s.b : '(Warning:Array Overflow)'
    subject = format("#{word}[%04d:%s]", id, name)
    report(1, 'warning', u[:read_at], subject) if u[:read] && !u[:written] && !script
    report(1, 'note', u[:written_at], subject) if u[:written] && !u[:read] && !script
    used = u[:read] || u[:written] || script
    report(1, 'note', u[:read_at] || u[:written_at] || 'システム', subject) if used && names[id].to_s.empty?
    report(1, 'note', 'システム', subject) if !used && !names[id].to_s.empty?
  end
end

# 2: self switches.
self_severity = scripts.include?('$game_self_switches[[') ? 'note' : 'warning'
self_reads.each do |event, reads|
  reads.uniq(&:first).each do |letter, place|
    next if self_sets[event].include?(letter) || common_sets.include?(letter)
    report(2, self_severity, place, "セルフスイッチ#{letter}")
  end
end

# 3: common events.
calls.each { |id, line| report(3, 'error', line, format('コモンイベント%03d', id)) unless id.between?(1, common_events.size - 1) }
called = calls.map(&:first) + (table('Items.rxdata') + table('Skills.rxdata')).compact.map { |r| iv(r, :@common_event_id) }
lower = scripts.downcase
called += lower.scan(/common_?event(?:_id)?[ =(\[]*(\d+)/).map { |m| m[0].to_i } + literal_ids(scripts, '$data_common_events[')
switches_in_scripts = literal_ids(scripts, '$game_switches[')
(1...common_events.size).each do |id|
  e = common_events[id] or next
  next if (iv(e, :@list) || []).all? { |c| iv(c, :@code).zero? } || called.include?(id)
  s = iv(e, :@switch_id)
  next if [1, 2].include?(iv(e, :@trigger)) && (uses[:sw].fetch(s, {})[:written] || switches_in_scripts.include?(s))
  report(3, 'note', with_name(format('コモンイベント%03d', id), named(e)), format('コモンイベント[%03d:%s]', id, named(e)))
end

# 4: transfers.
transfers.each do |map_id, x, y, line|
  subject = format('マップ%03d (%d,%d)', map_id, x, y)
  map = maps[map_id] || (data(FOLDER, format('Map%03d.rxdata', map_id)) if map_id.positive?)
  next report(4, 'error', line, subject) unless map
  report(4, 'error', line, subject) unless x.between?(0, iv(map, :@width) - 1) && y.between?(0, iv(map, :@height) - 1)
end

# 6: ids beyond their tables.
size = ->(file) { table(file).size }
beyond = ->(v, file) { v != 0 && !(v.positive? && v < size.call(file)) }
check = lambda do |word, file, fields|
  records = table(file)
  (1...records.size).each do |id|
    r = records[id] or next
    subject = with_name(format("#{word}%03d", id), named(r))
    fields.call(r).each { |v, target| report(6, 'error', subject, subject) if beyond.call(v, target) }
  end
end
anim = 'Animations.rxdata'
states = ->(r, *keys) { keys.flat_map { |k| (iv(r, k) || []).map { |v| [v, 'States.rxdata'] } } }
check.call('アクター', 'Actors.rxdata', ->(a) { [[iv(a, :@class_id), 'Classes.rxdata'], [iv(a, :@weapon_id), 'Weapons.rxdata']] + (1..4).map { |n| [iv(a, :"@armor#{n}_id"), 'Armors.rxdata'] } })
check.call('クラス', 'Classes.rxdata', ->(c) { iv(c, :@weapon_set).map { |v| [v, 'Weapons.rxdata'] } + iv(c, :@armor_set).map { |v| [v, 'Armors.rxdata'] } + iv(c, :@learnings).map { |l| [iv(l, :@skill_id), 'Skills.rxdata'] } })
%w[スキル Skills.rxdata アイテム Items.rxdata].each_slice(2) do |word, file|
  check.call(word, file, ->(r) { [[iv(r, :@animation1_id), anim], [iv(r, :@animation2_id), anim], [iv(r, :@common_event_id), 'CommonEvents.rxdata']] + states.call(r, :@plus_state_set, :@minus_state_set) })
end
check.call('武器', 'Weapons.rxdata', ->(r) { [[iv(r, :@animation1_id), anim], [iv(r, :@animation2_id), anim]] + states.call(r, :@plus_state_set, :@minus_state_set) })
check.call('防具', 'Armors.rxdata', ->(r) { [[iv(r, :@auto_state_id), 'States.rxdata']] + states.call(r, :@guard_state_set) })
check.call('ステート', 'States.rxdata', ->(r) { [[iv(r, :@animation_id), anim]] + states.call(r, :@plus_state_set, :@minus_state_set) })
check.call('エネミー', 'Enemies.rxdata', ->(r) { [[iv(r, :@animation1_id), anim], [iv(r, :@animation2_id), anim], [iv(r, :@item_id), 'Items.rxdata'], [iv(r, :@weapon_id), 'Weapons.rxdata'], [iv(r, :@armor_id), 'Armors.rxdata']] + iv(r, :@actions).select { |a| iv(a, :@kind) == 1 }.map { |a| [iv(a, :@skill_id), 'Skills.rxdata'] } })
check.call('トループ', 'Troops.rxdata', ->(r) { iv(r, :@members).map { |m| [iv(m, :@enemy_id), 'Enemies.rxdata'] } })

# 7: files. Missing ones at every place that names them; unused ones below Graphics/ and Audio/.
ini = File.binread(find_nocase(FOLDER, ['Game.ini']))
bases = [FOLDER] + (1..3).map { |n| ini[/^RTP#{n}=([^\r\n]*)/, 1].to_s }.map { |n| n.empty? ? nil : File.join(ENV.fetch('ZORVANE_COMMON_FILES'), 'Enterbrain', 'RGSS', n) }
used = []
name_at = lambda do |place|
  lambda do |dir, name|
    next unless name.is_a?(String) && !name.empty?
    used << (dir + name).b
    report(7, 'error', place, (dir + name).b) unless resolve(dir + name, bases)
  end
end
sound = ->(r, key) { iv(iv(r, key), :@name) }
DB_FILES = [
  ['アクター', 'Actors.rxdata', ->(r) { [['Graphics\\Characters\\', iv(r, :@character_name)], ['Graphics\\Battlers\\', iv(r, :@battler_name)]] }],
  ['スキル', 'Skills.rxdata', ->(r) { [['Graphics\\Icons\\', iv(r, :@icon_name)], ['Audio\\SE\\', sound.call(r, :@menu_se)]] }],
  ['アイテム', 'Items.rxdata', ->(r) { [['Graphics\\Icons\\', iv(r, :@icon_name)], ['Audio\\SE\\', sound.call(r, :@menu_se)]] }],
  ['武器', 'Weapons.rxdata', ->(r) { [['Graphics\\Icons\\', iv(r, :@icon_name)]] }],
  ['防具', 'Armors.rxdata', ->(r) { [['Graphics\\Icons\\', iv(r, :@icon_name)]] }],
  ['エネミー', 'Enemies.rxdata', ->(r) { [['Graphics\\Battlers\\', iv(r, :@battler_name)]] }],
  ['アニメーション', 'Animations.rxdata', ->(r) { [['Graphics\\Animations\\', iv(r, :@animation_name)]] + (iv(r, :@timings) || []).map { |t| ['Audio\\SE\\', sound.call(t, :@se)] } }],
  ['タイルセット', 'Tilesets.rxdata', lambda do |r|
    [['Graphics\\Tilesets\\', iv(r, :@tileset_name)], ['Graphics\\Panoramas\\', iv(r, :@panorama_name)], ['Graphics\\Fogs\\', iv(r, :@fog_name)],
     ['Graphics\\Battlebacks\\', iv(r, :@battleback_name)]] + (iv(r, :@autotile_names) || []).map { |n| ['Graphics\\Autotiles\\', n] }
  end]
].freeze
DB_FILES.each do |word, file, fields|
  table(file).each_with_index { |r, i| fields.call(r).each { |dir, name| name_at.call(word).call(dir, name) } if i.positive? && r }
end
SYSTEM_PICTURES.each { |k, dir| name_at.call('システム').call(dir, iv(system, k)) }
SYSTEM_SOUNDS.each { |dir, keys| keys.each { |k| name_at.call('システム').call(dir, iv(iv(system, k), :@name)) } }
lists.each do |owner, page, list, event, pg, _|
  g = iv(pg, :@graphic)
  name_at.call(at(owner, page, 0)).call('Graphics\\Characters\\', iv(g, :@character_name)) if event && iv(g, :@tile_id).to_i.zero?
  (list || []).each_with_index { |cmd, k| command_names([cmd], name_at.call(at(owner, page, k + 1))) }
end
maps.each do |map_id, map|
  place = with_name(format('マップ%03d', map_id), iv(map_infos[map_id], :@name).to_s.b)
  name_at.call(place).call('Audio\\BGM\\', iv(iv(map, :@bgm), :@name)) if iv(map, :@autoplay_bgm)
  name_at.call(place).call('Audio\\BGS\\', iv(iv(map, :@bgs), :@name)) if iv(map, :@autoplay_bgs)
end
used = used.map { |n| n.downcase.tr('/', '\\') }
lower = scripts.downcase
outside = ['io.read', 'file.read', 'require ', 'require(', 'require_relative'].any? { |c| lower.include?(c) }
%w[Graphics Audio].each do |top|
  base = find_nocase(FOLDER, [top]) or next
  Dir.glob('**/*', base: base).sort.each do |relative|
    path = File.join(base, relative)
    next unless File.file?(path) && !File.symlink?(path)
    stem = File.join(top, relative).sub(/\.[^.\/]*\z/, '')
    next if used.include?(stem.downcase.tr('/', '\\'))
    maybe = outside || lower.include?(File.basename(stem).downcase)
    report(7, 'note', '', File.join(top, relative), File.size(path), maybe ? 'maybe used' : 'unused')
  end
end
puts OUT.sort

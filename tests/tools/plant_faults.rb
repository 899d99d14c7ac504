# Plants one mistake of each kind the project check looks for into a copy of the sample
# project, with Ruby's own Marshal (load, change, dump), and prints where each one is:
#   kind<TAB>severity<TAB>place<TAB>subject      (place as the check writes it)
#
#   ruby plant_faults.rb PROJECT_FOLDER
#
# The mistakes go at the end of the first page of map 1's first event, before its closing
# command: a branch on a named switch that nothing turns on, a branch on self switch C (no command anywhere sets C), a
# call of a common event beyond the table, a transfer to a map with no file, a jump to a
# label that does not exist and a picture whose file is missing. Skill 1 names a common
# event beyond the table (the first skill that names none), and an extra picture lies in Graphics/Pictures unused.

require_relative '../support/marshal_stubs'

folder = ARGV[0]
data = ->(name) { File.join(folder, 'Data', name) }
save = ->(name, value) { save_data(data.call(name), value) }

system = load_data(data.call('System.rxdata'))
switches = iv(system, :@switches)
switch = switches.size - 1
switch -= 1 while switch > 1 && !switches[switch].to_s.empty?
switches[switch] = '植えたスイッチ'
save.call('System.rxdata', system)

common_events = load_data(data.call('CommonEvents.rxdata'))
beyond_common = common_events.size + 5
skills = load_data(data.call('Skills.rxdata'))
skill_id = (1...skills.size).find { |i| iv(skills[i], :@common_event_id).zero? }
skills[skill_id].instance_variable_set(:@common_event_id, common_events.size + 10)
save.call('Skills.rxdata', skills)

map = load_data(data.call('Map001.rxdata'))
events = iv(map, :@events)
event_id = events.keys.min
event = events[event_id]
list = iv(iv(event, :@pages)[0], :@list)
command_class = list[0].class
planted = [[111, [0, switch, 0]], [412, []], [111, [2, 'C', 0]], [412, []], [117, [beyond_common]],
           [201, [0, 999, 3, 4, 2, 0]], [119, ['植えたラベル']],
           [231, [9, 'planted_missing', 0, 0, 0, 0, 100, 100, 255, 0]]]
at = list.size - 1
lines = {}
planted.each_with_index do |(code, params), i|
  cmd = command_class.allocate
  cmd.instance_variable_set(:@code, code)
  cmd.instance_variable_set(:@indent, 0)
  cmd.instance_variable_set(:@parameters, params)
  list.insert(at + i, cmd)
  lines[code] ||= []
  lines[code] << at + i + 1
end
save.call('Map001.rxdata', map)
unused = File.join(folder, 'Graphics', 'Pictures', 'planted_unused.png')
File.binwrite(unused, File.binread(Dir[File.join(folder, 'Graphics', 'Pictures', '*.png')].min))

name = iv(event, :@name)
where = ->(line) { format('マップ001 イベント%03d', event_id) + (name.to_s.empty? ? '' : ":#{name}") + " ページ1 行#{line}" }
skill_name = iv(skills[skill_id], :@name)
puts ["1\twarning\t#{where.call(lines[111][0])}\tスイッチ[#{format('%04d', switch)}:植えたスイッチ]",
      "2\twarning\t#{where.call(lines[111][1])}\tセルフスイッチC",
      "3\terror\t#{where.call(lines[117][0])}\tコモンイベント#{format('%03d', beyond_common)}",
      "4\terror\t#{where.call(lines[201][0])}\tマップ999 (3,4)",
      "5\twarning\t#{where.call(lines[119][0])}\tラベル「植えたラベル」",
      "6\terror\tスキル#{format('%03d', skill_id)}:#{skill_name}\tスキル#{format('%03d', skill_id)}:#{skill_name}",
      "7\terror\t#{where.call(lines[231][0])}\tGraphics\\Pictures\\planted_missing",
      "7\tnote\t\tGraphics/Pictures/planted_unused.png\t#{File.size(unused)}\tunused"]

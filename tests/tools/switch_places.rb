# Lists, with Ruby's own Marshal.load, every place where given switches are operated or
# referenced in a project's event commands: Control Switches (one id or a range),
# Conditional Branch on a switch, and the Switch ON/OFF lines of move routes.
#
#   ruby switch_places.rb PROJECT_FILE ID...   lines "switch,area,id,page,line"
#   ruby switch_places.rb PROJECT_FILE --used  every switch id those commands name, one a line
#
# area: 0 common event (id = its id, page 0), 1 troop (id = troop id), 2 map event
# (id = "map:event"); pages and lines count from 1. Classes the data names are defined on
# the fly, so nothing of the program under test is used.
require_relative '../support/marshal_stubs'

# Yields [switch id or range, line] for each command of a list that names switches.
def switch_commands(list)
  return unless list.is_a?(Array)
  list.each_with_index do |cmd, k|
    code = iv(cmd, :@code)
    p = iv(cmd, :@parameters) || []
    case code
    when 121 then yield((p[0]..p[1]).minmax, k + 1) if p.size >= 2
    when 111 then yield([p[1], p[1]], k + 1) if p[0] == 0 && p.size >= 2
    when 509
      move = p[0]
      next unless move && [27, 28].include?(iv(move, :@code))
      id = (iv(move, :@parameters) || [])[0]
      yield([id, id], k + 1) if id
    end
  end
end

# Every command list of the project with its place: [area, id, page, list].
def each_list(folder)
  if (path = data_file(folder, 'CommonEvents.rxdata'))
    events = load_data(path)
    (1...events.size).each { |i| yield 0, i.to_s, 0, iv(events[i], :@list) if events[i] } if events.is_a?(Array)
  end
  if (path = data_file(folder, 'Troops.rxdata'))
    troops = load_data(path)
    if troops.is_a?(Array)
      (1...troops.size).each do |i|
        next unless troops[i]
        (iv(troops[i], :@pages) || []).each_with_index { |pg, p| yield 1, i.to_s, p + 1, iv(pg, :@list) }
      end
    end
  end
  infos_path = data_file(folder, 'MapInfos.rxdata')
  infos = infos_path ? load_data(infos_path) : {}
  return unless infos.is_a?(Hash)
  infos.keys.select { |id| id.is_a?(Integer) && id > 0 }.sort.each do |map_id|
    path = data_file(folder, format('Map%03d.rxdata', map_id))
    next unless path
    map = load_data(path)
    (iv(map, :@events) || {}).each do |event_id, event|
      (iv(event, :@pages) || []).each_with_index do |pg, p|
        yield 2, "#{map_id}:#{event_id}", p + 1, iv(pg, :@list)
      end
    end
  end
end

project = ARGV.shift or abort 'usage: switch_places.rb PROJECT_FILE (ID...|--used)'
folder = File.dirname(project)
if ARGV == ['--used']
  used = []
  each_list(folder) { |*, list| switch_commands(list) { |(first, last), _| used << first << last } }
  puts used.compact.select { |id| id > 0 }.uniq.sort
else
  ids = ARGV.map(&:to_i)
  each_list(folder) do |area, id, page, list|
    switch_commands(list) do |(first, last), line|
      ids.each { |s| puts [s, area, id, page, line].join(',') if first <= s && s <= last }
    end
  end
end

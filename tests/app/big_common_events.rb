# Writes a CommonEvents.rxdata with many common events for the window tests that need a
# long search: every 20th command of each list is Control Switches on switch 1, the others
# on switch 2. With MODE "text" every command is a message line of many a's and a c
# instead, which a backtracking pattern takes long to reject.
# Usage: ruby big_common_events.rb OUT EVENTS COMMANDS [MODE]
module RPG
  class EventCommand
    def initialize(code, indent, parameters)
      @code = code
      @indent = indent
      @parameters = parameters
    end
  end

  class CommonEvent
    def initialize(id, list)
      @id = id
      @name = format('CE%04d', id)
      @trigger = 0
      @switch_id = 1
      @list = list
    end
  end
end

out, events, commands, mode = ARGV[0], ARGV[1].to_i, ARGV[2].to_i, ARGV[3]
all = [nil]
(1..events).each do |id|
  list = (0...commands).map do |k|
    next RPG::EventCommand.new(101, 0, [('a' * 20) + 'c']) if mode == 'text'

    switch = (k % 20).zero? ? 1 : 2
    RPG::EventCommand.new(121, 0, [switch, switch, 0])
  end
  list << RPG::EventCommand.new(0, 0, [])
  all << RPG::CommonEvent.new(id, list)
end
File.binwrite(out, Marshal.dump(all))

# Edits data files with Ruby's own Marshal, for the tests of textconv and diff. Classes the
# data names are defined on the fly; packed values keep their bytes (marshal_stubs.rb).
#
#   message  MAPFILE EVENT TEXT    first message line of the event's first page := TEXT
#   switch   SYSTEMFILE ID NAME    switch ID's name := NAME
#   copy-event MAPFILE FROM TO     event TO := a copy of event FROM (id and name changed)
#   remove-event MAPFILE ID        event ID removed
#   common-message FILE ID TEXT    first message line of common event ID := TEXT
#   common-trigger FILE ID TRIGGER SWITCH   trigger and condition switch of common event ID
#   share-list FILE FROM TO        common event TO's list := common event FROM's list object
#                                  (one object twice: Marshal writes a link the second time)
#   shuffle  FILE                  every object's variables and every hash in reverse order
#   name     FILE ID               prints the name of entry ID of an array or hash file
#   rename   FILE ID NAME          the name of entry ID of an array or hash file := NAME
#   bookkeeping FILE               what a save changes by itself: System's save counter and
#                                  edited map, each map info's scroll position and fold
# Editing commands print the text they replaced.
require_relative '../support/marshal_stubs'

def first_message(list)
  list.find { |c| iv(c, :@code) == 101 } or abort 'no message'
end

def replace_message(list, text)
  params = iv(first_message(list), :@parameters)
  puts params[0]
  params[0] = text
end

def reversed(value, seen = {})
  return value if seen[value.object_id]
  seen[value.object_id] = true
  case value
  when Array then value.each { |v| reversed(v, seen) }
  when Hash
    pairs = value.to_a.reverse
    value.clear
    pairs.each { |k, v| value[k] = reversed(v, seen) }
  when String, Numeric, Symbol, true, false, nil, Packed then nil
  else
    ivars = value.instance_variables.map { |n| [n, iv(value, n)] }
    ivars.each { |n, _| value.remove_instance_variable(n) }
    ivars.reverse_each { |n, v| value.instance_variable_set(n, reversed(v, seen)) }
  end
  value
end

command, path, *args = ARGV
data = load_data(path)
case command
when 'message'
  event = iv(data, :@events)[args[0].to_i]
  replace_message(iv(iv(event, :@pages)[0], :@list), args[1])
when 'common-message'
  replace_message(iv(data[args[0].to_i], :@list), args[1])
when 'share-list'
  data[args[1].to_i].instance_variable_set(:@list, iv(data[args[0].to_i], :@list))
when 'common-trigger'
  event = data[args[0].to_i]
  event.instance_variable_set(:@trigger, args[1].to_i)
  event.instance_variable_set(:@switch_id, args[2].to_i)
when 'switch'
  switches = iv(data, :@switches)
  puts switches[args[0].to_i]
  switches[args[0].to_i] = args[1]
when 'copy-event'
  events = iv(data, :@events)
  copy = Marshal.load(Marshal.dump(events[args[0].to_i]))
  copy.instance_variable_set(:@id, args[1].to_i)
  copy.instance_variable_set(:@name, "copy of #{iv(copy, :@name)}")
  events[args[1].to_i] = copy
when 'remove-event'
  iv(data, :@events).delete(args[0].to_i) or abort 'no such event'
when 'rename'
  data[args[0].to_i].instance_variable_set(:@name, args[1])
when 'bookkeeping'
  if data.is_a?(Hash)
    data.each_value do |info|
      info.instance_variable_set(:@scroll_x, iv(info, :@scroll_x) + 32)
      info.instance_variable_set(:@expanded, !iv(info, :@expanded))
    end
  else
    data.instance_variable_set(:@magic_number, iv(data, :@magic_number) + 1)
    data.instance_variable_set(:@edit_map_id, iv(data, :@edit_map_id) + 1)
  end
when 'shuffle'
  reversed(data)
when 'name'
  puts iv(data[args[0].to_i], :@name)
  exit
else
  abort "unknown command #{command}"
end
save_data(path, data)

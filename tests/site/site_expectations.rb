# What a site of a project must show, read with Ruby's own Marshal and nothing of the
# program under test, as JSON on standard output:
#   maps:    { map id => [[event id, x, y, page count], ...] in id order } for every map
#            file that MapInfos names
#   message: [common event id, text] of the first Show Text line of the common events
#
#   ruby site_expectations.rb PROJECT_FOLDER
require 'json'
require_relative '../support/marshal_stubs'

folder = ARGV.fetch(0)
maps = {}
infos = load_data(data_file(folder, 'MapInfos.rxdata'))
infos.keys.select { |id| id.is_a?(Integer) && id > 0 }.sort.each do |id|
  path = data_file(folder, format('Map%03d.rxdata', id))
  next unless path
  events = iv(load_data(path), :@events) || {}
  maps[id] = events.keys.sort.map do |eid|
    e = events[eid]
    [eid, iv(e, :@x), iv(e, :@y), (iv(e, :@pages) || []).size]
  end
end

message = nil
commons = load_data(data_file(folder, 'CommonEvents.rxdata'))
commons.each_with_index do |ce, id|
  next if ce.nil? || message
  (iv(ce, :@list) || []).each do |cmd|
    text = (iv(cmd, :@parameters) || [])[0]
    if iv(cmd, :@code) == 101 && text.is_a?(String) && !text.empty?
      message = [id, text.force_encoding('UTF-8')]
      break
    end
  end
end

puts JSON.generate({ 'maps' => maps, 'message' => message })

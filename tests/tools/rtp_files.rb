# Lists, with Ruby's own Marshal.load, the RTP files a project uses: every graphic and
# audio name of the database, of the event commands that name files, of the maps' music
# and of the map pages' graphics, kept when the game folder lacks it and an RTP folder of
# Game.ini (under $ZORVANE_COMMON_FILES/Enterbrain/RGSS) holds it.
#
#   ruby rtp_files.rb PROJECT_FILE          lines "relative<TAB>found path", in byte order
#   ruby rtp_files.rb PROJECT_FILE --used   every name the project uses, in byte order
require_relative '../support/marshal_stubs'

def data(folder, name)
  path = data_file(folder, name)
  path && load_data(path)
end

EXTENSIONS = { 'graphics' => %w[png jpg jpeg bmp], 'audio' => %w[mid ogg wma mp3 wav] }.freeze

# [base index, path] of the first base holding the name, or nil.
def resolve(relative, bases)
  parts = relative.split('\\')
  exts = EXTENSIONS[parts.first.downcase] || [nil]
  bases.each_with_index do |base, i|
    next if base.nil?
    exts.each do |ext|
      name = ext ? "#{parts.last}.#{ext}" : parts.last
      path = find_nocase(base, parts[0...-1] + [name])
      return [i, path] if path && File.file?(path)
    end
  end
  nil
end

SYSTEM_PICTURES = { :@windowskin_name => 'Graphics\\Windowskins\\', :@title_name => 'Graphics\\Titles\\',
                    :@gameover_name => 'Graphics\\Gameovers\\', :@battle_transition => 'Graphics\\Transitions\\' }.freeze
SYSTEM_SOUNDS = { 'Audio\\BGM\\' => %i[@title_bgm @battle_bgm], 'Audio\\ME\\' => %i[@battle_end_me @gameover_me],
                  'Audio\\SE\\' => %i[@cursor_se @decision_se @cancel_se @buzzer_se @equip_se @shop_se @save_se
                                      @load_se @battle_start_se @escape_se @actor_collapse_se @enemy_collapse_se] }.freeze

def database_names(folder, add)
  records = ->(file) { (data(folder, file) || [])[1..]&.compact || [] }
  records.call('Actors.rxdata').each do |a|
    add.call('Graphics\\Characters\\', iv(a, :@character_name))
    add.call('Graphics\\Battlers\\', iv(a, :@battler_name))
  end
  %w[Skills.rxdata Items.rxdata Weapons.rxdata Armors.rxdata].each do |file|
    records.call(file).each do |r|
      add.call('Graphics\\Icons\\', iv(r, :@icon_name))
      add.call('Audio\\SE\\', iv(iv(r, :@menu_se), :@name)) if file == 'Skills.rxdata' || file == 'Items.rxdata'
    end
  end
  records.call('Enemies.rxdata').each { |e| add.call('Graphics\\Battlers\\', iv(e, :@battler_name)) }
  records.call('Animations.rxdata').each do |a|
    add.call('Graphics\\Animations\\', iv(a, :@animation_name))
    (iv(a, :@timings) || []).each { |t| add.call('Audio\\SE\\', iv(iv(t, :@se), :@name)) }
  end
  records.call('Tilesets.rxdata').each do |t|
    { :@tileset_name => 'Tilesets', :@panorama_name => 'Panoramas', :@fog_name => 'Fogs',
      :@battleback_name => 'Battlebacks' }.each { |k, dir| add.call("Graphics\\#{dir}\\", iv(t, k)) }
    (iv(t, :@autotile_names) || []).each { |n| add.call('Graphics\\Autotiles\\', n) }
  end
  system = data(folder, 'System.rxdata')
  SYSTEM_PICTURES.each { |k, dir| add.call(dir, iv(system, k)) }
  SYSTEM_SOUNDS.each { |dir, keys| keys.each { |k| add.call(dir, iv(iv(system, k), :@name)) } }
end

AUDIO_COMMANDS = { 132 => 'BGM', 241 => 'BGM', 245 => 'BGS', 133 => 'ME', 249 => 'ME', 250 => 'SE' }.freeze
MAP_SETTINGS = %w[Panoramas Fogs Battlebacks].freeze

def command_names(list, add)
  (list || []).each do |cmd|
    p = iv(cmd, :@parameters) || []
    case (code = iv(cmd, :@code))
    when 131 then add.call('Graphics\\Windowskins\\', p[0])
    when *AUDIO_COMMANDS.keys then add.call("Audio\\#{AUDIO_COMMANDS[code]}\\", iv(p[0], :@name))
    when 204 then add.call("Graphics\\#{MAP_SETTINGS[p[0]]}\\", p[1]) if MAP_SETTINGS[p[0]]
    when 222 then add.call('Graphics\\Transitions\\', p[0])
    when 231 then add.call('Graphics\\Pictures\\', p[1])
    when 322
      add.call('Graphics\\Characters\\', p[1])
      add.call('Graphics\\Battlers\\', p[3])
    when 509
      move = iv(p[0], :@parameters) || []
      add.call('Graphics\\Characters\\', move[0]) if iv(p[0], :@code) == 41
      add.call('Audio\\SE\\', iv(move[0], :@name)) if iv(p[0], :@code) == 44
    end
  end
end

def event_names(folder, add)
  (data(folder, 'CommonEvents.rxdata') || [])[1..]&.compact&.each { |e| command_names(iv(e, :@list), add) }
  (data(folder, 'Troops.rxdata') || [])[1..]&.compact&.each do |t|
    (iv(t, :@pages) || []).each { |pg| command_names(iv(pg, :@list), add) }
  end
  (data(folder, 'MapInfos.rxdata') || {}).keys.select { |id| id > 0 }.each do |id|
    map = data(folder, format('Map%03d.rxdata', id)) or next
    add.call('Audio\\BGM\\', iv(iv(map, :@bgm), :@name)) if iv(map, :@autoplay_bgm)
    add.call('Audio\\BGS\\', iv(iv(map, :@bgs), :@name)) if iv(map, :@autoplay_bgs)
    (iv(map, :@events) || {}).each_value do |event|
      (iv(event, :@pages) || []).each do |pg|
        g = iv(pg, :@graphic)
        add.call('Graphics\\Characters\\', iv(g, :@character_name)) if iv(g, :@tile_id).to_i.zero?
        command_names(iv(pg, :@list), add)
      end
    end
  end
end

return unless __FILE__ == $PROGRAM_NAME

project = ARGV.shift or abort 'usage: rtp_files.rb PROJECT_FILE'
folder = File.dirname(project)
names = []
add = ->(dir, name) { names << (dir + name).b if name.is_a?(String) && !name.empty? }
database_names(folder, add)
event_names(folder, add)
if ARGV == ['--used']
  puts names.uniq.sort
  exit
end
ini = File.binread(find_nocase(folder, ['Game.ini']))
rtp = (1..3).map { |n| ini[/^RTP#{n}=([^\r\n]*)/, 1].to_s }
bases = [folder] + rtp.map { |name| File.join(ENV.fetch('ZORVANE_COMMON_FILES'), 'Enterbrain', 'RGSS', name) }
names.uniq.sort.each do |relative|
  where, path = resolve(relative, bases)
  puts "#{relative}\t#{path}" if where && where >= 1
end

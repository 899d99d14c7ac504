#include "search/search_test_project.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

namespace stest {

namespace {

const char* const kPrelude = R"RUBY(# encoding: utf-8
require 'zlib'
DATA = File.join(ARGV[0], 'Data')
class Rec
  def initialize(**kw); kw.each { |k, v| instance_variable_set("@#{k}", v) }; end
end
module RPG
  %w[System Actor CommonEvent Map MapInfo Event EventCommand MoveRoute MoveCommand AudioFile
     Troop].each { |n| const_set(n, ::Class.new(Rec)) }
  class Troop; Page = ::Class.new(Rec); end
  class Troop::Page; Condition = ::Class.new(Rec); end
  class Event; Page = ::Class.new(Rec); end
  class Event::Page; Condition = ::Class.new(Rec); Graphic = ::Class.new(Rec); end
end
class Table
  def initialize(x, y = 1, z = 1); @x, @y, @z = x, y, z; end
  def _dump(_); [3, @x, @y, @z, @x * @y * @z].pack('V5') + ([0] * (@x * @y * @z)).pack('v*'); end
end
def save(name, obj); File.binwrite(File.join(DATA, name), Marshal.dump(obj)); end
def cmd(code, *params); RPG::EventCommand.new(code: code, indent: 0, parameters: params); end
def list(*cmds); cmds + [cmd(0)]; end
def move(code, *params); RPG::MoveCommand.new(code: code, parameters: params); end
def audio(name); RPG::AudioFile.new(name: name, volume: 100, pitch: 100); end
# A map event page: cond holds switch1/switch2/variable ([id, value]) conditions.
def page(cmds, switch1: nil, switch2: nil, variable: nil, character: '')
  c = RPG::Event::Page::Condition.new(
    switch1_valid: !switch1.nil?, switch2_valid: !switch2.nil?, variable_valid: !variable.nil?,
    self_switch_valid: false, switch1_id: switch1 || 1, switch2_id: switch2 || 1,
    variable_id: variable ? variable[0] : 1, variable_value: variable ? variable[1] : 0,
    self_switch_ch: 'A')
  g = RPG::Event::Page::Graphic.new(tile_id: 0, character_name: character, character_hue: 0,
    direction: 2, pattern: 0, opacity: 255, blend_type: 0)
  RPG::Event::Page.new(condition: c, graphic: g, move_type: 0, move_speed: 3,
    move_frequency: 3, walk_anime: true, step_anime: false, direction_fix: false,
    through: false, always_on_top: false, trigger: 0, list: list(*cmds))
end
def event(id, name, x, y, *pages)
  RPG::Event.new(id: id, name: name, x: x, y: y, pages: pages)
end
# bgm/bgs play automatically; quiet_bgm is named but does not.
def map(events, bgm: nil, bgs: nil, quiet_bgm: nil)
  RPG::Map.new(tileset_id: 1, width: 2, height: 2, autoplay_bgm: !bgm.nil?,
    bgm: audio(bgm || quiet_bgm || ''), autoplay_bgs: !bgs.nil?, bgs: audio(bgs || ''),
    encounter_list: [], encounter_step: 30, data: Table.new(2, 2, 3),
    events: events.map { |e| [e.instance_variable_get(:@id), e] }.to_h)
end
def troop_page(cmds, switch: nil)
  c = RPG::Troop::Page::Condition.new(turn_valid: false, enemy_valid: false,
    actor_valid: false, switch_valid: !switch.nil?, turn_a: 0, turn_b: 0, enemy_index: 0,
    enemy_hp: 50, actor_id: 1, actor_hp: 50, switch_id: switch || 1)
  RPG::Troop::Page.new(condition: c, span: 0, list: list(*cmds))
end
def common(name, trigger, switch_id, *cmds)
  RPG::CommonEvent.new(id: 0, name: name, trigger: trigger, switch_id: switch_id, list: list(*cmds))
end
def scripts(*pairs)
  pairs.each_with_index.map { |(title, text), i| [i, title, Zlib::Deflate.deflate(text)] }
end
)RUBY";

// Switches 1 Door, 2 Lamp, 3 Gate, 4 Bell, 5 Five; variable 5 Count. Maps 1 Town, 2 House
// (below Town), 3 Cellar (below House), 4 Field. Every hit the tests expect is placed by
// hand here; the comments say which rule each one serves.
const char* const kTownBody = R"RUBY(
save('System.rxdata', RPG::System.new(
  switches: [nil, 'Door', 'Lamp', 'Gate', 'Bell', 'Five'],
  variables: [nil, 'Gold', 'Steps', 'X', 'Y', 'Count'], elements: [nil],
  windowskin_name: 'Skin', title_name: '', gameover_name: '', battle_transition: '',
  title_bgm: audio('Theme'), battle_bgm: audio(''), cursor_se: audio('Beep')))
save('Actors.rxdata', [nil, RPG::Actor.new(name: 'Hero', character_name: 'Hero',
  battler_name: 'Lost', class_id: 1)])
save('CommonEvents.rxdata', [nil,
  # 1: autorun on switch 2; switch 1 set; switch 3 tested; switches 4..10 set; a message
  common('Opening', 1, 2, cmd(121, 1, 1, 0), cmd(111, 0, 3, 0), cmd(121, 4, 10, 0),
         cmd(101, 'Hello world')),
  # 2: no trigger (its switch never counts); calls common event 1; sets variable 5
  common('Shop keeper', 0, 1, cmd(117, 1), cmd(122, 5, 5, 0, 0, 7)),
  # 3: parallel on switch 1, and sets switch 1 again
  common('Ending', 2, 1, cmd(121, 1, 1, 1))])
save('Troops.rxdata', [nil,
  RPG::Troop.new(id: 1, name: 'Slimes', members: [], pages: [
    troop_page([cmd(121, 2, 2, 0)], switch: 1),
    troop_page([cmd(111, 0, 1, 0)])])])
save('MapInfos.rxdata', {
  1 => RPG::MapInfo.new(name: 'Town', parent_id: 0, order: 1),
  2 => RPG::MapInfo.new(name: 'House', parent_id: 1, order: 2),
  3 => RPG::MapInfo.new(name: 'Cellar', parent_id: 2, order: 3),
  4 => RPG::MapInfo.new(name: 'Field', parent_id: 0, order: 4)})
route = RPG::MoveRoute.new(repeat: false, skippable: false,
  list: [move(27, 1), move(0)])
save('Map001.rxdata', map([
  event(1, 'Guard', 3, 4,
    page([cmd(121, 1, 1, 0)], switch1: 1, switch2: 2),
    page([cmd(209, -1, route), cmd(509, move(27, 1))], character: 'Ghost'),
    page([cmd(121, 1, 1, 1)])),
  event(2, 'Sign', 5, 6, page([cmd(101, 'Welcome')], variable: [5, 3])),
  event(3, 'Twin', 7, 8, page([], switch1: 4, switch2: 4))], bgm: 'NoSuchTune', bgs: nil))
save('Map002.rxdata', map([event(1, 'Chest', 1, 1, page([cmd(121, 1, 1, 0)]))],
  quiet_bgm: 'Silent'))
save('Map003.rxdata', map([event(1, 'Rat', 2, 2, page([cmd(121, 1, 1, 0)]))]))
save('Map004.rxdata', map([event(1, 'Cow', 7, 7, page([cmd(121, 1, 1, 0)]))], bgs: 'Wind'))
save('Scripts.rxdata', scripts(['Main', "p 1\r\nputs 'hello'\r\nHELLO again"], ['Hello', 'x = 1']))
)RUBY";

}  // namespace

SearchProject::SearchProject()
    : folder_(dir_.file("Project")), rtp_(dir_.file("Common/Enterbrain/RGSS/Standard")) {
    std::filesystem::create_directories(folder_ + "/Data");
    std::filesystem::create_directories(rtp_);
    ztest::writeFile(folder_ + "/Game.rxproj", "RPGXP 1.02");
    ztest::writeFile(folder_ + "/Game.ini", "[Game]\r\nTitle=Town\r\nRTP1=Standard\r\n");
}

SearchProject::~SearchProject() = default;

bool SearchProject::write(const std::string& body) {
    std::string script = dir_.file("make.rb");
    ztest::writeFile(script, std::string(kPrelude) + body);
    std::string out;
    int rc = ztest::run(
        "ruby " + ztest::shellQuote(script) + " " + ztest::shellQuote(folder_) + " 2>&1", &out);
    if (rc != 0) ADD_FAILURE() << "ruby failed: " << out;
    return rc == 0;
}

void SearchProject::touch(const std::string& relative, bool inRtp) {
    std::string path = (inRtp ? rtp_ : folder_) + "/" + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ztest::writeFile(path, "x");
}

bool SearchProject::open(zorvane::ProjectDatabase& db) const {
    return db.open(projectFile(), dir_.file("Common"));
}

bool writeTownProject(SearchProject& project) {
    if (!project.write(kTownBody)) return false;
    // Found: the hero's walking sheet in the RTP, the title music and the cursor sound in
    // the game folder. Missing: battler "Lost", windowskin "Skin", page graphic "Ghost",
    // map 1's BGM "NoSuchTune" and map 4's BGS "Wind".
    project.touch("Graphics/Characters/Hero.png", true);
    project.touch("Audio/BGM/Theme.ogg", false);
    project.touch("Audio/SE/Beep.wav", false);
    return true;
}

std::string placeOf(const zorvane::SearchHit& hit) {
    std::string id = std::to_string(hit.itemId);
    if (hit.area == zorvane::SearchArea::MapEvent)
        id = std::to_string(hit.mapId) + ":" + (hit.hasEvent ? id : "-");
    return std::to_string(static_cast<int>(hit.area)) + "," + id + "," + std::to_string(hit.page) +
           "," + std::to_string(hit.line);
}

std::set<std::string> placesOf(const std::vector<zorvane::SearchHit>& hits) {
    std::set<std::string> places;
    for (const auto& hit : hits) places.insert(placeOf(hit));
    return places;
}

}  // namespace stest

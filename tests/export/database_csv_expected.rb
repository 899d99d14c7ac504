# Prints, as JSON, every row that the database CSV files of a project should hold, worked
# out from the records as Ruby's own Marshal reads them: {"file name": [[cell, ...], ...]}.
# Usage: ruby database_csv_expected.rb DATA_FOLDER
require 'json'

require_relative '../support/marshal_stubs'

# Table: five little-endian int32 (dimensions, x, y, z, count), then int16 cells.
class Table
  def self._load(bytes)
    _dims, x, y, _z, n = bytes.unpack('l<5')
    t = allocate
    t.instance_variable_set(:@x, x)
    t.instance_variable_set(:@y, y)
    t.instance_variable_set(:@cells, bytes[20, n * 2].unpack('s<*'))
    t
  end

  def [](x, y = 0)
    return 0 if x >= @x || y >= @y

    @cells[x + y * @x] || 0
  end
end

DATA = ARGV[0]
def ld(name) = load_data(File.join(DATA, name))
SYS = ld('System.rxdata')
DB = { actor: ld('Actors.rxdata'), class: ld('Classes.rxdata'), skill: ld('Skills.rxdata'),
       item: ld('Items.rxdata'), weapon: ld('Weapons.rxdata'), armor: ld('Armors.rxdata'),
       state: ld('States.rxdata'), enemy: ld('Enemies.rxdata'), troop: ld('Troops.rxdata'),
       common: ld('CommonEvents.rxdata'), animation: ld('Animations.rxdata') }.freeze

# Names by label kind, and the kind words of the bracketed form.
NAMES = { switch: SYS.switches, element: SYS.elements }.merge(
  DB.transform_values { |records| records.map { |r| r&.name } }
)
WORDS = { switch: 'スイッチ', skill: 'スキル' }.freeze

def label(kind, id)
  return '' if id <= 0

  names = NAMES[kind]
  format(kind == :switch ? '%04d:' : '%03d:', id) +
    (id < names.size ? names[id].to_s : '(Warning:Array Overflow)')
end

def full_label(kind, id) = "#{WORDS[kind]}[#{label(kind, id)}]"
def or_none(text) = text.empty? ? '(None)' : text
def lon(kind, id) = or_none(label(kind, id))
def mark(on) = on ? '○' : '×'
def rank(v) = (1..6).cover?(v) ? 'ABCDEF'[v - 1] : ''
def pm(plus, minus, j) = plus.include?(j) ? '+' : (minus.include?(j) ? '-' : '')
def word(key) = SYS.words.instance_variable_get(:"@#{key}")
def audio(a) = a.name.empty? ? '(None)' : "#{a.name} (ボリューム:#{a.volume}, ピッチ:#{a.pitch})"
def pic(name, hue) = "#{or_none(name)} (色相:#{hue})"
def pick(list, v) = v >= 0 && v < list.size ? list[v] : ''
def id3(id) = format('%03d', id)

# Heading and cells of the grids: [caption or nil, kind, count, ->(record, j) { cell }].
def grid_heads(grids)
  grids.flat_map { |cap, kind, n, _| [cap].compact + (1..n).map { |j| label(kind, j) } }
end

def grid_cells(r, grids)
  grids.flat_map { |cap, _, n, f| (cap ? [''] : []) + (1..n).map { |j| f.call(r, j) } }
end

def table(records, heads, grids, &cells)
  [['ID'] + heads + grid_heads(grids)] +
    records.each_with_index.drop(1).map { |r, id| [id3(id)] + cells.call(r) + grid_cells(r, grids) }
end

ELEMENTS = SYS.elements.size - 1
STATES = DB[:state].size - 1
EL_MARK = ->(cap, set) { [cap, :element, ELEMENTS, ->(r, j) { mark(r.send(set).include?(j)) }] }
ST_PM = ['【ステート変化】→', :state, STATES, ->(r, j) { pm(r.plus_state_set, r.minus_state_set, j) }]
EQUIP = %w[weapon armor1 armor2 armor3 armor4].freeze
SCOPES = ['なし', '敵単体', '敵全体', '味方単体', '味方全体', '味方単体(HP 0)', '味方全体(HP 0)', '使用者'].freeze
OCCASIONS = %w[常時 バトルのみ メニューのみ 使用不可].freeze
USABLE = %w[名前 アイコン 説明 効果範囲 使用可能時 使用時アニメーション 対象側アニメーション メニュー画面使用時SE
            コモンイベント].freeze
def usable(r)
  [r.name, r.icon_name, r.description, pick(SCOPES, r.scope), pick(OCCASIONS, r.occasion),
   lon(:animation, r.animation1_id), lon(:animation, r.animation2_id), audio(r.menu_se),
   lon(:common, r.common_event_id)]
end

out = {}
out['01アクター.csv'] = table(DB[:actor], %w[名前 クラス 初期レベル 最終レベル EXPカーブ キャラクターグラフィック
                                           バトラーグラフィック] + EQUIP.map { |w| "[初期装備]#{word(w)}" }, []) do |a|
  equip = [[:weapon, a.weapon_id, a.weapon_fix]] +
          (1..4).map { |k| [:armor, a.send("armor#{k}_id"), a.send("armor#{k}_fix")] }
  [a.name, label(:class, a.class_id), a.initial_level.to_s, a.final_level.to_s,
   "基本値: #{a.exp_basis}, 増加度: #{a.exp_inflation}", pic(a.character_name, a.character_hue),
   pic(a.battler_name, a.battler_hue)] + equip.map { |k, id, fix| "#{lon(k, id)} (固定:#{mark(fix)})" }
end
DB[:actor].each_with_index.drop(1).each do |a, id|
  out[format('01アクター_%03d%s.csv', id, a.name.tr('/\\', '__'))] =
    [['Lv', "Max#{word('hp')}", "Max#{word('sp')}"] + %w[str dex agi int].map { |w| word(w) }] +
    (1..99).map { |lv| [format('%02d', lv)] + (0..5).map { |p| a.parameters[p, lv].to_s } }
end

ranks = [['【属性有効度】→', :element, ELEMENTS, ->(r, j) { rank(r.element_ranks[j]) }],
         ['【ステート有効度】→', :state, STATES, ->(r, j) { rank(r.state_ranks[j]) }]]
out['02クラス_01基本データ.csv'] = table(DB[:class], %w[名前 位置], ranks) { |c| [c.name, pick(%w[前衛 中衛 後衛], c.position)] }
out['02クラス_02装備できる武器.csv'] =
  table(DB[:class], %w[名前], [[nil, :weapon, DB[:weapon].size - 1, ->(c, j) { mark(c.weapon_set.include?(j)) }]]) { |c| [c.name] }
out['02クラス_03装備できる防具.csv'] =
  table(DB[:class], %w[名前], [[nil, :armor, DB[:armor].size - 1, ->(c, j) { mark(c.armor_set.include?(j)) }]]) { |c| [c.name] }

attack = [EL_MARK.call('【属性】→', :element_set), ST_PM]
defence = %w[命中率 物理防御F 魔法防御F 分散度]
out['03スキル.csv'] = table(DB[:skill], USABLE + %w[消費SP 威力 攻撃力F 回避F 腕力F 器用さF 素早さF 魔力F] + defence, attack) do |s|
  usable(s) + [s.sp_cost, s.power, s.atk_f, s.eva_f, s.str_f, s.dex_f, s.agi_f, s.int_f, s.hit, s.pdef_f,
               s.mdef_f, s.variance].map(&:to_s)
end
out['04アイテム.csv'] = table(DB[:item], USABLE + %w[価格 消費 パラメータ 上昇量 HP回復率 HP回復量 SP回復率 SP回復量] + defence, attack) do |i|
  usable(i) + [i.price.to_s, i.consumable ? 'する' : 'しない', pick(%w[なし MaxHP MaxSP 腕力 器用さ 素早さ 魔力], i.parameter_type),
               i.parameter_type.zero? ? '' : i.parameter_points.to_s] +
    [i.recover_hp_rate, i.recover_hp, i.recover_sp_rate, i.recover_sp, i.hit, i.pdef_f, i.mdef_f, i.variance].map(&:to_s)
end
plus = %w[腕力+ 器用さ+ 素早さ+ 魔力+]
pluses = ->(r) { [r.str_plus, r.dex_plus, r.agi_plus, r.int_plus].map(&:to_s) }
out['05武器.csv'] = table(DB[:weapon], %w[名前 アイコン 説明 攻撃側アニメーション 対象側アニメーション 価格 攻撃力 物理防御 魔法防御] + plus, attack) do |w|
  [w.name, w.icon_name, w.description, lon(:animation, w.animation1_id), lon(:animation, w.animation2_id)] +
    [w.price, w.atk, w.pdef, w.mdef].map(&:to_s) + pluses.call(w)
end
out['06防具.csv'] = table(DB[:armor], %w[名前 アイコン 説明 種別 オートステート 価格 物理防御 魔法防御 回避修正] + plus,
                          [EL_MARK.call('【属性防御】→', :guard_element_set),
                           ['【ステート防御】→', :state, STATES, ->(a, j) { mark(a.guard_state_set.include?(j)) }]]) do |a|
  [a.name, a.icon_name, a.description, (0..3).cover?(a.kind) ? word("armor#{a.kind + 1}") : '',
   lon(:state, a.auto_state_id)] + [a.price, a.pdef, a.mdef, a.eva].map(&:to_s) + pluses.call(a)
end

out['07エネミー_01基本データ.csv'] = table(DB[:enemy], %w[名前 バトラーグラフィック MaxHP MaxSP 腕力 器用さ 素早さ 魔力 攻撃力 物理防御 魔法防御 回避修正
                                                    攻撃側アニメーション 対象側アニメーション EXP ゴールド トレジャー], ranks) do |e|
  treasure = if e.item_id >= 1 then label(:item, e.item_id)
             elsif e.weapon_id >= 1 then label(:weapon, e.weapon_id)
             elsif e.armor_id >= 1 then label(:armor, e.armor_id)
             else '(None)'
             end
  [e.name, pic(e.battler_name, e.battler_hue)] +
    [e.maxhp, e.maxsp, e.str, e.dex, e.agi, e.int, e.atk, e.pdef, e.mdef, e.eva].map(&:to_s) +
    [lon(:animation, e.animation1_id), lon(:animation, e.animation2_id), e.exp.to_s, e.gold.to_s,
     format('%3d%% %s', e.treasure_prob, treasure)]
end
def condition(a)
  parts = []
  if a.condition_turn_a != 0 || a.condition_turn_b != 1
    a_, b = a.condition_turn_a, a.condition_turn_b
    parts << (b < 1 ? "ターン#{a_}" : (a_ < 1 ? "ターン#{b}x" : "ターン#{a_}+#{b}x"))
  end
  parts << "HP#{a.condition_hp}%以下" if a.condition_hp != 100
  parts << "レベル#{a.condition_level}%以上" if a.condition_level != 1
  parts << "#{full_label(:switch, a.condition_switch_id)}がON" if a.condition_switch_id != 0
  parts.empty? ? 'なし' : parts.join(' & ')
end
out['07エネミー_02アクション.csv'] = [%w[アクション 条件 レーティング]] +
                                    DB[:enemy].each_with_index.drop(1).flat_map do |e, id|
                                      [["【#{id3(id)}:#{e.name}】", '', '']] + e.actions.map do |a|
                                        act = a.kind == 1 ? full_label(:skill, a.skill_id) : "基本[#{pick(%w[攻撃 防御 逃げる 何もしない], a.basic)}]"
                                        [act, condition(a), a.rating.to_s]
                                      end
                                    end
out['08トループ.csv'] = [%w[エネミー 位置 途中から出現 不死身]] +
                        DB[:troop].each_with_index.drop(1).flat_map do |t, id|
                          [["【#{id3(id)}:#{t.name}】", '', '', '']] +
                            t.members.map { |m| [label(:enemy, m.enemy_id), format('(%3d,%3d)', m.x, m.y), mark(m.hidden), mark(m.immortal)] } + [[]]
                        end
out['09ステート.csv'] = table(DB[:state], %w[名前 アニメーション 制約 レーティング] +
                              ['命中率 %', 'MaxHP %', 'MaxSP %', '腕力 %', '器用さ %', '素早さ %', '魔力 %', '攻撃力 %', '物理防御 %', '魔法防御 %', '回避修正'] +
                              %w[抵抗しない HP0の状態とみなす EXPを獲得できない 攻撃を回避できない スリップダメージ].map { |o| "[オプション]#{o}" } +
                              %w[バトル終了後に解除 ターン 物理ダメージ].map { |o| "[解除条件]#{o}" },
                              [EL_MARK.call('【属性防御】→', :guard_element_set), ST_PM]) do |s|
  [s.name, lon(:animation, s.animation_id), pick(%w[なし 魔法を使用できない 敵を通常攻撃する 味方を通常攻撃する 行動できない], s.restriction)] +
    [s.rating, s.hit_rate, s.maxhp_rate, s.maxsp_rate, s.str_rate, s.dex_rate, s.agi_rate, s.int_rate, s.atk_rate,
     s.pdef_rate, s.mdef_rate, s.eva].map(&:to_s) +
    [s.nonresistance, s.zero_hp, s.cant_get_exp, s.cant_evade, s.slip_damage, s.battle_only].map { |b| mark(b) } +
    ["#{s.hold_turn} ターン経過後 #{s.auto_release_prob} %の確率で解除", "物理ダメージを受けたときに #{s.shock_release_prob} % の確率で解除。"]
end
names = ->(list, fmt) { [%w[ID 名前]] + list.each_with_index.drop(1).map { |n, i| [format(fmt, i), n.to_s] } }
out['10属性.csv'] = names.call(SYS.elements, '%03d')
out['11スイッチ.csv'] = names.call(SYS.switches, '%04d')
out['12変数.csv'] = names.call(SYS.variables, '%04d')
# The files drop CR and LF inside cells.
puts JSON.generate(out.transform_values { |rows| rows.map { |row| row.map { |c| c.delete("\r\n") } } })

#include "project/record_tables.h"

namespace zorvane {

const FieldTable<Actor> kActorFields = {
    {"@name", &Actor::name},
    {"@class_id", &Actor::classId},
    {"@initial_level", &Actor::initialLevel},
    {"@final_level", &Actor::finalLevel},
    {"@exp_basis", &Actor::expBasis},
    {"@exp_inflation", &Actor::expInflation},
    {"@character_name", &Actor::characterName},
    {"@character_hue", &Actor::characterHue},
    {"@battler_name", &Actor::battlerName},
    {"@battler_hue", &Actor::battlerHue},
    {"@weapon_id", &Actor::weaponId},
    {"@armor1_id", &Actor::armor1Id},
    {"@armor2_id", &Actor::armor2Id},
    {"@armor3_id", &Actor::armor3Id},
    {"@armor4_id", &Actor::armor4Id},
    {"@weapon_fix", &Actor::weaponFix},
    {"@armor1_fix", &Actor::armor1Fix},
    {"@armor2_fix", &Actor::armor2Fix},
    {"@armor3_fix", &Actor::armor3Fix},
    {"@armor4_fix", &Actor::armor4Fix},
    {"@parameters", &Actor::parameters},
};

const FieldTable<ActorClass> kClassFields = {
    {"@name", &ActorClass::name},
    {"@position", &ActorClass::position},
    {"@weapon_set", &ActorClass::weaponSet},
    {"@armor_set", &ActorClass::armorSet},
    {"@element_ranks", &ActorClass::elementRanks},
    {"@state_ranks", &ActorClass::stateRanks},
};

const FieldTable<Learning> kLearningFields = {
    {"@level", &Learning::level},
    {"@skill_id", &Learning::skillId},
};

const FieldTable<Skill> kSkillFields = {
    {"@name", &Skill::name},
    {"@icon_name", &Skill::iconName},
    {"@description", &Skill::description},
    {"@scope", &Skill::scope},
    {"@occasion", &Skill::occasion},
    {"@animation1_id", &Skill::animation1Id},
    {"@animation2_id", &Skill::animation2Id},
    {"@menu_se", &Skill::menuSe},
    {"@common_event_id", &Skill::commonEventId},
    {"@sp_cost", &Skill::spCost},
    {"@power", &Skill::power},
    {"@atk_f", &Skill::atkF},
    {"@eva_f", &Skill::evaF},
    {"@str_f", &Skill::strF},
    {"@dex_f", &Skill::dexF},
    {"@agi_f", &Skill::agiF},
    {"@int_f", &Skill::intF},
    {"@hit", &Skill::hit},
    {"@pdef_f", &Skill::pdefF},
    {"@mdef_f", &Skill::mdefF},
    {"@variance", &Skill::variance},
    {"@element_set", &Skill::elementSet},
    {"@plus_state_set", &Skill::plusStateSet},
    {"@minus_state_set", &Skill::minusStateSet},
};

const FieldTable<Item> kItemFields = {
    {"@name", &Item::name},
    {"@icon_name", &Item::iconName},
    {"@description", &Item::description},
    {"@scope", &Item::scope},
    {"@occasion", &Item::occasion},
    {"@animation1_id", &Item::animation1Id},
    {"@animation2_id", &Item::animation2Id},
    {"@menu_se", &Item::menuSe},
    {"@common_event_id", &Item::commonEventId},
    {"@price", &Item::price},
    {"@consumable", &Item::consumable},
    {"@parameter_type", &Item::parameterType},
    {"@parameter_points", &Item::parameterPoints},
    {"@recover_hp_rate", &Item::recoverHpRate},
    {"@recover_hp", &Item::recoverHp},
    {"@recover_sp_rate", &Item::recoverSpRate},
    {"@recover_sp", &Item::recoverSp},
    {"@hit", &Item::hit},
    {"@pdef_f", &Item::pdefF},
    {"@mdef_f", &Item::mdefF},
    {"@variance", &Item::variance},
    {"@element_set", &Item::elementSet},
    {"@plus_state_set", &Item::plusStateSet},
    {"@minus_state_set", &Item::minusStateSet},
};

const FieldTable<Weapon> kWeaponFields = {
    {"@name", &Weapon::name},
    {"@icon_name", &Weapon::iconName},
    {"@description", &Weapon::description},
    {"@animation1_id", &Weapon::animation1Id},
    {"@animation2_id", &Weapon::animation2Id},
    {"@price", &Weapon::price},
    {"@atk", &Weapon::atk},
    {"@pdef", &Weapon::pdef},
    {"@mdef", &Weapon::mdef},
    {"@str_plus", &Weapon::strPlus},
    {"@dex_plus", &Weapon::dexPlus},
    {"@agi_plus", &Weapon::agiPlus},
    {"@int_plus", &Weapon::intPlus},
    {"@element_set", &Weapon::elementSet},
    {"@plus_state_set", &Weapon::plusStateSet},
    {"@minus_state_set", &Weapon::minusStateSet},
};

const FieldTable<Armor> kArmorFields = {
    {"@name", &Armor::name},
    {"@icon_name", &Armor::iconName},
    {"@description", &Armor::description},
    {"@kind", &Armor::kind},
    {"@auto_state_id", &Armor::autoStateId},
    {"@price", &Armor::price},
    {"@pdef", &Armor::pdef},
    {"@mdef", &Armor::mdef},
    {"@eva", &Armor::eva},
    {"@str_plus", &Armor::strPlus},
    {"@dex_plus", &Armor::dexPlus},
    {"@agi_plus", &Armor::agiPlus},
    {"@int_plus", &Armor::intPlus},
    {"@guard_element_set", &Armor::guardElementSet},
    {"@guard_state_set", &Armor::guardStateSet},
};

const FieldTable<State> kStateFields = {
    {"@name", &State::name},
    {"@animation_id", &State::animationId},
    {"@restriction", &State::restriction},
    {"@nonresistance", &State::nonresistance},
    {"@zero_hp", &State::zeroHp},
    {"@cant_get_exp", &State::cantGetExp},
    {"@cant_evade", &State::cantEvade},
    {"@slip_damage", &State::slipDamage},
    {"@rating", &State::rating},
    {"@hit_rate", &State::hitRate},
    {"@maxhp_rate", &State::maxhpRate},
    {"@maxsp_rate", &State::maxspRate},
    {"@str_rate", &State::strRate},
    {"@dex_rate", &State::dexRate},
    {"@agi_rate", &State::agiRate},
    {"@int_rate", &State::intRate},
    {"@atk_rate", &State::atkRate},
    {"@pdef_rate", &State::pdefRate},
    {"@mdef_rate", &State::mdefRate},
    {"@eva", &State::eva},
    {"@battle_only", &State::battleOnly},
    {"@hold_turn", &State::holdTurn},
    {"@auto_release_prob", &State::autoReleaseProb},
    {"@shock_release_prob", &State::shockReleaseProb},
    {"@guard_element_set", &State::guardElementSet},
    {"@plus_state_set", &State::plusStateSet},
    {"@minus_state_set", &State::minusStateSet},
};

const FieldTable<Enemy> kEnemyFields = {
    {"@name", &Enemy::name},
    {"@battler_name", &Enemy::battlerName},
    {"@battler_hue", &Enemy::battlerHue},
    {"@maxhp", &Enemy::maxhp},
    {"@maxsp", &Enemy::maxsp},
    {"@str", &Enemy::str},
    {"@dex", &Enemy::dex},
    {"@agi", &Enemy::agi},
    {"@int", &Enemy::intel},
    {"@atk", &Enemy::atk},
    {"@pdef", &Enemy::pdef},
    {"@mdef", &Enemy::mdef},
    {"@eva", &Enemy::eva},
    {"@animation1_id", &Enemy::animation1Id},
    {"@animation2_id", &Enemy::animation2Id},
    {"@element_ranks", &Enemy::elementRanks},
    {"@state_ranks", &Enemy::stateRanks},
    {"@exp", &Enemy::exp},
    {"@gold", &Enemy::gold},
    {"@item_id", &Enemy::itemId},
    {"@weapon_id", &Enemy::weaponId},
    {"@armor_id", &Enemy::armorId},
    {"@treasure_prob", &Enemy::treasureProb},
};

const FieldTable<EnemyAction> kEnemyActionFields = {
    {"@kind", &EnemyAction::kind},
    {"@basic", &EnemyAction::basic},
    {"@skill_id", &EnemyAction::skillId},
    {"@condition_turn_a", &EnemyAction::conditionTurnA},
    {"@condition_turn_b", &EnemyAction::conditionTurnB},
    {"@condition_hp", &EnemyAction::conditionHp},
    {"@condition_level", &EnemyAction::conditionLevel},
    {"@condition_switch_id", &EnemyAction::conditionSwitchId},
    {"@rating", &EnemyAction::rating},
};

const FieldTable<Animation> kAnimationFields = {
    {"@name", &Animation::name},
    {"@animation_name", &Animation::animationName},
};

const FieldTable<AnimationTiming> kAnimationTimingFields = {
    {"@se", &AnimationTiming::se},
};

const FieldTable<Tileset> kTilesetFields = {
    {"@id", &Tileset::id},
    {"@name", &Tileset::name},
    {"@tileset_name", &Tileset::tilesetName},
    {"@panorama_name", &Tileset::panoramaName},
    {"@panorama_hue", &Tileset::panoramaHue},
    {"@fog_name", &Tileset::fogName},
    {"@fog_hue", &Tileset::fogHue},
    {"@fog_opacity", &Tileset::fogOpacity},
    {"@fog_blend_type", &Tileset::fogBlendType},
    {"@fog_zoom", &Tileset::fogZoom},
    {"@fog_sx", &Tileset::fogSx},
    {"@fog_sy", &Tileset::fogSy},
    {"@battleback_name", &Tileset::battlebackName},
    {"@priorities", &Tileset::priorities},
    {"@passages", &Tileset::passages},
    {"@terrain_tags", &Tileset::terrainTags},
};

const FieldTable<MapInfo> kMapInfoFields = {
    {"@name", &MapInfo::name},
    {"@parent_id", &MapInfo::parentId},
    {"@order", &MapInfo::order},
};

}  // namespace zorvane

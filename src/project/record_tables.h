// The field tables of the database records: which instance variable fills which member.
#pragma once

#include "project/field_table.h"
#include "project/records.h"

namespace zorvane {

extern const FieldTable<Actor> kActorFields;
extern const FieldTable<ActorClass> kClassFields;
extern const FieldTable<Learning> kLearningFields;
extern const FieldTable<Skill> kSkillFields;
extern const FieldTable<Item> kItemFields;
extern const FieldTable<Weapon> kWeaponFields;
extern const FieldTable<Armor> kArmorFields;
extern const FieldTable<State> kStateFields;
extern const FieldTable<Enemy> kEnemyFields;
extern const FieldTable<EnemyAction> kEnemyActionFields;
extern const FieldTable<Animation> kAnimationFields;
extern const FieldTable<AnimationTiming> kAnimationTimingFields;
extern const FieldTable<Tileset> kTilesetFields;
extern const FieldTable<MapInfo> kMapInfoFields;

}  // namespace zorvane

// The typed records of a project's database files: actors, classes, skills, items,
// weapons, armors, states, enemies, animations, tilesets, the map tree and scripts.
#pragma once

#include <cstdint>
#include <vector>
#include <string>
#include <vector>

#include "marshal/rgss_types.h"

namespace zorvane {

// Ids of a set field, ascending and without duplicates.
using IdSet = std::vector<int32_t>;

struct Actor {
    std::string name;
    int32_t classId = 0, initialLevel = 0, finalLevel = 0, expBasis = 0, expInflation = 0;
    std::string characterName;
    int32_t characterHue = 0;
    std::string battlerName;
    int32_t battlerHue = 0, weaponId = 0, armor1Id = 0, armor2Id = 0, armor3Id = 0, armor4Id = 0;
    bool weaponFix = false, armor1Fix = false, armor2Fix = false, armor3Fix = false,
         armor4Fix = false;
    Table parameters;
};

struct Learning {
    int32_t level = 0, skillId = 0;
};

struct ActorClass {
    std::string name;
    int32_t position = 0;
    IdSet weaponSet, armorSet;
    Table elementRanks, stateRanks;
    std::vector<Learning> learnings;
};

struct Skill {
    std::string name, iconName, description;
    int32_t scope = 0, occasion = 0, animation1Id = 0, animation2Id = 0;
    AudioFile menuSe;
    int32_t commonEventId = 0, spCost = 0, power = 0, atkF = 0, evaF = 0, strF = 0, dexF = 0,
            agiF = 0, intF = 0, hit = 0, pdefF = 0, mdefF = 0, variance = 0;
    IdSet elementSet, plusStateSet, minusStateSet;
};

struct Item {
    std::string name, iconName, description;
    int32_t scope = 0, occasion = 0, animation1Id = 0, animation2Id = 0;
    AudioFile menuSe;
    int32_t commonEventId = 0, price = 0;
    bool consumable = false;
    int32_t parameterType = 0, parameterPoints = 0, recoverHpRate = 0, recoverHp = 0,
            recoverSpRate = 0, recoverSp = 0, hit = 0, pdefF = 0, mdefF = 0, variance = 0;
    IdSet elementSet, plusStateSet, minusStateSet;
};

struct Weapon {
    std::string name, iconName, description;
    int32_t animation1Id = 0, animation2Id = 0, price = 0, atk = 0, pdef = 0, mdef = 0,
            strPlus = 0, dexPlus = 0, agiPlus = 0, intPlus = 0;
    IdSet elementSet, plusStateSet, minusStateSet;
};

struct Armor {
    std::string name, iconName, description;
    int32_t kind = 0, autoStateId = 0, price = 0, pdef = 0, mdef = 0, eva = 0, strPlus = 0,
            dexPlus = 0, agiPlus = 0, intPlus = 0;
    IdSet guardElementSet, guardStateSet;
};

struct State {
    std::string name;
    int32_t animationId = 0, restriction = 0;
    bool nonresistance = false, zeroHp = false, cantGetExp = false, cantEvade = false,
         slipDamage = false;
    int32_t rating = 0, hitRate = 0, maxhpRate = 0, maxspRate = 0, strRate = 0, dexRate = 0,
            agiRate = 0, intRate = 0, atkRate = 0, pdefRate = 0, mdefRate = 0, eva = 0;
    bool battleOnly = false;
    int32_t holdTurn = 0, autoReleaseProb = 0, shockReleaseProb = 0;
    IdSet guardElementSet, plusStateSet, minusStateSet;
};

struct EnemyAction {
    int32_t kind = 0, basic = 0, skillId = 0, conditionTurnA = 0, conditionTurnB = 0,
            conditionHp = 0, conditionLevel = 0, conditionSwitchId = 0, rating = 0;
};

struct Enemy {
    std::string name, battlerName;
    int32_t battlerHue = 0, maxhp = 0, maxsp = 0, str = 0, dex = 0, agi = 0, intel = 0, atk = 0,
            pdef = 0, mdef = 0, eva = 0, animation1Id = 0, animation2Id = 0;
    Table elementRanks, stateRanks;
    int32_t exp = 0, gold = 0, itemId = 0, weaponId = 0, armorId = 0, treasureProb = 0;
    std::vector<EnemyAction> actions;
};

struct AnimationTiming {
    AudioFile se;
};

struct Animation {
    std::string name, animationName;
    std::vector<AnimationTiming> timings;
};

struct Tileset {
    int32_t id = 0;
    std::string name, tilesetName;
    std::vector<std::string> autotileNames = std::vector<std::string>(7);
    std::string panoramaName;
    int32_t panoramaHue = 0;
    std::string fogName;
    int32_t fogHue = 0, fogOpacity = 0, fogBlendType = 0, fogZoom = 0, fogSx = 0, fogSy = 0;
    std::string battlebackName;
    Table priorities, passages, terrainTags;
};

struct MapInfo {
    std::string name;
    int32_t parentId = 0, order = 0;
};

struct Script {
    std::string title, text;
};

}  // namespace zorvane

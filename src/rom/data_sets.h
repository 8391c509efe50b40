#pragma once

// The three data sets together live in rom/, beside the sets themselves: the
// rooms above (transfer, document, editing) all use them, and a type lives in the
// lowest room that every user of it can reach.

#include "rom/battle/formations.h"
#include "rom/monsters/monster_graphics.h"
#include "rom/portraits/portrait_set.h"
#include "rom/sprites/sprite_set.h"

namespace morvik {

// The three data sets of an open ROM.
struct DataSets {
    MonsterGraphicsSet monsters;
    PortraitSet portraits;
    CharacterSpriteSet characters;
    // Read with the others and never written: what the battle checks and the
    // battle preview need of the game's formations.
    BattleTables battle;
};

}  // namespace morvik

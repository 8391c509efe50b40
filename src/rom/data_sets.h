#pragma once

#include "rom/monsters/monster_graphics.h"
#include "rom/portraits/portrait_set.h"
#include "rom/sprites/sprite_set.h"

namespace morvik {

// The three data sets of an open ROM.
struct DataSets {
    MonsterGraphicsSet monsters;
    PortraitSet portraits;
    CharacterSpriteSet characters;
};

}  // namespace morvik

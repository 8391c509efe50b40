#pragma once

#include "backgrounds/background_pictures.h"
#include "backgrounds/battle_background.h"
#include "gfx/indexed_image.h"
#include "rom/battle/battle_check.h"
#include "rom/monsters/monster_graphics.h"

namespace morvik {

// A formation drawn as the game shows it. The picture has the size of a battle
// background (256x152) with its 48 colours first. The monster area (128x128)
// starts where the editor's pages put a monster over a background: the
// top-left corner of the window of the background they show behind it. Monster
// colour v of loaded palette i is kBattleMonsterColours + 16 * i + v, and its
// faded copy 48 further.
inline constexpr int kBattlePictureWidth = 256;
inline constexpr int kBattlePictureHeight = 152;
inline constexpr int kBattleAreaX = kThumbnailWindowX;
inline constexpr int kBattleAreaY = kThumbnailWindowY;
inline constexpr int kBattleMonsterColours = 48;
inline constexpr int kBattleFadedColours =
    kBattleMonsterColours + battle::kLoadedPalettes * battle::kPaletteColours;

struct BattlePictureOptions {
    // Draws what the game leaves out (rows after an empty one, cells past the
    // place) at their own places in faded colours, under what the game draws.
    bool showCutParts = false;
    // Draws the slots that join the battle later too.
    bool allSlots = false;
};

// Each shown slot in slot order, later ones over earlier ones; colour 0 of a
// monster lets the background through. A monster wider than its place is drawn
// as the game garbles it: each row takes only the place's width of cells while
// the tiles follow on in mold order.
IndexedImage composeFormation(const MonsterGraphicsSet& set, const FormationView& view,
                              const BattleBackground* background,
                              const BattlePictureOptions& options = {});

}  // namespace morvik

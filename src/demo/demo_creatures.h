#pragma once

#include <cstdint>

#include "gfx/indexed_image.h"
#include "gfx/tile_codec.h"

namespace morvik {

// The kinds of creature the demo ROM's monsters and espers are drawn as.
enum class CreatureKind {
    Slime,
    Beast,
    Flyer,
    Bug,
    Golem,
    Floater,
    Plant,
    Serpent,
    Seraph,
    Titan,
    Dragon
};

// A symmetric, outlined and shaded creature of the kind, varied by the seed, as
// palette indices (0 = background) on a 64x64 or 128x128 picture of 8 or 16 colours.
IndexedImage drawCreature(CreatureKind kind, std::uint64_t seed, bool large, TileDepth depth);

}  // namespace morvik

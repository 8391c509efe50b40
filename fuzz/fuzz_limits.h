#pragma once

#include <cstdlib>

#include "gfx/indexed_image.h"

namespace morvik::fuzz {

// Wider than any limit of the editors, so that the decoders run far into
// their inputs; small enough to keep each run quick.
inline constexpr int kMaxColours = 256;
inline constexpr int kMaxSide = 512;

// A writer's file must read back as the picture it was written from.
inline void expectSamePicture(const IndexedImage& expected, const IndexedImage& actual) {
    if (!(expected == actual)) std::abort();
}

}  // namespace morvik::fuzz

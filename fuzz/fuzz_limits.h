#pragma once

#include <cstddef>
#include <cstdlib>

#include "gfx/indexed_image.h"
#include "imagefile/file_picture.h"
#include "imagefile/image_status.h"

namespace morvik::fuzz {

// Wider than any limit of the editors, so that the decoders run far into
// their inputs; small enough to keep each run quick.
inline constexpr int kMaxColours = 256;
inline constexpr int kMaxSide = 512;

// A writer's file must read back as the picture it was written from.
inline void expectSamePicture(const IndexedImage& expected, const IndexedImage& actual) {
    if (!(expected == actual)) std::abort();
}

// The picture as the file stores it comes from the same decoding as the
// picture with a chosen palette: wherever that one is read, this one is too,
// with the same colour at every pixel, and its indices lie inside its palette.
inline void expectSameFilePicture(const FilePicture& picture, ImageStatus pictureStatus,
                                  const IndexedImage& image, ImageStatus imageStatus) {
    if (imageStatus == ImageStatus::Ok && pictureStatus != ImageStatus::Ok) std::abort();
    if (pictureStatus != ImageStatus::Ok) return;
    const auto pixels = static_cast<std::size_t>(picture.width) * picture.height;
    const std::size_t stored = picture.indexed ? picture.indices.size() : picture.colours.size();
    if (stored != pixels) std::abort();
    for (std::size_t at = 0; at < pixels; ++at) {
        if (picture.indexed && picture.indices[at] >= picture.palette.size()) std::abort();
        if (imageStatus != ImageStatus::Ok) continue;
        const PaletteColour colour =
            picture.indexed ? picture.palette[picture.indices[at]] : picture.colours[at];
        const int x = static_cast<int>(at % static_cast<std::size_t>(picture.width));
        const int y = static_cast<int>(at / static_cast<std::size_t>(picture.width));
        if (!(colour == image.getPixelColour(x, y))) std::abort();
    }
}

}  // namespace morvik::fuzz

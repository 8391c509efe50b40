#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "gfx/indexed_image.h"
#include "imagefile/image_status.h"

namespace morvik {

// Writes the frames, all of one size, as an animated GIF that loops forever:
// colour 0 of every frame is transparent, each frame shows for
// delayCentiseconds (held to 0..65535) and is cleared before the next, so a
// transparent pixel never keeps the one before it. The first frame's palette is
// the file's colour table; a frame whose colours differ from it carries its
// own. Pixels at or beyond a frame's colourCount are written as colour 0.
// CannotWrite when there is no frame, the sizes differ or exceed the format's
// 65535, or encoding fails; `out` is empty then.
ImageStatus animatedGifBytes(const std::vector<IndexedImage>& frames, int delayCentiseconds,
                             std::vector<std::uint8_t>& out);
// The same into a file; CannotWrite also when the file cannot be written.
ImageStatus writeAnimatedGif(const std::filesystem::path& path,
                             const std::vector<IndexedImage>& frames, int delayCentiseconds);

}  // namespace morvik

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/colour.h"
#include "gfx/indexed_image.h"
#include "rom/sprites/sprite_set.h"

namespace morvik {

// A character's field sprite played as a short loop of its frames: the
// preview shows it and an animated GIF keeps it.

inline constexpr const char* kDefaultFrameList = "0, 1, 0, 2";
inline constexpr int kDefaultFramesPerSecond = 4;
inline constexpr int kMinFramesPerSecond = 1;
inline constexpr int kMaxFramesPerSecond = 30;
inline constexpr int kMinAnimationScale = 1;
inline constexpr int kMaxAnimationScale = 4;

// Frame numbers 0..39 separated by a comma, spaces, or both ("0, 1, 0, 2",
// "0 1 0 2"); spaces around the list are allowed. Nothing for an empty list,
// a number out of range, an empty place between two commas or anything else.
std::optional<std::vector<int>> parseFrameList(std::string_view text);
// The list as the user writes it: "0, 1, 0, 2".
std::string frameListText(const std::vector<int>& frames);

// The place in a list of `count` frames shown `elapsedMs` after the start at
// `fps` frames a second (held to 1..30), going round; 0 for an empty list or a
// time before the start. Counted in whole milliseconds, so it never drifts.
int animationPosition(std::size_t count, int fps, std::int64_t elapsedMs);

// How long a GIF shows each frame at `fps` (held to 1..30), in hundredths of a
// second: 100 / fps rounded, and never below 2, which browsers slow down.
int gifDelayCentiseconds(int fps);

// What stands behind the figure in the preview: a plain colour, or a picture
// (a battle background) whose middle shows, enlarged with the figure. A picture
// that is missing or unsized counts as the plain colour.
struct AnimationBackground {
    bool plain = true;
    PaletteColour colour{};
    const IndexedImage* picture = nullptr;
};

// The character's 16x24 frame enlarged `scale` times (held to 1..4) over the
// background, which shows wherever the frame has colour 0. The result's palette
// is the character's 16 colours followed by the background's. Unsized for a
// character or frame that does not exist.
IndexedImage animationFrame(const CharacterSpriteSet& set, int character, int frame, int scale,
                            const AnimationBackground& background);

// The frames of a loop as a GIF keeps them: each enlarged `scale` times (held
// to 1..4) with nothing behind it, so colour 0 stays transparent, all with the
// character's palette. Empty when the character or any frame does not exist.
std::vector<IndexedImage> animationGifFrames(const CharacterSpriteSet& set, int character,
                                             const std::vector<int>& frames, int scale);

}  // namespace morvik

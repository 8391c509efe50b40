#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace morvik {

// The landscapes behind the demo ROM's battles, drawn as colour roles rather
// than final palette slots: roles 0-15 belong to the sky group, 16-31 to the
// far group and 32-47 to the near group, matching the three 16-colour groups a
// background tile map can pick per cell. A cell that mixes groups is shown in
// the group of its nearest layer, the other roles mapped to that group's
// closest colours (the palette side lives in demo_backgrounds.cpp).

inline constexpr int kSceneWidth = 128;
inline constexpr int kSceneHeight = 136;
inline constexpr int kSceneColourCount = 48;
inline constexpr int kSceneGroupColours = 16;
inline constexpr int kSceneThemeCount = 9;
inline constexpr int kSceneVariantCount = 6;

namespace roles {
// Sky group: a gradient from the zenith (0) to the horizon (7), clouds, the sun
// or moon with its glow, stars and the haze of the farthest hills.
inline constexpr int kSkyBottom = 7;
inline constexpr int kCloudShade = 8, kCloudMid = 9, kCloudLight = 10;
inline constexpr int kGlow = 11, kOrb = 12, kStarDim = 13, kStarBright = 14, kHaze = 15;
// Far and near groups: a ramp of eight (dark to light), then accents.
inline constexpr int kFar = 16, kFarAccent = 24, kFarAccentShade = 25;
inline constexpr int kNear = 32, kNearAccent = 40;  // 40-42, dark to light
// The last slots of the far and near groups repeat colours of the groups behind,
// so cells along an outline keep close to their true colours.
inline constexpr int kFarBorrowedSlot = 26, kNearBorrowedSlot = 43;
inline constexpr std::array<int, 6> kFarBorrowed = {3, 4, 5, 6, 7, kCloudMid};
inline constexpr std::array<int, 5> kNearBorrowed = {kFar + 1, kFar + 3, kFar + 5, 6, 7};
}  // namespace roles

// The time of day of a variant: how its palette is darkened and tinted.
struct SceneMood {
    int brightness;           // of 256
    std::uint32_t tint;       // 0xRRGGBB
    int skyTint, groundTint;  // of 256
    bool night;               // stars and moon instead of the sun
};

SceneMood sceneMood(int theme, int variant);

// Variant 0..5 of theme 0..8, kSceneWidth x kSceneHeight roles row after row.
// The variants of a theme share their shapes' building blocks (clouds, texture)
// and differ in layout and time of day.
std::vector<std::uint8_t> drawScenery(int theme, int variant);

}  // namespace morvik

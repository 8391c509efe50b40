#pragma once

#include <filesystem>
#include <vector>

#include "backgrounds/battle_background.h"
#include "gfx/indexed_image.h"

namespace morvik {

// The sixty pictures the user can show behind the edited images: five
// decorative ones, plain black, plain blue, and 53 of the battle backgrounds.
inline constexpr int kThumbnailCount = 60;
inline constexpr int kThumbnailSide = 128;
inline constexpr int kDecorativePictureCount = 5;
inline constexpr int kBlackThumbnail = 5;
inline constexpr int kBlueThumbnail = 6;
inline constexpr PaletteColour kBlueThumbnailColour = PaletteColour::fromRgb(30, 60, 240);
// Where a battle background's thumbnail window starts in its picture.
inline constexpr int kThumbnailWindowX = 64;
inline constexpr int kThumbnailWindowY = 12;

struct BackgroundPictures {
    std::vector<BattleBackground> battleBackgrounds;
    std::vector<IndexedImage> thumbnails;
    // Set once the battle backgrounds were decoded: that happens once per run.
    bool backgroundsLoaded = false;
    IndexedImage background128;  // the chosen thumbnail, palette by first appearance
    IndexedImage background256;  // background128 at twice the size
};

// Decorative picture 0..4 (three of them lettered "Morvik").
IndexedImage decorativePicture(int n);

// The battle background a thumbnail shows, or -1 for the others.
int battleBackgroundOfThumbnail(int thumbnail);

// The sixty thumbnails, from the decoded battle backgrounds (a missing one
// shows as a blank picture).
std::vector<IndexedImage> buildThumbnails(const std::vector<BattleBackground>& battleBackgrounds);

// On the first call, decodes the battle backgrounds of the ROM and builds the
// thumbnails; on every call, rebuilds the two current pictures from the chosen
// thumbnail (a choice outside 0..59 counts as 0). A ROM that cannot be read
// leaves the battle-background thumbnails blank.
void applyBackground(BackgroundPictures& pictures, int selection,
                     const std::filesystem::path& romPath);
// The same on a ROM already read.
void applyBackground(BackgroundPictures& pictures, int selection, const RomFile& rom);

// Rebuilds background128 and background256 from a thumbnail.
void buildCurrentBackground(BackgroundPictures& pictures, int selection);

}  // namespace morvik

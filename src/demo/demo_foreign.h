#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace morvik {

// The demo ROM as another tool might have written it (DemoRomOptions::foreign):
// the same pictures, but tables laid out and filled in ways Morvik's own save
// never produces. A save that rewrites data the user did not touch changes
// these bytes, which is what the fixture is for.

// Two monster records that read one graphics entry each in their own way: the
// first as its picture was drawn, the second with the other depth (depth pair)
// or through another mold of the same size (mold pair). The second records of
// the pairs show other pixels than demoMonster() gives.
inline constexpr std::array<int, 2> kDemoForeignDepthPair = {121, 239};
inline constexpr std::array<int, 2> kDemoForeignMoldPair = {126, 244};

// Records whose byte 2 carries bits the game does not use (2..6), with those bits.
inline constexpr std::array<std::pair<int, std::uint8_t>, 4> kDemoForeignUnusedBits = {
    {{9, 0x04}, {150, 0x28}, {260, 0x40}, {395, 0x7C}}};

// Formations whose bytes carry bits the game does not use: byte 0 bits 0-3 (beside
// the map), byte 1 bits 6-7 (beside the present slots) and byte 14 bits 6-7
// (beside the 9th bits). They decode as the plain formations do.
struct DemoForeignFormationBits {
    int formation;
    std::uint8_t mapByte;
    std::uint8_t presentByte;
    std::uint8_t highBitsByte;
};
inline constexpr std::array<DemoForeignFormationBits, 4> kDemoForeignFormationBits = {
    {{0, 0x05, 0x00, 0x00},
     {56, 0x00, 0xC0, 0x00},
     {301, 0x00, 0x00, 0x40},
     {575, 0x0F, 0x80, 0xC0}}};

// A record whose picture's mold marks cells inside its outline that hold no
// pixel: their tiles are stored, all zero.
inline constexpr int kDemoForeignBlankMarkedRecord = 3;

// Palette index bytes past what the editor offers; both name palette 0 in the
// plain demo, which is what they load as.
inline constexpr int kDemoForeignHighIndexPortrait = 0;
inline constexpr std::uint8_t kDemoForeignPortraitIndexByte = 0x53;
inline constexpr int kDemoForeignHighIndexCharacter = 21;
inline constexpr std::uint8_t kDemoForeignCharacterIndexByte = 0x2A;

// Colours (16 * palette + colour) of the second copy of the first sprite
// palettes that differ from the main table.
inline constexpr std::array<int, 3> kDemoForeignDriftedCopyColours = {19, 76, 87};

// Bit 15 of a colour word, which the game ignores.
inline constexpr std::uint16_t kDemoForeignColourFlag = 0x8000;
// Which colour words (counted from the table's start) carry that bit.
constexpr bool demoForeignFlagsMonsterColour(int word) {
    return word % 3 != 1;
}
constexpr bool demoForeignFlagsPortraitColour(int word) {
    return word % 2 == 0;
}
constexpr bool demoForeignFlagsSpriteColour(int word) {
    return word % 3 == 0;
}
constexpr bool demoForeignFlagsCopyColour(int word) {
    return word % 2 == 1;
}

// Filler another tool keeps in unused room: never zero.
constexpr std::uint8_t demoForeignFiller(std::uint32_t position) {
    return static_cast<std::uint8_t>(0x80 | ((position * 37 + 11) & 0x7F));
}

// What tests need to know of a foreign demo ROM.
struct DemoForeignFacts {
    std::array<int, 2> sharedDepthPair{};
    std::array<int, 2> sharedMoldPair{};
    int portraitWithHighIndex = 0;
    int characterWithHighIndex = 0;
    std::vector<int> recordsWithUnusedBits;
    // A record whose mold marks cells whose tiles are all zero.
    int recordWithBlankMarkedCells = 0;
    std::vector<int> driftedCopyColours;
    // Filled gaps between graphics entries: (start, bytes) from the block's start.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> graphicsGaps;
    // Where the filled tail of the graphics block starts; it runs to the end of
    // what a load reads.
    std::uint32_t graphicsEnd = 0;
    // The molds the two tables hold before their filled gaps. The large table
    // starts where 128 small molds would end.
    int smallMoldCount = 0;
    int largeMoldCount = 0;
};

DemoForeignFacts demoForeignFacts();

}  // namespace morvik

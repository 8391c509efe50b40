#include "gfx/colour.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

TEST(Colour, SnesToRgbKnownValues) {
    EXPECT_EQ(snesToRgb(0xFF, 0x7F), PaletteColour::fromRgb(248, 248, 248));
    EXPECT_EQ(snesToRgb(0x1F, 0x00), PaletteColour::fromRgb(248, 0, 0));
    EXPECT_EQ(snesToRgb(0xE0, 0x03), PaletteColour::fromRgb(0, 248, 0));
    EXPECT_EQ(snesToRgb(0x00, 0x7C), PaletteColour::fromRgb(0, 0, 248));
    EXPECT_EQ(snesToRgb(0x00, 0x00), PaletteColour::fromRgb(0, 0, 0));
    // Bit 15 is not part of the colour.
    EXPECT_EQ(snesToRgb(0xFF, 0xFF), snesToRgb(0xFF, 0x7F));
}

TEST(Colour, RgbToSnesKnownValues) {
    EXPECT_EQ(rgbToSnes(PaletteColour::fromRgb(255, 0, 0)), (SnesColour{0x1F, 0x00}));
    EXPECT_EQ(rgbToSnes(PaletteColour::fromRgb(0, 0, 255)), (SnesColour{0x00, 0x7C}));
    EXPECT_EQ(rgbToSnes(PaletteColour::fromRgb(0, 255, 0)), (SnesColour{0xE0, 0x03}));
    EXPECT_EQ(rgbToSnes(PaletteColour::fromRgb(255, 255, 255)), (SnesColour{0xFF, 0x7F}));
    EXPECT_EQ((SnesColour{0x34, 0x12}).word(), 0x1234);
}

// Every one of the 32768 colour words survives the trip to a display colour and back.
TEST(Colour, EveryGameColourRoundTrips) {
    for (unsigned word = 0; word < 0x10000; ++word) {
        const auto low = static_cast<std::uint8_t>(word & 0xFF);
        const auto high = static_cast<std::uint8_t>(word >> 8);
        const PaletteColour rgb = snesToRgb(low, high);
        ASSERT_EQ(rgbToSnes(rgb).word(), word & 0x7FFF) << "word " << word;
    }
}

// Each component is its own 5 bits times 8, with no bleeding into the others.
TEST(Colour, ComponentsAreIndependentAndScaledByEight) {
    for (unsigned c = 0; c < 32; ++c) {
        const auto expected = static_cast<std::uint8_t>(c * 8);
        const SnesColour red = rgbToSnes(PaletteColour::fromRgb(expected, 0, 0));
        const SnesColour green = rgbToSnes(PaletteColour::fromRgb(0, expected, 0));
        const SnesColour blue = rgbToSnes(PaletteColour::fromRgb(0, 0, expected));
        EXPECT_EQ(red.word(), c);
        EXPECT_EQ(green.word(), c << 5);
        EXPECT_EQ(blue.word(), c << 10);
        EXPECT_EQ(snesToRgb(red), PaletteColour::fromRgb(expected, 0, 0));
        EXPECT_EQ(snesToRgb(green), PaletteColour::fromRgb(0, expected, 0));
        EXPECT_EQ(snesToRgb(blue), PaletteColour::fromRgb(0, 0, expected));
    }
}

// Any 8-bit value loses exactly its low three bits on the way to the game and back.
TEST(Colour, DisplayColourLosesLowThreeBits) {
    for (unsigned v = 0; v < 256; ++v) {
        const auto value = static_cast<std::uint8_t>(v);
        const auto truncated = static_cast<std::uint8_t>(v & 0xF8);
        const PaletteColour back =
            snesToRgb(rgbToSnes(PaletteColour::fromRgb(value, value, value)));
        EXPECT_EQ(back, PaletteColour::fromRgb(truncated, truncated, truncated));
        EXPECT_EQ(rgbToSnes(PaletteColour::fromRgb(value, value, value)).high & 0x80, 0);
    }
}

TEST(Colour, PaletteColourByteOrderAndColorRef) {
    const PaletteColour colour = PaletteColour::fromRgb(1, 2, 3);
    EXPECT_EQ(colour.blue, 3);
    EXPECT_EQ(colour.green, 2);
    EXPECT_EQ(colour.red, 1);
    static_assert(sizeof(PaletteColour) == 3, "copied into colour tables byte for byte");
    EXPECT_EQ(PaletteColour::fromColorRef(0x00332211), PaletteColour::fromRgb(0x11, 0x22, 0x33));
}

}  // namespace
}  // namespace morvik

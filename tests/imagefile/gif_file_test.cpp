#include "imagefile/gif_file.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <span>
#include <string>

#include "imagefile/image_bytes.h"
#include "imagefile/image_checks.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using test::patternImage;
using test::rgb;

struct MemoryGif {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int count) {
    auto* source = static_cast<MemoryGif*>(gif->UserData);
    const std::size_t taken =
        std::min(static_cast<std::size_t>(count), source->data.size() - source->position);
    std::memcpy(out, source->data.data() + source->position, taken);
    source->position += taken;
    return static_cast<int>(taken);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using ReadGif = std::unique_ptr<GifFileType, GifCloser>;

// The whole file as giflib reads it, or nothing when it is not a valid GIF.
ReadGif slurp(MemoryGif& source) {
    int error = 0;
    ReadGif gif(DGifOpen(&source, readFromMemory, &error));
    if (gif == nullptr || DGifSlurp(gif.get()) != GIF_OK) return nullptr;
    return gif;
}

bool hasLoopingExtension(const GifFileType& gif) {
    for (int i = 0; i < gif.SavedImages[0].ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = gif.SavedImages[0].ExtensionBlocks[i];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0) {
            const ExtensionBlock& data = gif.SavedImages[0].ExtensionBlocks[i + 1];
            return data.ByteCount == 3 && data.Bytes[0] == 1 && data.Bytes[1] == 0 &&
                   data.Bytes[2] == 0;
        }
    }
    return false;
}

// Frame i as the file shows it: its pixels through the colour table it uses.
std::vector<PaletteColour> frameColours(const GifFileType& gif, int i) {
    const SavedImage& image = gif.SavedImages[i];
    const ColorMapObject* map =
        image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif.SColorMap;
    std::vector<PaletteColour> colours;
    for (int p = 0; p < image.ImageDesc.Width * image.ImageDesc.Height; ++p) {
        const GifColorType& c = map->Colors[image.RasterBits[p]];
        colours.push_back(PaletteColour::fromRgb(c.Red, c.Green, c.Blue));
    }
    return colours;
}

TEST(AnimatedGif, KeepsFramesTimingTransparencyAndLooping) {
    std::vector<IndexedImage> frames = {patternImage(10, 7, 16), patternImage(10, 7, 16),
                                        patternImage(10, 7, 16)};
    frames[1].flip(FlipDirection::Horizontal, FlipRegion::WholeImage);
    frames[2].setPaletteEntry(3, rgb(1, 2, 3), false);  // a colour of its own
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(animatedGifBytes(frames, 25, bytes), ImageStatus::Ok);
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");

    MemoryGif source{bytes};
    const ReadGif gif = slurp(source);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(gif->ImageCount, 3);
    EXPECT_EQ(gif->SWidth, 10);
    EXPECT_EQ(gif->SHeight, 7);
    EXPECT_EQ(gif->SColorMap->ColorCount, 16);
    EXPECT_TRUE(hasLoopingExtension(*gif));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), i, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, 25);
        EXPECT_EQ(control.TransparentColor, 0);
        EXPECT_EQ(control.DisposalMode, DISPOSE_BACKGROUND);
        EXPECT_EQ(std::vector<std::uint8_t>(gif->SavedImages[i].RasterBits,
                                            gif->SavedImages[i].RasterBits + 70),
                  std::vector<std::uint8_t>(frames[i].pixels().begin(), frames[i].pixels().end()));
        EXPECT_EQ(frameColours(*gif, i), test::pixelColours(frames[i]));
    }
    // Only the frame whose colours differ carries a table of its own.
    EXPECT_EQ(gif->SavedImages[1].ImageDesc.ColorMap, nullptr);
    EXPECT_NE(gif->SavedImages[2].ImageDesc.ColorMap, nullptr);
}

TEST(AnimatedGif, PadsTheColourTableAndWritesFiles) {
    const std::vector<IndexedImage> frames = {patternImage(3, 2, 5)};
    const test::TempDir dir;
    const auto path = dir.file("walk.gif");
    ASSERT_EQ(writeAnimatedGif(path, frames, 10), ImageStatus::Ok);
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(readImageBytes(path, bytes), ImageStatus::Ok);
    MemoryGif source{bytes};
    const ReadGif gif = slurp(source);
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(gif->SColorMap->ColorCount, 8);
    EXPECT_EQ(frameColours(*gif, 0), test::pixelColours(frames[0]));
}

TEST(AnimatedGif, RefusesNoFramesAndMixedSizes) {
    const std::vector<std::vector<IndexedImage>> refused = {
        {},
        {patternImage(4, 4, 2), patternImage(4, 5, 2)},
        {patternImage(4, 4, 2), IndexedImage{}},
    };
    for (const auto& frames : refused) {
        std::vector<std::uint8_t> bytes = {1};
        EXPECT_EQ(animatedGifBytes(frames, 10, bytes), ImageStatus::CannotWrite);
        EXPECT_TRUE(bytes.empty());
    }
    const test::TempDir dir;
    EXPECT_EQ(writeAnimatedGif(dir.file("none.gif"), {}, 10), ImageStatus::CannotWrite);
    EXPECT_EQ(writeAnimatedGif(dir.file("missing/walk.gif"), {patternImage(2, 2, 2)}, 10),
              ImageStatus::CannotWrite);
}

}  // namespace
}  // namespace morvik

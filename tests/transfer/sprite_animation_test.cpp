#include "transfer/sprite_animation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "demo/demo_rom.h"
#include "imagefile/image_checks.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using test::patternImage;
using test::rgb;

TEST(SpriteAnimation, ParsesFrameLists) {
    const struct {
        const char* text;
        std::optional<std::vector<int>> frames;
    } cases[] = {
        {"0,1,0,2", std::vector<int>{0, 1, 0, 2}},
        {"0 1 0 2", std::vector<int>{0, 1, 0, 2}},
        {"0, 1,0 ,  2", std::vector<int>{0, 1, 0, 2}},
        {" 3 , 39 ", std::vector<int>{3, 39}},
        {"07", std::vector<int>{7}},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"40", std::nullopt},
        {"-1", std::nullopt},
        {"a", std::nullopt},
        {"1a", std::nullopt},
        {"1,,2", std::nullopt},
        {"1,", std::nullopt},
        {",1", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseFrameList(c.text), c.frames) << '"' << c.text << '"';
    }
    EXPECT_EQ(frameListText({0, 1, 0, 2}), kDefaultFrameList);
    EXPECT_EQ(parseFrameList(frameListText({5, 39, 0})), (std::vector<int>{5, 39, 0}));
}

TEST(SpriteAnimation, PlaysThePositionsInTime) {
    const struct {
        std::size_t count;
        int fps;
        std::int64_t elapsedMs;
        int position;
    } cases[] = {
        {4, 4, 0, 0},    {4, 4, 249, 0},  {4, 4, 250, 1},  {4, 4, 999, 3},
        {4, 4, 1000, 0}, {4, 4, 1250, 1}, {3, 30, 33, 0},  {3, 30, 34, 1},
        {3, 0, 999, 0},  {3, 0, 1000, 1}, {3, 99, 100, 0}, {3, 99, 134, 1},
        {0, 4, 5000, 0}, {4, 4, -250, 0}, {5, 7, 3000, 1}, {4, 30, INT64_MAX, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(animationPosition(c.count, c.fps, c.elapsedMs), c.position)
            << c.count << " frames, " << c.fps << " fps, " << c.elapsedMs << " ms";
    }
}

TEST(SpriteAnimation, GifDelays) {
    const std::pair<int, int> cases[] = {{1, 100}, {3, 33},  {4, 25}, {7, 14},
                                         {30, 3},  {0, 100}, {60, 3}};
    for (const auto& [fps, delay] : cases)
        EXPECT_EQ(gifDelayCentiseconds(fps), delay) << fps;
}

// The demo ROM's sprites, read once for every case.
class SpriteAnimationDemo : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const test::TempDir dir;
        const auto path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(loadCharacterSprites(set, path), RomLoadResult::Loaded);
    }
    static const IndexedImage& frame(int character, int f) {
        return set.characters[static_cast<std::size_t>(character)]
            .frames[static_cast<std::size_t>(f)];
    }
    // Every pixel of the shown frame: the figure's colour, or where it has
    // colour 0, the colour the background gives that pixel of the frame.
    template <typename Behind>
    static void expectShown(const IndexedImage& shown, const IndexedImage& figure, int scale,
                            Behind behind) {
        ASSERT_EQ(shown.width(), figure.width() * scale);
        ASSERT_EQ(shown.height(), figure.height() * scale);
        int transparent = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const int fx = x / scale;
                const int fy = y / scale;
                const bool clear = figure.getPixel(fx, fy) == 0;
                transparent += clear ? 1 : 0;
                ASSERT_EQ(shown.getPixelColour(x, y),
                          clear ? behind(fx, fy) : figure.getPixelColour(fx, fy))
                    << x << ',' << y;
            }
        }
        EXPECT_GT(transparent, 0);
        EXPECT_LT(transparent, shown.width() * shown.height());
    }
    static inline CharacterSpriteSet set;
};

TEST_F(SpriteAnimationDemo, ShowsTheFrameOverAColourOrAPicture) {
    const PaletteColour blue = rgb(30, 60, 240);
    expectShown(animationFrame(set, 2, 1, 3, {true, blue, nullptr}), frame(2, 1), 3,
                [&](int, int) { return blue; });
    // A picture missing or not chosen leaves the plain colour.
    const IndexedImage picture = patternImage(40, 50, 40);
    expectShown(animationFrame(set, 0, 0, 1, {false, blue, nullptr}), frame(0, 0), 1,
                [&](int, int) { return blue; });
    expectShown(animationFrame(set, 0, 0, 1, {true, blue, &picture}), frame(0, 0), 1,
                [&](int, int) { return blue; });
    // The middle of the picture, enlarged with the figure.
    expectShown(animationFrame(set, 5, 10, 4, {false, blue, &picture}), frame(5, 10), 4,
                [&](int x, int y) { return picture.getPixelColour(12 + x, 13 + y); });
    // The scale is held to 1..4; nothing to show for what does not exist.
    EXPECT_EQ(animationFrame(set, 0, 0, 9, {}).width(), 16 * kMaxAnimationScale);
    EXPECT_EQ(animationFrame(set, 0, 0, 0, {}).width(), 16 * kMinAnimationScale);
    EXPECT_FALSE(animationFrame(set, 22, 0, 1, {}).hasPixels());
    EXPECT_FALSE(animationFrame(set, 0, 40, 1, {}).hasPixels());
    EXPECT_FALSE(animationFrame(set, -1, 0, 1, {}).hasPixels());
}

TEST_F(SpriteAnimationDemo, GifFramesKeepColourZeroAndThePalette) {
    const std::vector<int> list = {0, 1, 0, 2};
    const std::vector<IndexedImage> frames = animationGifFrames(set, 3, list, 2);
    ASSERT_EQ(frames.size(), list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const IndexedImage& figure = frame(3, list[i]);
        EXPECT_EQ(test::paletteOf(frames[i]), test::paletteOf(figure));
        ASSERT_EQ(frames[i].width(), 32);
        ASSERT_EQ(frames[i].height(), 48);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(frames[i].getPixel(x, y), figure.getPixel(x / 2, y / 2));
        }
    }
    EXPECT_TRUE(animationGifFrames(set, 3, {0, 40}, 2).empty());
    EXPECT_TRUE(animationGifFrames(set, 22, {0}, 2).empty());
}

}  // namespace
}  // namespace morvik

// The animation preview without its window: kept lists, play and pause on a
// clock the test moves, a new speed that keeps the frame, and pictures that
// follow the sprites.
#include "editing/animation_preview_model.h"

#include <gtest/gtest.h>

#include "rom/sprites/sprite_edit.h"
#include "support/demo_sets.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

TEST(KeptFrameLists, AreReadKeptAndReplacedByName) {
    struct Case {
        const char* text;
        std::optional<KeptFrameList> list;
    };
    for (const Case& c : {Case{"Walk down: 0, 1, 0, 2", KeptFrameList{"Walk down", {0, 1, 0, 2}}},
                          Case{"  Jump :3 39", KeptFrameList{"Jump", {3, 39}}},
                          Case{"4, 5", KeptFrameList{"", {4, 5}}}, Case{": 1, 2", std::nullopt},
                          Case{"Run: 40", std::nullopt}, Case{"Run:", std::nullopt}}) {
        EXPECT_EQ(parseKeptFrameList(c.text), c.list) << c.text;
    }
    EXPECT_EQ(keptFrameListText({"Walk", {0, 1}}), "Walk: 0, 1");
    std::vector<std::string> kept = {"Walk: 0, 1", "Run: 2, 3"};
    keepFrameList(kept, {"Walk", {5}});
    EXPECT_EQ(kept, (std::vector<std::string>{"Run: 2, 3", "Walk: 5"}));
    for (int i = 0; i < 20; ++i)
        keepFrameList(kept, {"L" + std::to_string(i), {i}});
    EXPECT_EQ(kept.size(), kMaxKeptFrameLists);
    EXPECT_EQ(kept.back(), "L19: 19");
}

class AnimationPreview : public ::testing::Test {
  protected:
    void SetUp() override { test::loadDemoSets(sets); }
    DataSets sets;
};

TEST_F(AnimationPreview, PlaysPausesAndKeepsTheFrameThroughANewSpeed) {
    AnimationPreviewModel model(sets.characters);
    EXPECT_EQ(model.frames(), (std::vector<int>{0, 1, 0, 2}));
    EXPECT_TRUE(model.setFrameText("Walk: 5, 6, 7"));
    EXPECT_FALSE(model.setFrameText("5, 66"));
    EXPECT_EQ(model.frames(), (std::vector<int>{5, 6, 7}));
    model.setFramesPerSecond(4, 0);  // a frame every 250 ms
    model.play(1000);
    struct Step {
        std::int64_t at;
        int frame;
    };
    for (const Step s : {Step{1000, 5}, Step{1249, 5}, Step{1250, 6}, Step{1500, 7}, Step{1750, 5}})
        EXPECT_EQ(model.frameAt(s.at), s.frame) << s.at;
    model.pause(1600);  // on frame 7
    EXPECT_EQ(model.frameAt(9000), 7);
    model.setFramesPerSecond(20, 9000);
    EXPECT_EQ(model.frameAt(9000), 7) << "a new speed keeps the frame";
    model.play(10000);
    EXPECT_EQ(model.frameAt(10050), 5);
    model.setFramesPerSecond(99, 10050);
    EXPECT_EQ(model.framesPerSecond(), kMaxFramesPerSecond);
}

TEST_F(AnimationPreview, PicturesFollowTheSpritesAndTheGifKeepsTheCycle) {
    AnimationPreviewModel model(sets.characters);
    model.setCharacter(3);
    model.setScale(3);
    EXPECT_TRUE(model.setFrameText("1"));
    const IndexedImage before = model.pictureAt(0);
    ASSERT_EQ(before.width(), 16 * 3);
    ASSERT_EQ(before.height(), 24 * 3);
    const std::uint8_t old = sets.characters.characters[3].frames[1].getPixel(8, 12);
    ASSERT_TRUE(setCharacterPixel(sets.characters, 3, 1, 8, 12, old == 7 ? 8 : 7));
    EXPECT_FALSE(model.pictureAt(0) == before) << "an edit shows at once";
    const test::TempDir dir;
    EXPECT_TRUE(model.setFrameText("0, 1, 0, 2"));
    EXPECT_EQ(model.exportGif(dir.file("walk.gif")), ImageStatus::Ok);
    EXPECT_GT(std::filesystem::file_size(dir.file("walk.gif")), 100u);
    EXPECT_EQ(model.exportGif(dir.file("missing/walk.gif")), ImageStatus::CannotWrite);
}

}  // namespace
}  // namespace morvik

#include "gfx/paint_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/pixel_selection.h"

namespace morvik {
namespace {

// A picture from rows of digits (the colour indices).
IndexedImage pictureOf(const std::vector<std::string>& rows) {
    IndexedImage picture;
    EXPECT_TRUE(picture.create(static_cast<int>(rows[0].size()), static_cast<int>(rows.size())));
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, static_cast<std::uint8_t>(rows[y][x] - '0'));
    }
    return picture;
}

// The picture drawn as rows of digits after the points take the colour.
std::vector<std::string> after(IndexedImage picture, const std::vector<ImagePoint>& points,
                               std::uint8_t index) {
    for (const PixelWrite& w : writesOf(points, index, picture, ImageRect::unbounded()))
        picture.setPixel(w.x, w.y, w.index);
    std::vector<std::string> rows;
    for (int y = 0; y < picture.height(); ++y) {
        rows.emplace_back();
        for (int x = 0; x < picture.width(); ++x)
            rows.back() += static_cast<char>('0' + picture.getPixel(x, y));
    }
    return rows;
}

TEST(PaintTools, FillTakesTheAreaOrTheColourEverywhereWithinItsBounds) {
    const IndexedImage ring = pictureOf({
        "00000",
        "01110",
        "01010",
        "01110",
        "00000",
    });
    struct Case {
        const char* name;
        ImagePoint at;
        FillReach reach;
        ImageRect bounds;
        std::vector<std::string> expected;
    };
    const ImageRect all = ImageRect::unbounded();
    const std::vector<Case> cases = {
        {"enclosed", {2, 2}, FillReach::Area, all, {"00000", "01110", "01710", "01110", "00000"}},
        {"touching the edges",
         {0, 0},
         FillReach::Area,
         all,
         {"77777", "71117", "71017", "71117", "77777"}},
        {"everywhere",
         {0, 0},
         FillReach::Everywhere,
         all,
         {"77777", "71117", "71717", "71117", "77777"}},
        {"inside a frame",
         {0, 0},
         FillReach::Area,
         {0, 0, 3, 5},
         {"77700", "71110", "71010", "71110", "77700"}},
        {"the ring", {1, 1}, FillReach::Area, all, {"00000", "07770", "07070", "07770", "00000"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(after(ring, fillPixels(ring, c.at, 7, c.bounds, c.reach), 7), c.expected)
            << c.name;
    }
    // The colour it already has, a point outside the picture or the bounds: nothing.
    EXPECT_TRUE(fillPixels(ring, {1, 1}, 1, all, FillReach::Area).empty());
    EXPECT_TRUE(fillPixels(ring, {5, 0}, 7, all, FillReach::Area).empty());
    EXPECT_TRUE(fillPixels(ring, {4, 4}, 7, {0, 0, 3, 3}, FillReach::Everywhere).empty());
}

TEST(PaintTools, LinesRunInEveryOctantFromEndToEnd) {
    const ImagePoint from{10, 10};
    for (const ImagePoint to : {ImagePoint{17, 12},
                                {12, 17},
                                {8, 17},
                                {3, 12},
                                {3, 8},
                                {8, 3},
                                {12, 3},
                                {17, 8},
                                {10, 10},
                                {10, 16},
                                {4, 10},
                                {16, 16}}) {
        const std::vector<ImagePoint> line = linePixels(from, to);
        SCOPED_TRACE(std::to_string(to.x) + "," + std::to_string(to.y));
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.front(), from);
        EXPECT_EQ(line.back(), to);
        const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
        EXPECT_EQ(static_cast<int>(line.size()), steps + 1);
        for (std::size_t i = 1; i < line.size(); ++i) {
            EXPECT_LE(std::abs(line[i].x - line[i - 1].x), 1);
            EXPECT_LE(std::abs(line[i].y - line[i - 1].y), 1);
        }
        // The line drawn back covers the same pixels.
        std::vector<ImagePoint> back = linePixels(to, from);
        std::reverse(back.begin(), back.end());
        const auto order = [](ImagePoint a, ImagePoint b) {
            return std::pair{a.x, a.y} < std::pair{b.x, b.y};
        };
        std::vector<ImagePoint> there = line;
        std::sort(there.begin(), there.end(), order);
        std::sort(back.begin(), back.end(), order);
        EXPECT_EQ(there, back);
    }
    // A 2:1 line in even runs, from either end.
    EXPECT_EQ(linePixels({0, 0}, {4, 2}),
              (std::vector<ImagePoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
    EXPECT_EQ(linePixels({2, 4}, {0, 0}),
              (std::vector<ImagePoint>{{2, 4}, {1, 3}, {1, 2}, {0, 1}, {0, 0}}));
}

TEST(PaintTools, ShiftSnapsALineToTheNearestEighthOfATurn) {
    const ImagePoint a{10, 10};
    const struct {
        ImagePoint to, snapped;
    } cases[] = {
        {{20, 12}, {20, 10}}, {{11, 20}, {10, 20}}, {{18, 16}, {18, 18}}, {{2, 17}, {2, 18}},
        {{0, 9}, {0, 10}},    {{10, 10}, {10, 10}}, {{4, 3}, {3, 3}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(snapLineEnd(a, c.to), c.snapped) << c.to.x << "," << c.to.y;
    }
}

TEST(PaintTools, RectanglesAreOutlinedOrFilledFromAnyCorner) {
    const IndexedImage blank = pictureOf({"0000", "0000", "0000", "0000"});
    EXPECT_EQ(after(blank, rectanglePixels({3, 2}, {0, 0}, false), 5),
              (std::vector<std::string>{"5555", "5005", "5555", "0000"}));
    EXPECT_EQ(after(blank, rectanglePixels({1, 1}, {2, 3}, true), 5),
              (std::vector<std::string>{"0000", "0550", "0550", "0550"}));
    EXPECT_EQ(after(blank, rectanglePixels({1, 0}, {1, 3}, false), 5),
              (std::vector<std::string>{"0500", "0500", "0500", "0500"}));
    EXPECT_EQ(rectanglePixels({2, 2}, {2, 2}, false), (std::vector<ImagePoint>{{2, 2}}));
    // Past the picture's edge the writes stop at it.
    EXPECT_EQ(writesOf(rectanglePixels({-2, -2}, {9, 9}, true), 1, blank, {0, 0, 2, 4}).size(), 8u);
}

TEST(PaintTools, BlocksAreCopiedAndFlippedInsideThePicture) {
    const IndexedImage picture = pictureOf({"1234", "5678", "9012"});
    const PixelBlock block = copyBlock(picture, {2, 1, 5, 5});  // cut to the picture
    EXPECT_EQ(block, (PixelBlock{2, 2, {7, 8, 1, 2}}));
    EXPECT_TRUE(copyBlock(picture, {4, 0, 2, 2}).empty());
    PixelBlock flipped = copyBlock(picture, {0, 0, 4, 3});
    flipBlock(flipped, FlipDirection::Horizontal);
    EXPECT_EQ(flipped.pixels, (std::vector<std::uint8_t>{4, 3, 2, 1, 8, 7, 6, 5, 2, 1, 0, 9}));
    flipBlock(flipped, FlipDirection::Vertical);
    EXPECT_EQ(flipped.pixels, (std::vector<std::uint8_t>{2, 1, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

// --- The selection -----------------------------------------------------------

// Writes the selection's changes into the picture and shows it as rows.
std::vector<std::string> applied(IndexedImage& picture, const std::vector<PixelWrite>& writes) {
    for (const PixelWrite& w : writes) {
        EXPECT_TRUE(picture.contains(w.x, w.y));
        EXPECT_NE(picture.getPixel(w.x, w.y), w.index) << "a write that changes nothing";
        picture.setPixel(w.x, w.y, w.index);
    }
    return after(picture, {}, 0);
}

using Rows = std::vector<std::string>;

TEST(PixelSelection, MovesLeaveColourZeroBehindAndKeepWhatPassesTheEdge) {
    IndexedImage picture = pictureOf({"123000", "456007", "000000"});
    PixelSelection selection;
    selection.select({0, 0, 3, 2}, picture);
    EXPECT_FALSE(selection.floating());
    EXPECT_EQ(applied(picture, selection.moveBy(1, 1, picture)),
              (Rows{"000000", "012307", "045600"}));
    EXPECT_TRUE(selection.floating());
    // Over the 7 and past the right and bottom edges; back again, the 7 and
    // the cut-off pixels return.
    EXPECT_EQ(applied(picture, selection.moveBy(3, 1, picture)),
              (Rows{"000000", "000007", "000012"}));
    EXPECT_EQ(selection.rect(), (ImageRect{4, 2, 3, 2}));
    EXPECT_EQ(applied(picture, selection.moveBy(-4, -2, picture)),
              (Rows{"123000", "456007", "000000"}));
    // Dropped, the pixels stay and the next move does nothing.
    selection.drop();
    EXPECT_TRUE(selection.moveBy(1, 0, picture).empty());
    // A selection is cut to the picture; one wholly outside is none.
    selection.select({4, 1, 9, 9}, picture);
    EXPECT_EQ(selection.rect(), (ImageRect{4, 1, 2, 2}));
    selection.select({6, 0, 2, 2}, picture);
    EXPECT_FALSE(selection.active());
}

TEST(PixelSelection, FlipPasteAndEraseChangeOnlyTheSelection) {
    IndexedImage picture = pictureOf({"123400", "567800", "999999"});
    PixelSelection selection;
    selection.select({0, 0, 3, 2}, picture);
    const PixelBlock copied = selection.pixels(picture);
    EXPECT_EQ(applied(picture, selection.flip(FlipDirection::Horizontal, picture)),
              (Rows{"321400", "765800", "999999"}));
    // A paste floats over the picture as it is: moved away, the pixels it
    // covered come back.
    EXPECT_EQ(applied(picture, selection.paste(copied, {4, 1}, picture)),
              (Rows{"321400", "765812", "999956"}));
    EXPECT_EQ(applied(picture, selection.moveBy(0, -1, picture)),
              (Rows{"321412", "765856", "999999"}));
    EXPECT_EQ(applied(picture, selection.erase(picture)), (Rows{"321400", "765800", "999999"}));
    EXPECT_FALSE(selection.floating());
    EXPECT_EQ(selection.rect(), (ImageRect{4, 0, 2, 2}))
        << "the part on the picture stays selected";
}

TEST(PixelSelection, AFloatingBlockGoesStaleWhenSomethingElseChangesThePicture) {
    IndexedImage picture = pictureOf({"1200", "3400"});
    PixelSelection selection;
    selection.select({0, 0, 2, 2}, picture);
    EXPECT_TRUE(selection.matches(picture));
    applied(picture, selection.moveBy(1, 0, picture));
    EXPECT_TRUE(selection.matches(picture));
    picture.setPixel(3, 1, 5);  // a pen stroke beside the block
    EXPECT_FALSE(selection.matches(picture));
    EXPECT_TRUE(selection.moveBy(1, 0, picture).empty()) << "it would bring back what lay beneath";
    EXPECT_TRUE(selection.flip(FlipDirection::Vertical, picture).empty());
}

}  // namespace
}  // namespace morvik

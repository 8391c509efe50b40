#include "editing/page_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "demo/demo_rom.h"
#include "editing/monster_page_model.h"
#include "editing/page_view.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using namespace monsters;

// --- The view's geometry ---------------------------------------------------

TEST(PageView, ScrollMaximumIsWhatTheViewCannotShow) {
    EXPECT_EQ(scrollMaximum(128, 2), 0);
    EXPECT_EQ(scrollMaximum(128, 20), 128 - 12);
    EXPECT_EQ(scrollMaximum(64, 4), 0);
    EXPECT_EQ(scrollMaximum(300, 0), 300 - 256);  // 0 counts as 1
    EXPECT_EQ(scrollMaximum(128, 0), 0);
    EXPECT_EQ(effectiveMagnification(0), 1);
}

TEST(PageView, ViewToImageAddsTheScrollOffsets) {
    EXPECT_EQ(viewToImage(10, 7, 4, 3, 5), (ImagePoint{2 + 3, 1 + 5}));
    EXPECT_EQ(viewToImage(255, 255, 20, 116, 0), (ImagePoint{12 + 116, 12}));
    EXPECT_EQ(viewToImage(9, 9, 0, 0, 0), (ImagePoint{9, 9}));
    // Left of and above the view never lands on the first column or row.
    EXPECT_EQ(viewToImage(-1, -4, 4, 0, 0), (ImagePoint{-1, -1}));
    EXPECT_EQ(viewToImage(-5, 0, 4, 2, 0), (ImagePoint{-2 + 2, 0}));
}

TEST(PageView, SmallPicturesAreCentredAndPointsFindTheirPixels) {
    struct Case {
        int imageSide, magnification, viewSide, offset;
    };
    for (const Case& c :
         {Case{40, 4, 256, 48}, Case{40, 4, 161, 0}, Case{40, 4, 160, 0}, Case{40, 4, 163, 1},
          Case{128, 4, 256, 0}, Case{128, 2, 356, 50}, Case{0, 4, 256, 128}}) {
        EXPECT_EQ(centringOffset(c.imageSide, c.magnification, c.viewSide), c.offset)
            << c.imageSide << " x" << c.magnification << " in " << c.viewSide;
    }
    // The offset moves the picture right and down; left of it is column -1.
    EXPECT_EQ(viewToImage(48, 50, 4, 0, 0, 48, 10), (ImagePoint{0, 10}));
    EXPECT_EQ(viewToImage(47, 9, 4, 0, 0, 48, 10), (ImagePoint{-1, -1}));
    EXPECT_EQ(viewToImage(48 + 159, 10, 4, 0, 3, 48, 10), (ImagePoint{39, 3}));
}

TEST(PageView, PictureAreaIsTheShownPartAtItsOffsets) {
    struct Case {
        int width, height, magnification, scrollX, scrollY, viewWidth, viewHeight, ratio;
        PictureArea area;
    };
    for (const Case& c : {
             Case{40, 40, 4, 0, 0, 256, 256, 1, {48, 48, 160, 160}},
             Case{128, 128, 4, 0, 0, 256, 256, 1, {0, 0, 256, 256}},
             // Scrolled to the end, the last pixels the view cannot hold whole stay grey.
             Case{128, 128, 20, 116, 116, 256, 256, 1, {0, 0, 240, 240}},
             Case{128, 40, 4, 10, 0, 300, 256, 1, {0, 48, 300, 160}},
             // Device pixels: the logical offset doubled, never rounded apart.
             Case{40, 40, 3, 0, 0, 257, 256, 2, {136, 136, 240, 240}},
             Case{0, 0, 4, 0, 0, 256, 256, 1, {128, 128, 0, 0}},
         }) {
        EXPECT_EQ(pictureArea(c.width, c.height, c.magnification, c.scrollX, c.scrollY, c.viewWidth,
                              c.viewHeight, c.ratio),
                  c.area)
            << c.width << "x" << c.height << " x" << c.magnification;
    }
}

TEST(PageView, FitIsTheLargestMagnificationShowingTheWholePicture) {
    struct Case {
        int width, height, viewWidth, viewHeight, fit;
    };
    for (const Case& c :
         {Case{128, 128, 256, 256, 2}, Case{40, 40, 256, 256, 6}, Case{128, 64, 556, 356, 4},
          Case{40, 40, 900, 900, 20}, Case{256, 256, 256, 256, 2}, Case{0, 0, 256, 256, 20},
          Case{16, 24, 256, 100, 4}}) {
        EXPECT_EQ(fitMagnification(c.width, c.height, c.viewWidth, c.viewHeight), c.fit)
            << c.width << "x" << c.height << " in " << c.viewWidth << "x" << c.viewHeight;
    }
}

TEST(PageView, ZoomKeepsThePixelUnderThePointer) {
    struct Case {
        int pointer, scroll, from, to, imageSide, viewSide;
    };
    for (const Case& c : {Case{130, 0, 4, 8, 128, 256}, Case{130, 20, 8, 4, 128, 256},
                          Case{255, 60, 4, 5, 128, 256}, Case{3, 100, 20, 19, 128, 256},
                          Case{100, 0, 4, 10, 40, 256}}) {
        const int before = viewToImage(c.pointer, 0, c.from, c.scroll, 0,
                                       centringOffset(c.imageSide, c.from, c.viewSide), 0)
                               .x;
        const int scroll =
            scrollKeepingPixel(c.pointer, c.scroll, c.from, c.to, c.imageSide, c.viewSide);
        EXPECT_GE(scroll, 0);
        EXPECT_LE(scroll, scrollMaximum(c.imageSide, c.to, c.viewSide));
        EXPECT_EQ(viewToImage(c.pointer, 0, c.to, scroll, 0,
                              centringOffset(c.imageSide, c.to, c.viewSide), 0)
                      .x,
                  before)
            << c.pointer << " x" << c.from << " to x" << c.to;
    }
    // Where the new range cannot keep it, the scroll stops at the range's end.
    EXPECT_EQ(scrollKeepingPixel(0, 100, 20, 4, 128, 256), 64);
    EXPECT_EQ(scrollKeepingPixel(200, 0, 4, 2, 128, 256), 0);
}

TEST(PageView, PixelGridAtEveryMagnifiedPixelClippedToTheView) {
    EXPECT_TRUE(gridLines(GridMode::None, 4, 0, 0, 64, 64).empty());
    const std::vector<GridLine> lines = gridLines(GridMode::Pixel, 4, 0, 0, 64, 64);
    std::vector<GridLine> expected;
    for (int at = 0; at <= 252; at += 4)
        expected.push_back({at, 0, at, 255});
    for (int at = 0; at <= 252; at += 4)
        expected.push_back({0, at, 255, at});
    EXPECT_EQ(lines, expected);

    // A small image: the lines end where the image does, its far edge included.
    const std::vector<GridLine> small = gridLines(GridMode::Pixel, 5, 0, 0, 8, 8);
    std::vector<GridLine> expectedSmall;
    for (int at = 0; at <= 40; at += 5)
        expectedSmall.push_back({at, 0, at, 40});
    for (int at = 0; at <= 40; at += 5)
        expectedSmall.push_back({0, at, 40, at});
    EXPECT_EQ(small, expectedSmall);
}

TEST(PageView, TileGridFollowsTheScrolledTileBoundaries) {
    for (const int m : {2, 3, 6}) {
        const std::vector<GridLine> lines = gridLines(GridMode::Tile, m, 3, 0, 128, 128);
        ASSERT_FALSE(lines.empty());
        const auto vertical = std::find_if(lines.begin(), lines.end(),
                                           [](const GridLine& l) { return l.x0 == l.x1; });
        ASSERT_NE(vertical, lines.end());
        EXPECT_EQ(vertical->x0, 5 * m) << m;
        const auto horizontal = std::find_if(lines.begin(), lines.end(),
                                             [](const GridLine& l) { return l.y0 == l.y1; });
        ASSERT_NE(horizontal, lines.end());
        EXPECT_EQ(horizontal->y0, 0) << m;
    }
}

TEST(PageView, GridLinesStayInsideTheView) {
    for (const GridMode mode : {GridMode::Pixel, GridMode::Tile}) {
        for (const int m : {0, 1, 2, 5, 7, 20, 40}) {
            for (const int scroll : {0, 3, 13}) {
                for (const GridLine& l : gridLines(mode, m, scroll, scroll, 128, 96)) {
                    for (const int v : {l.x0, l.y0, l.x1, l.y1}) {
                        EXPECT_GE(v, 0);
                        EXPECT_LE(v, 255);
                    }
                    EXPECT_TRUE(l.x0 == l.x1 || l.y0 == l.y1);
                }
            }
        }
    }
}

TEST(PageView, StripCells) {
    EXPECT_EQ(stripCellWidth(8), 36);
    EXPECT_EQ(stripCellWidth(16), 18);
    EXPECT_EQ(stripCellAt(0, 8), 0);
    EXPECT_EQ(stripCellAt(287, 8), 7);
    EXPECT_EQ(stripCellAt(288, 8), std::nullopt);
    EXPECT_EQ(stripCellAt(-1, 8), std::nullopt);
    EXPECT_EQ(stripCellAt(287, 16), 15);
}

TEST(PageView, PaletteStripFramesTheCurrentCellWhite) {
    std::vector<PaletteColour> colours;
    for (int i = 0; i < 8; ++i)
        colours.push_back(PaletteColour::fromRgb(static_cast<std::uint8_t>(16 + i * 24), 64, 96));
    const int current = 2;
    const IndexedImage strip = paletteStrip(colours, current);
    ASSERT_EQ(strip.width(), 288);
    ASSERT_EQ(strip.height(), 30);

    const PaletteColour white = PaletteColour::fromRgb(255, 255, 255);
    const PaletteColour black{};
    const int c = stripCellWidth(8);
    for (int i = 0; i < 8; ++i) {
        const PaletteColour frame = i == current ? white : black;
        const int left = i * c;
        const int right = left + c - 1;
        for (int y = 0; y < kStripHeight; ++y) {
            EXPECT_EQ(strip.getPixelColour(left, y), frame) << i << "," << y;
            EXPECT_EQ(strip.getPixelColour(right, y), frame) << i << "," << y;
        }
        for (int x = left; x <= right; ++x) {
            EXPECT_EQ(strip.getPixelColour(x, 0), frame) << i << "," << x;
            EXPECT_EQ(strip.getPixelColour(x, kStripHeight - 1), frame) << i << "," << x;
        }
        EXPECT_EQ(strip.getPixelColour(left + 1, 1), colours[i]) << i;
        EXPECT_EQ(strip.getPixelColour(left + c / 2, 15), colours[i]) << i;
        EXPECT_EQ(strip.getPixelColour(right - 1, kStripHeight - 2), colours[i]) << i;
    }
}

TEST(PageView, SlidersShowFiveBitComponents) {
    EXPECT_EQ(componentOf(31), 248);
    EXPECT_EQ(sliderPosition(248), 31);
    for (int value = 0; value <= kSliderMaximum; ++value)
        EXPECT_EQ(sliderPosition(componentOf(value)), value);
    EXPECT_EQ(componentOf(-3), 0);
    EXPECT_EQ(componentOf(32), 248);
    EXPECT_EQ(magnificationLabel(6), "magnification: x6");
}

// --- What every page shares ------------------------------------------------

// A page over a plain picture, recording what the base class asks of it.
TEST(PageView, ColourTextIsHexOrTheGamesWord) {
    struct Case {
        const char* text;
        std::optional<PaletteColour> colour;
    };
    const auto rgb = [](int r, int g, int b) {
        return PaletteColour::fromRgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                      static_cast<std::uint8_t>(b));
    };
    for (const Case& c :
         {Case{"#FF8000", rgb(255, 128, 0)}, Case{"ff8000", rgb(255, 128, 0)},
          Case{" #0a0B0c ", rgb(10, 11, 12)}, Case{"$7FFF", rgb(248, 248, 248)},
          Case{"$001f", rgb(248, 0, 0)}, Case{"$7C00", rgb(0, 0, 248)}, Case{"", std::nullopt},
          Case{"#FFF", std::nullopt}, Case{"#GG0000", std::nullopt}, Case{"$8000", std::nullopt},
          Case{"$7FFFF", std::nullopt}, Case{"##FF0000", std::nullopt},
          Case{"FF 000", std::nullopt}}) {
        EXPECT_EQ(parseColourText(c.text), c.colour) << c.text;
    }
    // Stored as the game keeps it: each component's top five bits.
    EXPECT_EQ(colourText(asStored(rgb(255, 135, 7))), "#F88000");
    EXPECT_EQ(colourText(rgb(10, 171, 255)), "#0AABFF");
}

class FakePage : public PageModel {
  public:
    FakePage() {
        EXPECT_TRUE(image.create(16, 12));
        for (int i = 0; i < 8; ++i) {
            colours.push_back(PaletteColour::fromRgb(static_cast<std::uint8_t>(i * 8), 40, 80));
        }
        setChangeNotifier([this] { ++notified; });
    }
    const IndexedImage& picture() const override { return image; }
    std::vector<PaletteColour> stripColours() const override { return colours; }
    ImportTarget importTarget() const override { return {}; }
    void importMapped(const MappedPicture&) override {}
    std::vector<std::string> paletteSharers(int) const override { return {}; }
    std::vector<std::string> importSharers(const MappedPicture&) const override { return {}; }
    using PageModel::paletteSharers;
    StepPlace place() const override { return {}; }
    void showStep(const StepPlace&) override {}

    IndexedImage image;
    std::vector<PaletteColour> colours;
    std::vector<ImagePoint> drawn;
    std::vector<int> swapped;
    int notified = 0;
    int strokes = 0;

  protected:
    void drawPixel(int x, int y, std::uint8_t index) override {
        EXPECT_TRUE(image.contains(x, y));
        drawn.push_back({x, y});
        image.setPixel(x, y, index);
    }
    void finishStroke() override { ++strokes; }
    void storeColour(int index, PaletteColour colour) override {
        colours[static_cast<std::size_t>(index)] = colour;
    }
    void swapWithTransparent(int index) override {
        swapped.push_back(index);
        image.swapColours(0, index);
        std::swap(colours[0], colours[static_cast<std::size_t>(index)]);
    }
};

TEST(PageModel, OnlyColoursOtherThanZeroAreEditable) {
    FakePage page;
    page.selectColour(3);
    EXPECT_EQ(page.currentColour(), 3);
    EXPECT_TRUE(page.colourEditable());
    EXPECT_FALSE(page.transparentChecked());
    page.selectColour(0);
    EXPECT_FALSE(page.colourEditable());
    EXPECT_TRUE(page.transparentChecked());
}

TEST(PageModel, SelectingColours) {
    FakePage page;
    page.selectColour(5);
    page.selectColour(8);  // outside the strip
    EXPECT_EQ(page.currentColour(), 0);
    page.selectColour(5);
    page.selectColour(-1);
    EXPECT_EQ(page.currentColour(), 0);

    EXPECT_TRUE(page.clickStrip(5 * 36 + 1));
    EXPECT_EQ(page.currentColour(), 5);
    EXPECT_FALSE(page.clickStrip(288));  // right of the last cell
    EXPECT_FALSE(page.clickStrip(-1));
    EXPECT_EQ(page.currentColour(), 5);
    EXPECT_EQ(page.notified, 0);
}

TEST(PageModel, PickerTakesThePixelAndChangesNothing) {
    FakePage page;
    page.image.setPixel(2, 3, 6);
    page.image.setPixel(4, 4, 2);
    page.setTool(EditTool::Picker);
    page.pressTool({2, 3});
    EXPECT_EQ(page.currentColour(), 6);
    page.dragTool({4, 4});
    EXPECT_EQ(page.currentColour(), 2);
    page.dragTool({16, 0});  // outside
    EXPECT_EQ(page.currentColour(), 0);
    EXPECT_EQ(page.notified, 0);
    EXPECT_TRUE(page.drawn.empty());
}

TEST(PageModel, PenPaintsAndOutsideTheImageStillCountsAsAChange) {
    FakePage page;
    page.selectColour(4);
    page.pressTool({3, 2});
    EXPECT_EQ(page.image.getPixel(3, 2), 4);
    EXPECT_EQ(page.notified, 1);
    EXPECT_EQ(page.strokes, 1);

    const IndexedImage before = page.image;
    page.pressTool({-1, -1});
    page.pressTool({16, 0});
    page.pressTool({0, 12});
    EXPECT_EQ(page.notified, 4);
    EXPECT_EQ(page.drawn.size(), 1u);
    EXPECT_TRUE(page.image == before);
}

void expectConnectedLine(ImagePoint from, ImagePoint to) {
    FakePage page;
    page.selectColour(7);
    page.pressTool(from);
    page.dragTool(to);
    const std::vector<ImagePoint>& drawn = page.drawn;
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), from);
    EXPECT_EQ(drawn.back(), to);
    EXPECT_EQ(static_cast<int>(drawn.size()),
              std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)) + 1);
    for (std::size_t i = 1; i < drawn.size(); ++i) {
        EXPECT_LE(std::abs(drawn[i].x - drawn[i - 1].x), 1) << i;
        EXPECT_LE(std::abs(drawn[i].y - drawn[i - 1].y), 1) << i;
        EXPECT_FALSE(drawn[i] == drawn[i - 1]) << i;
    }
    for (const ImagePoint p : drawn)
        EXPECT_EQ(page.image.getPixel(p.x, p.y), 7);
    EXPECT_EQ(page.notified, 2);
}

TEST(PageModel, DragCoversEveryPixelInBetween) {
    expectConnectedLine({0, 0}, {5, 3});
    expectConnectedLine({5, 3}, {0, 0});
    expectConnectedLine({2, 0}, {4, 11});
    expectConnectedLine({15, 11}, {0, 1});
    expectConnectedLine({6, 6}, {6, 6});

    // Leaving the picture: only the pixels inside are drawn.
    FakePage page;
    page.pressTool({13, 5});
    page.dragTool({20, 5});
    EXPECT_EQ(page.drawn, (std::vector<ImagePoint>{{13, 5}, {14, 5}, {15, 5}}));
}

TEST(PageModel, StrokesReachOnlyThePixelsTheViewShows) {
    // At x20 from column 2 the view shows columns 2..14 of the 16x12 picture;
    // at x3 it shows 85 columns and a third of the 86th.
    const ImageRect visible = visibleImageArea(20, 2, 0);
    EXPECT_EQ(visible.x, 2);
    EXPECT_EQ(visible.width, 13);
    EXPECT_EQ(visibleImageArea(3, 0, 0).width, 86);

    FakePage page;
    page.selectColour(7);
    page.pressTool({12, 4}, visible);
    page.dragTool({15, 4}, visible);  // past the view's right edge
    page.dragTool({15, 8}, visible);
    page.dragTool({12, 8}, visible);  // back in: the same stroke goes on
    EXPECT_EQ(page.drawn,
              (std::vector<ImagePoint>{{12, 4}, {13, 4}, {14, 4}, {14, 8}, {13, 8}, {12, 8}}));

    // Nor does the picker reach past the view.
    page.image.setPixel(15, 1, 5);
    page.setTool(EditTool::Picker);
    page.pressTool({15, 1}, visible);
    EXPECT_EQ(page.currentColour(), 7);
}

TEST(PageModel, EraserWritesZero) {
    FakePage page;
    for (int x = 0; x < 16; ++x)
        page.image.setPixel(x, 1, 5);
    page.selectColour(3);
    page.setTool(EditTool::Eraser);
    page.pressTool({2, 1});
    page.dragTool({6, 1});
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(page.image.getPixel(x, 1), x >= 2 && x <= 6 ? 0 : 5) << x;
    EXPECT_EQ(page.currentColour(), 3);
}

TEST(PageModel, SlidersWriteOneChannelOfTheCurrentColour) {
    FakePage page;
    const std::vector<PaletteColour> before = page.colours;
    page.selectColour(3);
    page.setChannel(ColourChannel::Green, 31);
    std::vector<PaletteColour> expected = before;
    expected[3].green = 248;
    EXPECT_EQ(page.colours, expected);
    page.setChannel(ColourChannel::Red, 2);
    expected[3].red = 16;
    EXPECT_EQ(page.colours, expected);
    page.setChannel(ColourChannel::Blue, 0);
    expected[3].blue = 0;
    EXPECT_EQ(page.colours, expected);
    EXPECT_EQ(page.notified, 3);
    // While the sliders rest (colour 0) they change nothing.
    page.selectColour(0);
    page.setChannel(ColourChannel::Red, 31);
    EXPECT_EQ(page.colours, expected);
    EXPECT_EQ(page.notified, 3);
}

TEST(PageModel, TypedColoursAreStoredAsTheGameKeepsThem) {
    FakePage page;
    page.setColour(PaletteColour::fromRgb(255, 255, 255));
    EXPECT_EQ(page.notified, 0) << "colour 0 is not editable";
    page.selectColour(3);
    page.setColour(PaletteColour::fromRgb(255, 135, 7));
    EXPECT_EQ(page.colours[3], PaletteColour::fromRgb(248, 128, 0));
    EXPECT_EQ(page.notified, 1);
    page.setColour(PaletteColour::fromRgb(250, 130, 1));  // stores the same
    EXPECT_EQ(page.notified, 1);
}

TEST(PageModel, TransparentSwapsWithColourZero) {
    FakePage page;
    page.image.setPixel(1, 1, 4);
    page.makeTransparent();  // colour 0 is current: the box is disabled
    EXPECT_TRUE(page.swapped.empty());
    EXPECT_EQ(page.notified, 0);

    page.selectColour(4);
    const PaletteColour four = page.colours[4];
    page.makeTransparent();
    EXPECT_EQ(page.swapped, std::vector<int>{4});
    EXPECT_EQ(page.currentColour(), 0);
    EXPECT_EQ(page.notified, 1);
    EXPECT_EQ(page.colours[0], four);
    EXPECT_EQ(page.image.getPixel(1, 1), 0);
    EXPECT_EQ(page.image.getPixel(0, 0), 4);
}

// --- Fill, line and rectangle ---------------------------------------------

// A 16x12 picture of colour 0 split by a wall of colour 2 at column 5, with
// one more pixel of colour 0 at (9, 6) inside a ring of colour 3.
void drawWalls(FakePage& page) {
    for (int y = 0; y < 12; ++y)
        page.image.setPixel(5, y, 2);
    for (const ImagePoint p : rectanglePixels({8, 5}, {10, 7}, false))
        page.image.setPixel(p.x, p.y, 3);
}

int countOf(const IndexedImage& image, int index) {
    return static_cast<int>(std::ranges::count(image.pixels(), index));
}

TEST(PageModel, FillTheAreaOrWithShiftTheColourEverywhere) {
    struct Case {
        bool shift;
        ImagePoint at;
        int filled;  // the pixels of colour 0 that turn 4
    };
    for (const Case c : {Case{false, {0, 0}, 5 * 12}, Case{false, {9, 6}, 1},
                         Case{true, {0, 0}, 16 * 12 - 12 - 8}}) {
        FakePage page;
        drawWalls(page);
        page.selectColour(4);
        page.setTool(EditTool::Fill);
        page.pressTool(c.at, ImageRect::unbounded(), c.shift);
        page.releaseTool();
        EXPECT_EQ(countOf(page.image, 4), c.filled) << c.at.x;
        EXPECT_EQ(page.image.getPixel(c.at.x, c.at.y), 4);
        EXPECT_EQ(countOf(page.image, 2), 12);
        EXPECT_EQ(page.notified, 1);
        EXPECT_EQ(page.strokes, 1) << "the follow-up runs once for all pixels";
    }
    // The colour already there: nothing changes, and it is no change.
    FakePage page;
    drawWalls(page);
    page.selectColour(2);
    page.setTool(EditTool::Fill);
    page.pressTool({5, 3}, ImageRect::unbounded(), true);
    EXPECT_TRUE(page.drawn.empty());
    EXPECT_EQ(page.notified, 0);
}

TEST(PageModel, LineAndRectangleShowAPreviewAndDrawOnRelease) {
    struct Case {
        EditTool tool;
        bool shiftWhileDragging;
        bool shiftAtRelease;
        std::vector<ImagePoint> drawn;
    };
    const ImagePoint from{1, 1};
    const ImagePoint to{4, 2};
    const std::vector<Case> cases = {
        {EditTool::Line, false, false, linePixels(from, to)},
        // Snapped: to (4, 2) is nearest the horizontal through (1, 1).
        {EditTool::Line, true, true, linePixels(from, {4, 1})},
        {EditTool::Rectangle, false, false, rectanglePixels(from, to, false)},
        // Only Shift at release fills.
        {EditTool::Rectangle, false, true, rectanglePixels(from, to, true)},
        {EditTool::Rectangle, true, false, rectanglePixels(from, to, false)},
    };
    for (const Case& c : cases) {
        FakePage page;
        page.selectColour(6);
        page.setTool(c.tool);
        page.pressTool(from);
        page.dragTool({9, 9});
        page.dragTool(to, ImageRect::unbounded(), c.shiftWhileDragging);
        EXPECT_EQ(countOf(page.image, 0), 16 * 12) << "nothing drawn before release";
        EXPECT_EQ(page.notified, 0);
        EXPECT_FALSE(page.previewWrites().empty());
        page.releaseTool(c.shiftAtRelease);
        EXPECT_TRUE(page.previewWrites().empty());
        EXPECT_EQ(countOf(page.image, 6), static_cast<int>(c.drawn.size()));
        for (const ImagePoint p : c.drawn)
            EXPECT_EQ(page.image.getPixel(p.x, p.y), 6) << p.x << "," << p.y;
        EXPECT_EQ(page.notified, 1);
        EXPECT_EQ(page.strokes, 1);
    }
}

TEST(PageModel, LinesAndRectanglesReachOnlyWhatTheViewShowsInThePicture) {
    FakePage page;
    page.selectColour(6);
    page.setTool(EditTool::Line);
    const ImageRect visible{0, 0, 8, 12};
    page.pressTool({2, 3}, visible);
    page.dragTool({30, 3}, visible);
    page.releaseTool();
    EXPECT_EQ(countOf(page.image, 6), 6);
    // Another tool chosen while dragging drops the rectangle.
    page.setTool(EditTool::Rectangle);
    page.pressTool({0, 0});
    page.dragTool({3, 3});
    page.setTool(EditTool::Pen);
    page.releaseTool();
    EXPECT_EQ(countOf(page.image, 6), 6);
    EXPECT_EQ(page.notified, 1);
}

TEST(PageModel, SelectionToolSelectsMovesCopiesAndDrops) {
    FakePage page;
    page.image.setPixel(1, 1, 5);
    page.image.setPixel(2, 2, 6);
    page.setTool(EditTool::Select);
    // Dragged past the picture, the rectangle stops at its edge; making it
    // changes nothing.
    page.pressTool({1, 1});
    page.dragTool({40, -3});
    EXPECT_EQ(page.selectionOutline(), (ImageRect{1, 0, 15, 2}));
    page.dragTool({2, 2});
    page.releaseTool();
    EXPECT_EQ(page.selectionOutline(), (ImageRect{1, 1, 2, 2}));
    EXPECT_EQ(page.notified, 0);
    // A drag inside moves it, the arrows go on.
    page.pressTool({2, 1});
    page.dragTool({4, 1});
    page.releaseTool();
    EXPECT_TRUE(page.moveSelection(0, 8));
    EXPECT_EQ(page.selectionOutline(), (ImageRect{3, 9, 2, 2}));
    EXPECT_EQ(page.image.getPixel(3, 9), 5);
    EXPECT_EQ(page.image.getPixel(4, 10), 6);
    EXPECT_EQ(countOf(page.image, 0), 16 * 12 - 2);
    EXPECT_GT(page.notified, 0);
    // Copied and pasted at the view's corner, then placed by a click outside.
    EXPECT_TRUE(page.copySelection());
    EXPECT_TRUE(page.pasteSelection({0, 0}));
    EXPECT_TRUE(page.selectionFloating());
    EXPECT_EQ(page.image.getPixel(0, 0), 5);
    page.pressTool({12, 2});
    page.releaseTool();
    EXPECT_FALSE(page.hasSelection());
    EXPECT_FALSE(page.moveSelection(1, 0));
    EXPECT_EQ(countOf(page.image, 5), 2);
    // Ctrl+A, then another tool drops the selection; a pen stroke on a
    // floating selection's picture makes it stale.
    page.selectAll();
    EXPECT_EQ(page.selectionOutline(), (ImageRect{0, 0, 16, 12}));
    page.setTool(EditTool::Pen);
    EXPECT_FALSE(page.hasSelection());
    page.setTool(EditTool::Select);
    page.selectAll();
    EXPECT_TRUE(page.flipSelection(FlipDirection::Vertical));
    page.image.setPixel(7, 7, 1);
    EXPECT_FALSE(page.hasSelection());
    EXPECT_FALSE(page.eraseSelection());
}

// --- The monster page on the demo ROM ---------------------------------------

using Model = ::morvik::MonsterPageModel;

class MonsterPageModel : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);
        model.setChangeNotifier([this] { ++notified; });
    }

    bool cellMarked(int record, int column, int row) const {
        const MonsterRecord& r = set.records[static_cast<std::size_t>(record)];
        const Mold* mold = findMold(set, r.large, r.moldIndex);
        const int side = moldSide(r.large);
        return mold != nullptr && (*mold)[static_cast<std::size_t>(row * side + column)] != 0;
    }

    // A pixel of the record in a cell its mold leaves out.
    ImagePoint pixelInEmptyCell(int record) const {
        const int side = moldSide(set.records[static_cast<std::size_t>(record)].large);
        for (int row = side - 1; row >= 0; --row) {
            for (int column = side - 1; column >= 0; --column) {
                if (!cellMarked(record, column, row)) return {column * 8 + 3, row * 8 + 5};
            }
        }
        ADD_FAILURE() << "record " << record << " has no empty cell";
        return {};
    }

    // Two monster records on the same graphics entry.
    std::pair<int, int> sharingPair() const {
        for (int a = 0; a < kFirstEsperRecord; ++a) {
            for (int b = a + 1; b < kFirstEsperRecord; ++b) {
                if (set.records[a].entryIndex == set.records[b].entryIndex) return {a, b};
            }
        }
        ADD_FAILURE() << "no two monsters share an entry";
        return {0, 0};
    }

    // Gives monsters their own large 16-colour picture full of noise, one after
    // another, until the graphics no longer fit even after the save's clean-up.
    void overfillGraphics() {
        IndexedImage noise;
        ASSERT_TRUE(noise.create(128, 128));
        for (int k = 1; k < 16; ++k)
            noise.setPaletteEntry(
                k, PaletteColour::fromRgb(static_cast<std::uint8_t>(k * 16), 0, 0), false);
        unsigned seed = 12345;
        for (std::uint8_t& pixel : noise.pixels()) {
            seed = seed * 1103515245u + 12345u;
            pixel = static_cast<std::uint8_t>(1 + (seed >> 16) % 15);
        }
        for (int line = 0; line < kFirstEsperRecord; ++line) {
            MonsterGraphicsSet cleaned = set;
            refreshAllMonsterImages(cleaned);
            prepareMonsterSave(cleaned);
            if (freeGraphicsSpace(cleaned) < 0) break;
            model.selectLine(line);
            ASSERT_TRUE(model.newImage());
            model.importPicture(noise);
            ASSERT_EQ(model.record().depth, TileDepth::Colours16);
            ASSERT_TRUE(model.record().large);
        }
        ASSERT_LT(model.freeSpace(), 0);
    }

    test::TempDir dir;
    std::filesystem::path path;
    MonsterGraphicsSet set;
    Model model{set};
    int notified = 0;
};

TEST_F(MonsterPageModel, RecordAndPaletteLists) {
    const std::vector<int> espers = Model::recordsForTab(1);
    ASSERT_EQ(espers.size(), 30u);
    EXPECT_EQ(espers.front(), 384);
    EXPECT_EQ(espers[16], 401);
    EXPECT_EQ(espers.back(), 414);
    EXPECT_EQ(std::count(espers.begin(), espers.end(), 400), 0);

    const std::vector<std::string> labels = Model::paletteLabels();
    ASSERT_EQ(labels.size(), 768u);
    EXPECT_EQ(labels.front(), "Palette #0");
    EXPECT_EQ(labels.back(), "Palette #767");

    const std::vector<int> monsterLines = Model::recordsForTab(0);
    ASSERT_EQ(monsterLines.size(), 384u);
    for (int line = 0; line < 384; ++line)
        EXPECT_EQ(monsterLines[static_cast<std::size_t>(line)], line);
}

TEST_F(MonsterPageModel, ModeMakesItsFirstRecordCurrent) {
    model.setMode(1);
    EXPECT_EQ(model.mode(), 1);
    EXPECT_EQ(model.currentRecord(), 384);
    EXPECT_EQ(model.recordLines(), Model::recordsForTab(1));
    EXPECT_EQ(model.recordNames().size(), 30u);
    EXPECT_EQ(model.recordNames()[16], set.records[401].name);
    model.selectLine(16);
    EXPECT_EQ(model.currentRecord(), 401);
    model.selectLine(30);  // past the list: nothing happens
    EXPECT_EQ(model.currentRecord(), 401);
    model.setMode(0);
    EXPECT_EQ(model.currentRecord(), 0);
    EXPECT_EQ(model.recordLines().size(), 384u);
}

TEST_F(MonsterPageModel, ImageLabelsNameTheLowestRecordOfEachEntry) {
    // A fresh entry that only an unnamed esper record uses.
    model.setMode(1);
    const std::vector<int>& lines = model.recordLines();
    const auto unnamed = std::find(lines.begin(), lines.end(), kNamedRecordCount);
    ASSERT_NE(unnamed, lines.end());
    model.selectLine(static_cast<int>(unnamed - lines.begin()));
    ASSERT_TRUE(model.newImage());

    const std::vector<std::string> labels = model.imageLabels();
    ASSERT_EQ(static_cast<int>(labels.size()), set.entryCount);
    EXPECT_EQ(labels.back(), "Image " + std::to_string(set.entryCount - 1));
    for (int entry = 0; entry < set.entryCount; ++entry) {
        std::string expected = "Image " + std::to_string(entry);
        for (int record = 0; record < kNamedRecordCount; ++record) {
            if (set.records[record].entryIndex == entry) {
                expected += " - " + set.records[record].name;
                break;
            }
        }
        EXPECT_EQ(labels[static_cast<std::size_t>(entry)], expected);
    }
}

TEST_F(MonsterPageModel, PenStrokeReachesTheGraphicsAndTheRom) {
    const int record = 1;
    model.selectLine(record);
    const ImagePoint at = pixelInEmptyCell(record);
    model.selectColour(3);
    model.pressTool(at);
    EXPECT_EQ(model.picture().getPixel(at.x, at.y), 3);
    EXPECT_TRUE(cellMarked(record, at.x / 8, at.y / 8));
    EXPECT_TRUE(model.itemChanged());
    EXPECT_EQ(notified, 1);

    const IndexedImage drawn = set.records[record].image;
    decodeMonsterImage(set, record);
    EXPECT_TRUE(set.records[record].image == drawn);

    // And it survives a save and a fresh load.
    ASSERT_EQ(model.save(path), MonsterSaveResult::Saved);
    EXPECT_FALSE(model.itemChanged());
    MonsterGraphicsSet fresh;
    ASSERT_EQ(loadMonsterGraphics(fresh, path), RomLoadResult::Loaded);
    EXPECT_EQ(fresh.records[record].image.getPixel(at.x, at.y), 3);
    EXPECT_TRUE(fresh == set);
}

TEST_F(MonsterPageModel, PaintToolsKeepTheMoldAndTheGraphicsInStep) {
    const int record = 1;
    model.selectLine(record);
    const ImagePoint at = pixelInEmptyCell(record);
    const ImagePoint corner{at.x / 8 * 8, at.y / 8 * 8};
    model.selectColour(3);
    model.setTool(EditTool::Rectangle);
    model.pressTool(corner);
    model.dragTool({corner.x + 7, corner.y + 7});
    EXPECT_FALSE(cellMarked(record, at.x / 8, at.y / 8)) << "a preview changes nothing";
    model.releaseTool(true);
    EXPECT_EQ(model.picture().getPixel(at.x, at.y), 3);
    EXPECT_TRUE(cellMarked(record, at.x / 8, at.y / 8));
    EXPECT_TRUE(model.itemChanged());
    EXPECT_EQ(notified, 1);

    const IndexedImage drawn = set.records[record].image;
    decodeMonsterImage(set, record);
    EXPECT_TRUE(set.records[record].image == drawn);
}

TEST_F(MonsterPageModel, SharedEntryTakesTheEditWhenTheRecordIsLeft) {
    const auto [a, b] = sharingPair();
    const ImagePoint at = pixelInEmptyCell(a);
    ASSERT_EQ(set.records[b].image.getPixel(at.x, at.y), 0);
    model.selectLine(a);
    model.selectColour(2);
    model.pressTool(at);
    EXPECT_EQ(set.records[b].image.getPixel(at.x, at.y), 0);
    model.selectLine(b);
    EXPECT_FALSE(model.itemChanged());
    EXPECT_EQ(model.picture().getPixel(at.x, at.y), 2);
}

TEST_F(MonsterPageModel, SizeAndDepthChangesReachRecordsSharingTheEntry) {
    const auto [a, b] = sharingPair();
    const bool large = !set.records[a].large;
    model.selectLine(a);
    model.selectSize(large ? 1 : 0);
    model.selectDepth(0);
    model.selectLine(b);
    EXPECT_EQ(model.record().large, large);
    EXPECT_EQ(model.record().depth, TileDepth::Colours8);
    // An edit on the other record keeps the new shape, through a save.
    model.selectColour(1);
    model.pressTool({1, 1});
    ASSERT_EQ(model.save(path), MonsterSaveResult::Saved);
    MonsterGraphicsSet reloaded;
    ASSERT_EQ(loadMonsterGraphics(reloaded, path), RomLoadResult::Loaded);
    EXPECT_EQ(reloaded.records[a].large, large);
    EXPECT_EQ(reloaded.records[a].depth, TileDepth::Colours8);
    EXPECT_EQ(reloaded.records[a].image.getPixel(1, 1), 1);
}

TEST_F(MonsterPageModel, CopyFromARecordOnTheSameEntryChangesNothing) {
    const auto [a, b] = sharingPair();
    model.selectLine(a);
    const MonsterGraphicsSet before = set;
    model.copyFrom(b);
    EXPECT_TRUE(set == before);
}

TEST_F(MonsterPageModel, FlipAndNewImageAreChanges) {
    model.selectLine(3);
    model.flip(FlipDirection::Horizontal);
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(model.itemChanged());

    // A new image takes a fresh entry, until none is left.
    model.selectLine(5);
    notified = 0;
    const int first = set.entryCount;
    ASSERT_TRUE(model.newImage());
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(model.itemChanged());
    EXPECT_EQ(model.record().entryIndex, first);
    const auto pixels = model.picture().pixels();
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](std::uint8_t p) { return p == 0; }));

    for (int tries = 0; tries < kEntrySlotCount && model.newImage(); ++tries) {
    }
    EXPECT_EQ(set.entryCount, kEntrySlotCount);
    const MonsterGraphicsSet full = set;
    notified = 0;
    EXPECT_FALSE(model.newImage());
    EXPECT_TRUE(set == full);
    EXPECT_EQ(notified, 0);
}

TEST_F(MonsterPageModel, TransparentSwapsPixelsAndPaletteButKeepsEmptyCells) {
    const int k = 5;
    int record = -1;
    for (int r = 0; r < kFirstEsperRecord && record < 0; ++r) {
        const IndexedImage& image = set.records[r].image;
        bool hasK = false, zeroInside = false, emptyCell = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool marked = cellMarked(r, x / 8, y / 8);
                hasK = hasK || image.getPixel(x, y) == k;
                zeroInside = zeroInside || (marked && image.getPixel(x, y) == 0);
                emptyCell = emptyCell || !marked;
            }
        }
        if (hasK && zeroInside && emptyCell) record = r;
    }
    ASSERT_GE(record, 0);

    model.selectLine(record);
    const MonsterRecord& r = model.record();
    const IndexedImage before = r.image;
    const int moldBefore = r.moldIndex;
    const std::vector<Mold> smallBefore = set.smallMolds, largeBefore = set.largeMolds;
    std::vector<PaletteColour> palettes = set.monsterPalettes;
    const auto p = static_cast<std::size_t>(r.paletteIndex) * 8;
    std::swap(palettes[p], palettes[p + k]);

    model.selectColour(k);
    model.makeTransparent();
    EXPECT_EQ(model.currentColour(), 0);
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(model.itemChanged());  // records sharing the entry follow
    EXPECT_TRUE(set.monsterPalettes == palettes);
    EXPECT_EQ(r.moldIndex, moldBefore);
    EXPECT_TRUE(set.smallMolds == smallBefore);
    EXPECT_TRUE(set.largeMolds == largeBefore);
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const int old = before.getPixel(x, y);
            int expected = old;
            if (cellMarked(record, x / 8, y / 8)) expected = old == k ? 0 : old == 0 ? k : old;
            ASSERT_EQ(r.image.getPixel(x, y), expected) << x << "," << y;
        }
    }
    const IndexedImage swapped = r.image;
    decodeMonsterImage(set, record);
    EXPECT_TRUE(set.records[record].image == swapped);
}

TEST_F(MonsterPageModel, SliderChangesThePaletteOfEveryRecordOnIt) {
    const int edited = 1;
    const int other = 2;
    const int palette = set.records[edited].paletteIndex;
    model.selectLine(other);
    model.selectPalette(palette);
    model.selectLine(edited);

    model.selectColour(3);
    PaletteColour expected = monsterColour(set, palette, 3);
    expected.red = 56;
    notified = 0;
    model.setChannel(ColourChannel::Red, 7);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(monsterColour(set, palette, 3), expected);
    EXPECT_EQ(model.stripColours()[3], expected);
    EXPECT_EQ(model.picture().paletteEntry(3), expected);

    refreshAllMonsterImages(set);
    EXPECT_EQ(set.records[other].image.paletteEntry(3), expected);
}

TEST_F(MonsterPageModel, AColourTheRecordNoLongerHasFallsBackToZero) {
    const auto firstWith = [this](TileDepth depth) {
        int line = 0;
        while (set.records[line].depth != depth)
            ++line;
        return line;
    };
    const int line16 = firstWith(TileDepth::Colours16);
    const int line8 = firstWith(TileDepth::Colours8);
    IndexedImage eightColours;
    ASSERT_TRUE(eightColours.create(64, 64));
    for (int k = 1; k < 8; ++k)
        eightColours.setPaletteEntry(k, PaletteColour::fromRgb(0, 0, 0), false);

    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"record", [&] { model.selectLine(line8); }},
        {"graphics entry", [&] { model.selectEntry(set.records[line8].entryIndex); }},
        {"depth", [&] { model.selectDepth(0); }},
        {"copy", [&] { model.copyFrom(line8); }},
        {"import", [&] { model.importPicture(eightColours); }},
    };
    for (const auto& [what, change] : changes) {
        ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);
        model.forgetChanges();
        model.selectLine(line16);
        model.selectColour(12);
        ASSERT_EQ(model.currentColour(), 12) << what;
        change();
        EXPECT_EQ(model.stripColours().size(), 8u) << what;
        EXPECT_EQ(model.currentColour(), 0) << what;
    }
}

TEST_F(MonsterPageModel, NegativeFreeSpaceRefusesTheSave) {
    EXPECT_EQ(model.freeSpace(), freeGraphicsSpace(set));
    ASSERT_GT(model.freeSpace(), 0);
    EXPECT_EQ(model.freeSpaceLabel(), "Free Space: " + std::to_string(model.freeSpace()));
    overfillGraphics();
    EXPECT_EQ(model.freeSpaceLabel(), "Free Space: -" + std::to_string(-model.freeSpace()));

    // Such a set is not saved, and the ROM stays as it was.
    const test::Bytes before = test::readFileBytes(path);
    EXPECT_EQ(model.save(path), MonsterSaveResult::NoRoom);
    EXPECT_TRUE(test::readFileBytes(path) == before);
}

}  // namespace
}  // namespace morvik

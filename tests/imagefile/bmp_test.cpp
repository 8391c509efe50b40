#include <gtest/gtest.h>

#include <limits>

#include "image_checks.h"
#include "image_file_makers.h"
#include "imagefile/bmp_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using test::BmpFields;
using test::Bytes;
using test::makeBmp;
using test::rgb;

constexpr int kBig = std::numeric_limits<int>::max();

ImageStatus readBytes(IndexedImage& image, const Bytes& file, int maxColours = 256,
                      int maxWidth = kBig, int maxHeight = kBig) {
    return readBmpBytes(image, file, maxColours, maxWidth, maxHeight);
}

// A two-row picture whose rows differ, at the given bit count, so that a
// wrong stride or row order shows.
BmpFields twoRows(int width, int bits) {
    BmpFields f;
    f.width = width;
    f.height = 2;
    f.bits = bits;
    if (bits <= 8) f.table = {rgb(10, 20, 30), rgb(200, 100, 50)};
    return f;
}

TEST(Bmp, RowStridesArePaddedToFourBytes) {
    // 1 bit, width 33: 8 bytes a row. The last pixel of the bottom (first
    // stored) row is set; the top row is all entry 0.
    BmpFields bits1 = twoRows(33, 1);
    bits1.rows = {{0, 0, 0, 0, 0x80, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}};
    // 4 bits, width 9 and 8 bits, width 5: 8 bytes a row.
    BmpFields bits4 = twoRows(9, 4);
    bits4.rows = {{0, 0, 0, 0, 0x10, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}};
    BmpFields bits8 = twoRows(5, 8);
    bits8.rows = {{0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}};
    // 24 bits, width 5: 16 bytes a row.
    BmpFields bits24 = twoRows(5, 24);
    bits24.rows = {Bytes(16, 0), Bytes(16, 0)};
    bits24.rows[0][12] = 50;
    bits24.rows[0][13] = 100;
    bits24.rows[0][14] = 200;
    bits24.rows[1] = Bytes(16, 0);
    for (const auto& [fields, stride] :
         {std::pair{bits1, 8}, std::pair{bits4, 8}, std::pair{bits8, 8}, std::pair{bits24, 16}}) {
        const Bytes file = makeBmp(fields);
        ASSERT_EQ(file.size(), 54 + 4 * fields.table.size() + 2 * stride);
        IndexedImage image;
        ASSERT_EQ(readBytes(image, file), ImageStatus::Ok) << fields.bits;
        const int right = fields.width - 1;
        EXPECT_EQ(image.getPixelColour(right, 1), rgb(200, 100, 50)) << fields.bits;
        EXPECT_EQ(image.getPixelColour(right, 0), image.getPixelColour(0, 0)) << fields.bits;
        EXPECT_EQ(image.getPixelColour(right - 1, 1), image.getPixelColour(0, 0)) << fields.bits;
    }
}

TEST(Bmp, TakesOnlyUsedColoursInOrderOfFirstAppearance) {
    BmpFields f;
    f.width = 12;
    f.height = 2;
    f.bits = 8;
    for (int i = 0; i < 256; ++i)
        f.table.push_back(rgb(i < 200 ? i : 0, 7, 7));
    // Stored bottom-up: the top row (colours 111..100) is stored second.
    Bytes bottom, top;
    for (int i = 0; i < 12; ++i) {
        bottom.push_back(static_cast<std::uint8_t>(150 + i));
        top.push_back(static_cast<std::uint8_t>(111 - i));
    }
    f.rows = {bottom, top};
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makeBmp(f), 24), ImageStatus::Ok);
    ASSERT_EQ(image.colourCount(), 24);
    EXPECT_EQ(image.paletteEntry(0), rgb(111, 7, 7));
    EXPECT_EQ(image.paletteEntry(11), rgb(100, 7, 7));
    EXPECT_EQ(image.paletteEntry(12), rgb(150, 7, 7));
    // Index 0 is just the first colour: nothing is marked transparent.
    EXPECT_EQ(image.getPixel(0, 0), 0);

    IndexedImage limited;
    EXPECT_EQ(readBytes(limited, makeBmp(f), 23), ImageStatus::TooManyColours);
}

TEST(Bmp, TwelveOfTwoHundredTableColoursFitSixteen) {
    BmpFields f;
    f.width = 12;
    f.height = 1;
    f.bits = 8;
    f.coloursUsed = 200;
    for (int i = 0; i < 200; ++i)
        f.table.push_back(rgb(i, i, 255 - i));
    Bytes row;
    for (int i = 0; i < 12; ++i)
        row.push_back(static_cast<std::uint8_t>(i * 16));
    f.rows = {row};
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makeBmp(f), 16), ImageStatus::Ok);
    EXPECT_EQ(image.colourCount(), 12);
    EXPECT_EQ(image.paletteEntry(11), rgb(176, 176, 79));
}

TEST(Bmp, SixteenBitChannelsAreShiftedLeftByThree) {
    BmpFields f;
    f.width = 4;
    f.height = 1;
    f.bits = 16;
    // 0x7FFF, 0xFFFF (bit 15 ignored), red 0x7C00, blue 0x001F.
    f.rows = {{0xFF, 0x7F, 0xFF, 0xFF, 0x00, 0x7C, 0x1F, 0x00}};
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makeBmp(f)), ImageStatus::Ok);
    EXPECT_EQ(image.getPixelColour(0, 0), rgb(248, 248, 248));
    EXPECT_EQ(image.getPixelColour(1, 0), rgb(248, 248, 248));
    EXPECT_EQ(image.getPixelColour(2, 0), rgb(248, 0, 0));
    EXPECT_EQ(image.getPixelColour(3, 0), rgb(0, 0, 248));
    EXPECT_EQ(image.colourCount(), 3);
}

TEST(Bmp, ThirtyTwoBitIgnoresFourthByteAndHonoursMasks) {
    BmpFields plain;
    plain.width = 2;
    plain.height = 1;
    plain.bits = 32;
    plain.rows = {{1, 2, 3, 0, 1, 2, 3, 255}};
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makeBmp(plain)), ImageStatus::Ok);
    EXPECT_EQ(image.colourCount(), 1);
    EXPECT_EQ(image.paletteEntry(0), rgb(3, 2, 1));

    // 5-6-5 masks behind a 40-byte header, and alpha-first masks in a 108-byte one.
    BmpFields rgb565;
    rgb565.width = 2;
    rgb565.height = 1;
    rgb565.bits = 16;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.rows = {{0xE0, 0x07, 0x1F, 0xF8}};
    ASSERT_EQ(readBytes(image, makeBmp(rgb565)), ImageStatus::Ok);
    EXPECT_EQ(image.getPixelColour(0, 0), rgb(0, 252, 0));
    EXPECT_EQ(image.getPixelColour(1, 0), rgb(248, 0, 248));

    BmpFields shifted = plain;
    shifted.headerSize = 108;
    shifted.compression = 3;
    shifted.masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
    shifted.rows = {{9, 1, 2, 3, 9, 4, 5, 6}};
    ASSERT_EQ(readBytes(image, makeBmp(shifted)), ImageStatus::Ok);
    EXPECT_EQ(image.getPixelColour(0, 0), rgb(3, 2, 1));
    EXPECT_EQ(image.getPixelColour(1, 0), rgb(6, 5, 4));
}

TEST(Bmp, SizeLimitsAreInclusive) {
    for (const int height : {3, -3}) {
        BmpFields f;
        f.width = 4;
        f.height = height;
        f.rows = {Bytes{}, Bytes{}, Bytes{}};
        const Bytes file = makeBmp(f);
        IndexedImage image;
        EXPECT_EQ(readBytes(image, file, 256, 4, 3), ImageStatus::Ok);
        EXPECT_EQ(readBytes(image, file, 256, 3, 3), ImageStatus::TooLarge);
        EXPECT_EQ(readBytes(image, file, 256, 4, 2), ImageStatus::TooLarge);
    }
}

TEST(Bmp, TopDownAndLargerHeadersReadLikeTheClassicFile) {
    BmpFields classic;
    classic.width = 3;
    classic.height = 2;
    classic.bits = 4;
    classic.table = {rgb(1, 1, 1), rgb(2, 2, 2), rgb(3, 3, 3)};
    classic.coloursUsed = 3;
    classic.rows = {{0x01, 0x20}, {0x21, 0x00}};
    IndexedImage expected;
    ASSERT_EQ(readBytes(expected, makeBmp(classic)), ImageStatus::Ok);
    EXPECT_EQ(test::pixelColours(expected),
              (std::vector{rgb(3, 3, 3), rgb(2, 2, 2), rgb(1, 1, 1), rgb(1, 1, 1), rgb(2, 2, 2),
                           rgb(3, 3, 3)}));

    BmpFields topDown = classic;
    topDown.height = -2;
    std::swap(topDown.rows[0], topDown.rows[1]);
    BmpFields v4 = classic;
    v4.headerSize = 108;
    BmpFields v5 = classic;
    v5.headerSize = 124;
    BmpFields gap = classic;  // pixel data offset honoured
    gap.gapBeforePixels = 10;
    BmpFields noOffset = classic;  // offset 0: pixels follow the table
    noOffset.zeroPixelOffset = true;
    BmpFields sized = classic;  // a wrong size field does not matter
    sized.sizeImage = 1;
    for (const BmpFields& f : {topDown, v4, v5, gap, noOffset, sized}) {
        IndexedImage image;
        ASSERT_EQ(readBytes(image, makeBmp(f)), ImageStatus::Ok);
        EXPECT_EQ(image, expected);
    }
}

TEST(Bmp, ShortColourTableFollowsPixelOffset) {
    // No colours-used field, but only two table entries before the pixels.
    BmpFields f;
    f.width = 2;
    f.height = 1;
    f.bits = 8;
    f.table = {rgb(5, 5, 5), rgb(6, 6, 6)};
    f.rows = {{1, 0}};
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makeBmp(f)), ImageStatus::Ok);
    EXPECT_EQ(image.getPixelColour(0, 0), rgb(6, 6, 6));
    // An index beyond the table names no colour.
    f.rows = {{2, 0}};
    EXPECT_EQ(readBytes(image, makeBmp(f)), ImageStatus::NotAnImage);
}

TEST(Bmp, BadInputIsRefusedAndLeavesTheImage) {
    IndexedImage image = test::patternImage(3, 3, 3);
    const IndexedImage before = image;
    BmpFields good;
    good.width = 2;
    good.height = 2;
    good.rows = {Bytes{}, Bytes{}};
    const Bytes valid = makeBmp(good);

    EXPECT_EQ(readBytes(image, {}), ImageStatus::NotAnImage);
    EXPECT_EQ(readBytes(image, {'B', 'M'}), ImageStatus::NotAnImage);
    Bytes wrongMagic = valid;
    wrongMagic[0] = 'M';
    wrongMagic[1] = 'B';
    EXPECT_EQ(readBytes(image, wrongMagic), ImageStatus::NotAnImage);
    // Every truncation: the header, the table, the last byte of the pixels.
    for (std::size_t size = 0; size < valid.size(); ++size) {
        EXPECT_EQ(readBytes(image, Bytes(valid.begin(), valid.begin() + size)),
                  ImageStatus::NotAnImage)
            << size;
    }
    auto patched = [&](std::size_t at, std::uint32_t value, bool wide = true) {
        Bytes file = valid;
        if (wide) {
            test::putLe32(file, at, value);
        } else {
            test::putLe16(file, at, value);
        }
        return file;
    };
    EXPECT_EQ(readBytes(image, patched(14, 12)), ImageStatus::NotAnImage);          // core header
    EXPECT_EQ(readBytes(image, patched(18, 0)), ImageStatus::NotAnImage);           // width 0
    EXPECT_EQ(readBytes(image, patched(18, 0xFFFFFFFE)), ImageStatus::NotAnImage);  // width -2
    EXPECT_EQ(readBytes(image, patched(22, 0)), ImageStatus::NotAnImage);           // height 0
    EXPECT_EQ(readBytes(image, patched(22, 0x80000000)), ImageStatus::NotAnImage);
    EXPECT_EQ(readBytes(image, patched(28, 48, false)), ImageStatus::NotAnImage);
    EXPECT_EQ(readBytes(image, patched(30, 1)), ImageStatus::NotAnImage);   // run-length
    EXPECT_EQ(readBytes(image, patched(30, 3)), ImageStatus::NotAnImage);   // masks for 24 bits
    EXPECT_EQ(readBytes(image, patched(10, 20)), ImageStatus::NotAnImage);  // offset in header
    EXPECT_EQ(readBytes(image, patched(10, 0xFFFFFFF0)), ImageStatus::NotAnImage);
    // Huge sizes in a tiny file: refused by the limits, or for missing data.
    EXPECT_EQ(readBytes(image, patched(18, 0x7FFFFFFF), 16, 128, 128), ImageStatus::TooLarge);
    EXPECT_EQ(readBytes(image, patched(18, 0x7FFFFFFF)), ImageStatus::NotAnImage);
    EXPECT_EQ(readBytes(image, patched(22, 0x7FFFFFFF)), ImageStatus::NotAnImage);
    EXPECT_EQ(readBytes(image, patched(22, 0x80000001)), ImageStatus::NotAnImage);
    EXPECT_EQ(image, before);
}

TEST(Bmp, TableBitCountsOtherThanOneFourEightCannotBeRead) {
    BmpFields f;
    f.width = 2;
    f.height = 2;
    f.table = {rgb(1, 2, 3), rgb(4, 5, 6)};
    f.rows = {Bytes(4, 0), Bytes(4, 0)};
    for (const int bits : {0, 2, 3, 5, 6, 7, 15}) {
        f.bits = bits;
        Bytes file = makeBmp(f);
        IndexedImage image;
        EXPECT_EQ(readBytes(image, file), ImageStatus::CannotRead) << bits;
        // The file type and the size limits are checked first.
        EXPECT_EQ(readBytes(image, file, 256, 1, 2), ImageStatus::TooLarge) << bits;
        file[1] = 'A';
        EXPECT_EQ(readBytes(image, file), ImageStatus::NotAnImage) << bits;
    }
}

TEST(Bmp, WriterLayout) {
    const IndexedImage square = test::patternImage(40, 40, 5);
    EXPECT_EQ(encodeBmp(square, 40, 40).size(), 4854u);

    IndexedImage small = test::patternImage(10, 2, 3);
    ASSERT_TRUE(small.setPaletteEntry(0, rgb(1, 2, 3), true));
    const Bytes file = encodeBmp(small, 10, 2);
    ASSERT_EQ(file.size(), 118u);
    const Bytes header = {'B', 'M', 118, 0, 0, 0, 0,    0,    0, 0, 54,   0,    0,  0, 40, 0,
                          0,   0,   10,  0, 0, 0, 2,    0,    0, 0, 1,    0,    24, 0, 0,  0,
                          0,   0,   64,  0, 0, 0, 0xA0, 0x0F, 0, 0, 0xA0, 0x0F, 0,  0};
    EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
    EXPECT_TRUE(std::all_of(file.begin() + 46, file.begin() + 54, [](auto b) { return b == 0; }));
    // First stored row is the bottom row; it starts with pixel (0, 1) of entry 2.
    const PaletteColour bottomLeft = small.getPixelColour(0, 1);
    EXPECT_EQ(file[54], bottomLeft.blue);
    EXPECT_EQ(file[55], bottomLeft.green);
    EXPECT_EQ(file[56], bottomLeft.red);
    EXPECT_EQ(file[54 + 30], 0);
    EXPECT_EQ(file[54 + 31], 0);
    EXPECT_EQ(file[54 + 32], 3);  // top-left pixel, entry 0, blue
}

TEST(Bmp, WrittenFilesReadBackWithTheSameColours) {
    test::TempDir dir;
    const IndexedImage image = test::patternImage(13, 7, 11);
    for (const auto& [width, height] : {std::pair{13, 7}, std::pair{1, 1}, std::pair{6, 3}}) {
        const auto path = dir.file("round.bmp");
        ASSERT_EQ(writeBmp(image, path, width, height), ImageStatus::Ok);
        IndexedImage back;
        ASSERT_EQ(readBmp(back, path, 16, 13, 7), ImageStatus::Ok);
        ASSERT_EQ(back.width(), width);
        ASSERT_EQ(back.height(), height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                EXPECT_EQ(back.getPixelColour(x, y), image.getPixelColour(x, y));
            }
        }
    }
    // A size outside the image writes nothing.
    EXPECT_EQ(writeBmp(image, dir.file("none.bmp"), 14, 7), ImageStatus::CannotWrite);
    EXPECT_EQ(writeBmp(image, dir.file("none.bmp"), 0, 7), ImageStatus::CannotWrite);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
}

}  // namespace
}  // namespace morvik

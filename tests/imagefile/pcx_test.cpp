#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "image_checks.h"
#include "image_file_makers.h"
#include "imagefile/pcx_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using test::Bytes;
using test::makePcx;
using test::PcxFields;
using test::rgb;

constexpr int kBig = std::numeric_limits<int>::max();

ImageStatus readBytes(IndexedImage& image, const Bytes& file, int maxColours = 256,
                      int maxWidth = kBig, int maxHeight = kBig) {
    return readPcxBytes(image, file, maxColours, maxWidth, maxHeight);
}

// Every byte as a run of one: valid whatever the values.
Bytes literalRuns(const Bytes& line) {
    Bytes out;
    for (const std::uint8_t value : line)
        out.insert(out.end(), {0xC1, value});
    return out;
}

// The slow, obvious decoder the encoder is checked against.
Bytes decodeRuns(const Bytes& encoded) {
    Bytes out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] >= 0xC0) {
            out.insert(out.end(), encoded[i] & 0x3F, encoded.at(i + 1));
            ++i;
        } else {
            out.push_back(encoded[i]);
        }
    }
    return out;
}

TEST(Pcx, RunLengthEncoderKnownLines) {
    EXPECT_EQ(encodePcxLine(Bytes(128, 7)), (Bytes{255, 7, 255, 7, 194, 7}));
    EXPECT_EQ(encodePcxLine(Bytes{200}), (Bytes{193, 200}));
    EXPECT_EQ(encodePcxLine(Bytes{191}), (Bytes{191}));
    EXPECT_EQ(encodePcxLine(Bytes{192}), (Bytes{193, 192}));
    EXPECT_EQ(encodePcxLine(Bytes{1, 1, 2, 255, 255, 3}), (Bytes{194, 1, 2, 194, 255, 3}));
    EXPECT_EQ(encodePcxLine(Bytes{}), Bytes{});
    EXPECT_EQ(encodePcxLine(Bytes(63, 0)), (Bytes{255, 0}));
    EXPECT_EQ(encodePcxLine(Bytes(64, 0)), (Bytes{255, 0, 0}));
}

TEST(Pcx, RunLengthEncoderRoundTripsAndAtMostDoubles) {
    std::mt19937 random(5);
    for (int length = 0; length < 300; ++length) {
        Bytes line(static_cast<std::size_t>(length));
        // Few distinct values make runs; high values need count bytes.
        const int spread = length % 3 == 0 ? 2 : 256;
        for (auto& byte : line)
            byte = static_cast<std::uint8_t>(255 - random() % spread);
        const Bytes encoded = encodePcxLine(line);
        EXPECT_LE(encoded.size(), 2 * line.size());
        EXPECT_EQ(decodeRuns(encoded), line) << length;
    }
}

TEST(Pcx, FourBitLinePaddingIsNotStored) {
    PcxFields f;
    f.width = 6;
    f.height = 1;
    f.bits = 4;
    f.bytesPerLine = 4;
    f.headerPalette = {rgb(0, 0, 0), rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(9, 9, 9)};
    // Pixels 1 2 3 1 2 3, then 4 4 in the padding.
    f.data = {0x12, 0x31, 0x23, 0x44};
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makePcx(f)), ImageStatus::Ok);
    EXPECT_EQ(image.width(), 6);
    EXPECT_EQ(image.colourCount(), 3);
    EXPECT_EQ(test::paletteOf(image),
              (std::vector{rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)}));
}

TEST(Pcx, EightBitUsesEndPaletteColoursInOrderOfFirstAppearance) {
    PcxFields f;
    f.width = 10;
    f.height = 2;
    f.bits = 8;
    for (int i = 0; i < 256; ++i)
        f.endPalette.push_back(rgb(i, 255 - i, i / 2));
    Bytes lines;
    for (int i = 0; i < 10; ++i)
        lines.push_back(static_cast<std::uint8_t>(250 - 20 * i));
    lines.insert(lines.end(), lines.rbegin(), lines.rend());
    f.data = literalRuns(lines);
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makePcx(f), 16), ImageStatus::Ok);
    EXPECT_EQ(image.colourCount(), 10);
    EXPECT_EQ(image.paletteEntry(0), rgb(250, 5, 125));
    EXPECT_EQ(image.getPixelColour(0, 1), rgb(70, 185, 35));
    EXPECT_EQ(readBytes(image, makePcx(f), 9), ImageStatus::TooManyColours);
}

TEST(Pcx, OneBitIsBlackAndWhiteAndThreePlanesAreRedGreenBlue) {
    PcxFields mono;
    mono.width = 10;
    mono.height = 1;
    mono.bits = 1;
    mono.headerPalette = {rgb(1, 2, 3), rgb(4, 5, 6)};  // not used for one bit
    mono.data = {0xC1, 0xF0, 0x40};
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makePcx(mono)), ImageStatus::Ok);
    EXPECT_EQ(image.getPixelColour(0, 0), rgb(255, 255, 255));
    EXPECT_EQ(image.getPixelColour(4, 0), rgb(0, 0, 0));
    EXPECT_EQ(image.getPixelColour(9, 0), rgb(255, 255, 255));

    PcxFields colour;
    colour.width = 2;
    colour.height = 1;
    colour.planes = 3;
    colour.data = {10, 20, 30, 40, 50, 60};
    ASSERT_EQ(readBytes(image, makePcx(colour)), ImageStatus::Ok);
    EXPECT_EQ(image.getPixelColour(0, 0), rgb(10, 30, 50));
    EXPECT_EQ(image.getPixelColour(1, 0), rgb(20, 40, 60));
}

TEST(Pcx, OddLineLengthAndRunsCrossingLinesStayInTheirLine) {
    // Width 3 with an odd line length of 3 (older writers), one plane of 8 bits.
    PcxFields odd;
    odd.width = 3;
    odd.height = 2;
    odd.bits = 8;
    odd.bytesPerLine = 3;
    odd.endPalette = {rgb(0, 0, 0), rgb(1, 1, 1), rgb(2, 2, 2)};
    odd.data = {1, 2, 1, 2, 2, 2};
    IndexedImage image;
    ASSERT_EQ(readBytes(image, makePcx(odd)), ImageStatus::Ok);
    EXPECT_EQ(image.getPixelColour(1, 0), rgb(2, 2, 2));
    EXPECT_EQ(image.getPixelColour(0, 1), rgb(2, 2, 2));

    // A run of 6 in a line of 3: the surplus is dropped, the next line starts fresh.
    odd.data = {0xC6, 1, 2, 2, 0xC5, 2};
    ASSERT_EQ(readBytes(image, makePcx(odd)), ImageStatus::Ok);
    EXPECT_EQ(test::pixelColours(image), (std::vector{rgb(1, 1, 1), rgb(1, 1, 1), rgb(1, 1, 1),
                                                      rgb(2, 2, 2), rgb(2, 2, 2), rgb(2, 2, 2)}));
    // Runs of zero length decode nothing.
    odd.data = {0xC0, 1, 0xC3, 1, 0xC3, 2};
    ASSERT_EQ(readBytes(image, makePcx(odd)), ImageStatus::Ok);
    EXPECT_EQ(image.getPixelColour(0, 0), rgb(1, 1, 1));
}

TEST(Pcx, EncodingByteIsIgnored) {
    PcxFields f;
    f.width = 3;
    f.height = 2;
    f.planes = 3;
    // Red, green and blue lines of four bytes, runs and literals mixed.
    f.data = {0xC3, 10, 0, 20, 30, 40, 0, 0xC4, 50, 60, 70, 80, 0, 0xC4, 90, 1, 2, 3, 0};
    IndexedImage expected;
    ASSERT_EQ(readBytes(expected, makePcx(f)), ImageStatus::Ok);
    ASSERT_EQ(expected.getPixelColour(1, 0), rgb(10, 30, 50));
    for (const int encoding : {0, 7}) {
        f.encoding = static_cast<std::uint8_t>(encoding);
        IndexedImage image;
        ASSERT_EQ(readBytes(image, makePcx(f)), ImageStatus::Ok) << encoding;
        EXPECT_EQ(image, expected) << encoding;
    }
}

TEST(Pcx, SizeLimitsAreInclusiveAndTheWindowMayStartAnywhere) {
    PcxFields f;
    f.width = 4;
    f.height = 3;
    f.planes = 3;
    f.data = literalRuns(Bytes(36, 9));
    Bytes file = makePcx(f);
    IndexedImage image;
    EXPECT_EQ(readBytes(image, file, 1, 4, 3), ImageStatus::Ok);
    EXPECT_EQ(readBytes(image, file, 1, 3, 3), ImageStatus::TooLarge);
    EXPECT_EQ(readBytes(image, file, 1, 4, 2), ImageStatus::TooLarge);
    // x 100..103, y 7..9: the same 4 x 3 picture.
    test::putLe16(file, 4, 100);
    test::putLe16(file, 8, 103);
    test::putLe16(file, 6, 7);
    test::putLe16(file, 10, 9);
    ASSERT_EQ(readBytes(image, file, 1, 4, 3), ImageStatus::Ok);
    EXPECT_EQ(image.width(), 4);
    EXPECT_EQ(image.height(), 3);
}

TEST(Pcx, BadInputIsRefusedAndLeavesTheImage) {
    IndexedImage image = test::patternImage(3, 3, 3);
    const IndexedImage before = image;
    PcxFields f;
    f.width = 4;
    f.height = 2;
    f.planes = 3;
    f.data = literalRuns(Bytes(24, 200));
    const Bytes valid = makePcx(f);
    ASSERT_EQ(readBytes(image, valid), ImageStatus::Ok);
    image = before;

    EXPECT_EQ(readBytes(image, {}), ImageStatus::NotAnImage);
    EXPECT_EQ(readBytes(image, Bytes(valid.begin(), valid.begin() + 127)), ImageStatus::NotAnImage);
    // Data that ends early, also right after a count byte.
    for (std::size_t size = 128; size < valid.size(); ++size) {
        EXPECT_EQ(readBytes(image, Bytes(valid.begin(), valid.begin() + size)),
                  ImageStatus::NotAnImage)
            << size;
    }
    auto patched = [&](std::size_t at, int value) {
        Bytes file = valid;
        file[at] = static_cast<std::uint8_t>(value);
        return file;
    };
    EXPECT_EQ(readBytes(image, patched(0, 11)), ImageStatus::NotAnImage);  // manufacturer
    EXPECT_EQ(readBytes(image, patched(65, 2)), ImageStatus::NotAnImage);  // two planes
    EXPECT_EQ(readBytes(image, patched(65, 4)), ImageStatus::NotAnImage);  // four planes
    EXPECT_EQ(readBytes(image, patched(3, 1)), ImageStatus::NotAnImage);   // three 1-bit planes
    EXPECT_EQ(readBytes(image, patched(66, 3)), ImageStatus::NotAnImage);  // line too short
    EXPECT_EQ(readBytes(image, patched(66, 0)), ImageStatus::NotAnImage);
    EXPECT_EQ(readBytes(image, patched(4, 5)), ImageStatus::NotAnImage);  // x max < x min
    Bytes oneBitFourPlanes = patched(65, 4);
    oneBitFourPlanes[3] = 1;
    EXPECT_EQ(readBytes(image, oneBitFourPlanes), ImageStatus::NotAnImage);
    // Huge sizes in a tiny file: refused by the limits, or when the data runs out.
    Bytes huge = valid;
    test::putLe16(huge, 8, 0xFFFF);
    test::putLe16(huge, 10, 0xFFFF);
    test::putLe16(huge, 66, 0xFFFF);
    EXPECT_EQ(readBytes(image, huge, 16, 128, 128), ImageStatus::TooLarge);
    EXPECT_EQ(readBytes(image, huge), ImageStatus::NotAnImage);
    // Eight bits in one plane need the 768-byte palette behind the data.
    PcxFields eight;
    eight.width = 2;
    eight.height = 1;
    eight.data = {1, 2};
    EXPECT_EQ(readBytes(image, makePcx(eight)), ImageStatus::NotAnImage);
    EXPECT_EQ(image, before);
}

TEST(Pcx, WriterLayout) {
    IndexedImage red;
    ASSERT_TRUE(red.create(16, 16));
    ASSERT_TRUE(red.setPaletteEntry(0, rgb(255, 0, 0), true));
    const Bytes file = encodePcx(red, 16, 16);
    ASSERT_EQ(file.size(), 224u);
    Bytes header(128, 0);
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    header[8] = 15;
    header[10] = 15;
    header[13] = 4;  // 1024
    header[14] = 0;  // 768 = 0x300
    header[15] = 3;
    header[65] = 3;
    header[66] = 16;
    header[68] = 2;
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 128), header);
    for (std::size_t row = 0; row < 16; ++row) {
        const auto line = file.begin() + 128 + static_cast<std::ptrdiff_t>(6 * row);
        EXPECT_EQ(Bytes(line, line + 6), (Bytes{208, 255, 208, 0, 208, 0}));
    }
    // An odd width gets an even line length and a padding byte.
    const IndexedImage odd = test::patternImage(5, 1, 5);
    const Bytes oddFile = encodePcx(odd, 5, 1);
    EXPECT_EQ(oddFile[66], 6);
    EXPECT_EQ(decodeRuns(Bytes(oddFile.begin() + 128, oddFile.end())).size(), 18u);
}

TEST(Pcx, WrittenFilesReadBackWithTheSameColours) {
    test::TempDir dir;
    const IndexedImage image = test::patternImage(15, 9, 16);
    for (const auto& [width, height] : {std::pair{15, 9}, std::pair{1, 1}, std::pair{8, 3}}) {
        const auto path = dir.file("round.pcx");
        ASSERT_EQ(writePcx(image, path, width, height), ImageStatus::Ok);
        IndexedImage back;
        ASSERT_EQ(readPcx(back, path, 16, 15, 9), ImageStatus::Ok);
        ASSERT_EQ(back.width(), width);
        ASSERT_EQ(back.height(), height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                EXPECT_EQ(back.getPixelColour(x, y), image.getPixelColour(x, y));
            }
        }
    }
    EXPECT_EQ(writePcx(image, dir.file("none.pcx"), 15, 10), ImageStatus::CannotWrite);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.pcx")));
}

}  // namespace
}  // namespace morvik

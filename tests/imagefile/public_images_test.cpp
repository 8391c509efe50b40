// The public PNG test suite and BMPs written by another program: every file
// gives a status and never a crash, and known pictures give the colours an
// independent decoder found in them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "image_checks.h"
#include "imagefile/bmp_file.h"
#include "imagefile/file_picture.h"
#include "imagefile/png_file.h"
#include "test_data.h"

namespace morvik {
namespace {

using test::rgb;

constexpr int kAny = 1 << 20;

std::filesystem::path pngSuite() {
    return test::sharedTestData() / "pngsuite";
}

#define SKIP_WITHOUT(folder)                                         \
    if (!std::filesystem::is_directory(folder)) {                    \
        GTEST_SKIP() << "no test pictures at " << (folder).string(); \
    }

IndexedImage readSuite(const std::string& name, ImageStatus expected = ImageStatus::Ok) {
    IndexedImage image;
    EXPECT_EQ(readPng(image, pngSuite() / (name + ".png"), 256, kAny, kAny), expected) << name;
    return image;
}

TEST(Png, EverySuiteFileGivesAStatus) {
    SKIP_WITHOUT(pngSuite());
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(pngSuite())) {
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    }
    ASSERT_GE(files.size(), 175u);
    int read = 0;
    for (const auto& path : files) {
        IndexedImage image;
        const ImageStatus status = readPng(image, path, 256, kAny, kAny);
        const std::string name = path.filename().string();
        // The x files are damaged on purpose.
        if (name[0] == 'x') {
            EXPECT_NE(status, ImageStatus::Ok) << name;
        } else {
            EXPECT_TRUE(status == ImageStatus::Ok || status == ImageStatus::TooManyColours) << name;
        }
        if (status == ImageStatus::Ok) {
            ++read;
            EXPECT_TRUE(image.hasPixels()) << name;
        }
        // As the file stores it: no colour limit, otherwise the same answer
        // and the same colour at every pixel.
        FilePicture picture;
        const ImageStatus pictureStatus = readFilePicture(picture, path, kAny, kAny);
        EXPECT_EQ(pictureStatus, status == ImageStatus::TooManyColours ? ImageStatus::Ok : status)
            << name;
        if (status == ImageStatus::Ok) {
            EXPECT_EQ(test::pixelColours(picture), test::pixelColours(image)) << name;
        }
    }
    EXPECT_GT(read, 100);
}

TEST(Png, InterlacedSuiteFilesMatchTheirPlainTwins) {
    SKIP_WITHOUT(pngSuite());
    for (const char* kind : {"0g01", "0g02", "0g04", "0g08", "0g16", "2c08", "2c16", "3p01", "3p02",
                             "3p04", "3p08", "4a08", "4a16", "6a08", "6a16"}) {
        const auto plainPath = pngSuite() / (std::string("basn") + kind + ".png");
        const auto interlacedPath = pngSuite() / (std::string("basi") + kind + ".png");
        IndexedImage plain;
        IndexedImage interlaced;
        // Some hold more colours than a palette: then both must say so.
        const ImageStatus status = readPng(plain, plainPath, 256, kAny, kAny);
        EXPECT_EQ(readPng(interlaced, interlacedPath, 256, kAny, kAny), status) << kind;
        EXPECT_TRUE(status == ImageStatus::Ok || status == ImageStatus::TooManyColours) << kind;
        if (status == ImageStatus::Ok) {
            EXPECT_EQ(interlaced, plain) << kind;
        }
    }
}

TEST(Png, SuiteColoursMatchAnIndependentDecoder) {
    SKIP_WITHOUT(pngSuite());
    struct Probe {
        const char* name;
        int x;
        int y;
        PaletteColour colour;
    };
    const std::vector<Probe> probes = {
        {"basn6a08", 0, 0, rgb(255, 0, 8)},       {"basn6a08", 31, 31, rgb(0, 32, 255)},
        {"basn6a08", 16, 10, rgb(192, 255, 6)},   {"basn0g08", 16, 10, rgb(174, 174, 174)},
        {"basn0g08", 5, 17, rgb(39, 39, 39)},     {"basn0g16", 31, 0, rgb(186, 186, 186)},
        {"basn0g16", 5, 17, rgb(79, 79, 79)},     {"basn0g04", 31, 31, rgb(238, 238, 238)},
        {"basn0g01", 31, 0, rgb(0, 0, 0)},        {"basn0g01", 0, 0, rgb(255, 255, 255)},
        {"basn3p08", 5, 17, rgb(255, 139, 17)},   {"basn3p08", 16, 10, rgb(0, 170, 0)},
        {"basn3p02", 5, 17, rgb(255, 0, 0)},      {"basn3p04", 31, 31, rgb(255, 0, 187)},
        {"basn4a08", 16, 10, rgb(172, 172, 172)}, {"cs3n2c16", 31, 31, rgb(0, 32, 255)},
        {"cs3n2c16", 16, 10, rgb(192, 255, 0)},   {"g03n2c08", 16, 10, rgb(0, 200, 0)},
        {"cdun2c08", 16, 10, rgb(0, 170, 238)},   {"cdun2c08", 31, 31, rgb(255, 0, 0)},
    };
    for (const Probe& probe : probes) {
        const IndexedImage image = readSuite(probe.name);
        EXPECT_EQ(image.getPixelColour(probe.x, probe.y), probe.colour)
            << probe.name << " " << probe.x << "," << probe.y;
    }
    // The key colours (white, which is also the top-left colour) stay at index 0.
    EXPECT_EQ(readSuite("tbwn0g16").paletteEntry(0), rgb(255, 255, 255));
    EXPECT_EQ(readSuite("tbbn0g04").paletteEntry(0), rgb(255, 255, 255));
    // basn3p08 has 256 colours; 255 are too few. basn2c08 has more than a palette holds.
    IndexedImage image;
    EXPECT_EQ(readPng(image, pngSuite() / "basn2c08.png", 256, kAny, kAny),
              ImageStatus::TooManyColours);
    EXPECT_EQ(readPng(image, pngSuite() / "basn3p08.png", 255, kAny, kAny),
              ImageStatus::TooManyColours);
}

TEST(Bmp, PaintNetFilesMatchTheirPngOriginals) {
    const auto folder = test::sharedTestData() / "paintnet-bmp";
    SKIP_WITHOUT(folder);
    SKIP_WITHOUT(pngSuite());
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".bmp" || name.rfind("pdn_", 0) != 0) continue;
        IndexedImage bmp;
        ASSERT_EQ(readBmp(bmp, entry.path(), 256, kAny, kAny), ImageStatus::Ok) << name;
        const IndexedImage png = readSuite(name.substr(4));
        EXPECT_EQ(test::pixelColours(bmp), test::pixelColours(png)) << name;
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace morvik

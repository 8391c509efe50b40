#include "imagefile/file_picture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <optional>
#include <string>

#include "image_checks.h"
#include "image_file_makers.h"
#include "imagefile/bmp_file.h"
#include "imagefile/pcx_file.h"
#include "imagefile/png_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using test::Bytes;
using test::makePng;
using test::rgb;

constexpr int kBig = std::numeric_limits<int>::max();

using Reader = ImageStatus (*)(FilePicture&, std::span<const std::uint8_t>, int, int);

// Two rows whose colours first appear in the order 3, 1, 0, 4: not the
// palette's order. Entry 2 is unused and entry 4 repeats entry 0's colour.
const std::vector<Bytes> kIndices = {{3, 1, 3, 0, 4}, {1, 1, 0, 3, 4}};
const std::vector<PaletteColour> kPalette = {rgb(200, 0, 0), rgb(0, 200, 0), rgb(0, 0, 200),
                                             rgb(200, 200, 0), rgb(200, 0, 0)};

std::vector<png_color> pngPalette(const std::vector<PaletteColour>& colours) {
    std::vector<png_color> out;
    for (const PaletteColour& c : colours)
        out.push_back(png_color{c.red, c.green, c.blue});
    return out;
}

Bytes bmpIndexed(int bits, bool topDown) {
    test::BmpFields f;
    f.width = 5;
    f.height = topDown ? -2 : 2;
    f.bits = bits;
    f.table = kPalette;
    f.coloursUsed = bits == 8 ? 5 : 0;  // a 4-bit table is cut short by the pixel offset
    f.rows = test::packRows(kIndices, bits);
    if (!topDown) std::swap(f.rows[0], f.rows[1]);
    return test::makeBmp(f);
}

Bytes pcxIndexed() {
    test::PcxFields f;
    f.width = 5;
    f.height = 2;
    for (Bytes line : kIndices) {
        line.push_back(0);  // lines hold an even number of bytes
        const Bytes encoded = encodePcxLine(line);
        f.data.insert(f.data.end(), encoded.begin(), encoded.end());
    }
    f.endPalette = kPalette;
    return test::makePcx(f);
}

Bytes pngIndexed(int bitDepth, std::vector<png_byte> alphas) {
    test::PngFields f;
    f.width = 5;
    f.height = 2;
    f.bitDepth = bitDepth;
    f.colourType = PNG_COLOR_TYPE_PALETTE;
    f.interlaced = bitDepth != 8;
    f.palette = pngPalette(kPalette);
    f.alphas = std::move(alphas);
    f.rows = test::packRows(kIndices, bitDepth);
    return makePng(f);
}

// A file and what it reads as: an indexed file's palette and which entries are
// transparent, or every other file's pixel colours and which are transparent.
struct FileCase {
    const char* name;
    Reader read;
    Bytes file;
    std::vector<PaletteColour> colours;
    std::vector<bool> transparent;
};

std::vector<FileCase> indexedCases() {
    std::vector<PaletteColour> pcxPalette = kPalette;
    pcxPalette.resize(256, rgb(0, 0, 0));
    const std::vector<bool> opaque(5, false);
    return {
        {"bmp 8 bits", readBmpPicture, bmpIndexed(8, false), kPalette, opaque},
        {"bmp 4 bits top-down", readBmpPicture, bmpIndexed(4, true), kPalette, opaque},
        {"pcx 8 bits", readPcxPicture, pcxIndexed(), pcxPalette, std::vector<bool>(256, false)},
        {"png 8 bits", readPngPicture, pngIndexed(8, {}), kPalette, opaque},
        // Partial alpha counts as opaque; entries past the tRNS chunk are opaque.
        {"png 4 bits interlaced, tRNS",
         readPngPicture,
         pngIndexed(4, {255, 0, 128, 0}),
         kPalette,
         {false, true, false, true, false}},
    };
}

TEST(FilePicture, IndexedFilesKeepTheirPaletteInFileOrder) {
    Bytes indices;
    for (const Bytes& row : kIndices)
        indices.insert(indices.end(), row.begin(), row.end());
    for (const FileCase& c : indexedCases()) {
        SCOPED_TRACE(c.name);
        FilePicture picture;
        ASSERT_EQ(c.read(picture, c.file, kBig, kBig), ImageStatus::Ok);
        EXPECT_TRUE(picture.indexed);
        EXPECT_EQ(picture.width, 5);
        EXPECT_EQ(picture.height, 2);
        EXPECT_EQ(picture.indices, indices);
        EXPECT_EQ(picture.palette, c.colours);
        EXPECT_EQ(picture.transparentEntries, c.transparent);
        EXPECT_TRUE(picture.colours.empty());
        EXPECT_TRUE(picture.transparent.empty());
    }
}

Bytes bmpDirect(int bits, std::uint32_t headerSize, std::vector<std::uint32_t> masks, Bytes row) {
    test::BmpFields f;
    f.width = static_cast<int>(row.size()) / (bits / 8);
    f.bits = bits;
    f.headerSize = headerSize;
    f.compression = masks.empty() ? 0 : 3;
    f.masks = std::move(masks);
    f.rows = {std::move(row)};
    return test::makeBmp(f);
}

Bytes pcxThreePlanes() {
    test::PcxFields f;
    f.width = 2;
    f.planes = 3;
    for (const Bytes& plane : {Bytes{10, 40}, Bytes{20, 50}, Bytes{30, 60}}) {
        const Bytes encoded = encodePcxLine(plane);
        f.data.insert(f.data.end(), encoded.begin(), encoded.end());
    }
    return test::makePcx(f);
}

Bytes pngDirect(int colourType, int bitDepth, Bytes row, int width,
                std::optional<png_color_16> key = std::nullopt) {
    test::PngFields f;
    f.width = width;
    f.colourType = colourType;
    f.bitDepth = bitDepth;
    f.rows = {std::move(row)};
    f.hasKey = key.has_value();
    if (key) f.key = *key;
    return makePng(f);
}

std::vector<FileCase> colourCases() {
    const PaletteColour grey = rgb(0x80, 0x80, 0x80);
    return {
        {"bmp 24 bits",
         readBmpPicture,
         bmpDirect(24, 40, {}, {30, 20, 10, 60, 50, 40}),
         {rgb(10, 20, 30), rgb(40, 50, 60)},
         {false, false}},
        // The fourth byte is no alpha without an alpha mask.
        {"bmp 32 bits",
         readBmpPicture,
         bmpDirect(32, 40, {}, {1, 2, 3, 0}),
         {rgb(3, 2, 1)},
         {false}},
        {"bmp 32 bits, alpha mask",
         readBmpPicture,
         bmpDirect(32, 108, {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                   {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 255}),
         {rgb(3, 2, 1), rgb(6, 5, 4), rgb(9, 8, 7)},
         {true, true, false}},
        {"bmp 16 bits, 1-bit alpha",
         readBmpPicture,
         bmpDirect(16, 124, {0x7C00, 0x03E0, 0x001F, 0x8000}, {0xFF, 0x7F, 0x00, 0xFC}),
         {rgb(248, 248, 248), rgb(248, 0, 0)},
         {true, false}},
        {"pcx three planes",
         readPcxPicture,
         pcxThreePlanes(),
         {rgb(10, 20, 30), rgb(40, 50, 60)},
         {false, false}},
        {"png rgb",
         readPngPicture,
         pngDirect(PNG_COLOR_TYPE_RGB, 8, {1, 2, 3}, 1),
         {rgb(1, 2, 3)},
         {false}},
        // Fully transparent pixels keep their own colours.
        {"png rgba",
         readPngPicture,
         pngDirect(PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 255}, 3),
         {rgb(10, 20, 30), rgb(40, 50, 60), rgb(70, 80, 90)},
         {true, true, false}},
        // Alpha 1 of 65535 is not 0.
        {"png grey alpha 16 bits",
         readPngPicture,
         pngDirect(PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x80, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x01},
                   2),
         {grey, grey},
         {true, false}},
        // A key matches only at all 16 bits.
        {"png rgb 16 bits, key",
         readPngPicture,
         pngDirect(PNG_COLOR_TYPE_RGB, 16,
                   {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x12, 0x35, 0x56, 0x78, 0x9A, 0xBC}, 2,
                   png_color_16{0, 0x1234, 0x5678, 0x9ABC, 0}),
         {rgb(0x12, 0x56, 0x9A), rgb(0x12, 0x56, 0x9A)},
         {true, false}},
        {"png grey 2 bits, key",
         readPngPicture,
         pngDirect(PNG_COLOR_TYPE_GRAY, 2, {0x2C}, 3, png_color_16{0, 0, 0, 0, 2}),
         {rgb(0, 0, 0), rgb(170, 170, 170), rgb(255, 255, 255)},
         {false, true, false}},
    };
}

TEST(FilePicture, OtherFilesGiveColoursAndTransparentPixels) {
    for (const FileCase& c : colourCases()) {
        SCOPED_TRACE(c.name);
        FilePicture picture;
        ASSERT_EQ(c.read(picture, c.file, kBig, kBig), ImageStatus::Ok);
        EXPECT_FALSE(picture.indexed);
        EXPECT_EQ(picture.width, static_cast<int>(c.colours.size()));
        EXPECT_EQ(picture.height, 1);
        EXPECT_EQ(picture.colours, c.colours);
        EXPECT_EQ(picture.transparent, c.transparent);
        EXPECT_TRUE(picture.indices.empty());
        EXPECT_TRUE(picture.palette.empty());
    }
}

TEST(FilePicture, LimitsDamageAndPixelsPastThePalette) {
    std::vector<FileCase> files = indexedCases();
    for (FileCase& c : colourCases())
        files.push_back(std::move(c));
    FilePicture before;
    before.width = 7;
    for (const FileCase& c : files) {
        SCOPED_TRACE(c.name);
        FilePicture picture;
        ASSERT_EQ(c.read(picture, c.file, kBig, kBig), ImageStatus::Ok);
        const int width = picture.width;
        const int height = picture.height;
        EXPECT_EQ(c.read(picture, c.file, width, height), ImageStatus::Ok);
        picture = before;
        EXPECT_EQ(c.read(picture, c.file, width - 1, height), ImageStatus::TooLarge);
        EXPECT_EQ(c.read(picture, c.file, width, height - 1), ImageStatus::TooLarge);
        for (std::size_t size = 0; size < c.file.size(); ++size) {
            // A PCX palette is the file's last 768 bytes, behind a marker byte
            // that is not checked: without the last byte the palette shifts.
            if (std::string(c.name) == "pcx 8 bits" && size + 1 == c.file.size()) continue;
            EXPECT_NE(c.read(picture, Bytes(c.file.begin(), c.file.begin() + size), kBig, kBig),
                      ImageStatus::Ok)
                << size;
        }
        EXPECT_EQ(picture, before);
    }

    // Index 7 in a palette of 5: refused, as the IndexedImage readers refuse it.
    std::vector<Bytes> pastEnd = kIndices;
    pastEnd[1][2] = 7;
    test::BmpFields bmp;
    bmp.width = 5;
    bmp.height = -2;
    bmp.bits = 8;
    bmp.table = kPalette;
    bmp.coloursUsed = 5;
    bmp.rows = pastEnd;
    test::PngFields png;
    png.width = 5;
    png.height = 2;
    png.colourType = PNG_COLOR_TYPE_PALETTE;
    png.palette = pngPalette(kPalette);
    png.rows = pastEnd;
    FilePicture picture = before;
    IndexedImage image;
    EXPECT_EQ(readBmpPicture(picture, test::makeBmp(bmp), kBig, kBig), ImageStatus::NotAnImage);
    EXPECT_EQ(readBmpBytes(image, test::makeBmp(bmp), 256, kBig, kBig), ImageStatus::NotAnImage);
    EXPECT_EQ(readPngPicture(picture, makePng(png), kBig, kBig), ImageStatus::CannotRead);
    EXPECT_EQ(readPngBytes(image, makePng(png), 256, kBig, kBig), ImageStatus::CannotRead);
    EXPECT_EQ(picture, before);
}

TEST(FilePicture, FilesAreChosenByTheirEnding) {
    test::TempDir dir;
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"a.BMP", bmpIndexed(8, false)}, {"b.Pcx", pcxIndexed()}, {"c.pNG", pngIndexed(8, {})}};
    for (const auto& [name, bytes] : files) {
        std::ofstream(dir.file(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        FilePicture picture;
        ASSERT_EQ(readFilePicture(picture, dir.file(name), 5, 2), ImageStatus::Ok) << name;
        EXPECT_EQ(picture.palette.at(3), kPalette[3]) << name;
        EXPECT_EQ(readFilePicture(picture, dir.file(name), 5, 1), ImageStatus::TooLarge) << name;
    }
    FilePicture picture;
    std::filesystem::copy_file(dir.file("c.pNG"), dir.file("c.gif"));
    EXPECT_EQ(readFilePicture(picture, dir.file("c.gif"), kBig, kBig), ImageStatus::NotAnImage);
    EXPECT_EQ(readFilePicture(picture, dir.file("none.png"), kBig, kBig), ImageStatus::CannotRead);
    std::filesystem::copy_file(dir.file("c.pNG"), dir.file("png.bmp"));
    EXPECT_EQ(readFilePicture(picture, dir.file("png.bmp"), kBig, kBig), ImageStatus::NotAnImage);
}

}  // namespace
}  // namespace morvik

#pragma once

// Builders of small BMP, PCX and PNG files with exactly the fields a test
// wants, including ones the project's writers never produce.

#include <png.h>

#include <cstdint>
#include <vector>

#include "gfx/colour.h"

namespace morvik::test {

using Bytes = std::vector<std::uint8_t>;

inline void putLe16(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
inline void putLe32(Bytes& out, std::size_t at, std::uint32_t value) {
    putLe16(out, at, value & 0xFFFF);
    putLe16(out, at + 2, value >> 16);
}

// Packs one palette index per entry into rows of the given bit count, leftmost
// pixel in the high bits, as both BMP and PNG store them.
inline std::vector<Bytes> packRows(const std::vector<Bytes>& indices, int bits) {
    std::vector<Bytes> rows;
    for (const Bytes& row : indices) {
        Bytes packed((row.size() * static_cast<std::size_t>(bits) + 7) / 8, 0);
        for (std::size_t x = 0; x < row.size(); ++x) {
            const std::size_t bit = x * static_cast<std::size_t>(bits);
            packed[bit / 8] |= static_cast<std::uint8_t>(row[x] << (8 - bits - bit % 8));
        }
        rows.push_back(packed);
    }
    return rows;
}

struct BmpFields {
    int width = 1;
    int height = 1;  // negative: rows stored top-down
    int bits = 24;
    std::uint32_t headerSize = 40;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t sizeImage = 0;
    std::vector<PaletteColour> table;
    // Red, green, blue and, inside headers of 56 bytes and more, alpha; behind a
    // 40-byte header.
    std::vector<std::uint32_t> masks;
    std::size_t gapBeforePixels = 0;  // bytes between the tables and the pixels
    bool zeroPixelOffset = false;
    // Stored rows in file order; each is padded to the stride.
    std::vector<Bytes> rows;
};

inline std::size_t bmpStride(int width, int bits) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
}

inline Bytes makeBmp(const BmpFields& f) {
    Bytes out(14 + f.headerSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    putLe32(out, 14, f.headerSize);
    putLe32(out, 18, static_cast<std::uint32_t>(f.width));
    putLe32(out, 22, static_cast<std::uint32_t>(f.height));
    putLe16(out, 26, 1);
    putLe16(out, 28, static_cast<std::uint32_t>(f.bits));
    putLe32(out, 30, f.compression);
    putLe32(out, 34, f.sizeImage);
    putLe32(out, 46, f.coloursUsed);
    if (f.headerSize > 40) {
        for (std::size_t i = 0; i < f.masks.size(); ++i)
            putLe32(out, 54 + 4 * i, f.masks[i]);
    } else {
        for (const std::uint32_t mask : f.masks) {
            out.resize(out.size() + 4);
            putLe32(out, out.size() - 4, mask);
        }
    }
    for (const PaletteColour& colour : f.table) {
        out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
    }
    out.resize(out.size() + f.gapBeforePixels, 0xEE);
    putLe32(out, 10, f.zeroPixelOffset ? 0 : static_cast<std::uint32_t>(out.size()));
    const std::size_t stride = bmpStride(f.width, f.bits);
    for (Bytes row : f.rows) {
        row.resize(stride, 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    putLe32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

struct PcxFields {
    int width = 1;
    int height = 1;
    int bits = 8;
    int planes = 1;
    int bytesPerLine = 0;  // 0: the width's bytes rounded up to even
    std::uint8_t encoding = 1;
    std::vector<PaletteColour> headerPalette;  // up to 16
    Bytes data;                                // run-length encoded lines
    std::vector<PaletteColour> endPalette;     // appended with its marker when not empty
};

inline Bytes makePcx(const PcxFields& f) {
    Bytes out(128, 0);
    out[0] = 10;
    out[1] = 5;
    out[2] = f.encoding;
    out[3] = static_cast<std::uint8_t>(f.bits);
    putLe16(out, 8, static_cast<std::uint32_t>(f.width - 1));
    putLe16(out, 10, static_cast<std::uint32_t>(f.height - 1));
    for (std::size_t i = 0; i < f.headerPalette.size() && i < 16; ++i) {
        out[16 + 3 * i] = f.headerPalette[i].red;
        out[17 + 3 * i] = f.headerPalette[i].green;
        out[18 + 3 * i] = f.headerPalette[i].blue;
    }
    out[65] = static_cast<std::uint8_t>(f.planes);
    int bytesPerLine = f.bytesPerLine;
    if (bytesPerLine == 0) bytesPerLine = ((f.width * f.bits + 7) / 8 + 1) / 2 * 2;
    putLe16(out, 66, static_cast<std::uint32_t>(bytesPerLine));
    out.insert(out.end(), f.data.begin(), f.data.end());
    if (!f.endPalette.empty()) {
        out.push_back(12);
        for (int i = 0; i < 256; ++i) {
            const PaletteColour c =
                i < static_cast<int>(f.endPalette.size()) ? f.endPalette[i] : PaletteColour{};
            out.insert(out.end(), {c.red, c.green, c.blue});
        }
    }
    return out;
}

// A PNG of any colour type written by libpng itself. rows hold the packed
// samples of each row as the format stores them (big-endian for 16 bits).
struct PngFields {
    int width = 1;
    int height = 1;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;  // tRNS of a palette file
    bool hasKey = false;           // tRNS of a grey or truecolour file
    png_color_16 key{};
    std::vector<Bytes> rows;
};

namespace detail {
inline void appendPng(png_structp png, png_bytep data, std::size_t count) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}
inline void noFlush(png_structp) {}
// Everything with a destructor lives in the caller of this frame.
inline bool writePngRows(png_structp png, png_infop info, const PngFields& f, Bytes& out,
                         std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_write_fn(png, &out, appendPng, noFlush);
    // Pixels past the palette are written as given: readers must cope with them.
    png_set_check_for_invalid_index(png, 0);
    png_set_IHDR(png, info, static_cast<png_uint_32>(f.width), static_cast<png_uint_32>(f.height),
                 f.bitDepth, f.colourType, f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!f.palette.empty()) {
        png_set_PLTE(png, info, f.palette.data(), static_cast<int>(f.palette.size()));
    }
    if (!f.alphas.empty()) {
        png_set_tRNS(png, info, f.alphas.data(), static_cast<int>(f.alphas.size()), nullptr);
    }
    if (f.hasKey) png_set_tRNS(png, info, nullptr, 0, &f.key);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}
}  // namespace detail

inline Bytes makePng(const PngFields& f) {
    Bytes out;
    std::vector<Bytes> rowCopies = f.rows;
    std::vector<png_bytep> rows;
    for (Bytes& row : rowCopies)
        rows.push_back(row.data());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = detail::writePngRows(png, info, f, out, rows);
    png_destroy_write_struct(&png, &info);
    return ok ? out : Bytes{};
}

}  // namespace morvik::test

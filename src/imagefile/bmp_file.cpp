#include "imagefile/bmp_file.h"

#include <array>
#include <bit>
#include <limits>

#include "imagefile/image_bytes.h"
#include "imagefile/picture_builder.h"

namespace morvik {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kMaskBytes = 12;
// Headers from version 3 on hold an alpha mask after the three colour masks.
constexpr std::uint32_t kAlphaMaskHeaderSize = 56;
constexpr std::uint16_t kBmpType = 0x4D42;  // "BM"
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitfields = 3;
constexpr std::uint32_t kWriterResolution = 4000;

// Everything about a file that decoding its pixels needs, checked against the
// data it came from.
struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    std::size_t stride = 0;
    std::size_t pixelOffset = 0;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue
    std::uint32_t alphaMask = 0;
    int tableEntries = 0;
    std::array<PaletteColour, 256> table{};
};

bool knownHeaderSize(std::uint32_t size) {
    // Version 1 to 5 info headers; GIMP, ImageMagick and Paint.NET write the
    // larger ones, and the colour table follows whichever it is.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Bit counts below 16 index a colour table; only these three are defined.
bool unreadableTableBits(int bits) {
    return bits < 16 && bits != 1 && bits != 4 && bits != 8;
}

bool decodableFormat(int bits, std::uint32_t compression) {
    switch (bits) {
        case 1:
        case 4:
        case 8:
        case 24:
            return compression == kCompressionNone;
        case 16:
        case 32:
            return compression == kCompressionNone || compression == kCompressionBitfields;
        default:
            return false;
    }
}

// Where the masks or the colour table end; 0 when they do not fit the file.
std::size_t readMasksAndTable(std::span<const std::uint8_t> data, std::uint32_t headerSize,
                              std::uint32_t compression, BmpLayout& layout) {
    std::size_t position = kFileHeaderSize + headerSize;
    if (layout.bits == 16) layout.masks = {0x7C00, 0x03E0, 0x001F};
    if (layout.bits >= 24) layout.masks = {0xFF0000, 0x00FF00, 0x0000FF};
    if (compression == kCompressionBitfields) {
        // Version 1 headers keep the masks behind the header, later ones inside it.
        std::size_t maskOffset = kFileHeaderSize + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) position += kMaskBytes;
        if (position > data.size()) return 0;
        for (std::size_t i = 0; i < 3; ++i)
            layout.masks[i] = loadLe32(data, maskOffset + 4 * i);
        if (headerSize >= kAlphaMaskHeaderSize) {
            layout.alphaMask = loadLe32(data, maskOffset + kMaskBytes);
        }
    }
    if (layout.bits > 8) return position;

    int entries = 1 << layout.bits;
    const std::uint32_t coloursUsed = loadLe32(data, 46);
    if (coloursUsed > 0 && coloursUsed < static_cast<std::uint32_t>(entries)) {
        entries = static_cast<int>(coloursUsed);
    }
    // Some writers leave out the unused tail of the table; the pixel data
    // offset tells.
    if (layout.pixelOffset != 0 && layout.pixelOffset >= position &&
        position + 4 * static_cast<std::size_t>(entries) > layout.pixelOffset) {
        entries = static_cast<int>((layout.pixelOffset - position) / 4);
    }
    if (entries == 0 || position + 4 * static_cast<std::size_t>(entries) > data.size()) return 0;
    for (int i = 0; i < entries; ++i) {
        const std::size_t at = position + 4 * static_cast<std::size_t>(i);
        layout.table[i] = PaletteColour{data[at], data[at + 1], data[at + 2]};
    }
    layout.tableEntries = entries;
    return position + 4 * static_cast<std::size_t>(entries);
}

// Checks what follows the size limits: format, tables and the pixel data.
bool readLayout(std::span<const std::uint8_t> data, std::uint32_t headerSize, BmpLayout& layout) {
    const std::uint32_t compression = loadLe32(data, 30);
    if (!decodableFormat(layout.bits, compression)) return false;
    layout.pixelOffset = loadLe32(data, 10);
    const std::size_t tableEnd = readMasksAndTable(data, headerSize, compression, layout);
    if (tableEnd == 0) return false;
    if (layout.pixelOffset == 0) layout.pixelOffset = tableEnd;
    if (layout.pixelOffset < tableEnd || layout.pixelOffset > data.size()) return false;

    const std::uint64_t rowBits =
        std::uint64_t{static_cast<unsigned>(layout.width)} * static_cast<unsigned>(layout.bits);
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    // The size field may be 0 or too small for uncompressed data; the file's
    // own length is what bounds the reads.
    const std::uint64_t available = data.size() - layout.pixelOffset;
    if (stride > available || stride * static_cast<unsigned>(layout.height) > available) {
        return false;
    }
    layout.stride = static_cast<std::size_t>(stride);
    return true;
}

std::uint8_t maskedChannel(std::uint32_t value, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t field = (value & mask) >> shift;
    const int width = std::bit_width(mask >> shift);
    // Narrow channels keep zero low bits (a 5-bit 31 is 248); wide ones keep their top byte.
    if (width >= 8) return static_cast<std::uint8_t>(field >> (width - 8));
    return static_cast<std::uint8_t>(field << (8 - width));
}

std::uint32_t pixelValue(const std::uint8_t* pixel, int bits) {
    std::uint32_t value = pixel[0] | (pixel[1] << 8);
    if (bits >= 24) value |= static_cast<std::uint32_t>(pixel[2]) << 16;
    if (bits == 32) value |= static_cast<std::uint32_t>(pixel[3]) << 24;
    return value;
}

PaletteColour directColour(std::uint32_t value, const BmpLayout& layout) {
    return PaletteColour{maskedChannel(value, layout.masks[2]),
                         maskedChannel(value, layout.masks[1]),
                         maskedChannel(value, layout.masks[0])};
}

int tableIndex(const std::uint8_t* row, int x, int bits) {
    if (bits == 8) return row[x];
    const int perByte = 8 / bits;
    const int shift = 8 - bits * (x % perByte + 1);
    return (row[x / perByte] >> shift) & ((1 << bits) - 1);
}

// False at the first index past the colour table, which is then marked.
bool decodeRow(const std::uint8_t* row, std::size_t rowStart, const BmpLayout& layout,
               DecodedPicture& decoded) {
    FilePicture& picture = decoded.picture;
    const int bytesPerPixel = layout.bits / 8;
    for (int x = 0; x < layout.width; ++x) {
        const std::size_t at = rowStart + static_cast<std::size_t>(x);
        if (picture.indexed) {
            const int index = tableIndex(row, x, layout.bits);
            if (index >= layout.tableEntries) {
                decoded.markDamaged(at, ImageStatus::NotAnImage);
                return false;
            }
            picture.indices[at] = static_cast<std::uint8_t>(index);
        } else {
            const std::uint32_t value =
                pixelValue(row + static_cast<std::size_t>(x) * bytesPerPixel, layout.bits);
            picture.colours[at] = directColour(value, layout);
            picture.transparent[at] = layout.alphaMask != 0 && (value & layout.alphaMask) == 0;
        }
    }
    return true;
}

ImageStatus decodePixels(std::span<const std::uint8_t> data, const BmpLayout& layout,
                         DecodedPicture& decoded) {
    if (!startPicture(decoded, layout.width, layout.height, layout.bits <= 8)) {
        return ImageStatus::CannotRead;
    }
    if (decoded.picture.indexed) {
        decoded.picture.palette.assign(layout.table.begin(),
                                       layout.table.begin() + layout.tableEntries);
        decoded.picture.transparentEntries.assign(decoded.picture.palette.size(), false);
    }
    for (int y = 0; y < layout.height; ++y) {
        const int stored = layout.topDown ? y : layout.height - 1 - y;
        const std::uint8_t* row =
            data.data() + layout.pixelOffset + static_cast<std::size_t>(stored) * layout.stride;
        const std::size_t rowStart =
            static_cast<std::size_t>(y) * static_cast<std::size_t>(layout.width);
        if (!decodeRow(row, rowStart, layout, decoded)) break;
    }
    return ImageStatus::Ok;
}

ImageStatus decodeBmp(std::span<const std::uint8_t> data, int maxWidth, int maxHeight,
                      DecodedPicture& decoded) {
    if (data.size() < kFileHeaderSize + 4 || loadLe16(data, 0) != kBmpType) {
        return ImageStatus::NotAnImage;
    }
    const std::uint32_t headerSize = loadLe32(data, kFileHeaderSize);
    if (!knownHeaderSize(headerSize) || kFileHeaderSize + headerSize > data.size()) {
        return ImageStatus::NotAnImage;
    }
    BmpLayout layout;
    const auto width = static_cast<std::int32_t>(loadLe32(data, 18));
    const auto height = static_cast<std::int32_t>(loadLe32(data, 22));
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min()) {
        return ImageStatus::NotAnImage;
    }
    layout.width = width;
    layout.height = height < 0 ? -height : height;
    layout.topDown = height < 0;
    if (layout.width > maxWidth || layout.height > maxHeight) return ImageStatus::TooLarge;
    layout.bits = loadLe16(data, 28);
    if (unreadableTableBits(layout.bits)) return ImageStatus::CannotRead;
    if (!readLayout(data, headerSize, layout)) return ImageStatus::NotAnImage;
    return decodePixels(data, layout, decoded);
}

}  // namespace

ImageStatus readBmpBytes(IndexedImage& image, std::span<const std::uint8_t> data, int maxColours,
                         int maxWidth, int maxHeight) {
    return readImageWith(decodeBmp, image, data, maxColours, maxWidth, maxHeight);
}

ImageStatus readBmpPicture(FilePicture& picture, std::span<const std::uint8_t> data, int maxWidth,
                           int maxHeight) {
    return readPictureWith(decodeBmp, picture, data, maxWidth, maxHeight);
}

ImageStatus readBmp(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                    int maxWidth, int maxHeight) {
    std::vector<std::uint8_t> data;
    const ImageStatus status = readImageBytes(path, data);
    if (status != ImageStatus::Ok) return status;
    return readBmpBytes(image, data, maxColours, maxWidth, maxHeight);
}

std::vector<std::uint8_t> encodeBmp(const IndexedImage& image, int width, int height) {
    if (width <= 0 || height <= 0 || width > image.width() || height > image.height()) return {};
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    const std::size_t dataSize = stride * static_cast<std::size_t>(height);
    const std::size_t headersSize = kFileHeaderSize + kInfoHeaderSize;
    std::vector<std::uint8_t> out(headersSize + dataSize, 0);
    storeLe16(out, 0, kBmpType);
    storeLe32(out, 2, static_cast<std::uint32_t>(out.size()));
    storeLe32(out, 10, static_cast<std::uint32_t>(headersSize));
    storeLe32(out, 14, static_cast<std::uint32_t>(kInfoHeaderSize));
    storeLe32(out, 18, static_cast<std::uint32_t>(width));
    storeLe32(out, 22, static_cast<std::uint32_t>(height));
    storeLe16(out, 26, 1);
    storeLe16(out, 28, 24);
    storeLe32(out, 34, static_cast<std::uint32_t>(dataSize));
    storeLe32(out, 38, kWriterResolution);
    storeLe32(out, 42, kWriterResolution);
    std::size_t at = headersSize;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const PaletteColour colour = image.getPixelColour(x, y);
            out[at + 3 * static_cast<std::size_t>(x)] = colour.blue;
            out[at + 3 * static_cast<std::size_t>(x) + 1] = colour.green;
            out[at + 3 * static_cast<std::size_t>(x) + 2] = colour.red;
        }
        at += stride;
    }
    return out;
}

ImageStatus writeBmp(const IndexedImage& image, const std::filesystem::path& path, int width,
                     int height) {
    const std::vector<std::uint8_t> bytes = encodeBmp(image, width, height);
    if (bytes.empty()) return ImageStatus::CannotWrite;
    return writeImageBytes(path, bytes);
}

}  // namespace morvik

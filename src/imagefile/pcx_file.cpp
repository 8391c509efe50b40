#include "imagefile/pcx_file.h"

#include <algorithm>

#include "imagefile/image_bytes.h"
#include "imagefile/picture_builder.h"

namespace morvik {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::uint8_t kManufacturer = 10;
constexpr std::uint8_t kEncodingRle = 1;
constexpr std::size_t kHeaderPaletteOffset = 16;
constexpr std::size_t kEndPaletteSize = 768;
constexpr std::uint8_t kRunFlag = 0xC0;
constexpr int kMaxRun = 63;
constexpr int kMaxWriterWidth = 0xFFFE;
constexpr int kMaxWriterHeight = 0x10000;

struct PcxLayout {
    int width = 0;
    int height = 0;
    int bits = 0;
    int planes = 0;
    std::size_t bytesPerLine = 0;
    std::span<const std::uint8_t> encoded;
    std::span<const std::uint8_t> palette;  // red, green, blue triples
};

bool decodableFormat(int planes, int bits) {
    return (planes == 1 && (bits == 1 || bits == 4 || bits == 8)) || (planes == 3 && bits == 8);
}

// The run-length stream of a file, decoded one plane line at a time.
class RleStream {
  public:
    explicit RleStream(std::span<const std::uint8_t> data) : data_(data) {}

    // Fills the line completely; false when the data ends first. A run that
    // reaches past the end of the line is cut off there: runs never cross
    // lines in a well-formed file, so the surplus belongs to no pixel.
    bool decodeLine(std::span<std::uint8_t> line) {
        std::size_t filled = 0;
        while (filled < line.size()) {
            if (position_ >= data_.size()) return false;
            const std::uint8_t byte = data_[position_++];
            std::size_t count = 1;
            std::uint8_t value = byte;
            if ((byte & kRunFlag) == kRunFlag) {
                if (position_ >= data_.size()) return false;
                count = byte & kMaxRun;
                value = data_[position_++];
            }
            count = std::min(count, line.size() - filled);
            std::fill_n(line.begin() + static_cast<std::ptrdiff_t>(filled), count, value);
            filled += count;
        }
        return true;
    }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

PaletteColour tripleAt(std::span<const std::uint8_t> palette, int index) {
    const std::size_t at = 3 * static_cast<std::size_t>(index);
    return PaletteColour::fromRgb(palette[at], palette[at + 1], palette[at + 2]);
}

PaletteColour pixelColour(const PcxLayout& layout, std::span<const std::uint8_t> lines, int x) {
    const auto ux = static_cast<std::size_t>(x);
    if (layout.planes == 3) {
        const std::size_t line = layout.bytesPerLine;
        return PaletteColour::fromRgb(lines[ux], lines[line + ux], lines[2 * line + ux]);
    }
    if (layout.bits == 1) {
        return ((lines[ux / 8] >> (7 - ux % 8)) & 1) != 0 ? PaletteColour::fromRgb(255, 255, 255)
                                                          : PaletteColour::fromRgb(0, 0, 0);
    }
    return tripleAt(layout.palette, (lines[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0x0F);
}

// Only 8 bits in one plane index the palette the file ends with.
bool indexedFormat(const PcxLayout& layout) {
    return layout.planes == 1 && layout.bits == 8;
}

void storeLine(const PcxLayout& layout, std::span<const std::uint8_t> lines, std::size_t lineStart,
               FilePicture& picture) {
    // Bytes past the width are line padding and never become pixels.
    for (int x = 0; x < layout.width; ++x) {
        const std::size_t at = lineStart + static_cast<std::size_t>(x);
        if (picture.indexed) {
            picture.indices[at] = lines[static_cast<std::size_t>(x)];
        } else {
            picture.colours[at] = pixelColour(layout, lines, x);
        }
    }
}

ImageStatus decodePixels(const PcxLayout& layout, DecodedPicture& decoded) {
    const bool indexed = indexedFormat(layout);
    if (!startPicture(decoded, layout.width, layout.height, indexed)) {
        return ImageStatus::CannotRead;
    }
    if (indexed) {
        for (std::size_t i = 0; i < layout.palette.size() / 3; ++i)
            decoded.picture.palette.push_back(tripleAt(layout.palette, static_cast<int>(i)));
        decoded.picture.transparentEntries.assign(decoded.picture.palette.size(), false);
    }
    std::vector<std::uint8_t> lines(layout.bytesPerLine * static_cast<std::size_t>(layout.planes));
    RleStream stream(layout.encoded);
    for (int y = 0; y < layout.height; ++y) {
        const std::size_t lineStart =
            static_cast<std::size_t>(y) * static_cast<std::size_t>(layout.width);
        for (int plane = 0; plane < layout.planes; ++plane) {
            const auto line = std::span<std::uint8_t>(lines).subspan(
                static_cast<std::size_t>(plane) * layout.bytesPerLine, layout.bytesPerLine);
            if (!stream.decodeLine(line)) {
                decoded.markDamaged(lineStart, ImageStatus::NotAnImage);
                return ImageStatus::Ok;
            }
        }
        storeLine(layout, lines, lineStart, decoded.picture);
    }
    return ImageStatus::Ok;
}

// Checks what follows the size limits: format, line length, data and palette.
bool readLayout(std::span<const std::uint8_t> data, PcxLayout& layout) {
    layout.bits = data[3];
    layout.planes = data[65];
    // The encoding byte is not looked at: some writers leave it 0 or fill it
    // with anything, and every file in use is run-length encoded.
    if (!decodableFormat(layout.planes, layout.bits)) return false;
    layout.bytesPerLine = loadLe16(data, 66);
    const std::size_t neededBits = static_cast<std::size_t>(layout.width) * layout.bits;
    if (layout.bytesPerLine < (neededBits + 7) / 8) return false;
    layout.encoded = data.subspan(kHeaderSize);
    layout.palette = data.subspan(kHeaderPaletteOffset, 48);
    if (layout.planes == 1 && layout.bits == 8) {
        // The 256-colour palette takes the last 768 bytes of the file.
        if (data.size() < kHeaderSize + kEndPaletteSize) return false;
        layout.encoded = data.subspan(kHeaderSize, data.size() - kHeaderSize - kEndPaletteSize);
        layout.palette = data.last(kEndPaletteSize);
    }
    // Each stream byte yields at most one run's worth of line bytes: a file
    // far too short for its size is refused before any pixels are allocated.
    const std::uint64_t lineBytes = std::uint64_t{layout.bytesPerLine} *
                                    static_cast<unsigned>(layout.planes) *
                                    static_cast<unsigned>(layout.height);
    return lineBytes <= std::uint64_t{layout.encoded.size()} * kMaxRun;
}

ImageStatus decodePcx(std::span<const std::uint8_t> data, int maxWidth, int maxHeight,
                      DecodedPicture& decoded) {
    if (data.size() < kHeaderSize || data[0] != kManufacturer) return ImageStatus::NotAnImage;
    const int xMin = loadLe16(data, 4);
    const int yMin = loadLe16(data, 6);
    const int xMax = loadLe16(data, 8);
    const int yMax = loadLe16(data, 10);
    if (xMax < xMin || yMax < yMin) return ImageStatus::NotAnImage;
    PcxLayout layout;
    layout.width = xMax - xMin + 1;
    layout.height = yMax - yMin + 1;
    if (layout.width > maxWidth || layout.height > maxHeight) return ImageStatus::TooLarge;
    if (!readLayout(data, layout)) return ImageStatus::NotAnImage;
    return decodePixels(layout, decoded);
}

}  // namespace

ImageStatus readPcxBytes(IndexedImage& image, std::span<const std::uint8_t> data, int maxColours,
                         int maxWidth, int maxHeight) {
    return readImageWith(decodePcx, image, data, maxColours, maxWidth, maxHeight);
}

ImageStatus readPcxPicture(FilePicture& picture, std::span<const std::uint8_t> data, int maxWidth,
                           int maxHeight) {
    return readPictureWith(decodePcx, picture, data, maxWidth, maxHeight);
}

ImageStatus readPcx(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                    int maxWidth, int maxHeight) {
    std::vector<std::uint8_t> data;
    const ImageStatus status = readImageBytes(path, data);
    if (status != ImageStatus::Ok) return status;
    return readPcxBytes(image, data, maxColours, maxWidth, maxHeight);
}

std::vector<std::uint8_t> encodePcxLine(std::span<const std::uint8_t> line) {
    std::vector<std::uint8_t> out;
    out.reserve(2 * line.size());
    std::size_t position = 0;
    while (position < line.size()) {
        const std::uint8_t value = line[position];
        std::size_t run = 1;
        while (run < static_cast<std::size_t>(kMaxRun) && position + run < line.size() &&
               line[position + run] == value) {
            ++run;
        }
        if (run >= 2 || value >= kRunFlag) out.push_back(static_cast<std::uint8_t>(kRunFlag + run));
        out.push_back(value);
        position += run;
    }
    return out;
}

std::vector<std::uint8_t> encodePcx(const IndexedImage& image, int width, int height) {
    if (width <= 0 || height <= 0 || width > image.width() || height > image.height()) return {};
    // The window and line-length fields have 16 bits.
    if (width > kMaxWriterWidth || height > kMaxWriterHeight) return {};
    // Lines hold an even number of bytes, as the format asks; an odd width
    // gets one zero byte of padding that readers drop.
    const std::size_t bytesPerLine = (static_cast<std::size_t>(width) + 1) / 2 * 2;
    std::vector<std::uint8_t> out(kHeaderSize, 0);
    out[0] = kManufacturer;
    out[1] = 5;  // version 3.0 and later: palette information present
    out[2] = kEncodingRle;
    out[3] = 8;
    storeLe16(out, 8, static_cast<std::uint32_t>(width - 1));
    storeLe16(out, 10, static_cast<std::uint32_t>(height - 1));
    storeLe16(out, 12, 1024);
    storeLe16(out, 14, 768);
    out[65] = 3;
    storeLe16(out, 66, static_cast<std::uint32_t>(bytesPerLine));
    storeLe16(out, 68, 2);
    std::vector<std::uint8_t> line(bytesPerLine, 0);
    for (int y = 0; y < height; ++y) {
        for (int plane = 0; plane < 3; ++plane) {
            for (int x = 0; x < width; ++x) {
                const PaletteColour colour = image.getPixelColour(x, y);
                line[static_cast<std::size_t>(x)] =
                    plane == 0 ? colour.red : (plane == 1 ? colour.green : colour.blue);
            }
            const std::vector<std::uint8_t> encoded = encodePcxLine(line);
            out.insert(out.end(), encoded.begin(), encoded.end());
        }
    }
    return out;
}

ImageStatus writePcx(const IndexedImage& image, const std::filesystem::path& path, int width,
                     int height) {
    const std::vector<std::uint8_t> bytes = encodePcx(image, width, height);
    if (bytes.empty()) return ImageStatus::CannotWrite;
    return writeImageBytes(path, bytes);
}

}  // namespace morvik

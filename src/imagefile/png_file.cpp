#include "imagefile/png_file.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "imagefile/image_bytes.h"
#include "imagefile/picture_builder.h"

namespace morvik {

namespace {

constexpr std::size_t kSignatureSize = 8;

// libpng reports every error through this and expects no return: the jump
// lands at the setjmp of the function that drives the library.
[[noreturn]] void raiseError(png_structp png, png_const_charp /*message*/) {
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

struct MemorySource {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

void readFromMemory(png_structp png, png_bytep out, std::size_t count) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (count > source->data.size() - source->position) png_error(png, "unexpected end of data");
    std::memcpy(out, source->data.data() + source->position, count);
    source->position += count;
}

void writeToMemory(png_structp png, png_bytep data, std::size_t count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void flushNothing(png_structp /*png*/) {}

// The library's read state; destroyed on every path out of a read.
struct ReadHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ReadHandles() = default;
    ReadHandles(const ReadHandles&) = delete;
    ReadHandles& operator=(const ReadHandles&) = delete;
    ~ReadHandles() {
        if (png != nullptr) png_destroy_read_struct(&png, &info, nullptr);
    }
};

struct WriteHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    WriteHandles() = default;
    WriteHandles(const WriteHandles&) = delete;
    WriteHandles& operator=(const WriteHandles&) = delete;
    ~WriteHandles() {
        if (png != nullptr) png_destroy_write_struct(&png, &info);
    }
};

// What the library decoded: one palette index or three bytes (red, green,
// blue) per pixel, with the file's palette and transparency.
struct DecodedPng {
    int width = 0;
    int height = 0;
    bool indexed = false;
    std::size_t rowBytes = 0;
    std::vector<std::uint8_t> bytes;
    std::vector<png_bytep> rows;
    std::array<PaletteColour, kPaletteSize> palette{};
    int paletteSize = 0;
    bool hasTransparent = false;
    PaletteColour transparent;
};

struct Limits {
    int maxWidth;
    int maxHeight;
};

// A grey level of the file's bit depth as the 8-bit level the transforms
// below turn it into.
std::uint8_t greyLevel(unsigned value, int bitDepth) {
    if (bitDepth == 16) return static_cast<std::uint8_t>(value >> 8);
    const unsigned maximum = (1u << bitDepth) - 1;
    return static_cast<std::uint8_t>((value & maximum) * (255 / maximum));
}

std::uint8_t channelLevel(unsigned value, int bitDepth) {
    return static_cast<std::uint8_t>(bitDepth == 16 ? value >> 8 : value & 0xFF);
}

void takePalette(png_structp png, png_infop info, DecodedPng& decoded) {
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) == 0) count = 0;
    decoded.paletteSize = count < 0 ? 0 : (count > kPaletteSize ? kPaletteSize : count);
    for (int i = 0; i < decoded.paletteSize; ++i) {
        decoded.palette[i] =
            PaletteColour::fromRgb(entries[i].red, entries[i].green, entries[i].blue);
    }
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) == 0) return;
    // Only full transparency counts; partial alpha is taken as opaque.
    for (int i = 0; i < alphaCount && i < decoded.paletteSize; ++i) {
        if (alphas[i] != 0) continue;
        decoded.hasTransparent = true;
        decoded.transparent = decoded.palette[i];
        return;
    }
}

// Asks for three 8-bit channels whatever the file holds, and notes its key colour.
void requestRgb(png_structp png, png_infop info, int colourType, int bitDepth,
                DecodedPng& decoded) {
    const bool grey = (colourType & PNG_COLOR_MASK_COLOR) == 0;
    png_color_16p key = nullptr;
    if (png_get_tRNS(png, info, nullptr, nullptr, &key) != 0 && key != nullptr) {
        decoded.hasTransparent = true;
        if (grey) {
            const std::uint8_t level = greyLevel(key->gray, bitDepth);
            decoded.transparent = PaletteColour::fromRgb(level, level, level);
        } else {
            decoded.transparent = PaletteColour::fromRgb(channelLevel(key->red, bitDepth),
                                                         channelLevel(key->green, bitDepth),
                                                         channelLevel(key->blue, bitDepth));
        }
    }
    if (bitDepth == 16) png_set_strip_16(png);
    if (grey && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (grey) png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
}

// Ancillary chunks other than tRNS play no part in the picture. Left to the
// library, several of them (sPLT, iCCP, the text chunks) are read into a
// buffer of the size the file declares, which a hostile file sets to gigabytes;
// ignored, they are skipped without a buffer.
constexpr png_byte kIgnoredChunks[] = {
    'b', 'K', 'G', 'D', '\0', 'c', 'H', 'R', 'M', '\0', 'e', 'X', 'I', 'f', '\0',
    'g', 'A', 'M', 'A', '\0', 'h', 'I', 'S', 'T', '\0', 'i', 'C', 'C', 'P', '\0',
    'i', 'T', 'X', 't', '\0', 'o', 'F', 'F', 's', '\0', 'p', 'C', 'A', 'L', '\0',
    'p', 'H', 'Y', 's', '\0', 's', 'B', 'I', 'T', '\0', 's', 'C', 'A', 'L', '\0',
    's', 'P', 'L', 'T', '\0', 's', 'R', 'G', 'B', '\0', 't', 'E', 'X', 't', '\0',
    't', 'I', 'M', 'E', '\0', 'z', 'T', 'X', 't', '\0',
};

// Runs the library from the header to the end of the file. Called only below
// a setjmp: it must keep no object that needs destruction.
ImageStatus decodeBody(png_structp png, png_infop info, const Limits& limits, DecodedPng& decoded) {
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    // Unknown chunks are skipped too.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                                static_cast<int>(sizeof(kIgnoredChunks) / 5));
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (width > static_cast<png_uint_32>(limits.maxWidth < 0 ? 0 : limits.maxWidth) ||
        height > static_cast<png_uint_32>(limits.maxHeight < 0 ? 0 : limits.maxHeight)) {
        return ImageStatus::TooLarge;
    }
    if (std::uint64_t{width} * height > static_cast<std::uint64_t>(kMaxImagePixels)) {
        return ImageStatus::CannotRead;
    }
    decoded.width = static_cast<int>(width);
    decoded.height = static_cast<int>(height);
    decoded.indexed = colourType == PNG_COLOR_TYPE_PALETTE;
    if (decoded.indexed) {
        takePalette(png, info, decoded);
        png_set_packing(png);
    } else {
        requestRgb(png, info, colourType, bitDepth, decoded);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    decoded.rowBytes = png_get_rowbytes(png, info);
    // The rows are sized from what was asked for; anything else would overrun them.
    if (decoded.rowBytes != std::size_t{width} * (decoded.indexed ? 1 : 3)) {
        return ImageStatus::CannotRead;
    }
    decoded.bytes.assign(decoded.rowBytes * height, 0);
    decoded.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        decoded.rows[y] = &decoded.bytes[y * decoded.rowBytes];
    png_read_image(png, decoded.rows.data());
    png_read_end(png, nullptr);
    return ImageStatus::Ok;
}

// The one frame that holds the recovery point of a read. Every object that
// needs destruction lives in the caller, so the jump skips none.
ImageStatus decodeWithRecovery(ReadHandles& handles, MemorySource& source, const Limits& limits,
                               DecodedPng& decoded) {
    if (setjmp(png_jmpbuf(handles.png)) != 0) return ImageStatus::CannotRead;
    png_set_read_fn(handles.png, &source, readFromMemory);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Random bytes almost never carry valid checksums; without this a fuzzer
    // would stop at the first chunk. Never in a program a user runs.
    png_set_crc_action(handles.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    png_set_sig_bytes(handles.png, static_cast<int>(source.position));
    return decodeBody(handles.png, handles.info, limits, decoded);
}

ImageStatus buildPicture(const DecodedPng& decoded, int maxColours, IndexedImage& image) {
    PictureBuilder picture(maxColours);
    if (!picture.start(decoded.width, decoded.height)) return ImageStatus::CannotRead;
    for (int y = 0; y < decoded.height; ++y) {
        const std::uint8_t* row = decoded.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < decoded.width; ++x) {
            PaletteColour colour;
            if (decoded.indexed) {
                // An index past the palette is damage the library lets through.
                if (row[x] >= decoded.paletteSize) return ImageStatus::CannotRead;
                colour = decoded.palette[row[x]];
            } else {
                const std::uint8_t* rgb = row + 3 * static_cast<std::size_t>(x);
                colour = PaletteColour::fromRgb(rgb[0], rgb[1], rgb[2]);
            }
            if (!picture.put(x, y, colour)) return ImageStatus::TooManyColours;
        }
    }
    if (decoded.hasTransparent) picture.moveToFront(decoded.transparent);
    return picture.moveTo(image) ? ImageStatus::Ok : ImageStatus::CannotRead;
}

// The palette picture the writer hands to the library.
struct EncodeInput {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::array<png_color, kPaletteSize> palette{};
    int paletteSize = 0;
    std::array<png_byte, 1> alphas{};  // entry 0 fully transparent, the rest opaque
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
};

void prepareInput(const IndexedImage& image, int width, int height, EncodeInput& input) {
    input.width = static_cast<png_uint_32>(width);
    input.height = static_cast<png_uint_32>(height);
    input.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    input.rows.resize(static_cast<std::size_t>(height));
    int highestIndex = 0;
    for (int y = 0; y < height; ++y) {
        const auto source = image.pixels().subspan(
            static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width()),
            static_cast<std::size_t>(width));
        std::uint8_t* target = &input.pixels[static_cast<std::size_t>(y) * source.size()];
        std::copy(source.begin(), source.end(), target);
        input.rows[static_cast<std::size_t>(y)] = target;
        for (const std::uint8_t index : source)
            highestIndex = std::max<int>(highestIndex, index);
    }
    // A pixel past colourCount would make the file invalid: such an index
    // still gets its palette entry.
    input.paletteSize = std::max(image.colourCount(), highestIndex + 1);
    for (int i = 0; i < input.paletteSize; ++i) {
        const PaletteColour colour = image.paletteEntry(i);
        input.palette[static_cast<std::size_t>(i)] =
            png_color{colour.red, colour.green, colour.blue};
    }
}

// The one frame that holds the recovery point of a write; its caller owns
// everything that needs destruction.
bool encodeWithRecovery(WriteHandles& handles, EncodeInput& input, std::vector<std::uint8_t>& out) {
    if (setjmp(png_jmpbuf(handles.png)) != 0) return false;
    png_structp png = handles.png;
    png_infop info = handles.info;
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_write_fn(png, &out, writeToMemory, flushNothing);
    png_set_IHDR(png, info, input.width, input.height, 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, input.palette.data(), input.paletteSize);
    png_set_tRNS(png, info, input.alphas.data(), 1, nullptr);
    png_set_rows(png, info, input.rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

}  // namespace

ImageStatus readPngBytes(IndexedImage& image, std::span<const std::uint8_t> data, int maxColours,
                         int maxWidth, int maxHeight) {
    if (data.size() < kSignatureSize || png_sig_cmp(data.data(), 0, kSignatureSize) != 0) {
        return ImageStatus::NotAnImage;
    }
    ReadHandles handles;
    handles.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, raiseError, ignoreWarning);
    if (handles.png == nullptr) return ImageStatus::CannotRead;
    handles.info = png_create_info_struct(handles.png);
    if (handles.info == nullptr) return ImageStatus::CannotRead;
    MemorySource source{data, kSignatureSize};
    DecodedPng decoded;
    const ImageStatus status =
        decodeWithRecovery(handles, source, Limits{maxWidth, maxHeight}, decoded);
    if (status != ImageStatus::Ok) return status;
    return buildPicture(decoded, maxColours, image);
}

ImageStatus readPng(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                    int maxWidth, int maxHeight) {
    std::vector<std::uint8_t> data;
    const ImageStatus status = readImageBytes(path, data);
    if (status != ImageStatus::Ok) return status;
    return readPngBytes(image, data, maxColours, maxWidth, maxHeight);
}

std::vector<std::uint8_t> encodePng(const IndexedImage& image, int width, int height) {
    if (width <= 0 || height <= 0 || width > image.width() || height > image.height()) return {};
    EncodeInput input;
    prepareInput(image, width, height, input);
    std::vector<std::uint8_t> out;
    WriteHandles handles;
    handles.png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, raiseError, ignoreWarning);
    if (handles.png == nullptr) return {};
    handles.info = png_create_info_struct(handles.png);
    if (handles.info == nullptr) return {};
    if (!encodeWithRecovery(handles, input, out)) return {};
    return out;
}

ImageStatus writePng(const IndexedImage& image, const std::filesystem::path& path, int width,
                     int height) {
    const std::vector<std::uint8_t> bytes = encodePng(image, width, height);
    if (bytes.empty()) return ImageStatus::CannotWrite;
    return writeImageBytes(path, bytes);
}

}  // namespace morvik

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

// The picture the library decodes into, and the rows it decodes through.
struct DecodedPng {
    DecodedPicture result;
    std::size_t rowBytes = 0;
    std::size_t sampleBytes = 1;  // 2 for 16-bit channels, high byte first
    std::vector<std::uint8_t> bytes;
    std::vector<png_bytep> rows;
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

void takePalette(png_structp png, png_infop info, DecodedPicture& decoded) {
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) == 0) count = 0;
    count = std::clamp(count, 0, kPaletteSize);
    FilePicture& picture = decoded.picture;
    for (int i = 0; i < count; ++i) {
        picture.palette.push_back(
            PaletteColour::fromRgb(entries[i].red, entries[i].green, entries[i].blue));
    }
    picture.transparentEntries.assign(picture.palette.size(), false);
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) == 0) return;
    // Only full transparency counts; partial alpha is taken as opaque.
    for (int i = 0; i < alphaCount && i < count; ++i) {
        if (alphas[i] != 0) continue;
        picture.transparentEntries[static_cast<std::size_t>(i)] = true;
        if (!decoded.frontColour)
            decoded.frontColour = picture.palette[static_cast<std::size_t>(i)];
    }
}

PaletteColour keyColour(const png_color_16& key, bool grey, int bitDepth) {
    if (grey) {
        const std::uint8_t level = greyLevel(key.gray, bitDepth);
        return PaletteColour::fromRgb(level, level, level);
    }
    return PaletteColour::fromRgb(channelLevel(key.red, bitDepth),
                                  channelLevel(key.green, bitDepth),
                                  channelLevel(key.blue, bitDepth));
}

// Asks for red, green, blue and alpha whatever the file holds, grey below 8
// bits widened to 8. The key colour becomes alpha 0, compared at the file's
// own depth, and is noted for the IndexedImage readers; a file without alpha
// gets an opaque one.
void requestRgba(png_structp png, png_infop info, int colourType, int bitDepth,
                 DecodedPicture& decoded) {
    const bool grey = (colourType & PNG_COLOR_MASK_COLOR) == 0;
    png_color_16p key = nullptr;
    if (png_get_tRNS(png, info, nullptr, nullptr, &key) != 0 && key != nullptr) {
        decoded.frontColour = keyColour(*key, grey, bitDepth);
        png_set_tRNS_to_alpha(png);
    } else if ((colourType & PNG_COLOR_MASK_ALPHA) == 0) {
        png_set_filler(png, 0xFFFF, PNG_FILLER_AFTER);
    }
    if (grey && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (grey) png_set_gray_to_rgb(png);
}

// Takes one decoded row into the picture. Colours keep the high byte of 16-bit
// channels; alpha counts as 0 only when all its bits are.
void storeRow(const std::uint8_t* row, int y, DecodedPng& decoded) {
    FilePicture& picture = decoded.result.picture;
    const std::size_t rowStart =
        static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width);
    const std::size_t sample = decoded.sampleBytes;
    for (std::size_t x = 0; x < static_cast<std::size_t>(picture.width); ++x) {
        const std::size_t at = rowStart + x;
        if (picture.indexed) {
            // An index past the palette is damage the library lets through.
            if (row[x] >= picture.palette.size()) {
                decoded.result.markDamaged(at, ImageStatus::CannotRead);
            }
            picture.indices[at] = row[x];
        } else {
            const std::uint8_t* pixel = row + 4 * sample * x;
            picture.colours[at] =
                PaletteColour::fromRgb(pixel[0], pixel[sample], pixel[2 * sample]);
            picture.transparent[at] = pixel[3 * sample] == 0 && pixel[4 * sample - 1] == 0;
        }
    }
}

// Rows of an interlaced file are filled in over several passes and need a
// buffer for the whole picture; a plain file is read one row at a time.
void readRows(png_structp png, int passes, DecodedPng& decoded) {
    const auto height = static_cast<std::size_t>(decoded.result.picture.height);
    if (passes > 1) {
        decoded.bytes.assign(decoded.rowBytes * height, 0);
        decoded.rows.resize(height);
        for (std::size_t y = 0; y < height; ++y)
            decoded.rows[y] = &decoded.bytes[y * decoded.rowBytes];
        png_read_image(png, decoded.rows.data());
        for (std::size_t y = 0; y < height; ++y)
            storeRow(decoded.rows[y], static_cast<int>(y), decoded);
        return;
    }
    decoded.bytes.assign(decoded.rowBytes, 0);
    for (std::size_t y = 0; y < height; ++y) {
        png_read_row(png, decoded.bytes.data(), nullptr);
        storeRow(decoded.bytes.data(), static_cast<int>(y), decoded);
    }
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
    const bool indexed = colourType == PNG_COLOR_TYPE_PALETTE;
    if (indexed) {
        takePalette(png, info, decoded.result);
        png_set_packing(png);
    } else {
        requestRgba(png, info, colourType, bitDepth, decoded.result);
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    decoded.rowBytes = png_get_rowbytes(png, info);
    decoded.sampleBytes = png_get_bit_depth(png, info) == 16 ? 2 : 1;
    // The rows are sized from what was asked for; anything else would overrun them.
    if (decoded.rowBytes != std::size_t{width} * (indexed ? 1 : 4 * decoded.sampleBytes)) {
        return ImageStatus::CannotRead;
    }
    if (!startPicture(decoded.result, static_cast<int>(width), static_cast<int>(height), indexed)) {
        return ImageStatus::CannotRead;
    }
    readRows(png, passes, decoded);
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

ImageStatus decodePng(std::span<const std::uint8_t> data, int maxWidth, int maxHeight,
                      DecodedPicture& decoded) {
    if (data.size() < kSignatureSize || png_sig_cmp(data.data(), 0, kSignatureSize) != 0) {
        return ImageStatus::NotAnImage;
    }
    ReadHandles handles;
    handles.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, raiseError, ignoreWarning);
    if (handles.png == nullptr) return ImageStatus::CannotRead;
    handles.info = png_create_info_struct(handles.png);
    if (handles.info == nullptr) return ImageStatus::CannotRead;
    MemorySource source{data, kSignatureSize};
    DecodedPng state;
    const ImageStatus status =
        decodeWithRecovery(handles, source, Limits{maxWidth, maxHeight}, state);
    if (status != ImageStatus::Ok) return status;
    decoded = std::move(state.result);
    return ImageStatus::Ok;
}

// The palette picture the writer hands to the library.
struct EncodeInput {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::array<png_color, kPaletteSize> palette{};
    int paletteSize = 0;
    std::array<png_byte, 1> alphas{};  // entry 0 fully transparent, the rest opaque
    bool transparentZero = true;
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
    if (input.transparentZero) png_set_tRNS(png, info, input.alphas.data(), 1, nullptr);
    png_set_rows(png, info, input.rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

}  // namespace

ImageStatus readPngBytes(IndexedImage& image, std::span<const std::uint8_t> data, int maxColours,
                         int maxWidth, int maxHeight) {
    return readImageWith(decodePng, image, data, maxColours, maxWidth, maxHeight);
}

ImageStatus readPngPicture(FilePicture& picture, std::span<const std::uint8_t> data, int maxWidth,
                           int maxHeight) {
    return readPictureWith(decodePng, picture, data, maxWidth, maxHeight);
}

ImageStatus readPng(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                    int maxWidth, int maxHeight) {
    std::vector<std::uint8_t> data;
    const ImageStatus status = readImageBytes(path, data);
    if (status != ImageStatus::Ok) return status;
    return readPngBytes(image, data, maxColours, maxWidth, maxHeight);
}

std::vector<std::uint8_t> encodePng(const IndexedImage& image, int width, int height,
                                    PngZero zero) {
    if (width <= 0 || height <= 0 || width > image.width() || height > image.height()) return {};
    EncodeInput input;
    prepareInput(image, width, height, input);
    input.transparentZero = zero == PngZero::Transparent;
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
                     int height, PngZero zero) {
    const std::vector<std::uint8_t> bytes = encodePng(image, width, height, zero);
    if (bytes.empty()) return ImageStatus::CannotWrite;
    return writeImageBytes(path, bytes);
}

}  // namespace morvik

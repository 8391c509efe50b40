#include "imagefile/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <limits>

#include "imagefile/image_bytes.h"

namespace morvik {

namespace {

// Sizes and delays are 16-bit fields of the format.
constexpr int kMaxGifField = std::numeric_limits<std::uint16_t>::max();

int writeToVector(GifFileType* gif, const GifByteType* data, int count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

// The library's encoder; EGifCloseFile frees it on every path, and only a
// close that succeeded has written the whole file.
class GifWriter {
  public:
    explicit GifWriter(std::vector<std::uint8_t>& out) {
        int error = 0;
        gif_ = EGifOpen(&out, writeToVector, &error);
    }
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;
    ~GifWriter() { static_cast<void>(close()); }

    GifFileType* get() const { return gif_; }
    [[nodiscard]] bool close() {
        if (gif_ == nullptr) return false;
        int error = 0;
        const bool closed = EGifCloseFile(gif_, &error) == GIF_OK;
        gif_ = nullptr;
        return closed;
    }

  private:
    GifFileType* gif_ = nullptr;
};

// A colour table as the format stores it: a power of two from 2 to 256
// entries, the palette's colours first and black after them. The library
// copies the table it is given, so the colours live in a vector here.
struct ColourTable {
    std::vector<GifColorType> colours;
    ColorMapObject map{};

    explicit ColourTable(const IndexedImage& image) {
        int bits = 1;
        while ((1 << bits) < image.colourCount())
            ++bits;
        colours.resize(std::size_t{1} << bits);
        for (int i = 0; i < image.colourCount(); ++i) {
            const PaletteColour colour = image.paletteEntry(i);
            colours[static_cast<std::size_t>(i)] = {colour.red, colour.green, colour.blue};
        }
        map.ColorCount = static_cast<int>(colours.size());
        map.BitsPerPixel = bits;
        map.SortFlag = false;
        map.Colors = colours.data();
    }
    ColourTable(const ColourTable&) = delete;
    ColourTable& operator=(const ColourTable&) = delete;

    // Whether every colour the image uses sits at its own index in this table.
    bool serves(const IndexedImage& image) const {
        if (image.colourCount() > static_cast<int>(colours.size())) return false;
        for (int i = 0; i < image.colourCount(); ++i) {
            const PaletteColour colour = image.paletteEntry(i);
            const GifColorType& entry = colours[static_cast<std::size_t>(i)];
            if (entry.Red != colour.red || entry.Green != colour.green ||
                entry.Blue != colour.blue) {
                return false;
            }
        }
        return true;
    }
};

bool framesFit(const std::vector<IndexedImage>& frames) {
    if (frames.empty() || !frames.front().hasPixels()) return false;
    const int width = frames.front().width();
    const int height = frames.front().height();
    if (width > kMaxGifField || height > kMaxGifField) return false;
    return std::all_of(frames.begin(), frames.end(), [&](const IndexedImage& frame) {
        return frame.hasPixels() && frame.width() == width && frame.height() == height;
    });
}

// Tells browsers and viewers to repeat the frames forever (a loop count of 0).
bool putLooping(GifFileType* gif) {
    static constexpr char kApplication[] = "NETSCAPE2.0";
    static constexpr std::array<GifByteType, 3> kLoopForever = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, kApplication) == GIF_OK &&
           EGifPutExtensionBlock(gif, static_cast<int>(kLoopForever.size()), kLoopForever.data()) ==
               GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool putTiming(GifFileType* gif, int delayCentiseconds) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_BACKGROUND;
    control.UserInputFlag = false;
    control.DelayTime = delayCentiseconds;
    control.TransparentColor = 0;
    std::array<GifByteType, 4> block{};
    const std::size_t length = EGifGCBToExtension(&control, block.data());
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), block.data()) ==
           GIF_OK;
}

bool putFrame(GifFileType* gif, const IndexedImage& frame, const ColourTable& global) {
    const ColourTable local(frame);
    const bool own = !global.serves(frame);
    if (EGifPutImageDesc(gif, 0, 0, frame.width(), frame.height(), false,
                         own ? &local.map : nullptr) != GIF_OK) {
        return false;
    }
    const int colours = frame.colourCount();
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.width()));
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const std::uint8_t index = frame.getPixel(x, y);
            line[static_cast<std::size_t>(x)] = index < colours ? index : 0;
        }
        if (EGifPutLine(gif, line.data(), frame.width()) != GIF_OK) return false;
    }
    return true;
}

bool encode(const std::vector<IndexedImage>& frames, int delayCentiseconds,
            std::vector<std::uint8_t>& out) {
    GifWriter writer(out);
    GifFileType* gif = writer.get();
    if (gif == nullptr) return false;
    // The extensions below belong to GIF89a; streamed writing cannot tell that itself.
    EGifSetGifVersion(gif, true);
    const IndexedImage& first = frames.front();
    const ColourTable global(first);
    if (EGifPutScreenDesc(gif, first.width(), first.height(), 8, 0, &global.map) != GIF_OK ||
        !putLooping(gif)) {
        return false;
    }
    for (const IndexedImage& frame : frames) {
        if (!putTiming(gif, delayCentiseconds) || !putFrame(gif, frame, global)) return false;
    }
    return writer.close();
}

}  // namespace

ImageStatus animatedGifBytes(const std::vector<IndexedImage>& frames, int delayCentiseconds,
                             std::vector<std::uint8_t>& out) {
    out.clear();
    if (!framesFit(frames)) return ImageStatus::CannotWrite;
    if (!encode(frames, std::clamp(delayCentiseconds, 0, kMaxGifField), out)) {
        out.clear();
        return ImageStatus::CannotWrite;
    }
    return ImageStatus::Ok;
}

ImageStatus writeAnimatedGif(const std::filesystem::path& path,
                             const std::vector<IndexedImage>& frames, int delayCentiseconds) {
    std::vector<std::uint8_t> bytes;
    if (animatedGifBytes(frames, delayCentiseconds, bytes) != ImageStatus::Ok)
        return ImageStatus::CannotWrite;
    return writeImageBytes(path, bytes);
}

}  // namespace morvik

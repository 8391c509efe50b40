#include "editing/page_view.h"

#include <algorithm>
#include <cstdint>

namespace morvik {

int effectiveMagnification(int position) {
    return position <= 0 ? 1 : position;
}

int scrollMaximum(int imageSide, int magnification, int viewSide) {
    return std::max(0, imageSide - viewSide / effectiveMagnification(magnification));
}

int centringOffset(int imageSide, int magnification, int viewSide) {
    const std::int64_t shown =
        std::int64_t{std::max(imageSide, 0)} * effectiveMagnification(magnification);
    return shown < viewSide ? static_cast<int>((viewSide - shown) / 2) : 0;
}

namespace {

// The image column (or row) under a view position along one side. Positions
// left of or above the picture floor towards minus infinity, so they never land
// on column or row 0.
int imageAt(int view, int magnification, int scroll, int offset) {
    const int m = effectiveMagnification(magnification);
    const int value = view - offset;
    return (value >= 0 ? value / m : -((m - 1 - value) / m)) + scroll;
}

// How much of the picture, from the scroll position on, one side of the view
// shows in the room it leaves right of or below the offset.
int shownLength(int imageSide, int zoom, int scroll, int room) {
    const std::int64_t rest = std::int64_t{std::max(imageSide - scroll, 0)} * zoom;
    return static_cast<int>(std::clamp<std::int64_t>(rest, 0, std::max(room, 0)));
}

}  // namespace

ImagePoint viewToImage(int viewX, int viewY, int magnification, int scrollX, int scrollY,
                       int offsetX, int offsetY) {
    return {imageAt(viewX, magnification, scrollX, offsetX),
            imageAt(viewY, magnification, scrollY, offsetY)};
}

PictureArea pictureArea(int imageWidth, int imageHeight, int magnification, int scrollX,
                        int scrollY, int viewWidth, int viewHeight, int deviceRatio) {
    const int ratio = std::max(deviceRatio, 1);
    const int zoom = effectiveMagnification(magnification) * ratio;
    PictureArea area;
    area.x = centringOffset(imageWidth, magnification, viewWidth) * ratio;
    area.y = centringOffset(imageHeight, magnification, viewHeight) * ratio;
    area.width = shownLength(imageWidth, zoom, scrollX, viewWidth * ratio - area.x);
    area.height = shownLength(imageHeight, zoom, scrollY, viewHeight * ratio - area.y);
    return area;
}

int fitMagnification(int imageWidth, int imageHeight, int viewWidth, int viewHeight) {
    int fit = kMaxMagnification;
    if (imageWidth > 0) fit = std::min(fit, viewWidth / imageWidth);
    if (imageHeight > 0) fit = std::min(fit, viewHeight / imageHeight);
    return std::max(fit, kMinMagnification);
}

int scrollKeepingPixel(int pointer, int scroll, int from, int to, int imageSide, int viewSide) {
    const int pixel = imageAt(pointer, from, scroll, centringOffset(imageSide, from, viewSide));
    const int wanted = pixel - imageAt(pointer, to, 0, centringOffset(imageSide, to, viewSide));
    return std::clamp(wanted, 0, scrollMaximum(imageSide, to, viewSide));
}

ImageRect visibleImageArea(int magnification, int scrollX, int scrollY, int viewWidth,
                           int viewHeight) {
    const int m = effectiveMagnification(magnification);
    return {scrollX, scrollY, (std::max(viewWidth, 1) - 1) / m + 1,
            (std::max(viewHeight, 1) - 1) / m + 1};
}

namespace {

// Lines at every offset in 0..limit where (offset + shift) is a multiple of
// period, each reaching across 0..span; both clipped to the view, which is
// `across` pixels along the lines' offsets and `along` pixels along them.
void addLines(std::vector<GridLine>& lines, bool vertical, int period, int shift, int limit,
              int span, int across, int along) {
    const int last = std::min(limit, across - 1);
    const int reach = std::min(span, along - 1);
    for (int at = (period - shift % period) % period; at <= last; at += period) {
        lines.push_back(vertical ? GridLine{at, 0, at, reach} : GridLine{0, at, reach, at});
    }
}

}  // namespace

std::vector<GridLine> gridLines(GridMode mode, int magnification, int scrollX, int scrollY,
                                int imageWidth, int imageHeight, int viewWidth, int viewHeight) {
    std::vector<GridLine> lines;
    if (mode == GridMode::None || imageWidth <= 0 || imageHeight <= 0) return lines;
    const int m = effectiveMagnification(magnification);
    const int width = std::min(imageWidth * m, viewWidth);
    const int height = std::min(imageHeight * m, viewHeight);
    int period = m;
    int shiftX = 0;
    int shiftY = 0;
    if (mode == GridMode::Tile) {
        period = 8 * m;
        shiftX = (std::max(scrollX, 0) % 8) * m;
        shiftY = (std::max(scrollY, 0) % 8) * m;
    }
    addLines(lines, true, period, shiftX, width, height, viewWidth, viewHeight);
    addLines(lines, false, period, shiftY, height, width, viewHeight, viewWidth);
    return lines;
}

int stripCellWidth(int colourCount) {
    return kStripWidth / std::clamp(colourCount, 1, kStripWidth);
}

std::optional<int> stripCellAt(int x, int colourCount) {
    if (x < 0 || colourCount <= 0) return std::nullopt;
    const int cell = x / stripCellWidth(colourCount);
    if (cell >= colourCount) return std::nullopt;
    return cell;
}

IndexedImage paletteStrip(std::span<const PaletteColour> colours, int current) {
    const int count = static_cast<int>(std::min<std::size_t>(colours.size(), 254));
    IndexedImage strip;
    if (!strip.create(kStripWidth, kStripHeight)) return strip;
    for (int i = 0; i < count; ++i)
        strip.setPaletteEntry(i, colours[static_cast<std::size_t>(i)], false);
    const int white = count;
    const int black = count + 1;
    strip.setPaletteEntry(white, PaletteColour::fromRgb(255, 255, 255), false);
    strip.setPaletteEntry(black, PaletteColour{}, false);
    if (count == 0) return strip;
    const int cellWidth = stripCellWidth(count);
    for (int i = 0; i < count; ++i) {
        const int left = i * cellWidth;
        const int right = left + cellWidth - 1;
        const auto frame = static_cast<std::uint8_t>(i == current ? white : black);
        for (int y = 0; y < kStripHeight; ++y) {
            for (int x = left; x <= right; ++x) {
                const bool edge = x == left || x == right || y == 0 || y == kStripHeight - 1;
                strip.setPixel(x, y, edge ? frame : static_cast<std::uint8_t>(i));
            }
        }
    }
    return strip;
}

int sliderPosition(std::uint8_t component) {
    return component >> 3;
}

std::uint8_t componentOf(int sliderValue) {
    return static_cast<std::uint8_t>(std::clamp(sliderValue, 0, kSliderMaximum) * 8);
}

std::uint8_t channelOf(PaletteColour colour, ColourChannel channel) {
    switch (channel) {
        case ColourChannel::Red:
            return colour.red;
        case ColourChannel::Green:
            return colour.green;
        case ColourChannel::Blue:
            break;
    }
    return colour.blue;
}

std::optional<PaletteColour> parseColourText(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool word = false;
    if (!text.empty() && (text.front() == '#' || text.front() == '$')) {
        word = text.front() == '$';
        text.remove_prefix(1);
    }
    if (text.size() != (word ? 4u : 6u)) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    if (word) {
        // Bit 15 is no part of a colour: a word with it set is a typing slip.
        if (value > 0x7FFF) return std::nullopt;
        return snesToRgb(static_cast<std::uint8_t>(value & 0xFF),
                         static_cast<std::uint8_t>(value >> 8));
    }
    return PaletteColour::fromRgb(static_cast<std::uint8_t>(value >> 16),
                                  static_cast<std::uint8_t>((value >> 8) & 0xFF),
                                  static_cast<std::uint8_t>(value & 0xFF));
}

std::string colourText(PaletteColour colour) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "#";
    for (const std::uint8_t component : {colour.red, colour.green, colour.blue}) {
        text += kDigits[component >> 4];
        text += kDigits[component & 0xF];
    }
    return text;
}

PaletteColour withChannel(PaletteColour colour, ColourChannel channel, std::uint8_t value) {
    switch (channel) {
        case ColourChannel::Red:
            colour.red = value;
            break;
        case ColourChannel::Green:
            colour.green = value;
            break;
        case ColourChannel::Blue:
            colour.blue = value;
            break;
    }
    return colour;
}

std::vector<std::string> paletteListLabels(int count) {
    std::vector<std::string> labels;
    labels.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int palette = 0; palette < count; ++palette)
        labels.push_back("Palette #" + std::to_string(palette));
    return labels;
}

std::string magnificationLabel(int magnification) {
    return "magnification: x" + std::to_string(magnification);
}

std::string pixelStatus(ImagePoint point, int colourIndex, PaletteColour colour, int magnification,
                        const std::string& itemName) {
    const auto component = [](std::uint8_t value) { return std::to_string(sliderPosition(value)); };
    return "x " + std::to_string(point.x) + ", y " + std::to_string(point.y) + "   colour " +
           std::to_string(colourIndex) + " (R " + component(colour.red) + ", G " +
           component(colour.green) + ", B " + component(colour.blue) + ")   " + "x" +
           std::to_string(magnification) + "   " + itemName;
}

int steppedColour(int current, int step, int colourCount) {
    return std::clamp(current + step, 0, std::max(colourCount - 1, 0));
}

}  // namespace morvik

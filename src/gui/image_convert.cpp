#include "gui/image_convert.h"

#include <algorithm>
#include <array>

namespace morvik::gui {

QImage toQImage(const IndexedImage& image) {
    if (!image.hasPixels()) return QImage();
    QImage result(image.width(), image.height(), QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < image.colourCount(); ++i) {
        const PaletteColour colour = image.paletteEntry(i);
        colours.push_back(qRgb(colour.red, colour.green, colour.blue));
    }
    result.setColorTable(colours);
    const auto pixels = image.pixels();
    for (int y = 0; y < image.height(); ++y) {
        const auto row = pixels.subspan(static_cast<std::size_t>(y) * image.width(),
                                        static_cast<std::size_t>(image.width()));
        std::copy(row.begin(), row.end(), result.scanLine(y));
    }
    return result;
}

QImage toRgbImage(const IndexedImage& image) {
    if (!image.hasPixels()) return QImage();
    QImage result(image.width(), image.height(), QImage::Format_RGB32);
    std::array<QRgb, kPaletteSize> colours{};
    for (int i = 0; i < kPaletteSize; ++i) {
        const PaletteColour colour = image.paletteEntry(i);
        colours[static_cast<std::size_t>(i)] = qRgb(colour.red, colour.green, colour.blue);
    }
    const auto pixels = image.pixels();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        const std::size_t start = static_cast<std::size_t>(y) * image.width();
        for (int x = 0; x < image.width(); ++x)
            row[x] = colours[pixels[start + x]];
    }
    return result;
}

}  // namespace morvik::gui

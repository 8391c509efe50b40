#include "gui/image_convert.h"

#include <algorithm>

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

}  // namespace morvik::gui

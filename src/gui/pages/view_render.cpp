#include "gui/pages/view_render.h"

#include <array>

#include "app/page_view.h"
#include "gfx/render.h"

namespace morvik::gui {

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

QImage renderView(const IndexedImage& picture, int magnification, int scrollX, int scrollY,
                  const IndexedImage& background, GridMode grid) {
    const IndexedImage view =
        drawImageMagnified(picture, effectiveMagnification(magnification), scrollX, scrollY,
                           &background, kViewSide, kViewSide);
    QImage result = toRgbImage(view);
    if (result.isNull()) return result;
    const QRgb line = qRgb(kGridColour.red, kGridColour.green, kGridColour.blue);
    for (const GridLine& segment :
         gridLines(grid, magnification, scrollX, scrollY, picture.width(), picture.height())) {
        for (int y = segment.y0; y <= segment.y1; ++y) {
            auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
            for (int x = segment.x0; x <= segment.x1; ++x)
                row[x] = line;
        }
    }
    return result;
}

}  // namespace morvik::gui

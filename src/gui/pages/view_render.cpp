#include "gui/pages/view_render.h"

#include <algorithm>

#include "gfx/render.h"
#include "gui/image_convert.h"

namespace morvik::gui {

QImage renderView(const IndexedImage& picture, int magnification, int scrollX, int scrollY,
                  const IndexedImage& background, GridMode grid, QSize size, int deviceRatio) {
    const int ratio = std::max(deviceRatio, 1);
    const int zoom = effectiveMagnification(magnification) * ratio;
    const int width = size.width() * ratio;
    const int height = size.height() * ratio;
    if (width <= 0 || height <= 0) return QImage();
    QImage result(width, height, QImage::Format_RGB32);
    result.fill(qRgb(kCanvasColour.red, kCanvasColour.green, kCanvasColour.blue));
    const PictureArea area = pictureArea(picture.width(), picture.height(), magnification, scrollX,
                                         scrollY, size.width(), size.height(), ratio);
    if (area.width > 0 && area.height > 0) {
        // The background lies behind the picture only, from its first shown
        // pixel on; its pixels grow with the screen's like the picture's.
        const IndexedImage scaledBackground =
            ratio == 1
                ? IndexedImage()
                : drawImageMagnified(background, ratio, 0, 0, nullptr, background.width() * ratio,
                                     background.height() * ratio);
        const QImage shown = toRgbImage(drawImageMagnified(
            picture, zoom, scrollX, scrollY, ratio == 1 ? &background : &scaledBackground,
            area.width, area.height));
        for (int y = 0; y < shown.height(); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
            auto* to = reinterpret_cast<QRgb*>(result.scanLine(area.y + y)) + area.x;
            std::copy(from, from + shown.width(), to);
        }
    }
    // The grid covers the shown part of the picture, its closing lines just
    // right of and below it.
    const QRgb line = qRgb(kGridColour.red, kGridColour.green, kGridColour.blue);
    for (const GridLine& segment :
         gridLines(grid, zoom, scrollX, scrollY, picture.width() - std::max(scrollX, 0),
                   picture.height() - std::max(scrollY, 0), width - area.x, height - area.y)) {
        for (int y = segment.y0; y <= segment.y1; ++y) {
            auto* row = reinterpret_cast<QRgb*>(result.scanLine(area.y + y)) + area.x;
            for (int x = segment.x0; x <= segment.x1; ++x)
                row[x] = line;
        }
    }
    result.setDevicePixelRatio(ratio);
    return result;
}

}  // namespace morvik::gui

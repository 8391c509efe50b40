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
    // The background's pixels grow with the screen's like the picture's.
    const IndexedImage scaledBackground =
        ratio == 1 ? IndexedImage()
                   : drawImageMagnified(background, ratio, 0, 0, nullptr,
                                        background.width() * ratio, background.height() * ratio);
    const IndexedImage view =
        drawImageMagnified(picture, zoom, scrollX, scrollY,
                           ratio == 1 ? &background : &scaledBackground, width, height);
    QImage result = toRgbImage(view);
    if (result.isNull()) return result;
    const QRgb line = qRgb(kGridColour.red, kGridColour.green, kGridColour.blue);
    for (const GridLine& segment : gridLines(grid, zoom, scrollX, scrollY, picture.width(),
                                             picture.height(), width, height)) {
        for (int y = segment.y0; y <= segment.y1; ++y) {
            auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
            for (int x = segment.x0; x <= segment.x1; ++x)
                row[x] = line;
        }
    }
    result.setDevicePixelRatio(ratio);
    return result;
}

}  // namespace morvik::gui

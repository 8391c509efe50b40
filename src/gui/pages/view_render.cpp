#include "gui/pages/view_render.h"

#include "app/page_view.h"
#include "gfx/render.h"
#include "gui/image_convert.h"

namespace morvik::gui {

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

#include "gui/pages/view_render.h"

#include <algorithm>

#include "gfx/render.h"
#include "gui/image_convert.h"

namespace morvik::gui {

namespace {

// Dashes of four device pixels, black and white in turn along each edge.
void drawOutline(QImage& view, int left, int top, int right, int bottom) {
    const auto dash = [](int along) {
        return (along / 4) % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    };
    const auto put = [&view](int x, int y, QRgb colour) {
        if (x >= 0 && y >= 0 && x < view.width() && y < view.height())
            reinterpret_cast<QRgb*>(view.scanLine(y))[x] = colour;
    };
    for (int x = std::max(left, 0); x <= std::min(right, view.width() - 1); ++x) {
        put(x, top, dash(x));
        put(x, bottom, dash(x));
    }
    for (int y = std::max(top, 0); y <= std::min(bottom, view.height() - 1); ++y) {
        put(left, y, dash(y));
        put(right, y, dash(y));
    }
}

}  // namespace

QImage renderView(const IndexedImage& picture, int magnification, int scrollX, int scrollY,
                  const IndexedImage& background, GridMode grid, QSize size, int deviceRatio,
                  std::optional<ImageRect> selection) {
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
    if (selection && !selection->empty()) {
        const int left = area.x + (selection->x - std::max(scrollX, 0)) * zoom;
        const int top = area.y + (selection->y - std::max(scrollY, 0)) * zoom;
        drawOutline(result, left, top, left + selection->width * zoom - 1,
                    top + selection->height * zoom - 1);
    }
    result.setDevicePixelRatio(ratio);
    return result;
}

}  // namespace morvik::gui

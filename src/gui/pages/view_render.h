#pragma once

#include <QImage>
#include <QSize>
#include <optional>

#include "document/settings.h"
#include "editing/page_view.h"
#include "gfx/indexed_image.h"

namespace morvik::gui {

// The magnified view as the page shows it: `size` pixels (256x256 unless the
// window grew) of grey with the picture from (scrollX, scrollY) at the
// magnification over the background, centred where it is smaller than the view
// (pictureArea), with the grid of the given mode drawn on it. On a screen of
// more device pixels than logical ones (`deviceRatio` above 1) it is drawn at
// the screen's own resolution: every pixel a crisp block, grid lines one
// device pixel wide. A selection's outline, dashed black and white one device
// pixel wide, lies just inside the edge of its pixels.
QImage renderView(const IndexedImage& picture, int magnification, int scrollX, int scrollY,
                  const IndexedImage& background, GridMode grid,
                  QSize size = QSize(kViewSide, kViewSide), int deviceRatio = 1,
                  std::optional<ImageRect> selection = std::nullopt);

}  // namespace morvik::gui

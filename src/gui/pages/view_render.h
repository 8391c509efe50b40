#pragma once

#include <QImage>

#include "app/settings.h"
#include "gfx/indexed_image.h"

namespace morvik::gui {

// The magnified view as the page shows it: 256x256 pixels of the picture from
// (scrollX, scrollY) at the magnification over the fixed background, with the
// grid of the given mode drawn on top.
QImage renderView(const IndexedImage& picture, int magnification, int scrollX, int scrollY,
                  const IndexedImage& background, GridMode grid);

}  // namespace morvik::gui

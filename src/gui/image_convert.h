#pragma once

#include <QImage>

#include "gfx/indexed_image.h"

namespace morvik::gui {

// The picture as an 8-bit indexed QImage with the image's colours.
QImage toQImage(const IndexedImage& image);
// The picture in 32-bit colour, each index looked up in its palette: for
// pictures the editor draws on (the grid) and shows at once.
QImage toRgbImage(const IndexedImage& image);

}  // namespace morvik::gui

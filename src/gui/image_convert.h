#pragma once

#include <QImage>

#include "gfx/indexed_image.h"

namespace morvik::gui {

// The picture as an 8-bit indexed QImage with the image's colours.
QImage toQImage(const IndexedImage& image);

}  // namespace morvik::gui

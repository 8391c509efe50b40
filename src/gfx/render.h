#pragma once

#include "gfx/indexed_image.h"

namespace morvik {

// The pictures the editor shows are composed here, as indexed images; the user
// interface only converts the result to its own image type and paints it.
//
// With a background, index 0 of the image is transparent and every other index
// is opaque, even one whose colour equals colour 0. The result's palette is the
// image's palette (entries 0..n-1) followed by the background's (n..n+k-1).
// Should the two not fit in 256 entries together, the background colours past
// the last free entry are shown as the nearest colour that did fit. Image
// pixels at or beyond the image's colourCount show as its colour 0, so the
// result never holds an index at or beyond its own colourCount.

// The image's top-left width x height block (0 = the image's own size), over the
// background when one is given. The background is read at the same positions;
// outside it (and outside the image) index 0 applies. An unsized result means
// there was nothing to draw.
IndexedImage drawImage(const IndexedImage& image, const IndexedImage* background = nullptr,
                       int width = 0, int height = 0);

// An enlarged view: output pixel (ox, oy) shows image pixel
// (sourceX + ox / magnification, sourceY + oy / magnification). The background
// is not enlarged: where the image is transparent, the background pixel at
// (ox, oy) shows, so the view scrolls over a fixed background. The output size
// defaults (0) to magnification times the image size; magnification is held to
// 1..255.
IndexedImage drawImageMagnified(const IndexedImage& image, int magnification, int sourceX,
                                int sourceY, const IndexedImage* background = nullptr,
                                int width = 0, int height = 0);

}  // namespace morvik

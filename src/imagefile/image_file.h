#pragma once

#include <filesystem>

#include "gfx/indexed_image.h"
#include "imagefile/image_status.h"

namespace morvik {

// Reads a BMP, PCX or PNG file, chosen by the last four characters of the path
// (".bmp", ".pcx", ".png", in any case), and returns that reader's status.
// Any other ending gives NotAnImage without opening the file.
ImageStatus readImageFile(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                          int maxWidth, int maxHeight);

}  // namespace morvik

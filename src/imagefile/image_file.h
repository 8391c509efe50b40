#pragma once

#include <filesystem>

#include "gfx/indexed_image.h"
#include "imagefile/image_status.h"

namespace morvik {

enum class ImageFileKind { Bmp, Pcx, Png, Other };

// The format the last four characters of the path name (".bmp", ".pcx",
// ".png", in any case); Other for every other ending.
ImageFileKind imageFileKind(const std::filesystem::path& path);

// Reads a BMP, PCX or PNG file, chosen by imageFileKind, and returns that
// reader's status. Any other ending gives NotAnImage without opening the file.
ImageStatus readImageFile(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                          int maxWidth, int maxHeight);

}  // namespace morvik

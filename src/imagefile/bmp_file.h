#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "gfx/indexed_image.h"
#include "imagefile/file_picture.h"
#include "imagefile/image_status.h"

namespace morvik {

// Reads an uncompressed Windows bitmap of 1, 4, 8, 16, 24 or 32 bits per pixel
// (16 and 32 bits also with channel masks). The image palette receives the
// colours in order of first appearance, top row first; no colour is marked
// transparent. On any status but Ok the image is left as it was.
// TooManyColours: more than maxColours distinct colours. TooLarge: wider than
// maxWidth or taller than maxHeight. CannotRead: the file cannot be opened or
// read, or the picture cannot be held in memory. NotAnImage: no bitmap, or one
// this reader does not decode (compressed, other bit counts, data missing).
ImageStatus readBmp(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                    int maxWidth, int maxHeight);
// The same for a file already in memory.
ImageStatus readBmpBytes(IndexedImage& image, std::span<const std::uint8_t> data, int maxColours,
                         int maxWidth, int maxHeight);
// The same file in memory as it stores it: indexed with the whole colour table
// (as far as the file holds it) for 1, 4 and 8 bits, colours otherwise. A
// pixel is transparent only where a file with channel masks (compression 3)
// and a header of version 3 or later has a non-zero alpha mask and that
// pixel's alpha bits are all 0. Statuses as above, without TooManyColours.
ImageStatus readBmpPicture(FilePicture& picture, std::span<const std::uint8_t> data, int maxWidth,
                           int maxHeight);

// Writes the top-left width x height pixels as a 24-bit bitmap. CannotWrite
// when the size is not inside the image, the file cannot be created or a
// write fails.
ImageStatus writeBmp(const IndexedImage& image, const std::filesystem::path& path, int width,
                     int height);
// The file writeBmp writes; empty when the size is not inside the image.
std::vector<std::uint8_t> encodeBmp(const IndexedImage& image, int width, int height);

}  // namespace morvik

#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "gfx/indexed_image.h"
#include "imagefile/file_picture.h"
#include "imagefile/image_status.h"

namespace morvik {

// Reads a run-length encoded PCX file: 1, 4 or 8 bits per pixel in one plane,
// or 8 bits in each of three planes (red, green, blue). The image palette
// receives the colours in order of first appearance, top row first; no colour
// is marked transparent. On any status but Ok the image is left as it was.
// TooManyColours: more than maxColours colours. TooLarge: wider than maxWidth
// or taller than maxHeight. CannotRead: the file cannot be opened or read, or
// the picture cannot be held in memory. NotAnImage: no PCX file, a layout this
// reader does not decode, or data that ends before the last line.
ImageStatus readPcx(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                    int maxWidth, int maxHeight);
// The same for a file already in memory.
ImageStatus readPcxBytes(IndexedImage& image, std::span<const std::uint8_t> data, int maxColours,
                         int maxWidth, int maxHeight);
// The same file in memory as it stores it: 8 bits in one plane indexed with all
// 256 entries of the file's palette, every other layout as colours; nothing is
// transparent. Statuses as above, without TooManyColours.
ImageStatus readPcxPicture(FilePicture& picture, std::span<const std::uint8_t> data, int maxWidth,
                           int maxHeight);

// Writes the top-left width x height pixels as a 24-bit, three-plane PCX file.
// CannotWrite when the size is not inside the image, the file cannot be
// created or a write fails.
ImageStatus writePcx(const IndexedImage& image, const std::filesystem::path& path, int width,
                     int height);
// The file writePcx writes; empty when the size is not inside the image.
std::vector<std::uint8_t> encodePcx(const IndexedImage& image, int width, int height);

// The run-length encoding of one plane line (at most twice its length):
// runs of up to 63 equal bytes as a count byte 192 + n and the value, single
// bytes below 192 as themselves, single bytes from 192 up as 193 and the value.
std::vector<std::uint8_t> encodePcxLine(std::span<const std::uint8_t> line);

}  // namespace morvik

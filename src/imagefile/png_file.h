#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "gfx/indexed_image.h"
#include "imagefile/file_picture.h"
#include "imagefile/image_status.h"

namespace morvik {

// Reads a PNG file of any colour type, bit depth and interlacing: grey is
// taken as RGB, 16-bit channels keep their high byte, alpha is dropped. The
// image palette receives the colours in order of first appearance, top row
// first; then the colour a tRNS chunk makes fully transparent (a palette entry
// of alpha 0, or the key colour of a truecolour or grey file) moves to index 0.
// On any status but Ok the image is left as it was.
// TooManyColours: more than maxColours colours. TooLarge: wider than maxWidth
// or taller than maxHeight. CannotRead: the file cannot be opened or read, is
// damaged or truncated, or the picture cannot be held in memory. NotAnImage:
// the file does not begin with the PNG signature.
ImageStatus readPng(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                    int maxWidth, int maxHeight);
// The same for a file already in memory.
ImageStatus readPngBytes(IndexedImage& image, std::span<const std::uint8_t> data, int maxColours,
                         int maxWidth, int maxHeight);
// The same file in memory as it stores it: a palette file indexed with its whole
// palette and the entries tRNS makes fully transparent, any other colour type
// as colours (grey as RGB, 16-bit channels by their high byte) with the pixels
// of alpha 0 or of the tRNS key colour transparent. Statuses as above, without
// TooManyColours.
ImageStatus readPngPicture(FilePicture& picture, std::span<const std::uint8_t> data, int maxWidth,
                           int maxHeight);

// Whether palette entry 0 of a written PNG lets what lies beneath through (an
// item's picture) or is a colour like any other (a finished scene).
enum class PngZero { Transparent, Opaque };

// Writes the top-left width x height pixels as an 8-bit palette PNG whose
// entry 0 is fully transparent unless asked otherwise. CannotWrite when the
// size is not inside the image, encoding fails, the file cannot be created or
// a write fails.
ImageStatus writePng(const IndexedImage& image, const std::filesystem::path& path, int width,
                     int height, PngZero zero = PngZero::Transparent);
// The file writePng writes; empty when the size is not inside the image or
// encoding fails.
std::vector<std::uint8_t> encodePng(const IndexedImage& image, int width, int height,
                                    PngZero zero = PngZero::Transparent);

}  // namespace morvik

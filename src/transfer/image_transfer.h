#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "gfx/indexed_image.h"
#include "imagefile/image_status.h"

namespace morvik {

// The pieces the pages' import and export commands share with the command line.

enum class ImageFileType { Bmp = 0, Pcx = 1, Png = 2 };

// "bmp", "pcx" or "png".
const char* fileTypeExtension(ImageFileType type);
// Writes the top-left width x height pixels with the type's writer.
ImageStatus writeImage(const IndexedImage& image, const std::filesystem::path& path, int width,
                       int height, ImageFileType type);

// The path with its extension made the type's: a "." among the last four
// characters starts the extension that is replaced, otherwise one is appended
// ("a.b.cdef" becomes "a.b.cdef.bmp", "x.p" becomes "x.bmp").
std::string replaceExtension(const std::string& path, ImageFileType type);
// The type a path's last four characters name (".bmp", ".pcx", ".png", any case).
std::optional<ImageFileType> fileTypeOfPath(const std::string& path);

// What a page accepts from an image file.
struct ImportLimits {
    int maxColours;
    int maxWidth;
    int maxHeight;
    const char* sizeMessage;  // said when the picture is too large
};
inline constexpr ImportLimits kMonsterImportLimits{16, 128, 128, "Image is larger than 128x128"};
inline constexpr ImportLimits kPortraitImportLimits{16, 40, 40, "Image is larger than 40x40"};
inline constexpr ImportLimits kCharacterImportLimits{16, 128, 128, "Image is larger than 128x128"};

// Reads an image file for an import, under the page's limits.
ImageStatus readImportImage(IndexedImage& image, const std::filesystem::path& path,
                            const ImportLimits& limits);
// The message of a failed import (when the user confirms the file).
std::string importFailureMessage(ImageStatus status, const ImportLimits& limits);
// The shorter text the import preview shows for a file it cannot take.
std::string importPreviewMessage(ImageStatus status, const ImportLimits& limits);

// What the import preview shows for a file: the picture (when it can be
// read) and the size and colour texts. `describe` gives the monster page's
// texts ("16 colors"/"8 colors", "128x128"/"64x64"); other pages show none.
struct ImportPreview {
    bool readable = false;
    IndexedImage picture;
    std::string sizeText;
    std::string colourText;
};
ImportPreview previewImport(const std::filesystem::path& path, const ImportLimits& limits,
                            bool describe);

}  // namespace morvik

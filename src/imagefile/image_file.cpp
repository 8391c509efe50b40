#include "imagefile/image_file.h"

#include <string_view>
#include <type_traits>

#include "imagefile/bmp_file.h"
#include "imagefile/pcx_file.h"
#include "imagefile/png_file.h"

namespace morvik {

// Looks at the characters of the native path, so that no conversion of the
// name (which may fail for names not valid in the narrow encoding) is needed.
ImageFileKind imageFileKind(const std::filesystem::path& path) {
    const auto& name = path.native();
    if (name.size() < 4) return ImageFileKind::Other;
    char ending[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        using Unit = std::make_unsigned_t<std::filesystem::path::value_type>;
        const auto code = static_cast<Unit>(name[name.size() - 4 + i]);
        if (code > 0x7F) return ImageFileKind::Other;
        const char ascii = static_cast<char>(code);
        ending[i] = ascii >= 'A' && ascii <= 'Z' ? static_cast<char>(ascii - 'A' + 'a') : ascii;
    }
    const std::string_view view(ending, 4);
    if (view == ".bmp") return ImageFileKind::Bmp;
    if (view == ".pcx") return ImageFileKind::Pcx;
    if (view == ".png") return ImageFileKind::Png;
    return ImageFileKind::Other;
}

ImageStatus readImageFile(IndexedImage& image, const std::filesystem::path& path, int maxColours,
                          int maxWidth, int maxHeight) {
    switch (imageFileKind(path)) {
        case ImageFileKind::Bmp:
            return readBmp(image, path, maxColours, maxWidth, maxHeight);
        case ImageFileKind::Pcx:
            return readPcx(image, path, maxColours, maxWidth, maxHeight);
        case ImageFileKind::Png:
            return readPng(image, path, maxColours, maxWidth, maxHeight);
        case ImageFileKind::Other:
            break;
    }
    return ImageStatus::NotAnImage;
}

}  // namespace morvik

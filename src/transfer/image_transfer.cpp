#include "transfer/image_transfer.h"

#include "imagefile/bmp_file.h"
#include "imagefile/image_file.h"
#include "imagefile/pcx_file.h"
#include "imagefile/png_file.h"

namespace morvik {

const char* fileTypeExtension(ImageFileType type) {
    switch (type) {
        case ImageFileType::Bmp:
            return "bmp";
        case ImageFileType::Pcx:
            return "pcx";
        case ImageFileType::Png:
            break;
    }
    return "png";
}

ImageStatus writeImage(const IndexedImage& image, const std::filesystem::path& path, int width,
                       int height, ImageFileType type) {
    switch (type) {
        case ImageFileType::Bmp:
            return writeBmp(image, path, width, height);
        case ImageFileType::Pcx:
            return writePcx(image, path, width, height);
        case ImageFileType::Png:
            break;
    }
    return writePng(image, path, width, height);
}

std::string replaceExtension(const std::string& path, ImageFileType type) {
    const std::size_t tail = path.size() < 4 ? 0 : path.size() - 4;
    const std::size_t dot = path.find_last_of('.');
    const std::string extension = fileTypeExtension(type);
    if (dot != std::string::npos && dot >= tail) return path.substr(0, dot + 1) + extension;
    return path + "." + extension;
}

std::optional<ImageFileType> fileTypeOfPath(const std::string& path) {
    if (path.size() < 4) return std::nullopt;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (tail == ".bmp") return ImageFileType::Bmp;
    if (tail == ".pcx") return ImageFileType::Pcx;
    if (tail == ".png") return ImageFileType::Png;
    return std::nullopt;
}

ImportPreview previewImport(const std::filesystem::path& path, const ImportLimits& limits,
                            bool describe) {
    ImportPreview preview;
    const ImageStatus status = readImportImage(preview.picture, path, limits);
    if (status != ImageStatus::Ok) {
        preview.sizeText = importPreviewMessage(status, limits);
        return preview;
    }
    preview.readable = true;
    if (describe) {
        preview.colourText = preview.picture.colourCount() > 8 ? "16 colors" : "8 colors";
        const bool large = preview.picture.width() > 64 || preview.picture.height() > 64;
        preview.sizeText = large ? "128x128" : "64x64";
    }
    return preview;
}

ImageStatus readImportImage(IndexedImage& image, const std::filesystem::path& path,
                            const ImportLimits& limits) {
    return readImageFile(image, path, limits.maxColours, limits.maxWidth, limits.maxHeight);
}

std::string importFailureMessage(ImageStatus status, const ImportLimits& limits) {
    switch (status) {
        case ImageStatus::Ok:
            return "";
        case ImageStatus::TooManyColours:
            return "Image has more than 16 colors";
        case ImageStatus::TooLarge:
            return limits.sizeMessage;
        case ImageStatus::CannotRead:
            return "Error opening file";
        case ImageStatus::NotAnImage:
            break;
    }
    return "File does not appear to be a valid image file";
}

std::string importPreviewMessage(ImageStatus status, const ImportLimits& limits) {
    switch (status) {
        case ImageStatus::Ok:
            return "";
        case ImageStatus::TooManyColours:
            return "Image has over 16 colors";
        case ImageStatus::TooLarge:
            return limits.sizeMessage;
        case ImageStatus::CannotRead:
            return "Error opening image";
        case ImageStatus::NotAnImage:
            break;
    }
    return "Not a valid image file";
}

}  // namespace morvik

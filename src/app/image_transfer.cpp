#include "app/image_transfer.h"

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

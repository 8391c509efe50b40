#include "imagefile/file_picture.h"

#include "imagefile/bmp_file.h"
#include "imagefile/image_bytes.h"
#include "imagefile/image_file.h"
#include "imagefile/pcx_file.h"
#include "imagefile/png_file.h"

namespace morvik {

ImageStatus readFilePicture(FilePicture& picture, const std::filesystem::path& path, int maxWidth,
                            int maxHeight) {
    const ImageFileKind kind = imageFileKind(path);
    if (kind == ImageFileKind::Other) return ImageStatus::NotAnImage;
    std::vector<std::uint8_t> data;
    const ImageStatus status = readImageBytes(path, data);
    if (status != ImageStatus::Ok) return status;
    switch (kind) {
        case ImageFileKind::Bmp:
            return readBmpPicture(picture, data, maxWidth, maxHeight);
        case ImageFileKind::Pcx:
            return readPcxPicture(picture, data, maxWidth, maxHeight);
        case ImageFileKind::Png:
            return readPngPicture(picture, data, maxWidth, maxHeight);
        case ImageFileKind::Other:
            break;
    }
    return ImageStatus::NotAnImage;
}

}  // namespace morvik

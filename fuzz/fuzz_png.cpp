#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_limits.h"
#include "imagefile/png_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvik;
    const auto bytes = std::span<const std::uint8_t>(data, size);
    IndexedImage image;
    const ImageStatus status =
        readPngBytes(image, bytes, fuzz::kMaxColours, fuzz::kMaxSide, fuzz::kMaxSide);
    FilePicture picture;
    const ImageStatus pictureStatus =
        readPngPicture(picture, bytes, fuzz::kMaxSide, fuzz::kMaxSide);
    fuzz::expectSameFilePicture(picture, pictureStatus, image, status);
    if (status != ImageStatus::Ok) return 0;
    const auto written = encodePng(image, image.width(), image.height());
    if (written.empty()) std::abort();
    IndexedImage again;
    if (readPngBytes(again, written, fuzz::kMaxColours, fuzz::kMaxSide, fuzz::kMaxSide) !=
        ImageStatus::Ok) {
        std::abort();
    }
    fuzz::expectSamePicture(image, again);
    return 0;
}

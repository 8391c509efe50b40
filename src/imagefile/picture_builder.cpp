#include "imagefile/picture_builder.h"

#include <algorithm>
#include <utility>

namespace morvik {

bool PictureBuilder::start(int width, int height) {
    width_ = 0;
    height_ = 0;
    colourCount_ = 0;
    lastIndex_ = -1;
    pixels_.clear();
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxImagePixels) return false;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return true;
}

bool PictureBuilder::put(int x, int y, PaletteColour colour) {
    int index = -1;
    if (lastIndex_ >= 0 && palette_[lastIndex_] == colour) {
        index = lastIndex_;
    } else {
        const auto end = palette_.begin() + colourCount_;
        const auto found = std::find(palette_.begin(), end, colour);
        if (found != end) {
            index = static_cast<int>(found - palette_.begin());
        } else {
            if (colourCount_ >= kPaletteSize || colourCount_ >= maxColours_) return false;
            index = colourCount_++;
            palette_[index] = colour;
        }
    }
    lastIndex_ = index;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(index);
    return true;
}

void PictureBuilder::moveToFront(PaletteColour colour) {
    const auto end = palette_.begin() + colourCount_;
    const auto found = std::find(palette_.begin(), end, colour);
    if (found == end || found == palette_.begin()) return;
    const auto other = static_cast<std::uint8_t>(found - palette_.begin());
    std::swap(palette_[0], palette_[other]);
    for (auto& pixel : pixels_) {
        if (pixel == 0) {
            pixel = other;
        } else if (pixel == other) {
            pixel = 0;
        }
    }
    lastIndex_ = -1;
}

bool PictureBuilder::moveTo(IndexedImage& image) const {
    if (colourCount_ == 0) return false;
    IndexedImage result;
    if (!result.create(width_, height_)) return false;
    for (int i = 0; i < colourCount_; ++i) {
        if (!result.setPaletteEntry(i, palette_[i], false)) return false;
    }
    std::copy(pixels_.begin(), pixels_.end(), result.pixels().begin());
    image = std::move(result);
    return true;
}

bool startPicture(DecodedPicture& decoded, int width, int height, bool indexed) {
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxImagePixels) return false;
    FilePicture& picture = decoded.picture;
    picture.width = width;
    picture.height = height;
    picture.indexed = indexed;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (indexed) {
        picture.indices.assign(count, 0);
    } else {
        picture.colours.assign(count, PaletteColour{});
        picture.transparent.assign(count, false);
    }
    return true;
}

namespace {

ImageStatus buildImage(const DecodedPicture& decoded, int maxColours, IndexedImage& image) {
    const FilePicture& file = decoded.picture;
    PictureBuilder picture(maxColours);
    if (!picture.start(file.width, file.height)) return ImageStatus::CannotRead;
    std::size_t at = 0;
    for (int y = 0; y < file.height; ++y) {
        for (int x = 0; x < file.width; ++x, ++at) {
            if (at == decoded.damagedFrom) return decoded.damage;
            // Indices before the damage lie inside the palette: the decoders see to it.
            const PaletteColour colour =
                file.indexed ? file.palette[file.indices[at]] : file.colours[at];
            if (!picture.put(x, y, colour)) return ImageStatus::TooManyColours;
        }
    }
    if (decoded.frontColour) picture.moveToFront(*decoded.frontColour);
    return picture.moveTo(image) ? ImageStatus::Ok : ImageStatus::CannotRead;
}

}  // namespace

ImageStatus readImageWith(PictureDecoder decode, IndexedImage& image,
                          std::span<const std::uint8_t> data, int maxColours, int maxWidth,
                          int maxHeight) {
    DecodedPicture decoded;
    const ImageStatus status = decode(data, maxWidth, maxHeight, decoded);
    if (status != ImageStatus::Ok) return status;
    return buildImage(decoded, maxColours, image);
}

ImageStatus readPictureWith(PictureDecoder decode, FilePicture& picture,
                            std::span<const std::uint8_t> data, int maxWidth, int maxHeight) {
    DecodedPicture decoded;
    const ImageStatus status = decode(data, maxWidth, maxHeight, decoded);
    if (status != ImageStatus::Ok) return status;
    if (decoded.damagedFrom != DecodedPicture::kNoDamage) return decoded.damage;
    picture = std::move(decoded.picture);
    return ImageStatus::Ok;
}

}  // namespace morvik

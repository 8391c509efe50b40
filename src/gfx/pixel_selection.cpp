#include "gfx/pixel_selection.h"

#include <algorithm>
#include <span>
#include <utility>

namespace morvik {

namespace {

ImageRect wholePicture(const IndexedImage& picture) {
    return {0, 0, picture.width(), picture.height()};
}

// The smallest rectangle holding both.
ImageRect bothOf(ImageRect a, ImageRect b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

}  // namespace

PixelBlock PixelSelection::pixels(const IndexedImage& picture) const {
    if (floating_) return block_;
    return active_ ? copyBlock(picture, rect_) : PixelBlock{};
}

void PixelSelection::select(ImageRect rect, const IndexedImage& picture) {
    drop();
    rect_ = rect.intersected(wholePicture(picture));
    active_ = !rect_.empty();
}

void PixelSelection::drop() {
    active_ = false;
    floating_ = false;
    rect_ = {};
    block_ = {};
    beneath_ = {};
}

void PixelSelection::lift(const IndexedImage& picture) {
    if (floating_ || !active_) return;
    block_ = copyBlock(picture, rect_);
    beneath_ = copyBlock(picture, wholePicture(picture));
    for (int y = rect_.y; y < rect_.y + rect_.height; ++y) {
        std::fill_n(
            beneath_.pixels.begin() + static_cast<std::ptrdiff_t>(y) * beneath_.width + rect_.x,
            rect_.width, std::uint8_t{0});
    }
    floating_ = true;
}

std::uint8_t PixelSelection::shownAt(int x, int y) const {
    if (rect_.contains({x, y})) return block_.at(x - rect_.x, y - rect_.y);
    return beneath_.at(x, y);
}

std::vector<PixelWrite> PixelSelection::writesOver(ImageRect from,
                                                   const IndexedImage& picture) const {
    const ImageRect area = bothOf(from, rect_).intersected(wholePicture(picture));
    std::vector<PixelWrite> writes;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const std::uint8_t shown = shownAt(x, y);
            if (picture.getPixel(x, y) != shown) writes.push_back({x, y, shown});
        }
    }
    return writes;
}

std::vector<PixelWrite> PixelSelection::moveBy(int dx, int dy, const IndexedImage& picture) {
    if (!active_ || !matches(picture)) return {};
    lift(picture);
    const ImageRect from = rect_;
    rect_.x += dx;
    rect_.y += dy;
    return writesOver(from, picture);
}

std::vector<PixelWrite> PixelSelection::flip(FlipDirection direction, const IndexedImage& picture) {
    if (!active_ || !matches(picture)) return {};
    lift(picture);
    flipBlock(block_, direction);
    return writesOver(rect_, picture);
}

std::vector<PixelWrite> PixelSelection::paste(PixelBlock block, ImagePoint at,
                                              const IndexedImage& picture) {
    drop();
    if (block.empty() || !picture.hasPixels()) return {};
    block_ = std::move(block);
    beneath_ = copyBlock(picture, wholePicture(picture));
    rect_ = {at.x, at.y, block_.width, block_.height};
    active_ = true;
    floating_ = true;
    return writesOver(rect_, picture);
}

std::vector<PixelWrite> PixelSelection::erase(const IndexedImage& picture) {
    if (!active_ || !matches(picture)) return {};
    const ImageRect area = rect_.intersected(wholePicture(picture));
    drop();
    if (area.empty()) return {};
    // What is left of the selection is the part on the picture, now empty.
    rect_ = area;
    active_ = true;
    std::vector<PixelWrite> writes;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (picture.getPixel(x, y) != 0) writes.push_back({x, y, 0});
        }
    }
    return writes;
}

bool PixelSelection::matches(const IndexedImage& picture) const {
    if (!active_) return true;
    if (!floating_) return rect_.intersected(wholePicture(picture)) == rect_;
    if (beneath_.width != picture.width() || beneath_.height != picture.height()) return false;
    // Row by row: what lies beneath, and the block where it covers the row.
    const std::span<const std::uint8_t> shown = picture.pixels();
    const auto width = static_cast<std::size_t>(picture.width());
    const ImageRect covered = rect_.intersected(wholePicture(picture));
    for (int y = 0; y < picture.height(); ++y) {
        const auto row = static_cast<std::size_t>(y) * width;
        const std::uint8_t* now = shown.data() + row;
        const std::uint8_t* under = beneath_.pixels.data() + row;
        if (y < covered.y || y >= covered.y + covered.height || covered.empty()) {
            if (!std::equal(now, now + width, under)) return false;
            continue;
        }
        const auto left = static_cast<std::size_t>(covered.x);
        const auto right = left + static_cast<std::size_t>(covered.width);
        const std::uint8_t* carried =
            block_.pixels.data() +
            static_cast<std::size_t>(y - rect_.y) * static_cast<std::size_t>(block_.width) +
            static_cast<std::size_t>(covered.x - rect_.x);
        if (!std::equal(now, now + left, under) || !std::equal(now + left, now + right, carried) ||
            !std::equal(now + right, now + width, under + right))
            return false;
    }
    return true;
}

}  // namespace morvik

#include "gfx/paint_tools.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <utility>

namespace morvik {

ImageRect ImageRect::intersected(const ImageRect& other) const {
    const long left = std::max<long>(x, other.x);
    const long top = std::max<long>(y, other.y);
    const long right =
        std::min<long>(static_cast<long>(x) + width, static_cast<long>(other.x) + other.width);
    const long bottom =
        std::min<long>(static_cast<long>(y) + height, static_cast<long>(other.y) + other.height);
    if (right <= left || bottom <= top) return {};
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
}

ImageRect ImageRect::spanning(ImagePoint a, ImagePoint b) {
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    return {left, top, std::max(a.x, b.x) - left + 1, std::max(a.y, b.y) - top + 1};
}

namespace {

ImageRect pictureArea(const IndexedImage& picture, ImageRect bounds) {
    return bounds.intersected({0, 0, picture.width(), picture.height()});
}

}  // namespace

std::vector<ImagePoint> fillPixels(const IndexedImage& picture, ImagePoint at, std::uint8_t index,
                                   ImageRect bounds, FillReach reach) {
    const ImageRect area = pictureArea(picture, bounds);
    if (!area.contains(at)) return {};
    const std::uint8_t target = picture.getPixel(at.x, at.y);
    if (target == index) return {};
    std::vector<ImagePoint> changed;
    if (reach == FillReach::Everywhere) {
        for (int y = area.y; y < area.y + area.height; ++y) {
            for (int x = area.x; x < area.x + area.width; ++x) {
                if (picture.getPixel(x, y) == target) changed.push_back({x, y});
            }
        }
        return changed;
    }
    // Span by span: each seed grows into the run of its row, and the rows
    // above and below get one seed per run of the target colour they have
    // along it. Every pixel is taken once.
    const std::span<const std::uint8_t> pixels = picture.pixels();
    const auto width = static_cast<std::size_t>(picture.width());
    const auto offset = [width](int x, int y) { return static_cast<std::size_t>(y) * width + x; };
    std::vector<std::uint8_t> taken(pixels.size(), 0);
    const auto open = [&](int x, int y) {
        return pixels[offset(x, y)] == target && taken[offset(x, y)] == 0;
    };
    const int right = area.x + area.width - 1;
    const int bottom = area.y + area.height - 1;
    changed.reserve(pixels.size());
    std::vector<ImagePoint> seeds{at};
    while (!seeds.empty()) {
        const ImagePoint seed = seeds.back();
        seeds.pop_back();
        if (!open(seed.x, seed.y)) continue;
        int first = seed.x;
        int last = seed.x;
        while (first > area.x && open(first - 1, seed.y))
            --first;
        while (last < right && open(last + 1, seed.y))
            ++last;
        for (int x = first; x <= last; ++x) {
            taken[offset(x, seed.y)] = 1;
            changed.push_back({x, seed.y});
        }
        for (const int y : {seed.y - 1, seed.y + 1}) {
            if (y < area.y || y > bottom) continue;
            bool inRun = false;
            for (int x = first; x <= last; ++x) {
                const bool here = open(x, y);
                if (here && !inRun) seeds.push_back({x, y});
                inRun = here;
            }
        }
    }
    return changed;
}

std::vector<ImagePoint> linePixels(ImagePoint a, ImagePoint b) {
    // Drawn from the same end either way, a line covers the same pixels
    // whichever way it was dragged.
    if (std::pair{b.x, b.y} < std::pair{a.x, a.y}) {
        std::vector<ImagePoint> points = linePixels(b, a);
        std::reverse(points.begin(), points.end());
        return points;
    }
    std::vector<ImagePoint> points;
    const int dx = std::abs(b.x - a.x);
    const int dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1;
    const int sy = a.y < b.y ? 1 : -1;
    int error = dx + dy;
    ImagePoint p = a;
    for (;;) {
        points.push_back(p);
        if (p == b) break;
        // A tie steps along the longer axis only: a 2:1 line comes out in
        // even runs of two, as pixel artists draw it.
        const int twice = 2 * error;
        if (twice > dy) {
            error += dy;
            p.x += sx;
        }
        if (twice < dx) {
            error += dx;
            p.y += sy;
        }
    }
    return points;
}

ImagePoint snapLineEnd(ImagePoint a, ImagePoint b) {
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    // tan(22.5 degrees) is about 5/12: below it the line lies flat, above its
    // inverse it stands upright, between the two it runs diagonally.
    if (12 * ay <= 5 * ax) return {b.x, a.y};
    if (12 * ax <= 5 * ay) return {a.x, b.y};
    const int length = std::max(ax, ay);
    return {a.x + (dx < 0 ? -length : length), a.y + (dy < 0 ? -length : length)};
}

std::vector<ImagePoint> rectanglePixels(ImagePoint a, ImagePoint b, bool filled) {
    const ImageRect r = ImageRect::spanning(a, b);
    std::vector<ImagePoint> points;
    for (int y = r.y; y < r.y + r.height; ++y) {
        const bool edgeRow = y == r.y || y == r.y + r.height - 1;
        for (int x = r.x; x < r.x + r.width; ++x) {
            if (filled || edgeRow || x == r.x || x == r.x + r.width - 1) points.push_back({x, y});
        }
    }
    return points;
}

std::vector<PixelWrite> writesOf(const std::vector<ImagePoint>& points, std::uint8_t index,
                                 const IndexedImage& picture, ImageRect bounds) {
    const ImageRect area = pictureArea(picture, bounds);
    std::vector<PixelWrite> writes;
    writes.reserve(points.size());
    for (const ImagePoint p : points) {
        if (area.contains(p)) writes.push_back({p.x, p.y, index});
    }
    return writes;
}

PixelBlock copyBlock(const IndexedImage& picture, ImageRect rect) {
    const ImageRect area = pictureArea(picture, rect);
    PixelBlock block;
    if (area.empty()) return block;
    block.width = area.width;
    block.height = area.height;
    block.pixels.reserve(static_cast<std::size_t>(area.width) * area.height);
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x)
            block.pixels.push_back(picture.getPixel(x, y));
    }
    return block;
}

void flipBlock(PixelBlock& block, FlipDirection direction) {
    const auto w = static_cast<std::size_t>(block.width);
    for (int y = 0; y < block.height; ++y) {
        const auto row = block.pixels.begin() + static_cast<std::ptrdiff_t>(y * w);
        if (direction == FlipDirection::Horizontal)
            std::reverse(row, row + static_cast<std::ptrdiff_t>(w));
    }
    if (direction == FlipDirection::Vertical) {
        for (int top = 0, bottom = block.height - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(block.pixels.begin() + static_cast<std::ptrdiff_t>(top * w),
                             block.pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * w),
                             block.pixels.begin() + static_cast<std::ptrdiff_t>(bottom * w));
        }
    }
}

}  // namespace morvik

#pragma once

namespace morvik {

// Points and rectangles of image pixels, shared by the paint operations and
// the editor pages.
struct ImagePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ImagePoint&, const ImagePoint&) = default;
};

struct ImageRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool contains(ImagePoint point) const {
        return point.x >= x && point.y >= y && point.x - x < width && point.y - y < height;
    }
    bool empty() const { return width <= 0 || height <= 0; }
    // The pixels both rectangles hold (empty when none).
    ImageRect intersected(const ImageRect& other) const;
    // The rectangle whose opposite corners are the two points, both included.
    static ImageRect spanning(ImagePoint a, ImagePoint b);
    // Every pixel an image can have.
    static constexpr ImageRect unbounded() { return {0, 0, 1 << 30, 1 << 30}; }
    friend bool operator==(const ImageRect&, const ImageRect&) = default;
};

}  // namespace morvik

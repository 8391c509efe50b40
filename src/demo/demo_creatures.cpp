#include "demo/demo_creatures.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "demo/demo_random.h"

namespace morvik {
namespace {

using Kind = CreatureKind;

// ---------------------------------------------------------------------------
// Creature sketches. Coordinates are half pixels of a small picture: 128 units
// across whatever the size, centre line at x = 64, so one sketch draws at 64 or
// 128 pixels and mirrors exactly onto whole pixels.

enum class Material : std::uint8_t { None, Body, Second, Accent, Trim, Eye, Pupil };
using enum Material;

struct Point {
    int x, y;
};
// A point dx units left of the centre line; its mirror image is added for it.
constexpr Point at(int dx, int y) {
    return {64 - dx, y};
}

// cos(15 degrees * step) * 256, with y pointing down.
int cosStep(int step) {
    static constexpr std::array<int, 24> kCos = {256,  247,  222,  181,  128,  66,   0,    -66,
                                                 -128, -181, -222, -247, -256, -247, -222, -181,
                                                 -128, -66,  0,    66,   128,  181,  222,  247};
    return kCos[static_cast<std::size_t>(((step % 24) + 24) % 24)];
}
int sinStep(int step) {
    return cosStep(step - 6);
}

int isqrt(int value) {
    std::int64_t root = 0;
    for (std::int64_t bit = 1 << 15; bit > 0; bit >>= 1) {
        if ((root + bit) * (root + bit) <= value) root += bit;
    }
    return static_cast<int>(root);
}

// An ellipse, rx along the direction `angle` (in 15-degree steps). Parts of one
// group merge without an inner outline; a later group is outlined over earlier ones.
struct Part {
    Point centre;
    int rx, ry, angle;
    int hollow;  // percent of the radius left open, for rings
    Material material;
    int group;
};

class Sketch {
  public:
    Sketch(std::uint64_t seed, bool large) : rng_(seed), large_(large) {}
    int roll(int low, int high) { return rng_.range(low, high); }
    bool chance(int percent) { return rng_.range(0, 99) < percent; }
    bool large() const { return large_; }
    const std::vector<Part>& parts() const { return parts_; }

    void add(Material m, Point c, int rx, int ry, int angle = 0, int hollow = 0) {
        place({c, rx, ry, angle, hollow, m, ++groups_});
    }
    // Like add, but merging with the previous part.
    void extend(Material m, Point c, int rx, int ry, int angle = 0) {
        place({c, rx, ry, angle, 0, m, groups_});
    }
    // A tapering limb of circles along a quadratic curve from a through b to c.
    void chain(Material m, Point a, Point b, Point c, int r0, int r1) {
        const int length = isqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y)) +
                           isqrt((c.x - b.x) * (c.x - b.x) + (c.y - b.y) * (c.y - b.y));
        const int steps = std::max(2, length * 2 / std::max(2, std::min(r0, r1)));
        ++groups_;
        for (int i = 0; i <= steps; ++i) {
            const int t = i * 256 / steps, u = 256 - t;
            const Point p{(u * u * a.x + 2 * t * u * b.x + t * t * c.x) / 65536,
                          (u * u * a.y + 2 * t * u * b.y + t * t * c.y) / 65536};
            const int r = r0 + (r1 - r0) * i / steps;
            place({p, r, r, 0, 0, m, groups_});
        }
    }
    // Blades (feathers, petals, leaves) spreading from one root.
    void fan(Material m, Point root, int angle, int step, int count, int length, int width) {
        for (int i = 0; i < count; ++i) {
            const int a = angle + i * step;
            const Point c{root.x + cosStep(a) * length / 512, root.y + sinStep(a) * length / 512};
            add(m, c, length / 2, width, a);
        }
    }

  private:
    void place(const Part& part) {
        parts_.push_back(part);
        if (part.centre.x == 64) return;
        Part twin = part;
        twin.centre.x = 128 - part.centre.x;
        twin.angle = -part.angle;
        parts_.push_back(twin);
    }

    Rng rng_;
    bool large_;
    std::vector<Part> parts_;
    int groups_ = 0;
};

void eyes(Sketch& s, int dx, int y, int r, bool glowing) {
    if (glowing) {
        s.add(Trim, at(dx, y), r, r * 3 / 4);
        return;
    }
    s.add(Eye, at(dx, y), r, r);
    s.add(Pupil, at(dx, y + r / 4), std::max(2, r / 2), std::max(2, r * 2 / 3));
}

// Spots on a body; large pictures have room for more of them.
void spots(Sketch& s, int cy, int w, int h) {
    const int count = s.large() ? s.roll(2, 4) : s.roll(0, 2);
    for (int i = 0; i < count; ++i) {
        const int r = s.roll(3, 6);
        s.add(Second, at(s.roll(w / 4, w * 2 / 3), cy + s.roll(-h / 2, h / 3)), r, r * 3 / 4);
    }
}

void drawSlime(Sketch& s) {
    const int w = s.roll(30, 48), h = s.roll(20, 30), base = s.roll(110, 120);
    if (s.chance(50)) {
        const Point tip = at(w / 2 + 4, base - 2 * h - 12);
        s.chain(Accent, at(w / 4, base - 2 * h + 10), at(w / 3, base - 2 * h), tip, 3, 2);
        s.add(Trim, tip, 4, 4);
    }
    s.add(Body, at(0, base - h), w, h);
    s.extend(Body, at(0, base - h - h / 2), w * 2 / 3, h * 3 / 4);
    s.extend(Body, at(w * 2 / 3, base - 3), s.roll(6, 10), 5);
    spots(s, base - h, w, h);
    eyes(s, w / 3, base - h - h / 3, s.roll(5, 8), s.chance(20));
    const int mouth = base - h / 2;
    s.add(Pupil, at(0, mouth), w / 3, s.roll(2, 5));
    if (s.chance(50)) s.add(Eye, at(w / 8 + 2, mouth + 2), 2, 3);
}

void drawBeast(Sketch& s) {
    const int bw = s.roll(24, 36), bh = s.roll(20, 26), by = s.roll(76, 84);
    const int hw = s.roll(16, 22), hh = s.roll(13, 18), hy = by - bh - hh / 3;
    if (s.chance(50))
        s.chain(Body, at(bw - 6, by), at(bw + 16, by - 6), at(bw + 20, by - 28), 6, 3);
    s.add(Body, at(bw * 2 / 3, by + bh - 2), 9, 15);
    s.add(Trim, at(bw * 2 / 3 + 1, by + bh + 12), 10, 4);
    s.add(Body, at(0, by), bw, bh);
    s.add(Second, at(0, by + bh / 4), bw / 2, bh * 2 / 3);
    spots(s, by, bw, bh);
    if (s.chance(50)) {
        s.chain(Trim, at(hw / 2, hy - hh / 2), at(hw + 10, hy - hh - 4),
                at(hw + s.roll(0, 8), hy - hh - s.roll(14, 22)), 5, 2);
    } else {
        s.add(Body, at(hw * 3 / 4, hy - hh * 3 / 4), 5, 11, s.roll(-3, -1));
    }
    s.add(Body, at(0, hy), hw, hh);
    s.add(Second, at(0, hy + hh / 2), hw / 2, hh / 3);
    s.add(Pupil, at(0, hy + hh / 4), 3, 2);
    eyes(s, hw / 2, hy - hh / 5, s.roll(4, 6), s.chance(30));
}

void drawFlyer(Sketch& s) {
    const int sy = s.roll(40, 52), by = sy + 18, bw = s.roll(12, 18), bh = s.roll(18, 24);
    s.fan(Second, at(10, sy), s.roll(8, 10), 2, s.roll(3, 4), s.roll(40, 50), 8);
    s.fan(Second, at(3, by + bh - 6), 7, 1, 2, 24, 6);
    s.chain(Trim, at(6, by + bh - 4), at(8, by + bh + 8), at(11, by + bh + 14), 3, 2);
    s.add(Body, at(0, by), bw, bh);
    s.add(Accent, at(0, by + 4), bw * 2 / 3, bh * 2 / 3);
    const int hy = sy - 8;
    if (s.chance(50)) s.fan(Accent, at(3, hy - 8), 16, 1, 2, 18, 4);
    s.add(Body, at(0, hy), 14, 12);
    s.add(Trim, at(0, hy + 9), 5, 7);
    eyes(s, 6, hy - 2, s.roll(4, 5), s.chance(20));
}

void drawBug(Sketch& s) {
    const int by = s.roll(82, 92), aw = s.roll(20, 28), ah = s.roll(22, 28);
    const int ty = by - ah - 6, hy = ty - 16;
    if (s.chance(40)) s.fan(Second, at(8, ty), 14, 2, 2, 36, 9);
    for (int k = 0; k < 3; ++k) {
        const int y = ty - 2 + k * 8;
        s.chain(Trim, at(10, y), at(34 + k * 4, y - 14 + k * 10), at(40 + k * 2, y + 20 + k * 6), 3,
                2);
    }
    s.add(Body, at(0, by), aw, ah);
    for (int k = 1; k < 3; ++k)
        s.add(Second, at(0, by - ah + k * ah * 2 / 3), aw, 3);
    s.add(Second, at(0, ty), 14, 11);
    const Point tip = at(s.roll(18, 26), hy - 22);
    s.chain(Accent, at(5, hy - 8), at(14, hy - 20), tip, 2, 2);
    s.add(Accent, tip, 3, 3);
    s.chain(Trim, at(6, hy + 8), at(10, hy + 14), at(4, hy + 18), 3, 2);
    s.add(Body, at(0, hy), 13, 11);
    eyes(s, 7, hy - 2, 5, s.chance(60));
}

void drawGolem(Sketch& s) {
    const int tw = s.roll(22, 30), ty = 72, hy = s.roll(36, 42);
    s.add(Body, at(14, 104), 9, 14);
    s.add(Accent, at(16, 118), 12, 6);
    s.add(Body, at(0, ty), tw, 24);
    s.add(Second, at(0, ty - 2), tw / 2, 10);
    s.chain(Body, at(tw, ty - 14), at(tw + 12, ty + 2), at(tw + 8, ty + 22), 8, 7);
    s.add(Accent, at(tw + 8, ty + 26), 9, 8);
    s.add(Accent, at(tw - 2, ty - 16), 11, 8);
    if (s.chance(60)) s.chain(Trim, at(7, hy - 6), at(16, hy - 14), at(14, 8), 4, 2);
    s.add(Body, at(0, hy), 12, 12);
    eyes(s, 5, hy, s.roll(3, 5), s.chance(70));
}

void drawFloater(Sketch& s) {
    const int dy = s.roll(40, 52), dw = s.roll(26, 36), dh = s.roll(20, 26);
    const int count = s.roll(2, 3);
    for (int k = 0; k < count; ++k) {
        const int x0 = 6 + k * 10;
        s.chain(Second, at(x0, dy + dh / 2), at(x0 + s.roll(-2, 10), dy + dh + 16),
                at(x0 + s.roll(-6, 12), 122), 5, 2);
    }
    s.add(Body, at(0, dy), dw, dh);
    s.add(Accent, at(0, dy + dh - 4), dw, 6);
    spots(s, dy - dh / 3, dw, dh / 2);
    if (s.chance(50)) {
        s.add(Eye, at(0, dy - 2), 12, 11);
        s.add(Pupil, at(0, dy), 5, 8);
    } else {
        eyes(s, dw / 3, dy, 6, s.chance(30));
    }
}

void drawPlant(Sketch& s) {
    const int hy = s.roll(40, 50), radius = s.roll(22, 28);
    s.add(Second, at(24, 106), s.roll(20, 26), 8, -2);
    s.chain(Second, at(0, 122), at(0, 96), at(0, hy + 10), 6, 5);
    for (int a = 6; a <= 18; a += 3) {
        s.add(Accent, {64 + cosStep(a) * radius / 256, hy + sinStep(a) * radius / 256}, 12, 7, a);
    }
    s.add(Body, at(0, hy), 20, 18);
    s.add(Pupil, at(0, hy + 7), 11, s.roll(4, 7));
    s.add(Eye, at(5, hy + 3), 2, 3);
    eyes(s, 8, hy - 6, 4, s.chance(30));
}

void drawSerpent(Sketch& s) {
    s.add(Body, at(0, 112), s.roll(34, 44), 12);
    s.extend(Body, at(20, 104), 14, 10);
    s.chain(Body, at(0, 108), at(0, 84), at(0, 56), 13, 10);
    s.chain(Second, at(0, 108), at(0, 84), at(0, 58), 6, 5);
    s.add(Accent, at(18, 44), s.roll(14, 18), 9, -4);
    s.add(Body, at(0, 40), 16, 12);
    s.add(Eye, at(5, 52), 2, 4);
    eyes(s, 7, 37, 4, s.chance(50));
}

void drawSeraph(Sketch& s) {
    s.fan(Second, at(10, 50), 9, 2, 4, s.roll(48, 56), 9);
    s.add(Trim, at(0, 16), 18, 6, 0, 60);
    s.add(Accent, at(0, 30), 15, 14);
    s.add(Accent, at(0, 100), 28, 24);
    s.extend(Accent, at(0, 84), 18, 18);
    s.add(Body, at(0, 60), 13, 16);
    s.chain(Body, at(12, 52), at(22, 66), at(16, 80), 5, 4);
    s.add(Trim, at(15, 82), 4, 4);
    s.add(Body, at(0, 34), 11, 12);
    s.chain(Trim, at(6, 24), at(8, 18), at(10, 12), 3, 1);
    s.add(Trim, at(0, 56), 4, 5);
    eyes(s, 4, 34, 3, false);
}

void drawTitan(Sketch& s) {
    s.fan(Second, at(24, 56), 10, 2, 3, 46, 8);
    s.add(Trim, at(0, 20), 22, 7, 0, 55);
    drawGolem(s);
}

void drawDragon(Sketch& s) {
    s.fan(Second, at(18, 58), 9, 2, 4, 50, 8);
    drawBeast(s);
}

void drawKind(Sketch& s, Kind kind) {
    using Draw = void (*)(Sketch&);
    static constexpr std::array<Draw, 11> kDraw = {drawSlime,  drawBeast,   drawFlyer, drawBug,
                                                   drawGolem,  drawFloater, drawPlant, drawSerpent,
                                                   drawSeraph, drawTitan,   drawDragon};
    kDraw[static_cast<std::size_t>(kind)](s);
}

// ---------------------------------------------------------------------------
// Rendering: parts in painter's order, shaded as if bulging towards a light at
// the upper left, then a dark line around the creature and around every part
// that stands in front of another.

constexpr int kLightX = -115, kLightY = -141, kLightZ = 179;  // about 256 long
constexpr std::uint8_t kOutline = 1;

// Shade 0..3 (shadow to shine) of each material at either depth. The 16-colour
// table reaches into the second palette (8..15) for the second material, trim,
// eyes and pupils.
using ShadeTable = std::array<std::uint8_t, 28>;  // 4 shades for each Material
constexpr ShadeTable kShades8 = {0, 0, 0, 0, 2, 3, 4, 7, 5, 5, 6, 6, 5, 6,
                                 6, 7, 3, 4, 7, 7, 7, 7, 7, 7, 1, 1, 1, 1};
constexpr ShadeTable kShades16 = {0, 0, 0,  0,  2,  3,  4,  7,  8,  10, 11, 12, 5, 6,
                                  6, 7, 13, 13, 14, 15, 15, 15, 15, 15, 9,  9,  9, 9};

struct Cell {
    Material material = None;
    std::uint8_t shade = 0;
    int group = 0;
};

struct Layers {
    explicit Layers(int side) : size(side), cells(static_cast<std::size_t>(side * side)) {}
    const Cell& at(int x, int y) const { return cells[static_cast<std::size_t>(y) * size + x]; }
    Cell& at(int x, int y) { return cells[static_cast<std::size_t>(y) * size + x]; }
    int size;
    std::vector<Cell> cells;
};

std::uint8_t shadeLevel(int nx, int ny, int c, int s, int r2) {
    const int worldX = (nx * c - ny * s) / 256, worldY = (nx * s + ny * c) / 256;
    const int nz = isqrt(std::max(0, 65536 - r2));
    const int dot = (kLightX * worldX + kLightY * worldY + kLightZ * nz) / 256;
    return dot < 20 ? 0 : dot < 120 ? 1 : dot < 225 ? 2 : 3;
}

// Pixel centres and part coordinates are both in half pixels, so a part and its
// mirror image cover mirrored pixels exactly (integer division truncates
// symmetrically).
void paint(Layers& layers, const Part& part, int scale) {
    const int cx = part.centre.x * scale, cy = part.centre.y * scale;
    const int rx = std::max(1, part.rx * scale), ry = std::max(1, part.ry * scale);
    const int c = cosStep(part.angle), s = sinStep(part.angle);
    const int reach = std::max(rx, ry), last = layers.size - 1;
    const int hole = part.hollow * part.hollow * 65536 / 10000;
    for (int y = std::max(0, (cy - reach) / 2 - 1); y <= std::min(last, (cy + reach) / 2 + 1);
         ++y) {
        for (int x = std::max(0, (cx - reach) / 2 - 1); x <= std::min(last, (cx + reach) / 2 + 1);
             ++x) {
            const int dx = 2 * x + 1 - cx, dy = 2 * y + 1 - cy;
            const int nx = (dx * c + dy * s) / rx, ny = (dy * c - dx * s) / ry;
            const std::int64_t r2 = std::int64_t{nx} * nx + std::int64_t{ny} * ny;
            if (r2 > 65536 || r2 < hole) continue;
            layers.at(x, y) = {part.material, shadeLevel(nx, ny, c, s, static_cast<int>(r2)),
                               part.group};
        }
    }
}

// Empty pixels touching the creature and pixels touching a later part become
// outline. Pupils are left out: they sit inside eyes and would eat them.
bool onEdge(const Layers& layers, int x, int y) {
    static constexpr std::array<Point, 4> kNeighbours = {{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
    const Cell& cell = layers.at(x, y);
    for (const Point& d : kNeighbours) {
        const int nx = x + d.x, ny = y + d.y;
        if (nx < 0 || ny < 0 || nx >= layers.size || ny >= layers.size) continue;
        const Cell& next = layers.at(nx, ny);
        if (next.material == None) continue;
        if (cell.material == None) return true;
        if (next.material != Pupil && next.group > cell.group) return true;
    }
    return false;
}

IndexedImage render(const Sketch& sketch, int size, TileDepth depth) {
    IndexedImage image;
    if (!image.create(size, size)) return image;
    image.setPaletteEntry(static_cast<int>(depth) - 1, PaletteColour{}, false);
    Layers layers(size);
    for (const Part& part : sketch.parts())
        paint(layers, part, size / 64);
    const ShadeTable& shades = depth == TileDepth::Colours16 ? kShades16 : kShades8;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Cell& cell = layers.at(x, y);
            const auto shade = static_cast<std::size_t>(cell.material) * 4 + cell.shade;
            image.setPixel(x, y, onEdge(layers, x, y) ? kOutline : shades[shade]);
        }
    }
    return image;
}

}  // namespace

IndexedImage drawCreature(CreatureKind kind, std::uint64_t seed, bool large, TileDepth depth) {
    Sketch sketch(seed, large);
    drawKind(sketch, kind);
    return render(sketch, large ? 128 : 64, depth);
}

}  // namespace morvik

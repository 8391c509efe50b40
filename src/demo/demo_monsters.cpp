#include "demo/demo_monsters.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

#include "gfx/colour.h"
#include "rom/monsters/monster_layout.h"
#include "rom/rom_layout.h"

namespace morvik {
namespace {

using namespace monsters;

// splitmix64: integer-only, so the art is identical on every platform and compiler.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int range(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }

  private:
    std::uint64_t state_;
};

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

enum class Kind { Slime, Beast, Flyer, Bug, Golem, Floater, Plant, Serpent, Seraph, Titan, Dragon };

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

// ---------------------------------------------------------------------------
// Which picture each record shows, and with which palette.

struct PicturePlan {
    Kind kind;
    bool large;
    TileDepth depth;
    bool fillBox;  // marks the empty cells inside the bounding box too
};

PicturePlan picturePlan(int index) {
    constexpr TileDepth k8 = TileDepth::Colours8, k16 = TileDepth::Colours16;
    if (index < kDemoMonsterPictureCount) {
        const int m = index;
        return {static_cast<Kind>((m + m / 8) % 8), m % 12 == 7, (m * 7) % 10 < 4 ? k16 : k8,
                m % 13 == 3};
    }
    const int e = index - kDemoMonsterPictureCount;
    const Kind kinds[3] = {Kind::Seraph, Kind::Titan, Kind::Dragon};
    return {kinds[e % 3], e % 2 == 0, e % 4 == 3 ? k8 : k16, e == 5};
}

// Every picture first shows up in order (record r shows picture r), so record 0
// opens the graphics block; later records are palette swaps spread over the list.
int pictureOfRecord(int record) {
    if (record < kDemoMonsterPictureCount) return record;
    if (record < kMonsterNameCount) return record * 53 % kDemoMonsterPictureCount;
    const int esper = record - kFirstEsperRecord;
    if (esper < kEsperNameCount)
        return kDemoMonsterPictureCount + esper * 5 % kDemoEsperPictureCount;
    return record * 31 % kDemoMonsterPictureCount;
}

// Distinct for every record (29 is invertible modulo 767) and at most 766, so a
// 16-colour record always has its second palette.
int paletteOfRecord(int record) {
    return (record * 29 + 7) % (kPaletteCount - 1);
}

// ---------------------------------------------------------------------------
// Palettes: 0 deep shade, 1 outline, 2-4 main ramp, 5-6 contrasting ramp, 7 a
// near-white. A 16-colour picture reads the next palette as 8..15 with the same
// roles, which is why the second material and the pupils use 8..12 and 9.

PaletteColour hsv(int hue, int sat, int val) {
    sat = std::clamp(sat, 0, 255);
    const int f = (hue % 60) * 255 / 60;
    const auto c = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    const int p = val * (255 - sat) / 255;
    const int q = val * (255 - sat * f / 255) / 255;
    const int t = val * (255 - sat * (255 - f) / 255) / 255;
    // Red runs through these six values as the hue turns; green and blue follow
    // the same round two and four sextants later.
    const std::array<int, 6> red = {val, q, p, p, t, val};
    const int sextant = hue / 60 % 6;
    return PaletteColour::fromRgb(c(red[static_cast<std::size_t>(sextant)]),
                                  c(red[static_cast<std::size_t>((sextant + 4) % 6)]),
                                  c(red[static_cast<std::size_t>((sextant + 2) % 6)]));
}

std::array<PaletteColour, 8> paletteColours(int index) {
    const int hue = (index * 47 + index / 16 * 23) % 360;
    const int other = (hue + 150 + index % 4 * 30) % 360;
    const int sat = 140 + index % 5 * 25;
    const auto turn = [hue](int degrees) { return (hue + degrees + 360) % 360; };
    return {hsv(turn(-8), sat, 72),    hsv(turn(-12), sat + 40, 34), hsv(turn(-6), sat, 122),
            hsv(hue, sat - 25, 182),   hsv(turn(8), sat - 70, 238),  hsv(other, sat, 132),
            hsv(other, sat - 50, 220), hsv(turn(20), 28, 252)};
}

// ---------------------------------------------------------------------------
// Names: syllables, then a few shapes a text decoder must cope with (hyphens,
// full stops, digits, inner spaces, a full-width name and a name cut by 0x00).

std::uint8_t encodeChar(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(0x80 + (c - 'A'));
    if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(0x9A + (c - 'a'));
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(0xB4 + (c - '0'));
    if (c == '-') return 0xC4;
    if (c == '.') return 0xC5;
    if (c == '\0') return 0x00;
    return 0xFF;
}

std::string freshName(Rng& rng, std::size_t minLength, std::size_t maxLength,
                      std::vector<std::string>& taken) {
    static constexpr std::array<const char*, 24> kOnsets = {
        "b", "br", "d",  "dr", "g", "gr", "k", "kr", "l",  "m", "n", "p",
        "r", "s",  "sk", "sn", "t", "th", "v", "z",  "sh", "f", "h", "gl"};
    static constexpr std::array<const char*, 10> kVowels = {"a", "e", "i",  "o",  "u",
                                                            "a", "o", "ae", "ei", "ou"};
    static constexpr std::array<const char*, 14> kCodas = {"",  "",   "",  "",  "n", "r", "l",
                                                           "s", "th", "k", "m", "x", "g", "rn"};
    const auto pick = [&rng](const auto& list) {
        return list[static_cast<std::size_t>(rng.range(0, static_cast<int>(list.size()) - 1))];
    };
    std::string text;
    for (int attempt = 0; attempt < 10000; ++attempt) {
        text.clear();
        const int count = rng.range(1, 4);
        for (int i = 0; i < count; ++i)
            text = text + pick(kOnsets) + pick(kVowels) + pick(kCodas);
        if (text.size() < minLength || text.size() > maxLength) continue;
        if (std::find(taken.begin(), taken.end(), text) == taken.end()) break;
    }
    taken.push_back(text);
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string nameText(int record, Rng& rng, std::vector<std::string>& taken) {
    if (record >= kFirstEsperRecord) return freshName(rng, 4, std::size_t{kEsperNameLength}, taken);
    if (record == kDemoFullLengthNameRecord) return freshName(rng, 10, 10, taken);
    if (record == kDemoCutNameRecord) {
        std::string hidden = freshName(rng, 3, 5, taken);
        return freshName(rng, 3, 4, taken) + '\0' + hidden;
    }
    if (record % 23 == 4) return freshName(rng, 2, 4, taken) + '-' + freshName(rng, 3, 5, taken);
    if (record % 29 == 6) return "Dr." + freshName(rng, 3, 7, taken);
    if (record % 31 == 8) {
        return freshName(rng, 3, 7, taken) + ' ' + static_cast<char>('2' + record % 8);
    }
    return freshName(rng, 5, std::size_t{kMonsterNameLength}, taken);
}

// A name as stored (padded, at its ROM offset) and as the game shows it.
struct Name {
    std::uint32_t romOffset;
    std::vector<std::uint8_t> bytes;
    std::string text;
};

std::vector<Name> buildNames() {
    Rng rng(0x6E616D6573ull);
    std::vector<std::string> taken;
    std::vector<Name> names;
    for (int record = 0; record < kNamedRecordCount; ++record) {
        const std::string text = nameText(record, rng, taken);
        const bool esper = record >= kFirstEsperRecord;
        const auto at = static_cast<std::uint32_t>(
            esper ? kEsperNamesOffset + kEsperNameLength * (record - kFirstEsperRecord)
                  : kMonsterNamesOffset + kMonsterNameLength * record);
        std::vector<std::uint8_t> bytes(esper ? kEsperNameLength : kMonsterNameLength, 0xFF);
        std::transform(text.begin(), text.end(), bytes.begin(), encodeChar);
        names.push_back({at, std::move(bytes), text.substr(0, text.find('\0'))});
    }
    return names;
}

// ---------------------------------------------------------------------------
// The catalogue: every picture drawn once, its mold and its graphics.

using Mold = std::vector<std::uint8_t>;  // one bit per cell, bit 7 leftmost, rows top first

bool moldHas(const Mold& mold, int cells, int row, int column) {
    return (mold[static_cast<std::size_t>(row * (cells / 8) + column / 8)] >> (7 - column % 8) &
            1) != 0;
}

void moldSet(Mold& mold, int cells, int row, int column) {
    mold[static_cast<std::size_t>(row * (cells / 8) + column / 8)] |=
        static_cast<std::uint8_t>(0x80 >> (column % 8));
}

Mold moldOf(const IndexedImage& image, bool fillBox) {
    const int cells = image.width() / kTileSize;
    Mold mold(static_cast<std::size_t>(cells * cells / 8), 0);
    int top = cells, bottom = -1, left = cells, right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.getPixel(x, y) == 0) continue;
            const int row = y / kTileSize, column = x / kTileSize;
            moldSet(mold, cells, row, column);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
            left = std::min(left, column);
            right = std::max(right, column);
        }
    }
    for (int row = top; fillBox && row <= bottom; ++row) {
        for (int column = left; column <= right; ++column)
            moldSet(mold, cells, row, column);
    }
    return mold;
}

struct Picture {
    IndexedImage image;
    TileDepth depth;
    bool large;
    std::uint16_t offset;  // 8-byte units
    std::uint8_t mold;
};

struct Catalogue {
    std::vector<Picture> pictures;
    std::vector<Mold> smallMolds;
    std::vector<Mold> largeMolds;
    std::vector<std::uint8_t> graphics;
    std::vector<Name> names;
};

std::uint8_t internMold(std::vector<Mold>& table, const Mold& mold) {
    const auto found = std::find(table.begin(), table.end(), mold);
    if (found != table.end()) return static_cast<std::uint8_t>(found - table.begin());
    table.push_back(mold);
    return static_cast<std::uint8_t>(table.size() - 1);
}

void appendGraphics(std::vector<std::uint8_t>& graphics, const Picture& picture, const Mold& mold) {
    const int cells = picture.image.width() / kTileSize;
    const std::size_t tileBytes = tileByteCount(picture.depth);
    for (int row = 0; row < cells; ++row) {
        for (int column = 0; column < cells; ++column) {
            if (!moldHas(mold, cells, row, column)) continue;
            graphics.resize(graphics.size() + tileBytes);
            encodeTile(picture.image, column, row,
                       std::span(graphics).subspan(graphics.size() - tileBytes), picture.depth);
        }
    }
}

Catalogue buildCatalogue() {
    Catalogue catalogue;
    for (int index = 0; index < kDemoPictureCount; ++index) {
        const PicturePlan plan = picturePlan(index);
        Sketch sketch(0x6D6F6E7374657200ull + static_cast<std::uint64_t>(index), plan.large);
        drawKind(sketch, plan.kind);
        Picture picture{render(sketch, plan.large ? 128 : 64, plan.depth), plan.depth, plan.large,
                        static_cast<std::uint16_t>(catalogue.graphics.size() / 8), 0};
        const Mold mold = moldOf(picture.image, plan.fillBox);
        picture.mold = internMold(plan.large ? catalogue.largeMolds : catalogue.smallMolds, mold);
        appendGraphics(catalogue.graphics, picture, mold);
        catalogue.pictures.push_back(std::move(picture));
    }
    catalogue.names = buildNames();
    return catalogue;
}

const Catalogue& catalogue() {
    static const Catalogue instance = buildCatalogue();
    return instance;
}

// ---------------------------------------------------------------------------
// Writing the tables.

void put(std::vector<std::uint8_t>& rom, std::uint32_t romOffset,
         std::span<const std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), rom.begin() + kCopierHeaderSize + romOffset);
}

void putWord(std::vector<std::uint8_t>& rom, std::uint32_t romOffset, unsigned word) {
    const std::array<std::uint8_t, 2> bytes = {static_cast<std::uint8_t>(word & 0xFF),
                                               static_cast<std::uint8_t>(word >> 8 & 0xFF)};
    put(rom, romOffset, bytes);
}

void writeRecords(std::vector<std::uint8_t>& rom, const Catalogue& catalogue) {
    for (int record = 0; record < kRecordCount; ++record) {
        const Picture& picture =
            catalogue.pictures[static_cast<std::size_t>(pictureOfRecord(record))];
        const int palette = paletteOfRecord(record);
        const bool eight = picture.depth == TileDepth::Colours8;
        const std::array<std::uint8_t, 5> bytes = {
            static_cast<std::uint8_t>(picture.offset & 0xFF),
            static_cast<std::uint8_t>((picture.offset >> 8 & 0x7F) | (eight ? 0x80 : 0)),
            static_cast<std::uint8_t>((palette >> 8 & 0x03) | (picture.large ? 0x80 : 0)),
            static_cast<std::uint8_t>(palette & 0xFF), picture.mold};
        put(rom, kRecordsOffset + 5 * static_cast<std::uint32_t>(record), bytes);
    }
}

void writePalettes(std::vector<std::uint8_t>& rom) {
    for (int index = 0; index < kPaletteCount; ++index) {
        const auto colours = paletteColours(index);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const std::uint32_t at =
                kPalettesOffset + static_cast<std::uint32_t>(16 * index + 2 * i);
            putWord(rom, at, rgbToSnes(colours[i]).word());
        }
    }
}

void writeNames(std::vector<std::uint8_t>& rom, const Catalogue& catalogue) {
    for (const Name& name : catalogue.names)
        put(rom, name.romOffset, name.bytes);
}

void writeMolds(std::vector<std::uint8_t>& rom, const Catalogue& catalogue) {
    std::uint32_t at = kMoldAreaOffset;
    putWord(rom, kMoldPointersOffset, at - kMoldBankOffset);
    for (const Mold& mold : catalogue.smallMolds) {
        put(rom, at, mold);
        at += static_cast<std::uint32_t>(mold.size());
    }
    putWord(rom, kMoldPointersOffset + 2, at - kMoldBankOffset);
    for (const Mold& mold : catalogue.largeMolds) {
        put(rom, at, mold);
        at += static_cast<std::uint32_t>(mold.size());
    }
}

}  // namespace

void addDemoMonsters(std::vector<std::uint8_t>& romFile) {
    if (romFile.size() < kCopierHeaderSize + kExpandedRomSize) {
        romFile.resize(kCopierHeaderSize + kExpandedRomSize, 0);
    }
    const Catalogue& all = catalogue();
    writeRecords(romFile, all);
    writePalettes(romFile);
    writeNames(romFile, all);
    writeMolds(romFile, all);
    put(romFile, kGraphicsBlockOffset, all.graphics);
}

DemoMonster demoMonster(int record) {
    if (record < 0 || record >= kRecordCount) return {};
    const Catalogue& all = catalogue();
    const Picture& picture = all.pictures[static_cast<std::size_t>(pictureOfRecord(record))];
    const auto r = static_cast<std::size_t>(record);
    std::string name = r < all.names.size() ? all.names[r].text : std::string{};
    return {picture.image,           picture.depth,   picture.large,
            paletteOfRecord(record), std::move(name), picture.offset};
}

}  // namespace morvik

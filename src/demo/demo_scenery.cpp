#include "demo/demo_scenery.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "demo/demo_random.h"

namespace morvik {
namespace {

using namespace roles;

// ---------------------------------------------------------------------------
// The canvas and its building blocks. Shapes snap to the 8-pixel grid and
// textures repeat every 8 pixels, so the scenes cut into few distinct tiles;
// symmetric shapes centred on cell boundaries give mirrored tiles.

using Heights = std::array<int, kSceneWidth>;

class Canvas {
  public:
    Canvas() : roles_(static_cast<std::size_t>(kSceneWidth * kSceneHeight), 0) {}
    static bool inside(int x, int y) {
        return x >= 0 && y >= 0 && x < kSceneWidth && y < kSceneHeight;
    }
    int at(int x, int y) const {
        return inside(x, y) ? roles_[static_cast<std::size_t>(y * kSceneWidth + x)] : -1;
    }
    void set(int x, int y, int role) {
        if (inside(x, y))
            roles_[static_cast<std::size_t>(y * kSceneWidth + x)] = static_cast<std::uint8_t>(role);
    }
    std::vector<std::uint8_t> release() { return std::move(roles_); }

  private:
    std::vector<std::uint8_t> roles_;
};

struct Scene {
    Canvas canvas;
    Rng layout;  // differs from variant to variant
    Rng shapes;  // the same for the whole theme, so its clouds and peaks recur
    SceneMood mood;
    int variant;
};

// Ordered dithering in quarter steps. The 2x2 pattern is folded about the middle
// of each cell, so a cell row stays one tile that mirrors onto itself.
int dithered(int x, int y, int quarters, int maxRole) {
    static constexpr std::array<int, 4> kBayer = {0, 2, 3, 1};
    const int folded = std::min(x & 7, 7 - (x & 7));
    const int threshold = kBayer[static_cast<std::size_t>((y & 1) * 2 + (folded & 1))];
    return std::min(maxRole, quarters / 4 + (threshold < quarters % 4 ? 1 : 0));
}

void skyGradient(Canvas& c, int top, int bottom) {
    for (int y = 0; y < kSceneHeight; ++y) {
        const int quarters = std::clamp((y - top) * 28 / (bottom - top), 0, 28);
        for (int x = 0; x < kSceneWidth; ++x)
            c.set(x, y, dithered(x, y, quarters, kSkyBottom));
    }
}

struct Shape {
    int width = 0, height = 0;
    std::vector<std::uint8_t> mask;
    bool has(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height &&
               mask[static_cast<std::size_t>(y * width + x)] != 0;
    }
    void ellipse(int cx, int cy, int rx, int ry) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int dx = (2 * x + 1 - 2 * cx) * ry, dy = (2 * y + 1 - 2 * cy) * rx;
                if (dx * dx + dy * dy <= 4 * rx * rx * ry * ry)
                    mask[static_cast<std::size_t>(y * width + x)] = 1;
            }
        }
    }
};

Shape cloudShape(Rng& rng) {
    Shape s{8 * rng.range(3, 5), 16, {}};
    s.mask.assign(static_cast<std::size_t>(s.width * s.height), 0);
    s.ellipse(s.width / 2, 12, s.width / 2 - 1, 3);
    const int bumps = s.width / 10 + 1;
    for (int i = 0; i < bumps; ++i) {
        const int r = rng.range(4, 6);
        const int cx = 5 + (s.width - 10) * i / std::max(1, bumps - 1) + rng.range(-1, 1);
        s.ellipse(cx, 12 - r + rng.range(0, 2), r, r);
    }
    return s;
}

// Lit from the upper left (upper right when mirrored, so a mirrored cloud is
// made of mirrored tiles).
void drawCloud(Canvas& c, const Shape& s, int left, int top, bool mirror) {
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const int sx = mirror ? s.width - 1 - x : x;
            if (!s.has(sx, y)) continue;
            const int role = !s.has(sx, y + 2)       ? kCloudShade
                             : !s.has(sx - 1, y - 2) ? kCloudLight
                                                     : kCloudMid;
            c.set(left + x, top + y, role);
        }
    }
}

void drawClouds(Scene& s, int count, int lowestRow) {
    std::array<Shape, 3> shapes = {cloudShape(s.shapes), cloudShape(s.shapes),
                                   cloudShape(s.shapes)};
    for (int i = 0; i < count; ++i) {
        const Shape& shape = shapes[static_cast<std::size_t>(s.layout.range(0, 2))];
        const int column = s.layout.range(-2, 15), row = s.layout.range(0, lowestRow);
        drawCloud(s.canvas, shape, 8 * column, 8 * row, s.layout.range(0, 1) == 1);
    }
}

// A disc centred on a cell corner, with a dotted glow; the crescent cuts a
// second disc out of it.
void drawOrb(Canvas& c, int cx, int cy, int radius, bool crescent) {
    const int reach = radius + 3;
    for (int dy = -reach; dy < reach; ++dy) {
        for (int dx = -reach; dx < reach; ++dx) {
            const int ux = 2 * dx + 1, uy = 2 * dy + 1, d2 = ux * ux + uy * uy;
            const int vx = ux - radius, vy = uy + radius;
            if (d2 <= 4 * radius * radius) {
                if (!crescent || vx * vx + vy * vy > 4 * radius * radius)
                    c.set(cx + dx, cy + dy, kOrb);
            } else if (d2 <= 4 * reach * reach && ((dx + dy) & 1) == 0 && !crescent) {
                c.set(cx + dx, cy + dy, kGlow);
            }
        }
    }
}

struct StarPixel {
    int x, y, role;
};
constexpr std::array<std::array<StarPixel, 5>, 4> kStarPatterns = {{
    {{{3, 2, kStarDim}, {3, 2, kStarDim}, {3, 2, kStarDim}, {3, 2, kStarDim}, {3, 2, kStarDim}}},
    {{{5, 5, kStarBright}, {1, 1, kStarDim}, {1, 1, kStarDim}, {1, 1, kStarDim}, {1, 1, kStarDim}}},
    {{{3, 4, kStarBright}, {2, 4, kStarDim}, {4, 4, kStarDim}, {3, 3, kStarDim}, {3, 5, kStarDim}}},
    {{{1, 6, kStarBright}, {6, 2, kStarDim}, {6, 2, kStarDim}, {6, 2, kStarDim}, {6, 2, kStarDim}}},
}};

void drawStars(Scene& s, int lastRow) {
    for (int row = 0; row <= lastRow; ++row) {
        for (int column = 0; column < kSceneWidth / 8; ++column) {
            if (s.layout.range(0, 99) >= 30) continue;
            const auto& pattern = kStarPatterns[static_cast<std::size_t>(s.layout.range(0, 3))];
            const bool mirror = s.layout.range(0, 1) == 1;
            for (const StarPixel& p : pattern) {
                const int x = 8 * column + (mirror ? 7 - p.x : p.x), y = 8 * row + p.y;
                if (s.canvas.at(x, y) <= kSkyBottom) s.canvas.set(x, y, p.role);
            }
        }
    }
}

// The sun by day, the moon (sometimes a crescent) by night.
void drawSkyLight(Scene& s, int lowestRow) {
    const int cx = 8 * s.layout.range(2, 14), cy = 8 * s.layout.range(1, lowestRow);
    if (s.mood.night) {
        drawStars(s, lowestRow + 1);
        drawOrb(s.canvas, cx, cy, 6, s.variant % 2 == 0);
    } else {
        drawOrb(s.canvas, cx, cy, 7, false);
    }
}

// ---------------------------------------------------------------------------
// Terrain.

// A jagged line through points every `step` pixels, heights on a 4-pixel grid.
Heights ridge(Rng& rng, int top, int bottom, int step, int roughness) {
    Heights h{};
    int y = rng.range(top / 4, bottom / 4) * 4;
    for (int x0 = 0; x0 < kSceneWidth; x0 += step) {
        const int next = std::clamp(y + 4 * rng.range(-roughness, roughness), top, bottom);
        for (int t = 0; t < step && x0 + t < kSceneWidth; ++t)
            h[static_cast<std::size_t>(x0 + t)] = y + (next - y) * t / step;
        y = next;
    }
    return h;
}

// Rolling arches of a period that is a multiple of 16, crests on cell
// boundaries: the curve is a symmetric piecewise parabola, exact in integers,
// so the two sides of a crest are mirror images.
Heights hills(int base, int amplitude, int period, int phase) {
    Heights h{};
    for (int x = 0; x < kSceneWidth; ++x) {
        const int t = (2 * x + 1 + 2 * phase) % (2 * period);
        const int d = std::min(t, 2 * period - t);  // half pixels from the nearest crest
        const int p2 = period * period;
        const int lift = 2 * d <= period ? p2 - 2 * d * d : 2 * (period - d) * (period - d);
        h[static_cast<std::size_t>(x)] = base - amplitude * lift / p2;
    }
    return h;
}

struct Rock {
    int lit, shade, rimLit, rimShade, snowLine;
};

// Faces rising to the right catch the light from the left.
void fillRock(Canvas& c, const Heights& h, const Rock& rock) {
    for (int x = 0; x < kSceneWidth; ++x) {
        const int here = h[static_cast<std::size_t>(x)];
        // Over a few pixels: gentle slopes step by single pixels.
        const bool lit = h[static_cast<std::size_t>(std::min(x + 6, kSceneWidth - 1))] <=
                         h[static_cast<std::size_t>(std::max(x - 6, 0))];
        for (int y = std::max(here, 0); y < kSceneHeight; ++y) {
            int role = lit ? rock.lit : rock.shade;
            if (y == here)
                role = lit ? rock.rimLit : rock.rimShade;
            else if (((x + 2 * y) & 7) == 0)
                role -= 1;
            if (y < rock.snowLine - ((x >> 1) & 3)) role = lit ? kFarAccent : kFarAccentShade;
            c.set(x, y, role);
        }
    }
}

// A tuft texture, symmetric within each cell: 0 dark, 1 plain, 2 light.
int tuft(int x, int y) {
    static constexpr std::array<std::array<int, 4>, 8> kTuft = {{{1, 1, 1, 1},
                                                                 {1, 2, 1, 1},
                                                                 {1, 1, 0, 1},
                                                                 {1, 1, 1, 1},
                                                                 {1, 1, 1, 2},
                                                                 {2, 1, 1, 1},
                                                                 {0, 1, 1, 1},
                                                                 {1, 1, 1, 1}}};
    const int column = x & 7;
    return kTuft[static_cast<std::size_t>(y & 7)]
                [static_cast<std::size_t>(std::min(column, 7 - column))];
}

// Ground of the ramp at `base` (the darkest of three shades used), a light rim
// on top and darker bands every 16 rows further down.
void fillGround(Canvas& c, const Heights& h, int base, int rim) {
    for (int x = 0; x < kSceneWidth; ++x) {
        const int here = h[static_cast<std::size_t>(x)];
        for (int y = std::max(here, 0); y < kSceneHeight; ++y) {
            const int fade = std::min(2, std::max(0, (y - 80) / 24));
            c.set(x, y, y - here < 2 ? rim : base + tuft(x, y) + 2 - fade);
        }
    }
}

void fillFlat(Canvas& c, const Heights& h, int role) {
    for (int x = 0; x < kSceneWidth; ++x) {
        for (int y = std::max(h[static_cast<std::size_t>(x)], 0); y < kSceneHeight; ++y)
            c.set(x, y, role);
    }
}

// ---------------------------------------------------------------------------
// Things standing on the terrain, each symmetric about a cell boundary.

// A pine of three tiers, darker along their lower edges; `ramp` names the
// darkest of its three shades.
void drawPine(Canvas& c, int cx, int bottom, int height, int ramp, int trunk) {
    const int top = bottom - height, crown = height - 3, tier = std::max(2, crown / 3);
    for (int y = top; y < bottom; ++y) {
        const int r = y - top;
        if (r >= crown) {
            c.set(cx - 1, y, trunk);
            c.set(cx, y, trunk);
            continue;
        }
        const int level = std::min(2, r / tier), within = r - level * tier;
        const int half = 1 + (within + 1 + level * 2) * height / (3 * tier + 6);
        for (int dx = -half; dx < half; ++dx) {
            const int a = std::abs(2 * dx + 1);
            const int role = within == tier - 1 || a >= 2 * half - 1 ? ramp
                             : a < half                              ? ramp + 2
                                                                     : ramp + 1;
            c.set(cx + dx, y, role);
        }
    }
}

void drawRoundTree(Canvas& c, int cx, int bottom, int radius, int ramp, int trunk) {
    const int cy = bottom - 4 - radius;
    for (int y = cy; y < bottom; ++y) {
        c.set(cx - 1, y, trunk);
        c.set(cx, y, trunk);
    }
    for (int dy = -radius; dy < radius; ++dy) {
        for (int dx = -radius; dx < radius; ++dx) {
            const int ux = 2 * dx + 1, uy = 2 * dy + 1, d2 = ux * ux + uy * uy;
            if (d2 > 4 * radius * radius) continue;
            const int role = d2 > 3 * radius * radius ? ramp : uy < -radius ? ramp + 2 : ramp + 1;
            c.set(cx + dx, cy + dy, role);
        }
    }
}

// A stalactite (down) or stalagmite (up) from row `start`: the two are exact
// vertical mirror images about the middle of the scene.
void drawSpike(Canvas& c, int cx, int start, int length, bool down, int ramp) {
    for (int r = 0; r < length; ++r) {
        const int half = 1 + (length - r) * 5 / length;
        const int y = down ? start + r : start - r;
        for (int dx = -half; dx < half; ++dx) {
            const int a = std::abs(2 * dx + 1);
            c.set(cx + dx, y, a >= 2 * half - 1 ? ramp : a <= 2 ? ramp + 3 : ramp + 2);
        }
    }
}

void drawHouse(Canvas& c, int left, int bottom, bool lit) {
    constexpr int kWidth = 16, kWall = 8;
    for (int y = bottom - kWall - 8; y < bottom; ++y) {
        for (int x = left; x < left + kWidth; ++x) {
            const int a = std::abs(2 * (x - left) + 1 - kWidth);
            const int roofRow = y - (bottom - kWall - 8);
            if (y < bottom - kWall) {
                if (a <= 2 * roofRow + 2)
                    c.set(x, y, roofRow == 0 || a >= 2 * roofRow ? kFar : kFar + 1);
                continue;
            }
            const bool window = (a == 5 || a == 7) && y >= bottom - 6 && y < bottom - 3;
            c.set(x, y, window ? (lit ? kFarAccent : kFar) : kFar + 3);
        }
    }
}

// Little marks (flowers, pebbles, cracks, sparkles) dropped into random cells
// of a band of cell rows, only over pixels of at least `over`.
void sprinkle(Scene& s, int firstRow, int lastRow, int percent, int dark, int light, int over) {
    static constexpr std::array<std::array<int, 3>, 5> kMarks = {
        {{2, 3, 1}, {3, 3, 1}, {3, 4, 0}, {5, 6, 1}, {6, 6, 0}}};
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = 0; column < kSceneWidth / 8; ++column) {
            if (s.layout.range(0, 99) >= percent) continue;
            const int count = s.layout.range(2, 5);
            const bool mirror = s.layout.range(0, 1) == 1;
            for (int i = 0; i < count; ++i) {
                const auto& m = kMarks[static_cast<std::size_t>(i)];
                const int x = 8 * column + (mirror ? 7 - m[0] : m[0]), y = 8 * row + m[1];
                if (s.canvas.at(x, y) >= over) s.canvas.set(x, y, m[2] != 0 ? light : dark);
            }
        }
    }
}

void drawSea(Canvas& c, int horizon) {
    for (int y = horizon; y < kSceneHeight; ++y) {
        const int depth = y - horizon, gap = 3 + depth / 8, length = 2 + depth / 6;
        const int base = kFar + std::max(1, 6 - depth / 8);
        const bool crests = depth % gap == 0;
        for (int x = 0; x < kSceneWidth; ++x) {
            int role = base;
            if (depth == 0)
                role = kFar + 7;
            else if (crests && ((x + 5 * (depth / gap)) & 15) < length)
                role = std::min(base + 2, kFar + 7);
            c.set(x, y, role);
        }
    }
}

// A castle wall from `left` to `right` with merlons above `top`.
void drawWall(Canvas& c, int left, int right, int top) {
    for (int y = top - 6; y < kSceneHeight; ++y) {
        for (int x = left; x < right; ++x) {
            if (y < top && ((x - left) / 8) % 2 == 1) continue;
            const int course = (y - top + 8) / 4;
            const bool mortar = (y - top + 8) % 4 == 3 || ((x + (course & 1) * 4) & 7) == 0;
            const int role = y == top - 6 || (y == top && ((x - left) / 8) % 2 == 1) ? kFar + 6
                             : mortar                                                ? kFar + 2
                                      : kFar + 4 + (course & 1);
            c.set(x, y, role);
        }
    }
}

// ---------------------------------------------------------------------------
// The themes.

void drawPlains(Scene& s) {
    Canvas& c = s.canvas;
    skyGradient(c, 0, 88);
    drawSkyLight(s, 3);
    drawClouds(s, s.mood.night ? 1 : 4, 5);
    fillFlat(c, ridge(s.layout, 40, 64, 16, 3), kHaze);
    fillGround(c, hills(80, 16, 48, 8 * s.layout.range(0, 5)), kFar + 1, kFar + 6);
    for (int i = s.layout.range(1, 3); i > 0; --i)
        drawRoundTree(c, 8 * s.layout.range(1, 15), 96, 6, kFar + 1, kFar);
    fillGround(c, hills(112, 12, 64, 8 * s.layout.range(0, 7)), kNear + 2, kNear + 7);
    sprinkle(s, 14, 16, 40, kNearAccent + 1, kNearAccent + 2, kNear);
}

void drawForest(Scene& s) {
    Canvas& c = s.canvas;
    skyGradient(c, 0, 72);
    drawSkyLight(s, 2);
    drawClouds(s, 3, 3);
    fillFlat(c, ridge(s.layout, 40, 56, 16, 2), kHaze);
    const int line = 72 + 8 * s.layout.range(0, 1);
    Heights floor{};
    floor.fill(line);
    fillFlat(c, floor, kFar + 1);
    for (int column = 0; column <= kSceneWidth / 8; ++column)
        drawPine(c, 8 * column, line + 4, 8 * s.layout.range(2, 3), kFar + 1, kFar);
    fillGround(c, hills(112, 6, 96, 8 * s.layout.range(0, 11)), kNear + 1, kNear + 5);
    for (int i = s.layout.range(2, 4); i > 0; --i) {
        drawPine(c, 16 * s.layout.range(0, 8), 120, 8 * s.layout.range(5, 7), kNear + 1,
                 kNearAccent);
    }
}

void drawDesert(Scene& s) {
    Canvas& c = s.canvas;
    skyGradient(c, 0, 80);
    drawSkyLight(s, 3);
    drawClouds(s, 2, 2);
    for (int i = s.layout.range(2, 3); i > 0; --i) {
        const int left = 8 * s.layout.range(-2, 12), width = 8 * s.layout.range(2, 5);
        const int top = 8 * s.layout.range(6, 8);
        for (int y = top; y < 104; ++y) {
            const int spread = (y - top) / 2;
            for (int x = left - spread; x < left + width + spread; ++x) {
                const int role = y == top            ? kFar + 7
                                 : x < left          ? kFar + 6
                                 : x >= left + width ? kFar + 2
                                                     : kFar + 4 + ((y >> 2) & 1);
                c.set(x, y, role);
            }
        }
    }
    fillRock(c, hills(96, 14, 64, 8 * s.layout.range(0, 7)),
             {kNear + 5, kNear + 3, kNear + 7, kNear + 4, 0});
    fillRock(c, hills(120, 8, 48, 8 * s.layout.range(0, 5)),
             {kNear + 5, kNear + 3, kNear + 7, kNear + 4, 0});
    for (int i = s.layout.range(0, 2); i > 0; --i)
        drawPine(c, 8 * s.layout.range(1, 15), 116, 24, kNearAccent, kNearAccent);
}

void drawCoast(Scene& s) {
    Canvas& c = s.canvas;
    skyGradient(c, 0, 64);
    drawSkyLight(s, 2);
    drawClouds(s, 3, 3);
    const int from = 8 * s.layout.range(0, 10), to = from + 48;
    Heights islands = hills(64, 4 * s.layout.range(2, 4), 48, 48 - from % 48 + 24);
    for (int x = 0; x < kSceneWidth; ++x) {
        if (x < from || x >= to) islands[static_cast<std::size_t>(x)] = kSceneHeight;
    }
    fillFlat(c, islands, kHaze);
    drawSea(c, 64);
    fillGround(c, hills(112 + 8 * s.layout.range(0, 1), 10, 64, 8 * s.layout.range(0, 7)),
               kNear + 2, kNearAccent + 2);
    sprinkle(s, 15, 16, 25, kNear + 1, kNear + 7, kNear);
}

void drawCave(Scene& s) {
    Canvas& c = s.canvas;
    for (int y = 0; y < kSceneHeight; ++y) {
        const int quarters = std::clamp((std::min(y, kSceneHeight - 1 - y) - 12) * 28 / 56, 0, 28);
        for (int x = 0; x < kSceneWidth; ++x)
            c.set(x, y, dithered(x, std::min(y & 7, 7 - (y & 7)), quarters, kSkyBottom));
    }
    static constexpr std::array<int, 8> kJag = {0, 2, 4, 6, 6, 4, 2, 0};
    for (int x = 0; x < kSceneWidth; ++x) {
        const int edge = 10 + kJag[static_cast<std::size_t>(x & 7)];
        for (int y = 0; y < edge; ++y)
            c.set(x, y, y == edge - 1 ? kFar + 1 : kFar + 3 + (((x + 2 * y) & 7) == 0 ? 1 : 0));
    }
    for (int row = 2; row < 15; ++row) {
        const int left = 8 * s.layout.range(0, 2), right = 8 * s.layout.range(0, 2);
        for (int y = 8 * row; y < 8 * row + 8; ++y) {
            for (int x = 0; x < left; ++x)
                c.set(x, y, x == left - 1 ? kFar + 5 : kFar + 2 + (((x + 2 * y) & 7) == 0 ? 1 : 0));
            for (int x = kSceneWidth - right; x < kSceneWidth; ++x)
                c.set(x, y, x == kSceneWidth - right ? kFar + 1 : kFar + 2);
        }
    }
    for (int i = s.layout.range(4, 6); i > 0; --i) {
        const int cx = 8 * s.layout.range(3, 13), length = 8 * s.layout.range(2, 4);
        drawSpike(c, cx, 16, length, true, kFar + 2);
        if (s.layout.range(0, 1) == 1) drawSpike(c, cx, kSceneHeight - 17, length, false, kFar + 2);
    }
    fillGround(c, hills(124, 4, 32, 8 * s.layout.range(0, 3)), kNear + 1, kNear + 5);
    sprinkle(s, 3, 13, 12, kFarAccentShade, kFarAccent, kFar);
    sprinkle(s, 16, 16, 30, kNearAccent, kNearAccent + 2, kNear);
}

void drawCastle(Scene& s) {
    Canvas& c = s.canvas;
    skyGradient(c, 0, 72);
    drawSkyLight(s, 2);
    drawClouds(s, 3, 3);
    fillFlat(c, ridge(s.layout, 56, 72, 16, 2), kHaze);
    const int wallTop = 72 + 8 * s.layout.range(0, 1);
    drawWall(c, 0, kSceneWidth, wallTop);
    for (int i = 0; i < 2; ++i) {
        const int left = 8 * (i == 0 ? s.layout.range(0, 4) : s.layout.range(9, 13));
        const int top = wallTop - 24 - 8 * s.layout.range(0, 2);
        drawWall(c, left, left + 24, top);
        for (int y = top - 22; y < top - 6; ++y) {
            const int half = (y - top + 22) * 3 / 4 + 1;
            for (int dx = -half; dx < half; ++dx)
                c.set(left + 12 + dx, y, dx == -half ? kNearAccent + 2 : kNearAccent + 1);
        }
        for (int y = top + 6; y < top + 14; ++y) {
            c.set(left + 11, y, s.mood.night ? kFarAccent : kFar);
            c.set(left + 12, y, s.mood.night ? kFarAccent : kFar);
        }
    }
    for (int y = wallTop + 16; y < kSceneHeight; ++y) {
        for (int dx = -12; dx < 12; ++dx) {
            const int ux = 2 * dx + 1, uy = 2 * (wallTop + 28 - y);
            if (y < wallTop + 28 && ux * ux + uy * uy > 24 * 24) continue;
            c.set(64 + dx, y, (dx & 3) == 0 || (y & 3) == 0 ? kFar + 2 : kFar);
        }
    }
    fillGround(c, hills(120, 4, 96, 8 * s.layout.range(0, 11)), kNear + 1, kNear + 5);
}

void drawSnowfield(Scene& s) {
    Canvas& c = s.canvas;
    skyGradient(c, 0, 80);
    drawSkyLight(s, 3);
    drawClouds(s, 3, 3);
    fillRock(c, ridge(s.layout, 24, 80, 16, 4), {kFar + 4, kFar + 2, kFar + 6, kFar + 3, 56});
    fillGround(c, hills(100, 10, 48, 8 * s.layout.range(0, 5)), kNear + 3, kNear + 7);
    for (int i = s.layout.range(2, 5); i > 0; --i) {
        drawPine(c, 8 * s.layout.range(0, 16), 112 + 8 * s.layout.range(0, 2),
                 8 * s.layout.range(3, 5), kNearAccent, kNear);
    }
}

void drawNight(Scene& s) {
    Canvas& c = s.canvas;
    skyGradient(c, 0, 96);
    drawStars(s, 9);
    drawOrb(c, 8 * s.layout.range(2, 14), 8 * s.layout.range(2, 4), 6, s.variant % 2 == 1);
    drawClouds(s, 2, 4);
    fillRock(c, ridge(s.layout, 64, 88, 16, 2), {kFar + 2, kFar + 1, kFar + 3, kFar + 2, 0});
    for (int i = s.layout.range(3, 5); i > 0; --i)
        drawHouse(c, 8 * s.layout.range(0, 14), 104, s.layout.range(0, 3) != 0);
    fillGround(c, hills(112, 8, 64, 8 * s.layout.range(0, 7)), kNear, kNear + 4);
}

void drawVolcano(Scene& s) {
    Canvas& c = s.canvas;
    skyGradient(c, 0, 96);
    if (s.mood.night) drawStars(s, 3);
    drawClouds(s, 4, 3);
    const int cx = 64 + 8 * s.layout.range(-3, 3);
    Heights cone{};
    for (int x = 0; x < kSceneWidth; ++x) {
        const int a = std::abs(2 * (x - cx) + 1);
        cone[static_cast<std::size_t>(x)] = a < 12 ? 36 : 32 + std::max(0, a - 17) * 5 / 8;
    }
    fillRock(c, cone, {kFar + 4, kFar + 2, kFar + 6, kFar + 3, 0});
    for (int i = s.layout.range(2, 3); i > 0; --i) {
        int x = cx + s.layout.range(-6, 6);
        const int phase = s.layout.range(0, 7);
        for (int y = 36; y < 104; ++y) {
            x += ((y + phase) / 6) % 3 - 1;
            c.set(x, y, kFarAccent);
            c.set(x + 1, y, kFarAccentShade);
        }
    }
    fillGround(c, hills(116, 6, 32, 8 * s.layout.range(0, 3)), kNear + 1, kNear + 5);
    sprinkle(s, 15, 16, 20, kNearAccent, kNearAccent + 2, kNear);
}

}  // namespace

std::vector<std::uint8_t> drawScenery(int theme, int variant) {
    using Draw = void (*)(Scene&);
    static constexpr std::array<Draw, kSceneThemeCount> kDraw = {
        drawPlains, drawForest,    drawDesert, drawCoast,  drawCave,
        drawCastle, drawSnowfield, drawNight,  drawVolcano};
    const auto t = static_cast<std::uint64_t>(theme);
    Scene scene{Canvas{}, Rng(0x7363656E65000000ull + t * 16 + static_cast<std::uint64_t>(variant)),
                Rng(0x736861706500ull + t), sceneMood(theme, variant), variant};
    kDraw[static_cast<std::size_t>(theme)](scene);
    return scene.canvas.release();
}

}  // namespace morvik

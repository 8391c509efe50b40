#include "demo/demo_portraits.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <initializer_list>
#include <span>

#include "demo/demo_foreign.h"
#include "demo/demo_random.h"
#include "demo/demo_support.h"
#include "gfx/colour.h"
#include "gfx/tile_codec.h"
#include "rom/rom_layout.h"

namespace morvik {
namespace {

using demo::hsv;
using demo::put;
using demo::putByte;
using demo::putWord;
using demo::rgb8;

constexpr std::uint32_t kGraphicsOffset = 0x2D1D00;
constexpr std::uint32_t kPortraitBytes = 800;
constexpr std::uint32_t kPalettesOffset = 0x2D5860;
constexpr std::uint32_t kPaletteIndexOffset = 0x36F00;
constexpr std::uint32_t kLastPaletteIndexOffset = 0x36F14;
constexpr int kSide = kDemoPortraitSide;
constexpr int kPixels = kSide * kSide;

// The game stores the 5x5 cells of a portrait in this order (cell column, row).
constexpr std::array<std::array<int, 2>, 25> kTileCells = {
    {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 0},
     {4, 1}, {4, 2}, {4, 3}, {4, 4}, {0, 4}, {1, 4}, {2, 4}, {0, 1}, {1, 1},
     {2, 1}, {3, 1}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, {3, 4}}};

// Portraits 3 and 7 and portraits 12 and 15 share a palette, which leaves
// palettes 7 and 15 to no one: an editor must still load and save them.
constexpr std::array<int, kDemoPortraitCount> kPaletteOfPortrait = {
    0, 1, 2, 3, 4, 5, 6, 3, 8, 9, 10, 11, 12, 13, 14, 12, 16, 17, 18};

// ---------------------------------------------------------------------------
// Palettes. Every portrait palette has the same roles, so portraits that share
// one still look right: 1 outline, 2-4 skin, 5-7 hair, 8-10 clothes, 11 eye
// white, 12 iris, 13 lips, 14-15 jewellery, metal and backdrop.

// Skin tones as (hue, saturation, value) of the middle shade.
constexpr std::array<std::array<int, 3>, 8> kSkinTones = {{{24, 90, 248},
                                                           {20, 120, 216},
                                                           {18, 150, 168},
                                                           {16, 160, 120},
                                                           {30, 60, 248},
                                                           {34, 110, 200},
                                                           {28, 130, 184},
                                                           {12, 100, 232}}};

std::array<PaletteColour, 16> portraitPalette(int index) {
    Rng rng(0x706F7274706C7400ull + static_cast<std::uint64_t>(index));
    const auto& skin = kSkinTones[static_cast<std::size_t>(index * 5 % 8)];
    const int hairHue = rng.range(0, 359);
    const int hairSat = index % 6 == 4 ? 20 : rng.range(110, 220);
    const int hairVal = index % 6 == 1 ? 96 : rng.range(150, 230);
    const int clothHue = rng.range(0, 359), clothSat = rng.range(110, 230);
    const int eyeHue = rng.range(0, 359), extraHue = (clothHue + rng.range(120, 240)) % 360;
    return {rgb8(0, 0, 0),
            hsv(clothHue, 160, 40),
            hsv(skin[0] - 6, skin[1] + 50, skin[2] - 70),
            hsv(skin[0], skin[1], skin[2]),
            hsv(skin[0] + 6, skin[1] - 45, std::min(255, skin[2] + 20)),
            hsv(hairHue, hairSat + 20, hairVal * 45 / 100),
            hsv(hairHue, hairSat, hairVal * 75 / 100),
            hsv(hairHue + 10, hairSat - 50, hairVal),
            hsv(clothHue, clothSat, 96),
            hsv(clothHue, clothSat - 20, 160),
            hsv(clothHue + 8, clothSat - 70, 224),
            rgb8(248, 244, 232),
            hsv(eyeHue, 200, 176),
            hsv(350, 150, 208),
            hsv(extraHue, 180, 120),
            hsv(extraHue + 12, 90, 240)};
}

// ---------------------------------------------------------------------------
// Drawing: filled shapes in painter's order on a canvas of materials, shaded
// towards a light at the upper left, then outlined where a shape meets the
// background or passes behind a later shape.

enum class Mat : std::uint8_t { None, Skin, Hair, Cloth, Metal };
constexpr std::array<std::array<std::uint8_t, 3>, 5> kRamps = {
    {{0, 0, 0}, {2, 3, 4}, {5, 6, 7}, {8, 9, 10}, {14, 14, 15}}};
constexpr std::uint8_t kLine = 1;

struct Canvas {
    std::array<Mat, kPixels> mat{};
    std::array<std::uint8_t, kPixels> shade{};
    std::array<std::uint8_t, kPixels> group{};
    int groups = 0;
    static std::size_t at(int x, int y) { return static_cast<std::size_t>(y * kSide + x); }
    void set(int x, int y, Mat m, int s, int g) {
        if (x < 0 || y < 0 || x >= kSide || y >= kSide) return;
        mat[at(x, y)] = m;
        shade[at(x, y)] = static_cast<std::uint8_t>(s);
        group[at(x, y)] = static_cast<std::uint8_t>(g);
    }
};

// Centre and radii in half pixels, so shapes centred on x = 40 are exactly symmetric.
struct Oval {
    int cx, cy, rx, ry;
};
constexpr Oval mirrored(Oval o) {
    return {80 - o.cx, o.cy, o.rx, o.ry};
}

int nextGroup(Canvas& canvas, bool merge) {
    return merge ? canvas.groups : ++canvas.groups;
}

template <class Keep>
void fill(Canvas& canvas, Mat m, Oval o, Keep keep, bool merge = false) {
    const int g = nextGroup(canvas, merge);
    for (int y = std::max(0, (o.cy - o.ry) / 2 - 1); y <= std::min(kSide - 1, (o.cy + o.ry) / 2);
         ++y) {
        for (int x = std::max(0, (o.cx - o.rx) / 2 - 1);
             x <= std::min(kSide - 1, (o.cx + o.rx) / 2); ++x) {
            const int nx = (2 * x + 1 - o.cx) * 256 / o.rx, ny = (2 * y + 1 - o.cy) * 256 / o.ry;
            if (nx * nx + ny * ny > 65536 || !keep(x, y)) continue;
            const int s = nx + ny;
            canvas.set(x, y, m, s < -150 ? 2 : s > 150 ? 0 : 1, g);
        }
    }
}
void fill(Canvas& canvas, Mat m, Oval o, bool merge = false) {
    fill(
        canvas, m, o, [](int, int) { return true; }, merge);
}

void fillRect(Canvas& canvas, Mat m, int x0, int y0, int x1, int y1, bool merge = false) {
    const int g = nextGroup(canvas, merge);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            canvas.set(x, y, m, x == x1 ? 0 : x == x0 ? 2 : 1, g);
    }
}

// A spike narrowing from a base between (x0, y) and (x1, y) to a tip above or
// below it; it joins the shape drawn last.
void fillSpike(Canvas& canvas, Mat m, int x0, int x1, int y, int tipX, int tipY) {
    const int g = nextGroup(canvas, true);
    const int length = std::abs(tipY - y);
    for (int step = 0; step <= length; ++step) {
        const int row = tipY < y ? y - step : y + step;
        const int t = length == 0 ? 0 : step * 256 / length;
        const int left = x0 + (tipX - x0) * t / 256, right = x1 + (tipX - x1) * t / 256;
        for (int x = left; x <= right; ++x)
            canvas.set(x, row, m, x == left ? 2 : 1, g);
    }
}

bool behindLaterShape(const Canvas& canvas, int x, int y) {
    static constexpr std::array<std::array<int, 2>, 4> kNeighbours = {
        {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
    const std::size_t i = Canvas::at(x, y);
    for (const auto& d : kNeighbours) {
        const int nx = x + d[0], ny = y + d[1];
        if (nx < 0 || ny < 0 || nx >= kSide || ny >= kSide) continue;
        const std::size_t j = Canvas::at(nx, ny);
        if (canvas.mat[j] == Mat::None) continue;
        if (canvas.mat[i] == Mat::None || canvas.group[j] > canvas.group[i]) return true;
    }
    return false;
}

IndexedImage render(const Canvas& canvas) {
    IndexedImage image;
    if (!image.create(kSide, kSide)) return image;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const std::size_t i = Canvas::at(x, y);
            const auto m = static_cast<std::size_t>(canvas.mat[i]);
            image.setPixel(x, y,
                           behindLaterShape(canvas, x, y) ? kLine : kRamps[m][canvas.shade[i]]);
        }
    }
    return image;
}

// Stamps a small picture given as rows of characters ('.' leaves the pixel),
// and its mirror image on the other half of the face.
void stamp(IndexedImage& image, int left, int top, std::initializer_list<const char*> rows,
           bool mirror = true) {
    int y = top;
    for (const char* row : rows) {
        for (int x = 0; row[x] != '\0'; ++x) {
            const char c = row[x];
            if (c == '.') continue;
            const int value = c >= 'a' ? c - 'a' + 10 : c - '0';
            image.setPixel(left + x, y, static_cast<std::uint8_t>(value));
            if (mirror) image.setPixel(kSide - 1 - left - x, y, static_cast<std::uint8_t>(value));
        }
        ++y;
    }
}

// ---------------------------------------------------------------------------
// The busts. Pixel rows: hair from about 3, eyes at 17-19, mouth at 26, neck
// from 25, shoulders from 32. The head's half-width varies a little.

enum class Hair { Short, Long, Spiky, Bun, Bald, Ponytail, Curly, Hood, Helmet, Bob };
enum class Collar { VNeck, High, Pads, Robe, Scarf };

struct Look {
    Hair hair = Hair::Short;
    Collar collar = Collar::VNeck;
    int backdrop = 0;  // 0 transparent, 1 stripes, 2 halo, 3 dithered sky
    int faceRx = 18;   // half pixels
    int eyes = 0;
    int mouth = 0;
    bool angry = false;
    bool beard = false;
    bool eyepatch = false;
    bool earrings = false;
    bool blush = false;
};

Look lookOf(int index) {
    Rng rng(0x706F727472616974ull + static_cast<std::uint64_t>(index));
    Look look;
    look.hair = static_cast<Hair>(index % 10);
    look.collar = static_cast<Collar>((index * 3 + index / 10) % 5);
    look.backdrop = index % 2 == 0 ? 0 : 1 + index / 2 % 3;
    look.faceRx = rng.range(17, 19);
    look.eyes = rng.range(0, 2);
    look.mouth = rng.range(0, 2);
    look.angry = rng.range(0, 2) == 0;
    look.beard = look.hair == Hair::Bald || index % 7 == 3;
    look.eyepatch = index == 12;
    look.earrings = rng.range(0, 2) == 0;
    look.blush = !look.beard && rng.range(0, 2) == 0;
    return look;
}

int halfDistance(int x) {
    return std::abs(2 * x + 1 - kSide);
}

void drawBack(Canvas& c, const Look& look) {
    const int rx = look.faceRx;
    switch (look.hair) {
        case Hair::Long:
            return fill(c, Mat::Hair, {40, 44, rx + 10, 38}, [](int, int y) { return y <= 36; });
        case Hair::Bob:
            return fill(c, Mat::Hair, {40, 38, rx + 7, 28}, [](int, int y) { return y <= 30; });
        case Hair::Ponytail:
            fill(c, Mat::Hair, {62, 32, 9, 10});
            fill(c, Mat::Hair, {66, 46, 8, 12}, true);
            return fill(c, Mat::Hair, {64, 60, 6, 8}, true);
        case Hair::Hood:
            return fill(c, Mat::Cloth, {40, 36, rx + 12, 32});
        case Hair::Helmet:
            return fill(c, Mat::Hair, {40, 8, 8, 12});
        default:
            return;
    }
}

// The chin and neck shade the clothes just below them.
void castShadow(Canvas& c, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            c.shade[Canvas::at(x, y)] = 0;
    }
}

void drawBody(Canvas& c, const Look& look) {
    fill(c, Mat::Cloth, {40, 92, 38, 28});
    castShadow(c, 13, 32, 27, 34);
    fillRect(c, Mat::Skin, 16, 25, 23, 33);
    switch (look.collar) {
        case Collar::VNeck:
            fillSpike(c, Mat::Skin, 16, 19, 33, 19, 38);
            return fillSpike(c, Mat::Skin, 20, 23, 33, 20, 38);
        case Collar::High:
            fillRect(c, Mat::Cloth, 14, 29, 25, 32);
            return fillRect(c, Mat::Metal, 14, 33, 25, 33, true);
        case Collar::Pads:
            fill(c, Mat::Metal, {8, 70, 16, 12});
            return fill(c, Mat::Metal, mirrored({8, 70, 16, 12}), true);
        case Collar::Robe:
            fill(c, Mat::Cloth, {26, 64, 10, 8});
            return fill(c, Mat::Cloth, mirrored({26, 64, 10, 8}), true);
        case Collar::Scarf:
            fillRect(c, Mat::Metal, 13, 29, 26, 33);
            return fillRect(c, Mat::Metal, 23, 33, 26, 39, true);
    }
}

void drawHead(Canvas& c, const Look& look) {
    const int rx = look.faceRx;
    fill(c, Mat::Skin, {40 - rx - 2, 40, 4, 6});
    fill(c, Mat::Skin, mirrored({40 - rx - 2, 40, 4, 6}), true);
    fill(c, Mat::Skin, {40, 36, rx, 22});
    fill(c, Mat::Skin, {40, 44, rx - 4, 16}, true);
    if (!look.beard) return;
    fill(c, Mat::Hair, {40, 50, rx - 1, 22}, [](int, int y) { return y >= 25; });
    fill(c, Mat::Hair, {40, 49, 12, 4}, true);
}

// Hair over the top of the head down to a hairline, and down the temples to
// sideBottom outside inset pixels from the centre line.
template <class Hairline>
void cap(Canvas& c, int rx, Hairline hairline, int inset, int sideBottom) {
    fill(c, Mat::Hair, {40, 30, rx + 4, 24}, [&](int x, int y) {
        return y <= hairline(x) || (halfDistance(x) >= 2 * inset && y <= sideBottom);
    });
}

void drawCurls(Canvas& c, int rx) {
    cap(
        c, rx, [](int) { return 10; }, 6, 18);
    static constexpr std::array<std::array<int, 2>, 4> kCurls = {
        {{-24, 6}, {-22, -8}, {-15, -19}, {-5, -24}}};
    for (const auto& p : kCurls) {
        fill(c, Mat::Hair, {40 + p[0], 30 + p[1], 9, 9}, true);
        fill(c, Mat::Hair, mirrored({40 + p[0], 30 + p[1], 9, 9}), true);
    }
}

void drawCovering(Canvas& c, const Look& look) {
    const int rx = look.faceRx;
    if (look.hair == Hair::Hood) {
        fill(c, Mat::Hair, {40, 30, rx + 2, 24}, [](int, int y) { return y <= 11; });
        fill(c, Mat::Cloth, {40, 32, rx + 8, 28},
             [](int x, int y) { return y <= 9 || halfDistance(x) >= 16; });
        return;
    }
    fill(c, Mat::Metal, {40, 30, rx + 6, 26},
         [](int x, int y) { return y <= 12 || (halfDistance(x) >= 16 && y <= 22); });
    fillRect(c, Mat::Metal, 19, 12, 20, 20, true);
}

void drawHair(Canvas& c, const Look& look) {
    const int rx = look.faceRx;
    switch (look.hair) {
        case Hair::Short:
            return cap(
                c, rx, [](int x) { return 10 + (x % 3 == 0); }, 7, 18);
        case Hair::Long:
            return cap(
                c, rx, [](int x) { return 8 + halfDistance(x) / 6; }, 7, 24);
        case Hair::Spiky:
            cap(
                c, rx, [](int x) { return 10 + x / 2 % 2 * 2; }, 7, 16);
            fillSpike(c, Mat::Hair, 11, 17, 7, 8, 0);
            fillSpike(c, Mat::Hair, 17, 23, 5, 20, 0);
            fillSpike(c, Mat::Hair, 22, 28, 7, 31, 0);
            fillSpike(c, Mat::Hair, 8, 12, 12, 4, 6);
            return fillSpike(c, Mat::Hair, 27, 31, 12, 35, 6);
        case Hair::Bun:
            cap(
                c, rx, [](int) { return 10; }, 7, 17);
            return fill(c, Mat::Hair, {40, 8, 12, 10});
        case Hair::Bald:
            fill(c, Mat::Hair, {40 - rx - 1, 30, 5, 10});
            return fill(c, Mat::Hair, mirrored({40 - rx - 1, 30, 5, 10}), true);
        case Hair::Ponytail:
            cap(
                c, rx, [](int x) { return 9 + std::max(0, 24 - x) / 3; }, 7, 18);
            return fill(c, Mat::Metal, {57, 24, 4, 4});
        case Hair::Curly:
            return drawCurls(c, rx);
        case Hair::Hood:
        case Hair::Helmet:
            return drawCovering(c, look);
        case Hair::Bob:
            return cap(
                c, rx, [](int) { return 13; }, 6, 28);
    }
}

void drawEyes(IndexedImage& image, const Look& look) {
    if (look.eyes == 0) stamp(image, 14, 17, {".111", "1bc1", ".bc."});
    if (look.eyes == 1) stamp(image, 14, 17, {".111", "1bc1", "1bcc", ".22."});
    if (look.eyes == 2) stamp(image, 14, 17, {"1111", ".bc1"});
    if (look.angry) {
        stamp(image, 14, 14, {"55..", "..55"});
    } else {
        stamp(image, 14, 15, {"555."});
    }
}

void drawMouth(IndexedImage& image, const Look& look) {
    stamp(image, 21, 22, {"2", "2"}, false);
    stamp(image, 20, 24, {"2"}, false);
    if (look.beard) return stamp(image, 18, 27, {"dd"});
    if (look.mouth == 0) stamp(image, 18, 26, {"dd"});
    if (look.mouth == 1) stamp(image, 17, 25, {"2...", ".ddd"});
    if (look.mouth == 2) stamp(image, 18, 25, {"dd", "11", ".d"});
    if (look.blush) stamp(image, 13, 23, {"d"});
}

void drawTrinkets(IndexedImage& image, const Look& look) {
    stamp(image, 18, 34, {"11", "1f", "1e", "11"});
    if (look.earrings) stamp(image, 10, 23, {"f", "e"});
    if (look.hair == Hair::Helmet) stamp(image, 14, 7, {"b"}, false);
    if (!look.eyepatch) return;
    stamp(image, 22, 16, {"11111", "11e11", "11111", ".111."}, false);
    for (int x = 12; x <= 21; ++x)
        image.setPixel(x, 12 + (x - 12) / 3, kLine);
    for (int x = 27; x <= 29; ++x)
        image.setPixel(x, 43 - x, kLine);
}

void paintBackdrop(IndexedImage& image, int backdrop) {
    if (backdrop == 0) return;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (image.getPixel(x, y) != 0) continue;
            const int d2 = (x - 20) * (x - 20) + (y - 17) * (y - 17);
            const bool odd = (x + y) % 2 == 1;
            bool light = false;
            if (backdrop == 1) light = (x + y) / 3 % 4 == 0;
            if (backdrop == 2) light = d2 < 256 || (d2 < 324 && odd);
            if (backdrop == 3) light = y < 12 || (y < 24 && odd);
            image.setPixel(x, y, light ? 15 : 14);
        }
    }
}

DemoPortrait drawPortrait(int index) {
    const Look look = lookOf(index);
    Canvas canvas;
    drawBack(canvas, look);
    drawBody(canvas, look);
    drawHead(canvas, look);
    drawHair(canvas, look);
    DemoPortrait portrait{render(canvas), kPaletteOfPortrait[static_cast<std::size_t>(index)]};
    IndexedImage& image = portrait.picture;
    drawEyes(image, look);
    drawMouth(image, look);
    drawTrinkets(image, look);
    paintBackdrop(image, look.backdrop);
    const auto colours = portraitPalette(portrait.paletteIndex);
    for (std::size_t i = 0; i < colours.size(); ++i)
        image.setPaletteEntry(static_cast<int>(i), colours[i], false);
    return portrait;
}

const std::vector<DemoPortrait>& portraits() {
    static const std::vector<DemoPortrait> all = [] {
        std::vector<DemoPortrait> list;
        for (int index = 0; index < kDemoPortraitCount; ++index)
            list.push_back(drawPortrait(index));
        return list;
    }();
    return all;
}

std::span<std::uint8_t> romBytes(std::vector<std::uint8_t>& rom, std::uint32_t romOffset,
                                 std::size_t count) {
    return std::span(rom).subspan(kCopierHeaderSize + romOffset, count);
}

}  // namespace

DemoPortrait demoPortrait(int index) {
    if (index < 0 || index >= kDemoPortraitCount) return {};
    return portraits()[static_cast<std::size_t>(index)];
}

void addDemoPortraits(std::vector<std::uint8_t>& romFile, bool foreign) {
    if (romFile.size() < kCopierHeaderSize + kExpandedRomSize) {
        romFile.resize(kCopierHeaderSize + kExpandedRomSize, 0);
    }
    for (int index = 0; index < kDemoPortraitCount; ++index) {
        const IndexedImage& picture = portraits()[static_cast<std::size_t>(index)].picture;
        const std::uint32_t base =
            kGraphicsOffset + kPortraitBytes * static_cast<std::uint32_t>(index);
        for (std::size_t t = 0; t < kTileCells.size(); ++t) {
            encodeTile(picture, kTileCells[t][0], kTileCells[t][1],
                       romBytes(romFile, base + static_cast<std::uint32_t>(32 * t), 32),
                       TileDepth::Colours16);
        }
        const std::uint32_t entry = index < 18
                                        ? kPaletteIndexOffset + static_cast<std::uint32_t>(index)
                                        : kLastPaletteIndexOffset;
        romBytes(romFile, entry, 1)[0] =
            foreign && index == kDemoForeignHighIndexPortrait
                ? kDemoForeignPortraitIndexByte
                : static_cast<std::uint8_t>(kPaletteOfPortrait[static_cast<std::size_t>(index)]);
    }
    std::copy(kDemoPortraitForeignBytes.begin(), kDemoPortraitForeignBytes.end(),
              romBytes(romFile, kPaletteIndexOffset + 18, 2).begin());
    for (int p = 0; p < kDemoPortraitPaletteCount; ++p) {
        const auto colours = portraitPalette(p);
        auto out = romBytes(romFile, kPalettesOffset + 32 * static_cast<std::uint32_t>(p), 32);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const SnesColour word = rgbToSnes(colours[i]);
            const bool flagged =
                foreign && demoForeignFlagsPortraitColour(16 * p + static_cast<int>(i));
            out[2 * i] = word.low;
            out[2 * i + 1] =
                static_cast<std::uint8_t>(word.high | (flagged ? kDemoForeignColourFlag >> 8 : 0));
        }
    }
}

}  // namespace morvik

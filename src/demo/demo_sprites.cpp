#include "demo/demo_sprites.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <map>
#include <span>

#include "demo/demo_foreign.h"
#include "demo/demo_random.h"
#include "demo/demo_support.h"
#include "gfx/colour.h"
#include "gfx/indexed_image.h"
#include "gfx/tile_codec.h"
#include "rom/rom_layout.h"

namespace morvik {
namespace {

using demo::hsv;
using demo::put;
using demo::putByte;
using demo::putWord;
using demo::rgb8;

constexpr std::uint32_t kGraphicsBlockOffset = 0x150000;
constexpr std::uint32_t kRunBytes = 32 * kDemoSpriteTileCount;
constexpr std::uint32_t kAddressLowOffset = 0x00D0F2;
constexpr std::uint32_t kAddressBankOffset = 0x00D23C;
constexpr std::uint32_t kFrameMapOffset = 0x00CE3A;
constexpr std::uint32_t kPalettesOffset = 0x268000;
constexpr std::uint32_t kPaletteCopyOffset = 0x2D6300;
constexpr int kPaletteCopyCount = 6;
constexpr std::uint32_t kPaletteByteOffset = 0x2CE2B;
constexpr int kWidth = 16, kHeight = 24, kPixels = kWidth * kHeight;
constexpr int kCellsPerFrame = 6;

// Characters share palettes, and character 14 names palette 9.
constexpr std::array<int, kDemoCharacterCount> kPaletteByte = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1,
                                                               2, 3, 4, 9, 5, 6, 7, 8, 2, 3, 0};
static_assert(kPaletteByte[kDemoOutOfRangePaletteCharacter] == 9);

// Runs follow each other, with a 64-byte gap after every fourth, so a reader
// that assumes back-to-back runs instead of following the pointers is caught.
constexpr std::uint32_t runOffset(int character) {
    const auto c = static_cast<std::uint32_t>(character);
    return kGraphicsBlockOffset + kRunBytes * c + 64 * (c / 4);
}
static_assert(runOffset(kDemoCharacterCount) <= kGraphicsBlockOffset + 0x35000);

// ---------------------------------------------------------------------------
// Palettes. The roles are fixed so that characters can share palettes: 1
// outline, 2-4 hair, 5-6 skin, 7 eyes, 8-10 clothes, 11-12 trousers, 13 boots,
// 14-15 trim and jewellery.

std::array<PaletteColour, 16> spritePalette(int index) {
    Rng rng(0x737072706C740000ull + static_cast<std::uint64_t>(index));
    static constexpr std::array<std::array<int, 2>, 5> kSkin = {
        {{24, 248}, {20, 216}, {18, 176}, {16, 136}, {30, 240}}};
    const auto& skin = kSkin[static_cast<std::size_t>(index * 3 % 5)];
    const int hair = rng.range(0, 359), hairSat = index % 7 == 5 ? 24 : rng.range(100, 220);
    const int cloth = rng.range(0, 359), pants = (cloth + rng.range(90, 270)) % 360;
    const int trim = rng.range(30, 60), eyes = rng.range(180, 260);
    return {rgb8(0, 0, 0),
            rgb8(24, 16, 32),
            hsv(hair, hairSat + 30, 96),
            hsv(hair, hairSat, 168),
            hsv(hair + 12, hairSat - 60, 232),
            hsv(skin[0] - 4, 150, skin[1] - 56),
            hsv(skin[0], 110, skin[1]),
            hsv(eyes, 180, 112),
            hsv(cloth, 200, 104),
            hsv(cloth, 170, 176),
            hsv(cloth + 10, 110, 240),
            hsv(pants, 120, 80),
            hsv(pants, 90, 144),
            hsv(20, 140, 88),
            hsv(trim, 210, 192),
            hsv(trim + 10, 80, 248)};
}

// ---------------------------------------------------------------------------
// Drawing a frame: shapes in painter's order, each outlined where it meets the
// background or passes behind a later shape, then the eyes and mouth on top.

enum class Mat : std::uint8_t { None, Hair, Skin, Cloth, Pants, Boots, Trim, Cape };
constexpr std::array<std::array<std::uint8_t, 3>, 8> kRamps = {{{0, 0, 0},
                                                                {2, 3, 4},
                                                                {5, 6, 6},
                                                                {8, 9, 10},
                                                                {11, 12, 12},
                                                                {13, 13, 13},
                                                                {14, 14, 15},
                                                                {8, 8, 9}}};
constexpr std::uint8_t kLine = 1, kEye = 7;

using Frame = std::array<std::uint8_t, kPixels>;

struct Canvas {
    std::array<Mat, kPixels> mat{};
    std::array<std::uint8_t, kPixels> shade{};
    std::array<std::uint8_t, kPixels> group{};
    int groups = 0;
    static std::size_t at(int x, int y) { return static_cast<std::size_t>(y * kWidth + x); }
    void set(int x, int y, Mat m, int s, int g) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
        mat[at(x, y)] = m;
        shade[at(x, y)] = static_cast<std::uint8_t>(s);
        group[at(x, y)] = static_cast<std::uint8_t>(g);
    }
    int next(bool merge) { return merge ? groups : ++groups; }
};

struct Point {
    int x, y;
};

// Left column lit, right column shaded; `dark` shades the whole rectangle, for
// the far leg in a side view.
void rect(Canvas& c, Mat m, int x0, int y0, int x1, int y1, bool merge = false, bool dark = false) {
    const int g = c.next(merge);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            c.set(x, y, m, dark || (x == x1 && x1 > x0) ? 0 : x == x0 && x1 > x0 + 1 ? 2 : 1, g);
    }
}

// Centre and radii in half pixels; keep(x, y) trims the oval.
template <class Keep>
void oval(Canvas& c, Mat m, int cx, int cy, int rx, int ry, Keep keep, bool merge = false) {
    const int g = c.next(merge);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int nx = (2 * x + 1 - cx) * 256 / rx, ny = (2 * y + 1 - cy) * 256 / ry;
            if (nx * nx + ny * ny > 65536 || !keep(x, y)) continue;
            const int s = nx + ny;
            c.set(x, y, m, s < -160 ? 2 : s > 140 ? 0 : 1, g);
        }
    }
}
void oval(Canvas& c, Mat m, int cx, int cy, int rx, int ry, bool merge = false) {
    oval(
        c, m, cx, cy, rx, ry, [](int, int) { return true; }, merge);
}

// A sleeve two pixels thick from the shoulder to the hand, which is skin.
void arm(Canvas& c, Point shoulder, Point hand, const Point* elbow = nullptr) {
    const int g = c.next(false);
    const auto segment = [&](Point a, Point b) {
        const int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        for (int i = 0; i <= steps; ++i) {
            const int x = a.x + (steps == 0 ? 0 : (b.x - a.x) * i / steps);
            const int y = a.y + (steps == 0 ? 0 : (b.y - a.y) * i / steps);
            for (int k = 0; k < 4; ++k)
                c.set(x + k % 2, y + k / 2, Mat::Cloth, k % 2 == 0 ? 1 : 0, g);
        }
    };
    if (elbow != nullptr) {
        segment(shoulder, *elbow);
        segment(*elbow, hand);
    } else {
        segment(shoulder, hand);
    }
    rect(c, Mat::Skin, hand.x, hand.y, hand.x + 1, hand.y + 1, true);
}

Frame render(const Canvas& c) {
    static constexpr std::array<Point, 4> kNeighbours = {{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
    Frame frame{};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t i = Canvas::at(x, y);
            bool line = false;
            for (const Point& d : kNeighbours) {
                const int nx = x + d.x, ny = y + d.y;
                if (nx < 0 || ny < 0 || nx >= kWidth || ny >= kHeight) continue;
                const std::size_t j = Canvas::at(nx, ny);
                if (c.mat[j] == Mat::None) continue;
                line = line || c.mat[i] == Mat::None || c.group[j] > c.group[i];
            }
            frame[i] = line ? kLine : kRamps[static_cast<std::size_t>(c.mat[i])][c.shade[i]];
        }
    }
    return frame;
}

// ---------------------------------------------------------------------------
// The figure: head at rows 1-12, body at 13-18, legs at 19-22. Side views face
// left; the game mirrors them for the right.

enum class Facing : std::uint8_t { Front, Back, Side };
enum class Face : std::uint8_t { Plain, Closed, Shout, Hurt };
enum class Arms : std::uint8_t { Down, SwingA, SwingB, Up, Raise, Out, Forward, Hips };
enum class Legs : std::uint8_t { Stand, StepA, StepB, Kneel, Wide };
enum class Hair : std::uint8_t { Short, Long, Spiky, Ponytail, Hat, Hood, Band };

struct Pose {
    Facing facing;
    Face face;
    Arms arms;
    Legs legs;
};

struct Build {
    Hair hair;
    bool robe;
    bool cape;
    bool pads;
};

Build buildOf(int character) {
    return {static_cast<Hair>(character % 7), character % 5 == 3, character % 4 == 1,
            character % 6 == 2 && character % 5 != 3};
}

// Standing and walking in three directions first, then the gestures.
constexpr Facing F = Facing::Front, B = Facing::Back, S = Facing::Side;
constexpr std::array<Pose, kDemoSpriteFrameCount> kPoses = {{
    {F, Face::Plain, Arms::Down, Legs::Stand},    {F, Face::Plain, Arms::SwingA, Legs::StepA},
    {F, Face::Plain, Arms::SwingB, Legs::StepB},  {B, Face::Plain, Arms::Down, Legs::Stand},
    {B, Face::Plain, Arms::SwingA, Legs::StepA},  {B, Face::Plain, Arms::SwingB, Legs::StepB},
    {S, Face::Plain, Arms::Down, Legs::Stand},    {S, Face::Plain, Arms::SwingA, Legs::StepA},
    {S, Face::Plain, Arms::SwingB, Legs::StepB},  {F, Face::Closed, Arms::Up, Legs::Stand},
    {F, Face::Closed, Arms::Up, Legs::Wide},      {F, Face::Plain, Arms::Raise, Legs::Stand},
    {F, Face::Hurt, Arms::Down, Legs::Kneel},     {F, Face::Shout, Arms::Out, Legs::Wide},
    {F, Face::Closed, Arms::Down, Legs::Stand},   {F, Face::Plain, Arms::Hips, Legs::Stand},
    {S, Face::Plain, Arms::Forward, Legs::Stand}, {S, Face::Shout, Arms::Forward, Legs::StepA},
    {S, Face::Shout, Arms::Forward, Legs::Wide},  {S, Face::Closed, Arms::Down, Legs::Stand},
    {S, Face::Plain, Arms::Up, Legs::Stand},      {B, Face::Plain, Arms::Up, Legs::Stand},
    {B, Face::Plain, Arms::Out, Legs::Stand},     {F, Face::Hurt, Arms::Down, Legs::Stand},
    {F, Face::Shout, Arms::Up, Legs::Stand},      {S, Face::Hurt, Arms::Down, Legs::Kneel},
    {F, Face::Plain, Arms::Out, Legs::Stand},     {F, Face::Closed, Arms::Hips, Legs::Stand},
    {B, Face::Plain, Arms::Raise, Legs::Stand},   {S, Face::Plain, Arms::Hips, Legs::Stand},
    {F, Face::Plain, Arms::Forward, Legs::Stand}, {F, Face::Shout, Arms::Forward, Legs::Wide},
    {F, Face::Plain, Arms::Down, Legs::Kneel},    {B, Face::Plain, Arms::Down, Legs::Kneel},
    {S, Face::Plain, Arms::SwingA, Legs::Stand},  {F, Face::Plain, Arms::SwingA, Legs::Stand},
    {F, Face::Plain, Arms::SwingB, Legs::Stand},  {F, Face::Closed, Arms::Raise, Legs::Stand},
    {B, Face::Plain, Arms::Hips, Legs::Stand},    {F, Face::Plain, Arms::Down, Legs::Stand},
}};

// A leg: trousers from row 19 down to the boot, which is three pixels wide.
void leg(Canvas& c, int x, int bootTop, int bootX, bool dark = false) {
    if (bootTop > 19) rect(c, Mat::Pants, x, 19, x + 2, bootTop - 1, false, dark);
    rect(c, Mat::Boots, bootX, bootTop, bootX + 2, std::min(22, bootTop + 1), false, dark);
}

void drawLegs(Canvas& c, Facing facing, Legs legs) {
    if (facing != Facing::Side) {
        const bool liftLeft = legs == Legs::StepA, liftRight = legs == Legs::StepB;
        const int spread = legs == Legs::Wide ? 1 : 0;
        leg(c, 5 - spread, liftLeft ? 20 : 21, 5 - 2 * spread);
        if (legs == Legs::Kneel) return rect(c, Mat::Pants, 8, 19, 11, 21);
        return leg(c, 8 + spread, liftRight ? 20 : 21, 8 + 2 * spread);
    }
    switch (legs) {
        case Legs::Stand:
            leg(c, 7, 21, 7, true);
            return leg(c, 6, 21, 5);
        case Legs::StepA:
            leg(c, 9, 21, 9, true);
            return leg(c, 4, 21, 3);
        case Legs::StepB:
            leg(c, 4, 21, 3, true);
            return leg(c, 9, 21, 9);
        case Legs::Wide:
            leg(c, 10, 21, 10, true);
            return leg(c, 3, 21, 2);
        case Legs::Kneel:
            rect(c, Mat::Pants, 8, 20, 11, 21, false, true);
            rect(c, Mat::Boots, 11, 22, 12, 22, true, true);
            return leg(c, 4, 21, 3);
    }
}

void drawTorso(Canvas& c, const Build& build, Facing facing) {
    const bool side = facing == Facing::Side;
    const int left = side ? 5 : 4, right = side ? 10 : 11;
    if (build.cape && facing != Facing::Back) {
        rect(c, Mat::Cape, side ? 9 : 3, 13, side ? 12 : 12, 20);
    }
    rect(c, Mat::Cloth, left, 13, right, build.robe ? 20 : 18);
    rect(c, Mat::Trim, left, build.robe ? 16 : 17, right, build.robe ? 16 : 17, true);
    if (build.cape && facing == Facing::Back) rect(c, Mat::Cape, 3, 13, 12, 20);
    if (build.pads && !side) {
        oval(c, Mat::Trim, 7, 27, 5, 4);
        oval(c, Mat::Trim, 25, 27, 5, 4, true);
    }
}

void drawArms(Canvas& c, Facing facing, Arms arms) {
    if (facing == Facing::Side) {
        static constexpr std::array<Point, 8> kHands = {
            {{7, 17}, {4, 16}, {10, 16}, {5, 4}, {5, 4}, {2, 13}, {2, 14}, {9, 17}}};
        const Point elbow{10, 15};
        const auto i = static_cast<std::size_t>(arms);
        return arm(c, {7, 13}, kHands[i], arms == Arms::Hips ? &elbow : nullptr);
    }
    static constexpr std::array<Point, 8> kLeft = {
        {{2, 17}, {3, 16}, {2, 17}, {0, 5}, {2, 17}, {0, 13}, {5, 16}, {3, 16}}};
    static constexpr std::array<Point, 8> kRight = {
        {{12, 17}, {12, 17}, {11, 16}, {14, 5}, {14, 5}, {14, 13}, {9, 16}, {11, 16}}};
    const auto i = static_cast<std::size_t>(arms);
    const Point elbows[2] = {{0, 15}, {14, 15}};
    const bool hips = arms == Arms::Hips;
    arm(c, {2, 13}, kLeft[i], hips ? &elbows[0] : nullptr);
    arm(c, {12, 13}, kRight[i], hips ? &elbows[1] : nullptr);
}

// Hair that hangs behind the body, drawn before everything else.
void drawHairBehind(Canvas& c, Hair hair, Facing facing) {
    const bool side = facing == Facing::Side;
    if (hair == Hair::Long) rect(c, Mat::Hair, side ? 8 : 2, 6, side ? 12 : 13, 15);
    if (hair == Hair::Ponytail && facing != Facing::Back) oval(c, Mat::Hair, 28, 16, 6, 10);
}

// The hair over the head, down to a hairline and, at the temples, down to sideBottom.
template <class Hairline>
void cap(Canvas& c, Facing facing, Hairline hairline, int sideBottom) {
    oval(c, Mat::Hair, 16, 13, 15, 13, [&](int x, int y) {
        if (y <= hairline(x)) return true;
        if (facing == Facing::Side) return x >= 9 && y <= sideBottom;
        return std::abs(2 * x + 1 - kWidth) >= 9 && y <= sideBottom;
    });
}

void drawHeadwear(Canvas& c, Hair hair, Facing facing) {
    const bool side = facing == Facing::Side;
    if (hair == Hair::Hat) {
        cap(
            c, facing, [](int) { return 5; }, 7);
        oval(c, Mat::Trim, 16, 6, 9, 7);
        return rect(c, Mat::Trim, 0, 4, side ? 14 : 15, 5);
    }
    if (hair == Hair::Hood) {
        if (facing == Facing::Back) return oval(c, Mat::Cloth, 16, 14, 14, 13);
        oval(c, Mat::Cloth, 16, 14, 14, 13);
        oval(c, Mat::Skin, side ? 11 : 16, 17, side ? 8 : 9, 8);
        return rect(c, Mat::Hair, side ? 2 : 5, 5, side ? 6 : 10, 5, true);
    }
    rect(c, Mat::Trim, 2, 4, 13, 4);
    rect(c, Mat::Hair, side ? 12 : 2, 5, side ? 13 : 2, 8);
    if (!side) rect(c, Mat::Hair, 13, 5, 13, 8, true);
}

void drawHead(Canvas& c, Hair hair, Facing facing) {
    oval(c, facing == Facing::Back ? Mat::Hair : Mat::Skin, 16, 14, 13, 12);
    switch (hair) {
        case Hair::Short:
            return cap(
                c, facing, [](int x) { return 4 + (x % 3 == 0); }, 8);
        case Hair::Long:
            return cap(
                c, facing, [](int) { return 4; }, 11);
        case Hair::Spiky:
            cap(
                c, facing, [](int x) { return 4 + x % 2; }, 8);
            rect(c, Mat::Hair, 0, 3, 1, 4, true);
            rect(c, Mat::Hair, 14, 3, 15, 4, true);
            return rect(c, Mat::Hair, 7, 0, 8, 0, true);
        case Hair::Ponytail:
            cap(
                c, facing, [](int) { return 4; }, 8);
            if (facing == Facing::Back) rect(c, Mat::Hair, 7, 9, 8, 15);
            return;
        default:
            return drawHeadwear(c, hair, facing);
    }
}

void put(Frame& frame, int x, int y, std::uint8_t value) {
    frame[Canvas::at(x, y)] = value;
}

// Eyes on row 8-10 and the mouth on row 11: the expression lives in the middle
// row of tiles only, so frames that differ in it still share their top tiles.
void drawFace(Frame& frame, Face face, Facing facing) {
    if (facing == Facing::Back) return;
    const bool side = facing == Facing::Side;
    const std::array<int, 2> eyes = {side ? 3 : 5, side ? 3 : 10};
    for (std::size_t i = 0; i < (side ? 1u : 2u); ++i) {
        const int x = eyes[i], out = i == 0 ? -1 : 1;
        if (face == Face::Plain || face == Face::Shout) {
            put(frame, x, 8, kEye);
            put(frame, x, 9, kEye);
        } else if (face == Face::Closed) {
            put(frame, x, 9, kLine);
            put(frame, x + out, 9, kLine);
        } else {
            put(frame, x + out, 8, kLine);
            put(frame, x, 9, kLine);
            put(frame, x + out, 10, kLine);
        }
    }
    if (face == Face::Shout) {
        put(frame, side ? 2 : 7, 11, kLine);
        if (!side) put(frame, 8, 11, kLine);
    }
}

Frame drawFrame(const Build& build, const Pose& pose) {
    Canvas canvas;
    drawHairBehind(canvas, build.hair, pose.facing);
    drawLegs(canvas, pose.facing, pose.legs);
    drawTorso(canvas, build, pose.facing);
    // Raised hands go in front of the head, lowered ones behind it.
    const bool raised = pose.arms == Arms::Up || pose.arms == Arms::Raise;
    if (!raised) drawArms(canvas, pose.facing, pose.arms);
    drawHead(canvas, build.hair, pose.facing);
    if (raised) drawArms(canvas, pose.facing, pose.arms);
    Frame frame = render(canvas);
    drawFace(frame, pose.face, pose.facing);
    return frame;
}

// ---------------------------------------------------------------------------
// The sheet: every frame of every character cut into tiles. Cells that look
// the same for all characters become one tile, the way a hand-made sheet
// reuses heads and legs; the tile numbers no frame uses are spread through the run.

TilePixels cut(const Frame& frame, int column, int row) {
    TilePixels tile{};
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            tile[static_cast<std::size_t>(y * kTileSize + x)] =
                frame[Canvas::at(column * kTileSize + x, row * kTileSize + y)];
        }
    }
    return tile;
}

// A framed checkerboard, different for every tile and character and never 0.
TilePixels filler(int tile, int character) {
    TilePixels pixels{};
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const bool border = x == 0 || y == 0 || x == 7 || y == 7;
            const int value = border ? 1 : (x + y) % 2 == 1 ? 14 : 2 + (tile + character) % 12;
            pixels[static_cast<std::size_t>(y * kTileSize + x)] = static_cast<std::uint8_t>(value);
        }
    }
    return pixels;
}

struct Sheet {
    std::vector<std::uint16_t> frameMap;
    std::vector<DemoCharacter> characters;
};

// Every frame of every character, cut into its six cells.
std::vector<std::vector<TilePixels>> drawCells() {
    std::vector<std::vector<TilePixels>> cells(kDemoCharacterCount);
    for (int c = 0; c < kDemoCharacterCount; ++c) {
        const Build build = buildOf(c);
        for (const Pose& pose : kPoses) {
            const Frame frame = drawFrame(build, pose);
            for (int cell = 0; cell < kCellsPerFrame; ++cell)
                cells[static_cast<std::size_t>(c)].push_back(cut(frame, cell % 2, cell / 2));
        }
    }
    return cells;
}

Sheet buildSheet() {
    const auto cells = drawCells();
    const std::size_t cellCount = cells.front().size();
    std::map<std::vector<std::uint8_t>, int> ids;
    std::vector<int> idOfCell;
    for (std::size_t cell = 0; cell < cellCount; ++cell) {
        std::vector<std::uint8_t> key;
        for (const auto& own : cells)
            key.insert(key.end(), own[cell].begin(), own[cell].end());
        idOfCell.push_back(ids.emplace(std::move(key), static_cast<int>(ids.size())).first->second);
    }
    const int used = static_cast<int>(ids.size()), spare = kDemoSpriteTileCount - used;
    Sheet sheet;
    for (const int id : idOfCell)
        sheet.frameMap.push_back(static_cast<std::uint16_t>(32 * (id + id * spare / used)));
    for (int c = 0; c < kDemoCharacterCount; ++c) {
        DemoCharacter character{{}, kPaletteByte[static_cast<std::size_t>(c)], runOffset(c)};
        for (int t = 0; t < kDemoSpriteTileCount; ++t)
            character.tiles.push_back(filler(t, c));
        for (std::size_t cell = 0; cell < cellCount; ++cell)
            character.tiles[sheet.frameMap[cell] / 32u] = cells[static_cast<std::size_t>(c)][cell];
        sheet.characters.push_back(std::move(character));
    }
    return sheet;
}

const Sheet& sheet() {
    static const Sheet instance = buildSheet();
    return instance;
}

std::span<std::uint8_t> romBytes(std::vector<std::uint8_t>& rom, std::uint32_t romOffset,
                                 std::size_t count) {
    return std::span(rom).subspan(kCopierHeaderSize + romOffset, count);
}

// Another tool sets the ignored bit 15 on some colours and lets a few colours
// of the second copy drift from the main table.
void writePalettes(std::vector<std::uint8_t>& rom, bool foreign) {
    const auto flag = [foreign](bool set) { return foreign && set ? kDemoForeignColourFlag : 0u; };
    const auto drifted = [](int colour) {
        return std::find(kDemoForeignDriftedCopyColours.begin(),
                         kDemoForeignDriftedCopyColours.end(),
                         colour) != kDemoForeignDriftedCopyColours.end();
    };
    for (int p = 0; p < kDemoSpritePaletteCount; ++p) {
        const auto colours = spritePalette(p);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const unsigned word = rgbToSnes(colours[i]).word();
            const int colour = 16 * p + static_cast<int>(i);
            const auto at = static_cast<std::uint32_t>(2 * colour);
            putWord(rom, kPalettesOffset + at, word | flag(demoForeignFlagsSpriteColour(colour)));
            if (p >= kPaletteCopyCount) continue;
            // A drifted colour is one step off in each component.
            const unsigned copy = foreign && drifted(colour) ? word ^ 0x0421u : word;
            putWord(rom, kPaletteCopyOffset + at, copy | flag(demoForeignFlagsCopyColour(colour)));
        }
    }
}

}  // namespace

DemoCharacter demoCharacter(int character) {
    if (character < 0 || character >= kDemoCharacterCount) return {};
    return sheet().characters[static_cast<std::size_t>(character)];
}

std::vector<std::uint16_t> demoFrameTileMap() {
    return sheet().frameMap;
}

void addDemoSprites(std::vector<std::uint8_t>& romFile, bool foreign) {
    if (romFile.size() < kCopierHeaderSize + kExpandedRomSize) {
        romFile.resize(kCopierHeaderSize + kExpandedRomSize, 0);
    }
    IndexedImage cell;
    if (!cell.create(kTileSize, kTileSize)) return;
    for (int c = 0; c < kDemoCharacterCount; ++c) {
        const DemoCharacter& character = sheet().characters[static_cast<std::size_t>(c)];
        const std::uint32_t run = character.graphicsRomOffset;
        for (std::size_t t = 0; t < character.tiles.size(); ++t) {
            cell.placeTile(character.tiles[t], 0, 0);
            encodeTile(cell, 0, 0, romBytes(romFile, run + static_cast<std::uint32_t>(32 * t), 32),
                       TileDepth::Colours16);
        }
        const std::uint32_t address = run + kHiRomBase;
        const auto slot = static_cast<std::uint32_t>(2 * c);
        putWord(romFile, kAddressLowOffset + slot, address & 0xFFFF);
        putWord(romFile, kAddressBankOffset + slot, address >> 16);
        romBytes(romFile, kPaletteByteOffset + static_cast<std::uint32_t>(c), 1)[0] =
            foreign && c == kDemoForeignHighIndexCharacter
                ? kDemoForeignCharacterIndexByte
                : static_cast<std::uint8_t>(character.paletteIndexByte);
    }
    const auto& map = sheet().frameMap;
    for (std::size_t i = 0; i < map.size(); ++i)
        putWord(romFile, kFrameMapOffset + static_cast<std::uint32_t>(2 * i), map[i]);
    writePalettes(romFile, foreign);
}

}  // namespace morvik

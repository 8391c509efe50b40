#include "demo/demo_backgrounds.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <set>
#include <span>
#include <utility>

#include "backgrounds/background_layout.h"
#include "backgrounds/compression.h"
#include "demo/demo_scenery.h"
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

using namespace backgrounds;
using namespace roles;
using SceneColours = std::array<PaletteColour, kSceneColourCount>;

// Free room of the demo ROM: raw graphics sit below the first compressed bank
// (up to 0x260000), compressed graphics from it on (up to 0x2CE000); the tile
// maps follow the palette table within reach of the 16-bit map pointers. The
// demo tests check that everything stays inside.
constexpr std::uint32_t kRawGraphicsStart = 0x186000;
constexpr std::uint32_t kPackedGraphicsStart = 0x280000;
constexpr std::uint32_t kMapsStart = kPalettesOffset + kPalettesBytes;
constexpr int kGraphicsPointerCount = 128;
constexpr int kTileMapPointerBytes = 256;

constexpr int kSmallSetTiles = kSmallSetBytes / kTileBytes;
constexpr int kLargeSetTiles = kLargeSetBytes / kTileBytes;
// A group of backgrounds fills set 1 (small), set 2 (large) and set 3 (small).
constexpr int kSecondSetEnd = kSetStartTiles[1] + kLargeSetTiles;
constexpr int kPoolCapacity = kSecondSetEnd + kSmallSetTiles;

constexpr int kDrawnColumns = kLastDrawnColumn - kFirstDrawnColumn + 1;
constexpr int kDrawnRows = kLastDrawnRow - kFirstDrawnRow + 1;
static_assert(kDrawnColumns * 8 == kSceneWidth && kDrawnRows * 8 == kSceneHeight);
constexpr int kMapCells = kMapColumns * kMapRows;
using TileMap = std::array<std::uint16_t, kMapCells>;

// ---------------------------------------------------------------------------
// Palettes: each theme has a look, each variant a time of day.

struct Look {
    std::uint32_t skyTop, skyHorizon, cloudShade, cloudLight, orb, haze;
    std::uint32_t farDark, farLight, farAccent;
    std::uint32_t nearDark, nearLight, accentDark, accentLight;
};

constexpr std::array<Look, kSceneThemeCount> kLooks = {{
    // plains, forest, desert
    {0x2850C8, 0xB8E0F8, 0x98A8C8, 0xF8F8F8, 0xF8F0A0, 0x88A8D0, 0x204830, 0x98C878, 0xE8E8F0,
     0x183818, 0x98D850, 0x804010, 0xF8D040},
    {0x3868B0, 0xC8E8E0, 0x90A0B8, 0xF0F8F8, 0xF8F8C0, 0x7898B0, 0x0C3020, 0x60A070, 0x385030,
     0x082010, 0x50A840, 0x402810, 0xA87040},
    {0x3870D0, 0xF0E0B0, 0xC0B8C0, 0xF8F8F0, 0xF8F8E0, 0xC0A890, 0x703820, 0xE8A068, 0xF8D098,
     0x906028, 0xF8E0A0, 0x286018, 0x80B048},
    // coast, cave, castle
    {0x1848B8, 0xC0E8F8, 0xA0B0C8, 0xF8F8F8, 0xF8F8D0, 0x7890B0, 0x083070, 0x60B0E8, 0xF0F8F8,
     0x806040, 0xF8E8B0, 0x3878C8, 0xF0F8F8},
    {0x100818, 0x604868, 0x302838, 0x706078, 0xC0F0F8, 0x302840, 0x181010, 0x988070, 0x60E0F0,
     0x100C0C, 0x786858, 0x207890, 0x90F0F0},
    {0x304890, 0xE8C8C0, 0xA898B0, 0xF8F0F0, 0xF8E0A0, 0x8878A0, 0x302838, 0xB8B0B8, 0xF8C040,
     0x202818, 0x789858, 0x682820, 0xD87848},
    // snowfield, night, volcano
    {0x4870C0, 0xE0F0F8, 0xB0C0D0, 0xF8F8F8, 0xF8F8E8, 0xA0B8D8, 0x384868, 0xA8B8D0, 0xF8F8F8,
     0x7088A8, 0xF8F8F8, 0x103020, 0x407050},
    {0x000820, 0x304070, 0x202840, 0x686C90, 0xF0F0D0, 0x182040, 0x081020, 0x304060, 0xF8E070,
     0x040808, 0x284030, 0x101810, 0x486048},
    {0x280808, 0xE86820, 0x302020, 0x887068, 0xF8C040, 0x602018, 0x100808, 0x684848, 0xF8A020,
     0x080404, 0x584840, 0xA02000, 0xF8D848},
}};

constexpr SceneMood kDay{256, 0xFFFFFF, 0, 0, false};
constexpr SceneMood kMorning{244, 0xF8C8A0, 70, 30, false};
constexpr SceneMood kDusk{208, 0xE85838, 110, 50, false};
constexpr SceneMood kNight{112, 0x101850, 150, 90, true};
constexpr SceneMood kGrey{196, 0x8890A0, 130, 60, false};
constexpr SceneMood kTwilight{168, 0x704890, 120, 60, true};

constexpr std::array<std::array<SceneMood, kSceneVariantCount>, kSceneThemeCount> kMoods = {{
    {kDay, kMorning, kDusk, kGrey, kNight, kDay},
    {kDay, kMorning, kGrey, kDusk, kTwilight, kDay},
    {kDay, kDusk, kMorning, kNight, kDay, kTwilight},
    {kDay, kDusk, kGrey, kMorning, kNight, kDay},
    {kDay, kTwilight, kGrey, kDusk, kDay, kMorning},
    {kDay, kDusk, kNight, kGrey, kMorning, kTwilight},
    {kDay, kMorning, kGrey, kTwilight, kDay, kNight},
    {kDay, kTwilight, kGrey, kDay, kDusk, kDay},
    {kDay, kDusk, kGrey, kDay, kTwilight, kDay},
}};

}  // namespace

SceneMood sceneMood(int theme, int variant) {
    return kMoods[static_cast<std::size_t>(theme)][static_cast<std::size_t>(variant)];
}

namespace {

PaletteColour hex(std::uint32_t rgb) {
    const auto part = [rgb](int shift) { return static_cast<std::uint8_t>(rgb >> shift & 0xFF); };
    return PaletteColour::fromRgb(part(16), part(8), part(0));
}

// t of 256 of the way from a to b; integer only, so every platform agrees.
PaletteColour mix(PaletteColour a, PaletteColour b, int t) {
    const auto m = [t](int from, int to) {
        return static_cast<std::uint8_t>(from + (to - from) * t / 256);
    };
    return PaletteColour::fromRgb(m(a.red, b.red), m(a.green, b.green), m(a.blue, b.blue));
}

void ramp(SceneColours& colours, int first, int count, std::uint32_t from, std::uint32_t to) {
    for (int i = 0; i < count; ++i)
        colours[static_cast<std::size_t>(first + i)] =
            mix(hex(from), hex(to), 256 * i / (count - 1));
}

void fillBorrowed(SceneColours& c) {
    for (std::size_t i = 0; i < kFarBorrowed.size(); ++i)
        c[kFarBorrowedSlot + i] = c[static_cast<std::size_t>(kFarBorrowed[i])];
    for (std::size_t i = 0; i < kNearBorrowed.size(); ++i)
        c[kNearBorrowedSlot + i] = c[static_cast<std::size_t>(kNearBorrowed[i])];
}

SceneColours moodColours(const Look& look, const SceneMood& mood) {
    SceneColours c{};
    ramp(c, 0, 8, look.skyTop, look.skyHorizon);
    ramp(c, kCloudShade, 3, look.cloudShade, look.cloudLight);
    c[kGlow] = mix(hex(look.orb), hex(look.skyHorizon), 110);
    c[kOrb] = hex(look.orb);
    c[kStarDim] = mix(hex(0xF8F8F8), hex(look.skyTop), 120);
    c[kStarBright] = hex(0xF8F8F0);
    c[kHaze] = hex(look.haze);
    ramp(c, kFar, 8, look.farDark, look.farLight);
    c[kFarAccent] = hex(look.farAccent);
    c[kFarAccentShade] = mix(hex(look.farAccent), hex(look.farDark), 96);
    ramp(c, kNear, 8, look.nearDark, look.nearLight);
    ramp(c, kNearAccent, 3, look.accentDark, look.accentLight);
    for (int role = 0; role < kNear + 11; ++role) {
        if (role >= kFarBorrowedSlot && role < kNear) continue;
        const bool light = role >= kGlow && role <= kStarBright;
        if (light && mood.night) continue;
        PaletteColour& colour = c[static_cast<std::size_t>(role)];
        colour = mix(PaletteColour{}, colour, mood.brightness);
        colour = mix(colour, hex(mood.tint), role < kFar ? mood.skyTint : mood.groundTint);
    }
    fillBorrowed(c);
    return c;
}

SceneColours sceneColours(int theme, int variant) {
    return moodColours(kLooks[static_cast<std::size_t>(theme)], sceneMood(theme, variant));
}

int distance(PaletteColour a, PaletteColour b) {
    const int r = a.red - b.red, g = a.green - b.green, bl = a.blue - b.blue;
    return r * r + g * g + bl * bl;
}

// remap[g][role]: the slot of group g that best shows a role of a group behind
// it, judged on the theme's daylight colours and kept for all its variants, so
// they share tiles. Ties go to the later (borrowed) slots, which copy the role.
using Remap = std::array<std::array<std::uint8_t, kSceneColourCount>, 3>;
Remap sceneryRemap(int theme) {
    const SceneColours colours = sceneColours(theme, 0);
    Remap remap{};
    for (int group = 0; group < 3; ++group) {
        for (int role = 0; role < kSceneColourCount; ++role) {
            int best = 0, bestDistance = -1;
            for (int slot = kSceneGroupColours - 1; slot >= 0; --slot) {
                const int d = distance(colours[static_cast<std::size_t>(role)],
                                       colours[static_cast<std::size_t>(group * 16 + slot)]);
                if (bestDistance < 0 || d < bestDistance) best = slot, bestDistance = d;
            }
            remap[static_cast<std::size_t>(group)][static_cast<std::size_t>(role)] =
                static_cast<std::uint8_t>(role / 16 == group ? role % 16 : best);
        }
    }
    return remap;
}

// Only colours 0, 16 and 32 show in the blank background: sky, mist and ground.
SceneColours fogColours() {
    SceneColours colours = sceneColours(0, 3);
    colours[0] = hex(0xC8D0D8);
    colours[16] = hex(0x98A8A0);
    colours[32] = hex(0x506048);
    return colours;
}

// ---------------------------------------------------------------------------
// Tiles: scenes are cut into cells, each shown in the group of its nearest
// layer, and the cells' tiles are shared, mirrored ones included.

struct CellTile {
    TilePixels pixels{};
    int group = 0;
};
using SceneCells = std::array<CellTile, kDrawnColumns * kDrawnRows>;

SceneCells cutScene(const std::vector<std::uint8_t>& scene, const Remap& remap) {
    SceneCells cells{};
    for (int row = 0; row < kDrawnRows; ++row) {
        for (int column = 0; column < kDrawnColumns; ++column) {
            CellTile& cell = cells[static_cast<std::size_t>(row * kDrawnColumns + column)];
            const auto role = [&](int i) {
                return scene[static_cast<std::size_t>((8 * row + i / 8) * kSceneWidth + 8 * column +
                                                      i % 8)];
            };
            for (int i = 0; i < 64; ++i)
                cell.group = std::max(cell.group, role(i) / kSceneGroupColours);
            const auto& slots = remap[static_cast<std::size_t>(cell.group)];
            for (int i = 0; i < 64; ++i)
                cell.pixels[static_cast<std::size_t>(i)] = slots[role(i)];
        }
    }
    return cells;
}

// Bit 0 of `flips` mirrors left to right, bit 1 top to bottom, as in the map.
TilePixels flipped(TilePixels tile, int flips) {
    if (flips & 1) flipTileHorizontal(tile);
    if (flips & 2) flipTileVertical(tile);
    return tile;
}

TilePixels canonical(const TilePixels& tile) {
    TilePixels best = tile;
    for (int flips = 1; flips < 4; ++flips)
        best = std::min(best, flipped(tile, flips));
    return best;
}

struct Placement {
    int index = 0;
    int flips = 0;
};

class TilePool {
  public:
    int size() const { return static_cast<int>(tiles_.size()); }
    const std::vector<TilePixels>& tiles() const { return tiles_; }

    int missing(const SceneCells& cells) const {
        std::set<TilePixels> fresh;
        for (const CellTile& cell : cells) {
            const TilePixels key = canonical(cell.pixels);
            if (!byCanonical_.contains(key)) fresh.insert(key);
        }
        return static_cast<int>(fresh.size());
    }

    // Callers check `missing` first; a pool that is full anyway answers tile 0.
    Placement intern(const TilePixels& tile) {
        const TilePixels key = canonical(tile);
        const auto found = byCanonical_.find(key);
        if (found == byCanonical_.end()) {
            if (size() >= kPoolCapacity) return {};
            byCanonical_.emplace(key, size());
            tiles_.push_back(tile);
            return {size() - 1, 0};
        }
        const TilePixels& stored = tiles_[static_cast<std::size_t>(found->second)];
        int flips = 0;
        while (flips < 3 && flipped(stored, flips) != tile)
            ++flips;
        return {found->second, flips};
    }

  private:
    std::vector<TilePixels> tiles_;
    std::map<TilePixels, int> byCanonical_;
};

// Pool entries past the large second set skip to the third set's tiles.
int tileNumber(int poolIndex) {
    return poolIndex < kSecondSetEnd ? poolIndex : poolIndex - kSecondSetEnd + kSetStartTiles[2];
}

// The map's 64 bit goes to odd tiles where either encoding works, so maps use
// both ways of reaching tiles 64-319.
std::uint16_t mapWord(int tile, int group, int flips) {
    const int high = tile >= 256 ? 1 : 0, rest = tile - 256 * high;
    const int sixtyFour = rest >= 256 || (rest >= 64 && (tile & 1)) ? 1 : 0;
    const int low = rest - 64 * sixtyFour;
    const int attributes = sixtyFour | high << 1 | (kFirstPaletteField + group) << 2 |
                           (flips & 1) << 6 | (flips >> 1) << 7;
    return static_cast<std::uint16_t>(low | attributes << 8);
}

// Cells outside the drawn part repeat the nearest drawn cell.
TileMap buildMap(const SceneCells& cells, TilePool& pool) {
    std::array<std::uint16_t, kDrawnColumns * kDrawnRows> words{};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Placement placed = pool.intern(cells[i].pixels);
        words[i] = mapWord(tileNumber(placed.index), cells[i].group, placed.flips);
    }
    TileMap map{};
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column) {
            const int r = std::clamp(row, kFirstDrawnRow, kLastDrawnRow) - kFirstDrawnRow;
            const int c =
                std::clamp(column, kFirstDrawnColumn, kLastDrawnColumn) - kFirstDrawnColumn;
            map[static_cast<std::size_t>(row * kMapColumns + column)] =
                words[static_cast<std::size_t>(r * kDrawnColumns + c)];
        }
    }
    return map;
}

// Blank tiles throughout: a blocky skyline of the three groups' first colours.
TileMap blankMap() {
    static constexpr std::array<int, 8> kSkyline = {9, 8, 8, 7, 7, 8, 9, 9};
    TileMap map{};
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column) {
            const int edge = kSkyline[static_cast<std::size_t>(column / 4 % 8)];
            const int group = row < edge ? 0 : row < edge + 4 ? 1 : 2;
            map[static_cast<std::size_t>(row * kMapColumns + column)] = mapWord(0, group, 0);
        }
    }
    return map;
}

// ---------------------------------------------------------------------------
// The catalogue: everything addDemoBackgrounds writes, built once.

struct GraphicsSet {
    std::vector<std::uint8_t> raw;     // 4096 or 8192 bytes of tiles
    std::vector<std::uint8_t> stored;  // raw, or its compressed block
    bool large = false;
    bool compressed = false;
    std::uint32_t romOffset = 0;
};

struct SetGroup {
    TilePool pool;
    std::array<int, 3> sets = {-1, -1, -1};
};

struct Background {
    TileMap map{};
    SceneColours colours{};
    int group = -1;  // none for the blank background
    int palette = 0;
};

struct Catalogue {
    std::array<Background, kBackgroundCount> backgrounds{};
    std::vector<SetGroup> groups;
    std::vector<GraphicsSet> sets;
    std::array<std::vector<std::uint8_t>, kBackgroundCount> maps{};  // compressed blocks
    std::array<std::uint32_t, kBackgroundCount> mapOffsets{};
};

bool rangesMeet(std::uint32_t a, std::uint32_t aLength, std::uint32_t b, std::uint32_t bLength) {
    return a < b + bLength && b < a + aLength;
}

// Palettes 56-63 share their bytes with the pointer tables and are never used.
int paletteOf(int background) {
    std::vector<int> usable;
    for (int p = 0; p < kPaletteCount; ++p) {
        const std::uint32_t at = kPalettesOffset + static_cast<std::uint32_t>(p * 96);
        if (!rangesMeet(at, 96, kGraphicsPointersOffset, 3 * kGraphicsPointerCount) &&
            !rangesMeet(at, 96, kTileMapPointersOffset, kTileMapPointerBytes))
            usable.push_back(p);
    }
    const auto count = static_cast<int>(usable.size());
    return usable[static_cast<std::size_t>((background * 37 + 11) % count)];
}

std::vector<std::uint8_t> encodeSet(const std::vector<TilePixels>& tiles, int first, bool large) {
    const int count = large ? kLargeSetTiles : kSmallSetTiles;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count * kTileBytes), 0);
    IndexedImage cell;
    if (!cell.create(8, 8)) return bytes;
    for (int i = 0; i < count && first + i < static_cast<int>(tiles.size()); ++i) {
        const TilePixels& tile = tiles[static_cast<std::size_t>(first + i)];
        std::copy(tile.begin(), tile.end(), cell.pixels().begin());
        encodeTile(cell, 0, 0, std::span(bytes).subspan(static_cast<std::size_t>(i * kTileBytes)),
                   TileDepth::Colours16);
    }
    return bytes;
}

// Small pools fit one set (a large one past 128 tiles); bigger ones take set 1
// small, set 2 large and, past 384 tiles, set 3. Every other set is compressed.
void addSets(Catalogue& catalogue, SetGroup& group) {
    const int size = group.pool.size();
    struct Slot {
        int first;
        bool large;
    };
    std::vector<Slot> slots;
    if (size <= kSmallSetTiles)
        slots = {{0, false}};
    else if (size <= kLargeSetTiles)
        slots = {{0, true}};
    else
        slots = {{0, false}, {kSetStartTiles[1], true}};
    if (size > kSecondSetEnd) slots.push_back({kSecondSetEnd, false});
    for (std::size_t k = 0; k < slots.size(); ++k) {
        GraphicsSet set;
        set.raw = encodeSet(group.pool.tiles(), slots[k].first, slots[k].large);
        set.large = slots[k].large;
        set.stored = set.raw;
        if (catalogue.sets.size() % 2 == 1) {
            if (auto block = compressBlock(set.raw))
                set.stored = std::move(*block), set.compressed = true;
        }
        group.sets[k] = static_cast<int>(catalogue.sets.size());
        catalogue.sets.push_back(std::move(set));
    }
}

int recordOf(int theme, int variant) {
    const int scene = theme * kSceneVariantCount + variant;
    return scene < kDemoBlankBackground ? scene : scene + 1;
}

void addScenes(Catalogue& catalogue) {
    for (int theme = 0; theme < kSceneThemeCount; ++theme) {
        const Remap remap = sceneryRemap(theme);
        catalogue.groups.emplace_back();
        for (int variant = 0; variant < kSceneVariantCount; ++variant) {
            const SceneCells cells = cutScene(drawScenery(theme, variant), remap);
            if (catalogue.groups.back().pool.size() + catalogue.groups.back().pool.missing(cells) >
                kPoolCapacity)
                catalogue.groups.emplace_back();
            Background& background =
                catalogue.backgrounds[static_cast<std::size_t>(recordOf(theme, variant))];
            background.map = buildMap(cells, catalogue.groups.back().pool);
            background.colours = sceneColours(theme, variant);
            background.group = static_cast<int>(catalogue.groups.size()) - 1;
        }
    }
}

std::vector<std::uint8_t> mapBytes(const TileMap& map) {
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t word : map) {
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

void placeEverything(Catalogue& catalogue) {
    std::uint32_t raw = kRawGraphicsStart, packed = kPackedGraphicsStart;
    for (GraphicsSet& set : catalogue.sets) {
        std::uint32_t& cursor = set.compressed ? packed : raw;
        set.romOffset = cursor;
        cursor += static_cast<std::uint32_t>(set.stored.size());
    }
    std::uint32_t at = kMapsStart;
    for (int n = 0; n < kBackgroundCount; ++n) {
        const auto i = static_cast<std::size_t>(n);
        catalogue.maps[i] = compressBlock(mapBytes(catalogue.backgrounds[i].map))
                                .value_or(std::vector<std::uint8_t>{});
        catalogue.mapOffsets[i] = at;
        at += static_cast<std::uint32_t>(catalogue.maps[i].size());
    }
}

Catalogue buildCatalogue() {
    Catalogue catalogue;
    addScenes(catalogue);
    Background& blank = catalogue.backgrounds[kDemoBlankBackground];
    blank.map = blankMap();
    blank.colours = fogColours();
    for (int n = 0; n < kBackgroundCount; ++n)
        catalogue.backgrounds[static_cast<std::size_t>(n)].palette = paletteOf(n);
    for (SetGroup& group : catalogue.groups)
        addSets(catalogue, group);
    placeEverything(catalogue);
    return catalogue;
}

const Catalogue& catalogue() {
    static const Catalogue instance = buildCatalogue();
    return instance;
}

// ---------------------------------------------------------------------------
// Writing the tables.

std::array<std::uint8_t, 3> setBytes(const Catalogue& catalogue, const Background& background) {
    std::array<std::uint8_t, 3> bytes = {kNoGraphics, kNoGraphics, kNoGraphics};
    if (background.group < 0) return bytes;
    const SetGroup& group = catalogue.groups[static_cast<std::size_t>(background.group)];
    for (std::size_t k = 0; k < 3; ++k) {
        if (group.sets[k] < 0) continue;
        const bool large = catalogue.sets[static_cast<std::size_t>(group.sets[k])].large;
        bytes[k] = static_cast<std::uint8_t>(group.sets[k] | (large ? kLargeSetBit : 0));
    }
    return bytes;
}

void writeRecords(std::vector<std::uint8_t>& rom, const Catalogue& catalogue) {
    for (int n = 0; n < kBackgroundCount; ++n) {
        const Background& background = catalogue.backgrounds[static_cast<std::size_t>(n)];
        const auto sets = setBytes(catalogue, background);
        const std::array<std::uint8_t, kRecordBytes> record = {
            sets[0], sets[1],
            sets[2], static_cast<std::uint8_t>(n),
            0,       static_cast<std::uint8_t>(background.palette)};
        put(rom, kRecordsOffset + static_cast<std::uint32_t>(kRecordBytes * n), record);
    }
}

void writePalettes(std::vector<std::uint8_t>& rom, const Catalogue& catalogue) {
    for (const Background& background : catalogue.backgrounds) {
        const auto bytes = coloursToSnesWords(background.colours);
        put(rom, kPalettesOffset + static_cast<std::uint32_t>(96 * background.palette), bytes);
    }
}

void writePointers(std::vector<std::uint8_t>& rom, const Catalogue& catalogue) {
    for (std::size_t i = 0; i < catalogue.sets.size(); ++i) {
        const std::uint32_t address = catalogue.sets[i].romOffset + kHiRomBase;
        const auto at = kGraphicsPointersOffset + static_cast<std::uint32_t>(3 * i);
        putByte(rom, at, address);
        putByte(rom, at + 1, address >> 8);
        putByte(rom, at + 2, address >> 16);
    }
    for (int n = 0; n < kBackgroundCount; ++n) {
        const std::uint32_t offset =
            catalogue.mapOffsets[static_cast<std::size_t>(n)] - kTileMapBase;
        const auto at = kTileMapPointersOffset + static_cast<std::uint32_t>(2 * n % 256);
        putByte(rom, at, offset);
        putByte(rom, at + 1, offset >> 8);
    }
}

}  // namespace

void addDemoBackgrounds(std::vector<std::uint8_t>& romFile) {
    if (romFile.size() < kCopierHeaderSize + kExpandedRomSize)
        romFile.resize(kCopierHeaderSize + kExpandedRomSize, 0);
    const Catalogue& all = catalogue();
    writeRecords(romFile, all);
    writePalettes(romFile, all);
    for (const GraphicsSet& set : all.sets)
        put(romFile, set.romOffset, set.stored);
    for (int n = 0; n < kBackgroundCount; ++n)
        put(romFile, all.mapOffsets[static_cast<std::size_t>(n)],
            all.maps[static_cast<std::size_t>(n)]);
    // Last: the pointer tables share their bytes with palettes 56-63.
    writePointers(romFile, all);
}

IndexedImage demoBackground(int n) {
    IndexedImage image;
    if (n < 0 || n >= kBackgroundCount || !image.create(kPictureWidth, kPictureHeight))
        return image;
    const Catalogue& all = catalogue();
    const Background& background = all.backgrounds[static_cast<std::size_t>(n)];
    for (int i = 0; i < kSceneColourCount; ++i) {
        image.setPaletteEntry(
            i, snesToRgb(rgbToSnes(background.colours[static_cast<std::size_t>(i)])), false);
    }
    std::vector<TilePixels> buffer(kTileCount, TilePixels{});
    const auto sets = setBytes(all, background);
    for (std::size_t k = 0; k < 3; ++k) {
        if (sets[k] == kNoGraphics) continue;
        const GraphicsSet& set = all.sets[sets[k] & 0x7Fu];
        const int count = static_cast<int>(set.raw.size()) / kTileBytes;
        for (int i = 0; i < count && kSetStartTiles[k] + i < kTileCount; ++i) {
            buffer[static_cast<std::size_t>(kSetStartTiles[k] + i)] =
                decodeTile(std::span(set.raw).subspan(static_cast<std::size_t>(i * kTileBytes)),
                           TileDepth::Colours16);
        }
    }
    for (int row = kFirstDrawnRow; row <= kLastDrawnRow; ++row) {
        for (int column = kFirstDrawnColumn; column <= kLastDrawnColumn; ++column) {
            const std::uint16_t word =
                background.map[static_cast<std::size_t>(row * kMapColumns + column)];
            const int high = word >> 8;
            const int tile = (word & 0xFF) + 64 * (high & 1) + 256 * (high >> 1 & 1);
            TilePixels pixels = flipped(buffer[static_cast<std::size_t>(tile)], high >> 6);
            const int offset = ((high >> 2 & 0x07) - kFirstPaletteField) * kSceneGroupColours;
            for (TilePixels::value_type& p : pixels)
                p = static_cast<std::uint8_t>(p + offset);
            image.placeTile(pixels, column, row);
        }
    }
    return image;
}

}  // namespace morvik

#include "demo/demo_monsters.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <span>
#include <utility>

#include "demo/demo_battle.h"
#include "demo/demo_creatures.h"
#include "demo/demo_foreign.h"
#include "demo/demo_random.h"
#include "demo/demo_support.h"
#include "gfx/colour.h"
#include "rom/monsters/monster_layout.h"
#include "rom/rom_form.h"
#include "rom/rom_layout.h"

namespace morvik {
namespace {

using demo::hsv;
using demo::put;
using demo::putByte;
using demo::putWord;
using demo::rgb8;

using namespace monsters;
using Kind = CreatureKind;

// ---------------------------------------------------------------------------
// Which picture each record shows, and with which palette.

struct PicturePlan {
    Kind kind;
    bool large;
    TileDepth depth;
    bool fillBox;  // marks the empty cells inside the bounding box too
};

// The pictures of the records that the game cannot draw whole (demo_battle.h),
// drawn after all others: a creature moved to the top of its picture with an
// empty row of cells opened at gapRow, or one left where it was drawn.
constexpr int kLeftWhereDrawn = -1;
struct FaultyPlan {
    int record;
    Kind kind;
    TileDepth depth;
    int gapRow;
};
constexpr std::array<FaultyPlan, kDemoFaultyPictureCount> kFaultyPlans = {
    {{kDemoLostRows.record, Kind::Beast, TileDepth::Colours8, kDemoLostRows.emptyRow},
     {kDemoFirstRowEmptyRecord, Kind::Slime, TileDepth::Colours16, kLeftWhereDrawn},
     {kDemoLostRow.record, Kind::Beast, TileDepth::Colours8, kDemoLostRow.emptyRow}}};
constexpr int kFirstFaultyPicture = kDemoMonsterPictureCount + kDemoEsperPictureCount;

PicturePlan picturePlan(int index) {
    constexpr TileDepth k8 = TileDepth::Colours8, k16 = TileDepth::Colours16;
    if (index < kDemoMonsterPictureCount) {
        const int m = index;
        return {static_cast<Kind>((m + m / 8) % 8), m % 12 == 7, (m * 7) % 10 < 4 ? k16 : k8,
                m % 13 == 3};
    }
    if (index >= kFirstFaultyPicture) {
        const FaultyPlan& faulty =
            kFaultyPlans[static_cast<std::size_t>(index - kFirstFaultyPicture)];
        return {faulty.kind, false, faulty.depth, false};
    }
    const int e = index - kDemoMonsterPictureCount;
    const Kind kinds[3] = {Kind::Seraph, Kind::Titan, Kind::Dragon};
    return {kinds[e % 3], e % 2 == 0, e % 4 == 3 ? k8 : k16, e == 5};
}

// Every picture first shows up in order (record r shows picture r), so record 0
// opens the graphics block; later records are palette swaps spread over the list.
// The faulty pictures are their records' own.
int pictureOfRecord(int record) {
    for (std::size_t f = 0; f < kFaultyPlans.size(); ++f) {
        if (kFaultyPlans[f].record == record) return kFirstFaultyPicture + static_cast<int>(f);
    }
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

// Moves the creature up by whole rows of cells until it touches the top row.
void moveToTop(IndexedImage& image) {
    int top = 0;
    const auto emptyRow = [&image](int y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.getPixel(x, y) != 0) return false;
        }
        return true;
    };
    while (top < image.height() && emptyRow(top))
        ++top;
    const int shift = top / kTileSize * kTileSize;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, y + shift < image.height() ? image.getPixel(x, y + shift) : 0);
    }
}

// Moves everything from the row of cells down by one row of cells (what falls
// off the bottom is lost) and outlines both edges of the cut.
void openGap(IndexedImage& image, int row) {
    constexpr std::uint8_t kOutline = 1;
    const int top = row * kTileSize;
    for (int y = image.height() - 1; y >= top; --y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, y - kTileSize >= top ? image.getPixel(x, y - kTileSize) : 0);
    }
    for (const int y : {top - 1, top + kTileSize}) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.getPixel(x, y) != 0) image.setPixel(x, y, kOutline);
        }
    }
}

IndexedImage drawPicture(int index) {
    const PicturePlan plan = picturePlan(index);
    IndexedImage image =
        drawCreature(plan.kind, 0x6D6F6E7374657200ull + static_cast<std::uint64_t>(index),
                     plan.large, plan.depth);
    if (index < kFirstFaultyPicture) {
        moveToTop(image);
        return image;
    }
    const int gapRow = kFaultyPlans[static_cast<std::size_t>(index - kFirstFaultyPicture)].gapRow;
    if (gapRow == kLeftWhereDrawn) return image;
    moveToTop(image);
    openGap(image, gapRow);
    return image;
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
        Picture picture{drawPicture(index), plan.depth, plan.large,
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
// The same graphics as another tool might lay them out.

std::uint32_t pictureBytes(const Catalogue& all, std::size_t picture) {
    const std::size_t next = picture + 1 < all.pictures.size()
                                 ? all.pictures[picture + 1].offset * std::size_t{kGraphicsUnit}
                                 : all.graphics.size();
    return static_cast<std::uint32_t>(next - all.pictures[picture].offset * kGraphicsUnit);
}

struct ForeignGraphics {
    std::vector<std::uint8_t> bytes;  // entries and filled gaps, from the block's start
    std::vector<std::uint16_t> pictureOffsets;
    // The second copies of two pictures, read by the depth pair and the mold pair.
    std::uint16_t depthPairOffset = 0;
    std::uint16_t moldPairOffset = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> gaps;
};

// The last drawn picture first, the pairs' pictures each stored once more right
// behind the first copy, and a short filled gap behind every few entries.
ForeignGraphics buildForeignGraphics(const Catalogue& all) {
    ForeignGraphics out;
    out.pictureOffsets.resize(all.pictures.size());
    const auto place = [&](std::size_t picture) {
        const auto offset = static_cast<std::uint16_t>(out.bytes.size() / kGraphicsUnit);
        const auto from = all.graphics.begin() +
                          static_cast<std::ptrdiff_t>(all.pictures[picture].offset * kGraphicsUnit);
        out.bytes.insert(out.bytes.end(), from, from + pictureBytes(all, picture));
        return offset;
    };
    const auto depthPicture = static_cast<std::size_t>(pictureOfRecord(kDemoForeignDepthPair[0]));
    const auto moldPicture = static_cast<std::size_t>(pictureOfRecord(kDemoForeignMoldPair[0]));
    int placed = 0;
    for (std::size_t picture = all.pictures.size(); picture-- > 0;) {
        out.pictureOffsets[picture] = place(picture);
        if (picture == depthPicture) out.depthPairOffset = place(picture);
        if (picture == moldPicture) out.moldPairOffset = place(picture);
        if (++placed % 23 != 5) continue;
        const auto start = static_cast<std::uint32_t>(out.bytes.size());
        const std::uint32_t length = kGraphicsUnit * static_cast<std::uint32_t>(1 + placed % 4);
        for (std::uint32_t i = 0; i < length; ++i)
            out.bytes.push_back(demoForeignFiller(i));
        out.gaps.emplace_back(start, length);
    }
    return out;
}

const ForeignGraphics& foreignGraphics() {
    static const ForeignGraphics instance = buildForeignGraphics(catalogue());
    return instance;
}

// How a record reads the graphics block.
struct Reading {
    std::uint16_t offset;
    TileDepth depth;
    bool large;
    std::uint8_t mold;
    std::uint8_t spareBits;  // byte 2 bits the game does not use
};

// Another mold of the same size, with as many cells when there is one.
std::uint8_t otherMold(const Catalogue& all, const Reading& reading) {
    const std::vector<Mold>& table = reading.large ? all.largeMolds : all.smallMolds;
    const auto cells = [](const Mold& mold) {
        int count = 0;
        for (std::uint8_t byte : mold)
            count += std::popcount(byte);
        return count;
    };
    const int wanted = cells(table[reading.mold]);
    for (std::size_t m = 0; m < table.size(); ++m) {
        if (m != reading.mold && cells(table[m]) == wanted) return static_cast<std::uint8_t>(m);
    }
    return static_cast<std::uint8_t>((reading.mold + 1) % table.size());
}

Reading readingOf(const Catalogue& all, int record, bool foreign) {
    const auto picture = static_cast<std::size_t>(pictureOfRecord(record));
    const Picture& shown = all.pictures[picture];
    Reading reading{shown.offset, shown.depth, shown.large, shown.mold, 0};
    if (!foreign) return reading;
    const ForeignGraphics& layout = foreignGraphics();
    reading.offset = layout.pictureOffsets[picture];
    const auto in = [record](const std::array<int, 2>& pair) {
        return record == pair[0] || record == pair[1];
    };
    if (in(kDemoForeignDepthPair)) reading.offset = layout.depthPairOffset;
    if (record == kDemoForeignDepthPair[1]) {
        reading.depth =
            reading.depth == TileDepth::Colours8 ? TileDepth::Colours16 : TileDepth::Colours8;
    }
    if (in(kDemoForeignMoldPair)) reading.offset = layout.moldPairOffset;
    if (record == kDemoForeignMoldPair[1]) reading.mold = otherMold(all, reading);
    for (const auto& [spareRecord, bits] : kDemoForeignUnusedBits) {
        if (spareRecord == record) reading.spareBits = bits;
    }
    return reading;
}

// ---------------------------------------------------------------------------
// Writing the tables.

void writeRecords(std::vector<std::uint8_t>& rom, const Catalogue& catalogue, bool foreign) {
    for (int record = 0; record < kRecordCount; ++record) {
        const Reading reading = readingOf(catalogue, record, foreign);
        const int palette = paletteOfRecord(record);
        const bool eight = reading.depth == TileDepth::Colours8;
        const std::array<std::uint8_t, 5> bytes = {
            static_cast<std::uint8_t>(reading.offset & 0xFF),
            static_cast<std::uint8_t>((reading.offset >> 8 & 0x7F) | (eight ? 0x80 : 0)),
            static_cast<std::uint8_t>((palette >> 8 & 0x03) | (reading.large ? 0x80 : 0) |
                                      reading.spareBits),
            static_cast<std::uint8_t>(palette & 0xFF), reading.mold};
        put(rom, kRecordsOffset + 5 * static_cast<std::uint32_t>(record), bytes);
    }
}

void writePalettes(std::vector<std::uint8_t>& rom, bool foreign) {
    for (int index = 0; index < kPaletteCount; ++index) {
        const auto colours = paletteColours(index);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const int word = 8 * index + static_cast<int>(i);
            const bool flagged = foreign && demoForeignFlagsMonsterColour(word);
            putWord(rom, kPalettesOffset + 2 * static_cast<std::uint32_t>(word),
                    rgbToSnes(colours[i]).word() | (flagged ? kDemoForeignColourFlag : 0u));
        }
    }
}

void writeNames(std::vector<std::uint8_t>& rom, const Catalogue& catalogue) {
    for (const Name& name : catalogue.names)
        put(rom, name.romOffset, name.bytes);
}

// Fills ROM bytes [from, to) with the filler another tool keeps in unused room.
void fillForeign(std::vector<std::uint8_t>& rom, std::uint32_t from, std::uint32_t to) {
    std::vector<std::uint8_t> bytes(to > from ? to - from : 0);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = demoForeignFiller(static_cast<std::uint32_t>(i));
    put(rom, from, bytes);
}

// Another tool leaves the room of 128 small molds before the large table, and
// fills what the tables do not use.
void writeMolds(std::vector<std::uint8_t>& rom, const Catalogue& catalogue,
                const MonsterLayout& layout, bool foreign) {
    const std::uint32_t start = layout.moldPointersOffset + 4;
    std::uint32_t at = start;
    putWord(rom, layout.moldPointersOffset, at - layout.moldBankOffset);
    for (const Mold& mold : catalogue.smallMolds) {
        put(rom, at, mold);
        at += static_cast<std::uint32_t>(mold.size());
    }
    if (foreign) {
        const std::uint32_t largeStart = start + kPaddedSmallMoldCount * kSmallMoldBytes;
        fillForeign(rom, at, largeStart);
        at = largeStart;
    }
    putWord(rom, layout.moldPointersOffset + 2, at - layout.moldBankOffset);
    for (const Mold& mold : catalogue.largeMolds) {
        put(rom, at, mold);
        at += static_cast<std::uint32_t>(mold.size());
    }
    if (foreign) fillForeign(rom, at, layout.moldAreaLastByte + 1);
}

void writeGraphics(std::vector<std::uint8_t>& rom, const Catalogue& catalogue,
                   const MonsterLayout& layout, bool foreign) {
    if (!foreign) {
        put(rom, layout.graphicsOffset, catalogue.graphics);
        return;
    }
    const std::vector<std::uint8_t>& bytes = foreignGraphics().bytes;
    put(rom, layout.graphicsOffset, bytes);
    fillForeign(rom, layout.graphicsOffset + static_cast<std::uint32_t>(bytes.size()),
                layout.graphicsOffset + layout.graphicsReadSize);
}

}  // namespace

void addDemoMonsters(std::vector<std::uint8_t>& romFile, const MonsterLayout& layout,
                     bool foreign) {
    if (romFile.size() < kCopierHeaderSize + kExpandedRomSize) {
        romFile.resize(kCopierHeaderSize + kExpandedRomSize, 0);
    }
    const Catalogue& all = catalogue();
    writeRecords(romFile, all, foreign);
    writePalettes(romFile, foreign);
    writeNames(romFile, all);
    writeMolds(romFile, all, layout, foreign);
    writeGraphics(romFile, all, layout, foreign);
    // The game code that tells where the graphics and molds are.
    for (const CodeBytes& code : monsterLayoutCode(layout))
        put(romFile, code.romOffset, code.bytes);
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

BattleSize demoBattleSize(int record) {
    if (record < 0 || record >= kRecordCount) return {};
    const Catalogue& all = catalogue();
    const Picture& picture = all.pictures[static_cast<std::size_t>(pictureOfRecord(record))];
    const auto& packed = (picture.large ? all.largeMolds : all.smallMolds)[picture.mold];
    const int side = moldSide(picture.large);
    std::vector<std::uint8_t> cells(static_cast<std::size_t>(side * side));
    for (int cell = 0; cell < side * side; ++cell)
        cells[static_cast<std::size_t>(cell)] = moldHas(packed, side, cell / side, cell % side);
    return battleSizeOfMold(cells, side);
}

DemoForeignFacts demoForeignFacts() {
    const Catalogue& all = catalogue();
    const ForeignGraphics& graphics = foreignGraphics();
    DemoForeignFacts facts;
    facts.sharedDepthPair = kDemoForeignDepthPair;
    facts.sharedMoldPair = kDemoForeignMoldPair;
    facts.portraitWithHighIndex = kDemoForeignHighIndexPortrait;
    facts.characterWithHighIndex = kDemoForeignHighIndexCharacter;
    for (const auto& [record, bits] : kDemoForeignUnusedBits)
        facts.recordsWithUnusedBits.push_back(record);
    facts.recordWithBlankMarkedCells = kDemoForeignBlankMarkedRecord;
    facts.driftedCopyColours.assign(kDemoForeignDriftedCopyColours.begin(),
                                    kDemoForeignDriftedCopyColours.end());
    facts.graphicsGaps = graphics.gaps;
    facts.graphicsEnd = static_cast<std::uint32_t>(graphics.bytes.size());
    facts.smallMoldCount = static_cast<int>(all.smallMolds.size());
    facts.largeMoldCount = static_cast<int>(all.largeMolds.size());
    return facts;
}

}  // namespace morvik

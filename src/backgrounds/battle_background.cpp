#include "backgrounds/battle_background.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <memory>
#include <optional>

#include "backgrounds/background_layout.h"
#include "backgrounds/compression.h"
#include "gfx/tile_codec.h"
#include "rom/rom_file.h"

namespace morvik {

using namespace backgrounds;

namespace {

constexpr std::size_t kMapBytes = 2 * kMapColumns * kMapRows;

// How many of `count` bytes at a ROM offset the file holds.
std::size_t availableAt(const RomFile& rom, std::uint32_t romOffset, std::size_t count) {
    const std::uint64_t start = rom.fileOffset(romOffset);
    const std::uint64_t available = start < rom.fileSize() ? rom.fileSize() - start : 0;
    return static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
}

// Fills `out` as far as the file reaches; the number of bytes read.
std::size_t readAvailable(const RomFile& rom, std::uint32_t romOffset,
                          std::span<std::uint8_t> out) {
    const std::size_t count = availableAt(rom, romOffset, out.size());
    return rom.read(romOffset, out.first(count)) ? count : 0;
}

// A compressed block as far as the decompressor takes it: its length field
// says how far it reaches, and the file may end first.
std::span<const std::uint8_t> readBlock(const RomFile& rom, std::uint32_t romOffset,
                                        RomBytes& scratch) {
    std::size_t count = availableAt(rom, romOffset, kBlockAreaSize + 2);
    std::array<std::uint8_t, 2> length{};
    if (count >= 2 && rom.read(romOffset, length)) {
        count = std::min<std::size_t>(count, std::max(2, length[0] | length[1] << 8));
    }
    if (!rom.read(romOffset, count, scratch)) scratch.clear();
    return scratch;
}

// The tables every background reads: records, graphics pointers, map pointers
// and palettes.
struct Tables {
    RomBytes records;
    RomBytes graphicsPointers;
    RomBytes mapPointers;
    std::vector<PaletteColour> palettes;

    bool read(const RomFile& rom) {
        RomBytes palettes;
        if (!rom.read(kRecordsOffset, kBackgroundCount * kRecordBytes, records) ||
            !rom.read(kGraphicsPointersOffset, 128 * 3, graphicsPointers) ||
            !rom.read(kTileMapPointersOffset, 256, mapPointers) ||
            !rom.read(kPalettesOffset, kPalettesBytes, palettes)) {
            return false;
        }
        this->palettes = snesWordsToColours(palettes);
        return true;
    }
};

// Decodes the backgrounds of one ROM, one after the other, in buffers they
// share.
class Decoder {
  public:
    Decoder(const RomFile& rom, const Tables& tables) : rom_(rom), tables_(tables) {}
    BattleBackground decode(int n);

  private:
    std::size_t readGraphicsSet(std::uint8_t set, BlockArea& area);
    std::vector<BackgroundCell> decodeTileMap(std::uint8_t map);
    const TilePixels& tile(int t);
    void drawPicture(BattleBackground& background);

    const RomFile& rom_;
    const Tables& tables_;
    RomBytes scratch_;
    // The set bytes of the background decoded last: backgrounds of a group
    // follow one another and share their sets, which are then kept as they are.
    std::optional<std::array<std::uint8_t, 3>> setBytes_;
    // The three graphics sets of the background being decoded, as the ROM
    // holds them (decompressed where they are compressed), and how many bytes
    // of each there are.
    std::array<BlockArea, 3> sets_;
    std::array<std::size_t, 3> lengths_{};
    BlockArea map_;
    // Its 576 tiles, each decoded when a drawn cell first shows it.
    std::array<TilePixels, kTileCount> tiles_;
    std::bitset<kTileCount> decoded_;
};

std::size_t Decoder::readGraphicsSet(std::uint8_t set, BlockArea& area) {
    if (set == kNoGraphics) return 0;
    const std::size_t pointer = 3u * (set & 0x7F);
    const std::uint32_t address = tables_.graphicsPointers[pointer] |
                                  tables_.graphicsPointers[pointer + 1] << 8 |
                                  tables_.graphicsPointers[pointer + 2] << 16;
    const auto romOffset = snesToRomOffset(address);
    if (!romOffset) return 0;
    const std::size_t size = (set & kLargeSetBit) ? kLargeSetBytes : kSmallSetBytes;
    if ((address >> 16) >= kFirstCompressedBank) {
        return std::min(size, decompressBlock(readBlock(rom_, *romOffset, scratch_), area));
    }
    return readAvailable(rom_, *romOffset, std::span(area).first(size));
}

// Tile t comes from the last set that reaches it with the bytes it produced;
// tiles no set reaches stay blank.
const TilePixels& Decoder::tile(int t) {
    if (decoded_[t]) return tiles_[t];
    decoded_[t] = true;
    tiles_[t] = TilePixels{};
    for (int set = 2; set >= 0; --set) {
        if (t < kSetStartTiles[set]) continue;
        const std::size_t at = static_cast<std::size_t>(t - kSetStartTiles[set]) * kTileBytes;
        if (at >= lengths_[set]) continue;
        tiles_[t] =
            decodeTile(std::span(sets_[set])
                           .subspan(at, std::min<std::size_t>(kTileBytes, lengths_[set] - at)),
                       TileDepth::Colours16);
        break;
    }
    return tiles_[t];
}

std::vector<BackgroundCell> Decoder::decodeTileMap(std::uint8_t map) {
    const std::size_t entry = (2u * map) % 256;
    const unsigned offset = tables_.mapPointers[entry] | tables_.mapPointers[entry + 1] << 8;
    const std::size_t produced =
        decompressBlock(readBlock(rom_, kTileMapBase + offset, scratch_), map_);
    // A map cut short leaves its last cells at tile 0, field 0.
    if (produced < kMapBytes) std::fill(map_.begin() + produced, map_.begin() + kMapBytes, 0);
    std::vector<BackgroundCell> cells(kMapColumns * kMapRows);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::uint8_t low = map_[2 * i];
        const std::uint8_t high = map_[2 * i + 1];
        BackgroundCell& cell = cells[i];
        cell.tile = low + ((high & 1) ? 64 : 0) + ((high & 2) ? 256 : 0);
        // As the hardware reads an entry: bits 10-12 the palette, bit 13 the
        // priority, which has nothing to do with colours.
        cell.colourOffset =
            static_cast<std::int8_t>((((high >> 2) & 0x07) - kFirstPaletteField) * 16);
        cell.priority = (high & 0x20) != 0;
        cell.flipHorizontal = (high & 0x40) != 0;
        cell.flipVertical = (high & 0x80) != 0;
    }
    return cells;
}

void Decoder::drawPicture(BattleBackground& background) {
    [[maybe_unused]] const bool created = background.picture.create(kPictureWidth, kPictureHeight);
    for (int k = 0; k < kColoursPerPalette; ++k) {
        background.picture.setPaletteEntry(k, tables_.palettes[background.paletteStart + k], false);
    }
    for (int r = kFirstDrawnRow; r <= kLastDrawnRow; ++r) {
        for (int c = kFirstDrawnColumn; c <= kLastDrawnColumn; ++c) {
            const BackgroundCell& cell = background.cells[r * kMapColumns + c];
            TilePixels tile = this->tile(cell.tile);
            if (cell.flipHorizontal) flipTileHorizontal(tile);
            if (cell.flipVertical) flipTileVertical(tile);
            for (auto& pixel : tile)
                pixel = static_cast<std::uint8_t>(pixel + cell.colourOffset);
            background.picture.placeTile(tile, c, r);
        }
    }
}

BattleBackground Decoder::decode(int n) {
    const std::uint8_t* record = tables_.records.data() + n * kRecordBytes;
    BattleBackground background;
    background.paletteStart = (record[5] & 0x7F) * kColoursPerPalette;
    const std::array<std::uint8_t, 3> setBytes = {record[0], record[1], record[2]};
    if (setBytes != setBytes_) {
        for (int set = 0; set < 3; ++set)
            lengths_[set] = readGraphicsSet(record[set], sets_[set]);
        decoded_.reset();
        setBytes_ = setBytes;
    }
    background.cells = decodeTileMap(record[3]);
    drawPicture(background);
    return background;
}

}  // namespace

RomLoadResult loadBattleBackgrounds(std::vector<BattleBackground>& list,
                                    const std::filesystem::path& path) {
    RomFile rom;
    if (const RomLoadResult opened = openForLoading(rom, path); opened != RomLoadResult::Loaded)
        return opened;
    return loadBattleBackgrounds(list, rom);
}

RomLoadResult loadBattleBackgrounds(std::vector<BattleBackground>& list, const RomFile& rom) {
    Tables tables;
    if (!tables.read(rom)) return RomLoadResult::TooShort;
    // On the heap for its size; its buffers are filled before they are read,
    // and are not zeroed first.
    const auto decoder = std::make_unique<Decoder>(rom, tables);
    std::vector<BattleBackground> decoded;
    decoded.reserve(kBackgroundCount);
    for (int n = 0; n < kBackgroundCount; ++n)
        decoded.push_back(decoder->decode(n));
    list = std::move(decoded);
    return RomLoadResult::Loaded;
}

int countBattleBackgrounds(const RomFile& rom) {
    Tables tables;
    return tables.read(rom) ? kBackgroundCount : 0;
}

}  // namespace morvik

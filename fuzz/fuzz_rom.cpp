// A whole ROM opened as the editor opens it: the file's size and game code tell
// what kind of ROM it is, the three data sets, the battle formations and the
// battle backgrounds load, the battle checks run and a formation is drawn, and
// whatever loaded is saved back into the file and must load again exactly as
// it was saved.
//
// To keep runs quick and deep, the input does not hold the ROM: it damages one
// of the four kinds of demo ROM (built once), mostly where the loaders read.
//   byte 0     bits 0-1: the kind (expanded layout, header); bits 2-4: what
//              becomes of the file's size after the patches (see resize);
//              bit 5: the first open of a run, which also decodes the battle
//              backgrounds; bit 6: the user saves what was loaded
//   byte 1     the background picture chosen (signed: out of range counts as 0)
//   byte 2     the number of 32 KiB banks a cut keeps, less one
//   then patches: table (bit 7: fill), three bytes of offset within the table,
//   a length, and the bytes to write (for a fill, one byte written length * 64
//   times).
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "backgrounds/background_layout.h"
#include "backgrounds/background_pictures.h"
#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "rom/battle/battle_check.h"
#include "rom/monsters/monster_layout.h"
#include "rom/monsters/monster_save.h"
#include "rom/portraits/portrait_layout.h"
#include "rom/rom_checksum.h"
#include "rom/rom_file.h"
#include "rom/rom_form.h"
#include "rom/sprites/sprite_layout.h"
#include "transfer/battle_picture.h"

namespace {

using namespace morvik;
using Bytes = std::vector<std::uint8_t>;

struct Table {
    std::uint32_t offset;
    std::uint32_t length;
};

constexpr std::uint32_t moldArea(const monsters::MonsterLayout& layout) {
    return layout.moldAreaBytes() + 4;  // the two pointers and the molds
}

// Where the loaders read, as ROM offsets; the last entry is the whole image.
constexpr std::array<Table, 27> kTables = {{
    {0x012100, 0xB0},  // the game code that names the monster graphics places
    {monsters::kRecordsOffset, monsters::kRecordCount* monsters::kRecordBytes},
    {monsters::kPalettesOffset, monsters::kPalettesBytes},
    {monsters::kOriginalLayout.moldPointersOffset, moldArea(monsters::kOriginalLayout)},
    {monsters::kExpandedLayout.moldPointersOffset, moldArea(monsters::kExpandedLayout)},
    {monsters::kOriginalLayout.graphicsOffset, monsters::kOriginalLayout.graphicsReadSize},
    {monsters::kExpandedLayout.graphicsOffset, monsters::kExpandedLayout.graphicsReadSize},
    {monsters::kMonsterNamesOffset, monsters::kMonsterNameCount* monsters::kMonsterNameLength},
    {monsters::kEsperNamesOffset, monsters::kEsperNameCount* monsters::kEsperNameLength},
    {portraits::kGraphicsOffset, portraits::kPortraitCount* portraits::kPortraitBytes},
    {portraits::kPalettesOffset, portraits::kPalettesBytes},
    {portraits::kPaletteIndicesOffset, 0x15},
    {sprites::kFrameMapOffset, sprites::kFrameMapEntries * 2},
    {sprites::kAddressOffset, sprites::kCharacterCount * 2},
    {sprites::kBankOffset, sprites::kCharacterCount * 2},
    {sprites::kPaletteIndexOffset, sprites::kCharacterCount},
    {sprites::kBlockOffset, sprites::kBlockBytes},
    {sprites::kPalettesOffset, sprites::kPalettesBytes},
    {backgrounds::kRecordsOffset, backgrounds::kBackgroundCount* backgrounds::kRecordBytes},
    {backgrounds::kPalettesOffset, backgrounds::kPalettesBytes},
    {backgrounds::kGraphicsPointersOffset, 0x1F8},
    {backgrounds::kTileMapPointersOffset, 0x100},
    {0x273150, 0x11EB0},  // compressed background graphics and tile maps
    {0x00FFC0, 0x40},     // the game's internal header
    {battle::kFormationsOffset, battle::kFormationCount* battle::kFormationBytes},
    {battle::kMapPointersOffset, battle::kPlacesEnd - battle::kMapPointersOffset},
    {0, 0x1000000},
}};

constexpr std::uint8_t kFirstOpenBit = 0x20;
constexpr std::uint8_t kSaveBit = 0x40;
constexpr std::uint8_t kFillBit = 0x80;
constexpr std::size_t kFillUnit = 64;
constexpr std::size_t kPatchHead = 5;

// The four kinds of demo ROM, by the low two bits of the first byte.
const Bytes& demoRom(unsigned kind) {
    static const std::array<Bytes, 4> roms = [] {
        std::array<Bytes, 4> built;
        for (unsigned k = 0; k < built.size(); ++k) {
            DemoRomOptions options;
            options.layout = (k & 1) != 0 ? monsters::MonsterLayoutKind::Expanded
                                          : monsters::MonsterLayoutKind::Original;
            options.header = (k & 2) != 0;
            built[k] = buildDemoRom(options);
        }
        return built;
    }();
    return roms[kind & 3];
}

// One file name in a folder of this process's own, removed at exit.
class ScratchFile {
  public:
    ScratchFile() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("morvik-fuzz-rom-" + std::to_string(::getpid()));
        std::error_code error;
        std::filesystem::create_directories(folder_, error);
    }
    ~ScratchFile() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    std::filesystem::path path() const { return folder_ / "rom.smc"; }

  private:
    std::filesystem::path folder_;
};

// Applies the patches; bytes past the image's end are left out.
void applyPatches(Bytes& file, std::uint32_t headerSize, std::span<const std::uint8_t> in) {
    const std::size_t romSize = file.size() - headerSize;
    while (in.size() >= kPatchHead) {
        const Table& table = kTables[(in[0] & ~kFillBit) % kTables.size()];
        const bool fill = (in[0] & kFillBit) != 0;
        const std::uint32_t within = in[1] | in[2] << 8 | in[3] << 16;
        const std::size_t at = (table.offset + within % table.length) % romSize + headerSize;
        std::size_t length = in[4];
        in = in.subspan(kPatchHead);
        if (fill) {
            if (in.empty()) return;
            length = std::min(length * kFillUnit, file.size() - at);
            std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(at), length, in[0]);
            in = in.subspan(1);
            continue;
        }
        length = std::min({length, in.size(), file.size() - at});
        std::copy_n(in.begin(), length, file.begin() + static_cast<std::ptrdiff_t>(at));
        in = in.subspan(length);
    }
}

// What becomes of the file's size: kept mostly; otherwise cut to whole banks,
// cut to no ROM image's size, cut by a header's size (a header seen where
// there is none, or none where there is one), or grown by a bank.
void resize(Bytes& file, std::uint32_t headerSize, unsigned choice, std::uint8_t banks) {
    const std::size_t size = file.size();
    switch (choice) {
        case 4:
            file.resize(std::min(size, headerSize + (std::size_t{banks} + 1) * kRomSizeUnit));
            break;
        case 5:
            file.resize(size - 1);
            break;
        case 6:
            file.resize(size - kCopierHeaderSize);
            break;
        case 7:
            file.resize(size + kRomSizeUnit, 0xFF);
            break;
        default:
            break;
    }
}

void checkPictures(const BackgroundPictures& pictures) {
    if (pictures.thumbnails.size() != kThumbnailCount) std::abort();
    for (const IndexedImage& thumbnail : pictures.thumbnails) {
        if (thumbnail.width() != kThumbnailSide || thumbnail.height() != kThumbnailSide)
            std::abort();
    }
    if (pictures.background256.width() != 2 * kThumbnailSide ||
        pictures.background256.height() != 2 * kThumbnailSide) {
        std::abort();
    }
}

// Saves the three sets as File > Save does, into one image of the file that is
// put back in one step, and loads them again: each must come back as it was
// saved (a monster save that is refused leaves the monster tables as loaded).
void saveAndReload(DataSets& sets, const std::filesystem::path& path) {
    const MonsterGraphicsSet loadedMonsters = sets.monsters;
    RomFile rom;
    if (!rom.open(path)) std::abort();
    const std::uint64_t size = rom.fileSize();
    const std::string monsters = saveDataSet(sets, DataSetKind::Monsters, rom);
    // What was just loaded can only fail to fit, never fail to be written.
    const bool monstersSaved = monsters.empty();
    if (!monstersSaved && monsters != monsterSaveMessage(MonsterSaveResult::NoRoom) &&
        monsters != monsterSaveMessage(MonsterSaveResult::TooMuchMoldData)) {
        std::abort();
    }
    if (!saveDataSet(sets, DataSetKind::Portraits, rom).empty()) std::abort();
    if (!saveDataSet(sets, DataSetKind::Characters, rom).empty()) std::abort();
    if (!fixRomChecksum(rom)) std::abort();
    if (!rom.commit().replaced) std::abort();
    std::error_code error;
    if (std::filesystem::file_size(path, error) != size || error) std::abort();

    DataSets again;
    if (loadDataSets(again, path) != RomLoadResult::Loaded) std::abort();
    if (!(again.monsters == (monstersSaved ? sets.monsters : loadedMonsters))) std::abort();
    if (!(again.portraits == sets.portraits)) std::abort();
    if (!(again.characters == sets.characters)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;
    if (size < 3) return 0;
    Bytes file = demoRom(data[0]);
    const std::uint32_t headerSize = (data[0] & 2) != 0 ? kCopierHeaderSize : 0;
    applyPatches(file, headerSize, std::span(data + 3, size - 3));
    resize(file, headerSize, data[0] >> 2 & 7, data[2]);
    const auto path = scratch.path();
    if (!writeWholeFile(path, file)) std::abort();

    const RomFormCheck form = readRomForm(path);
    DataSets sets;
    const RomLoadResult loaded = loadDataSets(sets, path);
    if ((data[0] & kFirstOpenBit) != 0) {
        BackgroundPictures pictures;
        applyBackground(pictures, static_cast<std::int8_t>(data[1]), path);
        checkPictures(pictures);
    }
    if (loaded != RomLoadResult::Loaded) return 0;
    // The editor refuses a file whose form it cannot tell before loading it:
    // the loaders must agree with that check.
    if (form.status != RomFormStatus::Recognised || !(sets.monsters.layout == form.form.monsters))
        std::abort();
    // What the game will show in battle, from whatever the tables say.
    (void)findBattleProblems(sets.monsters, sets.battle);
    const int formation = (data[1] | data[2] << 8) % battle::kFormationCount;
    const IndexedImage scene =
        composeFormation(sets.monsters, viewFormation(sets.monsters, sets.battle, formation),
                         nullptr, {.showCutParts = true, .allSlots = true});
    if (scene.width() != kBattlePictureWidth || scene.height() != kBattlePictureHeight)
        std::abort();
    if ((data[0] & kSaveBit) != 0) saveAndReload(sets, path);
    return 0;
}

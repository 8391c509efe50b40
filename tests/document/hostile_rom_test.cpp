// Whole ROM files of random bytes: every loader must either refuse them or load
// them within its tables, and every saver must then write without harm.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "backgrounds/background_layout.h"
#include "backgrounds/battle_background.h"
#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_layout.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"
#include "rom/rom_file.h"
#include "rom/rom_form.h"
#include "rom/sprites/sprite_layout.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

std::vector<std::uint8_t> randomRom(unsigned seed, std::size_t size) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> rom(size);
    for (auto& byte : rom)
        byte = static_cast<std::uint8_t>(random());
    return rom;
}

TEST(HostileRom, RandomBytesLoadWithinTheTables) {
    test::TempDir dir;
    const auto path = dir.file("noise.smc");
    for (unsigned seed = 1; seed <= 3; ++seed) {
        // Seed 2 without the copier header.
        const std::size_t size = kDemoRomFileSize - (seed == 2 ? kCopierHeaderSize : 0);
        ASSERT_TRUE(writeWholeFile(path, randomRom(seed, size)));
        DataSets sets;
        const RomLoadResult loaded = loadDataSets(sets, path);
        std::vector<BattleBackground> backgrounds;
        EXPECT_EQ(loadBattleBackgrounds(backgrounds, path), RomLoadResult::Loaded);
        if (loaded != RomLoadResult::Loaded) continue;
        // Whatever was loaded can be shown, edited and saved back.
        for (int i = 0; i < monsters::kRecordCount; i += 37) {
            const Extent extent = monsterVisibleExtent(sets.monsters, i);
            EXPECT_GE(extent.width, 8);
            setMonsterPixel(sets.monsters, i, 3, 3, 1);
            encodeMonsterImage(sets.monsters, i);
        }
        const MonsterSaveResult saved = saveMonsterSet(sets.monsters, path);
        EXPECT_NE(saved, MonsterSaveResult::CannotOpen);
        EXPECT_EQ(savePortraits(sets.portraits, path), PortraitSaveResult::Saved);
        EXPECT_EQ(saveCharacterSprites(sets.characters, path), SpriteSaveResult::Saved);
    }
}

using Bytes = std::vector<std::uint8_t>;

// One way a file gets damaged, at ROM offsets (past the header, when there is
// one), and what a load of it must give.
struct Damage {
    std::string what;
    std::function<void(Bytes& file, std::size_t header)> apply;
    RomLoadResult expected = RomLoadResult::Loaded;
};

Damage filled(std::string what, std::uint32_t offset, std::uint32_t length, std::uint8_t value,
              RomLoadResult expected = RomLoadResult::Loaded) {
    return {std::move(what),
            [=](Bytes& file, std::size_t header) {
                std::fill_n(file.begin() + header + offset, length, value);
            },
            expected};
}

Damage noise(std::uint32_t offset, std::uint32_t length, unsigned seed) {
    std::ostringstream what;
    what << "noise at " << std::hex << offset;
    return {what.str(), [=](Bytes& file, std::size_t header) {
                const Bytes bytes = randomRom(seed, length);
                std::copy(bytes.begin(), bytes.end(), file.begin() + header + offset);
            }};
}

Damage resized(std::string what, std::size_t size, RomLoadResult expected) {
    return {std::move(what), [=](Bytes& file, std::size_t) { file.resize(size); }, expected};
}

Damage codeFor(std::string what, const monsters::MonsterLayout& layout, RomLoadResult expected) {
    return {std::move(what),
            [=](Bytes& file, std::size_t header) {
                for (const CodeBytes& code : monsterLayoutCode(layout))
                    std::copy(code.bytes.begin(), code.bytes.end(),
                              file.begin() + header + code.romOffset);
            },
            expected};
}

// What may happen to a file of one form: noise over every table the loaders
// read, pointers past the end, cuts, sizes no ROM has, and game code that names
// the monster graphics places wrongly or not at all.
std::vector<Damage> damagesFor(const monsters::MonsterLayout& layout, std::size_t header,
                               std::size_t romSize) {
    using enum RomLoadResult;
    const monsters::MonsterLayout& other = layout.kind == monsters::MonsterLayoutKind::Original
                                               ? monsters::kExpandedLayout
                                               : monsters::kOriginalLayout;
    const auto fits = [&](const monsters::MonsterLayout& named) {
        return named.requiredRomSize() <= romSize ? Loaded : TooShort;
    };
    const std::size_t size = header + romSize;
    const std::vector<CodeBytes> code = monsterLayoutCode(layout);
    const std::uint32_t records = monsters::kRecordCount * monsters::kRecordBytes;
    std::vector<Damage> damages;
    unsigned seed = 10;
    for (const auto& [offset, length] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
             {0x127000, 0x81B},
             {layout.moldPointersOffset, layout.moldAreaBytes() + 4},
             {layout.graphicsOffset, 0x2000},
             {0x00CE3A, 0x1E0},
             {0x00D0F2, 0x200},
             {0x2D1D00, 0x3B60},
             {0x36F00, 0x15},
             {0x270000, 0x3150},
             {0x271650, 0x180},
             {0x271848, 0x100},
             {0x273150, 0x5000},
             {0x00FFC0, 0x40}}) {
        damages.push_back(noise(offset, length, seed++));
    }
    const std::vector<Damage> more = {
        filled("mold pointers past the molds", layout.moldPointersOffset, 4, 0xFF),
        filled("mold pointers before the molds", layout.moldPointersOffset, 4, 0x00),
        filled("monster graphics past the block", monsters::kRecordsOffset, records, 0xFF),
        filled("sprites in bank FF", sprites::kBankOffset, 2 * sprites::kCharacterCount, 0xFF),
        filled("background graphics at FF:FFFF", backgrounds::kGraphicsPointersOffset, 0x180, 0xFF),
        filled("background maps past the end", backgrounds::kTileMapPointersOffset, 0x100, 0xFF),
        resized("cut to 2 MiB", header + 0x200000, TooShort),
        resized("cut inside the monster graphics",
                header + layout.requiredRomSize() / kRomSizeUnit * kRomSizeUnit, TooShort),
        resized("empty", 0, TooShort),
        resized("one byte short", size - 1, BadSize),
        resized("one byte long", size + 1, BadSize),
        resized("half a header", size + kCopierHeaderSize / 2, BadSize),
        filled("graphics named in bank E5", code[2].romOffset + 1, 1, 0xE5, UnknownLayout),
        filled("molds read from bank C0", code[5].romOffset + 3, 1, 0xC0, UnknownLayout),
        filled("an instruction missing", code[0].romOffset, 1, 0xEA, UnknownLayout),
        codeFor("code of the other layout", other, fits(other)),
        filled("no game code", 0x012100, 0xB0, 0x00, fits(monsters::kExpandedLayout)),
    };
    damages.insert(damages.end(), more.begin(), more.end());
    return damages;
}

// The demo ROM in each of its four forms (with or without the copier header,
// the original or the expanded monster graphics layout), damaged: a load
// refuses it with the reason or loads it within its tables, and what loaded
// saves in place. A file whose size is no ROM's is refused before anything is
// read.
TEST(HostileRom, DamagedRomsOfEveryFormAreRefusedOrLoadSafely) {
    test::TempDir dir;
    const auto path = dir.file("damaged.smc");
    for (const auto kind :
         {monsters::MonsterLayoutKind::Original, monsters::MonsterLayoutKind::Expanded}) {
        for (const bool header : {false, true}) {
            const Bytes demo = buildDemoRom({kind, header});
            const std::size_t headerSize = header ? kCopierHeaderSize : 0;
            const auto& layout = kind == monsters::MonsterLayoutKind::Original
                                     ? monsters::kOriginalLayout
                                     : monsters::kExpandedLayout;
            for (const Damage& damage : damagesFor(layout, headerSize, demo.size() - headerSize)) {
                SCOPED_TRACE(damage.what + (header ? ", header, " : ", ") + layoutName(kind));
                Bytes file = demo;
                damage.apply(file, headerSize);
                ASSERT_TRUE(writeWholeFile(path, file));
                EXPECT_EQ(readRomForm(path).status == RomFormStatus::BadSize,
                          damage.expected == RomLoadResult::BadSize);
                DataSets sets;
                ASSERT_EQ(loadDataSets(sets, path), damage.expected);
                if (damage.expected != RomLoadResult::Loaded) continue;
                std::vector<BattleBackground> backgrounds;
                EXPECT_EQ(loadBattleBackgrounds(backgrounds, path), RomLoadResult::Loaded);
                EXPECT_NE(saveMonsterSet(sets.monsters, path), MonsterSaveResult::CannotOpen);
                EXPECT_EQ(std::filesystem::file_size(path), file.size());
            }
        }
    }
}

}  // namespace
}  // namespace morvik

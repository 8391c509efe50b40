#include "rom/rom_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "rom/rom_checksum.h"
#ifdef _WIN32
#include <windows.h>
#endif
#include "support/full_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readRaw(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

Bytes counting(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

TEST(RomFile, TheSizeTellsWhetherACopierHeaderIsThere) {
    test::TempDir dir;
    const auto path = dir.file("rom.smc");
    for (const std::uint32_t header : {0x200u, 0u}) {
        const std::size_t size = 0x8000 + header;
        ASSERT_TRUE(writeWholeFile(path, counting(size)));
        RomFile rom;
        ASSERT_TRUE(rom.open(path));
        EXPECT_EQ(rom.headerSize(), header);
        EXPECT_EQ(rom.fileSize(), size);
        EXPECT_EQ(rom.romSize(), 0x8000u);
        EXPECT_EQ(rom.fileOffset(0x20), 0x20u + header);

        std::uint8_t byte = 0;
        ASSERT_TRUE(rom.readByte(0x20, byte));
        EXPECT_EQ(byte, static_cast<std::uint8_t>((0x20 + header) * 7));
        const Bytes patch{0xDE, 0xAD, 0xBE, 0xEF};
        ASSERT_TRUE(rom.write(0x100, patch));
        ASSERT_TRUE(rom.close());
        Bytes expected = counting(size);
        std::copy(patch.begin(), patch.end(), expected.begin() + 0x100 + header);
        EXPECT_EQ(readRaw(path), expected);
    }
    // Any other size is no ROM image.
    for (const std::size_t size : {0x1000u, 0x8001u, 0x8100u, 0x81FFu, 0x8201u}) {
        ASSERT_TRUE(writeWholeFile(path, counting(size)));
        RomFile rom;
        EXPECT_FALSE(rom.open(path)) << size;
        EXPECT_EQ(rom.problem(), RomFile::Problem::BadSize);
        EXPECT_EQ(rom.fileSize(), size);
    }
}

TEST(RomFile, ShortReadsAreReportedAndHarmless) {
    test::TempDir dir;
    const auto path = dir.file("short.smc");
    ASSERT_TRUE(writeWholeFile(path, counting(0x8200)));

    RomFile rom;
    ASSERT_TRUE(rom.open(path, RomFile::Access::ReadOnly));
    Bytes block(16);
    EXPECT_TRUE(rom.read(0x7FF0, block));  // exactly the last 16 bytes
    Bytes tooMany(17);
    EXPECT_FALSE(rom.read(0x7FF0, tooMany));  // one byte past the end
    std::uint8_t byte = 0;
    EXPECT_FALSE(rom.readByte(0x8000, byte));
    EXPECT_FALSE(rom.readByte(0xFFFFFFFF, byte));
    EXPECT_FALSE(rom.readAtFileOffset(~std::uint64_t{0}, block));
    // The file is still usable after a failed read.
    ASSERT_TRUE(rom.readByte(0x7FFF, byte));
    EXPECT_EQ(byte, static_cast<std::uint8_t>(0x81FF * 7));
    EXPECT_TRUE(rom.read(0x8000, std::span<std::uint8_t>{}));
}

TEST(RomFile, WritesNeverChangeTheSizeAndReadOnlyRefusesThem) {
    test::TempDir dir;
    const auto path = dir.file("rom.smc");
    ASSERT_TRUE(writeWholeFile(path, Bytes(0x8200, 0)));
    {
        RomFile rom;
        ASSERT_TRUE(rom.open(path, RomFile::Access::ReadOnly));
        EXPECT_FALSE(rom.write(0, Bytes{1, 2, 3}));
    }
    RomFile rom;
    ASSERT_TRUE(rom.open(path));
    EXPECT_TRUE(rom.write(0x7FFF, Bytes{9}));
    EXPECT_FALSE(rom.write(0x7FFF, Bytes{9, 9}));  // one byte past the end
    EXPECT_FALSE(rom.write(0x8000, Bytes{9}));
    EXPECT_EQ(rom.fileSize(), 0x8200u);
    ASSERT_TRUE(rom.close());
    Bytes expected(0x8200, 0);
    expected.back() = 9;
    EXPECT_EQ(readRaw(path), expected);
}

TEST(RomFile, FilesThatCannotBeOpened) {
    test::TempDir dir;
    RomFile rom;
    EXPECT_FALSE(rom.open(dir.file("missing.smc")));
    EXPECT_FALSE(rom.open(dir.file("missing.smc"), RomFile::Access::ReadOnly));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.smc")));  // never created
    EXPECT_FALSE(rom.open(dir.path()));
    EXPECT_FALSE(rom.isOpen());
    Bytes block(1);
    EXPECT_FALSE(rom.read(0, block));
    EXPECT_FALSE(rom.write(0, block));
    EXPECT_FALSE(writeWholeFile(dir.file("no/such/folder/rom.smc"), block));
}

#ifdef _WIN32
// An emulator holds the ROM open and lets others only read it: the ROM opens
// and reads all the same, and a save says in the system's words why the file
// cannot be replaced now, leaving it as it was.
TEST(RomFile, ARomAnotherProgramHoldsOpenStillOpensAndASaveSaysWhy) {
    test::TempDir dir;
    const auto path = dir.file("held.smc");
    const Bytes original = counting(0x8000);
    ASSERT_TRUE(writeWholeFile(path, original));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RomFile rom;
    ASSERT_TRUE(rom.open(path));
    std::uint8_t byte = 0;
    ASSERT_TRUE(rom.readByte(0x20, byte));
    EXPECT_EQ(byte, original[0x20]);
    ASSERT_TRUE(rom.write(0x20, Bytes{0xAA}));
    const ReplaceResult saved = rom.commit();
    EXPECT_FALSE(saved.replaced);
    // Windows says "Access is denied" here, some versions a sharing violation.
    EXPECT_TRUE(saved.error == systemErrorText(ERROR_ACCESS_DENIED) ||
                saved.error == systemErrorText(ERROR_SHARING_VIOLATION))
        << saved.error;
    CloseHandle(held);
    EXPECT_EQ(readRaw(path), original);
    EXPECT_TRUE(rom.commit().replaced) << "once the other program lets go";
}
#endif

TEST(RomFile, WriteErrorsAreReported) {
    const auto full = test::fullFile();
    if (!full) GTEST_SKIP() << "no file here refuses writes as a full disk does";
    RomFile rom;
    ASSERT_TRUE(rom.open(*full));
    const Bytes block(0x10000, 0x55);
    EXPECT_FALSE(rom.write(0, block));
    EXPECT_FALSE(writeWholeFile(*full, block));
}

TEST(RomFile, TheChecksumIsTheSameReadFromTheFileOrFromMemory) {
    // Three banks: the first two once and the third twice, with the checksum
    // fields counted as FF FF 00 00.
    const std::size_t size = 0x18000;
    const Bytes cartridge = counting(size);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        std::uint32_t byte = cartridge[i];
        if (i >= kChecksumComplementOffset && i < kChecksumOffset + 2) {
            byte = i < kChecksumOffset ? 0xFF : 0;
        }
        sum += i < 0x10000 ? byte : 2 * byte;
    }
    const auto expected = static_cast<std::uint16_t>(sum & 0xFFFF);
    EXPECT_EQ(computeRomChecksum(cartridge), expected);

    test::TempDir dir;
    const auto path = dir.file("rom.smc");
    Bytes file(0x200, 0);
    file.insert(file.end(), cartridge.begin(), cartridge.end());
    ASSERT_TRUE(writeWholeFile(path, file));
    RomFile rom;
    ASSERT_TRUE(rom.open(path, RomFile::Access::ReadOnly));
    const auto read = readRomChecksum(rom);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->computed, expected);
    EXPECT_EQ(read->stored, cartridge[kChecksumOffset] | cartridge[kChecksumOffset + 1] << 8);
    // Once written to, the file is summed in memory.
    ASSERT_TRUE(rom.open(path));
    ASSERT_TRUE(fixRomChecksum(rom));
    EXPECT_TRUE(readRomChecksum(rom)->ok());
    EXPECT_EQ(readRomChecksum(rom)->computed, expected);
}

TEST(RomFile, SnesAddressesInTheHiRomBanks) {
    EXPECT_EQ(snesToRomOffset(0xC00000), 0u);
    EXPECT_EQ(snesToRomOffset(0xF10000), 0x310000u);
    EXPECT_EQ(snesToRomOffset(0xFFFFFF), 0x3FFFFFu);
    EXPECT_EQ(snesToRomOffset(0xBFFFFF), std::nullopt);
    EXPECT_EQ(snesToRomOffset(0x000000), std::nullopt);
    EXPECT_EQ(snesToRomOffset(0x1000000), std::nullopt);

    test::TempDir dir;
    const auto path = dir.file("rom.smc");
    ASSERT_TRUE(writeWholeFile(path, Bytes(0x8200, 0)));
    RomFile rom;
    ASSERT_TRUE(rom.open(path));
    // With a header, the file offset of an address is the address minus 0xBFFE00.
    for (std::uint32_t address : {0xC00000u, 0xE70000u, 0xF12345u, 0xFFFFFFu}) {
        EXPECT_EQ(rom.snesToFileOffset(address), std::uint64_t{address} - 0xBFFE00u);
    }
    EXPECT_EQ(rom.snesToFileOffset(0x7E0000), std::nullopt);
}

}  // namespace
}  // namespace morvik

#include "rom/rom_form.h"

#include <algorithm>
#include <cstdio>

#include "rom/rom_file.h"

namespace morvik {

using monsters::MonsterLayout;
using monsters::MonsterLayoutKind;

namespace {

// The seven instructions: three ADC #imm that add the graphics base's low byte,
// high byte and bank, two ADC long that read the mold pointers, and two LDA
// long,X that read the molds from the pointers' bank.
constexpr std::uint8_t kAdcImmediate = 0x69;
constexpr std::uint8_t kAdcLong = 0x6F;
constexpr std::uint8_t kLdaLongX = 0xBF;
constexpr std::array<std::uint32_t, 3> kGraphicsBaseSites = {0x01210E, 0x012114, 0x01211A};
constexpr std::array<std::uint32_t, 2> kMoldPointerSites = {0x01217A, 0x0121A0};
constexpr std::array<std::uint32_t, 2> kMoldBankSites = {0x012184, 0x0121AA};
constexpr std::size_t kSiteCount = 7;

constexpr std::array<MonsterLayout, 2> kKnownLayouts = {monsters::kOriginalLayout,
                                                        monsters::kExpandedLayout};

std::uint8_t byteOf(std::uint32_t value, int index) {
    return static_cast<std::uint8_t>(value >> (8 * index) & 0xFF);
}

// What the seven sites hold: the code bytes read there (empty where the file
// ends first), in the order monsterLayoutCode lists them.
struct CodeReading {
    std::array<std::vector<std::uint8_t>, kSiteCount> bytes;
    std::size_t present = 0;  // sites whose opcode is the expected one
};

CodeReading readCode(const RomFile& rom) {
    const std::vector<CodeBytes> expected = monsterLayoutCode(monsters::kExpandedLayout);
    CodeReading reading;
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        std::vector<std::uint8_t> bytes(expected[i].bytes.size());
        if (!rom.read(expected[i].romOffset, bytes)) continue;
        if (bytes[0] == expected[i].bytes[0]) ++reading.present;
        reading.bytes[i] = std::move(bytes);
    }
    return reading;
}

std::uint32_t operand(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t value = 0;
    for (std::size_t k = bytes.size(); k > 1; --k)
        value = value << 8 | bytes[k - 1];
    return value;
}

RomFormCheck refused(RomFormStatus status, std::string message) {
    RomFormCheck check;
    check.status = status;
    check.message = std::move(message);
    return check;
}

// All seven instructions are there: the places they name must be one known layout.
RomFormCheck layoutFromCode(const CodeReading& code, RomFormCheck check) {
    const std::uint32_t graphics =
        code.bytes[0][1] | code.bytes[1][1] << 8 | code.bytes[2][1] << 16;
    const std::uint32_t moldPointers = operand(code.bytes[3]);
    // The second pointer follows the first, and the molds are read from its bank.
    const bool moldsAgree = operand(code.bytes[4]) == moldPointers + 2 &&
                            operand(code.bytes[5]) == (moldPointers & 0xFF0000) &&
                            operand(code.bytes[6]) == (moldPointers & 0xFF0000);
    const auto matches = [&](const MonsterLayout& layout) {
        return layout.graphicsAddress() == graphics && layout.moldPointersAddress() == moldPointers;
    };
    const auto found = std::find_if(kKnownLayouts.begin(), kKnownLayouts.end(), matches);
    if (moldsAgree && found != kKnownLayouts.end()) {
        check.status = RomFormStatus::Recognised;
        check.form.monsters = *found;
        return check;
    }
    const bool knownGraphics = std::any_of(
        kKnownLayouts.begin(), kKnownLayouts.end(),
        [&](const MonsterLayout& layout) { return layout.graphicsAddress() == graphics; });
    const bool knownMolds =
        moldsAgree &&
        std::any_of(kKnownLayouts.begin(), kKnownLayouts.end(), [&](const MonsterLayout& layout) {
            return layout.moldPointersAddress() == moldPointers;
        });
    std::string message;
    if (!knownGraphics) {
        message = "Unknown monster graphics location " + bankAddress(graphics);
    } else if (!moldsAgree) {
        // Name the bank the molds are read from where it is not the pointers' own.
        std::uint32_t readFrom = moldPointers & 0xFF0000;
        for (const std::size_t site : {std::size_t{5}, std::size_t{6}}) {
            if (operand(code.bytes[site]) != readFrom) {
                readFrom = operand(code.bytes[site]);
                break;
            }
        }
        message = "Unknown monster mold location " + bankAddress(moldPointers) +
                  ", read from bank " + bankAddress(readFrom).substr(0, 2);
    } else if (!knownMolds) {
        message = "Unknown monster mold location " + bankAddress(moldPointers);
    } else {
        message = "Unknown monster graphics location " + bankAddress(graphics) + " with molds at " +
                  bankAddress(moldPointers);
    }
    return refused(RomFormStatus::UnknownLocation, message + " in the game code");
}

}  // namespace

std::string bankAddress(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X:%04X", static_cast<unsigned>(address >> 16 & 0xFF),
                  static_cast<unsigned>(address & 0xFFFF));
    return text;
}

std::vector<CodeBytes> monsterLayoutCode(const MonsterLayout& layout) {
    const std::uint32_t graphics = layout.graphicsAddress();
    const std::uint32_t pointers = layout.moldPointersAddress();
    const std::uint32_t second = pointers + 2;
    const std::uint8_t bank = byteOf(pointers, 2);
    std::vector<CodeBytes> code;
    for (int k = 0; k < 3; ++k)
        code.push_back({kGraphicsBaseSites[k], {kAdcImmediate, byteOf(graphics, k)}});
    code.push_back(
        {kMoldPointerSites[0], {kAdcLong, byteOf(pointers, 0), byteOf(pointers, 1), bank}});
    code.push_back({kMoldPointerSites[1], {kAdcLong, byteOf(second, 0), byteOf(second, 1), bank}});
    for (const std::uint32_t site : kMoldBankSites)
        code.push_back({site, {kLdaLongX, 0, 0, bank}});
    return code;
}

RomFormCheck readRomForm(const RomFile& rom) {
    RomFormCheck check;
    check.form.headerSize = rom.headerSize();
    const CodeReading code = readCode(rom);
    if (code.present == kSiteCount) return layoutFromCode(code, check);
    if (code.present > 0) {
        return refused(RomFormStatus::DamagedCode,
                       "The game code that says where the monster graphics are is damaged (" +
                           std::to_string(code.present) + " of its " + std::to_string(kSiteCount) +
                           " instructions found)");
    }
    if (rom.romSize() < monsters::kExpandedLayout.requiredRomSize()) {
        return refused(RomFormStatus::TooShort,
                       "The game code does not say where the monster graphics are, and the "
                       "file is too short for the expanded layout");
    }
    check.status = RomFormStatus::Recognised;
    check.form.layoutAssumed = true;
    return check;
}

RomFormCheck readRomForm(const std::filesystem::path& path) {
    RomFile rom;
    if (rom.open(path, RomFile::Access::ReadOnly)) return readRomForm(rom);
    if (rom.problem() == RomFile::Problem::BadSize) {
        return refused(RomFormStatus::BadSize,
                       "The file's size, " + std::to_string(rom.fileSize()) +
                           " bytes, is not that of a ROM image (whole 32 KiB banks, with or "
                           "without a 512-byte header)");
    }
    return refused(RomFormStatus::CannotOpen, "The file cannot be opened");
}

const char* layoutName(MonsterLayoutKind kind) {
    return kind == MonsterLayoutKind::Original ? "original" : "expanded";
}

std::string describeRomForm(const RomForm& form) {
    std::string text = std::string(layoutName(form.monsters.kind)) + " layout";
    if (form.layoutAssumed) text += " (assumed)";
    text += form.headerSize == 0 ? ", no header" : ", 512-byte header";
    return text;
}

std::string assumedLayoutWarning() {
    const MonsterLayout& layout = monsters::kExpandedLayout;
    return "The game code does not say where the monster graphics are; the expanded layout (" +
           bankAddress(layout.graphicsAddress()) + ", molds at " +
           bankAddress(layout.moldPointersAddress()) + ") is assumed.";
}

}  // namespace morvik

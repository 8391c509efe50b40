#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "rom/monsters/monster_layout.h"
#include "rom/rom_layout.h"

namespace morvik {

class RomFile;

// What kind of ROM image a file holds: with or without a copier header, and
// where its monster graphics and molds are. Read once when a file is opened;
// the loaders and savers work from it.
struct RomForm {
    std::uint32_t headerSize = kCopierHeaderSize;
    monsters::MonsterLayout monsters = monsters::kExpandedLayout;
    // The game code does not say where the monster graphics are: the expanded
    // layout is taken because the file is long enough for it.
    bool layoutAssumed = false;

    friend bool operator==(const RomForm&, const RomForm&) = default;
};

enum class RomFormStatus {
    Recognised,
    CannotOpen,
    BadSize,          // neither whole banks nor whole banks and a header
    TooShort,         // no game code to go by, and too short for the expanded layout
    UnknownLocation,  // the game code names a place Morvik does not know
    DamagedCode,      // some of the instructions that name the place are missing
};

struct RomFormCheck {
    RomFormStatus status = RomFormStatus::CannotOpen;
    RomForm form;
    std::string message;  // why it was refused, for the user; empty when recognised
};

// Reads the form of an open ROM file.
RomFormCheck readRomForm(const RomFile& rom);
// Opens the file read-only for that.
RomFormCheck readRomForm(const std::filesystem::path& path);

// "expanded layout, 512-byte header" and the like.
std::string describeRomForm(const RomForm& form);
const char* layoutName(monsters::MonsterLayoutKind kind);

// The instructions of the game code that name a layout's places, as the bytes
// at each ROM offset: what the detection reads and what the demo ROM carries.
struct CodeBytes {
    std::uint32_t romOffset = 0;
    std::vector<std::uint8_t> bytes;  // opcode first, then its operand
};
std::vector<CodeBytes> monsterLayoutCode(const monsters::MonsterLayout& layout);

// "E9:7000": a 24-bit address as the game's bank and address.
std::string bankAddress(std::uint32_t address);

// What the user is told when the expanded layout is taken without the game
// code saying so.
std::string assumedLayoutWarning();

}  // namespace morvik

#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "rom/monsters/monster_layout.h"
#include "rom/rom_layout.h"

namespace morvik {

// The demo ROM: a deterministic, synthetic ROM image file that carries every
// table the editor reads, filled with the project's own art. It is the fixture
// of the tests and what the editor opens when no ROM is given.
inline constexpr std::uint32_t kDemoRomFileSize = kCopierHeaderSize + kExpandedRomSize;

// The four kinds of ROM users have: the game as sold (3 MiB) or expanded
// (4 MiB, monster graphics moved), each with or without a copier header. All
// of them hold the same pictures.
struct DemoRomOptions {
    monsters::MonsterLayoutKind layout = monsters::MonsterLayoutKind::Expanded;
    bool header = true;
    // Writes the tables the way another tool might: the same pictures, laid out
    // and filled differently (demo_foreign.h).
    bool foreign = false;
};

// The whole file, header included when there is one.
std::vector<std::uint8_t> buildDemoRom(const DemoRomOptions& options = {});

// Builds the demo ROM and writes it to the path; false if the file cannot be written.
[[nodiscard]] bool writeDemoRom(const std::filesystem::path& path,
                                const DemoRomOptions& options = {});

}  // namespace morvik

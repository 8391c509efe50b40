#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "rom/rom_layout.h"

namespace morvik {

// The demo ROM: a deterministic, synthetic ROM image file that carries every
// table the editor reads, filled with the project's own art. It is the fixture
// of the tests and what the editor opens when no ROM is given.
inline constexpr std::uint32_t kDemoRomFileSize = kCopierHeaderSize + kExpandedRomSize;

// The whole file, header included.
std::vector<std::uint8_t> buildDemoRom();

// Builds the demo ROM and writes it to the path; false if the file cannot be written.
[[nodiscard]] bool writeDemoRom(const std::filesystem::path& path);

}  // namespace morvik

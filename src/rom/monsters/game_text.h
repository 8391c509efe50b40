#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace morvik {

// One byte of the game's text encoding as a character; unknown bytes become '?'
// and 0x00 (end of text) becomes '\0'.
char gameTextToAscii(std::uint8_t byte);

// A fixed-length name field: stops at the first 0x00 and drops trailing spaces.
std::string gameTextToString(std::span<const std::uint8_t> bytes);

}  // namespace morvik

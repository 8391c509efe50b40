#include "rom/rom_checksum.h"

#include <array>
#include <bit>
#include <numeric>

#include "rom/rom_file.h"

namespace morvik {

namespace {

std::uint32_t plainSum(std::span<const std::uint8_t> bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), std::uint32_t{0});
}

// The sum of the bytes repeated up to the next power of two.
std::uint32_t mirroredSum(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return 0;
    const std::size_t whole = std::bit_floor(bytes.size());
    if (whole == bytes.size()) return plainSum(bytes);
    const std::span<const std::uint8_t> rest = bytes.subspan(whole);
    const auto repeats = static_cast<std::uint32_t>(whole / std::bit_ceil(rest.size()));
    return plainSum(bytes.first(whole)) + mirroredSum(rest) * repeats;
}

}  // namespace

std::uint16_t computeRomChecksum(std::span<const std::uint8_t> cartridge) {
    std::uint32_t sum = mirroredSum(cartridge);
    if (cartridge.size() >= kChecksumOffset + 2) {
        // The fields count as they do once they agree, whatever they hold now.
        const std::uint32_t fields = plainSum(cartridge.subspan(kChecksumComplementOffset, 4));
        sum = sum - fields + 0xFF + 0xFF;
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::optional<RomChecksum> readRomChecksum(const RomFile& rom) {
    std::array<std::uint8_t, 4> fields{};
    if (!rom.read(kChecksumComplementOffset, fields)) return std::nullopt;
    RomChecksum checksum;
    checksum.storedComplement = static_cast<std::uint16_t>(fields[0] | fields[1] << 8);
    checksum.stored = static_cast<std::uint16_t>(fields[2] | fields[3] << 8);
    checksum.computed = computeRomChecksum(rom.bytes().subspan(rom.headerSize()));
    return checksum;
}

bool fixRomChecksum(RomFile& rom) {
    const auto checksum = readRomChecksum(rom);
    if (!checksum) return false;
    const std::uint16_t sum = checksum->computed;
    const auto complement = static_cast<std::uint16_t>(~sum);
    const std::array<std::uint8_t, 4> fields = {
        static_cast<std::uint8_t>(complement & 0xFF), static_cast<std::uint8_t>(complement >> 8),
        static_cast<std::uint8_t>(sum & 0xFF), static_cast<std::uint8_t>(sum >> 8)};
    return rom.write(kChecksumComplementOffset, fields);
}

}  // namespace morvik

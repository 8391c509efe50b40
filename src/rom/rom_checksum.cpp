#include "rom/rom_checksum.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <numeric>

#include "rom/rom_file.h"

namespace morvik {

namespace {

// Larger reads gain nothing; the buffer stays small.
constexpr std::uint32_t kChunkBytes = 0x10000;

// Eight bytes at a time: a word's bytes are added in pairs into four 16-bit
// lanes, which runs of 128 words cannot overflow (128 * 2 * 255 < 65536).
std::uint32_t plainSum(std::span<const std::uint8_t> bytes) {
    constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FF;
    constexpr std::size_t kRunWords = 128;
    std::uint32_t sum = 0;
    std::size_t i = 0;
    while (bytes.size() - i >= 8) {
        const std::size_t words = std::min(kRunWords, (bytes.size() - i) / 8);
        std::uint64_t lanes = 0;
        for (std::size_t w = 0; w < words; ++w, i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + i, sizeof word);
            lanes += (word & kLowBytes) + (word >> 8 & kLowBytes);
        }
        sum += static_cast<std::uint32_t>((lanes & 0xFFFF) + (lanes >> 16 & 0xFFFF) +
                                          (lanes >> 32 & 0xFFFF) + (lanes >> 48));
    }
    return std::accumulate(bytes.begin() + static_cast<std::ptrdiff_t>(i), bytes.end(), sum);
}

// The plain sum of `count` bytes of the ROM, read a chunk at a time.
std::optional<std::uint32_t> readSum(const RomFile& rom, std::uint64_t offset, std::uint64_t count,
                                     std::span<std::uint8_t> chunk) {
    std::uint32_t sum = 0;
    for (std::uint64_t done = 0; done < count; done += chunk.size()) {
        const auto piece = chunk.first(std::min<std::uint64_t>(chunk.size(), count - done));
        if (!rom.read(static_cast<std::uint32_t>(offset + done), piece)) return std::nullopt;
        sum += plainSum(piece);
    }
    return sum;
}

// The sum of `size` bytes from `offset` repeated up to the next power of two;
// sumOf(offset, count) gives the plain sum of a run, or nothing when it
// cannot be read.
template <typename SumOf>
std::optional<std::uint32_t> mirroredSum(std::uint64_t offset, std::uint64_t size, SumOf& sumOf) {
    if (size == 0) return 0;
    const std::uint64_t whole = std::bit_floor(size);
    if (whole == size) return sumOf(offset, size);
    const std::uint64_t rest = size - whole;
    const auto repeats = static_cast<std::uint32_t>(whole / std::bit_ceil(rest));
    const auto first = sumOf(offset, whole);
    const auto mirrored = mirroredSum(offset + whole, rest, sumOf);
    if (!first || !mirrored) return std::nullopt;
    return *first + *mirrored * repeats;
}

template <typename SumOf>
std::optional<std::uint16_t> checksumOf(std::uint64_t size, SumOf sumOf) {
    std::optional<std::uint32_t> sum = mirroredSum(0, size, sumOf);
    if (sum && size >= kChecksumOffset + 2) {
        // The fields count as they do once they agree, whatever they hold now.
        const auto fields = sumOf(kChecksumComplementOffset, 4);
        sum = fields ? std::optional(*sum - *fields + 0xFF + 0xFF) : std::nullopt;
    }
    if (!sum) return std::nullopt;
    return static_cast<std::uint16_t>(*sum & 0xFFFF);
}

}  // namespace

std::uint16_t computeRomChecksum(std::span<const std::uint8_t> cartridge) {
    const auto sum = checksumOf(cartridge.size(), [&](std::uint64_t offset, std::uint64_t count) {
        return std::optional(plainSum(cartridge.subspan(offset, count)));
    });
    return sum.value_or(0);
}

std::optional<RomChecksum> readRomChecksum(const RomFile& rom) {
    std::array<std::uint8_t, 4> fields{};
    if (!rom.read(kChecksumComplementOffset, fields)) return std::nullopt;
    // The image is summed a piece at a time as it is read: no copy of it is made.
    const auto chunk = std::make_unique_for_overwrite<std::uint8_t[]>(kChunkBytes);
    const auto computed = checksumOf(rom.romSize(), [&](std::uint64_t offset, std::uint64_t count) {
        return readSum(rom, offset, count, std::span(chunk.get(), kChunkBytes));
    });
    if (!computed) return std::nullopt;
    RomChecksum checksum;
    checksum.storedComplement = static_cast<std::uint16_t>(fields[0] | fields[1] << 8);
    checksum.stored = static_cast<std::uint16_t>(fields[2] | fields[3] << 8);
    checksum.computed = *computed;
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

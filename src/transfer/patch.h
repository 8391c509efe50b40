#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace morvik {

// Patches are how ROM hacks are shared: the changes from one ROM to another,
// applied by the recipient to their own copy of the game. Both formats are
// pure functions over bytes; reading a patch treats it as untrusted input.
//
// BPS (format version 1): "BPS1", the source size, the target size and the
// metadata size as variable-length numbers, the metadata, then the actions
// (SourceRead, TargetRead, SourceCopy, TargetCopy), then the CRC32 of the
// source, of the target and of the patch itself. It knows which ROM it was
// made for, so a wrong base ROM is caught.
// IPS: "PATCH", records of a 3-byte offset, a 2-byte size and the bytes (or
// size 0, a 2-byte run length and the byte), "EOF", and an optional 3-byte
// size the result is cut to. No checksum: it applies to anything.

using PatchBytes = std::vector<std::uint8_t>;

enum class PatchFormat { Bps, Ips };

enum class PatchStatus {
    Ok,
    Identical,         // making: source and target are the same
    TooLarge,          // IPS: a change at or past 16 MiB, which 3-byte offsets cannot name
    BadMagic,          // not a patch of its format
    Truncated,         // the patch ends before its data does
    BadPatchChecksum,  // BPS: the patch's own CRC32 is wrong
    OutOfRange,        // an action or record reads or writes past its source or target
    WrongSource,       // BPS: made for another ROM (see the CRCs)
    WrongResult,       // BPS: the result is not the ROM the patch was made to give
};

struct PatchResult {
    PatchStatus status = PatchStatus::Ok;
    // The patch when making one, the patched data when applying one.
    PatchBytes bytes;
    // BPS: the CRC32 the patch names for its source, and that of the data it
    // was applied to (for WrongSource).
    std::uint32_t expectedSourceCrc = 0;
    std::uint32_t actualSourceCrc = 0;
};

// The CRC32 (zlib's) of the bytes.
std::uint32_t crc32Of(std::span<const std::uint8_t> bytes);

// How many bytes of the target differ from the source (bytes past the
// shorter one's end count as differing), and in how many runs.
struct PatchDifference {
    std::size_t bytes = 0;
    std::size_t runs = 0;
};
PatchDifference countDifferences(std::span<const std::uint8_t> source,
                                 std::span<const std::uint8_t> target);

// Makes the patch that turns source into target.
PatchResult makeBps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target);
PatchResult makeIps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target);

// Applies a patch to source. A BPS whose source CRC32 does not match gives
// WrongSource unless `force`; a result whose CRC32 is not the patch's target
// CRC32 gives WrongResult, forced or not. Nothing but Ok carries bytes.
PatchResult applyBps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source,
                     bool force = false);
PatchResult applyIps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source);

PatchResult makePatch(PatchFormat format, std::span<const std::uint8_t> source,
                      std::span<const std::uint8_t> target);
PatchResult applyPatch(PatchFormat format, std::span<const std::uint8_t> patch,
                       std::span<const std::uint8_t> source, bool force = false);

// The format a file's ending names (".bps", ".ips", any case); nothing otherwise.
std::optional<PatchFormat> patchFormatOf(const std::filesystem::path& path);

// What the user is told when a status is not Ok ("This patch is for a ROM
// with CRC32 XXXXXXXX; this ROM has YYYYYYYY").
std::string patchMessage(const PatchResult& result);
// The same, naming the format when the file is not a patch of it ("Not a BPS patch").
std::string patchMessage(const PatchResult& result, PatchFormat format);

}  // namespace morvik

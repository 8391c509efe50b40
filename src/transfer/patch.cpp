#include "transfer/patch.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace morvik {

std::uint32_t crc32Of(std::span<const std::uint8_t> bytes) {
    // zlib takes its length as a uInt: feed a large buffer in slices.
    uLong crc = ::crc32(0L, Z_NULL, 0);
    const std::uint8_t* at = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const auto slice = static_cast<uInt>(std::min<std::size_t>(left, 1u << 30));
        crc = ::crc32(crc, at, slice);
        at += slice;
        left -= slice;
    }
    return static_cast<std::uint32_t>(crc);
}

PatchDifference countDifferences(std::span<const std::uint8_t> source,
                                 std::span<const std::uint8_t> target) {
    PatchDifference difference;
    const std::size_t common = std::min(source.size(), target.size());
    bool inRun = false;
    for (std::size_t at = 0; at < common; ++at) {
        const bool differs = source[at] != target[at];
        if (differs) {
            ++difference.bytes;
            if (!inRun) ++difference.runs;
        }
        inRun = differs;
    }
    const std::size_t tail = std::max(source.size(), target.size()) - common;
    if (tail > 0) {
        difference.bytes += tail;
        if (!inRun) ++difference.runs;
    }
    return difference;
}

PatchResult makePatch(PatchFormat format, std::span<const std::uint8_t> source,
                      std::span<const std::uint8_t> target) {
    return format == PatchFormat::Bps ? makeBps(source, target) : makeIps(source, target);
}

PatchResult applyPatch(PatchFormat format, std::span<const std::uint8_t> patch,
                       std::span<const std::uint8_t> source, bool force) {
    return format == PatchFormat::Bps ? applyBps(patch, source, force) : applyIps(patch, source);
}

std::optional<PatchFormat> patchFormatOf(const std::filesystem::path& path) {
    std::string ending = path.extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ending == ".bps") return PatchFormat::Bps;
    if (ending == ".ips") return PatchFormat::Ips;
    return std::nullopt;
}

namespace {

std::string hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

std::string patchMessage(const PatchResult& result) {
    switch (result.status) {
        case PatchStatus::Ok:
            return {};
        case PatchStatus::Identical:
            return "The ROMs are identical: no patch written";
        case PatchStatus::TooLarge:
            return "IPS cannot reach past 16 MiB: use BPS";
        case PatchStatus::BadMagic:
            return "Not a patch of this kind";
        case PatchStatus::Truncated:
            return "The patch is damaged: it ends too early";
        case PatchStatus::BadPatchChecksum:
            return "The patch is damaged: its checksum is wrong";
        case PatchStatus::OutOfRange:
            return "The patch reads or writes past the end of the ROM";
        case PatchStatus::WrongSource:
            return "This patch is for a ROM with CRC32 " + hex8(result.expectedSourceCrc) +
                   "; this ROM has " + hex8(result.actualSourceCrc);
        case PatchStatus::WrongResult:
            return "The patched ROM is not the one the patch was made to give (CRC32 mismatch)";
    }
    return {};
}

std::string patchMessage(const PatchResult& result, PatchFormat format) {
    if (result.status == PatchStatus::BadMagic) {
        return format == PatchFormat::Bps ? "Not a BPS patch" : "Not an IPS patch";
    }
    return patchMessage(result);
}

}  // namespace morvik

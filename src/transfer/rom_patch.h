#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "transfer/patch.h"

namespace morvik {

class RomFile;

// Patches between ROM files. By default a patch is made against, and applied
// to, the cartridge data alone: a copier header is no part of the game, and
// two copies of one game differ in it more often than not, so a patch made
// without it fits the recipient's ROM whichever form it has. `header` makes
// and applies it between the files as they are.

enum class RomPatchStatus {
    Ok,
    CannotRead,     // a ROM or the patch cannot be read, or is no ROM image
    UnknownFormat,  // making: the patch's name ends in neither .bps nor .ips
    Identical,      // making: the ROMs hold the same bytes
    Refused,        // no patch, a damaged or wrong one, or a change the format cannot say
    CannotWrite,    // the new file (or its backup) could not be written
};

struct RomPatchReport {
    RomPatchStatus status = RomPatchStatus::Ok;
    // What the user is told when the status is not Ok.
    std::string message;
    PatchFormat format = PatchFormat::Bps;
    // Making: the bytes that differ between what the patch spans; applying:
    // the bytes of the file that changed.
    PatchDifference difference;
    // Making: the size of the patch written.
    std::size_t patchSize = 0;
    // The patch spans the files as they are, copier header included: asked
    // for, or (applying a BPS) the patch was made so.
    bool wholeFiles = false;
    bool ok() const { return status == RomPatchStatus::Ok; }
};

inline constexpr const char* kIdenticalRomsMessage = "The ROMs are identical: no patch written";
// The second line of a made patch's report.
inline constexpr const char* kHeaderlessPatchLine = "for ROMs without a copier header";
inline constexpr const char* kWholeFilePatchLine = "for the files as they are";

// Makes the patch from `original` to `modified` and writes it to `out` in one
// step; its format is the one `out`'s ending names. Nothing is written unless
// the status is Ok.
RomPatchReport createRomPatch(const std::filesystem::path& original,
                              const std::filesystem::path& modified,
                              const std::filesystem::path& out, bool header = false);

// Applies `patch` to the cartridge data of `rom`, keeping its copier header as
// it is, and writes the result to `out` in one step (`out` may be `rom`). A
// BPS made for the whole file (with its header) is applied to the whole file.
// A BPS made for another ROM is refused unless `force`; one whose result is
// not the ROM it was made to give is refused either way. `backup` keeps the
// file `out` replaces as NAME.bak beside it. Nothing is written unless the
// status is Ok.
RomPatchReport applyRomPatch(const std::filesystem::path& rom, const std::filesystem::path& patch,
                             const std::filesystem::path& out, bool header = false,
                             bool force = false, bool backup = false);

// What a made patch is reported as: "patch: 6 bytes differ in 2 runs;
// hack.bps: 38 bytes (bps)" and, on a second line, what the patch spans.
std::string patchCreatedLines(const RomPatchReport& report, const std::string& name);
// "applied: hack.smc (6 bytes changed)".
std::string patchAppliedLine(const RomPatchReport& report, const std::string& name);

// Where applying keeps the file it replaces: NAME.bak beside it, as a save does.
std::filesystem::path patchBackupPath(const std::filesystem::path& file);

// The CRC32 of a ROM's cartridge data (without the copier header), as a
// patch made without --header names it; nothing when the file cannot be read.
std::optional<std::uint32_t> romDataCrc32(const RomFile& rom);

}  // namespace morvik

#include "transfer/rom_patch.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

#include "rom/file_path.h"
#include "rom/file_replace.h"
#include "rom/rom_file.h"

namespace morvik {

namespace {

namespace fs = std::filesystem;

// A patch of a ROM is a few hundred KiB at the most; a file far larger is
// something else, and would only be read into memory to be refused.
constexpr std::uintmax_t kLargestPatch = 64u << 20;

// A ROM file read whole, with the size of its copier header.
struct RomImage {
    PatchBytes bytes;
    std::size_t headerSize = 0;
    std::span<const std::uint8_t> whole() const { return bytes; }
    std::span<const std::uint8_t> data() const { return whole().subspan(headerSize); }
};

RomPatchReport failed(RomPatchReport report, RomPatchStatus status, std::string message) {
    report.status = status;
    report.message = std::move(message);
    return report;
}

// The reason is the one opening the ROM in the editor gives.
std::optional<std::string> readRom(const fs::path& path, RomImage& image) {
    const std::string name = "Error loading ROM: " + pathToUtf8(path) + ": ";
    RomFile rom;
    if (!rom.open(path, RomFile::Access::ReadOnly)) {
        if (rom.problem() == RomFile::Problem::BadSize) {
            return name + "The file's size, " + std::to_string(rom.fileSize()) +
                   " bytes, is not that of a ROM image (whole 32 KiB banks, with or without a "
                   "512-byte header)";
        }
        const std::string reason = unreadableReason(path);
        return name + (reason.empty() ? "the file cannot be opened" : reason);
    }
    const std::span<const std::uint8_t> bytes = rom.bytes();
    if (bytes.empty()) return name + "the file cannot be read";
    image.bytes.assign(bytes.begin(), bytes.end());
    image.headerSize = rom.headerSize();
    return std::nullopt;
}

std::optional<std::string> readWhole(const fs::path& path, PatchBytes& bytes) {
    const std::string name = "Error opening file: " + pathToUtf8(path) + ": ";
    if (const std::string reason = unreadableReason(path); !reason.empty()) return name + reason;
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) return name + error.message();
    if (size > kLargestPatch) return name + "the file is too large for a patch";
    std::ifstream file(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), {});
    if (file.bad() || bytes.size() != size) return name + "the file cannot be read";
    return std::nullopt;
}

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// The ending names the format; a patch named otherwise says it in its first bytes.
std::optional<PatchFormat> formatOfPatch(const fs::path& path,
                                         std::span<const std::uint8_t> bytes) {
    if (const auto named = patchFormatOf(path)) return named;
    if (startsWith(bytes, "BPS1")) return PatchFormat::Bps;
    if (startsWith(bytes, "PATCH")) return PatchFormat::Ips;
    return std::nullopt;
}

std::optional<std::string> writeFailure(const fs::path& path, const ReplaceResult& result) {
    if (result.replaced) return std::nullopt;
    return "cannot write " + pathToUtf8(path) + ": " +
           (result.folderRefused ? "the folder does not allow new files" : result.error);
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

// The file `out` replaces goes to NAME.bak first, so that the patch can be
// taken back; a new file replaces nothing and needs none.
std::optional<std::string> keepBackup(const fs::path& out, const RomImage& rom, bool outIsRom) {
    std::error_code error;
    if (!fs::exists(out, error)) return std::nullopt;
    PatchBytes old;
    if (outIsRom) {
        old = rom.bytes;
    } else if (const auto problem = readWhole(out, old)) {
        return "cannot keep a backup of " + pathToUtf8(out);
    }
    const fs::path backup = patchBackupPath(out);
    return writeFailure(backup, replaceFile(backup, old));
}

}  // namespace

fs::path patchBackupPath(const fs::path& file) {
    fs::path backup = file;
    backup += ".bak";
    return backup;
}

std::optional<std::uint32_t> romDataCrc32(const RomFile& rom) {
    const std::span<const std::uint8_t> bytes = rom.bytes();
    if (bytes.size() < rom.headerSize()) return std::nullopt;
    return crc32Of(bytes.subspan(rom.headerSize()));
}

RomPatchReport createRomPatch(const fs::path& original, const fs::path& modified,
                              const fs::path& out, bool header) {
    RomPatchReport report;
    report.wholeFiles = header;
    const auto format = patchFormatOf(out);
    if (!format) {
        return failed(report, RomPatchStatus::UnknownFormat,
                      pathToUtf8(out) + ": a patch is named .bps or .ips");
    }
    report.format = *format;
    RomImage from;
    RomImage to;
    if (auto problem = readRom(original, from))
        return failed(report, RomPatchStatus::CannotRead, std::move(*problem));
    if (auto problem = readRom(modified, to))
        return failed(report, RomPatchStatus::CannotRead, std::move(*problem));
    const auto source = header ? from.whole() : from.data();
    const auto target = header ? to.whole() : to.data();
    if (std::ranges::equal(source, target))
        return failed(report, RomPatchStatus::Identical, kIdenticalRomsMessage);
    report.difference = countDifferences(source, target);
    const PatchResult made = makePatch(*format, source, target);
    if (made.status == PatchStatus::Identical)
        return failed(report, RomPatchStatus::Identical, kIdenticalRomsMessage);
    if (made.status != PatchStatus::Ok)
        return failed(report, RomPatchStatus::Refused, patchMessage(made, *format));
    if (auto problem = writeFailure(out, replaceFile(out, made.bytes)))
        return failed(report, RomPatchStatus::CannotWrite, std::move(*problem));
    report.patchSize = made.bytes.size();
    return report;
}

RomPatchReport applyRomPatch(const fs::path& rom, const fs::path& patch, const fs::path& out,
                             bool header, bool force, bool backup) {
    RomPatchReport report;
    report.wholeFiles = header;
    RomImage image;
    PatchBytes patchBytes;
    if (auto problem = readRom(rom, image))
        return failed(report, RomPatchStatus::CannotRead, std::move(*problem));
    if (auto problem = readWhole(patch, patchBytes))
        return failed(report, RomPatchStatus::CannotRead, std::move(*problem));
    const auto format = formatOfPatch(patch, patchBytes);
    if (!format) {
        return failed(report, RomPatchStatus::Refused,
                      pathToUtf8(patch) + " is not a BPS or IPS patch");
    }
    report.format = *format;

    PatchResult applied = applyPatch(*format, patchBytes, header ? image.whole() : image.data());
    // A patch made between headered files names the whole file's CRC32: that
    // is the ROM it was made for, so it takes the whole file.
    if (applied.status == PatchStatus::WrongSource && !header && image.headerSize != 0 &&
        crc32Of(image.whole()) == applied.expectedSourceCrc) {
        report.wholeFiles = true;
        applied = applyPatch(*format, patchBytes, image.whole());
    } else if (applied.status == PatchStatus::WrongSource && force) {
        applied = applyPatch(*format, patchBytes, header ? image.whole() : image.data(), true);
    }
    if (applied.status != PatchStatus::Ok)
        return failed(report, RomPatchStatus::Refused, patchMessage(applied, *format));

    // The copier header is no part of what the patch changes: it stays as it is.
    PatchBytes result;
    if (report.wholeFiles) {
        result = std::move(applied.bytes);
    } else {
        result.reserve(image.headerSize + applied.bytes.size());
        result.assign(image.bytes.begin(),
                      image.bytes.begin() + static_cast<std::ptrdiff_t>(image.headerSize));
        result.insert(result.end(), applied.bytes.begin(), applied.bytes.end());
    }
    report.difference = countDifferences(image.whole(), result);
    const bool outIsRom = sameFile(out, rom);
    // Nothing changed in place: the file, its time and its backup stay as they are.
    if (outIsRom && report.difference.bytes == 0) return report;
    if (backup) {
        if (auto problem = keepBackup(out, image, outIsRom))
            return failed(report, RomPatchStatus::CannotWrite, std::move(*problem));
    }
    if (auto problem = writeFailure(out, replaceFile(out, result)))
        return failed(report, RomPatchStatus::CannotWrite, std::move(*problem));
    return report;
}

namespace {

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + (count == 1 ? one : many);
}

}  // namespace

std::string patchCreatedLines(const RomPatchReport& report, const std::string& name) {
    return "patch: " + counted(report.difference.bytes, " byte differs", " bytes differ") + " in " +
           counted(report.difference.runs, " run", " runs") + "; " + name + ": " +
           counted(report.patchSize, " byte", " bytes") + " (" +
           (report.format == PatchFormat::Bps ? "bps" : "ips") + ")\n" +
           (report.wholeFiles ? kWholeFilePatchLine : kHeaderlessPatchLine);
}

std::string patchAppliedLine(const RomPatchReport& report, const std::string& name) {
    return "applied: " + name + " (" +
           counted(report.difference.bytes, " byte changed", " bytes changed") + ")";
}

}  // namespace morvik

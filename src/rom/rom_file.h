#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "rom/file_replace.h"
#include "rom/rom_layout.h"

namespace morvik {

// An allocator that leaves bytes unset: for buffers a read fills right after
// they are made, which need no zeroing first.
template <class T>
struct UnfilledAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UnfilledAllocator<U>;
    };
    template <class U, class... Args>
    void construct(U* place, Args&&... args) {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(place)) U;
        else
            ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};
// Bytes read from a ROM.
using RomBytes = std::vector<std::uint8_t, UnfilledAllocator<std::uint8_t>>;

// A ROM image file. Offsets are ROM offsets (into the cartridge data) unless a
// name says "file offset"; the file's size tells whether it carries a copier
// header, and this is the one place that adds it.
// Opening only learns the size and that the file can be read; each read then
// takes the bytes it asks for (through a small read-ahead window), so that a
// load costs what its tables hold. The whole file comes into memory once, when
// something is written or bytes() is asked for, and later reads come from there.
// Every read reports a short read and every write reports a failure: a loader
// refuses a truncated ROM instead of decoding zeros. Writes change the bytes in
// memory only, never the size; commit() puts them on the disk in one step, so
// a save that fails half-way leaves the file as it was.
class RomFile {
  public:
    // Copy reads the file only; the bytes in memory still take writes, to be
    // put into another file with commitTo (a read-only ROM saved elsewhere).
    enum class Access { ReadWrite, ReadOnly, Copy };
    enum class Problem { None, CannotOpen, BadSize };

    // Opens an existing file. False if it cannot be opened with the requested
    // access (a read-only file refuses ReadWrite) or read, or if its size is no
    // ROM image's (problem() tells which).
    [[nodiscard]] bool open(const std::filesystem::path& path, Access access = Access::ReadWrite);
    // A file image already in memory, as Copy opens a file: `path` only names
    // it. False when its size is no ROM image's.
    [[nodiscard]] bool openImage(const std::filesystem::path& path,
                                 std::span<const std::uint8_t> image);
    // Writes the changed bytes to the file, when there are any (see commit),
    // and forgets the file; false if that failed.
    [[nodiscard]] bool close();
    bool isOpen() const { return open_; }
    Problem problem() const { return problem_; }
    const std::filesystem::path& path() const { return path_; }

    std::uint32_t headerSize() const { return headerSize_; }
    // Size of the whole file, header included.
    std::uint64_t fileSize() const { return fileSize_; }
    // Size of the cartridge data.
    std::uint64_t romSize() const { return fileSize_ - headerSize_; }
    std::uint64_t fileOffset(std::uint32_t romOffset) const {
        return std::uint64_t{romOffset} + headerSize_;
    }
    // The file offset of a 24-bit address in banks 0xC0..0xFF.
    std::optional<std::uint64_t> snesToFileOffset(std::uint32_t address) const;

    // True when all of `out` was filled from the file.
    [[nodiscard]] bool read(std::uint32_t romOffset, std::span<std::uint8_t> out) const;
    [[nodiscard]] bool readByte(std::uint32_t romOffset, std::uint8_t& out) const;
    // Reads `count` bytes into `out`, sized to hold them.
    [[nodiscard]] bool read(std::uint32_t romOffset, std::size_t count, RomBytes& out) const;
    [[nodiscard]] bool readAtFileOffset(std::uint64_t fileOffset,
                                        std::span<std::uint8_t> out) const;
    // True when all bytes were taken; false, writing nothing, for bytes past
    // the file's end or a file opened read-only.
    [[nodiscard]] bool write(std::uint32_t romOffset, std::span<const std::uint8_t> bytes);
    [[nodiscard]] bool writeAtFileOffset(std::uint64_t fileOffset,
                                         std::span<const std::uint8_t> bytes);

    // The whole file as it is in memory, header included, and as it was read;
    // the first call reads it (empty when that fails).
    std::span<const std::uint8_t> bytes() const {
        return readWholeFile() ? std::span<const std::uint8_t>(bytes_)
                               : std::span<const std::uint8_t>{};
    }
    std::span<const std::uint8_t> originalBytes() const {
        return original_.empty() ? bytes() : std::span<const std::uint8_t>(original_);
    }
    bool changed() const { return !original_.empty() && bytes_ != original_; }

    // Replaces the file on disk with the bytes in memory (see replaceFile): the
    // file is either untouched or holds every change. Nothing is written when
    // nothing changed.
    [[nodiscard]] ReplaceResult commit(FileSteps& steps = systemFileSteps());
    // Puts the whole file as it is in memory into another one, changed or not,
    // the same way; the file read stays as it is.
    [[nodiscard]] ReplaceResult commitTo(const std::filesystem::path& target,
                                         FileSteps& steps = systemFileSteps());

  private:
    // Brings the whole file into memory, once; false when it cannot be read.
    bool readWholeFile() const;
    bool readFromFile(std::uint64_t fileOffset, std::span<std::uint8_t> out) const;
    // Small reads come from a window of the file read ahead of them: the
    // tables a loader reads lie close together, and a read of the file costs
    // far more than a copy from memory.
    bool readNear(std::uint64_t fileOffset, std::span<std::uint8_t> out) const;
    static constexpr std::size_t kWindowBytes = 0x10000;

    std::filesystem::path path_;
    // Open until the whole file is in memory.
    mutable std::fstream file_;
    mutable RomBytes bytes_;
    mutable bool inMemory_ = false;
    mutable RomBytes window_;
    mutable std::uint64_t windowStart_ = 0;
    // The file as it was read, kept from the first write on (empty before).
    RomBytes original_;
    std::uint32_t headerSize_ = 0;
    std::uint64_t fileSize_ = 0;
    bool open_ = false;
    Access access_ = Access::ReadOnly;
    Problem problem_ = Problem::None;
};

// Opens the file, lets `save` change it in memory and, when that reports
// Saved, puts it back on the disk in one step (WriteFailed when that fails).
// A file that cannot be opened gives CannotOpen, and nothing is written.
template <typename Save>
auto saveToFile(const std::filesystem::path& path, Save save) {
    using Result = std::invoke_result_t<Save, RomFile&>;
    RomFile rom;
    if (!rom.open(path)) return Result::CannotOpen;
    const Result result = save(rom);
    if (result != Result::Saved) return result;
    return rom.commit().replaced ? Result::Saved : Result::WriteFailed;
}

// Writes a whole file, replacing any file at the path; false on any failure.
[[nodiscard]] bool writeWholeFile(const std::filesystem::path& path,
                                  std::span<const std::uint8_t> bytes);

// Why the file cannot be opened for reading, in the system's words ("No such
// file or directory"); empty when it can.
std::string unreadableReason(const std::filesystem::path& path);

// A fingerprint of the bytes: files of one size whose fingerprints match hold
// the same bytes, as far as any change a program makes by accident goes.
std::uint64_t contentDigest(std::span<const std::uint8_t> bytes);

}  // namespace morvik

#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>

#include "rom/rom_layout.h"

namespace morvik {

// An open ROM image file. Offsets are ROM offsets (into the cartridge data)
// unless a name says "file offset"; the file's size tells whether it carries a
// copier header, and this is the one place that adds it.
// Every read reports a short read and every write reports a failure: a loader
// refuses a truncated ROM instead of decoding zeros, a saver reports a failed save.
// Writes never change the file's size. The file is closed by the destructor;
// call close() to learn whether buffered writes reached the disk.
class RomFile {
  public:
    enum class Access { ReadWrite, ReadOnly };
    enum class Problem { None, CannotOpen, BadSize };

    // Opens an existing file without truncating it. False if it cannot be
    // opened with the requested access (a read-only file refuses ReadWrite),
    // or if its size is no ROM image's (problem() tells which).
    [[nodiscard]] bool open(const std::filesystem::path& path, Access access = Access::ReadWrite);
    // Flushes and closes; false if a pending write failed.
    [[nodiscard]] bool close();
    bool isOpen() const { return stream_.is_open(); }
    Problem problem() const { return problem_; }

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
    [[nodiscard]] bool read(std::uint32_t romOffset, std::span<std::uint8_t> out);
    [[nodiscard]] bool readByte(std::uint32_t romOffset, std::uint8_t& out);
    [[nodiscard]] bool readAtFileOffset(std::uint64_t fileOffset, std::span<std::uint8_t> out);
    // True when all bytes were handed to the file; false, writing nothing,
    // for bytes past its end.
    [[nodiscard]] bool write(std::uint32_t romOffset, std::span<const std::uint8_t> bytes);
    [[nodiscard]] bool writeAtFileOffset(std::uint64_t fileOffset,
                                         std::span<const std::uint8_t> bytes);

  private:
    std::fstream stream_;
    std::uint32_t headerSize_ = 0;
    std::uint64_t fileSize_ = 0;
    bool writable_ = false;
    Problem problem_ = Problem::None;
};

// Writes a whole file, replacing any file at the path; false on any failure.
[[nodiscard]] bool writeWholeFile(const std::filesystem::path& path,
                                  std::span<const std::uint8_t> bytes);

}  // namespace morvik

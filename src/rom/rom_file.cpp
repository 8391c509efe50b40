#include "rom/rom_file.h"

#include <limits>

namespace morvik {

namespace {

constexpr auto kMaxStreamOffset =
    static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max());

bool fitsStream(std::uint64_t offset, std::size_t count) {
    return offset <= kMaxStreamOffset && count <= kMaxStreamOffset - offset;
}

}  // namespace

bool RomFile::open(const std::filesystem::path& path, Access access) {
    if (stream_.is_open()) stream_.close();
    stream_.clear();
    writable_ = access == Access::ReadWrite;
    auto mode = std::ios::in | std::ios::binary;
    if (writable_) mode |= std::ios::out;
    problem_ = Problem::CannotOpen;
    headerSize_ = 0;
    fileSize_ = 0;
    stream_.open(path, mode);
    if (!stream_.is_open()) return false;

    stream_.seekg(0, std::ios::end);
    const std::streamoff end = stream_.tellg();
    if (!stream_ || end < 0) {
        stream_.close();
        return false;
    }
    const auto size = static_cast<std::uint64_t>(end);
    const auto header = copierHeaderSizeFor(size);
    if (!header) {
        problem_ = Problem::BadSize;
        fileSize_ = size;
        stream_.close();
        return false;
    }
    headerSize_ = *header;
    fileSize_ = size;
    problem_ = Problem::None;
    return true;
}

bool RomFile::close() {
    if (!stream_.is_open()) return true;
    stream_.flush();
    bool ok = !stream_.fail();
    stream_.close();
    ok = ok && !stream_.fail();
    stream_.clear();
    return ok;
}

std::optional<std::uint64_t> RomFile::snesToFileOffset(std::uint32_t address) const {
    const auto romOffset = snesToRomOffset(address);
    if (!romOffset) return std::nullopt;
    return fileOffset(*romOffset);
}

bool RomFile::read(std::uint32_t romOffset, std::span<std::uint8_t> out) {
    return readAtFileOffset(fileOffset(romOffset), out);
}

bool RomFile::readByte(std::uint32_t romOffset, std::uint8_t& out) {
    return read(romOffset, std::span<std::uint8_t>(&out, 1));
}

bool RomFile::readAtFileOffset(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (!stream_.is_open() || !fitsStream(offset, out.size())) return false;
    // Checked up front so that a short read never leaves the stream at EOF.
    if (offset > fileSize_ || out.size() > fileSize_ - offset) return false;
    if (out.empty()) return true;
    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(offset));
    stream_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    const bool ok = stream_ && stream_.gcount() == static_cast<std::streamsize>(out.size());
    stream_.clear();
    return ok;
}

bool RomFile::write(std::uint32_t romOffset, std::span<const std::uint8_t> bytes) {
    return writeAtFileOffset(fileOffset(romOffset), bytes);
}

bool RomFile::writeAtFileOffset(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (!stream_.is_open() || !writable_ || !fitsStream(offset, bytes.size())) return false;
    // A ROM keeps its size, and with it its form.
    if (offset > fileSize_ || bytes.size() > fileSize_ - offset) return false;
    if (bytes.empty()) return true;
    stream_.clear();
    stream_.seekp(static_cast<std::streamoff>(offset));
    stream_.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    if (!stream_) {
        stream_.clear();
        return false;
    }
    return true;
}

bool writeWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!file.is_open()) return false;
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.flush();
    const bool ok = !file.fail();
    file.close();
    return ok && !file.fail();
}

}  // namespace morvik

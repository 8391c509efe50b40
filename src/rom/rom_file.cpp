#include "rom/rom_file.h"

#include <algorithm>
#include <fstream>
#include <limits>

namespace morvik {

namespace {

// Larger than any cartridge the game was made for, several times over: a
// larger file is no ROM image, and is not read into memory.
constexpr std::uint64_t kMaxRomFileBytes = (std::uint64_t{16} << 20) + kCopierHeaderSize;

bool inside(std::uint64_t offset, std::size_t count, std::uint64_t size) {
    return offset <= size && count <= size - offset;
}

}  // namespace

bool RomFile::open(const std::filesystem::path& path, Access access) {
    *this = RomFile();
    problem_ = Problem::CannotOpen;
    writable_ = access == Access::ReadWrite;
    auto mode = std::ios::in | std::ios::binary;
    if (writable_) mode |= std::ios::out;
    // Opened for writing too, so that a file that cannot be saved is known now.
    std::fstream file(path, mode);
    if (!file.is_open()) return false;
    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    if (!file || end < 0) return false;
    fileSize_ = static_cast<std::uint64_t>(end);
    const auto header = copierHeaderSizeFor(fileSize_);
    if (!header || fileSize_ > kMaxRomFileBytes) {
        problem_ = Problem::BadSize;
        return false;
    }
    bytes_.resize(fileSize_);
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(fileSize_));
    if (!file || file.gcount() != static_cast<std::streamsize>(fileSize_)) {
        bytes_.clear();
        return false;
    }
    path_ = path;
    headerSize_ = *header;
    open_ = true;
    problem_ = Problem::None;
    return true;
}

bool RomFile::close() {
    const bool ok = !open_ || !changed() || commit().replaced;
    *this = RomFile();
    return ok;
}

ReplaceResult RomFile::commit(FileSteps& steps) {
    if (!open_ || !writable_) return {false, "the file is not open for writing"};
    if (!changed()) return {true, {}};
    ReplaceResult result = replaceFile(path_, bytes_, steps);
    // The disk now holds what memory does.
    if (result.replaced) original_.clear();
    return result;
}

std::optional<std::uint64_t> RomFile::snesToFileOffset(std::uint32_t address) const {
    const auto romOffset = snesToRomOffset(address);
    if (!romOffset) return std::nullopt;
    return fileOffset(*romOffset);
}

bool RomFile::read(std::uint32_t romOffset, std::span<std::uint8_t> out) const {
    return readAtFileOffset(fileOffset(romOffset), out);
}

bool RomFile::readByte(std::uint32_t romOffset, std::uint8_t& out) const {
    return read(romOffset, std::span<std::uint8_t>(&out, 1));
}

bool RomFile::readAtFileOffset(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (!open_ || !inside(offset, out.size(), bytes_.size())) return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

bool RomFile::write(std::uint32_t romOffset, std::span<const std::uint8_t> bytes) {
    return writeAtFileOffset(fileOffset(romOffset), bytes);
}

bool RomFile::writeAtFileOffset(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    // A ROM keeps its size, and with it its form.
    if (!open_ || !writable_ || !inside(offset, bytes.size(), bytes_.size())) return false;
    if (original_.empty()) original_ = bytes_;
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
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

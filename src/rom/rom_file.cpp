#include "rom/rom_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

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
    access_ = access;
    auto mode = std::ios::in | std::ios::binary;
#ifdef _WIN32
    // Opened for reading only: an emulator that holds the file open may let
    // others read it but not write it, and a save replaces the file whole
    // rather than writing into it. Only the read-only attribute stops a save.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (access == Access::ReadWrite && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
#else
    // Opened for writing too, so that a file that cannot be saved is known now.
    if (access == Access::ReadWrite) mode |= std::ios::out;
#endif
    file_.open(path, mode);
    if (!file_.is_open()) return false;
    file_.seekg(0, std::ios::end);
    const std::streamoff end = file_.tellg();
    if (!file_ || end < 0) return false;
    fileSize_ = static_cast<std::uint64_t>(end);
    const auto header = copierHeaderSizeFor(fileSize_);
    if (!header || fileSize_ > kMaxRomFileBytes) {
        problem_ = Problem::BadSize;
        return false;
    }
    // And one that cannot be read, such as a folder.
    std::uint8_t first = 0;
    if (fileSize_ > 0 && !readNear(0, std::span(&first, 1))) return false;
    path_ = path;
    headerSize_ = *header;
    open_ = true;
    problem_ = Problem::None;
    return true;
}

bool RomFile::openImage(const std::filesystem::path& path, std::span<const std::uint8_t> image) {
    *this = RomFile();
    const auto header = copierHeaderSizeFor(image.size());
    if (!header || image.size() > kMaxRomFileBytes) {
        problem_ = Problem::BadSize;
        return false;
    }
    access_ = Access::Copy;
    // Sized unfilled, then copied in one go.
    bytes_.resize(image.size());
    std::copy(image.begin(), image.end(), bytes_.begin());
    inMemory_ = true;
    fileSize_ = image.size();
    path_ = path;
    headerSize_ = *header;
    open_ = true;
    return true;
}

bool RomFile::readFromFile(std::uint64_t offset, std::span<std::uint8_t> out) const {
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    const bool whole = file_.gcount() == static_cast<std::streamsize>(out.size());
    // A short read leaves the file usable for the next one.
    file_.clear();
    return whole;
}

bool RomFile::readNear(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (out.size() >= kWindowBytes / 4) return readFromFile(offset, out);
    const bool inWindow = offset >= windowStart_ && out.size() <= window_.size() &&
                          offset - windowStart_ <= window_.size() - out.size();
    if (!inWindow) {
        // The caller checked that the bytes are inside the file.
        window_.resize(
            static_cast<std::size_t>(std::min<std::uint64_t>(kWindowBytes, fileSize_ - offset)));
        windowStart_ = offset;
        if (!readFromFile(offset, window_)) {
            window_.clear();
            return false;
        }
    }
    std::copy_n(window_.begin() + static_cast<std::ptrdiff_t>(offset - windowStart_), out.size(),
                out.begin());
    return true;
}

bool RomFile::readWholeFile() const {
    if (inMemory_) return true;
    if (!open_) return false;
    RomBytes bytes(fileSize_);
    if (!readFromFile(0, bytes)) return false;
    bytes_ = std::move(bytes);
    inMemory_ = true;
    window_ = RomBytes();
    // Every later read comes from memory, and the file is free to be replaced.
    file_.close();
    return true;
}

bool RomFile::close() {
    const bool ok = !open_ || !changed() || commit().replaced;
    *this = RomFile();
    return ok;
}

ReplaceResult RomFile::commit(FileSteps& steps) {
    if (!open_ || access_ != Access::ReadWrite) return {false, "the file is not open for writing"};
    if (!changed()) return {true, {}};
    ReplaceResult result = replaceFile(path_, bytes_, steps);
    // The disk now holds what memory does.
    if (result.replaced) original_.clear();
    return result;
}

ReplaceResult RomFile::commitTo(const std::filesystem::path& target, FileSteps& steps) {
    if (!readWholeFile()) return {false, "the file could not be read"};
    return replaceFile(target, bytes_, steps);
}

std::optional<std::uint64_t> RomFile::snesToFileOffset(std::uint32_t address) const {
    const auto romOffset = snesToRomOffset(address);
    if (!romOffset) return std::nullopt;
    return fileOffset(*romOffset);
}

bool RomFile::read(std::uint32_t romOffset, std::span<std::uint8_t> out) const {
    return readAtFileOffset(fileOffset(romOffset), out);
}

bool RomFile::read(std::uint32_t romOffset, std::size_t count, RomBytes& out) const {
    out.resize(count);
    return read(romOffset, out);
}

bool RomFile::readByte(std::uint32_t romOffset, std::uint8_t& out) const {
    return read(romOffset, std::span<std::uint8_t>(&out, 1));
}

bool RomFile::readAtFileOffset(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (!open_ || !inside(offset, out.size(), fileSize_)) return false;
    if (out.empty()) return true;
    if (!inMemory_) return readNear(offset, out);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

bool RomFile::write(std::uint32_t romOffset, std::span<const std::uint8_t> bytes) {
    return writeAtFileOffset(fileOffset(romOffset), bytes);
}

bool RomFile::writeAtFileOffset(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    // A ROM keeps its size, and with it its form.
    if (!open_ || access_ == Access::ReadOnly || !inside(offset, bytes.size(), fileSize_) ||
        !readWholeFile())
        return false;
    if (original_.empty()) {
        // A copy of the vector would make its bytes one by one.
        original_.resize(bytes_.size());
        std::copy(bytes_.begin(), bytes_.end(), original_.begin());
    }
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

std::string unreadableReason(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) return error.message();
    if (std::filesystem::is_directory(status)) return "it is a folder";
    errno = 0;
    const std::ifstream file(path, std::ios::in | std::ios::binary);
    if (file.is_open()) return {};
    return errno != 0 ? std::strerror(errno) : "the file cannot be opened for reading";
}

std::uint64_t contentDigest(std::span<const std::uint8_t> bytes) {
    // FNV-1a over 8-byte words, each product folded: a whole ROM takes about a
    // millisecond.
    std::uint64_t digest = 0xCBF29CE484222325u ^ bytes.size();
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        digest = (digest ^ word) * 0x100000001B3u;
        digest ^= digest >> 29;
    }
    for (; i < bytes.size(); ++i)
        digest = (digest ^ bytes[i]) * 0x100000001B3u;
    return digest;
}

}  // namespace morvik

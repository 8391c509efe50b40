#include "imagefile/image_bytes.h"

#include <array>
#include <fstream>

namespace morvik {

ImageStatus readImageBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& out) {
    out.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return ImageStatus::CannotRead;
    // Read in chunks rather than trusting a size from seeking: the path may
    // name a pipe or a file that changes while it is read.
    std::array<char, 64 * 1024> chunk{};
    while (file) {
        file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto count = static_cast<std::size_t>(file.gcount());
        if (count > kMaxImageFileBytes - out.size()) {
            out.clear();
            return ImageStatus::CannotRead;
        }
        out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(count));
    }
    // Stopping anywhere but at the end of the file is a read error.
    if (!file.eof() || file.bad()) {
        out.clear();
        return ImageStatus::CannotRead;
    }
    return ImageStatus::Ok;
}

ImageStatus writeImageBytes(const std::filesystem::path& path,
                            std::span<const std::uint8_t> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) return ImageStatus::CannotWrite;
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    // The stream buffers: a full disk often shows only when it is flushed.
    file.close();
    return file.fail() ? ImageStatus::CannotWrite : ImageStatus::Ok;
}

}  // namespace morvik

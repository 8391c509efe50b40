#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace morvik::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes out of scope.
class TempDir {
  public:
    TempDir() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 1000; ++attempt) {
            path_ = base / ("morvik-test-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(path_, error)) return;
        }
    }
    ~TempDir() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace morvik::test

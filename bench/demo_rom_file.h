#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "demo/demo_rom.h"

namespace morvik::bench {

// The demo ROM in the temporary folder: written once, removed when the
// benchmarks end. Empty when it could not be written.
class DemoRomFile {
  public:
    explicit DemoRomFile(const DemoRomOptions& options = {})
        : path_(std::filesystem::temp_directory_path() /
                ("morvik-bench-" + std::to_string(std::random_device{}()) + ".smc")) {
        if (!writeDemoRom(path_, options)) path_.clear();
    }
    ~DemoRomFile() {
        std::error_code error;
        if (!path_.empty()) std::filesystem::remove(path_, error);
    }
    DemoRomFile(const DemoRomFile&) = delete;
    DemoRomFile& operator=(const DemoRomFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// One file for the whole run; a function-local static is removed at exit.
inline const std::filesystem::path& demoRomPath() {
    static const DemoRomFile file;
    return file.path();
}
// The same pictures as another tool might have written them.
inline const std::filesystem::path& foreignDemoRomPath() {
    static const DemoRomFile file({.foreign = true});
    return file.path();
}

}  // namespace morvik::bench

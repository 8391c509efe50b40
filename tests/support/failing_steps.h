#pragma once

#include <algorithm>
#include <string>

#include "rom/file_replace.h"

namespace morvik::test {

// The system's file steps, but the one numbered `failAt` (counting every call
// from 0) fails as a full disk would; writes take at most `chunk` bytes.
class FailingSteps : public FileSteps {
  public:
    explicit FailingSteps(int failAt, std::size_t chunk = ~std::size_t{0})
        : failAt_(failAt), chunk_(chunk) {}

    bool createTemporary(const std::filesystem::path& folder, const std::filesystem::path& stem,
                         std::filesystem::path& created, int& handle) override {
        return step() && real_.createTemporary(folder, stem, created, handle);
    }
    bool write(int handle, std::span<const std::uint8_t> bytes, std::size_t& written) override {
        return step() && real_.write(handle, bytes.first(std::min(bytes.size(), chunk_)), written);
    }
    bool copyPermissions(int handle, const std::filesystem::path& from) override {
        return step() && real_.copyPermissions(handle, from);
    }
    bool flush(int handle) override { return step() && real_.flush(handle); }
    bool close(int handle) override {
        // A failed close still releases the handle.
        const bool ok = step();
        return real_.close(handle) && ok;
    }
    bool rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return step() && real_.rename(from, to);
    }
    bool flushFolder(const std::filesystem::path& folder) override {
        return step() && real_.flushFolder(folder);
    }
    void remove(const std::filesystem::path& path) override { real_.remove(path); }
    std::string error() const override { return failed_ ? kFullDisk : real_.error(); }

    static constexpr const char* kFullDisk = "No space left on device";
    int steps() const { return count_; }

  private:
    bool step() {
        if (count_++ != failAt_) return true;
        failed_ = true;
        return false;
    }

    FileSteps& real_ = systemFileSteps();
    int failAt_;
    std::size_t chunk_;
    int count_ = 0;
    bool failed_ = false;
};

}  // namespace morvik::test

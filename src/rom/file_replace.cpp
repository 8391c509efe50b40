#include "rom/file_replace.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace morvik {

namespace {

#ifdef _WIN32
int openNew(const std::filesystem::path& path) {
    int handle = -1;
    _wsopen_s(&handle, path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYRW,
              _S_IREAD | _S_IWRITE);
    return handle;
}
long writeSome(int handle, const std::uint8_t* data, std::size_t size) {
    const auto chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
    return _write(handle, data, chunk);
}
bool flushHandle(int handle) {
    return _commit(handle) == 0;
}
bool closeHandle(int handle) {
    return _close(handle) == 0;
}
bool copyMode(int, const std::filesystem::path&) {
    return true;  // the file's attributes are not permission bits here
}
bool flushDirectory(const std::filesystem::path&) {
    return true;  // a rename is recorded by the file system itself
}
#else
int openNew(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
}
long writeSome(int handle, const std::uint8_t* data, std::size_t size) {
    return ::write(handle, data, size);
}
bool flushHandle(int handle) {
    return ::fsync(handle) == 0;
}
bool closeHandle(int handle) {
    return ::close(handle) == 0;
}
bool copyMode(int handle, const std::filesystem::path& from) {
    struct stat status {};
    if (::stat(from.c_str(), &status) != 0) return errno == ENOENT;
    return ::fchmod(handle, status.st_mode & 07777) == 0;
}
bool flushDirectory(const std::filesystem::path& folder) {
    const int handle = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) return false;
    const bool flushed = ::fsync(handle) == 0;
    ::close(handle);
    return flushed;
}
#endif

class SystemFileSteps : public FileSteps {
  public:
    bool createTemporary(const std::filesystem::path& folder, const std::string& stem,
                         std::filesystem::path& created, int& handle) override {
        std::random_device seed;
        std::mt19937 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            created = folder / (stem + "." + std::to_string(random() % 1000000000u) + ".tmp");
            handle = openNew(created);
            if (handle >= 0) return true;
            if (errno != EEXIST) break;
        }
        return remember(errno);
    }
    bool write(int handle, std::span<const std::uint8_t> bytes, std::size_t& written) override {
        const long count = writeSome(handle, bytes.data(), bytes.size());
        written = count > 0 ? static_cast<std::size_t>(count) : 0;
        return count >= 0 || remember(errno);
    }
    bool copyPermissions(int handle, const std::filesystem::path& from) override {
        return copyMode(handle, from) || remember(errno);
    }
    bool flush(int handle) override { return flushHandle(handle) || remember(errno); }
    bool close(int handle) override { return closeHandle(handle) || remember(errno); }
    bool rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        std::error_code failure;
        std::filesystem::rename(from, to, failure);
        if (!failure) return true;
        code_ = failure.value();
        error_ = failure.message();
        return false;
    }
    bool flushFolder(const std::filesystem::path& folder) override {
        return flushDirectory(folder) || remember(errno);
    }
    void remove(const std::filesystem::path& path) override {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    std::string error() const override { return error_; }
    bool accessDenied() const override {
        return code_ == EACCES || code_ == EPERM || code_ == EROFS;
    }

  private:
    // Keeps the system's text for an errno value; always false.
    bool remember(int code) {
        code_ = code;
        error_ = std::strerror(code);
        return false;
    }
    std::string error_;
    int code_ = 0;
};

}  // namespace

FileSteps& systemFileSteps() {
    static SystemFileSteps steps;
    return steps;
}

ReplaceResult replaceFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                          FileSteps& steps) {
    const std::filesystem::path folder = target.parent_path();
    std::filesystem::path temporary;
    int handle = -1;
    if (!steps.createTemporary(folder, target.filename().string(), temporary, handle)) {
        return {false, steps.error(), steps.accessDenied()};
    }
    const auto fail = [&](bool open) {
        ReplaceResult result{false, steps.error()};
        if (result.error.empty()) result.error = "the file could not be written";
        if (open) steps.close(handle);
        steps.remove(temporary);
        return result;
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t written = 0;
        if (!steps.write(handle, bytes.subspan(done), written)) return fail(true);
        // A write that makes no progress would loop for ever.
        if (written == 0) return fail(true);
        done += written;
    }
    if (!steps.copyPermissions(handle, target) || !steps.flush(handle)) return fail(true);
    if (!steps.close(handle)) return fail(false);
    if (!steps.rename(temporary, target)) return fail(false);
    // The new file is in place. Some file systems cannot flush a folder; the
    // rename is done all the same, so that is no failure of the save.
    (void)steps.flushFolder(folder);
    return {true, {}};
}

}  // namespace morvik

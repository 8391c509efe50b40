#include "rom/file_replace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
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
// The attributes a user sets on a file and expects a save to keep. Read-only
// is not among them: such a file is never replaced.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// False with the system's error code in `code`.
bool copyMode(int handle, const std::filesystem::path& from, DWORD& code) {
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        code = GetLastError();
        return code == ERROR_FILE_NOT_FOUND;  // a new file
    }
    FILE_BASIC_INFO info{};  // times of zero stay as they are
    info.FileAttributes = attributes & kKeptAttributes;
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    const auto file = reinterpret_cast<HANDLE>(_get_osfhandle(handle));
    if (SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info)) return true;
    code = GetLastError();
    return false;
}
// Replaces `to`, and returns only once the new entry is on the disk.
bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to, DWORD& code) {
    // A read-only file is not replaced, whoever asks.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        code = ERROR_ACCESS_DENIED;
        return false;
    }
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    code = GetLastError();
    return false;
}
bool flushDirectory(const std::filesystem::path&) {
    return true;  // the move wrote its entry through already
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
bool copyMode(int handle, const std::filesystem::path& from, int& code) {
    struct stat status {};
    if (::stat(from.c_str(), &status) != 0) {
        code = errno;
        return errno == ENOENT;
    }
    if (::fchmod(handle, status.st_mode & 07777) == 0) return true;
    code = errno;
    return false;
}
bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to, int& code) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    code = errno;
    return false;
}
bool flushDirectory(const std::filesystem::path& folder) {
    const int handle = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) return false;
    const bool flushed = ::fsync(handle) == 0;
    ::close(handle);
    return flushed;
}
#endif

}  // namespace

#ifdef _WIN32
std::string systemErrorText(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    if (text != nullptr) LocalFree(text);
    // "Access is denied.\r\n": one line, as strerror gives it.
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ' ||
                             wide.back() == L'.'))
        wide.pop_back();
    if (wide.empty()) return "system error " + std::to_string(code);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}
#endif

namespace {

class SystemFileSteps : public FileSteps {
  public:
    bool createTemporary(const std::filesystem::path& folder, const std::filesystem::path& stem,
                         std::filesystem::path& created, int& handle) override {
        std::random_device seed;
        std::mt19937 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            // Put together as paths: the name is never narrowed to a code page.
            created = folder / stem;
            created += ".";
            created += std::to_string(random() % 1000000000u);
            created += ".tmp";
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
        SystemCode code = 0;
        return copyMode(handle, from, code) || rememberSystem(code);
    }
    bool flush(int handle) override { return flushHandle(handle) || remember(errno); }
    bool close(int handle) override { return closeHandle(handle) || remember(errno); }
    bool rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        SystemCode code = 0;
        return moveOver(from, to, code) || rememberSystem(code);
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
#ifdef _WIN32
        if (systemCode_ != 0)
            return systemCode_ == ERROR_ACCESS_DENIED || systemCode_ == ERROR_WRITE_PROTECT;
#endif
        return code_ == EACCES || code_ == EPERM || code_ == EROFS;
    }

  private:
#ifdef _WIN32
    using SystemCode = DWORD;
#else
    using SystemCode = int;
#endif
    // Keeps the system's text for an errno value; always false.
    bool remember(int code) {
        code_ = code;
        systemCode_ = 0;
        error_ = std::strerror(code);
        return false;
    }
    // The same for the system's own error codes (errno values on POSIX).
    bool rememberSystem(SystemCode code) {
#ifdef _WIN32
        code_ = 0;
        systemCode_ = code;
        error_ = systemErrorText(code);
        return false;
#else
        return remember(code);
#endif
    }
    std::string error_;
    int code_ = 0;
    unsigned long systemCode_ = 0;
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
    if (!steps.createTemporary(folder, target.filename(), temporary, handle)) {
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

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace morvik {

// The steps of replacing a file on disk, one call each, so that tests can make
// any of them fail. Each returns false and leaves errno (or its own text in
// `error`) on failure.
class FileSteps {
  public:
    virtual ~FileSteps() = default;
    // Creates a new, empty file with a unique name in the folder, starting
    // with `stem` (a file name, kept as the system spells it); stores its path
    // and an open handle.
    virtual bool createTemporary(const std::filesystem::path& folder,
                                 const std::filesystem::path& stem, std::filesystem::path& created,
                                 int& handle) = 0;
    // Writes some of the bytes; stores how many were written (maybe fewer).
    virtual bool write(int handle, std::span<const std::uint8_t> bytes, std::size_t& written) = 0;
    // Gives the file the permission bits of the file it replaces (on Windows
    // its attributes: hidden, system, archive).
    virtual bool copyPermissions(int handle, const std::filesystem::path& from) = 0;
    // Brings what was written to the disk.
    virtual bool flush(int handle) = 0;
    virtual bool close(int handle) = 0;
    virtual bool rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Brings the folder's new entry to the disk.
    virtual bool flushFolder(const std::filesystem::path& folder) = 0;
    virtual void remove(const std::filesystem::path& path) = 0;
    // The text of the last failure ("No space left on device").
    virtual std::string error() const = 0;
    // True when the last failure was the system refusing the access (the
    // file's or folder's permissions, a read-only disk) rather than a fault.
    virtual bool accessDenied() const { return false; }
};

// The operating system's own steps.
FileSteps& systemFileSteps();

#ifdef _WIN32
// The system's text for a Windows error code (GetLastError), in UTF-8.
std::string systemErrorText(unsigned long code);
#endif

struct ReplaceResult {
    bool replaced = false;
    std::string error;  // what failed, in the system's words; empty when replaced
    // The folder does not let this user make the new file beside the target.
    bool folderRefused = false;
};

// Writes the bytes to a temporary file beside the target, flushes it to the
// disk, and renames it over the target, so that the target is at every moment
// either its old self or the new bytes. On any failure the temporary file is
// removed and the target is untouched. A new target is created with default
// permissions; an existing one keeps its own.
ReplaceResult replaceFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                          FileSteps& steps = systemFileSteps());

}  // namespace morvik

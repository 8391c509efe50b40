#pragma once

#include <filesystem>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

namespace morvik::test {

// A file that every open accepts and every write refuses, as on a full disk:
// Linux's /dev/full. Under Wine the same device is reached through the Z:
// drive, and Windows' own calls fail on it with ERROR_DISK_FULL; it is used
// only when it does. Windows itself has no such file: empty there.
inline std::optional<std::filesystem::path> fullFile() {
#ifdef _WIN32
    const wchar_t* device = L"Z:\\dev\\full";
    const HANDLE file = CreateFileW(device, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    const char byte = 0;
    DWORD written = 0;
    const bool full =
        !WriteFile(file, &byte, 1, &written, nullptr) && GetLastError() == ERROR_DISK_FULL;
    CloseHandle(file);
    if (!full) return std::nullopt;
    return std::filesystem::path(device);
#else
    if (!std::filesystem::exists("/dev/full")) return std::nullopt;
    return std::filesystem::path("/dev/full");
#endif
}

}  // namespace morvik::test

#pragma once

#include <filesystem>

namespace morvik {

class RomFile;

// How loading one data set from a ROM file ended.
enum class RomLoadResult {
    Loaded,
    CannotOpen,     // the file cannot be opened for reading
    TooShort,       // the file ends before the data set's tables do
    TooManyImages,  // more distinct monster graphics than the entry table holds
    BadSize,        // the file's size is no ROM image's
    UnknownLayout,  // the game code names monster graphics places not known, or is damaged
};

// A short reason for the command line; the editor shows its own message.
const char* romLoadMessage(RomLoadResult result);

// Opens a ROM file for a loader: Loaded, CannotOpen or BadSize.
RomLoadResult openForLoading(RomFile& rom, const std::filesystem::path& path);

}  // namespace morvik

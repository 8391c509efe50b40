#pragma once

namespace morvik {

// How loading one data set from a ROM file ended.
enum class RomLoadResult {
    Loaded,
    CannotOpen,     // the file cannot be opened for reading and writing
    TooShort,       // the file ends before the data set's tables do
    TooManyImages,  // more distinct monster graphics than the entry table holds
};

// A short reason for the command line; the editor shows its own message.
const char* romLoadMessage(RomLoadResult result);

}  // namespace morvik

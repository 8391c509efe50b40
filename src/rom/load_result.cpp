#include "rom/load_result.h"

#include "rom/rom_file.h"

namespace morvik {

const char* romLoadMessage(RomLoadResult result) {
    switch (result) {
        case RomLoadResult::Loaded:
            return "loaded";
        case RomLoadResult::CannotOpen:
            return "cannot open the ROM file for reading";
        case RomLoadResult::TooShort:
            return "the ROM file is too short to hold the editor's tables";
        case RomLoadResult::TooManyImages:
            return "the ROM's monster records use more distinct graphics than the editor can hold";
        case RomLoadResult::BadSize:
            return "the file's size is not that of a ROM image";
        case RomLoadResult::UnknownLayout:
            return "the game code does not name a known place for the monster graphics";
    }
    return "unknown result";
}

RomLoadResult openForLoading(RomFile& rom, const std::filesystem::path& path) {
    // Loading only reads: a ROM the user may not write still opens.
    if (rom.open(path, RomFile::Access::ReadOnly)) return RomLoadResult::Loaded;
    return rom.problem() == RomFile::Problem::BadSize ? RomLoadResult::BadSize
                                                      : RomLoadResult::CannotOpen;
}

}  // namespace morvik

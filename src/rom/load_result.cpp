#include "rom/load_result.h"

namespace morvik {

const char* romLoadMessage(RomLoadResult result) {
    switch (result) {
        case RomLoadResult::Loaded:
            return "loaded";
        case RomLoadResult::CannotOpen:
            return "cannot open the ROM file for reading and writing";
        case RomLoadResult::TooShort:
            return "the ROM file is too short to hold the editor's tables";
        case RomLoadResult::TooManyImages:
            return "the ROM's monster records use more distinct graphics than the editor can hold";
    }
    return "unknown result";
}

}  // namespace morvik

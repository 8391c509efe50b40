#pragma once

#include <vector>

#include "cli/cli_args.h"
#include "cli/cli_session.h"
#include "transfer/palette_mapping.h"

namespace morvik::cli {

// The flags of the commands that import and save.
struct ImportFlags {
    SaveOptions saving;
    PaletteMode palette = PaletteMode::Automatic;
    // Imported monster molds keep a blank tile in every empty row above the
    // last drawn one, as the editor's Keep rows does.
    bool keepRows = false;
};

// The options of the commands that import and save, and what they ask for.
std::vector<OptionShape> importOptions();
ImportFlags importFlags(const ParsedArgs& parsed);

}  // namespace morvik::cli

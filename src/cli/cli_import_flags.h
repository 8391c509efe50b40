#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_session.h"
#include "transfer/palette_mapping.h"

namespace morvik::cli {

// The flags of the commands that import and save.
struct ImportFlags {
    SaveOptions saving;
    PaletteMode palette = PaletteMode::Automatic;
};

// The flags from args[first] on; nothing on an unknown one.
std::optional<ImportFlags> parseImportFlags(const std::vector<std::string>& args,
                                            std::size_t first);

}  // namespace morvik::cli

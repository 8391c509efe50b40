#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "backgrounds/battle_background.h"
#include "rom/data_sets.h"
#include "transfer/image_transfer.h"
#include "transfer/rom_diff.h"

namespace morvik {

// What an export of a whole ROM wrote.
struct FolderExport {
    int written = 0;
    // Why it stopped ("cannot write DIR/monsters/012.png"); empty when every
    // file was written.
    std::string error;
    bool ok() const { return error.empty(); }
};

// Writes each item's picture as an export shows it into DIR/<kind's
// folder>/<number>.<ending> ("monsters/012.png"), the folders made as needed:
// the monsters, portraits, characters and battle backgrounds, or only the kind
// asked for. The layout is the one a folder import reads back. Stops at the
// first file it cannot write.
FolderExport exportFolder(const DataSets& sets, const std::vector<BattleBackground>& backgrounds,
                          const std::filesystem::path& dir, ImageFileType type,
                          std::optional<ItemKind> only = std::nullopt);

// The same for the ROM at `romPath` holding `sets`: its battle backgrounds are
// read from the file, as nobody edits them (none when their tables cannot
// be read, as an open treats them).
FolderExport exportRomFolder(const DataSets& sets, const std::filesystem::path& romPath,
                             const std::filesystem::path& dir, ImageFileType type);

}  // namespace morvik

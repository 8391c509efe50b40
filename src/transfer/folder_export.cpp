#include "transfer/folder_export.h"

#include <system_error>

#include "rom/file_path.h"
#include "transfer/folder_import.h"

namespace morvik {

namespace fs = std::filesystem;

FolderExport exportFolder(const DataSets& sets, const std::vector<BattleBackground>& backgrounds,
                          const fs::path& dir, ImageFileType type, std::optional<ItemKind> only) {
    FolderExport result;
    for (const ItemKind kind : kAllItemKinds) {
        if (only && *only != kind) continue;
        const fs::path folder = dir / itemFolderName(kind);
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) {
            result.error = "cannot create folder " + pathToUtf8(folder);
            return result;
        }
        const int count =
            kind == ItemKind::Background ? static_cast<int>(backgrounds.size()) : itemCount(kind);
        for (int i = 0; i < count; ++i) {
            const ItemPicture picture = kind == ItemKind::Background
                                            ? backgroundPicture(backgrounds, i)
                                            : itemPicture(sets, kind, i);
            const fs::path file = folder / itemFileName(kind, i, type);
            if (writeImage(picture.image, file, picture.width, picture.height, type) !=
                ImageStatus::Ok) {
                result.error = "cannot write " + pathToUtf8(file);
                return result;
            }
            ++result.written;
        }
    }
    return result;
}

FolderExport exportRomFolder(const DataSets& sets, const fs::path& romPath, const fs::path& dir,
                             ImageFileType type) {
    RomFile rom;
    if (!rom.open(romPath, RomFile::Access::ReadOnly))
        return {.written = 0, .error = "cannot read " + pathToUtf8(romPath)};
    // As an open does: a ROM whose background tables cannot be read has none.
    std::vector<BattleBackground> backgrounds;
    if (loadBattleBackgrounds(backgrounds, rom) != RomLoadResult::Loaded) backgrounds.clear();
    return exportFolder(sets, backgrounds, dir, type);
}

}  // namespace morvik

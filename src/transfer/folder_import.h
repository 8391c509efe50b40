#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "rom/data_sets.h"
#include "transfer/image_transfer.h"
#include "transfer/palette_mapping.h"
#include "transfer/rom_diff.h"

namespace morvik {

// A whole folder of pictures imported at once, laid out as an export writes
// it: monsters/000..414, portraits/00..18 and characters/00..21, each a PNG,
// BMP or PCX file. The backgrounds folder is left alone (Morvik does not
// write backgrounds), and so is any file that is not a picture with a number
// for its name.
//
// Planning reads every file and works on a copy of the data sets, so the
// caller can show what would change before anything does. A file that shows
// its item as it is changes nothing (an untouched export is no change at
// all); the others are imported as the single import does, except that a
// palette a file leaves as it was is not written, so that a new colour another
// file gives a shared palette stays.

// An item's file name in its kind's folder ("012.png").
std::string itemFileName(ItemKind kind, int index, ImageFileType type);

// A file the import cannot take, and why (in the user's words).
struct FolderRefusal {
    std::filesystem::path file;  // the folder's path joined with the file's name
    std::string message;
};

struct FolderImportPlan {
    // The data sets with every changed picture imported.
    DataSets result;
    // Every item that comes out different, in item order: the ones whose
    // files changed, and those that show a palette or graphics they share.
    std::vector<ItemChange> changes;
    // The monsters, portraits and characters that stay as they are.
    int unchanged = 0;
    // Nothing may be applied while there are any.
    std::vector<FolderRefusal> refusals;
    // Files in a set's folder that name no item (other names or endings).
    std::vector<std::filesystem::path> ignored;
};

FolderImportPlan planFolderImport(const DataSets& sets, const std::filesystem::path& dir,
                                  PaletteMode mode);

// What the user is shown before the plan applies: how many items change and
// how many stay, then a line for each change, the first `maxLines` of them.
std::string folderImportSummary(const FolderImportPlan& plan, std::size_t maxLines);
// Why nothing can be imported: each refused file with its reason, the first
// `maxLines` of them.
std::string folderRefusalSummary(const FolderImportPlan& plan, std::size_t maxLines);

// Puts the plan's result in place of the sets; false (the sets untouched) when
// the plan refused a file.
[[nodiscard]] bool applyFolderImport(DataSets& sets, FolderImportPlan&& plan);

}  // namespace morvik

#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "rom/monsters/monster_graphics.h"
#include "rom/portraits/portrait_set.h"
#include "rom/sprites/sprite_set.h"
#include "transfer/image_transfer.h"
#include "transfer/palette_mapping.h"

namespace morvik {

// An import in its three steps: the file read, its colours mapped for the
// item, and the result put into the item. The pages, the import dialog and
// the command line share them.

// The file read and its colours chosen, ready to go into the item.
struct PreparedImport {
    ImageStatus status = ImageStatus::CannotRead;
    MappedPicture mapped;
    std::string message;  // why it cannot be taken; empty when it can
};
PreparedImport prepareImport(const std::filesystem::path& file, const ImportLimits& limits,
                             const ImportTarget& target, PaletteMode mode);

// Why a picture of this size cannot go into the item ("Image is 64x64, not
// the 128x128 of a whole sprite sheet"); empty when it can.
std::string importSizeRefusal(int width, int height, const ImportTarget& target);

// What each kind of item offers an import: its colours and picture.
ImportTarget monsterImportTarget(const MonsterGraphicsSet& set, int record);
ImportTarget portraitImportTarget(const PortraitSet& set, int portrait);
ImportTarget characterImportTarget(const CharacterSpriteSet& set, int character);

// Puts a mapped picture into the item: size and colour count stay where the
// picture fits them, and the palette is written only when the mapping says so.
bool applyMonsterImport(MonsterGraphicsSet& set, int record, const MappedPicture& mapped);
bool applyPortraitImport(PortraitSet& set, int portrait, const MappedPicture& mapped);
bool applyCharacterImport(CharacterSpriteSet& set, int character, const MappedPicture& mapped);

// The other items an import of `mapped` changes with the item ("12 Guard"), in
// number order: those whose colours come from a palette it changes, and for a
// monster the records that show the graphics whose pixels, size or colour
// count it changes.
std::vector<std::string> monsterImportSharers(const MonsterGraphicsSet& set, int record,
                                              const MappedPicture& mapped);
std::vector<std::string> portraitImportSharers(const PortraitSet& set, int portrait,
                                               const MappedPicture& mapped);
std::vector<std::string> characterImportSharers(const CharacterSpriteSet& set, int character,
                                                const MappedPicture& mapped);

// The other items whose colours change with this item's palette ("12 Guard"):
// for a monster, the records whose palettes overlap its `colours` colours.
std::vector<std::string> monsterPaletteSharers(const MonsterGraphicsSet& set, int record,
                                               int colours);
std::vector<std::string> portraitPaletteSharers(const PortraitSet& set, int portrait);
std::vector<std::string> characterPaletteSharers(const CharacterSpriteSet& set, int character);
// The same items by number.
std::vector<int> monstersSharingPalette(const MonsterGraphicsSet& set, int record, int colours);
// The other records that show the record's graphics.
std::vector<int> monstersSharingGraphics(const MonsterGraphicsSet& set, int record);
std::vector<int> portraitsSharingPalette(const PortraitSet& set, int portrait);
std::vector<int> charactersSharingPalette(const CharacterSpriteSet& set, int character);

}  // namespace morvik

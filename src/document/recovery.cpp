#include "document/recovery.h"

#include "document/rom_document.h"
#include "rom/monsters/monster_save.h"

namespace morvik {

std::optional<std::vector<ByteRun>> unsavedRuns(const DataSets& sets,
                                                std::span<const std::uint8_t> image) {
    // The savers tidy the sets they save (the monster set reloads itself):
    // they work on a copy.
    DataSets copy = sets;
    RomFile file;
    if (!file.openImage({}, image)) return std::nullopt;
    if (saveMonsterSet(copy.monsters, file, RepackPolicy::Allow) != MonsterSaveResult::Saved)
        return std::nullopt;
    for (const DataSetKind kind : {DataSetKind::Portraits, DataSetKind::Characters}) {
        if (!saveDataSet(copy, kind, file).empty()) return std::nullopt;
    }
    return changedRuns(image, file.bytes());
}

bool openWithRuns(RomFile& file, const std::filesystem::path& path,
                  std::span<const std::uint8_t> image, const std::vector<ByteRun>& runs) {
    if (!file.openImage(path, image)) return false;
    for (const ByteRun& run : runs) {
        if (!file.writeAtFileOffset(run.offset, run.bytes)) return false;
    }
    return true;
}

RomLoadResult loadWithRuns(DataSets& sets, std::span<const std::uint8_t> image,
                           const std::vector<ByteRun>& runs) {
    RomFile file;
    if (!openWithRuns(file, {}, image, runs)) return RomLoadResult::TooShort;
    return loadDataSets(sets, file);
}

}  // namespace morvik

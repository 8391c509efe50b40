#include "document/recovery.h"

#include "document/rom_document.h"
#include "rom/monsters/monster_save.h"
#include "rom/rom_file.h"

namespace morvik {

std::optional<std::vector<ByteRun>> unsavedRuns(const DataSets& sets,
                                                const std::filesystem::path& rom) {
    // The savers tidy the sets they save (the monster set reloads itself):
    // they work on a copy. The file is never closed, which would write it.
    DataSets copy = sets;
    RomFile file;
    if (!file.open(rom)) return std::nullopt;
    if (saveMonsterSet(copy.monsters, file, RepackPolicy::Allow) != MonsterSaveResult::Saved)
        return std::nullopt;
    for (const DataSetKind kind : {DataSetKind::Portraits, DataSetKind::Characters}) {
        if (!saveDataSet(copy, kind, file).empty()) return std::nullopt;
    }
    return changedRuns(file.originalBytes(), file.bytes());
}

RomLoadResult loadWithRuns(DataSets& sets, const std::filesystem::path& rom,
                           const std::vector<ByteRun>& runs) {
    RomFile file;
    if (!file.open(rom)) return RomLoadResult::CannotOpen;
    for (const ByteRun& run : runs) {
        if (!file.writeAtFileOffset(run.offset, run.bytes)) return RomLoadResult::TooShort;
    }
    return loadDataSets(sets, file);
}

}  // namespace morvik

#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "document/recovery_file.h"
#include "rom/data_sets.h"
#include "rom/load_result.h"

namespace morvik {

// The unsaved edits of an open ROM as a recovery file keeps them, and back.

// The runs of bytes a File > Save of the sets would write into the ROM file as
// it lies on the disk now (file offsets, the copier header included). Only
// memory is written: the file stays as it is, and so do the sets. A repack of
// the monster graphics is allowed here, since nothing reaches the disk.
// Nothing when the file cannot be opened for writing or a saver refuses.
std::optional<std::vector<ByteRun>> unsavedRuns(const DataSets& sets,
                                                const std::filesystem::path& rom);

// The data sets of the ROM file with the runs written over it in memory; the
// file stays as it is. The loader's result; a run that does not lie inside
// the file is TooShort.
RomLoadResult loadWithRuns(DataSets& sets, const std::filesystem::path& rom,
                           const std::vector<ByteRun>& runs);

}  // namespace morvik

#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "document/recovery_file.h"
#include "rom/data_sets.h"
#include "rom/load_result.h"
#include "rom/rom_file.h"

namespace morvik {

// The unsaved edits of an open ROM as a recovery file keeps them, and back.
// Both work on the ROM file's image as it was read into memory: the file on
// the disk is never read again for them, nor written.

// The runs of bytes a File > Save of the sets would write into the file whose
// image this is (file offsets, the copier header included). The sets stay as
// they are. A repack of the monster graphics is allowed here, since nothing
// reaches the disk. Nothing when the image is no ROM's or a saver refuses.
std::optional<std::vector<ByteRun>> unsavedRuns(const DataSets& sets,
                                                std::span<const std::uint8_t> image);

// Opens `file` on the image with the runs written over it, for a loader to
// read; false when the image is no ROM's or a run does not lie inside it.
bool openWithRuns(RomFile& file, const std::filesystem::path& path,
                  std::span<const std::uint8_t> image, const std::vector<ByteRun>& runs);

// The data sets of the image with the runs written over it: the loader's
// result, TooShort when a run does not lie inside the image.
RomLoadResult loadWithRuns(DataSets& sets, std::span<const std::uint8_t> image,
                           const std::vector<ByteRun>& runs);

}  // namespace morvik

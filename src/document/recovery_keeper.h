#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/recovery_file.h"
#include "rom/data_sets.h"

namespace morvik {

// A recovery file offered back: its name in the store and what it holds.
struct RecoveryOffer {
    std::string name;
    RecoveryRecord record;
    // The ROM on the disk is no longer the one the edits were made on (its
    // size or time differ).
    bool romChanged = false;
};

// Keeps the recovery copy of one open ROM's unsaved edits up to date, and
// finds the copies earlier runs left. The document tells it what happens; the
// window gives it the store, the process and the clocks.
class RecoveryKeeper {
  public:
    struct System {
        std::uint32_t processId = 0;
        // Whether a process of that number runs now.
        std::function<bool(std::uint32_t)> processAlive = [](std::uint32_t) { return false; };
        // Seconds since 1970, for the question's "last change at".
        std::function<std::int64_t()> secondsNow = [] { return std::int64_t{0}; };
    };

    RecoveryKeeper(RecoveryStore& store, System system)
        : store_(store), system_(std::move(system)) {}

    // A ROM was opened (or saved under another name): its size and time now
    // are what a copy is made against. Any copy of the ROM before is removed.
    void romOpened(const std::filesystem::path& rom);
    // The data changed at nowMs (a clock of milliseconds).
    void changed(std::int64_t nowMs);
    // Writes the copy when the schedule says so: true when it wrote one. A
    // copy that cannot be made (the ROM unreadable, a save refused) is tried
    // again at the next change.
    bool tick(std::int64_t nowMs, const DataSets& sets);
    // The edits reached the ROM, or the user let them go, or the editor closes
    // cleanly: the copy goes.
    void discard();
    // The file name of the open ROM's copy (empty before a ROM is opened).
    const std::string& fileName() const { return name_; }

    // The copies of the ROM that editors no longer running left behind, the
    // newest first. Damaged files are listed in `damaged` and left alone.
    std::vector<RecoveryOffer> offersFor(const std::filesystem::path& rom,
                                         std::vector<std::string>* damaged = nullptr);
    // "No" to an offer: the copy is kept under another name ("...-recovered-
    // SECONDS.mvr") and never offered again.
    bool keepAside(const RecoveryOffer& offer);
    // "Yes": the copy's file goes (the edits are now the open ROM's unsaved
    // changes, which this keeper copies again).
    void taken(const RecoveryOffer& offer) { store_.remove(offer.name); }

  private:
    RecoveryStore& store_;
    System system_;
    RecoverySchedule schedule_;
    std::filesystem::path rom_;
    std::string name_;
    std::uint64_t romSize_ = 0;
    std::int64_t romTime_ = 0;
    std::int64_t changedAt_ = 0;
};

}  // namespace morvik

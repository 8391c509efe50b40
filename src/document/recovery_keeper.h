#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/recovery_file.h"
#include "rom/data_sets.h"

namespace morvik {

std::uint32_t currentProcessId();
bool processRunning(std::uint32_t processId);
std::int64_t secondsSince1970();
std::int64_t steadyMilliseconds();

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
    // The process and the clocks; tests pass their own.
    struct System {
        std::uint32_t processId = currentProcessId();
        // Whether a process of that number runs now.
        std::function<bool(std::uint32_t)> processAlive = processRunning;
        // Seconds since 1970, for the question's "last change at".
        std::function<std::int64_t()> secondsNow = secondsSince1970;
        // A clock of milliseconds for the schedule.
        std::function<std::int64_t()> millisecondsNow = steadyMilliseconds;
    };

    RecoveryKeeper(RecoveryStore& store, System system)
        : store_(store), system_(std::move(system)) {}

    // A ROM was opened or saved: `image` is its file as it is on the disk
    // now, and what a copy is made against (its size and time are taken from
    // the file). Any copy of the ROM before is removed.
    void romOpened(const std::filesystem::path& rom, std::span<const std::uint8_t> image);
    // The data changed at nowMs (a clock of milliseconds), or now.
    void changed(std::int64_t nowMs);
    void changed() { changed(system_.millisecondsNow()); }
    // Whether a copy is to be written now.
    bool due(std::int64_t nowMs) const { return !name_.empty() && schedule_.due(nowMs); }
    bool due() const { return due(system_.millisecondsNow()); }
    // Writes the copy when the schedule says so: true when the store then
    // holds what it should. A copy that cannot be made (a saver refused) is
    // tried again at the next change. Sets that a save would not change leave
    // no copy.
    bool tick(std::int64_t nowMs, const DataSets& sets);
    bool tick(const DataSets& sets) { return tick(system_.millisecondsNow(), sets); }
    // The same at once.
    bool writeNow(const DataSets& sets);
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
    // DATE.mvr") and never offered again.
    bool keepAside(const RecoveryOffer& offer) { return rename(offer.name, "recovered"); }
    // A damaged copy the user was told of: kept as "...-damaged-DATE.mvr" for
    // inspection, and not told of again.
    bool keepDamagedAside(const std::string& name) { return rename(name, "damaged"); }
    // "Yes": the edits are now the open ROM's unsaved changes, `sets`, whose
    // own copy is written at once; then the old copy goes.
    void taken(const RecoveryOffer& offer, const DataSets& sets);

  private:
    bool rename(const std::string& name, const char* why);

    RecoveryStore& store_;
    System system_;
    RecoverySchedule schedule_;
    std::filesystem::path rom_;
    std::string name_;
    std::uint64_t romSize_ = 0;
    std::int64_t romTime_ = 0;
    std::int64_t changedAt_ = 0;
    // The ROM's file as on the disk.
    std::vector<std::uint8_t> image_;
};

// "2026-12-10 22:05" in local time.
std::string localTimeText(std::int64_t secondsSince1970);
// The question asked before a ROM with a recovery copy is shown.
std::string recoveryQuestion(const std::string& romName, const std::string& timeText,
                             bool romChanged);

}  // namespace morvik

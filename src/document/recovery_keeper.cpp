#include "document/recovery_keeper.h"

#include <algorithm>

#include "document/recovery.h"
#include "document/rom_document.h"
#include "rom/file_path.h"

namespace morvik {

namespace {

// A file's size and modification time as a recovery file keeps them, in the
// file clock's ticks; nothing when the file cannot be read.
std::optional<std::pair<std::uint64_t, std::int64_t>> stampOf(const std::filesystem::path& path) {
    const FileStamp stamp = fileStamp(path);
    if (!stamp.known) return std::nullopt;
    return std::pair{static_cast<std::uint64_t>(stamp.size),
                     static_cast<std::int64_t>(stamp.modified.time_since_epoch().count())};
}

}  // namespace

void RecoveryKeeper::romOpened(const std::filesystem::path& rom) {
    discard();
    rom_ = rom;
    name_ = recoveryFileName(pathToUtf8(rom), system_.processId);
    const auto stamp = stampOf(rom);
    romSize_ = stamp ? stamp->first : 0;
    romTime_ = stamp ? stamp->second : 0;
}

void RecoveryKeeper::changed(std::int64_t nowMs) {
    if (name_.empty()) return;
    schedule_.changed(nowMs);
    changedAt_ = system_.secondsNow();
}

bool RecoveryKeeper::tick(std::int64_t nowMs, const DataSets& sets) {
    if (name_.empty() || !schedule_.due(nowMs)) return false;
    schedule_.settled();
    const auto runs = unsavedRuns(sets, rom_);
    if (!runs) return false;
    RecoveryRecord record;
    record.romPath = pathToUtf8(rom_);
    record.romSize = romSize_;
    record.romTime = romTime_;
    record.changedAt = changedAt_;
    record.processId = system_.processId;
    record.runs = *runs;
    return store_.write(name_, recoveryFileBytes(record));
}

void RecoveryKeeper::discard() {
    schedule_.settled();
    if (!name_.empty()) store_.remove(name_);
}

std::vector<RecoveryOffer> RecoveryKeeper::offersFor(const std::filesystem::path& rom,
                                                     std::vector<std::string>* damaged) {
    const std::string path = pathToUtf8(rom);
    // Every process's copy of this ROM starts with the same name.
    const std::string mine = recoveryFileName(path, 0);
    const std::string prefix = mine.substr(0, mine.rfind('-') + 1);
    const auto stamp = stampOf(rom);
    std::vector<RecoveryOffer> offers;
    for (const std::string& name : store_.names()) {
        if (!name.starts_with(prefix) || name.find("-recovered-") != std::string::npos) continue;
        const auto bytes = store_.read(name);
        RecoveryOffer offer;
        offer.name = name;
        if (!bytes || readRecoveryFile(*bytes, offer.record) != RecoveryStatus::Ok) {
            if (damaged != nullptr) damaged->push_back(name);
            continue;
        }
        // Another ROM whose path shares the hash, or an editor still at work.
        if (offer.record.romPath != path || offer.record.processId == system_.processId ||
            system_.processAlive(offer.record.processId))
            continue;
        offer.romChanged =
            !stamp || stamp->first != offer.record.romSize || stamp->second != offer.record.romTime;
        offers.push_back(std::move(offer));
    }
    std::sort(offers.begin(), offers.end(), [](const RecoveryOffer& a, const RecoveryOffer& b) {
        return a.record.changedAt > b.record.changedAt;
    });
    return offers;
}

bool RecoveryKeeper::keepAside(const RecoveryOffer& offer) {
    const std::string stem = offer.name.substr(0, offer.name.size() - 4);  // without ".mvr"
    return store_.rename(offer.name,
                         stem + "-recovered-" + std::to_string(system_.secondsNow()) + ".mvr");
}

}  // namespace morvik

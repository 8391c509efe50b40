#include "document/recovery_keeper.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

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

std::tm localTime(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &time);
#else
    localtime_r(&time, &parts);
#endif
    return parts;
}

std::string timeText(std::int64_t seconds, const char* format) {
    const std::tm parts = localTime(seconds);
    char text[32];
    return std::strftime(text, sizeof text, format, &parts) > 0 ? text : "";
}

}  // namespace

std::uint32_t currentProcessId() {
#ifdef _WIN32
    return static_cast<std::uint32_t>(GetCurrentProcessId());
#else
    return static_cast<std::uint32_t>(getpid());
#endif
}

bool processRunning(std::uint32_t processId) {
    if (processId == 0) return false;
#ifdef _WIN32
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) != 0 && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    // A process of another user still runs, though it may not be signalled.
    return kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
#endif
}

std::int64_t secondsSince1970() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::int64_t steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string localTimeText(std::int64_t secondsSince1970) {
    return timeText(secondsSince1970, "%Y-%m-%d %H:%M");
}

std::string recoveryQuestion(const std::string& romName, const std::string& time, bool romChanged) {
    std::string text = "Morvik closed without saving the changes to " + romName +
                       " (last change at " + time + "). Recover them?";
    if (romChanged)
        text +=
            "\n\nThe ROM was changed on the disk since then: the changes are put over it "
            "as it is now.";
    return text;
}

void RecoveryKeeper::romOpened(const std::filesystem::path& rom,
                               std::span<const std::uint8_t> image) {
    discard();
    rom_ = rom;
    image_.assign(image.begin(), image.end());
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
    return due(nowMs) && writeNow(sets);
}

bool RecoveryKeeper::writeNow(const DataSets& sets) {
    if (name_.empty()) return false;
    schedule_.settled();
    const auto runs = unsavedRuns(sets, image_);
    if (!runs) return false;
    // Undone back to the ROM as on the disk: nothing to recover.
    if (runs->empty()) {
        store_.remove(name_);
        return true;
    }
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
        if (!name.starts_with(prefix) || name.find("-recovered-") != std::string::npos ||
            name.find("-damaged-") != std::string::npos)
            continue;
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

void RecoveryKeeper::taken(const RecoveryOffer& offer, const DataSets& sets) {
    changedAt_ = offer.record.changedAt;
    // Not removed before the new copy is on the disk.
    if (writeNow(sets) || name_.empty()) store_.remove(offer.name);
}

bool RecoveryKeeper::rename(const std::string& name, const char* why) {
    const std::string stem = name.substr(0, name.size() - 4);  // without ".mvr"
    return store_.rename(
        name, stem + "-" + why + "-" + timeText(system_.secondsNow(), "%Y%m%d-%H%M%S") + ".mvr");
}

}  // namespace morvik

#include "document/recovery_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "rom/file_path.h"
#include "rom/file_replace.h"
#include "transfer/patch.h"

namespace morvik {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'M', 'O', 'R', 'V', 'I', 'K', 'R', 'V'};
constexpr std::uint32_t kVersion = 1;
// A path longer than this is no path of a ROM a user opened.
constexpr std::uint32_t kMaxPathBytes = 4096;

void put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
}

// Reads little-endian fields front to back; once a field runs past the end,
// every later read fails too.
class FieldReader {
  public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool take(std::uint64_t& value, int bytes) {
        if (!ok_ || bytes_.size() - at_ < static_cast<std::size_t>(bytes)) return ok_ = false;
        value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= static_cast<std::uint64_t>(bytes_[at_ + static_cast<std::size_t>(i)])
                     << (8 * i);
        at_ += static_cast<std::size_t>(bytes);
        return true;
    }
    bool take(std::vector<std::uint8_t>& out, std::uint64_t count) {
        if (!ok_ || bytes_.size() - at_ < count) return ok_ = false;
        out.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                   bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
        at_ += static_cast<std::size_t>(count);
        return true;
    }
    bool atEnd() const { return ok_ && at_ == bytes_.size(); }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

}  // namespace

std::vector<std::uint8_t> recoveryFileBytes(const RecoveryRecord& record) {
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    put(out, kVersion, 4);
    put(out, record.processId, 4);
    put(out, record.romSize, 8);
    put(out, static_cast<std::uint64_t>(record.romTime), 8);
    put(out, static_cast<std::uint64_t>(record.changedAt), 8);
    put(out, record.romPath.size(), 4);
    out.insert(out.end(), record.romPath.begin(), record.romPath.end());
    put(out, record.runs.size(), 4);
    for (const ByteRun& run : record.runs) {
        put(out, run.offset, 8);
        put(out, run.bytes.size(), 4);
        out.insert(out.end(), run.bytes.begin(), run.bytes.end());
    }
    put(out, crc32Of(out), 4);
    return out;
}

RecoveryStatus readRecoveryFile(std::span<const std::uint8_t> bytes, RecoveryRecord& out) {
    if (bytes.size() < kMagic.size() + 4 ||
        !std::equal(kMagic.begin(), kMagic.end(), bytes.begin()))
        return RecoveryStatus::NotRecovery;
    if (bytes.size() > kMaxRecoveryBytes) return RecoveryStatus::Damaged;
    FieldReader fields(bytes.subspan(kMagic.size()));
    std::uint64_t version = 0;
    if (!fields.take(version, 4) || version != kVersion) return RecoveryStatus::NotRecovery;
    // The check sum first: nothing of a damaged file is believed.
    if (bytes.size() < kMagic.size() + 8) return RecoveryStatus::Damaged;
    const auto body = bytes.first(bytes.size() - 4);
    std::uint64_t stored = 0;
    FieldReader trailer(bytes.last(4));
    if (!trailer.take(stored, 4) || stored != crc32Of(body)) return RecoveryStatus::Damaged;

    FieldReader reader(body.subspan(kMagic.size() + 4));
    RecoveryRecord record;
    std::uint64_t processId = 0;
    std::uint64_t romTime = 0;
    std::uint64_t changedAt = 0;
    std::uint64_t pathBytes = 0;
    std::vector<std::uint8_t> path;
    std::uint64_t runCount = 0;
    if (!reader.take(processId, 4) || !reader.take(record.romSize, 8) || !reader.take(romTime, 8) ||
        !reader.take(changedAt, 8) || !reader.take(pathBytes, 4) || pathBytes > kMaxPathBytes ||
        !reader.take(path, pathBytes) || !reader.take(runCount, 4))
        return RecoveryStatus::Damaged;
    record.processId = static_cast<std::uint32_t>(processId);
    record.romTime = static_cast<std::int64_t>(romTime);
    record.changedAt = static_cast<std::int64_t>(changedAt);
    record.romPath.assign(path.begin(), path.end());
    // Every run takes at least 12 bytes of the file: a count beyond that is a lie.
    if (runCount > body.size() / 12) return RecoveryStatus::Damaged;
    std::uint64_t end = 0;
    for (std::uint64_t i = 0; i < runCount; ++i) {
        ByteRun run;
        std::uint64_t length = 0;
        if (!reader.take(run.offset, 8) || !reader.take(length, 4) || length == 0 ||
            run.offset < end || run.offset > record.romSize ||
            length > record.romSize - run.offset || !reader.take(run.bytes, length))
            return RecoveryStatus::Damaged;
        end = run.offset + length;
        record.runs.push_back(std::move(run));
    }
    if (!reader.atEnd()) return RecoveryStatus::Damaged;
    out = std::move(record);
    return RecoveryStatus::Ok;
}

namespace {

// The first offset from `from` on where the images differ (their size when
// none): whole blocks are compared at once, since most of a ROM is the same.
std::size_t nextDifference(std::span<const std::uint8_t> before,
                           std::span<const std::uint8_t> after, std::size_t from) {
    constexpr std::size_t kBlock = 256;
    while (from + kBlock <= after.size() &&
           std::memcmp(before.data() + from, after.data() + from, kBlock) == 0)
        from += kBlock;
    while (from < after.size() && before[from] == after[from])
        ++from;
    return from;
}

}  // namespace

std::vector<ByteRun> changedRuns(std::span<const std::uint8_t> before,
                                 std::span<const std::uint8_t> after) {
    std::vector<ByteRun> runs;
    if (before.size() != after.size()) return runs;
    std::size_t i = 0;
    while ((i = nextDifference(before, after, i)) < after.size()) {
        // A run ends after kJoinGap equal bytes in a row.
        std::size_t last = i;
        std::size_t j = i + 1;
        while (j < after.size() && j - last <= kJoinGap) {
            if (before[j] != after[j]) last = j;
            ++j;
        }
        runs.push_back(
            {i, std::vector<std::uint8_t>(after.begin() + static_cast<std::ptrdiff_t>(i),
                                          after.begin() + static_cast<std::ptrdiff_t>(last + 1))});
        i = last + 1;
    }
    return runs;
}

bool applyRuns(const std::vector<ByteRun>& runs, std::vector<std::uint8_t>& image) {
    for (const ByteRun& run : runs) {
        if (run.offset > image.size() || run.bytes.size() > image.size() - run.offset) return false;
    }
    for (const ByteRun& run : runs)
        std::copy(run.bytes.begin(), run.bytes.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(run.offset));
    return true;
}

bool MemoryRecoveryStore::write(const std::string& name, std::span<const std::uint8_t> bytes) {
    files[name].assign(bytes.begin(), bytes.end());
    return true;
}

std::optional<std::vector<std::uint8_t>> MemoryRecoveryStore::read(const std::string& name) {
    const auto found = files.find(name);
    if (found == files.end()) return std::nullopt;
    return found->second;
}

bool MemoryRecoveryStore::rename(const std::string& from, const std::string& to) {
    const auto found = files.find(from);
    if (found == files.end()) return false;
    files[to] = std::move(found->second);
    files.erase(from);
    return true;
}

std::vector<std::string> MemoryRecoveryStore::names() {
    std::vector<std::string> all;
    for (const auto& [name, bytes] : files)
        all.push_back(name);
    return all;
}

bool FolderRecoveryStore::write(const std::string& name, std::span<const std::uint8_t> bytes) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    return replaceFile(folder_ / name, bytes).replaced;
}

std::optional<std::vector<std::uint8_t>> FolderRecoveryStore::read(const std::string& name) {
    const std::filesystem::path path = folder_ / name;
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxRecoveryBytes) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return std::nullopt;
    return bytes;
}

bool FolderRecoveryStore::remove(const std::string& name) {
    std::error_code error;
    return std::filesystem::remove(folder_ / name, error);
}

bool FolderRecoveryStore::rename(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::rename(folder_ / from, folder_ / to, error);
    return !error;
}

std::vector<std::string> FolderRecoveryStore::names() {
    std::vector<std::string> all;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator(folder_, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = pathToUtf8(it->path().filename());
        if (it->is_regular_file(error) && name.ends_with(".mvr")) all.push_back(name);
    }
    std::sort(all.begin(), all.end());
    return all;
}

void RecoverySchedule::changed(std::int64_t nowMs) {
    if (!pending_) first_ = nowMs;
    pending_ = true;
    last_ = nowMs;
}

std::optional<std::int64_t> RecoverySchedule::dueAt() const {
    if (!pending_) return std::nullopt;
    return std::min(last_ + kQuietMs, first_ + kLongestMs);
}

std::string recoveryFileName(const std::string& romPath, std::uint32_t processId) {
    const std::uint32_t hash =
        crc32Of(std::span(reinterpret_cast<const std::uint8_t*>(romPath.data()), romPath.size()));
    char name[48];
    std::snprintf(name, sizeof name, "recovery-%08X-%u.mvr", static_cast<unsigned>(hash),
                  static_cast<unsigned>(processId));
    return name;
}

}  // namespace morvik

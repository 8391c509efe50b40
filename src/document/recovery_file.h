#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace morvik {

// Unsaved edits kept beside the editor, so a crash loses none of them: the
// ROM they belong to as it was when opened, and the bytes a save would have
// written into its file. The ROM itself is never touched by them.

// Bytes of the file image from a file offset on.
struct ByteRun {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const ByteRun&, const ByteRun&) = default;
};

struct RecoveryRecord {
    std::string romPath;          // UTF-8
    std::uint64_t romSize = 0;    // the file's size when it was opened
    std::int64_t romTime = 0;     // its modification time then, in the file clock's ticks
    std::int64_t changedAt = 0;   // the last change, in seconds since 1970
    std::uint32_t processId = 0;  // the editor that wrote it
    std::vector<ByteRun> runs;    // what a save would write, each run inside the file
    friend bool operator==(const RecoveryRecord&, const RecoveryRecord&) = default;
};

enum class [[nodiscard]] RecoveryStatus{
    Ok,
    NotRecovery,  // not a recovery file of this program (or of a later version)
    Damaged,      // cut short, its check sum wrong, or its fields out of bounds
};

// A recovery file is never larger than this (a whole expanded ROM and more).
inline constexpr std::size_t kMaxRecoveryBytes = std::size_t{64} << 20;

std::vector<std::uint8_t> recoveryFileBytes(const RecoveryRecord& record);
// Reads a recovery file; on any status but Ok `out` is left as it was.
RecoveryStatus readRecoveryFile(std::span<const std::uint8_t> bytes, RecoveryRecord& out);

// The runs that turn `before` into `after` (two images of one size; nothing
// for images of different sizes): changes fewer than kJoinGap bytes apart
// share a run.
inline constexpr std::size_t kJoinGap = 16;
std::vector<ByteRun> changedRuns(std::span<const std::uint8_t> before,
                                 std::span<const std::uint8_t> after);
// Writes the runs into the image; false, and the image untouched, when one
// does not lie inside it.
bool applyRuns(const std::vector<ByteRun>& runs, std::vector<std::uint8_t>& image);

// Where recovery files live: the window's store keeps them in the
// application-data folder, tests keep them in memory. A write replaces the
// file whole or not at all.
class RecoveryStore {
  public:
    virtual ~RecoveryStore() = default;
    [[nodiscard]] virtual bool write(const std::string& name,
                                     std::span<const std::uint8_t> bytes) = 0;
    virtual std::optional<std::vector<std::uint8_t>> read(const std::string& name) = 0;
    virtual bool remove(const std::string& name) = 0;
    [[nodiscard]] virtual bool rename(const std::string& from, const std::string& to) = 0;
    virtual std::vector<std::string> names() = 0;
};

class MemoryRecoveryStore : public RecoveryStore {
  public:
    bool write(const std::string& name, std::span<const std::uint8_t> bytes) override;
    std::optional<std::vector<std::uint8_t>> read(const std::string& name) override;
    bool remove(const std::string& name) override { return files.erase(name) > 0; }
    bool rename(const std::string& from, const std::string& to) override;
    std::vector<std::string> names() override;

    std::map<std::string, std::vector<std::uint8_t>> files;
};

// Recovery files in a folder (the window passes the application-data folder's
// "recovery"): each written to a temporary file, flushed and renamed over the
// old one. Only the program's own files (".mvr") are listed.
class FolderRecoveryStore : public RecoveryStore {
  public:
    explicit FolderRecoveryStore(std::filesystem::path folder) : folder_(std::move(folder)) {}
    bool write(const std::string& name, std::span<const std::uint8_t> bytes) override;
    std::optional<std::vector<std::uint8_t>> read(const std::string& name) override;
    bool remove(const std::string& name) override;
    bool rename(const std::string& from, const std::string& to) override;
    std::vector<std::string> names() override;

  private:
    std::filesystem::path folder_;
};

// When the recovery file is written: a few seconds after the last change, so
// a stroke is never held up by it, and while changes keep coming at least
// every half minute.
class RecoverySchedule {
  public:
    static constexpr std::int64_t kQuietMs = 5000;
    static constexpr std::int64_t kLongestMs = 30000;

    // An edit at nowMs (a clock of milliseconds).
    void changed(std::int64_t nowMs);
    // The file was written, or its changes were saved: nothing is pending.
    void settled() { pending_ = false; }
    bool pending() const { return pending_; }
    // When the next write is due; nothing when nothing is pending.
    std::optional<std::int64_t> dueAt() const;
    bool due(std::int64_t nowMs) const { return pending_ && nowMs >= *dueAt(); }

  private:
    bool pending_ = false;
    std::int64_t first_ = 0;
    std::int64_t last_ = 0;
};

// The file name of one ROM's recovery in one editor process: editors running
// at once, or on several ROMs, never share one. "recovery-<hash of the
// path>-<process>.mvr".
std::string recoveryFileName(const std::string& romPath, std::uint32_t processId);

}  // namespace morvik

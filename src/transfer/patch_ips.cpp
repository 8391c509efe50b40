// IPS: records over the bytes that differ, joined where the bytes between
// cost less than a new record, with runs of one value stored as a count.
#include <algorithm>
#include <cstring>

#include "transfer/patch.h"

namespace morvik {

namespace {

constexpr std::uint8_t kMagic[5] = {'P', 'A', 'T', 'C', 'H'};
constexpr std::uint8_t kEnd[3] = {'E', 'O', 'F'};
// A record at this offset would read as the end marker.
constexpr std::size_t kEndOffset = 0x454F46;
constexpr std::size_t kOffsetLimit = 0x1000000;
constexpr std::size_t kMaxRecord = 0xFFFF;
constexpr std::size_t kRecordHeader = 5;
constexpr std::size_t kRunRecord = kRecordHeader + 3;
// The furthest any record can write: the last offset and the longest record.
constexpr std::size_t kMaxResult = kOffsetLimit + 0x10000;

void put16(PatchBytes& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void put24(PatchBytes& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    put16(out, value & 0xFFFF);
}

std::size_t get16(const std::uint8_t* at) {
    return std::size_t{at[0]} << 8 | at[1];
}
std::size_t get24(const std::uint8_t* at) {
    return std::size_t{at[0]} << 16 | get16(at + 1);
}

class IpsWriter {
  public:
    explicit IpsWriter(std::span<const std::uint8_t> target) : target_(target) {
        out_.insert(out_.end(), std::begin(kMagic), std::end(kMagic));
    }

    // The bytes [begin, end) of the target, stored as literal records and runs.
    void range(std::size_t begin, std::size_t end) {
        std::size_t literal = begin;
        std::size_t at = begin;
        while (at < end) {
            std::size_t runEnd = at + 1;
            while (runEnd < end && target_[runEnd] == target_[at])
                ++runEnd;
            // A run costs its record, plus a new header for the literal bytes
            // after it when it splits them; kept literal it costs its bytes,
            // plus the header it would otherwise spare.
            const bool splits = at > literal && runEnd < end;
            const std::size_t runCost = kRunRecord + (splits ? kRecordHeader : 0);
            const std::size_t literalCost =
                (runEnd - at) + (at == literal && runEnd == end ? kRecordHeader : 0);
            if (runCost < literalCost) {
                literalRecords(literal, at);
                runRecords(at, runEnd);
                literal = runEnd;
            }
            at = runEnd;
        }
        literalRecords(literal, end);
    }

    PatchBytes finish(std::optional<std::size_t> cutTo) {
        out_.insert(out_.end(), std::begin(kEnd), std::end(kEnd));
        if (cutTo) put24(out_, *cutTo);
        return std::move(out_);
    }

  private:
    void literalRecords(std::size_t begin, std::size_t end) {
        while (begin < end) {
            // Started a byte early, the record writes that byte's own new value.
            if (begin == kEndOffset) --begin;
            const std::size_t size = std::min(end - begin, kMaxRecord);
            put24(out_, begin);
            put16(out_, size);
            out_.insert(out_.end(), target_.begin() + static_cast<std::ptrdiff_t>(begin),
                        target_.begin() + static_cast<std::ptrdiff_t>(begin + size));
            begin += size;
        }
    }

    void runRecords(std::size_t begin, std::size_t end) {
        while (begin < end) {
            if (begin == kEndOffset) {
                literalRecords(begin, begin + 1);
                ++begin;
                continue;
            }
            const std::size_t count = std::min(end - begin, kMaxRecord);
            put24(out_, begin);
            put16(out_, 0);
            put16(out_, count);
            out_.push_back(target_[begin]);
            begin += count;
        }
    }

    std::span<const std::uint8_t> target_;
    PatchBytes out_;
};

}  // namespace

PatchResult makeIps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target) {
    PatchResult result;
    if (source.size() == target.size() &&
        std::equal(source.begin(), source.end(), target.begin())) {
        result.status = PatchStatus::Identical;
        return result;
    }
    const bool shorter = target.size() < source.size();
    if (shorter && target.size() >= kOffsetLimit) {
        result.status = PatchStatus::TooLarge;
        return result;
    }
    // Past the source's end the result grows with zeros, so only other
    // values need writing there, and the last byte, which gives the size.
    const auto differs = [&](std::size_t at) {
        return at < source.size() ? source[at] != target[at]
                                  : target[at] != 0 || at + 1 == target.size();
    };
    IpsWriter writer(target);
    bool open = false;
    std::size_t begin = 0;
    std::size_t end = 0;
    for (std::size_t at = 0; at < target.size(); ++at) {
        if (!differs(at)) continue;
        if (at >= kOffsetLimit) {
            result.status = PatchStatus::TooLarge;
            return result;
        }
        if (open && at - end < kRecordHeader) {
            end = at + 1;
            continue;
        }
        if (open) writer.range(begin, end);
        open = true;
        begin = at;
        end = at + 1;
    }
    if (open) writer.range(begin, end);
    result.bytes =
        writer.finish(shorter ? std::optional<std::size_t>(target.size()) : std::nullopt);
    return result;
}

PatchResult applyIps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source) {
    PatchResult result;
    if (patch.size() < sizeof kMagic ||
        !std::equal(std::begin(kMagic), std::end(kMagic), patch.begin())) {
        result.status = PatchStatus::BadMagic;
        return result;
    }
    PatchBytes data(source.begin(), source.end());
    const std::uint8_t* bytes = patch.data();
    const std::size_t size = patch.size();
    std::size_t pos = sizeof kMagic;
    for (;;) {
        if (size - pos < 3) {
            result.status = PatchStatus::Truncated;
            return result;
        }
        if (std::equal(std::begin(kEnd), std::end(kEnd), bytes + pos)) {
            pos += 3;
            break;
        }
        const std::size_t offset = get24(bytes + pos);
        if (size - pos < 5) {
            result.status = PatchStatus::Truncated;
            return result;
        }
        std::size_t length = get16(bytes + pos + 3);
        pos += 5;
        const bool run = length == 0;
        if (run) {
            if (size - pos < 3) {
                result.status = PatchStatus::Truncated;
                return result;
            }
            length = get16(bytes + pos);
        } else if (size - pos < length) {
            result.status = PatchStatus::Truncated;
            return result;
        }
        // Records may reach past the source's end: the result grows.
        if (offset + length > kMaxResult) {
            result.status = PatchStatus::OutOfRange;
            return result;
        }
        if (length > 0 && offset + length > data.size()) data.resize(offset + length);
        if (run) {
            std::fill_n(data.begin() + static_cast<std::ptrdiff_t>(offset), length, bytes[pos + 2]);
            pos += 3;
        } else {
            std::memcpy(data.data() + offset, bytes + pos, length);
            pos += length;
        }
    }
    if (size - pos >= 3) {
        const std::size_t cutTo = get24(bytes + pos);
        if (cutTo < data.size()) data.resize(cutTo);
    }
    result.bytes = std::move(data);
    return result;
}

}  // namespace morvik

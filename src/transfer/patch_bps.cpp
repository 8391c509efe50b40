// BPS: made by walking the target once, reading the source in place where it
// agrees and otherwise looking up short windows of the target in hashed
// indexes of the source and of the target already written; read back with
// every number and every action checked against the sizes it may touch.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>

#include "transfer/patch.h"

namespace morvik {

namespace {

constexpr std::uint8_t kMagic[4] = {'B', 'P', 'S', '1'};
constexpr std::size_t kFooterSize = 12;
// Magic, three one-byte numbers and the footer.
constexpr std::size_t kSmallestPatch = 4 + 3 + kFooterSize;
// Far above any Super Nintendo ROM; a patch claiming more is refused before
// anything is allocated for it.
constexpr std::uint64_t kMaxTargetSize = 64u << 20;

enum Command : std::uint64_t { kSourceRead = 0, kTargetRead = 1, kSourceCopy = 2, kTargetCopy = 3 };

std::uint32_t readLe32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void writeLe32(PatchBytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// ---------------------------------------------------------------- numbers

void writeNumber(PatchBytes& out, std::uint64_t value) {
    for (;;) {
        const auto low = static_cast<std::uint8_t>(value & 0x7f);
        value >>= 7;
        if (value == 0) {
            out.push_back(static_cast<std::uint8_t>(0x80 | low));
            return;
        }
        out.push_back(low);
        --value;
    }
}

std::size_t numberSize(std::uint64_t value) {
    std::size_t size = 1;
    while ((value >>= 7) != 0) {
        --value;
        ++size;
    }
    return size;
}

// Reads the patch from `pos` up to `end`, never beyond.
struct Reader {
    std::span<const std::uint8_t> patch;
    std::size_t pos = 0;
    std::size_t end = 0;

    // Eight bytes name numbers up to 2^56, far past any size a patch may use;
    // a longer number is refused rather than allowed to overflow.
    PatchStatus number(std::uint64_t& value) {
        value = 0;
        std::uint64_t shift = 1;
        for (int byte = 0;; ++byte) {
            if (pos >= end) return PatchStatus::Truncated;
            const std::uint8_t x = patch[pos++];
            value += (x & 0x7f) * shift;
            if ((x & 0x80) != 0) return PatchStatus::Ok;
            if (byte == 7) return PatchStatus::OutOfRange;
            shift <<= 7;
            value += shift;
        }
    }
};

// Moves a relative offset by a signed step, staying inside [0, limit].
bool moveOffset(std::uint64_t& offset, std::uint64_t step, std::uint64_t limit) {
    const std::uint64_t amount = step >> 1;
    if ((step & 1) != 0) {
        if (amount > offset) return false;
        offset -= amount;
    } else {
        if (amount > limit - offset) return false;
        offset += amount;
    }
    return true;
}

// ---------------------------------------------------------------- applying

// Runs the actions in [reader.pos, reader.end) into `target` (targetSize
// bytes). Without a target it only walks them, to see where they end.
PatchStatus runActions(Reader& reader, std::span<const std::uint8_t> source,
                       std::uint64_t targetSize, std::uint8_t* target) {
    std::uint64_t out = 0;
    std::uint64_t sourceOffset = 0;
    std::uint64_t targetOffset = 0;
    while (out < targetSize) {
        std::uint64_t action = 0;
        if (const PatchStatus status = reader.number(action); status != PatchStatus::Ok) {
            return status;
        }
        const std::uint64_t length = (action >> 2) + 1;
        if (length > targetSize - out) return PatchStatus::OutOfRange;
        switch (action & 3) {
            case kSourceRead:
                if (target == nullptr) break;
                if (out > source.size() || length > source.size() - out) {
                    return PatchStatus::OutOfRange;
                }
                std::memcpy(target + out, source.data() + out, length);
                break;
            case kTargetRead:
                if (length > reader.end - reader.pos) return PatchStatus::Truncated;
                if (target != nullptr) {
                    std::memcpy(target + out, reader.patch.data() + reader.pos, length);
                }
                reader.pos += length;
                break;
            case kSourceCopy: {
                std::uint64_t step = 0;
                if (const PatchStatus status = reader.number(step); status != PatchStatus::Ok) {
                    return status;
                }
                if (target == nullptr) break;
                if (!moveOffset(sourceOffset, step, source.size()) ||
                    length > source.size() - sourceOffset) {
                    return PatchStatus::OutOfRange;
                }
                std::memcpy(target + out, source.data() + sourceOffset, length);
                sourceOffset += length;
                break;
            }
            case kTargetCopy: {
                std::uint64_t step = 0;
                if (const PatchStatus status = reader.number(step); status != PatchStatus::Ok) {
                    return status;
                }
                if (target == nullptr) break;
                // Only bytes already written may be read; a copy may overlap
                // its own output, which repeats a pattern.
                if (!moveOffset(targetOffset, step, out) || targetOffset >= out) {
                    return PatchStatus::OutOfRange;
                }
                if (targetOffset + length <= out) {
                    std::memcpy(target + out, target + targetOffset, length);
                } else {
                    for (std::uint64_t i = 0; i < length; ++i)
                        target[out + i] = target[targetOffset + i];
                }
                targetOffset += length;
                break;
            }
            default:
                break;
        }
        out += length;
    }
    return PatchStatus::Ok;
}

struct Header {
    std::uint64_t sourceSize = 0;
    std::uint64_t targetSize = 0;
};

PatchStatus readHeader(Reader& reader, Header& header) {
    std::uint64_t metadataSize = 0;
    for (std::uint64_t* value : {&header.sourceSize, &header.targetSize, &metadataSize}) {
        if (const PatchStatus status = reader.number(*value); status != PatchStatus::Ok) {
            return status;
        }
    }
    if (metadataSize > reader.end - reader.pos) return PatchStatus::Truncated;
    reader.pos += metadataSize;
    return PatchStatus::Ok;
}

// A patch whose checksum is wrong was most often cut short on its way: its
// actions then run out before its target is whole, or leave no room for the
// checksums. Anything else is damage inside.
PatchStatus checksumFailure(std::span<const std::uint8_t> patch) {
    Reader reader{patch, sizeof kMagic, patch.size()};
    Header header;
    const PatchStatus headerStatus = readHeader(reader, header);
    if (headerStatus != PatchStatus::Ok) {
        return headerStatus == PatchStatus::Truncated ? PatchStatus::Truncated
                                                      : PatchStatus::BadPatchChecksum;
    }
    const PatchStatus status = runActions(reader, {}, header.targetSize, nullptr);
    if (status == PatchStatus::Truncated) return PatchStatus::Truncated;
    if (status == PatchStatus::Ok && patch.size() - reader.pos < kFooterSize) {
        return PatchStatus::Truncated;
    }
    return PatchStatus::BadPatchChecksum;
}

// ---------------------------------------------------------------- making

std::uint64_t load64(const std::uint8_t* at) {
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// How many bytes from a and b agree, up to max.
std::size_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t max) {
    std::size_t n = 0;
    while (n + 8 <= max) {
        const std::uint64_t differ = load64(a + n) ^ load64(b + n);
        if (differ != 0) {
            if constexpr (std::endian::native == std::endian::little) {
                return n + static_cast<std::size_t>(std::countr_zero(differ)) / 8;
            } else {
                return n + static_cast<std::size_t>(std::countl_zero(differ)) / 8;
            }
        }
        n += 8;
    }
    while (n < max && a[n] == b[n])
        ++n;
    return n;
}

constexpr std::size_t kWindow = 8;
constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
constexpr int kChainDepth = 16;

// Windows of one repeated value are everywhere in a ROM (empty space); they
// would crowd the index and are found another way.
bool uniform(std::uint64_t window) {
    return window == (window & 0xFF) * kEveryByte;
}

int tableBits(std::size_t entries) {
    int bits = 12;
    while (bits < 20 && (std::size_t{1} << bits) < entries)
        ++bits;
    return bits;
}

// Positions of windows of some data by their hash, newest first in each
// bucket. Positions are stored divided by `step`, so that a sparse index of
// a large source stays small; a match that starts between two indexed
// positions is found a few bytes later and grown backwards.
class WindowIndex {
  public:
    WindowIndex(std::size_t size, std::size_t step)
        : step_(step),
          bits_(tableBits(size / step)),
          heads_(std::size_t{1} << bits_, kNone),
          chain_(new std::uint32_t[size / step + 1]) {}

    static std::uint32_t hash(const std::uint8_t* at, int bits) {
        return static_cast<std::uint32_t>((load64(at) * 0x9E3779B97F4A7C15ull) >> (64 - bits));
    }
    std::uint32_t hashOf(const std::uint8_t* at) const { return hash(at, bits_); }

    // `pos` must be a multiple of the step, added in increasing order.
    void add(std::size_t pos, std::uint32_t hash) {
        const auto slot = static_cast<std::uint32_t>(pos / step_);
        chain_[slot] = heads_[hash];
        heads_[hash] = slot;
    }

    // Calls `each` with the newest positions of windows with this hash.
    template <typename Each>
    void visit(std::uint32_t hash, Each&& each) const {
        std::uint32_t slot = heads_[hash];
        for (int depth = 0; depth < kChainDepth && slot != kNone; ++depth) {
            each(static_cast<std::size_t>(slot) * step_);
            slot = chain_[slot];
        }
    }

  private:
    std::size_t step_;
    int bits_;
    std::vector<std::uint32_t> heads_;
    // Read only through heads_, so only written entries are ever read.
    std::unique_ptr<std::uint32_t[]> chain_;
};

class BpsWriter {
  public:
    BpsWriter(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target)
        : source_(source),
          target_(target),
          sourceIndex_(source.size(), kSourceStep),
          targetIndex_(target.size(), 1) {
        const std::uint8_t* data = source.data();
        std::size_t pos = 0;
        while (pos + kWindow <= source.size()) {
            if (!uniform(load64(data + pos))) {
                sourceIndex_.add(pos, sourceIndex_.hashOf(data + pos));
                pos += kSourceStep;
                continue;
            }
            // Remember the longest run of each value, then skip to the first
            // window that reaches past the run's end.
            std::size_t start = pos;
            while (start > 0 && pos - start < kSourceStep - 1 && data[start - 1] == data[pos])
                --start;
            const std::size_t end =
                pos + 1 + matchLength(data + pos, data + pos + 1, source.size() - pos - 1);
            Run& longest = longestRuns_[data[pos]];
            if (end - start > longest.length) longest = {start, end - start};
            const std::size_t next = end - kWindow + 1;
            pos = std::max(pos + kSourceStep, (next + kSourceStep - 1) / kSourceStep * kSourceStep);
        }
    }

    PatchBytes write() {
        out_.insert(out_.end(), std::begin(kMagic), std::end(kMagic));
        writeNumber(out_, source_.size());
        writeNumber(out_, target_.size());
        writeNumber(out_, 0);  // no metadata
        walk();
        writeLe32(out_, crc32Of(source_));
        writeLe32(out_, crc32Of(target_));
        writeLe32(out_, crc32Of(out_));
        return std::move(out_);
    }

  private:
    static constexpr std::size_t kSourceStep = 8;
    struct Run {
        std::size_t start = 0;
        std::size_t length = 0;
    };
    // Reading the source in place for this long is taken without looking further.
    static constexpr std::size_t kSureRead = 64;

    struct Candidate {
        Command command = kTargetRead;
        std::size_t from = 0;  // in the source, or in the target for kTargetCopy
        std::size_t length = 0;
        std::ptrdiff_t gain = 0;  // bytes saved against writing them literally
    };

    std::size_t offsetCost(Command command, std::size_t from) const {
        if (command == kSourceRead) return 0;
        const std::uint64_t relative = command == kSourceCopy ? sourceOffset_ : targetOffset_;
        const std::uint64_t step =
            from >= relative ? (from - relative) << 1 : ((relative - from) << 1) | 1;
        return numberSize(step);
    }

    void consider(Candidate& best, Command command, std::size_t from, std::size_t length) const {
        if (length < 3) return;
        const auto cost = numberSize((length - 1) << 2) + offsetCost(command, from);
        const auto gain = static_cast<std::ptrdiff_t>(length) - static_cast<std::ptrdiff_t>(cost);
        if (gain > best.gain) best = {command, from, length, gain};
    }

    void walk() {
        const std::size_t size = target_.size();
        std::size_t pos = 0;
        while (pos < size) {
            const Candidate best = bestAt(pos);
            // A copy pays for its action (and the break in the literal bytes
            // around it) only when it saves at least two bytes.
            if (best.gain < 2) {
                if (pos + kWindow <= size && !uniform(load64(&target_[pos]))) {
                    targetIndex_.add(pos, targetIndex_.hashOf(&target_[pos]));
                }
                // Through data found nowhere else, look less often the longer
                // it lasts: a match found late still grows back to its start.
                const std::size_t step = std::min<std::size_t>(1 + pending_ / 64, 32);
                const std::size_t literals = std::min(step, size - pos);
                if (pending_ == 0) pendingStart_ = pos;
                pending_ += literals;
                pos += literals;
                continue;
            }
            Candidate take = best;
            // Grow the copy backwards over the literal bytes just before it.
            const std::uint8_t* data =
                take.command == kTargetCopy ? target_.data() : source_.data();
            while (pending_ > 0 && take.from > 0 && data[take.from - 1] == target_[pos - 1]) {
                --take.from;
                --pos;
                --pending_;
                ++take.length;
            }
            flushLiterals();
            emit(take.command, take.from, take.length, pos);
            pos += take.length;
        }
        flushLiterals();
    }

    Candidate bestAt(std::size_t pos) const {
        const std::size_t left = target_.size() - pos;
        const std::uint8_t* here = target_.data() + pos;
        Candidate best;
        if (pos < source_.size()) {
            const std::size_t length =
                matchLength(source_.data() + pos, here, std::min(left, source_.size() - pos));
            if (length >= kSureRead || length == left) {
                return {kSourceRead, pos, length, static_cast<std::ptrdiff_t>(length)};
            }
            consider(best, kSourceRead, pos, length);
        }
        const auto trySource = [&](std::size_t from) {
            if (from < source_.size()) {
                consider(best, kSourceCopy, from,
                         matchLength(source_.data() + from, here,
                                     std::min(left, source_.size() - from)));
            }
        };
        const auto tryTarget = [&](std::size_t from) {
            if (from < pos)
                consider(best, kTargetCopy, from, matchLength(target_.data() + from, here, left));
        };
        trySource(sourceOffset_);
        // Where the last source copy would continue, past what was written since.
        if (lastSourceCopy_) trySource(pos - lastSourceCopyAt_ + lastSourceCopyFrom_);
        tryTarget(targetOffset_);
        if (pos > 0) tryTarget(pos - 1);  // a run: the last byte repeated
        if (left >= kWindow) {
            const std::uint64_t window = load64(here);
            if (!uniform(window)) {
                sourceIndex_.visit(sourceIndex_.hashOf(here), trySource);
                targetIndex_.visit(targetIndex_.hashOf(here), tryTarget);
            } else if (const Run& run = longestRuns_[here[0]]; run.length >= kWindow) {
                trySource(run.start);
            }
        }
        return best;
    }

    void flushLiterals() {
        if (pending_ == 0) return;
        writeNumber(out_, ((pending_ - 1) << 2) | kTargetRead);
        out_.insert(out_.end(), target_.begin() + static_cast<std::ptrdiff_t>(pendingStart_),
                    target_.begin() + static_cast<std::ptrdiff_t>(pendingStart_ + pending_));
        pending_ = 0;
    }

    void emit(Command command, std::size_t from, std::size_t length, std::size_t pos) {
        writeNumber(out_, ((length - 1) << 2) | command);
        if (command == kSourceRead) return;
        std::uint64_t& relative = command == kSourceCopy ? sourceOffset_ : targetOffset_;
        writeNumber(out_, from >= relative ? (from - relative) << 1 : ((relative - from) << 1) | 1);
        relative = from + length;
        if (command == kSourceCopy) {
            lastSourceCopy_ = true;
            lastSourceCopyFrom_ = from;
            lastSourceCopyAt_ = pos;
        }
    }

    std::span<const std::uint8_t> source_;
    std::span<const std::uint8_t> target_;
    WindowIndex sourceIndex_;
    // Only literal bytes are indexed: elsewhere the target repeats the source,
    // whose own index finds the same bytes.
    WindowIndex targetIndex_;
    PatchBytes out_;
    std::size_t pendingStart_ = 0;
    std::size_t pending_ = 0;
    std::uint64_t sourceOffset_ = 0;
    std::uint64_t targetOffset_ = 0;
    std::array<Run, 256> longestRuns_{};
    bool lastSourceCopy_ = false;
    std::size_t lastSourceCopyFrom_ = 0;
    std::size_t lastSourceCopyAt_ = 0;
};

}  // namespace

PatchResult makeBps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target) {
    PatchResult result;
    if (source.size() == target.size() &&
        std::equal(source.begin(), source.end(), target.begin())) {
        result.status = PatchStatus::Identical;
        return result;
    }
    result.bytes = BpsWriter(source, target).write();
    return result;
}

PatchResult applyBps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source,
                     bool force) {
    PatchResult result;
    const auto refuse = [&result](PatchStatus status) {
        result.status = status;
        return result;
    };
    if (patch.size() < sizeof kMagic ||
        !std::equal(std::begin(kMagic), std::end(kMagic), patch.begin())) {
        return refuse(PatchStatus::BadMagic);
    }
    if (patch.size() < kSmallestPatch) return refuse(PatchStatus::Truncated);
    // The patch's own checksum first: damage is refused before anything it
    // says is believed.
    const std::size_t footer = patch.size() - kFooterSize;
    if (crc32Of(patch.first(patch.size() - 4)) != readLe32(&patch[patch.size() - 4])) {
        return refuse(checksumFailure(patch));
    }
    Reader reader{patch, sizeof kMagic, footer};
    Header header;
    if (const PatchStatus status = readHeader(reader, header); status != PatchStatus::Ok) {
        return refuse(status);
    }
    result.expectedSourceCrc = readLe32(&patch[footer]);
    result.actualSourceCrc = crc32Of(source);
    if (header.targetSize > kMaxTargetSize) return refuse(PatchStatus::OutOfRange);
    if (!force && (header.sourceSize != source.size() ||
                   result.expectedSourceCrc != result.actualSourceCrc)) {
        return refuse(PatchStatus::WrongSource);
    }
    PatchBytes target(static_cast<std::size_t>(header.targetSize));
    if (const PatchStatus status = runActions(reader, source, header.targetSize, target.data());
        status != PatchStatus::Ok) {
        return refuse(status);
    }
    // Actions left once the target is whole would write past it.
    if (reader.pos != reader.end) return refuse(PatchStatus::OutOfRange);
    if (crc32Of(target) != readLe32(&patch[footer + 4])) return refuse(PatchStatus::WrongResult);
    result.bytes = std::move(target);
    return result;
}

}  // namespace morvik

#include "backgrounds/compression.h"

#include <algorithm>

namespace morvik {

std::size_t decompressBlock(std::span<const std::uint8_t> block, BlockArea& out) {
    if (block.size() < 2) return 0;
    const std::size_t declared = static_cast<std::size_t>(block[0] | block[1] << 8);
    const std::size_t streamEnd =
        std::min({declared >= 2 ? declared - 2 : 0, kBlockAreaSize, block.size() - 2});
    const auto stream = block.subspan(2, streamEnd);

    std::array<std::uint8_t, kWindowSize> window{};
    std::size_t writePosition = kWindowStart;
    std::size_t produced = 0;
    auto emit = [&](std::uint8_t byte) {
        window[writePosition] = byte;
        writePosition = (writePosition + 1) % kWindowSize;
        if (produced < out.size()) out[produced++] = byte;
    };

    std::size_t position = 0;
    while (position < stream.size() && produced < out.size()) {
        const std::uint8_t flags = stream[position++];
        for (int bit = 0; bit < 8 && position < stream.size(); ++bit) {
            if (flags & (1u << bit)) {
                emit(stream[position++]);
                continue;
            }
            if (position + 2 > stream.size()) return produced;  // a reference cut in half
            const unsigned word = stream[position] | stream[position + 1] << 8;
            position += 2;
            const unsigned length = (word >> 11) + kMinReference;
            const unsigned source = word & 0x7FF;
            for (unsigned i = 0; i < length; ++i)
                emit(window[(source + i) % kWindowSize]);
        }
    }
    return produced;
}

namespace {

// Output byte i of the block, with the zeroed window before the first byte.
struct History {
    std::span<const std::uint8_t> data;
    std::uint8_t at(std::ptrdiff_t i) const {
        return i < 0 ? 0 : data[static_cast<std::size_t>(i)];
    }

    int matchLength(std::ptrdiff_t from, std::size_t position) const {
        const auto limit =
            static_cast<int>(std::min<std::size_t>(kMaxReference, data.size() - position));
        int length = 0;
        while (length < limit && at(from + length) == data[position + length])
            ++length;
        return length;
    }
};

struct Match {
    int length = 0;
    std::ptrdiff_t from = 0;
};

constexpr int kHashBits = 12;
constexpr int kChainDepth = 96;

unsigned hashAt(std::span<const std::uint8_t> data, std::size_t i) {
    return ((data[i] << 8) ^ (data[i + 1] << 4) ^ data[i + 2]) & ((1u << kHashBits) - 1);
}

// Candidates: earlier positions with the same three bytes, plus the still-zero
// window slot just before the first byte.
Match longestMatch(const History& history, std::size_t position, const std::vector<int>& head,
                   const std::vector<int>& previous) {
    Match best;
    const auto reach = static_cast<std::ptrdiff_t>(kWindowSize - 1);
    const auto here = static_cast<std::ptrdiff_t>(position);
    if (here + 1 <= reach) {
        const int length = history.matchLength(-1, position);
        if (length > best.length) best = {length, -1};
    }
    if (position + 2 >= history.data.size()) return best;
    int candidate = head[hashAt(history.data, position)];
    for (int depth = 0; candidate >= 0 && depth < kChainDepth; ++depth) {
        if (here - candidate > reach) break;
        const int length = history.matchLength(candidate, position);
        if (length > best.length) best = {length, candidate};
        if (best.length == kMaxReference) break;
        candidate = previous[static_cast<std::size_t>(candidate)];
    }
    return best;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> compressBlock(std::span<const std::uint8_t> data) {
    if (data.size() > kBlockAreaSize) return std::nullopt;
    const History history{data};
    std::vector<int> head(1u << kHashBits, -1);
    std::vector<int> previous(data.size(), -1);
    auto remember = [&](std::size_t i) {
        if (i + 2 >= data.size()) return;
        const unsigned hash = hashAt(data, i);
        previous[i] = head[hash];
        head[hash] = static_cast<int>(i);
    };

    std::vector<std::uint8_t> block{0, 0};
    std::size_t flagAt = 0;
    int bit = 8;
    std::size_t position = 0;
    while (position < data.size()) {
        if (bit == 8) {
            flagAt = block.size();
            block.push_back(0);
            bit = 0;
        }
        const Match match = longestMatch(history, position, head, previous);
        if (match.length >= kMinReference) {
            const auto source =
                static_cast<unsigned>((kWindowStart + kWindowSize + match.from) % kWindowSize);
            const unsigned word =
                static_cast<unsigned>(match.length - kMinReference) << 11 | source;
            block.push_back(static_cast<std::uint8_t>(word & 0xFF));
            block.push_back(static_cast<std::uint8_t>(word >> 8));
            for (int i = 0; i < match.length; ++i)
                remember(position++);
        } else {
            block[flagAt] |= static_cast<std::uint8_t>(1u << bit);
            block.push_back(data[position]);
            remember(position++);
        }
        ++bit;
    }
    if (block.size() - 2 > kBlockAreaSize) return std::nullopt;
    block[0] = static_cast<std::uint8_t>(block.size() & 0xFF);
    block[1] = static_cast<std::uint8_t>(block.size() >> 8);
    return block;
}

}  // namespace morvik

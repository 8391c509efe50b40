// A patch as a user may receive it: the input applied as a BPS and as an IPS
// patch to a small fixed ROM. A BPS is also tried with its own checksum made
// right and its base ROM forced, so that the actions behind the checksum are
// reached. Whatever applies must be made into a patch again and give back
// exactly what it gave.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "transfer/patch.h"

namespace {

using namespace morvik;
using Bytes = std::vector<std::uint8_t>;

// Results this large are checked for size only: making patches of them would
// slow every run.
constexpr std::size_t kRoundTripLimit = 1u << 20;

const Bytes& source() {
    static const Bytes bytes = [] {
        Bytes made(512);
        for (std::size_t i = 0; i < made.size(); ++i)
            made[i] = static_cast<std::uint8_t>(i < 256 ? i * 7 : 0);
        return made;
    }();
    return bytes;
}

void expectRoundTrip(PatchFormat format, const Bytes& target) {
    if (target.size() > kRoundTripLimit) return;
    const PatchResult made = makePatch(format, source(), target);
    if (made.status == PatchStatus::Identical) {
        if (target != source()) std::abort();
        return;
    }
    if (made.status != PatchStatus::Ok) std::abort();
    const PatchResult applied = applyPatch(format, made.bytes, source());
    if (applied.status != PatchStatus::Ok || applied.bytes != target) std::abort();
}

void checkBps(std::span<const std::uint8_t> patch, bool force) {
    const PatchResult result = applyBps(patch, source(), force);
    if (result.status != PatchStatus::Ok) {
        if (!result.bytes.empty()) std::abort();
        return;
    }
    if (result.bytes.size() > (64u << 20)) std::abort();
    const std::size_t end = patch.size();
    const std::uint32_t targetCrc = static_cast<std::uint32_t>(patch[end - 8]) |
                                    static_cast<std::uint32_t>(patch[end - 7]) << 8 |
                                    static_cast<std::uint32_t>(patch[end - 6]) << 16 |
                                    static_cast<std::uint32_t>(patch[end - 5]) << 24;
    if (crc32Of(result.bytes) != targetCrc) std::abort();
    expectRoundTrip(PatchFormat::Bps, result.bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);

    checkBps(input, false);
    if (size >= 16) {
        Bytes sealed(input.begin(), input.end());
        const std::uint32_t crc = crc32Of(std::span<const std::uint8_t>(sealed).first(size - 4));
        for (int i = 0; i < 4; ++i)
            sealed[size - 4 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
        checkBps(sealed, true);
    }

    const PatchResult ips = applyIps(input, source());
    if (ips.status != PatchStatus::Ok) {
        if (!ips.bytes.empty()) std::abort();
        return 0;
    }
    if (ips.bytes.size() > std::max<std::size_t>(source().size(), 0x1010000)) std::abort();
    expectRoundTrip(PatchFormat::Ips, ips.bytes);
    return 0;
}

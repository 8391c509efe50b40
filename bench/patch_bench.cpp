// Patches as a user makes and applies them: two 4 MiB ROMs that differ in a
// few hundred scattered bytes and one moved 8 KiB block of graphics.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "demo/demo_rom.h"
#include "transfer/patch.h"

namespace morvik {
namespace {

struct RomPair {
    PatchBytes source;
    PatchBytes target;
};

const RomPair& romPair() {
    static const RomPair pair = [] {
        RomPair made{buildDemoRom(), {}};
        made.target = made.source;
        // Places and values from a fixed generator: no pattern a patch could exploit.
        std::uint32_t random = 12345;
        for (int i = 0; i < 300; ++i) {
            random = random * 1664525u + 1013904223u;
            made.target[random % made.target.size()] ^= static_cast<std::uint8_t>(random >> 24 | 1);
        }
        std::copy_n(made.source.begin() + 0x321000, 0x2000, made.target.begin() + 0x150123);
        std::fill_n(made.target.begin() + 0x321000, 0x2000, 0);
        return made;
    }();
    return pair;
}

void reportSizes(benchmark::State& state, const RomPair& pair, std::size_t patchSize) {
    state.counters["patch_bytes"] = static_cast<double>(patchSize);
    state.counters["changed_bytes"] =
        static_cast<double>(countDifferences(pair.source, pair.target).bytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pair.target.size()));
}

void BM_MakePatch(benchmark::State& state, PatchFormat format) {
    const RomPair& pair = romPair();
    std::size_t size = 0;
    for (auto _ : state) {
        const PatchResult made = makePatch(format, pair.source, pair.target);
        if (made.status != PatchStatus::Ok) {
            state.SkipWithError("no patch made");
            return;
        }
        size = made.bytes.size();
        benchmark::DoNotOptimize(made.bytes.data());
    }
    reportSizes(state, pair, size);
}
BENCHMARK_CAPTURE(BM_MakePatch, bps, PatchFormat::Bps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MakePatch, ips, PatchFormat::Ips)->Unit(benchmark::kMillisecond);

void BM_ApplyPatch(benchmark::State& state, PatchFormat format) {
    const RomPair& pair = romPair();
    const PatchBytes patch = makePatch(format, pair.source, pair.target).bytes;
    for (auto _ : state) {
        const PatchResult applied = applyPatch(format, patch, pair.source);
        if (applied.status != PatchStatus::Ok || applied.bytes != pair.target) {
            state.SkipWithError("patch did not give the target");
            return;
        }
        benchmark::DoNotOptimize(applied.bytes.data());
    }
    reportSizes(state, pair, patch.size());
}
BENCHMARK_CAPTURE(BM_ApplyPatch, bps, PatchFormat::Bps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ApplyPatch, ips, PatchFormat::Ips)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

// The recovery copy of unsaved edits, as the editor writes it a few seconds
// after a stroke: the bytes a save would write, worked out in memory from the
// demo ROM, and the recovery file made of them (goal: under 10 ms), and the
// load that brings them back.
#include <benchmark/benchmark.h>

#include "demo_rom_file.h"
#include "document/recovery.h"
#include "document/rom_document.h"
#include "editing/monster_page_model.h"

namespace morvik {
namespace {

// The demo ROM's sets after a pen stroke across a large monster.
struct Stroked {
    DataSets sets;
    bool loaded = false;
    Stroked() {
        loaded = loadDataSets(sets, bench::demoRomPath()) == RomLoadResult::Loaded;
        if (!loaded) return;
        MonsterPageModel monsters(sets.monsters);
        monsters.selectColour(5);
        monsters.pressTool({0, 0});
        monsters.dragTool({63, 40});
        monsters.releaseTool();
    }
};

void BM_RecoveryAfterStroke(benchmark::State& state) {
    const Stroked stroked;
    if (!stroked.loaded) {
        state.SkipWithError("load failed");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto runs = unsavedRuns(stroked.sets, bench::demoRomPath());
        if (!runs) {
            state.SkipWithError("no runs");
            break;
        }
        RecoveryRecord record;
        record.runs = *runs;
        bytes = recoveryFileBytes(record).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RecoveryAfterStroke)->Unit(benchmark::kMillisecond);

void BM_LoadWithRuns(benchmark::State& state) {
    const Stroked stroked;
    const auto runs =
        stroked.loaded ? unsavedRuns(stroked.sets, bench::demoRomPath()) : std::nullopt;
    if (!runs) {
        state.SkipWithError("no runs");
        return;
    }
    for (auto _ : state) {
        DataSets sets;
        benchmark::DoNotOptimize(loadWithRuns(sets, bench::demoRomPath(), *runs));
    }
}
BENCHMARK(BM_LoadWithRuns)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

// Loading and saving the whole monster set of the demo ROM, as opening and
// saving a ROM in the editor does.
#include <benchmark/benchmark.h>

#include "demo_rom_file.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"

namespace morvik {
namespace {

using bench::demoRomPath;

void BM_LoadMonsterSet(benchmark::State& state) {
    const auto& path = demoRomPath();
    for (auto _ : state) {
        MonsterGraphicsSet set;
        if (loadMonsterGraphics(set, path) != RomLoadResult::Loaded) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(set);
    }
}
BENCHMARK(BM_LoadMonsterSet)->Unit(benchmark::kMillisecond);

// The save proper: refresh, clean-up, pack and write (without the reload).
void BM_SaveMonsterSet(benchmark::State& state) {
    const auto& path = demoRomPath();
    MonsterGraphicsSet loaded;
    if (loadMonsterGraphics(loaded, path) != RomLoadResult::Loaded) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        MonsterGraphicsSet set = loaded;
        state.ResumeTiming();
        refreshAllMonsterImages(set);
        prepareMonsterSave(set);
        if (saveMonsterGraphics(set, path) != MonsterSaveResult::Saved) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveMonsterSet)->Unit(benchmark::kMillisecond);

// What the user waits for on File > Save: the save and the reload after it.
void BM_SaveAndReloadMonsterSet(benchmark::State& state) {
    const auto& path = demoRomPath();
    MonsterGraphicsSet set;
    if (loadMonsterGraphics(set, path) != RomLoadResult::Loaded) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        if (saveMonsterSet(set, path) != MonsterSaveResult::Saved) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveAndReloadMonsterSet)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

// Loading and saving the whole monster set of the demo ROM, as opening and
// saving a ROM in the editor does.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "demo/demo_rom.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"

namespace morvik {
namespace {

// The demo ROM in the temporary folder, written once per run.
const std::filesystem::path& demoRomPath() {
    static const std::filesystem::path path = [] {
        auto file = std::filesystem::temp_directory_path() /
                    ("morvik-bench-" + std::to_string(std::random_device{}()) + ".smc");
        if (!writeDemoRom(file)) file.clear();
        return file;
    }();
    return path;
}

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

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    if (!morvik::demoRomPath().empty()) std::filesystem::remove(morvik::demoRomPath(), error);
    return 0;
}

// The recovery copy of unsaved edits, as the editor writes it a few seconds
// after a stroke: the bytes a save would write, worked out in memory from the
// demo ROM's image, and the recovery file made of them, written into a folder
// through the safe replacement (goal: under 10 ms); and the load that brings
// them back.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "demo_rom_file.h"
#include "document/recovery.h"
#include "document/recovery_keeper.h"
#include "document/rom_document.h"
#include "editing/monster_page_model.h"
#include "rom/rom_file.h"

namespace morvik {
namespace {

// The demo ROM's sets after a pen stroke across a large monster.
struct Stroked {
    DataSets sets;
    std::vector<std::uint8_t> image;
    bool loaded = false;
    Stroked() {
        RomFile rom;
        loaded = rom.open(bench::demoRomPath(), RomFile::Access::ReadOnly) &&
                 loadDataSets(sets, rom) == RomLoadResult::Loaded;
        if (!loaded) return;
        image.assign(rom.bytes().begin(), rom.bytes().end());
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
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "morvik-recovery-bench";
    FolderRecoveryStore store(folder);
    RecoveryKeeper keeper(store, {});
    keeper.romOpened(bench::demoRomPath(), stroked.image);
    for (auto _ : state) {
        if (!keeper.writeNow(stroked.sets)) {
            state.SkipWithError("not written");
            break;
        }
    }
    const auto written = store.read(keeper.fileName());
    state.counters["file_bytes"] = written ? static_cast<double>(written->size()) : 0.0;
    keeper.discard();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_RecoveryAfterStroke)->Unit(benchmark::kMillisecond);

void BM_LoadWithRuns(benchmark::State& state) {
    const Stroked stroked;
    const auto runs = stroked.loaded ? unsavedRuns(stroked.sets, stroked.image) : std::nullopt;
    if (!runs) {
        state.SkipWithError("no runs");
        return;
    }
    for (auto _ : state) {
        DataSets sets;
        benchmark::DoNotOptimize(loadWithRuns(sets, stroked.image, *runs));
    }
}
BENCHMARK(BM_LoadWithRuns)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

// Opening the demo ROM in the process as the editor does it: the file opened
// once and read where the tables are, its form told, the three data sets
// loaded and the battle backgrounds decoded into the pictures shown behind the
// items.
#include <benchmark/benchmark.h>

#include "app/rom_document.h"
#include "backgrounds/background_pictures.h"
#include "demo_rom_file.h"
#include "rom/rom_form.h"

namespace morvik {
namespace {

void BM_OpenWholeRom(benchmark::State& state) {
    const auto& path = bench::demoRomPath();
    for (auto _ : state) {
        RomFile rom;
        DataSets sets;
        BackgroundPictures pictures;
        if (!rom.open(path) || readRomForm(rom).status != RomFormStatus::Recognised ||
            loadDataSets(sets, rom) != RomLoadResult::Loaded) {
            state.SkipWithError("open failed");
            break;
        }
        applyBackground(pictures, 0, rom);
        benchmark::DoNotOptimize(pictures.background256);
    }
}
BENCHMARK(BM_OpenWholeRom)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

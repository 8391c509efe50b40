// File > Save on the demo ROM as the user waits for it: the file read into
// memory, the three data sets written into it, and the file replaced on the
// disk (temporary file, flush, rename).
#include <benchmark/benchmark.h>

#include "demo_rom_file.h"
#include "document/rom_document.h"
#include "rom/monsters/monster_edit.h"

namespace morvik {
namespace {

void BM_SaveWholeRom(benchmark::State& state) {
    const auto& path = bench::demoRomPath();
    DataSets sets;
    if (loadDataSets(sets, path) != RomLoadResult::Loaded) {
        state.SkipWithError("load failed");
        return;
    }
    std::uint8_t colour = 1;
    for (auto _ : state) {
        // One pixel changes each time, so that every save reaches the disk.
        colour = colour == 1 ? 2 : 1;
        setMonsterPixel(sets.monsters, 0, 1, 1, colour);
        encodeMonsterImage(sets.monsters, 0);
        RomFile rom;
        bool saved = rom.open(path);
        for (const DataSetKind kind :
             {DataSetKind::Monsters, DataSetKind::Portraits, DataSetKind::Characters}) {
            saved = saved && saveDataSet(sets, kind, rom).empty();
        }
        if (!saved || !rom.commit().replaced) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveWholeRom)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

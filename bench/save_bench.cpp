// File > Save on the demo ROM as the user waits for it: the file read into
// memory, the three data sets written into it, and the file replaced on the
// disk (temporary file, flush, rename).
#include <benchmark/benchmark.h>

#include "demo_rom_file.h"
#include "document/rom_document.h"
#include "rom/item_writes.h"
#include "rom/monsters/monster_edit.h"

namespace morvik {
namespace {

// One pixel of a monster changed and saved, on the demo ROM as Morvik writes it
// (argument 0) and as another tool might (argument 1); the bytes the save
// changed are counted.
void BM_SaveWholeRom(benchmark::State& state) {
    const auto& path = state.range(0) == 0 ? bench::demoRomPath() : bench::foreignDemoRomPath();
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
        state.counters["bytes_changed"] = static_cast<double>(changedByteCount(rom));
        if (!saved || !rom.commit().replaced) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveWholeRom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

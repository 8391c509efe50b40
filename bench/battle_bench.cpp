// What the game will show in battle: `check` of a whole ROM in the process (the
// ROM opened, the monsters and the battle tables read, every record and
// formation checked), the check alone, and one formation composed over a
// battle background as the preview draws it.
#include <benchmark/benchmark.h>

#include "backgrounds/battle_background.h"
#include "demo_rom_file.h"
#include "rom/battle/battle_check.h"
#include "rom/monsters/monster_load.h"
#include "rom/rom_file.h"
#include "transfer/battle_picture.h"

namespace morvik {
namespace {

struct Loaded {
    MonsterGraphicsSet monsters;
    BattleTables battle;
    std::vector<BattleBackground> backgrounds;
};

const Loaded& loaded() {
    static const Loaded data = [] {
        Loaded made;
        RomFile rom;
        if (!rom.open(bench::demoRomPath(), RomFile::Access::ReadOnly) ||
            loadMonsterGraphics(made.monsters, rom) != RomLoadResult::Loaded ||
            loadBattleTables(made.battle, rom) != RomLoadResult::Loaded ||
            loadBattleBackgrounds(made.backgrounds, rom) != RomLoadResult::Loaded) {
            made.backgrounds.clear();
        }
        return made;
    }();
    return data;
}

void BM_CheckWholeRom(benchmark::State& state) {
    for (auto _ : state) {
        RomFile rom;
        MonsterGraphicsSet monsters;
        BattleTables battle;
        if (!rom.open(bench::demoRomPath(), RomFile::Access::ReadOnly) ||
            loadMonsterGraphics(monsters, rom) != RomLoadResult::Loaded ||
            loadBattleTables(battle, rom) != RomLoadResult::Loaded) {
            state.SkipWithError("the demo ROM cannot be read");
            return;
        }
        benchmark::DoNotOptimize(findBattleProblems(monsters, battle));
    }
}
BENCHMARK(BM_CheckWholeRom)->Unit(benchmark::kMillisecond);

void BM_CheckLoadedRom(benchmark::State& state) {
    const Loaded& data = loaded();
    for (auto _ : state)
        benchmark::DoNotOptimize(findBattleProblems(data.monsters, data.battle));
}
BENCHMARK(BM_CheckLoadedRom)->Unit(benchmark::kMillisecond);

void BM_ComposeFormation(benchmark::State& state) {
    const Loaded& data = loaded();
    if (data.backgrounds.empty()) {
        state.SkipWithError("the demo ROM cannot be read");
        return;
    }
    int formation = 0;
    for (auto _ : state) {
        const FormationView view = viewFormation(data.monsters, data.battle, formation);
        benchmark::DoNotOptimize(
            composeFormation(data.monsters, view, &data.backgrounds[3], {.showCutParts = true}));
        formation = (formation + 1) % battle::kFormationCount;
    }
}
BENCHMARK(BM_ComposeFormation)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

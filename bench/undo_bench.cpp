// Undo and redo as the user waits for them: a pen stroke across a large
// 16-colour monster and a colour change of a portrait palette, each taken back
// and done again in turn.
#include <benchmark/benchmark.h>

#include "demo_rom_file.h"
#include "document/edit_history.h"
#include "document/rom_document.h"
#include "editing/monster_page_model.h"
#include "editing/portrait_page_model.h"

namespace morvik {
namespace {

void undoAndRedo(benchmark::State& state, EditHistory& history) {
    for (auto _ : state) {
        if (!history.undo() || !history.redo()) {
            state.SkipWithError("nothing to undo");
            break;
        }
    }
    // Each iteration is one undo and one redo.
    state.SetItemsProcessed(2 * state.iterations());
}

void BM_UndoRedoMonsterStroke(benchmark::State& state) {
    DataSets sets;
    if (loadDataSets(sets, bench::demoRomPath()) != RomLoadResult::Loaded) {
        state.SkipWithError("load failed");
        return;
    }
    EditHistory history(sets);
    MonsterPageModel monsters(sets.monsters);
    // A 128x128 16-colour record, made so before the history starts.
    monsters.selectSize(1);
    monsters.selectDepth(1);
    monsters.setHistory(&history);
    monsters.selectColour(9);
    monsters.pressTool({0, 0});
    for (int y = 0; y < 128; y += 8) {
        monsters.dragTool({127, y});
        monsters.dragTool({0, y + 4});
    }
    monsters.releaseTool();
    undoAndRedo(state, history);
}
BENCHMARK(BM_UndoRedoMonsterStroke)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoPortraitColour(benchmark::State& state) {
    DataSets sets;
    if (loadDataSets(sets, bench::demoRomPath()) != RomLoadResult::Loaded) {
        state.SkipWithError("load failed");
        return;
    }
    EditHistory history(sets);
    PortraitPageModel portraits(sets.portraits);
    portraits.setHistory(&history);
    portraits.selectColour(5);
    portraits.setChannel(ColourChannel::Green, 17);
    undoAndRedo(state, history);
}
BENCHMARK(BM_UndoRedoPortraitColour)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

// The paint tools as the artist waits for them: a fill of a whole 128x128
// picture and a 64x64 selection moved by a pixel, each as the core works it
// out and as a step of the monster page (the mold, the graphics and the
// history following), both under a millisecond.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "demo_rom_file.h"
#include "document/edit_history.h"
#include "document/rom_document.h"
#include "editing/monster_page_model.h"
#include "gfx/paint_tools.h"
#include "gfx/pixel_selection.h"

namespace morvik {
namespace {

constexpr int kSide = 128;

void writeInto(IndexedImage& picture, const std::vector<PixelWrite>& writes) {
    for (const PixelWrite& w : writes)
        picture.setPixel(w.x, w.y, w.index);
}

// A picture of 16 colours in irregular stripes, nothing of it one area.
IndexedImage stripedPicture() {
    IndexedImage picture;
    if (!picture.create(kSide, kSide)) return picture;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x)
            picture.setPixel(x, y, static_cast<std::uint8_t>((x * 7 + y * 3) / 5 % 16));
    }
    return picture;
}

void BM_FillWholePicture(benchmark::State& state) {
    IndexedImage picture;
    if (!picture.create(kSide, kSide)) {
        state.SkipWithError("no picture");
        return;
    }
    std::uint8_t colour = 1;
    for (auto _ : state) {
        // Every fill turns the whole picture from one colour to the other.
        const std::vector<ImagePoint> area = fillPixels(picture, {kSide / 2, kSide / 2}, colour,
                                                        ImageRect::unbounded(), FillReach::Area);
        writeInto(picture, writesOf(area, colour, picture, ImageRect::unbounded()));
        colour ^= 3;
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_FillWholePicture)->Unit(benchmark::kMicrosecond);

void BM_MoveSelection64(benchmark::State& state) {
    IndexedImage picture = stripedPicture();
    PixelSelection selection;
    selection.select({32, 32, 64, 64}, picture);
    int step = 1;
    for (auto _ : state) {
        writeInto(picture, selection.moveBy(step, 0, picture));
        step = -step;
    }
}
BENCHMARK(BM_MoveSelection64)->Unit(benchmark::kMicrosecond);

// A 128x128 16-colour record of the demo ROM on the monster page, with the
// history recording its steps.
struct MonsterPage {
    DataSets sets;
    EditHistory history{sets};
    MonsterPageModel monsters{sets.monsters};
    bool loaded = false;

    MonsterPage() {
        loaded = loadDataSets(sets, bench::demoRomPath()) == RomLoadResult::Loaded;
        if (!loaded) return;
        monsters.selectSize(1);
        monsters.selectDepth(1);
        monsters.clear();
        monsters.setHistory(&history);
    }
};

void BM_FillWholeMonster(benchmark::State& state) {
    MonsterPage page;
    if (!page.loaded) {
        state.SkipWithError("load failed");
        return;
    }
    page.monsters.setTool(EditTool::Fill);
    int colour = 1;
    for (auto _ : state) {
        page.monsters.selectColour(colour);
        page.monsters.pressTool({kSide / 2, kSide / 2});
        page.monsters.releaseTool();
        colour ^= 3;
    }
}
BENCHMARK(BM_FillWholeMonster)->Unit(benchmark::kMicrosecond);

void BM_MoveSelectionOnMonster(benchmark::State& state) {
    MonsterPage page;
    if (!page.loaded) {
        state.SkipWithError("load failed");
        return;
    }
    page.monsters.setTool(EditTool::Rectangle);
    page.monsters.selectColour(5);
    page.monsters.pressTool({40, 40});
    page.monsters.dragTool({80, 80});
    page.monsters.releaseTool(true);
    page.monsters.setTool(EditTool::Select);
    page.monsters.pressTool({32, 32});
    page.monsters.dragTool({95, 95});
    page.monsters.releaseTool();
    int step = 1;
    for (auto _ : state) {
        if (!page.monsters.moveSelection(step, 0)) {
            state.SkipWithError("the selection went stale");
            break;
        }
        step = -step;
    }
}
BENCHMARK(BM_MoveSelectionOnMonster)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

// What the monster page does on screen: one repaint of the magnified view, and
// one pen step with everything that follows it, on a 128x128 record.
#include <benchmark/benchmark.h>

#include "backgrounds/background_pictures.h"
#include "demo_rom_file.h"
#include "editing/monster_page_model.h"
#include "gfx/render.h"
#include "gui/image_convert.h"
#include "gui/pages/view_render.h"
#include "rom/monsters/monster_load.h"

namespace morvik {
namespace {

using bench::demoRomPath;

struct PageFixture {
    MonsterGraphicsSet set;
    BackgroundPictures backgrounds;
    MonsterPageModel model{set};
    bool ready = false;

    PageFixture() {
        if (loadMonsterGraphics(set, demoRomPath()) != RomLoadResult::Loaded) return;
        applyBackground(backgrounds, 0, demoRomPath());
        for (int line = 0; line < monsters::kFirstEsperRecord; ++line) {
            if (!set.records[static_cast<std::size_t>(line)].large) continue;
            model.selectLine(line);
            model.selectColour(3);
            ready = true;
            return;
        }
    }
};

constexpr int kMagnification = 10;

// The composite over the background, the conversion to a screen image and the
// tile grid.
void BM_ViewRepaint(benchmark::State& state) {
    PageFixture page;
    if (!page.ready) {
        state.SkipWithError("no large monster");
        return;
    }
    for (auto _ : state) {
        QImage view = gui::renderView(page.model.picture(), kMagnification, 3, 5,
                                      page.backgrounds.background256, GridMode::Tile);
        benchmark::DoNotOptimize(view);
    }
}
BENCHMARK(BM_ViewRepaint)->Unit(benchmark::kMicrosecond);

// Set a pixel (which re-derives the mold), encode the entry, and compose the
// preview, the view and the palette strip again.
void BM_PenStep(benchmark::State& state) {
    PageFixture page;
    if (!page.ready) {
        state.SkipWithError("no large monster");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        const int x = step % 128;
        const int y = (step / 128) % 128;
        ++step;
        page.model.pressTool({x, y});
        QImage preview = gui::toRgbImage(
            drawImage(page.model.picture(), &page.backgrounds.background128, 128, 128));
        QImage view = gui::renderView(page.model.picture(), kMagnification, 0, 0,
                                      page.backgrounds.background256, GridMode::Pixel);
        QImage strip = gui::toRgbImage(paletteStrip(page.model.stripColours(), 3));
        benchmark::DoNotOptimize(preview);
        benchmark::DoNotOptimize(view);
        benchmark::DoNotOptimize(strip);
    }
}
BENCHMARK(BM_PenStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

// Decoding the battle backgrounds and building the sixty pictures, as the first
// ROM load of a run does, on the demo ROM.
#include <benchmark/benchmark.h>

#include "backgrounds/background_pictures.h"
#include "backgrounds/compression.h"
#include "demo_rom_file.h"

namespace morvik {
namespace {

using bench::demoRomPath;

void BM_LoadBackgroundsAndPictures(benchmark::State& state) {
    const auto& path = demoRomPath();  // written before the clock runs
    for (auto _ : state) {
        BackgroundPictures pictures;
        applyBackground(pictures, 0, path);
        if (pictures.thumbnails.size() != kThumbnailCount) {
            state.SkipWithError("no pictures");
            break;
        }
        benchmark::DoNotOptimize(pictures);
    }
}
BENCHMARK(BM_LoadBackgroundsAndPictures)->Unit(benchmark::kMillisecond);

void BM_ChangeBackground(benchmark::State& state) {
    BackgroundPictures pictures;
    applyBackground(pictures, 0, demoRomPath());
    int selection = 0;
    for (auto _ : state) {
        selection = (selection + 7) % kThumbnailCount;
        buildCurrentBackground(pictures, selection);
    }
}
BENCHMARK(BM_ChangeBackground)->Unit(benchmark::kMicrosecond);

void BM_DecompressTileMap(benchmark::State& state) {
    std::vector<std::uint8_t> map(32 * 19 * 2);
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<std::uint8_t>(i % 24 < 12 ? 5 : i % 7);
    const auto block = compressBlock(map);
    BlockArea out{};
    for (auto _ : state)
        benchmark::DoNotOptimize(decompressBlock(*block, out));
}
BENCHMARK(BM_DecompressTileMap);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();

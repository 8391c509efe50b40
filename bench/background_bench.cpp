// Decoding the battle backgrounds and building the sixty pictures, as the first
// ROM load of a run does, on the demo ROM.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "backgrounds/background_pictures.h"
#include "backgrounds/compression.h"
#include "demo/demo_rom.h"

namespace morvik {
namespace {

const std::filesystem::path& demoRomPath() {
    static const std::filesystem::path path = [] {
        auto file = std::filesystem::temp_directory_path() /
                    ("morvik-bench-bg-" + std::to_string(std::random_device{}()) + ".smc");
        if (!writeDemoRom(file)) file.clear();
        return file;
    }();
    return path;
}

void BM_LoadBackgroundsAndPictures(benchmark::State& state) {
    for (auto _ : state) {
        BackgroundPictures pictures;
        applyBackground(pictures, 0, demoRomPath());
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

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    if (!morvik::demoRomPath().empty()) std::filesystem::remove(morvik::demoRomPath(), error);
    return 0;
}

// Throughput of the graphics core at the sizes the editor uses: a whole data set
// is a few thousand tiles, and every paint composes a 256x256 magnified view.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "gfx/render.h"
#include "gfx/tile_codec.h"

namespace morvik {
namespace {

IndexedImage noiseImage(int width, int height, int colours, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> index(0, colours - 1);
    IndexedImage image;
    if (!image.create(width, height)) return image;
    for (int i = 1; i < colours; ++i) {
        const auto level = static_cast<std::uint8_t>(i * 255 / colours);
        image.setPaletteEntry(i, PaletteColour::fromRgb(level, level, 255 - level), false);
    }
    for (auto& pixel : image.pixels())
        pixel = static_cast<std::uint8_t>(index(random));
    return image;
}

void BM_DecodeTile(benchmark::State& state) {
    const auto depth = static_cast<TileDepth>(state.range(0));
    std::vector<std::uint8_t> bytes(32 * 4096);
    std::mt19937 random(1);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    const std::size_t size = tileByteCount(depth);
    for (auto _ : state) {
        for (std::size_t at = 0; at + size <= bytes.size(); at += 32) {
            benchmark::DoNotOptimize(decodeTile(std::span(bytes).subspan(at, size), depth));
        }
    }
    state.SetItemsProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_DecodeTile)->Arg(8)->Arg(16);

void BM_EncodeMonsterImage(benchmark::State& state) {
    // A 128x128 picture is 256 tiles.
    const IndexedImage image = noiseImage(128, 128, 16, 2);
    std::array<std::uint8_t, kMaxTileBytes> out{};
    for (auto _ : state) {
        for (int row = 0; row < 16; ++row) {
            for (int column = 0; column < 16; ++column) {
                benchmark::DoNotOptimize(encodeTile(image, column, row, out, TileDepth::Colours16));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_EncodeMonsterImage);

void BM_MagnifiedView(benchmark::State& state) {
    const IndexedImage image = noiseImage(128, 128, 16, 3);
    const IndexedImage background = noiseImage(256, 256, 48, 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(drawImageMagnified(image, 4, 17, 9, &background, 256, 256));
    }
}
BENCHMARK(BM_MagnifiedView);

void BM_PreviewOverBackground(benchmark::State& state) {
    const IndexedImage image = noiseImage(128, 128, 16, 5);
    const IndexedImage background = noiseImage(128, 128, 48, 6);
    for (auto _ : state)
        benchmark::DoNotOptimize(drawImage(image, &background, 128, 128));
}
BENCHMARK(BM_PreviewOverBackground);

void BM_CaptureFullPalette(benchmark::State& state) {
    // The slowest capture: every pixel scans a nearly full palette.
    const IndexedImage source = noiseImage(256, 256, 256, 7);
    IndexedImage capture;
    for (auto _ : state)
        benchmark::DoNotOptimize(capture.captureFrom(source));
}
BENCHMARK(BM_CaptureFullPalette);

}  // namespace
}  // namespace morvik

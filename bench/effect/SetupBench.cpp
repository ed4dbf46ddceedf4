// The effect's set-up with the default settings (no picture file): the
// default picture generated at the screen's size, its brightness ordering,
// the flip into the height map and the cleared light map; and its steps
// apart. The text is the front-end's and not timed here.
#include "effect/DefaultPicture.h"
#include "effect/Effect.h"
#include "effect/PictureSetup.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_EffectSetup(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const EffectSettings settings = DefaultEffectSettings();
    std::uint32_t seed = 1;
    for (auto _ : state) {
        CEffect effect;  // a fresh one: the first set-up allocates its maps
        effect.Setup(settings, w, h, 24, seed++);
        benchmark::DoNotOptimize(effect.HeightMap());
        benchmark::ClobberMemory();
    }
}

void BM_SortPaletteByBrightness(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h);
    unsigned char palette[768];
    GenerateDefaultPicture(pixels.data(), w, h, palette, 1);
    for (auto _ : state) {
        unsigned char p[768];
        FillDefaultPalette(p);
        SortPaletteByBrightness(pixels.data(), w * h, p);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void BM_ScalePictureToScreenSameSize(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h);
    std::vector<unsigned char> scratch(pixels.size());
    unsigned char palette[768];
    GenerateDefaultPicture(pixels.data(), w, h, palette, 1);
    for (auto _ : state) {
        ScalePictureToScreen(pixels.data(), scratch.data(), w, h, w, h);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void Screens(benchmark::internal::Benchmark* b) {
    b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_EffectSetup)->Apply(Screens);
BENCHMARK(BM_SortPaletteByBrightness)->Apply(Screens);
BENCHMARK(BM_ScalePictureToScreenSameSize)->Apply(Screens);

}  // namespace

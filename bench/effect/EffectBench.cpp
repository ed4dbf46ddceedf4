// A frame's CPU work (clear, bump pass, conversion into the bitmap) with the
// default settings, the plain full-screen way against the lit-window way, and
// the generation of the default picture.
#include "effect/BumpPass.h"
#include "effect/DefaultPicture.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace {

// Default settings: fall-off 200 x 200, shift 7, threshold 0; the light
// circles on radii 300 x 200 about the centre at 0.075 rad per frame.
constexpr BumpSettings kDefaultBump{200, 200, 7, 0};
constexpr double kAngleStep = 0.075;
constexpr int kXDistance = 300;
constexpr int kYDistance = 200;

struct Screen {
    int width;
    int height;
    int stride;
    std::vector<unsigned char> heights;
    std::vector<unsigned char> light;
    std::vector<unsigned char> bits;
    unsigned char table[256];
};

Screen& ScreenOf(int width, int height) {
    static std::map<std::pair<int, int>, Screen> screens;
    auto it = screens.find({width, height});
    if (it == screens.end()) {
        Screen s;
        s.width = width;
        s.height = height;
        s.stride = (width + 3) & ~3;
        s.heights.resize(static_cast<std::size_t>(width) * height);
        unsigned char palette[768];
        GenerateDefaultPicture(s.heights.data(), width, height, palette, 1);
        s.light.assign(s.heights.size(), 0);
        s.bits.assign(static_cast<std::size_t>(s.stride) * height, 0);
        for (int i = 0; i < 256; ++i) {
            s.table[i] = static_cast<unsigned char>(10 + i * 236 / 255);  // static colours kept at both ends
        }
        it = screens.emplace(std::make_pair(width, height), std::move(s)).first;
    }
    return it->second;
}

void SetCounters(benchmark::State& state, const Screen& s) {
    state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(s.width) * s.height,
                                                 benchmark::Counter::kIsIterationInvariantRate,
                                                 benchmark::Counter::kIs1000);
}

void BM_FrameReference(benchmark::State& state) {
    Screen& s = ScreenOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    double angle = 0.0;
    for (auto _ : state) {
        const LightPosition p = MoveLight(angle, kAngleStep, 1.0, s.width / 2, s.height / 2, kXDistance, kYDistance);
        RenderFrameReference(s.heights.data(), s.light.data(), s.width, s.height, p.x, p.y, kDefaultBump,
                             s.bits.data(), s.stride, s.table);
        benchmark::DoNotOptimize(s.bits.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, s);
}

void BM_FrameFast(benchmark::State& state) {
    Screen& s = ScreenOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    BumpFrame frame;
    double angle = 0.0;
    for (auto _ : state) {
        const LightPosition p = MoveLight(angle, kAngleStep, 1.0, s.width / 2, s.height / 2, kXDistance, kYDistance);
        frame.Render(s.heights.data(), s.light.data(), s.width, s.height, p.x, p.y, kDefaultBump, s.bits.data(),
                     s.stride, s.table);
        benchmark::DoNotOptimize(s.bits.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, s);
}

template <void (*Bump)(const unsigned char*, unsigned char*, int, int, int, int, const BumpSettings&)>
void BM_Bump(benchmark::State& state) {
    Screen& s = ScreenOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    double angle = 0.0;
    for (auto _ : state) {
        // Both forms write only inside the window, so the map needs no clearing
        // between passes for the work to stay the same.
        const LightPosition p = MoveLight(angle, kAngleStep, 1.0, s.width / 2, s.height / 2, kXDistance, kYDistance);
        Bump(s.heights.data(), s.light.data(), s.width, s.height, p.x, p.y, kDefaultBump);
        benchmark::DoNotOptimize(s.light.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, s);
}

void BM_GenerateDefaultPicture(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h);
    unsigned char palette[768];
    for (auto _ : state) {
        GenerateDefaultPicture(pixels.data(), w, h, palette, 1);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void Screens(benchmark::internal::Benchmark* b) {
    b->Args({1024, 768})->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_FrameReference)->Apply(Screens);
BENCHMARK(BM_FrameFast)->Apply(Screens);
BENCHMARK(BM_Bump<ApplyBumpReference>)->Name("BM_BumpReference")->Apply(Screens);
BENCHMARK(BM_Bump<ApplyBump>)->Name("BM_BumpFast")->Apply(Screens);
BENCHMARK(BM_GenerateDefaultPicture)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace

// Time of the colour matrix with gamma over a 4000 x 3000 picture (goal: under 40 ms).
//   build/bench/bench_colour_matrix

#include "editing/ColourMatrix.h"
#include "editing/Tuning.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

std::vector<std::uint32_t>& Picture()
{
    static std::vector<std::uint32_t> pixels = [] {
        std::vector<std::uint32_t> p(static_cast<std::size_t>(kWidth) * kHeight);
        std::mt19937 random(1);
        for (std::uint32_t& px : p)
            px = random() | 0xFF000000u;
        return p;
    }();
    return pixels;
}

Tuning Tuned()
{
    TuningPositions p;
    p.contrast = 130;
    p.brightness = 110;
    p.saturation = 150;
    p.hue = 20000;
    p.color = 17000;
    p.gamma = 140;
    return TuningFromSliders(p, false);
}

void Run(benchmark::State& state, const ColourMatrix& m, float gamma)
{
    auto& pixels = Picture();
    for (auto _ : state) {
        ApplyColourMatrix(reinterpret_cast<std::uint8_t*>(pixels.data()), kWidth, kHeight, kWidth * 4, m, gamma);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void MatrixAndGamma(benchmark::State& state)
{
    const Tuning t = Tuned();
    Run(state, ItemColourMatrix(1.0f, t), ItemGamma(t));
}

void MatrixOnly(benchmark::State& state)
{
    Run(state, ItemColourMatrix(1.0f, Tuned()), 1.0f);
}

void IdentityGammaOne(benchmark::State& state)
{
    Run(state, ColourMatrix(), 1.0f);
}

} // namespace

BENCHMARK(MatrixAndGamma)->Unit(benchmark::kMillisecond);
BENCHMARK(MatrixOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(IdentityGammaOne)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

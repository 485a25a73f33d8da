// Throughput of every time-domain effect over 1,048,576 frames, beside a plain memcpy of the
// same range in the same run.
#include "engine/fx/FxTable.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace
{

using namespace wavorn::fx;

constexpr int32_t kFrames = 1 << 20;

// A loud random signal, a little longer than the range so that reads ahead stay in the track.
const std::vector<int16_t>& source()
{
    static const std::vector<int16_t> s = []
    {
        std::vector<int16_t> v(2 * size_t(kFrames + 4096));
        std::mt19937 rng(1);
        std::uniform_int_distribution<int32_t> d(-20000, 20000);
        for (int16_t& x : v)
            x = int16_t(d(rng));
        return v;
    }();
    return s;
}

// The same signal with every other stretch of 700 frames made quiet, so that the gates of the
// level-following effects keep moving.
const std::vector<int16_t>& alternating()
{
    static const std::vector<int16_t> s = []
    {
        std::vector<int16_t> v = source();
        for (size_t i = 0; i < v.size(); ++i)
            if ((i / 2 / 700) % 2 == 1)
                v[i] = int16_t(v[i] / 100);
        return v;
    }();
    return s;
}

void BM_Memcpy(benchmark::State& state)
{
    std::vector<int16_t> track = source();
    std::vector<int16_t> copy(track.size());
    for (auto _ : state)
    {
        std::memcpy(copy.data(), track.data(), size_t(kFrames) * 4);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

// Each iteration runs the effect on a fresh copy of the signal; the copy is timed apart and
// not counted.
void runEffect(benchmark::State& state, const std::vector<int16_t>& signal)
{
    const FxEntry* entry = findEffect(int32_t(state.range(0)));
    const FxParams p{0, kFrames, int32_t(state.range(1)), int32_t(state.range(2)), 127};
    std::vector<int16_t> track = signal;
    for (auto _ : state)
    {
        state.PauseTiming();
        std::memcpy(track.data(), signal.data(), track.size() * 2);
        state.ResumeTiming();
        entry->apply(SampleSpan(track), p);
        benchmark::ClobberMemory();
    }
    state.SetLabel(entry->name);
    state.SetItemsProcessed(state.iterations() * kFrames);
}

void BM_Effect(benchmark::State& state)
{
    runEffect(state, source());
}
void BM_EffectAlternating(benchmark::State& state)
{
    runEffect(state, alternating());
}

// Codes with P1 and P2 typical of the dialog's defaults.
BENCHMARK(BM_Effect)
    ->ArgNames({"code", "p1", "p2"})
    ->Args({1, 16, 255})
    ->Args({2, 128, 64})
    ->Args({3, 40, 128})
    ->Args({4, 255, 0})
    ->Args({5, 128, 0})
    ->Args({6, 128, 128})
    ->Args({7, 20, 80})
    ->Args({8, 128, 255})
    ->Args({9, 128, 0})
    ->Args({10, 128, 0})
    ->Args({11, 128, 128})
    ->Args({12, 128, 0})
    ->Args({13, 200, 128})
    ->Args({14, 128, 100})
    ->Args({15, 0, 0})
    ->Args({16, 128, 64})
    ->Args({17, 128, 100})
    ->Args({18, 0, 0})
    ->Args({19, 0, 0})
    ->Args({20, 0, 0})
    ->Args({21, 128, 100})
    ->Args({22, 128, 100})
    ->Args({23, 128, 100})
    ->Args({24, 128, 100})
    ->Args({25, 0, 0})
    ->Unit(benchmark::kMicrosecond);

// The level-following and note effects on a signal whose level keeps changing.
BENCHMARK(BM_EffectAlternating)
    ->ArgNames({"code", "p1", "p2"})
    ->Args({14, 128, 100})
    ->Args({17, 128, 100})
    ->Args({21, 128, 100})
    ->Args({24, 128, 100})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// Spectral engine throughput: the phase vocoder per effect in stereo frames per second, beside
// the 4096-point transforms it is built from, measured in the same run.
#include "engine/fx/Fft.h"
#include "engine/fx/Spectral.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace
{

constexpr int32_t kTrackFrames = 1048576; // a 4 MB track

std::vector<int16_t> musicLikeTrack()
{
    std::vector<int16_t> samples(2 * size_t(kTrackFrames));
    std::mt19937 generator(7);
    std::normal_distribution<double> noise(0.0, 300.0);
    for (int32_t f = 0; f < kTrackFrames; ++f)
    {
        const double t = f / 44100.0;
        const double left =
            6000 * std::sin(2 * M_PI * 220 * t) + 3000 * std::sin(2 * M_PI * 1234 * t);
        const double right =
            5000 * std::sin(2 * M_PI * 330 * t) + 2000 * std::sin(2 * M_PI * 4400 * t);
        samples[2 * size_t(f)] = int16_t(left + noise(generator));
        samples[2 * size_t(f) + 1] = int16_t(right + noise(generator));
    }
    return samples;
}

void BM_FftInPlace4096(benchmark::State& state)
{
    std::vector<float> data(8192);
    std::mt19937 generator(1);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (float& x : data)
        x = value(generator);
    int32_t sign = -1;
    for (auto _ : state)
    {
        wavorn::fx::fftInPlace(data, 4096, sign);
        sign = -sign; // forward and inverse in turn keep the values bounded
        benchmark::DoNotOptimize(data.data());
    }
    state.SetItemsProcessed(state.iterations()); // transforms per second
}
BENCHMARK(BM_FftInPlace4096);

void BM_RealFft4096ForwardAndInverse(benchmark::State& state)
{
    wavorn::fx::RealFft fft(4096);
    std::vector<float> even(2048), odd(2048), re(2049), im(2049);
    std::mt19937 generator(2);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (size_t i = 0; i < even.size(); ++i)
        even[i] = value(generator), odd[i] = value(generator);
    for (auto _ : state)
    {
        fft.forward(even.data(), odd.data(), re.data(), im.data());
        fft.inverseRealPart(re.data(), im.data(), even.data(), odd.data());
        for (size_t i = 0; i < even.size(); ++i)
            even[i] *= 1.0f / 2048.0f, odd[i] *= 1.0f / 2048.0f;
        benchmark::DoNotOptimize(even.data());
        benchmark::DoNotOptimize(odd.data());
    }
    state.SetItemsProcessed(state.iterations()); // hops' worth of transforms per second
}
BENCHMARK(BM_RealFft4096ForwardAndInverse);

// One FXIt-sized pass of spectral operation `range(0)` over the whole 4 MB track.
void BM_PhaseVocoder(benchmark::State& state)
{
    const std::vector<int16_t> input = musicLikeTrack();
    std::vector<int16_t> track = input;
    for (auto _ : state)
    {
        state.PauseTiming();
        track = input;
        state.ResumeTiming();
        wavorn::fx::spectralEffect(int32_t(state.range(0)), track, 0, kTrackFrames, 100, 100, 100);
        benchmark::DoNotOptimize(track.data());
    }
    state.SetItemsProcessed(state.iterations() * kTrackFrames); // stereo frames per second
}
BENCHMARK(BM_PhaseVocoder)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();

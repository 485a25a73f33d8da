// Shorten encoding and decoding speed on a minute of music-like stereo, in samples per second.
#include "tools/cab/Shorten.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>

namespace
{

// One minute of stereo: two tones and a little noise per channel, behind a canonical header.
std::vector<uint8_t> musicFile()
{
    constexpr int kFrames = 60 * 44100;
    std::vector<int16_t> samples(2 * size_t(kFrames));
    std::mt19937 random(3);
    for (int i = 0; i < kFrames; ++i)
        for (int c = 0; c < 2; ++c)
            samples[2 * size_t(i) + size_t(c)] =
                int16_t(9000 * std::sin(i * (0.031 + 0.002 * c)) + 5000 * std::sin(i * 0.0071) +
                        int(random() % 64) - 32);
    std::vector<uint8_t> file(44 + samples.size() * 2);
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    const uint32_t fields[] = {dataBytes + 36, 16, 0x00020001, 44100, 44100 * 4, 0x00100004};
    std::memcpy(file.data(), "RIFF", 4);
    std::memcpy(file.data() + 4, &fields[0], 4);
    std::memcpy(file.data() + 8, "WAVEfmt ", 8);
    std::memcpy(file.data() + 16, &fields[1], 20);
    std::memcpy(file.data() + 36, "data", 4);
    std::memcpy(file.data() + 40, &dataBytes, 4);
    std::memcpy(file.data() + 44, samples.data(), dataBytes);
    return file;
}

void BM_ShortenEncode(benchmark::State& state)
{
    const std::vector<uint8_t> file = musicFile();
    std::vector<uint8_t> stream;
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(vumo::cab::shortenEncode(file, stream, error));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(file.size() - 44) / 2);
    state.counters["ratio"] = double(stream.size()) / double(file.size());
}
BENCHMARK(BM_ShortenEncode)->Unit(benchmark::kMillisecond);

void BM_ShortenDecode(benchmark::State& state)
{
    const std::vector<uint8_t> file = musicFile();
    std::vector<uint8_t> stream, back;
    std::string error;
    vumo::cab::shortenEncode(file, stream, error);
    for (auto _ : state)
        benchmark::DoNotOptimize(vumo::cab::shortenDecode(stream, back, error));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(file.size() - 44) / 2);
}
BENCHMARK(BM_ShortenDecode)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

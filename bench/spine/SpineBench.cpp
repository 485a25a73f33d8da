// Engine spine throughput beside the machine's own rates, measured in the same run:
// plain sequential file reading and memcpy. Counters are bytes per second.
#include "engine/api/Engine.h"
#include "engine/api/Lifecycle.h"
#include "engine/transport/Transport.h"
#include "engine/wave/WaveFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace wavorn;

namespace
{

constexpr int32_t kTrack4Mb = 4 * kFramesPerMb;
constexpr int32_t kTrack256Mb = 256 * kFramesPerMb;
constexpr int kTracks = 16;

std::filesystem::path benchDir()
{
    static const auto dir = []
    {
        auto d = std::filesystem::temp_directory_path() / "vumo-bench";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

std::string trackPath(int t)
{
    char name[32];
    std::snprintf(name, sizeof name, "t%d.wav", t);
    return (benchDir() / name).string();
}

// Sixteen 4 MB track files of noise-like samples, written once per run.
void ensureTrackFiles()
{
    static bool done = false;
    if (done)
        return;
    std::vector<int16_t> s(size_t(kTrack4Mb) * 2);
    uint32_t x = 12345;
    for (int t = 0; t < kTracks; ++t)
    {
        for (auto& v : s)
            v = int16_t((x = x * 1664525u + 1013904223u) >> 16);
        saveBufToWave(0, kTrack4Mb, trackPath(t).c_str(), s.data());
    }
    done = true;
}

void openEngine(int32_t frames)
{
    setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
    if (engine().open)
        closeLib();
    openLib(frames, false);
}

void BM_PlainFileRead16x4Mb(benchmark::State& state)
{
    ensureTrackFiles();
    std::vector<char> buffer(size_t(kTrack4Mb) * 4 + 44);
    for (auto _ : state)
        for (int t = 0; t < kTracks; ++t)
        {
            std::FILE* f = std::fopen(trackPath(t).c_str(), "rb");
            benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
            std::fclose(f);
        }
    state.SetBytesProcessed(state.iterations() * kTracks * int64_t(kTrack4Mb) * 4);
}
BENCHMARK(BM_PlainFileRead16x4Mb)->Unit(benchmark::kMillisecond);

void BM_SetCurTrackReload16x4Mb(benchmark::State& state)
{
    ensureTrackFiles();
    openEngine(kTrack4Mb);
    clearTracks();
    for (int t = 0; t < kTracks; ++t)
    {
        setTrackInfo(t, trackPath(t).c_str());
        setTrackAttr(t, 200, 100 + t);
    }
    int t = 0;
    for (auto _ : state)
        setCurTrack(t++ % kTracks, true); // 15 tracks mixed, 1 loaded: 16 file reads
    state.SetBytesProcessed(state.iterations() * kTracks * int64_t(kTrack4Mb) * 4);
    closeLib();
}
BENCHMARK(BM_SetCurTrackReload16x4Mb)->Unit(benchmark::kMillisecond);

void BM_Load4Mb(benchmark::State& state)
{
    ensureTrackFiles();
    std::vector<int16_t> buffer(size_t(kTrack4Mb) * 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(loadWavToBuf(trackPath(0).c_str(), buffer.data(), kTrack4Mb));
    state.SetBytesProcessed(state.iterations() * int64_t(kTrack4Mb) * 4);
}
BENCHMARK(BM_Load4Mb)->Unit(benchmark::kMillisecond);

void BM_PlainFileWrite4Mb(benchmark::State& state)
{
    std::vector<int16_t> buffer(size_t(kTrack4Mb) * 2, 7);
    const std::string path = (benchDir() / "plain.raw").string();
    for (auto _ : state)
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        benchmark::DoNotOptimize(std::fwrite(buffer.data(), 4, size_t(kTrack4Mb), f));
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kTrack4Mb) * 4);
}
BENCHMARK(BM_PlainFileWrite4Mb)->Unit(benchmark::kMillisecond);

void BM_Save4Mb(benchmark::State& state)
{
    std::vector<int16_t> buffer(size_t(kTrack4Mb) * 2, 7);
    const std::string path = (benchDir() / "save.wav").string();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveBufToWave(0, kTrack4Mb, path.c_str(), buffer.data()));
    state.SetBytesProcessed(state.iterations() * int64_t(kTrack4Mb) * 4);
}
BENCHMARK(BM_Save4Mb)->Unit(benchmark::kMillisecond);

void BM_Memcpy256Mb(benchmark::State& state)
{
    std::vector<int16_t> a(size_t(kTrack256Mb) * 2, 3), b(size_t(kTrack256Mb) * 2);
    for (auto _ : state)
    {
        std::memcpy(b.data(), a.data(), a.size() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kTrack256Mb) * 4);
}
BENCHMARK(BM_Memcpy256Mb)->Unit(benchmark::kMillisecond);

void BM_Merge4PlayWhole256MbTrack(benchmark::State& state)
{
    openEngine(kTrack256Mb);
    Engine& e = engine();
    setTrackAttr(0, 255, 128);
    e.curTrack = 0;
    std::memset(e.trackBuf.get(), 1, size_t(kTrack256Mb) * 4);
    std::memset(e.masterBuf.get(), 2, size_t(kTrack256Mb) * 4);
    std::memset(e.playBuf.get(), 0, size_t(kTrack256Mb) * 4); // the output block is resident
    for (auto _ : state)
    {
        merge4Play(0, kTrack256Mb, true);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kTrack256Mb) * 4);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // Peak resident memory over the three 256 MB buffers (and the memcpy pair before).
    state.counters["peakRssMb"] = double(usage.ru_maxrss) / 1024.0;
    closeLib();
}
BENCHMARK(BM_Merge4PlayWhole256MbTrack)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();

// Cabinets: Shorten encoding and decoding speed on a minute of music-like stereo (samples per
// second), and creating and opening a cabinet of 8 such tracks through the chain runner.
#include "cabinet/CabinetScript.h"
#include "cabinet/ChainRunner.h"
#include "cabinet/ProjectCabinet.h"
#include "files/FileWrite.h"
#include "shorten/Shorten.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
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

// A project of 8 one-minute tracks in a fresh folder; the chain's working files in `app`.
struct EightTracks
{
    std::filesystem::path root;
    vumo::cab::CabinetProject project;
    EightTracks()
    {
        root = std::filesystem::temp_directory_path() / "vumo-cabinet-bench";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "app");
        const std::vector<uint8_t> file = musicFile();
        project = {"Bench", (root / "Bench.vum").string(), {}};
        vumo::project::ProjectData data = vumo::project::newProjectData(16);
        data.projTitle = "Bench";
        for (int k = 0; k < 8; ++k)
        {
            project.trackFiles.push_back((root / ("t" + std::to_string(k) + ".wav")).string());
            vumo::cab::writeFileBeside(project.trackFiles.back(), file.data(), file.size());
            data.tracks.push_back({"T", QByteArray::fromStdString(project.trackFiles.back())});
        }
        vumo::project::writeProject(QString::fromStdString(project.projectFile), data);
    }
    ~EightTracks() { std::filesystem::remove_all(root); }
    std::string app() const { return (root / "app").string(); }
    std::string file(const char* name) const { return (root / "app" / name).string(); }
};

void BM_CabinetCreate(benchmark::State& state)
{
    EightTracks p;
    for (auto _ : state)
    {
        vumo::cab::writeLines(p.file(vumo::cab::kChainFile), createChainLines(p.project));
        vumo::cab::writeLines(p.file(vumo::cab::kRestoreFile), restoreChainLines(p.project));
        vumo::cab::writeLines(p.file(vumo::cab::kDirectiveFile), directiveLines(p.project));
        if (!vumo::cab::runChain(p.app(), vumo::cab::kChainFile, {}).empty())
            state.SkipWithError("the create chain failed");
    }
}
BENCHMARK(BM_CabinetCreate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CabinetOpen(benchmark::State& state)
{
    EightTracks p;
    vumo::cab::writeLines(p.file(vumo::cab::kChainFile), createChainLines(p.project));
    vumo::cab::writeLines(p.file(vumo::cab::kRestoreFile), restoreChainLines(p.project));
    vumo::cab::writeLines(p.file(vumo::cab::kDirectiveFile), directiveLines(p.project));
    vumo::cab::runChain(p.app(), vumo::cab::kChainFile, {});
    const std::string cabinet = p.file("Bench/Bench.cab");
    vumo::cab::ChainEvents replace;
    replace.project = vumo::cab::projectAccess();
    replace.replaceExisting = [](const std::vector<std::string>&) { return true; };
    for (auto _ : state)
    {
        std::string base;
        vumo::cab::writeLines(p.file(vumo::cab::kDirectiveFile), {vumo::cab::kMarkerText});
        vumo::cab::writeLines(p.file(vumo::cab::kChainFile),
                              vumo::cab::openChainLines(cabinet, base));
        if (!vumo::cab::runChain(p.app(), vumo::cab::kChainFile, replace).empty())
            state.SkipWithError("the open chain failed");
    }
}
BENCHMARK(BM_CabinetOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

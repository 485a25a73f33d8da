// fx_digest: prints a 64-bit digest of the whole track after every effect code 1 ... 39 over
// several signals, parameter sets and ranges, and of the real transforms and the chain's mix
// back. Two builds whose listings are equal produce the same samples; used to check that a
// faster effect still computes every sample exactly as before.
// Usage: fx_digest [--quick] [--each]  (quick: fewer spectral parameter sets; each: a line
// per run as well)
#include "engine/fx/Fft.h"
#include "engine/fx/FilterGraph.h"
#include "engine/fx/FxTable.h"
#include "engine/fx/Spectral.h"
#include "fx/EffectCatalog.h"

#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{

using namespace wavorn::fx;

constexpr int32_t kFrames = 40000;

uint64_t digest(const void* data, size_t bytes, uint64_t h = 1469598103934665603ull)
{
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < bytes; ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

struct Signal
{
    const char* name;
    std::vector<int16_t> samples;
};

template <class F> Signal makeSignal(const char* name, F f)
{
    Signal s{name, std::vector<int16_t>(2 * size_t(kFrames))};
    for (size_t i = 0; i < s.samples.size(); ++i)
        s.samples[i] = int16_t(f(int32_t(i / 2), int32_t(i % 2)));
    return s;
}

std::vector<Signal> signals()
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int32_t> full(-32768, 32767);
    std::vector<Signal> all;
    all.push_back(makeSignal("random", [&](int32_t, int32_t) { return full(rng); }));
    all.push_back(makeSignal("tones",
                             [](int32_t f, int32_t c)
                             {
                                 const double t = f / 44100.0;
                                 return 9000 * std::sin(2 * M_PI * (220 + 110 * c) * t) +
                                        5000 * std::sin(2 * M_PI * (1234 + 3000 * c) * t);
                             }));
    all.push_back(makeSignal("silence", [](int32_t, int32_t) { return 0; }));
    all.push_back(makeSignal("square", [](int32_t f, int32_t c)
                             { return ((f / (50 + 13 * c)) & 1) ? 32767 : -32768; }));
    all.push_back(makeSignal("bursts", [&](int32_t f, int32_t)
                             { return ((f / 700) & 1) ? full(rng) / 100 : full(rng) / 2; }));
    return all;
}

struct Range
{
    int32_t first;
    int32_t last;
};

constexpr Range kRanges[] = {{0, kFrames}, {777, kFrames - 333}, {100, 300}, {5, 9}};

using Params = std::vector<std::array<int32_t, 3>>;

Params parameterSets(int32_t code, bool spectral, bool quick)
{
    using Set = std::array<int32_t, 3>;
    static constexpr Set kCorners[] = {
        {0, 0, 0}, {255, 255, 255}, {128, 128, 128}, {100, 100, 100}};
    static constexpr Set kMixed[] = {{37, 200, 90}, {200, 37, 250}, {60, 130, 10}, {230, 90, 170}};
    Params sets;
    if (const vumo::fx::EffectInfo* info = vumo::fx::findEffectInfo(code))
        sets.push_back({info->defaults[0], info->defaults[1], info->defaults[2]});
    if (spectral)
        for (const Set& set : kCorners)
            sets.push_back(set);
    else
        for (const int32_t a : {0, 1, 128, 255})
            for (const int32_t b : {0, 1, 128, 255})
                for (const int32_t c : {0, 127, 128, 255})
                    sets.push_back({a, b, c});
    if (!spectral || !quick)
        for (const Set& set : kMixed)
            sets.push_back(set);
    return sets;
}

uint64_t runCode(int32_t code, const Signal& signal, const std::array<int32_t, 3>& p, Range r)
{
    std::vector<int16_t> track = signal.samples;
    if (const FxEntry* entry = findEffect(code))
        entry->apply(track, FxParams{r.first, r.last, p[0], p[1], p[2]});
    else
        spectralEffect(spectralOperationNumber(code), track, r.first, r.last, p[0], p[1], p[2]);
    return digest(track.data(), track.size() * 2);
}

// The real transforms alone, over random frames and the inverse of each spectrum; spectra and
// samples are digested interleaved (re, im and even, odd).
uint64_t transformDigest()
{
    RealFft fft(4096);
    std::vector<float> even(2048), odd(2048), re(2049), im(2049), pairs(4098);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    uint64_t h = digest(nullptr, 0);
    const auto add = [&](const std::vector<float>& a, const std::vector<float>& b)
    {
        for (size_t i = 0; i < a.size(); ++i)
            pairs[2 * i] = a[i], pairs[2 * i + 1] = b[i];
        h = digest(pairs.data(), a.size() * 8, h);
    };
    for (int32_t round = 0; round < 64; ++round)
    {
        for (size_t i = 0; i < 2048; ++i)
            even[i] = value(rng), odd[i] = value(rng);
        fft.forward(even.data(), odd.data(), re.data(), im.data());
        add(re, im);
        fft.inverseRealPart(re.data(), im.data(), even.data(), odd.data());
        add(even, odd);
    }
    return h;
}

uint64_t mixBackDigest(const std::vector<Signal>& all)
{
    uint64_t h = digest(nullptr, 0);
    for (const Signal& s : all)
        for (const int32_t gain : {0, 128, 256, 300, -256, 32767})
        {
            std::vector<int16_t> track = all[0].samples;
            mixBack(track, s.samples, gain, 256 - gain / 2);
            h = digest(track.data(), track.size() * 2, h);
        }
    return h;
}

} // namespace

int main(int argc, char** argv)
{
    bool quick = false;
    bool each = false;
    for (int i = 1; i < argc; ++i)
    {
        quick = quick || std::strcmp(argv[i], "--quick") == 0;
        each = each || std::strcmp(argv[i], "--each") == 0;
    }
    const std::vector<Signal> all = signals();
    uint64_t total = digest(nullptr, 0);
    for (int32_t code = 1; code <= 39; ++code)
    {
        const bool spectral = findEffect(code) == nullptr;
        uint64_t perCode = digest(nullptr, 0);
        for (const Signal& s : all)
            for (const auto& p : parameterSets(code, spectral, quick))
                for (const Range& r : kRanges)
                {
                    const uint64_t h = runCode(code, s, p, r);
                    if (each)
                        std::printf("%2d %-7s %3d %3d %3d %5d %5d %016" PRIx64 "\n", code, s.name,
                                    p[0], p[1], p[2], r.first, r.last, h);
                    perCode = digest(&h, sizeof h, perCode);
                }
        std::printf("code %2d %016" PRIx64 "\n", code, perCode);
        total = digest(&perCode, sizeof perCode, total);
    }
    const uint64_t transforms = transformDigest();
    const uint64_t mix = mixBackDigest(all);
    std::printf("real transforms %016" PRIx64 "\nmix back %016" PRIx64 "\n", transforms, mix);
    total = digest(&transforms, sizeof transforms, digest(&mix, sizeof mix, total));
    std::printf("all %016" PRIx64 "\n", total);
    return 0;
}

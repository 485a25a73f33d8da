// Gain copy and gain mix, silencing, the premix of the other tracks and interpolated reads.
#include "Buffers.h"

#include "WaveFile.h"
#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define WAVORN_X86_KERNELS 1
#endif

namespace wavorn
{
namespace
{

constexpr int32_t kPieceFrames = 65536; // 256 KB of stereo frames

inline int32_t clampSample(int32_t v)
{
    return std::clamp(v, -kSampleLimit, kSampleLimit);
}

// The portable kernel works on blocks of 16 samples with the gains laid out as L, R, L, R ...,
// so the compiler turns each block into a few vector instructions.
constexpr size_t kBlock = 16;

struct GainPattern
{
    int32_t g[kBlock];
    GainPattern(int32_t left, int32_t right)
    {
        for (size_t i = 0; i < kBlock; ++i)
            g[i] = i % 2 ? right : left;
    }
};

#if defined(WAVORN_X86_KERNELS)
// Sixteen-bit lanes: with gains from -255 to 256, (s * g) >> 8 fits 16 bits and is bits 8 to 23
// of the product; adding base saturates, and the floor of -32767 keeps the clamp symmetric.
// Every result equals the scalar formula. The AVX2 version runs where the processor has it,
// chosen at run time, so the library itself needs no more than the x86-64 baseline.
bool gainsFit16(int32_t gainLeft, int32_t gainRight)
{
    auto fits = [](int32_t gain) { return gain >= -255 && gain <= 256; };
    return fits(gainLeft) && fits(gainRight);
}

size_t gainMixSse2(const int16_t* s, const int16_t* base, int16_t* d, size_t samples,
                   int16_t gainLeft, int16_t gainRight)
{
    const __m128i g = _mm_setr_epi16(gainLeft, gainRight, gainLeft, gainRight, gainLeft, gainRight,
                                     gainLeft, gainRight);
    const __m128i floor = _mm_set1_epi16(-kSampleLimit);
    size_t i = 0;
    for (; i + 8 <= samples; i += 8)
    {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i lo = _mm_mullo_epi16(x, g);
        const __m128i hi = _mm_mulhi_epi16(x, g);
        __m128i y = _mm_or_si128(_mm_slli_epi16(hi, 8), _mm_srli_epi16(lo, 8));
        if (base)
            y = _mm_adds_epi16(y, _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_max_epi16(y, floor));
    }
    return i;
}

__attribute__((target("avx2"))) size_t gainMixAvx2(const int16_t* s, const int16_t* base,
                                                   int16_t* d, size_t samples, int16_t gainLeft,
                                                   int16_t gainRight)
{
    const __m256i g = _mm256_setr_epi16(
        gainLeft, gainRight, gainLeft, gainRight, gainLeft, gainRight, gainLeft, gainRight,
        gainLeft, gainRight, gainLeft, gainRight, gainLeft, gainRight, gainLeft, gainRight);
    const __m256i floor = _mm256_set1_epi16(-kSampleLimit);
    size_t i = 0;
    for (; i + 16 <= samples; i += 16)
    {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i lo = _mm256_mullo_epi16(x, g);
        const __m256i hi = _mm256_mulhi_epi16(x, g);
        __m256i y = _mm256_or_si256(_mm256_slli_epi16(hi, 8), _mm256_srli_epi16(lo, 8));
        if (base)
            y = _mm256_adds_epi16(y,
                                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + i)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_max_epi16(y, floor));
    }
    return i;
}

// How many samples the vector kernels did; the rest is left to the portable loop.
size_t gainMixVector(const int16_t* s, const int16_t* base, int16_t* d, size_t samples,
                     int32_t gainLeft, int32_t gainRight)
{
    if (!gainsFit16(gainLeft, gainRight))
        return 0;
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? gainMixAvx2(s, base, d, samples, int16_t(gainLeft), int16_t(gainRight))
                : gainMixSse2(s, base, d, samples, int16_t(gainLeft), int16_t(gainRight));
}
#endif

// d = clamp((s * g) >> 8 + base) per sample; without base a plain gain copy. Adding base * 256
// before the shift, as the mix is defined, gives the same result, since it is a multiple of 256.
void gainKernel(const int16_t* s, const int16_t* base, int16_t* d, size_t samples, int32_t gainLeft,
                int32_t gainRight)
{
    size_t i = 0;
#if defined(WAVORN_X86_KERNELS)
    i = gainMixVector(s, base, d, samples, gainLeft, gainRight);
#endif
    const GainPattern p(gainLeft, gainRight);
    for (; i + kBlock <= samples; i += kBlock)
        for (size_t j = 0; j < kBlock; ++j)
            d[i + j] = int16_t(clampSample(((s[i + j] * p.g[j]) >> 8) + (base ? base[i + j] : 0)));
    for (; i < samples; ++i)
        d[i] = int16_t(clampSample(((s[i] * p.g[i % 2]) >> 8) + (base ? base[i] : 0)));
}

} // namespace

void gainMix(const int16_t* s, const int16_t* base, int16_t* d, size_t frames, int32_t gainLeft,
             int32_t gainRight)
{
    gainKernel(s, base, d, frames * 2, gainLeft, gainRight);
}

void cpyBufToBuf(const int16_t* src, int16_t* dst, int32_t fromFrame, int32_t toFrame,
                 int32_t dstFrame, int32_t gainLeft, int32_t gainRight, bool merge)
{
    logText("cpyBufToBuf\n");
    if (toFrame <= fromFrame)
        return;
    const int16_t* s = src + 2 * size_t(fromFrame);
    int16_t* d = dst + 2 * size_t(dstFrame);
    const size_t frames = size_t(toFrame - fromFrame);
    // Gains are kept within +-32767 (SetTrackAttr), so every product fits 32 bits. The shift
    // rounds toward minus infinity. With gains below 256 the copy's clamp never acts.
    gainKernel(s, merge ? d : nullptr, d, frames * 2, gainLeft, gainRight);
}

void deleteBuf(int16_t* buffer, int32_t fromFrame, int32_t toFrame)
{
    logText("deleteBuf\n");
    if (toFrame > fromFrame)
        std::memset(buffer + 2 * size_t(fromFrame), 0, size_t(toFrame - fromFrame) * 4);
}

void mergeMaster()
{
    logText("mergeMaster\n");
    Engine& e = engine();
    if (!e.masterBuf || !e.playBuf)
        return;
    logText("deleteBuf\n"); // the premix is cleared piece by piece below
    // Every audible track but the current one, in slot order. A refused or missing file is
    // left out.
    struct Source
    {
        WaveReader reader;
        const TrackSlot* slot;
    };
    std::vector<Source> sources;
    sources.reserve(kTrackSlots);
    for (int32_t t = 0; t < kTrackSlots; ++t)
    {
        const TrackSlot& slot = e.tracks[size_t(t)];
        if (t == e.curTrack || slot.volume <= 0)
            continue;
        WaveReader reader(slot.name);
        if (isLoaded(reader.result()))
            sources.push_back({std::move(reader), &slot});
        else
            logText("Bad wave file.\n");
    }
    // The files are read side by side, a cache-sized piece at a time through the start of
    // playBuf, and each piece is mixed into the premix while both are still in the cache; the
    // order of the tracks, and so the clamping, is the same as mixing whole files one by one.
    const int32_t piece = std::min(kPieceFrames, e.trackLen);
    int16_t* scratch = e.playBuf.get();
    for (int32_t first = 0; first < e.trackLen; first += piece)
    {
        const int32_t frames = std::min(piece, e.trackLen - first);
        int16_t* master = e.masterBuf.get() + 2 * size_t(first);
        std::memset(master, 0, size_t(frames) * 4);
        for (Source& s : sources)
            if (const int32_t got = s.reader.read(scratch, frames); got > 0)
                gainMix(scratch, master, master, size_t(got), s.slot->gainLeft, s.slot->gainRight);
    }
    for (size_t i = 0; i < sources.size(); ++i)
    {
        logText("Wave loaded.\n");
        logText("cpyBufToBuf\n");
    }
}

double interpSample(int32_t firstFrame, int32_t lastFrame, double fraction, int32_t channel)
{
    const Engine& e = engine();
    const double p = double(lastFrame - firstFrame) * fraction;
    const double i = std::trunc(p);
    const float f = float(p - i);
    const int64_t w = 2 * (int64_t(firstFrame) + int64_t(i)) + channel;
    const int64_t samples = e.trackBuf ? 2 * int64_t(e.trackLen) : 0;
    // Reads outside the buffer count as silence.
    auto at = [&](int64_t index)
    { return index >= 0 && index < samples ? double(e.trackBuf[size_t(index)]) : 0.0; };
    return at(w) * (1.0 - f) + at(w + 2) * f;
}

} // namespace wavorn

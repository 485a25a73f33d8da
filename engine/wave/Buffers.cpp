// Gain copy and gain mix, silencing, the premix of the other tracks and interpolated reads.
#include "Buffers.h"

#include "WaveFile.h"
#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wavorn
{
namespace
{

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

#if defined(__SSE2__)
// Eight samples at once in 16-bit lanes: with gains from -255 to 256, (s * g) >> 8 fits
// 16 bits and is bits 8 to 23 of the product; adding base saturates, and the floor of -32767
// keeps the clamp symmetric. Every result equals the scalar formula.
bool gainMixVector(const int16_t* s, const int16_t* base, int16_t* d, size_t samples,
                   int32_t gainLeft, int32_t gainRight, size_t& done)
{
    auto fits = [](int32_t gain) { return gain >= -255 && gain <= 256; };
    if (!fits(gainLeft) || !fits(gainRight))
        return false;
    const __m128i g = _mm_setr_epi16(int16_t(gainLeft), int16_t(gainRight), int16_t(gainLeft),
                                     int16_t(gainRight), int16_t(gainLeft), int16_t(gainRight),
                                     int16_t(gainLeft), int16_t(gainRight));
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
    done = i;
    return true;
}
#endif

// d = clamp((s * g) >> 8 + base) per sample; without base a plain gain copy. Adding base * 256
// before the shift, as the mix is defined, gives the same result, since it is a multiple of 256.
void gainKernel(const int16_t* s, const int16_t* base, int16_t* d, size_t samples, int32_t gainLeft,
                int32_t gainRight)
{
    size_t i = 0;
#if defined(__SSE2__)
    if (!gainMixVector(s, base, d, samples, gainLeft, gainRight, i))
        i = 0;
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
    deleteBuf(e.masterBuf.get(), 0, e.trackLen);
    for (int32_t t = 0; t < kTrackSlots; ++t)
    {
        const TrackSlot& slot = e.tracks[size_t(t)];
        if (t == e.curTrack || slot.volume <= 0)
            continue;
        // The file is mixed in piece by piece as it loads; the silence after its data would
        // leave the premix as it is. A refused or missing file is left out, never mixed from
        // what playBuf held before.
        int16_t* play = e.playBuf.get();
        int16_t* master = e.masterBuf.get();
        auto mixIn = [&](int32_t first, int32_t frames)
        {
            const size_t at = 2 * size_t(first);
            gainMix(play + at, master + at, master + at, size_t(frames), slot.gainLeft,
                    slot.gainRight);
        };
        if (isLoaded(loadWavToBuf(slot.name, play, e.trackLen, mixIn)))
            logText("cpyBufToBuf\n");
        else
            logText("Bad wave file.\n");
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

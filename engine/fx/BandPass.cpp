// Band pass (code 7): kernel design and the backward 128-tap convolution.
#include "BandPass.h"

#include "Effects.h"

#include "engine/api/TraceLog.h"

#include <algorithm>
#include <cmath>

namespace wavorn::fx
{

namespace
{

constexpr double kNyquist = 22050.0;
constexpr int32_t kHalf = 64;                   // the kernel's centre tap
constexpr int32_t kUsedTaps = 128;              // taps 0 ... 127 are applied, tap 128 is not
constexpr int32_t kReach = 2 * (kUsedTaps - 1); // sample indexes one output reads below itself
constexpr int32_t kBlock = 256;                 // output samples per block
constexpr int32_t kLanes = 8;                   // floats per vector
constexpr int32_t kVectors = 8;                 // accumulators kept in registers
constexpr int32_t kGroup = kLanes * kVectors;   // output samples summed together

typedef float Vec8 __attribute__((vector_size(32)));

// Sums y[j] = sum over k of taps[k] * window[j + kReach - 2k] for count outputs (a multiple of
// kGroup): the inner loop of the filter, 128 multiply-adds per output, with kVectors
// independent sums in flight. Every output adds its terms in tap order in every build, so the
// builds agree to the bit.
VUMO_FX_CLONES void convolveBlock(const float* taps, const float* window, int32_t count, float* out)
{
    for (int32_t j0 = 0; j0 < count; j0 += kGroup)
    {
        Vec8 acc[kVectors] = {};
        const float* x = window + j0 + kReach;
        for (int32_t k = 0; k < kUsedTaps; ++k)
        {
            const float* xk = x - 2 * k;
            const Vec8 t = Vec8{} + taps[k];
            for (int32_t v = 0; v < kVectors; ++v)
            {
                Vec8 xv;
                __builtin_memcpy(&xv, xk + kLanes * v, sizeof xv);
                acc[v] += t * xv;
            }
        }
        __builtin_memcpy(out + j0, acc, sizeof acc);
    }
}

} // namespace

BandPassKernel designBandPass(double lowHz, double highHz)
{
    const double centre = kPi * (lowHz + highHz) / (2.0 * kNyquist);
    const double halfWidth = kPi * (highHz - lowHz + 0.086953125 * kNyquist) / (2.0 * kNyquist);
    BandPassKernel taps{};
    taps[kHalf] = halfWidth / kPi;
    for (int32_t n = 1; n <= kHalf; ++n)
    {
        const double window =
            0.42 + 0.5 * std::cos(n * kPi / kHalf) + 0.08 * std::cos(2.0 * n * kPi / kHalf);
        const double h = std::sin(n * halfWidth) * std::cos(n * centre) * window / (n * kPi);
        taps[size_t(kHalf - n)] = h;
        taps[size_t(kHalf + n)] = h;
    }
    // Scale so that the largest response over 251 frequencies from 0 to pi is 1 (0 dB).
    double peak = -100.0;
    for (int32_t k = 0; k <= 250; ++k)
    {
        const double omega = k * kPi * 0.004;
        double re = 0.0;
        double im = 0.0;
        for (int32_t n = 0; n < kBandPassTaps; ++n)
        {
            re += taps[size_t(n)] * std::cos(n * omega);
            im += taps[size_t(n)] * std::sin(n * omega);
        }
        peak = std::max(peak, 10.0 * std::log10(re * re + im * im));
    }
    const double scale = std::pow(10.0, -0.05 * peak);
    for (double& t : taps)
        t *= scale;
    return taps;
}

bool filter(SampleSpan track, int32_t first, int32_t last, double lowHz, double highHz,
            float dryLeft, float dryRight, float wetLeft, float wetRight)
{
    logText("Filter\n");
    const BandPassKernel kernel = designBandPass(lowHz, highHz);
    float taps[kBandPassTaps];
    for (int32_t n = 0; n < kBandPassTaps; ++n)
    {
        logHex(uint32_t(int32_t(kernel[size_t(n)] * 100000.0)));
        taps[n] = float(kernel[size_t(n)]);
    }

    const int64_t lowest = 2 * int64_t(first) + 257;
    const int64_t highest = 2 * int64_t(last) - 256;
    if (highest < lowest)
        return false;
    int16_t* x = track.data();
    float window[kBlock + kReach];
    float y[kBlock];
    // Blocks from the top of the range down: a block reads up to kReach samples below itself,
    // all below every sample written so far.
    for (int64_t top = highest + 1; top > lowest;)
    {
        const int64_t start = std::max(lowest, top - kBlock);
        const int32_t count = int32_t(top - start);
        const int32_t padded = (count + kGroup - 1) / kGroup * kGroup;
        for (int32_t i = 0; i < kReach + count; ++i)
            window[i] = float(x[start - kReach + i]);
        std::fill(window + kReach + count, window + kReach + padded, 0.0f);
        convolveBlock(taps, window, padded, y);
        for (int32_t j = 0; j < count; ++j)
        {
            const int64_t s = start + j;
            const bool left = (s & 1) == 0;
            const float dry = left ? dryLeft : dryRight;
            const float wet = left ? wetLeft : wetRight;
            x[s] = clampSample(y[j] * wet + dry * float(x[s]));
        }
        top = start;
    }
    return true;
}

// Band pass (code 7): edges P1 * 22050/256 and P2 * 22050/256 Hz, wet weights from P3, no dry.
void applyBandPass(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    filter(track, p.first, p.last, p.p1 * 22050.0 / 256.0, p.p2 * 22050.0 / 256.0, 0.0f, 0.0f,
           w.left, w.right);
}

} // namespace wavorn::fx

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
// A block of output samples is a multiple of every version's group (see convolveBlock).
constexpr int32_t kBlockGroup = 192;
constexpr int32_t kBlock = 2 * kBlockGroup;

typedef float Lanes8 __attribute__((vector_size(32)));
typedef float Lanes16 __attribute__((vector_size(64)));

// Sums y[j] = sum over k of taps[k] * window[j + kReach - 2k] for count outputs (a multiple of
// vectors * lanes): the inner loop of the filter, 128 multiplications and additions per
// output, with `vectors` independent sums in flight. Every output adds its terms in tap order
// whatever the vector width, so all versions agree to the bit.
template <class Lanes, int32_t kVectors>
inline __attribute__((always_inline)) void convolve(const float* taps, const float* window,
                                                    int32_t count, float* out)
{
    constexpr int32_t kLanes = sizeof(Lanes) / sizeof(float);
    for (int32_t j0 = 0; j0 < count; j0 += kLanes * kVectors)
    {
        Lanes acc[kVectors] = {};
        const float* x = window + j0 + kReach;
        for (int32_t k = 0; k < kUsedTaps; ++k)
        {
            const float* xk = x - 2 * k;
            const Lanes t = Lanes{} + taps[k];
            for (int32_t v = 0; v < kVectors; ++v)
            {
                Lanes xv;
                __builtin_memcpy(&xv, xk + kLanes * v, sizeof xv);
                acc[v] += t * xv;
            }
        }
        __builtin_memcpy(out + j0, acc, sizeof acc);
    }
}

// count is a multiple of kBlockGroup: groups of 96 outputs in six 16-float sums with AVX-512,
// of 64 in eight 8-float sums otherwise (what the registers hold).
#if VUMO_FX_VERSIONS
VUMO_FX_FOR_AVX512 void convolveBlock(const float* taps, const float* window, int32_t count,
                                      float* out)
{
    convolve<Lanes16, 6>(taps, window, count, out);
}
VUMO_FX_FOR_AVX2 void convolveBlock(const float* taps, const float* window, int32_t count,
                                    float* out)
{
    convolve<Lanes8, 8>(taps, window, count, out);
}
VUMO_FX_FOR_ANY
#endif
void convolveBlock(const float* taps, const float* window, int32_t count, float* out)
{
    convolve<Lanes8, 8>(taps, window, count, out);
}

// window[i] = x[i] for i < count, then zeros up to padded.
VUMO_FX_CLONES void toFloats(const int16_t* __restrict x, int32_t count, int32_t padded,
                             float* __restrict window)
{
    for (int32_t i = 0; i < count; ++i)
        window[i] = float(x[i]);
    for (int32_t i = count; i < padded; ++i)
        window[i] = 0.0f;
}

// x[j] = wet * y[j] + dry * x[j], limited, for count samples; x[0] is a left sample when
// leftFirst, a right one otherwise.
VUMO_FX_CLONES void mixFiltered(const float* __restrict y, int32_t count, bool leftFirst,
                                const float* dry, const float* wet, int16_t* __restrict x)
{
    const int32_t first = leftFirst ? 0 : 1; // channel of x[0]
    for (int32_t j = 0; j < count; ++j)
    {
        const int32_t channel = (first + j) & 1;
        x[j] = clampSample(y[j] * wet[channel] + dry[channel] * float(x[j]));
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
    const float dry[2] = {dryLeft, dryRight};
    const float wet[2] = {wetLeft, wetRight};
    float window[kBlock + kReach];
    float y[kBlock];
    // Blocks from the top of the range down: a block reads up to kReach samples below itself,
    // all below every sample written so far.
    for (int64_t top = highest + 1; top > lowest;)
    {
        const int64_t start = std::max(lowest, top - kBlock);
        const int32_t count = int32_t(top - start);
        const int32_t padded = (count + kBlockGroup - 1) / kBlockGroup * kBlockGroup;
        toFloats(x + start - kReach, kReach + count, kReach + padded, window);
        convolveBlock(taps, window, padded, y);
        mixFiltered(y, count, (start & 1) == 0, dry, wet, x + start);
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

// The seven spectral effects, each a rule from one frame's analysis bins to its synthesis bins.
// Their loops over bins are built per processor (VUMO_FX_CLONES) and written without branches
// on the values, so that they run a vector at a time with the same roundings in every build.
#include "SpectralOps.h"

#include "FxClones.h"
#include "SnapToScale.h"

#include <algorithm>
#include <cmath>

namespace wavorn::fx
{

namespace
{

constexpr int32_t kLastBin = kSpectralBins - 1;

void copyFrequencies(const AnalysisBins& in, const SynthesisBins& out)
{
    std::copy_n(in.frequency.begin(), kSpectralBins, out.frequency.begin());
}

void copyMagnitudes(const AnalysisBins& in, const SynthesisBins& out)
{
    std::copy_n(in.magnitude.begin(), kSpectralBins, out.magnitude.begin());
}

} // namespace

float pitchRatioFromP1(int32_t p1)
{
    if (p1 < 42)
        return 0.5f;
    if (p1 < 84)
        return 0.75f;
    if (p1 < 128)
        return 1.25f;
    if (p1 < 170)
        return 1.5f;
    if (p1 < 212)
        return 1.75f;
    return 2.0f;
}

int32_t peakBin(std::span<const float> magnitude)
{
    // The largest value above 0 first (values that are not numbers never count), then the
    // lowest bin that holds it.
    typedef float Lanes __attribute__((vector_size(32)));
    constexpr int32_t kLanes = 8;
    Lanes largestLanes = {};
    int32_t k = 0;
    for (; k + kLanes <= kSpectralBins; k += kLanes)
    {
        Lanes m;
        __builtin_memcpy(&m, &magnitude[size_t(k)], sizeof m);
        largestLanes = m > largestLanes ? m : largestLanes;
    }
    float largest = 0.0f;
    for (int32_t lane = 0; lane < kLanes; ++lane)
        largest = largestLanes[lane] > largest ? largestLanes[lane] : largest;
    for (; k < kSpectralBins; ++k)
        largest = magnitude[size_t(k)] > largest ? magnitude[size_t(k)] : largest;
    if (!(largest > 0.0f))
        return 0;
    return int32_t(std::find(magnitude.begin(), magnitude.begin() + kSpectralBins, largest) -
                   magnitude.begin());
}

namespace
{

// shiftPitch's loop: bins k whose source trunc(k / ratio) is a bin take it; the others keep
// their values (chosen, not skipped, so that the loop has no branch).
void VUMO_FX_KERNEL(shiftBins)(const float* __restrict inMagnitude,
                               const float* __restrict inFrequency, float ratio,
                               float* __restrict outMagnitude, float* __restrict outFrequency)
{
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        const auto from = int32_t(float(k) / ratio); // truncated; ratio is at least 0.5
        const bool inside = from <= kLastBin;
        const auto at = size_t(inside ? from : kLastBin);
        const float magnitude = outMagnitude[k] + inMagnitude[at];
        const float frequency = ratio * inFrequency[at];
        outMagnitude[k] = inside ? magnitude : outMagnitude[k];
        outFrequency[k] = inside ? frequency : outFrequency[k];
    }
}
VUMO_FX_DISPATCH(shiftBins)

// Harmonics' loop over bins 100 ... 2048: every bin from the analysis magnitudes of itself and
// of the bins at 1/1.3, 1/1.5 and 1/1.7 of it.
void VUMO_FX_KERNEL(addHarmonics)(const float* __restrict in, float a3, float a5, float a7,
                                  float total, float* __restrict out)
{
    for (int32_t k = 100; k <= kLastBin; ++k)
    {
        const auto b3 = size_t(double(k) * 0.7692307692307692);
        const auto b5 = size_t(double(k) * 0.6666666666666666);
        const auto b7 = size_t(double(k) * 0.5882352941176471);
        out[k] = (in[k] + a3 * in[b3] + a5 * in[b5] + a7 * in[b7]) / total;
    }
}
VUMO_FX_DISPATCH(addHarmonics)

// Bass Boost's loop over bins 0 ... 1023: bin k takes boost times bin 2k added to itself.
void VUMO_FX_KERNEL(boostBass)(const float* __restrict in, float boost, float* __restrict out)
{
    for (int32_t k = 0; k < 1024; ++k)
        out[k] = (boost * in[2 * k] + in[k]) / (boost + 1.0f);
}
VUMO_FX_DISPATCH(boostBass)

// FFT EQ's gains: low to middle over bins 0 ... 511, middle to high over 512 ... 2047.
void VUMO_FX_KERNEL(equalise)(const float* __restrict in, float low, float middle, float high,
                              float* __restrict out)
{
    for (int32_t k = 0; k < 512; ++k)
    {
        const float gain = (float(512 - k) * low + float(k) * middle) / 512.0f;
        out[k] = gain * in[k];
    }
    for (int32_t k = 512; k < kLastBin; ++k)
    {
        const int32_t q = k - 512;
        const float gain = (float(1536 - q) * middle + float(q) * high) / 1536.0f;
        out[k] = gain * in[k];
    }
}
VUMO_FX_DISPATCH(equalise)

// FFT Bow's squares over the largest magnitude.
void VUMO_FX_KERNEL(bow)(const float* __restrict in, float largest, float* __restrict out)
{
    for (int32_t k = 0; k < kSpectralBins; ++k)
        out[k] = in[k] * in[k] / largest;
}
VUMO_FX_DISPATCH(bow)

} // namespace

void shiftPitch(const AnalysisBins& in, const SynthesisBins& out, float ratio)
{
    shiftBins(in.magnitude.data(), in.frequency.data(), ratio, out.magnitude.data(),
              out.frequency.data());
}

float perfectPitchRatio(const AnalysisBins& in, int32_t scale, int32_t key)
{
    constexpr float kSemitoneDown = 0.9438743967462762f;
    constexpr float kKeyStep = 0.00413852734375f;
    const int32_t peak = peakBin(in.magnitude);
    float detected = in.magnitude[size_t(peak)] > 0.0f ? in.frequency[size_t(peak)] : 0.0f;
    for (int32_t s = key / 22; s > 0; --s)
        detected *= kSemitoneDown;
    // Key 0 or no detected frequency gives no ratio (0/0 or inf/inf): 0.5 is used instead.
    if (key == 0 || detected == 0.0f)
        return 0.5f;
    const float measured = detected / (float(key) * kKeyStep);
    const float target = snapToScale(measured, scale);
    const float ratio = target / measured;
    if (!(ratio >= 0.5f)) // also catches a ratio that is not a number
        return 0.5f;
    return std::min(ratio, 2.0f);
}

void fftPitch(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params)
{
    shiftPitch(in, out, pitchRatioFromP1(params.p1));
}

void fftBow(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams&)
{
    copyFrequencies(in, out);
    const float largest = in.magnitude[size_t(peakBin(in.magnitude))];
    if (largest <= 0.0f)
        return; // a silent frame stays silent
    bow(in.magnitude.data(), largest, out.magnitude.data());
}

void fftEq(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params)
{
    const float low = float(params.p1) / 256.0f;
    const float middle = float(params.p2) / 256.0f;
    const float high = float(params.p3) / 256.0f;
    copyFrequencies(in, out);
    equalise(in.magnitude.data(), low, middle, high, out.magnitude.data());
}

void perfectPitch(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params)
{
    shiftPitch(in, out, perfectPitchRatio(in, params.p1, params.p2));
}

void digitize(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params)
{
    copyFrequencies(in, out);
    const int32_t peak = peakBin(in.magnitude);
    const int32_t from = std::max(0, peak - params.p1 + 1);
    const int32_t to = std::min(kLastBin, peak + params.p1 - 1);
    for (int32_t k = from; k <= to; ++k)
        out.magnitude[size_t(k)] = in.magnitude[size_t(k)];
}

void harmonics(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params)
{
    copyMagnitudes(in, out);
    copyFrequencies(in, out);
    const float a3 = float(params.p1) / 256.0f; // voice at 1.3 x
    const float a5 = float(params.p2) / 256.0f; // at 1.5 x
    const float a7 = float(params.p3) / 256.0f; // at 1.7 x
    const float total = 1.0f + a3 + a5 + a7;
    // Bins below 100 keep their magnitudes; each bin above reads lower bins as the analysis
    // gave them.
    addHarmonics(in.magnitude.data(), a3, a5, a7, total, out.magnitude.data());
}

void bassBoost(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params)
{
    copyMagnitudes(in, out);
    copyFrequencies(in, out);
    const float boost = float(params.p1) / 256.0f;
    // Each bin k below 1024 reads bin 2k as the analysis gave it.
    boostBass(in.magnitude.data(), boost, out.magnitude.data());
}

} // namespace wavorn::fx

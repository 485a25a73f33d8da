// The seven spectral effects, each a rule from one frame's analysis bins to its synthesis bins.
#include "SpectralOps.h"

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
    int32_t peak = 0;
    float largest = 0.0f;
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        if (magnitude[size_t(k)] > largest)
        {
            largest = magnitude[size_t(k)];
            peak = k;
        }
    }
    return peak;
}

void shiftPitch(const AnalysisBins& in, const SynthesisBins& out, float ratio)
{
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        const auto from = int32_t(float(k) / ratio); // truncated; ratio is at least 0.5
        if (from <= kLastBin)
        {
            out.magnitude[size_t(k)] += in.magnitude[size_t(from)];
            out.frequency[size_t(k)] = ratio * in.frequency[size_t(from)];
        }
    }
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
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        const float a = in.magnitude[size_t(k)];
        out.magnitude[size_t(k)] = a * a / largest;
    }
}

void fftEq(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params)
{
    const float low = float(params.p1) / 256.0f;
    const float middle = float(params.p2) / 256.0f;
    const float high = float(params.p3) / 256.0f;
    copyFrequencies(in, out);
    // Low to middle over bins 0 ... 511 (up to about 5.5 kHz), middle to high above.
    for (int32_t k = 0; k < 512; ++k)
    {
        const float gain = (float(512 - k) * low + float(k) * middle) / 512.0f;
        out.magnitude[size_t(k)] = gain * in.magnitude[size_t(k)];
    }
    for (int32_t k = 512; k < kLastBin; ++k)
    {
        const int32_t q = k - 512;
        const float gain = (float(1536 - q) * middle + float(q) * high) / 1536.0f;
        out.magnitude[size_t(k)] = gain * in.magnitude[size_t(k)];
    }
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
    std::span<float> s = out.magnitude;
    // Downward, so every bin reads lower bins that still hold their analysis magnitudes.
    for (int32_t k = kLastBin; k >= 100; --k)
    {
        const auto b3 = size_t(double(k) * 0.7692307692307692);
        const auto b5 = size_t(double(k) * 0.6666666666666666);
        const auto b7 = size_t(double(k) * 0.5882352941176471);
        s[size_t(k)] = (s[size_t(k)] + a3 * s[b3] + a5 * s[b5] + a7 * s[b7]) / total;
    }
}

void bassBoost(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params)
{
    copyMagnitudes(in, out);
    copyFrequencies(in, out);
    const float boost = float(params.p1) / 256.0f;
    std::span<float> s = out.magnitude;
    // Upward, so bin 2k is read before it changes itself.
    for (int32_t k = 0; k < 1024; ++k)
        s[size_t(k)] = (boost * s[size_t(2 * k)] + s[size_t(k)]) / (boost + 1.0f);
}

} // namespace wavorn::fx

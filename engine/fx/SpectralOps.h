// What each spectral effect does to the bins of one frame: it reads the analysis magnitudes
// and true frequencies and fills the synthesis magnitudes and frequencies.
#pragma once

#include <cstdint>
#include <span>

namespace wavorn::fx
{

constexpr int32_t kSpectralBins = 2049; // bins 0 ... 2048 of a 4096-sample frame

struct SpectralParams
{
    int32_t p1 = 0; // 0 ... 255 each
    int32_t p2 = 0;
    int32_t p3 = 0;
};

// One frame's analysis: magnitude A and true frequency (Hz) of every bin.
struct AnalysisBins
{
    std::span<const float> magnitude;
    std::span<const float> frequency;
};

// One frame's synthesis, cleared to 0 before an operation fills it.
struct SynthesisBins
{
    std::span<float> magnitude;
    std::span<float> frequency;
};

using SpectralOperation = void (*)(const AnalysisBins& in, const SynthesisBins& out,
                                   const SpectralParams& params);

// The operation for number 0 (FFT Pitch) ... 6 (Bass Boost); null for every other number,
// which leaves the synthesis bins at 0.
SpectralOperation spectralOperation(int32_t operation);

// FFT Pitch's six ratios: below 42 0.5, 42..83 0.75, 84..127 1.25, 128..169 1.5,
// 170..211 1.75, 212 and above 2.
float pitchRatioFromP1(int32_t p1);
// The bin of the largest magnitude, the lowest of equal ones; 0 when every magnitude is 0.
int32_t peakBin(std::span<const float> magnitude);
// Moves every partial by `ratio`: bin k takes bin trunc(k / ratio) at ratio times its frequency.
void shiftPitch(const AnalysisBins& in, const SynthesisBins& out, float ratio);
// Perfect Pitch's ratio for a frame: the peak's frequency scaled by the key P2 and snapped to
// the scale P1, limited to 0.5 ... 2 (0.5 when no ratio can be formed).
float perfectPitchRatio(const AnalysisBins& in, int32_t scale, int32_t key);

void fftPitch(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params);
void fftBow(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params);
void fftEq(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params);
void perfectPitch(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params);
void digitize(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params);
void harmonics(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params);
void bassBoost(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params);

} // namespace wavorn::fx

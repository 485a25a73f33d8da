// Effects driven by a low-frequency oscillator: ring modulation, amplitude vibe and bounce pan.
// The phase m starts at 0 on every call and grows by P1 * 2^-18 radians per frame (PhaseSweep).
// Phases are found a block at a time; the block's cosines and samples then vectorise.
#include "Effects.h"
#include "PhaseSweep.h"

#include <algorithm>

namespace wavorn::fx
{

namespace
{

// Ring: each channel times (w * cos m + 1), limited to +-32767.
VUMO_FX_CLONES void ringBlock(int16_t* x, const float* phases, size_t frames, ChannelWeights w)
{
    for (size_t i = 0; i < frames; ++i)
    {
        const float c = cosPhase(phases[i]);
        x[2 * i] = clampSample(float(x[2 * i]) * (w.left * c + 1.0f));
        x[2 * i + 1] = clampSample(float(x[2 * i + 1]) * (w.right * c + 1.0f));
    }
}

// Vibe: v = (a * cos m + 2 - a) * 0.5; each channel times (w * v + 1), limited to +-32767.
VUMO_FX_CLONES void vibeBlock(int16_t* x, const float* phases, size_t frames, ChannelWeights w,
                              float depth)
{
    for (size_t i = 0; i < frames; ++i)
    {
        const float v = (depth * cosPhase(phases[i]) + 2.0f - depth) * 0.5f;
        x[2 * i] = clampSample(float(x[2 * i]) * (w.left * v + 1.0f));
        x[2 * i + 1] = clampSample(float(x[2 * i + 1]) * (w.right * v + 1.0f));
    }
}

// Bounce pan: left level (a * cos m + 2 - a) * 0.5, right the same at m + pi/2.
VUMO_FX_CLONES void bounceBlock(int16_t* x, const float* phases, size_t frames, ChannelWeights w,
                                float depth)
{
    const float quarter = float(kHalfPi);
    for (size_t i = 0; i < frames; ++i)
    {
        const float l = float(x[2 * i]) * w.left;
        const float r = float(x[2 * i + 1]) * w.right;
        const float cl = cosPhase(phases[i]);
        const float cr = cosPhase(phases[i] + quarter);
        x[2 * i] = truncSample(l * (depth * cl + 2.0f - depth) * 0.5f);
        x[2 * i + 1] = truncSample(r * (depth * cr + 2.0f - depth) * 0.5f);
    }
}

// Runs apply(samples, phases, frames) over the range a block of phases at a time.
template <class Apply> void overBlocks(SampleSpan track, const FxParams& p, Apply&& apply)
{
    PhaseSweep oscillator(p.p1);
    float phases[kOscillatorBlock];
    for (size_t f = size_t(p.first); f < size_t(p.last); f += kOscillatorBlock)
    {
        const size_t frames = std::min(kOscillatorBlock, size_t(p.last) - f);
        oscillator.next(phases, frames);
        apply(track.data() + 2 * f, phases, frames);
    }
}

} // namespace

// Ring (code 5): each channel times (w * cos m + 1), limited to +-32767.
void applyRing(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    overBlocks(track, p,
               [&](int16_t* x, const float* phases, size_t frames)
               { ringBlock(x, phases, frames, w); });
}

// Vibe (code 6): v = (a * cos m + 2 - a) / 2 swings between 1 - a and 1 with depth a = P2/255;
// each channel times (w * v + 1), limited to +-32767.
void applyVibe(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    const float depth = float(p.p2) / 255.0f;
    overBlocks(track, p,
               [&](int16_t* x, const float* phases, size_t frames)
               { vibeBlock(x, phases, frames, w, depth); });
}

// Bounce pan (code 11): the left channel's level follows (a * cos m + 2 - a) / 2, the right
// channel's the same a quarter period ahead. The factors never exceed 1, so nothing is limited.
void applyBouncePan(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    const float depth = float(p.p2) / 255.0f;
    overBlocks(track, p,
               [&](int16_t* x, const float* phases, size_t frames)
               { bounceBlock(x, phases, frames, w, depth); });
}

} // namespace wavorn::fx

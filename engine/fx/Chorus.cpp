// Two-voice and three-voice chorus (codes 2 and 16): each frame gets copies of the signal read
// ahead of it at offsets that sweep between 0 and 2 * P2 frames. A voice reads up to
// 2 * P2 + 1 frames past the frame written; frames past the end of the track read as silence.
#include "Effects.h"

#include <algorithm>

namespace wavorn::fx
{

namespace
{

struct ChorusSweep
{
    float step;   // (255 - P1) * 2^-18 radians per frame
    float depth;  // P2 frames
    size_t count; // frames processed: F ... L - P2 - 2
};

ChorusSweep chorusSweep(const FxParams& p)
{
    const int64_t end = int64_t(p.last) - p.p2 - 1;
    return {float(255 - p.p1) * kRadiansPerStep, float(p.p2),
            end > p.first ? size_t(end - p.first) : 0};
}

} // namespace

namespace
{

// Voice offsets of a block from its phases: depth * (cos m + 1) and depth * (sin m + 1).
VUMO_FX_CLONES void offsetBlock(const float* phases, size_t frames, float depth, float* cosines,
                                float* sines)
{
    for (size_t k = 0; k < frames; ++k)
    {
        float s;
        float c;
        sinCosPhase(phases[k], s, c);
        cosines[k] = depth * (c + 1.0f);
        sines[k] = depth * (1.0f + s);
    }
}

// Runs voice(frame, offsetCos, offsetSin) for every processed frame; both offsets are 0 for
// the first frame and then follow the phase after each step.
template <class Voice> void sweepVoices(const FxParams& p, Voice&& voice)
{
    const ChorusSweep sweep = chorusSweep(p);
    float phases[kOscillatorBlock];
    float cosines[kOscillatorBlock];
    float sines[kOscillatorBlock];
    float m = 0.0f;
    for (size_t n0 = 0; n0 < sweep.count; n0 += kOscillatorBlock)
    {
        const size_t frames = std::min(kOscillatorBlock, sweep.count - n0);
        phaseBlock(m, sweep.step, phases, frames);
        offsetBlock(phases, frames, sweep.depth, cosines, sines);
        if (n0 == 0)
        {
            cosines[0] = 0.0f;
            sines[0] = 0.0f;
        }
        for (size_t k = 0; k < frames; ++k)
            voice(size_t(p.first) + n0 + k, cosines[k], sines[k]);
    }
}

} // namespace

// Two-voice chorus (code 2): out = x + w * voice, the voice read at offset
// o = P2 * (cos m + 1) ahead of the frame, limited to +-32767.
void applyChorus2(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    int16_t* x = track.data();
    sweepVoices(p,
                [&](size_t f, float offset, float)
                {
                    const StereoValue v = readAhead(track, f, offset);
                    x[2 * f] = clampSample(float(x[2 * f]) + w.left * v.left);
                    x[2 * f + 1] = clampSample(float(x[2 * f + 1]) + w.right * v.right);
                });
}

// Three-voice chorus (code 16): voices at offsets P2 * (1 + cos m) and P2 * (1 + sin m); the
// weights spread them: left = x + wL * v1 + wR * v2, right = x + wR * v1 + wL * v2.
void applyChorus3(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    int16_t* x = track.data();
    sweepVoices(p,
                [&](size_t f, float offset1, float offset2)
                {
                    const StereoValue v1 = readAhead(track, f, offset1);
                    const StereoValue v2 = readAhead(track, f, offset2);
                    x[2 * f] = clampSample(float(x[2 * f]) + w.left * v1.left + w.right * v2.left);
                    x[2 * f + 1] =
                        clampSample(float(x[2 * f + 1]) + w.right * v1.right + w.left * v2.right);
                });
}

} // namespace wavorn::fx

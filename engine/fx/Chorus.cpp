// Two-voice and three-voice chorus (codes 2 and 16): each frame gets copies of the signal read
// ahead of it at offsets that sweep between 0 and 2 * P2 frames. A voice reads up to
// 2 * P2 + 1 frames past the frame written; frames past the end of the track read as silence.
#include "Effects.h"
#include "PhaseSweep.h"

#include <algorithm>

namespace wavorn::fx
{

namespace
{

struct ChorusSweep
{
    int32_t units; // 255 - P1: the oscillator's step in 2^-18 radians per frame
    float depth;   // P2 frames
    size_t count;  // frames processed: F ... L - P2 - 2
};

ChorusSweep chorusSweep(const FxParams& p)
{
    const int64_t end = int64_t(p.last) - p.p2 - 1;
    return {255 - p.p1, float(p.p2), end > p.first ? size_t(end - p.first) : 0};
}

// Voice offsets of a block from its phases: depth * (cos m + 1) and depth * (sin m + 1). Sine
// and cosine never exceed 1 at the phases the sweep reaches, so neither offset exceeds
// 2 * depth.
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

// The samples of one voice read `offset` frames ahead of frame word x[k], as readAhead reads
// them: the whole part moves the frame, the fraction weighs the next one.
inline StereoValue voiceAt(const FrameWord* x, int32_t k, float offset)
{
    const auto whole = int32_t(offset);
    const float fraction = offset - float(whole);
    const float keep = 1.0f - fraction;
    const uint32_t a = x[k + whole];
    const uint32_t b = x[k + whole + 1];
    return {float(frameLeft(a)) * keep + float(frameLeft(b)) * fraction,
            float(frameRight(a)) * keep + float(frameRight(b)) * fraction};
}

// Two voices' worth of a block whose voices all read inside the track: the new frames of
// x[0 .. count) into out. Nothing is written to x, so every voice reads unprocessed frames.
VUMO_FX_CLONES void chorus2Block(const FrameWord* __restrict x, const float* __restrict offsets,
                                 int32_t count, ChannelWeights w, uint32_t* __restrict out)
{
    for (int32_t k = 0; k < count; ++k)
    {
        const StereoValue v = voiceAt(x, k, offsets[k]);
        out[k] = frameWord(clampSample(float(frameLeft(x[k])) + w.left * v.left),
                           clampSample(float(frameRight(x[k])) + w.right * v.right));
    }
}

VUMO_FX_CLONES void chorus3Block(const FrameWord* __restrict x, const float* __restrict offsets1,
                                 const float* __restrict offsets2, int32_t count, ChannelWeights w,
                                 uint32_t* __restrict out)
{
    for (int32_t k = 0; k < count; ++k)
    {
        const StereoValue v1 = voiceAt(x, k, offsets1[k]);
        const StereoValue v2 = voiceAt(x, k, offsets2[k]);
        out[k] = frameWord(
            clampSample(float(frameLeft(x[k])) + w.left * v1.left + w.right * v2.left),
            clampSample(float(frameRight(x[k])) + w.right * v1.right + w.left * v2.right));
    }
}

// Runs block(first, frames, offsetsCos, offsetsSin) over the processed frames a block at a
// time; both offsets are 0 for the first frame and then follow the phase after each step.
template <class Block> void sweepVoices(const FxParams& p, Block&& block)
{
    const ChorusSweep sweep = chorusSweep(p);
    PhaseSweep oscillator(sweep.units);
    float phases[kOscillatorBlock];
    float cosines[kOscillatorBlock];
    float sines[kOscillatorBlock];
    for (size_t n0 = 0; n0 < sweep.count; n0 += kOscillatorBlock)
    {
        const size_t frames = std::min(kOscillatorBlock, sweep.count - n0);
        oscillator.next(phases, frames);
        offsetBlock(phases, frames, sweep.depth, cosines, sines);
        if (n0 == 0)
        {
            cosines[0] = 0.0f;
            sines[0] = 0.0f;
        }
        block(size_t(p.first) + n0, frames, cosines, sines);
    }
}

// True when every voice of frames first ... first + frames - 1 reads inside the track: no
// offset exceeds 2 * P2, so no voice reads past frame + 2 * P2 + 1.
bool readsInside(SampleSpan track, size_t first, size_t frames, int32_t p2)
{
    return first + frames + 2 * size_t(p2) + 1 <= track.size() / 2;
}

} // namespace

// Two-voice chorus (code 2): out = x + w * voice, the voice read at offset
// o = P2 * (cos m + 1) ahead of the frame, limited to +-32767.
void applyChorus2(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    int16_t* x = track.data();
    auto* frames = reinterpret_cast<FrameWord*>(track.data());
    uint32_t out[kOscillatorBlock];
    sweepVoices(p,
                [&](size_t first, size_t count, const float* offsets, const float*)
                {
                    if (readsInside(track, first, count, p.p2))
                    {
                        chorus2Block(frames + first, offsets, int32_t(count), w, out);
                        std::copy_n(out, count, frames + first);
                        return;
                    }
                    for (size_t k = 0; k < count; ++k)
                    {
                        const size_t f = first + k;
                        const StereoValue v = readAhead(track, f, offsets[k]);
                        x[2 * f] = clampSample(float(x[2 * f]) + w.left * v.left);
                        x[2 * f + 1] = clampSample(float(x[2 * f + 1]) + w.right * v.right);
                    }
                });
}

// Three-voice chorus (code 16): voices at offsets P2 * (1 + cos m) and P2 * (1 + sin m); the
// weights spread them: left = x + wL * v1 + wR * v2, right = x + wR * v1 + wL * v2.
void applyChorus3(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    int16_t* x = track.data();
    auto* frames = reinterpret_cast<FrameWord*>(track.data());
    uint32_t out[kOscillatorBlock];
    sweepVoices(p,
                [&](size_t first, size_t count, const float* offsets1, const float* offsets2)
                {
                    if (readsInside(track, first, count, p.p2))
                    {
                        chorus3Block(frames + first, offsets1, offsets2, int32_t(count), w, out);
                        std::copy_n(out, count, frames + first);
                        return;
                    }
                    for (size_t k = 0; k < count; ++k)
                    {
                        const size_t f = first + k;
                        const StereoValue v1 = readAhead(track, f, offsets1[k]);
                        const StereoValue v2 = readAhead(track, f, offsets2[k]);
                        x[2 * f] =
                            clampSample(float(x[2 * f]) + w.left * v1.left + w.right * v2.left);
                        x[2 * f + 1] = clampSample(float(x[2 * f + 1]) + w.right * v1.right +
                                                   w.left * v2.right);
                    }
                });
}

} // namespace wavorn::fx

// Two-grain pitch shifter (code 4).
#include "GrainPitch.h"

#include "Effects.h"

namespace wavorn::fx
{

namespace
{

// Triangular grain weight: rises over the first 1024 frames of the offset, falls over the next.
inline float grainWeight(float offset)
{
    return offset < 1024.0f ? offset / 1024.0f : (2048.0f - offset) / 1024.0f;
}

} // namespace

PitchInterval pitchInterval(int32_t p1)
{
    if (p1 < 42)
        return {0.5f, -1};
    if (p1 < 84)
        return {0.25f, -1};
    if (p1 < 128)
        return {0.25f, 1};
    if (p1 < 170)
        return {0.5f, 1};
    if (p1 < 212)
        return {0.875f, 1};
    return {1.0f, 1};
}

void grainPitch(SampleSpan track, int32_t first, int32_t last, float step, int32_t direction,
                float wetLeft, float wetRight, float dryLeft, float dryRight)
{
    float a = 0.0f;
    float b = 1024.0f;
    int16_t* x = track.data();
    // Every read head stays ahead of (or at) the frame written, on frames not yet overwritten.
    for (int64_t u = int64_t(first) + kGrainFrames; u < int64_t(last) - kGrainFrames; ++u)
    {
        // Offsets are multiples of the step up to 2048, so 2048 - a is exact in float.
        const float headA = direction > 0 ? a : float(kGrainFrames) - a;
        const float headB = direction > 0 ? b : float(kGrainFrames) - b;
        const float ga = grainWeight(a);
        const float gb = grainWeight(b);
        const StereoValue va = readAhead(track, size_t(u), headA);
        const StereoValue vb = readAhead(track, size_t(u), headB);
        const float left = ga * va.left + gb * vb.left;
        const float right = ga * va.right + gb * vb.right;
        x[2 * u] = clampSample(wetLeft * left + dryLeft * float(x[2 * u]));
        x[2 * u + 1] = clampSample(wetRight * right + dryRight * float(x[2 * u + 1]));
        a += step;
        b += step;
        if (a > float(kGrainFrames))
            a = 0.0f;
        if (b > float(kGrainFrames))
            b = 0.0f;
    }
}

// Pitch (code 4): the interval from P1, wet weights from P3, no dry signal.
void applyPitch(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    const PitchInterval interval = pitchInterval(p.p1);
    grainPitch(track, p.first, p.last, interval.step, interval.direction, w.left, w.right, 0.0f,
               0.0f);
}

} // namespace wavorn::fx

// Echo: adds each frame, scaled by the feedback, to the frame 64 * P1 frames later. Working
// forward, a frame already raised by an earlier echo is echoed again, so the repeats decay
// by P2/256 each.
#include "Effects.h"

#include <algorithm>

namespace wavorn::fx
{

namespace
{

// Adds source[k] * gain (per channel) onto target[k] for count frames, limited to +-32767.
// target may equal source (no delay) but never overlaps it otherwise.
void VUMO_FX_KERNEL(addScaled)(const int16_t* source, int16_t* target, size_t count, float gainLeft,
                               float gainRight)
{
    for (size_t i = 0; i < count; ++i)
    {
        const float l = float(target[2 * i]) + float(source[2 * i]) * gainLeft;
        const float r = float(target[2 * i + 1]) + float(source[2 * i + 1]) * gainRight;
        target[2 * i] = clampSample(l);
        target[2 * i + 1] = clampSample(r);
    }
}
VUMO_FX_DISPATCH(addScaled)

} // namespace

// Echo (code 3): offset 64 * P1 frames, feedback w * P2/256. Frames f from F while
// f < L - 1 - 64 * P1 are the sources; the last frame written is at most L - 2.
void applyEcho(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    const float feedback = float(p.p2) / 256.0f;
    const float gainLeft = w.left * feedback;
    const float gainRight = w.right * feedback;
    const int64_t delay = 64 * int64_t(p.p1);
    const int64_t end = int64_t(p.last) - 1 - delay; // first frame that is no source
    if (end <= p.first)
        return;
    int16_t* base = track.data();
    if (delay == 0)
    {
        addScaled(base + 2 * size_t(p.first), base + 2 * size_t(p.first), size_t(end - p.first),
                  gainLeft, gainRight);
        return;
    }
    // Within a block of `delay` frames no target is also a source, so each block is one
    // independent pass; the next block then reads what this one wrote.
    for (int64_t f = p.first; f < end; f += delay)
    {
        const int64_t count = std::min(delay, end - f);
        addScaled(base + 2 * f, base + 2 * (f + delay), size_t(count), gainLeft, gainRight);
    }
}

} // namespace wavorn::fx

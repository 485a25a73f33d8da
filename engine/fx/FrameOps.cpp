// Effects that move or combine whole samples in integers: mirror, negate, reverse, shift and
// monotonize.
#include "Effects.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace wavorn::fx
{

// Mirror (code 15): every frame exchanges its left and right samples.
VUMO_FX_CLONES void applyMirror(SampleSpan track, const FxParams& p)
{
    FrameWord* x = reinterpret_cast<FrameWord*>(track.data()) + p.first;
    const size_t frames = size_t(p.last - p.first);
    for (size_t i = 0; i < frames; ++i)
        x[i] = x[i] << 16 | x[i] >> 16;
}

namespace
{

// A word holding one value in both halves.
inline uint32_t both(int32_t v)
{
    return uint32_t(uint16_t(v)) * 0x00010001u;
}

} // namespace

// Negate (code 18): both samples become left - right, limited to +-32767; equal channels
// cancel to silence.
VUMO_FX_CLONES void applyNegate(SampleSpan track, const FxParams& p)
{
    FrameWord* x = reinterpret_cast<FrameWord*>(track.data()) + p.first;
    const size_t frames = size_t(p.last - p.first);
    for (size_t i = 0; i < frames; ++i)
        x[i] = both(std::clamp(frameLeft(x[i]) - frameRight(x[i]), -32767, 32767));
}

// Reverse (code 19): frames F ... L - 1 in reverse order; a frame's two samples move together.
VUMO_FX_CLONES void applyReverse(SampleSpan track, const FxParams& p)
{
    // Frames move as whole words, so left stays before right. Blocks of 16 frames from both
    // ends are exchanged with their order reversed; the middle is finished frame by frame.
    constexpr size_t kBlock = 16;
    FrameWord* x = reinterpret_cast<FrameWord*>(track.data());
    size_t i = size_t(p.first);
    size_t j = size_t(p.last);
    while (j - i >= 2 * kBlock)
    {
        j -= kBlock;
        uint32_t front[kBlock];
        uint32_t back[kBlock];
        for (size_t k = 0; k < kBlock; ++k)
        {
            front[k] = x[i + k];
            back[k] = x[j + k];
        }
        for (size_t k = 0; k < kBlock; ++k)
        {
            x[i + k] = back[kBlock - 1 - k];
            x[j + k] = front[kBlock - 1 - k];
        }
        i += kBlock;
    }
    while (i + 1 < j)
    {
        --j;
        const uint32_t a = x[i];
        x[i] = x[j];
        x[j] = a;
        ++i;
    }
}

namespace
{

// Delays one channel by `frames` frames inside [first, last), working downward so that each
// copy reads a value not yet overwritten; the first `frames` frames keep their values. Within
// a block no longer than the delay no frame written is also read, so each block is one
// independent pass over whole frame words.
VUMO_FX_CLONES void delayChannel(SampleSpan track, int32_t first, int32_t last, int32_t frames,
                                 int32_t channel)
{
    if (frames <= 0 || int64_t(first) + frames >= last)
        return;
    // The delayed channel's half of a frame word.
    const uint32_t take = (channel == 0) == kLeftLow ? 0x0000FFFFu : 0xFFFF0000u;
    FrameWord* x = reinterpret_cast<FrameWord*>(track.data());
    const size_t block = size_t(std::min(frames, 1024));
    size_t top = size_t(last);
    const size_t bottom = size_t(first) + size_t(frames);
    while (top > bottom)
    {
        const size_t start = std::max(bottom, top - std::min(block, top - bottom));
        FrameWord* dst = x + start;
        const FrameWord* src = x + start - size_t(frames);
        for (size_t k = 0; k < top - start; ++k)
            dst[k] = (dst[k] & ~take) | (src[k] & take);
        top = start;
    }
}

} // namespace

// Shift (code 20; the menu's "Shift Right"): P1 below 128 delays the left channel by 128 - P1
// frames, P1 above 128 the right channel by P1 - 128 frames; 128 changes nothing.
void applyShift(SampleSpan track, const FxParams& p)
{
    const int32_t shift = 128 - p.p1;
    if (shift > 0)
        delayChannel(track, p.first, p.last, shift, 0);
    else
        delayChannel(track, p.first, p.last, -shift, 1);
}

// Monotonize (code 25): both samples become (left + right) / 2, truncated toward zero.
VUMO_FX_CLONES void applyMonotonize(SampleSpan track, const FxParams& p)
{
    FrameWord* x = reinterpret_cast<FrameWord*>(track.data()) + p.first;
    const size_t frames = size_t(p.last - p.first);
    for (size_t i = 0; i < frames; ++i)
        x[i] = both((frameLeft(x[i]) + frameRight(x[i])) / 2);
}

} // namespace wavorn::fx

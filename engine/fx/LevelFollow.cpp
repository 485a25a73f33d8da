// Noise reduction and wah (codes 14 and 17): a gate per channel moves by 0.01 / (P3 + 1) per
// frame, down while the window's level is below 128 * P2 and up otherwise, and blends each
// sample between the signal and the window's mean.
#include "Effects.h"
#include "WindowSweep.h"

#include <algorithm>
#include <cstdint>

namespace wavorn::fx
{

namespace
{

// The gate test comes before the step, so a gate can end slightly below 0 or above 1.
inline void moveGate(float& gate, int32_t level, int32_t threshold, float step)
{
    // Branches, not selects: they are well predicted and keep the gate's chain of additions
    // short.
    if (level < threshold)
    {
        if (gate > 0.0f)
            gate -= step;
    }
    else if (gate < 1.0f)
    {
        gate += step;
    }
}

constexpr size_t kBlock = 256; // frames gathered before their results are stored

// True when a gate cannot move through a block: open (1 or more) while the block stays loud,
// or shut (0 or less) while it stays quiet. Levels are lane `lane` of the sums.
bool gateHolds(float gate, const WindowLanes* sums, int32_t lane, size_t frames, int32_t threshold)
{
    int32_t lowest = INT32_MAX;
    int32_t highest = INT32_MIN;
    for (size_t k = 0; k < frames; ++k)
    {
        lowest = std::min(lowest, sums[k][lane]);
        highest = std::max(highest, sums[k][lane]);
    }
    return (gate >= 1.0f && lowest >= threshold) || (gate <= 0.0f && highest < threshold);
}

// Moves both gates through a block, writing them after each frame to gates[2k] and
// gates[2k + 1]. The common steady case (both gates holding) costs one pass over the levels;
// otherwise both channels' chains of additions run side by side.
void moveGates(float& left, float& right, const WindowLanes* sums, size_t frames, int32_t threshold,
               float step, float* gates)
{
    if (gateHolds(left, sums, 2, frames, threshold) && gateHolds(right, sums, 3, frames, threshold))
    {
        for (size_t k = 0; k < frames; ++k)
        {
            gates[2 * k] = left;
            gates[2 * k + 1] = right;
        }
        return;
    }
    for (size_t k = 0; k < frames; ++k)
    {
        moveGate(left, sums[k][2], threshold, step);
        moveGate(right, sums[k][3], threshold, step);
        gates[2 * k] = left;
        gates[2 * k + 1] = right;
    }
}

// Stores a block of blended results; the gates and sums are already known, so the divisions
// and blends run as one vectorised pass.
template <bool wah>
VUMO_FX_CLONES void storeBlend(int16_t* x, const WindowLanes* sums, const float* gates,
                               size_t frames, float count)
{
    for (size_t k = 0; k < frames; ++k)
    {
        const float meanLeft = float(sums[k][0]) / count;
        const float meanRight = float(sums[k][1]) / count;
        const float gl = gates[2 * k];
        const float gr = gates[2 * k + 1];
        const float l = float(x[2 * k]);
        const float r = float(x[2 * k + 1]);
        // The gate's overshoot can carry extreme input past 16 bits: limited to +-32767.
        if constexpr (wah)
        {
            x[2 * k] = clampSample(gl * (l - meanLeft) + (1.0f - gl) * meanLeft);
            x[2 * k + 1] = clampSample(gr * (r - meanRight) + (1.0f - gr) * meanRight);
        }
        else
        {
            x[2 * k] = clampSample(l * gl + meanLeft * (1.0f - gl));
            x[2 * k + 1] = clampSample(r * gr + meanRight * (1.0f - gr));
        }
    }
}

template <bool wah> void levelFollow(SampleSpan track, const FxParams& p)
{
    const int32_t n = windowFrames(p.p1);
    const float count = float(n);
    const int32_t threshold = 128 * p.p2;
    const float step = 0.01f / float(p.p3 + 1);
    float gateLeft = 1.0f;
    float gateRight = 1.0f;
    int16_t* x = track.data();
    WindowLanes sums[kBlock];
    float gates[2 * kBlock];
    size_t blockStart = 0;
    size_t filled = 0;
    // Each block's window sums are gathered as the window reaches its frames, then its gates
    // are moved and its results stored. The window only reads frames ahead of every frame
    // gathered, so storing a block later changes nothing.
    const auto flush = [&]
    {
        moveGates(gateLeft, gateRight, sums, filled, threshold, step, gates);
        storeBlend<wah>(x + 2 * blockStart, sums, gates, filled, count);
        filled = 0;
    };
    sweepWindow(track, p.first, p.last, n,
                [&](size_t f, const WindowSums& s)
                {
                    if (filled == 0)
                        blockStart = f;
                    sums[filled++] = s.lanes;
                    if (filled == kBlock)
                        flush();
                });
    if (filled > 0)
        flush();
}

} // namespace

// Noise reduction (code 14): out = x * g + mean * (1 - g); quiet passages slide toward the
// local mean, loud ones back to the signal.
void applyNoiseReduction(SampleSpan track, const FxParams& p)
{
    levelFollow<false>(track, p);
}

// Wah (code 17): out = g * (x - mean) + (1 - g) * mean; loud passages high-passed, quiet ones
// low-passed.
void applyWah(SampleSpan track, const FxParams& p)
{
    levelFollow<true>(track, p);
}

} // namespace wavorn::fx

// Low pass and high pass (codes 9 and 10): a moving average over N = 256 - P1 frames. After
// the update for frame f the window covers frames f - h + 1 ... f + N - h (h = N / 2), so it
// reaches ahead of the frame written; the frames leaving it come from a ring of unprocessed
// samples. The first h and the last N - h frames of the range keep their values.
#include "Effects.h"

#include "engine/api/TraceLog.h"

#include <algorithm>

namespace wavorn::fx
{

namespace
{

constexpr int32_t kMaxWindow = 256;
constexpr size_t kBlock = 256; // output frames whose sums are gathered before they are stored

// Stores a block of results from the window sums gathered for it (sums[2k], sums[2k + 1] for
// frame first + k): lowPass ? w * mean : w * (x - mean), high-pass results limited to +-32767.
// No frame of the block is read again by the window, so the block is one vectorised pass.
template <bool lowPass>
VUMO_FX_CLONES void storeBlock(int16_t* x, const int32_t* sums, size_t frames, float count,
                               ChannelWeights w)
{
    for (size_t k = 0; k < frames; ++k)
    {
        const float meanLeft = float(sums[2 * k]) / count;
        const float meanRight = float(sums[2 * k + 1]) / count;
        if constexpr (lowPass)
        {
            x[2 * k] = truncSample(w.left * meanLeft);
            x[2 * k + 1] = truncSample(w.right * meanRight);
        }
        else
        {
            x[2 * k] = clampSample(w.left * (float(x[2 * k]) - meanLeft));
            x[2 * k + 1] = clampSample(w.right * (float(x[2 * k + 1]) - meanRight));
        }
    }
}

// Runs the window over [first, last): the sums of each output frame are gathered per block,
// then the block's results are stored.
template <bool lowPass> void movingAverage(SampleSpan track, const FxParams& p)
{
    const int32_t n = 256 - p.p1;
    const int32_t h = n / 2;
    if (int64_t(p.last) - p.first <= n)
        return;
    const ChannelWeights w = weightsFromP3(p.p3);
    const float count = float(n);
    int16_t* x = track.data();
    int16_t ring[2 * kMaxWindow];
    int32_t sumLeft = 0;
    int32_t sumRight = 0;
    for (int32_t i = 0; i < n; ++i)
    {
        ring[2 * i] = x[2 * (size_t(p.first) + i)];
        ring[2 * i + 1] = x[2 * (size_t(p.first) + i) + 1];
        sumLeft += ring[2 * i];
        sumRight += ring[2 * i + 1];
    }
    // Ring slot of a frame: (frame - first) mod n; the leaving frame f - h and the entering
    // frame f + n - h share one.
    int32_t slot = 0;
    int32_t sums[2 * kBlock];
    const size_t end = size_t(p.last) - size_t(n - h); // first frame that is not written
    for (size_t start = size_t(p.first) + size_t(h); start < end; start += kBlock)
    {
        const size_t frames = std::min(kBlock, end - start);
        const int16_t* in = x + 2 * (start + size_t(n - h));
        for (size_t k = 0; k < frames; ++k)
        {
            const int16_t inLeft = in[2 * k];
            const int16_t inRight = in[2 * k + 1];
            sumLeft += inLeft - ring[2 * slot];
            sumRight += inRight - ring[2 * slot + 1];
            ring[2 * slot] = inLeft;
            ring[2 * slot + 1] = inRight;
            if (++slot == n)
                slot = 0;
            sums[2 * k] = sumLeft;
            sums[2 * k + 1] = sumRight;
        }
        storeBlock<lowPass>(x + 2 * start, sums, frames, count, w);
    }
}

} // namespace

// Low pass (code 9): w * mean of the window.
void applyLowPass(SampleSpan track, const FxParams& p)
{
    logText("LoPass\n");
    movingAverage<true>(track, p);
}

// High pass (code 10): w * (x - mean of the window), limited to +-32767 (a step of full scale
// can reach nearly twice that).
void applyHighPass(SampleSpan track, const FxParams& p)
{
    movingAverage<false>(track, p);
}

} // namespace wavorn::fx

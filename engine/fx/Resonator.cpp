// Resonator (code 13): a feedback comb of several taps over a ring of W = 128 * (255 - P1)
// samples. Each output frame is written W / 2 frames behind the frame being computed, from the
// ring, so the last W / 2 frames of the range keep their values.
#include "Effects.h"

#include <memory>
#include <new>

namespace wavorn::fx
{

namespace
{

// Tap distances as fractions of W (in frames, though W counts samples).
constexpr float kTap1 = 0.37f, kTap2 = 0.47f;                               // left
constexpr float kTap3 = 0.33f, kTap4 = 0.46f, kTap5 = 0.41f, kTap6 = 0.49f; // right

} // namespace

// out = x + w * (P2/1024) * (weighted sum of earlier ring values), limited to +-32767.
void applyResonator(SampleSpan track, const FxParams& p)
{
    const int32_t ringSamples = 128 * (255 - p.p1);
    const int32_t n = ringSamples / 2; // ring length in frames
    // A range of W frames or fewer would only get its own samples back.
    if (n == 0 || int64_t(p.last) - p.first <= 2 * int64_t(n))
        return;
    std::unique_ptr<float[]> ring(new (std::nothrow) float[size_t(ringSamples)]);
    if (!ring)
        return; // no memory for the ring: the range stays as it is

    const ChannelWeights w = weightsFromP3(p.p3);
    const float sustain = float(p.p2) / 1024.0f;
    const float gainLeft = w.left * sustain;
    const float gainRight = w.right * sustain;
    const auto tap = [ringSamples](float c) { return int32_t(c * float(ringSamples)); };
    const int32_t d1 = tap(kTap1), d2 = tap(kTap2), d3 = tap(kTap3), d4 = tap(kTap4),
                  d5 = tap(kTap5), d6 = tap(kTap6);

    int16_t* x = track.data() + 2 * size_t(p.first);
    for (int32_t i = 0; i < ringSamples; ++i)
        ring[size_t(i)] = float(x[i]);
    float* r = ring.get();
    // R(f - d) for a frame f (counted from first) and channel c: slot (f - d) mod n.
    int32_t slot = 0; // slot of frame f, that is f mod n
    const auto at = [&](int32_t d, int32_t c)
    {
        int32_t s = slot - d;
        if (s < 0)
            s += n;
        return r[2 * s + c];
    };
    const int64_t frames = int64_t(p.last) - p.first;
    for (int64_t f = n; f < frames; ++f)
    {
        const float aL = 0.69f * at(n - 1, 0) + 0.31f * r[2 * slot] + 0.76f * at(d1, 0) +
                         0.24f * at(d1 - 1, 0) + 0.11f * at(d2, 0) + 0.89f * at(d2 - 1, 0);
        const float aR = 0.66f * at(d3 - 1, 1) + 0.92f * at(d4, 1) + 0.08f * at(d4 - 1, 1) +
                         0.81f * at(d5, 1) + 0.19f * at(d5 - 1, 1) + 0.57f * at(d6, 1) +
                         0.43f * at(d6 - 1, 1);
        const float outL = limitSample(float(x[2 * f]) + gainLeft * aL);
        const float outR = limitSample(float(x[2 * f + 1]) + gainRight * aR);
        // Frame f - n leaves the ring into the track; frame f takes its slot.
        x[2 * (f - n)] = int16_t(int32_t(r[2 * slot]));
        x[2 * (f - n) + 1] = int16_t(int32_t(r[2 * slot + 1]));
        r[2 * slot] = outL;
        r[2 * slot + 1] = outR;
        if (++slot == n)
            slot = 0;
    }
}

} // namespace wavorn::fx

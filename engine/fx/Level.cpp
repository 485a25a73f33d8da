// Level curves applied sample by sample: gain with an output limit, square-root compression
// and cosine distortion.
#include "Effects.h"

#include <cmath>

namespace wavorn::fx
{

namespace
{

// x[2 i] * left and x[2 i + 1] * right for count frames, limited to +-limit.
void VUMO_FX_KERNEL(scaleFrames)(int16_t* x, size_t count, float left, float right, float limit)
{
    for (size_t i = 0; i < count; ++i)
    {
        x[2 * i] = clampSample(float(x[2 * i]) * left, limit);
        x[2 * i + 1] = clampSample(float(x[2 * i + 1]) * right, limit);
    }
}
VUMO_FX_DISPATCH(scaleFrames)

} // namespace

// Gain (code 1): x * P1/16 * weight, limited to +-128 * P2.
void applyGain(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    const float gain = float(p.p1) / 16.0f;
    const float limit = 128.0f * float(p.p2);
    // x * gain is exact in float (|x| * 255 / 16 < 2^24) and so is gain * weight, so one
    // factor per channel rounds the same as multiplying by gain, then by the weight.
    scaleFrames(track.data() + 2 * size_t(p.first), size_t(p.last - p.first), gain * w.left,
                gain * w.right, limit);
}

namespace
{

// w * P1 * sqrt(|x|) with the sign of x, limited to +-limit.
inline int16_t compress(int16_t x, float factor, float limit)
{
    const float v = float(x);
    const float magnitude = factor * std::sqrt(v > 0.0f ? v : -v);
    return clampSample(v > 0.0f ? magnitude : -magnitude, limit);
}

} // namespace

// Compression (code 8): w * P1 * sqrt(x) for x > 0, -w * P1 * sqrt(-x) otherwise, limited to
// +-128 * P2. P1 is a plain factor: 128 takes full scale to a little over two thirds of it.
VUMO_FX_CLONES void applyCompression(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    const float limit = 128.0f * float(p.p2);
    const float left = w.left * float(p.p1);
    const float right = w.right * float(p.p1);
    int16_t* x = track.data() + 2 * size_t(p.first);
    const size_t frames = size_t(p.last - p.first);
    for (size_t i = 0; i < frames; ++i)
    {
        x[2 * i] = compress(x[2 * i], left, limit);
        x[2 * i + 1] = compress(x[2 * i + 1], right, limit);
    }
}

// Distortion (code 12): w * x * cos(k * x) with k = pi / (256 * P1 + 1), limited to +-32767.
void applyDistortion(SampleSpan track, const FxParams& p)
{
    const ChannelWeights w = weightsFromP3(p.p3);
    const float k = float(kPi / (256.0 * p.p1 + 1.0));
    int16_t* x = track.data() + 2 * size_t(p.first);
    const size_t frames = size_t(p.last - p.first);
    for (size_t i = 0; i < frames; ++i)
    {
        const float l = float(x[2 * i]);
        const float r = float(x[2 * i + 1]);
        x[2 * i] = clampSample(w.left * l * std::cos(k * l));
        x[2 * i + 1] = clampSample(w.right * r * std::cos(k * r));
    }
}

} // namespace wavorn::fx

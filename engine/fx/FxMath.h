// Arithmetic shared by the time-domain effects: the range and parameters every effect gets,
// the samples of a frame word, the channel weights from P3, storing a computed sample, the
// sine and cosine of the oscillator phase and the interpolated read of a fractional frame.
#pragma once

#include "FxClones.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace wavorn::fx
{

// A whole frame (left sample in the low half on little-endian machines) moved as one word.
using FrameWord = uint32_t __attribute__((may_alias));

// The left and right samples of a frame word, and the word of two samples.
constexpr bool kLeftLow = std::endian::native == std::endian::little;
inline int32_t frameLeft(uint32_t w)
{
    return int16_t(kLeftLow ? w & 0xFFFFu : w >> 16);
}
inline int32_t frameRight(uint32_t w)
{
    return int16_t(kLeftLow ? w >> 16 : w & 0xFFFFu);
}
inline uint32_t frameWord(int16_t left, int16_t right)
{
    const uint32_t l = uint16_t(left);
    const uint32_t r = uint16_t(right);
    return kLeftLow ? l | r << 16 : r | l << 16;
}

// The whole of trackBuf as interleaved stereo samples, left first.
using SampleSpan = std::span<int16_t>;

// The frame range [first, last) of one effect call and its three parameters (0 ... 255 each).
// The processor guarantees 0 <= first <= last <= frames of the track.
struct FxParams
{
    int32_t first = 0;
    int32_t last = 0;
    int32_t p1 = 0;
    int32_t p2 = 0;
    int32_t p3 = 0;
};

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kHalfPi = kPi / 2.0;
// One step of P1 in the oscillator rates: 2^-18 radians per frame.
constexpr float kRadiansPerStep = 3.814697265625e-06f;
constexpr float kSampleLimit = 32767.0f;

// How much of an effect each channel gets: P3 0 is the left channel only, 255 the right
// channel only, and no value gives both channels the whole effect.
struct ChannelWeights
{
    float left;
    float right;
};

constexpr ChannelWeights weightsFromP3(int32_t p3)
{
    p3 &= 0xFF;
    if (p3 >= 128)
        return {float(255 - p3) / 128.0f, 1.0f};
    return {1.0f, float(p3) / 128.0f};
}

// Limits x to -limit ... limit without truncating (for values kept in float).
inline float limitSample(float x, float limit = kSampleLimit)
{
    x = x < -limit ? -limit : x;
    return x > limit ? limit : x;
}

// Limits x to -limit ... limit (never -32768 with the default) and truncates toward zero.
// Written as two selects so that loops over it vectorise.
inline int16_t clampSample(float x, float limit = kSampleLimit)
{
    x = x < -limit ? -limit : x;
    x = x > limit ? limit : x;
    return int16_t(int32_t(x));
}

// Truncates toward zero an effect result that cannot leave the 16-bit range by construction;
// saturates instead of wrapping should rounding ever push it past the edge.
inline int16_t truncSample(float x)
{
    x = x < -32768.0f ? -32768.0f : x;
    x = x > 32767.0f ? 32767.0f : x;
    return int16_t(int32_t(x));
}

// Sine and cosine of an oscillator phase (0 <= x <= 8) in float, within two units in the
// last place of the library's functions, written without calls or branches so that blocks of
// phases vectorise. cos 0 is exactly 1 and sin 0 exactly 0.
inline void sinCosPhase(float x, float& sine, float& cosine)
{
    const int32_t quadrant = int32_t(x * 0.636619772f + 0.5f);
    const float q = float(quadrant);
    // x - q * pi/2 in three parts, each product exact for the small quadrants used here.
    const float r = ((x - q * 1.5703125f) - q * 4.837512969970703125e-4f) - q * 7.54978995e-8f;
    const float z = r * r;
    const float sr =
        ((-1.9515295891e-4f * z + 8.3321608736e-3f) * z - 1.6666654611e-1f) * z * r + r;
    const float cr =
        ((2.443315711809948e-5f * z - 1.388731625493765e-3f) * z + 4.166664568298827e-2f) * z * z -
        0.5f * z + 1.0f;
    const bool odd = (quadrant & 1) != 0;
    const float s0 = odd ? cr : sr;
    const float c0 = odd ? sr : cr;
    sine = (quadrant & 2) != 0 ? -s0 : s0;
    cosine = ((quadrant + 1) & 2) != 0 ? -c0 : c0;
}

inline float cosPhase(float x)
{
    float s;
    float c;
    sinCosPhase(x, s, c);
    return c;
}

constexpr size_t kOscillatorBlock = 256; // frames whose phases are found before they are used

// Linear read of one channel at the fractional frame firstFrame + position (position >= 0),
// between the frame at the truncated position and the next one. Frames past the end of the
// track read as silence.
inline float interpolateFrame(SampleSpan track, int32_t firstFrame, double position,
                              int32_t channel)
{
    const int64_t whole = int64_t(position);
    const float fraction = float(position - double(whole));
    const size_t index = size_t(2 * (int64_t(firstFrame) + whole) + channel);
    const float a = index < track.size() ? float(track[index]) : 0.0f;
    const float b = index + 2 < track.size() ? float(track[index + 2]) : 0.0f;
    return a * (1.0f - fraction) + b * fraction;
}

// Both channels at frame + offset (offset >= 0), read as interpolateFrame reads them: the
// whole part of the offset moves the frame, its fraction weighs the next frame. Frames past
// the end of the track read as silence.
struct StereoValue
{
    float left;
    float right;
};

inline StereoValue readAhead(SampleSpan track, size_t frame, float offset)
{
    const int32_t whole = int32_t(offset);
    const float fraction = offset - float(whole); // exact: the whole part is removed
    const float keep = 1.0f - fraction;
    const size_t index = 2 * (frame + size_t(whole));
    if (index + 3 < track.size())
    {
        const int16_t* x = track.data() + index;
        return {float(x[0]) * keep + float(x[2]) * fraction,
                float(x[1]) * keep + float(x[3]) * fraction};
    }
    const auto at = [&](size_t i) { return i < track.size() ? float(track[i]) : 0.0f; };
    return {at(index) * keep + at(index + 2) * fraction,
            at(index + 1) * keep + at(index + 3) * fraction};
}

} // namespace wavorn::fx

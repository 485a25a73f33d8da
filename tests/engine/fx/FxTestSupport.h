// Hand-made tracks for the effect tests: stereo samples with frame access, table rows of worked
// numbers over constant tracks, sums of sines and their measurement.
#pragma once

#include "engine/fx/FxMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

namespace fxtest
{

using wavorn::fx::FxParams;
using Effect = void (*)(wavorn::fx::SampleSpan, const FxParams&);

struct TestTrack
{
    std::vector<int16_t> samples;

    explicit TestTrack(int32_t frames) : samples(2 * size_t(frames), 0) {}
    wavorn::fx::SampleSpan span() { return {samples.data(), samples.size()}; }
    int16_t& left(int32_t frame) { return samples[2 * size_t(frame)]; }
    int16_t at(int32_t f, int32_t channel) const { return samples[2 * size_t(f) + channel]; }
    // Sets every sample from a function of (frame, channel).
    template <typename F> TestTrack& generate(F f)
    {
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = int16_t(f(int32_t(i / 2), int32_t(i % 2)));
        return *this;
    }
};

// A track of random samples within -amplitude ... amplitude, repeatable from seed.
inline TestTrack randomTrack(int32_t frames, uint32_t seed, int32_t amplitude = 32767)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> dist(-amplitude, amplitude);
    return TestTrack(frames).generate([&](int32_t, int32_t) { return dist(rng); });
}

// Sines of (hz, amplitude, phase) summed per channel at 44100 frames per second, truncated
// toward zero like the engine's own stores.
using Tones = std::initializer_list<std::pair<double, double>>;
inline std::vector<int16_t> tones(int32_t frames, Tones left, Tones right, double phase = 0.0)
{
    return TestTrack(frames)
        .generate(
            [&](int32_t f, int32_t c)
            {
                double v = 0.0;
                for (const auto& [hz, amplitude] : c ? right : left)
                    v +=
                        amplitude * std::sin(2.0 * std::numbers::pi * hz * f / 44100.0 + c * phase);
                return v;
            })
        .samples;
}

// Frequency of one channel over frames [from, to) from the spacing of its rising zero
// crossings, interpolated between samples; 0 with fewer than two crossings.
inline double zeroCrossingHz(const std::vector<int16_t>& s, int32_t channel, int32_t from,
                             int32_t to)
{
    double first = -1.0, last = -1.0;
    int32_t crossings = 0;
    for (int32_t f = from + 1; f < to; ++f)
    {
        const double a = s[2 * size_t(f - 1) + channel], b = s[2 * size_t(f) + channel];
        if (a < 0.0 && b >= 0.0)
        {
            last = f - 1 - a / (b - a);
            first = crossings++ ? first : last;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * 44100.0 / (last - first);
}

// Largest |actual - trunc(scale * input)| of one channel over frames [from, to).
inline int32_t largestDifference(const std::vector<int16_t>& actual,
                                 const std::vector<int16_t>& input, int32_t channel, int32_t from,
                                 int32_t to, double scale)
{
    int32_t largest = 0;
    for (size_t s = 2 * size_t(from) + channel; s < 2 * size_t(to); s += 2)
        largest = std::max(largest, std::abs(actual[s] - int32_t(scale * input[s])));
    return largest;
}

// Frames [from, to) of a and b are equal; names the first sample that is not.
inline ::testing::AssertionResult sameFrames(const TestTrack& a, const TestTrack& b, int32_t from,
                                             int32_t to)
{
    for (size_t s = 2 * size_t(from); s < 2 * size_t(to); ++s)
        if (a.samples[s] != b.samples[s])
            return ::testing::AssertionFailure()
                   << "sample " << s << ": " << a.samples[s] << " vs " << b.samples[s];
    return ::testing::AssertionSuccess();
}

// An effect over the whole of a track of `frames` frames all (inL, inR): frames
// [head, frames - tail) become (outL, outR) within `tolerance`; head and tail keep the input.
struct ConstantCase
{
    const char* what;
    Effect fx;
    int32_t frames, p1, p2, p3;
    int16_t inL, inR;
    int32_t outL, outR;
    int32_t head = 0, tail = 0, tolerance = 0;
};

inline void expectConstantCase(const ConstantCase& c)
{
    SCOPED_TRACE(c.what);
    TestTrack t(c.frames);
    const TestTrack before = t.generate([&](int32_t, int32_t ch) { return ch ? c.inR : c.inL; });
    c.fx(t.span(), {0, c.frames, c.p1, c.p2, c.p3});
    EXPECT_TRUE(sameFrames(t, before, 0, c.head));
    EXPECT_TRUE(sameFrames(t, before, c.frames - c.tail, c.frames));
    for (int32_t f = c.head; f < c.frames - c.tail; ++f)
        ASSERT_TRUE(std::abs(t.at(f, 0) - c.outL) <= c.tolerance &&
                    std::abs(t.at(f, 1) - c.outR) <= c.tolerance)
            << "frame " << f << ": " << t.at(f, 0) << " " << t.at(f, 1);
}

} // namespace fxtest

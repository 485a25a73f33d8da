// Small hand-made tracks for the effect tests: interleaved stereo samples with frame access,
// and table rows of worked numbers over constant tracks.
#pragma once

#include "engine/fx/FxMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
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
    int16_t& right(int32_t frame) { return samples[2 * size_t(frame) + 1]; }
    int16_t at(int32_t frame, int32_t channel) const
    {
        return samples[2 * size_t(frame) + channel];
    }
    // Sets every frame from a function of (frame, channel).
    template <typename F> void generate(F f)
    {
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = int16_t(f(int32_t(i / 2), int32_t(i % 2)));
    }
};

inline FxParams params(int32_t first, int32_t last, int32_t p1, int32_t p2, int32_t p3)
{
    return FxParams{first, last, p1, p2, p3};
}

// A track of random samples within -amplitude ... amplitude, repeatable from seed.
inline TestTrack randomTrack(int32_t frames, uint32_t seed, int32_t amplitude = 32767)
{
    TestTrack t(frames);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> dist(-amplitude, amplitude);
    t.generate([&](int32_t, int32_t) { return dist(rng); });
    return t;
}

// A sine of `hz` at 44100 frames per second and the given amplitude in both channels.
inline TestTrack sineTrack(int32_t frames, double hz, double amplitude)
{
    TestTrack t(frames);
    t.generate([&](int32_t f, int32_t)
               { return amplitude * std::sin(2.0 * std::numbers::pi * hz * f / 44100.0); });
    return t;
}

// Frames [from, to) of a and b are equal; names the first frame that is not.
inline ::testing::AssertionResult sameFrames(const TestTrack& a, const TestTrack& b, int32_t from,
                                             int32_t to)
{
    for (int32_t s = 2 * from; s < 2 * to; ++s)
        if (a.samples[size_t(s)] != b.samples[size_t(s)])
            return ::testing::AssertionFailure()
                   << "frame " << s / 2 << " channel " << s % 2 << ": " << a.samples[size_t(s)]
                   << " vs " << b.samples[size_t(s)];
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
    t.generate([&](int32_t, int32_t ch) { return ch ? c.inR : c.inL; });
    const TestTrack before = t;
    c.fx(t.span(), params(0, c.frames, c.p1, c.p2, c.p3));
    EXPECT_TRUE(sameFrames(t, before, 0, c.head));
    EXPECT_TRUE(sameFrames(t, before, c.frames - c.tail, c.frames));
    for (int32_t f = c.head; f < c.frames - c.tail; ++f)
    {
        ASSERT_NEAR(t.at(f, 0), c.outL, c.tolerance) << "frame " << f;
        ASSERT_NEAR(t.at(f, 1), c.outR, c.tolerance) << "frame " << f;
    }
}

} // namespace fxtest

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
using wavorn::fx::SampleSpan;
using Effect = void (*)(SampleSpan, const FxParams&);

struct TestTrack
{
    std::vector<int16_t> samples;

    explicit TestTrack(int32_t frames) : samples(2 * size_t(frames), 0) {}
    int32_t frames() const { return int32_t(samples.size() / 2); }
    SampleSpan span() { return {samples.data(), samples.size()}; }
    int16_t& left(int32_t frame) { return samples[2 * size_t(frame)]; }
    int16_t& right(int32_t frame) { return samples[2 * size_t(frame) + 1]; }
    int16_t left(int32_t frame) const { return samples[2 * size_t(frame)]; }
    int16_t right(int32_t frame) const { return samples[2 * size_t(frame) + 1]; }
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
    void fill(int16_t l, int16_t r)
    {
        generate([=](int32_t, int32_t c) { return c ? r : l; });
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

// Sign changes of one channel over frames [first, last); zeros belong to no sign.
inline int32_t zeroCrossings(const TestTrack& t, int32_t first, int32_t last, int32_t channel)
{
    int32_t count = 0, previous = 0;
    for (int32_t f = first; f < last; ++f)
    {
        const int32_t sign = t.at(f, channel) > 0 ? 1 : t.at(f, channel) < 0 ? -1 : previous;
        count += previous != 0 && sign != previous;
        previous = sign;
    }
    return count;
}

// Frames [from, to) of a and b are equal; names the first frame that is not.
inline ::testing::AssertionResult sameFrames(const TestTrack& a, const TestTrack& b, int32_t from,
                                             int32_t to)
{
    for (int32_t f = from; f < to; ++f)
        if (a.left(f) != b.left(f) || a.right(f) != b.right(f))
            return ::testing::AssertionFailure()
                   << "frame " << f << ": (" << a.left(f) << ", " << a.right(f) << ") vs ("
                   << b.left(f) << ", " << b.right(f) << ")";
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
    t.fill(c.inL, c.inR);
    const TestTrack before = t;
    c.fx(t.span(), params(0, c.frames, c.p1, c.p2, c.p3));
    EXPECT_TRUE(sameFrames(t, before, 0, c.head));
    EXPECT_TRUE(sameFrames(t, before, c.frames - c.tail, c.frames));
    for (int32_t f = c.head; f < c.frames - c.tail; ++f)
    {
        ASSERT_NEAR(t.left(f), c.outL, c.tolerance) << "frame " << f;
        ASSERT_NEAR(t.right(f), c.outR, c.tolerance) << "frame " << f;
    }
}

} // namespace fxtest

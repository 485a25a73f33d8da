// Ring, vibe and bounce pan.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

// The phase of frame i as the oscillator rule gives it: float steps, back to 0 past 2 pi.
std::vector<float> phases(int32_t frames, int32_t p1)
{
    std::vector<float> m(static_cast<size_t>(frames));
    float phase = 0.0f;
    const float step = float(p1) / 262144.0f;
    for (int32_t i = 0; i < frames; ++i)
    {
        m[size_t(i)] = phase;
        phase += step;
        if (phase > 6.283185307179586)
            phase = 0.0f;
    }
    return m;
}

} // namespace

TEST(Ring, AtP1ZeroMultipliesBy1PlusTheWeight)
{
    TestTrack t(16);
    t.fill(1000, 1000);
    applyRing(t.span(), params(0, 16, 0, 0, 127));
    for (int32_t f = 0; f < 16; ++f)
    {
        EXPECT_EQ(t.left(f), 2000);
        EXPECT_EQ(t.right(f), 1992); // 1000 * (1 + 127/128)
    }
}

TEST(Ring, AtP1ZeroLimitsLoudSamples)
{
    TestTrack t(2);
    t.fill(20000, -20000);
    applyRing(t.span(), params(0, 2, 0, 0, 255));
    EXPECT_EQ(t.left(0), 20000); // weight 0
    EXPECT_EQ(t.right(0), -32767);
}

TEST(Ring, FollowsTheCosineOfThePhase)
{
    const int32_t frames = 20000; // past one period at P1 255 (about 6460 frames)
    TestTrack t(frames);
    t.fill(10000, -10000);
    applyRing(t.span(), params(0, frames, 255, 0, 127));
    const auto m = phases(frames, 255);
    int32_t restarts = 0;
    for (int32_t f = 0; f < frames; ++f)
    {
        const double c = std::cos(double(m[size_t(f)]));
        ASSERT_NEAR(t.left(f), 10000.0 * (c + 1.0), 1.0) << f;
        ASSERT_NEAR(t.right(f), -10000.0 * (127.0 / 128.0 * c + 1.0), 1.0) << f;
        if (f > 0 && m[size_t(f)] == 0.0f)
        {
            ++restarts;
            EXPECT_EQ(t.left(f), 20000); // phase exactly 0 again
        }
    }
    EXPECT_EQ(restarts, 3);
}

TEST(Vibe, AtDepthZeroMultipliesBy1PlusTheWeight)
{
    TestTrack t(100);
    t.fill(1000, 1000);
    applyVibe(t.span(), params(0, 100, 200, 0, 128));
    EXPECT_EQ(t.left(50), 1992);
    EXPECT_EQ(t.right(50), 2000);
}

TEST(Vibe, SwingsBetween1MinusDepthAnd1)
{
    const int32_t frames = 7000;
    TestTrack t(frames);
    t.fill(10000, 10000);
    applyVibe(t.span(), params(0, frames, 255, 255, 0)); // a = 1, right weight 0
    const auto m = phases(frames, 255);
    for (int32_t f = 0; f < frames; f += 37)
    {
        const double v = (std::cos(double(m[size_t(f)])) + 1.0) * 0.5;
        ASSERT_NEAR(t.left(f), 10000.0 * (v + 1.0), 1.0) << f;
        ASSERT_EQ(t.right(f), 10000);
    }
}

TEST(BouncePan, RightRunsAQuarterPeriodAheadOfLeft)
{
    TestTrack t(1);
    t.fill(10000, 10000);
    applyBouncePan(t.span(), params(0, 1, 100, 255, 128)); // a = 1; left 127/128
    EXPECT_EQ(t.left(0), 9921);                            // 10000 * 127/128 * (1 + 1) / 2
    EXPECT_NEAR(t.right(0), 5000, 1);                      // cos(pi/2) = 0: (0 + 1) / 2
}

TEST(BouncePan, NeverRaisesALevel)
{
    const int32_t frames = 8000;
    TestTrack t = randomTrack(frames, 3);
    const TestTrack before = t;
    applyBouncePan(t.span(), params(0, frames, 255, 128, 127));
    for (int32_t f = 0; f < frames; ++f)
    {
        ASSERT_LE(std::abs(t.left(f)), std::abs(before.left(f)));
        ASSERT_LE(std::abs(t.right(f)), std::abs(before.right(f)));
    }
}

// Low pass and high pass: the moving window over N = 256 - P1 frames.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

// Mean of frames f - h + 1 ... f + N - h of the unprocessed track, per channel.
double windowMean(const TestTrack& t, int32_t f, int32_t n, int32_t channel)
{
    const int32_t h = n / 2;
    double sum = 0.0;
    for (int32_t g = f - h + 1; g <= f + n - h; ++g)
        sum += channel == 0 ? t.left(g) : t.right(g);
    return sum / n;
}

} // namespace

TEST(LowPass, OfAConstantIsTheConstantTimesTheWeight)
{
    TestTrack t(1000);
    t.fill(1000, -1000);
    applyLowPass(t.span(), params(0, 1000, 128, 0, 127)); // N 128, h 64
    for (int32_t f = 64; f < 1000 - 64; ++f)
    {
        ASSERT_EQ(t.left(f), 1000);
        ASSERT_EQ(t.right(f), -992); // -1000 * 127/128
    }
}

TEST(LowPass, KeepsTheFirstHAndLastNMinusHFrames)
{
    TestTrack t = randomTrack(1000, 21);
    const TestTrack before = t;
    applyLowPass(t.span(), params(100, 900, 253, 0, 127)); // N 3, h 1
    for (int32_t f = 0; f <= 100; ++f)
        ASSERT_EQ(t.left(f), before.left(f));
    EXPECT_NE(t.left(101), before.left(101));
    EXPECT_NE(t.left(897), before.left(897));
    for (int32_t f = 898; f < 1000; ++f)
        ASSERT_EQ(t.left(f), before.left(f));
}

TEST(LowPass, AtNOneOutputsTheWeightedNextFrame)
{
    TestTrack t = randomTrack(50, 22);
    const TestTrack before = t;
    applyLowPass(t.span(), params(0, 50, 255, 0, 0)); // N 1, h 0; right weight 0
    for (int32_t f = 0; f < 49; ++f)
    {
        ASSERT_EQ(t.left(f), before.left(f + 1));
        ASSERT_EQ(t.right(f), 0);
    }
    EXPECT_EQ(t.left(49), before.left(49));
}

TEST(LowPass, IsTheMeanOfTheWindowThatReachesAhead)
{
    TestTrack t = randomTrack(3000, 23);
    const TestTrack before = t;
    for (int32_t p1 : {0, 100, 200, 254})
    {
        t = before;
        const int32_t n = 256 - p1;
        applyLowPass(t.span(), params(200, 2800, p1, 0, 127));
        for (int32_t f = 200 + n / 2; f < 2800 - (n - n / 2); f += 3)
        {
            ASSERT_NEAR(t.left(f), std::trunc(windowMean(before, f, n, 0)), 1.0) << p1 << " " << f;
            ASSERT_NEAR(t.right(f), std::trunc(127.0 / 128.0 * windowMean(before, f, n, 1)), 1.0);
        }
    }
}

TEST(LowPass, ARangeNoLongerThanTheWindowIsUnchanged)
{
    TestTrack t = randomTrack(500, 24);
    const TestTrack before = t;
    applyLowPass(t.span(), params(100, 356, 0, 0, 127));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(HighPass, OfAConstantIsSilence)
{
    TestTrack t(1000);
    t.fill(1000, -1000);
    applyHighPass(t.span(), params(0, 1000, 128, 0, 127));
    for (int32_t f = 64; f < 1000 - 64; ++f)
    {
        ASSERT_EQ(t.left(f), 0);
        ASSERT_EQ(t.right(f), 0);
    }
    EXPECT_EQ(t.left(63), 1000);
    EXPECT_EQ(t.left(1000 - 64), 1000);
}

TEST(HighPass, IsTheSignalMinusTheWindowMean)
{
    TestTrack t = randomTrack(2000, 25, 10000);
    const TestTrack before = t;
    applyHighPass(t.span(), params(0, 2000, 200, 0, 128)); // N 56
    for (int32_t f = 28; f < 2000 - 28; f += 5)
    {
        const double l = 127.0 / 128.0 * (before.left(f) - windowMean(before, f, 56, 0));
        ASSERT_NEAR(t.left(f), std::trunc(l), 1.0) << f;
    }
}

TEST(HighPass, ResultsBeyond16BitsAreLimitedTo32767)
{
    // A lone full-scale spike in a full-scale floor of the other sign: x - mean is close to
    // +-65535.
    TestTrack t(1200);
    t.generate([](int32_t f, int32_t) { return int16_t(f == 600 ? 32767 : -32768); });
    applyHighPass(t.span(), params(0, 1200, 0, 0, 127)); // N 256
    EXPECT_EQ(t.left(600), 32767);
    TestTrack u(1200);
    u.generate([](int32_t f, int32_t) { return int16_t(f == 600 ? -32768 : 32767); });
    applyHighPass(u.span(), params(0, 1200, 0, 0, 127));
    EXPECT_EQ(u.left(600), -32767);
}

// Low pass and high pass: the moving window over N = 256 - P1 frames.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

// Mean of frames f - h + 1 ... f + N - h of the unprocessed track, h = N / 2.
double windowMean(const TestTrack& t, int32_t f, int32_t n, int32_t channel)
{
    double sum = 0.0;
    for (int32_t g = f - n / 2 + 1; g <= f + n - n / 2; ++g)
        sum += t.at(g, channel);
    return sum / n;
}

} // namespace

TEST(MovingAverage, OfAConstantGiveTheWorkedNumbersAndKeepHeadAndTail)
{
    const ConstantCase cases[] = {
        // what, effect, frames, P1, P2, P3, input (L, R), output (L, R), head, tail
        {"low pass: constant times weight", applyLowPass, 1000, 128, 0, 127, 1000, -1000, 1000,
         -992, 64, 64},
        {"high pass: silence", applyHighPass, 1000, 128, 0, 127, 1000, -1000, 0, 0, 64, 64},
    };
    for (const ConstantCase& c : cases)
        expectConstantCase(c);
}

TEST(LowPass, AtNOneOutputsTheWeightedNextFrame)
{
    const TestTrack before = randomTrack(50, 22);
    TestTrack t = before;
    applyLowPass(t.span(), params(0, 50, 255, 0, 0)); // N 1, h 0; right weight 0
    for (int32_t f = 0; f < 49; ++f)
    {
        ASSERT_EQ(t.left(f), before.left(f + 1));
        ASSERT_EQ(t.right(f), 0);
    }
    EXPECT_EQ(t.left(49), before.left(49));
}

TEST(MovingAverage, LowPassIsTheWindowMeanAndHighPassTheSignalMinusIt)
{
    const TestTrack before = randomTrack(3000, 23, 10000);
    for (int32_t p1 : {0, 100, 200, 253, 254})
    {
        const int32_t n = 256 - p1, h = n / 2, first = 200, last = 2800;
        TestTrack low = before, high = before;
        applyLowPass(low.span(), params(first, last, p1, 0, 127));
        applyHighPass(high.span(), params(first, last, p1, 0, 128));
        for (const TestTrack* t : {&low, &high})
        {
            EXPECT_TRUE(sameFrames(*t, before, 0, first + h)) << p1;
            EXPECT_TRUE(sameFrames(*t, before, last - (n - h), 3000)) << p1;
        }
        for (int32_t f = first + h; f < last - (n - h); ++f)
        {
            const double l = windowMean(before, f, n, 0), r = windowMean(before, f, n, 1);
            ASSERT_NEAR(low.left(f), std::trunc(l), 1.0) << p1 << " " << f;
            ASSERT_NEAR(low.right(f), std::trunc(127.0 / 128.0 * r), 1.0) << p1 << " " << f;
            ASSERT_NEAR(high.left(f), std::trunc(127.0 / 128.0 * (before.left(f) - l)), 1.0) << f;
            ASSERT_NEAR(high.right(f), std::trunc(before.right(f) - r), 1.0) << p1 << " " << f;
        }
    }
}

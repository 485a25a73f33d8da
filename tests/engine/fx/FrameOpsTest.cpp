// Mirror, negate, reverse, shift and monotonize.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

using namespace wavorn::fx;
using namespace fxtest;

TEST(FrameOps, GiveTheWorkedNumbers)
{
    const ConstantCase cases[] = {
        // what, effect, frames, P1, P2, P3, input (L, R), output (L, R)
        {"mirror exchanges", applyMirror, 3, 0, 0, 0, 5, -7, -7, 5},
        {"negate: the difference", applyNegate, 3, 0, 0, 0, 100, 30, 70, 70},
        {"negate limits", applyNegate, 3, 0, 0, 0, 32767, -32768, 32767, 32767},
        {"negate limits below", applyNegate, 3, 0, 0, 0, -32768, 32767, -32767, -32767},
        {"monotonize of (-3, 0)", applyMonotonize, 1, 0, 0, 0, -3, 0, -1, -1},
        {"monotonize of full scale", applyMonotonize, 2, 0, 0, 0, 32767, 32767, 32767, 32767},
        // -65535 / 2 truncated toward zero
        {"monotonize of -32768", applyMonotonize, 2, 0, 0, 0, -32768, -32767, -32767, -32767},
    };
    for (const ConstantCase& c : cases)
        expectConstantCase(c);
}

TEST(Negate, OfAMonoSignalIsSilence)
{
    TestTrack t = randomTrack(100, 1);
    t.generate([&](int32_t f, int32_t) { return t.left(f); });
    applyNegate(t.span(), params(0, 100, 0, 0, 0));
    EXPECT_EQ(t.samples, TestTrack(100).samples);
}

TEST(Reverse, MovesWholeFramesAndTwiceRestoresTheRangeExactly)
{
    TestTrack t(5);
    t.generate([](int32_t f, int32_t c) { return int16_t(10 * f + c); });
    applyReverse(t.span(), params(1, 4, 0, 0, 0));
    EXPECT_EQ(t.samples, (std::vector<int16_t>{0, 1, 30, 31, 20, 21, 10, 11, 40, 41}));
    const TestTrack before = randomTrack(1001, 2);
    t = before;
    applyReverse(t.span(), params(3, 998, 0, 0, 0));
    EXPECT_NE(t.samples, before.samples);
    applyReverse(t.span(), params(3, 998, 0, 0, 0));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(Shift, DelaysTheLeftChannelBy128OrTheRightBy127KeepingTheFirstFrames)
{
    struct Row
    {
        int32_t p1, first, last, channel, delay;
    };
    for (const Row r : {Row{0, 100, 900, 0, 128}, Row{255, 0, 1000, 1, 127}})
    {
        TestTrack t(1000);
        t.generate([](int32_t f, int32_t c) { return int16_t(c == 0 ? f : -f); });
        const TestTrack before = t;
        applyShift(t.span(), params(r.first, r.last, r.p1, 0, 0));
        for (int32_t f = 0; f < 1000; ++f)
        {
            const bool shifted = f >= r.first + r.delay && f < r.last;
            ASSERT_EQ(t.at(f, r.channel), before.at(shifted ? f - r.delay : f, r.channel)) << f;
            ASSERT_EQ(t.at(f, 1 - r.channel), before.at(f, 1 - r.channel)) << f;
        }
    }
}

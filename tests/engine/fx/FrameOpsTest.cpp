// Mirror, negate, reverse, shift and monotonize.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

using namespace wavorn::fx;
using namespace fxtest;

TEST(Mirror, ExchangesLeftAndRight)
{
    TestTrack t(3);
    t.left(1) = 5;
    t.right(1) = -7;
    applyMirror(t.span(), params(1, 2, 0, 0, 0));
    EXPECT_EQ(t.left(1), -7);
    EXPECT_EQ(t.right(1), 5);
}

TEST(Negate, OfAMonoSignalIsSilence)
{
    TestTrack t = randomTrack(100, 1);
    for (int32_t f = 0; f < 100; ++f)
        t.right(f) = t.left(f);
    applyNegate(t.span(), params(0, 100, 0, 0, 0));
    for (int16_t s : t.samples)
        ASSERT_EQ(s, 0);
}

TEST(Negate, PutsTheLimitedDifferenceInBothChannels)
{
    TestTrack t(3);
    t.left(0) = 100;
    t.right(0) = 30;
    t.left(1) = 32767;
    t.right(1) = -32768;
    t.left(2) = -32768;
    t.right(2) = 32767;
    applyNegate(t.span(), params(0, 3, 0, 0, 0));
    EXPECT_EQ(t.left(0), 70);
    EXPECT_EQ(t.right(0), 70);
    EXPECT_EQ(t.left(1), 32767);
    EXPECT_EQ(t.left(2), -32767);
    EXPECT_EQ(t.right(2), -32767);
}

TEST(Reverse, TwiceRestoresTheRangeExactly)
{
    TestTrack t = randomTrack(1001, 2);
    const TestTrack before = t;
    applyReverse(t.span(), params(3, 998, 0, 0, 0));
    EXPECT_NE(t.samples, before.samples);
    applyReverse(t.span(), params(3, 998, 0, 0, 0));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(Reverse, MovesBothSamplesOfAFrameTogether)
{
    TestTrack t(5);
    t.generate([](int32_t f, int32_t c) { return int16_t(10 * f + c); });
    applyReverse(t.span(), params(1, 4, 0, 0, 0));
    EXPECT_EQ(t.left(0), 0);
    EXPECT_EQ(t.left(1), 30);
    EXPECT_EQ(t.right(1), 31);
    EXPECT_EQ(t.left(2), 20);
    EXPECT_EQ(t.left(3), 10);
    EXPECT_EQ(t.right(3), 11);
    EXPECT_EQ(t.left(4), 40);
}

TEST(Shift, AtP1ZeroDelaysTheLeftChannelBy128Frames)
{
    TestTrack t(1000);
    t.generate([](int32_t f, int32_t c) { return int16_t(c == 0 ? f : -f); });
    applyShift(t.span(), params(100, 900, 0, 0, 0));
    for (int32_t f = 100; f < 228; ++f)
        ASSERT_EQ(t.left(f), f); // the first 128 frames keep their values
    for (int32_t f = 228; f < 900; ++f)
        ASSERT_EQ(t.left(f), f - 128);
    for (int32_t f = 0; f < 1000; ++f)
        ASSERT_EQ(t.right(f), -f);
    EXPECT_EQ(t.left(900), 900);
}

TEST(Shift, AtP1_255DelaysTheRightChannelBy127Frames)
{
    TestTrack t(1000);
    t.generate([](int32_t f, int32_t c) { return int16_t(c == 0 ? f : -f); });
    applyShift(t.span(), params(0, 1000, 255, 0, 0));
    for (int32_t f = 0; f < 127; ++f)
        ASSERT_EQ(t.right(f), -f);
    for (int32_t f = 127; f < 1000; ++f)
        ASSERT_EQ(t.right(f), -(f - 127));
    for (int32_t f = 0; f < 1000; ++f)
        ASSERT_EQ(t.left(f), f);
}

TEST(Shift, AtP1_128ChangesNothing)
{
    TestTrack t = randomTrack(300, 4);
    const TestTrack before = t;
    applyShift(t.span(), params(0, 300, 128, 0, 0));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(Shift, ARangeNoLongerThanTheShiftIsUnchanged)
{
    TestTrack t = randomTrack(300, 5);
    const TestTrack before = t;
    applyShift(t.span(), params(100, 200, 0, 0, 0));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(Monotonize, OfMinus3AndZeroIsMinus1)
{
    TestTrack t(1);
    t.left(0) = -3;
    t.right(0) = 0;
    applyMonotonize(t.span(), params(0, 1, 0, 0, 0));
    EXPECT_EQ(t.left(0), -1);
    EXPECT_EQ(t.right(0), -1);
}

TEST(Monotonize, AveragesFullScaleWithoutOverflow)
{
    TestTrack t(2);
    t.left(0) = 32767;
    t.right(0) = 32767;
    t.left(1) = -32768;
    t.right(1) = -32767;
    applyMonotonize(t.span(), params(0, 2, 0, 0, 0));
    EXPECT_EQ(t.left(0), 32767);
    EXPECT_EQ(t.left(1), -32767); // -65535 / 2 truncated toward zero
}

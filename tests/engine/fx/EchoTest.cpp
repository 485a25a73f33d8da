// Echo.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

using namespace wavorn::fx;
using namespace fxtest;

TEST(Echo, AtP1ZeroIsAGainOf1PlusTheFeedback)
{
    TestTrack t(10);
    t.fill(1000, 1000);
    applyEcho(t.span(), params(0, 10, 0, 255, 127));
    for (int32_t f = 0; f < 9; ++f)
    {
        EXPECT_EQ(t.left(f), 1996);  // 1000 + 1000 * 255/256
        EXPECT_EQ(t.right(f), 1988); // 1000 + 1000 * 127/128 * 255/256
    }
    EXPECT_EQ(t.left(9), 1000); // the last frame of the range is never written
}

TEST(Echo, AtP1ZeroAndFullFeedbackLimitsLoudSamples)
{
    TestTrack t(4);
    t.fill(-20000, 20000);
    applyEcho(t.span(), params(0, 4, 0, 255, 127));
    EXPECT_EQ(t.left(0), -32767);
    EXPECT_EQ(t.right(0), 32767);
}

TEST(Echo, RepeatsDecayByTheFeedbackEachTime)
{
    const int32_t frames = 400;
    TestTrack t(frames);
    t.left(10) = 16000;
    applyEcho(t.span(), params(0, frames, 1, 128, 0)); // 64 frames, half
    EXPECT_EQ(t.left(10), 16000);
    EXPECT_EQ(t.left(74), 8000);
    EXPECT_EQ(t.left(138), 4000);
    EXPECT_EQ(t.left(202), 2000);
    EXPECT_EQ(t.left(266), 1000);
    EXPECT_EQ(t.left(330), 500);
    EXPECT_EQ(t.left(394), 250); // source 330 < L - 1 - 64
    EXPECT_EQ(t.right(74), 0);
    for (int32_t f = 0; f < frames; ++f)
    {
        if ((f - 10) % 64 != 0 || f < 10)
        {
            ASSERT_EQ(t.left(f), 0) << f;
        }
    }
}

TEST(Echo, TheLastFrameWrittenIsAtMostLMinus2)
{
    const int32_t frames = 200;
    TestTrack t(frames);
    t.fill(1000, 1000);
    applyEcho(t.span(), params(0, 130, 1, 255, 127));
    // Sources are frames 0 ... 64 (2f < 2L - 2 - 128), targets 64 ... 128; frame 64 is
    // raised before it is read as the source of frame 128.
    EXPECT_EQ(t.left(64), 1996);
    EXPECT_EQ(t.left(127), 1996);
    EXPECT_EQ(t.left(128), 2988); // 1000 + 1996 * 255/256
    EXPECT_EQ(t.left(129), 1000);
    EXPECT_EQ(t.left(150), 1000);
}

TEST(Echo, ARangeShorterThanTheDelayIsUnchanged)
{
    TestTrack t = randomTrack(300, 9);
    const TestTrack before = t;
    applyEcho(t.span(), params(0, 300, 5, 200, 0)); // 320 frames of delay
    EXPECT_EQ(t.samples, before.samples);
}

// Two-grain pitch shifter.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"
#include "engine/fx/GrainPitch.h"

#include <gtest/gtest.h>

using namespace wavorn::fx;
using namespace fxtest;

TEST(PitchInterval, SixStepsFromP1)
{
    const auto is = [](int32_t p1, float step, int32_t dir)
    {
        const PitchInterval i = pitchInterval(p1);
        return i.step == step && i.direction == dir;
    };
    EXPECT_TRUE(is(0, 0.5f, -1));
    EXPECT_TRUE(is(41, 0.5f, -1));
    EXPECT_TRUE(is(42, 0.25f, -1));
    EXPECT_TRUE(is(83, 0.25f, -1));
    EXPECT_TRUE(is(84, 0.25f, 1));
    EXPECT_TRUE(is(127, 0.25f, 1));
    EXPECT_TRUE(is(128, 0.5f, 1));
    EXPECT_TRUE(is(169, 0.5f, 1));
    EXPECT_TRUE(is(170, 0.875f, 1));
    EXPECT_TRUE(is(211, 0.875f, 1));
    EXPECT_TRUE(is(212, 1.0f, 1));
    EXPECT_TRUE(is(255, 1.0f, 1));
}

TEST(Pitch, At255Turns440HzInto880Hz)
{
    const int32_t frames = 44100;
    TestTrack t = sineTrack(frames, 440.0, 12000.0);
    const TestTrack before = t;
    applyPitch(t.span(), params(0, frames, 255, 0, 127));
    const int32_t first = 2048, last = frames - 2048;
    const double seconds = (last - first) / 44100.0;
    const double hz = zeroCrossings(t, first, last, 0) / 2.0 / seconds;
    EXPECT_NEAR(hz, 880.0, 880.0 * 0.03);
    for (int32_t f = 0; f < first; ++f)
        ASSERT_EQ(t.left(f), before.left(f));
    for (int32_t f = last; f < frames; ++f)
        ASSERT_EQ(t.left(f), before.left(f));
    EXPECT_NE(t.left(first + 100), before.left(first + 100));
}

TEST(Pitch, AtZeroTurns440HzInto220Hz)
{
    const int32_t frames = 44100;
    TestTrack t = sineTrack(frames, 440.0, 12000.0);
    applyPitch(t.span(), params(0, frames, 0, 0, 127));
    const double seconds = (frames - 4096) / 44100.0;
    const double hz = zeroCrossings(t, 2048, frames - 2048, 0) / 2.0 / seconds;
    EXPECT_NEAR(hz, 220.0, 220.0 * 0.05);
}

TEST(Pitch, ARangeOf4096FramesOrFewerIsUnchanged)
{
    TestTrack t = randomTrack(5000, 31);
    const TestTrack before = t;
    applyPitch(t.span(), params(100, 4196, 255, 0, 127));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(Pitch, OnlyTheWetSignalRemainsAndIsWeighted)
{
    const int32_t frames = 10000;
    TestTrack t = sineTrack(frames, 440.0, 12000.0);
    applyPitch(t.span(), params(0, frames, 255, 0, 0)); // right weight 0
    for (int32_t f = 2048; f < frames - 2048; ++f)
        ASSERT_EQ(t.right(f), 0);
}

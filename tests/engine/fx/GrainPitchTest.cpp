// Two-grain pitch shifter.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"
#include "engine/fx/GrainPitch.h"

#include <gtest/gtest.h>

using namespace wavorn::fx;
using namespace fxtest;

TEST(PitchInterval, SixStepsFromP1)
{
    struct Row
    {
        int32_t p1;
        float step;
        int32_t direction;
    };
    for (const Row r :
         {Row{0, 0.5f, -1}, Row{41, 0.5f, -1}, Row{42, 0.25f, -1}, Row{83, 0.25f, -1},
          Row{84, 0.25f, 1}, Row{127, 0.25f, 1}, Row{128, 0.5f, 1}, Row{169, 0.5f, 1},
          Row{170, 0.875f, 1}, Row{211, 0.875f, 1}, Row{212, 1.0f, 1}, Row{255, 1.0f, 1}})
    {
        EXPECT_EQ(pitchInterval(r.p1).step, r.step) << r.p1;
        EXPECT_EQ(pitchInterval(r.p1).direction, r.direction) << r.p1;
    }
}

TEST(Pitch, Turns440HzInto880Or220HzKeepingTheFirstAndLast2048Frames)
{
    struct Row
    {
        int32_t p1, p3;
        double hz, tolerance;
    };
    for (const Row r : {Row{255, 127, 880.0, 0.03}, Row{0, 0, 220.0, 0.05}})
    {
        const int32_t frames = 44100, first = 2048, last = frames - 2048;
        const TestTrack before = sineTrack(frames, 440.0, 12000.0);
        TestTrack t = before;
        applyPitch(t.span(), params(0, frames, r.p1, 0, r.p3));
        const double hz = zeroCrossings(t, first, last, 0) / 2.0 / ((last - first) / 44100.0);
        EXPECT_NEAR(hz, r.hz, r.hz * r.tolerance);
        EXPECT_TRUE(sameFrames(t, before, 0, first));
        EXPECT_TRUE(sameFrames(t, before, last, frames));
        EXPECT_NE(t.left(first + 100), before.left(first + 100));
        for (int32_t f = first; f < last && r.p3 == 0; ++f)
            ASSERT_EQ(t.right(f), 0) << f; // only the weighted wet signal remains
    }
}

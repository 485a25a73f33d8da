// Two-voice and three-voice chorus.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace wavorn::fx;
using namespace fxtest;

TEST(Chorus, WithP2ZeroEveryVoiceIsTheFrameItselfUpToLMinus1)
{
    const ConstantCase cases[] = {
        // what, effect, frames, P1, P2, P3, input (L, R), output (L, R), head, tail
        // 20000 * (1 + 127/128), limited
        {"two voices", applyChorus2, 100, 100, 0, 127, 1000, 20000, 2000, 32767, 0, 1},
        // weights 1 and 0.5: left 1000 + 1000 + 500, right 2000 + 1000 + 2000
        {"three voices", applyChorus3, 50, 10, 0, 64, 1000, 2000, 2500, 5000, 0, 1},
    };
    for (const ConstantCase& c : cases)
        expectConstantCase(c);
}

TEST(Chorus2, ReadsTheVoiceAheadOfTheFrameAndSilencePastTheTrackEnd)
{
    // P1 255: the sweep stands still at m = 0, so the offset is 2 * P2 from the second frame.
    TestTrack t(600);
    t.generate([](int32_t f, int32_t c) { return int16_t(c == 0 ? 10 * f : 0); });
    applyChorus2(t.span(), params(0, 400, 255, 50, 0));
    EXPECT_EQ(t.left(0), 0);                   // offset 0: 0 + 0
    EXPECT_EQ(t.left(1), 10 + 10 * (1 + 100)); // frame 1 + voice of frame 101
    EXPECT_EQ(t.left(348), 3480 + 4480);
    EXPECT_EQ(t.left(349), 3490); // L - P2 - 1 = 349 is not processed
    TestTrack u(2000);
    u.fill(1000, 1000);
    applyChorus2(u.span(), params(0, 2000, 255, 100, 0)); // voice 200 frames ahead
    for (int32_t f = 1; f < 2000; ++f)
    {
        ASSERT_EQ(u.left(f), f < 1800 ? 2000 : 1000) << f;
        ASSERT_EQ(u.right(f), 1000) << f; // weight 0
    }
}

TEST(Chorus2, OffsetSweepsBetween0And2TimesP2)
{
    // A ramp makes the voice's value the read position: voice - frame = offset.
    const int32_t frames = 16000;
    TestTrack t(frames);
    t.generate([](int32_t f, int32_t c) { return int16_t(c == 0 ? f : 0); });
    applyChorus2(t.span(), params(0, frames - 100, 0, 20, 0));
    int32_t lowest = 1000, highest = -1000;
    for (int32_t f = 1; f < frames - 200; ++f)
    {
        lowest = std::min(lowest, t.left(f) - 2 * f); // x + (x + o) - 2x
        highest = std::max(highest, t.left(f) - 2 * f);
    }
    EXPECT_GE(lowest, -1);
    EXPECT_LE(lowest, 1);
    EXPECT_GE(highest, 39);
    EXPECT_LE(highest, 40);
}

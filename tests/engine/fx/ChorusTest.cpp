// Two-voice and three-voice chorus.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace wavorn::fx;
using namespace fxtest;

TEST(Chorus2, WithP2ZeroTheVoiceIsTheFrameItself)
{
    TestTrack t(100);
    t.fill(1000, 20000);
    applyChorus2(t.span(), params(0, 100, 100, 0, 127));
    for (int32_t f = 0; f < 99; ++f)
    {
        ASSERT_EQ(t.left(f), 2000);
        ASSERT_EQ(t.right(f), 32767); // 20000 * (1 + 127/128), limited
    }
    EXPECT_EQ(t.left(99), 1000); // frames f < L - P2 - 1 only
}

TEST(Chorus2, ReadsTheVoiceAheadOfTheFrame)
{
    // P1 255: the sweep stands still at m = 0, so the offset is 2 * P2 from the second frame.
    TestTrack t(600);
    t.generate([](int32_t f, int32_t c) { return int16_t(c == 0 ? 10 * f : 0); });
    applyChorus2(t.span(), params(0, 400, 255, 50, 0));
    EXPECT_EQ(t.left(0), 0);                   // offset 0: 0 + 0
    EXPECT_EQ(t.left(1), 10 + 10 * (1 + 100)); // frame 1 + voice of frame 101
    EXPECT_EQ(t.left(348), 3480 + 4480);
    EXPECT_EQ(t.left(349), 3490); // L - P2 - 1 = 349 is not processed
}

TEST(Chorus2, VoicesPastTheEndOfTheTrackReadAsSilence)
{
    TestTrack t(2000);
    t.fill(1000, 1000);
    applyChorus2(t.span(), params(0, 2000, 255, 100, 0)); // voice 200 frames ahead
    for (int32_t f = 1; f < 1800; ++f)
        ASSERT_EQ(t.left(f), 2000) << f;
    for (int32_t f = 1800; f < 1899; ++f)
        ASSERT_EQ(t.left(f), 1000) << f;
    for (int32_t f = 1899; f < 2000; ++f)
        ASSERT_EQ(t.left(f), 1000) << f;
    for (int32_t f = 0; f < 2000; ++f)
        ASSERT_EQ(t.right(f), 1000); // weight 0
}

TEST(Chorus2, OffsetSweepsBetween0And2TimesP2)
{
    // A ramp makes the voice's value the read position: voice - frame = 10 * offset.
    const int32_t frames = 16000;
    TestTrack t(frames);
    t.generate([](int32_t f, int32_t c) { return int16_t(c == 0 ? f : 0); });
    const TestTrack before = t;
    applyChorus2(t.span(), params(0, frames - 100, 0, 20, 0));
    int32_t lowest = 1000, highest = -1000;
    for (int32_t f = 1; f < frames - 200; ++f)
    {
        const int32_t offset = t.left(f) - 2 * before.left(f); // x + (x + o) - 2x
        lowest = std::min(lowest, offset);
        highest = std::max(highest, offset);
    }
    EXPECT_LE(lowest, 1);
    EXPECT_GE(lowest, -1);
    EXPECT_GE(highest, 39);
    EXPECT_LE(highest, 40);
}

TEST(Chorus3, WithP2ZeroBothVoicesAreTheFrameItself)
{
    TestTrack t(50);
    t.fill(1000, 2000);
    applyChorus3(t.span(), params(0, 50, 10, 0, 64)); // wL 1, wR 0.5
    EXPECT_EQ(t.left(10), 1000 + 1000 + 500);
    EXPECT_EQ(t.right(10), 2000 + 1000 + 2000);
}

TEST(Chorus3, VoicesPastTheEndOfTheTrackReadAsSilence)
{
    TestTrack t(600);
    t.fill(1000, 1000);
    applyChorus3(t.span(), params(0, 600, 0, 255, 127)); // reaches up to 511 frames ahead
    for (int16_t s : t.samples)
        ASSERT_GE(s, 1000);
    EXPECT_EQ(t.left(599), 1000);
}

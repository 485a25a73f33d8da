// Gain, compression and distortion.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wavorn::fx;
using namespace fxtest;

TEST(Gain, DefaultsKeepTheLevelOnTheFullyWeightedChannel)
{
    TestTrack t(8);
    t.fill(1000, -1000);
    applyGain(t.span(), params(0, 8, 16, 255, 128)); // left 127/128, right whole
    EXPECT_EQ(t.left(3), 992);                       // 1000 * 127/128 = 992.19
    EXPECT_EQ(t.right(3), -1000);
}

TEST(Gain, ScalesByP1Over16)
{
    TestTrack t(4);
    t.fill(1001, -1001);
    applyGain(t.span(), params(0, 4, 40, 255, 127)); // 2.5, right 127/128
    EXPECT_EQ(t.left(0), 2502);                      // 2502.5 truncated
    EXPECT_EQ(t.right(0), -2482);                    // -2482.75 truncated toward zero
}

TEST(Gain, LimitsToPlusMinus128TimesP2)
{
    TestTrack t(4);
    t.fill(30000, -30000);
    applyGain(t.span(), params(0, 4, 255, 10, 0));
    EXPECT_EQ(t.left(0), 1280);
    TestTrack u(4);
    u.fill(-30000, 0);
    applyGain(u.span(), params(0, 4, 255, 10, 0));
    EXPECT_EQ(u.left(0), -1280);
}

TEST(Gain, P2ZeroSilencesTheRange)
{
    TestTrack t(4);
    t.fill(12345, -12345);
    applyGain(t.span(), params(0, 4, 16, 0, 127));
    EXPECT_EQ(t.left(2), 0);
    EXPECT_EQ(t.right(2), 0);
}

TEST(Gain, P1ZeroSilencesTheRange)
{
    TestTrack t(4);
    t.fill(12345, -12345);
    applyGain(t.span(), params(0, 4, 0, 255, 127));
    EXPECT_EQ(t.left(2), 0);
    EXPECT_EQ(t.right(2), 0);
}

TEST(Gain, P3ZeroSilencesTheRightChannelWhoseWeightIsZero)
{
    TestTrack t(2);
    t.fill(500, 500);
    applyGain(t.span(), params(0, 2, 32, 255, 0));
    EXPECT_EQ(t.left(0), 1000);
    EXPECT_EQ(t.right(0), 0);
}

TEST(Compression, DefaultTakesFullScaleToAboutTwoThirds)
{
    TestTrack t(2);
    t.fill(32767, -32767);
    applyCompression(t.span(), params(0, 2, 128, 255, 127));
    EXPECT_EQ(t.left(0), int16_t(128.0f * std::sqrt(32767.0f))); // 23170
    EXPECT_EQ(t.left(0), 23170);
    EXPECT_EQ(t.right(0), int16_t(-(127.0f / 128.0f) * 128.0f * std::sqrt(32767.0f)));
}

TEST(Compression, KeepsTheSignAndZero)
{
    TestTrack t(3);
    t.left(0) = 100;
    t.left(1) = -100;
    t.left(2) = 0;
    applyCompression(t.span(), params(0, 3, 2, 255, 0));
    EXPECT_EQ(t.left(0), 20);
    EXPECT_EQ(t.left(1), -20);
    EXPECT_EQ(t.left(2), 0);
}

TEST(Compression, LimitsTo128TimesP2)
{
    TestTrack t(2);
    t.fill(10000, -10000);
    applyCompression(t.span(), params(0, 2, 255, 100, 127));
    EXPECT_EQ(t.left(0), 12800);
    EXPECT_EQ(t.right(0), -12800);
}

TEST(Distortion, FollowsXTimesCosOfKx)
{
    TestTrack t(4);
    t.left(0) = 1; // P1 0: k = pi, cos(pi) = -1
    t.left(1) = 2; // cos(2 pi) = 1
    t.left(2) = 1000;
    applyDistortion(t.span(), params(0, 4, 0, 0, 0));
    EXPECT_EQ(t.left(0), -1);
    EXPECT_EQ(t.left(1), 2);
    const float k = float(3.14159265358979323846);
    EXPECT_NEAR(t.left(2), 1000.0f * std::cos(k * 1000.0f), 1.0f);
}

TEST(Distortion, AtLargeP1IsAlmostTheWeightedSignal)
{
    TestTrack t(2);
    t.fill(3000, 3000);
    applyDistortion(t.span(), params(0, 2, 255, 0, 127));
    // k = pi / 65281: cos(k * 3000) = 0.98958
    EXPECT_NEAR(t.left(0), 3000.0 * std::cos(3.14159265358979 / 65281.0 * 3000.0), 1.0);
    EXPECT_NEAR(t.right(0), 127.0 / 128.0 * 3000.0 * std::cos(3.14159265358979 / 65281.0 * 3000.0),
                1.0);
}

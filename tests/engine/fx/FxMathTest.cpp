// Shared effect arithmetic: channel weights, storing samples, the oscillator phase and the
// interpolated read.
#include "engine/fx/FxMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace wavorn::fx;

TEST(FxMath, WeightsAtP3ZeroTakeTheLeftChannelOnly)
{
    const ChannelWeights w = weightsFromP3(0);
    EXPECT_EQ(w.left, 1.0f);
    EXPECT_EQ(w.right, 0.0f);
}

TEST(FxMath, WeightsAtP3_127GiveTheRight127Of128)
{
    const ChannelWeights w = weightsFromP3(127);
    EXPECT_EQ(w.left, 1.0f);
    EXPECT_EQ(w.right, 127.0f / 128.0f);
}

TEST(FxMath, WeightsAtP3_128GiveTheLeft127Of128)
{
    const ChannelWeights w = weightsFromP3(128);
    EXPECT_EQ(w.left, 127.0f / 128.0f);
    EXPECT_EQ(w.right, 1.0f);
}

TEST(FxMath, WeightsAtP3_255TakeTheRightChannelOnly)
{
    const ChannelWeights w = weightsFromP3(255);
    EXPECT_EQ(w.left, 0.0f);
    EXPECT_EQ(w.right, 1.0f);
}

TEST(FxMath, NoP3GivesBothWeightsOne)
{
    for (int32_t p3 = 0; p3 < 256; ++p3)
    {
        const ChannelWeights w = weightsFromP3(p3);
        EXPECT_FALSE(w.left == 1.0f && w.right == 1.0f) << p3;
    }
}

TEST(FxMath, WeightsUseOnlyTheLow8BitsOfP3)
{
    EXPECT_EQ(weightsFromP3(256 + 64).right, weightsFromP3(64).right);
}

TEST(FxMath, ClampSampleStopsAtMinus32767)
{
    EXPECT_EQ(clampSample(-40000.0f), -32767);
    EXPECT_EQ(clampSample(-32768.0f), -32767);
    EXPECT_EQ(clampSample(40000.0f), 32767);
}

TEST(FxMath, ClampSampleTruncatesTowardZero)
{
    EXPECT_EQ(clampSample(2.9f), 2);
    EXPECT_EQ(clampSample(-2.9f), -2);
    EXPECT_EQ(clampSample(-0.5f), 0);
}

TEST(FxMath, ClampSampleHonoursAGivenLimit)
{
    EXPECT_EQ(clampSample(1000.0f, 128.0f), 128);
    EXPECT_EQ(clampSample(-1000.0f, 128.0f), -128);
    EXPECT_EQ(clampSample(1000.0f, 0.0f), 0);
}

TEST(FxMath, TruncSampleKeepsMinus32768AndSaturatesBeyond)
{
    EXPECT_EQ(truncSample(-32768.0f), -32768);
    EXPECT_EQ(truncSample(-32768.9f), -32768);
    EXPECT_EQ(truncSample(99999.0f), 32767);
    EXPECT_EQ(truncSample(-7.99f), -7);
}

TEST(FxMath, LimitSampleKeepsTheFraction)
{
    EXPECT_EQ(limitSample(12.75f), 12.75f);
    EXPECT_EQ(limitSample(-33000.5f), -32767.0f);
}

TEST(FxMath, PhaseGrowsByItsStep)
{
    float m = 0.0f;
    advancePhase(m, 0.25f);
    advancePhase(m, 0.25f);
    EXPECT_EQ(m, 0.5f);
}

TEST(FxMath, PhaseRestartsAtExactlyZeroPastTwoPi)
{
    float m = 6.28f;
    advancePhase(m, 0.01f); // 6.29 > 2 pi
    EXPECT_EQ(m, 0.0f);
    float n = 6.0f;
    advancePhase(n, 0.25f); // 6.25 <= 2 pi
    EXPECT_EQ(n, 6.25f);
}

TEST(FxMath, InterpolateFrameReadsBetweenNeighbours)
{
    std::vector<int16_t> s = {0, 100, 10, 200, 20, 300};
    const SampleSpan track(s);
    EXPECT_FLOAT_EQ(interpolateFrame(track, 0, 0.5, 0), 5.0f);
    EXPECT_FLOAT_EQ(interpolateFrame(track, 0, 1.25, 1), 225.0f);
    EXPECT_FLOAT_EQ(interpolateFrame(track, 1, 0.0, 0), 10.0f);
}

TEST(FxMath, InterpolateFrameReadsSilencePastTheEnd)
{
    std::vector<int16_t> s = {0, 100, 10, 200, 20, 300};
    const SampleSpan track(s);
    EXPECT_FLOAT_EQ(interpolateFrame(track, 0, 2.5, 0), 10.0f); // 20 * 0.5 + 0 * 0.5
    EXPECT_FLOAT_EQ(interpolateFrame(track, 0, 7.0, 1), 0.0f);
}

TEST(FxMath, PhaseSineAndCosineMatchTheLibraryWithinTwoUnitsInTheLastPlace)
{
    double worst = 0.0;
    for (int32_t i = 0; i <= 800000; ++i)
    {
        const float x = float(i) * 1e-5f; // 0 ... 8
        float s;
        float c;
        sinCosPhase(x, s, c);
        worst = std::max({worst, std::abs(double(s) - std::sin(double(x))),
                          std::abs(double(c) - std::cos(double(x)))});
    }
    EXPECT_LT(worst, 2.5e-7);
}

TEST(FxMath, PhaseCosineOfZeroIsExactlyOne)
{
    float s;
    float c;
    sinCosPhase(0.0f, s, c);
    EXPECT_EQ(c, 1.0f);
    EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(cosPhase(0.0f), 1.0f);
}

TEST(FxMath, PhaseBlockFollowsTheStepRule)
{
    float m = 6.0f;
    float phases[4];
    phaseBlock(m, 0.125f, phases, 4);
    EXPECT_EQ(phases[0], 6.0f);
    EXPECT_EQ(phases[1], 6.125f);
    EXPECT_EQ(phases[2], 6.25f);
    EXPECT_EQ(phases[3], 0.0f); // 6.375 > 2 pi
    EXPECT_EQ(m, 0.125f);
}

TEST(FxMath, ReadAheadMatchesTheSingleChannelRead)
{
    std::vector<int16_t> s = {0, 100, 10, 200, 20, 300, -40, 50};
    const SampleSpan track(s);
    for (float offset : {0.0f, 0.25f, 1.5f, 2.75f, 3.5f, 9.0f})
    {
        const StereoValue v = readAhead(track, 0, offset);
        EXPECT_FLOAT_EQ(v.left, interpolateFrame(track, 0, offset, 0)) << offset;
        EXPECT_FLOAT_EQ(v.right, interpolateFrame(track, 0, offset, 1)) << offset;
    }
}

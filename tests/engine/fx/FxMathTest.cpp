// Shared effect arithmetic: channel weights, storing samples and the interpolated read (the
// phase and its sine and cosine are checked through the ring and vibe).
#include "engine/fx/FxMath.h"

#include <gtest/gtest.h>

#include <vector>

using namespace wavorn::fx;

TEST(FxMath, WeightsFollowTheLow8BitsOfP3AndNeverAreBothOne)
{
    struct Row
    {
        int32_t p3;
        float left, right;
    };
    for (const Row r :
         {Row{0, 1.0f, 0.0f}, Row{127, 1.0f, 127.0f / 128.0f}, Row{128, 127.0f / 128.0f, 1.0f},
          Row{255, 0.0f, 1.0f}, Row{256 + 127, 1.0f, 127.0f / 128.0f}})
    {
        EXPECT_EQ(weightsFromP3(r.p3).left, r.left) << r.p3;
        EXPECT_EQ(weightsFromP3(r.p3).right, r.right) << r.p3;
    }
    for (int32_t p3 = 0; p3 < 256; ++p3)
        EXPECT_FALSE(weightsFromP3(p3).left == 1.0f && weightsFromP3(p3).right == 1.0f) << p3;
}

TEST(FxMath, StoringTruncatesTowardZeroAndLimits)
{
    EXPECT_EQ(clampSample(-32768.0f), -32767);
    EXPECT_EQ(clampSample(-2.9f), -2);
    EXPECT_EQ(clampSample(-1000.0f, 128.0f), -128);
    EXPECT_EQ(truncSample(-32768.9f), -32768); // keeps -32768
    EXPECT_EQ(truncSample(99999.0f), 32767);
    EXPECT_EQ(limitSample(-33000.5f), -32767.0f);
    EXPECT_EQ(limitSample(12.75f), 12.75f); // keeps the fraction
}

TEST(FxMath, InterpolatedReadsGoBetweenNeighboursAndReadSilencePastTheEnd)
{
    std::vector<int16_t> s = {0, 100, 10, 200, 20, 300};
    const SampleSpan track(s);
    struct Row
    {
        int32_t frame;
        float offset;
        float left, right;
    };
    for (const Row r :
         {Row{0, 0.5f, 5.0f, 150.0f}, Row{0, 1.25f, 12.5f, 225.0f}, Row{1, 0.0f, 10.0f, 200.0f},
          Row{0, 2.5f, 10.0f, 150.0f}, Row{0, 7.0f, 0.0f, 0.0f}})
    {
        EXPECT_FLOAT_EQ(interpolateFrame(track, r.frame, r.offset, 0), r.left) << r.offset;
        EXPECT_FLOAT_EQ(interpolateFrame(track, r.frame, r.offset, 1), r.right) << r.offset;
        if (r.frame == 0)
        {
            EXPECT_FLOAT_EQ(readAhead(track, 0, r.offset).left, r.left) << r.offset;
            EXPECT_FLOAT_EQ(readAhead(track, 0, r.offset).right, r.right) << r.offset;
        }
    }
}

// Noise reduction and wah.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"
#include "engine/fx/WindowSweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

// Noise reduction or wah written out frame by frame with brute-force window sums.
TestTrack levelFollowReference(const TestTrack& in, int32_t first, int32_t last, int32_t p1,
                               int32_t p2, int32_t p3, bool wah)
{
    TestTrack out = in;
    const int32_t n = windowFrames(p1), h = n / 2;
    const float step = 0.01f / float(p3 + 1);
    float gate[2] = {1.0f, 1.0f};
    for (int32_t f = first + h; f < last - (n - h); ++f)
        for (int32_t c = 0; c < 2; ++c)
        {
            int32_t sum = 0, level = 0;
            for (int32_t g = f - h + 1; g <= f + n - h; ++g)
            {
                sum += in.at(g, c);
                level += std::abs(in.at(g, c));
            }
            if (level < 128 * p2)
                gate[c] -= gate[c] > 0.0f ? step : 0.0f;
            else if (gate[c] < 1.0f)
                gate[c] += step;
            const float mean = float(sum) / float(n), x = in.at(f, c), g = gate[c];
            const float y = wah ? g * (x - mean) + (1.0f - g) * mean : x * g + mean * (1.0f - g);
            (c == 0 ? out.left(f) : out.right(f)) = int16_t(std::clamp(y, -32767.0f, 32767.0f));
        }
    return out;
}

} // namespace

TEST(LevelFollow, MatchesTheFrameByFrameDefinitionAsLevelsAlternate)
{
    // Bursts of loud noise between quiet stretches, each long enough to move the gates part way.
    TestTrack in = randomTrack(20000, 57, 6000);
    in.generate(
        [&](int32_t f, int32_t c)
        { return int16_t((f / 700) % 2 == 1 ? in.at(f, c) / (c ? 50 : 100) : in.at(f, c)); });
    struct Row
    {
        Effect fx;
        bool wah;
        int32_t first, last, p1, p2, p3;
    };
    EXPECT_EQ(windowFrames(0), 130);
    EXPECT_EQ(windowFrames(128), 66);
    EXPECT_EQ(windowFrames(255), 2);
    for (const Row r : {Row{applyNoiseReduction, false, 300, 19700, 100, 60, 0},
                        Row{applyWah, true, 0, 20000, 200, 40, 3}})
    {
        TestTrack t = in;
        const TestTrack expected =
            levelFollowReference(in, r.first, r.last, r.p1, r.p2, r.p3, r.wah);
        r.fx(t.span(), params(r.first, r.last, r.p1, r.p2, r.p3));
        EXPECT_NE(t.samples, in.samples);
        for (size_t i = 0; i < t.samples.size(); ++i)
            ASSERT_NEAR(t.samples[i], expected.samples[i], 1) << r.wah << " " << i;
    }
}

TEST(LevelFollow, KeepsTheHeadAndTailOfTheRange)
{
    const TestTrack before = randomTrack(1000, 54, 300);
    for (const Effect fx : {applyNoiseReduction, applyWah})
    {
        TestTrack t = before;
        fx(t.span(), params(100, 900, 0, 255, 0)); // n 130, h 65
        EXPECT_TRUE(sameFrames(t, before, 0, 165));
        EXPECT_TRUE(sameFrames(t, before, 835, 1000));
    }
}

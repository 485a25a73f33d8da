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

double windowMean(const TestTrack& t, int32_t f, int32_t n, int32_t channel)
{
    const int32_t h = n / 2;
    double sum = 0.0;
    for (int32_t g = f - h + 1; g <= f + n - h; ++g)
        sum += channel == 0 ? t.left(g) : t.right(g);
    return sum / n;
}

} // namespace

TEST(WindowSweep, WindowLengthFromP1)
{
    EXPECT_EQ(windowFrames(0), 130);
    EXPECT_EQ(windowFrames(128), 66);
    EXPECT_EQ(windowFrames(255), 2);
}

TEST(WindowSweep, VisitsEveryOutputFrameWithTheSumsOfItsWindow)
{
    TestTrack t = randomTrack(500, 51);
    const int32_t n = 66, h = 33;
    int32_t visited = 0;
    int32_t expectedFrame = 40 + h;
    sweepWindow(t.span(), 40, 460, n,
                [&](size_t f, const WindowSums& s)
                {
                    ASSERT_EQ(int32_t(f), expectedFrame++);
                    int32_t sum = 0, abs = 0;
                    for (int32_t g = int32_t(f) - h + 1; g <= int32_t(f) + n - h; ++g)
                    {
                        sum += t.right(g);
                        abs += std::abs(int32_t(t.right(g)));
                    }
                    ASSERT_EQ(s.sumRight(), sum);
                    ASSERT_EQ(s.absRight(), abs);
                    ++visited;
                });
    EXPECT_EQ(visited, 420 - n);
}

TEST(NoiseReduction, WithP2ZeroReturnsTheSignalUnchanged)
{
    TestTrack t = randomTrack(2000, 52);
    const TestTrack before = t;
    applyNoiseReduction(t.span(), params(0, 2000, 128, 0, 0));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(NoiseReduction, OnAQuietSignalReachesTheLocalMeanAfter100TimesP3Plus1Frames)
{
    const int32_t frames = 3000;
    TestTrack t = randomTrack(frames, 53, 200);
    const TestTrack before = t;
    applyNoiseReduction(t.span(), params(0, frames, 128, 255, 1)); // step 0.005: 200 frames
    const int32_t n = 66, h = 33;
    for (int32_t f = h + 202; f < frames - (n - h); ++f)
    {
        ASSERT_NEAR(t.left(f), windowMean(before, f, n, 0), 3.0) << f;
        ASSERT_NEAR(t.right(f), windowMean(before, f, n, 1), 3.0) << f;
    }
    // Early on the gate is still mostly open.
    EXPECT_NEAR(t.left(h + 1), before.left(h + 1), 2.0 + std::abs(before.left(h + 1)) * 0.02);
}

TEST(NoiseReduction, KeepsTheHeadAndTailOfTheRange)
{
    TestTrack t = randomTrack(1000, 54, 300);
    const TestTrack before = t;
    applyNoiseReduction(t.span(), params(100, 900, 0, 255, 0)); // n 130, h 65
    for (int32_t f = 0; f < 165; ++f)
        ASSERT_EQ(t.left(f), before.left(f));
    for (int32_t f = 835; f < 1000; ++f)
        ASSERT_EQ(t.left(f), before.left(f));
}

TEST(Wah, OnALoudToneWithP2ZeroIsTheToneMinusItsLocalMean)
{
    const int32_t frames = 3000;
    TestTrack t = sineTrack(frames, 300.0, 20000.0);
    const TestTrack before = t;
    applyWah(t.span(), params(0, frames, 128, 0, 0));
    for (int32_t f = 33; f < frames - 33; ++f)
        ASSERT_NEAR(t.left(f), before.left(f) - windowMean(before, f, 66, 0), 1.0) << f;
}

TEST(Wah, ResultsBeyond16BitsAreLimitedTo32767)
{
    TestTrack t(600);
    t.generate([](int32_t f, int32_t) { return int16_t(f == 300 ? 32767 : -32768); });
    applyWah(t.span(), params(0, 600, 0, 0, 0)); // n 130, gate 1: x - mean, about 65000
    EXPECT_EQ(t.left(300), 32767);
    for (int32_t f = 65; f < 600 - 65; ++f)
        ASSERT_GE(t.left(f), -32767);
}

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
                const int32_t v = c == 0 ? in.left(g) : in.right(g);
                sum += v;
                level += std::abs(v);
            }
            if (level < 128 * p2)
            {
                if (gate[c] > 0.0f)
                    gate[c] -= step;
            }
            else if (gate[c] < 1.0f)
                gate[c] += step;
            const float mean = float(sum) / float(n);
            const float x = c == 0 ? in.left(f) : in.right(f);
            const float g = gate[c];
            const float y = wah ? g * (x - mean) + (1.0f - g) * mean : x * g + mean * (1.0f - g);
            (c == 0 ? out.left(f) : out.right(f)) = int16_t(std::clamp(y, -32767.0f, 32767.0f));
        }
    return out;
}

// Bursts of loud noise between quiet stretches, each long enough to move the gates part way.
TestTrack alternatingLevels()
{
    TestTrack t = randomTrack(20000, 57, 6000);
    for (int32_t f = 0; f < t.frames(); ++f)
        if ((f / 700) % 2 == 1)
        {
            t.left(f) = int16_t(t.left(f) / 100);
            t.right(f) = int16_t(t.right(f) / 50);
        }
    return t;
}

} // namespace

TEST(NoiseReduction, MatchesTheFrameByFrameDefinitionAsLevelsAlternate)
{
    TestTrack t = alternatingLevels();
    const TestTrack expected = levelFollowReference(t, 300, 19700, 100, 60, 0, false);
    applyNoiseReduction(t.span(), params(300, 19700, 100, 60, 0));
    for (size_t i = 0; i < t.samples.size(); ++i)
        ASSERT_NEAR(t.samples[i], expected.samples[i], 1) << i;
    EXPECT_NE(t.samples, alternatingLevels().samples);
}

TEST(Wah, MatchesTheFrameByFrameDefinitionAsLevelsAlternate)
{
    TestTrack t = alternatingLevels();
    const TestTrack expected = levelFollowReference(t, 0, 20000, 200, 40, 3, true);
    applyWah(t.span(), params(0, 20000, 200, 40, 3));
    for (size_t i = 0; i < t.samples.size(); ++i)
        ASSERT_NEAR(t.samples[i], expected.samples[i], 1) << i;
}

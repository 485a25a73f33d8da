// Mix back, the effect chain's way of laying the saved dry copy under the processed range.
#include "engine/fx/FilterGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using wavorn::fx::mixBack;

namespace
{

// The fade level of each frame computed independently: up by 2/c per frame over the first c
// samples, full in between, down by 2/c per frame over the last c samples.
std::vector<double> fadeLevels(int32_t frames)
{
    const int32_t n = 2 * frames;
    const int32_t c = n >= 33668 ? 16834 : n / 2;
    std::vector<double> level(static_cast<size_t>(frames));
    for (int32_t f = 0; f < frames; ++f)
    {
        const int32_t i = 2 * f;
        if (i < c)
            level[size_t(f)] = f * 2.0 / c;
        else if (i < n - c)
            level[size_t(f)] = 1.0;
        else
            level[size_t(f)] = ((c + 1) / 2) * 2.0 / c - (f - (n - c + 1) / 2) * 2.0 / c;
    }
    return level;
}

int32_t floorDiv256(int32_t x)
{
    return int32_t(std::floor(x / 256.0));
}

} // namespace

TEST(FilterGraph, MixBackOver1000FramesFadesIn500AndOut500)
{
    const int32_t frames = 1000;
    std::vector<int16_t> track(2 * frames, 10000);
    const std::vector<int16_t> saved(2 * frames, 0);
    mixBack(track, saved, 254, 254);
    const std::vector<double> level = fadeLevels(frames);
    for (int32_t f = 0; f < frames; ++f)
        ASSERT_NEAR(track[2 * size_t(f)], std::trunc(10000 * level[size_t(f)]), 1.0)
            << "frame " << f;
    EXPECT_EQ(track[0], 0);
    EXPECT_NEAR(track[2 * 250], 5000, 1);  // half way up
    EXPECT_NEAR(track[2 * 499], 9980, 1);  // last frame of the fade-in
    EXPECT_NEAR(track[2 * 500], 10000, 1); // the fades meet in the middle
    EXPECT_NEAR(track[2 * 750], 5000, 1);  // half way down
    EXPECT_NEAR(track[2 * 999], 20, 1);    // last frame
}

TEST(FilterGraph, MixBackAddsTheSavedCopyAtFullLevelScaledByTheGains)
{
    const int32_t frames = 1000;
    std::vector<int16_t> track(2 * frames);
    std::vector<int16_t> saved(2 * frames);
    for (int32_t f = 0; f < frames; ++f)
    {
        track[2 * size_t(f)] = int16_t(f * 7 - 3000);
        track[2 * size_t(f) + 1] = int16_t(2000 - f * 3);
        saved[2 * size_t(f)] = int16_t(f * 13 - 6000);
        saved[2 * size_t(f) + 1] = int16_t(-f * 11 + 5000);
    }
    const std::vector<int16_t> processed = track;
    mixBack(track, saved, 254, 127);
    const std::vector<double> level = fadeLevels(frames);
    for (int32_t f = 0; f < frames; ++f)
    {
        const size_t l = 2 * size_t(f);
        const double left = floorDiv256(saved[l] * 254) + level[size_t(f)] * processed[l];
        const double right = floorDiv256(saved[l + 1] * 127) + level[size_t(f)] * processed[l + 1];
        ASSERT_NEAR(track[l], std::trunc(left), 1.0) << "left of frame " << f;
        ASSERT_NEAR(track[l + 1], std::trunc(right), 1.0) << "right of frame " << f;
    }
}

TEST(FilterGraph, MixBackRoundsTheScaledCopyTowardMinusInfinity)
{
    // -1 * 254 / 256 is -0.99: -1, not 0. The track's own frame 0 is still faded out (level 0).
    std::vector<int16_t> track = {500, 500, 0, 0};
    const std::vector<int16_t> saved = {-1, 1, -1, 1};
    mixBack(track, saved, 254, 254);
    EXPECT_EQ(track[0], -1);
    EXPECT_EQ(track[1], 0);
}

TEST(FilterGraph, MixBackWithGainZeroLeavesOnlyTheFadedTrack)
{
    const int32_t frames = 1000;
    std::vector<int16_t> track(2 * frames, -8000);
    const std::vector<int16_t> saved(2 * frames, 30000);
    mixBack(track, saved, 0, 0);
    const std::vector<double> level = fadeLevels(frames);
    for (int32_t f = 0; f < frames; ++f)
        ASSERT_NEAR(track[2 * size_t(f) + 1], std::trunc(-8000 * level[size_t(f)]), 1.0)
            << "frame " << f;
}

TEST(FilterGraph, MixBackFadesLastAtMost8417FramesOnLongRanges)
{
    const int32_t frames = 20000; // n = 40000 >= 33668: c = 16834 samples
    std::vector<int16_t> track(2 * frames, 1000);
    const std::vector<int16_t> saved(2 * frames, 0);
    mixBack(track, saved, 256, 256);
    const std::vector<double> level = fadeLevels(frames);
    for (int32_t f = 0; f < frames; ++f)
        ASSERT_NEAR(track[2 * size_t(f)], std::trunc(1000 * level[size_t(f)]), 1.0)
            << "frame " << f;
    EXPECT_LT(track[2 * 8416], 1000);
    EXPECT_EQ(track[2 * 8417], 1000);
    EXPECT_EQ(track[2 * (frames - 8418)], 1000);
    EXPECT_LT(track[2 * (frames - 8416)], 1000);
}

TEST(FilterGraph, MixBackIsLimitedTo32767)
{
    std::vector<int16_t> track(2000, 32000);
    const std::vector<int16_t> saved(2000, 32000);
    mixBack(track, saved, 255, 255);
    EXPECT_EQ(track[1000], 32767);
    std::vector<int16_t> negative(2000, -32000);
    const std::vector<int16_t> savedNegative(2000, -32000);
    mixBack(negative, savedNegative, 255, 255);
    EXPECT_EQ(negative[1000], -32767);
}

TEST(FilterGraph, MixBackOfOneFrameUsesLevelZero)
{
    std::vector<int16_t> track = {1000, 1000};
    const std::vector<int16_t> saved = {512, 256};
    mixBack(track, saved, 256, 128);
    EXPECT_EQ(track[0], 512);
    EXPECT_EQ(track[1], 128);
}

TEST(FilterGraph, MixBackBetweenTheFadesAddsTheFlooredScaledCopyWithinTheLimits)
{
    const int32_t frames = 20000; // the track is at full level over frames 8417 to 11582
    const int16_t trackValues[] = {-20000, 20000, -3, 5, -32767, -32767};
    const int16_t savedValues[] = {-32001, 32000, 12345, -7, -1, -1};
    std::vector<int16_t> track(2 * frames), saved(2 * frames);
    for (size_t i = 0; i < track.size(); ++i)
    {
        track[i] = trackValues[i % 6];
        saved[i] = savedValues[i % 6];
    }
    const std::vector<int16_t> before = track;
    mixBack(track, saved, 254, 127);
    for (size_t i = 2 * 8417; i < 2 * size_t(frames - 8418); ++i)
    {
        const double scaled = std::floor(saved[i] * (i % 2 == 0 ? 254 : 127) / 256.0);
        ASSERT_EQ(track[i], int16_t(std::clamp(scaled + before[i], -32767.0, 32767.0)))
            << "sample " << i;
    }
}

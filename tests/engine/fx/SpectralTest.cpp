// The spectral engine over a whole stereo range: alignment, the vocoder's gain of 1.5, the
// untouched edges and what the effects do to real tones; and mix back, which lays the effect
// chain's dry copy under the processed range.
#include "engine/fx/Spectral.h"
#include "engine/fx/FilterGraph.h"

#include "FxTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace fxtest;
using wavorn::fx::mixBack;
using wavorn::fx::spectralEffect;

namespace
{

constexpr int32_t kEq = 2;
// A track of 60000 frames; the range [1000, 45000) writes frames 1001 ... 45000 - 3073.
constexpr int32_t kTrackFrames = 60000, kFirst = 1000, kLast = 45000;
constexpr int32_t kFirstWritten = kFirst + 1, kEndWritten = kLast - 3072;

std::vector<int16_t> chord()
{
    return tones(kTrackFrames, {{440.0, 6000.0}, {1234.5, 5000.0}, {3000.0, 3000.0}},
                 {{660.0, 9000.0}, {2500.0, 4000.0}}, 0.5);
}

// Runs the effect over [kFirst, kLast) and checks the frames outside the written ones kept.
std::vector<int16_t> run(const std::vector<int16_t>& in, int32_t operation, int32_t p1, int32_t p2,
                         int32_t p3)
{
    std::vector<int16_t> out = in;
    spectralEffect(operation, out, kFirst, kLast, p1, p2, p3);
    for (int32_t c = 0; c < 2; ++c)
    {
        EXPECT_EQ(largestDifference(out, in, c, 0, kFirstWritten, 1.0), 0);
        EXPECT_EQ(largestDifference(out, in, c, kEndWritten, kTrackFrames, 1.0), 0);
    }
    return out;
}

} // namespace

TEST(Spectral, EqAtEqualValuesReproducesTheInputAlignedAndScaledBy1Point5TimesVOver256)
{
    const std::vector<int16_t> in = chord();
    for (int32_t v : {0, 64, 170, 255})
    {
        const std::vector<int16_t> out = run(in, kEq, v, v, v);
        for (int32_t c = 0; c < 2; ++c)
            EXPECT_LE(largestDifference(out, in, c, kFirstWritten, kEndWritten, 1.5 * v / 256), 2)
                << v;
    }
}

TEST(Spectral, RangesOf3073FramesOrFewerReversedOrOutsideTheTrackAreLeftAlone)
{
    const std::vector<int16_t> in = chord();
    std::vector<int16_t> out = in;
    for (int32_t length : {0, 1, 3072, 3073})
        spectralEffect(kEq, out, kFirst, kFirst + length, 0, 0, 0);
    spectralEffect(kEq, out, kLast, kFirst, 0, 0, 0);
    spectralEffect(kEq, out, -5000, kLast, 0, 0, 0);
    spectralEffect(kEq, out, kFirst, kTrackFrames + 1, 0, 0, 0);
    EXPECT_EQ(out, in);
    spectralEffect(kEq, out, kFirst, kFirst + 3074, 0, 0, 0); // gain 0: frame F + 1 falls silent
    std::vector<int16_t> expected = in;
    expected[2 * (kFirst + 1)] = expected[2 * (kFirst + 1) + 1] = 0;
    EXPECT_EQ(out, expected);
}

TEST(Spectral, LoudResultsAreLimitedTo32767)
{
    const auto loud = tones(kTrackFrames, {{700.0, 32000.0}}, {{700.0, 32000.0}});
    const std::vector<int16_t> out = run(loud, kEq, 255, 255, 255); // about 1.5 x: clipped
    const auto [low, high] =
        std::minmax_element(out.begin() + 2 * kFirstWritten, out.begin() + 2 * kEndWritten);
    EXPECT_EQ(std::pair(*low, *high), std::pair(int16_t(-32767), int16_t(32767)));
}

TEST(MixBack, FadesTheTrackInAndOutOverTheDryCopyScaledByTheGains)
{
    // 1000 frames: up by 1/500 a frame, down from the middle; the copy at full level.
    std::vector<int16_t> track(2000, 10000);
    mixBack(track, std::vector<int16_t>(2000, -1000), 254, 0);
    const std::pair<int32_t, int32_t> leftAt[] = {{0, 0},       {250, 5000}, {499, 9980},
                                                  {500, 10000}, {750, 5000}, {999, 20}};
    for (const auto& [frame, level] : leftAt)
        EXPECT_NEAR(track[2 * size_t(frame)], level - 993, 1) << frame; // -1000 * 254 / 256
    EXPECT_NEAR(track[2 * 750 + 1], 5000, 1);
    // -1 * 254 / 256 rounds toward minus infinity; one frame has level 0.
    std::vector<int16_t> one = {500, 500};
    mixBack(one, std::vector<int16_t>{-1, 256}, 254, 128);
    EXPECT_EQ(one, (std::vector<int16_t>{-1, 128}));
    // Long ranges fade over at most 8417 frames; sums are limited.
    std::vector<int16_t> longTrack(40000, 1000);
    mixBack(longTrack, std::vector<int16_t>(40000, 0), 256, 256);
    EXPECT_LT(longTrack[2 * 8416], 1000);
    EXPECT_EQ(longTrack[2 * 8417], 1000);
    EXPECT_EQ(longTrack[2 * (20000 - 8418)], 1000);
    EXPECT_LT(longTrack[2 * (20000 - 8416)], 1000);
    for (const int16_t v : {int16_t(32000), int16_t(-32000)})
    {
        std::vector<int16_t> loud(2000, v);
        mixBack(loud, std::vector<int16_t>(2000, v), 255, 255);
        EXPECT_EQ(loud[1000], v > 0 ? 32767 : -32767);
    }
}

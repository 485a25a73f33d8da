// The spectral engine over a whole stereo range: alignment, the vocoder's gain of 1.5, the
// untouched edges, and what each effect does to real tones.
#include "engine/fx/Spectral.h"

#include "SpectralTestSignals.h"

#include <gtest/gtest.h>

#include <vector>

using namespace spectraltest;
using wavorn::fx::spectralEffect;

namespace
{

constexpr int32_t kPitch = 0, kEq = 2, kPerfectPitch = 3, kDigitize = 4, kBassBoost = 6;

// A track of 60000 frames with the range [1000, 45000) in the middle.
constexpr int32_t kTrackFrames = 60000;
constexpr int32_t kFirst = 1000;
constexpr int32_t kLast = 45000;
constexpr int32_t kFirstWritten = kFirst + 1;
constexpr int32_t kLastWritten = kLast - 3073; // inclusive

std::vector<int16_t> chord()
{
    return stereoTones(kTrackFrames, {{440.0, 6000.0}, {1234.5, 5000.0, 1.0}, {3000.0, 3000.0}},
                       {{660.0, 9000.0, 0.5}, {2500.0, 4000.0}});
}

void expectUnchangedOutsideTheWrittenFrames(const std::vector<int16_t>& out,
                                            const std::vector<int16_t>& in)
{
    for (int32_t f = 0; f < kTrackFrames; ++f)
    {
        if (f >= kFirstWritten && f <= kLastWritten)
            continue;
        ASSERT_EQ(out[2 * size_t(f)], in[2 * size_t(f)]) << "left of frame " << f;
        ASSERT_EQ(out[2 * size_t(f) + 1], in[2 * size_t(f) + 1]) << "right of frame " << f;
    }
}

} // namespace

class EqualEq : public ::testing::TestWithParam<int32_t>
{
};

TEST_P(EqualEq, ReproducesTheInputAlignedAndScaledByOneAndAHalfTimesVOver256)
{
    const int32_t v = GetParam();
    const std::vector<int16_t> in = chord();
    std::vector<int16_t> out = in;
    spectralEffect(kEq, out, kFirst, kLast, v, v, v);
    const double scale = 1.5 * v / 256.0;
    EXPECT_LE(largestDifference(out, in, 0, kFirstWritten, kLastWritten + 1, scale), 2);
    EXPECT_LE(largestDifference(out, in, 1, kFirstWritten, kLastWritten + 1, scale), 2);
    expectUnchangedOutsideTheWrittenFrames(out, in);
}

INSTANTIATE_TEST_SUITE_P(Spectral, EqualEq, ::testing::Values(0, 64, 170, 255));

TEST(Spectral, ConstantOffsetIsScaledLikeAnyOtherSignal)
{
    std::vector<int16_t> in(2 * size_t(kTrackFrames), 1000);
    std::vector<int16_t> out = in;
    spectralEffect(kEq, out, kFirst, kLast, 128, 128, 128);
    EXPECT_LE(largestDifference(out, in, 0, kFirstWritten, kLastWritten + 1, 0.75), 2);
    EXPECT_LE(largestDifference(out, in, 1, kFirstWritten, kLastWritten + 1, 0.75), 2);
}

TEST(Spectral, EqOutputIsNotDelayedByAHop)
{
    // A lone click is followed by silence: its resynthesis must land on the click's frame.
    std::vector<int16_t> in(2 * size_t(kTrackFrames), 0);
    const int32_t click = 20000;
    in[2 * size_t(click)] = 20000;
    in[2 * size_t(click) + 1] = -20000;
    std::vector<int16_t> out = in;
    spectralEffect(kEq, out, kFirst, kLast, 256 - 1, 255, 255);
    const int32_t expected = int32_t(1.5 * 255 / 256 * 20000);
    EXPECT_NEAR(out[2 * size_t(click)], expected, 80);
    EXPECT_NEAR(out[2 * size_t(click) + 1], -expected, 80);
    EXPECT_LT(std::abs(out[2 * size_t(click + 1024)]), 80);
    EXPECT_LT(std::abs(out[2 * size_t(click - 1024)]), 80);
}

TEST(Spectral, RangeOf3073FramesOrFewerIsUnchanged)
{
    const std::vector<int16_t> in = chord();
    for (int32_t length : {0, 1, 1024, 3072, 3073})
    {
        std::vector<int16_t> out = in;
        spectralEffect(kEq, out, kFirst, kFirst + length, 0, 0, 0);
        ASSERT_EQ(out, in) << "length " << length;
    }
}

TEST(Spectral, RangeOf3074FramesWritesExactlyFramePlusOne)
{
    const std::vector<int16_t> in = chord();
    std::vector<int16_t> out = in;
    spectralEffect(kEq, out, kFirst, kFirst + 3074, 0, 0, 0); // gain 0: written frames fall silent
    std::vector<int16_t> expected = in;
    expected[2 * size_t(kFirst + 1)] = 0;
    expected[2 * size_t(kFirst + 1) + 1] = 0;
    EXPECT_EQ(out, expected);
}

TEST(Spectral, ReversedOrOutsideRangesAreLeftAlone)
{
    const std::vector<int16_t> in = chord();
    std::vector<int16_t> out = in;
    spectralEffect(kEq, out, kLast, kFirst, 0, 0, 0);
    spectralEffect(kEq, out, -5000, kLast, 0, 0, 0);
    spectralEffect(kEq, out, kFirst, kTrackFrames + 1, 0, 0, 0);
    EXPECT_EQ(out, in);
}

TEST(Spectral, UnknownOperationSilencesTheWrittenFramesOnly)
{
    const std::vector<int16_t> in = chord();
    for (int32_t operation : {7, 230})
    {
        std::vector<int16_t> out = in;
        spectralEffect(operation, out, kFirst, kLast, 128, 128, 128);
        for (int32_t f = kFirstWritten; f <= kLastWritten; ++f)
        {
            ASSERT_EQ(out[2 * size_t(f)], 0) << "frame " << f;
            ASSERT_EQ(out[2 * size_t(f) + 1], 0) << "frame " << f;
        }
        expectUnchangedOutsideTheWrittenFrames(out, in);
    }
}

TEST(Spectral, PitchHalfTurns1000HzInto500Hz)
{
    const std::vector<int16_t> in =
        stereoTones(kTrackFrames, {{1000.0, 10000.0}}, {{1000.0, 10000.0, 1.0}});
    std::vector<int16_t> out = in;
    spectralEffect(kPitch, out, kFirst, kLast, 0, 0, 0);
    for (int32_t channel : {0, 1})
    {
        // Measured over the written frames, away from the first frames' onset.
        const int32_t from = kFirstWritten + 4096;
        const int32_t to = kLastWritten;
        EXPECT_NEAR(zeroCrossingHz(out, channel, from, to), 500.0, 1.0);
        const double at500 = toneAmplitude(out, channel, from, to, 500.0);
        const double at1000 = toneAmplitude(out, channel, from, to, 1000.0);
        EXPECT_GT(at500, 5000.0);
        EXPECT_LT(at1000, at500 / 100.0);
    }
    // The written frames start with the shifted tone already present at frame F + 1 ... F + 4096.
    EXPECT_GT(toneAmplitude(out, 0, kFirstWritten, kFirstWritten + 4096, 500.0), 2000.0);
}

TEST(Spectral, PerfectPitchWithKey2LeavesThePitchUnchanged)
{
    const std::vector<int16_t> in =
        stereoTones(kTrackFrames, {{1000.0, 10000.0}}, {{440.0, 8000.0}});
    std::vector<int16_t> out = in;
    spectralEffect(kPerfectPitch, out, kFirst, kLast, 128, 2, 0);
    EXPECT_NEAR(zeroCrossingHz(out, 0, kFirstWritten, kLastWritten), 1000.0, 0.5);
    EXPECT_NEAR(zeroCrossingHz(out, 1, kFirstWritten, kLastWritten), 440.0, 0.5);
    // Ratio 1 keeps every bin: the vocoder's own gain of 1.5 is all that changes.
    EXPECT_LE(largestDifference(out, in, 0, kFirstWritten, kLastWritten + 1, 1.5), 3);
    EXPECT_LE(largestDifference(out, in, 1, kFirstWritten, kLastWritten + 1, 1.5), 3);
}

TEST(Spectral, DigitizeWithZeroSilencesTheWrittenFrames)
{
    const std::vector<int16_t> in = chord();
    std::vector<int16_t> out = in;
    spectralEffect(kDigitize, out, kFirst, kLast, 0, 0, 0);
    for (int32_t f = kFirstWritten; f <= kLastWritten; ++f)
        ASSERT_EQ(out[2 * size_t(f)], 0) << "frame " << f;
    expectUnchangedOutsideTheWrittenFrames(out, in);
}

TEST(Spectral, DigitizeWithTenKeepsOnlyTheBandAroundThePeak)
{
    const std::vector<int16_t> in = stereoTones(kTrackFrames, {{1000.0, 12000.0}, {3000.0, 6000.0}},
                                                {{1000.0, 12000.0}, {1200.0, 6000.0}});
    std::vector<int16_t> out = in;
    spectralEffect(kDigitize, out, kFirst, kLast, 10, 0, 0);
    const int32_t from = kFirstWritten + 4096;
    const int32_t to = kLastWritten;
    // 1000 Hz is the peak; 3000 Hz lies 186 bins away and goes, 1200 Hz (19 bins away) too.
    EXPECT_NEAR(toneAmplitude(out, 0, from, to, 1000.0), 1.5 * 12000.0, 300.0);
    EXPECT_LT(toneAmplitude(out, 0, from, to, 3000.0), 30.0);
    EXPECT_LT(toneAmplitude(out, 1, from, to, 1200.0), 100.0);
    EXPECT_GT(toneAmplitude(out, 1, from, to, 1000.0), 16000.0);
}

TEST(Spectral, BassBoostRaisesTheLowPartialAgainstTheHighOne)
{
    const std::vector<int16_t> in =
        stereoTones(kTrackFrames, {{500.0, 3000.0}, {1000.0, 9000.0}}, {});
    std::vector<int16_t> out = in;
    spectralEffect(kBassBoost, out, kFirst, kLast, 255, 0, 0);
    const int32_t from = kFirstWritten + 4096;
    const int32_t to = kLastWritten;
    const double before =
        toneAmplitude(in, 0, from, to, 500.0) / toneAmplitude(in, 0, from, to, 1000.0);
    const double after =
        toneAmplitude(out, 0, from, to, 500.0) / toneAmplitude(out, 0, from, to, 1000.0);
    EXPECT_GT(after, 2.0 * before);
}

TEST(Spectral, BassBoostAtZeroIsTheVocoderAlone)
{
    const std::vector<int16_t> in = chord();
    std::vector<int16_t> out = in;
    spectralEffect(kBassBoost, out, kFirst, kLast, 0, 0, 0);
    EXPECT_LE(largestDifference(out, in, 0, kFirstWritten, kLastWritten + 1, 1.5), 3);
}

TEST(Spectral, ChannelsArePassedSeparately)
{
    // Only the right channel carries sound; the left stays silent through any effect.
    const std::vector<int16_t> in = stereoTones(kTrackFrames, {}, {{800.0, 10000.0}});
    for (int32_t operation : {0, 1, 2, 3, 4, 5, 6})
    {
        std::vector<int16_t> out = in;
        spectralEffect(operation, out, kFirst, kLast, 200, 200, 200);
        for (int32_t f = 0; f < kTrackFrames; ++f)
            ASSERT_EQ(out[2 * size_t(f)], 0) << "operation " << operation << " frame " << f;
        EXPECT_GT(toneAmplitude(out, 1, kFirstWritten + 4096, kLastWritten, 800.0) +
                      toneAmplitude(out, 1, kFirstWritten + 4096, kLastWritten, 1600.0) +
                      toneAmplitude(out, 1, kFirstWritten + 4096, kLastWritten, 1400.0),
                  1000.0)
            << "operation " << operation;
    }
}

TEST(Spectral, LoudInputIsLimitedTo32767)
{
    const std::vector<int16_t> in =
        stereoTones(kTrackFrames, {{700.0, 32000.0}}, {{700.0, 32000.0}});
    std::vector<int16_t> out = in;
    spectralEffect(kEq, out, kFirst, kLast, 255, 255, 255); // about 1.5 x: clipped
    int32_t largest = 0;
    int32_t smallest = 0;
    for (int32_t f = kFirstWritten; f <= kLastWritten; ++f)
    {
        largest = std::max<int32_t>(largest, out[2 * size_t(f)]);
        smallest = std::min<int32_t>(smallest, out[2 * size_t(f)]);
    }
    EXPECT_EQ(largest, 32767);
    EXPECT_EQ(smallest, -32767);
}

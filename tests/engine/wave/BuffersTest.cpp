// Gain arithmetic: the track table's gains, gain copy and gain mix, interpolated reads.
#include "engine/wave/Buffers.h"
#include "engine/api/Engine.h"
#include "engine/api/Lifecycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace wavorn;

namespace
{

struct Gains
{
    int32_t left, right;
    bool operator==(const Gains&) const = default;
};

Gains gainsFor(int32_t volume, int32_t pan)
{
    setTrackAttr(5, volume, pan);
    return {engine().tracks[5].gainLeft, engine().tracks[5].gainRight};
}

TEST(TrackGains, FollowVolumeAndTheAsymmetricPanLaw)
{
    EXPECT_EQ(gainsFor(255, 128), (Gains{254, 254}));
    EXPECT_EQ(gainsFor(255, 0), (Gains{254, 127}));
    EXPECT_EQ(gainsFor(255, 255), (Gains{137, 254}));
    EXPECT_EQ(gainsFor(255, 127), (Gains{254, 254}));
    EXPECT_EQ(gainsFor(255, 138), (Gains{254, 254}));
    EXPECT_EQ(gainsFor(0, 128), (Gains{0, 0}));
    EXPECT_EQ(engine().tracks[5].panLeft, 255);
    EXPECT_EQ(engine().tracks[5].panRight, 255);
}

TEST(TrackGains, ExtremeVolumesStayWithinSixteenBits)
{
    EXPECT_EQ(gainsFor(INT32_MAX, 128), (Gains{32767, 32767}));
    EXPECT_EQ(gainsFor(INT32_MIN, 128), (Gains{-32767, -32767}));
    EXPECT_EQ(gainsFor(100, INT32_MIN), (Gains{99, -32767}));
}

TEST(TrackGains, SlotsOutsideTheTableAreRefused)
{
    EXPECT_EQ(setTrackAttr(32, 255, 128), -1);
    EXPECT_EQ(setTrackAttr(255, 255, 128), -1);
    EXPECT_EQ(setTrackAttr(-1, 255, 128), -1);
    EXPECT_EQ(setTrackAttr(256 + 3, 200, 128), 0); // low 8 bits name slot 3
    EXPECT_EQ(engine().tracks[3].volume, 200);
}

TEST(GainCopy, RoundsTowardMinusInfinity)
{
    const int16_t src[2] = {-1, 1};
    int16_t dst[2] = {5, 5};
    cpyBufToBuf(src, dst, 0, 1, 0, 254, 254, false);
    EXPECT_EQ(dst[0], -1);
    EXPECT_EQ(dst[1], 0);
}

TEST(GainCopy, FullScaleAtVolume255LandsAs32511)
{
    const int16_t src[2] = {32767, -32767};
    int16_t dst[2] = {};
    cpyBufToBuf(src, dst, 0, 1, 0, 254, 254, false);
    EXPECT_EQ(dst[0], 32511);
    EXPECT_EQ(dst[1], -32512);
}

TEST(GainMix, ClampsSymmetricallyAt32767)
{
    const int16_t src[4] = {30000, -30000, -32768, 100};
    int16_t dst[4] = {30000, -30000, -32768, 50};
    cpyBufToBuf(src, dst, 0, 2, 0, 254, 254, true);
    EXPECT_EQ(dst[0], 32767);
    EXPECT_EQ(dst[1], -32767);
    EXPECT_EQ(dst[2], -32767);
    EXPECT_EQ(dst[3], 50 + 99);
}

TEST(GainMix, UsesEachChannelsOwnGainAndTheDestinationOffset)
{
    const int16_t src[6] = {0, 0, 256, 256, 512, 512};
    int16_t dst[6] = {1, 1, 1, 1, 1, 1};
    cpyBufToBuf(src, dst, 1, 3, 0, 128, 64, true);
    EXPECT_EQ(dst[0], 1 + 128);
    EXPECT_EQ(dst[1], 1 + 64);
    EXPECT_EQ(dst[2], 1 + 256);
    EXPECT_EQ(dst[3], 1 + 128);
    EXPECT_EQ(dst[4], 1);
}

TEST(GainMix, EveryGainAndSampleFollowsTheFormulaExactly)
{
    // The fast paths must agree with clamp((s * g + d * 256) >> 8) for every gain the track
    // table can hold, including odd lengths that leave a tail.
    std::vector<int16_t> s, d;
    uint32_t x = 99;
    for (int i = 0; i < 2 * 37; ++i)
    {
        s.push_back(int16_t((x = x * 1664525u + 1013904223u) >> 16));
        d.push_back(int16_t((x = x * 1664525u + 1013904223u) >> 16));
    }
    s[0] = -32768, s[1] = 32767, d[2] = -32768, d[3] = 32767;
    for (int32_t g : {-32767, -256, -255, -1, 0, 1, 127, 254, 255, 256, 257, 1000, 32767})
        for (bool merge : {false, true})
        {
            std::vector<int16_t> got = d;
            cpyBufToBuf(s.data(), got.data(), 0, 37, 0, g, 254 - g, merge);
            for (size_t i = 0; i < s.size(); ++i)
            {
                const int32_t gain = i % 2 ? 254 - g : g;
                const int32_t want =
                    std::clamp((s[i] * gain + (merge ? d[i] * 256 : 0)) >> 8, -32767, 32767);
                ASSERT_EQ(got[i], want) << "gain " << g << " merge " << merge << " at " << i;
            }
        }
}

TEST(DeleteBuf, SilencesOnlyTheRange)
{
    int16_t b[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    deleteBuf(b, 1, 3);
    const int16_t expected[8] = {1, 2, 0, 0, 0, 0, 7, 8};
    EXPECT_TRUE(std::equal(b, b + 8, expected));
}

TEST(InterpSample, ReadsLinearlyBetweenFramesAndSilenceOutside)
{
    Engine& e = engine();
    e.trackLen = 4;
    e.trackBuf = allocateFrames(4);
    const int16_t s[8] = {0, 100, 1000, 200, 2000, 300, 3000, 400};
    std::copy(s, s + 8, e.trackBuf.get());
    EXPECT_DOUBLE_EQ(interpSample(0, 4, 0.25, 0), 1000.0);
    EXPECT_NEAR(interpSample(0, 2, 0.75, 0), 1500.0, 1e-3);
    EXPECT_NEAR(interpSample(0, 2, 0.75, 1), 250.0, 1e-3);
    EXPECT_NEAR(interpSample(3, 4, 0.5, 0), 1500.0, 1e-3); // frame 4 lies past the end
    e.trackBuf.reset();
    e.trackLen = 0;
}

TEST(ClampRange, KeepsRangesInsideTheBufferAndEmptiesReversedOnes)
{
    EXPECT_EQ(clampRange(-5, 10, 100).first, 0);
    EXPECT_EQ(clampRange(-5, 10, 100).last, 10);
    EXPECT_EQ(clampRange(50, 500, 100).last, 100);
    EXPECT_EQ(clampRange(60, 20, 100).frames(), 0);
    EXPECT_EQ(clampRange(INT32_MIN, INT32_MAX, 100).frames(), 100);
    EXPECT_EQ(clampRange(200, 300, 100).frames(), 0);
}

} // namespace

// FilterGraph through libwavorn: the effect chain's copy-out, mix-back, swap, copy-back and
// audition on the virtual devices, with ranges clamped to the buffers.
#include "tests/engine/ExportFixture.h"

#include <chrono>
#include <climits>
#include <cmath>
#include <thread>

using namespace testwave;

namespace
{

class FilterGraphExport : public ExportFixture
{
protected:
    static constexpr int32_t kFrames = 20000;

    // Opens the engine with one current track of kFrames frames at (volume, pan), without
    // loading it, and fills trackBuf with `samples` through TrackWrite.
    void openWith(const std::vector<int16_t>& samples, int32_t volume = 255, int32_t pan = 128)
    {
        openTracks(kFrames, {std::vector<int16_t>(2 * kFrames, 0)}, {{volume, pan}});
        ASSERT_EQ(SetCurTrack(0, 0), 0);
        write(samples);
    }
    static void write(const std::vector<int16_t>& samples)
    {
        for (size_t i = 0; i < samples.size(); ++i)
            ASSERT_EQ(TrackWrite(int32_t(i), samples[i]), 0);
    }
    static std::vector<int16_t> read()
    {
        std::vector<int16_t> s(2 * size_t(kFrames));
        for (int32_t i = 0; i < 2 * kFrames; ++i)
            s[size_t(i)] = int16_t(TrackRead(i));
        return s;
    }
    static bool waitWhilePlaying()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (IsPlaying())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
};

} // namespace

TEST_F(FilterGraphExport, CopyOutSwapAndCopyBackLeaveTheTrackAsItBegan)
{
    const std::vector<int16_t> original = ramp(kFrames, 3);
    openWith(original);
    ASSERT_EQ(FilterGraph(1, 5000, 9000), 0); // playBuf keeps the dry copy
    std::vector<int16_t> processed = original;
    for (int32_t f = 5000; f < 9000; ++f)
        processed[2 * size_t(f)] = int16_t(-processed[2 * size_t(f)] / 2);
    write(processed);

    ASSERT_EQ(FilterGraph(3, 5000, 9000), 0); // the dry copy back in the track
    EXPECT_EQ(read(), original);
    ASSERT_EQ(FilterGraph(3, 5000, 9000), 0); // and the processed range again
    EXPECT_EQ(read(), processed);
    ASSERT_EQ(FilterGraph(4, 5000, 9000), 0); // playBuf now holds the dry copy once more
    EXPECT_EQ(read(), original);
}

TEST_F(FilterGraphExport, MixBackOver1000FramesWithTheTrackGains)
{
    const std::vector<int16_t> dry(2 * kFrames, 4000);
    openWith(dry, 255, 128); // gains 254 and 254
    ASSERT_EQ(FilterGraph(1, 2000, 3000), 0);
    std::vector<int16_t> wet = dry;
    for (int32_t f = 2000; f < 3000; ++f)
        wet[2 * size_t(f)] = wet[2 * size_t(f) + 1] = 10000;
    write(wet);
    ASSERT_EQ(FilterGraph(2, 2000, 3000), 0);
    const std::vector<int16_t> out = read();
    const int32_t dryScaled = 4000 * 254 / 256;       // 3968
    EXPECT_EQ(out[2 * 2000], dryScaled);              // fade-in starts at level 0
    EXPECT_NEAR(out[2 * 2250], dryScaled + 5000, 1);  // half way up
    EXPECT_NEAR(out[2 * 2500], dryScaled + 10000, 1); // the fades meet in the middle
    EXPECT_NEAR(out[2 * 2750 + 1], dryScaled + 5000, 1);
    EXPECT_NEAR(out[2 * 2999], dryScaled + 20, 1);
    EXPECT_EQ(out[2 * 1999], 4000); // outside the range nothing changes
    EXPECT_EQ(out[2 * 3000], 4000);
}

TEST_F(FilterGraphExport, MixBackWithTrackVolumeZeroLeavesOnlyTheFadedTrack)
{
    const std::vector<int16_t> dry(2 * kFrames, 30000);
    openWith(dry, 0, 128);
    ASSERT_EQ(FilterGraph(1, 0, 1000), 0);
    std::vector<int16_t> wet = dry;
    for (int32_t f = 0; f < 1000; ++f)
        wet[2 * size_t(f)] = wet[2 * size_t(f) + 1] = -6000;
    write(wet);
    ASSERT_EQ(FilterGraph(2, 0, 1000), 0);
    const std::vector<int16_t> out = read();
    for (int32_t f = 0; f < 1000; ++f)
    {
        const double level = f < 500 ? f * 0.002 : 1.0 - (f - 500) * 0.002;
        ASSERT_NEAR(out[2 * size_t(f)], std::trunc(-6000 * level), 1.0) << "frame " << f;
    }
}

TEST_F(FilterGraphExport, RangesAreClampedToTheBuffers)
{
    const std::vector<int16_t> original = ramp(kFrames, 1);
    openWith(original);
    // None of these may reach outside trackBuf or playBuf (the sanitizers watch).
    for (int32_t op = 1; op <= 4; ++op)
    {
        EXPECT_EQ(FilterGraph(op, INT_MIN, INT_MAX), 0);
        EXPECT_EQ(FilterGraph(op, -100, kFrames + 100), 0);
        EXPECT_EQ(FilterGraph(op, kFrames - 10, INT_MAX), 0);
        EXPECT_EQ(FilterGraph(op, INT_MAX, INT_MIN), 0);
        EXPECT_EQ(FilterGraph(op, 500, 100), 0);
    }
    // Copy out of the clamped whole track and copy back: the track is unchanged.
    write(original);
    ASSERT_EQ(FilterGraph(1, -5, kFrames + 5), 0);
    ASSERT_EQ(FilterGraph(4, INT_MIN, INT_MAX), 0);
    EXPECT_EQ(read(), original);
}

TEST_F(FilterGraphExport, OtherOperationNumbersDoNothing)
{
    const std::vector<int16_t> original = ramp(kFrames, 9);
    openWith(original);
    for (int32_t op : {0, 7, 255, -1, INT_MIN})
        EXPECT_EQ(FilterGraph(op, 0, kFrames), 0);
    EXPECT_EQ(read(), original);
    EXPECT_EQ(IsPlaying(), 0);
}

TEST_F(FilterGraphExport, PlayAuditionsPlayBufAndStopEndsIt)
{
    setenv("VUMO_VIRTUAL_OUTPUT", dir.file("heard.wav").c_str(), 1);
    const std::vector<int16_t> original = ramp(kFrames, 100);
    openWith(original);
    ASSERT_EQ(FilterGraph(1, 10000, 12000), 0);
    ASSERT_EQ(FilterGraph(5, 0, 0), 0);
    EXPECT_EQ(IsPlaying(), 1);
    ASSERT_TRUE(waitWhilePlaying());
    EXPECT_EQ(FilterGraph(6, 0, 0), 0);
    EXPECT_EQ(IsPlaying(), 0);
    CloseLib(); // brings the heard file's header up to date
    const std::vector<int16_t> heard = readSamples(dir.file("heard.wav"));
    ASSERT_GE(heard.size(), 2 * size_t(2000));
    for (size_t i = 0; i < 2 * 2000; ++i)
        ASSERT_EQ(heard[i], original[2 * 10000 + i]) << "sample " << i;
}

TEST_F(FilterGraphExport, StopEndsALongAuditionAtOnce)
{
    openWith(ramp(kFrames, 1));
    setenv("VUMO_VIRTUAL_SPEED", "1", 1); // real time: the block lasts longer than the test
    ASSERT_EQ(FilterGraph(5, 0, 0), 0);
    EXPECT_EQ(IsPlaying(), 1);
    EXPECT_EQ(FilterGraph(6, 0, 0), 0);
    EXPECT_EQ(IsPlaying(), 0);
    // The transport still works afterwards.
    EXPECT_EQ(PlayTracks(0, 100), 0);
    EXPECT_EQ(IsPlaying(), 1);
    StopTracks(0, 100, 0);
    EXPECT_EQ(IsPlaying(), 0);
}

TEST_F(FilterGraphExport, StopWithoutPlayAndPlayTwiceAreHarmless)
{
    const std::vector<int16_t> original = ramp(kFrames, 4);
    openWith(original);
    FilterGraph(6, 0, 0);
    EXPECT_EQ(IsPlaying(), 0);
    ASSERT_EQ(FilterGraph(5, 0, 0), 0);
    FilterGraph(5, 0, 0); // the block is already playing: refused by the device, no harm
    FilterGraph(6, 0, 0);
    EXPECT_EQ(IsPlaying(), 0);
    EXPECT_EQ(read(), original);
}

TEST(FilterGraphClosed, RefusesWhenTheEngineIsNotOpen)
{
    EXPECT_EQ(FilterGraph(1, 0, 100), -1);
    EXPECT_EQ(FilterGraph(5, 0, 0), -1);
}

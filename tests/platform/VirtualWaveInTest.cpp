// The virtual wave input on a hand-stepped clock: silence, a wave file, loopback, a full block
// and reset.
#include "platform/virtual/VirtualWaveIn.h"
#include "PlatformTestSupport.h"
#include "platform/virtual/SteppedClock.h"
#include "platform/virtual/VirtualWaveOut.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;
using platform::test::ScopedEnv;
using Samples = std::vector<int16_t>;

namespace
{

constexpr int16_t kUntouched = 0x1234;

class VirtualWaveInTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(in.open(WaveFormat{}, [this] { ++doneCount; }), kMmNoError);
    }

    // Hands the first `count` frames of `store` to the device; start() then begins input.
    void hand(uint32_t count)
    {
        ASSERT_EQ(in.prepare({store.data(), size_t(count) * 2}), kMmNoError);
        ASSERT_EQ(in.addBuffer(), kMmNoError);
    }
    int32_t capture(uint32_t count)
    {
        hand(count);
        return in.start();
    }

    uint32_t position()
    {
        uint32_t frames = 12345;
        EXPECT_EQ(in.positionFrames(frames), kMmNoError);
        return frames;
    }

    Samples frames(size_t first, size_t count) const
    {
        return {store.begin() + std::ptrdiff_t(first * 2),
                store.begin() + std::ptrdiff_t((first + count) * 2)};
    }
    static Samples silence(size_t count) { return Samples(count * 2, 0); }
    static Samples untouched(size_t count) { return Samples(count * 2, kUntouched); }

    testwave::TempDir dir;
    ScopedEnv noOutputFile{"VUMO_VIRTUAL_OUTPUT", std::nullopt};
    ScopedEnv input{"VUMO_VIRTUAL_INPUT", std::nullopt};
    std::shared_ptr<SteppedClock> clock = std::make_shared<SteppedClock>();
    int doneCount = 0;
    Samples store = untouched(10000);
    VirtualWaveIn in{clock};
};

} // namespace

TEST_F(VirtualWaveInTest, CapturesTheFramesTheWaveFileHoldsAtStartThenSilenceOrFailsWithoutIt)
{
    const std::string path = dir.file("take.wav");
    testwave::writeStereo(path, testwave::ramp(5));
    ScopedEnv env("VUMO_VIRTUAL_INPUT", path);
    hand(1000);
    const Samples take = testwave::ramp(700, 40);
    testwave::writeStereo(path, take); // replaced before start: the device reads it then
    ASSERT_EQ(in.start(), kMmNoError);
    clock->advance(900);
    EXPECT_EQ(frames(0, 700), take);
    EXPECT_EQ(frames(700, 200), silence(200));
    EXPECT_EQ(frames(900, 1), untouched(1));
    // An input file that cannot be read fails start and captures nothing.
    ASSERT_EQ(in.reset(), kMmNoError);
    std::fill(store.begin(), store.end(), kUntouched);
    ScopedEnv absent("VUMO_VIRTUAL_INPUT", dir.file("absent.wav"));
    EXPECT_EQ(capture(100), kMmError);
    clock->advance(100);
    EXPECT_EQ(position(), 0u);
    EXPECT_EQ(frames(0, 100), untouched(100));
}

TEST_F(VirtualWaveInTest, CapturesSilenceWithoutAnInputAndStopsFillingWhenTheBlockIsFull)
{
    ASSERT_EQ(capture(3000), kMmNoError);
    clock->advance(1500);
    EXPECT_EQ(position(), 1500u);
    EXPECT_EQ(frames(1500, 10), untouched(10));
    clock->advance(1499);
    EXPECT_EQ(doneCount, 0);
    clock->advance(5000);
    EXPECT_EQ(doneCount, 1);
    EXPECT_EQ(position(), 3000u);
    EXPECT_EQ(frames(0, 3000), silence(3000));
    EXPECT_EQ(frames(3000, 1000), untouched(1000));
    EXPECT_EQ(in.close(), kMmNoError); // nothing is with the device any more
}

TEST_F(VirtualWaveInTest, ResetStopsCaptureAtOnce)
{
    ASSERT_EQ(capture(5000), kMmNoError);
    clock->advance(200);
    EXPECT_EQ(in.reset(), kMmNoError);
    EXPECT_EQ(doneCount, 1);
    EXPECT_EQ(position(), 0u);
    clock->advance(2000);
    EXPECT_EQ(frames(200, 100), untouched(100));
    EXPECT_EQ(doneCount, 1);
}

TEST_F(VirtualWaveInTest, InputStartedBeforeTheBlockIsAddedCapturesOnceItIs)
{
    ASSERT_EQ(in.prepare({store.data(), 200}), kMmNoError);
    ASSERT_EQ(in.start(), kMmNoError);
    clock->advance(50);
    EXPECT_EQ(position(), 0u);
    ASSERT_EQ(in.addBuffer(), kMmNoError);
    clock->advance(30);
    EXPECT_EQ(position(), 30u);
    EXPECT_EQ(in.reset(), kMmNoError);
}

TEST_F(VirtualWaveInTest, ResultsFollowTheStateOfTheBlock)
{
    EXPECT_EQ(in.open(WaveFormat{}, {}), kMmAllocated);
    EXPECT_EQ(in.addBuffer(), kWaveUnprepared);
    hand(100);
    EXPECT_EQ(in.unprepare(), kWaveStillPlaying);
    EXPECT_EQ(in.close(), kWaveStillPlaying);
    ASSERT_EQ(in.start(), kMmNoError);
    EXPECT_EQ(in.close(), kWaveStillPlaying);
    EXPECT_EQ(in.reset(), kMmNoError);
    EXPECT_EQ(in.unprepare(), kMmNoError);
    EXPECT_EQ(in.close(), kMmNoError);
    uint32_t count = 7;
    EXPECT_EQ(in.prepare(store), kMmInvalidHandle);
    EXPECT_EQ(in.addBuffer(), kMmInvalidHandle);
    EXPECT_EQ(in.start(), kMmInvalidHandle);
    EXPECT_EQ(in.positionFrames(count), kMmInvalidHandle);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(in.reset(), kMmInvalidHandle);
    EXPECT_EQ(in.close(), kMmInvalidHandle);
    EXPECT_EQ(in.open(WaveFormat{48000, 2, 16}, {}), kWaveBadFormat);
}

TEST_F(VirtualWaveInTest, LoopbackCapturesWhatTheOutputPlaysFromWhenItStarts)
{
    ScopedEnv loopback("VUMO_VIRTUAL_INPUT", "loopback");
    VirtualWaveOut out(clock);
    ASSERT_EQ(out.open(WaveFormat{}, {}), kMmNoError);
    const Samples played = testwave::ramp(3000, -1500);
    clock->advance(777); // the clock's origin does not matter
    ASSERT_EQ(capture(3000), kMmNoError);
    clock->advance(500);
    ASSERT_EQ(out.prepare(played), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(2000);
    ASSERT_EQ(out.reset(), kMmNoError);
    clock->advance(500);
    EXPECT_EQ(frames(0, 500), silence(500));
    EXPECT_EQ(frames(500, 2000), Samples(played.begin(), played.begin() + 4000));
    EXPECT_EQ(frames(2500, 500), silence(500)) << "silent after the output is reset";
    EXPECT_EQ(doneCount, 1);
}

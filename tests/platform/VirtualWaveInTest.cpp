// The virtual wave input on a hand-stepped clock: silence, a wave file, loopback, a full block
// and reset.
#include "platform/virtual/VirtualWaveIn.h"
#include "PlatformTestSupport.h"
#include "platform/virtual/SteppedClock.h"
#include "platform/virtual/VirtualWaveOut.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;
using namespace platform::test;

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

    // Hands the first `frames` frames of `store` to the device and starts input.
    int32_t capture(uint32_t frames)
    {
        EXPECT_EQ(in.prepare({store.data(), size_t(frames) * 2}), kMmNoError);
        EXPECT_EQ(in.addBuffer(), kMmNoError);
        return in.start();
    }

    uint32_t position()
    {
        uint32_t frames = 12345;
        EXPECT_EQ(in.positionFrames(frames), kMmNoError);
        return frames;
    }

    std::vector<int16_t> frames(size_t first, size_t count) const
    {
        return {store.begin() + std::ptrdiff_t(first * 2),
                store.begin() + std::ptrdiff_t((first + count) * 2)};
    }

    ScopedEnv noOutputFile{"VUMO_VIRTUAL_OUTPUT", std::nullopt};
    ScopedEnv silence{"VUMO_VIRTUAL_INPUT", std::nullopt};
    std::shared_ptr<SteppedClock> clock = std::make_shared<SteppedClock>();
    int doneCount = 0;
    std::vector<int16_t> store = std::vector<int16_t>(20000, kUntouched); // 10000 frames
    VirtualWaveIn in{clock};
};

} // namespace

TEST_F(VirtualWaveInTest, CapturesSilenceWhenNoInputIsNamed)
{
    ASSERT_EQ(capture(4000), kMmNoError);
    clock->advance(1500);
    EXPECT_EQ(position(), 1500u);
    EXPECT_EQ(frames(0, 1500), std::vector<int16_t>(3000, 0));
    EXPECT_EQ(frames(1500, 10), std::vector<int16_t>(20, kUntouched));
}

TEST_F(VirtualWaveInTest, CapturesTheFramesOfAWaveFileThenSilence)
{
    const std::string path = scratchPath("take.wav");
    const std::vector<int16_t> take = rampFrames(700, 40);
    writeBytes(path, waveImage(take));
    ScopedEnv env("VUMO_VIRTUAL_INPUT", path);
    ASSERT_EQ(capture(1000), kMmNoError);
    clock->advance(900);
    EXPECT_EQ(frames(0, 700), take);
    EXPECT_EQ(frames(700, 200), std::vector<int16_t>(400, 0));
    EXPECT_EQ(frames(900, 1), std::vector<int16_t>(2, kUntouched));
}

TEST_F(VirtualWaveInTest, ReadsTheFileWhenInputStarts)
{
    const std::string path = scratchPath("later.wav");
    writeBytes(path, waveImage(rampFrames(5, 1)));
    ScopedEnv env("VUMO_VIRTUAL_INPUT", path);
    ASSERT_EQ(in.prepare({store.data(), 10}), kMmNoError);
    ASSERT_EQ(in.addBuffer(), kMmNoError);
    writeBytes(path, waveImage(rampFrames(5, 300))); // replaced before start
    ASSERT_EQ(in.start(), kMmNoError);
    clock->advance(5);
    EXPECT_EQ(frames(0, 5), rampFrames(5, 300));
}

TEST_F(VirtualWaveInTest, AnUnreadableInputFileFailsStartAndCapturesNothing)
{
    ScopedEnv env("VUMO_VIRTUAL_INPUT", scratchPath("absent.wav"));
    EXPECT_EQ(capture(100), kMmError);
    clock->advance(100);
    EXPECT_EQ(position(), 0u);
    EXPECT_EQ(frames(0, 100), std::vector<int16_t>(200, kUntouched));
    EXPECT_EQ(in.reset(), kMmNoError);
}

TEST_F(VirtualWaveInTest, StopsFillingWhenTheBlockIsFull)
{
    ASSERT_EQ(capture(3000), kMmNoError);
    clock->advance(2999);
    EXPECT_EQ(doneCount, 0);
    clock->advance(5000);
    EXPECT_EQ(doneCount, 1);
    EXPECT_EQ(position(), 3000u);
    EXPECT_EQ(frames(0, 3000), std::vector<int16_t>(6000, 0));
    EXPECT_EQ(frames(3000, 1000), std::vector<int16_t>(2000, kUntouched));
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
    EXPECT_EQ(frames(200, 100), std::vector<int16_t>(200, kUntouched));
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

TEST_F(VirtualWaveInTest, AddBufferBeforePrepareIsUnprepared)
{
    EXPECT_EQ(in.addBuffer(), kWaveUnprepared);
}

TEST_F(VirtualWaveInTest, UnprepareOrCloseWhileTheBlockIsWithTheDeviceIsStillPlaying)
{
    ASSERT_EQ(in.prepare({store.data(), 200}), kMmNoError);
    ASSERT_EQ(in.addBuffer(), kMmNoError);
    EXPECT_EQ(in.unprepare(), kWaveStillPlaying);
    EXPECT_EQ(in.close(), kWaveStillPlaying);
    ASSERT_EQ(in.start(), kMmNoError);
    EXPECT_EQ(in.close(), kWaveStillPlaying);
    EXPECT_EQ(in.reset(), kMmNoError);
    EXPECT_EQ(in.unprepare(), kMmNoError);
    EXPECT_EQ(in.close(), kMmNoError);
}

TEST_F(VirtualWaveInTest, CallsOnAClosedDeviceAreInvalidHandle)
{
    ASSERT_EQ(in.close(), kMmNoError);
    uint32_t frames = 7;
    EXPECT_EQ(in.prepare(store), kMmInvalidHandle);
    EXPECT_EQ(in.addBuffer(), kMmInvalidHandle);
    EXPECT_EQ(in.start(), kMmInvalidHandle);
    EXPECT_EQ(in.positionFrames(frames), kMmInvalidHandle);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(in.reset(), kMmInvalidHandle);
    EXPECT_EQ(in.close(), kMmInvalidHandle);
}

TEST(VirtualWaveIn, AnyOtherFormatIsBadFormatAndASecondOpenIsAllocated)
{
    VirtualWaveIn in(std::make_shared<SteppedClock>());
    EXPECT_EQ(in.open(WaveFormat{48000, 2, 16}, {}), kWaveBadFormat);
    ASSERT_EQ(in.open(WaveFormat{}, {}), kMmNoError);
    EXPECT_EQ(in.open(WaveFormat{}, {}), kMmAllocated);
}

namespace
{

class VirtualLoopbackTest : public VirtualWaveInTest
{
protected:
    void SetUp() override
    {
        VirtualWaveInTest::SetUp();
        ASSERT_EQ(out.open(WaveFormat{}, {}), kMmNoError);
    }

    ScopedEnv loopback{"VUMO_VIRTUAL_INPUT", "loopback"};
    std::vector<int16_t> played = rampFrames(3000, -1500);
    VirtualWaveOut out{clock};
};

} // namespace

TEST_F(VirtualLoopbackTest, CapturesWhatTheOutputPlaysStartedTogether)
{
    clock->advance(777); // the clock's origin does not matter
    ASSERT_EQ(capture(3000), kMmNoError);
    ASSERT_EQ(out.prepare(played), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(3000);
    EXPECT_EQ(frames(0, 3000), played);
    EXPECT_EQ(doneCount, 1);
}

TEST_F(VirtualLoopbackTest, OutputStartedLaterIsCapturedThatManyFramesLater)
{
    ASSERT_EQ(capture(2000), kMmNoError);
    clock->advance(500);
    ASSERT_EQ(out.prepare(played), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(1500);
    EXPECT_EQ(frames(0, 500), std::vector<int16_t>(1000, 0));
    EXPECT_EQ(frames(500, 1500), std::vector<int16_t>(played.begin(), played.begin() + 3000));
}

TEST_F(VirtualLoopbackTest, IsSilentAfterTheOutputIsReset)
{
    ASSERT_EQ(capture(2000), kMmNoError);
    ASSERT_EQ(out.prepare(played), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(100);
    ASSERT_EQ(out.reset(), kMmNoError);
    clock->advance(100);
    EXPECT_EQ(frames(0, 100), std::vector<int16_t>(played.begin(), played.begin() + 200));
    EXPECT_EQ(frames(100, 100), std::vector<int16_t>(200, 0));
}

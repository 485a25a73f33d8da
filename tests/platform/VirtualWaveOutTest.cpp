// The virtual wave output on a hand-stepped clock: position, done notification, results and the
// output file.
#include "platform/virtual/VirtualWaveOut.h"
#include "PlatformTestSupport.h"
#include "platform/virtual/RealTimeClock.h"
#include "platform/virtual/SteppedClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace platform;
using namespace platform::test;

namespace
{

class VirtualWaveOutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(out.open(WaveFormat{}, [this] { ++doneCount; }), kMmNoError);
    }

    uint32_t position()
    {
        uint32_t frames = 12345;
        EXPECT_EQ(out.positionFrames(frames), kMmNoError);
        return frames;
    }

    // Plays `block` from the start.
    void play(const std::vector<int16_t>& block)
    {
        ASSERT_EQ(out.prepare(block), kMmNoError);
        ASSERT_EQ(out.write(), kMmNoError);
    }

    ScopedEnv noFile{"VUMO_VIRTUAL_OUTPUT", std::nullopt};
    std::shared_ptr<SteppedClock> clock = std::make_shared<SteppedClock>();
    int doneCount = 0;
    std::vector<int16_t> block = rampFrames(5000);
    VirtualWaveOut out{clock};
};

} // namespace

TEST_F(VirtualWaveOutTest, PositionIsZeroBeforeTheFirstWrite)
{
    clock->advance(100);
    EXPECT_EQ(position(), 0u);
}

TEST_F(VirtualWaveOutTest, PositionAdvancesWithTheClock)
{
    play(block);
    EXPECT_EQ(position(), 0u);
    clock->advance(441);
    EXPECT_EQ(position(), 441u);
    clock->advance(2000);
    EXPECT_EQ(position(), 2441u);
}

TEST_F(VirtualWaveOutTest, PositionCountsFromTheWriteNotFromTheClockStart)
{
    clock->advance(10000);
    play(block);
    clock->advance(7);
    EXPECT_EQ(position(), 7u);
}

TEST_F(VirtualWaveOutTest, DoneFiresExactlyOnceAtTheBlockEnd)
{
    play(block);
    clock->advance(4999);
    EXPECT_EQ(doneCount, 0);
    clock->advance(1);
    EXPECT_EQ(doneCount, 1);
    clock->advance(50000);
    EXPECT_EQ(doneCount, 1);
    EXPECT_EQ(position(), 5000u);
}

TEST_F(VirtualWaveOutTest, ResetStopsThePassAndReturnsThePositionToZero)
{
    play(block);
    clock->advance(1000);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(position(), 0u);
    clock->advance(10000);
    EXPECT_EQ(position(), 0u);
}

TEST_F(VirtualWaveOutTest, ResetOfAPlayingBlockNotifiesOnceAndAnIdleResetNotAtAll)
{
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(doneCount, 0);
    play(block);
    clock->advance(10);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(doneCount, 1);
    clock->advance(10000);
    EXPECT_EQ(doneCount, 1);
}

TEST_F(VirtualWaveOutTest, WriteAfterTheBlockEndedPlaysItAgainFromTheStart)
{
    play(block);
    clock->advance(6000);
    ASSERT_EQ(out.write(), kMmNoError);
    EXPECT_EQ(position(), 0u);
    clock->advance(5000);
    EXPECT_EQ(doneCount, 2);
}

TEST_F(VirtualWaveOutTest, AnEmptyBlockIsDoneAtTheNextStep)
{
    play({});
    clock->advance(1);
    EXPECT_EQ(doneCount, 1);
    EXPECT_EQ(position(), 0u);
}

TEST_F(VirtualWaveOutTest, WriteBeforePrepareIsUnprepared)
{
    EXPECT_EQ(out.write(), kWaveUnprepared);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.unprepare(), kMmNoError);
    EXPECT_EQ(out.write(), kWaveUnprepared);
}

TEST_F(VirtualWaveOutTest, UnprepareWhilePlayingIsStillPlaying)
{
    play(block);
    EXPECT_EQ(out.unprepare(), kWaveStillPlaying);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(out.unprepare(), kMmNoError);
}

TEST_F(VirtualWaveOutTest, CloseWhilePlayingIsStillPlaying)
{
    play(block);
    EXPECT_EQ(out.close(), kWaveStillPlaying);
    clock->advance(5000);
    EXPECT_EQ(out.close(), kMmNoError);
}

TEST_F(VirtualWaveOutTest, WriteOrPrepareWhilePlayingIsStillPlaying)
{
    play(block);
    EXPECT_EQ(out.write(), kWaveStillPlaying);
    EXPECT_EQ(out.prepare(block), kWaveStillPlaying);
}

TEST_F(VirtualWaveOutTest, OpeningAnOpenDeviceIsAllocated)
{
    EXPECT_EQ(out.open(WaveFormat{}, {}), kMmAllocated);
}

TEST_F(VirtualWaveOutTest, HalfAFrameIsAnInvalidBlock)
{
    std::vector<int16_t> odd(3);
    EXPECT_EQ(out.prepare(odd), kMmInvalidParam);
}

TEST_F(VirtualWaveOutTest, CallsOnAClosedDeviceAreInvalidHandle)
{
    ASSERT_EQ(out.close(), kMmNoError);
    uint32_t frames = 99;
    EXPECT_EQ(out.prepare(block), kMmInvalidHandle);
    EXPECT_EQ(out.write(), kMmInvalidHandle);
    EXPECT_EQ(out.positionFrames(frames), kMmInvalidHandle);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(out.reset(), kMmInvalidHandle);
    EXPECT_EQ(out.unprepare(), kMmInvalidHandle);
    EXPECT_EQ(out.close(), kMmInvalidHandle);
}

TEST_F(VirtualWaveOutTest, AClosedDeviceOpensAgain)
{
    ASSERT_EQ(out.close(), kMmNoError);
    ASSERT_EQ(out.open(WaveFormat{}, [this] { ++doneCount; }), kMmNoError);
    play(block);
    clock->advance(5000);
    EXPECT_EQ(doneCount, 1);
}

TEST(VirtualWaveOut, AnyOtherFormatIsBadFormat)
{
    auto clock = std::make_shared<SteppedClock>();
    VirtualWaveOut out(clock);
    EXPECT_EQ(out.open(WaveFormat{22050, 2, 16}, {}), kWaveBadFormat);
    EXPECT_EQ(out.open(WaveFormat{44100, 1, 16}, {}), kWaveBadFormat);
    EXPECT_EQ(out.open(WaveFormat{44100, 2, 8}, {}), kWaveBadFormat);
    EXPECT_EQ(out.open(WaveFormat{}, {}), kMmNoError);
}

TEST(VirtualWaveOut, TheSpeedFactorOfTheRealTimeClockSpeedsPlaybackUp)
{
    std::chrono::nanoseconds fakeNow{0};
    auto clock = std::make_shared<RealTimeClock>(4.0, [&] { return fakeNow; });
    VirtualWaveOut out(clock);
    ASSERT_EQ(out.open(WaveFormat{}, {}), kMmNoError);
    const std::vector<int16_t> block = rampFrames(20000);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    fakeNow = std::chrono::milliseconds(100); // 4410 frames of real time
    clock->pump();
    uint32_t frames = 0;
    ASSERT_EQ(out.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 17640u);
    ASSERT_EQ(out.reset(), kMmNoError);
}

TEST(VirtualWaveOut, WithoutAClockOfItsOwnItUsesTheProcessClock)
{
    auto clock = std::make_shared<SteppedClock>();
    setVirtualClock(clock);
    VirtualWaveOut out;
    ASSERT_EQ(out.open(WaveFormat{}, {}), kMmNoError);
    setVirtualClock(nullptr); // an open device keeps the clock it opened with
    const std::vector<int16_t> block = rampFrames(100);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(60);
    uint32_t frames = 0;
    ASSERT_EQ(out.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 60u);
    ASSERT_EQ(out.reset(), kMmNoError);
}

namespace
{

class VirtualWaveOutFileTest : public ::testing::Test
{
protected:
    // Opens a device that writes to `path` (the fixture's file unless another is given).
    int32_t openDevice(VirtualWaveOut& device)
    {
        ScopedEnv env("VUMO_VIRTUAL_OUTPUT", path);
        return device.open(WaveFormat{}, {});
    }

    std::vector<int16_t> fileSamples() { return samplesOfCanonicalWave(readBytes(path)); }

    std::string path = scratchPath("out.wav");
    std::shared_ptr<SteppedClock> clock = std::make_shared<SteppedClock>();
    std::vector<int16_t> block = rampFrames(3000);
    VirtualWaveOut out{clock};
};

std::vector<int16_t> firstFrames(const std::vector<int16_t>& samples, size_t frames)
{
    return {samples.begin(), samples.begin() + std::ptrdiff_t(frames * 2)};
}

} // namespace

TEST_F(VirtualWaveOutFileTest, OpeningCreatesAValidEmptyFile)
{
    ASSERT_EQ(openDevice(out), kMmNoError);
    EXPECT_TRUE(fileSamples().empty());
}

TEST_F(VirtualWaveOutFileTest, AfterAResetTheFileHoldsExactlyTheFramesPlayed)
{
    ASSERT_EQ(openDevice(out), kMmNoError);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(1234);
    ASSERT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(fileSamples(), firstFrames(block, 1234));
}

TEST_F(VirtualWaveOutFileTest, AtTheBlockEndTheFileHoldsTheWholeBlockWithoutAClose)
{
    ASSERT_EQ(openDevice(out), kMmNoError);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(10000);
    EXPECT_EQ(fileSamples(), block);
}

TEST_F(VirtualWaveOutFileTest, ASecondPassAppendsToTheFirst)
{
    ASSERT_EQ(openDevice(out), kMmNoError);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(100);
    ASSERT_EQ(out.reset(), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(50);
    ASSERT_EQ(out.reset(), kMmNoError);
    std::vector<int16_t> expected = firstFrames(block, 100);
    const std::vector<int16_t> second = firstFrames(block, 50);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(fileSamples(), expected);
}

TEST_F(VirtualWaveOutFileTest, ReopeningTheDeviceAppendsToTheSameFile)
{
    ASSERT_EQ(openDevice(out), kMmNoError);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(20);
    ASSERT_EQ(out.reset(), kMmNoError);
    ASSERT_EQ(out.close(), kMmNoError);

    VirtualWaveOut again(clock);
    ASSERT_EQ(openDevice(again), kMmNoError);
    const std::vector<int16_t> other = rampFrames(10, 500);
    ASSERT_EQ(again.prepare(other), kMmNoError);
    ASSERT_EQ(again.write(), kMmNoError);
    clock->advance(10);
    ASSERT_EQ(again.close(), kMmNoError);
    std::vector<int16_t> expected = firstFrames(block, 20);
    expected.insert(expected.end(), other.begin(), other.end());
    EXPECT_EQ(fileSamples(), expected);
}

TEST_F(VirtualWaveOutFileTest, AFileThatIsNotAWaveIsRefusedAndLeftAlone)
{
    const std::vector<uint8_t> text(80, 't');
    writeBytes(path, text);
    EXPECT_EQ(openDevice(out), kMmError);
    EXPECT_EQ(readBytes(path), text);
    uint32_t frames = 0;
    EXPECT_EQ(out.positionFrames(frames), kMmInvalidHandle);
}

namespace
{

// Waits (yielding) for the clock thread to set a flag; at speed 1000 a pass takes milliseconds.
bool waitFor(const std::atomic<int>& flag)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (flag.load() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
    return flag.load() != 0;
}

} // namespace

TEST(VirtualWaveOutRealTime, TheClockThreadPlaysTheBlockToItsEndAndNotifies)
{
    ScopedEnv noFile("VUMO_VIRTUAL_OUTPUT", std::nullopt);
    auto clock = std::make_shared<RealTimeClock>(1000.0);
    clock->start();
    std::atomic<int> done{0};
    VirtualWaveOut out(clock);
    ASSERT_EQ(out.open(WaveFormat{}, [&] { done.store(1); }), kMmNoError);
    const std::vector<int16_t> block = rampFrames(20000);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    ASSERT_TRUE(waitFor(done));
    uint32_t frames = 0;
    ASSERT_EQ(out.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 20000u);
    EXPECT_EQ(out.close(), kMmNoError);
}

TEST(VirtualWaveOutRealTime, AfterResetTheBlockIsTheCallersAgain)
{
    const std::string path = scratchPath("realtime.wav");
    ScopedEnv file("VUMO_VIRTUAL_OUTPUT", path);
    auto clock = std::make_shared<RealTimeClock>(1.0);
    clock->start();
    VirtualWaveOut out(clock);
    ASSERT_EQ(out.open(WaveFormat{}, {}), kMmNoError);
    std::vector<int16_t> block = rampFrames(30000);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    uint32_t played = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (played < 441 && std::chrono::steady_clock::now() < until)
    {
        std::this_thread::yield();
        ASSERT_EQ(out.positionFrames(played), kMmNoError);
    }
    ASSERT_EQ(out.reset(), kMmNoError);
    // The device thread must not read the block any more (the thread sanitizer watches this).
    std::fill(block.begin(), block.end(), int16_t(7));
    const std::vector<int16_t> written = samplesOfCanonicalWave(readBytes(path));
    EXPECT_GE(written.size(), size_t(played) * 2);
    EXPECT_LT(written.size(), block.size());
    const std::vector<int16_t> original = rampFrames(30000);
    EXPECT_EQ(written, firstFrames(original, written.size() / 2));
    EXPECT_EQ(out.close(), kMmNoError);
}

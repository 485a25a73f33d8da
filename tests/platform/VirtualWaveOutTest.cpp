// The virtual wave output on a hand-stepped clock: position, done notification, results and the
// output file.
#include "platform/virtual/VirtualWaveOut.h"
#include "PlatformTestSupport.h"
#include "platform/virtual/RealTimeClock.h"
#include "platform/virtual/SteppedClock.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace platform;
using platform::test::ScopedEnv;

namespace
{

// Frames [first, first + count) of interleaved stereo samples.
std::vector<int16_t> slice(const std::vector<int16_t>& s, size_t first, size_t count)
{
    return {s.begin() + std::ptrdiff_t(first * 2), s.begin() + std::ptrdiff_t((first + count) * 2)};
}

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

    // Opens the closed device writing to `path`.
    int32_t openWithFile()
    {
        ScopedEnv env("VUMO_VIRTUAL_OUTPUT", path);
        return out.open(WaveFormat{}, [this] { ++doneCount; });
    }

    // Plays `samples` from the start.
    void play(const std::vector<int16_t>& samples)
    {
        ASSERT_EQ(out.prepare(samples), kMmNoError);
        ASSERT_EQ(out.write(), kMmNoError);
    }

    testwave::TempDir dir;
    std::string path = dir.file("out.wav");
    ScopedEnv outputFile{"VUMO_VIRTUAL_OUTPUT", std::nullopt};
    std::shared_ptr<SteppedClock> clock = std::make_shared<SteppedClock>();
    int doneCount = 0;
    std::vector<int16_t> block = testwave::ramp(5000);
    VirtualWaveOut out{clock};
};

} // namespace

TEST_F(VirtualWaveOutTest, PositionAdvancesWithTheClockFromTheWriteAndResetReturnsItToZero)
{
    clock->advance(100);
    EXPECT_EQ(position(), 0u);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(doneCount, 0) << "an idle reset notifies nothing";
    play(block);
    EXPECT_EQ(position(), 0u);
    clock->advance(441);
    EXPECT_EQ(position(), 441u);
    clock->advance(2000);
    EXPECT_EQ(position(), 2441u);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(doneCount, 1);
    EXPECT_EQ(position(), 0u);
    clock->advance(10000);
    EXPECT_EQ(position(), 0u);
    EXPECT_EQ(doneCount, 1);
}

TEST_F(VirtualWaveOutTest, DoneFiresExactlyOnceAtTheBlockEndAndAWriteThenPlaysItAgain)
{
    play(block);
    clock->advance(4999);
    EXPECT_EQ(doneCount, 0);
    clock->advance(1);
    EXPECT_EQ(doneCount, 1);
    clock->advance(50000);
    EXPECT_EQ(doneCount, 1);
    EXPECT_EQ(position(), 5000u);
    ASSERT_EQ(out.write(), kMmNoError);
    EXPECT_EQ(position(), 0u);
    clock->advance(5000);
    EXPECT_EQ(doneCount, 2);
    ASSERT_EQ(out.unprepare(), kMmNoError);
    play({}); // an empty block is done at the next step
    clock->advance(1);
    EXPECT_EQ(doneCount, 3);
}

TEST_F(VirtualWaveOutTest, ResultsFollowTheStateOfTheBlockAndTheDevice)
{
    EXPECT_EQ(out.open(WaveFormat{}, {}), kMmAllocated);
    EXPECT_EQ(out.write(), kWaveUnprepared);
    EXPECT_EQ(out.prepare(std::vector<int16_t>(3)), kMmInvalidParam) << "half a frame";
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.unprepare(), kMmNoError);
    EXPECT_EQ(out.write(), kWaveUnprepared);
    play(block);
    EXPECT_EQ(out.write(), kWaveStillPlaying);
    EXPECT_EQ(out.prepare(block), kWaveStillPlaying);
    EXPECT_EQ(out.unprepare(), kWaveStillPlaying);
    EXPECT_EQ(out.close(), kWaveStillPlaying);
    clock->advance(5000);
    ASSERT_EQ(out.close(), kMmNoError);
    uint32_t frames = 99;
    EXPECT_EQ(out.prepare(block), kMmInvalidHandle);
    EXPECT_EQ(out.write(), kMmInvalidHandle);
    EXPECT_EQ(out.positionFrames(frames), kMmInvalidHandle);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(out.reset(), kMmInvalidHandle);
    EXPECT_EQ(out.unprepare(), kMmInvalidHandle);
    EXPECT_EQ(out.close(), kMmInvalidHandle);
    for (const WaveFormat f : {WaveFormat{22050, 2, 16}, {44100, 1, 16}, {44100, 2, 8}})
        EXPECT_EQ(out.open(f, {}), kWaveBadFormat) << f.framesPerSecond << " " << f.channels;
    ASSERT_EQ(out.open(WaveFormat{}, [this] { ++doneCount; }), kMmNoError);
    play(block);
    clock->advance(5000);
    EXPECT_EQ(doneCount, 2) << "a closed device opens again";
}

TEST(VirtualWaveOut, FollowsTheRealTimeClockAtItsSpeedOrTheProcessClockItOpenedWith)
{
    std::chrono::nanoseconds fakeNow{0};
    auto realTime = std::make_shared<RealTimeClock>(4.0, [&] { return fakeNow; });
    auto stepped = std::make_shared<SteppedClock>();
    setVirtualClock(stepped);
    VirtualWaveOut fast(realTime), own;
    ASSERT_EQ(own.open(WaveFormat{}, {}), kMmNoError);
    setVirtualClock(nullptr); // an open device keeps the clock it opened with
    ASSERT_EQ(fast.open(WaveFormat{}, {}), kMmNoError);
    const std::vector<int16_t> block = testwave::ramp(20000);
    for (VirtualWaveOut* out : {&fast, &own})
    {
        ASSERT_EQ(out->prepare(block), kMmNoError);
        ASSERT_EQ(out->write(), kMmNoError);
    }
    fakeNow = std::chrono::milliseconds(100); // 4410 frames of real time
    realTime->pump();
    stepped->advance(60);
    uint32_t fastFrames = 0, ownFrames = 0;
    ASSERT_EQ(fast.positionFrames(fastFrames), kMmNoError);
    ASSERT_EQ(own.positionFrames(ownFrames), kMmNoError);
    EXPECT_EQ(fastFrames, 17640u);
    EXPECT_EQ(ownFrames, 60u);
    ASSERT_EQ(fast.reset(), kMmNoError);
    ASSERT_EQ(own.reset(), kMmNoError);
}

TEST_F(VirtualWaveOutTest, TheFileHoldsExactlyTheFramesPlayedAndEachPassAppends)
{
    ASSERT_EQ(out.close(), kMmNoError);
    ASSERT_EQ(openWithFile(), kMmNoError);
    EXPECT_EQ(testwave::readBytes(path), testwave::waveBytes({}));
    play(block);
    clock->advance(1234);
    ASSERT_EQ(out.reset(), kMmNoError);
    std::vector<int16_t> expected = slice(block, 0, 1234);
    EXPECT_EQ(testwave::readBytes(path), testwave::waveBytes(expected));
    ASSERT_EQ(out.write(), kMmNoError);
    clock->advance(10000); // the whole block, no reset and no close
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(testwave::readBytes(path), testwave::waveBytes(expected));
    ASSERT_EQ(out.close(), kMmNoError);
    // Reopened on a file whose last pass was cut short before its header was written.
    std::vector<uint8_t> cut = testwave::readBytes(path);
    cut.insert(cut.end(), {1, 2, 3, 4, 5, 6});
    testwave::writeBytes(path, cut);
    ASSERT_EQ(openWithFile(), kMmNoError);
    const std::vector<int16_t> one = testwave::ramp(1, 50);
    play(one);
    clock->advance(1);
    expected.insert(expected.end(), one.begin(), one.end());
    EXPECT_EQ(testwave::readBytes(path), testwave::waveBytes(expected));
}

TEST_F(VirtualWaveOutTest, AFileItCannotContinueIsRefusedAndLeftAlone)
{
    ASSERT_EQ(out.close(), kMmNoError);
    testwave::WaveLayout mono;
    mono.channels = 1;
    for (const auto& bytes :
         {std::vector<uint8_t>(80, 't'), testwave::waveBytes(testwave::ramp(2), mono)})
    {
        testwave::writeBytes(path, bytes);
        EXPECT_EQ(openWithFile(), kMmError);
        EXPECT_EQ(testwave::readBytes(path), bytes);
        uint32_t frames = 0;
        EXPECT_EQ(out.positionFrames(frames), kMmInvalidHandle);
    }
    path = dir.file("missing-folder/out.wav");
    EXPECT_EQ(openWithFile(), kMmError);
}

TEST(VirtualWaveOutRealTime, TheClockThreadPlaysABlockToItsEndAndAfterResetItIsTheCallers)
{
    testwave::TempDir dir;
    ScopedEnv file("VUMO_VIRTUAL_OUTPUT", dir.file("realtime.wav"));
    auto clock = std::make_shared<RealTimeClock>(1.0);
    clock->start();
    std::atomic<int> done{0};
    VirtualWaveOut out(clock);
    ASSERT_EQ(out.open(WaveFormat{}, [&] { done.fetch_add(1); }), kMmNoError);
    const std::vector<int16_t> original = testwave::ramp(30000);
    std::vector<int16_t> block = original;
    uint32_t played = 0;
    // Polls (yielding, for at most 10 s) until `doneCount` passes ended and `frames` played.
    const auto waitFor = [&](int doneCount, uint32_t frames)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        do
        {
            std::this_thread::yield();
            ASSERT_EQ(out.positionFrames(played), kMmNoError);
        } while ((done.load() < doneCount || played < frames) &&
                 std::chrono::steady_clock::now() < until);
    };
    ASSERT_EQ(out.prepare({block.data(), 2 * 441}), kMmNoError); // 10 ms
    ASSERT_EQ(out.write(), kMmNoError);
    waitFor(1, 441);
    EXPECT_EQ(done.load(), 1);
    EXPECT_EQ(played, 441u);
    ASSERT_EQ(out.unprepare(), kMmNoError);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    waitFor(1, 441);
    ASSERT_EQ(out.reset(), kMmNoError);
    // The device thread must not read the block any more (the thread sanitizer watches this).
    std::fill(block.begin(), block.end(), int16_t(7));
    const std::vector<int16_t> written = testwave::readSamples(dir.file("realtime.wav"));
    ASSERT_GE(written.size(), size_t(441 + played) * 2);
    EXPECT_LT(written.size(), size_t(441) * 2 + block.size());
    EXPECT_EQ(slice(written, 0, 441), slice(original, 0, 441));
    EXPECT_EQ(slice(written, 441, written.size() / 2 - 441),
              slice(original, 0, written.size() / 2 - 441));
    EXPECT_EQ(out.close(), kMmNoError);
}

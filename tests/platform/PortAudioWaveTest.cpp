// The PortAudio devices: results without a sound card here, and a short pass on the default
// devices where there is one.
#include "platform/portaudio/PortAudioSession.h"
#include "platform/portaudio/PortAudioWaveIn.h"
#include "platform/portaudio/PortAudioWaveOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace platform;

namespace
{

// Waits for a hardware flag; only the tests that run on a real device use it.
bool waitFor(const std::atomic<int>& flag)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (flag.load() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return flag.load() != 0;
}

} // namespace

TEST(PortAudioSession, MapsErrorsOntoMultimediaResultsAndNestedSessionsShareOneStart)
{
    const std::pair<PaError, int32_t> rows[] = {{paNoError, kMmNoError},
                                                {paInvalidSampleRate, kWaveBadFormat},
                                                {paDeviceUnavailable, kMmAllocated},
                                                {paSampleFormatNotSupported, kWaveBadFormat},
                                                {paInsufficientMemory, kMmNoMem},
                                                {paUnanticipatedHostError, kMmError}};
    for (const auto& [error, result] : rows)
        EXPECT_EQ(mmResultFromPortAudio(error), result) << error;
    PortAudioSession outer;
    ASSERT_EQ(outer.result(), kMmNoError);
    EXPECT_EQ(PortAudioSession().result(), kMmNoError);
    EXPECT_GE(Pa_GetDeviceCount(), 0) << "still initialised after the inner session has gone";
}

TEST(PortAudioWaveOut, OtherFormatsAreRefusedAndCallsBeforeOpenAreInvalidHandle)
{
    PortAudioWaveOut out;
    EXPECT_EQ(out.open(WaveFormat{48000, 2, 16}, {}), kWaveBadFormat);
    EXPECT_EQ(out.open(WaveFormat{44100, 2, 24}, {}), kWaveBadFormat);
    const std::vector<int16_t> block(8);
    uint32_t frames = 5;
    EXPECT_EQ(out.prepare(block), kMmInvalidHandle);
    EXPECT_EQ(out.write(), kMmInvalidHandle);
    EXPECT_EQ(out.positionFrames(frames), kMmInvalidHandle);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(out.reset(), kMmInvalidHandle);
    EXPECT_EQ(out.close(), kMmInvalidHandle);
}

TEST(PortAudioWave, OpenWithoutADeviceIsNoDriver)
{
    if (PortAudioSession::hasDefaultOutput() && PortAudioSession::hasDefaultInput())
        GTEST_SKIP() << "this machine has default output and input devices";
    PortAudioWaveOut out;
    PortAudioWaveIn in;
    if (!PortAudioSession::hasDefaultOutput())
    {
        EXPECT_EQ(out.open(WaveFormat{}, {}), kMmNoDriver);
    }
    if (!PortAudioSession::hasDefaultInput())
    {
        EXPECT_EQ(in.open(WaveFormat{}, {}), kMmNoDriver);
        EXPECT_EQ(in.addBuffer(), kMmInvalidHandle);
    }
}

TEST(PortAudioWaveOut, PlaysAShortBlockOnTheDefaultDeviceAndResetStopsALongOneAtOnce)
{
    if (!PortAudioSession::hasDefaultOutput())
        GTEST_SKIP() << "no default output device on this machine";
    std::atomic<int> done{0};
    PortAudioWaveOut out;
    ASSERT_EQ(out.open(WaveFormat{}, [&] { done.store(1); }), kMmNoError);
    const std::vector<int16_t> block(2 * 2205); // 50 ms of silence
    EXPECT_EQ(out.write(), kWaveUnprepared);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    EXPECT_EQ(out.unprepare(), done.load() ? kMmNoError : kWaveStillPlaying);
    ASSERT_TRUE(waitFor(done));
    uint32_t frames = 0;
    EXPECT_EQ(out.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 2205u);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(out.unprepare(), kMmNoError);

    done.store(0);
    const std::vector<int16_t> minute(2 * 44100 * 60);
    ASSERT_EQ(out.prepare(minute), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    EXPECT_EQ(out.close(), kWaveStillPlaying);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(done.load(), 1);
    EXPECT_EQ(out.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(out.close(), kMmNoError);
}

TEST(PortAudioWaveIn, FillsAShortBlockFromTheDefaultDevice)
{
    if (!PortAudioSession::hasDefaultInput())
        GTEST_SKIP() << "no default input device on this machine";
    std::atomic<int> full{0};
    PortAudioWaveIn in;
    ASSERT_EQ(in.open(WaveFormat{}, [&] { full.store(1); }), kMmNoError);
    std::vector<int16_t> block(2 * 2205);
    EXPECT_EQ(in.addBuffer(), kWaveUnprepared);
    ASSERT_EQ(in.prepare(block), kMmNoError);
    ASSERT_EQ(in.addBuffer(), kMmNoError);
    ASSERT_EQ(in.start(), kMmNoError);
    ASSERT_TRUE(waitFor(full));
    uint32_t frames = 0;
    EXPECT_EQ(in.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 2205u);
    EXPECT_EQ(in.reset(), kMmNoError);
    EXPECT_EQ(in.unprepare(), kMmNoError);
    EXPECT_EQ(in.close(), kMmNoError);
}

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
bool waitFor(const std::atomic<int>& flag, std::chrono::seconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (flag.load() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return flag.load() != 0;
}

} // namespace

TEST(PortAudioSession, MapsPortAudioErrorsOntoMultimediaResults)
{
    EXPECT_EQ(mmResultFromPortAudio(paNoError), kMmNoError);
    EXPECT_EQ(mmResultFromPortAudio(paInvalidSampleRate), kWaveBadFormat);
    EXPECT_EQ(mmResultFromPortAudio(paSampleFormatNotSupported), kWaveBadFormat);
    EXPECT_EQ(mmResultFromPortAudio(paDeviceUnavailable), kMmAllocated);
    EXPECT_EQ(mmResultFromPortAudio(paInsufficientMemory), kMmNoMem);
    EXPECT_EQ(mmResultFromPortAudio(paUnanticipatedHostError), kMmError);
}

TEST(PortAudioSession, NestedSessionsShareOneInitialisation)
{
    PortAudioSession outer;
    ASSERT_EQ(outer.result(), kMmNoError);
    {
        PortAudioSession inner;
        EXPECT_EQ(inner.result(), kMmNoError);
    }
    // Still initialised after the inner session has gone.
    EXPECT_GE(Pa_GetDeviceCount(), 0);
}

TEST(PortAudioWaveOut, AnyOtherFormatIsRefusedBeforeTheDeviceIsTouched)
{
    PortAudioWaveOut out;
    EXPECT_EQ(out.open(WaveFormat{48000, 2, 16}, {}), kWaveBadFormat);
    EXPECT_EQ(out.open(WaveFormat{44100, 2, 24}, {}), kWaveBadFormat);
}

TEST(PortAudioWaveOut, CallsBeforeOpenAreInvalidHandle)
{
    PortAudioWaveOut out;
    const std::vector<int16_t> block(8);
    uint32_t frames = 5;
    EXPECT_EQ(out.prepare(block), kMmInvalidHandle);
    EXPECT_EQ(out.write(), kMmInvalidHandle);
    EXPECT_EQ(out.positionFrames(frames), kMmInvalidHandle);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(out.reset(), kMmInvalidHandle);
    EXPECT_EQ(out.close(), kMmInvalidHandle);
}

TEST(PortAudioWaveOut, OpenWithoutAnOutputDeviceIsNoDriver)
{
    if (PortAudioSession::hasDefaultOutput())
        GTEST_SKIP() << "this machine has a default output device";
    PortAudioWaveOut out;
    EXPECT_EQ(out.open(WaveFormat{}, {}), kMmNoDriver);
}

TEST(PortAudioWaveOut, PlaysAShortBlockOnTheDefaultDevice)
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
    ASSERT_TRUE(waitFor(done, std::chrono::seconds(5)));
    uint32_t frames = 0;
    EXPECT_EQ(out.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 2205u);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(out.unprepare(), kMmNoError);
    EXPECT_EQ(out.close(), kMmNoError);
}

TEST(PortAudioWaveOut, ResetStopsALongBlockAtOnce)
{
    if (!PortAudioSession::hasDefaultOutput())
        GTEST_SKIP() << "no default output device on this machine";
    std::atomic<int> done{0};
    PortAudioWaveOut out;
    ASSERT_EQ(out.open(WaveFormat{}, [&] { done.store(1); }), kMmNoError);
    const std::vector<int16_t> block(2 * 44100 * 60); // a minute of silence
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    EXPECT_EQ(out.close(), kWaveStillPlaying);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(done.load(), 1);
    uint32_t frames = 1;
    EXPECT_EQ(out.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(out.close(), kMmNoError);
}

TEST(PortAudioWaveIn, OpenWithoutAnInputDeviceIsNoDriver)
{
    if (PortAudioSession::hasDefaultInput())
        GTEST_SKIP() << "this machine has a default input device";
    PortAudioWaveIn in;
    EXPECT_EQ(in.open(WaveFormat{}, {}), kMmNoDriver);
    EXPECT_EQ(in.addBuffer(), kMmInvalidHandle);
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
    ASSERT_TRUE(waitFor(full, std::chrono::seconds(5)));
    uint32_t frames = 0;
    EXPECT_EQ(in.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, 2205u);
    EXPECT_EQ(in.reset(), kMmNoError);
    EXPECT_EQ(in.unprepare(), kMmNoError);
    EXPECT_EQ(in.close(), kMmNoError);
}

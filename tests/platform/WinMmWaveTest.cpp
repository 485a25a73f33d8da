// The Windows wave devices under Wine, sample for sample against the null sink's monitor and the
// signal that tests/windows/run.sh records (VUMO_MONITOR_RAW) and plays (VUMO_SIGNAL_PLAYING).
#include "PlatformTestSupport.h"
#include "TestClocks.h"
#include "platform/media/MediaReader.h"
#include "platform/virtual/VirtualWaveIn.h"
#include "platform/win/WinMmWaveIn.h"
#include "platform/win/WinMmWaveOut.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

using namespace platform;
using namespace std::chrono_literals;
using platform::test::heardUpTo;
using platform::test::knownSignal;
using platform::test::Results;
using platform::test::ScopedEnv;
using Samples = std::vector<int16_t>;

namespace
{

Samples rawSamples(const char* path)
{
    const std::vector<uint8_t> bytes = testwave::readBytes(path);
    Samples samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// The frame of the test signal that a recording's first non-zero frame is (0 for none).
size_t phaseOf(const Samples& recording)
{
    const auto first =
        std::find_if(recording.begin(), recording.end(), [](int16_t s) { return s; });
    const size_t at = size_t(first - recording.begin()) & ~size_t(1);
    for (size_t phase = 0; at + 1 < recording.size() && phase < 8000; ++phase)
        if (knownSignal(1, phase) == Samples(recording.begin() + at, recording.begin() + at + 2))
            return phase;
    return 0;
}

// The value of an environment variable that run.sh sets, or null.
const char* partner(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

} // namespace

TEST(WinMmBackend, OtherFormatsAndCallsOnClosedDevicesAreRefused)
{
    WinMmWaveOut out;
    WinMmWaveIn in;
    EXPECT_EQ(
        (Results{out.open(WaveFormat{48000, 2, 16}, {}), in.open(WaveFormat{44100, 1, 16}, {})}),
        (Results{kWaveBadFormat, kWaveBadFormat}));
    Samples block(8);
    uint32_t frames = 5;
    EXPECT_EQ((Results{out.prepare(block), out.write(), out.positionFrames(frames), out.reset(),
                       out.close(), in.prepare(block), in.addBuffer(), in.start(), in.close()}),
              Results(9, kMmInvalidHandle));
    EXPECT_EQ(frames, 0u);
}

TEST(WinMmWaveOut, PlaysABlockSampleForSampleNotifiesItsEndOnceAndResetStopsALongOneAtOnce)
{
    VUMO_NEED_DEVICE(waveOutGetNumDevs() > 0, "wave output device");
    const char* monitor = partner("VUMO_MONITOR_RAW");
    if (monitor == nullptr)
        GTEST_SKIP() << "tests/windows/run.sh records the monitor for this test";
    std::atomic<int> done{0};
    WinMmWaveOut out;
    ASSERT_EQ(out.open(WaveFormat{}, [&] { done.fetch_add(1); }), kMmNoError);
    const Samples block = knownSignal(22050);
    ASSERT_EQ((Results{out.write(), out.prepare(block), out.write(), out.write()}),
              (Results{kWaveUnprepared, kMmNoError, kMmNoError, kWaveStillPlaying}));
    EXPECT_EQ(out.unprepare(), done.load() ? kMmNoError : kWaveStillPlaying);
    ASSERT_TRUE(platform::test::waitUntil([&] { return done.load() != 0; }));
    uint32_t frames = 0;
    EXPECT_EQ((Results{out.positionFrames(frames), out.reset(), out.unprepare(), done.load()}),
              (Results{kMmNoError, kMmNoError, kMmNoError, 1}));
    EXPECT_EQ(frames, block.size() / 2);
    Samples heard;
    platform::test::waitUntil(
        [&] { return heardUpTo(heard = rawSamples(monitor), block) == block.size(); });
    EXPECT_EQ(heardUpTo(heard, block), block.size())
        << "in " << heard.size() / 2 << " frames at the monitor";

    const Samples minute(2 * 44100 * 60);
    EXPECT_EQ((Results{out.prepare(minute), out.write(), out.close(), out.reset(), done.load(),
                       out.positionFrames(frames), int32_t(frames), out.close()}),
              (Results{kMmNoError, kMmNoError, kWaveStillPlaying, kMmNoError, 2, kMmNoError, 0,
                       kMmNoError}));
}

TEST(WinMmWaveIn, RecordsWhatAnotherClientPlaysSampleForSampleAndReturnsTheBlockOnce)
{
    VUMO_NEED_DEVICE(waveInGetNumDevs() > 0, "wave input device");
    if (partner("VUMO_SIGNAL_PLAYING") == nullptr)
        GTEST_SKIP() << "tests/windows/run.sh plays the signal for this test";
    std::atomic<int> full{0};
    WinMmWaveIn in;
    ASSERT_EQ(in.open(WaveFormat{}, [&] { full.fetch_add(1); }), kMmNoError);
    Samples block(2 * 44100 * 2);
    ASSERT_EQ((Results{in.addBuffer(), in.prepare(block), in.addBuffer(), in.start()}),
              (Results{kWaveUnprepared, kMmNoError, kMmNoError, kMmNoError}));
    ASSERT_TRUE(platform::test::waitUntil([&] { return full.load() != 0; }, 10s));
    uint32_t frames = 0;
    EXPECT_EQ(in.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, block.size() / 2);
    // The signal plays all along: after its first frame the block holds it without a gap.
    const size_t silent =
        size_t(std::find_if(block.begin(), block.end(), [](int16_t s) { return s; }) -
               block.begin()) /
        2;
    ASSERT_LT(silent, block.size() / 4) << "the signal was not heard in the block's first half";
    const Samples expected = knownSignal(block.size() / 2 - silent, phaseOf(block));
    EXPECT_EQ(heardUpTo(block, expected), expected.size());
    EXPECT_EQ((Results{in.reset(), in.unprepare(), in.close(), full.load()}),
              (Results{kMmNoError, kMmNoError, kMmNoError, 1}));
}

TEST(MediaCapture, IsNotAvailableInThisBuildSoARecordingFromMediaIsRefusedWithTheReason)
{
    for (const char* source : {"song.mp3", "tune.mid", "cdda:3"})
        EXPECT_NE(media::probeMedia(source).find("is not available in this build"),
                  std::string::npos)
            << source;
    const testwave::TempDir dir;
    testwave::writeStereo(dir.file("media.wav"), knownSignal(100));
    ScopedEnv capture(media::kCaptureSourceVariable, dir.file("media.wav"));
    VirtualWaveIn in(std::make_shared<test::SteppedStream>());
    Samples block(200);
    EXPECT_EQ((Results{in.open(WaveFormat{}, {}), in.prepare(block), in.addBuffer(), in.start(),
                       in.reset(), in.close()}),
              (Results{kMmNoError, kMmNoError, kMmNoError, kMmError, kMmNoError, kMmNoError}));
    EXPECT_EQ(block, Samples(200)) << "nothing was captured";
}

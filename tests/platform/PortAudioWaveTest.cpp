// The audio backend choice and the PortAudio devices: on the null sink of tests/servers.sh what is
// played arrives sample for sample at its monitor, what another client plays there is recorded.
#include "PlatformTestSupport.h"
#include "platform/AudioBackend.h"
#include "platform/portaudio/PortAudioSession.h"
#include "platform/portaudio/PortAudioWaveIn.h"
#include "platform/portaudio/PortAudioWaveOut.h"
#include "platform/virtual/VirtualWaveIn.h"
#include "platform/virtual/VirtualWaveOut.h"
#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <future>

using namespace platform;
using namespace std::chrono_literals;
using platform::test::heardUpTo;
using platform::test::knownSignal;
using platform::test::Results;
using platform::test::ScopedEnv;
using Samples = std::vector<int16_t>;

TEST(AudioBackend, TheSettingIsReadAtEveryCallAndNoDeviceIsNoDriver)
{
    const auto pa = AudioBackend::PortAudio, virt = AudioBackend::Virtual;
    const auto autoOut = PortAudioSession::hasDefaultOutput() ? pa : virt;
    const auto autoIn = PortAudioSession::hasDefaultInput() ? pa : virt;
    const std::tuple<std::optional<std::string>, AudioBackend, AudioBackend> rows[] = {
        {"virtual", virt, virt}, {"PortAudio", pa, pa},           {"auto", autoOut, autoIn},
        {"portaudio", pa, pa},   {std::nullopt, autoOut, autoIn}, {"directsound", autoOut, autoIn}};
    for (const auto& [setting, outBackend, inBackend] : rows)
    {
        ScopedEnv env("VUMO_AUDIO_BACKEND", setting);
        SCOPED_TRACE(setting.value_or("(unset)"));
        EXPECT_EQ(std::pair(outputBackend(), inputBackend()), std::pair(outBackend, inBackend));
        const auto out = makeWaveOut();
        const auto in = makeWaveIn();
        EXPECT_EQ(!!dynamic_cast<VirtualWaveOut*>(out.get()), outBackend == virt);
        EXPECT_EQ(!!dynamic_cast<PortAudioWaveOut*>(out.get()), outBackend == pa);
        EXPECT_EQ(!!dynamic_cast<VirtualWaveIn*>(in.get()), inBackend == virt);
        EXPECT_EQ(!!dynamic_cast<PortAudioWaveIn*>(in.get()), inBackend == pa);
    }
    {
        PortAudioSession outer; // nested sessions share one start
        ASSERT_EQ(outer.result(), kMmNoError);
        EXPECT_EQ(PortAudioSession().result(), kMmNoError);
        EXPECT_GE(Pa_GetDeviceCount(), 0) << "still initialised after the inner session has gone";
    }
    // Other formats are refused.
    PortAudioWaveOut out;
    EXPECT_EQ(out.open(WaveFormat{48000, 2, 16}, {}), kWaveBadFormat);
    EXPECT_EQ(out.open(WaveFormat{44100, 2, 24}, {}), kWaveBadFormat);
    // Pointing PulseAudio and JACK at servers that do not exist leaves only the sound cards.
    ScopedEnv pulse("PULSE_SERVER", "unix:/nonexistent/vumo-no-server");
    ScopedEnv jack("JACK_DEFAULT_SERVER", "vumo-no-server");
    if (PortAudioSession::hasDefaultOutput() && PortAudioSession::hasDefaultInput())
        GTEST_SKIP() << "this machine has a sound card";
    PortAudioWaveIn in;
    if (!PortAudioSession::hasDefaultOutput())
    {
        EXPECT_EQ(out.open(WaveFormat{}, {}), kMmNoDriver);
    }
    if (!PortAudioSession::hasDefaultInput())
    {
        EXPECT_EQ((Results{in.open(WaveFormat{}, {}), in.addBuffer()}),
                  (Results{kMmNoDriver, kMmInvalidHandle}));
    }
}

TEST(PortAudioWaveOut, PlaysABlockSampleForSampleAndResetStopsALongOneAtOnce)
{
    VUMO_NEED_DEVICE(PortAudioSession::hasDefaultOutput(), "default output device");
    const testwave::TempDir dir;
    const std::string recordingPath = dir.file("monitor.raw");
    // parec records the null sink's monitor for 3 s (raw 16-bit stereo at 44.1 kHz).
    auto parec = std::async(std::launch::async,
                            [&]
                            {
                                return tooltest::runCommand(
                                    "timeout -s INT 3 parec --raw --format=s16le --rate=44100 "
                                    "--channels=2 --device=vumo_null.monitor >'" +
                                    recordingPath + "'");
                            });
    // Data in the file (silence while nothing plays) means parec records.
    std::error_code error;
    platform::test::waitUntil(
        [&] { return std::filesystem::file_size(recordingPath, error) > 0 && !error; });

    std::atomic<int> done{0};
    PortAudioWaveOut out;
    ASSERT_EQ(out.open(WaveFormat{}, [&] { done.store(1); }), kMmNoError);
    const Samples block = knownSignal(11025); // a quarter second
    ASSERT_EQ((Results{out.write(), out.prepare(block), out.write()}),
              (Results{kWaveUnprepared, kMmNoError, kMmNoError}));
    EXPECT_EQ(out.unprepare(), done.load() ? kMmNoError : kWaveStillPlaying);
    ASSERT_TRUE(platform::test::waitUntil([&] { return done.load() != 0; }));
    uint32_t frames = 0;
    EXPECT_EQ((Results{out.positionFrames(frames), out.reset(), out.unprepare()}),
              (Results{kMmNoError, kMmNoError, kMmNoError}));
    EXPECT_EQ(frames, block.size() / 2);
    EXPECT_EQ(parec.get().status, 124) << "parec did not record until stopped";
    const std::vector<uint8_t> bytes = testwave::readBytes(recordingPath);
    Samples recorded(bytes.size() / 2);
    std::memcpy(recorded.data(), bytes.data(), recorded.size() * 2);
    EXPECT_EQ(heardUpTo(recorded, block), block.size())
        << "in " << recorded.size() / 2 << " frames at the monitor";

    done.store(0);
    const Samples minute(2 * 44100 * 60);
    EXPECT_EQ((Results{out.prepare(minute), out.write(), out.close(), out.reset(), done.load(),
                       out.positionFrames(frames), int32_t(frames), out.close()}),
              (Results{kMmNoError, kMmNoError, kWaveStillPlaying, kMmNoError, 1, kMmNoError, 0,
                       kMmNoError}));
}

TEST(PortAudioWaveIn, RecordsWhatAnotherClientPlaysSampleForSample)
{
    VUMO_NEED_DEVICE(PortAudioSession::hasDefaultInput(), "default input device");
    const testwave::TempDir dir;
    const Samples signal = knownSignal(11025);
    testwave::writeStereo(dir.file("signal.wav"), signal);

    std::atomic<int> full{0};
    PortAudioWaveIn in;
    ASSERT_EQ(in.open(WaveFormat{}, [&] { full.store(1); }), kMmNoError);
    Samples block(2 * 44100 * 3);
    ASSERT_EQ((Results{in.addBuffer(), in.prepare(block), in.addBuffer(), in.start()}),
              (Results{kWaveUnprepared, kMmNoError, kMmNoError, kMmNoError}));
    // The signal starts once the device records, so that it falls wholly into the block.
    uint32_t frames = 0;
    platform::test::waitUntil(
        [&] { return in.positionFrames(frames) != kMmNoError || frames >= 4410; });
    EXPECT_EQ(tooltest::runCommand("paplay '" + dir.file("signal.wav") + "'").status, 0);
    ASSERT_TRUE(platform::test::waitUntil([&] { return full.load() != 0; }, 10s));
    EXPECT_EQ(in.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, block.size() / 2);
    EXPECT_EQ(heardUpTo(block, signal), signal.size());
    EXPECT_EQ((Results{in.reset(), in.unprepare(), in.close()}),
              (Results{kMmNoError, kMmNoError, kMmNoError}));
}

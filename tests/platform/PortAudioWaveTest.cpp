// The PortAudio devices: results without a sound card, and on the default devices (the
// PulseAudio null sink and its monitor under tests/servers.sh) what is played arrives sample for
// sample at the sink's monitor and what another client plays there is recorded sample for sample.
#include "PlatformTestSupport.h"
#include "platform/portaudio/PortAudioSession.h"
#include "platform/portaudio/PortAudioWaveIn.h"
#include "platform/portaudio/PortAudioWaveOut.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace platform;
using platform::test::ScopedEnv;

namespace
{

using namespace std::chrono_literals;

// Waits for a device's flag.
bool waitFor(const std::atomic<int>& flag, std::chrono::seconds limit = std::chrono::seconds(5))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (flag.load() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    return flag.load() != 0;
}

// A quarter second of stereo with no zero sample and different channels, so that a dropped,
// doubled or swapped sample shows.
std::vector<int16_t> knownSignal()
{
    std::vector<int16_t> samples(2 * 11025);
    for (size_t i = 0; i < samples.size() / 2; ++i)
    {
        samples[2 * i] = int16_t(1000 + int(i * 37 % 8000));
        samples[2 * i + 1] = int16_t(-1000 - int(i * 53 % 8000));
    }
    return samples;
}

// The samples of a recording from its first non-zero frame on, as many as the signal has;
// silence surrounds what a client played.
std::vector<int16_t> heardSignal(const std::vector<int16_t>& recording, size_t length)
{
    size_t first = 0;
    while (first < recording.size() && recording[first] == 0)
        ++first;
    first -= first % 2;
    const size_t end = std::min(recording.size(), first + length);
    return std::vector<int16_t>(recording.begin() + std::ptrdiff_t(first),
                                recording.begin() + std::ptrdiff_t(end));
}

// Where two sample runs first differ (the shorter length when one is the other's start).
size_t firstDifference(const std::vector<int16_t>& heard, const std::vector<int16_t>& played)
{
    const size_t n = std::min(heard.size(), played.size());
    size_t i = 0;
    while (i < n && heard[i] == played[i])
        ++i;
    return i;
}

// A PulseAudio tool on the null sink: parec or paplay with raw 16-bit stereo at 44.1 kHz,
// standard output to outputPath when given.
pid_t startPulseTool(const char* tool, const std::string& fileArgument, const char* outputPath)
{
    std::vector<std::string> args = {tool, "--raw", "--format=s16le", "--rate=44100",
                                     "--channels=2"};
    if (std::string(tool) == "parec")
        args.push_back("--device=vumo_null.monitor");
    if (!fileArgument.empty())
        args.push_back(fileArgument);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputPath != nullptr)
        posix_spawn_file_actions_addopen(&actions, 1, outputPath, O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    pid_t pid = -1;
    if (posix_spawnp(&pid, tool, &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int waitForExit(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<int16_t> readSamples(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
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
    // Pointing PulseAudio and JACK at servers that do not exist leaves only the sound cards.
    ScopedEnv pulse("PULSE_SERVER", "unix:/nonexistent/vumo-no-server");
    ScopedEnv jack("JACK_DEFAULT_SERVER", "vumo-no-server");
    if (PortAudioSession::hasDefaultOutput() && PortAudioSession::hasDefaultInput())
        GTEST_SKIP() << "this machine has a sound card";
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

TEST(PortAudioWaveOut, PlaysABlockSampleForSampleAndResetStopsALongOneAtOnce)
{
    VUMO_NEED_DEVICE(PortAudioSession::hasDefaultOutput(), "default output device");
    const testwave::TempDir dir;
    const std::string recordingPath = dir.file("monitor.raw");
    const pid_t parec = startPulseTool("parec", {}, recordingPath.c_str());
    ASSERT_GT(parec, 0) << "parec did not start";
    // The monitor gives silence while nothing plays: data in the file means it records.
    const auto recording = [&] { // parec may not even have created the file yet
        std::error_code error;
        const auto bytes = std::filesystem::file_size(recordingPath, error);
        return !error && bytes > 0;
    };
    for (int i = 0; i < 500 && !recording(); ++i)
        std::this_thread::sleep_for(10ms);

    std::atomic<int> done{0};
    PortAudioWaveOut out;
    ASSERT_EQ(out.open(WaveFormat{}, [&] { done.store(1); }), kMmNoError);
    const std::vector<int16_t> block = knownSignal();
    EXPECT_EQ(out.write(), kWaveUnprepared);
    ASSERT_EQ(out.prepare(block), kMmNoError);
    ASSERT_EQ(out.write(), kMmNoError);
    EXPECT_EQ(out.unprepare(), done.load() ? kMmNoError : kWaveStillPlaying);
    ASSERT_TRUE(waitFor(done));
    uint32_t frames = 0;
    EXPECT_EQ(out.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, block.size() / 2);
    EXPECT_EQ(out.reset(), kMmNoError);
    EXPECT_EQ(out.unprepare(), kMmNoError);
    std::this_thread::sleep_for(300ms); // for parec to take the last buffers
    kill(parec, SIGINT);
    waitForExit(parec);
    const std::vector<int16_t> recorded = readSamples(recordingPath);
    const std::vector<int16_t> heard = heardSignal(recorded, block.size());
    EXPECT_EQ(firstDifference(heard, block), block.size())
        << "heard " << heard.size() << " samples of " << block.size() << " in "
        << recorded.size() / 2 << " frames at the monitor";

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

TEST(PortAudioWaveIn, RecordsWhatAnotherClientPlaysSampleForSample)
{
    VUMO_NEED_DEVICE(PortAudioSession::hasDefaultInput(), "default input device");
    const testwave::TempDir dir;
    const std::string signalPath = dir.file("signal.raw");
    const std::vector<int16_t> signal = knownSignal();
    std::ofstream(signalPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(signal.data()), std::streamsize(signal.size() * 2));

    std::atomic<int> full{0};
    PortAudioWaveIn in;
    ASSERT_EQ(in.open(WaveFormat{}, [&] { full.store(1); }), kMmNoError);
    std::vector<int16_t> block(2 * 44100 * 3);
    EXPECT_EQ(in.addBuffer(), kWaveUnprepared);
    ASSERT_EQ(in.prepare(block), kMmNoError);
    ASSERT_EQ(in.addBuffer(), kMmNoError);
    ASSERT_EQ(in.start(), kMmNoError);
    // The signal starts once the device records, so that it falls wholly into the block.
    uint32_t frames = 0;
    for (int i = 0; i < 500 && in.positionFrames(frames) == kMmNoError && frames < 4410; ++i)
        std::this_thread::sleep_for(10ms);
    const pid_t paplay = startPulseTool("paplay", signalPath, nullptr);
    ASSERT_GT(paplay, 0) << "paplay did not start";
    EXPECT_EQ(waitForExit(paplay), 0);
    ASSERT_TRUE(waitFor(full, std::chrono::seconds(10)));
    EXPECT_EQ(in.positionFrames(frames), kMmNoError);
    EXPECT_EQ(frames, block.size() / 2);
    const std::vector<int16_t> heard = heardSignal(block, signal.size());
    EXPECT_EQ(firstDifference(heard, signal), signal.size())
        << "heard " << heard.size() << " samples of " << signal.size();
    EXPECT_EQ(in.reset(), kMmNoError);
    EXPECT_EQ(in.unprepare(), kMmNoError);
    EXPECT_EQ(in.close(), kMmNoError);
}

// The virtual wave output and input on a hand-stepped stream (position, done notices, results,
// files, loopback) and the canonical wave header.
#include "PlatformTestSupport.h"
#include "TestClocks.h"
#include "platform/WaveHeader.h"
#include "platform/virtual/VirtualWaveIn.h"
#include "platform/virtual/VirtualWaveOut.h"
#include "platform/virtual/VirtualWaveSource.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;
using namespace platform::test;
using Samples = std::vector<int16_t>;

namespace
{

constexpr int16_t kUntouched = 0x1234;

// Frames [first, first + count) of interleaved stereo samples.
Samples slice(const Samples& s, size_t first, size_t count)
{
    return {s.begin() + std::ptrdiff_t(first * 2), s.begin() + std::ptrdiff_t((first + count) * 2)};
}

// An output and an input (filling `store`) open on one stepped stream without files, counting done.
class WaveRig : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(out.open(WaveFormat{}, [this] { ++outDone; }), kMmNoError);
        ASSERT_EQ(in.open(WaveFormat{}, [this] { ++inDone; }), kMmNoError);
    }

    // For each {frames, position, done}: advances the stream, expects position and done count.
    template <class Device>
    void steps(Device& d, std::initializer_list<std::tuple<uint64_t, uint32_t, int>> list)
    {
        for (const auto& [frames, position, done] : list)
        {
            stream->advance(frames);
            uint32_t at = 12345;
            EXPECT_EQ(d.positionFrames(at), kMmNoError);
            EXPECT_EQ(at, position) << "at frame " << stream->nowFrames();
            EXPECT_EQ((std::is_same_v<Device, VirtualWaveOut> ? outDone : inDone), done)
                << "at frame " << stream->nowFrames();
        }
    }
    void play(const Samples& samples)
    {
        ASSERT_EQ(out.prepare(samples), kMmNoError);
        ASSERT_EQ(out.write(), kMmNoError);
    }
    // Opens the closed output writing to `path`.
    int32_t openWithFile()
    {
        ScopedEnv env("VUMO_VIRTUAL_OUTPUT", path);
        return out.open(WaveFormat{}, [this] { ++outDone; });
    }
    // Hands the first `count` frames of `store` to the input; start() then begins input.
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
    Samples frames(size_t first, size_t count) const { return slice(store, first, count); }
    static Samples silence(size_t count) { return Samples(count * 2, 0); }
    static Samples untouched(size_t count) { return Samples(count * 2, kUntouched); }

    testwave::TempDir dir;
    std::string path = dir.file("out.wav");
    ScopedEnv outputFile{"VUMO_VIRTUAL_OUTPUT", std::nullopt};
    ScopedEnv inputFile{"VUMO_VIRTUAL_INPUT", std::nullopt};
    std::shared_ptr<SteppedStream> stream = std::make_shared<SteppedStream>();
    int outDone = 0, inDone = 0;
    Samples block = testwave::ramp(5000);
    Samples store = untouched(10000);
    VirtualWaveOut out{stream};
    VirtualWaveIn in{stream};
};
using VirtualWaveOutTest = WaveRig;
using VirtualWaveInTest = WaveRig;

} // namespace

TEST_F(VirtualWaveOutTest, ResultsOfOutputAndInputFollowTheStateOfTheBlockAndTheDevice)
{
    EXPECT_EQ((Results{out.open(WaveFormat{}, {}), out.write(), out.prepare(Samples(3)),
                       out.prepare(block), out.unprepare(), out.write()}),
              (Results{kMmAllocated, kWaveUnprepared, kMmInvalidParam /* half a frame */,
                       kMmNoError, kMmNoError, kWaveUnprepared}));
    play(block);
    for (const int32_t result :
         {out.write(), out.prepare(block), out.prepare(Samples(3)), out.unprepare(), out.close()})
        EXPECT_EQ(result, kWaveStillPlaying);
    stream->advance(5000);
    ASSERT_EQ(out.close(), kMmNoError);
    uint32_t frames = 99; // a closed device refuses every call but open
    for (const int32_t result : {out.prepare(block), out.write(), out.positionFrames(frames),
                                 out.reset(), out.unprepare(), out.close()})
        EXPECT_EQ(result, kMmInvalidHandle);
    EXPECT_EQ(frames, 0u);
    for (const WaveFormat f : {WaveFormat{22050, 2, 16}, {44100, 1, 16}, {44100, 2, 8}})
        EXPECT_EQ(out.open(f, {}), kWaveBadFormat) << f.framesPerSecond << " " << f.channels;
    ASSERT_EQ(out.open(WaveFormat{}, [this] { ++outDone; }), kMmNoError);
    play(block);
    stream->advance(5000);
    EXPECT_EQ(outDone, 2) << "a closed device opens again";
    // The input's results.
    EXPECT_EQ((Results{in.open(WaveFormat{}, {}), in.addBuffer()}),
              (Results{kMmAllocated, kWaveUnprepared}));
    hand(100);
    EXPECT_EQ((Results{in.unprepare(), in.close(), in.start(), in.close(), in.reset(),
                       in.unprepare(), in.close()}),
              (Results{kWaveStillPlaying, kWaveStillPlaying, kMmNoError, kWaveStillPlaying,
                       kMmNoError, kMmNoError, kMmNoError}));
    uint32_t at = 7;
    for (const int32_t result : {in.prepare(store), in.addBuffer(), in.start(),
                                 in.positionFrames(at), in.reset(), in.close()})
        EXPECT_EQ(result, kMmInvalidHandle);
    EXPECT_EQ(at, 0u);
    EXPECT_EQ(in.open(WaveFormat{48000, 2, 16}, {}), kWaveBadFormat);
}

TEST_F(VirtualWaveOutTest, EachPassPlaysIntoTheFileAndNotifiesDoneOnceAtTheBlockEnd)
{
    ASSERT_EQ((Results{out.close(), openWithFile()}), (Results{kMmNoError, kMmNoError}));
    EXPECT_EQ(testwave::readBytes(path), testwave::waveBytes({}));
    steps(out, {{100, 0, 0}});
    EXPECT_EQ(out.reset(), kMmNoError);
    steps(out, {{0, 0, 0}}); // an idle reset notifies nothing
    play(block);
    steps(out, {{0, 0, 0}, {441, 441, 0}, {793, 1234, 0}});
    EXPECT_EQ(out.reset(), kMmNoError);
    steps(out, {{0, 0, 1}, {10000, 0, 1}});
    Samples expected = slice(block, 0, 1234);
    EXPECT_EQ(testwave::readBytes(path), testwave::waveBytes(expected));
    // Done fires once at the block end, its frames in the file; a write plays the block again.
    ASSERT_EQ(out.write(), kMmNoError);
    steps(out, {{4999, 4999, 1}, {1, 5000, 2}, {50000, 5000, 2}});
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(testwave::readBytes(path), testwave::waveBytes(expected));
    ASSERT_EQ(out.write(), kMmNoError);
    steps(out, {{0, 0, 2}, {5000, 5000, 3}});
    expected.insert(expected.end(), block.begin(), block.end());
    ASSERT_EQ(out.unprepare(), kMmNoError);
    play({}); // an empty block is done at the next step
    steps(out, {{1, 0, 4}});
    ASSERT_EQ(out.close(), kMmNoError);
    // Reopened on a file whose last pass was cut short before its header was written.
    std::vector<uint8_t> cut = testwave::readBytes(path);
    cut.insert(cut.end(), {1, 2, 3, 4, 5, 6});
    testwave::writeBytes(path, cut);
    ASSERT_EQ(openWithFile(), kMmNoError);
    const Samples one = testwave::ramp(1, 50);
    play(one);
    stream->advance(1);
    expected.insert(expected.end(), one.begin(), one.end());
    EXPECT_EQ(testwave::readBytes(path), testwave::waveBytes(expected));
    // A file it cannot continue is refused and left alone.
    ASSERT_EQ(out.close(), kMmNoError);
    for (const auto& bytes :
         {std::vector<uint8_t>(80, 't'),
          testwave::waveBytes(testwave::ramp(2), {.channels = 1, .chunksBeforeData = {}})})
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

TEST_F(VirtualWaveInTest, CapturesTheFramesTheWaveFileHoldsAtStartThenSilenceOrFailsWithoutIt)
{
    const std::string take = dir.file("take.wav");
    testwave::writeStereo(take, testwave::ramp(5));
    ScopedEnv env("VUMO_VIRTUAL_INPUT", take);
    hand(1000);
    const Samples frames700 = testwave::ramp(700, 40);
    testwave::writeStereo(take, frames700); // replaced before start: the device reads it then
    ASSERT_EQ(in.start(), kMmNoError);
    stream->advance(900);
    EXPECT_EQ(frames(0, 700), frames700);
    EXPECT_EQ(frames(700, 200), silence(200));
    EXPECT_EQ(frames(900, 1), untouched(1));
    // An input file that cannot be read fails start and captures nothing.
    ASSERT_EQ(in.reset(), kMmNoError);
    std::fill(store.begin(), store.end(), kUntouched);
    ScopedEnv absent("VUMO_VIRTUAL_INPUT", dir.file("absent.wav"));
    EXPECT_EQ(capture(100), kMmError);
    steps(in, {{100, 0, 1}});
    EXPECT_EQ(frames(0, 100), untouched(100));
}

TEST_F(VirtualWaveInTest, CapturesSilenceWithoutAnInputUntilTheBlockIsFullOrResetAtOnce)
{
    ASSERT_EQ(capture(3000), kMmNoError);
    steps(in, {{1500, 1500, 0}});
    EXPECT_EQ(frames(1500, 10), untouched(10));
    steps(in, {{1499, 2999, 0}, {5000, 3000, 1}});
    EXPECT_EQ(frames(0, 3000), silence(3000));
    EXPECT_EQ(frames(3000, 1000), untouched(1000));
    // Reset stops a capture at once.
    std::fill(store.begin(), store.end(), kUntouched);
    ASSERT_EQ(capture(5000), kMmNoError);
    stream->advance(200);
    EXPECT_EQ(in.reset(), kMmNoError);
    steps(in, {{0, 0, 2}, {2000, 0, 2}});
    EXPECT_EQ(frames(200, 100), untouched(100));
    // Started before the block is added, input captures once it is.
    ASSERT_EQ((Results{in.prepare({store.data(), 200}), in.start()}),
              (Results{kMmNoError, kMmNoError}));
    steps(in, {{50, 0, 2}});
    ASSERT_EQ(in.addBuffer(), kMmNoError);
    steps(in, {{30, 30, 2}});
    EXPECT_EQ((Results{in.reset(), in.close()}), (Results{kMmNoError, kMmNoError}));
}

TEST_F(VirtualWaveInTest, LoopbackCapturesWhatTheOutputPlaysFromWhenItStarts)
{
    ScopedEnv loopback("VUMO_VIRTUAL_INPUT", "loopback");
    const Samples played = testwave::ramp(3000, -1500);
    stream->advance(777); // the stream's origin does not matter
    ASSERT_EQ(capture(3000), kMmNoError);
    stream->advance(500);
    play(played);
    stream->advance(2000);
    ASSERT_EQ(out.reset(), kMmNoError);
    steps(in, {{500, 3000, 1}});
    EXPECT_EQ(frames(0, 500), silence(500));
    EXPECT_EQ(frames(500, 2000), slice(played, 0, 2000));
    EXPECT_EQ(frames(2500, 500), silence(500)) << "silent after the output is reset";
}

TEST(WaveHeader, WritesTheCanonicalBytesReadsBackEveryFieldAndTheInputReadsOnly16BitWaves)
{
    using testwave::ramp;
    using testwave::waveBytes;
    std::vector<uint8_t> cut = waveBytes(ramp(6));
    cut.resize(44 + 3 * 4 + 2); // three whole frames and half of the fourth
    // name, bytes (none: no file), frames asked, frames read (none: refused)
    const std::tuple<const char*, std::vector<uint8_t>, uint32_t, Samples> rows[] = {
        {"canonical", waveBytes(ramp(10, -3)), 1000, ramp(10, -3)},
        {"longer than asked", waveBytes(ramp(10)), 4, ramp(4)},
        {"chunk before data", waveBytes(ramp(3, 9), {.chunksBeforeData = {"LIST"}}), 100,
         ramp(3, 9)},
        {"data cut short", cut, 100, ramp(3)},
        {"missing", {}, 10, {}},
        {"8-bit", waveBytes(ramp(2), {.bits = 8, .chunksBeforeData = {}}), 10, {}},
        {"text", std::vector<uint8_t>(64, 'z'), 10, {}},
    };
    testwave::TempDir dir;
    for (const auto& [name, bytes, maxFrames, frames] : rows)
    {
        const std::string path = dir.file(std::string(name) + ".wav");
        if (!bytes.empty())
            testwave::writeBytes(path, bytes);
        Samples got;
        EXPECT_EQ(readWaveFrames(path, maxFrames, got), !frames.empty()) << name;
        EXPECT_EQ(got, frames) << name;
    }
    // The header against the hand-laid bytes of the test helper; the size fields at their limits.
    for (const auto& [frames, dataBytes] : {std::pair<uint32_t, uint32_t>{0, 0},
                                            {1, 4},
                                            {10, 40},
                                            {kWaveHeaderMaxFrames, 0xFFFFFFD8u},
                                            {0xFFFFFFFFu, 0xFFFFFFD8u}})
    {
        const auto h = waveHeader(frames);
        auto expected = testwave::waveBytes(Samples(frames <= 10 ? 2 * frames : 0));
        writeLe32(&expected[4], 36 + dataBytes);
        writeLe32(&expected[40], dataBytes);
        expected.resize(44);
        EXPECT_EQ(std::vector<uint8_t>(h.begin(), h.end()), expected) << frames;
        const WaveHeaderFields f = readWaveHeader(h.data());
        EXPECT_TRUE(f.isCanonical());
        EXPECT_EQ(std::pair(f.dataBytes, f.riffSize), std::pair(dataBytes, 36 + dataBytes));
    }
    auto h = waveHeader(3);
    h[22] = 1; // mono
    EXPECT_FALSE(readWaveHeader(h.data()).isCanonical());
    h = waveHeader(3);
    h[36] = 'D';
    EXPECT_FALSE(readWaveHeader(h.data()).ids);
}

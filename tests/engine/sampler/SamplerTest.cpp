// Tests of the sample keyboard: LoadSK1's usable length and SK1's rendering of one note, over
// engine buffers set up by hand.
#include "engine/sampler/Sampler.h"
#include "engine/api/Engine.h"
#include "engine/wave/WaveFile.h"
#include "platform/WaveHeader.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace wavorn;

namespace
{

constexpr int32_t kTrackLen = 4000;

// Clip frame k: (20 * (k + 1), -20 * (k + 1)), so interpolated values are exact.
std::vector<int16_t> rampClip(int32_t frames)
{
    std::vector<int16_t> s = testwave::ramp(frames);
    for (int16_t& x : s)
        x = int16_t(20 * x);
    return s;
}

class Sampler : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Engine& e = engine();
        e.trackLen = kTrackLen;
        e.trackBuf = allocateFrames(kTrackLen);
        e.playBuf = allocateFrames(kTrackLen);
        e.open = true;
        e.dirty = false;
    }
    void TearDown() override
    {
        Engine& e = engine();
        e.trackBuf.reset();
        e.playBuf.reset();
        e.open = false;
        e.trackLen = 0;
    }
    // Writes a canonical stereo file of `samples` and loads it.
    int32_t load(const std::vector<int16_t>& samples)
    {
        testwave::writeStereo(dir.file("clip.wav"), samples);
        return loadSK1(dir.file("clip.wav").c_str());
    }
    static int16_t left(int32_t frame) { return engine().trackBuf[2 * size_t(frame)]; }
    static int16_t right(int32_t frame) { return engine().trackBuf[2 * size_t(frame) + 1]; }
    static std::vector<int16_t> track()
    {
        return {engine().trackSamples().begin(), engine().trackSamples().end()};
    }
    static void fillTrack(int16_t v) { std::ranges::fill(engine().trackSamples(), v); }
    testwave::TempDir dir;
};

} // namespace

TEST_F(Sampler, TheLengthComesFromTheRiffSizeLessTwoFramesAndIsZeroForClipsItCannotUse)
{
    std::vector<uint8_t> riffSays50 = testwave::waveBytes(std::vector<int16_t>(2 * 100, 1));
    platform::writeLe32(riffSays50.data() + 4, 36 + 4 * 50); // the data chunk holds 100
    testwave::WaveLayout mono;
    mono.channels = 1;
    const struct
    {
        const char* name;
        std::vector<uint8_t> bytes; // empty: no file
        int32_t length;
    } rows[] = {
        {"1000 frames", testwave::waveBytes(rampClip(1000)), 998},
        {"riff size of 50 frames", riffSays50, 48},
        {"3 frames", testwave::waveBytes(rampClip(3)), 1},
        {"2 frames", testwave::waveBytes(rampClip(2)), 0},
        {"no frames", testwave::waveBytes({}), 0},
        {"longer than the track", testwave::waveBytes(rampClip(kTrackLen + 500)), kTrackLen - 2},
        {"mono", testwave::waveBytes(std::vector<int16_t>(400, 1000), mono), 0},
        {"text", {'h', 'e', 'l', 'l', 'o'}, 0},
        {"missing", {}, 0},
    };
    for (const auto& r : rows)
    {
        const std::string path = dir.file(std::string(r.name) + ".wav");
        if (!r.bytes.empty())
            testwave::writeBytes(path, r.bytes);
        EXPECT_EQ(loadSK1(path.c_str()), r.length) << r.name;
    }
    EXPECT_EQ(loadSK1(nullptr), 0);
    EXPECT_EQ(load(rampClip(1000)), 998);
    EXPECT_EQ(engine().playBuf[2 * 999 + 1], -20000);
    EXPECT_EQ(engine().playBuf[2 * 1000], 0) << "the loader silences playBuf after the clip";
}

TEST_F(Sampler, ANoteReadsTheClipAtMultiplesOfTheStepBetweenNeighbouringFrames)
{
    ASSERT_EQ(load(rampClip(1000)), 998);
    // Step 0 holds the first frame up to two frames before the track's end.
    const struct
    {
        double step;
        int32_t length, frames;
    } rows[] = {{1.0, 998, 998},
                {2.0, 998, 499},
                {0.5, 998, 1996},
                {1.0, 1, 1},
                {0.0, 998, kTrackLen - 2 - 100}};
    for (const auto& r : rows)
    {
        fillTrack(0);
        EXPECT_EQ(sk1(100, r.length, r.step, 1.0), 0);
        for (int32_t d = 0; d < r.frames; ++d)
        {
            const auto expected = int16_t(20 * (d * r.step + 1)); // exact on this ramp
            ASSERT_EQ(left(100 + d), expected) << r.step << " frame " << d;
            ASSERT_EQ(right(100 + d), -expected) << r.step << " frame " << d;
        }
        EXPECT_EQ(left(99), 0);
        EXPECT_EQ(left(100 + r.frames), 0) << r.step << ": the note is over";
    }
    EXPECT_FALSE(engine().dirty) << "the application marks the track edited itself";
    // Near the end the note is cut two frames before it: 10 note frames, the last two untouched.
    fillTrack(7);
    std::vector<int16_t> expected = track();
    sk1(kTrackLen - 12, 998, 1.0, 1.0);
    for (int32_t k = 0; k < 10; ++k)
    {
        expected[2 * size_t(kTrackLen - 12 + k)] = int16_t(7 + 20 * (k + 1));
        expected[2 * size_t(kTrackLen - 12 + k) + 1] = int16_t(7 - 20 * (k + 1));
    }
    EXPECT_EQ(track(), expected);
}

TEST_F(Sampler, TheNoteIsScaledByTheGainAndAddedToTheTrackTruncatedOrClamped)
{
    load(rampClip(10));
    fillTrack(0);
    sk1(0, 8, 1.0, 0.075); // 20 * 0.075 = 1.5 stored as 1
    EXPECT_EQ(left(0), 1);
    EXPECT_EQ(right(0), -1);
    sk1(20, 8, 1.0, 3.0e38);
    EXPECT_EQ(left(20), 32767);
    EXPECT_EQ(right(20), -32767);
    load({20000, -32767, -20000, 32767, 1000, 32767, 1000, 32767, 1000, 32767});
    sk1(50, 3, 1.0, 1.0);
    sk1(50, 3, 1.0, 1.0); // two notes at the same frame double and clamp
    EXPECT_EQ(left(50), 32767);
    EXPECT_EQ(left(51), -32767);
    EXPECT_EQ(left(52), 2000);
    EXPECT_EQ(right(50), -32767);
}

TEST_F(Sampler, ArgumentsOutsideTheirRangesNeverTouchMemoryOutsideTheBuffers)
{
    const int32_t length = load(rampClip(1000));
    const std::vector<int16_t> before = track();
    for (int32_t start : {-1, -500, INT32_MIN, kTrackLen - 2, kTrackLen, INT32_MAX})
        EXPECT_EQ(sk1(start, length, 1.0, 1.0), 0) << start;
    for (int32_t bad : {0, -1, -998, INT32_MIN})
        sk1(0, bad, 1.0, 1.0);
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300, -1e300})
    {
        sk1(0, length, bad, 1.0);
        sk1(0, length, 1.0, bad);
    }
    sk1(0, length, -1.0, 1.0);
    EXPECT_EQ(track(), before);
    // Lengths beyond playBuf stop at its last frame (the sanitizer build checks the reads).
    load(rampClip(kTrackLen));
    for (int32_t beyond : {kTrackLen - 1, kTrackLen, kTrackLen + 1, INT32_MAX})
        for (double step : {0.25, 1.0, 3.0})
            sk1(0, beyond, step, 1.0);
    EXPECT_NE(left(0), 0);
    engine().trackBuf.reset(); // without buffers nothing happens
    EXPECT_EQ(sk1(0, 10, 1.0, 1.0), 0);
    engine().playBuf.reset();
    EXPECT_EQ(loadSK1(dir.file("clip.wav").c_str()), 0);
}

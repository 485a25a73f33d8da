// The sample keyboard: LoadSK1's usable length and SK1's rendering of a note, on buffers by hand.
#include "engine/sampler/Sampler.h"
#include "engine/api/Engine.h"
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
        e.trackLen = kTrackLen, e.dirty = false;
        e.trackBuf = allocateFrames(kTrackLen), e.playBuf = allocateFrames(kTrackLen);
    }
    void TearDown() override
    {
        engine().trackBuf.reset(), engine().playBuf.reset(), engine().trackLen = 0;
    }
    // Writes the bytes to a file and loads it; no bytes: no file.
    int32_t load(const std::vector<uint8_t>& bytes)
    {
        if (!bytes.empty())
            testwave::writeBytes(dir.file("clip.wav"), bytes);
        return loadSK1(dir.file(bytes.empty() ? "missing.wav" : "clip.wav").c_str());
    }
    // The track after filling it with `fill` and playing one note.
    static std::vector<int16_t> note(int16_t fill, int32_t start, int32_t length, double step,
                                     double gain)
    {
        std::ranges::fill(engine().trackSamples(), fill);
        EXPECT_EQ(sk1(start, length, step, gain), 0);
        return {engine().trackSamples().begin(), engine().trackSamples().end()};
    }
    testwave::TempDir dir;
};

} // namespace

TEST_F(Sampler, TheLengthComesFromTheRiffSizeLessTwoFramesAndIsZeroForClipsItCannotUse)
{
    std::vector<uint8_t> riffSays50 = testwave::waveBytes(std::vector<int16_t>(2 * 100, 1));
    platform::writeLe32(riffSays50.data() + 4, 36 + 4 * 50); // the data chunk holds 100
    const std::pair<std::vector<uint8_t>, int32_t> rows[] = {
        {riffSays50, 48},
        {testwave::waveBytes(rampClip(3)), 1},
        {testwave::waveBytes(rampClip(2)), 0},
        {testwave::waveBytes(rampClip(kTrackLen + 500)), kTrackLen - 2},
        {testwave::waveBytes(std::vector<int16_t>(400, 1000), {.channels = 1}), 0},
        {{'h', 'e', 'l', 'l', 'o'}, 0},
        {{}, 0}, // missing
        {testwave::waveBytes(rampClip(1000)), 998},
    };
    for (const auto& [bytes, length] : rows)
        EXPECT_EQ(load(bytes), length) << bytes.size();
    EXPECT_EQ(loadSK1(nullptr), 0);
    EXPECT_EQ(engine().playBuf[2 * 999 + 1], -20000);
    EXPECT_EQ(engine().playBuf[2 * 1000], 0) << "the loader silences playBuf after the clip";
}

TEST_F(Sampler, ANoteReadsTheClipAtMultiplesOfTheStepAddedToTheTrackTruncatedOrClamped)
{
    ASSERT_EQ(load(testwave::waveBytes(rampClip(1000))), 998);
    // Step 0 holds the first frame up to two frames before the track's end.
    for (const auto& [step, length, frames] : {std::tuple{1.0, 998, 998},
                                               {2.0, 998, 499},
                                               {0.5, 998, 1996},
                                               {1.0, 1, 1},
                                               {0.0, 998, 3898}})
    {
        const auto track = note(7, 100, length, step, 1.0);
        for (int32_t d = -1; d <= frames; ++d)
        {
            const bool in = d >= 0 && d < frames;
            const auto expected = int16_t(in ? 20 * (d * step + 1) : 0); // exact on the ramp
            ASSERT_EQ(std::pair(track[2 * size_t(100 + d)], track[2 * size_t(100 + d) + 1]),
                      std::pair(int16_t(7 + expected), int16_t(7 - expected)))
                << step << " frame " << d;
        }
    }
    EXPECT_FALSE(engine().dirty) << "the application marks the track edited itself";
    // Near the end the note is cut two frames before it: 10 note frames, the last two untouched.
    const auto tail = note(7, kTrackLen - 12, 998, 1.0, 1.0);
    EXPECT_EQ(tail[2 * (kTrackLen - 3)], 7 + 200);
    EXPECT_EQ(tail[2 * (kTrackLen - 2)], 7);
    EXPECT_EQ(note(0, 0, 8, 1.0, 0.075)[1], -1); // 20 * 0.075 = 1.5 stored as 1
    EXPECT_EQ(note(0, 0, 8, 1.0, 3.0e38)[1], -32767);
    testwave::writeStereo(dir.file("c.wav"), {20000, -32767, -20000, 32767, 1000, 32767});
    ASSERT_EQ(loadSK1(dir.file("c.wav").c_str()), 1);
    EXPECT_EQ(note(20000, 50, 1, 1.0, 1.0)[100], 32767); // sums are clamped
    EXPECT_EQ(note(20000, 50, 1, 1.0, 1.0)[101], -12767);
    EXPECT_EQ(note(-20000, 50, 1, 1.0, 1.0)[101], -32767);
}

TEST_F(Sampler, ArgumentsOutsideTheirRangesNeverTouchMemoryOutsideTheBuffers)
{
    const int32_t length = load(testwave::waveBytes(rampClip(1000)));
    const double inf = std::numeric_limits<double>::infinity();
    for (int32_t start : {-1, INT32_MIN, kTrackLen - 2, kTrackLen, INT32_MAX})
        EXPECT_EQ(note(0, start, length, 1.0, 1.0), std::vector<int16_t>(2 * kTrackLen)) << start;
    for (int32_t bad : {0, -1, INT32_MIN})
        EXPECT_EQ(note(0, 0, bad, 1.0, 1.0), std::vector<int16_t>(2 * kTrackLen)) << bad;
    EXPECT_EQ(note(0, 0, length, -1.0, 1.0), std::vector<int16_t>(2 * kTrackLen));
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300})
    {
        EXPECT_EQ(note(0, 0, length, bad, 1.0), std::vector<int16_t>(2 * kTrackLen)) << bad;
        EXPECT_EQ(note(0, 0, length, 1.0, bad), std::vector<int16_t>(2 * kTrackLen)) << bad;
    }
    // Lengths beyond playBuf stop at its last frame (the sanitizer build checks the reads).
    load(testwave::waveBytes(rampClip(kTrackLen)));
    for (int32_t beyond : {kTrackLen - 1, kTrackLen, INT32_MAX})
        for (double step : {0.25, 1.0, 3.0})
            EXPECT_NE(note(0, 0, beyond, step, 1.0)[0], 0);
    engine().trackBuf.reset(); // without buffers nothing happens
    EXPECT_EQ(sk1(0, 10, 1.0, 1.0), 0);
    engine().playBuf.reset();
    EXPECT_EQ(loadSK1(dir.file("clip.wav").c_str()), 0);
}

// Tests of the sample keyboard: LoadSK1's usable length and SK1's rendering of one note, over
// engine buffers set up by hand.
#include "tests/engine/TestWave.h"

#include "engine/api/Engine.h"
#include "engine/sampler/Sampler.h"
#include "engine/wave/WaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <numeric>
#include <vector>

using namespace wavorn;

namespace
{

constexpr int32_t kTrackLen = 4000;

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

    // Writes `frames` frames of clip(k) = (left, right) as a canonical file and loads it.
    int32_t loadClip(int32_t frames, int16_t (*left)(int32_t), int16_t (*right)(int32_t))
    {
        std::vector<int16_t> samples;
        for (int32_t k = 0; k < frames; ++k)
        {
            samples.push_back(left(k));
            samples.push_back(right(k));
        }
        testwave::writeStereo(m_dir.file("clip.wav"), samples);
        return loadSK1(m_dir.file("clip.wav").c_str());
    }

    static int16_t trackLeft(int32_t frame) { return engine().trackBuf[2 * size_t(frame)]; }
    static int16_t trackRight(int32_t frame) { return engine().trackBuf[2 * size_t(frame) + 1]; }
    static void setTrack(int32_t frame, int16_t left, int16_t right)
    {
        engine().trackBuf[2 * size_t(frame)] = left;
        engine().trackBuf[2 * size_t(frame) + 1] = right;
    }
    // A fingerprint of the whole track, to see that nothing changed.
    static int64_t trackSum()
    {
        const auto s = engine().trackSamples();
        int64_t sum = 0;
        for (size_t n = 0; n < s.size(); ++n)
            sum += int64_t(s[n]) * int64_t(n % 7919 + 1);
        return sum;
    }
    // Frames of the track from `first` on that are not silent, up to the first silent one.
    static int32_t writtenFrom(int32_t first)
    {
        int32_t n = first;
        while (n < kTrackLen && (trackLeft(n) != 0 || trackRight(n) != 0))
            ++n;
        return n - first;
    }

    testwave::TempDir m_dir;
};

int16_t rampUp(int32_t k)
{
    return int16_t(20 * (k + 1));
}
int16_t rampDown(int32_t k)
{
    return int16_t(-20 * (k + 1));
}

} // namespace

TEST_F(Sampler, ALoadedThousandFrameClipIsNineHundredNinetyEightFramesLong)
{
    EXPECT_EQ(loadClip(1000, rampUp, rampDown), 998);
    EXPECT_EQ(engine().playBuf[0], 20);
    EXPECT_EQ(engine().playBuf[2 * 999 + 1], -20000);
    EXPECT_EQ(engine().playBuf[2 * 1000], 0) << "the loader silences playBuf after the clip";
}

TEST_F(Sampler, ClipWrittenBySaveBufToWaveOfAThousandFramesGives998)
{
    std::vector<int16_t> buffer(2 * 1000, 5);
    ASSERT_EQ(saveBufToWave(0, 1000, m_dir.file("saved.wav").c_str(), buffer.data()), 0);
    EXPECT_EQ(loadSK1(m_dir.file("saved.wav").c_str()), 998);
}

TEST_F(Sampler, TheLengthComesFromTheRiffSizeFieldNotTheDataChunk)
{
    auto bytes = testwave::waveBytes(std::vector<int16_t>(2 * 100, 1));
    const uint32_t riffSize = 36 + 4 * 50;
    for (int b = 0; b < 4; ++b)
        bytes[4 + size_t(b)] = uint8_t(riffSize >> (8 * b));
    testwave::writeBytes(m_dir.file("short.wav"), bytes);
    EXPECT_EQ(loadSK1(m_dir.file("short.wav").c_str()), 48);
}

TEST_F(Sampler, ClipsThatAreNotStereo16BitAt44100GiveZero)
{
    const std::vector<int16_t> samples(400, 1000);
    testwave::WaveLayout mono;
    mono.channels = 1;
    testwave::WaveLayout slow;
    slow.rate = 22050;
    testwave::WaveLayout eightBit;
    eightBit.bits = 8;
    testwave::WaveLayout notPcm;
    notPcm.formatTag = 3;
    for (const auto* layout : {&mono, &slow, &eightBit, &notPcm})
    {
        testwave::writeBytes(m_dir.file("odd.wav"), testwave::waveBytes(samples, *layout));
        EXPECT_EQ(loadSK1(m_dir.file("odd.wav").c_str()), 0)
            << layout->channels << " " << layout->rate << " " << layout->bits;
    }
    testwave::writeBytes(m_dir.file("text.wav"), {'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(loadSK1(m_dir.file("text.wav").c_str()), 0);
    EXPECT_EQ(loadSK1(m_dir.file("missing.wav").c_str()), 0);
    EXPECT_EQ(loadSK1(nullptr), 0);
}

TEST_F(Sampler, ClipsOfOneFrameOrNoneGiveZero)
{
    EXPECT_EQ(loadClip(2, rampUp, rampDown), 0);
    EXPECT_EQ(loadClip(1, rampUp, rampDown), 0);
    EXPECT_EQ(loadClip(0, rampUp, rampDown), 0);
    EXPECT_EQ(loadClip(3, rampUp, rampDown), 1);
}

TEST_F(Sampler, AClipLongerThanTheTrackIsCutToWhatPlayBufHolds)
{
    EXPECT_EQ(loadClip(kTrackLen + 500, rampUp, rampDown), kTrackLen - 2);
}

TEST_F(Sampler, StepOneGainOneCopiesTheClipOntoASilentTrack)
{
    const int32_t length = loadClip(1000, rampUp, rampDown);
    ASSERT_EQ(length, 998);
    EXPECT_EQ(sk1(100, length, 1.0, 1.0), 0);
    for (int32_t k = 0; k < length; ++k)
    {
        ASSERT_EQ(trackLeft(100 + k), rampUp(k)) << k;
        ASSERT_EQ(trackRight(100 + k), rampDown(k)) << k;
    }
    EXPECT_EQ(writtenFrom(100), length);
    EXPECT_EQ(trackLeft(99), 0);
    EXPECT_FALSE(engine().dirty) << "the application marks the track edited itself";
}

TEST_F(Sampler, AClipLengthOfOneWritesOneFrame)
{
    loadClip(1000, rampUp, rampDown);
    sk1(10, 1, 1.0, 1.0);
    EXPECT_EQ(writtenFrom(10), 1);
    EXPECT_EQ(trackLeft(10), 20);
}

TEST_F(Sampler, StepTwoWritesHalfAsManyFramesFromEverySecondClipFrame)
{
    const int32_t length = loadClip(1000, rampUp, rampDown);
    sk1(0, length, 2.0, 1.0);
    EXPECT_EQ(writtenFrom(0), length / 2);
    for (int32_t k = 0; k < length / 2; ++k)
        ASSERT_EQ(trackLeft(k), rampUp(2 * k)) << k;
}

TEST_F(Sampler, StepOneHalfWritesTwiceAsManyFramesWithHalfwayValuesBetween)
{
    const int32_t length = loadClip(1000, rampUp, rampDown);
    sk1(0, length, 0.5, 1.0);
    EXPECT_EQ(writtenFrom(0), 2 * length);
    for (int32_t k = 0; k + 1 < length; ++k)
    {
        ASSERT_EQ(trackLeft(2 * k), rampUp(k)) << k;
        ASSERT_EQ(trackLeft(2 * k + 1), rampUp(k) + 10) << k;
        ASSERT_EQ(trackRight(2 * k + 1), rampDown(k) - 10) << k;
    }
}

TEST_F(Sampler, GainScalesAndTheStoreTruncatesTowardZero)
{
    loadClip(
        10, [](int32_t) { return int16_t(3); }, [](int32_t) { return int16_t(-3); });
    sk1(0, 8, 1.0, 0.5);
    EXPECT_EQ(trackLeft(0), 1);
    EXPECT_EQ(trackRight(0), -1);
}

TEST_F(Sampler, TheNoteIsAddedToWhatTheTrackHolds)
{
    loadClip(10, rampUp, rampDown);
    for (int32_t k = 0; k < 20; ++k)
        setTrack(k, 1000, 1000);
    sk1(0, 8, 1.0, 1.0);
    EXPECT_EQ(trackLeft(0), 1020);
    EXPECT_EQ(trackRight(0), 980);
    EXPECT_EQ(trackLeft(7), 1160);
    EXPECT_EQ(trackLeft(8), 1000) << "the note is over";
}

TEST_F(Sampler, TwoNotesAtTheSameFrameDoubleAndClamp)
{
    loadClip(
        5, [](int32_t k) { return int16_t(k == 0   ? 20000
                                          : k == 1 ? -20000
                                                   : 1000); },
        [](int32_t k) { return int16_t(k == 0 ? -32767 : 32767); });
    sk1(50, 3, 1.0, 1.0);
    sk1(50, 3, 1.0, 1.0);
    EXPECT_EQ(trackLeft(50), 32767);
    EXPECT_EQ(trackLeft(51), -32767);
    EXPECT_EQ(trackLeft(52), 2000);
    EXPECT_EQ(trackRight(50), -32767);
    EXPECT_EQ(trackRight(51), 32767);
}

TEST_F(Sampler, ANoteNearTheEndIsCutTwoFramesBeforeIt)
{
    const int32_t length = loadClip(1000, rampUp, rampDown);
    setTrack(kTrackLen - 2, 7, 7);
    setTrack(kTrackLen - 1, 9, 9);
    sk1(kTrackLen - 2 - 10, length, 1.0, 1.0);
    EXPECT_EQ(writtenFrom(kTrackLen - 12), 12) << "10 note frames and the two untouched ones";
    EXPECT_EQ(trackLeft(kTrackLen - 3), rampUp(9));
    EXPECT_EQ(trackLeft(kTrackLen - 2), 7);
    EXPECT_EQ(trackLeft(kTrackLen - 1), 9);
}

TEST_F(Sampler, AMonoClipGivesZeroAndItsNotesRenderNothing)
{
    testwave::WaveLayout mono;
    mono.channels = 1;
    testwave::writeBytes(m_dir.file("mono.wav"),
                         testwave::waveBytes(std::vector<int16_t>(500, 1234), mono));
    const int32_t length = loadSK1(m_dir.file("mono.wav").c_str());
    EXPECT_EQ(length, 0);
    const int64_t before = trackSum();
    for (int32_t start : {0, 100, 2000})
        EXPECT_EQ(sk1(start, length, 1.0, 1.0), 0);
    EXPECT_EQ(trackSum(), before);
    EXPECT_EQ(writtenFrom(0), 0);
}

TEST_F(Sampler, StartFramesOutsideTheTrackWriteNothing)
{
    const int32_t length = loadClip(1000, rampUp, rampDown);
    const int64_t before = trackSum();
    for (int32_t start : {-1, -500, INT32_MIN, kTrackLen - 2, kTrackLen, INT32_MAX})
        EXPECT_EQ(sk1(start, length, 1.0, 1.0), 0) << start;
    EXPECT_EQ(trackSum(), before);
}

TEST_F(Sampler, LengthsBeyondPlayBufStopAtItsLastFrame)
{
    loadClip(kTrackLen, rampUp, rampDown);
    for (int32_t length : {kTrackLen - 1, kTrackLen, kTrackLen + 1, INT32_MAX})
    {
        sk1(0, length, 1.0, 0.0);
        sk1(0, length, 3.0, 1.0);
        sk1(0, length, 0.25, 1.0);
    }
    // Reaching here without a read outside playBuf (the sanitizer build checks) is the test;
    // the step-3 note of the longest length reads as far as the clip goes.
    EXPECT_NE(trackLeft(0), 0);
}

TEST_F(Sampler, NegativeOrZeroLengthsChangeNothing)
{
    loadClip(1000, rampUp, rampDown);
    const int64_t before = trackSum();
    for (int32_t length : {0, -1, -998, INT32_MIN})
        sk1(0, length, 1.0, 1.0);
    EXPECT_EQ(trackSum(), before);
}

TEST_F(Sampler, StepsAndGainsThatAreNotFiniteFloatsChangeNothing)
{
    const int32_t length = loadClip(1000, rampUp, rampDown);
    const int64_t before = trackSum();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf, 1e300, -1e300})
    {
        sk1(0, length, bad, 1.0);
        sk1(0, length, 1.0, bad);
    }
    sk1(0, length, -1.0, 1.0);
    EXPECT_EQ(trackSum(), before);
}

TEST_F(Sampler, AHugeGainClampsInsteadOfOverflowing)
{
    const int32_t length = loadClip(10, rampUp, rampDown);
    sk1(0, length, 1.0, 3.0e38);
    EXPECT_EQ(trackLeft(0), 32767);
    EXPECT_EQ(trackRight(0), -32767);
}

TEST_F(Sampler, StepZeroHoldsTheFirstClipFrameToTheEndOfTheTrack)
{
    const int32_t length = loadClip(10, rampUp, rampDown);
    sk1(kTrackLen - 100, length, 0.0, 1.0);
    EXPECT_EQ(writtenFrom(kTrackLen - 100), 98);
    EXPECT_EQ(trackLeft(kTrackLen - 3), rampUp(0));
}

TEST_F(Sampler, WithoutBuffersNothingHappens)
{
    engine().trackBuf.reset();
    EXPECT_EQ(sk1(0, 10, 1.0, 1.0), 0);
    engine().playBuf.reset();
    EXPECT_EQ(loadSK1(m_dir.file("any.wav").c_str()), 0);
}

TEST_F(Sampler, BothExportsWriteTheirNamesToTheTraceLog)
{
    const std::string log = m_dir.file("trace.log");
    setenv("VUMO_LOG", log.c_str(), 1);
    engine().logging = true;
    sk1(0, 0, 1.0, 1.0);
    loadSK1(m_dir.file("missing.wav").c_str());
    engine().logging = false;
    unsetenv("VUMO_LOG");
    std::ifstream file(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "SK1");
    EXPECT_EQ(lines[1], "LoadSK1");
}

// CopyTo, CutTo and PasteFrom through the library's exports.
#include "tests/engine/fx/ExportFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

using namespace fxtest;

namespace
{

class Clips : public ExportFixture
{
protected:
    // A track whose frame f holds (f % 1000, -(f % 1000)).
    void loadRamp()
    {
        std::vector<int16_t> s(2 * size_t(kFrames));
        for (int32_t f = 0; f < kFrames; ++f)
        {
            s[2 * size_t(f)] = int16_t(f % 1000);
            s[2 * size_t(f) + 1] = int16_t(-(f % 1000));
        }
        loadTrack(s);
    }
    // Writes a clip of `frames` frames all (l, r).
    std::string clip(const char* name, int32_t frames, int16_t l, int16_t r)
    {
        std::vector<int16_t> s(2 * size_t(frames));
        for (int32_t f = 0; f < frames; ++f)
        {
            s[2 * size_t(f)] = l;
            s[2 * size_t(f) + 1] = r;
        }
        writeWave(path(name), s);
        return path(name);
    }
    void fillTrack(int16_t l, int16_t r)
    {
        std::vector<int16_t> s(2 * size_t(kFrames));
        for (int32_t f = 0; f < kFrames; ++f)
        {
            s[2 * size_t(f)] = l;
            s[2 * size_t(f) + 1] = r;
        }
        loadTrack(s);
    }
};

} // namespace

TEST_F(Clips, CopyToWritesTheRangeAndChangesNothing)
{
    loadRamp();
    const auto before = trackSamples();
    EXPECT_EQ(CopyTo(100, 350, path("copy.wav").c_str()), 0);
    const auto copied = readWaveSamples(path("copy.wav"));
    ASSERT_EQ(copied.size(), 500u);
    EXPECT_EQ(copied[0], 100);
    EXPECT_EQ(copied[499], -349);
    EXPECT_EQ(trackSamples(), before);
    EXPECT_FALSE(trackIsEdited());
}

TEST_F(Clips, CopyToAnUncreatableFileReturnsMinus1)
{
    loadRamp();
    EXPECT_EQ(CopyTo(0, 10, (m_dir / "no-such-folder" / "x.wav").c_str()), -1);
}

TEST_F(Clips, CutToSilencesTheRangeAndKeepsTheLength)
{
    loadRamp();
    EXPECT_EQ(CutTo(100, 200, path("cut.wav").c_str()), 0);
    EXPECT_EQ(readWaveSamples(path("cut.wav")).size(), 200u);
    for (int32_t f = 100; f < 200; ++f)
    {
        ASSERT_EQ(left(f), 0);
        ASSERT_EQ(right(f), 0);
    }
    EXPECT_EQ(left(99), 99);
    EXPECT_EQ(left(200), 200);
    EXPECT_EQ(TrackRead(2 * kFrames - 1), -(int32_t(kFrames - 1) % 1000));
    EXPECT_TRUE(trackIsEdited());
}

TEST_F(Clips, CutToSilencesTheRangeEvenWhenTheFileCannotBeWritten)
{
    loadRamp();
    EXPECT_EQ(CutTo(100, 200, (m_dir / "no-such-folder" / "x.wav").c_str()), -1);
    EXPECT_EQ(left(150), 0);
}

TEST_F(Clips, ExtremeRangesAreClampedToTheTrack)
{
    loadRamp();
    EXPECT_EQ(CopyTo(INT_MIN, INT_MAX, path("all.wav").c_str()), 0);
    EXPECT_EQ(readWaveSamples(path("all.wav")).size(), 2u * kFrames);
    EXPECT_EQ(CopyTo(INT_MAX, INT_MIN, path("none.wav").c_str()), 0);
    EXPECT_EQ(readWaveSamples(path("none.wav")).size(), 0u);
    EXPECT_EQ(CutTo(kFrames - 10, INT_MAX, path("tail.wav").c_str()), 0);
    EXPECT_EQ(readWaveSamples(path("tail.wav")).size(), 20u);
    EXPECT_EQ(left(kFrames - 11), int32_t(kFrames - 11) % 1000);
    const std::string c = clip("c.wav", 100, 1000, 1000);
    for (int32_t mode = 0; mode < 4; ++mode)
    {
        EXPECT_EQ(PasteFrom(INT_MIN, INT_MAX, c.c_str(), mode), 0);
        EXPECT_EQ(PasteFrom(kFrames - 5, INT_MAX, c.c_str(), mode), 0);
        EXPECT_EQ(PasteFrom(INT_MAX - 1, INT_MAX, c.c_str(), mode), 0);
    }
}

TEST_F(Clips, StraightPasteOfFullScaleAtUnityVolumeLandsAs32511)
{
    const std::string c = clip("full.wav", 1000, 32767, -32767);
    EXPECT_EQ(PasteFrom(0, 1000, c.c_str(), 0), 0);
    EXPECT_EQ(left(0), 32511);     // 32767 * 254 / 256
    EXPECT_EQ(right(999), -32512); // rounds toward minus infinity
    EXPECT_TRUE(trackIsEdited());
}

TEST_F(Clips, StraightPasteOfAShorterFileSilencesTheRestOfTheRange)
{
    fillTrack(5000, 5000);
    const std::string c = clip("short.wav", 100, 1000, 1000);
    EXPECT_EQ(PasteFrom(1000, 1300, c.c_str(), 0), 0);
    EXPECT_EQ(left(1050), 992);
    EXPECT_EQ(left(1100), 0);
    EXPECT_EQ(left(1299), 0);
    EXPECT_EQ(left(1300), 5000);
}

TEST_F(Clips, MergedPasteAddsAndLeavesTheRestOfAShorterRange)
{
    fillTrack(5000, 30000);
    const std::string c = clip("short.wav", 100, 1000, 30000);
    EXPECT_EQ(PasteFrom(1000, 1300, c.c_str(), 1), 0);
    EXPECT_EQ(left(1050), 5992);
    EXPECT_EQ(right(1050), 32767); // 30000 onto 30000 at gain 254, limited
    EXPECT_EQ(left(1100), 5000);
    EXPECT_EQ(left(999), 5000);
}

TEST_F(Clips, RingPasteMultipliesAndSilencesTheRestOfAShorterRange)
{
    fillTrack(100, -32767);
    const std::string c = clip("short.wav", 100, 100, -32767);
    EXPECT_EQ(PasteFrom(1000, 1300, c.c_str(), 2), 0);
    EXPECT_EQ(left(1050), 310);    // 254 * 100 * 100 / 8192
    EXPECT_EQ(right(1050), 32767); // 254 * 32767 * 32767 / 8192, limited
    EXPECT_EQ(left(1100), 0);
    EXPECT_EQ(left(1300), 100);
}

TEST_F(Clips, RingPasteOfAmplitude1000Gives31005)
{
    fillTrack(1000, -1000);
    const std::string c = clip("k.wav", 10, 1000, 1000);
    EXPECT_EQ(PasteFrom(0, 10, c.c_str(), 2), 0);
    EXPECT_EQ(left(5), 31005);
    EXPECT_EQ(right(5), -31005);
}

TEST_F(Clips, NegativePasteSubtractsAndLeavesTheRestOfAShorterRange)
{
    fillTrack(5000, -30000);
    const std::string c = clip("short.wav", 100, 1000, 10000);
    EXPECT_EQ(PasteFrom(1000, 1300, c.c_str(), 3), 0);
    EXPECT_EQ(left(1050), 4000);
    EXPECT_EQ(right(1050), -32767); // -30000 - 10000, limited; no gains
    EXPECT_EQ(left(1100), 5000);
}

TEST_F(Clips, NegativePasteOfAnUnchangedCopyLeavesSilence)
{
    loadRamp();
    ASSERT_EQ(CopyTo(500, 1700, path("copy.wav").c_str()), 0);
    EXPECT_EQ(PasteFrom(500, 1700, path("copy.wav").c_str(), 3), 0);
    for (int32_t f = 500; f < 1700; ++f)
    {
        ASSERT_EQ(left(f), 0);
        ASSERT_EQ(right(f), 0);
    }
    EXPECT_EQ(left(499), 499);
    EXPECT_EQ(left(1700), 700);
}

TEST_F(Clips, PasteFromARefusedFileLeavesTheTrackUnchangedAndUnedited)
{
    loadRamp();
    const auto before = trackSamples();
    {
        std::ofstream bad(path("bad.wav"), std::ios::binary);
        bad << "this is no wave file at all, just text that is long enough";
    }
    for (int32_t mode = 0; mode < 4; ++mode)
        EXPECT_EQ(PasteFrom(0, 1000, path("bad.wav").c_str(), mode), 10);
    EXPECT_EQ(trackSamples(), before);
    EXPECT_FALSE(trackIsEdited());
}

TEST_F(Clips, PasteFromAMissingFileReportsItAndChangesNothing)
{
    loadRamp();
    const auto before = trackSamples();
    EXPECT_GE(PasteFrom(0, 1000, path("missing.wav").c_str(), 0), 10);
    EXPECT_EQ(trackSamples(), before);
}

TEST_F(Clips, PasteWithAModeOutside0To3ChangesNothing)
{
    loadRamp();
    const auto before = trackSamples();
    const std::string c = clip("c.wav", 100, 1000, 1000);
    EXPECT_EQ(PasteFrom(0, 100, c.c_str(), 4), -1);
    EXPECT_EQ(PasteFrom(0, 100, c.c_str(), -1), -1);
    EXPECT_EQ(trackSamples(), before);
}

TEST_F(Clips, PasteUsesTheCurrentTracksGains)
{
    ASSERT_EQ(SetTrackAttr(0, 255, 0), 0); // gains 254 left, 127 right
    const std::string c = clip("c.wav", 10, 1000, 1000);
    EXPECT_EQ(PasteFrom(0, 10, c.c_str(), 0), 0);
    EXPECT_EQ(left(0), 992);
    EXPECT_EQ(right(0), 496);
}

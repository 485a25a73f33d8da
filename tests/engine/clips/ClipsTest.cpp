// CopyTo, CutTo and PasteFrom through the library's exports, and LoadSK1 and SK1 on a CopyTo clip.
#include "tests/engine/ExportFixture.h"

#include <climits>

namespace
{

class Clips : public ExportFixture
{
protected:
    // A current track whose frame f holds (f, -f).
    void SetUp() override { ExportFixture::SetUp(), openCurrent(ramp); }
    // Writes a clip of `frames` frames all (l, r).
    std::string clip(int32_t frames, int16_t l, int16_t r) const
    {
        testwave::writeStereo(dir.file("c.wav"), constant(frames, l, r));
        return dir.file("c.wav");
    }
    const std::vector<int16_t> ramp = testwave::ramp(kFrames, 0);
    const std::string noFolder = dir.file("no-such-folder/x.wav");
};

using SamplerExports = ExportFixture;

} // namespace

TEST_F(Clips, CopyToWritesTheRangeAndCutToSilencesItOnlyOnceTheClipIsWritten)
{
    EXPECT_EQ(CopyTo(100, 350, dir.file("copy.wav").c_str()), 0);
    EXPECT_EQ(testwave::readSamples(dir.file("copy.wav")),
              std::vector<int16_t>(ramp.begin() + 200, ramp.begin() + 700));
    EXPECT_EQ(CopyTo(0, 10, noFolder.c_str()), -1);
    EXPECT_EQ(CutTo(300, 400, noFolder.c_str()), -1);
    EXPECT_EQ(trackSamples(), ramp);
    EXPECT_FALSE(trackIsEdited());
    loadTrack(ramp);
    EXPECT_EQ(CutTo(100, 200, dir.file("cut.wav").c_str()), 0);
    EXPECT_EQ(testwave::readSamples(dir.file("cut.wav")),
              std::vector<int16_t>(ramp.begin() + 200, ramp.begin() + 400));
    auto expected = ramp;
    std::fill(expected.begin() + 200, expected.begin() + 400, 0);
    EXPECT_EQ(trackSamples(), expected);
    EXPECT_TRUE(trackIsEdited());
}

TEST_F(Clips, EachPasteModeGivesTheWorkedNumbersAndTreatsTheRestOfAShorterRange)
{
    // (what, mode, track L and R, clip L and R, clip frames, out L and R, left of the rest: the
    // frames of [1000, 1300) past the clip)
    using I = int32_t;
    const std::tuple<const char*, I, I, I, I, I, I, I, I, I> rows[] = {
        {"straight 32767 * 254 / 256", 0, 0, 0, 32767, -32767, 300, 32511, -32512, 0},
        {"straight silences the rest", 0, 5000, 5000, 1000, 1000, 100, 992, 992, 0},
        {"merged adds, limited", 1, 5000, 30000, 1000, 30000, 100, 5992, 32767, 5000},
        {"ring 254 * 100 * 100 / 8192", 2, 100, -32767, 100, -32767, 100, 310, 32767, 0},
        {"ring of 1000 and 1000", 2, 1000, -1000, 1000, 1000, 300, 31005, -31005, 0},
        {"negative subtracts, no gains", 3, 5000, -30000, 1000, 10000, 100, 4000, -32767, 5000},
    };
    for (const auto& [what, mode, trackL, trackR, clipL, clipR, frames, outL, outR, rest] : rows)
    {
        SCOPED_TRACE(what);
        loadTrack(constant(kFrames, int16_t(trackL), int16_t(trackR)));
        EXPECT_EQ(PasteFrom(1000, 1300, clip(frames, int16_t(clipL), int16_t(clipR)).c_str(), mode),
                  0);
        for (int32_t f = 990; f < 1310; ++f)
        {
            const bool inClip = f >= 1000 && f < 1000 + frames;
            ASSERT_EQ(left(f), inClip ? outL : f >= 1000 && f < 1300 ? rest : trackL) << f;
            ASSERT_TRUE(!inClip || right(f) == outR) << f;
        }
        EXPECT_TRUE(trackIsEdited());
    }
    ASSERT_EQ(SetTrackAttr(0, 255, 0), 0); // the current track's gains: 254 left, 127 right
    EXPECT_EQ(PasteFrom(0, 10, clip(10, 1000, 1000).c_str(), 0), 0);
    EXPECT_EQ(std::pair(left(0), right(0)), std::pair(992, 496));
}

TEST_F(Clips, RefusedFilesAndModesLeaveTheTrackUnchangedAndExtremeRangesAreClamped)
{
    testwave::writeBytes(dir.file("bad.wav"), std::vector<uint8_t>(60, 'x')); // no RIFF header
    for (int32_t mode = 0; mode < 4; ++mode)
        EXPECT_EQ(PasteFrom(0, 1000, dir.file("bad.wav").c_str(), mode), 10);
    EXPECT_GE(PasteFrom(0, 1000, dir.file("missing.wav").c_str(), 0), 10);
    for (int32_t mode : {4, -1, INT_MAX})
        EXPECT_EQ(PasteFrom(0, 100, clip(100, 1000, 1000).c_str(), mode), -1);
    EXPECT_EQ(trackSamples(), ramp);
    EXPECT_FALSE(trackIsEdited());
    loadTrack(ramp); // extreme ranges are clamped to the track
    EXPECT_EQ(CopyTo(INT_MIN, INT_MAX, dir.file("all.wav").c_str()), 0);
    EXPECT_EQ(testwave::readSamples(dir.file("all.wav")), ramp);
    EXPECT_EQ(CopyTo(INT_MAX, INT_MIN, dir.file("none.wav").c_str()), 0);
    EXPECT_EQ(testwave::readBytes(dir.file("none.wav")).size(), 44u); // a header only
    EXPECT_EQ(CutTo(kFrames - 10, INT_MAX, dir.file("tail.wav").c_str()), 0);
    EXPECT_EQ(testwave::readSamples(dir.file("tail.wav")).size(), 20u);
    EXPECT_EQ(left(kFrames - 11), kFrames - 11);
    const std::string c = clip(100, 1000, 1000);
    for (int32_t mode = 0; mode < 4; ++mode)
        for (const auto& [start, end] :
             {std::pair{INT_MIN, INT_MAX}, {kFrames - 5, INT_MAX}, {INT_MAX - 1, INT_MAX}})
            EXPECT_EQ(PasteFrom(start, end, c.c_str(), mode), 0);
}

TEST_F(SamplerExports, AClipCopiedOverAThousandFramesRendersAtItsPitchAndGain)
{
    openCurrent(testwave::ramp(kFrames, 10));
    ASSERT_EQ(CopyTo(0, 1000, dir.file("clip.wav").c_str()), 0);
    loadTrack(std::vector<int16_t>(2 * kFrames, 0));
    EXPECT_EQ(LoadSK1(dir.file("clip.wav").c_str()), 998);
    EXPECT_EQ(SK1(5000, 998, 2.0, 0.5), 0);
    for (int32_t k = 0; k <= 998; ++k) // every other frame of the clip, at half its level
        ASSERT_EQ(std::pair(left(5000 + k), right(5000 + k)),
                  k < 499 ? std::pair(5 + k, -5 - k) : std::pair(0, 0))
            << k;
}

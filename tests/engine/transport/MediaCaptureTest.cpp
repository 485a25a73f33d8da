// Capturing media through the exports on the virtual devices: VUMO_CAPTURE_SOURCE set for a
// pass makes the media the take (committed by StopTracks under the recording rules) and mixes
// it into what is heard.
#include "tests/engine/ExportFixture.h"

using namespace testwave;

namespace
{

class MediaCapture : public ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        setenv("VUMO_VIRTUAL_SPEED", "40", 1);
    }
    void TearDown() override
    {
        unsetenv("VUMO_CAPTURE_SOURCE");
        ExportFixture::TearDown();
    }
    // One pass over [start, end) with the media as the source, played to the end of the block.
    void capture(const std::string& media, int32_t start, int32_t end, int32_t merge)
    {
        setenv("VUMO_CAPTURE_SOURCE", media.c_str(), 1);
        ASSERT_EQ(RecordTrack(start, end, merge), 0);
        ASSERT_TRUE(waitWhilePlaying());
        EXPECT_EQ(StopTracks(start, end, merge), 0);
        unsetenv("VUMO_CAPTURE_SOURCE");
    }
};

} // namespace

TEST_F(MediaCapture, WholeTrackTakeIsTheMediaThenSilenceAndTheMediaIsHeard)
{
    const int32_t n = 8000;
    const auto media = ramp(6000, 20000), other = ramp(n, 15000);
    writeStereo(dir.file("media.wav"), media);
    setenv("VUMO_VIRTUAL_OUTPUT", dir.file("heard.wav").c_str(), 1);
    openTracks(n, {other, ramp(n, 5)}, {{200, 100}, {90, 128}});
    ASSERT_EQ(SetCurTrack(1, 1), 0);
    capture(dir.file("media.wav"), 0, n, 0);
    auto expected = media;
    expected.resize(2 * size_t(n), 0);
    EXPECT_EQ(trackSamples(n), expected);
    CloseLib();
    // The other track at its gains with the media over it, saturating at the 16-bit limits.
    std::vector<int16_t> heard(2 * size_t(n), 0);
    mixInto(heard, other, gains(200, 100));
    for (size_t i = 0; i < media.size(); ++i)
        heard[i] = int16_t(std::clamp(heard[i] + media[i], -32768, 32767));
    EXPECT_EQ(readSamples(dir.file("heard.wav")), heard);
}

TEST_F(MediaCapture, PartialAndMergedTakesFollowTheRecordingRulesAndTheNextPassRecordsInput)
{
    // A media file longer than the range is cut at its end; replace puts it in at the track's
    // gains, merge mixes it in and clamps. The rest of the track is the file as saved.
    const int32_t n = 12000, start = 3000, end = 7000;
    const std::vector<int16_t> loud(2 * 9000, 30000);
    const auto media = ramp(9000, 2000), track = ramp(n, 100), input = ramp(n, 900);
    writeStereo(dir.file("media.wav"), media);
    writeStereo(dir.file("loud.wav"), loud);
    writeStereo(dir.file("in.wav"), input);
    for (const int32_t merge : {0, 1})
    {
        openTracks(n, {track}, {{255, 60}});
        ASSERT_EQ(SetCurTrack(0, 1), 0);
        const auto& source = merge ? loud : media;
        capture(dir.file(merge ? "loud.wav" : "media.wav"), start, end, merge);
        auto expected = track;
        if (!merge)
            std::fill(expected.begin() + 2 * start, expected.begin() + 2 * end, 0);
        mixInto(expected, {source.begin(), source.begin() + 2 * (end - start)}, gains(255, 60),
                size_t(start));
        EXPECT_EQ(trackSamples(n), expected) << "merge " << merge;
        CloseLib();
    }
    setenv("VUMO_VIRTUAL_INPUT", dir.file("in.wav").c_str(), 1);
    openTracks(n, {track}, {{255, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    capture(dir.file("media.wav"), 0, n, 0);
    capture("", 0, n, 0);
    EXPECT_EQ(trackSamples(n), input);
}

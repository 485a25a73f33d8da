// Capturing media through the exports on the virtual devices: VUMO_CAPTURE_SOURCE set for a
// pass makes the media the take (committed by StopTracks under the recording rules) and mixes
// it into what is heard.
#include "tests/engine/ExportFixture.h"

#include <chrono>
#include <thread>

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
        unsetenv("VUMO_CAPTURE_SOURCE");
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
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (IsPlaying() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // The input runs on the same clock; give it a moment to catch up with the output.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(StopTracks(start, end, merge), 0);
        unsetenv("VUMO_CAPTURE_SOURCE");
    }
    static std::vector<int16_t> trackSamples(int32_t frames)
    {
        std::vector<int16_t> s(size_t(frames) * 2);
        for (int32_t i = 0; i < 2 * frames; ++i)
            s[size_t(i)] = int16_t(TrackRead(i));
        return s;
    }
};

TEST_F(MediaCapture, WholeTrackTakeIsTheMediaThenSilenceAndTheMediaIsHeard)
{
    const int32_t n = 8000, mediaFrames = 6000;
    const auto media = ramp(mediaFrames, 20000), other = ramp(n, 15000);
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

TEST_F(MediaCapture, PartialAndMergedTakesFollowTheRecordingRules)
{
    // A media file longer than the range is cut at its end; replace puts it in at the track's
    // gains, merge mixes it in and clamps. The rest of the track is the file as saved.
    const int32_t n = 12000, start = 3000, end = 7000;
    const std::vector<int16_t> loud(2 * 9000, 30000);
    const auto media = ramp(9000, 2000), track = ramp(n, 100);
    writeStereo(dir.file("media.wav"), media);
    writeStereo(dir.file("loud.wav"), loud);
    const auto g = gains(255, 60);
    for (const int32_t merge : {0, 1})
    {
        openTracks(n, {track}, {{255, 60}});
        ASSERT_EQ(SetCurTrack(0, 1), 0);
        const auto& source = merge ? loud : media;
        capture(dir.file(merge ? "loud.wav" : "media.wav"), start, end, merge);
        auto expected = track;
        const std::vector<int16_t> take(source.begin(), source.begin() + 2 * (end - start));
        if (!merge)
            std::fill(expected.begin() + 2 * start, expected.begin() + 2 * end, 0);
        mixInto(expected, take, g, size_t(start));
        EXPECT_EQ(trackSamples(n), expected) << "merge " << merge;
        CloseLib();
    }
}

TEST_F(MediaCapture, ThePassAfterACaptureRecordsTheInputAgain)
{
    const int32_t n = 4000;
    const auto input = ramp(n, 900);
    writeStereo(dir.file("media.wav"), ramp(n, -3000));
    writeStereo(dir.file("in.wav"), input);
    setenv("VUMO_VIRTUAL_INPUT", dir.file("in.wav").c_str(), 1);
    openTracks(n, {ramp(n)}, {{255, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    capture(dir.file("media.wav"), 0, n, 0);
    capture("", 0, n, 0);
    EXPECT_EQ(trackSamples(n), input);
}

} // namespace

TEST_F(MediaCapture, ASourceThatCannotStartIsReportedAndTheTrackIsKept)
{
    const int32_t n = 4000;
    const auto own = ramp(n, 7000);
    openTracks(n, {own, ramp(n, 5)}, {{255, 128}, {255, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    setenv("VUMO_CAPTURE_SOURCE", dir.file("gone.wav").c_str(), 1);
    EXPECT_NE(RecordTrack(1000, 3000, 0), 0);
    EXPECT_EQ(IsPlaying(), 0);
    EXPECT_EQ(StopTracks(1000, 3000, 0), 0);
    unsetenv("VUMO_CAPTURE_SOURCE");
    EXPECT_EQ(trackSamples(n), own);
}

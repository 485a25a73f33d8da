// Playback and recording on the virtual devices: what was heard, the committed take and its
// gains, stopping, Undo after a take, and media captured as the take (VUMO_CAPTURE_SOURCE).
#include "tests/engine/ExportFixture.h"

using namespace testwave;

namespace
{

class Transport : public ExportFixture
{
protected:
    // Records [start, end) from `input` (a file or "loopback") or `media`, to the block's end.
    void take(const std::string& input, int32_t start, int32_t end, int32_t merge,
              const std::string& media = "")
    {
        for (const auto& [name, value] :
             {std::pair{"VUMO_VIRTUAL_INPUT", input}, {"VUMO_CAPTURE_SOURCE", media}})
            value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1);
        ASSERT_EQ(RecordTrack(start, end, merge), 0);
        ASSERT_TRUE(waitWhilePlaying());
        EXPECT_EQ(StopTracks(start, end, merge), 0);
    }
    // `track` with the take's frames placed from frame `start` at gains g.
    static std::vector<int16_t> placed(std::vector<int16_t> track, const std::vector<int16_t>& take,
                                       std::pair<int32_t, int32_t> g, int32_t start)
    {
        std::fill(track.begin() + 2 * start, track.begin() + 2 * start + int(take.size()), 0);
        mixInto(track, take, g, size_t(start));
        return track;
    }
};

} // namespace

TEST_F(Transport, PlaysTheMixOfTheRangeAndThenTheRestOfTheBlock)
{
    const int32_t n = 8000;
    setenv("VUMO_VIRTUAL_OUTPUT", dir.file("heard.wav").c_str(), 1);
    const auto a = ramp(n, 100), b = ramp(n, 9000);
    openTracks(n, {a, b}, {{255, 128}, {100, 40}}, 1);
    ASSERT_EQ(PlayTracks(1000, 3000), 0);
    EXPECT_EQ(IsPlaying(), 1);
    ASSERT_TRUE(waitWhilePlaying());
    EXPECT_EQ(GetPosition(), n);
    EXPECT_EQ(StopTracks(1000, 3000, 0), 0);
    CloseLib();
    const auto heard = readSamples(dir.file("heard.wav"));
    ASSERT_EQ(heard.size(), size_t(2 * n));
    std::vector<int16_t> expected(2 * 2000, 0);
    mixInto(expected, std::vector<int16_t>(a.begin() + 2000, a.begin() + 6000), gains(255, 128));
    mixInto(expected, std::vector<int16_t>(b.begin() + 2000, b.begin() + 6000), gains(100, 40));
    EXPECT_EQ(std::vector<int16_t>(heard.begin(), heard.begin() + 4000), expected);
}

TEST_F(Transport, ReplaceTakeIsUnscaledOnlyNearTheEndStopIsAtOnceAndRangesAreClamped)
{
    // To trackLen - 10 the take stays as recorded, to trackLen - 11 it is placed at the gains.
    const int32_t n = 6000;
    const auto input = ramp(n, 2000), track = ramp(n, 7);
    writeStereo(dir.file("in.wav"), input);
    openTracks(n, {track}, {{128, 128}}, 0);
    for (const int32_t end : {n - 10, n - 11})
    {
        take(dir.file("in.wav"), 0, end, 0);
        const std::vector<int16_t> taken(input.begin(), input.begin() + 2 * end);
        EXPECT_EQ(trackSamples(n),
                  end == n - 10 ? input : placed(track, taken, gains(128, 128), 0));
        EXPECT_EQ(Undo(), 0);
        EXPECT_EQ(trackSamples(n), track);
    }
    ASSERT_EQ(PlayTracks(0, 0), 0); // an empty range still plays the whole block
    EXPECT_EQ(StopTracks(0, 0, 0), 0);
    EXPECT_EQ(IsPlaying(), 0);               // stopped at once
    EXPECT_EQ(PlayTracks(-500, 1 << 30), 0); // ranges beyond the track are clamped
    EXPECT_EQ(StopTracks(-500, 1 << 30, 0), 0);
    EXPECT_EQ(RecordTrack(INT32_MIN, INT32_MAX, 1), 0);
    EXPECT_EQ(StopTracks(INT32_MIN, INT32_MAX, 1), 0);
}

TEST_F(Transport, PartialTakeLandsAtTheRangeOverTheTrackAsSavedAndOverdubClamps)
{
    const int32_t n = 20000, start = 5000, end = 9000;
    const auto input = ramp(n, 3000);
    writeStereo(dir.file("in.wav"), input);
    writeStereo(dir.file("loud.wav"), std::vector<int16_t>(2 * size_t(n), 30000));
    openTracks(n, {ramp(n, 11), ramp(n, 400)}, {{255, 128}, {255, 128}}, 1);
    TrackWrite(2 * 100, 1234); // a pending edit outside the range survives the take
    take(dir.file("in.wav"), start, end, 0);
    auto expected = ramp(n, 400);
    expected[200] = 1234;
    const std::vector<int16_t> taken(input.begin(), input.begin() + 2 * (end - start));
    EXPECT_EQ(trackSamples(n), placed(expected, taken, gains(255, 128), start));
    EXPECT_EQ(Undo(), 0); // back to the file as written when recording began
    EXPECT_EQ(trackSamples(n), expected);
    take(dir.file("loud.wav"), 1000, 4000, 1);
    mixInto(expected, std::vector<int16_t>(2 * 3000, 30000), gains(255, 128), 1000);
    EXPECT_EQ(trackSamples(n), expected);
    EXPECT_EQ(TrackRead(2 * 1000 + 1), 29765 - 1400); // 30000 * 254 / 256 over -1400
    EXPECT_EQ(TrackRead(2 * 3999), 32767);            // over 4399: clamped
}

#if !defined(_WIN32) // the Windows build has no media decoders: its own tests check the refusal
TEST_F(Transport, MediaIsTakenWholePartOrMergedAndHeardAndLoopbackRecordsWhatWasPlayed)
{
    const int32_t n = 8000;
    const auto other = ramp(n, 15000), media = ramp(6000, 20000);
    writeStereo(dir.file("media.wav"), media);
    setenv("VUMO_VIRTUAL_OUTPUT", dir.file("heard.wav").c_str(), 1);
    openTracks(n, {other, std::vector<int16_t>(2 * size_t(n), 0)}, {{200, 100}, {255, 60}}, 1);
    // Media over the whole track: the take is the media, then silence.
    take("", 0, n, 0, dir.file("media.wav"));
    auto expected = media;
    expected.resize(2 * size_t(n), 0);
    EXPECT_EQ(trackSamples(n), expected);
    // Over a part: the media cut at the range, placed at the track's gains, then merged (clamps).
    const std::vector<int16_t> taken(media.begin(), media.begin() + 2 * 2000);
    take("", 1000, 3000, 0, dir.file("media.wav"));
    expected = placed(expected, taken, gains(255, 60), 1000);
    EXPECT_EQ(trackSamples(n), expected);
    take("", 1000, 3000, 1, dir.file("media.wav"));
    mixInto(expected, taken, gains(255, 60), 1000);
    EXPECT_EQ(trackSamples(n), expected);
    std::vector<int16_t> premix(2 * size_t(n), 0);
    mixInto(premix, other, gains(200, 100));
    take("loopback", 0, n, 0); // the next pass records the input again
    EXPECT_EQ(trackSamples(n), premix);
    CloseLib(); // the media was heard over the other track, saturating at the 16-bit limits
    const auto heard = readSamples(dir.file("heard.wav"));
    for (size_t i = 0; i < media.size(); ++i)
        ASSERT_EQ(heard.at(i), std::clamp(premix[i] + media[i], -32768, 32767)) << i;
}
#endif

TEST_F(Transport, ASourceThatCannotStartIsReportedAndTheTrackIsKept)
{
    const int32_t n = 4000;
    const auto own = ramp(n, 7000);
    openTracks(n, {own, ramp(n, 5)}, {{255, 128}, {255, 128}}, 0);
    setenv("VUMO_CAPTURE_SOURCE", dir.file("gone.wav").c_str(), 1);
    EXPECT_NE(RecordTrack(1000, 3000, 0), 0);
    EXPECT_EQ(IsPlaying(), 0);
    EXPECT_EQ(StopTracks(1000, 3000, 0), 0);
    EXPECT_EQ(trackSamples(n), own);
}

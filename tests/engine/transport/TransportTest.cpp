// Playback and recording on the virtual devices: what was heard, the committed take and its
// gains, stopping, and Undo after a take.
#include "tests/engine/ExportFixture.h"

#include <algorithm>
#include <chrono>
#include <thread>

using namespace testwave;

namespace
{

class Transport : public ExportFixture
{
protected:
    // Waits (the virtual clock runs at 20x) until the output has played `frames` frames of
    // the block, or the block has ended.
    static bool waitForPosition(int32_t frames)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (IsPlaying() && GetPosition() < frames)
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // The input runs on the same clock; give it a moment to catch up with the output.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        return true;
    }
    static bool waitWhilePlaying()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (IsPlaying())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    std::vector<int16_t> trackSamples(int32_t frames)
    {
        std::vector<int16_t> s(size_t(frames) * 2);
        for (int32_t i = 0; i < 2 * frames; ++i)
            s[size_t(i)] = int16_t(TrackRead(i));
        return s;
    }
};

TEST_F(Transport, PlaysTheMixOfTheRangeAndThenTheRestOfTheBlock)
{
    const int32_t n = 8000;
    setenv("VUMO_VIRTUAL_OUTPUT", dir.file("heard.wav").c_str(), 1);
    const auto a = ramp(n, 100), b = ramp(n, 9000);
    openTracks(n, {a, b}, {{255, 128}, {100, 40}});
    ASSERT_EQ(SetCurTrack(1, 1), 0);
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

TEST_F(Transport, StopEndsAPassAtOnce)
{
    setenv("VUMO_VIRTUAL_SPEED", "1", 1);
    openTracks(441000, {ramp(441000)}, {{255, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    ASSERT_EQ(PlayTracks(0, 0), 0); // an empty range still plays the whole block
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(IsPlaying(), 1);
    EXPECT_EQ(StopTracks(0, 0, 0), 0);
    EXPECT_EQ(IsPlaying(), 0);
    EXPECT_LT(GetPosition(), 441000);
}

TEST_F(Transport, ReplaceTakeIsUnscaledOnlyWithinTenFramesOfTheTrackEnd)
{
    // Recording to trackLen - 5 keeps the take as the device wrote it; to trackLen - 11 the
    // take is placed over the track file with the track's gains. Undo returns to the file.
    const int32_t n = 6000;
    const auto input = ramp(n, 2000), track = ramp(n, 7);
    writeStereo(dir.file("in.wav"), input);
    setenv("VUMO_VIRTUAL_INPUT", dir.file("in.wav").c_str(), 1);
    openTracks(n, {track}, {{128, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    const auto g = gains(128, 128);
    for (const int32_t end : {n - 5, n - 11})
    {
        ASSERT_EQ(RecordTrack(0, end, 0), 0);
        ASSERT_TRUE(waitWhilePlaying());
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(StopTracks(0, end, 0), 0);
        auto expected = input;
        if (end < n - 10)
        {
            for (int32_t i = 0; i < 2 * end; ++i)
                expected[size_t(i)] =
                    int16_t((input[size_t(i)] * (i % 2 ? g.second : g.first)) >> 8);
            std::copy(track.begin() + 2 * end, track.end(), expected.begin() + 2 * end);
        }
        EXPECT_EQ(trackSamples(n), expected) << "end " << end;
        EXPECT_EQ(Undo(), 0);
        EXPECT_EQ(trackSamples(n), track);
    }
}

TEST_F(Transport, PartialTakeLandsAtTheRangeOverTheTrackAsSaved)
{
    const int32_t n = 20000, start = 5000, end = 9000;
    const auto input = ramp(n, 3000);
    writeStereo(dir.file("in.wav"), input);
    setenv("VUMO_VIRTUAL_INPUT", dir.file("in.wav").c_str(), 1);
    openTracks(n, {ramp(n, 11), ramp(n, 400)}, {{255, 128}, {255, 128}});
    ASSERT_EQ(SetCurTrack(1, 1), 0);
    TrackWrite(2 * 100, 1234); // a pending edit outside the range survives the take
    ASSERT_EQ(RecordTrack(start, end, 0), 0);
    ASSERT_TRUE(waitForPosition(end - start + 2000));
    EXPECT_EQ(StopTracks(start, end, 0), 0);
    auto expected = ramp(n, 400);
    expected[200] = 1234;
    const auto g = gains(255, 128);
    for (int32_t i = 0; i < 2 * (end - start); ++i)
        expected[size_t(2 * start + i)] =
            int16_t((input[size_t(i)] * (i % 2 ? g.second : g.first)) >> 8);
    EXPECT_EQ(trackSamples(n), expected);
    EXPECT_EQ(Undo(), 0); // back to the file as written when recording began
    EXPECT_EQ(TrackRead(200), 1234);
    EXPECT_EQ(TrackRead(2 * start), ramp(n, 400)[2 * start]);
}

TEST_F(Transport, OverdubMixesTheTakeIntoTheTrackAndClamps)
{
    const int32_t n = 10000, start = 1000, end = 4000;
    std::vector<int16_t> input(2 * size_t(n), 30000);
    writeStereo(dir.file("in.wav"), input);
    setenv("VUMO_VIRTUAL_INPUT", dir.file("in.wav").c_str(), 1);
    const auto track = ramp(n, 100);
    openTracks(n, {track}, {{255, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    ASSERT_EQ(RecordTrack(start, end, 1), 0);
    ASSERT_TRUE(waitForPosition(end - start + 1000));
    EXPECT_EQ(StopTracks(start, end, 1), 0);
    auto expected = track;
    std::vector<int16_t> take(2 * size_t(end - start), 30000);
    mixInto(expected, take, gains(255, 128), start);
    const auto got = trackSamples(n);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got[2 * start + 1], 29765 - (100 + start)); // 30000 * 254 / 256 over -1100
}

TEST_F(Transport, RecordingFromLoopbackCapturesWhatWasPlayed)
{
    const int32_t n = 8000;
    setenv("VUMO_VIRTUAL_INPUT", "loopback", 1);
    const auto other = ramp(n, 50);
    openTracks(n, {other, std::vector<int16_t>(2 * size_t(n), 0)}, {{255, 128}, {255, 128}});
    ASSERT_EQ(SetCurTrack(1, 1), 0);
    ASSERT_EQ(RecordTrack(0, n, 0), 0);
    ASSERT_TRUE(waitWhilePlaying());
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(StopTracks(0, n, 0), 0);
    std::vector<int16_t> expected(2 * size_t(n), 0);
    mixInto(expected, other, gains(255, 128));
    EXPECT_EQ(trackSamples(n), expected);
}

TEST_F(Transport, RangesBeyondTheTrackAreClamped)
{
    openTracks(1000, {ramp(1000)}, {{255, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    EXPECT_EQ(PlayTracks(-500, 1 << 30), 0);
    EXPECT_EQ(StopTracks(-500, 1 << 30, 0), 0);
    EXPECT_EQ(RecordTrack(INT32_MIN, INT32_MAX, 1), 0);
    EXPECT_EQ(StopTracks(INT32_MIN, INT32_MAX, 1), 0);
    EXPECT_EQ(SaveAsWave(900, 5000, dir.file("tail.wav").c_str()), 0);
    EXPECT_EQ(readSamples(dir.file("tail.wav")).size(), 200u);
}

} // namespace

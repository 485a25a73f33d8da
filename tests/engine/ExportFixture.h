// A fixture for tests through libwavorn's exports: virtual devices, track files, expected mixes.
#pragma once

#include "tests/engine/TestWave.h"
#include "wavorn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

class ExportFixture : public ::testing::Test
{
protected:
    static constexpr int32_t kFrames = 20000;
    testwave::TempDir dir;

    void SetUp() override
    {
        setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
        setenv("VUMO_VIRTUAL_SPEED", "20", 1);
        for (const char* name :
             {"VUMO_VIRTUAL_INPUT", "VUMO_VIRTUAL_OUTPUT", "VUMO_LOG", "VUMO_CAPTURE_SOURCE"})
            unsetenv(name);
    }
    void TearDown() override { StopTracks(0, 0, 0), CloseLib(); }
    virtual std::string trackFile(int track) const { return dir.file("t" + std::to_string(track)); }

    // Opens the engine with one track per sample vector at its (volume, pan); loads `current`.
    void openTracks(int32_t frames, const std::vector<std::vector<int16_t>>& tracks,
                    const std::vector<std::pair<int32_t, int32_t>>& attrs, int32_t current = -1)
    {
        ASSERT_EQ(OpenLib(frames, 0), 0);
        ClearTracks();
        for (size_t t = 0; t < tracks.size(); ++t)
        {
            testwave::writeStereo(trackFile(int(t)), tracks[t]);
            ASSERT_EQ(SetTrackInfo(int32_t(t), trackFile(int(t)).c_str()), 0);
            ASSERT_EQ(SetTrackAttr(int32_t(t), attrs[t].first, attrs[t].second), 0);
        }
        ASSERT_TRUE(current < 0 || SetCurTrack(current, 1) == 0);
    }
    // One current track of kFrames frames at gains 254 and 254, loaded from `samples`.
    void openCurrent(const std::vector<int16_t>& samples)
    {
        openTracks(kFrames, {samples}, {{255, 128}}, 0);
    }
    // Replaces the current track's file and loads it, clearing the edited mark.
    void loadTrack(const std::vector<int16_t>& samples)
    {
        testwave::writeStereo(trackFile(0), samples);
        ASSERT_EQ(SetCurTrack(0, 1), 0);
    }
    // True when SaveEdits rewrites the current track's file (first replaced by a short one).
    bool trackIsEdited() const
    {
        testwave::writeStereo(trackFile(0), std::vector<int16_t>(4, 7));
        SaveEdits();
        return testwave::readSamples(trackFile(0)).size() == 2 * size_t(kFrames);
    }
    // The current track's first `frames` frames through TrackRead.
    static std::vector<int16_t> trackSamples(int32_t frames = kFrames)
    {
        std::vector<int16_t> s(2 * size_t(frames));
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = int16_t(TrackRead(int32_t(i)));
        return s;
    }
    static int32_t left(int32_t frame) { return TrackRead(2 * frame); }
    static int32_t right(int32_t frame) { return TrackRead(2 * frame + 1); }
    // `frames` frames all (l, r).
    static std::vector<int16_t> constant(int32_t frames, int16_t l, int16_t r)
    {
        std::vector<int16_t> s(2 * size_t(frames), l);
        for (size_t i = 1; i < s.size(); i += 2)
            s[i] = r;
        return s;
    }
    // Waits until the block has played out (at 20x), then a moment for the input to catch up.
    static bool waitWhilePlaying()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (IsPlaying() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        return !IsPlaying();
    }
    static std::pair<int32_t, int32_t> gains(int32_t volume, int32_t pan)
    {
        return {volume * std::min(255, 393 - pan) / 256, volume * std::min(255, pan + 128) / 256};
    }
    // The gain mix: d = clamp((s * g + d * 256) >> 8) per channel, from frame dstFrame of d.
    static void mixInto(std::vector<int16_t>& d, const std::vector<int16_t>& s,
                        std::pair<int32_t, int32_t> g, size_t dstFrame = 0)
    {
        for (size_t i = 0, j = 2 * dstFrame; i < s.size() && j + i < d.size(); ++i)
            d[j + i] = int16_t(std::clamp(
                (s[i] * (i % 2 ? g.second : g.first) + d[j + i] * 256) >> 8, -32767, 32767));
    }
};

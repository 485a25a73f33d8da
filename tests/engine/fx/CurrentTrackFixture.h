// The shared export fixture with one current track of 20000 frames at gains 254 and 254, for
// the effect and clip exports.
#pragma once

#include "tests/engine/ExportFixture.h"

#include <vector>

class CurrentTrackFixture : public ExportFixture
{
protected:
    static constexpr int32_t kFrames = 20000;

    void SetUp() override
    {
        ExportFixture::SetUp();
        open(0);
    }
    // Opens the engine with the given log flag over a silent track and makes it current.
    void open(int32_t logFlag)
    {
        CloseLib();
        testwave::writeStereo(trackFile(0), std::vector<int16_t>(2 * size_t(kFrames), 0));
        ASSERT_EQ(OpenLib(kFrames, logFlag), 0);
        ASSERT_EQ(ClearTracks(), 0);
        ASSERT_EQ(SetTrackInfo(0, trackFile(0).c_str()), 0);
        ASSERT_EQ(SetTrackAttr(0, 255, 128), 0);
        ASSERT_EQ(SetCurTrack(0, 1), 0);
    }
    // Replaces the track's file and loads it as the current track (clearing the edited mark).
    void loadTrack(const std::vector<int16_t>& samples)
    {
        testwave::writeStereo(trackFile(0), samples);
        ASSERT_EQ(SetCurTrack(0, 1), 0);
    }
    // `frames` frames all (l, r).
    static std::vector<int16_t> constant(int32_t frames, int16_t l, int16_t r)
    {
        std::vector<int16_t> s(2 * size_t(frames), l);
        for (size_t i = 1; i < s.size(); i += 2)
            s[i] = r;
        return s;
    }
    static std::vector<int16_t> trackSamples() { return ExportFixture::trackSamples(kFrames); }
    static int32_t left(int32_t frame) { return TrackRead(2 * frame); }
    static int32_t right(int32_t frame) { return TrackRead(2 * frame + 1); }
    // True when the track counts as edited: SaveEdits then rewrites its file, which this first
    // replaces by a short marker file.
    bool trackIsEdited() const
    {
        testwave::writeStereo(trackFile(0), std::vector<int16_t>(4, 7));
        SaveEdits();
        return testwave::readSamples(trackFile(0)).size() == 2 * size_t(kFrames);
    }
};

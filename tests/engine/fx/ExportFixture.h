// An engine opened through the library's exports over the virtual audio devices, with one
// track whose wave file lives in a fresh temporary folder.
#pragma once

#include "WaveFileHelpers.h"
#include "wavorn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace fxtest
{

class ExportFixture : public ::testing::Test
{
protected:
    static constexpr int32_t kFrames = 20000;

    void SetUp() override
    {
        setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                ("vumo-fx-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" +
                 info->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        m_track = (m_dir / "track.wav").string();
        writeWave(m_track, std::vector<int16_t>(2 * size_t(kFrames), 0));
        ASSERT_EQ(OpenLib(kFrames, logFlag()), 0);
        ASSERT_EQ(ClearTracks(), 0);
        ASSERT_EQ(SetTrackInfo(0, m_track.c_str()), 0);
        ASSERT_EQ(SetTrackAttr(0, 255, 128), 0); // gains 254 and 254
        ASSERT_EQ(SetCurTrack(0, 1), 0);
    }
    void TearDown() override
    {
        CloseLib();
        std::filesystem::remove_all(m_dir);
    }
    virtual int32_t logFlag() const { return 0; }

    // Replaces the track's file and loads it as the current track (clearing the edited mark).
    void loadTrack(const std::vector<int16_t>& samples)
    {
        writeWave(m_track, samples);
        ASSERT_EQ(SetCurTrack(0, 1), 0);
    }
    std::vector<int16_t> trackSamples() const
    {
        std::vector<int16_t> s(2 * size_t(kFrames));
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = int16_t(TrackRead(int32_t(i)));
        return s;
    }
    int32_t left(int32_t frame) const { return TrackRead(2 * frame); }
    int32_t right(int32_t frame) const { return TrackRead(2 * frame + 1); }
    std::string path(const char* name) const { return (m_dir / name).string(); }
    // True when the track counts as edited: SaveEdits then rewrites its file, which this
    // first replaces by a marker file.
    bool trackIsEdited()
    {
        writeWave(m_track, std::vector<int16_t>(4, 7));
        SaveEdits();
        return readWaveSamples(m_track).size() == 2 * size_t(kFrames);
    }

    std::filesystem::path m_dir;
    std::string m_track;
};

} // namespace fxtest

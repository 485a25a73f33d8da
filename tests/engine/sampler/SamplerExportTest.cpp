// LoadSK1 and SK1 through libwavorn, with the clip cut from the current track by CopyTo.
#include "tests/engine/TestWave.h"
#include "wavorn.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

constexpr int32_t kTrackLen = 8000;

class SamplerExports : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
        setenv("VUMO_MIDI_BACKEND", "virtual", 1);
        ASSERT_EQ(OpenLib(kTrackLen, 0), 0);
    }
    void TearDown() override { CloseLib(); }

    testwave::TempDir m_dir;
};

} // namespace

TEST_F(SamplerExports, AClipCopiedOverAThousandFramesRendersAtItsPitch)
{
    for (int32_t k = 0; k < 1000; ++k)
    {
        ASSERT_EQ(TrackWrite(2 * k, 10 + k), 0);
        ASSERT_EQ(TrackWrite(2 * k + 1, -10 - k), 0);
    }
    const std::string clip = m_dir.file("clipper.wav");
    ASSERT_EQ(CopyTo(0, 1000, clip.c_str()), 0);
    const int32_t length = LoadSK1(clip.c_str());
    EXPECT_EQ(length, 998);

    EXPECT_EQ(SK1(3000, length, 1.0, 1.0), 0);
    for (int32_t k = 0; k < length; ++k)
    {
        ASSERT_EQ(TrackRead(2 * (3000 + k)), 10 + k) << k;
        ASSERT_EQ(TrackRead(2 * (3000 + k) + 1), -10 - k) << k;
    }
    EXPECT_EQ(TrackRead(2 * (3000 + length)), 0);

    EXPECT_EQ(SK1(5000, length, 2.0, 1.0), 0);
    EXPECT_EQ(TrackRead(2 * 5001), 12);
    EXPECT_EQ(TrackRead(2 * (5000 + length / 2 - 1)), 10 + length - 2);
    EXPECT_EQ(TrackRead(2 * (5000 + length / 2)), 0);
}

TEST_F(SamplerExports, AMonoClipboardFileGivesZeroAndNotesRenderNothing)
{
    testwave::WaveLayout mono;
    mono.channels = 1;
    const std::string clip = m_dir.file("mono.wav");
    testwave::writeBytes(clip, testwave::waveBytes(std::vector<int16_t>(2000, 500), mono));
    const int32_t length = LoadSK1(clip.c_str());
    EXPECT_EQ(length, 0);
    EXPECT_EQ(SK1(0, length, 1.0, 1.0), 0);
    for (int32_t n = 0; n < 100; ++n)
        ASSERT_EQ(TrackRead(n), 0);
}

TEST_F(SamplerExports, OutOfRangeArgumentsAreHarmless)
{
    std::vector<int16_t> samples(2 * 100, 300);
    const std::string clip = m_dir.file("clip.wav");
    testwave::writeStereo(clip, samples);
    ASSERT_EQ(LoadSK1(clip.c_str()), 98);
    EXPECT_EQ(SK1(-5, 98, 1.0, 1.0), 0);
    EXPECT_EQ(SK1(kTrackLen, 98, 1.0, 1.0), 0);
    EXPECT_EQ(SK1(0, INT32_MAX, 1.0, 1.0), 0);
    EXPECT_EQ(SK1(0, -98, 1.0, 1.0), 0);
    EXPECT_EQ(TrackRead(0), 300) << "only the INT32_MAX note wrote, from frame 0";
    EXPECT_EQ(LoadSK1(nullptr), 0);
}

TEST(SamplerExportsClosed, BeforeOpenLibBothExportsRefuse)
{
    EXPECT_EQ(SK1(0, 10, 1.0, 1.0), -1);
    EXPECT_EQ(LoadSK1("nothing.wav"), -1);
}

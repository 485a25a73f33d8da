// LoadSK1 and SK1 through libwavorn, with the clip cut from the current track by CopyTo.
#include "tests/engine/ExportFixture.h"

namespace
{

constexpr int32_t kTrackLen = 8000;

class SamplerExports : public ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        ASSERT_EQ(OpenLib(kTrackLen, 0), 0);
    }
};

} // namespace

TEST_F(SamplerExports, AClipCopiedOverAThousandFramesRendersAtItsPitch)
{
    for (int32_t k = 0; k < 1000; ++k)
    {
        ASSERT_EQ(TrackWrite(2 * k, 10 + k), 0);
        ASSERT_EQ(TrackWrite(2 * k + 1, -10 - k), 0);
    }
    const std::string clip = dir.file("clipper.wav");
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

TEST_F(SamplerExports, AMonoClipGivesZeroAndOutOfRangeArgumentsAreHarmless)
{
    testwave::WaveLayout mono;
    mono.channels = 1;
    testwave::writeBytes(dir.file("mono.wav"),
                         testwave::waveBytes(std::vector<int16_t>(2000, 500), mono));
    EXPECT_EQ(LoadSK1(dir.file("mono.wav").c_str()), 0);
    EXPECT_EQ(SK1(0, 0, 1.0, 1.0), 0);
    EXPECT_EQ(TrackRead(0), 0);
    EXPECT_EQ(LoadSK1(nullptr), 0);
    testwave::writeStereo(dir.file("clip.wav"), std::vector<int16_t>(2 * 100, 300));
    ASSERT_EQ(LoadSK1(dir.file("clip.wav").c_str()), 98);
    for (int32_t start : {-5, kTrackLen})
        EXPECT_EQ(SK1(start, 98, 1.0, 1.0), 0) << start;
    EXPECT_EQ(SK1(0, -98, 1.0, 1.0), 0);
    EXPECT_EQ(TrackRead(0), 0);
    EXPECT_EQ(SK1(0, INT32_MAX, 1.0, 1.0), 0);
    EXPECT_EQ(TrackRead(0), 300);
}

TEST(SamplerExportsClosed, BeforeOpenLibBothExportsRefuse)
{
    EXPECT_EQ(SK1(0, 10, 1.0, 1.0), -1);
    EXPECT_EQ(LoadSK1("nothing.wav"), -1);
}

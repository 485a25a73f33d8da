// LoadSK1 and SK1 through libwavorn, with the clip cut from the current track by CopyTo.
#include "tests/engine/ExportFixture.h"

using SamplerExports = ExportFixture;

TEST_F(SamplerExports, AClipCopiedOverAThousandFramesRendersAtItsPitch)
{
    EXPECT_EQ(SK1(0, 10, 1.0, 1.0), -1); // refused before OpenLib
    EXPECT_EQ(LoadSK1("nothing.wav"), -1);
    ASSERT_EQ(OpenLib(8000, 0), 0);
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
    // Out-of-range arguments are harmless; a length beyond the clip stops at its end.
    for (int32_t start : {-5, 8000})
        EXPECT_EQ(SK1(start, 98, 1.0, 1.0), 0) << start;
    EXPECT_EQ(SK1(0, -98, 1.0, 1.0), 0);
    EXPECT_EQ(TrackRead(0), 10);
    EXPECT_EQ(SK1(0, INT32_MAX, 1.0, 1.0), 0);
    EXPECT_EQ(TrackRead(0), 20);
}

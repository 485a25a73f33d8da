// LoadSK1 and SK1 through libwavorn, with the clip cut from the current track by CopyTo.
#include "tests/engine/ExportFixture.h"

using SamplerExports = ExportFixture;

TEST_F(SamplerExports, AClipCopiedOverAThousandFramesRendersAtItsPitch)
{
    EXPECT_EQ(SK1(0, 10, 1.0, 1.0), -1); // refused before OpenLib
    EXPECT_EQ(LoadSK1("nothing.wav"), -1);
    ASSERT_EQ(OpenLib(8000, 0), 0);
    for (int32_t k = 0; k < 2000; ++k)
        ASSERT_EQ(TrackWrite(k, k % 2 ? -10 - k / 2 : 10 + k / 2), 0);
    ASSERT_EQ(CopyTo(0, 1000, dir.file("clip.wav").c_str()), 0);
    const int32_t length = LoadSK1(dir.file("clip.wav").c_str());
    EXPECT_EQ(length, 998);
    EXPECT_EQ(SK1(3000, length, 1.0, 1.0), 0);
    EXPECT_EQ(SK1(5000, length, 2.0, 1.0), 0);
    for (int32_t k = 0; k < length; ++k)
    {
        ASSERT_EQ(TrackRead(2 * (3000 + k) + 1), -10 - k) << k;
        ASSERT_EQ(TrackRead(2 * (5000 + k)), k < length / 2 ? 10 + 2 * k : 0) << k;
    }
    EXPECT_EQ(TrackRead(2 * (3000 + length)), 0);
    for (int32_t start : {-5, 8000}) // out-of-range arguments are harmless
        EXPECT_EQ(SK1(start, 98, 1.0, 1.0), 0) << start;
    EXPECT_EQ(SK1(0, -98, 1.0, 1.0), 0);
    EXPECT_EQ(SK1(0, INT32_MAX, 1.0, 1.0), 0); // stops at the clip's end
    EXPECT_EQ(TrackRead(0), 20);
}

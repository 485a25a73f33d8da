// LoadSK1 and SK1 through libwavorn, with the clip cut from the current track by CopyTo.
#include "tests/engine/ExportFixture.h"

using SamplerExports = ExportFixture;

TEST_F(SamplerExports, AClipCopiedOverAThousandFramesRendersAtItsPitch)
{
    EXPECT_EQ(SK1(0, 10, 1.0, 1.0), -1); // refused before OpenLib
    EXPECT_EQ(LoadSK1("nothing.wav"), -1);
    openCurrent(testwave::ramp(kFrames, 10));
    ASSERT_EQ(CopyTo(0, 1000, dir.file("clip.wav").c_str()), 0);
    loadTrack(std::vector<int16_t>(2 * kFrames, 0));
    EXPECT_EQ(LoadSK1(dir.file("clip.wav").c_str()), 998);
    EXPECT_EQ(SK1(3000, 998, 1.0, 1.0), 0);
    EXPECT_EQ(SK1(5000, 998, 2.0, 1.0), 0);
    for (int32_t k = 0; k < 998; ++k)
    {
        ASSERT_EQ(right(3000 + k), -10 - k) << k;
        ASSERT_EQ(left(5000 + k), k < 499 ? 10 + 2 * k : 0) << k;
    }
    EXPECT_EQ(left(3000 + 998), 0);
}

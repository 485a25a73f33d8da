// The FFT effects (codes 26 to 32, and the codes nothing else claims) through FXIt on a track
// loaded from a wave file.
#include "tests/engine/ExportFixture.h"

#include "SpectralTestSignals.h"

#include <climits>

using namespace spectraltest;

namespace
{

class SpectralExport : public ExportFixture
{
protected:
    static constexpr int32_t kFrames = 60000;
    static constexpr int32_t kFirst = 2000;
    static constexpr int32_t kLast = 50000;
    std::vector<int16_t> m_input;

    void SetUp() override
    {
        ExportFixture::SetUp();
        m_input = stereoTones(kFrames, {{1000.0, 10000.0}}, {{440.0, 6000.0}, {2500.0, 3000.0}});
        openTracks(kFrames, {m_input}, {{255, 128}});
        ASSERT_EQ(SetCurTrack(0, 1), 0); // loads the file into trackBuf
    }
    static std::vector<int16_t> read()
    {
        std::vector<int16_t> s(2 * size_t(kFrames));
        for (int32_t i = 0; i < 2 * kFrames; ++i)
            s[size_t(i)] = int16_t(TrackRead(i));
        return s;
    }
    // FXIt reaches the spectral engine once the effect processor dispatches to it: code 33
    // then silences the frames the pass writes.
    bool spectralDispatchPresent()
    {
        FXIt(33, kFirst, kLast, 0, 0, 0);
        const bool silenced = TrackRead(2 * 20000) == 0 && TrackRead(2 * 20001) == 0;
        EXPECT_EQ(Undo(), 0); // back to the file
        return silenced;
    }
};

} // namespace

TEST_F(SpectralExport, EqAtEqualValuesKeepsTheTrackAlignedAndScaled)
{
    if (!spectralDispatchPresent())
        GTEST_SKIP() << "FXIt does not reach the spectral engine yet";
    ASSERT_EQ(FXIt(28, kFirst, kLast, 200, 200, 200), 0);
    const std::vector<int16_t> out = read();
    const double scale = 1.5 * 200 / 256;
    EXPECT_LE(largestDifference(out, m_input, 0, kFirst + 1, kLast - 3072, scale), 2);
    EXPECT_LE(largestDifference(out, m_input, 1, kFirst + 1, kLast - 3072, scale), 2);
    EXPECT_EQ(largestDifference(out, m_input, 0, 0, kFirst + 1, 1.0), 0);
    EXPECT_EQ(largestDifference(out, m_input, 1, kLast - 3072, kFrames, 1.0), 0);
}

TEST_F(SpectralExport, PitchAtRatioHalfTurns1000HzInto500Hz)
{
    if (!spectralDispatchPresent())
        GTEST_SKIP() << "FXIt does not reach the spectral engine yet";
    ASSERT_EQ(FXIt(26, kFirst, kLast, 0, 0, 0), 0);
    const std::vector<int16_t> out = read();
    EXPECT_NEAR(zeroCrossingHz(out, 0, kFirst + 4097, kLast - 3073), 500.0, 1.0);
}

TEST_F(SpectralExport, CodesOutsideTheTableSilenceTheWrittenFrames)
{
    if (!spectralDispatchPresent())
        GTEST_SKIP() << "FXIt does not reach the spectral engine yet";
    for (int32_t code : {0, 33, 255, 256 + 33})
    {
        ASSERT_EQ(FXIt(code, kFirst, kLast, 9, 9, 9), 0);
        const std::vector<int16_t> out = read();
        EXPECT_EQ(out[2 * (kFirst + 1)], 0) << "code " << code;
        EXPECT_EQ(out[2 * (kLast - 3073) + 1], 0) << "code " << code;
        EXPECT_EQ(out[2 * kFirst], m_input[2 * kFirst]) << "code " << code;
        EXPECT_EQ(out[2 * (kLast - 3072)], m_input[2 * (kLast - 3072)]) << "code " << code;
        ASSERT_EQ(Undo(), 0);
    }
}

TEST_F(SpectralExport, ShortRangesAndWildRangesAreSafe)
{
    // These hold whether or not FXIt dispatches yet: nothing outside the track is touched and
    // a range of 3073 frames leaves the track unchanged.
    EXPECT_EQ(FXIt(28, 1000, 1000 + 3073, 0, 0, 0), 0);
    EXPECT_EQ(read(), m_input);
    for (int32_t code = 26; code <= 32; ++code)
    {
        EXPECT_EQ(FXIt(code, INT_MIN, INT_MAX, 255, 255, 255), 0);
        EXPECT_EQ(FXIt(code, kFrames - 5000, INT_MAX, 255, 255, 255), 0);
        EXPECT_EQ(FXIt(code, INT_MAX, INT_MIN, 255, 255, 255), 0);
    }
}

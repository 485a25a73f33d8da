// The spectral effects' bin rules on hand-made frames, and Perfect Pitch's note tables.
#include "engine/fx/SpectralOps.h"
#include "engine/fx/SnapToScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace wavorn::fx;

namespace
{

constexpr size_t kBins = kSpectralBins;

// One frame's analysis and synthesis arrays; bin k's frequency defaults to its centre.
struct Frame
{
    std::vector<float> a = std::vector<float>(kBins, 0.0f);
    std::vector<float> phi = std::vector<float>(kBins, 0.0f);
    std::vector<float> s = std::vector<float>(kBins, 0.0f);
    std::vector<float> psi = std::vector<float>(kBins, 0.0f);

    Frame()
    {
        for (size_t k = 0; k < kBins; ++k)
            phi[k] = float(k) * 10.7666015625f;
    }
    void run(int32_t operation, SpectralParams p = {})
    {
        spectralOperation(operation)(AnalysisBins{a, phi}, SynthesisBins{s, psi}, p);
    }
};

} // namespace

TEST(SnapToScale, LeavesFrequenciesBelow120AndFrom540Unchanged)
{
    for (int32_t scale : {0, 100, 255})
    {
        EXPECT_FLOAT_EQ(snapToScale(119.99f, scale), 119.99f);
        EXPECT_FLOAT_EQ(snapToScale(540.0f, scale), 540.0f);
        EXPECT_FLOAT_EQ(snapToScale(-3.0f, scale), -3.0f);
        EXPECT_FLOAT_EQ(snapToScale(120000.0f, scale), 120000.0f);
    }
    EXPECT_TRUE(std::isnan(snapToScale(std::numeric_limits<float>::quiet_NaN(), 0)));
}

TEST(SnapToScale, ChromaticIntervalsAreClosedBelowAndOpenAbove)
{
    EXPECT_FLOAT_EQ(snapToScale(120.0f, 192), 130.8f);
    EXPECT_FLOAT_EQ(snapToScale(134.99f, 192), 130.8f);
    EXPECT_FLOAT_EQ(snapToScale(135.0f, 192), 138.65f);
    EXPECT_FLOAT_EQ(snapToScale(214.99f, 255), 207.75f);
    EXPECT_FLOAT_EQ(snapToScale(215.0f, 255), 220.15f);
    EXPECT_FLOAT_EQ(snapToScale(429.99f, 200), 415.5f);
    EXPECT_FLOAT_EQ(snapToScale(430.0f, 200), 440.3f);
    EXPECT_FLOAT_EQ(snapToScale(539.99f, 192), 523.4f);
}

TEST(SnapToScale, MajorTableSkipsTheSharps)
{
    EXPECT_FLOAT_EQ(snapToScale(139.99f, 64), 130.8f);
    EXPECT_FLOAT_EQ(snapToScale(140.0f, 64), 146.95f);
    EXPECT_FLOAT_EQ(snapToScale(160.0f, 191), 164.85f);
    EXPECT_FLOAT_EQ(snapToScale(254.99f, 128), 247.25f);
    EXPECT_FLOAT_EQ(snapToScale(255.0f, 128), 261.6f);
    EXPECT_FLOAT_EQ(snapToScale(319.99f, 128), 293.9f);
    EXPECT_FLOAT_EQ(snapToScale(510.0f, 128), 523.4f);
}

TEST(SnapToScale, MinorTableHasTheFlatThirdSixthAndSeventh)
{
    EXPECT_FLOAT_EQ(snapToScale(150.0f, 63), 155.55f);
    EXPECT_FLOAT_EQ(snapToScale(149.99f, 0), 146.95f);
    EXPECT_FLOAT_EQ(snapToScale(200.0f, 0), 207.75f);
    EXPECT_FLOAT_EQ(snapToScale(300.0f, 0), 311.1f);
    EXPECT_FLOAT_EQ(snapToScale(449.99f, 0), 415.5f);
    EXPECT_FLOAT_EQ(snapToScale(450.0f, 0), 466.2f);
    EXPECT_FLOAT_EQ(snapToScale(539.99f, 0), 523.4f);
}

TEST(SnapToScale, ScaleValueSelectsTheTableAt64And192)
{
    // 150 Hz: minor 155.55, major 146.95, chromatic 155.55; 135 Hz: chromatic 138.65 only.
    EXPECT_FLOAT_EQ(snapToScale(150.0f, 63), 155.55f);
    EXPECT_FLOAT_EQ(snapToScale(150.0f, 64), 146.95f);
    EXPECT_FLOAT_EQ(snapToScale(135.0f, 191), 130.8f);
    EXPECT_FLOAT_EQ(snapToScale(135.0f, 192), 138.65f);
}

TEST(SpectralOps, PitchRatioHasSixSteps)
{
    EXPECT_FLOAT_EQ(pitchRatioFromP1(0), 0.5f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(41), 0.5f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(42), 0.75f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(84), 1.25f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(127), 1.25f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(128), 1.5f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(170), 1.75f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(211), 1.75f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(212), 2.0f);
    EXPECT_FLOAT_EQ(pitchRatioFromP1(255), 2.0f);
}

TEST(SpectralOps, PeakBinIsTheFirstOfEqualLargestMagnitudes)
{
    std::vector<float> a(kBins, 0.0f);
    EXPECT_EQ(peakBin(a), 0);
    a[7] = 3.0f;
    a[90] = 5.0f;
    a[300] = 5.0f;
    EXPECT_EQ(peakBin(a), 90);
}

TEST(SpectralOps, PitchHalfMovesBin2kToBinKAtHalfItsFrequency)
{
    Frame f;
    f.a[186] = 4.0f;
    f.phi[186] = 2000.0f;
    f.run(0, {0, 0, 0}); // ratio 0.5
    EXPECT_FLOAT_EQ(f.s[93], 4.0f);
    EXPECT_FLOAT_EQ(f.psi[93], 1000.0f);
    EXPECT_FLOAT_EQ(f.s[186], 0.0f);
    // Bins whose source lies above 2048 stay silent.
    EXPECT_FLOAT_EQ(f.s[1500], 0.0f);
    EXPECT_FLOAT_EQ(f.psi[1500], 0.0f);
}

TEST(SpectralOps, PitchDoubleSpreadsOneBinOverTwo)
{
    Frame f;
    f.a[100] = 2.0f;
    f.phi[100] = 1080.0f;
    f.run(0, {255, 0, 0}); // ratio 2: bins 200 and 201 both read bin 100
    EXPECT_FLOAT_EQ(f.s[200], 2.0f);
    EXPECT_FLOAT_EQ(f.s[201], 2.0f);
    EXPECT_FLOAT_EQ(f.psi[201], 2160.0f);
    EXPECT_FLOAT_EQ(f.s[100], 0.0f);
}

TEST(SpectralOps, BowSquaresMagnitudesOverTheLargest)
{
    Frame f;
    f.a[10] = 2.0f;
    f.a[20] = 4.0f;
    f.run(1);
    EXPECT_FLOAT_EQ(f.s[10], 1.0f);
    EXPECT_FLOAT_EQ(f.s[20], 4.0f);
    EXPECT_FLOAT_EQ(f.psi[20], f.phi[20]);
}

TEST(SpectralOps, BowKeepsASilentFrameSilent)
{
    Frame f;
    f.run(1);
    for (float s : f.s)
        ASSERT_EQ(s, 0.0f);
}

TEST(SpectralOps, EqBlendsLowMiddleAndHighGains)
{
    Frame f;
    std::fill(f.a.begin(), f.a.end(), 1.0f);
    f.run(2, {256 - 256, 128, 255}); // lo 0, mid 0.5, hi 255/256
    EXPECT_FLOAT_EQ(f.s[0], 0.0f);
    EXPECT_FLOAT_EQ(f.s[256], 0.25f);
    EXPECT_FLOAT_EQ(f.s[512], 0.5f);
    EXPECT_NEAR(f.s[512 + 768], (768 * 0.5f + 768 * 255.0f / 256.0f) / 1536.0f, 1e-6);
    EXPECT_NEAR(f.s[2047], (1 * 0.5f + 1535 * 255.0f / 256.0f) / 1536.0f, 1e-6);
    EXPECT_FLOAT_EQ(f.s[2048], 0.0f);
    EXPECT_FLOAT_EQ(f.psi[2048], f.phi[2048]);
}

TEST(SpectralOps, EqWithEqualValuesScalesEveryBinButTheLast)
{
    Frame f;
    for (size_t k = 0; k < kBins; ++k)
        f.a[k] = float(k % 17);
    f.run(2, {64, 64, 64});
    for (size_t k = 0; k < 2048; ++k)
        ASSERT_FLOAT_EQ(f.s[k], f.a[k] * 0.25f) << "bin " << k;
    EXPECT_FLOAT_EQ(f.s[2048], 0.0f);
}

TEST(SpectralOps, PerfectPitchRatioIsOneForTheDefaultKey)
{
    Frame f;
    f.a[93] = 1.0f;
    f.phi[93] = 1000.0f;
    EXPECT_FLOAT_EQ(perfectPitchRatio(AnalysisBins{f.a, f.phi}, 128, 2), 1.0f);
    // Key 2 multiplies the detected frequency by about 120.8: 4.5 Hz reaches 543.7 Hz.
    f.phi[93] = 4.5f;
    EXPECT_FLOAT_EQ(perfectPitchRatio(AnalysisBins{f.a, f.phi}, 128, 2), 1.0f);
}

TEST(SpectralOps, PerfectPitchSnapsTheScaledPeakToTheScale)
{
    Frame f;
    f.a[50] = 1.0f;
    // Key 100: four semitones down (100 / 22 = 4), then divided by 100 * 0.00413852734375.
    f.phi[50] = 300.0f;
    const float detected = 300.0f * std::pow(0.9438743967462762f, 4.0f);
    const float measured = detected / (100.0f * 0.00413852734375f);
    ASSERT_GE(measured, 540.0f); // lands outside the table: ratio 1
    EXPECT_FLOAT_EQ(perfectPitchRatio(AnalysisBins{f.a, f.phi}, 255, 100), 1.0f);
    f.phi[50] = 150.0f; // measured about 287.5 Hz: chromatic 293.9
    const float m2 = 150.0f * std::pow(0.9438743967462762f, 4.0f) / (100.0f * 0.00413852734375f);
    EXPECT_NEAR(perfectPitchRatio(AnalysisBins{f.a, f.phi}, 255, 100), 293.9f / m2, 1e-5);
}

TEST(SpectralOps, PerfectPitchFallsBackToHalfWithoutARatio)
{
    Frame f;
    EXPECT_FLOAT_EQ(perfectPitchRatio(AnalysisBins{f.a, f.phi}, 128, 2), 0.5f); // silent
    f.a[93] = 1.0f;
    EXPECT_FLOAT_EQ(perfectPitchRatio(AnalysisBins{f.a, f.phi}, 128, 0), 0.5f); // key 0
}

TEST(SpectralOps, PerfectPitchKeepsAPeakBelow120HzAfterScaling)
{
    // Here a negative frequency at bin 0: the scale leaves it alone, so the ratio is 1.
    Frame g;
    g.a[0] = 1.0f;
    g.phi[0] = -3.0f;
    EXPECT_FLOAT_EQ(perfectPitchRatio(AnalysisBins{g.a, g.phi}, 128, 2), 1.0f);
}

TEST(SpectralOps, DigitizeWithZeroSilencesEverything)
{
    Frame f;
    f.a[40] = 9.0f;
    f.a[41] = 3.0f;
    f.run(4, {0, 0, 0});
    for (float s : f.s)
        ASSERT_EQ(s, 0.0f);
}

TEST(SpectralOps, DigitizeWithTenKeepsNineteenBinsAroundThePeak)
{
    Frame f;
    std::fill(f.a.begin(), f.a.end(), 1.0f);
    f.a[500] = 10.0f;
    f.run(4, {10, 0, 0});
    int32_t kept = 0;
    for (size_t k = 0; k < kBins; ++k)
        kept += f.s[k] != 0.0f;
    EXPECT_EQ(kept, 19);
    EXPECT_FLOAT_EQ(f.s[491], 1.0f);
    EXPECT_FLOAT_EQ(f.s[509], 1.0f);
    EXPECT_FLOAT_EQ(f.s[490], 0.0f);
    EXPECT_FLOAT_EQ(f.s[510], 0.0f);
}

TEST(SpectralOps, DigitizeNearTheEdgeStaysInsideTheBins)
{
    Frame f;
    f.a[2048] = 5.0f;
    f.a[2040] = 1.0f;
    f.run(4, {255, 0, 0});
    EXPECT_FLOAT_EQ(f.s[2048], 5.0f);
    EXPECT_FLOAT_EQ(f.s[2040], 1.0f);
}

TEST(SpectralOps, HarmonicsAddsVoicesFromLowerBinsAndKeepsBinsBelow100)
{
    Frame f;
    f.a[300] = 1.0f;
    f.a[50] = 7.0f;
    f.run(5, {256 / 2, 0, 0}); // a3 = 0.5, D = 1.5
    // Bin 391 reads bin trunc(391 * 0.769...) = 300.
    EXPECT_FLOAT_EQ(f.s[391], 0.5f / 1.5f);
    EXPECT_FLOAT_EQ(f.s[300], 1.0f / 1.5f);
    EXPECT_FLOAT_EQ(f.s[50], 7.0f);
    // Bin 509 reads bin trunc(509 * 0.769...) = 391 before 391 changed: still 0.
    EXPECT_FLOAT_EQ(f.s[509], 0.0f);
}

TEST(SpectralOps, BassBoostMixesBin2kIntoBinK)
{
    Frame f;
    f.a[100] = 4.0f;
    f.a[200] = 8.0f;
    f.a[400] = 2.0f;
    f.run(6, {128, 0, 0}); // b = 0.5
    EXPECT_FLOAT_EQ(f.s[100], (0.5f * 8.0f + 4.0f) / 1.5f);
    EXPECT_FLOAT_EQ(f.s[200], (0.5f * 2.0f + 8.0f) / 1.5f); // reads 400 before it changes
    EXPECT_FLOAT_EQ(f.s[50], (0.5f * 4.0f) / 1.5f);         // bin 100 as analysed
    EXPECT_FLOAT_EQ(f.s[1500], 0.0f);
    EXPECT_FLOAT_EQ(f.psi[50], f.phi[50]);
}

TEST(SpectralOps, OperationsOutsideZeroToSixHaveNoRule)
{
    EXPECT_EQ(spectralOperation(7), nullptr);
    EXPECT_EQ(spectralOperation(230), nullptr); // code 0
    EXPECT_EQ(spectralOperation(-1), nullptr);
    EXPECT_NE(spectralOperation(6), nullptr);
}

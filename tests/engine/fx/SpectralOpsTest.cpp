// The spectral effects' bin rules on hand-made frames, and Perfect Pitch's note tables.
#include "engine/fx/SpectralOps.h"
#include "engine/fx/SnapToScale.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    std::vector<float> a = std::vector<float>(kBins, 0.0f), phi = a, s = a, psi = a;
    Frame()
    {
        for (size_t k = 0; k < kBins; ++k)
            phi[k] = float(k) * 10.7666015625f;
    }
    Frame& run(int32_t operation, SpectralParams p = {})
    {
        spectralOperation(operation)(AnalysisBins{a, phi}, SynthesisBins{s, psi}, p);
        return *this;
    }
    float ratio(int32_t scale, int32_t key) { return perfectPitchRatio({a, phi}, scale, key); }
};

} // namespace

TEST(SnapToScale, SnapsIntoTheTableOfTheScaleBetween120And540Hz)
{
    struct Row
    {
        float hz;
        int32_t scale;
        float snapped;
    };
    const Row rows[] = {
        {119.99f, 100, 119.99f}, {540.0f, 0, 540.0f},    {-3.0f, 255, -3.0f},    // left alone
        {120.0f, 192, 130.8f},   {134.99f, 192, 130.8f}, {135.0f, 192, 138.65f}, // chromatic
        {430.0f, 200, 440.3f},   {539.99f, 192, 523.4f}, {139.99f, 64, 130.8f},  // major
        {140.0f, 64, 146.95f},   {135.0f, 191, 130.8f},  {255.0f, 128, 261.6f},
        {150.0f, 63, 155.55f},   {149.99f, 0, 146.95f},  {449.99f, 0, 415.5f}, // minor
        {450.0f, 0, 466.2f},
    };
    for (const Row& r : rows)
        EXPECT_FLOAT_EQ(snapToScale(r.hz, r.scale), r.snapped) << r.hz << " " << r.scale;
    EXPECT_TRUE(std::isnan(snapToScale(std::numeric_limits<float>::quiet_NaN(), 0)));
}

TEST(SpectralOps, EachOperationGivesTheWorkedBins)
{
    Frame half, twice, bow, eq, digitize, harmonics, bass;
    half.a[186] = 4.0f;
    half.phi[186] = 2000.0f;
    half.run(0, {0, 0, 0}); // pitch ratio 0.5: bin 93 reads bin 186 at half its frequency
    EXPECT_EQ(std::vector<float>({half.s[93], half.psi[93], half.s[186]}),
              std::vector<float>({4.0f, 1000.0f, 0.0f}));
    twice.a[100] = 2.0f;
    twice.run(0, {255, 0, 0}); // ratio 2: bins 200 and 201 both read bin 100
    EXPECT_EQ(std::vector<float>({twice.s[200], twice.s[201], twice.s[100]}),
              std::vector<float>({2.0f, 2.0f, 0.0f}));
    EXPECT_FLOAT_EQ(twice.psi[201], 2.0f * twice.phi[100]);
    bow.a[10] = 2.0f;
    bow.a[20] = 4.0f;
    bow.run(1); // squares over the largest
    EXPECT_EQ(std::vector<float>({bow.s[10], bow.s[20]}), std::vector<float>({1.0f, 4.0f}));
    std::fill(eq.a.begin(), eq.a.end(), 1.0f);
    eq.run(2, {0, 128, 255}); // lo 0, mid 0.5, hi 255/256
    EXPECT_EQ(std::vector<float>({eq.s[0], eq.s[256], eq.s[512], eq.s[2048]}),
              std::vector<float>({0.0f, 0.25f, 0.5f, 0.0f}));
    EXPECT_NEAR(eq.s[2047], (1 * 0.5f + 1535 * 255.0f / 256.0f) / 1536.0f, 1e-6);
    std::fill(digitize.a.begin(), digitize.a.end(), 1.0f);
    digitize.a[500] = 10.0f;
    digitize.run(4, {10, 0, 0}); // keeps 19 bins around the peak: 491 ... 509
    EXPECT_EQ(std::count(digitize.s.begin(), digitize.s.end(), 0.0f), int32_t(kBins) - 19);
    EXPECT_EQ(digitize.s[491] + digitize.s[509], 2.0f);
    harmonics.a[300] = 1.0f;
    harmonics.a[50] = 7.0f;
    harmonics.run(5, {128, 0, 0}); // a3 = 0.5, D = 1.5; bin 391 reads bin 300
    EXPECT_FLOAT_EQ(harmonics.s[391], 0.5f / 1.5f);
    EXPECT_FLOAT_EQ(harmonics.s[300], 1.0f / 1.5f);
    EXPECT_EQ(harmonics.s[50], 7.0f);  // bins below 100 are kept
    EXPECT_EQ(harmonics.s[509], 0.0f); // reads bin 391 before it changed
    bass.a[100] = 4.0f;
    bass.a[200] = 8.0f;
    bass.a[400] = 2.0f;
    bass.run(6, {128, 0, 0}); // b = 0.5: bin 2k into bin k, read before it changes
    EXPECT_FLOAT_EQ(bass.s[100], (0.5f * 8.0f + 4.0f) / 1.5f);
    EXPECT_FLOAT_EQ(bass.s[200], (0.5f * 2.0f + 8.0f) / 1.5f);
    EXPECT_FLOAT_EQ(bass.s[50], (0.5f * 4.0f) / 1.5f);
    EXPECT_EQ(spectralOperation(7), nullptr);
    EXPECT_EQ(spectralOperation(-1), nullptr);
}

TEST(SpectralOps, PerfectPitchSnapsTheScaledPeakOrFallsBack)
{
    Frame f;
    EXPECT_EQ(f.ratio(128, 2), 0.5f); // silent: no ratio
    f.a[93] = 1.0f;
    f.phi[93] = 1000.0f;
    EXPECT_EQ(f.ratio(128, 2), 1.0f); // the default key keeps the pitch
    EXPECT_EQ(f.ratio(128, 0), 0.5f); // key 0: no ratio
    // Key 100: four semitones down (100 / 22 = 4), then divided by 100 * 0.00413852734375;
    // 150 Hz measures about 287.5 Hz, which snaps to 293.9 on the chromatic scale.
    f.phi[93] = 150.0f;
    const float measured = 150.0f * std::pow(0.9438743967462762f, 4.0f) / 0.413852734375f;
    EXPECT_NEAR(f.ratio(255, 100), 293.9f / measured, 1e-5);
    f.phi[93] = 300.0f; // measures above 540: ratio 1
    EXPECT_EQ(f.ratio(255, 100), 1.0f);
}

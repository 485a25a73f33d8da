// The spectral engine: each effect's bin rules, Perfect Pitch's tables, the vocoder over a stereo
// range (alignment, gain 1.5, untouched edges; the FFT with it) and the chain's mix back.
#include "engine/fx/Spectral.h"
#include "engine/fx/FilterGraph.h"
#include "engine/fx/SnapToScale.h"
#include "engine/fx/SpectralOps.h"

#include "FxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace wavorn::fx;
using namespace fxtest;

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

constexpr int32_t kEq = 2;
// A track of 60000 frames; the range [1000, 45000) writes frames 1001 ... 45000 - 3073.
constexpr int32_t kTrackFrames = 60000, kFirst = 1000, kLast = 45000;
constexpr int32_t kFirstWritten = kFirst + 1, kEndWritten = kLast - 3072;

std::vector<int16_t> chord()
{
    return tones(kTrackFrames, {{440.0, 6000.0}, {1234.5, 5000.0}, {3000.0, 3000.0}},
                 {{660.0, 9000.0}, {2500.0, 4000.0}}, 0.5);
}

// Runs the effect over [kFirst, kLast) and checks the frames outside the written ones kept.
std::vector<int16_t> run(const std::vector<int16_t>& in, int32_t operation, int32_t p1, int32_t p2,
                         int32_t p3)
{
    std::vector<int16_t> out = in;
    spectralEffect(operation, out, kFirst, kLast, p1, p2, p3);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 2 * kFirstWritten, in.begin()));
    EXPECT_TRUE(std::equal(out.begin() + 2 * kEndWritten, out.end(), in.begin() + 2 * kEndWritten));
    return out;
}

} // namespace

TEST(SnapToScale, SnapsIntoTheTableOfTheScaleBetween120And540Hz)
{
    // (hz, scale, snapped): left alone outside [120, 540); chromatic from 192, major from 64,
    // minor below, each interval closed below and open above.
    const std::tuple<float, int32_t, float> rows[] = {
        {119.99f, 100, 119.99f}, {540.0f, 0, 540.0f},    {-3.0f, 255, -3.0f},
        {120.0f, 192, 130.8f},   {134.99f, 192, 130.8f}, {135.0f, 192, 138.65f},
        {539.99f, 192, 523.4f},  {139.99f, 64, 130.8f},  {140.0f, 64, 146.95f},
        {135.0f, 191, 130.8f},   {255.0f, 128, 261.6f},  {150.0f, 63, 155.55f},
        {149.99f, 0, 146.95f},   {449.99f, 0, 415.5f},   {450.0f, 0, 466.2f},
    };
    for (const auto& [hz, scale, snapped] : rows)
        EXPECT_FLOAT_EQ(snapToScale(hz, scale), snapped) << hz << " " << scale;
    EXPECT_TRUE(std::isnan(snapToScale(std::numeric_limits<float>::quiet_NaN(), 0)));
}

TEST(SpectralOps, EachOperationGivesTheWorkedBins)
{
    using V = std::vector<float>;
    Frame half, twice, bow, eq, digitize, harmonics, bass;
    half.a[186] = 4.0f, half.phi[186] = 2000.0f;
    half.run(0, {0, 0, 0}); // pitch ratio 0.5: bin 93 reads bin 186 at half its frequency
    EXPECT_EQ(V({half.s[93], half.psi[93], half.s[186]}), V({4.0f, 1000.0f, 0.0f}));
    twice.a[100] = 2.0f;
    twice.run(0, {255, 0, 0}); // ratio 2: bins 200 and 201 both read bin 100
    EXPECT_EQ(V({twice.s[200], twice.s[201], twice.s[100]}), V({2.0f, 2.0f, 0.0f}));
    EXPECT_FLOAT_EQ(twice.psi[201], 2.0f * twice.phi[100]);
    bow.a[10] = 2.0f, bow.a[20] = 4.0f;
    bow.run(1); // squares over the largest
    EXPECT_EQ(V({bow.s[10], bow.s[20]}), V({1.0f, 4.0f}));
    std::fill(eq.a.begin(), eq.a.end(), 1.0f);
    eq.run(2, {0, 128, 255}); // lo 0, mid 0.5, hi 255/256
    EXPECT_EQ(V({eq.s[0], eq.s[256], eq.s[512], eq.s[2048]}), V({0.0f, 0.25f, 0.5f, 0.0f}));
    EXPECT_NEAR(eq.s[2047], (1 * 0.5f + 1535 * 255.0f / 256.0f) / 1536.0f, 1e-6);
    std::fill(digitize.a.begin(), digitize.a.end(), 1.0f), digitize.a[500] = 10.0f;
    digitize.run(4, {10, 0, 0}); // keeps 19 bins around the peak: 491 ... 509
    EXPECT_EQ(std::count(digitize.s.begin(), digitize.s.end(), 0.0f), int32_t(kBins) - 19);
    EXPECT_EQ(digitize.s[491] + digitize.s[509], 2.0f);
    harmonics.a[300] = 1.0f, harmonics.a[50] = 7.0f;
    harmonics.run(5, {128, 0, 0}); // a3 = 0.5, D = 1.5; bin 391 reads bin 300
    EXPECT_EQ(V({harmonics.s[391], harmonics.s[300]}), V({0.5f / 1.5f, 1.0f / 1.5f}));
    EXPECT_EQ(harmonics.s[50], 7.0f);  // bins below 100 are kept
    EXPECT_EQ(harmonics.s[509], 0.0f); // reads bin 391 before it changed
    bass.a[100] = 4.0f, bass.a[200] = 8.0f, bass.a[400] = 2.0f;
    bass.run(6, {128, 0, 0}); // b = 0.5: bin 2k into bin k, read before it changes
    EXPECT_FLOAT_EQ(bass.s[100], (0.5f * 8.0f + 4.0f) / 1.5f);
    EXPECT_FLOAT_EQ(bass.s[200], (0.5f * 2.0f + 8.0f) / 1.5f);
    EXPECT_FLOAT_EQ(bass.s[50], (0.5f * 4.0f) / 1.5f);
    EXPECT_TRUE(spectralOperation(7) == nullptr && spectralOperation(-1) == nullptr);
}

TEST(SpectralOps, PerfectPitchSnapsTheScaledPeakOrFallsBack)
{
    Frame f;
    EXPECT_EQ(f.ratio(128, 2), 0.5f); // silent: no ratio
    f.a[93] = 1.0f, f.phi[93] = 1000.0f;
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

TEST(Spectral, EqAtEqualValuesGivesTheInputAlignedTimes1Point5VOver256LimitedAndShortRangesAlone)
{
    const std::vector<int16_t> in = chord();
    for (int32_t v : {0, 64, 170, 255})
    {
        const std::vector<int16_t> out = run(in, kEq, v, v, v);
        for (int32_t c = 0; c < 2; ++c)
            EXPECT_LE(largestDifference(out, in, c, kFirstWritten, kEndWritten, 1.5 * v / 256), 2)
                << v;
    }
    const auto loud = tones(kTrackFrames, {{700.0, 32000.0}}, {{700.0, 32000.0}});
    std::vector<int16_t> out = run(loud, kEq, 255, 255, 255); // about 1.5 x: limited
    const auto [low, high] =
        std::minmax_element(out.begin() + 2 * kFirstWritten, out.begin() + 2 * kEndWritten);
    EXPECT_EQ(std::pair(*low, *high), std::pair(int16_t(-32767), int16_t(32767)));
    // Ranges of 3073 frames or fewer, reversed or outside the track are left alone.
    out = in;
    for (int32_t length : {0, 1, 3072, 3073})
        spectralEffect(kEq, out, kFirst, kFirst + length, 0, 0, 0);
    spectralEffect(kEq, out, kLast, kFirst, 0, 0, 0);
    spectralEffect(kEq, out, -5000, kLast, 0, 0, 0);
    spectralEffect(kEq, out, kFirst, kTrackFrames + 1, 0, 0, 0);
    EXPECT_EQ(out, in);
    spectralEffect(kEq, out, kFirst, kFirst + 3074, 0, 0, 0); // gain 0: frame F + 1 falls silent
    std::vector<int16_t> expected = in;
    expected[2 * (kFirst + 1)] = expected[2 * (kFirst + 1) + 1] = 0;
    EXPECT_EQ(out, expected);
}

TEST(MixBack, AddsTheFlooredScaledCopyFadedInAndOutWithinTheLimitsOneFrameAtLevelZero)
{
    std::vector<int16_t> one = {500, 500};
    mixBack(one, std::vector<int16_t>{-1, 256}, 254, 128);
    EXPECT_EQ(one, (std::vector<int16_t>{-1, 128}));
    std::vector<int16_t> loud = {32000, -32000, 32000, -32000, 32000, -32000};
    mixBack(loud, std::vector<int16_t>(loud), 255, 255); // frame 1 at level 2/3
    EXPECT_EQ(std::pair(loud[2], loud[3]), std::pair(int16_t(32767), int16_t(-32767)));
    // Between the fades: the floored scaled copy added within the limits.
    const int32_t frames = 20000; // the track is at full level over frames 8417 to 11582
    const int16_t trackValues[] = {-20000, 20000, -3, 5, 100, -32767};
    const int16_t savedValues[] = {-32001, 32000, 12345, -7, -1, -1};
    std::vector<int16_t> track(2 * frames), saved(2 * frames);
    for (size_t i = 0; i < track.size(); ++i)
        track[i] = trackValues[i % 6], saved[i] = savedValues[i % 6];
    const std::vector<int16_t> before = track;
    mixBack(track, saved, 254, 127);
    for (size_t i = 2 * 8417; i < 2 * size_t(frames - 8418); ++i)
    {
        const double scaled = std::floor(saved[i] * (i % 2 == 0 ? 254 : 127) / 256.0);
        ASSERT_EQ(track[i], int16_t(std::clamp(scaled + before[i], -32767.0, 32767.0)))
            << "sample " << i;
    }
}

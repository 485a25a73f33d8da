// Band pass: kernel design and the backward convolution.
#include "FxTestSupport.h"

#include "engine/fx/BandPass.h"
#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

constexpr double kPiD = 3.14159265358979323846;

double response(const BandPassKernel& t, double hz)
{
    const double omega = 2.0 * kPiD * hz / 44100.0;
    double re = 0.0;
    double im = 0.0;
    for (int32_t n = 0; n < kBandPassTaps; ++n)
    {
        re += t[size_t(n)] * std::cos(n * omega);
        im += t[size_t(n)] * std::sin(n * omega);
    }
    return std::sqrt(re * re + im * im);
}

double peakOverGrid(const BandPassKernel& t)
{
    double peak = 0.0;
    for (int32_t k = 0; k <= 250; ++k)
        peak = std::max(peak, response(t, k * 0.004 * 22050.0));
    return peak;
}

} // namespace

TEST(BandPassKernel, IsSymmetricAboutTap64)
{
    const BandPassKernel t = designBandPass(2000.0, 5000.0);
    for (int32_t n = 1; n <= 64; ++n)
        EXPECT_EQ(t[size_t(64 - n)], t[size_t(64 + n)]);
    EXPECT_NEAR(t[0], 0.0, 1e-15); // the window's last value is 0
}

TEST(BandPassKernel, PeakResponseIsOne)
{
    EXPECT_NEAR(peakOverGrid(designBandPass(2000.0, 5000.0)), 1.0, 1e-9);
    EXPECT_NEAR(peakOverGrid(designBandPass(0.0, 22050.0)), 1.0, 1e-9);
}

TEST(BandPassKernel, EqualEdgesStillPassABandAbout1917HzWide)
{
    const BandPassKernel t = designBandPass(8000.0, 8000.0);
    EXPECT_GT(response(t, 8000.0), 0.9);
    EXPECT_GT(response(t, 8000.0 + 600.0), 0.5);
    EXPECT_GT(response(t, 8000.0 - 600.0), 0.5);
    EXPECT_LT(response(t, 8000.0 + 3000.0), 0.05);
    EXPECT_LT(response(t, 8000.0 - 3000.0), 0.05);
}

TEST(BandPassKernel, ReversedEdgesAreStillNormalisedToOne)
{
    EXPECT_NEAR(peakOverGrid(designBandPass(12000.0, 3000.0)), 1.0, 1e-9);
}

TEST(BandPass, ARangeOf256FramesIsUnchanged)
{
    TestTrack t = randomTrack(600, 11);
    const TestTrack before = t;
    applyBandPass(t.span(), params(100, 356, 20, 80, 127));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(BandPass, KeepsTheHeadAndTailSamplesOfTheRange)
{
    TestTrack t = randomTrack(4000, 12);
    const TestTrack before = t;
    const int32_t first = 500, last = 3500;
    applyBandPass(t.span(), params(first, last, 20, 80, 127));
    for (int32_t s = 0; s < 2 * first + 257; ++s)
        ASSERT_EQ(t.samples[size_t(s)], before.samples[size_t(s)]) << s;
    for (int32_t s = 2 * last - 255; s < 8000; ++s)
        ASSERT_EQ(t.samples[size_t(s)], before.samples[size_t(s)]) << s;
    EXPECT_NE(t.samples[size_t(2 * first + 257)], before.samples[size_t(2 * first + 257)]);
}

TEST(BandPass, EachOutputIsTheWeightedSumOf128EarlierInputs)
{
    TestTrack t = randomTrack(3000, 13, 8000);
    const TestTrack before = t;
    const int32_t first = 100, last = 2900;
    applyBandPass(t.span(), params(first, last, 30, 90, 128)); // left 127/128, right 1
    const BandPassKernel k = designBandPass(30 * 22050.0 / 256.0, 90 * 22050.0 / 256.0);
    for (int32_t s = 2 * first + 257; s <= 2 * last - 256; s += 7)
    {
        double y = 0.0;
        for (int32_t j = 0; j < 128; ++j)
            y += float(k[size_t(j)]) * double(before.samples[size_t(s - 2 * j)]);
        const double w = s % 2 == 0 ? 127.0 / 128.0 : 1.0;
        const double expected = std::trunc(std::clamp(y * w, -32767.0, 32767.0));
        ASSERT_NEAR(t.samples[size_t(s)], expected, 1.0) << s;
    }
}

TEST(BandPass, PassesATonInsideTheBandAndStopsOneOutside)
{
    const int32_t frames = 8000;
    TestTrack inside = sineTrack(frames, 3000.0, 10000.0);
    TestTrack outside = sineTrack(frames, 12000.0, 10000.0);
    // 2067 ... 4134 Hz, widened by about 1917 Hz
    applyBandPass(inside.span(), params(0, frames, 24, 48, 127));
    applyBandPass(outside.span(), params(0, frames, 24, 48, 127));
    int32_t peakIn = 0, peakOut = 0;
    for (int32_t f = 1000; f < 7000; ++f)
    {
        peakIn = std::max(peakIn, std::abs(int32_t(inside.left(f))));
        peakOut = std::max(peakOut, std::abs(int32_t(outside.left(f))));
    }
    EXPECT_NEAR(peakIn, 10000, 1200);
    EXPECT_LT(peakOut, 100);
}

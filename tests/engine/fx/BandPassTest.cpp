// Band pass: kernel design and the backward convolution.
#include "FxTestSupport.h"

#include "engine/fx/BandPass.h"
#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

double response(const BandPassKernel& t, double hz)
{
    const double omega = 2.0 * std::numbers::pi * hz / 44100.0;
    double re = 0.0, im = 0.0;
    for (int32_t n = 0; n < kBandPassTaps; ++n)
    {
        re += t[size_t(n)] * std::cos(n * omega);
        im += t[size_t(n)] * std::sin(n * omega);
    }
    return std::hypot(re, im);
}

} // namespace

TEST(BandPassKernel, IsSymmetricAboutTap64AndNormalisedToAPeakOfOne)
{
    const BandPassKernel t = designBandPass(2000.0, 5000.0);
    for (int32_t n = 1; n <= 64; ++n)
        EXPECT_EQ(t[size_t(64 - n)], t[size_t(64 + n)]);
    EXPECT_NEAR(t[0], 0.0, 1e-15); // the window's last value is 0
    for (const auto& [low, high] :
         {std::pair{2000.0, 5000.0}, std::pair{0.0, 22050.0}, std::pair{12000.0, 3000.0}})
    {
        double peak = 0.0;
        for (int32_t k = 0; k <= 250; ++k)
            peak = std::max(peak, response(designBandPass(low, high), k * 0.004 * 22050.0));
        EXPECT_NEAR(peak, 1.0, 1e-9) << low << " ... " << high;
    }
}

TEST(BandPassKernel, EqualEdgesStillPassABandAbout1917HzWide)
{
    const BandPassKernel t = designBandPass(8000.0, 8000.0);
    EXPECT_GT(response(t, 8000.0), 0.9);
    EXPECT_GT(std::min(response(t, 8600.0), response(t, 7400.0)), 0.5);
    EXPECT_LT(std::max(response(t, 11000.0), response(t, 5000.0)), 0.05);
}

TEST(BandPass, EachOutputIsTheWeightedSumOf128EarlierInputsWithHeadAndTailKept)
{
    const TestTrack before = randomTrack(3000, 13, 8000);
    TestTrack t = before;
    const int32_t first = 100, last = 2900;
    applyBandPass(t.span(), params(first, last, 30, 90, 128)); // left 127/128, right 1
    for (int32_t s = 0; s < 2 * first + 257; ++s)
        ASSERT_EQ(t.samples[size_t(s)], before.samples[size_t(s)]) << s;
    for (int32_t s = 2 * last - 255; s < 6000; ++s)
        ASSERT_EQ(t.samples[size_t(s)], before.samples[size_t(s)]) << s;
    const BandPassKernel k = designBandPass(30 * 22050.0 / 256.0, 90 * 22050.0 / 256.0);
    for (int32_t s = 2 * first + 257; s <= 2 * last - 256; ++s)
    {
        double y = 0.0;
        for (int32_t j = 0; j < 128; ++j)
            y += float(k[size_t(j)]) * double(before.samples[size_t(s - 2 * j)]);
        const double w = s % 2 == 0 ? 127.0 / 128.0 : 1.0;
        ASSERT_NEAR(t.samples[size_t(s)], std::trunc(std::clamp(y * w, -32767.0, 32767.0)), 1.0)
            << s;
    }
}

TEST(BandPass, PassesAToneInsideTheBandAndStopsOneOutside)
{
    int32_t peak[2] = {0, 0};
    for (int32_t i = 0; i < 2; ++i)
    {
        TestTrack t = sineTrack(8000, i == 0 ? 3000.0 : 12000.0, 10000.0);
        applyBandPass(t.span(), params(0, 8000, 24, 48, 127)); // 2067 ... 4134 Hz, + 1917 Hz
        for (int32_t f = 1000; f < 7000; ++f)
            peak[i] = std::max(peak[i], std::abs(int32_t(t.left(f))));
    }
    EXPECT_NEAR(peak[0], 10000, 1200);
    EXPECT_LT(peak[1], 100);
}

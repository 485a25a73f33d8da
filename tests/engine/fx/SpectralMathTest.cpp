// The vocoder's fast arctangent, sine and cosine against the standard library.
#include "engine/fx/SpectralMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using wavorn::fx::phaseOf;
using wavorn::fx::sinCos;

TEST(SpectralMath, PhaseOfMatchesAtan2AllRoundTheCircle)
{
    double largestError = 0.0;
    for (int32_t i = 0; i < 100000; ++i)
    {
        const double angle = -std::numbers::pi + 2.0 * std::numbers::pi * (i + 0.5) / 100000;
        for (double radius : {1e-6, 0.37, 1.0, 1234.5})
        {
            const auto x = float(radius * std::cos(angle));
            const auto y = float(radius * std::sin(angle));
            largestError = std::max(
                largestError, std::abs(double(phaseOf(y, x)) - std::atan2(double(y), double(x))));
        }
    }
    EXPECT_LT(largestError, 5e-7);
}

TEST(SpectralMath, PhaseOfTheAxesAndOfZero)
{
    constexpr float kPi = std::numbers::pi_v<float>;
    EXPECT_FLOAT_EQ(phaseOf(0.0f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(phaseOf(0.0f, 2.0f), 0.0f);
    EXPECT_FLOAT_EQ(phaseOf(2.0f, 0.0f), kPi / 2);
    EXPECT_FLOAT_EQ(phaseOf(-2.0f, 0.0f), -kPi / 2);
    EXPECT_FLOAT_EQ(phaseOf(0.0f, -2.0f), kPi);
    EXPECT_FLOAT_EQ(phaseOf(1.0f, 1.0f), kPi / 4);
    EXPECT_FLOAT_EQ(phaseOf(-1.0f, -1.0f), -3 * kPi / 4);
}

TEST(SpectralMath, SinCosMatchesTheLibraryOverTwoTurnsEachWay)
{
    double largestError = 0.0;
    for (int32_t i = -200000; i <= 200000; ++i)
    {
        const auto angle = float(2.0 * std::numbers::pi * i / 200000);
        float s = 0.0f;
        float c = 0.0f;
        sinCos(angle, s, c);
        largestError = std::max(largestError, std::abs(double(s) - std::sin(double(angle))));
        largestError = std::max(largestError, std::abs(double(c) - std::cos(double(angle))));
    }
    EXPECT_LT(largestError, 3e-7);
}

// The spectral engine's transforms against a plain discrete Fourier transform.
#include "engine/fx/Fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

using wavorn::fx::fftInPlace;
using wavorn::fx::RealFft;

namespace
{

using Spectrum = std::vector<std::complex<double>>;

// The textbook sum, in double precision: X[k] = sum x[t] e^(sign 2 pi i k t / n), with the
// n roots of unity computed once.
Spectrum plainDft(const std::vector<float>& interleaved, int32_t n, int32_t sign)
{
    Spectrum roots(static_cast<size_t>(n));
    for (int32_t m = 0; m < n; ++m)
        roots[size_t(m)] = std::polar(1.0, sign * 2.0 * std::numbers::pi * m / n);
    Spectrum out(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k)
    {
        std::complex<double> sum = 0.0;
        for (int32_t t = 0; t < n; ++t)
        {
            const std::complex<double> x(interleaved[2 * size_t(t)],
                                         interleaved[2 * size_t(t) + 1]);
            sum += x * roots[size_t(int64_t(k) * t % n)];
        }
        out[size_t(k)] = sum;
    }
    return out;
}

std::vector<float> randomValues(size_t count, uint32_t seed)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> out(count);
    for (float& x : out)
        x = value(generator);
    return out;
}

// Largest distance between the transform and the reference, relative to the largest bin.
double relativeError(const std::vector<float>& interleaved, const Spectrum& reference, int32_t n)
{
    double largestBin = 1e-30;
    double largestError = 0.0;
    for (int32_t k = 0; k < n; ++k)
    {
        const std::complex<double> got(interleaved[2 * size_t(k)], interleaved[2 * size_t(k) + 1]);
        largestBin = std::max(largestBin, std::abs(reference[size_t(k)]));
        largestError = std::max(largestError, std::abs(got - reference[size_t(k)]));
    }
    return largestError / largestBin;
}

} // namespace

class FftSizes : public ::testing::TestWithParam<int32_t>
{
};

TEST_P(FftSizes, ForwardTransformMatchesThePlainDft)
{
    const int32_t n = GetParam();
    std::vector<float> data = randomValues(2 * size_t(n), uint32_t(n));
    const Spectrum reference = plainDft(data, n, -1);
    fftInPlace(data, n, -1);
    EXPECT_LT(relativeError(data, reference, n), 4e-6 * (1 + std::log2(n)));
}

TEST_P(FftSizes, InverseTransformMatchesThePlainDftWithoutScaling)
{
    const int32_t n = GetParam();
    std::vector<float> data = randomValues(2 * size_t(n), uint32_t(n) + 7);
    const Spectrum reference = plainDft(data, n, +1);
    fftInPlace(data, n, +1);
    EXPECT_LT(relativeError(data, reference, n), 4e-6 * (1 + std::log2(n)));
}

INSTANTIATE_TEST_SUITE_P(Fft, FftSizes, ::testing::Values(2, 4, 8, 16, 64, 512, 4096));

TEST(Fft, ForwardThenInverseReturnsTheInputTimesN)
{
    const int32_t n = 4096;
    const std::vector<float> input = randomValues(2 * size_t(n), 11);
    std::vector<float> data = input;
    fftInPlace(data, n, -1);
    fftInPlace(data, n, +1);
    for (size_t i = 0; i < data.size(); ++i)
        ASSERT_NEAR(data[i] / n, input[i], 1e-4) << "at " << i;
}

TEST(Fft, ImpulseAtZeroGivesAFlatSpectrum)
{
    std::vector<float> data(16, 0.0f);
    data[0] = 1.0f;
    fftInPlace(data, 8, -1);
    for (int32_t k = 0; k < 8; ++k)
    {
        EXPECT_FLOAT_EQ(data[2 * size_t(k)], 1.0f);
        EXPECT_FLOAT_EQ(data[2 * size_t(k) + 1], 0.0f);
    }
}

TEST(Fft, BufferTooSmallForNIsLeftAlone)
{
    std::vector<float> data = {1.0f, 2.0f, 3.0f, 4.0f};
    fftInPlace(data, 4, -1); // needs 8 floats
    EXPECT_EQ(data, (std::vector<float>{1.0f, 2.0f, 3.0f, 4.0f}));
}

class RealFftSizes : public ::testing::TestWithParam<int32_t>
{
};

TEST_P(RealFftSizes, ForwardGivesTheLowerHalfOfTheComplexTransform)
{
    const int32_t n = GetParam();
    const std::vector<float> samples = randomValues(size_t(n), uint32_t(n) + 3);
    std::vector<float> complexData(2 * size_t(n), 0.0f);
    for (int32_t t = 0; t < n; ++t)
        complexData[2 * size_t(t)] = samples[size_t(t)];
    const Spectrum reference = plainDft(complexData, n, -1);

    RealFft fft(n);
    std::vector<float> spectrum(size_t(n) + 2);
    fft.forward(samples, spectrum);
    EXPECT_LT(relativeError(spectrum, reference, n / 2 + 1), 4e-6 * (1 + std::log2(n)));
}

TEST_P(RealFftSizes, InverseRealPartMatchesTheComplexInverseOfTheOneSidedSpectrum)
{
    const int32_t n = GetParam();
    // Bins 0 ... n/2 arbitrary, every bin above n/2 zero.
    const std::vector<float> oneSided = randomValues(size_t(n) + 2, uint32_t(n) + 5);
    std::vector<float> full(2 * size_t(n), 0.0f);
    std::copy(oneSided.begin(), oneSided.end(), full.begin());
    const Spectrum reference = plainDft(full, n, +1);

    RealFft fft(n);
    std::vector<float> samples(static_cast<size_t>(n));
    fft.inverseRealPart(oneSided, samples);
    double largest = 1e-30;
    double largestError = 0.0;
    for (int32_t t = 0; t < n; ++t)
    {
        largest = std::max(largest, std::abs(reference[size_t(t)]));
        largestError =
            std::max(largestError, std::abs(samples[size_t(t)] - reference[size_t(t)].real()));
    }
    EXPECT_LT(largestError / largest, 4e-6 * (1 + std::log2(n)));
}

INSTANTIATE_TEST_SUITE_P(Fft, RealFftSizes, ::testing::Values(4, 8, 32, 1024, 4096));

TEST(Fft, RealForwardAgreesWithFftInPlaceAtTheVocoderSize)
{
    const int32_t n = 4096;
    const std::vector<float> samples = randomValues(size_t(n), 21);
    std::vector<float> complexData(2 * size_t(n), 0.0f);
    for (int32_t t = 0; t < n; ++t)
        complexData[2 * size_t(t)] = samples[size_t(t)];
    fftInPlace(complexData, n, -1);

    RealFft fft(n);
    std::vector<float> spectrum(size_t(n) + 2);
    fft.forward(samples, spectrum);
    // Both are float transforms; they agree to float rounding of the largest bin.
    float largest = 0.0f;
    for (int32_t i = 0; i < n + 2; ++i)
        largest = std::max(largest, std::abs(complexData[size_t(i)]));
    for (int32_t i = 0; i < n + 2; ++i)
        ASSERT_NEAR(spectrum[size_t(i)], complexData[size_t(i)], 5e-5f * largest)
            << "at float " << i;
}

// Test signals for the spectral engine: generation and measurement over stereo frames.
#include "SpectralTestSignals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace spectraltest
{

namespace
{

double sumOfTones(std::initializer_list<Tone> tones, int32_t frame)
{
    double value = 0.0;
    for (const Tone& t : tones)
        value += t.amplitude * std::sin(2.0 * std::numbers::pi * t.hz * frame / 44100.0 + t.phase);
    return value;
}

} // namespace

std::vector<int16_t> stereoTones(int32_t frames, std::initializer_list<Tone> left,
                                 std::initializer_list<Tone> right)
{
    std::vector<int16_t> samples(2 * size_t(frames));
    for (int32_t f = 0; f < frames; ++f)
    {
        samples[2 * size_t(f)] = int16_t(sumOfTones(left, f));
        samples[2 * size_t(f) + 1] = int16_t(sumOfTones(right, f));
    }
    return samples;
}

double zeroCrossingHz(std::span<const int16_t> samples, int32_t channel, int32_t from, int32_t to)
{
    double firstCrossing = -1.0;
    double lastCrossing = -1.0;
    int32_t crossings = 0;
    for (int32_t f = from + 1; f < to; ++f)
    {
        const double a = samples[2 * size_t(f - 1) + size_t(channel)];
        const double b = samples[2 * size_t(f) + size_t(channel)];
        if (a < 0.0 && b >= 0.0)
        {
            const double at = (f - 1) + (-a) / (b - a);
            if (crossings == 0)
                firstCrossing = at;
            lastCrossing = at;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * 44100.0 / (lastCrossing - firstCrossing);
}

int32_t largestDifference(std::span<const int16_t> actual, std::span<const int16_t> input,
                          int32_t channel, int32_t from, int32_t to, double scale)
{
    int32_t largest = 0;
    for (int32_t f = from; f < to; ++f)
    {
        const size_t s = 2 * size_t(f) + size_t(channel);
        const auto expected = int32_t(scale * input[s]);
        largest = std::max(largest, std::abs(int32_t(actual[s]) - expected));
    }
    return largest;
}

} // namespace spectraltest

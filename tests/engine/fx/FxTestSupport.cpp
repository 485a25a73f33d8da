// Small hand-made tracks for the effect tests.
#include "FxTestSupport.h"

#include <cmath>
#include <random>

namespace fxtest
{

void TestTrack::fill(int16_t l, int16_t r)
{
    for (int32_t f = 0; f < frames(); ++f)
    {
        left(f) = l;
        right(f) = r;
    }
}

void TestTrack::generate(const std::function<int16_t(int32_t, int32_t)>& f)
{
    for (int32_t i = 0; i < frames(); ++i)
    {
        left(i) = f(i, 0);
        right(i) = f(i, 1);
    }
}

FxParams params(int32_t first, int32_t last, int32_t p1, int32_t p2, int32_t p3)
{
    return FxParams{first, last, p1, p2, p3};
}

TestTrack randomTrack(int32_t frames, uint32_t seed, int32_t amplitude)
{
    TestTrack t(frames);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> dist(-amplitude, amplitude);
    for (int16_t& s : t.samples)
        s = int16_t(dist(rng));
    return t;
}

TestTrack sineTrack(int32_t frames, double hz, double amplitude)
{
    TestTrack t(frames);
    for (int32_t f = 0; f < frames; ++f)
    {
        const auto v =
            int16_t(amplitude * std::sin(2.0 * 3.14159265358979323846 * hz * f / 44100.0));
        t.left(f) = v;
        t.right(f) = v;
    }
    return t;
}

int32_t zeroCrossings(const TestTrack& t, int32_t first, int32_t last, int32_t channel)
{
    int32_t count = 0;
    int32_t previous = 0;
    for (int32_t f = first; f < last; ++f)
    {
        const int32_t v = channel == 0 ? t.left(f) : t.right(f);
        if (v == 0)
            continue;
        const int32_t sign = v > 0 ? 1 : -1;
        if (previous != 0 && sign != previous)
            ++count;
        previous = sign;
    }
    return count;
}

} // namespace fxtest

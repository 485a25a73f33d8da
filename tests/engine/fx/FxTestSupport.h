// Small hand-made tracks for the effect tests: interleaved stereo samples with frame access.
#pragma once

#include "engine/fx/FxMath.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace fxtest
{

using wavorn::fx::FxParams;
using wavorn::fx::SampleSpan;

struct TestTrack
{
    std::vector<int16_t> samples;

    explicit TestTrack(int32_t frames) : samples(2 * size_t(frames), 0) {}
    int32_t frames() const { return int32_t(samples.size() / 2); }
    SampleSpan span() { return {samples.data(), samples.size()}; }
    int16_t& left(int32_t frame) { return samples[2 * size_t(frame)]; }
    int16_t& right(int32_t frame) { return samples[2 * size_t(frame) + 1]; }
    int16_t left(int32_t frame) const { return samples[2 * size_t(frame)]; }
    int16_t right(int32_t frame) const { return samples[2 * size_t(frame) + 1]; }
    void fill(int16_t l, int16_t r);
    // Sets every frame from a function of (frame, channel).
    void generate(const std::function<int16_t(int32_t, int32_t)>& f);
};

FxParams params(int32_t first, int32_t last, int32_t p1, int32_t p2, int32_t p3);
// A track of random samples within -32767 ... 32767, repeatable from seed.
TestTrack randomTrack(int32_t frames, uint32_t seed, int32_t amplitude = 32767);
// A sine of `hz` at 44100 frames per second and the given amplitude in both channels.
TestTrack sineTrack(int32_t frames, double hz, double amplitude);
// Sign changes of one channel over frames [first, last).
int32_t zeroCrossings(const TestTrack& t, int32_t first, int32_t last, int32_t channel);

} // namespace fxtest

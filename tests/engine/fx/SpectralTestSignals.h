// Test signals for the spectral engine: stereo sums of sines, and measurements of a channel's
// frequency and its difference from a scaled input over a stretch of frames.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace spectraltest
{

struct Tone
{
    double hz;
    double amplitude; // in sample units
    double phase = 0.0;
};

// Interleaved stereo frames; the left channel holds `left`, the right one `right`, each value
// truncated toward zero like the engine's own stores.
std::vector<int16_t> stereoTones(int32_t frames, std::initializer_list<Tone> left,
                                 std::initializer_list<Tone> right);

// Frequency of one channel over frames [from, to) from the spacing of its rising zero crossings
// (interpolated between samples); 0 when fewer than two crossings occur.
double zeroCrossingHz(std::span<const int16_t> samples, int32_t channel, int32_t from, int32_t to);

// Largest |a - b| of one channel over frames [from, to), with b taken as scale * b truncated.
int32_t largestDifference(std::span<const int16_t> actual, std::span<const int16_t> input,
                          int32_t channel, int32_t from, int32_t to, double scale);

} // namespace spectraltest

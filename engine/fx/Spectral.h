// The spectral engine: a phase vocoder that changes each channel's spectrum hop by hop.
#pragma once

#include <cstdint>
#include <span>

namespace wavorn::fx
{

// Applies spectral operation `operation` (0 FFT Pitch ... 6 Bass Boost; any other value
// silences what the pass writes) to frames [first, last) of track, the whole of trackBuf as
// interleaved stereo samples. The range is already clamped to the buffer.
void spectralEffect(int32_t operation, std::span<int16_t> track, int32_t first, int32_t last,
                    int32_t p1, int32_t p2, int32_t p3);

} // namespace wavorn::fx

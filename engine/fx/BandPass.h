// Band pass (code 7): a 129-tap Blackman-windowed band-pass kernel, normalised to a peak gain
// of 1, run backward over the range so that every output uses unprocessed input only.
#pragma once

#include "FxMath.h"

#include <array>

namespace wavorn::fx
{

constexpr int32_t kBandPassTaps = 129;
using BandPassKernel = std::array<double, kBandPassTaps>;

// The normalised kernel for the band lowHz ... highHz (widened by about 1917 Hz), symmetric
// about tap 64.
BandPassKernel designBandPass(double lowHz, double highHz);

// Filter: designs the kernel (logging "Filter" and each tap * 100000 when logging is on) and
// filters sample indexes 2 * first + 257 ... 2 * last - 256 of track with taps 0 ... 127:
// out = wet * y + dry * x per channel, limited to +-32767. The output lags the input by 64
// frames. Returns false, leaving the track unchanged, when the range is too short.
bool filter(SampleSpan track, int32_t first, int32_t last, double lowHz, double highHz,
            float dryLeft, float dryRight, float wetLeft, float wetRight);

} // namespace wavorn::fx

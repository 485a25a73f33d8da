// The spectral engine: runs the phase vocoder over the left channel and then the right one,
// each from cleared working arrays, with the chosen spectral operation on every frame.
#include "Spectral.h"

#include "PhaseVocoder.h"
#include "SpectralOps.h"

namespace wavorn::fx
{

void spectralEffect(int32_t operation, std::span<int16_t> track, int32_t first, int32_t last,
                    int32_t p1, int32_t p2, int32_t p3)
{
    if (first < 0 || last > int32_t(track.size() / 2) || last - first <= PhaseVocoder::kLatency)
        return; // outside the buffer, or too short for any frame to be written
    const SpectralParams params{p1 & 0xFF, p2 & 0xFF, p3 & 0xFF};
    const SpectralOperation rule = spectralOperation(operation);
    PhaseVocoder vocoder;
    for (int32_t channel = 0; channel < 2; ++channel)
        vocoder.processChannel(track, channel, first, last, rule, params);
}

} // namespace wavorn::fx

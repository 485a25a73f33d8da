// Spectral engine (placeholder until the phase vocoder lands): leaves the range unchanged.
#include "Spectral.h"

namespace wavorn::fx
{

void spectralEffect(int32_t, std::span<int16_t>, int32_t, int32_t, int32_t, int32_t, int32_t) {}

} // namespace wavorn::fx

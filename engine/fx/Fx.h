// The effect processor: FXIt applies one effect code to a range of the current track.
#pragma once

#include <cstdint>

namespace wavorn::fx
{

// Applies effect `code` (low 8 bits) with p1..p3 (low 8 bits) to frames [first, last) of
// trackBuf and marks the track edited. Codes of the time-domain rows of Effects.def run their
// function; every other code goes to the spectral engine.
int32_t fxIt(int32_t code, int32_t firstFrame, int32_t lastFrame, int32_t p1, int32_t p2,
             int32_t p3);

} // namespace wavorn::fx

// Perfect Pitch's note tables: a frequency between 120 and 540 Hz moves to the note of a scale.
#pragma once

#include <cstdint>

namespace wavorn::fx
{

// snapToScale: frequencies below 120 Hz, from 540 Hz up, and values that are not numbers are
// returned unchanged. Any other frequency becomes the note of the interval it falls in (each
// interval closed below, open above) of the table that `scale` selects: below 64 minor,
// 64 ... 191 major, 192 and above chromatic.
float snapToScale(float frequency, int32_t scale);

} // namespace wavorn::fx

// The sample keyboard: a clip loaded into playBuf, rendered into trackBuf at a pitch and level.
#pragma once

#include <cstdint>

namespace wavorn
{

// LoadSK1: loads the clip file into playBuf and returns how many of its frames SK1 may read:
// (RIFF size field - 44) / 4, which for a canonical file of n frames is n - 2, so the
// interpolation never reads past the clip. 0 for a clip that cannot be used: a file the loader
// refuses or that is not stereo 16-bit at 44100, one that cannot be read again, or one too
// short to leave a frame. A length beyond what playBuf holds is cut to trackLen - 2.
int32_t loadSK1(const char* fileName);

// SK1: mixes one note of the clip into trackBuf from startFrame on, reading the clip at
// single-precision positions 0, step, 2 * step, ... (linear interpolation between neighbouring
// frames), scaling by gain and adding to the track, clamped to +-32767. The note ends after
// the frame at which the position reaches `length`, or before frame trackLen - 2. Returns 0.
// Nothing is written for a length below 1, a start frame outside the track, a negative step,
// or a step or gain that is not a finite single-precision number; a length beyond playBuf is
// cut to trackLen - 1. Does not mark the track edited.
int32_t sk1(int32_t startFrame, int32_t length, double step, double gain);

} // namespace wavorn

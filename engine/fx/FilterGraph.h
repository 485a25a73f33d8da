// FilterGraph: the effect chain window's work-buffer operations on playBuf: keep an
// unprocessed copy of a range, mix it back after the effects, swap it with the track, copy it
// back, and audition playBuf through the output block.
#pragma once

#include <cstdint>
#include <span>

namespace wavorn::fx
{

// Runs operation 1 (copy out), 2 (mix back), 3 (swap), 4 (copy back), 5 (play) or 6 (stop)
// over frames [firstFrame, lastFrame) of trackBuf, clamped to the buffers. Returns 0 for
// operations 1 to 4 and for every other number (which does nothing); operations 5 and 6 return
// the wave output result of their last call.
int32_t filterGraph(int32_t operation, int32_t firstFrame, int32_t lastFrame);

// Mix back over a range of track (interleaved stereo, as many samples as saved): the saved
// copy, scaled by the gains (1/256 steps, rounded toward minus infinity), is added at full
// level throughout while the track's own content fades in over the first c/2 frames and out
// over the last c/2 frames, c = track.size() / 2 samples but at most 16834. Results are
// limited to +-32767.
void mixBack(std::span<int16_t> track, std::span<const int16_t> saved, int32_t gainLeft,
             int32_t gainRight);

} // namespace wavorn::fx

// Two-grain pitch shifter (code 4): two read heads, half a grain apart, move at 1 +- step
// frames per output frame and cross-fade with triangular weights.
#pragma once

#include "FxMath.h"

namespace wavorn::fx
{

constexpr int32_t kGrainFrames = 2048;

// The step and direction (+1 up, -1 down) of the interval chosen by P1 in six steps:
// an octave down, a fourth down, a third up (1.25), a fifth up (1.5), 1.875 and an octave up.
struct PitchInterval
{
    float step;
    int32_t direction;
};
PitchInterval pitchInterval(int32_t p1);

// grainPitch: frames first + 2048 ... last - 2049 get wet * (shifted signal) + dry * x per
// channel, limited to +-32767; the outer 2048 frames of the range keep their values.
void grainPitch(SampleSpan track, int32_t first, int32_t last, float step, int32_t direction,
                float wetLeft, float wetRight, float dryLeft, float dryRight);

} // namespace wavorn::fx

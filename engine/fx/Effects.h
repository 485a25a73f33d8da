// The time-domain effects, codes 1 to 25: each rewrites frames [first, last) of the track in
// place and keeps no state between calls. Grouped by family, one source file each.
#pragma once

#include "FxMath.h"

namespace wavorn::fx
{

// Level.cpp: per-sample level curves.
void applyGain(SampleSpan track, const FxParams& p);        // code 1
void applyCompression(SampleSpan track, const FxParams& p); // code 8
void applyDistortion(SampleSpan track, const FxParams& p);  // code 12

// Oscillators.cpp: a low-frequency oscillator scales each frame.
void applyRing(SampleSpan track, const FxParams& p);      // code 5
void applyVibe(SampleSpan track, const FxParams& p);      // code 6
void applyBouncePan(SampleSpan track, const FxParams& p); // code 11

// Echo.cpp
void applyEcho(SampleSpan track, const FxParams& p); // code 3

// FrameOps.cpp: exchanges and moves whole samples without arithmetic on levels.
void applyMirror(SampleSpan track, const FxParams& p);     // code 15
void applyNegate(SampleSpan track, const FxParams& p);     // code 18
void applyReverse(SampleSpan track, const FxParams& p);    // code 19
void applyShift(SampleSpan track, const FxParams& p);      // code 20
void applyMonotonize(SampleSpan track, const FxParams& p); // code 25

// BandPass.cpp
void applyBandPass(SampleSpan track, const FxParams& p); // code 7

// MovingAverage.cpp
void applyLowPass(SampleSpan track, const FxParams& p);  // code 9
void applyHighPass(SampleSpan track, const FxParams& p); // code 10

// Chorus.cpp
void applyChorus2(SampleSpan track, const FxParams& p); // code 2
void applyChorus3(SampleSpan track, const FxParams& p); // code 16

// GrainPitch.cpp
void applyPitch(SampleSpan track, const FxParams& p); // code 4

// Resonator.cpp
void applyResonator(SampleSpan track, const FxParams& p); // code 13

// LevelFollow.cpp: gates that follow the loudness of a sliding window.
void applyNoiseReduction(SampleSpan track, const FxParams& p); // code 14
void applyWah(SampleSpan track, const FxParams& p);            // code 17

// NoteEffects.cpp: notes found by a level threshold, transformed when they end.
void applyReverseNote(SampleSpan track, const FxParams& p); // code 21
void applyFadeNote(SampleSpan track, const FxParams& p);    // code 22
void applyReflectNote(SampleSpan track, const FxParams& p); // code 23
void applyPitchNote(SampleSpan track, const FxParams& p);   // code 24

} // namespace wavorn::fx

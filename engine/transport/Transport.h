// Playback and recording: one whole-track block per device for the whole of a pass.
#pragma once

#include <cstdint>

namespace wavorn
{

int32_t waveOpenOut();  // opens the output device and allocates playBuf
int32_t waveCloseOut(); // resets and closes it, frees playBuf
int32_t waveOpenIn();   // opens the input device and allocates trackBuf
int32_t waveCloseIn();  // closes it, frees trackBuf

// merge4Play: playBuf frames [0, end - start) take masterBuf [start, end), and with
// withCurrent the current track is gain-mixed on top. The range must be clamped already.
void merge4Play(int32_t start, int32_t end, bool withCurrent);

int32_t playTracks(int32_t start, int32_t end);
int32_t recordTrack(int32_t start, int32_t end, int32_t merge);
int32_t stopTracks(int32_t start, int32_t end, int32_t merge);
int32_t isPlaying();
int32_t getPosition();
int32_t saveAsWave(int32_t start, int32_t end, const char* fileName);

// The output block operations the effect chain's audition shares with the transport:
// prepare and write playBuf again, setting `playing`; and stop, reset and unprepare it.
int32_t replayOutputBlock();
int32_t stopOutputBlock();

} // namespace wavorn

// MIDI playback queue and record list.
#pragma once

#include <cstdint>

namespace wavorn::midi
{

int32_t openMidiPlay(int32_t capacity);
int32_t closeMidiPlay();
int32_t addMidi(int32_t timeMs, int32_t message);
int32_t playMidi();
int32_t midiPlaying();
int32_t getMidiTimer();
int32_t stopMidi();
int32_t cmdMidi(int32_t status, int32_t data1, int32_t data2);
int32_t openMidiRec(int32_t capacity, int32_t device);
int32_t closeMidiRec();
int32_t recordMidi();
int32_t getRecordLength();
int32_t getRecordData(int32_t index);
int32_t stopMidiRec();

} // namespace wavorn::midi

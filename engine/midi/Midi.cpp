// MIDI queue and record list (placeholder until MIDI lands).
#include "Midi.h"

namespace wavorn::midi
{

int32_t openMidiPlay(int32_t) { return 6; }
int32_t closeMidiPlay() { return 0; }
int32_t addMidi(int32_t, int32_t) { return 0; }
int32_t playMidi() { return 0; }
int32_t midiPlaying() { return 0; }
int32_t getMidiTimer() { return 0; }
int32_t stopMidi() { return 0; }
int32_t cmdMidi(int32_t, int32_t, int32_t) { return 6; }
int32_t openMidiRec(int32_t, int32_t) { return 6; }
int32_t closeMidiRec() { return 0; }
int32_t recordMidi() { return 0; }
int32_t getRecordLength() { return -1; }
int32_t getRecordData(int32_t) { return 0; }
int32_t stopMidiRec() { return 0; }

} // namespace wavorn::midi

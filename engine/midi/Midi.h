// MIDI playback and recording: the queue of timed messages that a 10 ms periodic timer sends to
// the default MIDI output, and the list into which a MIDI input records timed messages.
//
// Both hold MidiEvents, two 32-bit words each: the time in milliseconds (from PlayMidi for the
// queue, from RecordMidi for the list) and the packed short message (status | data1 << 8 |
// data2 << 16). Capacities are given in words. An event is stored only while the count of words
// before it is below capacity - 4, so a capacity of k words keeps ceil((k - 4) / 2) events; a
// capacity below 4 keeps none. Results are the multimedia error numbers (0 = success).
#pragma once

#include <cstdint>

namespace wavorn::midi
{

// Playback (all from the application's thread).

// OpenMidiPlay: allocates the queue, opens the default MIDI output and requests the 10 ms timer
// resolution. Returns the output open result plus the resolution request result; 7 (no memory)
// when the queue cannot be allocated; 11 (invalid parameter), with nothing changed, for a
// capacity above kMaxCapacityWords (16 M words). An open queue is closed first.
int32_t openMidiPlay(int32_t capacity);
// CloseMidiPlay: stops the timer, frees the queue, releases the resolution and closes the
// output; returns the output close result (5 when nothing is open).
int32_t closeMidiPlay();
// AddMidi: appends one event by the capacity rule; once full, the event goes to the two scratch
// words after the last event and is never played. Returns the words in use (0 when closed).
int32_t addMidi(int32_t timeMs, int32_t message);
// PlayMidi: plays the queue from its first event; an event at time t goes out on the first tick
// whose elapsed time exceeds t. Returns the words in use (0, and nothing plays, when closed).
int32_t playMidi();
// MidiPlaying: 1 from PlayMidi until the queue has been played out or StopMidi, else 0.
int32_t midiPlaying();
// GetMidiTimer: milliseconds elapsed in the current pass, in steps of 10; back to 0 when the
// queue has been played out.
int32_t getMidiTimer();
// StopMidi: empties the queue and ends the pass (the timer stops at its next tick). Returns 0.
int32_t stopMidi();
// CmdMidi: sends status + data1 * 256 + data2 * 65536 at once; 5 when the output is not open.
int32_t cmdMidi(int32_t status, int32_t data1, int32_t data2);

// Recording (all from the application's thread; the input callback fills the list).

// OpenMidiRec: allocates the list and opens and resets input `device`; returns the open result
// plus the reset result (a device that does not open also fails its reset: 2 + 5 for a bad
// number); 7 when the list cannot be allocated; 11, with nothing changed, for a capacity above
// kMaxCapacityWords. An open list is closed first.
int32_t openMidiRec(int32_t capacity, int32_t device);
// CloseMidiRec: closes the input (stopping it first if needed) and frees the list; returns the
// close result (5 when no input is open).
int32_t closeMidiRec();
// RecordMidi: empties the list and starts input; returns the start result.
int32_t recordMidi();
// GetRecordLength: index of the last word recorded, -1 when the list is empty or closed.
int32_t getRecordLength();
// GetRecordData: word `index` of the list, or 0 when index is negative or not below the count.
int32_t getRecordData(int32_t index);
// StopMidiRec: stops input, keeping the list; returns the stop result (5 when not open).
int32_t stopMidiRec();

} // namespace wavorn::midi

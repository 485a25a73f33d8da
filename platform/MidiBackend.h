// Chooses the MIDI devices for this process and lists the MIDI inputs.
//
// VUMO_MIDI_BACKEND selects them: "rtmidi" (the system's MIDI ports through RtMidi, the ALSA
// sequencer on Linux), "virtual" (no hardware, see virtual/VirtualMidiOut.h and
// virtual/VirtualMidiIn.h) or "auto" (the default, also for any other value): RtMidi for each
// of output and input when the sequencer opens and has a port of that kind, the virtual device
// otherwise, so MIDI works on a machine without any port.
#pragma once

#include "MidiIn.h"
#include "MidiOut.h"

#include <memory>
#include <string>
#include <vector>

namespace platform
{

enum class MidiBackend
{
    RtMidi,
    Virtual
};

// The backend that makeMidiOut()/makeMidiIn() would use now.
MidiBackend midiOutputBackend();
MidiBackend midiInputBackend();
const char* midiBackendName(MidiBackend b);

std::unique_ptr<MidiOut> makeMidiOut();
std::unique_ptr<MidiIn> makeMidiIn();

// The MIDI input devices of the input backend, by device number (the names the Options dialog
// lists): the sequencer's input ports, or the one virtual input.
std::vector<std::string> midiInputNames();
int32_t midiInputCount();

} // namespace platform

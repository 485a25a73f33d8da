// Chooses the MIDI devices for this process and lists the MIDI inputs.
//
// VUMO_MIDI_BACKEND selects them: "rtmidi" (the system's MIDI ports through RtMidi, the ALSA
// sequencer on Linux), "synth" (output through the built-in General MIDI synthesizer,
// synth/SynthMidiOut.h; input as with "auto"), "virtual" (no hardware, see
// virtual/VirtualMidiOut.h and virtual/VirtualMidiIn.h) or "auto" (the default, also for any
// other value). Auto output: RtMidi when the sequencer has an output port other than a Through
// port, else the built-in synthesizer when a SoundFont is found (synth/SoundFont.h), else the
// virtual device; auto input: RtMidi when the sequencer has an input port, else the virtual
// device. So MIDI works, and drums sound, on a machine without any port.
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
    Synth,
    Virtual
};

// The backend that makeMidiOut()/makeMidiIn() would use now.
MidiBackend midiOutputBackend();
MidiBackend midiInputBackend();
const char* midiBackendName(MidiBackend b);

// The output of the output backend. When VUMO_SOUNDFONT names no readable file and the
// choice fell back to another output, a line on standard error says so.
std::unique_ptr<MidiOut> makeMidiOut();
std::unique_ptr<MidiIn> makeMidiIn();

// The MIDI input devices of the input backend, by device number (the names the Options dialog
// lists): the sequencer's input ports, or the one virtual input.
std::vector<std::string> midiInputNames();
int32_t midiInputCount();

} // namespace platform

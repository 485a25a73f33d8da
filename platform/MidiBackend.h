// Chooses the MIDI devices for this process and lists the MIDI inputs.
//
// VUMO_MIDI_BACKEND selects them: "rtmidi" (the system's MIDI ports through RtMidi, the ALSA
// sequencer on Linux), "synth" (output through the built-in General MIDI synthesizer,
// synth/SynthMidiOut.h; input as with "auto"), "virtual" (no hardware, see
// virtual/VirtualMidiOut.h and virtual/VirtualMidiIn.h) or "auto" (the default, also for any
// other value). Auto output: RtMidi when the sequencer has an output port other than a Through
// port, else the built-in synthesizer when a SoundFont is found (synth/SoundFont.h) and its
// module loads (synth/SynthModule.h), else the virtual device; auto input: RtMidi when the
// sequencer has an input port, else the virtual device. So MIDI works, and drums sound, on a
// machine without any port.
//
// On Windows "winmm" (the Windows multimedia MIDI devices: the MIDI mapper for output, the
// system's MIDI inputs by number) takes RtMidi's place, in the setting and in the auto choice,
// which takes it for each side that has at least one device. The built-in synthesizer is not
// part of that build: "synth" then gives no output (makeMidiOut returns null, and says why on
// standard error), and auto never picks it.
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
    Virtual,
    WinMm
};

// The backend that makeMidiOut()/makeMidiIn() would use now.
MidiBackend midiOutputBackend();
MidiBackend midiInputBackend();
const char* midiBackendName(MidiBackend b);

// The output of the output backend; null only when that backend is not part of this build. When
// VUMO_SOUNDFONT names no readable file and the choice fell back to another output, a line on
// standard error says so.
std::unique_ptr<MidiOut> makeMidiOut();
std::unique_ptr<MidiIn> makeMidiIn();

// The MIDI input devices of the input backend, by device number (the names the Options dialog
// lists): the sequencer's input ports, or the one virtual input.
std::vector<std::string> midiInputNames();
int32_t midiInputCount();

} // namespace platform

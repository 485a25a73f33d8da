// The rtmidi backend: MIDI output and input through the RtMidi library, and the list of its
// input ports. On Linux it uses JACK MIDI while a JACK server runs (the one JACK_DEFAULT_SERVER
// names, else the default one) and the ALSA sequencer otherwise.
//
// The default output is the first output port that is neither a "Through" port nor one of Vumo's
// own (the first port when all are). A Through port passes messages on to whatever is connected to
// it, usually nothing, so it does not count as a real output. Input device n is input port n as the
// sequencer lists it now.
#pragma once

#include "../MidiIn.h"
#include "../MidiOut.h"

#include <memory>
#include <string>
#include <vector>

namespace platform
{

// Names of the input ports, in device-number order; empty when neither JACK nor the sequencer
// can be opened.
std::vector<std::string> rtMidiInputNames();
// True when the backend speaks JACK MIDI, that is when a JACK server answers.
bool rtMidiUsesJack();
// True when the sequencer opens and has at least one output (or input) port.
bool rtMidiHasOutput();
bool rtMidiHasInput();
// True when the sequencer has an output port that is not a Through port.
bool rtMidiHasRealOutput();

std::unique_ptr<MidiOut> makeRtMidiOut();
std::unique_ptr<MidiIn> makeRtMidiIn();

} // namespace platform

// Chooses between the rtmidi and the virtual MIDI devices by VUMO_MIDI_BACKEND.
#include "MidiBackend.h"

#include "rtmidi/RtMidiDevices.h"
#include "virtual/VirtualMidiIn.h"
#include "virtual/VirtualMidiOut.h"

#include <cstdlib>
#include <cstring>

namespace platform
{

namespace
{

enum class Choice
{
    RtMidi,
    Virtual,
    Auto
};

Choice chosenBackend()
{
    const char* text = std::getenv("VUMO_MIDI_BACKEND");
    if (text && std::strcmp(text, "rtmidi") == 0)
        return Choice::RtMidi;
    if (text && std::strcmp(text, "virtual") == 0)
        return Choice::Virtual;
    return Choice::Auto;
}

MidiBackend resolve(bool (*rtMidiUsable)())
{
    switch (chosenBackend())
    {
    case Choice::RtMidi:
        return MidiBackend::RtMidi;
    case Choice::Virtual:
        return MidiBackend::Virtual;
    case Choice::Auto:
        break;
    }
    return rtMidiUsable() ? MidiBackend::RtMidi : MidiBackend::Virtual;
}

} // namespace

MidiBackend midiOutputBackend()
{
    return resolve(&rtMidiHasOutput);
}
MidiBackend midiInputBackend()
{
    return resolve(&rtMidiHasInput);
}

const char* midiBackendName(MidiBackend b)
{
    return b == MidiBackend::RtMidi ? "rtmidi" : "virtual";
}

std::unique_ptr<MidiOut> makeMidiOut()
{
    if (midiOutputBackend() == MidiBackend::RtMidi)
        return makeRtMidiOut();
    return std::make_unique<VirtualMidiOut>();
}

std::unique_ptr<MidiIn> makeMidiIn()
{
    if (midiInputBackend() == MidiBackend::RtMidi)
        return makeRtMidiIn();
    return std::make_unique<VirtualMidiIn>();
}

std::vector<std::string> midiInputNames()
{
    if (midiInputBackend() == MidiBackend::RtMidi)
        return rtMidiInputNames();
    return {kVirtualMidiInName};
}

int32_t midiInputCount()
{
    return int32_t(midiInputNames().size());
}

} // namespace platform

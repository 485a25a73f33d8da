// The device makers of the MIDI queue and the record list.
#include "MidiDevices.h"

#include "platform/MidiBackend.h"

namespace wavorn::midi
{

namespace
{

MidiDevices& chosenDevices()
{
    static MidiDevices devices = platformMidiDevices();
    return devices;
}

} // namespace

MidiDevices platformMidiDevices()
{
    return {[] { return platform::makeMidiOut(); }, [] { return platform::makeMidiIn(); },
            [] { return platform::makePeriodicTimer(); }};
}

void setMidiDevices(MidiDevices devices)
{
    chosenDevices() = std::move(devices);
}

const MidiDevices& midiDevices()
{
    return chosenDevices();
}

} // namespace wavorn::midi

// The devices behind the MIDI queue and the record list: the platform's MIDI output, MIDI input
// and periodic timer, or stand-ins that tests put in their place.
#pragma once

#include "platform/MidiIn.h"
#include "platform/MidiOut.h"
#include "platform/PeriodicTimer.h"

#include <functional>
#include <memory>

namespace wavorn::midi
{

constexpr int32_t kMidiPeriodMs = 10; // tick period, tick resolution and resolution requested

struct MidiDevices
{
    std::function<std::unique_ptr<platform::MidiOut>()> makeOut;
    std::function<std::unique_ptr<platform::MidiIn>()> makeIn;
    std::function<std::unique_ptr<platform::PeriodicTimer>()> makeTimer;
};

// The platform's devices, chosen by VUMO_MIDI_BACKEND when each is opened.
MidiDevices platformMidiDevices();
// The makers that OpenMidiPlay and OpenMidiRec use from now on; call while both are closed.
void setMidiDevices(MidiDevices devices);
const MidiDevices& midiDevices();

} // namespace wavorn::midi

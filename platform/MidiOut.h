// MidiOut: the default MIDI output (the platform's MIDI mapper), sending short messages.
//
// A short message packs the status byte in bits 0 to 7, the first data byte in bits 8 to 15
// and the second in bits 16 to 23. Every call returns an MmResult number (0 = success).
// open() and close() come from one thread; shortMsg() may come from that thread and from the
// periodic timer's thread at the same time.
#pragma once

#include "MmResult.h"

#include <cstdint>
#include <string>

namespace platform
{

class MidiOut
{
public:
    virtual ~MidiOut() = default;

    // Opens the default output: kMidiNoDevice when the system has no MIDI output,
    // kMmAllocated when already open.
    virtual int32_t open() = 0;
    // Sends one short message at once; kMmInvalidHandle when not open.
    virtual int32_t shortMsg(uint32_t message) = 0;
    // Closes the output; kMmInvalidHandle when not open.
    virtual int32_t close() = 0;

    // What the messages reach, for the trace log: the port's name, "built-in synth (<SoundFont
    // path>)" or the virtual device's name. Meaningful after a successful open().
    virtual std::string deviceName() const { return "MIDI output"; }
};

} // namespace platform

// MidiIn: one MIDI input device, delivering each received short message to a callback with
// its time stamp in milliseconds since start().
//
// Devices are numbered 0 to midiInputNames().size() - 1 (platform/MidiBackend.h). Messages
// arrive only between start() and stop() (or reset()); the callback runs on the device's own
// thread. Once stop(), reset() or close() has returned, no callback is running and none will
// run until the next start(). Calls come from one thread, never from inside the callback.
// Every call returns an MmResult number (0 = success).
#pragma once

#include "MmResult.h"

#include <cstdint>
#include <functional>

namespace platform
{

// The kind of an input notification, as the platform's MIDI input reports it.
enum class MidiInNotice
{
    Data,     // a short message (MIM_DATA)
    MoreData, // a short message while more are waiting (MIM_MOREDATA)
    LongData, // a system-exclusive buffer (MIM_LONGDATA)
    Error,    // an invalid message was received (MIM_ERROR)
};

// Receives one notification: the packed short message (status in bits 0 to 7, data bytes in
// 8 to 15 and 16 to 23) and its time stamp in milliseconds since start().
using MidiInCallback = std::function<void(MidiInNotice notice, uint32_t message, uint32_t timeMs)>;

class MidiIn
{
public:
    virtual ~MidiIn() = default;

    // Opens input device `device`: kMmBadDeviceId for a number that names no device (negative
    // numbers included), kMmAllocated when already open, kMmInvalidParam without a callback.
    virtual int32_t open(int32_t device, MidiInCallback onInput) = 0;
    // Stops input and drops anything pending; kMmInvalidHandle when not open.
    virtual int32_t reset() = 0;
    // Starts input; time stamps count from here. Starting a started device changes nothing.
    virtual int32_t start() = 0;
    // Stops input; stopping a stopped device changes nothing.
    virtual int32_t stop() = 0;
    // Closes the device (stopping it first when it still runs); kMmInvalidHandle when not open.
    virtual int32_t close() = 0;
};

} // namespace platform

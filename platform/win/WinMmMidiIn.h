// WinMmMidiIn: a MIDI input device through the Windows multimedia API.
//
// Devices are numbered as midiInGetNumDevs() counts them. The driver's notices arrive on its own
// thread: MIM_DATA and MIM_MOREDATA (short messages, the latter while more are waiting; the device
// is opened with MIDI_IO_STATUS so that the driver may say so), MIM_LONGDATA and MIM_ERROR. Each
// is passed on with the driver's time stamp, in milliseconds since midiInStart. Once stop(),
// reset() or close() has returned, no notice is being passed on and none will be until the next
// start().
#pragma once

#include "../MidiIn.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>
#include <optional>

namespace platform
{

// The MidiInNotice of a driver notice, or none for the notices that carry no input (MIM_OPEN,
// MIM_CLOSE and any other).
std::optional<MidiInNotice> midiInNoticeOf(UINT message);

// Passes a driver's notices on to a callback, but only while open: once shut() has returned, no
// notice is being passed on and none will be until the next open(). The driver calls deliver()
// on its own thread; the other calls come from the device's owner.
class MidiInGate
{
public:
    explicit MidiInGate(MidiInCallback onInput = {}) : m_onInput(std::move(onInput)) {}

    // Sets the callback; only while shut.
    void setCallback(MidiInCallback onInput) { m_onInput = std::move(onInput); }
    void open() { m_open.store(true); }
    // Stops passing notices on and waits until none is being passed on.
    void shut();
    // One notice of the driver with its two parameters (for short messages the packed message
    // and the time stamp in milliseconds since midiInStart).
    void deliver(UINT message, DWORD_PTR param1, DWORD_PTR param2);

private:
    MidiInCallback m_onInput;
    std::atomic<bool> m_open{false};    // set by open(), cleared by shut()
    std::atomic<int32_t> m_inNotice{0}; // notices being passed on now (driver's thread)
};

class WinMmMidiIn final : public MidiIn
{
public:
    WinMmMidiIn() = default;
    ~WinMmMidiIn() override;
    WinMmMidiIn(const WinMmMidiIn&) = delete;
    WinMmMidiIn& operator=(const WinMmMidiIn&) = delete;

    int32_t open(int32_t device, MidiInCallback onInput) override;
    int32_t reset() override;
    int32_t start() override;
    int32_t stop() override;
    int32_t close() override;

    // The driver's callback passes each notice on through here, on the driver's thread.
    MidiInGate& gate() { return m_gate; }

private:
    HMIDIIN m_device = nullptr;
    MidiInGate m_gate; // open between start() and stop(), reset() or close()
};

} // namespace platform

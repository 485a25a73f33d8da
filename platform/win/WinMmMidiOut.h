// WinMmMidiOut: the default MIDI output (the MIDI mapper) through the Windows multimedia API,
// opened without notification; short messages go out with midiOutShortMsg.
#pragma once

#include "../MidiOut.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>

namespace platform
{

class WinMmMidiOut final : public MidiOut
{
public:
    WinMmMidiOut() = default;
    ~WinMmMidiOut() override;
    WinMmMidiOut(const WinMmMidiOut&) = delete;
    WinMmMidiOut& operator=(const WinMmMidiOut&) = delete;

    // kMidiNoDevice when the system has no MIDI output at all (the mapper would have nothing to
    // map to), else midiOutOpen's result for the mapper.
    int32_t open() override;
    int32_t shortMsg(uint32_t message) override;
    int32_t close() override;
    // The mapper's name as the system gives it.
    std::string deviceName() const override;

private:
    std::atomic<HMIDIOUT> m_device{nullptr}; // set by open() before any sender runs
};

} // namespace platform

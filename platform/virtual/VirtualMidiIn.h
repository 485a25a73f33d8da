// VirtualMidiIn: a MIDI input without hardware that plays back a file of timed messages.
//
// It offers one device, number 0. After start() it delivers the events listed in the events
// file (VUMO_VIRTUAL_MIDI_IN unless a path is given), one per line: the time in milliseconds
// since start(), then status, first and second data byte, in decimal ("0 144 60 100"). Each
// event is delivered as MidiInNotice::Data when its time has come, stamped with that time, in
// the order of the file. Lines that do not hold four numbers are skipped.
#pragma once

#include "../Clock.h"
#include "../MidiIn.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform
{

constexpr const char* kVirtualMidiInName = "Vumo Virtual MIDI In";

// One timed event of an events file.
struct TimedMidiEvent
{
    uint32_t timeMs;
    uint32_t message; // packed short message
};

// Reads an events file as described above; an unreadable file gives no events.
std::vector<TimedMidiEvent> readMidiEventsFile(const std::string& path);

class VirtualMidiIn final : public MidiIn
{
public:
    // `clock` times the delivery (steadyClock() when null); an empty `eventsPath` means
    // VUMO_VIRTUAL_MIDI_IN, read by each start().
    explicit VirtualMidiIn(std::shared_ptr<Clock> clock = nullptr, std::string eventsPath = {});
    ~VirtualMidiIn() override;

    int32_t open(int32_t device, MidiInCallback onInput) override;
    int32_t reset() override;
    int32_t start() override;
    int32_t stop() override;
    int32_t close() override;

private:
    void deliver(std::stop_token stop, std::chrono::microseconds startedAt,
                 std::vector<TimedMidiEvent> events);

    std::shared_ptr<Clock> m_clock;
    std::string m_eventsPath;
    MidiInCallback m_onInput; // set by open() before the delivery thread exists
    bool m_open = false;
    std::jthread m_thread; // the delivery thread between start() and stop()
};

} // namespace platform

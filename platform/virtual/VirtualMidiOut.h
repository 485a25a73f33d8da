// VirtualMidiOut: a MIDI output without hardware that writes down what it is sent.
//
// Every message is appended as one text line to the log file (VUMO_VIRTUAL_MIDI_OUT unless a
// path is given): the milliseconds since open(), then status, first and second data byte, in
// decimal, separated by blanks ("10 144 60 100"). Without a log file the messages are only
// counted.
#pragma once

#include "../Clock.h"
#include "../MidiOut.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace platform
{

constexpr const char* kVirtualMidiOutName = "Vumo Virtual MIDI Out";

class VirtualMidiOut final : public MidiOut
{
public:
    // `clock` times the log lines (steadyClock() when null); an empty `logPath` means
    // VUMO_VIRTUAL_MIDI_OUT, read by open().
    explicit VirtualMidiOut(std::shared_ptr<Clock> clock = nullptr, std::string logPath = {});
    ~VirtualMidiOut() override;

    int32_t open() override;
    int32_t shortMsg(uint32_t message) override;
    int32_t close() override;
    std::string deviceName() const override { return kVirtualMidiOutName; }

    // Messages sent since open().
    int32_t sentCount() const { return m_sent.load(); }

private:
    std::shared_ptr<Clock> m_clock;
    std::string m_logPath;
    std::FILE* m_log = nullptr; // set by open() before any sender can run
    std::chrono::microseconds m_openedAt{0};
    std::atomic<bool> m_open{false};
    std::atomic<int32_t> m_sent{0}; // written by shortMsg, from the timer's or the caller's thread
};

} // namespace platform

// Stand-in devices for the MIDI queue and record list tests: a timer ticked by hand, an input
// fed by hand, and a fixture that installs them and closes everything afterwards.
#pragma once

#include "engine/midi/Midi.h"
#include "engine/midi/MidiDevices.h"
#include "platform/MmResult.h"
#include "platform/TimerClock.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"
#include "tests/engine/TestWave.h"
#include "tests/platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wavorn::midi::test
{

using platform::test::Lines;

constexpr int32_t pack(uint32_t status, uint32_t data1, uint32_t data2)
{
    return int32_t(status | data1 << 8 | data2 << 16);
}

// A periodic timer that ticks only when the test calls fire().
class ManualTimer final : public platform::PeriodicTimer
{
public:
    int32_t start(int32_t periodMs, Tick tick) override
    {
        if (m_running)
            return platform::kMmAllocated;
        m_tick = std::move(tick);
        m_periodMs = periodMs;
        m_running = true;
        return platform::kMmNoError;
    }
    void cancel() override { m_running = false; }
    bool running() const override { return m_running; }

    // Runs one tick on the caller's thread; false (and no tick) when the timer is not running.
    bool fire()
    {
        if (!m_running)
            return false;
        m_tick(*this);
        return true;
    }
    int32_t periodMs() const { return m_periodMs; }

private:
    Tick m_tick;
    bool m_running = false;
    int32_t m_periodMs = 0;
};

// A MIDI input whose messages the test hands over with deliver(), on the test's thread; it
// writes each call ("open 0", "reset", "start", "stop", "close") to a journal.
class ManualMidiIn final : public platform::MidiIn
{
public:
    explicit ManualMidiIn(Lines& journal) : m_journal(journal) {}

    int32_t open(int32_t device, platform::MidiInCallback onInput) override
    {
        m_journal.push_back("open " + std::to_string(device));
        if (device != 0)
            return platform::kMmBadDeviceId;
        m_onInput = std::move(onInput);
        return platform::kMmNoError;
    }
    int32_t reset() override { return note("reset", false); }
    int32_t start() override { return note("start", true); }
    int32_t stop() override { return note("stop", false); }
    int32_t close() override
    {
        m_onInput = nullptr;
        return note("close", false);
    }

    // Hands one notification to the callback, as a started device would; ignored otherwise.
    void deliver(platform::MidiInNotice notice, uint32_t message, uint32_t timeMs)
    {
        if (m_onInput && m_started)
            m_onInput(notice, message, timeMs);
    }

private:
    int32_t note(const char* call, bool started)
    {
        m_journal.push_back(call);
        m_started = started;
        return platform::kMmNoError;
    }

    platform::MidiInCallback m_onInput;
    bool m_started = false;
    Lines& m_journal;
};

// Installs a VirtualMidiOut logging to outLog, a ManualMidiIn and a ManualTimer, all on one
// JumpClock; TearDown closes the queue and the list and puts the platform's devices back.
class MidiFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setMidiDevices({[this]
                        { return std::make_unique<platform::VirtualMidiOut>(clock, outLog); },
                        [this]
                        {
                            auto in = std::make_unique<ManualMidiIn>(inputCalls);
                            input = in.get();
                            return in;
                        },
                        [this]
                        {
                            auto t = std::make_unique<ManualTimer>();
                            timer = t.get();
                            return t;
                        }});
    }
    void TearDown() override
    {
        closeMidiPlay();
        closeMidiRec();
        setMidiDevices(platformMidiDevices());
    }

    // Makes OpenMidiPlay use a real timer thread on the fixture's JumpClock instead.
    void useThreadTimer()
    {
        MidiDevices devices = midiDevices();
        devices.makeTimer = [this] { return platform::makePeriodicTimer(clock); };
        setMidiDevices(devices);
    }
    // Makes OpenMidiRec use a VirtualMidiIn playing `events` on the fixture's JumpClock.
    void useVirtualInput(const std::string& events)
    {
        platform::test::writeText(dir.file("in.txt"), events);
        MidiDevices devices = midiDevices();
        devices.makeIn = [this]
        { return std::make_unique<platform::VirtualMidiIn>(clock, dir.file("in.txt")); };
        setMidiDevices(devices);
    }
    // The lines the output has logged: "<ms since open> <status> <data1> <data2>".
    Lines sent() const { return platform::test::fileLines(outLog); }

    testwave::TempDir dir;
    std::string outLog = dir.file("out.txt");
    std::shared_ptr<platform::JumpClock> clock = std::make_shared<platform::JumpClock>();
    ManualTimer* timer = nullptr;  // the timer of the latest OpenMidiPlay
    ManualMidiIn* input = nullptr; // the input of the latest OpenMidiRec
    Lines inputCalls;              // the calls every ManualMidiIn has seen, in order
};

} // namespace wavorn::midi::test

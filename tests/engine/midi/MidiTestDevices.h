// Stand-in devices for the MIDI queue and record list tests: a timer ticked by hand, an input
// fed by hand, temp files, and a fixture that installs them and closes everything afterwards.
#pragma once

#include "engine/midi/MidiDevices.h"
#include "platform/TimerClock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace wavorn::midi::test
{

// A periodic timer that ticks only when the test calls fire().
class ManualTimer final : public platform::PeriodicTimer
{
public:
    int32_t start(int32_t periodMs, Tick tick) override;
    void cancel() override { m_running = false; }
    bool running() const override { return m_running; }

    // Runs one tick on the caller's thread; false (and no tick) when the timer is not running.
    bool fire();
    int32_t periodMs() const { return m_periodMs; }
    int32_t starts() const { return m_starts; }

private:
    Tick m_tick;
    bool m_running = false;
    int32_t m_periodMs = 0;
    int32_t m_starts = 0;
};

// A MIDI input whose messages the test hands over with deliver(), on the test's thread.
class ManualMidiIn final : public platform::MidiIn
{
public:
    // Every call is also written to `journal` when given, which outlives the device.
    explicit ManualMidiIn(std::vector<std::string>* journal = nullptr) : m_journal(journal) {}

    int32_t open(int32_t device, platform::MidiInCallback onInput) override;
    int32_t reset() override;
    int32_t start() override;
    int32_t stop() override;
    int32_t close() override;

    // Hands one notification to the callback, as a started device would; ignored when stopped.
    void deliver(platform::MidiInNotice notice, uint32_t message, uint32_t timeMs);
    // The calls the device has seen, in order ("open 0", "reset", "start", "stop", "close").
    const std::vector<std::string>& calls() const { return m_calls; }
    // Inputs opened and not yet closed, over all ManualMidiIns.
    static int32_t openCount() { return s_openCount; }

private:
    platform::MidiInCallback m_onInput;
    bool m_open = false;
    bool m_started = false;
    void note(const std::string& call);

    std::vector<std::string> m_calls;
    std::vector<std::string>* m_journal;
    static inline int32_t s_openCount = 0;
};

// A file name in the temp folder, unique to the running test, removed at both ends.
class TempFile
{
public:
    explicit TempFile(const char* tag);
    ~TempFile();
    const std::string& path() const { return m_path; }
    void write(const std::string& text) const;
    std::vector<std::string> lines() const;

private:
    std::string m_path;
};

constexpr uint32_t pack(uint32_t status, uint32_t data1, uint32_t data2)
{
    return status | data1 << 8 | data2 << 16;
}

// Installs a VirtualMidiOut logging to outLog, a ManualMidiIn and a ManualTimer, all on one
// JumpClock; TearDown closes the queue and the list and puts the platform's devices back.
class MidiFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes OpenMidiPlay use a real timer thread on the fixture's JumpClock instead.
    void useThreadTimer();
    // Makes OpenMidiRec use a VirtualMidiIn playing `eventsFile` on the fixture's JumpClock.
    void useVirtualInput(const std::string& eventsFile);

    std::shared_ptr<platform::JumpClock> clock = std::make_shared<platform::JumpClock>();
    TempFile outLog{"out"};
    ManualTimer* timer = nullptr;        // the timer of the latest OpenMidiPlay
    ManualMidiIn* input = nullptr;       // the input of the latest OpenMidiRec
    std::vector<std::string> inputCalls; // the calls every ManualMidiIn has seen, in order
};

} // namespace wavorn::midi::test

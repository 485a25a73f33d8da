// The MIDI queue (capacity rule, tick timing, StopMidi, calls on a closed queue) and the record
// list (what the input callback keeps, the capacity rule, reading the list), over a timer
// ticked by hand and an input fed by hand.
#include "engine/midi/Midi.h"
#include "engine/api/Engine.h"
#include "engine/midi/MidiDevices.h"
#include "platform/MmResult.h"
#include "platform/TimerClock.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"
#include "tests/engine/TestWave.h"
#include "tests/platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using namespace wavorn::midi;
using platform::MidiInNotice;
using platform::test::Lines;

namespace
{

constexpr int32_t pack(uint32_t status, uint32_t data1, uint32_t data2)
{
    return int32_t(status | data1 << 8 | data2 << 16);
}

// A periodic timer that ticks only when the test calls fire().
class ManualTimer final : public platform::PeriodicTimer
{
public:
    int32_t start(int32_t, Tick tick) override
    {
        m_tick = std::move(tick);
        m_running = true;
        return platform::kMmNoError;
    }
    void cancel() override { m_running = false; }
    bool running() const override { return m_running; }
    void fire()
    {
        if (m_running)
            m_tick(*this);
    }

private:
    Tick m_tick;
    bool m_running = false;
};

// A MIDI input the test feeds with deliver(); it writes each call to a journal.
class ManualMidiIn final : public platform::MidiIn
{
public:
    explicit ManualMidiIn(Lines& journal) : m_journal(journal) {}
    int32_t open(int32_t device, platform::MidiInCallback onInput) override
    {
        m_journal.push_back("open " + std::to_string(device));
        m_onInput = std::move(onInput);
        return device == 0 ? platform::kMmNoError : platform::kMmBadDeviceId;
    }
    int32_t reset() override { return note("reset", false); }
    int32_t start() override { return note("start", true); }
    int32_t stop() override { return note("stop", false); }
    int32_t close() override { return note("close", false); }
    void deliver(uint32_t status, uint32_t data1, uint32_t timeMs,
                 MidiInNotice n = MidiInNotice::Data)
    {
        if (m_started)
            m_onInput(n, uint32_t(pack(status, data1, 100)), timeMs);
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

class Midi : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setMidiDevices(
            {[this]
             { return std::make_unique<platform::VirtualMidiOut>(clock, dir.file("out.txt")); },
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
    // Moves the clock one period on and ticks once.
    void tick()
    {
        clock->advance(10ms);
        timer->fire();
    }
    // The lines the output has logged: "<ms since open> <status> <data1> <data2>".
    Lines sent() const { return platform::test::fileLines(dir.file("out.txt")); }

    testwave::TempDir dir;
    std::shared_ptr<platform::JumpClock> clock = std::make_shared<platform::JumpClock>();
    ManualTimer* timer = nullptr;  // the timer of the latest OpenMidiPlay
    ManualMidiIn* input = nullptr; // the input of the latest OpenMidiRec
    Lines inputCalls;              // the calls every ManualMidiIn has seen, in order
};

} // namespace

TEST_F(Midi, AQueueKeepsTheEventsThatFitItsCapacityLessFourWords)
{
    const std::pair<int32_t, int32_t> rows[] = {{10, 3}, {INT32_MIN, 0}, {0, 0},
                                                {4, 0},  {5, 1},         {7, 2}};
    for (const auto& [capacity, kept] : rows)
    {
        ASSERT_EQ(openMidiPlay(capacity), 0) << capacity;
        Lines expected;
        for (int32_t n = 0; n <= kept; ++n)
        {
            EXPECT_EQ(addMidi(0, pack(0x90, 60 + uint32_t(n), 100)), 2 * std::min(n + 1, kept));
            if (n < kept)
                expected.push_back("10 144 " + std::to_string(60 + n) + " 100");
        }
        EXPECT_EQ(playMidi(), 2 * kept) << capacity;
        EXPECT_TRUE(sent().empty()) << "an event at time 0 waits for the first tick";
        tick();
        EXPECT_EQ(midiPlaying(), 0) << capacity;
        EXPECT_EQ(sent(), expected) << capacity;
        EXPECT_EQ(closeMidiPlay(), 0);
        std::filesystem::remove(dir.file("out.txt"));
    }
}

TEST_F(Midi, EachTickSendsTheEventsDueBeforeItAndAnEventOutOfOrderHoldsBackTheNext)
{
    ASSERT_EQ(openMidiPlay(64), 0);
    addMidi(5, pack(0x99, 36, 100));
    addMidi(9, pack(0x99, 42, 90));
    addMidi(10, pack(0x99, 38, 80));
    addMidi(45, pack(0x90, 1, 1));
    addMidi(25, pack(0x90, 2, 2));
    ASSERT_EQ(playMidi(), 10);
    EXPECT_EQ(midiPlaying(), 1);
    tick();
    EXPECT_EQ(sent(), (Lines{"10 153 36 100", "10 153 42 90"}));
    EXPECT_EQ(getMidiTimer(), 10);
    for (int32_t n = 2; n <= 4; ++n)
        tick();
    EXPECT_EQ(getMidiTimer(), 40);
    EXPECT_EQ(sent(), (Lines{"10 153 36 100", "10 153 42 90", "20 153 38 80"}))
        << "45 is not below 40";
    tick();
    EXPECT_EQ(sent().size(), 5u);
    EXPECT_EQ(sent().back(), "50 144 2 2");
    EXPECT_EQ(midiPlaying(), 0) << "played out";
    EXPECT_EQ(getMidiTimer(), 0);
    tick();
    EXPECT_FALSE(timer->running()) << "the tick after the end cancels the timer";
    EXPECT_EQ(playMidi(), 10); // and PlayMidi plays the queue again from its first event
    tick();
    EXPECT_EQ(sent().size(), 7u);
}

TEST_F(Midi, StopMidiEmptiesTheQueueSoTheNextPassEndsAtItsFirstTick)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(0, pack(0x90, 60, 100));
    addMidi(100, pack(0x80, 60, 0));
    playMidi();
    tick();
    EXPECT_EQ(stopMidi(), 0);
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(getMidiTimer(), 10) << "StopMidi leaves the elapsed time";
    tick();
    EXPECT_FALSE(timer->running()) << "the timer ends itself at its next tick";
    EXPECT_EQ(playMidi(), 0);
    tick();
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(sent().size(), 1u) << "no note-off and nothing else was sent";
}

TEST_F(Midi, CallsOnAClosedQueueAreHarmlessAndOpeningAgainReplacesTheQueue)
{
    const int32_t before = platform::timerPeriodRequests();
    for (int round = 0; round < 2; ++round) // never opened, then opened twice and closed
    {
        EXPECT_EQ(addMidi(0, 0x90), 0);
        EXPECT_EQ(playMidi(), 0);
        EXPECT_EQ(stopMidi(), 0);
        EXPECT_EQ(cmdMidi(0x90, 60, 100), platform::kMmInvalidHandle);
        EXPECT_EQ(closeMidiPlay(), platform::kMmInvalidHandle);
        ASSERT_EQ(openMidiPlay(16), 0);
        addMidi(0, 1);
        ASSERT_EQ(openMidiPlay(16), 0);
        EXPECT_EQ(platform::timerPeriodRequests(), before + 1) << "the first queue released it";
        EXPECT_EQ(playMidi(), 0) << "the new queue starts empty";
        EXPECT_EQ(closeMidiPlay(), 0);
        EXPECT_EQ(platform::timerPeriodRequests(), before);
    }
    MidiDevices devices = midiDevices(); // an output that does not open: the queue still plays
    devices.makeOut = [] { return std::unique_ptr<platform::MidiOut>(); };
    setMidiDevices(devices);
    EXPECT_EQ(openMidiPlay(16), platform::kMidiNoDevice);
    addMidi(0, pack(0x90, 60, 100));
    EXPECT_EQ(playMidi(), 2);
    tick();
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(cmdMidi(0x90, 60, 100), platform::kMmInvalidHandle);
}

TEST_F(Midi, TheRecordListKeepsShortChannelMessagesWithTheirTimes)
{
    ASSERT_EQ(openMidiRec(1024, 0), 0);
    input->deliver(0x90, 60, 0);
    EXPECT_EQ(getRecordLength(), -1) << "nothing arrives before RecordMidi";
    ASSERT_EQ(recordMidi(), 0);
    input->deliver(0x90, 60, 1, MidiInNotice::LongData);
    input->deliver(0x90, 60, 2, MidiInNotice::Error);
    for (uint32_t status = 0xF0; status <= 0xFF; ++status) // active sensing among them
        input->deliver(status, 0, status);
    input->deliver(0x90, 60, 3, MidiInNotice::MoreData);
    input->deliver(0x80, 60, 300);
    EXPECT_EQ(getRecordLength(), 3);
    ASSERT_EQ(stopMidiRec(), 0);
    input->deliver(0x90, 61, 400);
    const int32_t words[] = {3, pack(0x90, 60, 100), 300, pack(0x80, 60, 100), 0};
    for (int32_t n = 0; n < 5; ++n)
        EXPECT_EQ(getRecordData(n), words[n]) << n;
    EXPECT_EQ(getRecordData(-1), 0);
    EXPECT_EQ(getRecordData(INT32_MIN), 0);
    recordMidi(); // empties the list
    EXPECT_EQ(getRecordLength(), -1);
    stopMidiRec();
    ASSERT_EQ(openMidiRec(64, 0), 0); // opening again closes the first input
    closeMidiRec();
    EXPECT_EQ(inputCalls, (Lines{"open 0", "reset", "stop", "start", "stop", "stop", "start",
                                 "stop", "close", "open 0", "reset", "close"}));
    EXPECT_EQ(getRecordLength(), -1);
    EXPECT_EQ(openMidiRec(64, 3), platform::kMmBadDeviceId + platform::kMmInvalidHandle);
    EXPECT_EQ(recordMidi(), platform::kMmInvalidHandle);
    EXPECT_EQ(stopMidiRec(), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiRec(), platform::kMmInvalidHandle);
}

TEST_F(Midi, TheRecordListKeepsTheEventsThatFitBeforeTheScratchPairAndTracesEachExport)
{
    for (const auto& [capacity, kept] : {std::pair{-8, 0}, {4, 0}, {7, 2}, {10, 3}})
    {
        ASSERT_EQ(openMidiRec(capacity, 0), 0) << capacity;
        recordMidi();
        for (uint32_t n = 0; n < 6; ++n)
            input->deliver(0x90, 60 + n, n * 10);
        EXPECT_EQ(getRecordLength(), 2 * kept - 1) << capacity;
        EXPECT_EQ(getRecordData(2 * kept - 1), kept ? pack(0x90, 59 + uint32_t(kept), 100) : 0);
        EXPECT_EQ(getRecordData(2 * kept), 0) << "a dropped event is not written";
        EXPECT_EQ(closeMidiRec(), 0);
    }
    platform::test::ScopedEnv log("VUMO_LOG", dir.file("trace.txt"));
    wavorn::engine().logging = true;
    openMidiRec(64, 0);
    recordMidi();
    getRecordLength();
    stopMidiRec();
    closeMidiRec();
    openMidiPlay(16);
    addMidi(0, 0x90);
    closeMidiPlay();
    wavorn::engine().logging = false;
    EXPECT_EQ(platform::test::fileLines(dir.file("trace.txt")),
              (Lines{"OpenMidiRec", "RecordMidi", "StopMidiRec", "CloseMidiRec",
                     "MIDI output: Vumo Virtual MIDI Out"}));
}

TEST_F(Midi, ClosingMidPassOrWhileTheInputDeliversIsSafe)
{
    MidiDevices devices = midiDevices(); // a real timer thread and a virtual input
    devices.makeTimer = [this] { return platform::makePeriodicTimer(clock); };
    devices.makeIn = [this]
    { return std::make_unique<platform::VirtualMidiIn>(clock, dir.file("in.txt")); };
    setMidiDevices(devices);
    std::string events;
    for (int t = 0; t < 3000; ++t)
        events += std::to_string(t) + " 144 " + std::to_string(t % 128) + " 100\n";
    platform::test::writeText(dir.file("in.txt"), events);
    for (int round = 0; round < 20; ++round)
    {
        ASSERT_EQ(openMidiPlay(4096), 0);
        for (int32_t t = 0; t < 2000; ++t)
            addMidi(t * 3, pack(0x90, uint32_t(t % 128), 64));
        playMidi();
        ASSERT_EQ(openMidiRec(1024, 0), 0);
        ASSERT_EQ(recordMidi(), 0);
        if (round % 2 == 0)
            stopMidi();
        if (round % 3 == 0)
            std::this_thread::sleep_for(1ms);
        EXPECT_LE(getRecordLength(), 1024 - 4 - 1);
        EXPECT_EQ(closeMidiPlay(), 0);
        EXPECT_EQ(closeMidiRec(), 0);
    }
}

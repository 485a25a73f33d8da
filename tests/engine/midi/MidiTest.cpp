// The MIDI queue (capacity, tick timing, StopMidi, a closed queue) and the record list, over a
// timer ticked by hand and an input fed by hand.
#include "engine/midi/Midi.h"
#include "engine/midi/MidiDevices.h"
#include "platform/MmResult.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"
#include "tests/engine/TestWave.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/platform/TestClocks.h"

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

// A periodic timer that ticks only when the test calls tick().
struct ManualTimer final : platform::PeriodicTimer
{
    int32_t start(int32_t, Tick t) override { return tick = std::move(t), set(true); }
    int32_t set(bool started) { return on = started, platform::kMmNoError; }
    void cancel() override { set(false); }
    bool running() const override { return on; }
    Tick tick;
    bool on = false;
};

// A MIDI input the test feeds with deliver() while it is started.
struct ManualMidiIn final : platform::MidiIn
{
    int32_t open(int32_t device, platform::MidiInCallback callback) override
    {
        onInput = std::move(callback);
        return device == 0 ? platform::kMmNoError : platform::kMmBadDeviceId;
    }
    int32_t set(bool on) { return started = on, platform::kMmNoError; }
    int32_t reset() override { return set(false); }
    int32_t start() override { return set(true); }
    int32_t stop() override { return set(false); }
    int32_t close() override { return set(false); }
    void deliver(uint32_t status, uint32_t data1, uint32_t ms, MidiInNotice n = MidiInNotice::Data)
    {
        if (started)
            onInput(n, uint32_t(pack(status, data1, 100)), ms);
    }
    platform::MidiInCallback onInput;
    bool started = false;
};

class Midi : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setMidiDevices(
            {[this] { return std::make_unique<platform::VirtualMidiOut>(clock, dir.file("out")); },
             [this] { return std::unique_ptr<platform::MidiIn>(input = new ManualMidiIn); },
             [this] { return std::unique_ptr<platform::PeriodicTimer>(timer = new ManualTimer); }});
    }
    void TearDown() override
    {
        closeMidiPlay(), closeMidiRec();
        setMidiDevices(platformMidiDevices());
    }
    // Moves the clock one period on and ticks once.
    void tick()
    {
        clock->advance(10ms);
        if (timer->on)
            timer->tick(*timer);
    }
    // The lines the output has logged: "<ms since open> <status> <data1> <data2>".
    Lines sent() const { return platform::test::fileLines(dir.file("out")); }

    testwave::TempDir dir;
    std::shared_ptr<platform::test::JumpClock> clock =
        std::make_shared<platform::test::JumpClock>();
    ManualTimer* timer = nullptr;  // the timer of the latest OpenMidiPlay
    ManualMidiIn* input = nullptr; // the input of the latest OpenMidiRec
};

} // namespace

TEST_F(Midi, AQueueKeepsTheEventsThatFitItsCapacityLessFourWords)
{
    for (const auto& [capacity, kept] : {std::pair{10, 3}, {INT32_MIN, 0}, {4, 0}, {5, 1}, {7, 2}})
    {
        ASSERT_EQ(openMidiPlay(capacity), 0) << capacity;
        Lines expected;
        for (int32_t n = 0; n <= kept; ++n)
        {
            EXPECT_EQ(addMidi(0, pack(0x90, 60 + uint32_t(n), 1)), 2 * std::min(n + 1, kept));
            if (n < kept)
                expected.push_back("10 144 " + std::to_string(60 + n) + " 1");
        }
        EXPECT_EQ(playMidi(), 2 * kept) << capacity;
        EXPECT_TRUE(sent().empty()) << "an event at time 0 waits for the first tick";
        tick();
        EXPECT_EQ(sent(), expected) << capacity;
        EXPECT_EQ(closeMidiPlay(), 0);
        std::filesystem::remove(dir.file("out"));
    }
}

TEST_F(Midi, EachTickSendsTheEventsDueBeforeItAndAnEventOutOfOrderHoldsBackTheNext)
{
    ASSERT_EQ(openMidiPlay(64), 0);
    for (const auto& [time, note] : {std::pair{5, 36}, {9, 42}, {10, 38}, {45, 1}, {25, 2}})
        addMidi(time, pack(0x99, uint32_t(note), 1));
    ASSERT_EQ(playMidi(), 10);
    tick();
    EXPECT_EQ(sent(), (Lines{"10 153 36 1", "10 153 42 1"}));
    EXPECT_EQ(getMidiTimer(), 10);
    tick(), tick(), tick();
    EXPECT_EQ(getMidiTimer(), 40);
    EXPECT_EQ(sent().size(), 3u) << "45 is not below 40";
    EXPECT_EQ(midiPlaying(), 1);
    tick();
    EXPECT_EQ(sent(),
              (Lines{"10 153 36 1", "10 153 42 1", "20 153 38 1", "50 153 1 1", "50 153 2 1"}));
    EXPECT_EQ(midiPlaying(), 0) << "played out";
    EXPECT_EQ(getMidiTimer(), 0);
    tick();
    EXPECT_FALSE(timer->on) << "the tick after the end cancels the timer";
    EXPECT_EQ(playMidi(), 10); // and PlayMidi plays the queue again from its first event
    tick();
    EXPECT_EQ(sent().size(), 7u);
}

TEST_F(Midi, StopMidiEmptiesTheQueueAndCallsOnAClosedQueueAreHarmless)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(0, pack(0x90, 60, 100)), addMidi(100, pack(0x80, 60, 0));
    playMidi(), tick();
    EXPECT_EQ(stopMidi(), 0);
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(getMidiTimer(), 10) << "StopMidi leaves the elapsed time";
    tick();
    EXPECT_FALSE(timer->on) << "the timer ends itself at its next tick";
    EXPECT_EQ(playMidi(), 0);
    tick();
    EXPECT_EQ(sent().size(), 1u) << "no note-off and nothing else was sent";
    EXPECT_EQ(closeMidiPlay(), 0);
    EXPECT_EQ(addMidi(0, 0x90) + playMidi() + stopMidi(), 0); // a closed queue ignores them
}

TEST_F(Midi, TheRecordListKeepsShortChannelMessagesThatFitWithTheirTimes)
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
    ASSERT_EQ(stopMidiRec(), 0);
    input->deliver(0x90, 61, 400);
    EXPECT_EQ(getRecordLength(), 3);
    const int32_t words[] = {3, pack(0x90, 60, 100), 300, pack(0x80, 60, 100), 0};
    for (int32_t n = 0; n < 5; ++n)
        EXPECT_EQ(getRecordData(n), words[n]) << n;
    EXPECT_EQ(getRecordData(INT32_MIN), 0);
    recordMidi(); // empties the list
    EXPECT_EQ(getRecordLength(), -1);
    ASSERT_EQ(openMidiRec(7, 0) + recordMidi(), 0); // room for two events, as in the queue
    for (uint32_t n = 0; n < 6; ++n)
        input->deliver(0x90, 60 + n, n * 10);
    EXPECT_EQ(getRecordLength(), 3);
    EXPECT_EQ(getRecordData(4), 0) << "a dropped event is not written";
    EXPECT_EQ(closeMidiRec(), 0);
    EXPECT_EQ(getRecordLength(), -1);
    EXPECT_EQ(openMidiRec(64, 3), platform::kMmBadDeviceId + platform::kMmInvalidHandle);
    EXPECT_EQ(recordMidi(), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiRec(), platform::kMmInvalidHandle);
}

TEST_F(Midi, AnOutputThatFailsToOpenReturnsItsErrorTheQueueStillPlaysOutAndALaterOpenWorks)
{
    struct FailingOut final : platform::MidiOut
    {
        int32_t open() override { return platform::kMmNoDriver; }
        int32_t shortMsg(uint32_t) override { return platform::kMmNoError; }
        int32_t close() override { return platform::kMmNoError; }
    };
    const MidiDevices devices = midiDevices();
    setMidiDevices(
        {[] { return std::make_unique<FailingOut>(); }, devices.makeIn, devices.makeTimer});
    EXPECT_EQ(openMidiPlay(16), platform::kMmNoDriver);
    EXPECT_EQ(cmdMidi(0x90, 60, 100), platform::kMmInvalidHandle);
    addMidi(0, pack(0x90, 60, 100));
    EXPECT_EQ(playMidi(), 2);
    tick();
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(closeMidiPlay(), platform::kMmInvalidHandle);
    setMidiDevices(devices);
    ASSERT_EQ(openMidiPlay(16), 0);
    EXPECT_EQ(cmdMidi(0x90, 61, 100), 0);
    EXPECT_EQ(sent(), (Lines{"0 144 61 100"}));
}

TEST_F(Midi, ClosingWhileTheTimerThreadPlaysOrTheInputDeliversIsSafe)
{
    setMidiDevices({midiDevices().makeOut, // a virtual input and a real timer thread
                    [this]
                    { return std::make_unique<platform::VirtualMidiIn>(clock, dir.file("in")); },
                    [this] { return platform::makePeriodicTimer(clock); }});
    // On the jumping clock both threads are still busy when closed (the sanitizers watch).
    std::string events;
    for (int t = 0; t < 30000; ++t)
        events += std::to_string(t) + " 144 " + std::to_string(t % 128) + " 100\n";
    platform::test::writeText(dir.file("in"), events);
    for (int round = 0; round < 20; ++round)
    {
        ASSERT_EQ(openMidiPlay(65536), 0);
        for (int32_t t = 0; t < 30000; ++t)
            addMidi(t * 3, pack(0x90, uint32_t(t % 128), 64));
        playMidi();
        ASSERT_EQ(openMidiRec(1024, 0), 0);
        ASSERT_EQ(recordMidi(), 0);
        if (round % 2 == 0)
            stopMidi();
        std::this_thread::sleep_for(std::chrono::microseconds(300 * (round % 3)));
        EXPECT_LE(getRecordLength(), 1024 - 4 - 1);
        EXPECT_EQ(closeMidiRec(), 0);
        EXPECT_EQ(closeMidiPlay(), 0);
    }
}

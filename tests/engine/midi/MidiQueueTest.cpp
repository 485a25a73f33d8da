// Tests of the MIDI queue: the capacity rule, tick timing, StopMidi, CmdMidi and calls on a
// closed or tiny queue.
#include "MidiTestDevices.h"

#include <algorithm>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using namespace wavorn::midi;
using namespace wavorn::midi::test;

namespace
{

class MidiQueue : public MidiFixture
{
protected:
    // Moves the clock one period on and ticks once.
    bool tick()
    {
        clock->advance(10ms);
        return timer->fire();
    }
};

} // namespace

TEST_F(MidiQueue, ACapacityKeepsTheEventsThatFitAndLaterOnesOnlyTouchTheScratchPair)
{
    // Capacity 10 keeps three events; below four it keeps none.
    const std::pair<int32_t, int32_t> rows[] = {{10, 3}, {INT32_MIN, 0}, {-1, 0}, {0, 0}, {1, 0},
                                                {3, 0},  {4, 0},         {5, 1},  {6, 1}, {7, 2}};
    for (const auto& [capacity, kept] : rows)
    {
        ASSERT_EQ(openMidiPlay(capacity), 0) << capacity;
        Lines expected = sent();
        const size_t before = expected.size();
        for (int32_t n = 0; n <= kept; ++n)
        {
            EXPECT_EQ(addMidi(0, pack(0x90, 60 + uint32_t(n), 100)), 2 * std::min(n + 1, kept))
                << capacity;
            if (n < kept)
                expected.push_back("10 144 " + std::to_string(60 + n) + " 100");
        }
        EXPECT_EQ(playMidi(), 2 * kept) << capacity;
        EXPECT_EQ(sent().size(), before) << "an event at time 0 waits for the first tick";
        EXPECT_TRUE(tick());
        EXPECT_EQ(midiPlaying(), 0) << capacity;
        EXPECT_EQ(sent(), expected) << capacity;
        EXPECT_EQ(closeMidiPlay(), 0);
    }
}

TEST_F(MidiQueue, EventsAtFiveAndNineGoOutOnTheFirstTickAndTenOnTheSecond)
{
    ASSERT_EQ(openMidiPlay(64), 0);
    addMidi(5, pack(0x99, 36, 100));
    addMidi(9, pack(0x99, 42, 90));
    addMidi(10, pack(0x99, 38, 80));
    ASSERT_EQ(playMidi(), 6);
    EXPECT_EQ(timer->periodMs(), 10);
    EXPECT_EQ(midiPlaying(), 1);
    ASSERT_TRUE(tick());
    EXPECT_EQ(sent(), (Lines{"10 153 36 100", "10 153 42 90"}));
    EXPECT_EQ(getMidiTimer(), 10);
    EXPECT_EQ(midiPlaying(), 1);
    ASSERT_TRUE(tick());
    EXPECT_EQ(sent(), (Lines{"10 153 36 100", "10 153 42 90", "20 153 38 80"}));
    EXPECT_EQ(midiPlaying(), 0) << "played out";
    EXPECT_EQ(getMidiTimer(), 0);
    EXPECT_TRUE(tick()) << "the tick after the end finds the flag clear";
    EXPECT_FALSE(timer->running()) << "and cancels the timer";
    EXPECT_EQ(sent().size(), 3u);
}

TEST_F(MidiQueue, TheTimerCountsTenMillisecondsATickAndAnEventOutOfOrderHoldsBackTheNext)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(45, pack(0x90, 1, 1));
    addMidi(5, pack(0x90, 2, 2));
    playMidi();
    for (int32_t n = 1; n <= 4; ++n)
    {
        tick();
        EXPECT_EQ(getMidiTimer(), 10 * n);
    }
    EXPECT_TRUE(sent().empty()) << "45 is not below 40";
    tick();
    EXPECT_EQ(sent(), (Lines{"50 144 1 1", "50 144 2 2"}));
}

TEST_F(MidiQueue, StopMidiEmptiesTheQueueSoTheNextPassEndsAtItsFirstTick)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(0, pack(0x90, 60, 100));
    addMidi(100, pack(0x80, 60, 0));
    playMidi();
    tick();
    EXPECT_EQ(sent().size(), 1u);
    EXPECT_EQ(stopMidi(), 0);
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(getMidiTimer(), 10) << "StopMidi leaves the elapsed time";
    tick();
    EXPECT_FALSE(timer->running()) << "the timer ends itself at its next tick";
    EXPECT_EQ(playMidi(), 0);
    EXPECT_EQ(getMidiTimer(), 0);
    EXPECT_EQ(midiPlaying(), 1);
    tick();
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(sent().size(), 1u) << "no note-off and nothing else was sent";
}

TEST_F(MidiQueue, PlayMidiDuringOrAfterAPassPlaysTheQueueAgainFromItsFirstEvent)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(15, pack(0x90, 60, 100));
    playMidi();
    tick();
    EXPECT_EQ(playMidi(), 2);
    EXPECT_EQ(getMidiTimer(), 0);
    tick();
    EXPECT_TRUE(sent().empty());
    tick();
    EXPECT_EQ(sent(), (Lines{"30 144 60 100"}));
    tick();
    EXPECT_FALSE(timer->running());
    EXPECT_EQ(playMidi(), 2);
    tick();
    tick();
    EXPECT_EQ(sent(), (Lines{"30 144 60 100", "60 144 60 100"}));
}

TEST_F(MidiQueue, CallsOnAClosedQueueAreHarmlessAndOpeningAgainReplacesTheQueue)
{
    const int32_t before = platform::timerPeriodRequests();
    for (int round = 0; round < 2; ++round) // never opened, then opened twice and closed
    {
        EXPECT_EQ(addMidi(0, 0x90), 0);
        EXPECT_EQ(playMidi(), 0);
        EXPECT_EQ(midiPlaying(), 0);
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
}

TEST_F(MidiQueue, AnOutputThatDoesNotOpenStillLetsTheQueuePlayOut)
{
    MidiDevices devices = midiDevices();
    devices.makeOut = [] { return std::unique_ptr<platform::MidiOut>(); };
    setMidiDevices(devices);
    EXPECT_EQ(openMidiPlay(16), platform::kMidiNoDevice);
    addMidi(0, pack(0x90, 60, 100));
    EXPECT_EQ(playMidi(), 2);
    tick();
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(cmdMidi(0x90, 60, 100), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiPlay(), platform::kMmInvalidHandle);
}

TEST_F(MidiQueue, OnATimerThreadTheEventsGoOutAtTheSameTicksAndClosingMidPassIsSafe)
{
    useThreadTimer();
    ASSERT_EQ(openMidiPlay(64), 0);
    addMidi(5, pack(0x99, 36, 100));
    addMidi(9, pack(0x99, 42, 90));
    addMidi(10, pack(0x99, 38, 80));
    ASSERT_EQ(playMidi(), 6);
    for (int i = 0; i < 5000 && midiPlaying() != 0; ++i)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(closeMidiPlay(), 0);
    EXPECT_EQ(sent(), (Lines{"10 153 36 100", "10 153 42 90", "20 153 38 80"}));
    for (int round = 0; round < 20; ++round)
    {
        ASSERT_EQ(openMidiPlay(4096), 0);
        for (int32_t t = 0; t < 2000; ++t)
            addMidi(t * 3, pack(0x90, uint32_t(t % 128), 64));
        playMidi();
        if (round % 2 == 0)
            stopMidi();
        if (round % 3 == 0)
            std::this_thread::sleep_for(1ms);
        EXPECT_EQ(closeMidiPlay(), 0);
    }
}

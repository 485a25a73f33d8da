// Tests of the MIDI queue: the capacity rule, tick timing, StopMidi, CmdMidi and calls on a
// closed or tiny queue.
#include "MidiTestDevices.h"

#include "engine/midi/Midi.h"
#include "platform/MmResult.h"

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using namespace wavorn::midi;
using wavorn::midi::test::pack;

namespace
{

class MidiQueue : public wavorn::midi::test::MidiFixture
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

TEST_F(MidiQueue, CapacityTenKeepsThreeEventsAndLaterOnesOnlyTouchTheScratchPair)
{
    ASSERT_EQ(openMidiPlay(10), 0);
    EXPECT_EQ(addMidi(0, int32_t(pack(0x90, 60, 100))), 2);
    EXPECT_EQ(addMidi(0, int32_t(pack(0x90, 64, 100))), 4);
    EXPECT_EQ(addMidi(0, int32_t(pack(0x90, 67, 100))), 6);
    EXPECT_EQ(addMidi(0, int32_t(pack(0x90, 72, 100))), 6);
    EXPECT_EQ(addMidi(0, int32_t(pack(0x90, 76, 100))), 6);
    EXPECT_EQ(playMidi(), 6);
    EXPECT_TRUE(tick());
    EXPECT_EQ(outLog.lines(),
              (std::vector<std::string>{"10 144 60 100", "10 144 64 100", "10 144 67 100"}));
}

TEST_F(MidiQueue, EventsAtFiveAndNineGoOutOnTheFirstTickAndTenOnTheSecond)
{
    ASSERT_EQ(openMidiPlay(64), 0);
    addMidi(5, int32_t(pack(0x99, 36, 100)));
    addMidi(9, int32_t(pack(0x99, 42, 90)));
    addMidi(10, int32_t(pack(0x99, 38, 80)));
    ASSERT_EQ(playMidi(), 6);
    EXPECT_EQ(timer->periodMs(), 10);
    EXPECT_EQ(midiPlaying(), 1);
    EXPECT_TRUE(outLog.lines().empty()) << "nothing goes out before the first tick";

    ASSERT_TRUE(tick());
    EXPECT_EQ(outLog.lines(), (std::vector<std::string>{"10 153 36 100", "10 153 42 90"}));
    EXPECT_EQ(getMidiTimer(), 10);
    EXPECT_EQ(midiPlaying(), 1);

    ASSERT_TRUE(tick());
    EXPECT_EQ(outLog.lines(),
              (std::vector<std::string>{"10 153 36 100", "10 153 42 90", "20 153 38 80"}));
    EXPECT_EQ(midiPlaying(), 0) << "played out";
    EXPECT_EQ(getMidiTimer(), 0);

    EXPECT_TRUE(tick()) << "the tick after the end finds the flag clear";
    EXPECT_FALSE(timer->running()) << "and cancels the timer";
    EXPECT_EQ(outLog.lines().size(), 3u);
}

TEST_F(MidiQueue, AnEventAtTimeZeroWaitsForTheFirstTick)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(0, int32_t(pack(0xB0, 7, 127)));
    playMidi();
    EXPECT_TRUE(outLog.lines().empty());
    tick();
    EXPECT_EQ(outLog.lines(), (std::vector<std::string>{"10 176 7 127"}));
}

TEST_F(MidiQueue, TheTimerCountsTenMillisecondsATick)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(45, int32_t(pack(0x90, 60, 1)));
    playMidi();
    for (int32_t n = 1; n <= 4; ++n)
    {
        tick();
        EXPECT_EQ(getMidiTimer(), 10 * n);
    }
    EXPECT_TRUE(outLog.lines().empty());
    tick();
    EXPECT_EQ(outLog.lines(), (std::vector<std::string>{"50 144 60 1"}));
}

TEST_F(MidiQueue, AnEventOutOfOrderHoldsBackTheOnesBehindIt)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(30, int32_t(pack(0x90, 1, 1)));
    addMidi(5, int32_t(pack(0x90, 2, 2)));
    playMidi();
    tick();
    tick();
    tick();
    EXPECT_TRUE(outLog.lines().empty()) << "30 is not below 30";
    tick();
    EXPECT_EQ(outLog.lines(), (std::vector<std::string>{"40 144 1 1", "40 144 2 2"}));
}

TEST_F(MidiQueue, AnEmptyQueueEndsOnTheFirstTick)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    EXPECT_EQ(playMidi(), 0);
    EXPECT_EQ(midiPlaying(), 1);
    tick();
    EXPECT_EQ(midiPlaying(), 0);
    tick();
    EXPECT_FALSE(timer->running());
}

TEST_F(MidiQueue, StopMidiEmptiesTheQueueSoTheNextPassEndsAtItsFirstTick)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(0, int32_t(pack(0x90, 60, 100)));
    addMidi(100, int32_t(pack(0x80, 60, 0)));
    playMidi();
    tick();
    EXPECT_EQ(outLog.lines().size(), 1u);
    EXPECT_EQ(stopMidi(), 0);
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(getMidiTimer(), 10) << "StopMidi leaves the elapsed time";
    tick();
    EXPECT_FALSE(timer->running()) << "the timer ends itself at its next tick";

    EXPECT_EQ(playMidi(), 0);
    EXPECT_EQ(getMidiTimer(), 0);
    tick();
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(outLog.lines().size(), 1u) << "no note-off and nothing else was sent";
}

TEST_F(MidiQueue, PlayMidiAgainPlaysTheWholeQueueFromItsFirstEvent)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(0, int32_t(pack(0x90, 60, 100)));
    playMidi();
    tick();
    tick();
    EXPECT_EQ(playMidi(), 2);
    EXPECT_EQ(timer->starts(), 2);
    tick();
    EXPECT_EQ(outLog.lines(), (std::vector<std::string>{"10 144 60 100", "30 144 60 100"}));
}

TEST_F(MidiQueue, PlayMidiDuringAPassRestartsItWithOneTimer)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(15, int32_t(pack(0x90, 60, 100)));
    playMidi();
    tick();
    playMidi();
    EXPECT_EQ(getMidiTimer(), 0);
    tick();
    EXPECT_TRUE(outLog.lines().empty());
    tick();
    EXPECT_EQ(outLog.lines(), (std::vector<std::string>{"30 144 60 100"}));
}

TEST_F(MidiQueue, CmdMidiSendsTheSumOfItsBytesAtOnce)
{
    ASSERT_EQ(openMidiPlay(16), 0);
    clock->advance(3ms);
    EXPECT_EQ(cmdMidi(0xC0, 5, 0), 0);
    EXPECT_EQ(cmdMidi(0x90, 60, 100), 0);
    EXPECT_EQ(outLog.lines(), (std::vector<std::string>{"3 192 5 0", "3 144 60 100"}));
}

TEST_F(MidiQueue, CallsOnAClosedQueueAreHarmless)
{
    EXPECT_EQ(addMidi(0, 0x90), 0);
    EXPECT_EQ(playMidi(), 0);
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(stopMidi(), 0);
    EXPECT_EQ(cmdMidi(0x90, 60, 100), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiPlay(), platform::kMmInvalidHandle);
    ASSERT_EQ(openMidiPlay(16), 0);
    EXPECT_EQ(closeMidiPlay(), 0);
    EXPECT_EQ(closeMidiPlay(), platform::kMmInvalidHandle);
    EXPECT_EQ(addMidi(0, 0x90), 0);
    EXPECT_EQ(cmdMidi(0x90, 60, 100), platform::kMmInvalidHandle);
}

TEST_F(MidiQueue, CapacitiesBelowFourKeepNothingAndPlayNothing)
{
    for (int32_t capacity : {4, 3, 1, 0, -1, INT32_MIN})
    {
        ASSERT_EQ(openMidiPlay(capacity), 0) << capacity;
        EXPECT_EQ(addMidi(0, int32_t(pack(0x90, 60, 100))), 0) << capacity;
        EXPECT_EQ(addMidi(5, int32_t(pack(0x90, 61, 100))), 0) << capacity;
        EXPECT_EQ(playMidi(), 0);
        tick();
        EXPECT_EQ(midiPlaying(), 0);
        EXPECT_EQ(closeMidiPlay(), 0);
    }
    EXPECT_TRUE(outLog.lines().empty());
}

TEST_F(MidiQueue, CapacitiesFiveSixAndSevenKeepOneOneAndTwoEvents)
{
    ASSERT_EQ(openMidiPlay(5), 0);
    EXPECT_EQ(addMidi(0, 1), 2);
    EXPECT_EQ(addMidi(0, 2), 2);
    ASSERT_EQ(openMidiPlay(6), 0);
    EXPECT_EQ(addMidi(0, 1), 2);
    EXPECT_EQ(addMidi(0, 2), 2);
    ASSERT_EQ(openMidiPlay(7), 0);
    EXPECT_EQ(addMidi(0, 1), 2);
    EXPECT_EQ(addMidi(0, 2), 4);
    EXPECT_EQ(addMidi(0, 3), 4);
}

TEST_F(MidiQueue, OpeningAgainClosesTheFirstQueueAndReleasesItsResolution)
{
    const int32_t before = platform::timerPeriodRequests();
    ASSERT_EQ(openMidiPlay(16), 0);
    addMidi(0, 1);
    EXPECT_EQ(platform::timerPeriodRequests(), before + 1);
    ASSERT_EQ(openMidiPlay(16), 0);
    EXPECT_EQ(platform::timerPeriodRequests(), before + 1);
    EXPECT_EQ(playMidi(), 0) << "the new queue starts empty";
    EXPECT_EQ(closeMidiPlay(), 0);
    EXPECT_EQ(platform::timerPeriodRequests(), before);
}

TEST_F(MidiQueue, AnOutputThatDoesNotOpenStillLetsTheQueuePlayOut)
{
    MidiDevices devices = midiDevices();
    devices.makeOut = [] { return std::unique_ptr<platform::MidiOut>(); };
    setMidiDevices(devices);
    EXPECT_EQ(openMidiPlay(16), platform::kMidiNoDevice);
    addMidi(0, int32_t(pack(0x90, 60, 100)));
    EXPECT_EQ(playMidi(), 2);
    tick();
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(cmdMidi(0x90, 60, 100), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiPlay(), platform::kMmInvalidHandle);
}

TEST_F(MidiQueue, OnATimerThreadTheEventsGoOutAtTheSameTicks)
{
    useThreadTimer();
    ASSERT_EQ(openMidiPlay(64), 0);
    addMidi(5, int32_t(pack(0x99, 36, 100)));
    addMidi(9, int32_t(pack(0x99, 42, 90)));
    addMidi(10, int32_t(pack(0x99, 38, 80)));
    ASSERT_EQ(playMidi(), 6);
    for (int i = 0; i < 5000 && midiPlaying() != 0; ++i)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(midiPlaying(), 0);
    EXPECT_EQ(closeMidiPlay(), 0);
    EXPECT_EQ(outLog.lines(),
              (std::vector<std::string>{"10 153 36 100", "10 153 42 90", "20 153 38 80"}));
}

TEST_F(MidiQueue, ClosingWhileTheTimerThreadPlaysIsSafe)
{
    useThreadTimer();
    for (int round = 0; round < 20; ++round)
    {
        ASSERT_EQ(openMidiPlay(4096), 0);
        for (int32_t t = 0; t < 2000; ++t)
            addMidi(t * 3, int32_t(pack(0x90, uint32_t(t % 128), 64)));
        playMidi();
        if (round % 2 == 0)
            stopMidi();
        if (round % 3 == 0)
            std::this_thread::sleep_for(1ms);
        EXPECT_EQ(closeMidiPlay(), 0);
    }
}
